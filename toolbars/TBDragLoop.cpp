#include "toolbars/TBDragLoop.h"

#include "platform/gfx/Font.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/HatchedOverlay.h"
#include "platform/ui/Keys.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBDockableWindow.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBModal.h"
#include "toolbars/TBTracking.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"

#include <algorithm>
#include <memory>

// ---------------------------------------------------------------------------
// Decisions

namespace {

// The drag scales grab points by the dragged window's size minus 1, which
// is 0 for a window 1 pixel wide: such a window is grabbed at its start.
int scaled(int a, int b, int size) { return size > 0 ? MulDiv(a, b, size) : 0; }

} // namespace

int ChooseDockRow(const std::vector<TTBDragRow>& rows, int centre, bool windowFullSize, bool& newRow) {
    int offset = 0;
    int last = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TTBDragRow& row = rows[i];
        if (row.Size <= 0)
            continue;
        last = static_cast<int>(i);
        bool full = windowFullSize || row.FullSize;
        int threshold = full ? row.Size / 2 : row.Size / 4;
        if (offset + threshold > centre) {
            newRow = true;
            return static_cast<int>(i);
        }
        offset += row.Size;
        if (!full && offset - threshold > centre) {
            newRow = false;
            return static_cast<int>(i);
        }
    }
    newRow = true;
    return last + 1;
}

bool DockHitTest(const TRect& dockRect, bool verticalDock, TPoint cursor, TPoint grab25, const TRect& outline) {
    TRect r = dockRect;
    InflateRect(r, 3, 3);
    if (!(r.Left - (25 - grab25.X) <= cursor.X && cursor.X < r.Right + grab25.X))
        return false;
    if (verticalDock && !(r.Top <= cursor.Y && cursor.Y < r.Bottom))
        return false;
    if (!(r.Top - (25 - grab25.Y) <= cursor.Y && cursor.Y < r.Bottom + grab25.Y))
        return false;
    return RectsIntersect(outline, r);
}

TRect DragOutline(TPoint cursor, TPoint grab, TSize startSize, int width, int height) {
    int left = cursor.X - scaled(width - 1, grab.X, startSize.cx);
    int top = cursor.Y - scaled(height - 1, grab.Y, startSize.cy);
    return Bounds(left, top, width, height);
}

TRect KeepFloatingOutlineOnScreen(TRect outline, const TRect& workArea, int inset, int band) {
    TRect area = workArea;
    InflateRect(area, -inset, -inset);
    if (outline.Bottom < area.Top)
        OffsetRect(outline, 0, area.Top - outline.Bottom);
    else if (outline.Top > area.Bottom)
        OffsetRect(outline, 0, area.Bottom - outline.Top);
    if (outline.Right < area.Left)
        OffsetRect(outline, area.Left - outline.Right, 0);
    else if (outline.Left > area.Right)
        OffsetRect(outline, area.Right - outline.Left, 0);
    // At least 4 pixels of the top band stay on the (whole) work area.
    int lowestTop = workArea.Top + 4 - band;
    if (outline.Top < lowestTop)
        OffsetRect(outline, 0, lowestTop - outline.Top);
    return outline;
}

TRect SizeRect(const TRect& start, int edge, TPoint delta, TSize minimum, TSize maximum) {
    bool left = edge == 0 || edge == 3 || edge == 6;
    bool right = edge == 1 || edge == 4 || edge == 7;
    bool top = edge >= 2 && edge <= 4;
    bool bottom = edge >= 5 && edge <= 7;
    TRect r = start;
    if (left)
        r.Left += delta.X;
    if (right)
        r.Right += delta.X;
    if (top)
        r.Top += delta.Y;
    if (bottom)
        r.Bottom += delta.Y;
    auto limit = [](int& moving, int fixed, int sign, int least, int most) {
        int size = (moving - fixed) * sign;
        if (size < least)
            moving = fixed + sign * least;
        else if (most > 0 && size > most)
            moving = fixed + sign * most;
    };
    if (left)
        limit(r.Left, r.Right, -1, minimum.cx, maximum.cx);
    if (right)
        limit(r.Right, r.Left, 1, minimum.cx, maximum.cx);
    if (top)
        limit(r.Top, r.Bottom, -1, minimum.cy, maximum.cy);
    if (bottom)
        limit(r.Bottom, r.Top, 1, minimum.cy, maximum.cy);
    return r;
}

