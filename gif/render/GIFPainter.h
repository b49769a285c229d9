#pragma once
// TGIFPainter: shows the frames of an animated GIF image in turn, with the
// delays, disposal methods and loop count of the file.
//
// Everything that looks at the image or draws happens on the
// user-interface thread, in Resume, which runs from one wait to the next:
// it fires the events, composes the next frame into the target bitmap and
// says how long to wait before the next.  A threaded painter (gdThreaded)
// has a thread of its own that only waits out those delays, on a condition
// variable that Stop signals, and posts an "advance" message to the
// user-interface thread, which calls Resume.  A painter that is not
// threaded runs all of it in Execute on the caller's thread.  Time comes
// from the platform's tick source, so tests replace the clock.

#include "gif/GIFImage.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class TGIFCompositor;

// Milliseconds per delay unit: frames are timed in units of 12 ms.
inline constexpr int GIFDelayUnitMs = 12;
// The longest delay, in units, a painter that is not threaded waits (also
// its pause when the animation speed is 0).
inline constexpr int GIFDelayCeiling = 1000;

// Where a painter shows its frames: a bitmap of the logical screen's size
// that the image draws from.  Painters hold it by a weak reference, so a
// painter whose target is gone (the image dropped its rendered bitmap)
// simply ends.
struct TGIFPaintTarget {
    TBitmap Bitmap;
};

// What Resume asks for before the next frame.
struct TGIFPainterWait {
    bool Ended = false;    // the animation is over
    bool Forever = false;  // wait until stopped (speed 0)
    uint64_t Milliseconds = 0;
};

class TGIFPainter : public TPersistent {
public:
    // `canvas` and `rect`: where a painter that is not threaded draws each
    // frame as it shows it (a threaded one never touches a canvas: it tells
    // the image's OnChange instead).
    TGIFPainter(TGIFImage& image, std::weak_ptr<TGIFPaintTarget> target, TCanvas* canvas, const TRect& rect,
                TGIFDrawOptions options);
    // Stops the thread and waits for it.
    ~TGIFPainter() override;

    std::string ClassName() const override { return "TGIFPainter"; }

    TGIFImage& Image() const { return image_; }
    TCanvas* Canvas() const { return canvas_; }
    const TRect& Rect() const { return rect_; }
    TGIFDrawOptions DrawOptions() const { return options_; }
    bool Threaded() const { return (options_ & gdThreaded) != 0; }
    int AnimationSpeed() const { return speed_; }

    // The frame being shown; -1 before the first and after the last.  A
    // handler of OnFramePainted may set the frame to show next: an index
    // outside the frames is ignored.
    int ActiveImage() const { return active_; }
    void SetActiveImage(int index);
    // Whether a frame has been shown.
    bool Painted() const { return painted_; }
    bool Terminated() const { return terminated_; }
    // The animation has ended (or was stopped); a threaded painter's thread
    // is then gone or going.
    bool Finished() const { return finished_; }

    // Threaded: shows the first frame at once and starts the thread that
    // times the rest.  Call on the user-interface thread.
    void Start();
    // Not threaded: runs the whole animation here, drawing each frame onto
    // the canvas, waiting with the tick source and letting the event loop
    // deliver messages meanwhile.
    void Execute();
    // Ends the animation: a waiting thread wakes and leaves; a painter that
    // is not threaded leaves its loop.  Waits for the thread (never call it
    // from the painter's own thread, which never calls anything here).
    void Stop();

    // Runs the animation from the end of one wait to the start of the next.
    TGIFPainterWait Resume();
    // The user-interface side of an "advance" posted by the thread: Resume,
    // then the next wait handed back to the thread.
    void Advance();

    // Called (on the user-interface thread) after each frame is shown:
    // the image's rendered bitmap changed.
    std::function<void(TGIFPainter& painter)> OnShown;
    // Called when a threaded painter's thread wants the next frame; posts
    // the "advance" message (may be called on the painter's thread).
    std::function<void(TGIFPainter& painter)> OnAdvanceDue;

private:
    enum class TPhase { RunStart, PassStart, FrameWait, FramePaint, PassEnd, Done };

    void fire(const TNotifyEvent& event);
    // Moves the active frame past frames that have no pixels.
    void skipFramesWithoutPixels();
    void paintFrame();
    TGIFPainterWait waitBeforeFrame();
    void threadBody();
    void handWait(const TGIFPainterWait& wait);
    void finish();

    TGIFImage& image_;
    std::weak_ptr<TGIFPaintTarget> target_;
    TCanvas* canvas_;
    TRect rect_;
    TGIFDrawOptions options_;
    int speed_;
    std::unique_ptr<TGIFCompositor> compositor_;
    TColor background_;
    TGIFPalette colors_;

    // The run's state (user-interface thread only).
    TPhase phase_ = TPhase::RunStart;
    int active_ = -1;
    bool painted_ = false;
    bool shownThisPass_ = false;
    bool restart_ = true;
    int loopsLeft_ = 1;
    int startFrame_ = 0;
    bool loopSeen_ = false;
    int delay_ = 0; // units, before the next frame
    uint64_t lastTime_ = 0;
    int64_t timeOwed_ = 0;
    bool terminated_ = false;
    bool finished_ = false;

    // Shared with the thread, under mutex_.
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool waitReady_ = false; // the thread has a wait to do
    bool waitForever_ = false;
    uint64_t due_ = 0;       // tick at which to post the advance
    std::thread thread_;
};
