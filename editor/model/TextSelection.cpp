// The selection and the editing that goes through it: the selection's
// ends, block mode, virtual columns, the editing primitive SetSelTextBuf
// with column blocks, undo and redo replayed through it, style toggles,
// pasting a column block and searching.

#include "editor/model/TextSelection.h"

#include "platform/base/Utf8.h"

#include "editor/model/ScopeGuards.h"
#include "editor/model/StyleCodes.h"
#include "editor/model/UpperCase.h"

#include "platform/base/TextLines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

TTextSelection::TTextSelection(TCodeDocument& document, TSelectionHost* host)
    : document_(document), host_(host), start_(std::make_unique<TCodeNavigator>(&document)),
      end_(std::make_unique<TCodeNavigator>(&document)), probe_(std::make_unique<TCodeNavigator>(&document)) {
    document_.AddWatcher(this);
}

TTextSelection::~TTextSelection() { document_.RemoveWatcher(this); }

void TTextSelection::TextReplaced(TCodeDocument&) {
    length_ = 0;
    blockMode_ = false;
    caretAtEnd_ = false;
    virtualColumns_ = 0;
    rememberedColumn_ = kNoColumn;
}

void TTextSelection::Moved() {
    if (host_ != nullptr)
        host_->SelectionMoved();
}

void TTextSelection::ScrollCaretIntoView() {
    if (host_ != nullptr)
        host_->ScrollCaretIntoView();
}

// ---------------------------------------------------------------------------
// The ends

void TTextSelection::SetSelStart(int32_t value) {
    value = std::clamp(value, 0, document_.TextLength());
    length_ = 0;
    blockMode_ = false;
    rememberedColumn_ = kNoColumn;
    virtualColumns_ = 0;
    start_->SetPos(value);
    end_->Assign(*start_);
    caretAtEnd_ = false;
    document_.UndoHistory().BreakGrouping();
    Moved();
}

void TTextSelection::selectFromCaret(int32_t caret, int32_t length) {
    const auto far = static_cast<int32_t>(std::clamp<int64_t>(int64_t{caret} + length, 0, document_.TextLength()));
    length_ = far - caret;
    if (length_ > 0) {
        start_->SetPos(caret);
        end_->SetPos(far);
        caretAtEnd_ = false;
    } else {
        end_->SetPos(caret);
        start_->SetPos(far);
        caretAtEnd_ = true;
    }
}

void TTextSelection::SetSelLength(int32_t value) {
    blockMode_ = false;
    selectFromCaret(SelStart(), value);
    document_.UndoHistory().BreakGrouping();
    Moved();
}

void TTextSelection::selectRange(int32_t from, int32_t to) {
    blockMode_ = false;
    start_->SetPos(from);
    end_->SetPos(to);
    length_ = to - from;
    caretAtEnd_ = false;
}

void TTextSelection::ExtendTo(int32_t offset) {
    const int32_t caret = SelStart();
    const int32_t textLength = document_.TextLength();
    const int64_t length = std::clamp<int64_t>(int64_t{length_} + caret - offset, -textLength, textLength);
    length_ = static_cast<int32_t>(length);
    if (length_ >= 0) {
        start_->SetPos(offset);
        end_->SetPos(offset + length_);
        caretAtEnd_ = false;
    } else {
        start_->SetPos(offset + length_);
        end_->SetPos(offset);
        caretAtEnd_ = true;
    }
}

void TTextSelection::CollapseTo(const TCodeNavigator& navigator) {
    length_ = 0;
    start_->Assign(navigator);
    end_->Assign(navigator);
    caretAtEnd_ = false;
}

void TTextSelection::SetEnds(int32_t start, int32_t end, bool caretAtEnd) {
    start_->SetPos(start);
    end_->SetPos(end);
    caretAtEnd_ = caretAtEnd;
    length_ = caretAtEnd ? start - end : end - start;
}

void TTextSelection::KeepOnCharacters() {
    if (!document_.IsUtf8() || blockMode_)
        return;
    const int32_t start = document_.CharStartAt(start_->Pos());
    const int32_t end = document_.CharStartAt(end_->Pos());
    if (start != start_->Pos() || end != end_->Pos())
        SetEnds(start, end, caretAtEnd_);
}

std::string TTextSelection::SelText() const {
    if (length_ == 0 && !blockMode_)
        return {};
    if (blockMode_)
        return BlockText();
    return document_.GetTextRange(start_->Pos(), end_->Pos());
}

void TTextSelection::SelectAll() {
    SetSelStart(document_.TextLength());
    SetSelLength(-document_.TextLength());
}

