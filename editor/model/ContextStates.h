#pragma once
// Highlighting contexts, stored compactly.
//
// A context record is a highlighting state (style, colours, key stack, key
// lengths) and the offset from which it applies.  A text holds about one
// record for every few characters but only a few hundred different states,
// so every state is kept once, in one table for the whole program, and a
// paragraph's records are pairs of an offset and a state number: two bytes
// a record in a short paragraph, four in one shorter than 64 KB, eight
// beyond.  States are
// never removed from the table; a state found in it is never changed, so a
// reference to one stays valid for the life of the program.  The table is
// not safe for use from several threads: the editor runs on one.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

// The highlighting state of a context: everything but the offset.
struct TContextState {
    static constexpr int kStackSize = 16;

    uint8_t Flags = 0;  // bits 0-3 font style, 4 highlight, 5 alternative font, 6-7 key stack
    int8_t Depth = 0;   // index of the key stack's top entry, -1 = empty
    uint16_t Tag = 0;   // cursor shown over the context; 0 = the normal one
    int32_t Background = 0;
    int32_t Foreground = 0;
    int32_t ContextNumber = 0;  // reported when the user clicks into the context; 0 = none
    uint16_t KeyStack[kStackSize] = {};
    uint8_t StartKeyLength = 0;
    uint8_t StopKeyLength = 0;

    // A styled context with a key stack has both top flag bits set.
    static constexpr uint8_t kStyled = 0x80;
    static constexpr uint8_t kKeyStack = 0x40;
    bool HasKeyStack() const { return (Flags & (kStyled | kKeyStack)) == (kStyled | kKeyStack); }
};

// A state and the offset in its paragraph from which it applies.
struct TContextRecord : TContextState {
    TContextRecord() = default;
    TContextRecord(const TContextState& state, int32_t offset) : TContextState(state), Offset(offset) {}

    int32_t Offset = 0;
};

// The key-stack depth of a state (-1 without a key stack) and its top entry
// (-1 without one).
inline int ContextDepthOf(const TContextState& record) { return record.HasKeyStack() ? record.Depth : -1; }
inline int TopKeyEntry(const TContextState& record) {
    int depth = ContextDepthOf(record);
    return depth >= 0 && depth < TContextState::kStackSize ? record.KeyStack[depth] : -1;
}
// A styled state without a key stack: put in force from outside (parsing
// leaves it alone).
inline bool IsStyledWithoutKeys(const TContextState& record) {
    return (record.Flags & TContextState::kStyled) != 0 && ContextDepthOf(record) < 0;
}
// A keyword's state: a keyword on top of its key stack (the entries of key
// lists carry the top bit).
inline bool IsKeywordState(const TContextState& record) {
    const int top = TopKeyEntry(record);
    return top >= 0 && (top & 0x8000) == 0;
}

// The number of a state in the table; the default state (all zero) is 0.
using TContextId = uint32_t;
constexpr TContextId kDefaultContext = 0;

// The number of a state, entering it into the table when it is new.
TContextId InternContext(const TContextState& state);
// How many states the table holds.
uint32_t ContextStateCount();

namespace ContextTable {
// The table's states, in chunks that never move (chunk 0, which holds the
// default state, exists from the start).
constexpr uint32_t kChunkBits = 10;
constexpr uint32_t kChunkSize = 1u << kChunkBits;
constexpr uint32_t kMaxChunks = 1u << 14;
extern TContextState* Chunks[kMaxChunks];
// What kind of state each number names, in chunks beside the states: the
// marks below, so that a record list knows what it holds without reading
// its states.
constexpr uint8_t kKeywordMark = 1;
constexpr uint8_t kStyledWithoutKeysMark = 2;
extern uint8_t* Marks[kMaxChunks];
} // namespace ContextTable

// The state of a number that InternContext gave.
inline const TContextState& ContextState(TContextId id) {
    return ContextTable::Chunks[id >> ContextTable::kChunkBits][id & (ContextTable::kChunkSize - 1)];
}
inline uint8_t ContextMarks(TContextId id) {
    return ContextTable::Marks[id >> ContextTable::kChunkBits][id & (ContextTable::kChunkSize - 1)];
}

