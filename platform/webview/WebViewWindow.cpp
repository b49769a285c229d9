#include "platform/webview/WebViewWindow.h"

#include <QVBoxLayout>

TWebViewWindow::TWebViewWindow(TWinControl& control) : TWidgetPeer(control) {}

void TWebViewWindow::Embed(QWidget* view) {
    QWidget* client = static_cast<QWidget*>(NativeWidget());
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    Widget()->setFocusProxy(view);
}