int32_t TTextSelection::SelLine() { return CaretNavigator().LineNumber(); }

void TTextSelection::SetSelLine(int32_t line) {
    line = std::max(line, 0);
    document_.Layout().FormatThroughLine(line);
    probe_->SetLineNumber(line);
    SetSelStart(probe_->Pos());
}

int32_t TTextSelection::SelCol() { return CaretNavigator().ColumnInLine() + virtualColumns_; }

int32_t TTextSelection::SelCharacterColumn() {
    TCodeNavigator& caret = CaretNavigator();
    const int32_t column = caret.ColumnInLine();
    if (!document_.IsUtf8())
        return column + virtualColumns_;
    int32_t lineStart = caret.ParOffset() - column;
    int32_t counted = 0;
    // On a long unbroken line the characters are counted from the mark
    // before the caret.
    const TParagraph& paragraph = *caret.Paragraph();
    if (const TLineMarks* marks = document_.Layout().LineMarksOf(paragraph)) {
        const TLineMark& mark = marks->AtOrBefore(caret.ParOffset());
        lineStart = mark.Offset;
        counted = mark.Characters;
    }
    const std::string_view before = std::string_view(paragraph.Text)
                                        .substr(static_cast<size_t>(lineStart),
                                                static_cast<size_t>(caret.ParOffset() - lineStart));
    return counted + static_cast<int32_t>(Utf8CharCount(before)) + virtualColumns_;
}

void TTextSelection::SetSelCol(int32_t column) {
    probe_->Assign(CaretNavigator());
    probe_->SetColumnInLine(std::max(column, 0));
    selectFromCaret(probe_->Pos(), length_);
    Moved();
}

int32_t TTextSelection::SelPar() { return CaretNavigator().ParNumber(); }

void TTextSelection::SetSelPar(int32_t paragraph) {
    paragraph = std::clamp(paragraph, 0, document_.ParagraphCount() - 1);
    SetSelStart(document_.ParagraphList().Start(paragraph));
}

std::string TTextSelection::CurrentWord() {
    TCodeNavigator& caret = CaretNavigator();
    const TParagraph& p = *caret.Paragraph();
    const int32_t offset = std::min(caret.ParOffset(), p.Length());
    int32_t left = offset;
    while (left > 0 && !document_.IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(left - 1)])))
        --left;
    int32_t right = offset;
    while (right < p.Length() && !document_.IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(right)])))
        ++right;
    return p.Text.substr(static_cast<size_t>(left), static_cast<size_t>(right - left));
}

int32_t TTextSelection::GetSelTextBuf(char* buffer, int32_t size) const {
    if (buffer == nullptr || size <= 0)
        return 0;
    const std::string text = SelText();
    const auto count = static_cast<int32_t>(std::min<size_t>(text.size(), static_cast<size_t>(size - 1)));
    std::memcpy(buffer, text.data(), static_cast<size_t>(count));
    buffer[count] = '\0';
    return count;
}

int32_t TTextSelection::CaretTextColumn() {
    TCodeNavigator& caret = CaretNavigator();
    const TParagraph& p = *caret.Paragraph();
    return IndexToColumn(p.Text, std::min(caret.ParOffset(), p.Length()), document_.Layout().TabStops(),
                         document_.StaticFormat(), document_.IsUtf8()) +
           virtualColumns_;
}

// ---------------------------------------------------------------------------
// Column block

void TTextSelection::SetBlockColumns(int32_t column1, int32_t column2) {
    blockColumn1_ = std::max(column1, 0);
    blockColumn2_ = std::max(column2, 0);
}

void TTextSelection::SetBlock(int32_t column1, int32_t column2) {
    blockMode_ = true;
    SetBlockColumns(column1, column2);
    Moved();
}

std::string TTextSelection::BlockText() const {
    const int32_t first = const_cast<TCodeNavigator&>(*start_).ParNumber();
    const int32_t last = const_cast<TCodeNavigator&>(*end_).ParNumber();
    std::string result;
    for (int32_t index = first; index <= last; ++index) {
        const std::string_view text = document_.ParagraphList()[index].Text;
        const auto [a, b] = ColumnSpan(text, blockColumn1_, blockColumn2_, document_.Layout().TabStops(),
                                       document_.StaticFormat(), document_.IsUtf8());
        result.append(text, static_cast<size_t>(a), static_cast<size_t>(b - a));
        result += "\r\n";
    }
    return result;
}

