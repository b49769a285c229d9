// Docks with toolbars and tool windows, without a window system: bars in
// rows, shrinking behind the chevron, menu bars, floating and docking
// again, and the drag and resize loops fed scripted input.

#include "tests/toolbars/DockTestSupport.h"

#include "platform/base/Filer.h"
#include "platform/base/Stream.h"
#include "platform/gfx/Bitmap.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WindowNotices.h"
#include "toolbars/TBClasses.h"
#include "toolbars/TBDragLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TEST(Dock, ToolbarsLieInRowsAndTheDockIsAsThickAsItsRows) {
    TDockForm f;
    TTBToolbar* a = f.Toolbar("A", f.Top, {"One", "Two"});
    TTBToolbar* b = f.Toolbar("B", f.Top, {"Three"});
    EXPECT_TRUE(a->Docked());
    EXPECT_EQ(a->CurrentDock(), f.Top);
    EXPECT_EQ(a->DockType(), dtTopBottom);
    // The docked frame: 2 pixels around and the 6-pixel drag handle.
    EXPECT_EQ(a->Width(), a->SizeAsked().cx + 10);
    EXPECT_EQ(a->ClientWidth(), a->SizeAsked().cx);
    EXPECT_EQ(a->ClientOrigin(), (TPoint{8, 2}));
    EXPECT_EQ(a->BoundsRect(), Bounds(0, 0, a->Width(), a->SizeAsked().cy + 4));
    EXPECT_EQ(b->Left(), a->Width());
    EXPECT_EQ(f.Top->Height(), a->Height());
    EXPECT_EQ(f.Top->VisibleBarList().size(), 2u);

    // A second row, then hiding the first row's bars closes it up.
    b->SetDockRow(1);
    EXPECT_EQ(b->BoundsRect(), Bounds(0, a->Height(), b->Width(), b->Height()));
    EXPECT_EQ(f.Top->Height(), a->Height() + b->Height());
    a->Hide();
    EXPECT_EQ(b->Top(), 0);
    EXPECT_EQ(b->PlacedRow, 0);
    EXPECT_EQ(f.Top->Height(), b->Height());
    b->Hide();
    EXPECT_EQ(f.Top->Height(), 0);
    f.Top->SetFixAlign(true);
    EXPECT_EQ(f.Top->Height(), 1);

    // A vertical dock turns the bar and puts the handle on top.
    a->Show();
    a->SetParent(f.Left);
    EXPECT_EQ(a->View()->Orientation, tbvoVertical);
    EXPECT_EQ(a->ClientOrigin(), (TPoint{2, 8}));
    EXPECT_EQ(f.Left->Width(), a->Width());
    EXPECT_GT(a->Height(), a->Width());
}

TEST(Dock, AChevronToolbarShrinksButKeepsItsLastUsedItemAndTheChevron) {
    TDockForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"});
    int full = bar->Width();
    TTBCustomItem* gamma = bar->Items()->ItemAt(2);
    bar->View()->PromoteViewer(bar->View()->ViewerOf(gamma));
    f.SetWidth(full / 2);
    EXPECT_EQ(bar->Width(), full / 2);
    EXPECT_TRUE(bar->View()->ViewerOf(gamma)->Show);
    EXPECT_TRUE(bar->View()->ViewerOf(bar->Items()->ItemAt(4))->OffEdge);
    EXPECT_TRUE(bar->ChevronItem()->Enabled());

    // However narrow the dock, the bar keeps its last used item and the
    // chevron, beside its frame.
    f.SetWidth(5);
    TRect shown = bar->View()->ViewerOf(gamma)->BoundsRect;
    EXPECT_TRUE(bar->View()->ViewerOf(gamma)->Show);
    EXPECT_EQ(bar->Width(), shown.Width() + 12 + 10);
    EXPECT_EQ(bar->ShrunkLength(), bar->Width());

    // Room again: everything shows and nothing is shrunk.
    f.SetWidth(640);
    EXPECT_EQ(bar->Width(), full);
    EXPECT_EQ(bar->ShrunkLength(), 0);
    for (int i = 0; i < bar->Items()->Count(); ++i)
        EXPECT_TRUE(bar->View()->ViewerOf(bar->Items()->ItemAt(i))->Show);
}

