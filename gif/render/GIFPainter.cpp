#include "gif/render/GIFPainter.h"

#include "gif/GIFRender.h"
#include "gif/render/GIFDraw.h"
#include "platform/ui/Control.h"
#include "platform/ui/TickSource.h"

#include <algorithm>
#include <chrono>

namespace {

// How often a waiting thread looks at the clock again.  The real clock
// needs one look per wait; a clock a test moves by hand is seen this soon.
constexpr uint64_t kLookAgainMs = 20;

} // namespace

TGIFPainter::TGIFPainter(TGIFImage& image, std::weak_ptr<TGIFPaintTarget> target, TCanvas* canvas,
                         const TRect& rect, TGIFDrawOptions options)
    : image_(image), target_(std::move(target)), canvas_(canvas), rect_(rect), options_(options),
      speed_(image.AnimationSpeed()),
      compositor_(std::make_unique<TGIFCompositor>(image, (options & gdTransparent) != 0, image.IsDithered())),
      background_((options & gdTransparent) ? clNone : GIFBackgroundColor(image)) {
    // Every colour a composite can hold, so that the colour standing for
    // its transparent pixels is none of them.
    if (image.IsDithered()) {
        colors_ = WebPalette();
    } else {
        for (int i = 0; i < image.Images().Count(); ++i) {
            const TGIFPalette frame = FramePalette(*image.Images().Frames(i));
            colors_.insert(colors_.end(), frame.begin(), frame.end());
        }
    }
}

TGIFPainter::~TGIFPainter() { Stop(); }

void TGIFPainter::SetActiveImage(int index) {
    if (index >= 0 && index < image_.Images().Count())
        active_ = index;
}

void TGIFPainter::fire(const TNotifyEvent& event) {
    if (event && !terminated_)
        event(this);
}

void TGIFPainter::Stop() {
    terminated_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TGIFPainter::paintFrame() {
    const std::shared_ptr<TGIFPaintTarget> target = target_.lock();
    if (!target) {
        // The image let go of what this painter draws on.
        terminated_ = true;
        return;
    }
    if ((options_ & gdClearFirst) && active_ == 0)
        compositor_->Reset();
    compositor_->Show(active_);
    FillGIFBitmap(target->Bitmap, compositor_->Width(), compositor_->Height(), compositor_->Pixels(), background_,
                  colors_);
    painted_ = true;
    if (!Threaded() && canvas_)
        DrawGIFPicture(target->Bitmap, *canvas_, rect_, (options_ & gdTile) != 0);
    if (OnShown)
        OnShown(*this);
}

TGIFPainterWait TGIFPainter::waitBeforeFrame() {
    TGIFPainterWait wait;
    if (delay_ < 1)
        return wait;
    const uint64_t now = GetTickCount64();
    if (speed_ < 1) {
        if (Threaded())
            wait.Forever = true;
        else
            wait.Milliseconds = uint64_t(GIFDelayCeiling) * GIFDelayUnitMs;
    } else {
        // The frame's delay, less half of how much longer than planned the
        // last wait and the showing took, at the animation's speed.
        const int64_t overrun = int64_t(now - lastTime_) - timeOwed_;
        const int64_t planned = (int64_t(delay_) * GIFDelayUnitMs - overrun / 2) * 100 / speed_;
        wait.Milliseconds = uint64_t(std::max<int64_t>(planned, 0));
        timeOwed_ = int64_t(wait.Milliseconds);
        lastTime_ = now;
    }
    if (!Threaded())
        wait.Milliseconds = std::max<uint64_t>(wait.Milliseconds, 1);
    return wait;
}

void TGIFPainter::skipFramesWithoutPixels() {
    // Such a frame (extensions alone, or a descriptor of no size) is never
    // shown, as viewers skip it; the frame after it follows without a wait
    // of its own.
    const int count = image_.Images().Count();
    while (active_ >= 0 && active_ < count && image_.Images().Frames(active_)->Empty())
        ++active_;
}

TGIFPainterWait TGIFPainter::Resume() {
    const int count = image_.Images().Count();
    for (;;) {
        switch (phase_) {
        case TPhase::RunStart:
            if (!restart_ || terminated_) {
                active_ = -1;
                if (image_.OnPaintEnd && !finished_)
                    image_.OnPaintEnd(this);
                phase_ = TPhase::Done;
                break;
            }
            active_ = 0;
            fire(image_.OnPaintStart);
            painted_ = false;
            restart_ = false;
            loopsLeft_ = 1;
            startFrame_ = 0;
            loopSeen_ = false;
            delay_ = Threaded() ? 0 : 1;
            lastTime_ = GetTickCount64();
            timeOwed_ = 0;
            phase_ = TPhase::PassStart;
            break;
        case TPhase::PassStart:
            if ((loopsLeft_ == 0 && !(options_ & gdLoopForever)) || terminated_ || restart_) {
                phase_ = TPhase::RunStart;
                break;
            }
            active_ = startFrame_;
            if (painted_)
                fire(image_.OnLoopStart);
            shownThisPass_ = false;
            phase_ = TPhase::FrameWait;
            break;
        case TPhase::FrameWait: {
            skipFramesWithoutPixels();
            if (active_ < 0 || active_ >= count || terminated_) {
                phase_ = TPhase::PassEnd;
                break;
            }
            phase_ = TPhase::FramePaint;
            const TGIFPainterWait wait = waitBeforeFrame();
            if (wait.Forever || wait.Milliseconds > 0)
                return wait;
            break;
        }
        case TPhase::FramePaint: {
            phase_ = TPhase::PassEnd;
            if (terminated_)
                break;
            fire(image_.OnFramePaint);
            skipFramesWithoutPixels(); // the handler may have chosen one
            if (terminated_ || active_ >= count)
                break;
            TGIFSubImage& frame = *image_.Images().Frames(active_);
            for (int i = 0; i < frame.Extensions().Count(); ++i) {
                auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions().Extensions(i));
                if (!loop || loopSeen_ || !loop->HasLoopCount)
                    continue;
                loopSeen_ = true;
                loopsLeft_ = loop->Loops;
                if ((loop->Loops == 0 || (options_ & gdLoopForever)) && Threaded())
                    loopsLeft_ = -1; // endless
                startFrame_ = active_;
            }
            paintFrame();
            if (terminated_)
                break;
            shownThisPass_ = true;
            delay_ = GIFFallbackDelay;
            if (const TGIFGraphicControlExtension* control = frame.GraphicControlExtension())
                if (control->Delay() != 0) {
                    delay_ = std::max<int>(control->Delay(), GIFDelayFloor);
                    if (!Threaded())
                        delay_ = std::min(delay_, GIFDelayCeiling);
                }
            const int shown = active_;
            fire(image_.OnFramePainted);
            if (terminated_)
                break;
            if (active_ == shown)
                ++active_;
            if (options_ & gdAnimate)
                phase_ = TPhase::FrameWait;
            break;
        }
        case TPhase::PassEnd:
            if (loopsLeft_ > 0)
                --loopsLeft_;
            // A pass that showed nothing would show nothing again, at once
            // and for ever: the animation ends instead.
            phase_ = ((options_ & gdAnimate) && (options_ & gdLoop) && shownThisPass_) ? TPhase::PassStart
                                                                                      : TPhase::RunStart;
            break;
        case TPhase::Done:
            finished_ = true;
            return {true, false, 0};
        }
    }
}

