// Painting: measuring the font, and drawing the visible display lines with
// their style codes, highlighting colours and fonts, the selection (plain
// or column block), the background picture, the special underline and the
// end-of-text mark.  Each display line is drawn in its own band, clipped to
// it, so any line can be painted alone: its state is rebuilt from the line
// record and the paragraph's context records.

#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"
#include "editor/MemoRunState.h"
#include "editor/TextOutput.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <tuple>

namespace {
constexpr int32_t kNoWavy = INT32_MIN;

// A font as a canvas of another resolution (a printer's) draws it: a height
// in points keeps its size in points.  A resolution of 0 leaves it as it is.
TFont fontAtResolution(const TFont& font, int pixelsPerInch) {
    TFont scaled(font);
    if (scaled.Height() < 0 && pixelsPerInch > 0 && scaled.PixelsPerInch() > 0)
        scaled.SetHeight(MulDiv(scaled.Height(), pixelsPerInch, scaled.PixelsPerInch()));
    return scaled;
}

// Draws lines with another pen.  The canvas's own pen and the pen position
// come back afterwards: text output continues from the position, so a line
// drawn between two runs must not move the text off its baseline.
template <typename TDrawLines>
void drawWithPen(TCanvas& canvas, const TPen& pen, TDrawLines drawLines) {
    TPen saved;
    saved.Assign(&canvas.Pen());
    const TPoint position = canvas.PenPos();
    canvas.SetPen(pen);
    drawLines();
    canvas.SetPen(saved);
    canvas.SetPenPos(position);
}

// The view's background over rect: the picture tiled so that it stays in
// place under the text whatever part of the window is painted, or colour
// when there is no picture.  textX and textY are the pixel of the whole
// text (from its top-left corner, before scrolling) under rect's top-left
// corner.
void fillViewBackground(TCanvas& canvas, const TRect& rect, const TBitmap& picture, int64_t textX, int64_t textY,
                        TColor colour) {
    if (picture.Empty())
        canvas.FillRect(rect, colour);
    else
        canvas.TileDraw(ClampRect(rect), picture,
                        {static_cast<int>(textX % picture.Width()), static_cast<int>(textY % picture.Height())});
}
} // namespace

// ---------------------------------------------------------------------------
// Measuring the font

void TCodeMemo::measureFont() {
    const bool automatic = FixedLineHeight < 1;
    lineHeight_ = automatic ? std::abs(Font().Height()) + 1 : FixedLineHeight;
    if (!HandleAllocated()) {
        // Without a window there is nothing to measure with yet; the
        // estimate keeps paging and scrolling arithmetic sound.
        baseline_ = std::max(lineHeight_ - 1, 0);
        underlineRow_ = lineHeight_;
        countVisibleLines();
        return;
    }
    TCanvas& canvas = WindowCanvas();
    canvas.SetFont(Font());
    const TTextMetric& metrics = canvas.TextMetrics();
    if (automatic)
        lineHeight_ = metrics.Height + 1;
    lineHeight_ = std::max(lineHeight_, 1);
    baseline_ = lineHeight_ - metrics.Descent - (lineHeight_ - metrics.Height + 1) / 2;
    if (baseline_ < metrics.Height - metrics.InternalLeading - metrics.Descent) {
        baseline_ = lineHeight_ - metrics.InternalLeading;
        if (baseline_ < metrics.Height - metrics.Descent - metrics.InternalLeading)
            baseline_ = lineHeight_;
    }
    underlineRow_ = baseline_ + metrics.Descent;
    countVisibleLines();
    outputChunk_ = 16384 / std::max(metrics.MaxCharWidth, 1);
    knownClientWidth_ = TWinControl::ClientWidth();
    if (!fontNoticeKeepsFormat_) {
        widestWidth_ = 0;
        widestParagraph_ = -1;
    }
    topPixel_ = 0;
    leftPixel_ = 0;
    topLine_->SetLineNumber(0);
    scrollBarsToStart();
    formatView();
    Invalidate();
    if (OnVScroll)
        OnVScroll(this);
    CaretUpdate();
}

// ---------------------------------------------------------------------------
// Drawing lines

struct TMemoLinePainter {
    TCodeMemo& Memo;
    TCanvas& Canvas;
    bool Output;             // drawing on another canvas (printing)
    int32_t ClientWidth;
    int32_t LineHeight;
    int32_t Baseline;
    int32_t SpaceWidth;
    int32_t HOffset;
    int32_t OutputPixelsPerInch = 0; // the output canvas's resolution (0 on the screen)