// ---------------------------------------------------------------------------
// The outline window

class TTBDragOutline::TWindow : public THatchedOverlay {};

TTBDragOutline::TTBDragOutline() = default;

TTBDragOutline::~TTBDragOutline() { delete window_; }

void TTBDragOutline::Show(const TRect& rect, int thickness) {
    if (rect.IsEmpty()) {
        Hide();
        return;
    }
    rect_ = rect;
    thickness_ = thickness;
    if (window_ == nullptr)
        window_ = new TWindow();
    int t = std::max(1, thickness);
    int w = rect.Width(), h = rect.Height();
    window_->SetBounds(rect.Left, rect.Top, w, h);
    window_->SetWindowRegion({::Rect(0, 0, w, t), ::Rect(0, h - t, w, h), ::Rect(0, t, t, h - t),
                              ::Rect(w - t, t, w, h - t)});
    window_->Show();
    window_->Invalidate();
}

void TTBDragOutline::Hide() {
    rect_ = {};
    if (window_ != nullptr)
        window_->Hide();
}

TWinControl* TTBDragOutline::Window() const {
    return window_ != nullptr && window_->Visible() ? window_ : nullptr;
}

// ---------------------------------------------------------------------------
// The drag loop

namespace {

TRect windowScreenRect(const TTBCustomDockableWindow& window) {
    TPoint origin = window.ClientOrigin();
    TPoint topLeft = window.ClientToScreen({-origin.X, -origin.Y});
    return Bounds(topLeft.X, topLeft.Y, window.Width(), window.Height());
}

TRect dockScreenRect(const TTBDock& dock) {
    int dx = (dock.BoundLines() & blLeft) ? 1 : 0, dy = (dock.BoundLines() & blTop) ? 1 : 0;
    TPoint topLeft = dock.ClientToScreen({-dx, -dy});
    return Bounds(topLeft.X, topLeft.Y, dock.Width(), dock.Height());
}

bool accepts(const TTBDock& dock, const TTBCustomDockableWindow& window) {
    return dock.AllowDrag() && (window.DockableTo & DockableToBit(dock.Position()));
}

// The docks of a form, each level's docks by edge (top, bottom, left,
// right) before the levels inside it; controls not showing are passed
// over.
void collectDocks(TWinControl* container, const TTBCustomDockableWindow& window, std::vector<TTBDock*>& docks) {
    auto listed = [&](TTBDock* dock) { return std::find(docks.begin(), docks.end(), dock) != docks.end(); };
    for (TTBDockPosition position : {dpTop, dpBottom, dpLeft, dpRight})
        for (int i = 0; i < container->ControlCount(); ++i) {
            auto* dock = dynamic_cast<TTBDock*>(container->Controls(i));
            if (dock != nullptr && dock->Position() == position && dock->Showing() && accepts(*dock, window) &&
                !listed(dock))
                docks.push_back(dock);
        }
    for (int i = 0; i < container->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(container->Controls(i));
        if (child != nullptr && dynamic_cast<TTBDock*>(child) == nullptr && child != &window && child->Showing())
            collectDocks(child, window, docks);
    }
}

struct TTarget {
    TTBDock* Dock = nullptr; // nullptr: floating
    TRect ScreenRect;
    TSize Size;
    std::vector<TTBDragRow> Rows;
};

class TDragLoop : public TTBTrackingLoop {
public:
    TDragLoop(TTBCustomDockableWindow& window, TPoint press) : window_(window), press_(press) {}

