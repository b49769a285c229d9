// Keeping the display lines up to date: formatting what waits, re-formatting
// everything, the background pass in slices, formatting for another measure
// (printing) and the widest line.

#include "editor/model/TextLayout.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/ScopeGuards.h"

#include <algorithm>

TTextLayout::TTextLayout(TCodeDocument& document)
    : document_(document), keywordsFrom_(std::make_unique<TCodeNavigator>(&document)),
      keywordsTo_(std::make_unique<TCodeNavigator>(&document)) {}

TTextLayout::~TTextLayout() = default;

int32_t TTextLayout::AverageCharWidth() const {
    const TCodeMeasure* measure = ActiveMeasure();
    if (measure == nullptr)
        return 1;
    // A font without a usable blank still gives tabs a width.
    return std::max(measure->CharWidth(fontStyle_ & static_cast<uint8_t>(~kStyleHighlight), ' '), 1);
}

uint8_t TTextLayout::DrawingStyle(uint8_t staticStyle, const TContextState& context) const {
    if ((context.Flags & TContextState::kStyled) == 0)
        return static_cast<uint8_t>(fontStyle_ ^ staticStyle);
    constexpr uint8_t fontBits = kStyleBold | kStyleItalic | kStyleUnderline | kStyleAltFont;
    if ((context.Flags & (kStyleStrikeOut | kStyleHighlight)) == (kStyleStrikeOut | kStyleHighlight))
        return (context.Flags & fontBits) | kStyleZigzag;
    return context.Flags & (fontBits | kStyleStrikeOut | kStyleHighlight);
}

// ---------------------------------------------------------------------------
// Rules

void TTextLayout::SetWordWrap(bool value) {
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    ReformatAll();
}

void TTextLayout::SetAlignment(TCodeAlignment value) {
    if (value == alignment_)
        return;
    const bool reformat = !wordWrap_ && (value != taLeftJustify || alignment_ != taLeftJustify);
    alignment_ = value;
    if (reformat)
        ReformatAll();
}

void TTextLayout::SetLeftMargin(int32_t value) {
    leftMargin_ = value;
    ReformatAll();
}

void TTextLayout::SetRightMargin(int32_t value) {
    rightMargin_ = value;
    ReformatAll();
}

void TTextLayout::SetTabStops(int32_t value) {
    tabStops_ = value;
    ReformatAll();
}

void TTextLayout::SetUpdateMode(TUpdateMode value) {
    updateMode_ = value;
    if (document_.UpdateCount() == 0)
        Schedule();
}

// ---------------------------------------------------------------------------
// The widest line

void TTextLayout::updateWidest(int32_t paragraph, int32_t width) {
    if (width > widestWidth_ || widestParagraph_ < 0) {
        widestWidth_ = std::max(width, widestParagraph_ < 0 ? 0 : widestWidth_);
        widestParagraph_ = paragraph;
    }
}

void TTextLayout::ForgetWidest() {
    widestWidth_ = 0;
    widestParagraph_ = -1;
}

void TTextLayout::KeepWidestUpToDate() {
    const TParagraphsList& paragraphs = document_.ParagraphList();
    if (widestParagraph_ >= 0 && widestParagraph_ < paragraphs.Count()) {
        const TParagraph& p = paragraphs[widestParagraph_];
        for (int32_t line = 0; line < p.LineCount(); ++line)
            if (p.Line(line).TextWidth == widestWidth_)
                return;
    }
    ForgetWidest();
    for (int32_t i = 0; i < paragraphs.Count(); ++i) {
        const TParagraph& p = paragraphs[i];
        for (int32_t line = 0; line < p.LineCount(); ++line)
            if (widestParagraph_ < 0 || p.Line(line).TextWidth > widestWidth_) {
                widestWidth_ = p.Line(line).TextWidth;
                widestParagraph_ = i;
            }
    }
}

// ---------------------------------------------------------------------------
// Formatting

uint8_t TTextLayout::endStyle(int32_t index) const {
    const TParagraph& p = document_.ParagraphList()[index];
    return p.StyleAt(p.LineCount() - 1, p.Length());
}

