// The window of kind wk::DesignView: the design view on the web engine.
#include "platform/webview/QtDesignView.h"
#include "platform/webview/WebViewWindow.h"
#include "platform/webview/WebViewWindows.h"
#include "platform/widgets/WindowKinds.h"

#include <QWebEngineView>

namespace {

class TDesignViewPeer : public TWebViewWindow, public TDesignViewWindow {
public:
    explicit TDesignViewPeer(TWinControl& control)
        : TWebViewWindow(control), engine_(static_cast<QWidget*>(NativeWidget())) {
        Embed(engine_.View());
        // The control hears of it as it hears of anything from its window.
        engine_.OnDocumentComplete = [&control] {
            TMessage message{CM_DOCUMENTCOMPLETE, 0, 0, 0};
            DeliverMessage(control, message);
        };
    }

    void SetDocument(const std::string& html, TTextEncoding encoding) override {
        engine_.SetDocumentHTML(html, encoding);
    }
    void SetBaseURL(const std::string& url) override { engine_.SetBaseURL(url); }
    std::string ReadDocument(int timeoutMs) override {
        engine_.ReadTimeout = std::chrono::milliseconds(timeoutMs);
        return engine_.DocumentHTML();
    }
    bool PageEdited(int timeoutMs) override {
        engine_.ReadTimeout = std::chrono::milliseconds(timeoutMs);
        return engine_.Edited();
    }
    bool InsertHTML(const std::string& html, TTextEncoding encoding, int timeoutMs) override {
        engine_.ReadTimeout = std::chrono::milliseconds(timeoutMs);
        return engine_.InsertHTML(html, encoding);
    }

private:
    TQtDesignView engine_;
};

const TWindowKindRegistration registration(wk::DesignView, [](TWinControl& control) {
    return std::make_unique<TDesignViewPeer>(control);
});

} // namespace
