#include "platform/webview/WebViewProperties.h"

#include "platform/base/Properties.h"
#include "platform/ui/ControlProperties.h"
#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/WebBrowser.h"

void RegisterWebViewClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        RegisterPublishedClass<TDHTMLEdit, TWinControl>("TDHTMLEdit")
            .String("BaseURL", &TDHTMLEdit::BaseURL, &TDHTMLEdit::SetBaseURL)
            .Event("OnDocumentComplete", &TDHTMLEdit::OnDocumentComplete);
        RegisterPublishedClass<TWebBrowser, TWinControl>("TWebBrowser");
        return true;
    }();
    (void)registered;
}