    void Prepare() {
        startDock_ = window_.CurrentDock();
        startRow_ = window_.DockRow();
        startCursor_ = press_;
        if (startDock_ != nullptr) {
            vertical_ = startDock_->IsVertical();
            startDock_->BarInDrag = &window_;
            startDock_->RowLocked = false;
            startDock_->CrowdedRow = false;
            startDock_->WriteBackPositions = true;
            startDock_->LayoutBars();
            crowded_ = startDock_->CrowdedRow;
        }
        smooth_ = window_.SmoothDrag;
        window_.SmoothDragging = smooth_;
        TRect outer = window_.Floating() && window_.FloatingFrame() != nullptr ? window_.FloatingFrame()->BoundsRect()
                                                                              : windowScreenRect(window_);
        grab_ = {press_.X - outer.Left, press_.Y - outer.Top};
        startSize_ = {outer.Width() - 1, outer.Height() - 1};
        noDocking_ = (CurrentShiftState() & ssCtrl) != 0;
        cannotFloat_ = window_.DockMode != dmCanFloat;
        captureWindow_ = TTBCustomDockableWindow::HostFormOf(&window_);
        collectCandidates();
        makeTargets();
        startCursorShape_ = ScreenCursor();
        firstEvaluation_ = true;
        lastCursor_ = press_;
        previousCursor_ = press_;
        evaluate(press_);
    }

    TWinControl* CaptureWindow() const override { return captureWindow_; }

    // Ends the drag whatever way the loop ended (also after an exception).
    void End() {
        outline_.Hide();
        SetScreenCursor(startCursorShape_);
        window_.SmoothDragging = false;
        if (Accepted() && !smooth_ && !outlineRect_.IsEmpty())
            apply();
        // A smooth drag laid the dock out as it went without writing the
        // places back: what shows now is kept, so that the rows the drop
        // pushed down (a new row for the bar) stay down in the next layout.
        if (smooth_ && !window_.Floating())
            if (TTBDock* dock = window_.CurrentDock())
                dock->AdoptPlacedPositions();
        window_.DropLeftFrame();
        for (TTBDock* dock : {startDock_, window_.CurrentDock()}) {
            if (dock == nullptr)
                continue;
            if (dock->BarInDrag == &window_)
                dock->BarInDrag = nullptr;
            dock->RowLocked = false;
            dock->CrowdedRow = false;
        }
    }

protected:
    void Moved(TPoint screen) override {
        if (screen == lastCursor_)
            return;
        previousCursor_ = lastCursor_;
        lastCursor_ = screen;
        evaluate(screen);
    }
    // Ctrl keeps the window floating while it is down.
    void Key(const TTBInputEvent& event) override {
        bool down = event.Kind == tbikKeyDown;
        if (event.Key != VK_CONTROL || down == noDocking_)
            return;
        noDocking_ = down;
        evaluate(lastCursor_);
    }

private:
    void collectCandidates() {
        if (window_.DockMode == dmCannotFloatOrChangeDocks) {
            if (startDock_ != nullptr)
                candidates_.push_back(startDock_);
        } else {
            if (startDock_ != nullptr && accepts(*startDock_, window_))
                candidates_.push_back(startDock_);
            std::vector<TWinControl*> forms{TTBCustomDockableWindow::HostFormOf(&window_)};
            for (TWinControl* form : window_.DockForms())
                if (std::find(forms.begin(), forms.end(), form) == forms.end())
                    forms.push_back(form);
            for (TWinControl* form : forms)
                if (form->Showing())
                    collectDocks(form, window_, candidates_);
        }
        for (TTBDock* dock : candidates_)
            dock->AdoptPlacedPositions();
    }

