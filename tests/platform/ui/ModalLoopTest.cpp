// The modal-loop driver: nesting, finishing, input offered innermost first,
// quit requests, exceptions of a loop's handlers, and the mouse capture.
// The nesting rules are checked against a model on random scripts.

#include "platform/base/Exceptions.h"
#include "platform/ui/ModalLoop.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/RecordingControls.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>

namespace {

// Runs a step from the event loop, in whatever loop is innermost then.
void Later(std::function<void()> step) { QTimer::singleShot(0, qApp, std::move(step)); }

// A loop whose verdicts and handlers come from the test.
class TScriptedLoop : public TModalLoop {
public:
    explicit TScriptedLoop(int id = 0) : Id(id) {}
    int Id;
    std::function<TLoopVerdict(TLoopInput&)> OnInput;
    std::function<void()> OnEnter;
    std::vector<unsigned> Seen;
    int Left = 0;

protected:
    void Enter() override {
        if (OnEnter)
            OnEnter();
    }
    TLoopVerdict Input(TLoopInput& input) override {
        Seen.push_back(input.Msg);
        return OnInput ? OnInput(input) : lvPass;
    }
    void Leave() override { ++Left; }
};

class ModalLoopTest : public ::testing::Test {
protected:
    void TearDown() override {
        ClearQuitRequest();
        EXPECT_EQ(InnermostLoop(), nullptr);
        QCoreApplication::processEvents();
    }
};

// --- the random model check ----------------------------------------------------

// What the model expects of one loop.
struct TModelLoop {
    int Id;
    bool Finishing = false;
    int Result = 0;
};

struct TReturn {
    int Id;
    int Result;
    TLoopEnd Ended;
    bool operator==(const TReturn&) const = default;
};

// One random script: nested loops are started, finished (any of them, not
// only the innermost), fed input and quit, each step from the event loop.
// The driver must return from the loops exactly as the model says: the
// innermost first, a loop only once it was finished (or quit) and all loops
// inside it returned, with the result given to the first Finish; input must
// reach the running loops innermost first, skipping the ending ones, up to
// the first that swallows it.
class TNestingScript {
public:
    explicit TNestingScript(unsigned seed) : seed_(seed), random_(seed) {}

