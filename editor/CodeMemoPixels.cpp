// Mapping between text positions and pixels.  OffsetToX and XToOffset walk
// a display line exactly as painting does: the same fonts (style codes and
// context records), tab stops from the line's own left edge, justified
// blanks widened by the canvas's own rule.  So a position turned into a
// pixel and back is the same position, and the caret stands where the
// character is painted.

#include "editor/CodeMemo.h"
#include "editor/MemoRunState.h"

#include <algorithm>

namespace {

// Horizontal layout of a line for a client width and horizontal offset.
TLineLayout layoutLine(const TCodeMemo& memo, const TLineRecord& line, int32_t clientWidth, int32_t hOffset,
                       int32_t averageWidth) {
    TLineLayout layout;
    layout.TabWidth = std::max(memo.TabStops(), 1) * std::max(averageWidth, 1);
    layout.Justified = memo.Justified && line.StretchStart < line.Stop;
    int32_t left = memo.LeftMargin() - hOffset;
    int32_t right = clientWidth - memo.RightMargin();
    if (!layout.Justified) {
        if (memo.Alignment() == taRightJustify)
            left = right - line.TextWidth;
        else if (memo.Alignment() == taCenter)
            left = (left + right - line.TextWidth) / 2;
    }
    layout.Left = left;
    if (memo.Justified && line.StretchSpaces > 0) {
        layout.StretchExtra = clientWidth - memo.LeftMargin() - memo.RightMargin() - line.TextWidth;
        layout.StretchCount = line.StretchSpaces;
        layout.StretchStart = line.StretchStart;
    }
    return layout;
}

} // namespace

TLineLayout memoLineLayout(TCodeMemo& memo, const TLineRecord& line, int32_t clientWidth, int32_t hOffset) {
    return layoutLine(memo, line, clientWidth, hOffset, memo.AverageCharWidth());
}

int32_t TCodeMemo::NavigatorX(TCodeNavigator& navigator) {
    return OffsetToX(navigator.Paragraph(), navigator.ParNumber(), navigator.LineInPar(),
                     navigator.ColumnInLine());
}

int32_t TCodeMemo::OffsetToX(TParagraph* paragraph, int32_t index, int32_t lineInPar, int32_t offsetInLine) {
    if (paragraph == nullptr)
        paragraph = paragraphs_.GetItem(index);
    const TParagraph& p = *paragraph;
    lineInPar = std::clamp(lineInPar, 0, p.LineCount() - 1);
    const TLineRecord& line = p.Line(lineInPar);
    const TCodeMeasure* measure = outputMeasure_ != nullptr ? outputMeasure_ : measure_;
    const int32_t clientWidth = outputMeasure_ != nullptr ? outputWidth_ : clientWidth_;
    const int32_t hOffset = outputCanvas_ != nullptr ? 0 : leftPixel_;
    TLineLayout layout = layoutLine(*this, line, clientWidth, hOffset, AverageCharWidth());
    if (measure == nullptr) {
        caretCharWidth_ = 0;
        return layout.Left;
    }
    const int32_t end = std::clamp(line.Start + std::max(offsetInLine, 0), line.Start, std::max(line.Stop, line.Start));
    TLineWalk walk(p, line, staticFormat_);
    TStretchCounter stretch;
    if (layout.StretchCount > 0 && layout.StretchStart == line.Start)
        stretch.Set(layout.StretchExtra, layout.StretchCount);
    const int32_t* advances = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context));
    int32_t x = 0;
    for (int32_t i = line.Start; i < end; ++i) {
        if (walk.Enter(i))
            advances = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context));
        char c = walk.At(i);
        if (c == '\t') {
            x = (x / layout.TabWidth + 1) * layout.TabWidth;
            if (layout.StretchCount > 0 && i >= layout.StretchStart)
                stretch.Set(layout.StretchExtra, layout.StretchCount);
        } else if (staticFormat_ && IsStyleCode(c)) {
            walk.StaticStyle = ToggleStyleBit(walk.StaticStyle, c);
            advances = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context));
        } else {
            x += advances[static_cast<unsigned char>(c)];
            if (c == ' ' && stretch.Active() && i >= layout.StretchStart)
                x += stretch.Next();
        }
    }
    // The character at the position, for the wide overwrite caret.
    caretCharWidth_ = 0;
    if (end < p.Length()) {
        walk.Enter(end);
        char c = walk.At(end);
        if (!(staticFormat_ && IsStyleCode(c)))
            caretCharWidth_ = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context))[static_cast<unsigned char>(c)];
    }
    return layout.Left + x;
}

