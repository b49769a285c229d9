// The menu tracking loop driven by scripted input events: presses outside
// and inside the menus, releases over empty space, Escape, access keys, the
// show delay on a manual clock, the click after the loop, quit requests and
// exceptions; then random input that must always leave nothing behind.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/TBDeferredClick.h"
#include "toolbars/TBPopupWindow.h"

#include "tests/platform/ui/ScriptedPopupMenus.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct TMenuBar {
    TTestBar Bar{100, 50};
    TTBCustomItem* File;
    TTBCustomItem* Edit;
    TTBCustomItem* Open;
    TTBCustomItem* Options;
    TTBCustomItem* Separator;
    TTBCustomItem* Save;
    TTBCustomItem* Recent;
    TTBCustomItem* Undo;
    TTBCustomItem* Cut;
    std::map<TTBCustomItem*, int> Clicks;

    TMenuBar() {
        File = AddSubmenu(Bar.Items, "&File", {"&Open", "&Options", "-", "&Save"});
        Recent = AddSubmenu(*File, "Re&cent", {"one", "two"});
        Edit = AddSubmenu(Bar.Items, "&Edit", {"&Undo", "Cu&t"});
        Open = File->ItemAt(0);
        Options = File->ItemAt(1);
        Separator = File->ItemAt(2);
        Save = File->ItemAt(3);
        Undo = Edit->ItemAt(0);
        Cut = Edit->ItemAt(1);
        Cut->SetEnabled(false);
        for (TTBCustomItem* item : {Open, Options, Save, Undo, Cut, Recent->ItemAt(0), Recent->ItemAt(1)})
            item->OnClick = [this](TTBCustomItem* sender) { ++Clicks[sender]; };
    }
    TTBView* View() { return Bar.View.get(); }
    TTBView* Popup() { return OpenedView(View()); }
    std::function<TPoint()> InPopup(TTBCustomItem* item) {
        return [this, item] { return CentreIn(Popup(), item); };
    }
    // The press on a bar item that starts a loop.
    void PressOn(TTBCustomItem* item) {
        TPoint at = Bar.CentreOf(item);
        SetTBCursorPos(at);
        View()->MouseMoved(at, true);
    }
    // A loop started from the keyboard on a bar item, its menu open with
    // its first item selected.
    void OpenFromKeyboard(TTBCustomItem* item) { View()->Select(Bar.ViewerOf(item)); }
    int TotalClicks() const {
        int total = 0;
        for (auto& [item, count] : Clicks)
            total += count;
        return total;
    }
};

// Nothing of a loop may stay behind it.
void expectNothingLeft(TMenuBar& m) {
    EXPECT_EQ(TBPopupWindowCount(), 0);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(MenuCaptureWindow(), nullptr);
    EXPECT_EQ(TTBMenuLoop::Active(), nullptr);
    EXPECT_FALSE(m.View()->State & vsModal);
}

TEST(MenuLoop, TheChosenItemIsClickedAfterTheLoopHasUnwound) {
    TLoopFixture f;
    TMenuBar m;
    struct {
        int Popups = -1;
        TControl* Capture = nullptr;
        TTBMenuLoop* Loop = nullptr;
    } seen;
    m.Open->OnClick = [&](TTBCustomItem* sender) {
        ++m.Clicks[sender];
        seen = {TBPopupWindowCount(), GetCaptureControl(), TTBMenuLoop::Active()};
    };
    m.PressOn(m.File);
    f.Driver.Release(At(m.Bar.CentreOf(m.File))); // released over the bar: the menu stays
    f.Driver.Do([&] { EXPECT_EQ(TBPopupWindowCount(), 1); });
    f.Driver.Click(m.InPopup(m.Open));
    TrackMenu(m.View(), tbtmStartedByMouse);
    EXPECT_FALSE(f.Driver.RanOut);
    EXPECT_EQ(m.Clicks[m.Open], 0); // not yet: it waits for the event loop
    expectNothingLeft(m);
    ProcessMessages();
    EXPECT_EQ(m.Clicks[m.Open], 1);
    EXPECT_EQ(seen.Popups, 0);
    EXPECT_EQ(seen.Capture, nullptr);
    EXPECT_EQ(seen.Loop, nullptr);
    EXPECT_EQ(m.TotalClicks(), 1);
    EXPECT_EQ(f.Settings.Played, (std::vector<std::string>{"MenuPopup", "MenuCommand"}));
}

