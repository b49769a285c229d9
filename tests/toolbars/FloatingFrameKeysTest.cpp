// A floating bar's frame and the keyboard, through real events on real
// (offscreen) windows: presses and drags on the frame leave the keyboard
// with the form, whose menu bar then opens on Alt+F typed into whatever
// window the window system says has the keyboard; a field inside a frame
// still takes it; and a bar that floats before its form shows comes up
// above the form.

#include "tests/toolbars/DockTestSupport.h"
#include "tests/toolbars/WindowTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TextControls.h"
#include "toolbars/TBToolWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>

#include <functional>
#include <vector>

namespace {

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

QWindow* nativeWindowOf(TWinControl* control) { return ClientWidgetOf(control)->window()->windowHandle(); }

struct TFormWithFloatingBar {
    TTestSettings Settings;
    TForm Form;
    TTBToolbar* Menu;
    TTBToolbar* Bar;

    TFormWithFloatingBar() {
        SetTBSystemSettings(&Settings);
        Form.SetBounds(80, 80, 500, 300);
        auto* dock = new TTBDock(&Form);
        dock->SetParent(&Form);
        Menu = MakeToolbar(&Form, "Menu", {});
        Menu->SetMenuBar(true);
        AddSubmenu(*Menu->Items(), "&File", {"&Open", "&Save"});
        Menu->SetParent(dock);
        Bar = MakeToolbar(&Form, "Bar", {"One", "Two"});
        Bar->SetParent(dock);
    }
    ~TFormWithFloatingBar() { SetTBSystemSettings(nullptr); }

    // What the window system does with a press on a window: it hands the
    // window the activation, when the window takes any, before the press
    // is handled (the activation itself arrives afterwards).
    static void pressOn(QWindow* window, QPoint point) {
        if (!(window->flags() & Qt::WindowDoesNotAcceptFocus))
            window->requestActivate();
        QTest::mousePress(widgetAt(window, point), Qt::LeftButton, Qt::NoModifier, localIn(window, point));
    }
    static void releaseOn(QWindow* window, QPoint point) {
        QTest::mouseRelease(widgetAt(window, point), Qt::LeftButton, Qt::NoModifier, localIn(window, point));
    }
    static QWidget* widgetAt(QWindow* window, QPoint point) {
        QWidget* under = QApplication::widgetAt(window->mapToGlobal(point));
        EXPECT_NE(under, nullptr);
        return under;
    }
    static QPoint localIn(QWindow* window, QPoint point) {
        return widgetAt(window, point)->mapFromGlobal(window->mapToGlobal(point));
    }

    // Alt+F typed where the keyboard is: whether the File menu opened.
    bool altFOpensTheFileMenu() {
        // Where the window system sends keys: the focused widget of the
        // active window.
        QWidget* keyboard = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : QApplication::activeWindow();
        if (keyboard == nullptr)
            return false;
        bool opened = false;
        int tries = 0;
        std::function<void()> look = [&] {
            opened = OpenedView(Menu->View()) != nullptr;
            if (!opened && ++tries < 20) {
                Later(look);
                return;
            }
            if (opened) {
                QTest::keyClick(keyboard, Qt::Key_Escape);
                QTest::keyClick(keyboard, Qt::Key_Escape);
            }
        };
        Later(look);
        QTest::keyClick(keyboard, Qt::Key_F, Qt::AltModifier);
        settle();
        return opened;
    }
};

TEST(FloatingFrameKeys, PressesAndDragsOnAFrameLeaveTheKeyboardWithTheForm) {
    TFormWithFloatingBar f;
    int clicks = 0;
    f.Bar->Items()->ItemAt(0)->OnClick = [&](TTBCustomItem*) { ++clicks; };
    f.Form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&f.Form)->window()));
    f.Bar->SetFloating(true);
    f.Bar->PlaceFloatingFrame({300, 250});
    TTBFloatingWindowParent* frame = f.Bar->FloatingFrame();
    QWindow* frameWindow = nativeWindowOf(frame);
    QWindow* formWindow = nativeWindowOf(&f.Form);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frameWindow));
    settle();
    ASSERT_EQ(QGuiApplication::focusWindow(), formWindow);

    const int border = frame->BorderSize();
    const QPoint caption(border + 6, border + 4);
    TRect one = f.Bar->View()->ViewerOf(f.Bar->Items()->ItemAt(0))->BoundsRect;
    const QPoint item = ClientWidgetOf(f.Bar)->mapTo(ClientWidgetOf(frame)->window(), QPoint(one.Left + 3, one.Top + 3));
    enum { CaptionPress, Drag, ItemPress, ManagerActivates };
    for (int way : {CaptionPress, ItemPress, Drag, CaptionPress, ManagerActivates}) {
        const QPoint at = way == ItemPress ? item : caption;
        const TPoint before = {frame->Left(), frame->Top()};
        QWidget* pressed = TFormWithFloatingBar::widgetAt(frameWindow, at);
        const QPoint local = TFormWithFloatingBar::localIn(frameWindow, at);
        Later([&] {
            if (way == Drag)
                for (int step = 1; step <= 4; ++step)
                    QTest::mouseMove(pressed, local + QPoint(10 * step, 6 * step));
            QTest::mouseRelease(pressed, Qt::LeftButton, Qt::NoModifier, way == Drag ? local + QPoint(40, 24) : local);
        });
        TFormWithFloatingBar::pressOn(frameWindow, at);
        if (way == ManagerActivates) {
            // A window manager that activates the frame all the same.
            frameWindow->setFlag(Qt::WindowDoesNotAcceptFocus, false);
            frameWindow->requestActivate();
        }
        settle();
        EXPECT_EQ(QGuiApplication::focusWindow(), formWindow) << way;
        EXPECT_TRUE(f.Form.Active()) << way;
        EXPECT_TRUE(f.altFOpensTheFileMenu()) << way;
        if (way == Drag) {
            EXPECT_NE(frame->Left(), before.X);
        }
        EXPECT_TRUE(f.Bar->Floating());
    }
    EXPECT_EQ(clicks, 1);
}

