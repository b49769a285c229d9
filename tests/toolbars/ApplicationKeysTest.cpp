// The menus inside the program's own message loop, with real key events
// typed into a control of a document window: Alt with a letter opens the
// frame's menu, Alt+Space the frame's system menu, Alt+"-" the document
// window's, and the application object carries the menu's hints.

#include "tests/toolbars/DockTestSupport.h"
#include "tests/toolbars/WindowTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/ui/ScriptedPopupMenus.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

TEST(ApplicationKeys, TheMenuKeysWorkInsideTheProgramsMessageLoop) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TScriptedPopupMenus menus;
    auto* frame = Application().CreateForm<TForm>();
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(60, 60, 600, 400);
    auto* dock = new TTBDock(frame);
    dock->SetParent(frame);
    TTBToolbar* menu = MakeToolbar(frame, "Menu", {});
    menu->SetMenuBar(true);
    TTBCustomItem* file = AddSubmenu(*menu->Items(), "&File", {"&Open", "&Save"});
    TTBCustomItem* open = file->ItemAt(0); // (the frame frees it when the program ends)
    open->Hint = "Open|Opens a page";
    menu->SetParent(dock);
    TSysCommandForm* document = nullptr;
    TCustomControl* editor = nullptr;

    std::vector<std::string> hints;
    Application().OnHint = [&](TPersistent*) { hints.push_back(Application().Hint()); };
    bool loopOfTheProgram = false;
    TTBCustomItem* selected = nullptr;
    int systemMenus = 0;
    std::vector<std::vector<std::pair<std::string, bool>>> menuItems;
    Later([&] {
        loopOfTheProgram = InnermostLoop() != nullptr && InnermostLoop()->IsMessageLoop();
        document = new TSysCommandForm(fsMDIChild);
        document->SetBounds(10, 10, 300, 200);
        editor = new TCustomControl(document);
        editor->SetParent(document);
        editor->SetAlign(alClient);
        editor->SetTabStop(true);
        document->Show();
        editor->SetFocus();
        QApplication::processEvents();
        QWidget* typing = ClientWidgetOf(editor);
        // Alt+F opens the frame's File menu though the key was typed in
        // the document window; its first item is selected and its long
        // hint is the application's.
        Later([&] {
            if (TTBView* popup = OpenedView(menu->View()); popup != nullptr && popup->Selected() != nullptr)
                selected = popup->Selected()->Item();
            QTest::keyClick(typing, Qt::Key_Down);
            QTest::keyClick(typing, Qt::Key_Up);
            QTest::keyClick(typing, Qt::Key_Escape);
            QTest::keyClick(typing, Qt::Key_Escape);
        });
        QTest::keyClick(typing, Qt::Key_F, Qt::AltModifier);
        // Alt+Space: the frame's system menu; Alt+"-": the document's.
        QTest::keyClick(typing, Qt::Key_Space, Qt::AltModifier);
        systemMenus += menus.Shown;
        menuItems.push_back(menus.Items);
        QTest::keyClick(typing, Qt::Key_Minus, Qt::AltModifier);
        systemMenus += menus.Shown;
        menuItems.push_back(menus.Items);
        // The program ends with the document window open: the frame
        // frees it.
        Application().Terminate();
    });
    Application().Run();
    Application().OnHint = nullptr;
    ClearQuitRequest();
    SetTBSystemSettings(nullptr);

    EXPECT_TRUE(loopOfTheProgram);
    EXPECT_EQ(selected, open);
    EXPECT_EQ(TBPopupWindowCount(), 0);
    ASSERT_GE(hints.size(), 2u);
    EXPECT_EQ(hints[0], "Opens a page");
    EXPECT_EQ(hints.back(), "");
    // One menu each, the document's with its Next entry.
    EXPECT_EQ(systemMenus, 1 + 2);
    ASSERT_EQ(menuItems.size(), 2u);
    EXPECT_EQ(menuItems[0].back().first, "&Close\tAlt+F4");
    EXPECT_EQ(menuItems[1].back().first, "Nex&t\tCtrl+F6");
}

} // namespace