TEST(MenuLoop, APressOutsideEndsTheLoopAndIsLeftForItsTarget) {
    TLoopFixture f;
    TMenuBar m;
    m.OpenFromKeyboard(m.File);
    // A right press inside the menus is ignored.
    f.Driver.Press(m.InPopup(m.Options), mbRight);
    f.Driver.Do([&] {
        EXPECT_EQ(TBPopupWindowCount(), 1);
        EXPECT_TRUE(f.Driver.NotTaken.empty());
    });
    f.Driver.Press(At({1500, 1000}));
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_FALSE(f.Driver.RanOut);
    ASSERT_EQ(f.Driver.NotTaken.size(), 1u);
    EXPECT_EQ(f.Driver.NotTaken[0].Screen, (TPoint{1500, 1000}));
    expectNothingLeft(m);
    ProcessMessages();
    EXPECT_EQ(m.TotalClicks(), 0);

    // Outside with the right button ends it the same way.
    f.Driver.NotTaken.clear();
    m.OpenFromKeyboard(m.Edit);
    f.Driver.Press(At({5, 5}), mbRight);
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_EQ(f.Driver.NotTaken.size(), 1u);
    expectNothingLeft(m);
}

TEST(MenuLoop, ReleasingOverEmptyPopupSpaceKeepsTheMenusOpen) {
    TLoopFixture f;
    TMenuBar m;
    m.PressOn(m.File);
    f.Driver.Move(m.InPopup(m.Separator));
    f.Driver.Release(m.InPopup(m.Separator));
    f.Driver.Do([&] {
        EXPECT_EQ(TBPopupWindowCount(), 1);
        EXPECT_EQ(m.Popup()->Selected(), nullptr);
    });
    // Pressed again and released outside every menu: they close.
    f.Driver.Press(m.InPopup(m.Separator));
    f.Driver.Move(At({1500, 1000}));
    f.Driver.Release(At({1500, 1000}));
    TrackMenu(m.View(), tbtmStartedByMouse);
    EXPECT_FALSE(f.Driver.RanOut);
    expectNothingLeft(m);
    ProcessMessages();
    EXPECT_EQ(m.TotalClicks(), 0);
}

