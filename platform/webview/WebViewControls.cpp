#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/WebAddress.h"
#include "platform/webview/WebBrowser.h"
#include "platform/webview/WebViewWindows.h"

namespace {

template <class Window> Window* windowOf(const TWinControl& control) {
    return dynamic_cast<Window*>(control.Peer());
}

} // namespace

// --- TDHTMLEdit -----------------------------------------------------------------

TDHTMLEdit::TDHTMLEdit(TComponent* owner) : TWinControl(owner) {}

void TDHTMLEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Kind = std::string(wk::DesignView);
}

void TDHTMLEdit::SetDocumentHTML(const std::string& html) {
    document_ = html;
    haveDocument_ = true;
    if (auto* window = windowOf<TDesignViewWindow>(*this))
        window->SetDocument(html, encoding_);
}

std::string TDHTMLEdit::DocumentHTML() {
    if (auto* window = windowOf<TDesignViewWindow>(*this))
        return window->ReadDocument(readTimeout_);
    return document_;
}

bool TDHTMLEdit::Edited() {
    if (auto* window = windowOf<TDesignViewWindow>(*this))
        return window->PageEdited(readTimeout_);
    return false;
}

bool TDHTMLEdit::InsertHTML(const std::string& html) {
    if (auto* window = windowOf<TDesignViewWindow>(*this))
        return window->InsertHTML(html, encoding_, readTimeout_);
    return false;
}

void TDHTMLEdit::SetBaseURL(const std::string& url) {
    base_ = url;
    if (auto* window = windowOf<TDesignViewWindow>(*this))
        window->SetBaseURL(url);
}

void TDHTMLEdit::CreateWnd() {
    TWinControl::CreateWnd();
    if (auto* window = windowOf<TDesignViewWindow>(*this)) {
        window->SetBaseURL(base_);
        if (haveDocument_)
            window->SetDocument(document_, encoding_);
    }
}

void TDHTMLEdit::DestroyWnd() {
    // The page holds the user's edits: keep them for the next window.  A
    // page that does not answer keeps the document as it was last set.
    if (auto* window = windowOf<TDesignViewWindow>(*this); window != nullptr && haveDocument_) {
        try {
            document_ = window->ReadDocument(readTimeout_);
        } catch (const EWebViewError&) {
        }
    }
    TWinControl::DestroyWnd();
}

void TDHTMLEdit::Dispatch(TMessage& message) {
    if (message.Msg == CM_DOCUMENTCOMPLETE) {
        if (OnDocumentComplete)
            OnDocumentComplete(this);
        return;
    }
    TWinControl::Dispatch(message);
}

// --- TWebBrowser ------------------------------------------------------------------

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {}

void TWebBrowser::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Kind = std::string(wk::Browser);
}

void TWebBrowser::Navigate(const std::string& url) {
    RequireWebAddress(url);
    if (auto* window = windowOf<TBrowserWindow>(*this)) {
        window->SetTextEncoding(encoding_);
        window->Navigate(url);
        pending_.clear();
    } else {
        pending_ = url;
    }
}

void TWebBrowser::CreateWnd() {
    TWinControl::CreateWnd();
    if (!pending_.empty())
        Navigate(pending_);
}
