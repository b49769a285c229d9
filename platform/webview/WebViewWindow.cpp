#include "platform/webview/WebViewWindow.h"

#include <QApplication>
#include <QVBoxLayout>

TWebViewWindow::TWebViewWindow(TWinControl& control) : TWidgetPeer(control) {
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
