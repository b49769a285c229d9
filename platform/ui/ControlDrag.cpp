// Dragging one control onto another with the mouse.  The drag is a modal
// loop that holds the source's capture: the pointer's moves ask the
// control under it whether it takes the source (entering, moving over and
// leaving it), the cursor shows the source's DragCursor over one that does
// and crNoDrop elsewhere, and releasing the left button drops onto it.
// Escape, the right button or the capture going elsewhere cancel.  The
// source is told how the drag ended in every case but one that never
// started: a press released before the pointer moved the threshold stays
// an ordinary click (the release goes on to the control).  The source
// hears OnStartDrag when the drag starts, before any control is asked.
//
// A control in dock mode (DragKind dkDock) is not offered to anyone: the
// drag ends with the control moved into the dock site under the pointer,
// or floating in a window of its own elsewhere (ControlDock.cpp), and
// cancelling leaves it where it was.

#include "platform/ui/Control.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/ModalLoop.h"

#include <cstdlib>
#include <optional>

class TControlDragLoop;

namespace {
// One drag at a time: the pointer drags one thing.
TControlDragLoop* runningDrag = nullptr;
} // namespace

int DragThreshold() { return 5; }

TControl* DragTargetAt(TPoint screen) {
    TWinControl* window = ControlAtScreen(screen);
    if (window == nullptr)
        return nullptr;
    if (TControl* child = window->ControlAtPos(window->ScreenToClient(screen)))
        return child;
    return window;
}

TWinControl* DockSiteAt(TPoint screen, const TControl& source) {
    TControl* over = DragTargetAt(screen);
    TWinControl* site = over == nullptr ? nullptr : over->Window();
    // Nothing inside the source takes it: those windows are the first of
    // the chain up from the point, up to the source itself.
    if (site != nullptr && site->IsWithin(source))
        site = source.Parent();
    for (; site != nullptr; site = site->Parent())
        if (site->DockSite())
            return site;
    return nullptr;
}

class TControlDragLoop : public TModalLoop {
public:
    TControlDragLoop(TControl* source, bool immediate, int threshold)
        : source_(source), started_(immediate), threshold_(threshold < 0 ? DragThreshold() : threshold),
          dock_(source->DragKind() == dkDock) {
        Capture = source;
    }

    // After the loop: a dock drag that was dropped moves its control.
    void Dock() {
        TControl* source = source_.Get();
        if (!dockDropped_ || source == nullptr)
            return;
        const TPoint corner{lastScreen_.X - grab_.X, lastScreen_.Y - grab_.Y};
        if (TWinControl* site = dockSite_ ? dockSite_->Get() : nullptr)
            source->ManualDock(*site, site->ScreenToClient(corner));
        else
            source->ManualFloat(corner);
    }

    bool IsFor(const TControl* control) const { return source_.Get() == control; }

    void End(bool drop) {
        if (drop && started_)
            this->drop();
        else
            cancel();
    }

protected:
    void Enter() override {
        origin_ = GetCursorPos();
        if (TControl* source = source_.Get()) {
            const TPoint corner = source->ClientToScreen({0, 0});
            grab_ = {origin_.X - corner.X, origin_.Y - corner.Y};
        }
        if (started_) {
            start();
            moveTo(origin_);
        }
    }

    TLoopVerdict Input(TLoopInput& input) override {
        if (input.IsKey()) {
            if (input.Msg == WM_KEYDOWN && input.WParam == VK_ESCAPE)
                cancel();
            return lvSwallow;
        }
        switch (input.Msg) {
        case WM_MOUSEMOVE:
            if (!started_) {
                if (std::abs(input.Screen.X - origin_.X) < threshold_ &&
                    std::abs(input.Screen.Y - origin_.Y) < threshold_)
                    return lvPass;
                started_ = true;
                start();
            }
            moveTo(input.Screen);
            return lvSwallow;
        case WM_LBUTTONUP:
            if (!started_) {
                Finish(0);
                return lvPassAfterLoop;
            }
            moveTo(input.Screen);
            drop();
            return lvSwallow;
        case WM_RBUTTONDOWN:
            cancel();
            return lvSwallow;
        default:
            return started_ ? lvSwallow : lvPass;
        }
    }

    void CaptureLost() override { cancel(); }