TEST(Dock, AMenuBarTakesTheWholeRowAndWraps) {
    TDockForm f;
    TTBToolbar* other = f.Toolbar("Other", f.Top, {"X"});
    TTBToolbar* menu = f.Toolbar("Menu", f.Top, {"&File", "&Edit", "&View", "&Insert", "&Tools", "&Help"});
    menu->SetMenuBar(true);
    EXPECT_TRUE(menu->FullSize());
    EXPECT_EQ(menu->ShrinkMode(), tbsmWrap);
    EXPECT_FALSE(menu->CloseButton());
    EXPECT_TRUE(menu->ProcessShortCuts());
    EXPECT_EQ(menu->Width(), f.Top->ClientWidth());
    EXPECT_NE(menu->PlacedRow, other->PlacedRow);
    int oneLine = menu->Height();
    f.SetWidth(100);
    EXPECT_GT(menu->Height(), oneLine);
    EXPECT_EQ(menu->Width(), 100);

    menu->SetMenuBar(false);
    EXPECT_FALSE(menu->FullSize());
    EXPECT_EQ(menu->ShrinkMode(), tbsmChevron);
    EXPECT_TRUE(menu->CloseButton());
}

TEST(Dock, ADoubleClickFloatsABarAndAnotherDocksItWhereItCameFrom) {
    TDockForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Left, {"One", "Two"});
    bar->DoubleClickToggle();
    ASSERT_TRUE(bar->Floating());
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(bar->Parent(), frame);
    EXPECT_EQ(frame->ParentForm, &f.Form);
    EXPECT_EQ(bar->LastDock(), f.Left);
    EXPECT_TRUE(frame->Visible());
    EXPECT_EQ(frame->Width(), bar->Width() + 2 * kTBSizingFrame);
    EXPECT_EQ(frame->Height(), bar->Height() + 2 * kTBSizingFrame + kTBSmallCaption);
    EXPECT_EQ(bar->View()->Orientation, tbvoFloating);
    // A floating bar stays in its last dock's list, but not its shown one.
    EXPECT_EQ(f.Left->BarList().size(), 1u);
    EXPECT_TRUE(f.Left->VisibleBarList().empty());

    bar->DoubleClickToggle();
    EXPECT_EQ(bar->CurrentDock(), f.Left);
    EXPECT_EQ(bar->FloatingFrame(), nullptr);

    // Without a last dock it goes to the start of the default dock's first
    // row; with neither it stays floating.
    f.Toolbar("First", f.Top, {"A"});
    bar->SetFloating(true);
    bar->SetUseLastDock(false);
    EXPECT_EQ(bar->LastDock(), nullptr);
    EXPECT_TRUE(f.Left->BarList().empty());
    bar->DoubleClickToggle();
    EXPECT_TRUE(bar->Floating());
    bar->SetDefaultDock(f.Top);
    bar->DoubleClickToggle();
    EXPECT_EQ(bar->CurrentDock(), f.Top);
    EXPECT_EQ(bar->Left(), 0);
    EXPECT_EQ(bar->PlacedRow, 0);

    // A window without a form cannot float.
    TTBToolbar lonely;
    lonely.SetName("Lonely");
    EXPECT_THROW(lonely.SetFloating(true), EInvalidOperation);
}

TEST(Dock, HidingAFloatingBarHidesItsFrameAndClosingAsksFirst) {
    TDockForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
    bar->SetFloating(true);
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    bool allow = false;
    int closed = 0;
    bar->OnCloseQuery = [&](TPersistent*, bool& canClose) { canClose = allow; };
    bar->OnClose = [&](TPersistent*) { ++closed; };
    bar->CloseWindow();
    EXPECT_TRUE(bar->Visible());
    allow = true;
    bar->CloseWindow();
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(frame->Visible());
    EXPECT_EQ(closed, 1);
    bar->Show();
    EXPECT_TRUE(frame->Visible());
    // The form hidden, the frame hides; an inactive application too.
    f.Form.Hide();
    EXPECT_FALSE(frame->Visible());
    f.Form.Show();
    // The window system tells the application it lost the activation: the
    // frame hides at once, or greys its caption when it stays.
    NotifyWindowNotice(wnApplicationDeactivated, nullptr);
    EXPECT_FALSE(Application().Active());
    EXPECT_FALSE(frame->Visible());
    bar->SetHideWhenInactive(false);
    EXPECT_TRUE(frame->Visible());
    EXPECT_TRUE(bar->InactiveCaption());
    NotifyWindowNotice(wnApplicationActivated, nullptr);
    EXPECT_FALSE(bar->InactiveCaption());
    bar->SetHideWhenInactive(true);
    NotifyWindowNotice(wnApplicationDeactivated, nullptr);
    EXPECT_FALSE(frame->Visible());
    NotifyWindowNotice(wnApplicationActivated, nullptr);
    EXPECT_TRUE(frame->Visible());
}

