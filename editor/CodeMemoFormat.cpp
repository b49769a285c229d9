// Keeping the display lines up to date: the update after an edit, pending
// formatting, re-formatting everything, formatting for another measure
// (printing), and the context bookkeeping that highlighting builds on.

#include "editor/CodeMemo.h"
#include "editor/ContextEditing.h"
#include "editor/FontMeasure.h"
#include "editor/MemoGuards.h"

#include "platform/ui/TickSource.h"

#include <algorithm>

int32_t TCodeMemo::AverageCharWidth() const {
    const TCodeMeasure* measure = activeMeasure();
    if (measure == nullptr)
        return 1;
    // A font without a usable blank still gives tabs a width.
    return std::max(measure->CharWidth(fontStyleBits() & static_cast<uint8_t>(~kStyleHighlight), ' '), 1);
}

void TCodeMemo::updateWidest(int32_t paragraph, int32_t width) {
    if (width > widestWidth_ || widestParagraph_ < 0) {
        widestWidth_ = std::max(width, widestParagraph_ < 0 ? 0 : widestWidth_);
        widestParagraph_ = paragraph;
    }
}

uint8_t TCodeMemo::endStyle(int32_t index) const {
    const TParagraph& p = paragraphs_[index];
    return p.StyleAt(p.LineCount() - 1, p.Length());
}

int32_t TCodeMemo::formatOne(int32_t index, bool force) {
    if (!paragraphs_[index].Parsed)
        ParseUpTo(index);
    TParagraph& p = paragraphs_[index];
    if (staticFormat_) {
        // The static style carries over from the paragraph before.
        uint8_t style = index > 0 ? endStyle(index - 1) : 0;
        if (p.FirstLine.Style != style) {
            p.FirstLine.Style = style;
            force = true;
        }
    }
    const int32_t oldCount = p.LineCount();
    int32_t first = force ? 0 : std::min(p.FormatFromLine, oldCount - 1);
    int32_t last = oldCount - 1;
    FormatParagraph(activeMeasure(), activeWidth(), index, first, last, force || p.RelayoutToEnd);
    p.RelayoutToEnd = 0;
    p.Formatted = 1;
    p.FormatFromLine = kMaxTextLength;
    return p.LineCount() - oldCount;
}

void TCodeMemo::FormatRange(int32_t first, int32_t last, bool force) {
    first = std::max(first, 0);
    last = std::min(last, paragraphs_.Count() - 1);
    bool any = false;
    for (int32_t i = first; i <= last; ++i) {
        if (!force && paragraphs_[i].Formatted)
            continue;
        reportProgress(i, false);
        formatOne(i, force);
        any = true;
    }
    if (any)
        formattingDone(first, last, true);
}

void TCodeMemo::formattingDone(int32_t first, int32_t last, bool carryIntoUnformatted) {
    int32_t reached = last;
    if (staticFormat_)
        for (int32_t i = last + 1; i < paragraphs_.Count() && (carryIntoUnformatted || paragraphs_[i].Formatted) &&
                                   paragraphs_[i].FirstLine.Style != endStyle(i - 1);
             ++i) {
            formatOne(i, true);
            reached = i;
        }
    for (TCodeNavigator* navigator : navigators_)
        if (navigator->parIndex_ >= first && navigator->parIndex_ <= reached)
            navigator->lineInPar_ = TCodeNavigator::kUnknown;
    displayAfterFormat(first, reached);
}

void TCodeMemo::FormatPending() {
    // Parsing may hand a changed context on to paragraphs behind the range,
    // which then wait for formatting too.
    while (formatLast_ >= formatNext_) {
        int32_t first = formatNext_;
        int32_t last = formatLast_;
        formatNext_ = paragraphs_.Count();
        formatLast_ = -1;
        FormatRange(first, last, false);
        reportProgress(paragraphs_.Count(), true);
    }
}

