// The animation painter: its schedule of waits and events run step by step
// on an injected clock, and a threaded painter on a clock of the test's
// own, stopped by drawing elsewhere and by destroying its image.

#include "GIFFrames.h"
#include "GIFTestSupport.h"

#include "gif/render/GIFImageDrawer.h"
#include "gif/render/GIFPainter.h"
#include "gif/render/GIFRegistration.h"
#include "platform/ui/TickSource.h"
// The Qt application comes from the program: a QApplication in the GIF
// render suite, a QGuiApplication in its ThreadSanitizer build.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Frames of 2 x 2 pixels with the given delays, and a loop extension when
// loops >= 0 (-2: one without a loop count).
std::unique_ptr<TGIFImage> animation(const std::vector<int>& delays, int loops = -1) {
    auto image = std::make_unique<TGIFImage>();
    image->GlobalColorMap().Add(0x0000FF);
    image->GlobalColorMap().Add(0x00FF00);
    for (size_t i = 0; i < delays.size(); ++i) {
        TGIFSubImage* frame = AddFrame(*image);
        frame->SetBounds(0, 0, 2, 2);
        frame->SetPixel(int(i % 2), 0, 1);
        if (i == 0 && loops != -1) {
            auto* loop = new TGIFAppExtNSLoop(frame);
            loop->Loops = uint16_t(std::max(loops, 0));
            loop->HasLoopCount = loops >= 0;
            frame->Extensions().Add(loop);
        }
        auto* control = new TGIFGraphicControlExtension(frame);
        control->SetDelay(uint16_t(delays[i]));
        frame->Extensions().Add(control);
    }
    return image;
}

// A painter run by hand: each wait it asks for is waited on the manual
// clock; the events it fires are written down.
struct TScheduleRun {
    TManualTickSource Clock;
    std::vector<std::string> Events;
    std::vector<uint64_t> Waits;
    std::shared_ptr<TGIFPaintTarget> Target = std::make_shared<TGIFPaintTarget>();

    explicit TScheduleRun(TGIFImage& image) {
        SetTickSource(&Clock);
        auto note = [this](const char* what) {
            return [this, what](TPersistent* sender) {
                const int active = static_cast<TGIFPainter*>(sender)->ActiveImage();
                Events.push_back(std::string(what) + (active >= 0 ? std::to_string(active) : ""));
            };
        };
        image.OnPaintStart = note("start");
        image.OnFramePaint = note("paint");
        image.OnFramePainted = note("shown");
        image.OnLoopStart = note("loop");
        image.OnPaintEnd = note("end");
    }
    ~TScheduleRun() { SetTickSource(nullptr); }

    // Resumes until the painter ends or `steps` waits were asked for.
    void Go(TGIFPainter& painter, int steps = 1000) {
        for (int i = 0; i < steps; ++i) {
            const TGIFPainterWait wait = painter.Resume();
            if (wait.Ended)
                return;
            Waits.push_back(wait.Forever ? UINT64_MAX : wait.Milliseconds);
            Clock.Advance(wait.Forever ? 1 : wait.Milliseconds);
        }
    }
    int Shown() const { return int(std::count_if(Events.begin(), Events.end(), [](const std::string& e) { return e.rfind("shown", 0) == 0; })); }
};

constexpr TGIFDrawOptions kThreaded = gdThreaded | gdAnimate | gdTransparent;
constexpr TGIFDrawOptions kHere = gdAnimate | gdTransparent;

TEST(GIFPainterSchedule, WaitsAreTheDelaysInTwelveMillisecondUnits) {
    auto image = animation({0, 1, 5000, 7}, 2);
    {
        TScheduleRun run(*image);
        TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kThreaded | gdLoop);
        run.Go(painter);
        // Threaded: no wait before the first frame; 0 becomes 10 units, 1
        // is raised to 3, 5000 stays; the last frame's delay is waited
        // before the second pass only.
        EXPECT_EQ(run.Waits, (std::vector<uint64_t>{120, 36, 60000, 84, 120, 36, 60000}));
    }
    {
        TScheduleRun run(*image);
        TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kHere);
        run.Go(painter);
        // On the caller's thread: one unit first, 5000 cut to 1000.
        EXPECT_EQ(run.Waits, (std::vector<uint64_t>{12, 120, 36, 12000}));
    }
    {
        image->SetAnimationSpeed(200);
        TScheduleRun run(*image);
        TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kThreaded);
        run.Go(painter);
        EXPECT_EQ(run.Waits, (std::vector<uint64_t>{60, 18, 30000}));
        // A negative speed is taken as 0: a threaded painter holds the
        // first frame until it is stopped.
        image->SetAnimationSpeed(-5);
        EXPECT_EQ(image->AnimationSpeed(), 0);
        TGIFPainter held(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kThreaded);
        const TGIFPainterWait wait = held.Resume();
        EXPECT_TRUE(wait.Forever);
        EXPECT_EQ(held.ActiveImage(), 1);
    }
}