TEST(MenuLoop, EscapeClosesTheFirstLevelAndLeavesTheBarItemSelected) {
    TLoopFixture f;
    TMenuBar m;
    m.OpenFromKeyboard(m.File);
    f.Driver.Key(VK_DOWN);
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Do([&] {
        EXPECT_EQ(TBPopupWindowCount(), 0);
        ASSERT_NE(m.View()->Selected(), nullptr);
        EXPECT_EQ(m.View()->Selected()->Item(), m.File);
        EXPECT_FALSE(m.View()->State & vsMenuMode);
    });
    // Down opens it again; Right moves to the next menu.
    f.Driver.Key(VK_DOWN);
    f.Driver.Do([&] { EXPECT_EQ(m.Popup()->ParentItem(), m.File); });
    f.Driver.Key(VK_RIGHT);
    f.Driver.Do([&] {
        ASSERT_NE(m.Popup(), nullptr);
        EXPECT_EQ(m.Popup()->ParentItem()->Caption(), m.Edit->Caption());
        EXPECT_EQ(m.View()->Selected()->Item()->Caption(), "&Edit");
        EXPECT_EQ(m.Popup()->Selected()->Item(), m.Undo);
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_FALSE(f.Driver.RanOut);
    expectNothingLeft(m);
    EXPECT_EQ(m.View()->Selected(), nullptr);
}

TEST(MenuLoop, AnAmbiguousAccessKeySelectsAndAUniqueOneChooses) {
    TLoopFixture f;
    TMenuBar m;
    m.OpenFromKeyboard(m.File);
    f.Driver.Key('O', "o");
    f.Driver.Do([&] { EXPECT_EQ(m.Popup()->Selected()->Item(), m.Options); }); // after Open, which was selected
    f.Driver.Key('O', "o");
    f.Driver.Do([&] { EXPECT_EQ(m.Popup()->Selected()->Item(), m.Open); });
    f.Driver.Key('X', "x"); // no match: a beep
    f.Driver.Key('S', "s");
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_FALSE(f.Driver.RanOut);
    EXPECT_EQ(f.Settings.Beeps, 1);
    ProcessMessages();
    EXPECT_EQ(m.Clicks[m.Save], 1);
    EXPECT_EQ(m.TotalClicks(), 1);

    // A disabled item's key selects it but runs nothing.
    m.OpenFromKeyboard(m.Edit);
    f.Driver.Key('T', "t");
    f.Driver.Do([&] { EXPECT_EQ(m.Popup()->Selected()->Item(), m.Cut); });
    f.Driver.Key(VK_RETURN);
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    ProcessMessages();
    EXPECT_EQ(m.TotalClicks(), 1);
    expectNothingLeft(m);
}

TEST(MenuLoop, ASubmenuOpensAndClosesOneShowDelayAfterTheMouseRests) {
    TLoopFixture f;
    f.Settings.Delay = 400;
    TMenuBar m;
    m.OpenFromKeyboard(m.File);
    auto recentOpen = [&] { return m.Popup() != nullptr && OpenedView(m.Popup()) != nullptr; };
    f.Driver.Move(m.InPopup(m.Recent));
    f.Wait(399);
    f.Driver.Do([&] { EXPECT_FALSE(recentOpen()); });
    f.Wait(1);
    f.Driver.Do([&] { EXPECT_TRUE(recentOpen()); });
    // Moving on: it closes one delay later, not before.
    f.Driver.Move(m.InPopup(m.Save));
    f.Wait(300);
    f.Driver.Do([&] { EXPECT_TRUE(recentOpen()); });
    f.Wait(100);
    f.Driver.Do([&] { EXPECT_FALSE(recentOpen()); });
    // Right opens a submenu at once from the keyboard.
    f.Driver.Key(VK_DOWN);
    f.Driver.Do([&] { EXPECT_EQ(m.Popup()->Selected()->Item(), m.Recent); });
    f.Driver.Key(VK_RIGHT);
    f.Driver.Do([&] { EXPECT_TRUE(recentOpen()); });
    f.Driver.Key(VK_RETURN);
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_FALSE(f.Driver.RanOut);
    ProcessMessages();
    EXPECT_EQ(m.Clicks[m.Recent->ItemAt(0)], 1);
    expectNothingLeft(m);
}

TEST(MenuLoop, AQuitRequestEndsTheLoopWithoutItsAction) {
    TLoopFixture f;
    TMenuBar m;
    m.OpenFromKeyboard(m.File);
    f.Driver.Key(VK_DOWN);
    TTBInputEvent quit;
    quit.Kind = tbikQuit;
    f.Driver.Event(quit);
    f.Driver.Key(VK_RETURN); // never reached
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_EQ(f.Driver.Steps.size(), 1u);
    ProcessMessages();
    EXPECT_EQ(m.TotalClicks(), 0);
    expectNothingLeft(m);
}

TEST(MenuLoop, ExceptionsNeverLeaveAPopupACaptureOrALoopBehind) {
    TLoopFixture f;
    TScriptedUserInteraction interaction;
    TMenuBar m;
    // From the click: shown once the loop is gone.
    int popupsWhenRaised = -1;
    m.Open->OnClick = [&](TTBCustomItem*) {
        popupsWhenRaised = TBPopupWindowCount();
        throw Exception("the command failed");
    };
    m.OpenFromKeyboard(m.File);
    f.Driver.Key(VK_RETURN);
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    expectNothingLeft(m);
    ProcessMessages();
    EXPECT_EQ(popupsWhenRaised, 0);
    EXPECT_EQ(interaction.Exceptions(), std::vector<std::string>{"the command failed"});

    // From a handler inside the loop: the loop ends, cleans up, and the
    // exception reaches TrackMenu's caller.
    m.Recent->OnPopup = [](TTBCustomItem*, bool) { throw Exception("could not fill the menu"); };
    m.OpenFromKeyboard(m.File);
    f.Driver.Key(VK_UP); // from the first item round to the last
    f.Driver.Key(VK_RIGHT);
    f.Driver.Key(VK_ESCAPE);
    EXPECT_THROW(TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst), Exception);
    EXPECT_EQ(f.Driver.Steps.size(), 1u);
    f.Driver.Steps.clear();
    expectNothingLeft(m);
}

// Help, hints and the system menu go to the program's own application
// object and active form: no test installs anything between them.
TEST(MenuLoop, AHeldButtonBlocksKeysButHelpWhichReachesTheApplication) {
    TLoopFixture f;
    TMenuBar m;
    std::vector<std::pair<uint16_t, intptr_t>> help;
    Application().OnHelp = [&](uint16_t command, intptr_t context) {
        help.emplace_back(command, context);
        return true;
    };
    m.Options->HelpContext = 77;
    m.PressOn(m.File);
    f.Driver.Move(m.InPopup(m.Options));
    f.Driver.Key(VK_DOWN);
    f.Driver.Do([&] { EXPECT_EQ(m.Popup()->Selected()->Item(), m.Options); });
    f.Driver.Key(VK_F1);
    TrackMenu(m.View(), tbtmStartedByMouse);
    Application().OnHelp = nullptr;
    EXPECT_EQ(help, (std::vector<std::pair<uint16_t, intptr_t>>{{HELP_CONTEXT, 77}}));
    expectNothingLeft(m);
}

TEST(MenuLoop, TheSelectedItemsLongHintIsTheApplicationsHintWhileTheMenuRuns) {
    TLoopFixture f;
    TMenuBar m;
    m.Open->Hint = "Open|Opens a page";
    m.Options->Hint = "Options only";
    std::vector<std::string> hints;
    Application().OnHint = [&](TPersistent*) { hints.push_back(Application().Hint()); };
    m.OpenFromKeyboard(m.File);
    f.Driver.Key(VK_DOWN);
    f.Driver.Key(VK_UP);
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    TrackMenu(m.View(), tbtmMenuMode | tbtmSelectFirst);
    Application().OnHint = nullptr;
    // Options, back to Open, then the bar's File without a hint; the
    // loop's end leaves none.
    EXPECT_EQ(hints, (std::vector<std::string>{"Options only", "Opens a page", ""}));
    EXPECT_EQ(Application().Hint(), "");
    expectNothingLeft(m);
}

TEST(MenuLoop, SpaceOnABarWithoutAMenuOpensTheActiveFormsSystemMenu) {
    TLoopFixture f;
    TMenuBar m;
    TScriptedPopupMenus menus;
    menus.Choose = "Ma&ximize";
    TSysCommandForm form;
    form.SetBounds(40, 30, 300, 200);
    form.Show();
    ASSERT_EQ(Screen().ActiveForm(), &form);
    m.OpenFromKeyboard(m.File);
    f.Driver.Key(VK_SPACE, " ", ssAlt);
    TrackMenu(m.View(), 0);
    expectNothingLeft(m);
    EXPECT_EQ(menus.Shown, 1);
    EXPECT_EQ(menus.At, form.ClientToScreen({0, 0}));
    EXPECT_EQ(form.Commands, (std::vector<unsigned>{SC_KEYMENU, SC_MAXIMIZE}));
    EXPECT_EQ(form.WindowState(), wsMaximized);
    form.Hide();
}

// --- random input --------------------------------------------------------------------

// Every open popup hangs from the view that opened it, from one of its
// viewers, and lies on the monitor.
void checkChain(TTBView* root) {
    for (TTBView* view = root; view->OpenViewerView() != nullptr; view = view->OpenViewerView()) {
        TTBView* child = view->OpenViewerView();
        ASSERT_EQ(child->ParentView(), view);
        ASSERT_GE(view->IndexOfViewer(view->OpenViewer()), 0);
        ASSERT_NE(view->OpenViewerWindow(), nullptr);
        TRect bounds = view->OpenViewerWindow()->BoundsRect();
        ASSERT_GE(bounds.Left, 0);
        ASSERT_GE(bounds.Top, 0);
        ASSERT_LE(bounds.Bottom, 1500);
    }
}

TEST(MenuLoop, RandomInputAlwaysEndsTheLoopWithNothingLeftBehind) {
    std::mt19937 random(31337);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 400; ++round) {
        TLoopFixture f;
        f.Settings.Delay = pick(3) * 200;
        TMenuBar m;
        // A random third menu with nested submenus.
        TTBCustomItem* extra = AddSubmenu(m.Bar.Items, "&View", {"&Tools", "-", "&Zoom", "Status &bar"});
        TTBCustomItem* nested = AddSubmenu(*extra, "&More", {"&A", "&B", "-", "&C"});
        AddSubmenu(*nested, "&Deeper", {"x&1", "x&2"});
        extra->ItemAt(pick(3))->SetEnabled(pick(2) == 0);
        int clicks = 0;
        std::function<void(TTBCustomItem*)> count = [&](TTBCustomItem* item) {
            for (int i = 0; i < item->Count(); ++i) {
                TTBCustomItem* child = item->ItemAt(i);
                if (!(child->ItemStyle & isSubmenu))
                    child->OnClick = [&clicks](TTBCustomItem* sender) {
                        EXPECT_TRUE(sender->Enabled());
                        ++clicks;
                    };
                count(child);
            }
        };
        count(&m.Bar.Items);

        // Random points: on an item of some open view, in its window, or
        // anywhere on the screen.
        auto somewhere = [&]() -> TPoint {
            std::vector<TTBView*> chain;
            for (TTBView* v = m.View(); v != nullptr; v = v->OpenViewerView())
                chain.push_back(v);
            // Mostly the deepest menu, mostly on an item, now and then
            // anywhere on the screen.
            TTBView* view = pick(5) < 3 ? chain.back() : chain[static_cast<size_t>(pick(static_cast<int>(chain.size())))];
            view->ValidatePositions();
            int where = pick(10);
            if (where < 7 && view->ViewerCount() > 0) {
                TRect r = view->Viewers(pick(view->ViewerCount()))->BoundsRect;
                if (!r.IsEmpty())
                    return view->ViewToScreen({r.Left + pick(r.Width()), r.Top + pick(r.Height())});
            }
            if (where < 9) {
                TRect r = TBWindowScreenRect(view->Window());
                return {r.Left + pick(std::max(1, r.Width())), r.Top + pick(std::max(1, r.Height()))};
            }
            return {pick(2000), pick(1500)};
        };
        const uint16_t keys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_TAB, VK_RETURN, VK_ESCAPE};
        int steps = 5 + pick(60);
        for (int i = 0; i < steps; ++i) {
            switch (pick(8)) {
            case 0:
            case 1:
                f.Driver.Move(somewhere);
                break;
            case 2:
                f.Driver.Press(somewhere, pick(4) == 0 ? mbRight : mbLeft);
                break;
            case 3:
                f.Driver.Release(somewhere);
                break;
            case 4:
                f.Driver.Key(keys[pick(9)]);
                break;
            case 5: {
                char ch = "ofsecutvmzab12 -q"[pick(17)];
                f.Driver.Key(static_cast<uint16_t>(std::toupper(ch)), std::string(1, ch));
                break;
            }
            case 6:
                f.Wait(pick(500));
                break;
            default: {
                TTBInputEvent wheel;
                wheel.Kind = tbikWheel;
                wheel.WheelDelta = pick(2) ? 120 : -120;
                f.Driver.Event(wheel, somewhere);
                break;
            }
            }
        }
        // Then a way out: let go of the button and press Escape until the
        // loop ends; it must end within the depth of the menus.
        f.Driver.Release(At({1999, 1499}));
        for (int i = 0; i < 5; ++i)
            f.Driver.Key(VK_ESCAPE);
        f.Driver.AfterEachStep = [&](TTBModalMachine&) { checkChain(m.View()); };

        m.View()->Select(m.Bar.ViewerOf(m.Bar.Items.ItemAt(pick(3))));
        unsigned options = static_cast<unsigned>(pick(8));
        if (options & tbtmStartedByMouse) {
            TPoint at = m.Bar.CentreOf(m.View()->Selected()->Item());
            SetTBCursorPos(at);
        }
        TrackMenu(m.View(), options);
        ASSERT_FALSE(f.Driver.RanOut) << "round " << round;
        expectNothingLeft(m);
        int before = clicks;
        ProcessMessages();
        ASSERT_LE(clicks - before, 1) << "round " << round;
        ASSERT_EQ(PendingItemClicks(), 0);
    }
}

} // namespace