    // Selection
    bool ShowSelection = false;
    bool WindowsColors = false;
    bool FullLine = false;
    bool Block = false;
    int32_t SelStart = 0; // absolute offsets
    int32_t SelEnd = 0;
    int32_t SelStartPar = 0;
    int32_t SelEndPar = 0;
    int32_t BlockX1 = 0;
    int32_t BlockX2 = 0;

    // The paragraph being drawn
    const TParagraph* Paragraph = nullptr;
    int32_t ParIndex = 0;
    int32_t ParStart = 0;
    int32_t ParSelStart = -1; // the selection in this paragraph's offsets
    int32_t ParSelEnd = -1;

    // The state along the line: the run state OffsetToX and XToOffset
    // walk with, and what painting derives from it.
    std::optional<TLineWalk> Walk;
    uint8_t Style = 0;
    bool InSelection = false;
    int32_t WavyStart = kNoWavy;
    int FontStyle = -1; // the style byte the canvas's font was made for

    // Wavy underline
    int32_t WavyAmplitude = 1;
    int32_t WavyRow = 0;  // within a line, from its top
    int32_t LineTop = 0;  // the top of the line being drawn on the canvas

    TMemoLinePainter(TCodeMemo& memo, TCanvas& canvas, bool output)
        : Memo(memo), Canvas(canvas), Output(output) {}

    uint8_t effectiveStyle() const { return Memo.DrawingStyle(Walk->StaticStyle, *Walk->Context); }

    void setColours() {
        TColor text = Memo.Font().Color();
        TColor background = -1;
        bool hasBackground = false;
        if (Paragraph->TextColor != -1)
            text = Paragraph->TextColor;
        if (Style & kStyleHighlight) {
            text = Memo.HighlightColor;
            background = Memo.HighlightBackgnd;
            hasBackground = true;
        }
        const TContextRecord& context = *Walk->Context;
        if ((context.Flags & TContextRecord::kStyled) && (context.Background != 0 || context.Foreground != 0)) {
            if (Paragraph->TextColor == -1 && context.Foreground != -1)
                text = context.Foreground;
            if (Paragraph->BackgroundColor == -1 && context.Background != -1) {
                background = context.Background;
                hasBackground = true;
            }
        }
        if (InSelection && ShowSelection) {
            text = Memo.SelTextColor;
            hasBackground = false;
        }
        Canvas.Font().SetColor(text);
        if (hasBackground) {
            Canvas.SetBkMode(OPAQUE);
            Canvas.SetBkColor(background);
        } else {
            Canvas.SetBkMode(TRANSPARENT);
        }
    }

    void makeFont() {
        const int fontStyle = Style & ~(kStyleHighlight | kStyleZigzag);
        if (fontStyle == FontStyle)
            return;
        FontStyle = fontStyle;
        TColor colour = Canvas.Font().Color();
        const TFont& face = (Style & kStyleAltFont) ? Memo.AltFont() : Memo.Font();
        TFont font = fontAtResolution(face, OutputPixelsPerInch);
        font.SetStyle(static_cast<TFontStyles>(Style & 0x0F));
        font.SetColor(colour);
        Canvas.SetFont(font);
    }

    void drawWavy(int32_t x1, int32_t x2) {
        drawWithPen(Canvas, Memo.SpecUnderline(), [&] { WavyLine(Canvas, x1, x2, WavyAmplitude, LineTop + WavyRow); });
    }

    bool selectionInParagraph() const { return ParSelStart != ParSelEnd; }

    // The state at a position: style codes there are stepped over (position
    // moves past them), context records entered, colours, font and the wavy
    // underline follow.
    void applyState(int32_t& position, int32_t limit, bool force) {
        if (Memo.StaticFormat())
            while (position < limit && IsStyleCode(Walk->At(position))) {
                Walk->StaticStyle = ToggleStyleBit(Walk->StaticStyle, Walk->At(position));
                ++position;
            }
        const bool contextChanged = Walk->Enter(position);
        bool colours = force || contextChanged;
        uint8_t style = effectiveStyle();
        if (style != Style || force) {
            if ((style ^ Style) & kStyleHighlight)
                colours = true;
            uint8_t old = Style;
            Style = style;
            if (force || ((style ^ old) & ~kStyleHighlight) != 0)
                makeFont();
        }
        const int32_t penX = Canvas.PenPos().X;
        if ((Style & kStyleZigzag) && WavyStart == kNoWavy) {
            WavyStart = penX;
        } else if (!(Style & kStyleZigzag) && WavyStart != kNoWavy) {
            drawWavy(WavyStart, penX);
            WavyStart = kNoWavy;
        }
        if (WindowsColors && selectionInParagraph()) {
            bool inside = position >= ParSelStart && position < ParSelEnd;
            if (inside != InSelection) {
                InSelection = inside;
                colours = true;
            }
        }
        if (colours)
            setColours();
    }