// A picture whose colour at each point says where the point is (x in red,
// y in green), so that painted pixels tell which part of it they show.
class TGridBackground : public TTBBasicBackground {
public:
    using TTBBasicBackground::TTBBasicBackground;
    void PaintArea(TCanvas& canvas, const TRect& rect, TPoint origin) override {
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x)
                canvas.SetPixel(x, y, RGB((x - origin.X) & 0xFF, (y - origin.Y) & 0xFF, 0x80));
    }
    void AddChangeHandler(TChangeHandler handler, const void*) override { Changed = std::move(handler); }
    void RemoveChangeHandler(const void*) override { Changed = nullptr; }
    void SystemColoursChanged() override {}
    bool PaintsAnything() override { return true; }
    TChangeHandler Changed;
};

TEST(Dock, ABackgroundContinuesFromTheDockAcrossItsBars) {
    TDockForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
    f.Toolbar("Next", f.Top, {"Two"})->SetDockRow(1);
    TGridBackground background;
    f.Top->SetBackground(&background);
    ASSERT_TRUE(background.Changed);
    // The dock's client area and the bar's frame and client area, each
    // painted into a bitmap of its own: a pixel of each shows the part of
    // the picture at its place in the dock.
    auto erase = [](TControl* control, TCanvas& canvas) {
        control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas));
    };
    TBitmap dockImage(f.Top->Width(), f.Top->Height());
    erase(f.Top, dockImage.Canvas());
    TBitmap barClient(bar->ClientWidth(), bar->ClientHeight());
    erase(bar, barClient.Canvas());
    TBitmap barWhole(bar->Width(), bar->Height());
    bar->DrawNCArea(barWhole.Canvas());
    TPoint origin = bar->ClientOrigin();
    for (TPoint p : {TPoint{3, 5}, TPoint{bar->ClientWidth() - 1, bar->ClientHeight() - 1}}) {
        TPoint inDock{bar->Left() + origin.X + p.X, bar->Top() + origin.Y + p.Y};
        EXPECT_EQ(barClient.Canvas().Pixel(p.X, p.Y), dockImage.Canvas().Pixel(inDock.X, inDock.Y));
    }
    // The frame's band between edge and handle shows it too.
    EXPECT_EQ(barWhole.Canvas().Pixel(1, 12), dockImage.Canvas().Pixel(bar->Left() + 1, bar->Top() + 12));
    f.Top->SetBackgroundOnToolbars(false);
    TBitmap plain(bar->ClientWidth(), bar->ClientHeight());
    erase(bar, plain.Canvas());
    EXPECT_EQ(plain.Canvas().Pixel(3, 5), GetSysColor(COLOR_BTNFACE));
    f.Top->SetBackground(nullptr);
    EXPECT_FALSE(background.Changed);
}

TEST(Dock, ADockRefusesToBeNestedOrToMoveWhileItHoldsBars) {
    TDockForm f;
    auto* tool = new TTBToolWindow(&f.Form);
    tool->SetParent(f.Top);
    auto* inner = new TTBDock(&f.Form);
    EXPECT_THROW(inner->SetParent(tool), EInvalidOperation);
    EXPECT_THROW(inner->SetParent(f.Top), EInvalidOperation);
    try {
        f.Top->SetPosition(dpLeft);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot change Position of a TTBDock if it already contains controls");
    }
    f.Top->SetPosition(dpTop);
    EXPECT_EQ(f.Top->Align(), alTop);
    EXPECT_EQ(f.Top->Position(), dpTop);
}

TEST(Dock, ABarFloatingOverAFormThatGoesEndsWithoutIt) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TTBToolbar bar; // owned by nobody: it outlives the form
    bar.SetName("Bar");
    {
        TCustomControl form;
        form.SetBounds(10, 10, 300, 200);
        bar.SetParent(&form);
        bar.SetFloating(true);
        ASSERT_NE(bar.FloatingFrame(), nullptr);
        EXPECT_EQ(bar.FloatingFrame()->ParentForm, &form);
    }
    EXPECT_EQ(bar.Parent(), nullptr);
    EXPECT_FALSE(bar.Floating());
    EXPECT_EQ(bar.FloatingFrame(), nullptr);
    EXPECT_TRUE(TTBCustomDockableWindow::FloatingWindows().empty());
    ProcessMessages(); // the frame goes
    SetTBSystemSettings(nullptr);
}