int32_t TTextLayout::formatOne(int32_t index, bool force, TLineSpan& span) {
    TParagraphsList& paragraphs = document_.paragraphs_;
    if (!paragraphs[index].Parsed) {
        // Far ahead of the paragraphs parsed in order (a jump into a text
        // still being highlighted) the paragraph is parsed on its own.
        if (index - document_.Highlighting().ValidHighlightParagraph() > parseAhead_)
            document_.Highlighting().ParseAhead(index);
        else
            document_.ParseUpTo(index);
    }
    TParagraph& p = paragraphs[index];
    if (document_.StaticFormat()) {
        // The static style carries over from the paragraph before.
        const uint8_t style = index > 0 ? endStyle(index - 1) : 0;
        if (p.FirstLine.Style != style) {
            p.FirstLine.Style = style;
            force = true;
        }
    }
    const int32_t oldCount = p.LineCount();
    int32_t first = force ? 0 : std::min(p.FormatFromLine, oldCount - 1);
    int32_t last = oldCount - 1;
    const bool toEnd = force || (p.RelayoutThrough > 0 && p.RelayoutThrough >= p.Length());
    document_.FormatParagraph(ActiveMeasure(), ActiveWidth(), index, first, last, toEnd);
    const int32_t firstLineOfParagraph = paragraphs.FirstLine(index);
    span.Add(firstLineOfParagraph + std::max(first, 0), firstLineOfParagraph + std::max(first, last));
    p.RelayoutThrough = 0;
    p.Formatted = 1;
    p.FormatFromLine = kMaxTextLength;
    return p.LineCount() - oldCount;
}

TLineSpan TTextLayout::FormatRange(int32_t first, int32_t last, bool force) {
    const TParagraphsList& paragraphs = document_.ParagraphList();
    first = std::max(first, 0);
    last = std::min(last, paragraphs.Count() - 1);
    TLineSpan span;
    bool any = false;
    for (int32_t i = first; i <= last; ++i) {
        if (!force && paragraphs[i].Formatted)
            continue;
        document_.reportProgress(i, false);
        formatOne(i, force, span);
        any = true;
    }
    if (any)
        formattingDone(first, last, true, span);
    return span;
}

void TTextLayout::FormatParagraphIfNeeded(int32_t index) {
    index = std::clamp(index, 0, document_.ParagraphCount() - 1);
    if (!document_.ParagraphList()[index].Formatted)
        FormatRange(index, index, false);
}

void TTextLayout::FormatThroughLine(int32_t line) {
    // The display lines up to the target must be final for its number to
    // mean anything; the paragraphs after it may wait for the background
    // pass, so that a jump in a long text still being formatted is quick.
    const TParagraphsList& paragraphs = document_.ParagraphList();
    for (int32_t index = 0; index < paragraphs.Count() && paragraphs.FirstLine(index) <= line;) {
        if (paragraphs[index].Formatted) {
            ++index;
            continue;
        }
        int32_t last = index;
        while (last + 1 < paragraphs.Count() && !paragraphs[last + 1].Formatted &&
               paragraphs.FirstLine(last + 1) <= line)
            ++last;
        FormatRange(index, last, false);
        // Formatting changed the line counts: look at the same paragraph
        // again (it cannot still be waiting, but never spin on it).
        if (!paragraphs[index].Formatted)
            ++index;
    }
}

void TTextLayout::formattingDone(int32_t first, int32_t last, bool carryIntoUnformatted, TLineSpan& span) {
    const TParagraphsList& paragraphs = document_.ParagraphList();
    int32_t reached = last;
    if (document_.StaticFormat())
        for (int32_t i = last + 1; i < paragraphs.Count() && (carryIntoUnformatted || paragraphs[i].Formatted) &&
                                   paragraphs[i].FirstLine.Style != endStyle(i - 1);
             ++i) {
            formatOne(i, true, span);
            reached = i;
        }
    for (TCodeNavigator* navigator : document_.Navigators())
        if (navigator->parIndex_ >= first && navigator->parIndex_ <= reached)
            navigator->lineInPar_ = TCodeNavigator::kUnknown;
    if (document_.UpdateCount() > 0)
        document_.formattedInUpdate_ = true;
    const TLayoutChange change{first, reached, span.First, span.Last};
    document_.notify([&](TDocumentWatcher& watcher) { watcher.LayoutChanged(document_, change); });
}

void TTextLayout::FormatPending() {
    // Parsing may hand a changed context on to paragraphs behind the range,
    // which then wait for formatting too.
    while (formatLast_ >= formatNext_) {
        const int32_t first = formatNext_;
        const int32_t last = formatLast_;
        formatNext_ = document_.ParagraphCount();
        formatLast_ = -1;
        FormatRange(first, last, false);
        document_.reportProgress(document_.ParagraphCount(), true);
    }
}

void TTextLayout::ReformatAll() {
    TParagraphsList& paragraphs = document_.paragraphs_;
    for (auto& [paragraph, marks] : lineMarks_)
        const_cast<TParagraph*>(paragraph)->HasLineMarks = 0;
    lineMarks_.clear();
    for (int32_t i = 0; i < paragraphs.Count(); ++i) {
        paragraphs[i].Formatted = 0;
        paragraphs[i].FormatFromLine = 0;
        // A new width or new fonts may change any line, not just the first.
        paragraphs[i].RelayoutThrough = kMaxTextLength;
    }
    ForgetWidest();
    formatNext_ = 0;
    formatLast_ = paragraphs.Count() - 1;
    if (document_.UpdateCount() == 0)
        Schedule();
    document_.notify([&](TDocumentWatcher& watcher) { watcher.LayoutReset(document_); });
}