// The context records of one paragraph, ordered by offset: a single pointer
// when there are none.
//
// A list of wide records (a paragraph longer than 64 KB) keeps a gap where
// it was last edited: the records behind the gap lie at the end of the
// block, their offsets stored less a delta that every edit at the gap
// changes.  Inserting or removing records and moving the offsets behind
// an edit then cost what lies between the gap and the edit, not the
// records behind it: a key typed again and again in the middle of a
// megabyte-long line moves none of them.
class TContextList {
public:
    struct TEntry {
        int32_t Offset;
        TContextId Id;
    };

    TContextList() = default;
    TContextList(std::initializer_list<TContextRecord> records) {
        for (const TContextRecord& record : records)
            Add(record);
    }
    TContextList(const TContextList& other);
    TContextList(TContextList&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    TContextList& operator=(const TContextList& other);
    TContextList& operator=(TContextList&& other) noexcept;
    ~TContextList();

    int32_t Count() const { return block_ != nullptr ? static_cast<int32_t>(block_->Count) : 0; }
    // Whether a keyword's record, or a styled record without a key stack,
    // may be among the records: false only when none is.
    bool MayHoldKeywordRecords() const { return block_ != nullptr && (block_->Marks & ContextTable::kKeywordMark); }
    bool MayHoldStyledWithoutKeys() const {
        return block_ != nullptr && (block_->Marks & ContextTable::kStyledWithoutKeysMark);
    }
    // Whether a keyword's record is among the records (looked for only
    // while one may be, and remembered when none is).
    bool HasKeywordRecords();
    bool Empty() const { return Count() == 0; }

    int32_t Offset(int32_t index) const {
        switch (block_->Width) {
        case kTiny:
            return tiny()[index].Offset;
        case kNarrow:
            return narrow()[index].Offset;
        default: {
            const TGap& gap = this->gap();
            return index < static_cast<int32_t>(gap.Front) ? wide()[index].Offset
                                                           : wrappingAdd(wide()[behindGap(index)].Offset, gap.Delta);
        }
        }
    }
    TContextId Id(int32_t index) const {
        switch (block_->Width) {
        case kTiny:
            return tiny()[index].Id;
        case kNarrow:
            return narrow()[index].Id;
        default:
            return wide()[index < static_cast<int32_t>(gap().Front) ? static_cast<size_t>(index) : behindGap(index)].Id;
        }
    }
    TEntry Entry(int32_t index) const { return {Offset(index), Id(index)}; }
    const TContextState& State(int32_t index) const { return ContextState(Id(index)); }
    TContextRecord Record(int32_t index) const { return {State(index), Offset(index)}; }
    int32_t LastOffset() const { return Offset(Count() - 1); }
    TContextId LastId() const { return Id(Count() - 1); }
    // The last record (the list must not be empty), read in one go: parsing
    // asks about it more than about any other.
    TEntry Last() const {
        const auto index = block_->Count - 1;
        switch (block_->Width) {
        case kTiny:
            return {tiny()[index].Offset, tiny()[index].Id};
        case kNarrow:
            return {narrow()[index].Offset, narrow()[index].Id};
        default: {
            const TGap& gap = this->gap();
            if (index < gap.Front)
                return wide()[index];
            const TEntry& behind = wide()[behindGap(static_cast<int32_t>(index))];
            return {wrappingAdd(behind.Offset, gap.Delta), behind.Id};
        }
        }
    }

    // The first record whose offset is at least the given offset.
    int32_t IndexAt(int32_t offset) const;

    void Insert(int32_t index, TEntry entry) {
        // Parsing writes behind the last record most of the time.
        if (block_ != nullptr && index == static_cast<int32_t>(block_->Count) && widthOf(entry) <= block_->Width) {
            if (block_->Width != kWide) {
                if (block_->Count < block_->Capacity) {
                    put(index, entry);
                    ++block_->Count;
                    block_->Marks |= ContextMarks(entry.Id);
                    return;
                }
            } else if (TGap& gap = this->gap(); gap.Front == block_->Count && gap.Front + gap.Behind < block_->Capacity) {
                wide()[gap.Front++] = entry;
                ++block_->Count;
                block_->Marks |= ContextMarks(entry.Id);
                return;
            }
        }
        insertInside(index, entry);
    }
    void Insert(int32_t index, const TContextRecord& record) {
        Insert(index, {record.Offset, InternContext(record)});
    }
    // Behind the last record: written in place, with one look at the width,
    // when it fits the room and the width (parsing appends most records).
    void Append(TEntry entry) {
        if (block_ != nullptr) {
            const uint32_t count = block_->Count;
            const auto offset = static_cast<uint32_t>(entry.Offset);
            switch (block_->Width) {
            case kTiny:
                if (count < block_->Capacity && offset <= 0xFF && entry.Id <= 0xFF) {
                    tiny()[count] = {static_cast<uint8_t>(offset), static_cast<uint8_t>(entry.Id)};
                    appended(entry.Id);
                    return;
                }
                break;
            case kNarrow:
                if (count < block_->Capacity && offset <= 0xFFFF && entry.Id <= 0xFFFF) {
                    narrow()[count] = {static_cast<uint16_t>(offset), static_cast<uint16_t>(entry.Id)};
                    appended(entry.Id);
                    return;
                }
                break;
            default:
                if (TGap& gap = this->gap(); gap.Front == count && gap.Front + gap.Behind < block_->Capacity) {
                    wide()[gap.Front++] = entry;
                    appended(entry.Id);
                    return;
                }
            }
        }
        insertInside(Count(), entry);
    }
    void Add(const TContextRecord& record) { Insert(Count(), record); }
    void SetId(int32_t index, TContextId id);
    // Removes the records from .. to - 1.
    void Erase(int32_t from, int32_t to);
    void Truncate(int32_t count) { Erase(count, Count()); }
    void Clear();
    // Adds delta to the offsets of the records from index on.
    void ShiftOffsets(int32_t index, int32_t delta);
    // Records from .. to - 1 as entries.
    std::vector<TEntry> Entries(int32_t from, int32_t to) const;
    // Every record whole.
    std::vector<TContextRecord> Records() const;
    // Room for count records of a paragraph of length bytes (a paragraph
    // about to be parsed whole gets its records without growing step by
    // step), as wide as its offsets need: a state number too wide for it
    // widens the list once.
    void Reserve(int32_t count, int32_t length) {
        reserve(static_cast<uint32_t>(std::max(count, 1)), widthOf(int64_t{length}));
    }
    // Gives back room that growing left unused.
    void ShrinkToFit();
    // The same only when more than half the room is unused: a paragraph
    // edited again and again keeps room to grow into.
    void ShrinkIfLoose() {
        if (block_ != nullptr && block_->Capacity / 2 > block_->Count)
            ShrinkToFit();
    }
    // Moves the records from index on into a list of their own.
    TContextList SplitOff(int32_t index);
    // Appends records first .. last - 1 of another list, which must not
    // start before this one's last record.
    void AppendRange(const TContextList& other, int32_t first, int32_t last);

private:
    friend class TSetAsideRecords;

    // Entries come in three widths, the narrowest that holds every offset
    // and state number of the paragraph: bytes, 16-bit or 32-bit numbers.
    enum : uint32_t { kTiny = 0, kNarrow = 1, kWide = 2 };
    struct TTiny {
        uint8_t Offset;
        uint8_t Id;
    };
    struct TNarrow {
        uint16_t Offset;
        uint16_t Id;
    };
    struct TBlock {
        uint32_t Count;
        uint32_t Capacity : 28;
        uint32_t Marks : 2;  // the marks of every state entered since the block was made
        uint32_t Width : 2;
    };
    // The gap of a wide list, between the block and its entries: records
    // 0 .. Front - 1 lie at the start of the entries, the Behind records
    // after them at the end, their offsets stored less Delta.  Records set
    // aside (Hidden) lie behind the gap without counting among the records.
    struct TGap {
        uint32_t Front;
        uint32_t Behind;
        int32_t Delta;
        uint32_t Hidden;
    };

    // Offsets behind the gap are stored less a delta that sums every shift
    // since: the sum is taken modulo 2^32, which gives the offset exactly
    // whenever the offset itself is a valid one.
    static int32_t wrappingAdd(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }
    static int32_t wrappingSub(int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
    }
    static uint32_t widthOf(int64_t number) { return number <= 0xFF ? kTiny : number <= 0xFFFF ? kNarrow : kWide; }
    static uint32_t widthOf(TEntry entry) {
        return entry.Offset < 0 ? kWide : std::max(widthOf(entry.Offset), widthOf(int64_t{entry.Id}));
    }
    static size_t bytesOf(uint32_t width) { return width == kTiny ? 2 : width == kNarrow ? 4 : 8; }
    static size_t headerOf(uint32_t width) { return width == kWide ? sizeof(TGap) : 0; }
    unsigned char* entries() const { return reinterpret_cast<unsigned char*>(block_ + 1) + headerOf(block_->Width); }
    TTiny* tiny() const { return reinterpret_cast<TTiny*>(block_ + 1); }
    TNarrow* narrow() const { return reinterpret_cast<TNarrow*>(block_ + 1); }
    TGap& gap() const { return *reinterpret_cast<TGap*>(block_ + 1); }
    // (Only for a wide list: its entries lie behind the gap's record.)
    TEntry* wide() const {
        return reinterpret_cast<TEntry*>(reinterpret_cast<unsigned char*>(block_ + 1) + sizeof(TGap));
    }
    // Where record index (at or after the front) of a wide list lies.
    size_t behindGap(int32_t index) const {
        const TGap& gap = this->gap();
        return block_->Capacity - gap.Behind + (static_cast<uint32_t>(index) - gap.Front);
    }
    // Room for count records at least as wide as width.
    void reserve(uint32_t count, uint32_t width);
    // Counts a record just written behind the others, and its state's marks.
    void appended(TContextId id) {
        ++block_->Count;
        block_->Marks |= ContextMarks(id);
    }
    void insertInside(int32_t index, TEntry entry);
    // Moves a wide list's gap to index (no record may be set aside).
    void moveGap(int32_t index);
    // Stores the records in entries of a narrower width that holds them
    // all (a wide list's gap must stand behind its records).
    void narrowTo(uint32_t width);
    // Blocks up to this many bytes are copied when they shrink, larger ones
    // shrunk in place.
    static constexpr size_t kSmallRoom = 4096;
    // Writes record index where it lies (before the gap in a wide list).
    void put(int32_t index, TEntry entry) {
        switch (block_->Width) {
        case kTiny:
            tiny()[index] = {static_cast<uint8_t>(entry.Offset), static_cast<uint8_t>(entry.Id)};
            break;
        case kNarrow:
            narrow()[index] = {static_cast<uint16_t>(entry.Offset), static_cast<uint16_t>(entry.Id)};
            break;
        default:
            if (index < static_cast<int32_t>(gap().Front))
                wide()[index] = entry;
            else
                wide()[behindGap(index)] = {wrappingSub(entry.Offset, gap().Delta), entry.Id};
        }
    }

    TBlock* block_ = nullptr;
};

// The records of a paragraph from some index on, set aside while the
// paragraph is parsed again: the list ends before them meanwhile, and
// they are read here.  A wide list keeps them where they are (behind its
// gap); another list hands them to a list of their own.  What is not put
// back is dropped.
class TSetAsideRecords {
public:
    TSetAsideRecords(TContextList& list, int32_t index);
    ~TSetAsideRecords() { Drop(); }
    TSetAsideRecords(const TSetAsideRecords&) = delete;
    TSetAsideRecords& operator=(const TSetAsideRecords&) = delete;

