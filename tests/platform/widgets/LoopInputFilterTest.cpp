// Real input events reaching the modal loops: screen positions, target
// windows and characters, and what each verdict does to the event.

#include "platform/ui/ModalLoop.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/ui/RecordingControls.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QSpontaneKeyEvent>

#include <functional>
#include <random>
#include <vector>

namespace {

void Later(std::function<void()> step) { QTimer::singleShot(0, qApp, std::move(step)); }

class TRecordingLoop : public TModalLoop {
public:
    std::vector<TLoopInput> Inputs;
    TLoopVerdict Verdict = lvSwallow;
    std::function<void()> OnEnter;

protected:
    void Enter() override { OnEnter(); }
    TLoopVerdict Input(TLoopInput& input) override {
        Inputs.push_back(input);
        return Verdict;
    }
};

struct Shown {
    TRecordingWindow control;
    explicit Shown(TRect bounds = Bounds(200, 150, 160, 100)) {
        control.SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        control.SetTabStop(true);
        control.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(client()->window()));
        control.SetFocus();
        control.Inputs.clear();
    }
    QWidget* client() { return ClientWidgetOf(&control); }
    // The index of the first recorded input of a kind, or -1.
    int find(const std::string& what) const {
        for (size_t i = 0; i < control.Inputs.size(); ++i)
            if (control.Inputs[i].What == what)
                return static_cast<int>(i);
        return -1;
    }
};

TEST(LoopInputFilter, LoopsSeeEventsWithScreenPositionsTargetsAndCharacters) {
    Shown shown;
    TRecordingLoop loop;
    loop.OnEnter = [&] {
        Later([&] {
            QTest::mouseClick(shown.client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 40));
            QTest::keyClick(shown.client()->parentWidget(), Qt::Key_A);
            loop.Finish(5);
        });
    };
    EXPECT_EQ(loop.Run(), 5);
    ASSERT_GE(loop.Inputs.size(), 4u);
    const TLoopInput& press = loop.Inputs[0];
    EXPECT_EQ(press.Msg, static_cast<unsigned>(WM_LBUTTONDOWN));
    EXPECT_EQ(press.Target, &shown.control);
    EXPECT_EQ(press.Screen, shown.control.ClientToScreen({30, 40}));
    EXPECT_EQ(PointFromLParam(press.LParam), (TPoint{30, 40}));
    EXPECT_TRUE(press.WParam & MK_SHIFT);
    EXPECT_EQ(loop.Inputs[1].Msg, static_cast<unsigned>(WM_LBUTTONUP));
    EXPECT_EQ(loop.Inputs[2].Msg, static_cast<unsigned>(WM_KEYDOWN));
    EXPECT_EQ(loop.Inputs[2].WParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(loop.Inputs[2].Characters, "a");
    EXPECT_EQ(loop.Inputs[2].Target, &shown.control);
    EXPECT_EQ(loop.Inputs[3].Msg, static_cast<unsigned>(WM_KEYUP));
    EXPECT_TRUE(shown.control.Inputs.empty()) << "every event was swallowed";
}

// A letter that has no key code on this keyboard still reaches the loops
// (a menu's access key), with what it types whole, as UTF-8.
TEST(LoopInputFilter, AKeyWithoutAKeyCodeComesWithItsCharacters) {
    Shown shown;
    TRecordingLoop loop;
    loop.OnEnter = [&] {
        Later([&] {
            QTest::sendKeyEvent(QTest::Click, shown.client()->parentWidget(), Qt::Key(0x416),
                                QString::fromUtf8("\xD0\xB6"), Qt::NoModifier);
            loop.Finish(1);
        });
    };
    loop.Run();
    ASSERT_FALSE(loop.Inputs.empty());
    EXPECT_EQ(loop.Inputs[0].Msg, static_cast<unsigned>(WM_KEYDOWN));
    EXPECT_EQ(loop.Inputs[0].WParam, 0u);
    EXPECT_EQ(loop.Inputs[0].Characters, "\xD0\xB6");
}

