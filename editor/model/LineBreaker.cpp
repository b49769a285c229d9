// Paragraph formatting: breaking one paragraph into display lines.
//
// Words wrap at blanks when the line is full; a word wider than the whole
// line is broken inside.  Re-formatting starts one line before the first
// line that changed (so that a word can move back up) and, unless asked to
// go to the end, stops as soon as a new line ends where an old one ended:
// typing in a long paragraph touches one or two lines.

#include "editor/model/Characters.h"
#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/StyleCodes.h"

#include <algorithm>
#include <climits>

namespace {

bool SameLine(const TLineRecord& a, const TLineRecord& b) {
    return a.Start == b.Start && a.Stop == b.Stop && a.TextWidth == b.TextWidth && a.FullWidth == b.FullWidth &&
           a.StretchSpaces == b.StretchSpaces && a.StretchStart == b.StretchStart && a.Style == b.Style;
}

// TBytes reads the paragraph's bytes by offset: a plain pointer when its
// text stands in one piece (as every text does that is not being edited),
// else a reader that steps over the gap.
template <class TBytes>
class TLineBreaker {
public:
    TLineBreaker(const TTextLayout& layout, bool staticFormat, bool utf8, TParagraph& paragraph,
                 const TCodeMeasure& measure, int32_t available, std::vector<TLineRecord>& out, TBytes bytes)
        : layout_(layout), p_(paragraph), measure_(measure), available_(available), out_(out),
          text_(paragraph.Text), bytes_(bytes), length_(paragraph.Length()), staticFormat_(staticFormat),
          utf8_(utf8) {
        // Tab stops are counted in the blanks of the measure lines are broken for.
        const int32_t blank = measure.CharWidth(layout.FontStyle() & static_cast<uint8_t>(~kStyleHighlight), ' ');
        tab_ = std::max(layout.TabStops(), 1) * std::max(blank, 1);
    }

    // Formats from line first on; returns the last old line replaced
    // (the paragraph's last line when the end was reached).
    // Lines before changedLine are redone only so that a word may move up:
    // meeting the old layout there proves nothing about the changed lines.
    int32_t Run(int32_t first, bool formatToEnd, int32_t changedLine = 0);
    // Breaks the whole paragraph from its start in static style
    // startStyle into the output only, leaving its own lines alone.
    void RunApart(uint8_t startStyle);

private:
    struct TState {
        uint8_t style;
        int32_t contextIndex;
        const TContextState* context;
        int32_t nextOffset;  // where the record at contextIndex starts (INT32_MAX: none)
    };

    void enterContexts(int32_t position) {
        // Most characters lie before the next record: one comparison.
        if (position < state_.nextOffset)
            return;
        const int32_t count = p_.Contexts.Count();
        while (state_.contextIndex < count && p_.Contexts.Offset(state_.contextIndex) <= position) {
            state_.context = &p_.Contexts.State(state_.contextIndex);
            ++state_.contextIndex;
        }
        state_.nextOffset = state_.contextIndex < count ? p_.Contexts.Offset(state_.contextIndex) : INT32_MAX;
        selectFont();
    }
    int32_t runFrom(int32_t start, uint8_t style);
    void selectFont();
    bool isCode(char c) const { return staticFormat_ && IsStyleCode(c); }
    // The advance of the character at position_; a character of several
    // bytes leaves position_ on its last byte.
    int32_t advanceOfCharacter() {
        const auto byte = static_cast<unsigned char>(bytes_[static_cast<size_t>(position_)]);
        if (byte < 0x80 || !utf8_)
            return advances_[byte];
        const TCharacterWidth character =
            MeasureCharacter(measure_, selectedStyle_, advances_, text_, position_, true);
        position_ += character.Length - 1;
        return character.Width;
    }
    void finishLine(int32_t stop, int32_t textWidth, int32_t fullWidth, int32_t stretch);
    void startLine(int32_t start);
    void breakInside();

    const TTextLayout& layout_;
    TParagraph& p_;
    const TCodeMeasure& measure_;
    int32_t available_;
    std::vector<TLineRecord>& out_;
    const TParagraphText& text_;
    const TBytes bytes_;
    int32_t length_;
    bool staticFormat_;
    bool utf8_;
    int32_t tab_;

    TState state_{};
    const int32_t* advances_ = nullptr;
    int32_t spaceAdvance_ = 1;
    uint8_t selectedStyle_ = 0xFF;