TEST(GIFPainterSchedule, LoopCountsAndEventOrder) {
    struct Case {
        int Loops;
        TGIFDrawOptions Options;
        int Passes; // 0: endless
    };
    const Case cases[] = {
        {2, kThreaded | gdLoop, 2},
        {0, kThreaded | gdLoop, 0},              // endless on a thread
        {0, kHere | gdLoop, 1},                  // once on the caller's thread
        {0, kHere | gdLoop | gdLoopForever, 0},
        {-1, kThreaded | gdLoop, 1},             // no loop extension: once
        {-2, kThreaded | gdLoop, 1},             // one without a loop count: once
        {3, kThreaded, 1},                       // gdLoop off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("loops " + std::to_string(c.Loops) + " options " + std::to_string(c.Options));
        auto image = animation({4, 4}, c.Loops);
        TScheduleRun run(*image);
        TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), c.Options);
        run.Go(painter, 40);
        if (c.Passes == 0) {
            EXPECT_GE(run.Shown(), 30) << "still running";
            painter.Stop();
            EXPECT_TRUE(painter.Resume().Ended);
        } else {
            EXPECT_EQ(run.Shown(), 2 * c.Passes);
        }
        EXPECT_EQ(run.Events.back(), "end");
        EXPECT_EQ(painter.ActiveImage(), -1);
    }
    // The order, with a handler that sends the animation back once and
    // tries an index outside the frames once, and one that tries indices
    // outside the frames just before each is painted.
    auto image = animation({4, 4, 4}, 2);
    TScheduleRun run(*image);
    image->OnFramePaint = [&](TPersistent* sender) {
        auto* painter = static_cast<TGIFPainter*>(sender);
        run.Events.push_back("paint" + std::to_string(painter->ActiveImage()));
        painter->SetActiveImage(-1);
        painter->SetActiveImage(3);
    };
    int jumps = 0;
    image->OnFramePainted = [&](TPersistent* sender) {
        auto* painter = static_cast<TGIFPainter*>(sender);
        run.Events.push_back("shown" + std::to_string(painter->ActiveImage()));
        if (painter->ActiveImage() == 1 && jumps++ == 0)
            painter->SetActiveImage(0);
        else if (painter->ActiveImage() == 2)
            painter->SetActiveImage(7);
    };
    TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kThreaded | gdLoop);
    run.Go(painter);
    EXPECT_EQ(run.Events, (std::vector<std::string>{"start0", "paint0", "shown0", "paint1", "shown1", "paint0",
                                                    "shown0", "paint1", "shown1", "paint2", "shown2", "loop0",
                                                    "paint0", "shown0", "paint1", "shown1", "paint2", "shown2",
                                                    "end"}));
}

// Frames without pixels (extensions alone, or a descriptor of no size) are
// never shown: the painter goes on to the next frame at once, without a
// wait of its own, as a viewer does.  A pass that shows nothing ends the
// animation, also when it would loop forever.
TEST(GIFPainterSchedule, FramesWithoutPixelsAreSkipped) {
    auto image = animation({4, 7, 9});
    image->Images().Insert(0, new TGIFSubImage(image.get()));
    image->Images().Insert(2, new TGIFSubImage(image.get()));
    image->Images().Insert(4, new TGIFSubImage(image.get()));
    image->Images().Add(new TGIFSubImage(image.get()));
    {
        TScheduleRun run(*image);
        TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kThreaded | gdLoop);
        run.Go(painter);
        EXPECT_EQ(run.Events, (std::vector<std::string>{"start0", "paint1", "shown1", "paint3", "shown3", "paint5",
                                                        "shown5", "end"}));
        EXPECT_EQ(run.Waits, (std::vector<uint64_t>{48, 84}));
    }
    // Endless: the same frames over and over, each after its own delay.
    {
        TScheduleRun run(*image);
        TGIFPainter painter(*image, run.Target, nullptr, Rect(0, 0, 2, 2), kThreaded | gdLoop | gdLoopForever);
        run.Go(painter, 7);
        EXPECT_EQ(run.Waits, (std::vector<uint64_t>{48, 84, 108, 48, 84, 108, 48}));
    }
    // Nothing to show, for ever: the run ends at once.
    auto blank = std::make_unique<TGIFImage>();
    AddFrame(*blank);
    AddFrame(*blank);
    for (TGIFDrawOptions options : {kThreaded | gdLoop | gdLoopForever, kHere | gdLoop | gdLoopForever}) {
        TScheduleRun run(*blank);
        TGIFPainter painter(*blank, run.Target, nullptr, Rect(0, 0, 2, 2), options);
        run.Go(painter, 50);
        EXPECT_EQ(run.Events, (std::vector<std::string>{"start0", "end"}));
        EXPECT_LE(run.Waits.size(), 1u);
        EXPECT_FALSE(painter.Painted());
    }
}