    // The paragraph's own offsets of the selection (the block's columns
    // turned into offsets for a column block).
    void enterParagraph(int32_t index) {
        ParIndex = index;
        Paragraph = &Memo.ParagraphList()[index];
        ParStart = Memo.ParagraphList().Start(index);
        ParSelStart = ParSelEnd = -1;
        if (!ShowSelection)
            return;
        if (Block) {
            if (index >= SelStartPar && index <= SelEndPar)
                std::tie(ParSelStart, ParSelEnd) = ColumnSpan(Paragraph->Text, Memo.BlockColumn1(), Memo.BlockColumn2(),
                                                              Memo.TabStops(), Memo.StaticFormat());
            return;
        }
        const int32_t length = Paragraph->Length();
        if (SelEnd < ParStart || SelStart > ParStart + length + 1)
            return;
        ParSelStart = SelStart < ParStart ? -1 : SelStart - ParStart;
        ParSelEnd = SelEnd > ParStart + length + 1 ? INT32_MAX : SelEnd - ParStart;
    }

    // Draws display line `lineInPar` of the current paragraph with its top
    // at canvas y = 0 (screen: the band is the line) or at top (output).
    void drawLine(int32_t lineInPar, int32_t absoluteLine, int32_t left0, int32_t top) {
        const TParagraph& p = *Paragraph;
        const TLineRecord& line = p.Line(lineInPar);
        const bool lastOfParagraph = lineInPar == p.LineCount() - 1;
        LineTop = top;

        // 1. The background: the paragraph's own colour, else the view's
        // (which a printout leaves out).
        if (p.BackgroundColor != -1)
            Canvas.FillRect(ClampRect(Rect(left0, top, ClientWidth, top + LineHeight)), p.BackgroundColor);
        else if (!Output)
            fillViewBackground(Canvas, Rect(0, 0, ClientWidth, LineHeight), Memo.BackgroundBmp(), HOffset,
                               int64_t{absoluteLine} * LineHeight, Memo.Color());

        // 2.-3. Layout and pen.
        TLineLayout layout = memoLineLayout(Memo, line, ClientWidth, HOffset);
        // On another canvas (a printer's) tab stops are counted in that
        // canvas's spaces, as its line breaking counted them.
        if (Output)
            layout.TabWidth = std::max(Memo.TabStops(), 1) * std::max(SpaceWidth, 1);
        int32_t left = layout.Left + (Output ? left0 : 0);
        const int32_t origin = left;
        Canvas.MoveTo(left, top + Baseline);
        Canvas.SetTextJustification(0, 0);
        if (layout.StretchCount > 0 && layout.StretchStart == line.Start)
            Canvas.SetTextJustification(layout.StretchExtra, layout.StretchCount);

        // 4. The selection's extent on this line.
        const int32_t lineStart = ParStart + line.Start;
        const int32_t lineStop = ParStart + line.Stop;
        // The client x of an offset of the text on this line.
        auto xAt = [&](int32_t offset) {
            return Memo.OffsetToX(const_cast<TParagraph*>(&p), ParIndex, lineInPar, offset - lineStart);
        };
        bool hasSelection = false;
        int32_t x1 = 0;
        int32_t x2 = 0;
        if (ShowSelection && lineStart <= SelEnd) {
            if (Block) {
                if (ParIndex >= SelStartPar && ParIndex <= SelEndPar) {
                    hasSelection = true;
                    x1 = BlockX1;
                    x2 = BlockX2;
                }
            } else {
                bool startHere = false;
                if (lineStart >= SelStart) {
                    x1 = left;
                    startHere = true;
                } else if (SelStart < lineStop ||
                           (SelStart == lineStop && line.Stop == p.Length() && SelEnd > lineStop)) {
                    x1 = xAt(SelStart);
                    startHere = true;
                }
                if (startHere) {
                    hasSelection = true;
                    if (SelEnd < lineStop || (SelEnd == lineStop && lastOfParagraph))
                        x2 = xAt(SelEnd);
                    else if (FullLine)
                        x2 = INT32_MAX;
                    else
                        x2 = xAt(lineStop);
                }
            }
        }
        // 5. Windows colours: the selected area is filled first.
        if (WindowsColors && hasSelection)
            Canvas.FillRect(ClampRect(Rect(x1, top, x2, top + LineHeight)), Memo.SelBackColor);

        // The state at the line's start.
        Walk.emplace(p, line, Memo.StaticFormat());
        InSelection = WindowsColors && !Block && ShowSelection && lineStart >= SelStart && lineStart < SelEnd;
        WavyStart = kNoWavy;
        Style = effectiveStyle();

        // 6. The runs.
        const int32_t rightLimit = ClientWidth + (Output ? left0 : 0);
        int32_t position = line.Start;
        bool first = true;
        for (;;) {
            applyState(position, line.Stop, first);
            first = false;
            if (position >= line.Stop)
                break;
            int32_t end = std::min(line.Stop, std::max(Walk->NextBoundary(), position + 1));
            if (WindowsColors && selectionInParagraph()) {
                if (position < ParSelStart)
                    end = std::min(end, ParSelStart);
                else if (position < ParSelEnd)
                    end = std::min(end, ParSelEnd);
            }
            int32_t runEnd = position;
            while (runEnd < end) {
                char c = p.Text[static_cast<size_t>(runEnd)];
                if (c == '\t' || (Memo.StaticFormat() && IsStyleCode(c)))
                    break;
                ++runEnd;
            }
            int32_t drawEnd = runEnd;
            // Blanks that end a wrapped line are not drawn.
            if (runEnd == line.Stop && !lastOfParagraph)
                while (drawEnd > position && p.Text[static_cast<size_t>(drawEnd - 1)] == ' ')
                    --drawEnd;
            if (drawEnd > position)
                DrawTextAtPen(Canvas,
                              std::string_view(p.Text).substr(static_cast<size_t>(position),
                                                              static_cast<size_t>(drawEnd - position)),
                              rightLimit, Memo.OutputChunk());
            position = runEnd;
            if (position < line.Stop && p.Text[static_cast<size_t>(position)] == '\t') {
                const int32_t penX = Canvas.PenPos().X;
                const int32_t tabWidth = layout.TabWidth;
                const int64_t tabEnd = origin + (static_cast<int64_t>(penX - origin) / tabWidth + 1) * tabWidth;
                if (Canvas.BkMode() == OPAQUE) {
                    // A tab in a coloured run shows the colour up to the next stop.
                    const TTextMetric& metrics = Canvas.TextMetrics();
                    const int32_t stop = static_cast<int32_t>(std::min<int64_t>(tabEnd, rightLimit));
                    if (stop > penX) {
                        TRect cell = Rect(penX, Canvas.PenPos().Y - metrics.Ascent, stop,
                                          Canvas.PenPos().Y + metrics.Descent);
                        int32_t spaces = (stop - penX) / std::max(Canvas.TextWidth(" "), 1) + 1;
                        unsigned align = Canvas.SetTextAlign(TA_BASELINE);
                        Canvas.SetTextJustification(0, 0);
                        Canvas.ExtTextOut(penX, Canvas.PenPos().Y, ETO_OPAQUE | ETO_CLIPPED, &cell,
                                          std::string(static_cast<size_t>(spaces), ' '));
                        Canvas.SetTextAlign(align);
                    }
                }
                Canvas.MoveTo(static_cast<int32_t>(std::min<int64_t>(tabEnd, INT32_MAX / 2)), Canvas.PenPos().Y);
                ++position;
                Canvas.SetTextJustification(0, 0);
                if (layout.StretchCount > 0 && layout.StretchStart < position)
                    Canvas.SetTextJustification(layout.StretchExtra, layout.StretchCount);
            }
        }
        // 7. A pending special underline ends with the line.
        if (WavyStart != kNoWavy) {
            drawWavy(WavyStart, Canvas.PenPos().X);
            WavyStart = kNoWavy;
        }
        // 8. Without Windows colours the selection is inverted.
        if (hasSelection && !WindowsColors)
            Canvas.InvertRect(ClampRect(Rect(x1, top, std::min<int64_t>(x2, 32767), top + LineHeight)));
        // 9. The end-of-paragraph mark.
        const int32_t parEnd = ParStart + p.Length();
        if (ShowSelection && Memo.ShowEndParSelected && !FullLine && !Block && line.Stop == p.Length() &&
            SelStart <= parEnd && parEnd < SelEnd) {
            const int32_t markX = hasSelection ? x2 : xAt(lineStop);
            TRect mark = Rect(markX, top + LineHeight / 3, markX + SpaceWidth / 2 + 1, top + 2 * (LineHeight / 3));
            if (WindowsColors)
                Canvas.FillRect(ClampRect(mark), Memo.SelBackColor);
            else
                Canvas.InvertRect(ClampRect(mark));
        }
        Canvas.SetTextJustification(0, 0);
    }
};