TEST(Dock, AFloatingFrameHidesWhileItsFormIsMinimisedAndClosingItClosesTheForm) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    {
        TForm form;
        form.SetBounds(10, 10, 300, 200);
        int asked = 0;
        form.OnCloseQuery = [&](TPersistent*, bool& canClose) {
            ++asked;
            canClose = false;
        };
        auto* bar = MakeToolbar(&form, "Bar", {"One"});
        bar->SetParent(&form);
        bar->SetFloating(true);
        TTBFloatingWindowParent* frame = bar->FloatingFrame();
        EXPECT_FALSE(frame->Visible()); // forms start hidden
        form.Show();
        form.SetWindowState(wsMinimized);
        EXPECT_FALSE(frame->Visible());
        form.SetWindowState(wsNormal);
        EXPECT_TRUE(frame->Visible());
        // Closing the frame (Alt+F4 on it) is closing the form.
        EXPECT_NE(frame->Perform(WM_CLOSE), 0);
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(frame->Visible());
    }
    SetTBSystemSettings(nullptr);
}

// --- the drag loop ----------------------------------------------------------------------

struct TDragFixture : TDockForm {
    TScriptedLoopDriver Driver;
    TDragFixture() { SetTBLoopDriver(&Driver); }
    ~TDragFixture() { SetTBLoopDriver(nullptr); }
    void Move(TPoint p) { Driver.Move(At(p)); }
    void Key(TTBInputKind kind, uint16_t key) {
        TTBInputEvent e;
        e.Kind = kind;
        e.Key = key;
        Driver.Event(e);
    }
};

TEST(DragLoop, ABarDraggedOffTheDockFloatsWhereTheOutlineWasAndDocksWhenDraggedBack) {
    TDragFixture f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One", "Two"});
    TPoint handle = TDockForm::HandleOf(bar);
    TPoint grab{handle.X - (f.Form.Left() + bar->Left()), handle.Y - (f.Form.Top() + bar->Top())};
    // The bottom dock refuses the bar on its way.
    int asked = 0;
    f.Bottom->OnRequestDock = [&](TTBDock*, TTBCustomDockableWindow* dragged, bool& accept) {
        asked += dragged == bar;
        accept = false;
    };
    TPoint overBottom = f.Bottom->ClientToScreen({100, 0});
    f.Move(overBottom);
    f.Driver.Do([&] { EXPECT_TRUE(bar->Floating()); });
    f.Move({400, 400});
    f.Driver.Release(At({400, 400}));
    TDockForm::Drag(bar, handle);
    ASSERT_TRUE(bar->Floating());
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    ASSERT_NE(frame, nullptr);
    // The frame lies where the pointer holds it, at the same place of the
    // grab point in the bigger frame.
    EXPECT_TRUE(frame->BoundsRect().Contains({400, 400}));
    EXPECT_EQ(bar->FloatLeft, frame->Left());
    EXPECT_GE(frame->Left(), 400 - frame->Width());
    EXPECT_LE(frame->Left(), 400 - grab.X);
    EXPECT_EQ(f.Top->Height(), 0);
    EXPECT_EQ(f.Top->BarInDrag, nullptr);
    EXPECT_GT(asked, 0);

    // Back over the left dock by its caption: it docks there, in a new row.
    TPoint caption{frame->Left() + 20, frame->Top() + 8};
    TPoint leftDock = f.Left->ClientToScreen({0, 40});
    f.Move(leftDock);
    f.Driver.Release(At(leftDock));
    TDockForm::Drag(bar, caption);
    EXPECT_EQ(bar->CurrentDock(), f.Left);
    EXPECT_EQ(bar->FloatingFrame(), nullptr);
    EXPECT_EQ(ScreenCursor(), crDefault);
}

TEST(DragLoop, CtrlKeepsTheBarFloatingOverADockUntilReleased) {
    TDragFixture f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
    bar->SetFloating(true);
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    frame->SetBounds(300, 300, frame->Width(), frame->Height());
    TPoint caption{302 + kTBSizingFrame, 300 + kTBSizingFrame + 4};
    TPoint overTop = f.Top->ClientToScreen({60, 0});
    bool floatedOverDock = false;
    f.Key(tbikKeyDown, VK_CONTROL);
    f.Move(overTop);
    f.Driver.Do([&] { floatedOverDock = bar->Floating(); });
    f.Key(tbikKeyUp, VK_CONTROL); // no move: the bar docks at once
    f.Driver.Release(At(overTop));
    TDockForm::Drag(bar, caption);
    EXPECT_TRUE(floatedOverDock);
    EXPECT_EQ(bar->CurrentDock(), f.Top);
}

