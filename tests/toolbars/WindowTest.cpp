// The menus in real (offscreen) windows: the platform's modal loop driving
// the menu loop with real input events, a press outside reaching its window
// after the loop, pixels grabbed from a toolbar and an open popup, and a
// popup's window opacity as it fades in.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "tests/toolbars/WindowTestSupport.h"

#include "platform/ui/ModalLoop.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/ui/RecordingControls.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/TBPopupWindow.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <functional>

namespace {

QWidget* windowOf(TWinControl* control) { return ClientWidgetOf(control)->window(); }

TColor pixelAt(const QImage& image, TPoint p) { return FromQRgb(image.pixel(p.X, p.Y)); }

struct TShownMenuBar {
    TTestSettings Settings;
    TTestBar Bar{100, 50};
    TTBCustomItem* File;
    TTBCustomItem* Open;
    TTBCustomItem* Save;
    std::vector<std::string> Clicked;
    TShownMenuBar() {
        SetTBSystemSettings(&Settings);
        File = AddSubmenu(Bar.Items, "&File", {"&Open", "&Save"});
        Open = File->ItemAt(0);
        Save = File->ItemAt(1);
        for (TTBCustomItem* item : {Open, Save})
            item->OnClick = [this](TTBCustomItem* sender) { Clicked.push_back(sender->Caption()); };
        Bar.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(windowOf(&Bar)));
    }
    ~TShownMenuBar() { SetTBSystemSettings(nullptr); }
    QWidget* BarWidget() { return ClientWidgetOf(&Bar); }
};

TEST(Windows, RealKeysDriveTheMenuAndThePopupShowsItsSelection) {
    TShownMenuBar m;
    QImage popupImage;
    TRect openRect, saveRect;
    Later([&] {
        TTBView* popup = OpenedView(m.Bar.View.get());
        ASSERT_NE(popup, nullptr);
        TTBPopupWindow* window = m.Bar.View->OpenViewerWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(windowOf(window)));
        QTest::keyClick(m.BarWidget(), Qt::Key_Down);
        window->Update();
        popupImage = windowOf(window)->grab().toImage();
        openRect = popup->ViewerOf(m.Open)->BoundsRect;
        saveRect = popup->ViewerOf(m.Save)->BoundsRect;
        OffsetRect(openRect, 3, 3); // inside the border
        OffsetRect(saveRect, 3, 3);
        QTest::keyClick(m.BarWidget(), Qt::Key_Return);
    });
    m.Bar.View->Select(m.Bar.ViewerOf(m.File));
    TrackMenu(m.Bar.View.get(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_EQ(TBPopupWindowCount(), 0);
    EXPECT_EQ(RunningLoopCount(), 0);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    ProcessMessages();
    EXPECT_EQ(m.Clicked, std::vector<std::string>{"&Save"});

    // Down had moved the highlight from Open to Save.
    ASSERT_FALSE(popupImage.isNull());
    const TColor highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(pixelAt(popupImage, {saveRect.Right - 3, saveRect.Top + 2}), highlight);
    EXPECT_NE(pixelAt(popupImage, {openRect.Right - 3, openRect.Top + 2}), highlight);
    // The raised border of a classic menu.
    EXPECT_EQ(pixelAt(popupImage, {0, 0}), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(pixelAt(popupImage, {popupImage.width() - 1, popupImage.height() - 1}), GetSysColor(COLOR_3DDKSHADOW));
}

TEST(Windows, APressOutsideEndsTheMenuAndReachesItsWindowAfterwards) {
    TShownMenuBar m;
    TRecordingWindow target;
    target.SetBounds(600, 400, 120, 80);
    target.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windowOf(&target)));
    bool loopRunningAtPress = true;
    target.OnMessage = [&](TMessage& message) {
        if (message.Msg == WM_LBUTTONDOWN)
            loopRunningAtPress = RunningLoopCount() > 0 || TBPopupWindowCount() > 0;
    };
    Later([&] {
        QWidget* client = ClientWidgetOf(&target);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 12), client->mapToGlobal(QPointF(10, 12)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(client, &press);
    });
    m.Bar.View->Select(m.Bar.ViewerOf(m.File));
    TrackMenu(m.Bar.View.get(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_EQ(TBPopupWindowCount(), 0);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    bool pressed = false;
    for (const TRecordedInput& input : target.Inputs)
        pressed |= input.What == "mousedown" && input.X == 10 && input.Y == 12;
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(loopRunningAtPress);
    EXPECT_TRUE(m.Clicked.empty());
    ReleaseCapture();
}

// A viewer that records the wheel turns it gets.
class TWheelViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static std::vector<int>& Deltas() {
        static std::vector<int> deltas;
        return deltas;
    }
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item) { return new TWheelViewer(view, item); }
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void MouseWheel(int delta, int, int) override { Deltas().push_back(delta); }
};

class TWheelItem : public TTBCustomItem {
public:
    TTBItemViewerClass ViewerClassFor(TTBView*) override { return &TWheelViewer::Make; }
};

