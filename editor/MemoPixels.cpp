// Mapping between text positions and pixels.  OffsetToX and XToOffset walk
// a display line exactly as painting does: the same fonts (style codes and
// context records), tab stops from the line's own left edge, justified
// blanks widened by the canvas's own rule.  So a position turned into a
// pixel and back is the same position, and the caret stands where the
// character is painted.

#include "editor/MemoView.h"

#include "editor/CodeMemo.h"
#include "editor/LineWalk.h"
#include "editor/model/Characters.h"

#include <algorithm>
#include <optional>

namespace {

// Horizontal layout of a line for a client width and horizontal offset.
TLineLayout layoutLine(const TTextLayout& rules, bool justified, const TLineRecord& line, int32_t clientWidth,
                       int32_t hOffset) {
    TLineLayout layout;
    layout.TabWidth = std::max(rules.TabStops(), 1) * std::max(rules.AverageCharWidth(), 1);
    layout.Justified = justified && line.StretchStart < line.Stop;
    int32_t left = rules.LeftMargin() - hOffset;
    int32_t right = clientWidth - rules.RightMargin();
    if (!layout.Justified) {
        if (rules.Alignment() == taRightJustify)
            left = right - line.TextWidth;
        else if (rules.Alignment() == taCenter)
            left = (left + right - line.TextWidth) / 2;
    }
    layout.Left = left;
    if (justified && line.StretchSpaces > 0) {
        layout.StretchExtra = clientWidth - rules.LeftMargin() - rules.RightMargin() - line.TextWidth;
        layout.StretchCount = line.StretchSpaces;
        layout.StretchStart = line.StretchStart;
    }
    return layout;
}

// A display line walked with a measure: the run state, the counter of the
// justified blanks and the advance table of the font in force.
struct TMeasuredWalk {
    const TTextLayout& Rules;
    bool StaticFormat;
    const TCodeMeasure& Measure;
    const TLineLayout& Layout;
    bool Utf8;
    TLineWalk Walk;
    TStretchCounter Stretch;
    const int32_t* Advances = nullptr;
    uint8_t Style = 0;

    // From the line's start, or from a mark on it (a line with marks has
    // no stretched blanks).
    TMeasuredWalk(const TTextLayout& rules, bool staticFormat, bool utf8, const TCodeMeasure& measure,
                  const TParagraph& paragraph, const TLineRecord& line, const TLineLayout& layout,
                  const TLineMark* mark = nullptr)
        : Rules(rules), StaticFormat(staticFormat), Measure(measure), Layout(layout), Utf8(utf8),
          Walk(paragraph, line, staticFormat, mark != nullptr ? mark->Offset : line.Start,
               mark != nullptr ? mark->Style : line.Style) {
        if (layout.StretchCount > 0 && layout.StretchStart == line.Start)
            Stretch.Set(layout.StretchExtra, layout.StretchCount);
        SelectFont();
    }
    // Looks up the advances again after the style or the context changed.
    void SelectFont() {
        Style = Rules.StyleForMeasure(Walk.StaticStyle, *Walk.Context);
        Advances = Measure.AdvanceTable(Style);
    }
    // The width of the character at position as the font in force draws it.
    TCharacterWidth Character(int32_t position) const {
        return MeasureCharacter(Measure, Style, Advances, Walk.Paragraph.Text, position, Utf8);
    }

