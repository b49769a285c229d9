#pragma once
// The text store of the source editor: paragraphs, their display lines and
// their highlighting contexts.
//
// Every other part of the editor addresses text by an absolute offset in
// which each paragraph break counts 2 (it stands for CR LF, whatever break
// the file used).  Paragraphs are reached by index; a paragraph record is
// heap-allocated once and never moves while it exists, so a pointer to it
// stays valid until the paragraph is removed.  Navigators cache indexes, not
// pointers, because an edit renumbers the paragraphs behind it.

#include "editor/model/CompactArray.h"
#include "editor/model/ContextStates.h"
#include "editor/model/ParagraphText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The longest paragraph (and the longest text) the store accepts; offsets are
// signed 32-bit numbers and a break adds 2 to them.
constexpr int32_t kMaxTextLength = 2147483547;

// One display line of a paragraph, written by line breaking.
struct TLineRecord {
    int32_t Start = 0;          // offset in the paragraph of the first character
    int32_t Stop = 0;           // offset after the last character (next line's start)
    int32_t TextWidth = 0;      // pixel width without the blanks that end the line
    int32_t FullWidth = 0;      // pixel width with them
    int32_t StretchSpaces = 0;  // blanks a justified line may widen (0 = none)
    int32_t StretchStart = 0;   // offset from which those blanks are counted
    uint8_t Style = 0;          // static style set in force at the line's start
};

// Two contexts are the same highlighting state when their key stacks agree;
// offsets, colours and key lengths do not count.
bool SameContext(const TContextState& a, const TContextState& b);
// The key stacks alone: the same depth and the same entries up to it.
bool SameKeyStack(const TContextState& a, const TContextState& b);

// One paragraph: its bytes (NUL bytes included), its display lines and its
// context records.  Line 0 lives inside the record so that a one-line
// paragraph needs no further allocation.
struct TParagraph {
    // Records come from blocks of 32 KB shared by all documents, without a
    // heap block's bookkeeping each (one thread only, as the editor runs).
    static void* operator new(size_t size);
    static void operator delete(void* record, size_t size) noexcept;

    TParagraphText Text;
    int32_t TextColor = -1;        // -1 = the memo's colour
    int32_t BackgroundColor = -1;  // -1 = the memo's colour
    TLineRecord FirstLine;
    // The state in force at the paragraph's first character (state numbers
    // take 24 bits), and beside it in the same word the flags below: a
    // paragraph record takes 96 bytes, and a page has a million of them.
    TContextId BaseContext : 24 = kDefaultContext;
    // Highlighting state owned by the highlighting engine: formatted, parsed,
    // keywords applied.  A new paragraph has them 0, 1, 1.
    uint32_t Formatted : 1 = 0;
    uint32_t Parsed : 1 = 1;
    uint32_t KeywordsApplied : 1 = 1;
    // The text is known to hold no pair of equal style codes with only
    // codes between them (the clean-up after edits looked at all of it):
    // the next clean-up needs to look only around its edit.
    uint32_t CodePairsCleaned : 1 = 0;
    // The layout keeps marks along the paragraph's one unbroken line.
    uint32_t HasLineMarks : 1 = 0;
    TCompactArray<TLineRecord> FurtherLines;
    TContextList Contexts;
    // The first display line that the next formatting pass must redo; edits
    // lower it so that formatting can start at the edited line.
    int32_t FormatFromLine = 0;
    // Re-parsing changed the paragraph's contexts up to this offset: line
    // breaking lays lines out at least that far instead of stopping where
    // the new lines meet the old ones (kMaxTextLength: to the end).
    int32_t RelayoutThrough = 0;

