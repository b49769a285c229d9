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

#include <functional>

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
    Shown() {
        control.SetBounds(200, 150, 160, 100);
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

} // namespace
