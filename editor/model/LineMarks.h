#pragma once
// Marks along a long display line that is not broken: a paragraph shown
// whole on one line (unwrapped and left-aligned).  Every so many bytes a
// mark keeps where a walk along the line stands there: its pixel, its
// static style, the context in force, the start of the run of one look that
// painting draws there, and the characters counted so far.  Measuring a
// position, painting the stretch in view and measuring the line again after
// an edit walk from the mark before the place instead of from the line's
// start; after an edit only the stretch that changed is walked again, and
// the marks behind it move with the text.
//
// Pixels are counted as painting and the caret count them: a character is
// its advance in the font its style and context select, a tab reaches the
// next multiple of the tab width from the line's left edge, a style code
// has no width.  A run ends where a context record starts, at a tab and at
// a style code, as painting ends its runs (the selection aside).

#include "editor/model/CodeMeasure.h"
#include "editor/model/TextStore.h"

#include <cstdint>
#include <vector>

class TTextLayout;

struct TLineMark {
    int64_t X = 0;          // pixels from the line's left edge to Offset
    int32_t Offset = 0;     // where the mark stands: a character start
    // Where painting's run that holds Offset starts (its first character
    // after the style codes it skips); Offset itself where painting starts
    // a run (before those codes).  A mark stands either there or inside a
    // run, past its first character and before its end.
    int32_t RunStart = 0;
    int32_t Characters = 0; // characters before Offset (a UTF-8 sequence counts one)
    TContextId Context = 0; // in force just before Offset
    uint8_t Style = 0;      // the static style set at Offset
    bool AtRunStart() const { return RunStart == Offset; }
};

// What marks are measured with; marks measured with other rules mean
// nothing.
struct TLineMarkRules {
    const TCodeMeasure* Measure = nullptr;
    uint64_t Revision = 0;
    int32_t TabWidth = 1;
    int32_t Spacing = 0;
    uint8_t FontStyle = 0;
    uint8_t StartStyle = 0; // the static style at the line's start
    bool StaticFormat = false;
    bool Utf8 = false;
    bool operator==(const TLineMarkRules&) const = default;
};

// The marks of one paragraph laid out as one unbroken line.
class TLineMarks {
public:
    // Walks the whole paragraph.
    void Build(const TParagraph& paragraph, const TTextLayout& layout, const TLineMarkRules& rules);
    // Walks again only what the changes noted since the last walk touched;
    // false (and nothing changed) when the marks cannot follow them.
    bool Update(const TParagraph& paragraph, const TTextLayout& layout, const TLineMarkRules& rules);

    // Bytes from..to of the measured text (as it stands after the changes
    // already noted) were replaced by inserted bytes.
    void NoteEdit(int32_t from, int32_t to, int32_t inserted);
    // Context records from..to (offsets as the text stands) changed.
    void NoteChange(int32_t from, int32_t to);
    bool Pending() const { return pending_; }
    const TLineMarkRules& Rules() const { return rules_; }
    int32_t Length() const { return length_; }

    // ---- The measured line (valid while nothing is pending) ----
    const std::vector<TLineMark>& Marks() const {
        settleUpTo(marks_.size());
        return marks_;
    }
    // The last mark at or before offset.
    const TLineMark& AtOrBefore(int32_t offset) const;
    // The last mark left of x (the first mark when none is).
    const TLineMark& LeftOf(int64_t x) const;
    int64_t FullWidth() const { return fullWidth_; }
    // The width without the blanks and codes that end the line.
    int64_t TextWidth() const { return textWidth_; }
    // The offset of the last tab (0 without one), where line breaking
    // counts stretchable blanks from.
    int32_t StretchStart() const { return lastTab_ < 0 ? 0 : lastTab_; }
    // No font the line uses has a blank without width (line breaking gives
    // blanks at least one pixel, painting their advance).
    bool BlanksAgree() const { return blanksAgree_; }

private:
    // Finds the line's text width again when its last character that
    // counts lies before offset.
    void findTextWidth(const TParagraph& paragraph, const TTextLayout& layout, int32_t before);

    // Marks from shiftFrom_ on are kept less a shift (of their offsets and
    // run starts, pixels and characters) that reading them adds: an edit
    // moves the marks behind it by moving where that shift begins, which
    // costs the marks between there and the edit, not those behind it.
    TLineMark markAt(size_t index) const {
        TLineMark mark = marks_[index];
        if (index >= shiftFrom_) {
            mark.Offset += shift_.Offset;
            mark.RunStart += shift_.Offset;
            mark.X += shift_.X;
            mark.Characters += shift_.Characters;
        }
        return mark;
    }
    // Adds the shift to the marks before index (they hold it then).
    void settleUpTo(size_t index) const;
    // Lets the shift begin at index, and adds to it.
    void shiftFrom(size_t index, int32_t offsets, int64_t pixels, int32_t characters);
    // The first mark whose offset is beyond offset.
    size_t firstAfter(int32_t offset) const;
    // Puts walked marks in place of the marks keep + 1 .. old - 1;
    // returns how many more marks there are (modulo 2^64: fewer).
    size_t takeWalked(size_t keep, size_t old, const std::vector<TLineMark>& walked);

    mutable std::vector<TLineMark> marks_;
    mutable size_t shiftFrom_ = 0;
    TLineMark shift_;  // (its Offset, X and Characters)
    std::vector<TLineMark> walked_;  // room for the marks an update walks anew
    TLineMarkRules rules_;
    int32_t length_ = 0;
    int64_t fullWidth_ = 0;
    int64_t textWidth_ = 0;
    int32_t wordEnd_ = 0;  // after the last character that is neither blank nor code (0: none)
    int32_t lastTab_ = -1;
    bool blanksAgree_ = true;
    // Changes since the last walk: the text before unchanged_ is as it was;
    // from changedTo_ on it is the old text delta_ bytes further on.
    bool pending_ = false;
    int32_t unchanged_ = 0;
    int32_t changedTo_ = 0;
    int32_t delta_ = 0;
};
