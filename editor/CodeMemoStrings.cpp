#include "editor/CodeMemoStrings.h"

#include "editor/CodeMemo.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Filer.h"
#include "platform/base/Stream.h"
#include "platform/base/UpdateScope.h"

#include <algorithm>

namespace {
constexpr char kContinued = 5;
constexpr size_t kPiece = 254;
constexpr size_t kLastPiece = 255;
}  // namespace

// ---------------------------------------------------------------------------
// Shared by both views

void TCodeMemoStrings::Clear() { memo_.SetTextBuf({}); }

void TCodeMemoStrings::LoadFromStream(TStream& stream) { memo_.LoadFromStream(stream); }

void TCodeMemoStrings::SaveToStream(TStream& stream) const { memo_.SaveToStream(stream); }

std::string TCodeMemoStrings::GetTextStr() const { return memo_.Text(); }

void TCodeMemoStrings::SetTextStr(std::string_view text) { memo_.SetTextBuf(text); }

void TCodeMemoStrings::SetUpdateState(bool updating) {
    if (updating)
        memo_.BeginUpdate();
    else
        memo_.EndUpdate();
}

void TCodeMemoStrings::Assign(const TPersistent* source) {
    if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
        if (strings == this)
            return;
        TMemoryStream stream;
        strings->SaveToStream(stream);
        stream.SetPosition(0);
        memo_.LoadFromStream(stream);
        return;
    }
    TStrings::Assign(source);
}

std::vector<std::string> TCodeMemoStrings::SplitForStreaming(std::string_view paragraph) {
    std::vector<std::string> pieces;
    while (paragraph.size() > kLastPiece) {
        pieces.emplace_back(paragraph.substr(0, kPiece));
        pieces.back() += kContinued;
        paragraph.remove_prefix(kPiece);
    }
    if (paragraph.empty() || paragraph.back() != kContinued) {
        pieces.emplace_back(paragraph);
        return pieces;
    }
    // The paragraph's own last byte is a 5: mark the piece as continued (the
    // reader drops exactly one 5) and close the paragraph with an empty piece.
    if (paragraph.size() > kPiece) {
        pieces.emplace_back(paragraph.substr(0, kPiece));
        pieces.back() += kContinued;
        paragraph.remove_prefix(kPiece);
    }
    pieces.emplace_back(paragraph);
    pieces.back() += kContinued;
    pieces.emplace_back();
    return pieces;
}

std::vector<std::string> TCodeMemoStrings::JoinStreamedPieces(const std::vector<std::string>& pieces) {
    std::vector<std::string> paragraphs;
    bool continued = false;
    for (const std::string& piece : pieces) {
        std::string_view text = piece;
        bool next = !text.empty() && text.back() == kContinued;
        if (next)
            text.remove_suffix(1);
        if (continued)
            paragraphs.back() += text;
        else
            paragraphs.emplace_back(text);
        continued = next;
    }
    return paragraphs;
}

void TCodeMemoStrings::DefineProperties(TFiler& filer) {
    filer.DefineProperty(
        "Strings",
        [this](TReader& reader) {
            std::vector<std::string> pieces;
            reader.ReadListBegin();
            while (!reader.EndOfList())
                pieces.push_back(reader.ReadString());
            reader.ReadListEnd();
            memo_.AppendParagraphs(JoinStreamedPieces(pieces));
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (int32_t i = 0; i < memo_.ParagraphCount(); ++i)
                for (const std::string& piece : SplitForStreaming(memo_.Paragraph(i)->Text))
                    writer.WriteString(piece);
            writer.WriteListEnd();
        },
        memo_.TextLength() > 0);
}

void TCodeMemoStrings::PutParagraph(int index, const std::string& s) {
    index = std::max(index, 0);
    int32_t caretParagraph = memo_.SelPar();
    if (caretParagraph == index)
        memo_.SetSelStart(memo_.ParagraphStart(std::min(index, memo_.ParagraphCount() - 1)));
    int32_t caret = memo_.SelStart();
    int32_t selLength = memo_.SelLength();
    int32_t delta = 0;
    int32_t start = 0;
    RunInUpdate(memo_, [&] {
        while (memo_.ParagraphCount() <= index) {
            memo_.SetSelStart(memo_.TextLength());
            memo_.SetSelTextBuf("\r\n");
        }
        start = memo_.ParagraphStart(index);
        int32_t before = memo_.TextLength();
        memo_.SetSelStart(start);
        memo_.SetSelLength(memo_.Paragraph(index)->Length());
        memo_.SetSelText(s);
        delta = memo_.TextLength() - before;
    });
    if (start < caret)
        caret += delta;
    memo_.SetSelStart(caret);
    if (caretParagraph != index)
        memo_.SetSelLength(selLength);
}