    int32_t position_ = 0;
    int32_t lineStart_ = 0;
    uint8_t lineStyle_ = 0;
    int32_t x_ = 0;
    int32_t spaces_ = 0;
    int32_t stretchStart_ = 0;

    bool formatToEnd_ = true;
    bool stopped_ = false;
    int32_t oldLine_ = 0;
    int32_t replacedLast_ = 0;
    int32_t changedLine_ = 0;
};

template <class TBytes>
void TLineBreaker<TBytes>::selectFont() {
    uint8_t style = layout_.StyleForMeasure(state_.style, *state_.context);
    if (style == selectedStyle_ && advances_ != nullptr)
        return;
    selectedStyle_ = style;
    advances_ = measure_.AdvanceTable(style);
    // A font without a usable blank still moves on at one.  Advances are
    // whole pixels without overhang, so a word is the sum of its characters.
    spaceAdvance_ = std::max(advances_[static_cast<unsigned char>(' ')], 1);
}

template <class TBytes>
void TLineBreaker<TBytes>::startLine(int32_t start) {
    lineStart_ = start;
    lineStyle_ = state_.style;
    x_ = 0;
    spaces_ = 0;
    stretchStart_ = start;
}

template <class TBytes>
void TLineBreaker<TBytes>::finishLine(int32_t stop, int32_t textWidth, int32_t fullWidth, int32_t stretch) {
    TLineRecord line;
    line.Start = lineStart_;
    line.Stop = stop;
    line.TextWidth = textWidth;
    line.FullWidth = fullWidth;
    line.StretchSpaces = stretch;
    line.StretchStart = stretchStart_;
    line.Style = lineStyle_;
    out_.push_back(line);
    if (formatToEnd_)
        return;
    // Stop as soon as the new lines meet the old layout again: an old line
    // (not the last) that ends here, followed by a line that starts in the
    // same style.
    int32_t oldCount = p_.LineCount();
    while (oldLine_ < oldCount && p_.Line(oldLine_).Stop < stop)
        ++oldLine_;
    if (oldLine_ + 1 < oldCount && oldLine_ >= changedLine_ && stop >= p_.RelayoutThrough &&
        p_.Line(oldLine_).Stop == stop && p_.Line(oldLine_ + 1).Style == state_.style) {
        stopped_ = true;
        replacedLast_ = oldLine_;
    }
}

template <class TBytes>
void TLineBreaker<TBytes>::breakInside() {
    int32_t width = 0;
    int32_t taken = 0;
    TState previous = state_;
    int32_t previousWidth = 0;
    int32_t previousPosition = position_;
    while (position_ < length_ && width < available_) {
        previous = state_;
        previousWidth = width;
        previousPosition = position_;
        enterContexts(position_);
        char c = bytes_[static_cast<size_t>(position_)];
        if (c == ' ')
            width += spaceAdvance_;
        else if (c == '\t')
            width = (width / tab_ + 1) * tab_;
        else if (isCode(c))
            state_.style = ToggleStyleBit(state_.style, c), selectFont();
        else
            width += advanceOfCharacter();
        ++position_;
        ++taken;
    }
    // The character that carried the line past its width goes to the next
    // line, unless the line would be left empty.
    int32_t contextStart = state_.contextIndex > 0 ? p_.Contexts.Offset(state_.contextIndex - 1) : -1;
    if (width > available_ && taken > 1 && previousPosition > contextStart) {
        position_ = previousPosition;
        state_ = previous;
        width = previousWidth;
        selectFont();
    }
    finishLine(position_, width, width, 0);
    startLine(position_);
}

template <class TBytes>
void TLineBreaker<TBytes>::RunApart(uint8_t startStyle) {
    formatToEnd_ = true;
    runFrom(0, startStyle);
}

template <class TBytes>
int32_t TLineBreaker<TBytes>::Run(int32_t first, bool formatToEnd, int32_t changedLine) {
    formatToEnd_ = formatToEnd;
    changedLine_ = changedLine;
    oldLine_ = first;
    replacedLast_ = p_.LineCount() - 1;
    const TLineRecord& firstLine = p_.Line(first);
    return runFrom(firstLine.Start, firstLine.Style);
}

template <class TBytes>
int32_t TLineBreaker<TBytes>::runFrom(int32_t start, uint8_t style) {
    state_.style = staticFormat_ ? style : 0;
    state_.contextIndex = p_.ContextIndexAt(start);
    state_.context = state_.contextIndex > 0 ? &p_.Contexts.State(state_.contextIndex - 1) : &p_.Base();
    state_.nextOffset =
        state_.contextIndex < p_.Contexts.Count() ? p_.Contexts.Offset(state_.contextIndex) : INT32_MAX;
    selectFont();
    position_ = start;
    startLine(position_);
    bool madeLine = false;
    int32_t widthBeforeRun = 0;
    while (!stopped_) {
        // Blanks and codes: no break happens inside them.
        widthBeforeRun = x_;
        int32_t spacesBeforeRun = spaces_;
        bool tabInRun = false;
        while (position_ < length_) {
            enterContexts(position_);
            char c = bytes_[static_cast<size_t>(position_)];
            if (c == ' ') {
                x_ += spaceAdvance_;
                ++spaces_;
            } else if (c == '\t') {
                x_ = (x_ / tab_ + 1) * tab_;
                spaces_ = 0;
                stretchStart_ = position_;
                tabInRun = true;
            } else if (isCode(c)) {
                state_.style = ToggleStyleBit(state_.style, c);
                selectFont();
            } else {
                break;
            }
            ++position_;
        }
        if (position_ >= length_)
            break;

        // A word, measured in runs of one style.  Measuring stops once the
        // word is wider than a whole line: it is then broken inside from its
        // start, and the rest of it measured line by line, so a word of a
        // megabyte (a line of encoded data) is not measured again to its
        // end for every line it fills.
        int32_t wordStart = position_;
        int32_t widthBeforeWord = x_;
        TState atWord = state_;
        int32_t word = 0;
        while (position_ < length_ && word <= available_) {
            char c = bytes_[static_cast<size_t>(position_)];
            if (IsBlank(c))
                break;
            enterContexts(position_);
            if (isCode(c)) {
                state_.style = ToggleStyleBit(state_.style, c);
                selectFont();
            } else {
                word += advanceOfCharacter();
            }
            ++position_;
        }

        if (x_ + word <= available_) {
            x_ += word;
            continue;
        }
        // Only codes before the word (no width) leave the line as good as
        // empty: ending it there would show a blank display line, so the
        // word is broken inside on this one instead.
        if (wordStart > lineStart_ && widthBeforeWord > 0) {
            // The line ends in front of the word, which starts the next one.
            TState atEnd = state_;
            state_ = atWord;
            finishLine(wordStart, widthBeforeRun, widthBeforeWord, tabInRun ? 0 : spacesBeforeRun);
            madeLine = true;
            startLine(wordStart);
            if (stopped_)
                break;
            if (word <= available_) {
                state_ = atEnd;
                selectFont();
                x_ = word;
                continue;
            }
            selectFont();
            position_ = wordStart;
        } else {
            state_ = atWord;
            selectFont();
            position_ = wordStart;
        }
        breakInside();
        madeLine = true;
    }
    if (!stopped_ && (lineStart_ < length_ || !madeLine)) {
        // The paragraph's last line; blanks at its end do not count in its
        // text width.
        finishLine(length_, widthBeforeRun, x_, 0);
        stopped_ = false;
        replacedLast_ = p_.LineCount() - 1;
    }
    return stopped_ ? replacedLast_ : p_.LineCount() - 1;
}

// Runs a line breaker over paragraph p with the reader that suits its text.
template <class TRun>
auto WithLineBreaker(const TTextLayout& layout, bool staticFormat, bool utf8, TParagraph& p, const TCodeMeasure& measure,
                     int32_t available, std::vector<TLineRecord>& out, TRun run) {
    if (!p.Text.HasGap()) {
        TLineBreaker<const char*> breaker(layout, staticFormat, utf8, p, measure, available, out,
                                          p.Text.Pieces(0, p.Text.size()).First.data());
        return run(breaker);
    }
    TLineBreaker<TParagraphText::TReader> breaker(layout, staticFormat, utf8, p, measure, available, out,
                                                  TParagraphText::TReader(p.Text));
    return run(breaker);
}

}  // namespace