TEST(DragLoop, ABarThatCannotFloatStaysPutWhenDraggedAwayAndShowsTheNoCursor) {
    TDragFixture f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
    f.Toolbar("Next", f.Top, {"Two"});
    bar->DockMode = dmCannotFloat;
    TRect before = bar->BoundsRect();
    int cursor = crDefault;
    f.Move({500, 500});
    f.Driver.Do([&] { cursor = ScreenCursor(); });
    f.Driver.Release(At({500, 500}));
    TDockForm::Drag(bar, TDockForm::HandleOf(bar));
    EXPECT_EQ(cursor, crNo);
    EXPECT_EQ(ScreenCursor(), crDefault);
    EXPECT_EQ(bar->CurrentDock(), f.Top);
    EXPECT_EQ(bar->BoundsRect(), before);
    EXPECT_FALSE(bar->Floating());
}

TEST(DragLoop, EscapeOrAnotherButtonEndsAnOutlineDragWithoutChange) {
    for (int ending = 0; ending < 3; ++ending) {
        TDragFixture f;
        TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
        bar->SmoothDrag = false;
        TRect before = bar->BoundsRect();
        bool outlineShown = false;
        f.Move({400, 400});
        f.Driver.Do([&] { outlineShown = !bar->Floating() && bar->CurrentDock() == f.Top; });
        if (ending == 0)
            f.Key(tbikKeyDown, VK_ESCAPE);
        else if (ending == 1)
            f.Driver.Press(At({400, 400}), mbLeft);
        else
            f.Driver.Press(At({400, 400}), mbRight);
        if (ending == 2) // another button is swallowed; then the release drops it
            f.Key(tbikKeyUp, VK_ESCAPE);
        TDockForm::Drag(bar, TDockForm::HandleOf(bar));
        EXPECT_TRUE(outlineShown);
        EXPECT_FALSE(f.Driver.RanOut);
        EXPECT_EQ(bar->CurrentDock(), f.Top);
        EXPECT_EQ(bar->BoundsRect(), before);
    }
    // Released, the outline drag floats the bar.
    TDragFixture f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
    bar->SmoothDrag = false;
    f.Move({400, 400});
    f.Driver.Release(At({400, 400}));
    TDockForm::Drag(bar, TDockForm::HandleOf(bar));
    EXPECT_TRUE(bar->Floating());
}

TEST(DragLoop, ABarInACrowdedRowLocksItAfterTenPixelsAlongTheDock) {
    for (int step : {9, 10}) {
        TDragFixture f;
        TTBToolbar* first = f.Toolbar("First", f.Top, {"A", "B", "C", "D"});
        TTBToolbar* second = f.Toolbar("Second", f.Top, {"E", "F", "G", "H"});
        int least = 0, other = 0;
        first->ShrinkLimit(least);
        second->ShrinkLimit(other);
        f.SetWidth(least + other + 4);
        ASSERT_EQ(first->PlacedRow, second->PlacedRow);
        ASSERT_GT(second->ShrunkLength() + first->ShrunkLength(), 0);
        TPoint handle = TDockForm::HandleOf(second);
        bool locked = false;
        f.Move({handle.X + step, handle.Y});
        f.Move({handle.X + step + 1, handle.Y});
        f.Driver.Do([&] { locked = f.Top->RowLocked; });
        f.Driver.Release(At({handle.X + step + 1, handle.Y}));
        TDockForm::Drag(second, handle);
        EXPECT_EQ(locked, step >= 10) << step;
        // The drag's end forgets the lock and the crowded row.
        EXPECT_FALSE(f.Top->RowLocked);
        EXPECT_FALSE(f.Top->CrowdedRow);
        EXPECT_EQ(second->CurrentDock(), f.Top);
    }
}

TEST(Dock, AnEmptyBarShrinksAwayAndNeverPushesItsNeighbourToANewRow) {
    TDockForm f;
    TTBToolbar* full = f.Toolbar("Full", f.Top, {"A", "B", "C", "D"});
    TTBToolbar* empty = f.Toolbar("Empty", f.Top, {});
    int fullLeast = 0, emptyLeast = -1;
    full->ShrinkLimit(fullLeast);
    empty->ShrinkLimit(emptyLeast);
    EXPECT_EQ(emptyLeast, 0);
    // The full bar's least length: its first item, the chevron and frame.
    TRect first = full->View()->ViewerOf(full->Items()->ItemAt(0))->BoundsRect;
    EXPECT_EQ(fullLeast, first.Width() + 12 + full->DockedFrameSize().cx);
    // Just room for the full bar shrunk: the empty one stays beside it.
    f.SetWidth(fullLeast + 2);
    EXPECT_EQ(full->PlacedRow, empty->PlacedRow);
    EXPECT_EQ(f.Top->Height(), full->Height());
}