    void Run() {
        auto root = std::make_unique<TScriptedLoop>(0);
        loops_.push_back(root.get());
        model_.push_back({0});
        Later([this] { step(); });
        int result = root->Run();
        returns_.push_back({0, result, root->Ended()});
        EXPECT_EQ(returns_, expected_) << "seed " << seed_;

    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void step() {
        if (++steps_ > 80 || model_.empty()) {
            if (!model_.empty())
                quit();
            return;
        }
        int action = pick(100);
        if (action < 35 && model_.size() < 6)
            push();
        else if (action < 60)
            finish();
        else if (action < 98)
            feed();
        else
            quit();
    }

    void push() {
        int id = nextId_++;
        auto loop = std::make_unique<TScriptedLoop>(id);
        TScriptedLoop* raw = loop.get();
        loops_.push_back(raw);
        model_.push_back({id});
        Later([this] { step(); });
        int result = raw->Run();
        returns_.push_back({id, result, raw->Ended()});
        loops_.pop_back();
        settle();
    }

    void finish() {
        // Any running loop may be finished, an outer one too, but not the
        // root: the script ends with a quit.
        int count = static_cast<int>(model_.size());
        if (count < 2)
            return feed();
        int index = 1 + pick(count - 1);
        int result = 1 + pick(9);
        TModelLoop& m = model_[static_cast<size_t>(index)];
        if (!m.Finishing && !quit_) {
            m.Finishing = true;
            m.Result = result;
        }
        loops_[static_cast<size_t>(index)]->Finish(result);
        settle();
        Later([this] { step(); });
    }

    void feed() {
        // Each loop answers at random; the model says who must see it.
        std::vector<TLoopVerdict> verdicts;
        for (size_t i = 0; i < loops_.size(); ++i)
            verdicts.push_back(static_cast<TLoopVerdict>(pick(i == 0 ? 2 : 3)));
        std::vector<size_t> seenBefore;
        for (size_t i = 0; i < loops_.size(); ++i) {
            seenBefore.push_back(loops_[i]->Seen.size());
            loops_[i]->OnInput = [v = verdicts[i]](TLoopInput&) { return v; };
        }
        TLoopInput input;
        input.Msg = WM_MOUSEMOVE;
        TLoopVerdict verdict = DeliverLoopInput(input);
        // The model: innermost first, ending loops skipped.
        TLoopVerdict expected = lvPass;
        std::vector<bool> shouldSee(loops_.size(), false);
        for (size_t i = model_.size(); i-- > 0;) {
            if (model_[i].Finishing || quit_)
                continue;
            shouldSee[i] = true;
            if (verdicts[i] == lvSwallow) {
                expected = lvSwallow;
                break;
            }
            if (verdicts[i] == lvPassAfterLoop) {
                expected = lvPassAfterLoop;
                model_[i].Finishing = true; // ends with the result it has (0)
                break;
            }
        }
        EXPECT_EQ(verdict, expected) << "seed " << seed_;
        for (size_t i = 0; i < loops_.size(); ++i)
            EXPECT_EQ(loops_[i]->Seen.size(), seenBefore[i] + (shouldSee[i] ? 1 : 0))
                << "loop " << i << " seed " << seed_;
        settle();
        Later([this] { step(); });
    }

    void quit() {
        quit_ = true;
        RequestQuit();
        settle();
    }

    // After a step: the loops that will return before the next step runs
    // are the innermost ones that are finishing (or all, after a quit).
    void settle() {
        while (!model_.empty() && (model_.back().Finishing || quit_)) {
            const TModelLoop& m = model_.back();
            expected_.push_back({m.Id, m.Finishing ? m.Result : 0, m.Finishing ? leFinished : leQuit});
            model_.pop_back();
        }
    }

    unsigned seed_;
    std::mt19937 random_;
    std::vector<TScriptedLoop*> loops_; // running loops, outermost first
    std::deque<TModelLoop> model_;      // the model's running loops
    std::vector<TReturn> returns_;
    std::vector<TReturn> expected_;
    int nextId_ = 1;
    int steps_ = 0;
    bool quit_ = false;
};

TEST_F(ModalLoopTest, NestedLoopsReturnAsTheModelSaysOnRandomScripts) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        TNestingScript script(seed);
        script.Run();
        ClearQuitRequest();
        QCoreApplication::processEvents();
        ASSERT_EQ(InnermostLoop(), nullptr) << "seed " << seed;
    }
}

// --- quit ----------------------------------------------------------------------

TEST_F(ModalLoopTest, AQuitEndsEveryLoopInOrderAndLaterLoopsAtOnce) {
    std::vector<int> order;
    TScriptedLoop outer(1), middle(2), inner(3);
    outer.OnEnter = [&] {
        Later([&] {
            middle.OnEnter = [&] {
                Later([&] {
                    inner.OnEnter = [&] { Later([] { RequestQuit(); }); };
                    inner.Run();
                    order.push_back(3);
                    // Still unwinding: a new loop does not start.
                    TScriptedLoop late(4);
                    bool entered = false;
                    late.OnEnter = [&] { entered = true; };
                    EXPECT_EQ(late.Run(), 0);
                    EXPECT_FALSE(entered);
                    EXPECT_EQ(late.Ended(), leQuit);
                });
            };
            middle.Run();
            order.push_back(2);
        });
    };
    EXPECT_EQ(outer.Run(), 0);
    order.push_back(1);
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(inner.Ended(), leQuit);
    EXPECT_EQ(middle.Ended(), leQuit);
    EXPECT_EQ(outer.Ended(), leQuit);
    EXPECT_EQ(outer.Left + middle.Left + inner.Left, 3) << "every loop cleaned up";
    EXPECT_TRUE(QuitRequested());
}