void TTextLayout::BreakParagraph(const TCodeMeasure* measure, int32_t width, int32_t index, int32_t& firstLine,
                                 int32_t& lastLine, bool formatToEnd) {
    TParagraphsList& paragraphs = document_.paragraphs_;
    TParagraph& p = paragraphs[index];
    // The highlighter's keyword hook runs even with the document's own
    // keywords off.
    if (!p.KeywordsApplied &&
        (document_.Fields().ApplyKeyWordsEnabled || document_.Highlighting().Highlighter() != nullptr)) {
        keywordsFrom_->SetPos(paragraphs.Start(index));
        keywordsTo_->SetPos(paragraphs.Start(index) + p.Length());
        document_.ApplyKeywords(*keywordsFrom_, *keywordsTo_);
        keywordsFrom_->Invalidate();
        keywordsTo_->Invalidate();
    }
    p.Formatted = 1;
    p.KeywordsApplied = 1;
    const int32_t oldCount = p.LineCount();

    if (measure == nullptr) {
        ForgetLineMarks(p);
        p.ResetToOneLine();
        firstLine = 0;
        lastLine = 0;
    } else {
        const int32_t available = availableWidth(width);
        // From the line before the one where the changed word begins, so
        // that the word can move back up (a long word broken over several
        // lines may now fit after the line it used to leave), also when
        // formatting runs to the end.
        // A word that began before the line above the changed one fills
        // that line whole: it was wider than a line before the change and
        // still is, so the lines before it stay.  The walk back stops there,
        // and a word of a megabyte is not walked for every key.
        const int32_t changed = std::clamp(firstLine, 0, oldCount - 1);
        int32_t anchor = p.Line(changed).Start;
        const int32_t floor = changed > 0 ? p.Line(changed - 1).Start : 0;
        while (anchor > floor && !IsBlank(p.Text[static_cast<size_t>(anchor - 1)]))
            --anchor;
        int32_t first = std::clamp(p.LineOfOffset(anchor) - 1, 0, oldCount - 1);
        // A line laid out from the paragraph's start that no width breaks
        // is measured through its marks when it is long.
        if (first == 0 && layOutWithMarks(p, *measure, width)) {
            updateWidest(index, p.FirstLine.TextWidth);
            firstLine = 0;
            lastLine = 0;
            document_.lineCountChanged(index, p.LineCount() - oldCount);
            return;
        }
        newLines_.clear();
        int32_t replacedLast = WithLineBreaker(*this, document_.StaticFormat(), document_.IsUtf8(), p, *measure, available,
                                               newLines_, [&](auto& breaker) {
                                                   return breaker.Run(first, formatToEnd, std::clamp(firstLine, 0, oldCount - 1));
                                               });

        // Lines before the changed one that come out as they were show the
        // same text as before: they are not reported as laid out anew.
        const int32_t changedLine = std::clamp(firstLine, 0, oldCount - 1);
        int32_t same = 0;
        while (first + same < changedLine && first + same <= replacedLast &&
               same + 1 < static_cast<int32_t>(newLines_.size()) &&
               SameLine(newLines_[static_cast<size_t>(same)], p.Line(first + same)))
            ++same;
        // Lines behind the changed one that come out as they were, where the
        // look is known to be kept, show the same text as before too.
        int32_t reported = static_cast<int32_t>(newLines_.size()) - 1;
        const int32_t keptFrom = formatToEnd ? kMaxTextLength : lookKeptFrom(index);
        while (reported > same && replacedLast - (static_cast<int32_t>(newLines_.size()) - 1 - reported) > changedLine) {
            const TLineRecord& line = newLines_[static_cast<size_t>(reported)];
            const int32_t oldLine = replacedLast - (static_cast<int32_t>(newLines_.size()) - 1 - reported);
            if (line.Start < keptFrom || !SameLine(line, p.Line(oldLine)))
                break;
            --reported;
        }
        // The new lines take the place of the old lines first..replacedLast.
        p.ReplaceLines(first, replacedLast, newLines_);
        for (const TLineRecord& line : newLines_)
            updateWidest(index, line.TextWidth);
        firstLine = first + same;
        lastLine = std::max(first + reported, firstLine);
    }
    document_.lineCountChanged(index, p.LineCount() - oldCount);
}