// With room enough, an empty bar keeps its handle and frame in sight,
// where the user can take it; only a crowded row shrinks it away.
TEST(Dock, AnEmptyBarWithRoomStaysInSight) {
    TDockForm f;
    TTBToolbar* empty = f.Toolbar("Empty", f.Top, {});
    TTBToolbar* full = f.Toolbar("Full", f.Top, {"A", "B"});
    EXPECT_GT(empty->DockedFrameSize().cx, 0);
    EXPECT_GE(empty->Width(), empty->DockedFrameSize().cx);
    EXPECT_GT(empty->Height(), 0);
    EXPECT_EQ(empty->PlacedRow, full->PlacedRow);
    EXPECT_GE(full->Left(), empty->Left() + empty->Width());
}

TEST(DragLoop, AFloatingBarDraggedAboveTheScreenKeepsItsCaptionOnIt) {
    TDragFixture f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One"});
    bar->SetFloating(true);
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    frame->SetBounds(300, 300, frame->Width(), frame->Height());
    TPoint caption{310, 300 + kTBSizingFrame + 8};
    f.Move({310, -400});
    f.Driver.Release(At({310, -400}));
    TDockForm::Drag(bar, caption);
    EXPECT_TRUE(bar->Floating());
    // Up as far as it goes with 4 pixels of its border and caption on the
    // screen.
    int band = kTBSizingFrame + kTBSmallCaption;
    EXPECT_LT(frame->Top(), 0);
    EXPECT_GE(frame->Top() + band, 4);
}

TEST(DragLoop, TheDecisionsDivideNothingByZeroAndPickRowsByTheirQuarters) {
    // A 1-pixel window scales its grab point by nothing.
    EXPECT_EQ(DragOutline({50, 50}, {0, 0}, {0, 0}, 30, 20), Bounds(50, 50, 30, 20));
    EXPECT_EQ(DragOutline({50, 50}, {10, 5}, {20, 10}, 41, 21), Bounds(30, 40, 41, 21));
    std::vector<TTBDragRow> rows{{26, false}, {0, false}, {26, true}};
    bool newRow = false;
    EXPECT_EQ(ChooseDockRow(rows, 3, false, newRow), 0);
    EXPECT_TRUE(newRow); // above the first quarter of row 0
    EXPECT_EQ(ChooseDockRow(rows, 12, false, newRow), 0);
    EXPECT_FALSE(newRow);
    EXPECT_EQ(ChooseDockRow(rows, 24, false, newRow), 2);
    EXPECT_TRUE(newRow); // the full-size row takes nobody: a row before it
    EXPECT_EQ(ChooseDockRow(rows, 60, false, newRow), 3);
    EXPECT_TRUE(newRow);
    EXPECT_EQ(ChooseDockRow({}, 0, false, newRow), 0);
    EXPECT_TRUE(DockHitTest(Rect(0, 0, 100, 20), false, {50, 30}, {12, 12}, Rect(20, 15, 80, 40)));
    EXPECT_FALSE(DockHitTest(Rect(0, 0, 100, 20), false, {50, 40}, {12, 12}, Rect(20, 30, 80, 60)));
    EXPECT_EQ(SizeRect(Rect(0, 0, 100, 100), 3, {90, 95}, {40, 30}, {0, 0}), Rect(60, 70, 100, 100));
    EXPECT_EQ(SizeRect(Rect(0, 0, 100, 100), 7, {500, 5}, {0, 0}, {150, 0}), Rect(0, 0, 150, 105));
}

// --- resizing ----------------------------------------------------------------------------

