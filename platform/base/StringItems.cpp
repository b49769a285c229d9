#include "platform/base/StringItems.h"

#include <algorithm>

TStringItems::TLocation TStringItems::locate(int index) const {
    // Walking in order stays in the block found last, or the next one.
    for (size_t block : {lastBlock_, lastBlock_ + 1})
        if (block < blocks_.size() && index >= starts_[block] &&
            index < starts_[block] + static_cast<int>(blocks_[block].size())) {
            lastBlock_ = block;
            return {block, index - starts_[block]};
        }
    auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
    size_t block = static_cast<size_t>(after - starts_.begin()) - 1;
    lastBlock_ = block;
    return {block, index - starts_[block]};
}

TStringItem& TStringItems::At(int index) const {
    TLocation at = locate(index);
    return *blocks_[at.Block][static_cast<size_t>(at.Offset)];
}

void TStringItems::shiftStarts(size_t afterBlock, int delta) {
    for (size_t b = afterBlock + 1; b < starts_.size(); ++b)
        starts_[b] += delta;
}

void TStringItems::insertPointer(int index, TStringItem* item) {
    if (blocks_.empty()) {
        blocks_.emplace_back().reserve(kMaxBlock / 2);
        starts_.push_back(0);
        last_.push_back(nullptr);
    }
    // The end of the list belongs to the last block.
    TLocation at = index == size_ ? TLocation{blocks_.size() - 1, size_ - starts_.back()} : locate(index);
    std::vector<TStringItem*>& block = blocks_[at.Block];
    block.insert(block.begin() + at.Offset, item);
    ++size_;
    shiftStarts(at.Block, 1);
    if (block.size() > static_cast<size_t>(kMaxBlock)) {
        // Split in halves; the second half becomes a block of its own.
        const size_t half = block.size() / 2;
        std::vector<TStringItem*> second(block.begin() + static_cast<std::ptrdiff_t>(half), block.end());
        block.resize(half);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(at.Block) + 1, std::move(second));
        starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(at.Block) + 1,
                       starts_[at.Block] + static_cast<int>(half));
        last_.insert(last_.begin() + static_cast<std::ptrdiff_t>(at.Block) + 1, nullptr);
        refreshLast(at.Block + 1);
    }
    refreshLast(at.Block);
}

TStringItem* TStringItems::extract(int index) {
    TLocation at = locate(index);
    std::vector<TStringItem*>& block = blocks_[at.Block];
    TStringItem* item = block[static_cast<size_t>(at.Offset)];
    block.erase(block.begin() + at.Offset);
    --size_;
    shiftStarts(at.Block, -1);
    const auto b = static_cast<std::ptrdiff_t>(at.Block);
    if (block.empty()) {
        blocks_.erase(blocks_.begin() + b);
        starts_.erase(starts_.begin() + b);
        last_.erase(last_.begin() + b);
    } else {
        if (at.Block + 1 < blocks_.size() &&
            block.size() + blocks_[at.Block + 1].size() <= static_cast<size_t>(kMaxBlock / 2)) {
            // Small neighbours join, so that deletions do not leave a long
            // tail of tiny blocks behind.
            block.insert(block.end(), blocks_[at.Block + 1].begin(), blocks_[at.Block + 1].end());
            blocks_.erase(blocks_.begin() + b + 1);
            starts_.erase(starts_.begin() + b + 1);
            last_.erase(last_.begin() + b + 1);
        }
        refreshLast(at.Block);
    }
    lastBlock_ = 0;
    return item;
}

void TStringItems::Insert(int index, TStringItem item) {
    auto owned = std::make_unique<TStringItem>(std::move(item));
    insertPointer(index, owned.get());
    owned.release();
}

void TStringItems::Erase(int index) { delete extract(index); }

void TStringItems::Clear() {
    for (auto& block : blocks_)
        for (TStringItem* item : block)
            delete item;
    blocks_.clear();
    starts_.clear();
    last_.clear();
    size_ = 0;
    lastBlock_ = 0;
}

void TStringItems::Move(int from, int to) {
    if (from == to)
        return;
    insertPointer(to, extract(from));
}

void TStringItems::Swap(int index1, int index2) {
    TLocation a = locate(index1);
    TLocation b = locate(index2);
    std::swap(blocks_[a.Block][static_cast<size_t>(a.Offset)], blocks_[b.Block][static_cast<size_t>(b.Offset)]);
    refreshLast(a.Block);
    refreshLast(b.Block);
}

void TStringItems::rebuild(std::vector<TStringItem*> items) {
    blocks_.clear();
    starts_.clear();
    last_.clear();
    lastBlock_ = 0;
    size_ = static_cast<int>(items.size());
    // Full blocks leave no room; three quarters leave room to grow.
    const size_t fill = kMaxBlock * 3 / 4;
    for (size_t start = 0; start < items.size(); start += fill) {
        const size_t end = std::min(items.size(), start + fill);
        blocks_.emplace_back(items.begin() + static_cast<std::ptrdiff_t>(start),
                             items.begin() + static_cast<std::ptrdiff_t>(end));
        starts_.push_back(static_cast<int>(start));
        last_.push_back(items[end - 1]);
    }
}

std::vector<TStringItem*> TStringItems::all() const {
    std::vector<TStringItem*> items;
    items.reserve(static_cast<size_t>(size_));
    for (const auto& block : blocks_)
        items.insert(items.end(), block.begin(), block.end());
    return items;
}

void TStringItems::StableSort(const std::function<bool(const TStringItem&, const TStringItem&)>& less) {
    std::vector<TStringItem*> items = all();
    std::stable_sort(items.begin(), items.end(),
                     [&](const TStringItem* a, const TStringItem* b) { return less(*a, *b); });
    rebuild(std::move(items));
}

void TStringItems::Reorder(const std::vector<int>& order) {
    std::vector<TStringItem*> items = all();
    std::vector<TStringItem*> reordered;
    reordered.reserve(items.size());
    for (int i : order)
        reordered.push_back(items[static_cast<size_t>(i)]);
    rebuild(std::move(reordered));
}