    void makeTargets() {
        TTarget floating;
        TSize client = window_.ArrangeContents(false, window_.DockType(), nullptr, true);
        TPoint border = window_.FloatingFrameBorder();
        floatingBand_ = border.Y + (window_.ShowCaption() ? kTBSmallCaption : 0);
        floating.Size = {client.cx + 2 * border.X, client.cy + 2 * border.Y + (window_.ShowCaption() ? kTBSmallCaption : 0)};
        targets_.push_back(floating);
        for (TTBDock* dock : candidates_) {
            TTarget target;
            target.Dock = dock;
            target.ScreenRect = dockScreenRect(*dock);
            if (dock == window_.CurrentDock()) {
                target.Size = {window_.Width(), window_.Height()};
            } else {
                TSize size = window_.ArrangeContents(false, window_.DockType(), dock, false);
                TSize frame = window_.DockedFrameSizeFor(dock);
                target.Size = {size.cx + frame.cx, size.cy + frame.cy};
            }
            for (int row = 0; row <= dock->HighestRow(true); ++row) {
                TTBDragRow entry;
                entry.Size = dock->RowCrossSize(row, entry.FullSize);
                target.Rows.push_back(entry);
            }
            targets_.push_back(target);
        }
    }

    const TTarget* targetOf(TTBDock* dock) const {
        for (const TTarget& target : targets_)
            if (target.Dock == dock)
                return &target;
        return nullptr;
    }

    TRect outlineFor(const TTarget& target, TPoint cursor) const {
        return DragOutline(cursor, grab_, startSize_, target.Size.cx, target.Size.cy);
    }

    void evaluate(TPoint cursor) {
        bool searching = firstEvaluation_ ? startDock_ != nullptr && !noDocking_ : !noDocking_;
        firstEvaluation_ = false;
        target_ = nullptr;
        TTBDock* current = window_.CurrentDock();
        if (current != nullptr && current->RowLocked) {
            target_ = current;
        } else if (searching) {
            TPoint grab25{scaled(25, grab_.X, startSize_.cx), scaled(25, grab_.Y, startSize_.cy)};
            for (TTBDock* dock : candidates_) {
                const TTarget* target = targetOf(dock);
                if (target == nullptr ||
                    !DockHitTest(target->ScreenRect, dock->IsVertical(), cursor, grab25, outlineFor(*target, cursor)))
                    continue;
                bool accept = true;
                if (dock->OnRequestDock)
                    dock->OnRequestDock(dock, &window_, accept);
                if (accept) {
                    target_ = dock;
                    break;
                }
            }
        }
        if (target_ == nullptr) {
            TRect area = MonitorAreaOfPoint(cursor, true);
            cursor.X = std::clamp(cursor.X, area.Left, std::max(area.Left, area.Right - 1));
            cursor.Y = std::clamp(cursor.Y, area.Top, std::max(area.Top, area.Bottom - 1));
        }
        const TTarget* entry = targetOf(target_);
        outlineRect_ = entry != nullptr ? outlineFor(*entry, cursor) : TRect{};
        if (target_ == nullptr && entry != nullptr) {
            TRect area = MonitorAreaOfPoint(cursor, true);
            outlineRect_ = KeepFloatingOutlineOnScreen(outlineRect_, area, window_.FloatingFrameBorder().X + 4,
                                                       floatingBand_);
        }
        int shape = startCursorShape_;
        if (target_ == nullptr && cannotFloat_) {
            outlineRect_ = {};
            shape = crNo;
        } else if (current != nullptr && current->RowLocked) {
            shape = current->IsVertical() ? crSizeNS : crSizeWE;
        }
        SetScreenCursor(shape);
        if (smooth_) {
            if (!outlineRect_.IsEmpty())
                apply();
        } else {
            outline_.Show(outlineRect_, target_ != nullptr ? 1 : window_.FloatingFrameBorder().X);
        }
    }

