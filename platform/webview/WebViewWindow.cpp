#include "platform/webview/WebViewWindow.h"

#include <QApplication>
#include <QPointer>
#include <QQuickWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <functional>

TWebViewWindow::TWebViewWindow(TWinControl& control) : TWidgetPeer(control) {
    prepareTopLevelSurface();
    // The focus goes to the engine's own widgets inside the view, never to
    // the window's widget, which would tell the control: follow it here.
    // Another window that takes the focus may have claimed it before this
    // one hears of the change, so the control is told of the loss whenever
    // it had the focus through this window.
    QObject::connect(
        qApp, &QApplication::focusChanged, Widget(),
        [&control, window = Widget(), told = false](QWidget* old, QWidget* now) mutable {
            const bool had = old != nullptr && window->isAncestorOf(old);
            const bool has = now != nullptr && window->isAncestorOf(now);
            if (has && !had) {
                if (GetFocusControl() != &control) {
                    TMessage message{WM_SETFOCUS, reinterpret_cast<WPARAM>(GetFocusControl()), 0,
                                     0};
                    DeliverMessage(control, message);
                }
                told = true;
            } else if (had && !has && told) {
                TMessage message{WM_KILLFOCUS, 0, 0, 0};
                DeliverMessage(control, message);
                told = false;
            }
        });
}

void TWebViewWindow::Embed(QWidget* view) {
    QWidget* client = static_cast<QWidget*>(NativeWidget());
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    Widget()->setFocusProxy(view);
}

namespace {

// The engine's view draws through a widget of this kind, made when a page
// first loads; hidden, this one asks the same of its top-level window
// (nothing, where the engine draws without OpenGL), and never draws.
void addWidgetOfEngineKind(QWidget* parent) {
    auto* sameKind = new QQuickWidget(parent);
    sameKind->setObjectName(QStringLiteral("engineSurfaceKind"));
    sameKind->setFocusPolicy(Qt::NoFocus);
    sameKind->setGeometry(0, 0, 0, 0);
    sameKind->hide();
}

// Runs a step once a window is on the screen (exposed), from the event
// loop, then goes.
class TOnceExposed : public QObject {
public:
    TOnceExposed(QWindow& window, QWidget* owner, std::function<void(QWidget*)> step)
        : QObject(owner), window_(&window), owner_(owner), step_(std::move(step)) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::Expose || !window_->isExposed())
            return false;
        window_->removeEventFilter(this);
        // Not from inside the window's own expose: its window may be made
        // anew by the step.
        QMetaObject::invokeMethod(
            owner_, [owner = owner_, step = std::move(step_)] { step(owner); }, Qt::QueuedConnection);
        deleteLater();
        return false;
    }

private:
    QPointer<QWindow> window_;
    QWidget* owner_;
    std::function<void(QWidget*)> step_;
};

} // namespace

void TWebViewWindow::prepareTopLevelSurface() {
    // A top-level window shown but not yet put on the screen by the window
    // system (the program's start), made anew now, would come back without
    // the place the window manager was giving it: it is asked once it is
    // on the screen.
    QWindow* top = Widget()->window()->windowHandle();
    if (top != nullptr && top->isVisible() && !top->isExposed()) {
        new TOnceExposed(*top, Widget(), addWidgetOfEngineKind);
        return;
    }
    addWidgetOfEngineKind(Widget());
}
