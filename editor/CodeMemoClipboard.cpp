// The clipboard: plain text, text without style codes, and column blocks,
// which travel as plain text plus a format registered by name that marks
// them as a block.

#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"
#include "editor/StyleCodes.h"

#include "platform/base/TextLines.h"
#include "platform/gfx/Clipboard.h"

#include <algorithm>

namespace {
// Every memo registers the same name, so blocks travel between memos and
// between program instances.
constexpr const char* kBlockFormatName = "Korvane Ondrill Column Block";
}  // namespace

unsigned TCodeMemo::BlockClipboardFormat() {
    static const unsigned format = RegisterClipboardFormat(kBlockFormatName);
    return format;
}

void TCodeMemo::CopyToClipboard() {
    if (selLength_ == 0 && !blockMode_)
        return;
    TClipboard& clipboard = Clipboard();
    if (blockMode_) {
        std::string text = BlockText();
        std::string bytes = text;
        bytes += '\0';
        clipboard.Open();
        try {
            clipboard.SetAsText(text);
            clipboard.SetFormatBytes(BlockClipboardFormat(), bytes);
        } catch (...) {
            clipboard.Close();
            throw;
        }
        clipboard.Close();
        return;
    }
    std::string text = SelText();
    if (options_.Contains(pmoPlainClipboard))
        text = StripStyleCodes(text);
    clipboard.SetAsText(text);
}

void TCodeMemo::CutToClipboard() {
    if (selLength_ == 0 && !blockMode_)
        return;
    CopyToClipboard();
    SetSelText({});
}

void TCodeMemo::PasteFromClipboard() {
    TClipboard& clipboard = Clipboard();
    bool block = options_.Contains(pmoBlockSelection) && clipboard.HasFormat(BlockClipboardFormat());
    if (!clipboard.HasFormat(CF_TEXT))
        return;
    std::string text = clipboard.AsText();
    // A paste is an undo step of its own.
    breakGrouping_ = true;
    if (block)
        PasteBlock(text);
    else
        SetSelText(text);
    breakGrouping_ = true;
}

void TCodeMemo::PasteBlock(std::string_view text) {
    // The lines as every text reader splits them (the break behind the
    // last line starts no other); an empty block is one empty line.
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line, std::string_view) { lines.emplace_back(line); });
    if (lines.empty())
        lines.emplace_back();

    TCountGuard update(updateCount_);
    TUndoAction action(*this);
    TCodeNavigator& caret = CaretNavigator();
    const int32_t first = caret.ParNumber();
    // On screen the block goes to the caret's pixel column, in blanks.
    const int32_t column = HandleAllocated() ? caretColumn() : caretTextColumn();
    bool firstLine = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        auto index = first + static_cast<int32_t>(i);
        while (index >= paragraphs_.Count()) {
            SetSelStart(textLength_);
            replaceSelectionGrouped("\r\n", true);
        }
        const std::string& paragraphText = paragraphs_[index].Text;
        int32_t at = ColumnToIndex(paragraphText, column, tabStops_, staticFormat_);
        int32_t padding = std::max(ColumnRemainder(paragraphText, column, tabStops_, staticFormat_), 0);
        SetSelStart(paragraphs_.Start(index) + at);
        std::string piece(static_cast<size_t>(padding), ' ');
        piece += lines[i];
        // The whole block comes and goes in one undo step.
        replaceSelectionGrouped(piece, !firstLine);
        firstLine = false;
    }
    if (update.Release()) {
        UpdateAfterEdit();
        // The caret stands after the block's last line, which may lie below
        // the window.
        ScrollInView();
    }
}
