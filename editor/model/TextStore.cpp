#include "editor/model/TextStore.h"

// A page has a million paragraph records: they stay this small, and a state
// number fits the bits their base context has.
static_assert(sizeof(TParagraph) <= 96, "a paragraph record takes 96 bytes at most");
static_assert(uint64_t{ContextTable::kMaxChunks} * ContextTable::kChunkSize <= (uint64_t{1} << 24),
              "state numbers take 24 bits");

#include "editor/model/StyleCodes.h"

#include "platform/base/Exceptions.h"

#include <algorithm>
#include <new>

// Address checking sees every paragraph as a heap block of its own.
#if defined(__SANITIZE_ADDRESS__)
#define ONDRILL_PARAGRAPHS_ON_THE_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ONDRILL_PARAGRAPHS_ON_THE_HEAP 1
#endif
#endif

namespace {

// Free paragraph slots, linked through their first bytes; blocks are kept
// for the next paragraphs once their own have gone.
class TParagraphPool {
public:
    void* Take() {
        if (free_ == nullptr)
            addBlock();
        TSlot* slot = free_;
        free_ = slot->Next;
        return slot;
    }
    void Give(void* record) {
        auto* slot = static_cast<TSlot*>(record);
        slot->Next = free_;
        free_ = slot;
    }

private:
    struct TSlot {
        TSlot* Next;
    };
    static constexpr size_t kBlockBytes = 32768;
    static constexpr size_t kSlotBytes = (sizeof(TParagraph) + alignof(TParagraph) - 1) / alignof(TParagraph) *
                                         alignof(TParagraph);

    void addBlock() {
        auto* block = static_cast<unsigned char*>(::operator new(kBlockBytes));
        for (size_t at = kBlockBytes / kSlotBytes; at-- > 0;)
            Give(block + at * kSlotBytes);
    }

    TSlot* free_ = nullptr;
};

// Never destroyed: documents may still be freed while statics go at exit.
[[maybe_unused]] TParagraphPool& Pool() {
    static TParagraphPool* pool = new TParagraphPool;
    return *pool;
}

} // namespace

void* TParagraph::operator new(size_t size) {
#ifndef ONDRILL_PARAGRAPHS_ON_THE_HEAP
    if (size == sizeof(TParagraph))
        return Pool().Take();
#endif
    return ::operator new(size);
}

void TParagraph::operator delete(void* record, size_t size) noexcept {
#ifndef ONDRILL_PARAGRAPHS_ON_THE_HEAP
    if (size == sizeof(TParagraph)) {
        Pool().Give(record);
        return;
    }
#endif
    ::operator delete(record);
}

bool SameContext(const TContextState& a, const TContextState& b) {
    constexpr uint8_t top = TContextState::kStyled | TContextState::kKeyStack;
    if ((a.Flags & top) != (b.Flags & top))
        return false;
    if ((a.Flags & TContextState::kStyled) == 0)
        return true;
    return SameKeyStack(a, b);
}

bool SameKeyStack(const TContextState& a, const TContextState& b) {
    if (a.Depth != b.Depth)
        return false;
    for (int i = 0; i <= a.Depth && i < TContextState::kStackSize; ++i)
        if (a.KeyStack[i] != b.KeyStack[i])
            return false;
    return true;
}

// ---------------------------------------------------------------------------

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

void TParagraph::ReplaceLines(int32_t first, int32_t last, const std::vector<TLineRecord>& lines) {
    // Line 0 lives in the record, line n in FurtherLines[n - 1].
    auto source = lines.begin();
    if (first == 0) {
        FirstLine = *source++;
        first = 1;
    }
    const auto at = static_cast<std::ptrdiff_t>(first - 1);
    const std::ptrdiff_t oldCount = std::max(last - first + 1, 0);
    const std::ptrdiff_t newCount = lines.end() - source;
    const std::ptrdiff_t common = std::min(oldCount, newCount);
    std::copy(source, source + common, FurtherLines.begin() + at);
    if (newCount > oldCount)
        FurtherLines.insert(FurtherLines.begin() + at + common, source + common, lines.end());
    else
        FurtherLines.erase(FurtherLines.begin() + at + common, FurtherLines.begin() + at + oldCount);
}

int32_t TParagraph::LineOfOffset(int32_t offsetInParagraph) const {
    if (FurtherLines.empty() || offsetInParagraph < FurtherLines.front().Start)
        return 0;
    // Further lines are ordered by start: the last one not after the offset.
    auto it = std::upper_bound(FurtherLines.begin(), FurtherLines.end(), offsetInParagraph,
                               [](int32_t offset, const TLineRecord& line) { return offset < line.Start; });
    return static_cast<int32_t>(it - FurtherLines.begin());
}

const TContextState& TParagraph::ContextBefore(int32_t offsetInParagraph) const {
    int32_t index = ContextIndexAt(offsetInParagraph);
    return index > 0 ? Contexts.State(index - 1) : Base();
}