int32_t TTextLayout::availableWidth(int32_t width) const {
    const int32_t available = wordWrap_ || alignment_ != taLeftJustify ? width - leftMargin_ - rightMargin_
                                                                       : INT32_MAX - std::max(rightMargin_, 0);
    return std::max(available, 1);
}

void TTextLayout::BreakApart(const TCodeMeasure& measure, int32_t width, int32_t index, uint8_t startStyle,
                             std::vector<TLineRecord>& lines) const {
    TParagraph& p = document_.paragraphs_[index];
    lines.clear();
    WithLineBreaker(*this, document_.StaticFormat(), document_.IsUtf8(), p, measure, availableWidth(width), lines,
                    [&](auto& breaker) { breaker.RunApart(startStyle); });
}

// ---------------------------------------------------------------------------
// Long unbroken lines, measured through their marks

TLineMarkRules TTextLayout::lineMarkRules(const TParagraph& p) const {
    TLineMarkRules rules;
    rules.Measure = measure_;
    rules.Revision = measure_ != nullptr ? measure_->Revision() : 0;
    rules.TabWidth = std::max(tabStops_, 1) * AverageCharWidth();
    rules.Spacing = lineMarkSpacing_;
    rules.FontStyle = fontStyle_;
    rules.StaticFormat = document_.StaticFormat();
    rules.StartStyle = rules.StaticFormat ? p.FirstLine.Style : 0;
    rules.Utf8 = document_.IsUtf8();
    return rules;
}

