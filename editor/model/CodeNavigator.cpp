#include "editor/model/CodeNavigator.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/StyleCodes.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

TCodeNavigator::TCodeNavigator(TCodeDocument* document) { SetDocument(document); }

TCodeNavigator::TCodeNavigator(TComponent* holder) {
    if (holder != nullptr) {
        auto* shown = dynamic_cast<TDocumentHolder*>(holder);
        if (shown == nullptr)
            throw EInvalidOperation("Internal error: component is not a TCodeMemo");
        SetDocument(&shown->Document());
    }
}

TCodeNavigator::~TCodeNavigator() {
    SetDocument(nullptr);
    if (OnFree)
        OnFree(this);
}

void TCodeNavigator::SetDocument(TCodeDocument* document) {
    if (document == document_)
        return;
    if (document_ != nullptr)
        document_->unregisterNavigator(this);
    document_ = document;
    if (document_ != nullptr)
        document_->registerNavigator(this);
    Invalidate();
}

void TCodeNavigator::requireDocument() const {
    if (document_ == nullptr)
        throw EInvalidOperation("Internal CodeMemo error");
}

void TCodeNavigator::Invalidate() {
    parIndex_ = -1;
    parOffset_ = kUnknown;
    contextIndex_ = kUnknown;
    lineInPar_ = kUnknown;
    lines_.SetParagraph(nullptr);
}

void TCodeNavigator::locate() {
    requireDocument();
    const TParagraphsList& list = document_->paragraphs_;
    contextIndex_ = kUnknown;
    lineInPar_ = kUnknown;
    parIndex_ = list.IndexOfOffset(offset_);
    // Offsets outside the text never give an offset outside the paragraph.
    int32_t start = list.Start(parIndex_);
    parOffset_ = std::clamp(offset_ - start, 0, list[parIndex_].Length() + 1);
    lines_.SetParagraph(&list[parIndex_]);
}

int32_t TCodeNavigator::findParOffset() {
    if (parIndex_ < 0)
        locate();
    if (parOffset_ == kUnknown) {
        int32_t start = document_->paragraphs_.Start(parIndex_);
        parOffset_ = std::clamp(offset_ - start, 0, par().Length() + 1);
    }
    return parOffset_;
}

int32_t TCodeNavigator::ContextIndex() {
    TParagraph& p = par();
    if (contextIndex_ == kUnknown)
        contextIndex_ = p.ContextIndexAt(ParOffset());
    return contextIndex_;
}

int32_t TCodeNavigator::LineInPar() {
    TParagraph& p = par();
    if (lineInPar_ == kUnknown)
        lineInPar_ = p.LineOfOffset(ParOffset());
    return lineInPar_;
}

int32_t TCodeNavigator::LineNumber() {
    int32_t line = LineInPar();
    return document_->paragraphs_.FirstLine(parIndex_) + line;
}

TLinesList& TCodeNavigator::Lines() {
    lines_.SetParagraph(&par());
    return lines_;
}

void TCodeNavigator::SetPos(int32_t offset) {
    if (document_ != nullptr && parIndex_ >= 0 && parOffset_ != kUnknown) {
        // The paragraph is the one the lines view.
        TParagraph& p = *lines_.Paragraph();
        const int32_t start = document_->paragraphs_.Start(parIndex_);
        if (offset >= start && offset <= start + p.Length() + 1) {
            moveWithin(p, start, offset - start);
            return;
        }
    }
    Invalidate();
    offset_ = offset;
}

void TCodeNavigator::SetLineNumber(int32_t line) {
    requireDocument();
    TParagraphsList& list = document_->paragraphs_;
    line = std::clamp(line, 0, std::max(document_->lineCount_ - 1, 0));
    int32_t index = list.IndexOfLine(line);
    TParagraph& p = list[index];
    int32_t lineInPar = std::clamp(line - list.FirstLine(index), 0, p.LineCount() - 1);
    place(index, p, list.Start(index), p.Line(lineInPar).Start);
    lineInPar_ = lineInPar;
}

int32_t TCodeNavigator::ColumnInLine() {
    TParagraph& p = par();
    return ParOffset() - p.Line(LineInPar()).Start;
}

void TCodeNavigator::SetColumnInLine(int32_t column) {
    TParagraph& p = par();
    const TLineRecord& line = p.Line(LineInPar());
    column = std::clamp(column, 0, line.Stop - line.Start);
    parOffset_ = line.Start + column;
    offset_ = document_->paragraphs_.Start(parIndex_) + parOffset_;
    contextIndex_ = kUnknown;
}