    int32_t Length() const { return static_cast<int32_t>(Text.size()); }
    // The byte at an offset: the text's own, CR at the paragraph's end and
    // LF one beyond (the break that counts two).
    char CharAt(int32_t offsetInParagraph) const {
        if (offsetInParagraph < Length())
            return Text[static_cast<size_t>(offsetInParagraph)];
        return offsetInParagraph == Length() ? '\r' : '\n';
    }
    int32_t LineCount() const { return 1 + static_cast<int32_t>(FurtherLines.size()); }
    TLineRecord& Line(int32_t index) { return index == 0 ? FirstLine : FurtherLines[static_cast<size_t>(index - 1)]; }
    const TLineRecord& Line(int32_t index) const {
        return index == 0 ? FirstLine : FurtherLines[static_cast<size_t>(index - 1)];
    }
    // Resizes the line list; n below 1 counts as 1.
    void SetLineCount(int32_t n);
    // One empty display line covering the whole paragraph, widths 0.
    void ResetToOneLine();
    // Puts lines (at least one) in place of the display lines first..last;
    // the lines before them stay where they are and those behind them move
    // only when the count changes.
    void ReplaceLines(int32_t first, int32_t last, const std::vector<TLineRecord>& lines);
    // The last line whose start is not after the offset (never beyond the last line).
    int32_t LineOfOffset(int32_t offsetInParagraph) const;
    // The first context record whose offset is at least the given offset.
    int32_t ContextIndexAt(int32_t offsetInParagraph) const { return Contexts.IndexAt(offsetInParagraph); }
    // The state in force just before the offset: that of the last record
    // that starts before it, or the base context.
    const TContextState& ContextBefore(int32_t offsetInParagraph) const;
    const TContextState& Base() const { return ContextState(BaseContext); }
    // The static style set in force at an offset of a display line: the
    // line's style with the style codes from the line's start up to the
    // offset toggled in (an offset past the text counts as its end).
    uint8_t StyleAt(int32_t line, int32_t offsetInParagraph) const;
    // A static style set with the style codes from .. to - 1 toggled in.
    uint8_t FoldCodes(uint8_t style, int32_t from, int32_t to) const;
};

// A view of one paragraph's display lines.
class TLinesList {
public:
    explicit TLinesList(TParagraph* paragraph = nullptr) : paragraph_(paragraph) {}
    void SetParagraph(TParagraph* paragraph) { paragraph_ = paragraph; }
    TParagraph* Paragraph() const { return paragraph_; }

    int32_t LineCount() const { return paragraph_ ? paragraph_->LineCount() : 0; }
    // Raises EListError ("List index out of bounds") outside 0..LineCount-1.
    TLineRecord* GetLine(int32_t index) const;
    TLineRecord Get(int32_t index) const { return *GetLine(index); }
    void Put(int32_t index, const TLineRecord& line) { *GetLine(index) = line; }
    int32_t Add(const TLineRecord& line);
    // Raises EOutOfMemory for a count no line list can hold.
    void SetLineCount(int32_t n);

private:
    TParagraph* paragraph_;
};

// The paragraphs of a text, by index.
//
// Paragraphs are kept in blocks of a few hundred, so that inserting or
// removing paragraphs moves only the entries of one block and the block
// table, never the whole list.  A paragraph's absolute start offset and
// first display line are stored relative to its block's base values; an
// edit shifts the entries behind it in its own block and the bases of the
// blocks behind that.  The block bases are shifted lazily: bases from block
// pendingBlock_ on are stored without the pending deltas, which every read
// adds, and moving that boundary costs the number of blocks it moves over.
// So typing in one place costs the same in a text of a thousand paragraphs
// as in one of a hundred thousand, and a new paragraph costs a block's
// worth of work at most.
class TParagraphsList {
public:
    explicit TParagraphsList(int32_t blockSize = 512);
    TParagraphsList(const TParagraphsList&) = delete;
    TParagraphsList& operator=(const TParagraphsList&) = delete;
    TParagraphsList(TParagraphsList&&) noexcept = default;
    TParagraphsList& operator=(TParagraphsList&&) noexcept = default;

    int32_t Count() const { return count_; }
    // Raises EListError ("List index out of bounds") outside 0..Count-1.
    TParagraph* GetItem(int32_t index) const;
    TParagraph& operator[](int32_t index) const {
        TPlace place = locate(index);
        return *blocks_[place.block].items[place.slot];
    }

