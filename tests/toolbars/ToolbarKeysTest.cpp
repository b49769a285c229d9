// A form's toolbars and the keyboard: Alt and Alt+letter on a menu bar,
// access keys on a plain toolbar, shortcuts looked for in the active form
// and then the main form, and the chevron's popup of hidden items, each
// with scripted input to the menu loop.

#include "tests/toolbars/DockTestSupport.h"

#include "platform/ui/NonClientMouse.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

namespace {

struct TKeysForm : TDockForm {
    TScriptedLoopDriver Driver;
    TManualTickSource Clock;
    TTBToolbar* Menu;
    TTBCustomItem* File;
    TTBCustomItem* Edit;
    TTBCustomItem* Open;
    TTBToolbar* Tools;
    TTBCustomItem* Bold;
    std::vector<std::string> Clicked;
    TKeysForm() {
        SetTBLoopDriver(&Driver);
        SetTickSource(&Clock);
        Menu = Toolbar("Menu", Top, {});
        Menu->SetMenuBar(true);
        File = AddSubmenu(*Menu->Items(), "&File", {"&Open", "&Save"});
        Edit = AddSubmenu(*Menu->Items(), "&Edit", {"&Undo"});
        Open = File->ItemAt(0);
        Tools = Toolbar("Tools", Top, {"&Bold", "&Italic", "&Insert"});
        Bold = Tools->Items()->ItemAt(0);
        for (TTBCustomItem* item : {Open, File->ItemAt(1), Bold})
            item->OnClick = [this](TTBCustomItem* sender) { Clicked.push_back(sender->Caption()); };
    }
    ~TKeysForm() {
        SetTickSource(nullptr);
        SetTBLoopDriver(nullptr);
    }
    void Key(uint16_t key) { Driver.Key(key); }
};

TEST(ToolbarKeys, AltAloneSelectsTheFirstMenuWithItsUnderlinesShown) {
    TKeysForm f;
    f.Settings.Cues = false;
    bool selected = false, underlined = false, open = true;
    f.Driver.Do([&] {
        selected = f.Menu->View()->Selected() == f.Menu->View()->ViewerOf(f.File);
        underlined = (f.Menu->View()->State & vsShowAccels) != 0;
        open = TBPopupWindowCount() > 0;
    });
    f.Key(VK_ESCAPE);
    EXPECT_TRUE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, 0));
    EXPECT_FALSE(f.Driver.RanOut);
    EXPECT_TRUE(selected);
    EXPECT_TRUE(underlined);
    EXPECT_FALSE(open); // it waits for a navigation key
    EXPECT_FALSE(f.Menu->View()->State & vsShowAccels);
}

TEST(ToolbarKeys, AltAndALetterOpensThatMenuWithItsFirstItemSelected) {
    TKeysForm f;
    TTBItemViewer* first = nullptr;
    f.Driver.Do([&] {
        TTBView* popup = OpenedView(f.Menu->View());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->ParentItem(), f.File);
        first = popup->Selected();
        EXPECT_EQ(first, popup->ViewerOf(f.Open));
    });
    f.Key(VK_RETURN);
    EXPECT_TRUE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, 'f'));
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(TBPopupWindowCount(), 0);
    ProcessMessages();
    EXPECT_EQ(f.Clicked, std::vector<std::string>{"&Open"});

    // A letter no menu has beeps; "-" is left for the document's system
    // menu; a space for the window's.
    EXPECT_TRUE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, 'q'));
    EXPECT_EQ(f.Settings.Beeps, 1);
    EXPECT_FALSE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, '-'));
    EXPECT_FALSE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, ' '));
    EXPECT_EQ(f.Settings.Beeps, 1);
    // A hidden form's menu bar takes nothing.
    f.Form.Hide();
    EXPECT_FALSE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, 'f'));
}

