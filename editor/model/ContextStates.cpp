#include "editor/model/ContextStates.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

namespace {

// The state's bytes up to its last field hold no padding: they are what the
// table compares and hashes.
constexpr size_t kStateBytes = offsetof(TContextState, StopKeyLength) + 1;
static_assert(offsetof(TContextState, Background) == 4 && offsetof(TContextState, KeyStack) == 16 &&
                  offsetof(TContextState, StartKeyLength) == 48 && kStateBytes == 50,
              "the state's fields must lie without gaps");

// The high and low halves of a full product, folded: words multiplied in
// pairs mix as well as a chain of multiplications, and the pairs do not
// wait for each other (every record parsing writes is hashed).
uint64_t Fold(uint64_t a, uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
}

uint64_t HashOf(const TContextState& state) {
    static_assert(kStateBytes == 50, "six words and a tail of two bytes");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&state);
    uint64_t word[6];
    std::memcpy(word, bytes, sizeof word);
    uint16_t tail;
    std::memcpy(&tail, bytes + kStateBytes - 2, 2);
    const uint64_t a = Fold(word[0] ^ 0xA0761D6478BD642Full, word[1] ^ 0xE7037ED1A0B428DBull);
    const uint64_t b = Fold(word[2] ^ 0x8EBC6AF09C88C6E3ull, word[3] ^ 0x589965CC75374CC3ull);
    const uint64_t c = Fold(word[4] ^ 0x1D8E4E27C47D124Full, (word[5] ^ (uint64_t{tail} << 48)) ^ 0xA0761D6478BD642Full);
    return Fold(a ^ b ^ 0xE7037ED1A0B428DBull, c ^ 0x8EBC6AF09C88C6E3ull);
}

bool SameBytes(const TContextState& a, const TContextState& b) {
    const auto* x = reinterpret_cast<const unsigned char*>(&a);
    const auto* y = reinterpret_cast<const unsigned char*>(&b);
    uint64_t difference = 0;
    for (size_t at = 0; at + 8 <= kStateBytes; at += 8) {
        uint64_t p;
        uint64_t q;
        std::memcpy(&p, x + at, 8);
        std::memcpy(&q, y + at, 8);
        difference |= p ^ q;
    }
    uint16_t p;
    uint16_t q;
    std::memcpy(&p, x + kStateBytes - 2, 2);
    std::memcpy(&q, y + kStateBytes - 2, 2);
    return difference == 0 && p == q;
}

// The first chunk of states: zero-filled, so its first state is the
// default one before anything is entered (and the default state is
// neither a keyword's nor styled).
TContextState FirstChunk[ContextTable::kChunkSize];
uint8_t FirstMarks[ContextTable::kChunkSize];

uint8_t MarksOf(const TContextState& state) {
    return static_cast<uint8_t>((IsKeywordState(state) ? ContextTable::kKeywordMark : 0) |
                                (IsStyledWithoutKeys(state) ? ContextTable::kStyledWithoutKeysMark : 0));
}

// The index of the states: open addressing over their numbers.
class TStateTable {
public:
    TStateTable() { place(kDefaultContext); }

    TContextId intern(const TContextState& state) {
        size_t slot = HashOf(state) & mask_;
        while (slots_[slot] != 0) {
            const TContextId id = slots_[slot] - 1;
            if (SameBytes(ContextState(id), state))
                return id;
            slot = (slot + 1) & mask_;
        }
        const TContextId id = count_;
        const uint32_t chunk = id >> ContextTable::kChunkBits;
        if (chunk >= ContextTable::kMaxChunks)
            throw std::length_error("Too many highlighting states");
        if (ContextTable::Chunks[chunk] == nullptr) {
            ContextTable::Chunks[chunk] = new TContextState[ContextTable::kChunkSize];
            ContextTable::Marks[chunk] = new uint8_t[ContextTable::kChunkSize]();
        }
        TContextState& stored = ContextTable::Chunks[chunk][id & (ContextTable::kChunkSize - 1)];
        stored = TContextState{};
        std::memcpy(static_cast<void*>(&stored), &state, kStateBytes);
        ContextTable::Marks[chunk][id & (ContextTable::kChunkSize - 1)] = MarksOf(stored);
        ++count_;
        slots_[slot] = id + 1;
        if (count_ * 2 > slots_.size())
            grow();
        return id;
    }

