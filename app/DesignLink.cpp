#include "app/DesignLink.h"

#include "app/DocumentText.h"

#include "editor/CodeMemo.h"
#include "platform/webview/DesignView.h"

void TDesignLink::Show(const std::string& baseURL) {
    ready_ = false;
    haveBaseline_ = false;
    baseline_.clear();
    view_.SetDocumentHTML(text_.Editor().Text());
    view_.SetBaseURL(baseURL);
}

void TDesignLink::DocumentComplete() {
    ready_ = true;
    try {
        baseline_ = view_.DocumentHTML();
        haveBaseline_ = true;
    } catch (const std::exception&) {
        haveBaseline_ = false;
    }
}

bool TDesignLink::TakeBack() {
    if (!ready_ || !haveBaseline_)
        return false;
    std::string page;
    try {
        page = view_.DocumentHTML();
    } catch (const std::exception&) {
        return false;
    }
    if (page == baseline_)
        return false;
    text_.ReplaceAll(page);
    baseline_ = std::move(page);
    return true;
}