void TGIFPainter::Execute() {
    for (;;) {
        const TGIFPainterWait wait = Resume();
        if (wait.Ended)
            return;
        const uint64_t due = GetTickCount64() + wait.Milliseconds;
        for (;;) {
            ProcessMessages();
            if (terminated_)
                break;
            const uint64_t now = GetTickCount64();
            if (!wait.Forever && now >= due)
                break;
            const uint64_t slice = wait.Forever ? 100 : std::min<uint64_t>(due - now, 100);
            std::this_thread::sleep_for(std::chrono::milliseconds(slice));
        }
    }
}

void TGIFPainter::handWait(const TGIFPainterWait& wait) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (wait.Ended) {
            stop_ = true;
        } else {
            waitForever_ = wait.Forever;
            due_ = GetTickCount64() + wait.Milliseconds;
            waitReady_ = true;
        }
    }
    wake_.notify_all();
}

void TGIFPainter::Start() {
    if (!Threaded() || thread_.joinable() || finished_)
        return;
    const TGIFPainterWait first = Resume();
    handWait(first);
    if (first.Ended)
        return;
    thread_ = std::thread([this] { threadBody(); });
}

void TGIFPainter::Advance() {
    if (finished_ || terminated_)
        return;
    handWait(Resume());
}

void TGIFPainter::threadBody() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || waitReady_; });
        if (stop_)
            return;
        // Wait out the delay; the stop wakes it early.
        for (;;) {
            if (stop_)
                return;
            if (waitForever_) {
                wake_.wait(lock);
                continue;
            }
            const uint64_t now = GetTickCount64();
            if (now >= due_)
                break;
            wake_.wait_for(lock, std::chrono::milliseconds(std::min(due_ - now, kLookAgainMs)));
        }
        waitReady_ = false;
        // Posting never blocks: the message waits in the queue.
        if (OnAdvanceDue)
            OnAdvanceDue(*this);
    }
}