// ---------------------------------------------------------------------------
// The paint handler

void TCodeMemo::paintLines(TCanvas& canvas, int32_t first, int32_t last, const TRect& paintRect, bool onOutput,
                           int32_t outputX, int32_t outputY, float spacing) {
    TMemoLinePainter painter(*this, canvas, onOutput);
    painter.LineHeight = lineHeight_;
    painter.Baseline = baseline_;
    painter.SpaceWidth = AverageCharWidth();
    painter.HOffset = onOutput ? 0 : leftPixel_;
    painter.ClientWidth = clientWidth_;
    int32_t underlineRow = underlineRow_;
    if (onOutput) {
        painter.OutputPixelsPerInch = canvas.Font().PixelsPerInch();
        // The memo's font at the canvas's resolution, as the runs will be
        // drawn: the line height and baseline come from its metrics.
        canvas.SetFont(fontAtResolution(Font(), painter.OutputPixelsPerInch));
        const TTextMetric& metrics = canvas.TextMetrics();
        if (metrics.Height > 0) {
            painter.LineHeight = metrics.Height + 1;
            painter.Baseline = painter.LineHeight - metrics.Descent - 1;
            painter.SpaceWidth = std::max(canvas.TextWidth(" "), 1);
            underlineRow = painter.Baseline + metrics.Descent;
        } else {
            painter.LineHeight = 10;
            painter.Baseline = 0;
            painter.SpaceWidth = 10;
            underlineRow = 0;
        }
        painter.ClientWidth = canvas.DeviceSize().cx > 0 ? canvas.DeviceSize().cx : clientWidth_;
    }
    // A printout shows the text, not the selection.
    painter.ShowSelection = !onOutput && selectionShowing();
    painter.WindowsColors = options_.Contains(pmoWindowsSelColors);
    painter.FullLine = options_.Contains(pmoFullLineSelect);
    painter.Block = blockMode_;
    painter.SelStart = selStart_->Pos();
    painter.SelEnd = selEnd_->Pos();
    painter.SelStartPar = selStart_->ParNumber();
    painter.SelEndPar = selEnd_->ParNumber();
    if (blockMode_) {
        const int32_t space = AverageCharWidth();
        painter.BlockX1 = std::min(blockColumn1_, blockColumn2_) * space - leftPixel_ + leftMargin_;
        painter.BlockX2 = std::max(blockColumn1_, blockColumn2_) * space - leftPixel_ + leftMargin_;
    }
    painter.WavyAmplitude = specUnderline_.Width() * 3 / 2 + 1;
    // The zigzag under the text of each line, from the canvas's own metrics
    // when drawing on another canvas.
    painter.WavyRow = underlineRow >= painter.LineHeight - painter.WavyAmplitude
                          ? painter.LineHeight - painter.WavyAmplitude - 1
                          : underlineRow;

    // The canvas's state comes back as it was.
    TFont savedFont(canvas.Font());
    TPen savedPen;
    savedPen.Assign(&canvas.Pen());
    const unsigned savedAlign = canvas.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    const int savedMode = canvas.BkMode();
    const TColor savedBk = canvas.BkColor();
    const TPoint savedOrigin = canvas.Origin();
    const bool hadClip = canvas.HasClip();
    const TRect savedClip = canvas.ClipRect();

    work3_->SetLineNumber(first);
    int32_t index = work3_->ParNumber();
    int32_t lineInPar = work3_->LineInPar();
    painter.enterParagraph(index);
    const int32_t top = TopLine();
    for (int32_t line = first; line <= last && line < lineCount_; ++line) {
        if (lineInPar >= painter.Paragraph->LineCount()) {
            if (index + 1 >= paragraphs_.Count())
                break;
            ++index;
            lineInPar = 0;
            painter.enterParagraph(index);
        }
        if (onOutput) {
            int32_t y = outputY + static_cast<int32_t>(std::lround((line - first) * static_cast<double>(spacing)));
            painter.drawLine(lineInPar, line, outputX, y);
        } else {
            int32_t y = LineToY(line - top);
            canvas.SetOrigin({savedOrigin.X, savedOrigin.Y + y});
            TRect band = Rect(0, 0, clientWidth_, lineHeight_);
            TRect visible;
            if (IntersectRect(visible, band, Rect(paintRect.Left, paintRect.Top - y, paintRect.Right,
                                                  paintRect.Bottom - y)))
                canvas.SetClipRect(visible);
            else
                canvas.SetClipRect(band);
            painter.drawLine(lineInPar, line, 0, 0);
        }
        ++lineInPar;
    }

    canvas.SetOrigin(savedOrigin);
    if (hadClip)
        canvas.SetClipRect(savedClip);
    else
        canvas.RemoveClip();
    canvas.SetTextAlign(savedAlign);
    canvas.SetBkMode(savedMode);
    canvas.SetBkColor(savedBk);
    canvas.SetFont(savedFont);
    canvas.SetPen(savedPen);
}