    int32_t Count() const { return count_; }
    int32_t Offset(int32_t index) const {
        if (!inPlace_)
            return own_.Offset(index);
        const TContextList::TGap& gap = list_.gap();
        return TContextList::wrappingAdd(list_.wide()[first() + static_cast<size_t>(index)].Offset, gap.Delta);
    }
    TContextId Id(int32_t index) const {
        return inPlace_ ? list_.wide()[first() + static_cast<size_t>(index)].Id : own_.Id(index);
    }
    TContextList::TEntry Entry(int32_t index) const { return {Offset(index), Id(index)}; }
    const TContextState& State(int32_t index) const { return ContextState(Id(index)); }
    // The first record whose offset is at least the given offset.
    int32_t IndexAt(int32_t offset) const;
    bool MayHoldStyledWithoutKeys() const { return marks_ & ContextTable::kStyledWithoutKeysMark; }

    // Puts the records from index on back behind the list's records (which
    // must all lie before them); the rest is dropped.
    void PutBackFrom(int32_t index);
    // Drops every record set aside (before the list is replaced whole).
    void Drop();

private:
    size_t first() const { return list_.block_->Capacity - list_.gap().Behind; }

    TContextList& list_;
    TContextList own_;
    bool inPlace_ = false;
    bool done_ = false;
    int32_t count_ = 0;
    uint32_t marks_ = 0;
};
