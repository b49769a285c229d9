// The clipboard: plain text, text without style codes, and column blocks,
// which travel as plain text plus a format registered by name that marks
// them as a block.

#include "editor/CodeMemo.h"
#include "editor/MemoView.h"
#include "editor/model/StyleCodes.h"

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
    if (SelLength() == 0 && !BlockMode())
        return;
    TClipboard& clipboard = Clipboard();
    if (BlockMode()) {
        std::string text = BlockText();
        std::string bytes = text;
        bytes += '\0';
        clipboard.Open();
        try {
            clipboard.SetAsText(text, Encoding());
            clipboard.SetFormatBytes(BlockClipboardFormat(), bytes);
        } catch (...) {
            clipboard.Close();
            throw;
        }
        clipboard.Close();
        return;
    }
    std::string text = SelText();
    if (Options().Contains(pmoPlainClipboard))
        text = StripStyleCodes(text);
    clipboard.SetAsText(text, Encoding());
}

void TCodeMemo::CutToClipboard() {
    if (SelLength() == 0 && !BlockMode())
        return;
    CopyToClipboard();
    SetSelText({});
}

void TCodeMemo::PasteFromClipboard() {
    TClipboard& clipboard = Clipboard();
    bool block = Options().Contains(pmoBlockSelection) && clipboard.HasFormat(BlockClipboardFormat());
    if (!clipboard.HasFormat(CF_TEXT))
        return;
    std::string text = clipboard.AsText(Encoding());
    // A paste is an undo step of its own.
    BreakUndoGroup();
    if (block)
        PasteBlock(text);
    else
        SetSelText(text);
    BreakUndoGroup();
}

void TCodeMemo::PasteBlock(std::string_view text) {
    // On screen the block goes to the caret's pixel column, in blanks.
    selection_->PasteBlock(text, HandleAllocated() ? view_->CaretColumn() : selection_->CaretTextColumn());
}