bool TTextSelection::deleteBlock() {
    blockMode_ = false;
    bool recorded = false;
    const int32_t first = start_->ParNumber();
    const int32_t last = end_->ParNumber();
    bool firstDeletion = true;
    for (int32_t index = first; index <= last; ++index) {
        const auto [a, b] = ColumnSpan(document_.ParagraphList()[index].Text, blockColumn1_, blockColumn2_,
                                       document_.Layout().TabStops(), document_.StaticFormat(), document_.IsUtf8());
        if (b == a)
            continue;
        const int32_t start = document_.ParagraphList().Start(index);
        selectRange(start + a, start + b);
        // The whole block goes, and comes back, in one undo step.
        recorded = recorded || !document_.Fields().UndoRecordingOff;
        ReplaceGrouped({}, !firstDeletion);
        firstDeletion = false;
    }
    return recorded;
}

void TTextSelection::PasteBlock(std::string_view text, int32_t column) {
    // The lines as every text reader splits them (the break behind the
    // last line starts no other); an empty block is one empty line.
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line, std::string_view) { lines.emplace_back(line); });
    if (lines.empty())
        lines.emplace_back();

    TDocumentUpdate update(document_);
    TUndoHistory::TAction action(document_.UndoHistory());
    const int32_t first = CaretNavigator().ParNumber();
    const int32_t tabStops = document_.Layout().TabStops();
    const bool staticFormat = document_.StaticFormat();
    const bool utf8 = document_.IsUtf8();
    bool firstLine = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto index = first + static_cast<int32_t>(i);
        while (index >= document_.ParagraphCount()) {
            SetSelStart(document_.TextLength());
            ReplaceGrouped("\r\n", true);
        }
        const std::string_view paragraphText = document_.ParagraphList()[index].Text;
        const int32_t at = ColumnToIndex(paragraphText, column, tabStops, staticFormat, utf8);
        const int32_t padding = std::max(ColumnRemainder(paragraphText, column, tabStops, staticFormat, utf8), 0);
        SetSelStart(document_.ParagraphList().Start(index) + at);
        std::string piece(static_cast<size_t>(padding), ' ');
        piece += lines[i];
        // The whole block comes and goes in one undo step.
        ReplaceGrouped(piece, !firstLine);
        firstLine = false;
    }
    // The caret stands after the block's last line, which may lie below
    // the window.
    if (update.Finish())
        ScrollCaretIntoView();
}

// ---------------------------------------------------------------------------
// Editing

void TTextSelection::SetSelText(std::string_view text) {
    if (virtualColumns_ > 0 && document_.Options().Contains(pmoPutExtraSpaces) && (!blockMode_ || length_ == 0)) {
        std::string padded(static_cast<size_t>(virtualColumns_), ' ');
        padded.append(text);
        SetSelTextBuf(padded);
        return;
    }
    SetSelTextBuf(text);
}

void TTextSelection::ReplaceGrouped(std::string_view text, bool withPrevious) {
    // The entry to group is the first this edit records, its own; the
    // style-code clean-up behind it may record more, grouped with it already.
    TUndoHistory& history = document_.UndoHistory();
    const int32_t first = history.Position();
    const bool recorded = !document_.Fields().UndoRecordingOff;
    SetSelTextBuf(text);
    if (recorded && withPrevious)
        history.GroupWithPrevious(first);
}

void TTextSelection::SetSelTextBuf(std::string_view buffer) {
    std::string text(buffer);
    document_.BeforeChange(text);
    if (length_ == 0 && text.empty())
        return;
    TUndoHistory::TAction action(document_.UndoHistory());
    // The edit's own update level: nested edits (block deletion, code
    // clean-up, handlers that edit) do not update the display before it ends.
    TDocumentUpdate update(document_);
    auto finish = [&]() {
        if (update.Finish())
            ScrollCaretIntoView();
    };
    bool blockDeleted = false;
    if (blockMode_) {
        // The text that replaces the block undoes with its deletion, but
        // never with an unrelated edit before it when nothing was deleted.
        blockDeleted = deleteBlock();
        if (text.empty())
            return finish();
    }
    const std::optional<int32_t> caret =
        document_.ReplaceRange(std::min(start_->Pos(), end_->Pos()), std::max(start_->Pos(), end_->Pos()), text,
                               blockDeleted);
    if (caret) {
        virtualColumns_ = 0;
        rememberedColumn_ = kNoColumn;
        blockMode_ = false;
        start_->SetPos(*caret);
        end_->Assign(*start_);
        length_ = 0;
        caretAtEnd_ = false;
    }
    finish();
}