// Keys typed at random times, some handed back later (as the web engine
// hands back the keys its page did not take) while a loop runs: the loop
// sees every key typed or sent during it once, and none handed back.
TEST(LoopInputFilter, AKeyHandedBackAfterTheLoopBeganIsNoNewKey) {
    Shown shown;
    std::mt19937 random(7);
    const Qt::Key keys[] = {Qt::Key_Alt, Qt::Key_F, Qt::Key_Control, Qt::Key_S, Qt::Key_Escape};
    // As the window system gives a key.
    auto typed = [&](ulong time, Qt::Key key, QEvent::Type type) {
        QKeyEvent event(type, key, Qt::NoModifier);
        event.setTimestamp(time);
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(shown.client()->parentWidget(), &event); // sendEvent would make it the program's

    };
    auto handedBack = [&](ulong time, Qt::Key key, QEvent::Type type) {
        QKeyEvent again(type, key, Qt::NoModifier);
        again.setTimestamp(time);
        QCoreApplication::sendEvent(shown.client()->parentWidget(), &again);
    };
    for (int round = 0; round < 20; ++round) {
        ulong time = 1000 + 1000 * static_cast<ulong>(round);
        std::vector<std::pair<ulong, Qt::Key>> before;
        for (int i = 0; i < 1 + static_cast<int>(random() % 3); ++i) {
            before.push_back({++time, keys[random() % 5]});
            typed(before.back().first, before.back().second, QEvent::KeyPress);
        }
        int expected = 0;
        TRecordingLoop loop;
        loop.OnEnter = [&] {
            Later([&] {
                for (int i = 0; i < 6; ++i) {
                    const QEvent::Type type = random() % 2 ? QEvent::KeyPress : QEvent::KeyRelease;
                    switch (random() % 3) {
                    case 0: { // handed back: typed before the loop
                        const auto& [at, key] = before[random() % before.size()];
                        handedBack(at, key, QEvent::KeyPress);
                        break;
                    }
                    case 1: // typed now
                        typed(++time, keys[random() % 5], type);
                        ++expected;
                        break;
                    default: // sent by the program, never typed
                        handedBack(++time, keys[random() % 5], type);
                        ++expected;
                    }
                }
                loop.Finish(1);
            });
        };
        loop.Run();
        EXPECT_EQ(static_cast<int>(loop.Inputs.size()), expected) << "round " << round;
    }
}

TEST(LoopInputFilter, PassedEventsReachTheirWindowAndDeferredOnesArriveAfterTheLoop) {
    Shown shown;
    TRecordingLoop loop;
    loop.Verdict = lvPass;
    loop.OnEnter = [&] {
        Later([&] {
            QTest::mouseClick(shown.client(), Qt::LeftButton, {}, QPoint(5, 5));
            loop.Finish(1);
        });
    };
    loop.Run();
    EXPECT_EQ(shown.find("mousedown"), 0) << "passed on at once";

    // Ended by a press that still reaches its window, but only once the
    // loop has returned.
    shown.control.Inputs.clear();
    TRecordingLoop deferring;
    deferring.Verdict = lvPassAfterLoop;
    bool returned = false;
    bool pressedAfterReturn = false;
    shown.control.OnMessage = [&](TMessage& message) {
        if (message.Msg == WM_LBUTTONDOWN)
            pressedAfterReturn = returned;
    };
    deferring.OnEnter = [&] {
        Later([&] {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(7, 8), shown.client()->mapToGlobal(QPointF(7, 8)),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(shown.client(), &press);
        });
    };
    deferring.Run();
    returned = true;
    EXPECT_EQ(deferring.Ended(), leFinished);
    EXPECT_EQ(shown.find("mousedown"), -1);
    for (int i = 0; i < 3 && shown.find("mousedown") < 0; ++i)
        QApplication::processEvents();
    ASSERT_EQ(shown.find("mousedown"), 0);
    EXPECT_TRUE(pressedAfterReturn);
    EXPECT_EQ(shown.control.Inputs[0].X, 7);
    ReleaseCapture();
}