TEST(ResizeLoop, AFloatingToolbarJumpsBetweenTheWidthsWhereItsLinesChange) {
    TDragFixture f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"Alpha", "Beta", "Gamma", "Delta"});
    bar->SetFloating(true);
    TTBFloatingWindowParent* frame = bar->FloatingFrame();
    std::vector<TSize> sizes;
    for (const auto& entry : bar->GetFloatingSizes())
        sizes.push_back(entry.Size);
    ASSERT_GE(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].cx, frame->Width());
    for (size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_LT(sizes[i].cx, sizes[i - 1].cx);
        EXPECT_GT(sizes[i].cy, sizes[i - 1].cy);
    }
    // Dragging the right edge half way in: the frame snaps to a listed size.
    TPoint edge{frame->Left() + frame->Width() - 1, frame->Top() + 30};
    int target = frame->Left() + frame->Width() / 2;
    f.Move({target, edge.Y});
    f.Driver.Release(At({target, edge.Y}));
    bar->TrackResizeFrom(1, edge);
    TSize now{frame->Width(), frame->Height()};
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), now), sizes.end());
    EXPECT_LT(now.cx, sizes[0].cx);
    EXPECT_GT(bar->FloatingRightX(), 0);
    EXPECT_EQ(bar->Width(), now.cx - 2 * kTBSizingFrame);
    EXPECT_EQ(bar->Height(), now.cy - 2 * kTBSizingFrame - kTBSmallCaption);
}

TEST(ResizeLoop, AToolWindowStopsAtItsMinimumAndAZeroMaximumNeverLimits) {
    TDragFixture f;
    auto* tool = new TTBToolWindow(&f.Form);
    tool->SetName("Tool");
    tool->SetParent(f.Right);
    tool->SizeClientArea(100, 80);
    EXPECT_EQ(f.Right->Width(), 104);
    EXPECT_EQ(tool->Height(), 80 + 4 + 6);
    tool->SetFloating(true);
    TTBFloatingWindowParent* frame = tool->FloatingFrame();
    TPoint corner{frame->Left() + frame->Width() - 1, frame->Top() + frame->Height() - 1};
    f.Move({corner.X - 500, corner.Y - 500});
    f.Driver.Release(At({corner.X - 500, corner.Y - 500}));
    tool->TrackResizeFrom(7, corner);
    EXPECT_EQ(tool->ClientAreaWidth(), 32);
    EXPECT_EQ(tool->ClientAreaHeight(), 32);
    corner = {frame->Left() + frame->Width() - 1, frame->Top() + frame->Height() - 1};
    f.Move({corner.X + 700, corner.Y + 600});
    f.Driver.Release(At({corner.X + 700, corner.Y + 600}));
    tool->TrackResizeFrom(7, corner);
    EXPECT_EQ(tool->ClientAreaWidth(), 732);
    EXPECT_EQ(tool->ClientAreaHeight(), 632);
}

} // namespace
TEST(Dock, AnEmptyBarStaysInSightOnEveryDockAloneOrBesideAnother) {
    TDockForm f;
    for (TTBDock* dock : {f.Top, f.Bottom, f.Left, f.Right}) {
        SCOPED_TRACE(dock->Name());
        const bool vertical = dock->IsVertical();
        auto along = [vertical](const TControl& c) { return vertical ? c.Height() : c.Width(); };
        auto across = [vertical](const TControl& c) { return vertical ? c.Width() : c.Height(); };
        TTBToolbar* empty = f.Toolbar("Empty" + dock->Name(), dock, {});
        const TSize frame = empty->DockedFrameSize();
        // Alone: its frame along the dock, a button's thickness across it,
        // and the dock as thick as the bar.
        EXPECT_EQ(along(*empty), vertical ? frame.cy : frame.cx);
        EXPECT_EQ(across(*empty), 22 + kTBDockedFrameThickness);
        EXPECT_EQ(across(*dock), across(*empty));
        // Beside a bar of items in the same row: one thickness for both,
        // and its length unchanged.
        TTBToolbar* full = f.Toolbar("Full" + dock->Name(), dock, {"A", "B"});
        EXPECT_EQ(full->PlacedRow, empty->PlacedRow);
        EXPECT_EQ(across(*empty), across(*full));
        EXPECT_EQ(along(*empty), vertical ? frame.cy : frame.cx);
        // Its items back, it is as long as they are.
        auto* item = new TTBCustomItem(&f.Form);
        item->SetCaption("Back");
        empty->Items()->Add(item);
        EXPECT_GT(along(*empty), (vertical ? frame.cy : frame.cx) + 4);
    }
}
TEST(DragLoop, ABarDroppedIntoANewRowKeepsItThroughLaterLayouts) {
    // Smooth and outline drags alike: the bar dropped between two rows
    // gets a row of its own, the rows after it move down, and the next
    // layouts (the form resized) keep them so.
    for (bool smooth : {true, false}) {
        SCOPED_TRACE(smooth ? "smooth" : "outline");
        TDragFixture f;
        TTBToolbar* first = f.Toolbar("First", f.Top, {"A1", "A2"});
        TTBToolbar* second = f.Toolbar("Second", f.Top, {"B1", "B2"});
        TTBToolbar* moved = f.Toolbar("Moved", f.Top, {"C1", "C2"});
        second->SetDockRow(1);
        moved->SetDockRow(2);
        moved->SmoothDrag = smooth;
        const int row = first->Height();
        ASSERT_EQ(second->Top(), row);
        ASSERT_EQ(moved->Top(), 2 * row);
        // Between the first row and the second, near the left end.
        TPoint between = f.Top->ClientToScreen({40, row + 2});
        f.Move(between);
        f.Driver.Release(At(between));
        TDockForm::Drag(moved, TDockForm::HandleOf(moved));
        auto rowsAreKept = [&](const char* when) {
            SCOPED_TRACE(when);
            EXPECT_EQ(first->Top(), 0);
            EXPECT_EQ(moved->Top(), row);
            EXPECT_EQ(second->Top(), 2 * row);
            EXPECT_EQ(f.Top->Height(), 3 * row);
            EXPECT_LT(moved->DockRow(), second->DockRow());
            EXPECT_LT(first->DockRow(), moved->DockRow());
        };
        rowsAreKept("dropped");
        f.SetWidth(500);
        rowsAreKept("the form narrowed");
        f.SetWidth(640);
        rowsAreKept("the form widened again");
    }
}

