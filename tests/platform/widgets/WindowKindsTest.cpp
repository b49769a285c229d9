// The window kinds on real (offscreen) widgets: what each kind's window is
// to the window system (activation, focus, input, frame, owner), the window
// region, and kinds registered later.

#include "platform/base/Exceptions.h"
#include "platform/ui/LayeredWindow.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/ui/RecordingControls.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "platform/ui/QtBridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>

namespace {

// A custom-drawn control that asks for a kind of window and paints itself
// in one colour.
class TKindWindow : public TRecordingWindow {
public:
    explicit TKindWindow(std::string_view kind, TColor paint = clRed, TWinControl* owner = nullptr)
        : kind_(kind), paint_(paint), owner_(owner) {}
    void CreateParams(TCreateParams& params) override {
        TRecordingWindow::CreateParams(params);
        params.Kind = kind_;
        params.WndParent = owner_;
    }

protected:
    void Paint() override { Canvas().FillRect(ClientRect(), paint_); }

private:
    std::string kind_;
    TColor paint_;
    TWinControl* owner_;
};

QWidget* windowOf(TWinControl& control) { return ClientWidgetOf(&control)->window(); }

// An active top-level window that the other kinds must leave active.
struct TActiveMain {
    TKindWindow control{wk::CustomDrawn, clWhite};
    TActiveMain() {
        control.SetTabStop(true);
        control.SetBounds(100, 100, 300, 200);
        control.Show();
        QWidget* window = windowOf(control);
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        control.SetFocus();
    }
};

TEST(WindowKinds, APopupNeverActivatesNorTakesTheFocusAndPaintsItself) {
    TActiveMain main;
    QWidget* active = QApplication::activeWindow();
    ASSERT_EQ(active, windowOf(main.control));
    TKindWindow popup(wk::Popup, clRed, &main.control);
    popup.SetTabStop(true);
    popup.SetBounds(150, 150, 60, 40);
    popup.Show();
    QWidget* window = windowOf(popup);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowType(), Qt::ToolTip);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), active) << "showing a popup activates nothing";
    EXPECT_FALSE(popup.CanFocus());
    EXPECT_THROW(popup.SetFocus(), EInvalidOperation);
    EXPECT_EQ(GetFocusControl(), &main.control);
    EXPECT_EQ(window->mapToGlobal(QPoint(0, 0)), QPoint(150, 150)) << "bounds are screen coordinates";
    QImage pixels = window->grab().toImage();
    EXPECT_EQ(QColor(pixels.pixel(30, 20)), QColor(Qt::red));
}

TEST(WindowKinds, AFramelessWindowFloatsOverItsOwner) {
    TActiveMain main;
    TKindWindow frame(wk::Frameless, clBlue, &main.control);
    frame.SetBounds(120, 300, 80, 30);
    frame.Show();
    QWidget* window = windowOf(frame);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->windowType(), Qt::Tool);
    EXPECT_EQ(window->parentWidget(), windowOf(main.control)) << "owned by the main window";
    EXPECT_TRUE(frame.CanFocus()) << "unlike a popup it may take the focus";
}

TEST(WindowKinds, AnOverlayLetsThePointerThroughToWhatLiesBeneath) {
    TActiveMain main;
    auto* beneath = new TKindWindow(wk::CustomDrawn, clWhite);
    beneath->SetParent(&main.control);
    beneath->SetBounds(0, 0, 300, 200);
    auto* overlay = new TKindWindow(wk::Overlay, clRed);
    overlay->SetParent(&main.control);
    overlay->SetBounds(20, 20, 100, 60);
    // Only a frame of the rectangle shows, as a drag outline does.
    overlay->SetWindowRegion({Rect(0, 0, 100, 3), Rect(0, 57, 100, 60), Rect(0, 0, 3, 60), Rect(97, 0, 100, 60)});
    QApplication::processEvents();
    ASSERT_TRUE(overlay->HandleAllocated());
    QWidget* overlayWidget = ClientWidgetOf(overlay)->parentWidget();
    EXPECT_EQ(overlayWidget->mask().boundingRect(), QRect(0, 0, 100, 60));
    EXPECT_FALSE(overlayWidget->mask().contains(QPoint(50, 30)));
    TPoint onFrame = main.control.ClientToScreen({21, 21});
    EXPECT_EQ(ControlAtScreen(onFrame), beneath) << "the locator sees through the overlay";
    QWidget* hit = QApplication::widgetAt(ToQPoint(onFrame));
    EXPECT_EQ(ControlOfObject(hit), beneath);

    // Top-level overlays are tool tips that take no input at all.
    TKindWindow floating(wk::Overlay);
    floating.SetBounds(400, 400, 50, 50);
    floating.Show();
    EXPECT_EQ(windowOf(floating)->windowType(), Qt::ToolTip);
    EXPECT_TRUE(windowOf(floating)->windowFlags() & Qt::WindowTransparentForInput);
}

TEST(WindowKinds, AKindRegisteredLaterIsUsedAndAnUnknownOneIsAnError) {
    int made = 0;
    RegisterWindowKind("TestKind", [&](TWinControl& control) {
        ++made;
        return std::make_unique<TWidgetPeer>(control);
    });
    {
        TKindWindow control("TestKind");
        control.SetBounds(0, 0, 10, 10);
        control.Show();
        EXPECT_TRUE(control.HandleAllocated());
        EXPECT_EQ(made, 1);
    }
    RegisterWindowKind("TestKind", {});
    EXPECT_FALSE(HasWindowKind("TestKind"));
    TKindWindow unknown("TestKind");
    unknown.SetBounds(0, 0, 10, 10);
    EXPECT_THROW(unknown.Show(), EInvalidOperation);
    EXPECT_FALSE(unknown.HandleAllocated());
    for (std::string_view kind : {wk::CustomDrawn, wk::Popup, wk::Overlay, wk::Frameless, wk::Layered})
        EXPECT_TRUE(HasWindowKind(kind)) << kind;
}

} // namespace