    int32_t Start(int32_t index) const {
        TPlace place = locate(index);
        return startBase(place.block) + blocks_[place.block].starts[place.slot];
    }
    int32_t FirstLine(int32_t index) const {
        TPlace place = locate(index);
        return lineBase(place.block) + blocks_[place.block].firstLines[place.slot];
    }
    void SetStart(int32_t index, int32_t value) {
        TPlace place = locate(index);
        blocks_[place.block].starts[place.slot] = value - startBase(place.block);
    }
    void SetFirstLine(int32_t index, int32_t value) {
        TPlace place = locate(index);
        blocks_[place.block].firstLines[place.slot] = value - lineBase(place.block);
    }
    // Adds the deltas to the start and first line of every paragraph from
    // index on.
    void ShiftFrom(int32_t index, int32_t startDelta, int32_t lineDelta);

    // Appends a paragraph; its start and first line are set by the caller.
    int32_t Add(std::unique_ptr<TParagraph> paragraph);
    // Inserts the paragraphs before index; their starts and first lines are
    // set by the caller.
    void Insert(int32_t index, std::vector<std::unique_ptr<TParagraph>>& paragraphs);
    // Removes count paragraphs from index on.
    void Erase(int32_t index, int32_t count);
    void Clear();

    // The paragraph that holds an absolute offset (offsets past the text end
    // land in the last paragraph, below 0 in the first).
    int32_t IndexOfOffset(int32_t offset) const;
    // The paragraph that holds a display line (clamped like offsets).
    int32_t IndexOfLine(int32_t line) const;

private:
    struct TBlock {
        std::vector<std::unique_ptr<TParagraph>> items;
        std::vector<int32_t> starts;      // relative to the block's start base
        std::vector<int32_t> firstLines;  // relative to the block's line base
        int32_t startBase = 0;            // stored without the pending delta
        int32_t lineBase = 0;
        int32_t Size() const { return static_cast<int32_t>(items.size()); }
    };
    struct TPlace {
        size_t block;
        size_t slot;
    };

    TPlace locate(int32_t index) const {
        // Look-ups come in runs within one block.
        const size_t block = lastBlock_;
        if (block < blockFirst_.size()) {
            const int32_t slot = index - blockFirst_[block];
            if (slot >= 0 && slot < blocks_[block].Size())
                return {block, static_cast<size_t>(slot)};
        }
        return locateElsewhere(index);
    }
    TPlace locateElsewhere(int32_t index) const;
    int32_t startBase(size_t block) const {
        return blocks_[block].startBase + (static_cast<int32_t>(block) >= pendingBlock_ ? pendingStart_ : 0);
    }
    int32_t lineBase(size_t block) const {
        return blocks_[block].lineBase + (static_cast<int32_t>(block) >= pendingBlock_ ? pendingLine_ : 0);
    }
    // The paragraph whose start (or first line) is the last one at or before
    // value: Base and Entries name the block base and the block's entries
    // relative to it.  IndexOfOffset and IndexOfLine are this search.
    template <int32_t (TParagraphsList::*Base)(size_t) const, std::vector<int32_t> TBlock::*Entries>
    int32_t lastAtOrBefore(int32_t value) const;
    // Adds deltas to the bases of every block from block on.
    void shiftBlocks(int32_t block, int32_t startDelta, int32_t lineDelta);
    // Splits a block grown past twice the block size.
    void splitIfLarge(size_t block);
    void removeBlock(size_t block);
    void renumberFrom(size_t block);

    int32_t blockSize_;
    std::vector<TBlock> blocks_;
    std::vector<int32_t> blockFirst_;  // index of the first paragraph of each block
    int32_t count_ = 0;
    int32_t pendingBlock_ = 0;
    int32_t pendingStart_ = 0;
    int32_t pendingLine_ = 0;
    mutable size_t lastBlock_ = 0;  // where the last look-up landed
};