    void apply() {
        TTBDock* dock = target_;
        if (dock == nullptr) {
            window_.PlaceFloatingFrame(outlineRect_.TopLeft());
            window_.SetFloating(true);
            window_.KeepOnScreen(true);
            window_.Invalidate();
            return;
        }
        TPoint topLeft = dock->ScreenToClient(outlineRect_.TopLeft());
        TPoint bottomRight = dock->ScreenToClient(outlineRect_.BottomRight());
        int row = window_.DockRow();
        bool newRow = false;
        if (!dock->RowLocked) {
            int centre = dock->IsVertical() ? (topLeft.X + bottomRight.X) / 2 : (topLeft.Y + bottomRight.Y) / 2;
            const TTarget* target = targetOf(dock);
            row = ChooseDockRow(target->Rows, centre, window_.FullSize(), newRow);
            if (newRow)
                crowded_ = false;
        }
        if (crowded_ && dock == startDock_ && row == startRow_) {
            int moved = vertical_ ? previousCursor_.Y - startCursor_.Y : previousCursor_.X - startCursor_.X;
            if (std::abs(moved) >= 10) {
                crowded_ = false;
                dock->RowLocked = true;
                SetScreenCursor(dock->IsVertical() ? crSizeNS : crSizeWE);
            }
        } else {
            crowded_ = false;
        }
        window_.SetDockRowQuietly(row);
        window_.SetDockPosQuietly(dock->IsVertical() ? topLeft.Y : topLeft.X);
        window_.WantsOwnRow = newRow;
        if (!smooth_)
            dock->WriteBackPositions = true;
        if (window_.Parent() != dock)
            window_.SetParent(dock);
        dock->LayoutBars();
        window_.WantsOwnRow = false;
        window_.Invalidate();
    }

    TTBCustomDockableWindow& window_;
    TPoint press_;
    TTBDock* startDock_ = nullptr;
    int startRow_ = 0;
    TPoint startCursor_;
    bool vertical_ = false;
    bool crowded_ = false;
    bool smooth_ = true;
    TPoint grab_;
    TSize startSize_;
    bool noDocking_ = false;
    bool cannotFloat_ = false;
    TWinControl* captureWindow_ = nullptr;
    std::vector<TTBDock*> candidates_;
    std::vector<TTarget> targets_;
    int floatingBand_ = 0;
    TTBDock* target_ = nullptr;
    TRect outlineRect_;
    TTBDragOutline outline_;
    int startCursorShape_ = crDefault;
    bool firstEvaluation_ = true;
    TPoint lastCursor_;
    TPoint previousCursor_;
};

// ---------------------------------------------------------------------------
// The resize loop

// The least and largest sizes of a floating window's frame (0: no
// largest), from the window's client limits.
void frameSizeLimits(TTBCustomDockableWindow& window, TSize& minimum, TSize& maximum) {
    TTBFloatingWindowParent* frame = window.FloatingFrame();
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    window.ClientSizeLimits(minWidth, minHeight, maxWidth, maxHeight);
    const TPoint extra = frame->FrameSize();
    minimum = {minWidth + extra.X, minHeight + extra.Y};
    maximum = {maxWidth > 0 ? maxWidth + extra.X : 0, maxHeight > 0 ? maxHeight + extra.Y : 0};
}

// Gives a floating window's frame new bounds and the window what the
// frame leaves of them.
void applyFrameRect(TTBCustomDockableWindow& window, const TRect& r) {
    TTBFloatingWindowParent* frame = window.FloatingFrame();
    if (frame == nullptr)
        return;
    window.BeginUpdate();
    window.BeforeSizeApplied();
    frame->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    TPoint extra = frame->FrameSize();
    window.SetBounds(0, 0, r.Width() - extra.X, r.Height() - extra.Y);
    window.EndUpdate();
    window.KeepOnScreen(true);
}

class TResizeLoop : public TTBTrackingLoop {
public:
    TResizeLoop(TTBCustomDockableWindow& window, int edge, TPoint press)
        : window_(window), edge_(edge), press_(press) {}

