// The plain popup menu: the event before it shows, only enabled items are
// clicked, and a control's own menu shows on the context-menu message.

#include "platform/base/Exceptions.h"
#include "platform/ui/Control.h"
#include "platform/ui/PopupMenu.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/RecordingControls.h"
#include "tests/platform/ui/ScriptedPopupMenus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(PopupMenu, TheOwnerSetsItemsBeforeTheMenuShowsAndOnlyEnabledItemsAreClicked) {
    TScriptedPopupMenus presenter;
    TPopupMenu menu;
    std::vector<std::string> clicked;
    menu.Add("&First", [&](TPersistent*) { clicked.push_back("first"); });
    menu.Add("-");
    menu.Add("&Second", [&](TPersistent*) { clicked.push_back("second"); });
    bool enableSecond = false;
    menu.OnPopup = [&](TPersistent*) { menu.Items(2)->Enabled = enableSecond; };
    presenter.ChooseIndex = 2;
    EXPECT_EQ(menu.Popup({5, 6}), nullptr) << "a disabled item is not clicked";
    EXPECT_EQ(presenter.At, (TPoint{5, 6}));
    ASSERT_EQ(presenter.Items.size(), 3u);
    EXPECT_EQ(presenter.Items[2], std::make_pair(std::string("&Second"), false));
    enableSecond = true;
    EXPECT_EQ(menu.Popup({0, 0}), menu.Items(2));
    presenter.ChooseIndex = 1;
    EXPECT_EQ(menu.Popup({0, 0}), nullptr) << "a separator is no command";
    presenter.ChooseIndex = 0;
    menu.Popup({0, 0});
    EXPECT_EQ(clicked, (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(menu.IndexOf(menu.Items(2)), 2);
    EXPECT_THROW(menu.Items(3), EListError);
}

TEST(PopupMenu, WithoutAPresenterNothingShows) {
    TPopupMenu menu;
    bool popped = false;
    menu.OnPopup = [&](TPersistent*) { popped = true; };
    menu.Add("Item");
    EXPECT_EQ(menu.Popup({0, 0}), nullptr);
    EXPECT_TRUE(popped);
}

TEST(PopupMenu, AControlShowsItsOwnMenuOnTheContextMenuMessage) {
    TScriptedPopupMenus presenter;
    TRecordingWindow window;
    window.SetBounds(0, 0, 100, 50);
    TPopupMenu menu;
    menu.Add("Only");
    window.SetPopupMenu(&menu);
    LRESULT result = window.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(&window), PointToLParam({40, 30}));
    EXPECT_EQ(result, 1);
    ASSERT_EQ(presenter.Shown, 1);
    EXPECT_EQ(presenter.At, (TPoint{40, 30}));
    EXPECT_EQ(menu.PopupComponent, &window);
    window.SetPopupMenu(nullptr);
    window.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(&window), PointToLParam({40, 30}));
    EXPECT_EQ(presenter.Shown, 1) << "no menu, nothing shown";
}