int32_t TCodeMemo::XToOffset(TParagraph* paragraph, int32_t index, bool exactColumn, int32_t x, int32_t lineInPar) {
    if (paragraph == nullptr)
        paragraph = paragraphs_.GetItem(index);
    const TParagraph& p = *paragraph;
    lineInPar = std::clamp(lineInPar, 0, p.LineCount() - 1);
    const TLineRecord& line = p.Line(lineInPar);
    const TCodeMeasure* measure = outputMeasure_ != nullptr ? outputMeasure_ : measure_;
    const int32_t clientWidth = outputMeasure_ != nullptr ? outputWidth_ : clientWidth_;
    const int32_t hOffset = outputCanvas_ != nullptr ? 0 : leftPixel_;
    if (measure == nullptr)
        return 0;
    TLineLayout layout = layoutLine(*this, line, clientWidth, hOffset, AverageCharWidth());
    // The pointer relative to the line's first character.
    const int64_t pointer = static_cast<int64_t>(x) - layout.Left;
    TLineWalk walk(p, line, staticFormat_);
    TStretchCounter stretch;
    if (layout.StretchCount > 0 && layout.StretchStart == line.Start)
        stretch.Set(layout.StretchExtra, layout.StretchCount);
    const int32_t* advances = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context));
    int64_t left = 0;
    int32_t i = line.Start;
    while (i < line.Stop) {
        if (walk.Enter(i))
            advances = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context));
        char c = walk.At(i);
        if (staticFormat_ && IsStyleCode(c)) {
            // Codes have no width: the position after them is as near.
            walk.StaticStyle = ToggleStyleBit(walk.StaticStyle, c);
            advances = measure->AdvanceTable(StyleForMeasure(walk.StaticStyle, *walk.Context));
            ++i;
            continue;
        }
        int64_t width;
        if (c == '\t')
            width = (left / layout.TabWidth + 1) * layout.TabWidth - left;
        else
            width = advances[static_cast<unsigned char>(c)] +
                    (c == ' ' && stretch.Active() && i >= layout.StretchStart ? stretch.Next() : 0);
        // A character is passed once the pointer reaches its middle; a
        // character without width only when the pointer is beyond it.
        if (pointer - left < std::max<int64_t>(width / 2, 1))
            break;
        left += width;
        ++i;
        if (c == '\t' && layout.StretchCount > 0 && i - 1 >= layout.StretchStart)
            stretch.Set(layout.StretchExtra, layout.StretchCount);
    }
    int32_t count = i - line.Start;
    // A click inside a tab's blank space stays before the tab; the caller
    // adds virtual columns for the rest.
    if (exactColumn && count > 0 && pointer < left && walk.At(i - 1) == '\t')
        --count;
    return count;
}

int32_t TCodeMemo::LineToY(int32_t line) const {
    if (topPixel_ >= 0)
        return line * lineHeight_ - (lineHeight_ > 0 ? topPixel_ % lineHeight_ : 0);
    return line * lineHeight_ - topPixel_;
}

int32_t TCodeMemo::YToLine(int32_t y) const {
    if (lineHeight_ < 1)
        return 0;
    if (topPixel_ >= 0)
        return (y + topPixel_ % lineHeight_) / lineHeight_;
    return (y + topPixel_) / lineHeight_;
}
