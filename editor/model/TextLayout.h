#pragma once
// The layout of a document: its paragraphs broken into display lines for a
// measure and a width, and the formatting state that keeps them up to date
// (which paragraphs wait for formatting, the widest line, the rules of
// wrapping, alignment, margins and tab stops).
//
// The display lines live in the paragraph records of the store (line 0 of a
// paragraph inline), so that one layout, the view's, costs no further
// allocation.  A printer formats for its own measure through FormatFor.

#include "editor/model/CodeMeasure.h"
#include "editor/model/DocumentTypes.h"
#include "editor/model/LineMarks.h"
#include "editor/model/TextStore.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TCodeDocument;
class TCodeNavigator;

// A range of display lines (empty when Last < First).
struct TLineSpan {
    int32_t First = INT32_MAX;
    int32_t Last = -1;
    bool Empty() const { return Last < First; }
    void Add(int32_t first, int32_t last) {
        First = std::min(First, first);
        Last = std::max(Last, last);
    }
};

class TTextLayout {
public:
    explicit TTextLayout(TCodeDocument& document);
    ~TTextLayout();
    TTextLayout(const TTextLayout&) = delete;
    TTextLayout& operator=(const TTextLayout&) = delete;

    // ---- What lines are measured with ----
    // The measure and the width (in pixels, margins included) lines are
    // broken for; a null measure gives every paragraph one display line.
    // Everything is formatted again.
    void SetMeasure(const TCodeMeasure* measure, int32_t width);
    const TCodeMeasure* Measure() const { return measure_; }
    int32_t ClientWidth() const { return clientWidth_; }
    // A new width for the same measure; the caller formats again as far as
    // the width matters (wrapped or aligned lines).
    void SetClientWidth(int32_t width) { clientWidth_ = width; }
    // Formats every paragraph for another measure and width (a printer's);
    // nullptr formats them for the measure again.
    void FormatFor(const TCodeMeasure* measure, int32_t width);
    // The measure and width lines are laid out for now: the output's while
    // formatting for one, the measure's otherwise.
    const TCodeMeasure* ActiveMeasure() const { return outputMeasure_ != nullptr ? outputMeasure_ : measure_; }
    int32_t ActiveWidth() const { return outputMeasure_ != nullptr ? outputWidth_ : clientWidth_; }

    // ---- Rules; changing one formats everything again ----
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TCodeAlignment Alignment() const { return alignment_; }
    // Without wrapping, right-justified and centred lines are broken for
    // the width too.
    void SetAlignment(TCodeAlignment value);
    int32_t LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int32_t value);
    int32_t RightMargin() const { return rightMargin_; }
    void SetRightMargin(int32_t value);
    int32_t TabStops() const { return tabStops_; }
    void SetTabStops(int32_t value);
    // The style bits (bold, italic, underline, strike-out) of the font text
    // without style codes or contexts is measured in.
    uint8_t FontStyle() const { return fontStyle_; }
    void SetFontStyle(uint8_t bits) { fontStyle_ = bits & 0x0F; }
    TUpdateMode UpdateMode() const { return updateMode_; }
    // umImmediate formats what waits at once, umBackground asks the view
    // for background slices.
    void SetUpdateMode(TUpdateMode value);

    // ---- Measures of the laid-out text ----
    // The width of a blank, at least 1: tabs and virtual columns count in it.
    int32_t AverageCharWidth() const;
    // The style set text is drawn in: the static style combined with the
    // font's own when the context record in force is plain, else the
    // record's, where strike-out plus highlight means the zigzag instead.
    uint8_t DrawingStyle(uint8_t staticStyle, const TContextState& context) const;
    // The style set whose font measures text: the drawing style without
    // what changes no font (highlighting and the zigzag).
    uint8_t StyleForMeasure(uint8_t staticStyle, const TContextState& context) const {
        return DrawingStyle(staticStyle, context) & static_cast<uint8_t>(~(kStyleHighlight | kStyleZigzag));
    }
    int32_t WidestLineWidth() const { return widestWidth_; }
    int32_t WidestLineParagraph() const { return widestParagraph_; }
    // Finds the widest line again when its paragraph may have become
    // narrower (formatting only ever raises it).
    void KeepWidestUpToDate();
    // Forgets the widest line (the font was measured anew).
    void ForgetWidest();

    // ---- Formatting ----
    // Breaks paragraph index into display lines (TCodeDocument's
    // FormatParagraph seam does it through this).
    void BreakParagraph(const TCodeMeasure* measure, int32_t width, int32_t index, int32_t& firstLine,
                        int32_t& lastLine, bool formatToEnd);
    // Breaks paragraph index for another measure and width into lines,
    // starting in static style startStyle; its own lines stay as they are.
    void BreakApart(const TCodeMeasure& measure, int32_t width, int32_t index, uint8_t startStyle,
                    std::vector<TLineRecord>& lines) const;
    // Formats paragraphs first..last (those waiting, or all when forced);
    // returns the display lines laid out anew.
    TLineSpan FormatRange(int32_t first, int32_t last, bool force);
    // Formats paragraph index when it waits.
    void FormatParagraphIfNeeded(int32_t index);
    // Formats what waits before display line `line` exists as it will
    // stay; the paragraphs after it may wait for the background pass.
    void FormatThroughLine(int32_t line);
    // Formats every paragraph still waiting.
    void FormatPending();
    // Marks every paragraph for formatting and formats them as the update
    // mode says (margins, tab stops, wrapping and fonts changed).
    void ReformatAll();
    // Formatting is waiting for the background pass.
    bool BackgroundPending() const { return formatLast_ >= formatNext_; }
    // One slice of about 25 ms of the background pass; true while work
    // remains.
    bool BackgroundSlice();
    // Formats what waits at once (umImmediate) or asks for background
    // slices (umBackground).
    void Schedule();
    // Paragraph index waits for formatting.
    void ScheduleParagraph(int32_t index);
    // ---- Marks along long unbroken lines ----
    // A paragraph laid out whole on one line (unwrapped, left-aligned) of
    // at least four spacings gets a mark every spacing bytes (LineMarks.h);
    // 0 keeps no marks.  Changing it formats everything again.
    int32_t LineMarkSpacing() const { return lineMarkSpacing_; }
    void SetLineMarkSpacing(int32_t bytes);
    // The marks of a paragraph as it is laid out now; nullptr when it has
    // none (a short or broken line, one waiting for formatting, or one
    // measured with another measure).
    const TLineMarks* LineMarksOf(const TParagraph& paragraph) const;
    // What changed under the marks of a paragraph: bytes from..to replaced
    // by inserted bytes, context records from..to changed, or anything.
    void LineEdited(TParagraph& paragraph, int32_t from, int32_t to, int32_t inserted);
    void LineRestyled(TParagraph& paragraph, int32_t from, int32_t to);
    void ForgetLineMarks(TParagraph& paragraph);
    // A new text: every paragraph with marks is gone.
    void ForgetAllLineMarks();

    // ---- What an edit left looking as it was ----
    // Parsing again around an edit found that paragraph index looks as it
    // did from offset on: its context records there and behind are the
    // old ones, moved with the text.  When the paragraph is next laid out,
    // lines from there on that come out as they were are not reported as
    // changed, so that a key repaints the lines it changed and not those
    // that parsing merely passed over.  What is learnt holds only until
    // the next edit, or the end of the update.
    void NoteLookKeptFrom(int32_t index, int32_t offset);
    // The text or its records changed otherwise: nothing is known.
    void SpoilLookHint() {
        if (lookHint_ != kNoLookHint)
            lookHint_ = kSpoiledLookHint;
    }
    void ForgetLookHint() { lookHint_ = kNoLookHint; }

    // How many paragraphs ahead of those highlighted in order a paragraph
    // that is formatted gets parsed on its own (the pass in order is
    // quicker over a few paragraphs, a jump far ahead must not wait for it).
    void SetParseAhead(int32_t paragraphs) { parseAhead_ = paragraphs; }