namespace {

// A bar's properties as a form saves them, designed or at run time.
std::string savedBar(TTBToolbar& bar, bool designing) {
    bar.SetDesigning(designing);
    TMemoryStream stream;
    WritePersistentProperties(stream, bar);
    bar.SetDesigning(false);
    return stream.DataString();
}

void readBar(const std::string& saved, TTBToolbar& bar) {
    TMemoryStream stream;
    stream.WriteBuffer(saved.data(), static_cast<int64_t>(saved.size()));
    stream.SetPosition(0);
    ReadPersistentProperties(stream, bar);
}

} // namespace

TEST(Dock, AFormSavedAtRunTimeSaysSoAndAFloatingBarReadFromADesignedOneFloatsOverItsPlace) {
    RegisterToolbarClasses();
    TDockForm f;
    TTBToolbar* bar = f.Toolbar("Bar", f.Top, {"One", "Two"});
    EXPECT_EQ(savedBar(*bar, true).find("SavedAtRunTime"), std::string::npos);
    const std::string atRunTime = savedBar(*bar, false);
    EXPECT_NE(atRunTime.find("SavedAtRunTime"), std::string::npos);
    EXPECT_FALSE(bar->SavedAtRunTime());

    // Random places on the form: a designed form's bounds are read as the
    // host form's client coordinates and the frame goes there (kept on the
    // monitor); a form saved at run time leaves the frame where it is.
    std::mt19937 random(132);
    TRect area = f.Settings.Monitors()[0].WorkArea;
    for (int round = 0; round < 30; ++round) {
        TTBToolbar* floating = f.Toolbar("Floating" + std::to_string(round), f.Top, {"A", "B"});
        floating->SetFloating(true);
        floating->PlaceFloatingFrame({300, 200});
        TTBFloatingWindowParent* frame = floating->FloatingFrame();
        ASSERT_NE(frame, nullptr);
        TTBToolbar designed(nullptr);
        designed.SetBounds(static_cast<int>(random() % 3000) - 500, static_cast<int>(random() % 2200) - 500,
                           floating->Width(), floating->Height());
        const bool runTime = random() % 3 == 0;
        readBar(savedBar(designed, !runTime), *floating);
        EXPECT_EQ(floating->SavedAtRunTime(), runTime);
        EXPECT_EQ(floating->Left(), 0);
        EXPECT_EQ(floating->Top(), 0);
        ASSERT_EQ(floating->Parent(), frame);
        TPoint expected{300, 200};
        if (!runTime) {
            expected = f.Form.ClientToScreen({designed.Left(), designed.Top()});
            expected.X = std::max(area.Left, std::min(expected.X, area.Right - frame->Width()));
            expected.Y = std::max(area.Top, std::min(expected.Y, area.Bottom - frame->Height()));
        }
        EXPECT_EQ(frame->Left(), expected.X) << round;
        EXPECT_EQ(frame->Top(), expected.Y) << round;
        delete floating;
    }
}
