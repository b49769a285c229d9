#include "platform/webview/QtBrowserView.h"

#include "platform/webview/WebAddress.h"
#include "platform/webview/WebProfile.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

TQtBrowserView::TQtBrowserView(QWidget* parent) : view_(new QWebEngineView(parent)) {
    view_->setPage(new QWebEnginePage(&WebProfile(), view_));
}

TQtBrowserView::~TQtBrowserView() {
    delete view_.data();
}

void TQtBrowserView::SetTextEncoding(TTextEncoding encoding) {
    if (view_)
        view_->settings()->setDefaultTextEncoding(encoding == teUtf8 ? "UTF-8" : "windows-1252");
}

void TQtBrowserView::Navigate(const std::string& address) {
    const QUrl url = RequireWebAddress(address);
    if (!view_)
        return;
    // Loading the address the page shows already reloads it, and the
    // profile keeps no cache, so the page comes from its source again.
    view_->page()->load(url);
}