// A press that ends a loop holding the mouse capture is handed by Qt to
// the capturing window; passed on, it reaches the window the user pressed
// on once the loop is over, at the point pressed, and a press on no window
// of the program reaches none.
TEST(LoopInputFilter, APressPassedOnAfterTheLoopReachesTheWindowUnderThePointer) {
    Shown holder(Bounds(40, 40, 160, 100));
    Shown other(Bounds(400, 300, 200, 120));
    struct TCase {
        Shown* Under;
        TPoint Screen;
    };
    const TCase cases[] = {
        {&other, other.control.ClientToScreen({17, 23})},
        {&other, other.control.ClientToScreen({199, 0})},
        {&holder, holder.control.ClientToScreen({3, 90})},
        {nullptr, other.control.ClientToScreen({260, 150})},
    };
    for (const TCase& c : cases) {
        holder.control.Inputs.clear();
        other.control.Inputs.clear();
        TRecordingLoop loop;
        loop.Verdict = lvPassAfterLoop;
        loop.Capture = &holder.control;
        loop.OnEnter = [&] {
            Later([&] {
                // Delivered as a grab delivers it: to the holder's window,
                // in its coordinates, wherever the pointer is.
                QPointF global(c.Screen.X, c.Screen.Y);
                QMouseEvent press(QEvent::MouseButtonPress, holder.client()->mapFromGlobal(global), global,
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(holder.client(), &press);
            });
        };
        loop.Run();
        ASSERT_EQ(loop.Ended(), leFinished);
        ASSERT_EQ(loop.Inputs.size(), 1u);
        EXPECT_EQ(loop.Inputs[0].Target, &holder.control);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        for (Shown* shown : {&holder, &other}) {
            const int found = shown->find("mousedown");
            if (shown != c.Under) {
                EXPECT_EQ(found, -1) << "a window the pointer was not on";
                continue;
            }
            ASSERT_GE(found, 0);
            const TRecordedInput& input = shown->control.Inputs[static_cast<size_t>(found)];
            EXPECT_EQ(shown->control.ClientToScreen({input.X, input.Y}), c.Screen);
        }
    }
    // The wheel turned over the other window likewise reaches it.
    other.control.Messages.clear();
    TRecordingLoop loop;
    loop.Verdict = lvPassAfterLoop;
    loop.Capture = &holder.control;
    loop.OnEnter = [&] {
        Later([&] {
            QPointF global = holder.client()->mapToGlobal(QPointF(0, 0)) + QPointF(420, 330);
            QWheelEvent wheel(holder.client()->mapFromGlobal(global), global, QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(holder.client(), &wheel);
        });
    };
    loop.Run();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_EQ(countMessages(other.control.Messages, WM_MOUSEWHEEL), 1);
    EXPECT_EQ(countMessages(holder.control.Messages, WM_MOUSEWHEEL), 0);
}

// What comes after that press while the loop is still going (its release,
// read by Qt in the same batch) follows it to the window under the
// pointer, in order, instead of reaching the window holding the capture:
// a right click that closes a menu opens the clicked window's own menu.
TEST(LoopInputFilter, WhatFollowsAPressPassedOnGoesAfterItToTheSameWindow) {
    Shown holder(Bounds(40, 40, 160, 100));
    Shown other(Bounds(400, 300, 200, 120));
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        holder.control.Inputs.clear();
        other.control.Inputs.clear();
        TRecordingLoop loop;
        loop.Verdict = lvPassAfterLoop;
        loop.Capture = &holder.control;
        const TPoint screen = other.control.ClientToScreen({30, 40});
        loop.OnEnter = [&] {
            Later([&] {
                // Both delivered as a grab delivers them, before the loop
                // has returned.
                QPointF global(screen.X, screen.Y);
                QPointF local = holder.client()->mapFromGlobal(global);
                QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
                QApplication::sendEvent(holder.client(), &press);
                QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(holder.client(), &release);
            });
        };
        loop.Run();
        ASSERT_EQ(loop.Ended(), leFinished);
        EXPECT_EQ(loop.Inputs.size(), 1u) << "the loop saw the press only";
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        EXPECT_TRUE(holder.control.Inputs.empty()) << holder.control.Inputs.front().What;
        const int pressed = other.find("mousedown"), released = other.find("mouseup");
        ASSERT_GE(pressed, 0);
        ASSERT_GE(released, 0);
        EXPECT_LT(pressed, released);
        const int expected = static_cast<int>(button == Qt::LeftButton ? mbLeft : mbRight);
        EXPECT_EQ(other.control.Inputs[static_cast<size_t>(released)].Key, expected);
    }
    ReleaseCapture();
}

} // namespace