void TTextLayout::Schedule() {
    if (!BackgroundPending())
        return;
    if (updateMode_ == umImmediate)
        FormatPending();
    else if (updateMode_ == umBackground)
        document_.notify([&](TDocumentWatcher& watcher) { watcher.BackgroundWorkPending(document_); });
}

void TTextLayout::ScheduleParagraph(int32_t index) {
    if (index < 0 || index >= document_.ParagraphCount())
        return;
    if (formatLast_ >= formatNext_) {
        formatNext_ = std::min(formatNext_, index);
        formatLast_ = std::max(formatLast_, index);
    } else {
        formatNext_ = index;
        formatLast_ = index;
    }
}

bool TTextLayout::BackgroundSlice() {
    if (document_.UpdateCount() > 0 || !BackgroundPending())
        return false;
    const TParagraphsList& paragraphs = document_.ParagraphList();
    // A slice of about 25 ms on the document's clock.
    const uint64_t deadline = document_.Now() + 25;
    // The range may grow while the slice runs: parsing a paragraph hands a
    // changed context on to the next one.
    auto last = [&]() { return std::min(formatLast_, paragraphs.Count() - 1); };
    int32_t index = std::max(formatNext_, 0);
    const int32_t first = index;
    TLineSpan span;
    while (index <= last()) {
        if (!paragraphs[index].Formatted) {
            document_.reportProgress(index, false);
            formatOne(index, false, span);
        }
        ++index;
        if (document_.Now() >= deadline)
            break;
    }
    // Paragraphs behind the slice that are still to be formatted get their
    // style when the pass reaches them: carrying it into them now could run
    // far past the slice's time.
    if (index > first)
        formattingDone(first, index - 1, false, span);
    // A paragraph before the slice that parsing scheduled is still to do.
    const bool earlier = formatNext_ < first;
    if (!earlier)
        formatNext_ = index;
    if (index > last() && !earlier) {
        formatNext_ = paragraphs.Count();
        formatLast_ = -1;
        // A finished pass reads as complete whether or not anyone listens.
        document_.progress_ = 100;
        document_.reportProgress(paragraphs.Count(), true);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Measures

void TTextLayout::SetMeasure(const TCodeMeasure* measure, int32_t width) {
    measure_ = measure;
    clientWidth_ = width;
    ReformatAll();
}

void TTextLayout::FormatFor(const TCodeMeasure* measure, int32_t width) {
    if (measure == nullptr) {
        ReformatAll();
        FormatPending();
        return;
    }
    TRestoreOnExit<const TCodeMeasure*> output(outputMeasure_, measure);
    TRestoreOnExit<int32_t> outputWidth(outputWidth_, width);
    ForgetWidest();
    FormatRange(0, document_.ParagraphCount() - 1, true);
}

// ---------------------------------------------------------------------------
// Edits and new texts

void TTextLayout::paragraphsReplaced(int32_t first, int32_t last, int32_t newLast) {
    const int32_t delta = newLast - last;
    // Pending background formatting keeps covering the same paragraphs.
    if (formatLast_ >= formatNext_) {
        if (formatNext_ > last)
            formatNext_ += delta;
        else if (formatNext_ > first)
            formatNext_ = first;
        if (formatLast_ > last)
            formatLast_ += delta;
        else if (formatLast_ >= first)
            formatLast_ = newLast;
    }
    if (widestParagraph_ >= first && widestParagraph_ <= last)
        widestParagraph_ = -1;
    else if (widestParagraph_ > last)
        widestParagraph_ += delta;
}

void TTextLayout::NoteLookKeptFrom(int32_t index, int32_t offset) {
    // Two notes before the lines are laid out: each knows only its own
    // change.
    if (lookHint_ != kNoLookHint) {
        lookHint_ = kSpoiledLookHint;
        return;
    }
    lookHint_ = kKnownLookHint;
    lookParagraph_ = index;
    lookOffset_ = offset;
}

int32_t TTextLayout::lookKeptFrom(int32_t index) {
    if (lookHint_ != kKnownLookHint || lookParagraph_ != index)
        return kMaxTextLength;
    lookHint_ = kNoLookHint;
    return lookOffset_;
}

void TTextLayout::textReplaced(bool formatAll) {
    lookHint_ = kNoLookHint;
    formatNext_ = 0;
    formatLast_ = formatAll ? document_.ParagraphCount() - 1 : -1;
}
