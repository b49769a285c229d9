#pragma once
// TStringItems: the storage of a TStringList.  A sequence of items (a
// string and an object pointer) that takes insertions and deletions
// anywhere in time proportional to the square root of its size rather
// than to its size: the items live in blocks of at most kMaxBlock
// pointers, so an insertion shifts a few hundred pointers of one block and
// adds one to the start index of the blocks after it.  A sorted list
// growing one item at a time (a folder of 100,000 names) stays fast.
//
// Access by index finds the block by binary search over the blocks'
// starts, remembering the last block found, so that walking the list in
// order costs one comparison per item.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct TStringItem {
    std::string String;
    void* Object = nullptr;
};

class TStringItems {
public:
    static constexpr int kMaxBlock = 512;

    TStringItems() = default;
    ~TStringItems() { Clear(); }
    TStringItems(const TStringItems&) = delete;
    TStringItems& operator=(const TStringItems&) = delete;

    int Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // index in 0 .. Size()-1 (the caller checks).
    TStringItem& At(int index) const;
    // index in 0 .. Size().
    void Insert(int index, TStringItem item);
    void Erase(int index);
    void Clear();
    // Moves the item at from so that it stands at to.
    void Move(int from, int to);
    void Swap(int index1, int index2);

    // For a sequence ordered by compare (<0, 0, >0 between an item's
    // string and s): the first index whose item is not below s.  The
    // blocks are searched by their last items, then the block found.
    template <class TCompare>
    int LowerBound(std::string_view s, const TCompare& compare) const {
        size_t low = 0;
        size_t high = blocks_.size();
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            if (compare(last_[middle]->String, s) < 0)
                low = middle + 1;
            else
                high = middle;
        }
        if (low == blocks_.size())
            return size_;
        const std::vector<TStringItem*>& block = blocks_[low];
        size_t first = 0;
        size_t count = block.size();
        while (count > 0) {
            const size_t step = count / 2;
            if (compare(block[first + step]->String, s) < 0) {
                first += step + 1;
                count -= step + 1;
            } else {
                count = step;
            }
        }
        return starts_[low] + static_cast<int>(first);
    }

    // Puts the items in the order given: order[i] is the old index of the
    // item that goes to i (a permutation of 0 .. Size()-1).
    void Reorder(const std::vector<int>& order);
    // Orders the items by less, keeping equal ones in their order.
    void StableSort(const std::function<bool(const TStringItem&, const TStringItem&)>& less);

private:
    struct TLocation {
        size_t Block;
        int Offset;
    };
    TLocation locate(int index) const;
    void insertPointer(int index, TStringItem* item);
    TStringItem* extract(int index);
    void shiftStarts(size_t afterBlock, int delta);
    std::vector<TStringItem*> all() const;
    void rebuild(std::vector<TStringItem*> items);

    // A block's membership changed: its entry in last_ follows.
    void refreshLast(size_t block) { last_[block] = blocks_[block].back(); }

    std::vector<std::vector<TStringItem*>> blocks_;
    std::vector<int> starts_;         // index of the first item of each block
    std::vector<TStringItem*> last_;  // the last item of each block, for searching without visiting the block
    int size_ = 0;
    mutable size_t lastBlock_ = 0;
};