    void Prepare() {
        TTBFloatingWindowParent* frame = window_.FloatingFrame();
        frameSizeLimits(window_, minimum_, maximum_);
        window_.SizingStarted(edge_);
        smooth_ = window_.SmoothDrag;
        captureWindow_ = frame;
        start_ = frame->BoundsRect();
        last_ = press_;
        if (!smooth_)
            outline_.Show(start_, window_.FloatingFrameBorder().X);
    }

    TWinControl* CaptureWindow() const override { return captureWindow_; }

    void End() {
        outline_.Hide();
        if (Accepted() && !smooth_ && proposed_)
            apply(rect_);
        window_.SizingFinished();
    }

protected:
    void Moved(TPoint screen) override {
        if (screen == last_)
            return;
        last_ = screen;
        step(screen);
    }

private:
    void step(TPoint cursor) {
        TRect r = SizeRect(start_, edge_, {cursor.X - press_.X, cursor.Y - press_.Y}, minimum_, maximum_);
        window_.ProposeSizingRect(r, start_);
        rect_ = r;
        proposed_ = true;
        if (smooth_)
            apply(r);
        else
            outline_.Show(r, window_.FloatingFrameBorder().X);
    }

    void apply(const TRect& r) { applyFrameRect(window_, r); }

    TTBCustomDockableWindow& window_;
    int edge_;
    TPoint press_;
    TSize minimum_;
    TSize maximum_;
    bool smooth_ = true;
    TWinControl* captureWindow_ = nullptr;
    TRect start_;
    TRect rect_;
    bool proposed_ = false;
    TPoint last_;
    TTBDragOutline outline_;
};

// Runs a machine to its end, ending it also when the loop raises.
template <class Loop> void runLoop(Loop& loop) {
    try {
        if (!loop.Finished())
            TBLoopDriver().Run(loop);
    } catch (...) {
        loop.End();
        throw;
    }
    loop.End();
}

} // namespace

void TTBCustomDockableWindow::TrackDrag(int x, int y) {
    if (!CanDrag())
        return;
    TDragLoop loop(*this, ClientToScreen({x, y}));
    try {
        loop.Prepare();
    } catch (...) {
        loop.End();
        throw;
    }
    runLoop(loop);
}

void TTBCustomDockableWindow::FollowFloatingFrame() {
    TTBFloatingWindowParent* frame = FloatingFrame();
    if (frame == nullptr || Parent() != frame || updateCount_ > 0 || IsLoading())
        return;
    const TPoint extra = frame->FrameSize();
    const TRect fitted = Bounds(frame->Left(), frame->Top(), Width() + extra.X, Height() + extra.Y);
    const TRect given = frame->BoundsRect();
    if (given == fitted)
        return;
    // Sized by the window system: as if its right or bottom edge had been
    // dragged there, within the window's limits (a window that does not
    // size takes its own size back).
    if (!Resizable()) {
        applyFrameRect(*this, fitted);
        return;
    }
    TSize minimum, maximum;
    frameSizeLimits(*this, minimum, maximum);
    const bool across = given.Width() != fitted.Width(), down = given.Height() != fitted.Height();
    const int edge = across && down ? 7 : across ? 1 : 5;
    TRect r = SizeRect(fitted, edge, {given.Width() - fitted.Width(), given.Height() - fitted.Height()}, minimum, maximum);
    SizingStarted(edge);
    ProposeSizingRect(r, fitted);
    applyFrameRect(*this, r);
    SizingFinished();
}

void TTBCustomDockableWindow::TrackResize(int edge) { TrackResizeFrom(edge, GetCursorPos()); }

void TTBCustomDockableWindow::TrackResizeFrom(int edge, TPoint pressScreen) {
    if (!Floating() || FloatingFrame() == nullptr || edge < 0 || edge > 7)
        return;
    TResizeLoop loop(*this, edge, pressScreen);
    loop.Prepare();
    runLoop(loop);
}