void TCodeMemo::paintWindow(TMessage& message) {
    message.Result = 0;
    TPaintStruct paint;
    TCanvas* canvas = nullptr;
    TRect rect;
    if (message.WParam == 0) {
        canvas = BeginPaint(paint);
        rect = paint.rcPaint;
    } else {
        canvas = reinterpret_cast<TCanvas*>(message.WParam);
        rect = Rect(0, 0, ClientWidth(), ClientHeight());
    }
    if (canvas == nullptr) {
        EndPaint(paint);
        return;
    }
    if (paintSuppressed_ || updateCount_ > 0 || inPaint_) {
        // Done as soon as the text is consistent again.
        paintPending_ = true;
        if (message.WParam == 0)
            EndPaint(paint);
        return;
    }
    TRestoreOnExit<bool> painting(inPaint_, true);

    if (lineHeight_ >= 1 && rect.Bottom > rect.Top) {
        // The paragraphs in view are formatted before anything is drawn.
        formatUpTo(topLine_->ParNumber());
        const int32_t top = TopLine();
        int32_t first = std::max(YToLine(rect.Top) + top, 0);
        int32_t last = std::max(YToLine(rect.Bottom - 1) + top, 0);
        for (int32_t index = topLine_->ParNumber();
             index < paragraphs_.Count() && paragraphs_.FirstLine(index) <= last; ++index)
            formatUpTo(index);

        auto fillArea = [&](const TRect& area) {
            fillViewBackground(*canvas, area, backgroundBmp_, int64_t{leftPixel_} + area.Left,
                               int64_t{topPixel_} + area.Top, Color());
        };
        // Text scrolled below the top leaves a band above it.
        if (first == 0 && topPixel_ < 0)
            fillArea(Rect(rect.Left, rect.Top, rect.Right, std::min(-topPixel_, rect.Bottom)));
        paintLines(*canvas, first, last, rect, false, 0, 0, 0);
        // Below the last line.
        const int32_t drawnTo = std::min(last, lineCount_ - 1);
        int32_t below = drawnTo >= first ? LineToY(drawnTo - top) + lineHeight_ : rect.Top;
        below = std::max(below, rect.Top);
        fillArea(Rect(rect.Left, below, rect.Right, rect.Bottom));
        // The end-of-text mark under the last line.
        if (endOfTextMark_.Color() != -1 && first <= lineCount_ && lineCount_ <= last) {
            const int32_t y = LineToY(lineCount_ - top) + endOfTextMark_.Width() / 2;
            drawWithPen(*canvas, endOfTextMark_, [&] {
                canvas->MoveTo(0, y);
                canvas->LineTo(rect.Right, y);
            });
        }
    }
    if (message.WParam == 0)
        EndPaint(paint);
}

void TCodeMemo::DrawLineOnCanvas(TCanvas& canvas, int32_t line, TPoint point) {
    TPaintRange range;
    range.First = line;
    range.Last = line;
    range.X = point.X;
    range.Y = point.Y;
    range.Spacing = static_cast<float>(lineHeight_);
    DrawLinesOnCanvas(canvas, range);
}

void TCodeMemo::DrawLinesOnCanvas(TCanvas& canvas, const TPaintRange& range) {
    if (range.Last < range.First || range.First >= lineCount_)
        return;
    TRestoreOnExit<TCanvas*> guard(outputCanvas_, &canvas);
    paintLines(canvas, std::max(range.First, 0), range.Last, TRect{}, true, range.X, range.Y, range.Spacing);
}
