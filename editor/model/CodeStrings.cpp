#include "editor/model/CodeStrings.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"

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

TCodeMemoStrings::TCodeMemoStrings(TTextSelection& selection)
    : selection_(selection), document_(selection.Document()) {}

void TCodeMemoStrings::Clear() { document_.SetTextBuf({}); }

void TCodeMemoStrings::LoadFromStream(TStream& stream) { document_.LoadFromStream(stream); }

void TCodeMemoStrings::SaveToStream(TStream& stream) const { document_.SaveToStream(stream); }

std::string TCodeMemoStrings::GetTextStr() const { return document_.Text(); }

void TCodeMemoStrings::SetTextStr(std::string_view text) { document_.SetTextBuf(text); }

void TCodeMemoStrings::SetUpdateState(bool updating) {
    if (updating)
        document_.BeginUpdate();
    else
        document_.EndUpdate();
}

void TCodeMemoStrings::Assign(const TPersistent* source) {
    if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
        if (strings == this)
            return;
        TMemoryStream stream;
        strings->SaveToStream(stream);
        stream.SetPosition(0);
        document_.LoadFromStream(stream);
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
            selection_.AppendParagraphs(JoinStreamedPieces(pieces));
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (int32_t i = 0; i < document_.ParagraphCount(); ++i)
                for (const std::string& piece : SplitForStreaming(document_.Paragraph(i)->Text))
                    writer.WriteString(piece);
            writer.WriteListEnd();
        },
        document_.TextLength() > 0);
}

void TCodeMemoStrings::PutParagraph(int index, const std::string& s) {
    index = std::max(index, 0);
    int32_t caretParagraph = selection_.SelPar();
    if (caretParagraph == index)
        selection_.SetSelStart(document_.ParagraphStart(std::min(index, document_.ParagraphCount() - 1)));
    int32_t caret = selection_.SelStart();
    int32_t selLength = selection_.SelLength();
    int32_t delta = 0;
    int32_t start = 0;
    RunInUpdate(document_, [&] {
        while (document_.ParagraphCount() <= index) {
            selection_.SetSelStart(document_.TextLength());
            selection_.SetSelTextBuf("\r\n");
        }
        start = document_.ParagraphStart(index);
        int32_t before = document_.TextLength();
        selection_.SetSelStart(start);
        selection_.SetSelLength(document_.Paragraph(index)->Length());
        selection_.SetSelText(s);
        delta = document_.TextLength() - before;
    });
    if (start < caret)
        caret += delta;
    selection_.SetSelStart(caret);
    if (caretParagraph != index)
        selection_.SetSelLength(selLength);
}

int TCodeMemoStrings::AddParagraph(const std::string& s) {
    int32_t count = document_.ParagraphCount();
    if (document_.Paragraph(count - 1)->Length() > 0) {
        PutParagraph(count, s);
        return count;
    }
    // The empty last paragraph takes the string and a break behind it.
    PutParagraph(count - 1, s + "\r\n");
    return count - 1;
}

// ---------------------------------------------------------------------------
// Paragraphs

std::string TCodeParaStrings::Get(int index) const { return document_.Paragraph(index)->Text.Str(); }

int TCodeParaStrings::GetCount() const {
    int32_t count = document_.ParagraphCount();
    return document_.Paragraph(count - 1)->Length() == 0 ? count - 1 : count;
}

void TCodeParaStrings::Put(int index, const std::string& s) { PutParagraph(index, s); }

int TCodeParaStrings::Add(const std::string& s) { return AddParagraph(s); }

void TCodeParaStrings::Insert(int index, const std::string& s) {
    if (index >= GetCount()) {
        Add(s);
        return;
    }
    index = std::max(index, 0);
    selection_.SetSelStart(document_.ParagraphStart(index));
    selection_.SetSelText(s + "\r\n");
}

void TCodeParaStrings::Delete(int index) {
    if (index < 0 || index >= document_.ParagraphCount())
        throw EListError();
    int32_t start = document_.ParagraphStart(index);
    int32_t length = document_.Paragraph(index)->Length();
    if (index + 1 < document_.ParagraphCount())
        length += 2;
    selection_.SetSelStart(start);
    selection_.SetSelLength(length);
    selection_.SetSelText({});
}

// ---------------------------------------------------------------------------
// Display lines

std::string TCodeLinesStrings::Get(int index) const {
    document_.Layout().FormatPending();
    return document_.DisplayLineText(index);
}

int TCodeLinesStrings::GetCount() const {
    document_.Layout().FormatPending();
    const TParagraph& last = *document_.Paragraph(document_.ParagraphCount() - 1);
    const TLineRecord& line = last.Line(last.LineCount() - 1);
    return line.Stop == line.Start ? document_.LineCount() - 1 : document_.LineCount();
}

bool TCodeLinesStrings::selectLine(int index, bool withBreak) {
    document_.Layout().FormatPending();
    if (index < 0 || index >= document_.LineCount())
        return false;
    TCodeNavigator navigator(&document_);
    navigator.SetLineNumber(index);
    const TParagraph& p = *navigator.Paragraph();
    int32_t lineInPar = navigator.LineInPar();
    const TLineRecord& line = p.Line(lineInPar);
    int32_t length = line.Stop - line.Start;
    // A line that ends its paragraph goes with the break behind it.
    if (withBreak && lineInPar == p.LineCount() - 1)
        length += 2;
    selection_.SetSelStart(navigator.Pos());
    selection_.SetSelLength(length);
    return true;
}

void TCodeLinesStrings::Put(int index, const std::string& s) {
    if (selectLine(index, false))
        selection_.SetSelText(s);
}

int TCodeLinesStrings::Add(const std::string& s) {
    int paragraph = AddParagraph(s);
    selection_.SetSelStart(document_.TextLength());
    document_.Layout().FormatPending();
    selection_.ScrollCaretIntoView();
    return document_.ParagraphFirstLine(paragraph);
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
    document_.Layout().FormatPending();
    TCodeNavigator navigator(&document_);
    navigator.SetLineNumber(std::max(index, 0));
    selection_.SetSelStart(navigator.Pos());
    selection_.SetSelText(s + "\r\n");
}

void TCodeLinesStrings::Delete(int index) {
    if (index >= GetCount())
        return;
    if (selectLine(index, true))
        selection_.SetSelText({});
}
