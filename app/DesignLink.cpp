#include "app/DesignLink.h"

#include "app/DocumentText.h"

#include "editor/CodeMemo.h"
#include "platform/webview/DesignView.h"

TDesignLink::TDesignLink(TDesignView& view, TDocumentText& text, TDeferral defer)
    : view_(view), text_(text), defer_(std::move(defer)) {}

TDesignLink::~TDesignLink() = default;

void TDesignLink::Show(const std::string& baseURL) {
    ++*generation_;
    ready_ = false;
    haveBaseline_ = false;
    baseline_.clear();
    view_.SetDocumentHTML(text_.Editor().Text());
    view_.SetBaseURL(baseURL);
}

void TDesignLink::DocumentComplete() {
    ready_ = true;
    if (!defer_) {
        readBaseline();
        return;
    }
    std::weak_ptr<unsigned> generation = generation_;
    defer_([this, generation, expected = *generation_] {
        auto current = generation.lock();
        if (current && *current == expected)
            readBaseline();
    });
}

void TDesignLink::readBaseline() {
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
