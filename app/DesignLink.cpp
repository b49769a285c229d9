#include "app/DesignLink.h"

#include "app/DocumentText.h"
#include "app/DocumentTextEncoding.h"

#include "editor/CodeMemo.h"
#include "platform/webview/DesignView.h"

void TDesignLink::Show(const std::string& baseURL) {
    ready_ = false;
    taken_.clear();
    view_.SetTextEncoding(text_.Editor().Encoding());
    view_.SetDocumentHTML(text_.Editor().Text());
    view_.SetBaseURL(baseURL);
}

bool TDesignLink::TakeBack() {
    if (!ready_)
        return false;
    std::string page;
    try {
        if (!view_.Edited())
            return false;
        page = view_.DocumentHTML();
    } catch (const std::exception&) {
        return false;
    }
    if (page == taken_)
        return false;
    text_.ReplaceAll(page);
    taken_ = std::move(page);
    return true;
}

bool TDesignLink::Insert(const std::string& markup) {
    try {
        return view_.InsertHTML(DocumentTextOf(text_.Editor(), markup));
    } catch (const std::exception&) {
        return false;
    }
}
