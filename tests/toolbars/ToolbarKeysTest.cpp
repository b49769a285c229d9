// A form's toolbars and the keyboard: Alt and Alt+letter on a menu bar,
// access keys on a plain toolbar, shortcuts looked for in the active form
// and then the main form, and the chevron's popup of hidden items, each
// with scripted input to the menu loop.

#include "tests/toolbars/DockTestSupport.h"

#include "platform/base/Utf8.h"
#include "platform/ui/NonClientMouse.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

#include <random>

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

// Captions in any script against typed characters in either case: a
// menu opens for its access key however many bytes the character takes,
// an item without one answers to its first character, and a character no
// caption has beeps.
TEST(ToolbarKeys, AccessKeysAreWholeCharactersComparedInEitherCase) {
    struct TPair {
        const char* Lower;
        const char* Upper;
    };
    // (Each a key of its own; "o" and "O" stand for ASCII.)
    const TPair pairs[] = {{"o", "O"}, {"\xC3\xA9", "\xC3\x89"}, {"\xC3\xBC", "\xC3\x9C"},
                           {"\xD0\xB6", "\xD0\x96"}, {"\xCE\xBB", "\xCE\x9B"}, {"\xC5\x93", "\xC5\x92"}};
    std::mt19937 random(23);
    for (int round = 0; round < 20; ++round) {
        TKeysForm f;
        // Menus for some of the keys, marked in either case; the last pair
        // is no menu's.
        std::vector<TTBCustomItem*> menuOf(std::size(pairs), nullptr);
        for (size_t p = 0; p + 1 < std::size(pairs); ++p) {
            if (random() % 3 == 0)
                continue;
            std::string caption = std::string("x&") + (random() % 2 ? pairs[p].Upper : pairs[p].Lower) + "y";
            menuOf[p] = AddSubmenu(*f.Menu->Items(), caption, {"First", "&Second"});
        }
        // An item without an access key answers to its first character.
        std::string plain = std::string(pairs[1].Upper) + "tape";
        TTBCustomItem* plainMenu = AddSubmenu(*f.Menu->Items(), "Tools", {"Run", plain});
        for (int step = 0; step < 8; ++step) {
            const size_t p = random() % std::size(pairs);
            const bool upper = random() % 2;
            size_t at = 0;
            const std::string typed = upper ? pairs[p].Upper : pairs[p].Lower;
            const char32_t ch = Utf8CharacterAt(typed, at);
            TTBItemViewer* opened = nullptr;
            f.Driver.Do([&] {
                if (TTBView* popup = OpenedView(f.Menu->View()))
                    opened = f.Menu->View()->ViewerOf(popup->ParentItem());
            });
            f.Key(VK_ESCAPE);
            f.Key(VK_ESCAPE);
            const int beeps = f.Settings.Beeps;
            const bool hasMenu = menuOf[p] != nullptr;
            // The File and Edit menus ("&F", "&E") never answer these.
            EXPECT_TRUE(ToolbarsSysCommand(&f.Form, SC_KEYMENU, static_cast<LPARAM>(ch)));
            if (hasMenu) {
                EXPECT_EQ(opened, f.Menu->View()->ViewerOf(menuOf[p])) << "round " << round << " pair " << p;
                EXPECT_EQ(f.Settings.Beeps, beeps);
            } else {
                EXPECT_EQ(opened, nullptr) << "round " << round << " pair " << p;
                EXPECT_EQ(f.Settings.Beeps, beeps + 1);
            }
            f.Driver.Steps.clear();
        }
        // Inside the open menu, the plain item's first character picks it
        // (the only one: it runs).
        int plainClicks = 0;
        plainMenu->ItemAt(1)->OnClick = [&](TTBCustomItem*) { ++plainClicks; };
        f.Driver.Key(0, pairs[1].Lower);
        f.Menu->View()->Select(f.Menu->View()->ViewerOf(plainMenu));
        TrackMenu(f.Menu->View(), tbtmMenuMode | tbtmSelectFirst);
        EXPECT_FALSE(f.Driver.RanOut);
        ProcessMessages();
        EXPECT_EQ(plainClicks, 1) << "round " << round;
    }
}

} // namespace