    uint32_t count() const { return count_; }

private:
    void place(TContextId id) {
        size_t slot = HashOf(ContextState(id)) & mask_;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask_;
        slots_[slot] = id + 1;
        count_ = std::max(count_, id + 1);
    }
    void grow() {
        slots_.assign(slots_.size() * 2, 0);
        mask_ = slots_.size() - 1;
        for (TContextId id = 0; id < count_; ++id)
            place(id);
    }

    std::vector<uint32_t> slots_ = std::vector<uint32_t>(1024, 0);
    size_t mask_ = 1023;
    uint32_t count_ = 0;
};

// Never destroyed: records may be read while other statics go at exit.
TStateTable& Table() {
    static TStateTable* table = new TStateTable;
    return *table;
}

} // namespace

TContextState* ContextTable::Chunks[ContextTable::kMaxChunks] = {FirstChunk};
uint8_t* ContextTable::Marks[ContextTable::kMaxChunks] = {FirstMarks};

TContextId InternContext(const TContextState& state) { return Table().intern(state); }

uint32_t ContextStateCount() { return Table().count(); }

// ---------------------------------------------------------------------------

TContextList::TContextList(const TContextList& other) {
    if (other.Empty())
        return;
    reserve(other.block_->Count, other.block_->Width);
    block_->Count = other.block_->Count;
    block_->Marks = other.block_->Marks;
    if (block_->Width != kWide) {
        std::memcpy(entries(), other.entries(), block_->Count * bytesOf(block_->Width));
        return;
    }
    // A copy keeps no gap: every record lies at the front.
    for (uint32_t i = 0; i < block_->Count; ++i)
        wide()[i] = other.Entry(static_cast<int32_t>(i));
    gap().Front = block_->Count;
}

