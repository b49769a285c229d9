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
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>
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

// Alt keys that are no menu's, on real windows outside any loop: Shift+Alt
// with an arrow (the editor's column selection) reaches the control typed
// in and opens nothing; Alt with a letter in a dialog of Qt's own (the
// find dialog) stays the dialog's, so that Alt released and Return then
// press its button instead of opening the main window's menus; a letter of
// a national keyboard, which has no key code, opens its menu.
TEST(ApplicationKeys, AltKeysThatAreNoMenusGoWhereTheyWereTyped) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    auto* frame = new TForm;
    frame->SetBounds(60, 60, 600, 400);
    auto* dock = new TTBDock(frame);
    dock->SetParent(frame);
    TTBToolbar* menu = MakeToolbar(frame, "Menu", {});
    menu->SetMenuBar(true);
    AddSubmenu(*menu->Items(), "&File", {"&Open"});
    TTBCustomItem* edition = AddSubmenu(*menu->Items(), "\xC3\x89&dition", {"&Copier"});
    TTBCustomItem* accented = AddSubmenu(*menu->Items(), "&\xC3\x89tat", {"&Voir"});
    menu->SetParent(dock);
    auto* editor = new TCustomControl(frame);
    editor->SetParent(frame);
    editor->SetAlign(alClient);
    editor->SetTabStop(true);
    std::vector<std::pair<uint16_t, TShiftState>> editorKeys;
    editor->OnKeyDown = [&](TPersistent*, uint16_t& key, TShiftState shift) { editorKeys.emplace_back(key, shift); };
    frame->Show();
    editor->SetFocus();
    QApplication::processEvents();
    QWidget* typing = ClientWidgetOf(editor);

    // Any menu loop that starts is noted and ended.
    std::vector<TTBCustomItem*> menusOpened;
    int loops = 0;
    auto watch = [&] {
        Later([&] {
            if (InnermostLoop() == nullptr)
                return;
            ++loops;
            if (TTBView* popup = OpenedView(menu->View()))
                menusOpened.push_back(popup->ParentItem());
            QTest::keyClick(typing, Qt::Key_Escape);
            QTest::keyClick(typing, Qt::Key_Escape);
        });
    };

    for (Qt::Key arrow : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}) {
        watch();
        QTest::keyClick(typing, arrow, Qt::ShiftModifier | Qt::AltModifier);
        QApplication::processEvents();
    }
    std::vector<std::pair<uint16_t, TShiftState>> arrows;
    for (auto [key, shift] : editorKeys)
        if (key >= VK_LEFT && key <= VK_DOWN)
            arrows.emplace_back(key, shift & (ssShift | ssAlt));
    const TShiftState both = ssShift | ssAlt;
    EXPECT_EQ(arrows, (std::vector<std::pair<uint16_t, TShiftState>>{
                          {VK_RIGHT, both}, {VK_DOWN, both}, {VK_LEFT, both}, {VK_UP, both}}));
    EXPECT_EQ(loops, 0);
    EXPECT_EQ(settings.Beeps, 0);

    // Alt+"é" (no key code) and Alt+"É": the menu whose key it is, not
    // the one that merely starts with it.
    for (const char* typed : {"\xC3\xA9", "\xC3\x89"}) {
        watch();
        QTest::sendKeyEvent(QTest::Click, typing, Qt::Key_Eacute, QString::fromUtf8(typed), Qt::AltModifier);
        QApplication::processEvents();
    }
    EXPECT_EQ(menusOpened, (std::vector<TTBCustomItem*>{accented, accented}));
    (void)edition;

    // A dialog of Qt's own over the frame, with a check box and a default
    // button.
    // (Owned by the frame's window, as the program's are.)
    auto& dialog = *new QDialog(typing->window());
    auto* layout = new QVBoxLayout(&dialog);
    auto* matchCase = new QCheckBox("Match &case", &dialog);
    auto* find = new QPushButton("Find", &dialog);
    find->setDefault(true);
    layout->addWidget(matchCase);
    layout->addWidget(find);
    int finds = 0;
    QObject::connect(find, &QPushButton::clicked, [&] { ++finds; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    matchCase->setFocus();
    loops = 0;
    menusOpened.clear();
    // Alt+C as a key press: the dialog's, the frame's menu bar neither
    // beeps at it nor takes it.
    watch();
    QTest::keyClick(matchCase, Qt::Key_C, Qt::AltModifier);
    QApplication::processEvents();
    // Alt+C taken by a shortcut of the dialog's (its check box's access
    // key): Qt asks the focus whether it wants the key first, runs the
    // shortcut, and no key press comes; then Alt is released.
    watch();
    QTest::sendKeyEvent(QTest::Press, matchCase, Qt::Key_Alt, QString(), Qt::NoModifier);
    QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_C, Qt::AltModifier, "c");
    QApplication::sendEvent(matchCase, &shortcut);
    QTest::sendKeyEvent(QTest::Release, matchCase, Qt::Key_Alt, QString(), Qt::AltModifier);
    QApplication::processEvents();
    watch();
    QTest::keyClick(matchCase, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(finds, 1);
    EXPECT_EQ(loops, 0);
    EXPECT_TRUE(menusOpened.empty());
    EXPECT_EQ(settings.Beeps, 0);
    EXPECT_EQ(TBPopupWindowCount(), 0);
    dialog.hide();
    delete frame;
    SetTBSystemSettings(nullptr);
}

} // namespace