void TTextSelection::AppendParagraphs(const std::vector<std::string>& paragraphs) {
    if (paragraphs.empty())
        return;
    std::string text = document_.TextLength() > 0 ? "\r\n" : "";
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += paragraphs[i];
    }
    SetSelStart(document_.TextLength());
    TCodeDocument::TInternalEdit internal(document_);
    SetSelTextBuf(text);
}

void TTextSelection::ToggleStyle(char code) {
    if (!document_.StaticFormat() || std::abs(static_cast<int64_t>(length_)) >= 2147483545)
        return;
    const int32_t length = length_ < 0 ? -length_ : length_;
    const bool backward = length_ < 0;
    const int32_t from = std::min(start_->Pos(), end_->Pos());
    std::string text(1, code);
    text += SelText();
    text += code;
    {
        TCodeDocument::TInternalEdit internal(document_);
        SetSelTextBuf(text);
    }
    // The same characters are selected again, now between the two codes.
    if (length == 0) {
        SetSelStart(from + 1);
    } else if (backward) {
        SetSelStart(from + 1 + length);
        SetSelLength(-length);
    } else {
        SetSelStart(from + 1);
        SetSelLength(length);
    }
}

void TTextSelection::replay(int32_t from, int32_t to, const std::string& text) {
    selectRange(from, std::min(to, document_.TextLength()));
    TRestoreOnExit<bool> recording(document_.Fields().UndoRecordingOff, false);
    SetSelTextBuf(text);
}

void TTextSelection::Undo() {
    document_.UndoHistory().Undo([this](int32_t from, int32_t to, const std::string& text) { replay(from, to, text); });
    KeepOnCharacters();
}

void TTextSelection::Redo() {
    document_.UndoHistory().Redo([this](int32_t from, int32_t to, const std::string& text) { replay(from, to, text); });
    KeepOnCharacters();
}

// ---------------------------------------------------------------------------
// Searching

bool TTextSelection::FindTxt(std::string_view text, bool forward, bool fromBoundary, bool wholeWord, bool matchCase) {
    // Searching for nothing finds nothing.
    if (text.empty())
        return false;
    const std::string needle = matchCase ? std::string(text) : UpperCased(document_.FoldingRule(), text);
    const TParagraphsList& paragraphs = document_.ParagraphList();
    const auto needleLength = static_cast<int32_t>(needle.size());

    auto paragraphText = [&](int32_t index) -> std::string_view {
        TParagraph& p = paragraphs[index];
        if (matchCase)
            return p.Text;
        return {document_.UpperCaseParagraph(&p, index, 0, p.Length()), static_cast<size_t>(p.Length())};
    };
    // The neighbours of a whole word are the text's own characters, not
    // their upper-cased copies (the separators may hold lower-case ones).
    auto isWord = [&](int32_t index, size_t at) {
        if (!wholeWord)
            return true;
        std::string_view text = paragraphs[index].Text;
        if (at > 0 && !document_.IsSeparator(static_cast<unsigned char>(text[at - 1])))
            return false;
        size_t after = at + needle.size();
        return after >= text.size() || document_.IsSeparator(static_cast<unsigned char>(text[after]));
    };

    TCodeNavigator& caret = CaretNavigator();
    const int32_t count = paragraphs.Count();
    int32_t index;
    int32_t position;
    if (fromBoundary) {
        index = forward ? 0 : count - 1;
        position = forward ? 0 : paragraphs[index].Length();
    } else {
        index = caret.ParNumber();
        position = std::min(caret.ParOffset(), paragraphs[index].Length());
    }

    if (forward) {
        for (; index < count; ++index, position = 0) {
            std::string_view haystack = paragraphText(index);
            size_t at = haystack.find(needle, static_cast<size_t>(position));
            while (at != std::string_view::npos && !isWord(index, at))
                at = haystack.find(needle, at + 1);
            if (at != std::string_view::npos) {
                SetSelStart(paragraphs.Start(index) + static_cast<int32_t>(at) + needleLength);
                SetSelLength(-needleLength);
                return true;
            }
        }
        return false;
    }
    for (; index >= 0; --index) {
        std::string_view haystack = paragraphText(index);
        // The last occurrence that begins before the start position.
        if (position > 0) {
            size_t at = haystack.rfind(needle, static_cast<size_t>(position - 1));
            while (at != std::string_view::npos && !isWord(index, at))
                at = at == 0 ? std::string_view::npos : haystack.rfind(needle, at - 1);
            if (at != std::string_view::npos) {
                SetSelStart(paragraphs.Start(index) + static_cast<int32_t>(at));
                SetSelLength(needleLength);
                return true;
            }
        }
        if (index > 0)
            position = paragraphs[index - 1].Length() + 1;
    }
    return false;
}