void TCodeMemo::ReformatAll() {
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        paragraphs_[i].Formatted = 0;
        paragraphs_[i].FormatFromLine = 0;
        // A new width or new fonts may change any line, not just the first.
        paragraphs_[i].RelayoutToEnd = 1;
    }
    widestWidth_ = 0;
    widestParagraph_ = -1;
    formatNext_ = 0;
    formatLast_ = paragraphs_.Count() - 1;
    if (updateCount_ == 0)
        scheduleFormatting();
    displayAfterReformat();
}

void TCodeMemo::scheduleFormatting() {
    if (!BackgroundPending())
        return;
    if (updateMode_ == umImmediate) {
        FormatPending();
    } else if (updateMode_ == umBackground && !backgroundPosted_) {
        backgroundPosted_ = PostMessage(this, WM_CODEMEMO_BACKGROUND, 1, 0);
    }
}

void TCodeMemo::BackgroundFormat(TMessage& message) {
    if (message.WParam != 0)
        backgroundPosted_ = false;
    if (updateCount_ > 0 || !BackgroundPending())
        return;
    // A slice of about 25 ms; the tick source is the platform's, so tests
    // drive it with a manual clock.
    const uint64_t deadline = GetTickCount64() + 25;
    // The range may grow while the slice runs: parsing a paragraph hands a
    // changed context on to the next one.
    auto last = [this]() { return std::min(formatLast_, paragraphs_.Count() - 1); };
    int32_t index = std::max(formatNext_, 0);
    int32_t first = index;
    while (index <= last()) {
        if (!paragraphs_[index].Formatted) {
            reportProgress(index, false);
            formatOne(index, false);
        }
        ++index;
        if (GetTickCount64() >= deadline)
            break;
    }
    // Paragraphs behind the slice that are still to be formatted get their
    // style when the pass reaches them: carrying it into them now could run
    // far past the slice's time.
    if (index > first)
        formattingDone(first, index - 1, false);
    // A paragraph before the slice that parsing scheduled is still to do.
    const bool earlier = formatNext_ < first;
    if (!earlier)
        formatNext_ = index;
    if (index > last() && !earlier) {
        formatNext_ = paragraphs_.Count();
        formatLast_ = -1;
        // A finished pass reads as complete whether or not anyone listens.
        progress_ = 100;
        reportProgress(paragraphs_.Count(), true);
        return;
    }
    // Only re-posts itself: the event loop delivers what else is pending.
    if (message.WParam != 0 && updateMode_ == umBackground && !backgroundPosted_)
        backgroundPosted_ = PostMessage(this, WM_CODEMEMO_BACKGROUND, 1, 0);
}

void TCodeMemo::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_CODEMEMO_BACKGROUND:
        BackgroundFormat(message);
        return;
    case CM_FONTCHANGED:
        ReformatAll();
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(message);
}

void TCodeMemo::SetMeasuringContext(TTextMeasurer* measurer, int32_t clientWidth) {
    fontMeasure_ = measurer != nullptr ? std::make_unique<TFontMeasure>(*measurer, Font(), altFont_) : nullptr;
    SetMeasuringContext(static_cast<const TCodeMeasure*>(fontMeasure_.get()), clientWidth);
}

void TCodeMemo::SetMeasuringContext(const TCodeMeasure* measure, int32_t clientWidth) {
    measure_ = measure;
    clientWidth_ = clientWidth;
    ReformatAll();
}

void TCodeMemo::FormatOnCanvas(TCanvas* canvas, int32_t width) {
    if (canvas == nullptr) {
        FormatOnCanvas(static_cast<const TCodeMeasure*>(nullptr), 0);
        return;
    }
    canvas->SetFont(Font());
    TFontMeasure measure(canvas->Measurer(), Font(), altFont_);
    FormatOnCanvas(&measure, width);
}

void TCodeMemo::FormatOnCanvas(const TCodeMeasure* measure, int32_t width) {
    if (measure == nullptr) {
        ReformatAll();
        FormatPending();
        return;
    }
    TRestoreOnExit<const TCodeMeasure*> output(outputMeasure_, measure);
    TRestoreOnExit<int32_t> outputWidth(outputWidth_, width);
    widestWidth_ = 0;
    widestParagraph_ = -1;
    FormatRange(0, paragraphs_.Count() - 1, true);
}

