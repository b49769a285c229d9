// The selection model: two navigators hold the lower and the upper end of
// the selection, the caret is one of them, and SelLength is signed (positive
// when the caret is the lower end).

#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"
#include "editor/StyleCodes.h"

#include "platform/base/Stream.h"

#include <algorithm>
#include <cstring>

int32_t TCodeMemo::SelStart() const { return caretAtEnd_ ? selEnd_->Pos() : selStart_->Pos(); }

void TCodeMemo::SetSelStart(int32_t value) {
    value = std::clamp(value, 0, textLength_);
    selLength_ = 0;
    blockMode_ = false;
    rememberedColumn_ = INT32_MIN;
    virtualColumns_ = 0;
    selStart_->SetPos(value);
    selEnd_->Assign(*selStart_);
    caretAtEnd_ = false;
    breakGrouping_ = true;
    SelectionChanged();
}

void TCodeMemo::selectFromCaret(int32_t caret, int32_t length) {
    const auto far = static_cast<int32_t>(std::clamp<int64_t>(int64_t{caret} + length, 0, textLength_));
    selLength_ = far - caret;
    if (selLength_ > 0) {
        selStart_->SetPos(caret);
        selEnd_->SetPos(far);
        caretAtEnd_ = false;
    } else {
        selEnd_->SetPos(caret);
        selStart_->SetPos(far);
        caretAtEnd_ = true;
    }
}

void TCodeMemo::SetSelLength(int32_t value) {
    blockMode_ = false;
    selectFromCaret(SelStart(), value);
    breakGrouping_ = true;
    SelectionChanged();
}

std::string TCodeMemo::SelText() const {
    if (selLength_ == 0 && !blockMode_)
        return {};
    if (blockMode_)
        return BlockText();
    return GetTextRange(selStart_->Pos(), selEnd_->Pos());
}

void TCodeMemo::SetSelText(std::string_view text) {
    if (virtualColumns_ > 0 && options_.Contains(pmoPutExtraSpaces) && (!blockMode_ || selLength_ == 0)) {
        std::string padded(static_cast<size_t>(virtualColumns_), ' ');
        padded.append(text);
        SetSelTextBuf(padded);
        return;
    }
    SetSelTextBuf(text);
}

void TCodeMemo::SelectAll() {
    SetSelStart(textLength_);
    SetSelLength(-textLength_);
}

int32_t TCodeMemo::SelLine() { return CaretNavigator().LineNumber(); }

void TCodeMemo::SetSelLine(int32_t line) {
    line = std::max(line, 0);
    // The display lines up to the target must be final for its number to
    // mean anything; the paragraphs after it may wait for the background
    // pass, so that a jump in a long text still being formatted is quick.
    for (int32_t index = 0; index < paragraphs_.Count() && paragraphs_.FirstLine(index) <= line;) {
        if (paragraphs_[index].Formatted) {
            ++index;
            continue;
        }
        int32_t last = index;
        while (last + 1 < paragraphs_.Count() && !paragraphs_[last + 1].Formatted &&
               paragraphs_.FirstLine(last + 1) <= line)
            ++last;
        FormatRange(index, last, false);
        // Formatting changed the line counts: look at the same paragraph
        // again (it cannot still be waiting, but never spin on it).
        if (!paragraphs_[index].Formatted)
            ++index;
    }
    work1_->SetLineNumber(line);
    SetSelStart(work1_->Pos());
}

int32_t TCodeMemo::SelCol() { return CaretNavigator().ColumnInLine() + virtualColumns_; }

int32_t TCodeMemo::caretTextColumn() {
    TCodeNavigator& caret = CaretNavigator();
    const TParagraph& p = *caret.Paragraph();
    return IndexToColumn(p.Text, std::min(caret.ParOffset(), p.Length()), tabStops_, staticFormat_) + virtualColumns_;
}

void TCodeMemo::SetSelCol(int32_t column) {
    TCodeNavigator& caret = CaretNavigator();
    work1_->Assign(caret);
    work1_->SetColumnInLine(std::max(column, 0));
    selectFromCaret(work1_->Pos(), selLength_);
    SelectionChanged();
}

int32_t TCodeMemo::SelPar() { return CaretNavigator().ParNumber(); }

void TCodeMemo::SetSelPar(int32_t paragraph) {
    paragraph = std::clamp(paragraph, 0, paragraphs_.Count() - 1);
    SetSelStart(paragraphs_.Start(paragraph));
}

std::string TCodeMemo::CurrentWord() {
    TCodeNavigator& caret = CaretNavigator();
    const TParagraph& p = *caret.Paragraph();
    int32_t offset = std::min(caret.ParOffset(), p.Length());
    int32_t left = offset;
    while (left > 0 && !IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(left - 1)])))
        --left;
    int32_t right = offset;
    while (right < p.Length() && !IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(right)])))
        ++right;
    return p.Text.substr(static_cast<size_t>(left), static_cast<size_t>(right - left));
}

int32_t TCodeMemo::GetSelTextBuf(char* buffer, int32_t size) const {
    if (buffer == nullptr || size <= 0)
        return 0;
    std::string text = SelText();
    auto count = static_cast<int32_t>(std::min<size_t>(text.size(), static_cast<size_t>(size - 1)));
    std::memcpy(buffer, text.data(), static_cast<size_t>(count));
    buffer[count] = '\0';
    return count;
}

void TCodeMemo::SetTextBuf(std::string_view text) {
    if (text.empty() && textLength_ == 0)
        return;
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    LoadFromStream(stream);
    Modified = true;
}

void TCodeMemo::SetBlock(int32_t column1, int32_t column2) {
    blockMode_ = true;
    blockColumn1_ = std::max(column1, 0);
    blockColumn2_ = std::max(column2, 0);
    SelectionChanged();
}

std::string TCodeMemo::BlockText() const {
    int32_t first = selStart_->ParNumber();
    int32_t last = selEnd_->ParNumber();
    std::string result;
    for (int32_t index = first; index <= last; ++index) {
        const std::string& text = paragraphs_[index].Text;
        const auto [a, b] = ColumnSpan(text, blockColumn1_, blockColumn2_, tabStops_, staticFormat_);
        result.append(text, static_cast<size_t>(a), static_cast<size_t>(b - a));
        result += "\r\n";
    }
    return result;
}

void TCodeMemo::AppendParagraphs(const std::vector<std::string>& paragraphs) {
    if (paragraphs.empty())
        return;
    std::string text = textLength_ > 0 ? "\r\n" : "";
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += paragraphs[i];
    }
    SetSelStart(textLength_);
    TRestoreOnExit<bool> internal(internalEdit_, true);
    SetSelTextBuf(text);
}