TEST(ToolbarKeys, AnAccessKeyOfAPlainToolbarClicksItsItem) {
    TKeysForm f;
    // (Hovering shows the item's hint as the toolbar's.)
    f.Bold->Hint = "Bold|Makes the selection bold";
    TPoint centre = CentreIn(f.Tools->View(), f.Bold);
    TPoint client = f.Tools->ScreenToClient(centre);
    f.Tools->Perform(WM_MOUSEMOVE, 0, PointToLParam(client));
    EXPECT_EQ(f.Tools->Hint(), f.Bold->Hint);
    f.Tools->Perform(WM_NCMOUSEMOVE, kHitDragArea, PointToLParam(centre));
    EXPECT_EQ(f.Tools->Hint(), "");
    EXPECT_EQ(f.Tools->Perform(CM_DIALOGCHAR, 'b'), 1);
    EXPECT_EQ(f.Clicked, std::vector<std::string>{"&Bold"});
    // "i" is two items' first letter but no access key of a unique one:
    // "&Italic" and "&Insert" share it, and a toolbar opens nothing for it.
    EXPECT_EQ(f.Tools->Perform(CM_DIALOGCHAR, 'i'), 0);
    EXPECT_EQ(f.Tools->Perform(CM_DIALOGCHAR, 'z'), 0);
    f.Bold->SetEnabled(false);
    EXPECT_EQ(f.Tools->Perform(CM_DIALOGCHAR, 'b'), 0);
    EXPECT_EQ(f.Clicked.size(), 1u);
}

TEST(ToolbarKeys, ShortcutsGoToTheActiveFormFirstAndOnShortCutMayTakeThem) {
    TKeysForm main;
    TKeysForm dialog;
    const TShortCut ctrlO = ShortCut('O', ssCtrl);
    main.Open->ShortCut = ctrlO;
    dialog.Open->ShortCut = ctrlO;
    EXPECT_TRUE(ToolbarsProcessShortCut(&dialog.Form, &main.Form, ctrlO));
    EXPECT_EQ(dialog.Clicked, std::vector<std::string>{"&Open"});
    EXPECT_TRUE(main.Clicked.empty());

    // Not on the active form: the main form's.
    dialog.Open->ShortCut = 0;
    EXPECT_TRUE(ToolbarsProcessShortCut(&dialog.Form, &main.Form, ctrlO));
    EXPECT_EQ(main.Clicked, std::vector<std::string>{"&Open"});

    // OnShortCut is asked before any item; a toolbar that does not process
    // shortcuts is not asked at all.
    std::vector<TShortCut> asked;
    main.Menu->OnShortCut = [&](TTBCustomToolbar*, TShortCut key, bool& handled) {
        asked.push_back(key);
        handled = true;
    };
    EXPECT_TRUE(ToolbarsProcessShortCut(&main.Form, &main.Form, ctrlO));
    EXPECT_EQ(asked, std::vector<TShortCut>{ctrlO});
    EXPECT_EQ(main.Clicked.size(), 1u);
    main.Menu->SetProcessShortCuts(false);
    main.Menu->SetMenuBar(false);
    EXPECT_FALSE(ToolbarsProcessShortCut(&main.Form, &main.Form, ctrlO));
    EXPECT_EQ(asked.size(), 1u);
    // A disabled form takes no shortcut.
    main.Menu->SetProcessShortCuts(true);
    main.Form.SetEnabled(false);
    EXPECT_FALSE(ToolbarsProcessShortCut(&main.Form, &main.Form, ctrlO));
}

TEST(ToolbarKeys, TheChevronOpensAPopupOfTheHiddenItemsOnly) {
    TKeysForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Bottom, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"});
    f.SetWidth(bar->Width() / 2);
    TTBView* view = bar->View();
    TTBItemViewer* chevron = view->ViewerOf(bar->ChevronItem());
    ASSERT_TRUE(chevron->Show);
    std::vector<std::string> listed;
    f.Driver.Do([&] {
        TTBView* popup = OpenedView(view);
        ASSERT_NE(popup, nullptr);
        for (int i = 0; i < popup->ViewerCount(); ++i)
            if (popup->Viewers(i)->Show)
                listed.push_back(popup->Viewers(i)->Item()->Caption());
    });
    f.Key(VK_ESCAPE);
    f.Key(VK_ESCAPE);
    view->Select(chevron);
    TrackMenu(view, tbtmMenuMode | tbtmSelectFirst);
    std::vector<std::string> hidden;
    for (int i = 0; i < bar->Items()->Count(); ++i)
        if (view->ViewerOf(bar->Items()->ItemAt(i))->OffEdge)
            hidden.push_back(bar->Items()->ItemAt(i)->Caption());
    EXPECT_FALSE(hidden.empty());
    EXPECT_EQ(listed, hidden);
}

} // namespace