    // Steps over the character at position, x pixels into the line (position
    // moves on past it), and answers its width: a tab reaches the next stop
    // (and the justified blanks after it are spread anew), a blank of a
    // justified line gets its share of the spare pixels.  A style code has
    // no width (nullopt): it changes the font instead.
    [[gnu::always_inline]] std::optional<int64_t> Step(int32_t& position, int64_t x) {
        if (Walk.Enter(position))
            SelectFont();
        const char c = Walk.At(position);
        if (c == '\t') {
            ++position;
            if (Layout.StretchCount > 0 && position - 1 >= Layout.StretchStart)
                Stretch.Set(Layout.StretchExtra, Layout.StretchCount);
            return (x / Layout.TabWidth + 1) * Layout.TabWidth - x;
        }
        if (StaticFormat && IsStyleCode(c)) {
            ++position;
            Walk.StaticStyle = ToggleStyleBit(Walk.StaticStyle, c);
            SelectFont();
            return std::nullopt;
        }
        const bool stretched = c == ' ' && Stretch.Active() && position >= Layout.StretchStart;
        int32_t width;
        if (!Utf8 || static_cast<unsigned char>(c) < 0x80) {
            // One byte, one look-up: the common case.
            width = Advances[static_cast<unsigned char>(c)];
            ++position;
        } else {
            const TCharacterWidth character = Character(position);
            width = character.Width;
            position += character.Length;
        }
        return stretched ? width + Stretch.Next() : width;
    }

    // x after walking from position to end: Step character by character,
    // with the characters up to the next record that need nothing of their
    // own (no tab, code, stretched blank or multi-byte character) summed in
    // one loop.
    int64_t Advance(int32_t position, int32_t end, int64_t x) {
        const TParagraphText::TReader text(Walk.Paragraph.Text);
        while (position < end) {
            if (Walk.Enter(position))
                SelectFont();
            const int32_t stop = std::min(end, Walk.NextBoundary());
            // (The stretch counts from its start on: only a tab there, which
            // Step takes, sets it going.)
            const bool blanksStretch = Stretch.Active() && position >= Layout.StretchStart;
            while (position < stop) {
                const auto c = static_cast<unsigned char>(text[static_cast<size_t>(position)]);
                if (c == '\t' || (StaticFormat && IsStyleCode(static_cast<char>(c))) || (Utf8 && c >= 0x80) ||
                    (blanksStretch && c == ' '))
                    break;
                x += Advances[c];
                ++position;
            }
            if (position < stop)
                x += Step(position, x).value_or(0);
        }
        return x;
    }
};

} // namespace

// A display line as OffsetToX and XToOffset see it: its paragraph, the
// line itself, the measure in force (none before the memo can measure),
// the line's layout and its marks (when it is a long unbroken line).
struct TMemoView::TPixelLine {
    const TParagraph& Paragraph;
    const TLineRecord& Line;
    const TCodeMeasure* Measure;
    TLineLayout Layout;
    const TLineMarks* Marks;
};

// The paragraph is looked up by index when not given; the line index is
// clamped to the paragraph's lines.  Drawing on an output canvas ignores
// the window's horizontal scrolling.
TMemoView::TPixelLine TMemoView::pixelLine(TParagraph* paragraph, int32_t index, int32_t lineInPar) const {
    if (paragraph == nullptr)
        paragraph = document_.ParagraphList().GetItem(index);
    const TLineRecord& line = paragraph->Line(std::clamp(lineInPar, 0, paragraph->LineCount() - 1));
    const int32_t hOffset = drawingOnOutput_ ? 0 : leftPixel_;
    const TTextLayout& layout = document_.Layout();
    TLineLayout lineLayout = LineLayout(line, layout.ActiveWidth(), hOffset);
    const TLineMarks* marks =
        drawingOnOutput_ || lineLayout.StretchCount > 0 ? nullptr : layout.LineMarksOf(*paragraph);
    return {*paragraph, line, layout.ActiveMeasure(), lineLayout, marks};
}

TLineLayout TMemoView::LineLayout(const TLineRecord& line, int32_t clientWidth, int32_t hOffset) const {
    return layoutLine(document_.Layout(), memo_.Justified, line, clientWidth, hOffset);
}

int32_t TMemoView::NavigatorX(TCodeNavigator& navigator) {
    return OffsetToX(navigator.Paragraph(), navigator.ParNumber(), navigator.LineInPar(),
                     navigator.ColumnInLine());
}

