// The window of kind wk::Browser: the browser on the web engine.
#include "platform/webview/QtBrowserView.h"
#include "platform/webview/WebViewWindow.h"
#include "platform/webview/WebViewWindows.h"
#include "platform/widgets/WindowKinds.h"

#include <QWebEngineView>

namespace {

class TBrowserPeer : public TWebViewWindow, public TBrowserWindow {
public:
    explicit TBrowserPeer(TWinControl& control)
        : TWebViewWindow(control), engine_(static_cast<QWidget*>(NativeWidget())) {
        Embed(engine_.View());
    }

    void Navigate(const std::string& url) override { engine_.Navigate(url); }
    void SetTextEncoding(TTextEncoding encoding) override { engine_.SetTextEncoding(encoding); }

private:
    TQtBrowserView engine_;
};

const TWindowKindRegistration registration(wk::Browser, [](TWinControl& control) {
    return std::make_unique<TBrowserPeer>(control);
});

} // namespace