char TCodeNavigator::CharAt() {
    TParagraph& p = par();
    return p.CharAt(ParOffset());
}

std::string TCodeNavigator::GetText(int32_t count) {
    if (count <= 0)
        return {};
    requireDocument();
    int32_t from = std::clamp(offset_, 0, document_->textLength_);
    int64_t to = std::min<int64_t>(static_cast<int64_t>(from) + count, document_->textLength_);
    return document_->GetTextRange(from, static_cast<int32_t>(to));
}

bool TCodeNavigator::PrevContext(int32_t limit) {
    const TParagraphsList& list = document_->paragraphs_;
    int32_t index = ParNumber();
    int32_t context = ContextIndex();
    for (;;) {
        TParagraph& p = list[index];
        if (context > 0) {
            const int32_t offset = p.Contexts.Offset(context - 1);
            const int32_t start = list.Start(index);
            if (start + offset < limit)
                return false;
            place(index, p, start, offset);
            contextIndex_ = context - 1;
            return true;
        }
        // Search earlier paragraphs only while they may still reach the limit.
        if (index == 0 || list.Start(index) <= limit)
            return false;
        --index;
        context = list[index].Contexts.Count();
    }
}

bool TCodeNavigator::NextContext(int32_t limit) {
    const TParagraphsList& list = document_->paragraphs_;
    int32_t index = ParNumber();
    int32_t context = ContextIndex();
    for (;;) {
        TParagraph& p = list[index];
        if (context < p.Contexts.Count()) {
            const int32_t offset = p.Contexts.Offset(context);
            const int32_t start = list.Start(index);
            if (start + offset > limit)
                return false;
            place(index, p, start, offset);
            contextIndex_ = context;
            return true;
        }
        if (index + 1 >= list.Count() || list.Start(index) + p.Length() >= limit)
            return false;
        ++index;
        context = 0;
    }
}

void TCodeNavigator::SkipContextsHere() {
    TParagraph& p = par();
    int32_t offset = ParOffset();
    int32_t context = ContextIndex();
    while (context < p.Contexts.Count() && p.Contexts.Offset(context) == offset)
        ++context;
    contextIndex_ = context;
}

const TContextState* TCodeNavigator::CurrentContext() {
    TParagraph& p = par();
    int32_t context = ContextIndex();
    return context > 0 ? &p.Contexts.State(context - 1) : &p.Base();
}

void TCodeNavigator::GetContext(TContextRecord& destination) {
    TParagraph& p = par();
    int32_t context = ContextIndex();
    destination = context > 0 ? p.Contexts.Record(context - 1) : TContextRecord(p.Base(), 0);
}

uint8_t TCodeNavigator::StyleAt() {
    requireDocument();
    if (!document_->StaticFormat())
        return 0;
    const TParagraph& p = par();
    // On a long unbroken line the codes are folded from the mark before.
    if (const TLineMarks* marks = document_->Layout().LineMarksOf(p)) {
        const int32_t offset = std::clamp(ParOffset(), 0, p.Length());
        const TLineMark& mark = marks->AtOrBefore(offset);
        return p.FoldCodes(mark.Style, mark.Offset, offset);
    }
    return p.StyleAt(LineInPar(), ParOffset());
}

void TCodeNavigator::InsertContext(const TContextState& record) {
    TParagraph& p = par();
    int32_t context = ContextIndex();
    p.Contexts.Insert(context, {ParOffset(), InternContext(record)});
    document_->Layout().LineRestyled(p, ParOffset(), ParOffset());
    contextIndex_ = context + 1;
}

void TCodeNavigator::RemoveContext() {
    TParagraph& p = par();
    int32_t context = ContextIndex();
    if (context >= p.Contexts.Count() || p.Contexts.Offset(context) != ParOffset())
        throw EInvalidOperation("Internal CodeMemo error");
    p.Contexts.Erase(context, context + 1);
    document_->Layout().LineRestyled(p, ParOffset(), ParOffset());
    lineInPar_ = kUnknown;
}

void TCodeNavigator::Assign(const TCodeNavigator& other) {
    offset_ = other.offset_;
    if (other.document_ == document_) {
        parIndex_ = other.parIndex_;
        parOffset_ = other.parOffset_;
        contextIndex_ = other.contextIndex_;
        lineInPar_ = other.lineInPar_;
        lines_.SetParagraph(other.lines_.Paragraph());
    } else {
        Invalidate();
    }
}
