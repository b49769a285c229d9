#include "editor/TextStore.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

bool SameContext(const TContextRecord& a, const TContextRecord& b) {
    constexpr uint8_t top = TContextRecord::kStyled | TContextRecord::kKeyStack;
    if ((a.Flags & top) != (b.Flags & top))
        return false;
    if ((a.Flags & TContextRecord::kStyled) == 0)
        return true;
    if (a.Depth != b.Depth)
        return false;
    for (int i = 0; i <= a.Depth && i < TContextRecord::kStackSize; ++i)
        if (a.KeyStack[i] != b.KeyStack[i])
            return false;
    return true;
}

TBaseContext NewBaseContext() { return std::make_shared<TContextRecord>(); }

TBaseContext CopyBaseContext(const TContextRecord& context) {
    auto copy = std::make_shared<TContextRecord>(context);
    copy->Offset = 0;
    return copy;
}

// ---------------------------------------------------------------------------

TParagraph::TParagraph() : BaseContext(NewBaseContext()) {}

void TParagraph::SetLineCount(int32_t n) {
    FurtherLines.resize(n <= 1 ? 0 : static_cast<size_t>(n - 1));
}

void TParagraph::ResetToOneLine() {
    uint8_t style = FirstLine.Style;
    FurtherLines.clear();
    FirstLine = TLineRecord{};
    FirstLine.Stop = Length();
    FirstLine.Style = style;
}

int32_t TParagraph::LineOfOffset(int32_t offsetInParagraph) const {
    if (FurtherLines.empty() || offsetInParagraph < FurtherLines.front().Start)
        return 0;
    // Further lines are ordered by start: the last one not after the offset.
    auto it = std::upper_bound(FurtherLines.begin(), FurtherLines.end(), offsetInParagraph,
                               [](int32_t offset, const TLineRecord& line) { return offset < line.Start; });
    return static_cast<int32_t>(it - FurtherLines.begin());
}

int32_t TParagraph::ContextIndexAt(int32_t offsetInParagraph) const {
    auto it = std::lower_bound(Contexts.begin(), Contexts.end(), offsetInParagraph,
                               [](const TContextRecord& record, int32_t offset) { return record.Offset < offset; });
    return static_cast<int32_t>(it - Contexts.begin());
}

const TContextRecord& TParagraph::ContextBefore(int32_t offsetInParagraph) const {
    int32_t index = ContextIndexAt(offsetInParagraph);
    return index > 0 ? Contexts[static_cast<size_t>(index - 1)] : *BaseContext;
}

// ---------------------------------------------------------------------------

TLineRecord* TLinesList::GetLine(int32_t index) const {
    if (paragraph_ == nullptr || index < 0 || index >= paragraph_->LineCount())
        throw EListError();
    return &paragraph_->Line(index);
}

int32_t TLinesList::Add(const TLineRecord& line) {
    if (paragraph_ == nullptr)
        throw EListError();
    paragraph_->FurtherLines.push_back(line);
    return paragraph_->LineCount() - 1;
}

void TLinesList::SetLineCount(int32_t n) {
    // A line record list beyond this size could not be addressed with
    // 32-bit byte counts.
    constexpr int32_t maxFurtherLines = 59652323;
    if (n - 1 > maxFurtherLines)
        throw EOutOfMemory();
    if (paragraph_ == nullptr)
        throw EListError();
    paragraph_->SetLineCount(n);
}

// ---------------------------------------------------------------------------

TParagraph* TParagraphsList::GetItem(int32_t index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return items_[static_cast<size_t>(index)].get();
}

void TParagraphsList::ShiftFrom(int32_t index, int32_t startDelta, int32_t lineDelta) {
    index = std::max(index, 0);
    int32_t count = Count();
    if (index >= count || (startDelta == 0 && lineDelta == 0))
        return;
    if (pendingStart_ == 0 && pendingLine_ == 0) {
        pendingFrom_ = index;
    } else if (index >= pendingFrom_) {
        // Settle the stretch between the old boundary and the new one.
        for (int32_t i = pendingFrom_; i < index; ++i) {
            starts_[static_cast<size_t>(i)] += pendingStart_;
            firstLines_[static_cast<size_t>(i)] += pendingLine_;
        }
        pendingFrom_ = index;
    } else {
        // Paragraphs between index and the boundary get the new deltas at once;
        // those behind the boundary get them through the pending values.
        for (int32_t i = index; i < pendingFrom_; ++i) {
            starts_[static_cast<size_t>(i)] += startDelta;
            firstLines_[static_cast<size_t>(i)] += lineDelta;
        }
    }
    pendingStart_ += startDelta;
    pendingLine_ += lineDelta;
}

void TParagraphsList::settle() {
    for (size_t i = static_cast<size_t>(pendingFrom_); i < items_.size(); ++i) {
        starts_[i] += pendingStart_;
        firstLines_[i] += pendingLine_;
    }
    pendingFrom_ = Count();
    pendingStart_ = 0;
    pendingLine_ = 0;
}

int32_t TParagraphsList::Add(std::unique_ptr<TParagraph> paragraph) {
    items_.push_back(std::move(paragraph));
    starts_.push_back(-pendingStart_);
    firstLines_.push_back(-pendingLine_);
    return Count() - 1;
}

void TParagraphsList::Insert(int32_t index, std::vector<std::unique_ptr<TParagraph>>& paragraphs) {
    index = std::clamp(index, 0, Count());
    auto m = static_cast<int32_t>(paragraphs.size());
    if (m == 0)
        return;
    items_.insert(items_.begin() + index, std::make_move_iterator(paragraphs.begin()),
                  std::make_move_iterator(paragraphs.end()));
    paragraphs.clear();
    // New entries inside the pending stretch are stored without the pending
    // deltas, like their neighbours.
    int32_t startValue = index < pendingFrom_ ? 0 : -pendingStart_;
    int32_t lineValue = index < pendingFrom_ ? 0 : -pendingLine_;
    starts_.insert(starts_.begin() + index, static_cast<size_t>(m), startValue);
    firstLines_.insert(firstLines_.begin() + index, static_cast<size_t>(m), lineValue);
    if (index < pendingFrom_)
        pendingFrom_ += m;
}

void TParagraphsList::Erase(int32_t index, int32_t count) {
    index = std::clamp(index, 0, Count());
    count = std::clamp(count, 0, Count() - index);
    if (count == 0)
        return;
    items_.erase(items_.begin() + index, items_.begin() + index + count);
    starts_.erase(starts_.begin() + index, starts_.begin() + index + count);
    firstLines_.erase(firstLines_.begin() + index, firstLines_.begin() + index + count);
    if (pendingFrom_ > index)
        pendingFrom_ = std::max(index, pendingFrom_ - count);
}

void TParagraphsList::Clear() {
    items_.clear();
    starts_.clear();
    firstLines_.clear();
    pendingFrom_ = 0;
    pendingStart_ = 0;
    pendingLine_ = 0;
}

int32_t TParagraphsList::IndexOfOffset(int32_t offset) const {
    int32_t low = 0;
    int32_t high = Count() - 1;
    if (high <= 0)
        return 0;
    // Starts strictly increase: find the last paragraph starting at or before offset.
    while (low < high) {
        int32_t middle = low + (high - low + 1) / 2;
        if (Start(middle) <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

int32_t TParagraphsList::IndexOfLine(int32_t line) const {
    int32_t low = 0;
    int32_t high = Count() - 1;
    if (high <= 0)
        return 0;
    while (low < high) {
        int32_t middle = low + (high - low + 1) / 2;
        if (FirstLine(middle) <= line)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}