    void Leave() override { SetScreenCursor(crDefault); }

private:
    void start() {
        if (!dock_ && source_.Alive())
            source_.Get()->DoStartDrag();
    }

    // The pointer is at screen: tells the control it left and the one it
    // is over now, and shows whether that one takes the source.
    void moveTo(TPoint screen) {
        TControl* source = source_.Get();
        if (source == nullptr) {
            Finish(0);
            return;
        }
        if (dock_) {
            lastScreen_ = screen;
            TWinControl* site = DockSiteAt(screen, *source);
            dockSite_.reset();
            if (site != nullptr)
                dockSite_.emplace(site);
            SetScreenCursor(site != nullptr ? source->DragCursor() : crDefault);
            return;
        }
        TControl* over = DragTargetAt(screen);
        if (over != target()) {
            leaveTarget(screen);
            if (over != nullptr) {
                target_.emplace(over);
                ask(over, screen, dsDragEnter);
            }
        } else if (over != nullptr) {
            ask(over, screen, dsDragMove);
        }
        if (source_.Alive())
            SetScreenCursor(target() != nullptr && accepted_ ? source_.Get()->DragCursor() : crNoDrop);
        lastScreen_ = screen;
    }

    void ask(TControl* over, TPoint screen, TDragState state) {
        const TPoint at = over->ScreenToClient(screen);
        bool accept = false;
        if (source_.Alive())
            over->DragOver(source_.Get(), at.X, at.Y, state, accept);
        accepted_ = accept;
    }

    void leaveTarget(TPoint screen) {
        if (TControl* old = target()) {
            ask(old, screen, dsDragLeave);
            accepted_ = false;
        }
        target_.reset();
    }

    TControl* target() const { return target_ ? target_->Get() : nullptr; }

    void drop() {
        if (dock_) {
            dockDropped_ = true;
            Finish(0);
            return;
        }
        TControl* over = target();
        const bool taken = over != nullptr && accepted_;
        const TPoint at = over != nullptr ? over->ScreenToClient(lastScreen_) : TPoint{};
        TComponentWatch<TControl> dropWatch(over);
        if (over != nullptr)
            leaveTarget(lastScreen_);
        if (taken && dropWatch.Alive() && source_.Alive())
            over->DragDrop(source_.Get(), at.X, at.Y);
        finishWith(taken && dropWatch.Alive() ? over : nullptr, at);
    }

    void cancel() {
        if (started_ && target() != nullptr)
            leaveTarget(lastScreen_);
        finishWith(nullptr, {});
    }

    void finishWith(TControl* target, TPoint at) {
        if (Finishing())
            return;
        Finish(0);
        if (started_ && !dock_ && source_.Alive())
            source_.Get()->DoEndDrag(target, target != nullptr ? at.X : 0, target != nullptr ? at.Y : 0);
    }

    TComponentWatch<TControl> source_;
    std::optional<TComponentWatch<TControl>> target_;
    bool started_;
    int threshold_;
    bool accepted_ = false;
    TPoint origin_;
    TPoint lastScreen_;
    // Dock mode: where in the source the pointer took it, the site under
    // the pointer, and whether the source was dropped.
    bool dock_;
    TPoint grab_;
    std::optional<TComponentWatch<TWinControl>> dockSite_;
    bool dockDropped_ = false;
};

void TControl::BeginDrag(bool immediate, int threshold) {
    if (runningDrag != nullptr)
        return;
    TControlDragLoop loop(this, immediate, threshold);
    runningDrag = &loop;
    struct TClear {
        ~TClear() { runningDrag = nullptr; }
    } clear;
    loop.Run();
    runningDrag = nullptr;
    loop.Dock();
}

bool TControl::Dragging() const { return runningDrag != nullptr && runningDrag->IsFor(this); }

void TControl::EndDrag(bool drop) {
    if (Dragging())
        runningDrag->End(drop);
}

void TControl::DragOver(TControl* source, int x, int y, TDragState state, bool& accept) {
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}

void TControl::DragDrop(TControl* source, int x, int y) {
    if (OnDragDrop)
        OnDragDrop(this, source, x, y);
}

void TControl::DoEndDrag(TControl* target, int x, int y) {
    if (OnEndDrag)
        OnEndDrag(this, target, x, y);
}

void TControl::DoStartDrag() {
    if (OnStartDrag)
        OnStartDrag(this);
}
