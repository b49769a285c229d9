#include "app/DesignLink.h"

#include "app/DocumentText.h"
#include "app/DocumentTextEncoding.h"

#include "editor/CodeMemo.h"
#include "platform/webview/DesignView.h"

#include <string_view>

namespace {

// The mark a UTF-8 file may begin with.  The view reads it as no part of
// the page and never writes it back.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool beginsWithMark(std::string_view text) { return text.substr(0, kUtf8Mark.size()) == kUtf8Mark; }

} // namespace

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
    // A file that began with the mark keeps it.
    if (text_.Editor().ParagraphCount() > 0 && beginsWithMark(text_.Editor().Paragraph(0)->Text) &&
        !beginsWithMark(page))
        page.insert(0, kUtf8Mark);
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