void TCodeMemo::UpdateAfterEdit() {
    const int32_t changedLine = firstChangedLine_;
    const int32_t changedLast = lastChangedPar_;
    if (firstChangedPar_ <= lastChangedPar_) {
        int32_t first = std::clamp(firstChangedPar_, 0, paragraphs_.Count() - 1);
        int32_t last = std::clamp(lastChangedPar_, 0, paragraphs_.Count() - 1);
        FormatRange(first, last, false);
    }
    firstChangedPar_ = paragraphs_.Count();
    lastChangedPar_ = -1;
    firstChangedLine_ = lineCount_;
    scheduleFormatting();
    displayAfterEdit(changedLine, changedLast);
    Change();
}

void TCodeMemo::Change() {
    // Attached components (the gutter) hear of every change of the text.
    if (AttachedCount() > 0)
        Perform(CM_TEXTCHANGED);
    if (OnChange)
        OnChange(this);
}

void TCodeMemo::InvalidateNavigators(int32_t offset, int32_t lastParagraph) {
    for (TCodeNavigator* navigator : navigators_)
        if (navigator->parIndex_ >= 0 && navigator->offset_ > offset && navigator->parIndex_ <= lastParagraph)
            navigator->InvalidateLineAndContext();
}

void TCodeMemo::ApplyContext(TCodeNavigator& first, TCodeNavigator& second, bool recordChange, bool opening,
                             const TContextRecord& context) {
    TCodeNavigator& low = first.Pos() <= second.Pos() ? first : second;
    TCodeNavigator& high = first.Pos() <= second.Pos() ? second : first;
    int32_t lowPar = low.ParNumber();
    int32_t highPar = high.ParNumber();
    int32_t lowOffset = low.ParOffset();
    int32_t highOffset = high.ParOffset();
    if (recordChange) {
        firstChangedPar_ = std::min(firstChangedPar_, lowPar);
        lastChangedPar_ = std::max(lastChangedPar_, highPar);
        firstChangedLine_ = std::min(firstChangedLine_, low.LineNumber());
    }
    // The text after the range keeps the context it had.
    TContextRecord restore = paragraphs_[highPar].ContextBefore(highOffset + 1);
    for (int32_t index = lowPar; index <= highPar; ++index) {
        TParagraph& p = paragraphs_[index];
        int32_t from = index == lowPar ? lowOffset : 0;
        int32_t to = index == highPar ? highOffset : p.Length() + 2;
        RemoveContexts(p, from, to);
        p.Formatted = 0;
        if (index > lowPar)
            p.BaseContext = CopyBaseContext(context);
    }
    TContextRecord record = context;
    if (opening)
        record.Flags |= TContextRecord::kStyled;
    if (opening || (context.Flags & TContextRecord::kStyled) != 0) {
        TParagraph& p = paragraphs_[lowPar];
        record.Offset = lowOffset;
        p.Contexts.insert(p.Contexts.begin() + p.ContextIndexAt(lowOffset), record);
    }
    if (high.Pos() < textLength_) {
        TParagraph& p = paragraphs_[highPar];
        int32_t at = p.ContextIndexAt(highOffset);
        if (at >= static_cast<int32_t>(p.Contexts.size()) || p.Contexts[static_cast<size_t>(at)].Offset != highOffset) {
            restore.Offset = highOffset;
            p.Contexts.insert(p.Contexts.begin() + at, restore);
        }
    }
    InvalidateNavigators(low.Pos() - 1, highPar);
    low.InvalidateLineAndContext();
    high.InvalidateLineAndContext();
}

void TCodeMemo::ReApplyKeywords() {
    TBaseContext shared = paragraphs_[0].BaseContext;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        TParagraph& p = paragraphs_[i];
        p.Formatted = 0;
        p.Parsed = 0;
        p.KeywordsApplied = 0;
        p.Contexts.clear();
        p.BaseContext = shared;
    }
    for (TCodeNavigator* navigator : navigators_)
        navigator->InvalidateLineAndContext();
    validHighlight_ = -1;
    SetHighlightRange(0, paragraphs_.Count() - 1);
    ReformatAll();
}
