// The window base without windows: message dispatch, mouse and key
// handling, focus, fonts, windowless children, scroll-bar and caret state.

#include "platform/base/Exceptions.h"
#include "platform/ui/PopupMenu.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/RecordingControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <random>

namespace {

LPARAM at(int x, int y) { return PointToLParam({x, y}); }

TEST(WindowBase, MouseButtonsBecomeMouseEventsClicksAndCapture) {
    TRecordingWindow window;
    window.SetBounds(0, 0, 100, 50);
    window.Perform(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(10, 20));
    EXPECT_TRUE(window.MouseCapture()) << "a press captures the mouse";
    window.Perform(WM_MOUSEMOVE, MK_LBUTTON, at(-5, 70));
    window.Perform(WM_LBUTTONUP, 0, at(30, 40));
    EXPECT_FALSE(window.MouseCapture());
    window.Perform(WM_LBUTTONDOWN, MK_LBUTTON, at(1, 1));
    window.Perform(WM_LBUTTONUP, 0, at(150, 1)); // released outside: no click
    window.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, at(2, 3));
    window.Perform(WM_LBUTTONUP, 0, at(2, 3));
    window.Perform(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, at(4, 5));
    EXPECT_FALSE(window.MouseCapture()) << "only the left button captures";
    window.Perform(WM_RBUTTONUP, MK_CONTROL, at(4, 5));
    std::vector<std::string> expected = {"mousedown", "mousemove", "click",    "mouseup",
                                         "mousedown", "mouseup",   "dblclick", "mousedown",
                                         "mouseup",   "mousedown", "mouseup"};
    ASSERT_EQ(window.Inputs.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(window.Inputs[i].What, expected[i]) << i;
    EXPECT_EQ(window.Inputs[0].Shift, ssLeft | ssShift);
    EXPECT_EQ(window.Inputs[0].X, 10);
    EXPECT_EQ(window.Inputs[1].X, -5);
    EXPECT_EQ(window.Inputs[1].Y, 70);
    EXPECT_EQ(window.Inputs[7].Shift, ssLeft | ssDouble);
    EXPECT_EQ(window.Inputs[9].Key, mbRight);
    EXPECT_EQ(window.Inputs[9].Shift, ssRight | ssCtrl);
}

TEST(WindowBase, CaptureMovesWithNoticeToTheFormerHolder) {
    TRecordingWindow a, b;
    a.SetMouseCapture(true);
    EXPECT_EQ(GetCaptureControl(), &a);
    b.SetMouseCapture(true);
    EXPECT_EQ(GetCaptureControl(), &b);
    ASSERT_EQ(countMessages(a.Messages, WM_CAPTURECHANGED), 1);
    EXPECT_EQ(a.Messages.back().LParam, reinterpret_cast<LPARAM>(&b));
    ReleaseCapture();
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(countMessages(b.Messages, WM_CAPTURECHANGED), 1);
}

TEST(WindowBase, KeysReachKeyDownKeyPressAndKeyUpWithTheShiftState) {
    TRecordingWindow window;
    window.OnKeyDown = [&](TPersistent*, uint16_t& key, TShiftState) {
        if (key == VK_F2)
            key = 0; // taken by the application
    };
    SetModifierKeys(ssCtrl);
    window.Perform(WM_KEYDOWN, 'S', 1);
    SetModifierKeys(0);
    window.Perform(WM_SYSKEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT);
    window.Perform(WM_KEYDOWN, VK_F2, 1);
    window.Perform(WM_CHAR, 0xE9, 1);
    window.Perform(WM_KEYUP, 'S', 1u | KF_PREVIOUS_BIT | KF_UP_BIT);
    ASSERT_EQ(window.Inputs.size(), 5u);
    EXPECT_EQ(window.Inputs[0].Key, 'S');
    EXPECT_EQ(window.Inputs[0].Shift, ssCtrl);
    EXPECT_EQ(window.Inputs[1].Shift, ssAlt);
    EXPECT_EQ(window.Inputs[3].What, "char");
    EXPECT_EQ(window.Inputs[3].Key, 0xE9);
    EXPECT_EQ(window.Inputs[4].What, "up");
}

TEST(WindowBase, WindowlessFocusMovesWithNoticesAndRefusesHiddenControls) {
    TRecordingWindow a, b;
    a.SetFocus();
    EXPECT_TRUE(a.Focused());
    EXPECT_EQ(GetFocusControl(), &a);
    int entered = 0, exited = 0;
    b.OnEnter = [&](TPersistent*) { ++entered; };
    a.OnExit = [&](TPersistent*) { ++exited; };
    b.SetFocus();
    EXPECT_FALSE(a.Focused());
    EXPECT_TRUE(b.Focused());
    EXPECT_EQ(countMessages(a.Messages, WM_KILLFOCUS), 1);
    EXPECT_EQ(a.Messages.back().WParam, reinterpret_cast<WPARAM>(&b));
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 1);
    b.SetFocus(); // already focused: nothing more
    EXPECT_EQ(countMessages(b.Messages, WM_SETFOCUS), 1);
    a.SetEnabled(false);
    EXPECT_THROW(a.SetFocus(), EInvalidOperation);
    TRecordingWindow parent;
    TRecordingWindow* child = new TRecordingWindow;
    child->SetParent(&parent);
    parent.Hide();
    EXPECT_FALSE(child->CanFocus()) << "a hidden parent hides its children";
}