uint8_t TParagraph::StyleAt(int32_t line, int32_t offsetInParagraph) const {
    const TLineRecord& record = Line(line);
    const int32_t from = std::min(record.Start, Length());
    const int32_t to = std::clamp(offsetInParagraph, from, Length());
    return FoldCodes(record.Style, from, to);
}

uint8_t TParagraph::FoldCodes(uint8_t style, int32_t from, int32_t to) const {
    // Read where the text stands, in its pieces around the gap.
    const TParagraphText::TPieces pieces = Text.Pieces(static_cast<size_t>(from), static_cast<size_t>(to));
    return FoldStyleCodes(FoldStyleCodes(style, pieces.First), pieces.Second);
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

TParagraphsList::TParagraphsList(int32_t blockSize) : blockSize_(std::max(blockSize, 2)) {
    blocks_.resize(1);
    blockFirst_.assign(1, 0);
}

TParagraph* TParagraphsList::GetItem(int32_t index) const {
    if (index < 0 || index >= count_)
        throw EListError();
    return &(*this)[index];
}

TParagraphsList::TPlace TParagraphsList::locateElsewhere(int32_t index) const {
    // The last block whose first index is not after index.
    auto it = std::upper_bound(blockFirst_.begin(), blockFirst_.end(), index);
    const auto block = static_cast<size_t>(std::max<std::ptrdiff_t>(it - blockFirst_.begin() - 1, 0));
    lastBlock_ = block;
    return {block, static_cast<size_t>(index - blockFirst_[block])};
}

void TParagraphsList::shiftBlocks(int32_t block, int32_t startDelta, int32_t lineDelta) {
    auto count = static_cast<int32_t>(blocks_.size());
    if (block >= count || (startDelta == 0 && lineDelta == 0))
        return;
    if (pendingStart_ == 0 && pendingLine_ == 0) {
        pendingBlock_ = block;
    } else if (block >= pendingBlock_) {
        // Settle the blocks between the old boundary and the new one.
        for (int32_t b = pendingBlock_; b < block; ++b) {
            blocks_[static_cast<size_t>(b)].startBase += pendingStart_;
            blocks_[static_cast<size_t>(b)].lineBase += pendingLine_;
        }
        pendingBlock_ = block;
    } else {
        // Blocks between block and the boundary get the deltas at once;
        // those behind the boundary get them through the pending values.
        for (int32_t b = block; b < pendingBlock_; ++b) {
            blocks_[static_cast<size_t>(b)].startBase += startDelta;
            blocks_[static_cast<size_t>(b)].lineBase += lineDelta;
        }
    }
    pendingStart_ += startDelta;
    pendingLine_ += lineDelta;
}

void TParagraphsList::ShiftFrom(int32_t index, int32_t startDelta, int32_t lineDelta) {
    index = std::max(index, 0);
    if (index >= count_ || (startDelta == 0 && lineDelta == 0))
        return;
    TPlace place = locate(index);
    TBlock& block = blocks_[place.block];
    if (place.slot == 0) {
        shiftBlocks(static_cast<int32_t>(place.block), startDelta, lineDelta);
        return;
    }
    for (size_t slot = place.slot; slot < block.items.size(); ++slot) {
        block.starts[slot] += startDelta;
        block.firstLines[slot] += lineDelta;
    }
    shiftBlocks(static_cast<int32_t>(place.block) + 1, startDelta, lineDelta);
}

void TParagraphsList::renumberFrom(size_t block) {
    blockFirst_[0] = 0;
    block = std::max<size_t>(block, 1);
    for (size_t b = block; b < blocks_.size(); ++b)
        blockFirst_[b] = blockFirst_[b - 1] + blocks_[b - 1].Size();
}

void TParagraphsList::splitIfLarge(size_t block) {
    TBlock& head = blocks_[block];
    const int32_t size = head.Size();
    if (size <= 2 * blockSize_)
        return;
    // The entries beyond the first blockSize_ go to new blocks of blockSize_
    // each, the last taking the rest (at most twice the block size), with
    // the same bases, so that no stored value changes.  Each entry moves
    // once, however many blocks a large insertion makes.
    std::vector<TBlock> pieces;
    std::vector<int32_t> firsts;
    for (int32_t from = blockSize_; from < size;) {
        const int32_t to = size - from > 2 * blockSize_ ? from + blockSize_ : size;
        const auto a = static_cast<std::ptrdiff_t>(from);
        const auto b = static_cast<std::ptrdiff_t>(to);
        TBlock piece;
        piece.items.assign(std::make_move_iterator(head.items.begin() + a),
                           std::make_move_iterator(head.items.begin() + b));
        piece.starts.assign(head.starts.begin() + a, head.starts.begin() + b);
        piece.firstLines.assign(head.firstLines.begin() + a, head.firstLines.begin() + b);
        piece.startBase = head.startBase;
        piece.lineBase = head.lineBase;
        pieces.push_back(std::move(piece));
        firsts.push_back(blockFirst_[block] + from);
        from = to;
    }
    head.items.resize(static_cast<size_t>(blockSize_));
    head.starts.resize(static_cast<size_t>(blockSize_));
    head.firstLines.resize(static_cast<size_t>(blockSize_));
    const auto at = static_cast<std::ptrdiff_t>(block) + 1;
    blocks_.insert(blocks_.begin() + at, std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
    blockFirst_.insert(blockFirst_.begin() + at, firsts.begin(), firsts.end());
    if (pendingBlock_ > static_cast<int32_t>(block))
        pendingBlock_ += static_cast<int32_t>(pieces.size());
}

void TParagraphsList::removeBlock(size_t block) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
    blockFirst_.erase(blockFirst_.begin() + static_cast<std::ptrdiff_t>(block));
    if (pendingBlock_ > static_cast<int32_t>(block))
        --pendingBlock_;
    lastBlock_ = 0;
}

int32_t TParagraphsList::Add(std::unique_ptr<TParagraph> paragraph) {
    if (blocks_.back().Size() >= blockSize_) {
        TBlock block;
        // A new block reads as base 0 whatever is pending.
        bool pending = static_cast<int32_t>(blocks_.size()) >= pendingBlock_;
        block.startBase = pending ? -pendingStart_ : 0;
        block.lineBase = pending ? -pendingLine_ : 0;
        blocks_.push_back(std::move(block));
        blockFirst_.push_back(count_);
    }
    TBlock& last = blocks_.back();
    last.items.push_back(std::move(paragraph));
    last.starts.push_back(0);
    last.firstLines.push_back(0);
    return count_++;
}

void TParagraphsList::Insert(int32_t index, std::vector<std::unique_ptr<TParagraph>>& paragraphs) {
    auto m = static_cast<int32_t>(paragraphs.size());
    if (m == 0)
        return;
    index = std::clamp(index, 0, count_);
    TPlace place = index == count_ ? TPlace{blocks_.size() - 1, static_cast<size_t>(blocks_.back().Size())}
                                   : locate(index);
    TBlock& block = blocks_[place.block];
    auto at = static_cast<std::ptrdiff_t>(place.slot);
    block.items.insert(block.items.begin() + at, std::make_move_iterator(paragraphs.begin()),
                       std::make_move_iterator(paragraphs.end()));
    block.starts.insert(block.starts.begin() + at, static_cast<size_t>(m), 0);
    block.firstLines.insert(block.firstLines.begin() + at, static_cast<size_t>(m), 0);
    paragraphs.clear();
    count_ += m;
    for (size_t b = place.block + 1; b < blocks_.size(); ++b)
        blockFirst_[b] += m;
    splitIfLarge(place.block);
}

void TParagraphsList::Erase(int32_t index, int32_t count) {
    index = std::clamp(index, 0, count_);
    count = std::clamp(count, 0, count_ - index);
    while (count > 0) {
        TPlace place = locate(index);
        TBlock& block = blocks_[place.block];
        auto at = static_cast<std::ptrdiff_t>(place.slot);
        auto take = std::min<int32_t>(count, block.Size() - static_cast<int32_t>(place.slot));
        block.items.erase(block.items.begin() + at, block.items.begin() + at + take);
        block.starts.erase(block.starts.begin() + at, block.starts.begin() + at + take);
        block.firstLines.erase(block.firstLines.begin() + at, block.firstLines.begin() + at + take);
        count_ -= take;
        count -= take;
        if (block.items.empty() && blocks_.size() > 1)
            removeBlock(place.block);
        // The blocks before this one are numbered already.
        renumberFrom(place.block);
    }
    lastBlock_ = 0;
}

void TParagraphsList::Clear() {
    blocks_.clear();
    blocks_.resize(1);
    blockFirst_.assign(1, 0);
    count_ = 0;
    pendingBlock_ = 0;
    pendingStart_ = 0;
    pendingLine_ = 0;
    lastBlock_ = 0;
}

template <int32_t (TParagraphsList::*Base)(size_t) const, std::vector<int32_t> TParagraphsList::TBlock::*Entries>
int32_t TParagraphsList::lastAtOrBefore(int32_t value) const {
    if (count_ <= 1)
        return 0;
    // The last block whose first paragraph starts at or before the value ...
    size_t low = 0;
    size_t high = blocks_.size() - 1;
    while (low < high) {
        size_t middle = low + (high - low + 1) / 2;
        if ((this->*Base)(middle) + (blocks_[middle].*Entries).front() <= value)
            low = middle;
        else
            high = middle - 1;
    }
    // ... and in it the last paragraph that does.
    const std::vector<int32_t>& entries = blocks_[low].*Entries;
    int32_t relative = value - (this->*Base)(low);
    auto it = std::upper_bound(entries.begin(), entries.end(), relative);
    auto slot = std::max<std::ptrdiff_t>(it - entries.begin() - 1, 0);
    return blockFirst_[low] + static_cast<int32_t>(slot);
}

int32_t TParagraphsList::IndexOfOffset(int32_t offset) const {
    return lastAtOrBefore<&TParagraphsList::startBase, &TBlock::starts>(offset);
}

int32_t TParagraphsList::IndexOfLine(int32_t line) const {
    return lastAtOrBefore<&TParagraphsList::lineBase, &TBlock::firstLines>(line);
}