TContextList& TContextList::operator=(const TContextList& other) {
    if (this != &other) {
        TContextList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TContextList& TContextList::operator=(TContextList&& other) noexcept {
    if (this != &other) {
        std::free(block_);
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

TContextList::~TContextList() { std::free(block_); }

void TContextList::reserve(uint32_t count, uint32_t width) {
    const uint32_t oldWidth = block_ != nullptr ? block_->Width : kTiny;
    width = std::max(width, oldWidth);
    // Records set aside take room too.
    const uint32_t aside = block_ != nullptr && oldWidth == kWide && gap().Hidden ? gap().Behind : 0;
    const uint32_t needed = count + aside;
    if (block_ != nullptr && block_->Capacity >= needed && oldWidth == width)
        return;
    // Growing doubles the room (a paragraph's records are written one by
    // one; parsing gives back what is left over).
    uint32_t capacity = std::max<uint32_t>(needed, 4);
    if (block_ != nullptr)
        capacity = needed > block_->Capacity ? std::max<uint32_t>(needed, block_->Capacity * 2) : block_->Capacity;
    if (capacity >= (1u << 28))
        throw std::bad_alloc();
    auto* fresh =
        static_cast<TBlock*>(std::malloc(sizeof(TBlock) + headerOf(width) + capacity * bytesOf(width)));
    if (fresh == nullptr)
        throw std::bad_alloc();
    fresh->Count = 0;
    fresh->Capacity = capacity;
    fresh->Marks = block_ != nullptr ? block_->Marks : 0;
    fresh->Width = width;
    if (width == kWide)
        *reinterpret_cast<TGap*>(fresh + 1) = TGap{0, 0, 0, 0};
    TContextList old;
    old.block_ = block_;
    block_ = fresh;
    if (old.block_ == nullptr)
        return;
    const uint32_t oldCount = old.block_->Count;
    if (oldWidth == width && width != kWide) {
        std::memcpy(entries(), old.entries(), oldCount * bytesOf(width));
    } else if (oldWidth == width) {
        // The front stays at the front, the records behind the gap (those
        // set aside among them) go to the end of the larger block.
        const TGap& was = old.gap();
        std::memcpy(wide(), old.wide(), was.Front * sizeof(TEntry));
        std::memcpy(wide() + (capacity - was.Behind), old.wide() + (old.block_->Capacity - was.Behind),
                    was.Behind * sizeof(TEntry));
        gap() = was;
    } else {
        // Widened entry by entry.
        for (uint32_t i = 0; i < oldCount; ++i) {
            if (width == kWide)
                wide()[i] = old.Entry(static_cast<int32_t>(i));
            else
                put(static_cast<int32_t>(i), old.Entry(static_cast<int32_t>(i)));
        }
        if (width == kWide)
            gap().Front = oldCount;
    }
    fresh->Count = oldCount;
}

void TContextList::moveGap(int32_t index) {
    TGap& gap = this->gap();
    TEntry* entry = wide();
    const auto at = static_cast<uint32_t>(index);
    if (at < gap.Front) {
        // Records index .. Front - 1 go behind the gap.
        const uint32_t moved = gap.Front - at;
        const size_t to = block_->Capacity - gap.Behind - moved;
        std::memmove(entry + to, entry + at, moved * sizeof(TEntry));
        for (size_t i = to; i < to + moved; ++i)
            entry[i].Offset = wrappingSub(entry[i].Offset, gap.Delta);
        gap.Front = at;
        gap.Behind += moved;
    } else if (at > gap.Front) {
        // The first records behind the gap come to the front.
        const uint32_t moved = at - gap.Front;
        const size_t from = block_->Capacity - gap.Behind;
        std::memmove(entry + gap.Front, entry + from, moved * sizeof(TEntry));
        for (size_t i = gap.Front; i < gap.Front + moved; ++i)
            entry[i].Offset = wrappingAdd(entry[i].Offset, gap.Delta);
        gap.Front = at;
        gap.Behind -= moved;
    }
    if (gap.Behind == 0)
        gap.Delta = 0;
}

int32_t TContextList::IndexAt(int32_t offset) const {
    const int32_t count = Count();
    if (count == 0)
        return 0;
    auto search = [&](const auto* first, int32_t n) {
        return static_cast<int32_t>(
            std::lower_bound(first, first + n, offset, [](const auto& e, int32_t at) { return e.Offset < at; }) - first);
    };
    switch (block_->Width) {
    case kTiny:
        return search(tiny(), count);
    case kNarrow:
        return search(narrow(), count);
    default: {
        const TGap& gap = this->gap();
        const auto front = static_cast<int32_t>(gap.Front);
        const int32_t inFront = search(wide(), front);
        if (inFront < front || count == front)
            return inFront;
        // Behind the gap the stored offsets lack the delta.
        const TEntry* behind = wide() + (block_->Capacity - gap.Behind);
        const auto found = std::lower_bound(behind, behind + (count - front), offset, [&](const TEntry& e, int32_t at) {
            return wrappingAdd(e.Offset, gap.Delta) < at;
        });
        return front + static_cast<int32_t>(found - behind);
    }
    }
}

void TContextList::insertInside(int32_t index, TEntry entry) {
    const auto count = static_cast<uint32_t>(Count());
    reserve(count + 1, widthOf(entry));
    if (block_->Width == kWide) {
        TGap& gap = this->gap();
        if (!gap.Hidden) {
            moveGap(index);
        } else {
            // Records are set aside behind the gap: the front moves up.
            std::memmove(wide() + index + 1, wide() + index, (gap.Front - static_cast<uint32_t>(index)) * sizeof(TEntry));
        }
        wide()[index] = entry;
        ++gap.Front;
        ++block_->Count;
        block_->Marks |= ContextMarks(entry.Id);
        return;
    }
    const size_t width = bytesOf(block_->Width);
    auto* bytes = entries();
    std::memmove(bytes + (static_cast<size_t>(index) + 1) * width, bytes + static_cast<size_t>(index) * width,
                 (count - static_cast<uint32_t>(index)) * width);
    ++block_->Count;
    put(index, entry);
    block_->Marks |= ContextMarks(entry.Id);
}

void TContextList::SetId(int32_t index, TContextId id) {
    const uint32_t width = widthOf(int64_t{id});
    if (width > block_->Width)
        reserve(block_->Count, width);
    put(index, {Offset(index), id});
    block_->Marks |= ContextMarks(id);
}

bool TContextList::HasKeywordRecords() {
    if (!MayHoldKeywordRecords())
        return false;
    for (int32_t i = 0; i < Count(); ++i)
        if (ContextMarks(Id(i)) & ContextTable::kKeywordMark)
            return true;
    block_->Marks &= ~ContextTable::kKeywordMark;
    return false;
}

TContextList TContextList::SplitOff(int32_t index) {
    TContextList tail;
    const int32_t count = Count();
    index = std::max(index, 0);
    if (index >= count)
        return tail;
    if (index == 0 && !(block_->Width == kWide && gap().Hidden)) {
        std::swap(tail.block_, block_);
        return tail;
    }
    tail.reserve(static_cast<uint32_t>(count - index), block_->Width);
    if (block_->Width != kWide) {
        const size_t width = bytesOf(block_->Width);
        std::memcpy(tail.entries(), entries() + static_cast<size_t>(index) * width,
                    static_cast<size_t>(count - index) * width);
        tail.block_->Count = static_cast<uint32_t>(count - index);
        tail.block_->Marks = block_->Marks;
        block_->Count = static_cast<uint32_t>(index);
        return tail;
    }
    for (int32_t i = index; i < count; ++i)
        tail.Append(Entry(i));
    tail.block_->Marks = block_->Marks;
    Erase(index, count);
    return tail;
}

void TContextList::AppendRange(const TContextList& other, int32_t first, int32_t last) {
    first = std::max(first, 0);
    last = std::min(last, other.Count());
    if (first >= last)
        return;
    const auto count = static_cast<uint32_t>(Count());
    const auto added = static_cast<uint32_t>(last - first);
    const uint32_t width = std::max(other.block_->Width, widthOf(int64_t{other.Offset(last - 1)}));
    reserve(count + added, width);
    if (block_->Width == other.block_->Width && block_->Width != kWide) {
        const size_t bytes = bytesOf(block_->Width);
        std::memcpy(entries() + count * bytes, other.entries() + static_cast<size_t>(first) * bytes, added * bytes);
        block_->Count = count + added;
    } else {
        if (block_->Width == kWide && !gap().Hidden)
            moveGap(static_cast<int32_t>(count));
        for (int32_t i = first; i < last; ++i)
            Append(other.Entry(i));
    }
    block_->Marks |= other.block_->Marks;
}

void TContextList::Erase(int32_t from, int32_t to) {
    const int32_t count = Count();
    to = std::min(to, count);
    if (from >= to)
        return;
    const auto erased = static_cast<uint32_t>(to - from);
    if (block_->Width == kWide) {
        TGap& gap = this->gap();
        if (gap.Hidden) {
            std::memmove(wide() + from, wide() + to, (gap.Front - static_cast<uint32_t>(to)) * sizeof(TEntry));
            gap.Front -= erased;
            block_->Count -= erased;
            return;
        }
        if (from == 0 && to == count) {
            Clear();
            return;
        }
        // The erased records are the first ones behind the gap, which
        // takes their room.
        moveGap(from);
        gap.Behind -= erased;
        if (gap.Behind == 0)
            gap.Delta = 0;
        block_->Count -= erased;
        return;
    }
    if (from == 0 && to == count) {
        Clear();
        return;
    }
    const size_t width = bytesOf(block_->Width);
    auto* bytes = entries();
    std::memmove(bytes + static_cast<size_t>(from) * width, bytes + static_cast<size_t>(to) * width,
                 static_cast<size_t>(count - to) * width);
    block_->Count -= erased;
}

void TContextList::Clear() {
    std::free(block_);
    block_ = nullptr;
}

void TContextList::ShiftOffsets(int32_t index, int32_t delta) {
    const int32_t count = Count();
    if (index >= count || delta == 0)
        return;
    const uint32_t width = widthOf(int64_t{LastOffset()} + delta);
    if (width > block_->Width)
        reserve(block_->Count, width);
    // One loop per width, which the compiler runs over many entries at once.
    auto shift = [&](auto* entries, int32_t end) {
        using TOffset = decltype(entries->Offset);
        for (int32_t i = index; i < end; ++i)
            entries[i].Offset = static_cast<TOffset>(entries[i].Offset + delta);
    };
    switch (block_->Width) {
    case kTiny:
        shift(tiny(), count);
        break;
    case kNarrow:
        shift(narrow(), count);
        break;
    default:
        if (gap().Hidden) {
            shift(wide(), count);
            break;
        }
        // Behind the gap one delta moves them all.
        moveGap(index);
        gap().Delta = wrappingAdd(gap().Delta, delta);
    }
}

std::vector<TContextList::TEntry> TContextList::Entries(int32_t from, int32_t to) const {
    std::vector<TEntry> entries;
    entries.reserve(static_cast<size_t>(std::max(to - from, 0)));
    for (int32_t i = from; i < to; ++i)
        entries.push_back(Entry(i));
    return entries;
}

std::vector<TContextRecord> TContextList::Records() const {
    std::vector<TContextRecord> records;
    records.reserve(static_cast<size_t>(Count()));
    for (int32_t i = 0; i < Count(); ++i)
        records.push_back(Record(i));
    return records;
}

void TContextList::ShrinkToFit() {
    if (block_ == nullptr)
        return;
    if (block_->Width == kWide) {
        // Not while records are set aside; the gap closes first.
        if (gap().Hidden)
            return;
        moveGap(static_cast<int32_t>(block_->Count));
    }
    if (block_->Count == 0) {
        Clear();
        return;
    }
    // Records that were wider (a state number since written over, or room
    // reserved wider than they came to need) are stored in the narrowest
    // width that holds them again.
    uint32_t width = kTiny;
    for (int32_t i = 0; i < Count() && width < block_->Width; ++i)
        width = std::max(width, widthOf(Entry(i)));
    if (width < block_->Width)
        narrowTo(width);
    if (block_->Capacity == block_->Count)
        return;
    const size_t bytes = sizeof(TBlock) + headerOf(block_->Width) + block_->Count * bytesOf(block_->Width);
    const size_t room = sizeof(TBlock) + headerOf(block_->Width) + block_->Capacity * bytesOf(block_->Width);
    TBlock* fresh = nullptr;
    if (room <= kSmallRoom) {
        // A small block is copied into one of its size and freed whole:
        // shrunk in place, it would leave its tail behind as a hole that
        // the next paragraph's room does not fit in.
        fresh = static_cast<TBlock*>(std::malloc(bytes));
        if (fresh == nullptr)
            return;
        std::memcpy(fresh, block_, bytes);
        std::free(block_);
    } else {
        fresh = static_cast<TBlock*>(std::realloc(block_, bytes));
        if (fresh == nullptr)
            return;
    }
    block_ = fresh;
    block_->Capacity = block_->Count;
}

void TContextList::narrowTo(uint32_t width) {
    // Front to back, each entry read before it is written over: a narrower
    // entry lies at or before the wider one it comes from (a wide list's
    // entries lie behind its gap's record, which the narrower ones lack).
    const int32_t count = Count();
    const uint32_t oldWidth = block_->Width;
    const size_t oldBytes = headerOf(oldWidth) + block_->Capacity * bytesOf(oldWidth);
    // Read as they lie (the gap's record is written over on the way).
    const TNarrow* narrowEntries = narrow();
    const TEntry* wideEntries = wide();
    for (int32_t i = 0; i < count; ++i) {
        const TEntry entry = oldWidth == kWide ? wideEntries[i]
                                               : TEntry{narrowEntries[i].Offset, narrowEntries[i].Id};
        if (width == kTiny)
            tiny()[i] = {static_cast<uint8_t>(entry.Offset), static_cast<uint8_t>(entry.Id)};
        else
            narrow()[i] = {static_cast<uint16_t>(entry.Offset), static_cast<uint16_t>(entry.Id)};
    }
    block_->Width = width;
    // The room in bytes stays: it holds more of the narrower entries.
    block_->Capacity = static_cast<uint32_t>(std::min<size_t>((oldBytes - headerOf(width)) / bytesOf(width), (1u << 28) - 1));
}

// ---------------------------------------------------------------------------

TSetAsideRecords::TSetAsideRecords(TContextList& list, int32_t index) : list_(list) {
    index = std::clamp(index, 0, list.Count());
    if (list.block_ != nullptr && list.block_->Width == TContextList::kWide && !list.gap().Hidden) {
        inPlace_ = true;
        list.moveGap(index);
        TContextList::TGap& gap = list.gap();
        gap.Hidden = 1;
        count_ = static_cast<int32_t>(gap.Behind);
        list.block_->Count = gap.Front;
        marks_ = list.block_->Marks;
        return;
    }
    own_ = list.SplitOff(index);
    count_ = own_.Count();
    marks_ = own_.block_ != nullptr ? own_.block_->Marks : 0;
}

int32_t TSetAsideRecords::IndexAt(int32_t offset) const {
    if (!inPlace_)
        return own_.IndexAt(offset);
    int32_t low = 0;
    int32_t high = count_;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (Offset(middle) < offset)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void TSetAsideRecords::PutBackFrom(int32_t index) {
    if (done_)
        return;
    done_ = true;
    index = std::clamp(index, 0, count_);
    if (!inPlace_) {
        list_.AppendRange(own_, index, count_);
        return;
    }
    TContextList::TGap& gap = list_.gap();
    gap.Hidden = 0;
    gap.Behind -= static_cast<uint32_t>(index);
    if (gap.Behind == 0)
        gap.Delta = 0;
    list_.block_->Count = gap.Front + gap.Behind;
}

void TSetAsideRecords::Drop() {
    if (done_)
        return;
    done_ = true;
    if (!inPlace_)
        return;
    TContextList::TGap& gap = list_.gap();
    gap.Hidden = 0;
    gap.Behind = 0;
    gap.Delta = 0;
}