TEST(WindowBase, FontChangesNoticeTheControlAndChildrenThatFollowTheParentFont) {
    TRecordingWindow parent;
    auto* follower = new TRecordingWindow;
    auto* own = new TRecordingWindow;
    own->Font().SetName("Courier New");
    follower->SetParent(&parent);
    own->SetParent(&parent);
    EXPECT_TRUE(follower->ParentFont());
    EXPECT_FALSE(own->ParentFont());
    parent.Font().SetName("Arial");
    parent.Font().SetSize(14);
    EXPECT_GE(countMessages(parent.Messages, CM_FONTCHANGED), 2);
    EXPECT_EQ(follower->Font().Name(), "Arial");
    EXPECT_EQ(follower->Font().Size(), 14);
    EXPECT_TRUE(follower->ParentFont());
    EXPECT_EQ(own->Font().Name(), "Courier New");
    EXPECT_GE(countMessages(follower->Messages, CM_FONTCHANGED), 1);
    follower->Font().SetSize(20);
    EXPECT_FALSE(follower->ParentFont()) << "a font of its own ends following";
    parent.SetColor(clYellow);
    EXPECT_EQ(follower->Color(), clYellow);
    // Freeing the parent frees its children.
    int destroyed = 0;
    follower->DestroyedCounter = &destroyed;
    own->DestroyedCounter = &destroyed;
    {
        TRecordingWindow scope;
        follower->SetParent(&scope);
        own->SetParent(&scope);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(WindowBase, WindowlessChildrenGetTheMouseInTheirOwnCoordinates) {
    TRecordingWindow parent;
    parent.SetBounds(0, 0, 200, 100);
    auto* gutter = new TRecordingGraphic;
    gutter->SetBounds(10, 10, 30, 80);
    gutter->SetParent(&parent);
    EXPECT_EQ(parent.ControlAtPos({15, 12}), gutter);
    parent.Perform(WM_MOUSEMOVE, 0, at(15, 12));
    parent.Perform(WM_LBUTTONDOWN, MK_LBUTTON, at(15, 12));
    parent.Perform(WM_MOUSEMOVE, MK_LBUTTON, at(150, 12)); // captured: still the gutter's
    parent.Perform(WM_LBUTTONUP, 0, at(150, 12));
    parent.Perform(WM_MOUSEMOVE, 0, at(150, 12));
    parent.Perform(WM_LBUTTONDOWN, MK_LBUTTON, at(150, 12));
    ASSERT_EQ(gutter->Inputs.size(), 4u);
    EXPECT_EQ(gutter->Inputs[0].What, "enter");
    EXPECT_EQ(gutter->Inputs[1].What, "mousedown");
    EXPECT_EQ(gutter->Inputs[1].X, 5);
    EXPECT_EQ(gutter->Inputs[1].Y, 2);
    EXPECT_EQ(gutter->Inputs[2].What, "mouseup");
    EXPECT_EQ(gutter->Inputs[2].X, 140);
    EXPECT_EQ(gutter->Inputs[3].What, "leave");
    EXPECT_EQ(parent.Inputs.back().What, "mousedown");
    EXPECT_EQ(parent.Inputs.back().X, 150);
    ReleaseCapture();
}

TEST(WindowBase, ScrollBarsClampPositionsAndHideWhenTheRangeFits) {
    TRecordingWindow plain;
    TRecordingWindow scrolling(nullptr, WS_VSCROLL);
    TScrollInfo info;
    info.Min = 0;
    info.Max = 99;
    info.Page = 10;
    info.Pos = 500;
    EXPECT_EQ(scrolling.SetScrollInfo(SB_VERT, info, SIF_ALL), 90) << "the last page starts at 90";
    EXPECT_TRUE(scrolling.ScrollBarVisible(SB_VERT));
    EXPECT_FALSE(scrolling.ScrollBarVisible(SB_HORZ)) << "no horizontal bar was asked for";
    EXPECT_FALSE(plain.ScrollBarVisible(SB_VERT));
    EXPECT_EQ(scrolling.SetScrollPos(SB_VERT, -3), 90);
    EXPECT_EQ(scrolling.GetScrollPos(SB_VERT), 0);
    info.Page = 100; // everything fits
    scrolling.SetScrollInfo(SB_VERT, info, SIF_PAGE);
    EXPECT_FALSE(scrolling.ScrollBarVisible(SB_VERT));
    scrolling.SetScrollInfo(SB_VERT, info, SIF_PAGE | SIF_DISABLENOSCROLL);
    EXPECT_TRUE(scrolling.ScrollBarVisible(SB_VERT));
    info.Max = 100; // one more position than the page: the bar stays
    scrolling.SetScrollInfo(SB_VERT, info, SIF_RANGE | SIF_PAGE);
    EXPECT_TRUE(scrolling.ScrollBarVisible(SB_VERT));
    EXPECT_EQ(scrolling.GetScrollInfo(SB_VERT).Page, 100u);
    info.Page = 500; // a page larger than the range shrinks to it
    scrolling.SetScrollInfo(SB_VERT, info, SIF_PAGE);
    EXPECT_EQ(scrolling.GetScrollInfo(SB_VERT).Page, 101u);
}

// Against a model in wide arithmetic: the page never exceeds a non-empty
// range, the position stays between Min and the last page's start (never
// below Min, also for empty or huge ranges), and the bar shows exactly
// when the range does not fit in its page.
TEST(WindowBase, ScrollInfoFollowsAWideArithmeticModel) {
    TRecordingWindow scrolling(nullptr, WS_HSCROLL);
    std::mt19937 random(20240611);
    const int edges[] = {std::numeric_limits<int>::min(), -70000, -1, 0, 1, 2, 9, 10, 99, 70000,
                         std::numeric_limits<int>::max()};
    const unsigned pages[] = {0u, 1u, 2u, 10u, 100u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    auto pick = [&](auto& values) { return values[random() % std::size(values)]; };
    for (int round = 0; round < 2000; ++round) {
        TScrollInfo info;
        info.Min = random() % 3 == 0 ? static_cast<int>(random() % 200) - 100 : pick(edges);
        info.Max = random() % 3 == 0 ? static_cast<int>(random() % 200) - 100 : pick(edges);
        info.Page = random() % 3 == 0 ? random() % 50 : pick(pages);
        info.Pos = random() % 3 == 0 ? static_cast<int>(random() % 300) - 150 : pick(edges);
        int pos = scrolling.SetScrollInfo(SB_HORZ, info, SIF_ALL);

        long long span = static_cast<long long>(info.Max) - info.Min + 1;
        long long page = span > 0 && info.Page > span ? span : info.Page;
        long long last = std::max<long long>(info.Min, info.Max - std::max<long long>(page - 1, 0));
        long long expected = std::clamp<long long>(info.Pos, info.Min, last);
        TScrollInfo now = scrolling.GetScrollInfo(SB_HORZ);
        ASSERT_EQ(now.Page, static_cast<unsigned>(page)) << round;
        ASSERT_EQ(pos, expected) << round << ": " << info.Min << ".." << info.Max << " page " << info.Page
                                 << " pos " << info.Pos;
        ASSERT_EQ(now.Pos, expected) << round;
        ASSERT_EQ(now.TrackPos, expected) << round;
        bool fits = page > 0 ? span <= page : info.Max <= info.Min;
        ASSERT_EQ(scrolling.ScrollBarVisible(SB_HORZ), !fits) << round;
    }
}

TEST(WindowBase, OneCaretAtATimeShownByCount) {
    TRecordingWindow a, b;
    a.CreateCaret(2, 16);
    EXPECT_TRUE(a.Caret().Created);
    EXPECT_FALSE(a.Caret().Shown()) << "a new caret is hidden";
    a.ShowCaret();
    EXPECT_TRUE(a.Caret().Shown());
    a.HideCaret();
    a.HideCaret();
    a.ShowCaret();
    EXPECT_FALSE(a.Caret().Shown());
    a.ShowCaret();
    EXPECT_TRUE(a.Caret().Shown());
    a.SetCaretPos(30, 4);
    EXPECT_EQ(a.GetCaretPos(), (TPoint{30, 4}));
    b.CreateCaret(8, 16);
    EXPECT_FALSE(a.Caret().Created) << "the caret moved to b";
    EXPECT_TRUE(b.Caret().Created);
    b.DestroyCaret();
    EXPECT_FALSE(b.Caret().Created);
}

// A menu of another kind, as the menu framework's: it shows itself.
class TOwnPopupMenu : public TCustomPopupMenu {
public:
    TControl* ShownFor = nullptr;
    TPoint At;
    TComponent* Popup(TPoint screen) override {
        ShownFor = dynamic_cast<TControl*>(PopupComponent);
        At = screen;
        return nullptr;
    }
};

TEST(WindowBase, ContextMenusShowTheControlsMenuOrGoUpToTheParent) {
    TRecordingWindow parent;
    auto* child = new TRecordingWindow;
    child->SetParent(&parent);
    auto* menu = new TOwnPopupMenu;
    child->Perform(WM_CONTEXTMENU, 0, at(50, 60));
    EXPECT_EQ(menu->ShownFor, nullptr);
    EXPECT_EQ(countMessages(parent.Messages, WM_CONTEXTMENU), 1) << "unhandled: passed to the parent";
    parent.SetPopupMenu(menu);
    EXPECT_EQ(child->Perform(WM_CONTEXTMENU, 0, at(50, 60)), 1);
    EXPECT_EQ(menu->ShownFor, &parent);
    EXPECT_EQ(menu->At, (TPoint{50, 60}));
    delete menu;
    EXPECT_EQ(parent.PopupMenu(), nullptr) << "a freed menu is forgotten";
    bool handled = false;
    child->OnContextPopup = [&](TPersistent*, TPoint, bool& h) {
        h = true;
        handled = true;
    };
    EXPECT_EQ(child->Perform(WM_CONTEXTMENU, 0, at(1, 1)), 1);
    EXPECT_TRUE(handled);
}

TEST(WindowBase, ControlsStayWindowlessWithoutAPeerFactory) {
    ASSERT_FALSE(HasWindowPeerFactory());
    TRecordingWindow top;
    top.SetBounds(0, 0, 120, 80);
    top.Show();
    top.HandleNeeded();
    EXPECT_FALSE(top.HandleAllocated());
    EXPECT_EQ(top.ClientWidth(), 120);
    EXPECT_EQ(top.ClientHeight(), 80);
    TPaintStruct paint;
    EXPECT_EQ(top.BeginPaint(paint), nullptr) << "no paint cycle outside painting";
    EXPECT_FALSE(top.WindowCanvas().HasDevice());
    top.Invalidate();
    top.ScrollWindow(0, 10);
}

} // namespace