// A clock both threads may read while the test moves it.
class TSharedClock : public TTickSource {
public:
    uint64_t Milliseconds() override { return now_.load(); }
    void Advance(uint64_t milliseconds) { now_ += milliseconds; }

private:
    std::atomic<uint64_t> now_{1000};
};

// Lets the event loop run until the condition holds; fails after ten
// seconds of real time, which only a hang reaches.
template <class Condition>
bool pumpUntil(Condition condition) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class ThreadedPainter : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterGIFImage();
        SetTickSource(&clock_);
    }
    void TearDown() override { SetTickSource(nullptr); }
    TSharedClock clock_;
};

TEST_F(ThreadedPainter, AdvancesOnTheClockAndStopsWhenDrawnElsewhereOrDestroyed) {
    auto image = animation({5, 5}, 0);
    image->DrawOptions |= gdDirect;
    int shown = 0;
    image->OnFramePainted = [&](TPersistent*) { ++shown; };
    int changes = 0;
    image->OnChange = [&](TPersistent*) { ++changes; };
    TBitmap canvasBitmap(10, 10);
    image->Draw(canvasBitmap.Canvas(), Rect(0, 0, 4, 4));
    auto* drawer = dynamic_cast<TGIFImageDrawer*>(image->Renderer());
    ASSERT_NE(drawer, nullptr);
    TGIFPainter* first = drawer->DrawPainter();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(shown, 1) << "the first frame shows at once";
    EXPECT_EQ(first->ActiveImage(), 1);
    // Without the clock moving nothing more happens.
    ProcessMessages();
    EXPECT_EQ(shown, 1);
    for (int frame = 2; frame <= 6; ++frame) {
        clock_.Advance(60);
        ASSERT_TRUE(pumpUntil([&] { return shown == frame; })) << "frame " << frame;
    }
    EXPECT_GE(changes, 6) << "each frame tells the image's OnChange";
    // Drawing the same place again keeps the painter; elsewhere replaces it.
    image->Draw(canvasBitmap.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(drawer->DrawPainter(), first);
    image->Draw(canvasBitmap.Canvas(), Rect(2, 2, 6, 6));
    EXPECT_NE(drawer->DrawPainter(), nullptr);
    EXPECT_EQ(drawer->PainterCount(), 1);
    // Destroyed while its painter waits: the thread is woken and joined.
    clock_.Advance(30);
    image.reset();
    ProcessMessages(); // an advance posted meanwhile finds nobody
}

TEST_F(ThreadedPainter, EndsByItselfAndHoldsForeverAtSpeedZero) {
    auto image = animation({5, 5});
    TBitmap canvasBitmap(4, 4);
    image->Draw(canvasBitmap.Canvas(), Rect(0, 0, 2, 2));
    auto* drawer = dynamic_cast<TGIFImageDrawer*>(image->Renderer());
    ASSERT_NE(drawer->DrawPainter(), nullptr);
    clock_.Advance(60);
    ASSERT_TRUE(pumpUntil([&] { return drawer->DrawPainter() == nullptr; })) << "played once, then ended";
    EXPECT_EQ(drawer->PainterCount(), 0);
    ASSERT_NE(drawer->RenderedBitmap(), nullptr) << "the last frame stays";

    auto held = animation({5, 5}, 0);
    held->SetAnimationSpeed(0);
    held->Draw(canvasBitmap.Canvas(), Rect(0, 0, 2, 2));
    clock_.Advance(1000000);
    ProcessMessages();
    auto* heldDrawer = dynamic_cast<TGIFImageDrawer*>(held->Renderer());
    ASSERT_NE(heldDrawer->DrawPainter(), nullptr);
    EXPECT_EQ(heldDrawer->DrawPainter()->ActiveImage(), 1);
    held->StopPainters();
    EXPECT_EQ(heldDrawer->PainterCount(), 0);
}

} // namespace
