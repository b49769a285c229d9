#include "platform/ui/ModalLoop.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/Control.h"

#include <QCoreApplication>
#include <QEventLoop>

// The driver's state: the chain of running loops (innermost first, linked
// through outer_) and the quit request.
struct TLoopDriver {
    static inline TModalLoop* Innermost = nullptr;
    static inline bool Quit = false;
    // Set while a loop moves the capture itself, so that the move is not
    // mistaken for a loss.
    static inline bool MovingCapture = false;

    static void ExitEventLoop(TModalLoop& loop) {
        if (loop.eventLoop_ != nullptr)
            static_cast<QEventLoop*>(loop.eventLoop_)->exit();
    }

    // A loop's own handler raised: the loop ends and Run raises it again.
    static void Fail(TModalLoop& loop, std::exception_ptr error) {
        if (!loop.error_)
            loop.error_ = std::move(error);
        ExitEventLoop(loop);
    }

    template <class Handler> static void Guard(TModalLoop& loop, Handler&& handler) {
        try {
            handler();
        } catch (...) {
            Fail(loop, std::current_exception());
        }
    }

    static bool Ending(const TModalLoop& loop) { return loop.finishRequested_ || loop.error_ != nullptr; }

    static bool HeldByOuterLoop(const TModalLoop& loop, TControl* control) {
        for (TModalLoop* outer = loop.outer_; outer != nullptr; outer = outer->outer_)
            if (outer->Capture == control)
                return true;
        return false;
    }

    static void MoveCapture(TControl* control) {
        MovingCapture = true;
        SetCaptureControl(control);
        MovingCapture = false;
    }

    static TLoopVerdict Deliver(TLoopInput& input) {
        for (TModalLoop* loop = Innermost; loop != nullptr; loop = loop->outer_) {
            if (Ending(*loop)) {
                // The innermost loop, ended by an event it passed on for
                // after it: what comes before it is gone (the release of
                // that press, say) follows that event there, in order, and
                // is not handed to the window holding its capture meanwhile.
                if (loop == Innermost && loop->passingOn_)
                    return lvPassAfterLoop;
                continue; // ending: it sees nothing more
            }
            TLoopVerdict verdict = lvPass;
            bool failed = false;
            try {
                verdict = loop->Input(input);
            } catch (...) {
                Fail(*loop, std::current_exception());
                failed = true;
            }
            if (failed || verdict == lvSwallow)
                return lvSwallow;
            if (verdict == lvPassAfterLoop) {
                loop->passingOn_ = true;
                loop->Finish(loop->Result());
                return lvPassAfterLoop;
            }
        }
        return lvPass;
    }

    static void CaptureChanged(TControl* previous, TControl* now) {
        if (MovingCapture || previous == nullptr || previous == now)
            return;
        // Only the innermost loop holding that capture has lost it: an outer
        // loop with the same control gets it back when the inner one ends.
        for (TModalLoop* loop = Innermost; loop != nullptr; loop = loop->outer_) {
            if (loop->Capture != previous)
                continue;
            if (!Ending(*loop))
                Guard(*loop, [&] { loop->CaptureLost(); });
            return;
        }
    }

    static void ExitAll() {
        for (TModalLoop* loop = Innermost; loop != nullptr; loop = loop->outer_)
            ExitEventLoop(*loop);
    }

    static int OuterCount(const TModalLoop& loop) {
        int count = 0;
        for (TModalLoop* outer = loop.outer_; outer != nullptr; outer = outer->outer_)
            ++count;
        return count;
    }

    static void ControlFreed(TControl* control) {
        for (TModalLoop* loop = Innermost; loop != nullptr; loop = loop->outer_) {
            if (loop->Capture != control)
                continue;
            loop->Capture = nullptr;
            if (!Ending(*loop))
                Guard(*loop, [&] { loop->CaptureLost(); });
        }
    }
};

bool TLoopInput::IsButtonDown() const {
    switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

TModalLoop::TModalLoop() = default;

TModalLoop::~TModalLoop() {
    // A loop object dies only after Run returned; if it is somehow still
    // linked, take it out so that the driver never reaches freed memory.
    for (TModalLoop** link = &TLoopDriver::Innermost; *link != nullptr; link = &(*link)->outer_)
        if (*link == this) {
            *link = outer_;
            break;
        }
}

int TModalLoop::Depth() const {
    int depth = 0;
    for (TModalLoop* loop = TLoopDriver::Innermost; loop != nullptr && loop != this; loop = loop->outer_)
        ++depth;
    return depth;
}

int TModalLoop::Run() {
    if (running_)
        throw EInvalidOperation("The modal loop is already running");
    if (QCoreApplication::instance() == nullptr)
        throw EInvalidOperation("A modal loop needs the application's event loop");
    running_ = true;
    finishRequested_ = false;
    passingOn_ = false;
    ended_ = leRunning;
    result_ = 0;
    error_ = nullptr;
    outer_ = TLoopDriver::Innermost;
    TLoopDriver::Innermost = this;

    QEventLoop eventLoop;
    eventLoop_ = &eventLoop;
    TControl* previousCapture = GetCaptureControl();
    if (!TLoopDriver::Quit) {
        TLoopDriver::Guard(*this, [&] {
            if (Capture != nullptr)
                TLoopDriver::MoveCapture(Capture);
            Enter();
        });
        if (!finishRequested_ && !error_)
            eventLoop.exec();
    }
    eventLoop_ = nullptr;

    if (error_)
        ended_ = leException;
    else if (finishRequested_)
        ended_ = leFinished;
    else {
        // Nobody finished the loop: the event loop was told to quit.
        ended_ = leQuit;
        TLoopDriver::Quit = true;
        result_ = 0;
    }
    TLoopDriver::Innermost = outer_;
    outer_ = nullptr;
    running_ = false;

    // Give the capture back: to the outer loop that held it before, else
    // to nobody.
    if (Capture != nullptr && GetCaptureControl() == Capture) {
        bool outerHeld = previousCapture != nullptr && previousCapture != Capture &&
                         TLoopDriver::Innermost != nullptr &&
                         (TLoopDriver::Innermost->Capture == previousCapture ||
                          TLoopDriver::HeldByOuterLoop(*TLoopDriver::Innermost, previousCapture));
        TLoopDriver::MoveCapture(outerHeld ? previousCapture : nullptr);
    }
    try {
        Leave();
    } catch (...) {
        if (!error_)
            error_ = std::current_exception();
    }
    if (ended_ == leQuit)
        TLoopDriver::ExitAll(); // every outer loop ends as well, each in its turn
    if (error_) {
        ended_ = leException;
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
    return result_;
}

void TModalLoop::Finish(int result) {
    if (!running_ || finishRequested_)
        return;
    finishRequested_ = true;
    result_ = result;
    TLoopDriver::ExitEventLoop(*this);
}

TLoopVerdict DeliverLoopInput(TLoopInput& input) { return TLoopDriver::Deliver(input); }

TModalLoop* InnermostLoop() { return TLoopDriver::Innermost; }

int RunningLoopCount() {
    return TLoopDriver::Innermost != nullptr ? 1 + TLoopDriver::OuterCount(*TLoopDriver::Innermost) : 0;
}

void RequestQuit() {
    TLoopDriver::Quit = true;
    TLoopDriver::ExitAll();
}

bool QuitRequested() { return TLoopDriver::Quit; }

void ClearQuitRequest() { TLoopDriver::Quit = false; }

void NoteCaptureChanged(TControl* previous, TControl* now) { TLoopDriver::CaptureChanged(previous, now); }

void NoteControlFreed(TControl* control) { TLoopDriver::ControlFreed(control); }