bool TTextLayout::layOutWithMarks(TParagraph& p, const TCodeMeasure& measure, int32_t width) {
    const int32_t available = availableWidth(width);
    const bool unbroken = !wordWrap_ && alignment_ == taLeftJustify && outputMeasure_ == nullptr && &measure == measure_;
    if (!unbroken || lineMarkSpacing_ <= 0 || p.Length() / 4 < lineMarkSpacing_) {
        ForgetLineMarks(p);
        return false;
    }
    const TLineMarkRules rules = lineMarkRules(p);
    TLineMarks& marks = lineMarks_[&p];
    p.HasLineMarks = 1;
    if (!marks.Update(p, *this, rules))
        marks.Build(p, *this, rules);
    // Line breaking gives a blank at least a pixel; and a line too wide
    // for the numbers of a line record is broken after all.
    if (!marks.BlanksAgree() || marks.FullWidth() >= available / 2) {
        ForgetLineMarks(p);
        return false;
    }
    TLineRecord line;
    line.Start = 0;
    line.Stop = p.Length();
    line.TextWidth = static_cast<int32_t>(marks.TextWidth());
    line.FullWidth = static_cast<int32_t>(marks.FullWidth());
    line.StretchSpaces = 0;
    line.StretchStart = marks.StretchStart();
    line.Style = rules.StartStyle;
    p.ReplaceLines(0, p.LineCount() - 1, {line});
    return true;
}

void TTextLayout::SetLineMarkSpacing(int32_t bytes) {
    lineMarkSpacing_ = std::max(bytes, 0);
    ReformatAll();
}

const TLineMarks* TTextLayout::LineMarksOf(const TParagraph& paragraph) const {
    if (!paragraph.HasLineMarks || !paragraph.Formatted || paragraph.LineCount() != 1 || outputMeasure_ != nullptr)
        return nullptr;
    const auto found = lineMarks_.find(&paragraph);
    if (found == lineMarks_.end())
        return nullptr;
    const TLineMarks& marks = found->second;
    if (marks.Pending() || marks.Length() != paragraph.Length() || !marks.BlanksAgree() ||
        !(marks.Rules() == lineMarkRules(paragraph)))
        return nullptr;
    return &marks;
}

void TTextLayout::LineEdited(TParagraph& paragraph, int32_t from, int32_t to, int32_t inserted) {
    if (!paragraph.HasLineMarks)
        return;
    const auto found = lineMarks_.find(&paragraph);
    if (found != lineMarks_.end())
        found->second.NoteEdit(from, to, inserted);
}

void TTextLayout::LineRestyled(TParagraph& paragraph, int32_t from, int32_t to) {
    if (!paragraph.HasLineMarks)
        return;
    const auto found = lineMarks_.find(&paragraph);
    if (found != lineMarks_.end())
        found->second.NoteChange(std::clamp(from, 0, paragraph.Length()), std::clamp(to, 0, paragraph.Length()));
}

void TTextLayout::ForgetLineMarks(TParagraph& paragraph) {
    if (!paragraph.HasLineMarks)
        return;
    paragraph.HasLineMarks = 0;
    lineMarks_.erase(&paragraph);
}

void TTextLayout::ForgetAllLineMarks() {
    // The paragraphs may be gone already: only the table is cleared.
    lineMarks_.clear();
}