int32_t TMemoView::OffsetToX(TParagraph* paragraph, int32_t index, int32_t lineInPar, int32_t offsetInLine) {
    const auto [p, line, measure, layout, marks] = pixelLine(paragraph, index, lineInPar);
    if (measure == nullptr) {
        caretCharWidth_ = 0;
        return layout.Left;
    }
    const int32_t end = std::clamp(line.Start + std::max(offsetInLine, 0), line.Start, std::max(line.Stop, line.Start));
    // A long line is walked from the mark before the position.
    const TLineMark* mark = marks != nullptr ? &marks->AtOrBefore(end) : nullptr;
    TMeasuredWalk run(document_.Layout(), document_.StaticFormat(), document_.IsUtf8(), *measure, p, line, layout,
                      mark);
    const int64_t x = run.Advance(mark != nullptr ? mark->Offset : line.Start, end, mark != nullptr ? mark->X : 0);
    // The character at the position, for the wide overwrite caret.
    caretCharWidth_ = 0;
    if (end < p.Length()) {
        TLineWalk& walk = run.Walk;
        walk.Enter(end);
        char c = walk.At(end);
        if (!(document_.StaticFormat() && IsStyleCode(c))) {
            run.SelectFont();
            caretCharWidth_ = run.Character(end).Width;
        }
    }
    return static_cast<int32_t>(layout.Left + x);
}

int32_t TMemoView::XToOffset(TParagraph* paragraph, int32_t index, bool exactColumn, int32_t x, int32_t lineInPar) {
    const auto [p, line, measure, layout, marks] = pixelLine(paragraph, index, lineInPar);
    if (measure == nullptr)
        return 0;
    // The pointer relative to the line's first character.
    const int64_t pointer = static_cast<int64_t>(x) - layout.Left;
    // Every character left of a mark left of the pointer is passed: a long
    // line is walked from the last such mark.
    const TLineMark* mark = marks != nullptr ? &marks->LeftOf(pointer) : nullptr;
    TMeasuredWalk run(document_.Layout(), document_.StaticFormat(), document_.IsUtf8(), *measure, p, line, layout,
                      mark);
    int64_t left = mark != nullptr ? mark->X : 0;
    int32_t i = mark != nullptr ? mark->Offset : line.Start;
    while (i < line.Stop) {
        const int32_t at = i;
        const std::optional<int64_t> width = run.Step(i, left);
        // Codes have no width: the position after them is as near.
        if (!width)
            continue;
        // A character is passed once the pointer reaches its middle; a
        // character without width only when the pointer is beyond it.
        if (pointer - left < std::max<int64_t>(*width / 2, 1)) {
            i = at;
            break;
        }
        left += *width;
    }
    i = std::min(i, line.Stop);
    int32_t count = i - line.Start;
    // A click inside a tab's blank space stays before the tab; the caller
    // adds virtual columns for the rest.
    if (exactColumn && count > 0 && pointer < left && run.Walk.At(i - 1) == '\t')
        --count;
    return count;
}

int32_t TMemoView::CaretColumn() const {
    const TTextLayout& layout = document_.Layout();
    return std::max((caretX_ + leftPixel_ - layout.LeftMargin()) / layout.AverageCharWidth(), 0);
}

int32_t TMemoView::BlankColumns(int32_t fromX, int32_t toX) const {
    return std::max(toX - fromX, 0) / document_.Layout().AverageCharWidth();
}

int32_t TMemoView::LineToY(int32_t line) const {
    if (topPixel_ >= 0)
        return line * lineHeight_ - (lineHeight_ > 0 ? topPixel_ % lineHeight_ : 0);
    return line * lineHeight_ - topPixel_;
}

int32_t TMemoView::YToLine(int32_t y) const {
    if (lineHeight_ < 1)
        return 0;
    if (topPixel_ >= 0)
        return (y + topPixel_ % lineHeight_) / lineHeight_;
    return (y + topPixel_) / lineHeight_;
}
