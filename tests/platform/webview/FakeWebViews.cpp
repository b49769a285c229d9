#include "tests/platform/webview/FakeWebViews.h"

#include <algorithm>

void TFakeDesignView::SetDocumentHTML(const std::string& html) {
    document_ = html;
    loading_ = true;
    Hung = false; // the next document gets a page that answers
}

std::string TFakeDesignView::DocumentHTML() {
    CompleteLoad(); // the real view waits for a pending load
    if (Hung)
        throw EWebViewError("The design view is not responding");
    return Loads.empty() ? document_ : Page;
}

bool TFakeDesignView::Edited() {
    if (Hung)
        throw EWebViewError("The design view is not responding");
    return !loading_ && Page != loaded_;
}

bool TFakeDesignView::InsertHTML(const std::string& html) {
    CompleteLoad(); // the real view waits for a pending load
    if (Hung)
        throw EWebViewError("The design view is not responding");
    if (Loads.empty())
        return false;
    const size_t at = std::min(Caret, Page.size());
    Page.insert(at, html);
    Caret = at + html.size();
    return true;
}

void TFakeDesignView::UserEdits(const std::string& page) {
    Page = page;
    Caret = std::string::npos; // the user's typing ends at the end
}

void TFakeDesignView::SetBaseURL(const std::string& url) {
    base_ = url;
}

void TFakeDesignView::CompleteLoad() {
    if (!loading_)
        return;
    loading_ = false;
    Caret = std::string::npos;
    Loads.push_back({document_, base_});
    Page = Serialise ? Serialise(document_) : document_;
    loaded_ = Page;
    if (OnDocumentComplete)
        OnDocumentComplete(nullptr);
}

void TFakeBrowserView::Navigate(const std::string& url) {
    if (url.empty() || Failing)
        throw EWebViewError("\"" + url + "\" is not a valid address");
    Navigations.push_back(url);
}