int TCodeMemoStrings::AddParagraph(const std::string& s) {
    int32_t count = memo_.ParagraphCount();
    if (memo_.Paragraph(count - 1)->Length() > 0) {
        PutParagraph(count, s);
        return count;
    }
    // The empty last paragraph takes the string and a break behind it.
    PutParagraph(count - 1, s + "\r\n");
    return count - 1;
}

// ---------------------------------------------------------------------------
// Paragraphs

std::string TCodeParaStrings::Get(int index) const { return memo_.Paragraph(index)->Text; }

int TCodeParaStrings::GetCount() const {
    int32_t count = memo_.ParagraphCount();
    return memo_.Paragraph(count - 1)->Length() == 0 ? count - 1 : count;
}

void TCodeParaStrings::Put(int index, const std::string& s) { PutParagraph(index, s); }

int TCodeParaStrings::Add(const std::string& s) { return AddParagraph(s); }

void TCodeParaStrings::Insert(int index, const std::string& s) {
    if (index >= GetCount()) {
        Add(s);
        return;
    }
    index = std::max(index, 0);
    memo_.SetSelStart(memo_.ParagraphStart(index));
    memo_.SetSelText(s + "\r\n");
}

void TCodeParaStrings::Delete(int index) {
    if (index < 0 || index >= memo_.ParagraphCount())
        throw EListError();
    int32_t start = memo_.ParagraphStart(index);
    int32_t length = memo_.Paragraph(index)->Length();
    if (index + 1 < memo_.ParagraphCount())
        length += 2;
    memo_.SetSelStart(start);
    memo_.SetSelLength(length);
    memo_.SetSelText({});
}

// ---------------------------------------------------------------------------
// Display lines

std::string TCodeLinesStrings::Get(int index) const {
    memo_.FormatPending();
    return memo_.DisplayLineText(index);
}

int TCodeLinesStrings::GetCount() const {
    memo_.FormatPending();
    const TParagraph& last = *memo_.Paragraph(memo_.ParagraphCount() - 1);
    const TLineRecord& line = last.Line(last.LineCount() - 1);
    return line.Stop == line.Start ? memo_.LineCount() - 1 : memo_.LineCount();
}

bool TCodeLinesStrings::selectLine(int index, bool withBreak) {
    memo_.FormatPending();
    if (index < 0 || index >= memo_.LineCount())
        return false;
    TCodeNavigator navigator(&memo_);
    navigator.SetLineNumber(index);
    const TParagraph& p = *navigator.Paragraph();
    int32_t lineInPar = navigator.LineInPar();
    const TLineRecord& line = p.Line(lineInPar);
    int32_t length = line.Stop - line.Start;
    // A line that ends its paragraph goes with the break behind it.
    if (withBreak && lineInPar == p.LineCount() - 1)
        length += 2;
    memo_.SetSelStart(navigator.Pos());
    memo_.SetSelLength(length);
    return true;
}

void TCodeLinesStrings::Put(int index, const std::string& s) {
    if (selectLine(index, false))
        memo_.SetSelText(s);
}

int TCodeLinesStrings::Add(const std::string& s) {
    int paragraph = AddParagraph(s);
    memo_.SetSelStart(memo_.TextLength());
    memo_.FormatPending();
    memo_.ScrollInView();
    return memo_.ParagraphFirstLine(paragraph);
}

void TCodeLinesStrings::Insert(int index, const std::string& s) {
    // At the count the string is appended; beyond it there is no line to
    // insert before, and nothing happens.
    const int count = GetCount();
    if (index > count)
        return;
    if (index == count) {
        Add(s);
        return;
    }
    memo_.FormatPending();
    TCodeNavigator navigator(&memo_);
    navigator.SetLineNumber(std::max(index, 0));
    memo_.SetSelStart(navigator.Pos());
    memo_.SetSelText(s + "\r\n");
}

void TCodeLinesStrings::Delete(int index) {
    if (index >= GetCount())
        return;
    if (selectLine(index, true))
        memo_.SetSelText({});
}