TEST(FloatingFrameKeys, AFieldInsideAFrameTakesTheKeyboardUntilThePressOnTheFrame) {
    TFormWithFloatingBar f;
    auto* tools = new TTBToolWindow(&f.Form);
    tools->SetName("Tools");
    tools->SetParent(f.Bar->Parent());
    auto* field = new TEdit(&f.Form);
    field->SetBounds(2, 2, 60, 20);
    field->SetParent(tools);
    f.Form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&f.Form)->window()));
    tools->SetFloating(true);
    tools->PlaceFloatingFrame({100, 250});
    TTBFloatingWindowParent* frame = tools->FloatingFrame();
    QWindow* frameWindow = nativeWindowOf(frame);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frameWindow));
    settle();

    // Focused by the program, the field has the keyboard: typed keys reach it.
    field->SetFocus();
    settle();
    ASSERT_EQ(QGuiApplication::focusWindow(), frameWindow);
    QTest::keyClicks(QApplication::focusWidget(), "ab");
    EXPECT_EQ(field->Text(), "ab");

    // A press on the frame's caption gives it back to the form.
    const QPoint caption(frame->BorderSize() + 6, frame->BorderSize() + 4);
    Later([&] { TFormWithFloatingBar::releaseOn(frameWindow, caption); });
    TFormWithFloatingBar::pressOn(frameWindow, caption);
    settle();
    EXPECT_EQ(QGuiApplication::focusWindow(), nativeWindowOf(&f.Form));
    EXPECT_TRUE(f.altFOpensTheFileMenu());

    // Clicked, the field takes it again.
    const QPoint inField = ClientWidgetOf(field)->mapTo(ClientWidgetOf(frame)->window(), QPoint(5, 5));
    TFormWithFloatingBar::pressOn(frameWindow, inField);
    TFormWithFloatingBar::releaseOn(frameWindow, inField);
    settle();
    EXPECT_EQ(QGuiApplication::focusWindow(), frameWindow);
    ReleaseCapture();
}

// Which top-level windows came to the top, shown or raised, in order.
struct TRaises : QObject {
    std::vector<QObject*> Order;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool up = event->type() == QEvent::ZOrderChange || event->type() == QEvent::Show;
        if (up && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            Order.push_back(watched);
        return false;
    }
    // The one of two windows raised last, or nullptr.
    QObject* LastOf(QObject* one, QObject* other) const {
        for (auto it = Order.rbegin(); it != Order.rend(); ++it)
            if (*it == one || *it == other)
                return *it;
        return nullptr;
    }
};

TEST(FloatingFrameKeys, ABarFloatingBeforeItsFormShowsComesUpAboveIt) {
    // The program is active already (another window of it was), as when a
    // bar floated at the last exit is put back at start-up.
    TForm first;
    first.SetBounds(600, 80, 100, 100);
    first.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&first)->window()));
    settle();

    TFormWithFloatingBar f;
    f.Bar->SetFloating(true);
    f.Bar->PlaceFloatingFrame({300, 250});
    TRaises raises;
    qApp->installEventFilter(&raises);
    f.Form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ClientWidgetOf(&f.Form)->window()));
    settle();
    QWidget* formWidget = ClientWidgetOf(&f.Form)->window();
    ASSERT_NE(f.Bar->FloatingFrame(), nullptr);
    QWidget* frameWidget = ClientWidgetOf(f.Bar->FloatingFrame())->window();
    auto lastRaised = [&] { return raises.LastOf(formWidget, frameWidget); };
    EXPECT_EQ(lastRaised(), frameWidget);
    // Activated again from elsewhere, the form is raised: the frame follows.
    first.Show();
    settle();
    raises.Order.clear();
    f.Form.Show();
    settle();
    EXPECT_EQ(lastRaised(), frameWidget);
    qApp->removeEventFilter(&raises);
}

TEST(FloatingFrameKeys, AModalDialogOpenedAsItsFormShowsStaysAboveTheFrame) {
    // As at start-up: the form shows, which raises it (and its frame once
    // it is up), and a modal dialog opens over it at once, the program's
    // own modal form or a dialog of Qt's.
    TFormWithFloatingBar f;
    f.Bar->SetFloating(true);
    f.Bar->PlaceFloatingFrame({300, 250});
    TRaises raises;
    qApp->installEventFilter(&raises);
    for (bool qtDialog : {false, true}) {
        raises.Order.clear();
        f.Form.Show();
        ASSERT_NE(f.Bar->FloatingFrame(), nullptr);
        QWidget* frameWidget = ClientWidgetOf(f.Bar->FloatingFrame())->window();
        TForm form;
        form.SetBounds(250, 200, 300, 200);
        QDialog dialog(ClientWidgetOf(&f.Form)->window());
        QObject* dialogWidget = nullptr;
        QObject* above = nullptr;
        Later([&] {
            settle();
            dialogWidget = qtDialog ? static_cast<QObject*>(&dialog) : ClientWidgetOf(&form)->window();
            above = raises.LastOf(dialogWidget, frameWidget);
            qtDialog ? dialog.reject() : form.SetModalResult(mrCancel);
        });
        qtDialog ? dialog.exec() : form.ShowModal();
        EXPECT_EQ(above, dialogWidget) << (qtDialog ? "Qt's dialog" : "modal form");
    }
    qApp->removeEventFilter(&raises);
}

} // namespace