TEST_F(ModalLoopTest, ALoopDoesNotRunTwiceAtOnce) {
    TScriptedLoop loop;
    bool refused = false;
    loop.OnEnter = [&] {
        Later([&] {
            try {
                loop.Run();
            } catch (const EInvalidOperation&) {
                refused = true;
            }
            loop.Finish(3);
        });
    };
    EXPECT_EQ(loop.Run(), 3);
    EXPECT_TRUE(refused);
}

// --- exceptions ------------------------------------------------------------------

TEST_F(ModalLoopTest, AHandlersExceptionEndsItsLoopReleasesTheCaptureAndIsShownOnce) {
    TScriptedUserInteraction ui;
    TRecordingWindow holder, host;
    TScriptedLoop outer(1);
    TScriptedLoop inner(2);
    inner.Capture = &holder;
    inner.OnInput = [](TLoopInput& input) -> TLoopVerdict {
        if (input.Msg == WM_KEYDOWN)
            throw EInvalidOperation("bad key");
        return lvSwallow;
    };
    // The inner loop runs from a message handler, as loops do: the guard
    // of the message delivery is where its exception surfaces.
    host.OnMessage = [&](TMessage& message) {
        if (message.Msg != WM_USER)
            return;
        Later([&] {
            TLoopInput move;
            move.Msg = WM_MOUSEMOVE;
            EXPECT_EQ(DeliverLoopInput(move), lvSwallow);
            EXPECT_EQ(GetCaptureControl(), &holder) << "held while the loop runs";
            TLoopInput key;
            key.Msg = WM_KEYDOWN;
            EXPECT_EQ(DeliverLoopInput(key), lvSwallow) << "the failing event goes no further";
            TLoopInput after;
            after.Msg = WM_MOUSEMOVE;
            EXPECT_EQ(DeliverLoopInput(after), lvPass) << "the ending loop sees nothing more";
        });
        inner.Run();
        ADD_FAILURE() << "Run returned instead of raising";
    };
    outer.OnEnter = [&] {
        PostMessage(&host, WM_USER);
        Later([&] { Later([&] { outer.Finish(7); }); });
    };
    EXPECT_EQ(outer.Run(), 7) << "the outer loop goes on after the error";
    EXPECT_EQ(inner.Ended(), leException);
    EXPECT_EQ(inner.Left, 1);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(ui.Exceptions(), (std::vector<std::string>{"bad key"}));
}

TEST_F(ModalLoopTest, AnExceptionOfEnterEndsTheLoopBeforeItWaits) {
    TScriptedLoop loop;
    loop.OnEnter = [] { throw std::runtime_error("no"); };
    EXPECT_THROW(loop.Run(), std::runtime_error);
    EXPECT_EQ(loop.Ended(), leException);
    EXPECT_EQ(loop.Left, 1);
}

// --- the capture ------------------------------------------------------------------

TEST_F(ModalLoopTest, LosingTheCaptureEndsTheLoopAndANestedLoopGivesItBack) {
    TRecordingWindow a, b, thief;
    TScriptedLoop outer(1), inner(2);
    outer.Capture = &a;
    inner.Capture = &b;
    outer.OnEnter = [&] {
        EXPECT_EQ(GetCaptureControl(), &a);
        Later([&] {
            inner.OnEnter = [&] { Later([&] { inner.Finish(2); }); };
            EXPECT_EQ(inner.Run(), 2);
            EXPECT_EQ(GetCaptureControl(), &a) << "the outer loop's capture comes back";
            EXPECT_FALSE(outer.Finishing()) << "lending the capture is not losing it";
            Later([&] { thief.SetMouseCapture(true); });
        });
    };
    EXPECT_EQ(outer.Run(), 0);
    EXPECT_EQ(outer.Ended(), leFinished) << "ended by the lost capture";
    EXPECT_EQ(GetCaptureControl(), &thief) << "the new holder keeps it";
    ReleaseCapture();

    // A capture control freed during the loop ends it too.
    TScriptedLoop loop;
    auto* doomed = new TRecordingWindow;
    loop.Capture = doomed;
    loop.OnEnter = [&] { Later([&] { delete doomed; }); };
    loop.Run();
    EXPECT_EQ(loop.Capture, nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

} // namespace