TEST(Windows, WheelTurnsReachTheViewerWithTheirSign) {
    TShownMenuBar m;
    auto* wheel = new TWheelItem;
    wheel->SetCaption("&Zoom");
    m.File->Add(wheel);
    TWheelViewer::Deltas().clear();
    Later([&] {
        TTBView* popup = OpenedView(m.Bar.View.get());
        ASSERT_NE(popup, nullptr);
        for (int notches : {-1, 2}) {
            TLoopInput input;
            input.Msg = WM_MOUSEWHEEL;
            input.WParam = MAKEWPARAM(0, static_cast<unsigned>(notches * WHEEL_DELTA) & 0xFFFF);
            input.Screen = CentreIn(popup, wheel);
            input.Target = m.Bar.View->OpenViewerWindow();
            TLoopInput move = input;
            move.Msg = WM_MOUSEMOVE;
            move.WParam = 0;
            DeliverLoopInput(move);
            DeliverLoopInput(input);
        }
        QTest::keyClick(m.BarWidget(), Qt::Key_Escape);
        QTest::keyClick(m.BarWidget(), Qt::Key_Escape);
    });
    m.Bar.View->Select(m.Bar.ViewerOf(m.File));
    TrackMenu(m.Bar.View.get(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_EQ(TWheelViewer::Deltas(), (std::vector<int>{-120, 240}));
}

TEST(Windows, AFadingPopupIsFaintFromTheMomentItShows) {
    TShownMenuBar m;
    m.Settings.Animation = m.Settings.Fade = m.Settings.Translucent = true;
    m.Bar.View->ValidatePositions();
    m.Bar.View->Select(m.Bar.ViewerOf(m.File));
    ASSERT_TRUE(m.Bar.View->OpenPopup(false));
    TTBPopupWindow* popup = m.Bar.View->OpenViewerWindow();
    ASSERT_TRUE(PopupAnimating(popup));
    // Shown at the fade's first step already, not whole until the next.
    QWidget* window = windowOf(popup);
    EXPECT_TRUE(window->isVisible());
    EXPECT_NEAR(window->windowOpacity(), 32 / 255.0, 1.5 / 255);
    StopPopupAnimation(popup);
    EXPECT_DOUBLE_EQ(window->windowOpacity(), 1.0);
    m.Bar.View->CloseChildPopups();
}

TEST(Windows, AToolbarShowsItsHotAndCheckedButtons) {
    TShownMenuBar m;
    auto* bold = new TTBCustomItem;
    bold->SetCaption("Bold");
    bold->SetChecked(true);
    m.Bar.Items.Add(bold);
    m.Bar.View->Select(m.Bar.ViewerOf(m.File));
    m.Bar.Invalidate();
    m.Bar.Update();
    QImage image = m.BarWidget()->grab().toImage();
    TRect file = m.Bar.ViewerOf(m.File)->BoundsRect;
    TRect checked = m.Bar.ViewerOf(bold)->BoundsRect;
    EXPECT_EQ(pixelAt(image, file.TopLeft()), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixelAt(image, {file.Right - 1, file.Bottom - 1}), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixelAt(image, checked.TopLeft()), GetSysColor(COLOR_BTNSHADOW));
    TColor a = pixelAt(image, {checked.Left + 2, checked.Top + 2});
    TColor b = pixelAt(image, {checked.Left + 3, checked.Top + 2});
    EXPECT_NE(a, b); // the checkerboard
    m.Bar.View->Select(nullptr);
}

TEST(Windows, AnItemThatAsksForItsHintShowsItWhenThePointerRestsInTheMenu) {
    TShownMenuBar m;
    m.Open->Hint = "Opens|Opens a page";
    m.Open->SetOptions(tboShowHint);
    m.Save->Hint = "Saves"; // not asked for: no tip in a menu
    std::string onOpen, early, onSave;
    Later([&] {
        TTBView* popup = OpenedView(m.Bar.View.get());
        ASSERT_NE(popup, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(windowOf(m.Bar.View->OpenViewerWindow())));
        auto moveTo = [&](TTBCustomItem* item) {
            TLoopInput move;
            move.Msg = WM_MOUSEMOVE;
            move.Screen = CentreIn(popup, item);
            move.Target = m.Bar.View->OpenViewerWindow();
            DeliverLoopInput(move);
        };
        auto tip = [] { return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string(); };
        moveTo(m.Open);
        QTest::qWait(100);
        early = tip(); // the pointer has not rested long enough yet
        QTest::qWait(kTBHintPause);
        onOpen = tip();
        moveTo(m.Save);
        QTest::qWait(350); // a tip told to go lingers a moment
        onSave = tip();
        QTest::keyClick(m.BarWidget(), Qt::Key_Escape);
        QTest::keyClick(m.BarWidget(), Qt::Key_Escape);
    });
    m.Bar.View->Select(m.Bar.ViewerOf(m.File));
    TrackMenu(m.Bar.View.get(), tbtmMenuMode | tbtmSelectFirst);
    EXPECT_EQ(early, "");
    EXPECT_EQ(onOpen, "Opens");
    EXPECT_EQ(onSave, "");
    QToolTip::hideText();
}

} // namespace