private:
    friend class TCodeDocument;

    // Formats paragraph index; the display lines laid out anew join span.
    int32_t formatOne(int32_t index, bool force, TLineSpan& span);
    // The pixels a line may take: the width less the margins, or (neither
    // wrapped nor aligned) no limit.
    int32_t availableWidth(int32_t width) const;
    // Lays paragraph p out in one unbroken line through its marks, when it
    // is long enough to have them; false when it is not laid out so.
    bool layOutWithMarks(TParagraph& p, const TCodeMeasure& measure, int32_t width);
    TLineMarkRules lineMarkRules(const TParagraph& p) const;
    uint8_t endStyle(int32_t index) const;
    // Paragraphs first..last have just been formatted: a static style that
    // now ends one differently carries into the paragraphs behind it (into
    // unformatted ones too only when asked), navigators in all of them
    // forget their display line, and the watchers hear of them.
    void formattingDone(int32_t first, int32_t last, bool carryIntoUnformatted, TLineSpan& span);
    void updateWidest(int32_t paragraph, int32_t width);
    // An edit replaced paragraphs first..last by first..newLast: the
    // pending range and the widest line follow.
    void paragraphsReplaced(int32_t first, int32_t last, int32_t newLast);
    // A new text: nothing waits.
    void textReplaced(bool formatAll);

    // The offset from which the look of the paragraph taken in lines is
    // known to be kept (lookHint_ == kKnownLookHint), or nothing.
    int32_t lookKeptFrom(int32_t index);

    TCodeDocument& document_;
    enum TLookHint : uint8_t { kNoLookHint, kKnownLookHint, kSpoiledLookHint };
    TLookHint lookHint_ = kNoLookHint;
    int32_t lookParagraph_ = -1;
    int32_t lookOffset_ = 0;
    const TCodeMeasure* measure_ = nullptr;
    int32_t clientWidth_ = 0;
    const TCodeMeasure* outputMeasure_ = nullptr;
    int32_t outputWidth_ = 0;
    bool wordWrap_ = true;
    TCodeAlignment alignment_ = taLeftJustify;
    int32_t leftMargin_ = 8;
    int32_t rightMargin_ = 8;
    int32_t tabStops_ = 8;
    uint8_t fontStyle_ = 0;
    TUpdateMode updateMode_ = umBackground;
    int32_t widestWidth_ = 0;
    int32_t widestParagraph_ = -1;
    int32_t formatNext_ = 0;   // pending formatting: next paragraph to format
    int32_t formatLast_ = -1;  // ... and the last one that needs it (-1 = none)
    int32_t parseAhead_ = 256;
    std::vector<TLineRecord> newLines_;
    // (A position is measured from the mark before it, and an edit walks
    // from the mark before it to a mark behind it: 256 bytes of UTF-8 walk
    // in a few microseconds; the marks take an eighth of the line's bytes.)
    int32_t lineMarkSpacing_ = 256;
    std::unordered_map<const TParagraph*, TLineMarks> lineMarks_;
    // The ends of the paragraph whose keywords line breaking applies.
    std::unique_ptr<TCodeNavigator> keywordsFrom_;
    std::unique_ptr<TCodeNavigator> keywordsTo_;
};
