// Painting: measuring the font, and drawing the visible display lines with
// their style codes, highlighting colours and fonts, the selection (plain
// or column block), the background picture, the special underline and the
// end-of-text mark.  Each display line is drawn in its own band, clipped to
// it, so any line can be painted alone: its state is rebuilt from the line
// record and the paragraph's context records.

#include "editor/MemoPainter.h"

#include "editor/CodeMemo.h"
#include "editor/LineWalk.h"
#include "editor/MemoView.h"
#include "editor/TextOutput.h"
#include "editor/model/Characters.h"
#include "editor/model/LineMarks.h"
#include "editor/model/ScopeGuards.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <optional>
#include <tuple>

namespace {
constexpr int32_t kNoWavy = INT32_MIN;
// A long line scrolled far to the left is taken up at a mark left of the
// window; inside a zigzag at one at least this far left: a zigzag begun
// before it is drawn from here on (WavyLine starts no further left)
// whichever mark drawing starts at.
constexpr int32_t kFarLeft = -32768;

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
// Drawing lines

namespace {

struct TMemoLinePainter {
    TCodeMemo& Memo;
    const TTextLayout& Layout;
    const TParagraphsList& Paragraphs;
    TMemoView& View;
    TCanvas& Canvas;
    bool Output;             // drawing on another canvas (printing)
    bool Utf8 = false;       // the document's characters are UTF-8
    int32_t ClientWidth;     // the width lines are laid out in
    int32_t OutputRight = 0; // on another canvas: its right edge, where drawing stops
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

    TMemoLinePainter(TCodeMemo& memo, TMemoView& view, TCanvas& canvas, bool output)
        : Memo(memo), Layout(memo.Document().Layout()), Paragraphs(memo.Document().ParagraphList()), View(view),
          Canvas(canvas), Output(output) {}

    uint8_t effectiveStyle() const { return Layout.DrawingStyle(Walk->StaticStyle, *Walk->Context); }

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
        const TContextState& context = *Walk->Context;
        if ((context.Flags & TContextState::kStyled) && (context.Background != 0 || context.Foreground != 0)) {
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

    // applyState for a run that is only measured: the same state, without
    // the canvas (a zigzag that ends so far left is not drawn).
    void stepState(int32_t& position, int32_t limit, int64_t penX) {
        if (Memo.StaticFormat())
            while (position < limit && IsStyleCode(Walk->At(position))) {
                Walk->StaticStyle = ToggleStyleBit(Walk->StaticStyle, Walk->At(position));
                ++position;
            }
        Walk->Enter(position);
        Style = effectiveStyle();
        if ((Style & kStyleZigzag) && WavyStart == kNoWavy)
            WavyStart = static_cast<int32_t>(std::max<int64_t>(penX, INT32_MIN / 2));
        else if (!(Style & kStyleZigzag))
            WavyStart = kNoWavy;
        if (WindowsColors && selectionInParagraph())
            InSelection = position >= ParSelStart && position < ParSelEnd;
    }

    bool isRunBreak(char c) const { return c == '\t' || (Memo.StaticFormat() && IsStyleCode(c)); }

    // Steps position over the characters of the run in force (up to end or
    // the run's break) as the canvas would place them at x, while they end
    // at or left of limit (no justified blanks: only unstretched lines are
    // measured so).
    void stepCharacters(int32_t& position, int64_t& x, int32_t end, int64_t limit) const {
        const TCodeMeasure& measure = *Layout.ActiveMeasure();
        const uint8_t style = Layout.StyleForMeasure(Walk->StaticStyle, *Walk->Context);
        const int32_t* advances = measure.AdvanceTable(style);
        const TParagraphText& text = Paragraph->Text;
        const TParagraphText::TReader bytes(text);
        while (position < end && !isRunBreak(bytes[static_cast<size_t>(position)])) {
            const TCharacterWidth character = MeasureCharacter(measure, style, advances, text, position, Utf8);
            if (x + character.Width > limit)
                return;
            x += character.Width;
            position += character.Length;
        }
    }

    // Where the run's text from position (the pen at x) passes the right
    // edge, or its end.
    int32_t visibleEnd(int32_t position, int64_t x, int32_t end, int32_t rightLimit) const {
        int64_t at = x;
        stepCharacters(position, at, end, rightLimit);
        return position;
    }

    // A zigzag in force when the pen passed the right edge: followed run
    // by run (measured only) to where its context ends, and drawn to there
    // (WavyLine draws no further right than 32767, where following it
    // stops).  midRun: position lies inside a run, not at a run's start.
    void followZigzag(int32_t position, int32_t stop, const TLineLayout& layout, int32_t origin, bool midRun) {
        int64_t x = Canvas.PenPos().X;
        while (x < 32767) {
            if (!midRun) {
                const int32_t start = WavyStart;
                stepState(position, stop, x);
                if (WavyStart == kNoWavy) {
                    drawWavy(start, static_cast<int32_t>(x));
                    return;
                }
                if (position >= stop)
                    break;
            }
            midRun = false;
            const int32_t end =
                std::min(CharEnd(Paragraph->Text, std::min(stop, std::max(Walk->NextBoundary(), position + 1)), Utf8), stop);
            stepCharacters(position, x, end, INT64_MAX);
            if (position < stop && Paragraph->Text[static_cast<size_t>(position)] == '\t') {
                x = origin + ((x - origin) / layout.TabWidth + 1) * layout.TabWidth;
                ++position;
            }
        }
        Canvas.MoveTo(static_cast<int32_t>(std::min<int64_t>(x, INT32_MAX / 2)), Canvas.PenPos().Y);
    }

    // The paragraph's own offsets of the selection (the block's columns
    // turned into offsets for a column block).
    void enterParagraph(int32_t index) {
        ParIndex = index;
        Paragraph = &Paragraphs[index];
        ParStart = Paragraphs.Start(index);
        ParSelStart = ParSelEnd = -1;
        if (!ShowSelection)
            return;
        if (Block) {
            if (index >= SelStartPar && index <= SelEndPar)
                std::tie(ParSelStart, ParSelEnd) = ColumnSpan(Paragraph->Text, Memo.BlockColumn1(), Memo.BlockColumn2(),
                                                              Memo.TabStops(), Memo.StaticFormat(), Utf8);
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
            Canvas.FillRect(ClampRect(Rect(left0, top, left0 + ClientWidth, top + LineHeight)), p.BackgroundColor);
        else if (!Output)
            fillViewBackground(Canvas, Rect(0, 0, ClientWidth, LineHeight), Memo.BackgroundTile(), HOffset,
                               int64_t{absoluteLine} * LineHeight, Memo.Color());

        // 2.-3. Layout and pen.
        TLineLayout layout = View.LineLayout(line, ClientWidth, HOffset);
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
            return View.OffsetToX(const_cast<TParagraph*>(&p), ParIndex, lineInPar, offset - lineStart);
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

        // Where the runs start: at the line's start, or, on a long line
        // scrolled far to the left, at its last mark at least kFarLeft
        // pixels left of the window (a zigzag begun before that point is
        // drawn from kFarLeft either way).
        int32_t position = line.Start;
        int64_t penX = left;
        uint8_t startStyle = line.Style;
        int32_t partialRun = -1; // the text start of the run the start lies inside
        const TLineMarks* marks = !Output && layout.StretchCount == 0 ? Layout.LineMarksOf(p) : nullptr;
        if (marks != nullptr) {
            // The last mark far enough left that nothing drawn from it on
            // before the window shows; or, inside a zigzag, the last one
            // kFarLeft left of the window.
            const TLineMark* found = &marks->LeftOf(int64_t{-kInkReach} - left + 1);
            if ((Layout.DrawingStyle(Memo.StaticFormat() ? found->Style : 0, ContextState(found->Context)) &
                 kStyleZigzag) != 0)
                found = &marks->LeftOf(int64_t{kFarLeft} - left + 1);
            const TLineMark& mark = *found;
            if (mark.Offset > line.Start && left + mark.X <= -kInkReach) {
                position = mark.Offset;
                penX = left + mark.X;
                startStyle = mark.Style;
                if (!mark.AtRunStart())
                    partialRun = mark.RunStart;
            }
        }
        Walk.emplace(p, line, Memo.StaticFormat(), position, startStyle);
        InSelection = WindowsColors && !Block && ShowSelection && lineStart >= SelStart && lineStart < SelEnd;
        WavyStart = kNoWavy;
        Style = effectiveStyle();
        if (partialRun >= 0 && WindowsColors && selectionInParagraph())
            // The selection's ends cut runs too.
            for (const int32_t bound : {ParSelStart, ParSelEnd})
                if (bound > partialRun && bound <= position)
                    partialRun = std::min(CharEnd(p.Text, bound, Utf8), line.Stop);
        if (partialRun >= position)
            partialRun = -1;

        // 6. The runs.  What lies far enough left of the window to show
        // nothing in it is only measured, the canvas taking up the state
        // with the first run that may show; once the pen is past the right
        // edge nothing more shows (only a zigzag still in force is followed
        // to its end).  A printout draws every run.
        const int32_t rightLimit = Output ? OutputRight : ClientWidth;
        const bool clipped = !Output && Layout.ActiveMeasure() != nullptr;
        const int32_t inkRight =
            clipped && int64_t{origin} + line.FullWidth > int64_t{rightLimit} + kInkReach ? rightLimit + kInkReach
                                                                                         : INT32_MAX;
        bool stepping = clipped && layout.StretchCount == 0 && lastOfParagraph;
        bool cutInRun = false;
        bool first = true;
        // A run across the text's gap is drawn from a copy.
        std::string runScratch;
        for (;;) {
            if (stepping)
                stepState(position, line.Stop, penX);
            else
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
            // A run never ends inside a character: its bytes are drawn
            // together, in the state at its start, as they are measured.
            end = std::min(CharEnd(p.Text, end, Utf8), line.Stop);
            // The run's chunks are counted from its first character; drawing
            // may take it up further on.
            const int32_t runText = partialRun >= 0 ? partialRun : position;
            partialRun = -1;
            int32_t from = position;
            if (stepping) {
                int64_t x = penX;
                stepCharacters(from, x, end, -kInkReach);
                if (from >= end || isRunBreak(p.Text[static_cast<size_t>(from)])) {
                    // The run ends left of the window; a tab after it may not.
                    const bool tab = from < line.Stop && p.Text[static_cast<size_t>(from)] == '\t';
                    const int64_t after = tab ? origin + ((x - origin) / layout.TabWidth + 1) * layout.TabWidth : x;
                    if (after <= -kInkReach) {
                        penX = after;
                        position = tab ? from + 1 : from;
                        continue;
                    }
                }
                // The canvas takes up the state the walk has reached.
                penX = x;
                stepping = false;
                Canvas.MoveTo(static_cast<int32_t>(penX), Canvas.PenPos().Y);
                FontStyle = -1;
                makeFont();
                setColours();
            }
            // The run's end is looked for only as far as its text can show:
            // to where it passes the right edge, and two chunks more, so that
            // the chunks drawn are cut as the whole run's would be.
            int32_t scanTo = end;
            const int32_t chunk = std::max(View.OutputChunk(), 1);
            if (clipped && end - from > 4 * chunk)
                scanTo = std::min<int64_t>(end, int64_t{visibleEnd(from, Canvas.PenPos().X, end, rightLimit)} + 2 * chunk + 4);
            int32_t runEnd = from;
            while (runEnd < scanTo && !isRunBreak(p.Text[static_cast<size_t>(runEnd)]))
                ++runEnd;
            const bool cut = runEnd == scanTo && scanTo < end;
            int32_t drawEnd = runEnd;
            // Blanks that end a wrapped line are not drawn.
            if (runEnd == line.Stop && !lastOfParagraph)
                while (drawEnd > from && p.Text[static_cast<size_t>(drawEnd - 1)] == ' ')
                    --drawEnd;
            if (drawEnd > from) {
                // (On the screen a chunk of a line that reaches far right of
                // the window is drawn only as far as it can show.)
                const size_t reached = DrawTextAtPen(
                    Canvas,
                    p.Text.Piece(static_cast<size_t>(runText), static_cast<size_t>(drawEnd), runScratch),
                    rightLimit, View.OutputChunk(), Utf8, -kInkReach, static_cast<size_t>(from - runText),
                    inkRight);
                if (cut) {
                    // The rest of the run lies right of the window.
                    position = runText + static_cast<int32_t>(reached);
                    cutInRun = true;
                    break;
                }
            }
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
            if (clipped && Canvas.PenPos().X >= rightLimit)
                break;
        }
        if (stepping)
            Canvas.MoveTo(static_cast<int32_t>(std::max<int64_t>(penX, INT32_MIN / 2)), Canvas.PenPos().Y);
        else if (WavyStart != kNoWavy && position < line.Stop)
            followZigzag(position, line.Stop, layout, origin, cutInRun);
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

} // namespace

// ---------------------------------------------------------------------------
// The paint handler

TMemoPainter::TMemoPainter(TCodeMemo& memo, TMemoView& view)
    : memo_(memo), view_(view), document_(memo.Document()), lineWalker_(std::make_unique<TCodeNavigator>(&document_)) {}

TMemoPainter::~TMemoPainter() = default;

void TMemoPainter::paintLines(TCanvas& canvas, int32_t first, int32_t last, const TRect& paintRect, bool onOutput,
                              int32_t outputX, int32_t outputY, float spacing) {
    const TTextLayout& layout = document_.Layout();
    const TTextSelection& selection = memo_.Selection();
    const TCodeMemoOptions options = document_.Options();
    TMemoLinePainter painter(memo_, view_, canvas, onOutput);
    painter.Utf8 = document_.IsUtf8();
    painter.LineHeight = view_.LineHeight();
    painter.Baseline = view_.Baseline();
    painter.SpaceWidth = layout.AverageCharWidth();
    painter.HOffset = onOutput ? 0 : view_.LeftPixel();
    painter.ClientWidth = layout.ClientWidth();
    int32_t underlineRow = view_.UnderlineRow();
    if (onOutput) {
        painter.OutputPixelsPerInch = canvas.Font().PixelsPerInch();
        // The memo's font at the canvas's resolution, as the runs will be
        // drawn: the line height and baseline come from its metrics.
        canvas.SetFont(fontAtResolution(memo_.Font(), painter.OutputPixelsPerInch));
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
        // Justified and aligned lines fill the width they were broken for:
        // stretched to the canvas's whole width, a printed line would run
        // off the paper from its left margin on.
        painter.ClientWidth = outputLayoutWidth_ > 0 ? outputLayoutWidth_ : layout.ClientWidth();
        painter.OutputRight = canvas.DeviceSize().cx > 0 ? canvas.DeviceSize().cx : INT32_MAX / 2;
    }
    // A printout shows the text, not the selection.
    painter.ShowSelection = !onOutput && view_.SelectionShowing();
    painter.WindowsColors = options.Contains(pmoWindowsSelColors);
    painter.FullLine = options.Contains(pmoFullLineSelect);
    painter.Block = selection.BlockMode();
    TCodeNavigator& start = const_cast<TCodeNavigator&>(selection.StartNavigator());
    TCodeNavigator& end = const_cast<TCodeNavigator&>(selection.EndNavigator());
    painter.SelStart = start.Pos();
    painter.SelEnd = end.Pos();
    painter.SelStartPar = start.ParNumber();
    painter.SelEndPar = end.ParNumber();
    if (selection.BlockMode()) {
        const int32_t space = layout.AverageCharWidth();
        const int32_t column1 = selection.BlockColumn1();
        const int32_t column2 = selection.BlockColumn2();
        painter.BlockX1 = std::min(column1, column2) * space - view_.LeftPixel() + layout.LeftMargin();
        painter.BlockX2 = std::max(column1, column2) * space - view_.LeftPixel() + layout.LeftMargin();
    }
    painter.WavyAmplitude = memo_.SpecUnderline().Width() * 3 / 2 + 1;
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
    const TTextEncoding savedEncoding = canvas.SetTextEncoding(document_.Encoding());
    const TColor savedInvalidColor = canvas.InvalidByteColor();
    canvas.SetInvalidByteColor(memo_.InvalidByteColor);
    const int savedMode = canvas.BkMode();
    const TColor savedBk = canvas.BkColor();
    const TPoint savedOrigin = canvas.Origin();
    const bool hadClip = canvas.HasClip();
    const TRect savedClip = canvas.ClipRect();

    lineWalker_->SetLineNumber(first);
    int32_t index = lineWalker_->ParNumber();
    int32_t lineInPar = lineWalker_->LineInPar();
    painter.enterParagraph(index);
    const int32_t top = view_.TopLine();
    const int32_t lineCount = document_.LineCount();
    for (int32_t line = first; line <= last && line < lineCount; ++line) {
        if (lineInPar >= painter.Paragraph->LineCount()) {
            if (index + 1 >= document_.ParagraphCount())
                break;
            ++index;
            lineInPar = 0;
            painter.enterParagraph(index);
        }
        if (onOutput) {
            const int32_t y =
                outputY + static_cast<int32_t>(std::lround((line - first) * static_cast<double>(spacing)));
            painter.drawLine(lineInPar, line, outputX, y);
        } else {
            const int32_t y = view_.LineToY(line - top);
            canvas.SetOrigin({savedOrigin.X, savedOrigin.Y + y});
            const TRect band = Rect(0, 0, layout.ClientWidth(), view_.LineHeight());
            TRect visible;
            if (IntersectRect(visible, band,
                              Rect(paintRect.Left, paintRect.Top - y, paintRect.Right, paintRect.Bottom - y)))
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
    canvas.SetTextEncoding(savedEncoding);
    canvas.SetInvalidByteColor(savedInvalidColor);
    canvas.SetBkMode(savedMode);
    canvas.SetBkColor(savedBk);
    canvas.SetFont(savedFont);
    canvas.SetPen(savedPen);
}

void TMemoPainter::Paint(TMessage& message) {
    message.Result = 0;
    TPaintStruct paint;
    TCanvas* canvas = nullptr;
    TRect rect;
    if (message.WParam == 0) {
        canvas = memo_.BeginPaint(paint);
        rect = paint.rcPaint;
    } else {
        canvas = reinterpret_cast<TCanvas*>(message.WParam);
        rect = Rect(0, 0, memo_.ClientWidth(), memo_.ClientHeight());
    }
    if (canvas == nullptr) {
        memo_.EndPaint(paint);
        return;
    }
    if (view_.PaintSuppressed() || document_.UpdateCount() > 0 || view_.InPaint()) {
        // Done as soon as the text is consistent again.
        view_.PaintPending();
        if (message.WParam == 0)
            memo_.EndPaint(paint);
        return;
    }
    TRestoreOnExit<bool> painting(view_.InPaint(), true);

    const int32_t lineHeight = view_.LineHeight();
    if (lineHeight >= 1 && rect.Bottom > rect.Top) {
        // The paragraphs in view are formatted before anything is drawn.
        TTextLayout& layout = document_.Layout();
        TCodeNavigator& topLine = view_.TopLineNavigator();
        layout.FormatParagraphIfNeeded(topLine.ParNumber());
        const int32_t top = view_.TopLine();
        const int32_t first = std::max(view_.YToLine(rect.Top) + top, 0);
        const int32_t last = std::max(view_.YToLine(rect.Bottom - 1) + top, 0);
        const TParagraphsList& paragraphs = document_.ParagraphList();
        for (int32_t index = topLine.ParNumber(); index < paragraphs.Count() && paragraphs.FirstLine(index) <= last;
             ++index)
            layout.FormatParagraphIfNeeded(index);

        auto fillArea = [&](const TRect& area) {
            fillViewBackground(*canvas, area, memo_.BackgroundTile(), int64_t{view_.LeftPixel()} + area.Left,
                               int64_t{view_.TopPixel()} + area.Top, memo_.Color());
        };
        // Text scrolled below the top leaves a band above it.
        if (first == 0 && view_.TopPixel() < 0)
            fillArea(Rect(rect.Left, rect.Top, rect.Right, std::min(-view_.TopPixel(), rect.Bottom)));
        paintLines(*canvas, first, last, rect, false, 0, 0, 0);
        // Below the last line.
        const int32_t lineCount = document_.LineCount();
        const int32_t drawnTo = std::min(last, lineCount - 1);
        int32_t below = drawnTo >= first ? view_.LineToY(drawnTo - top) + lineHeight : rect.Top;
        below = std::max(below, rect.Top);
        fillArea(Rect(rect.Left, below, rect.Right, rect.Bottom));
        // The end-of-text mark under the last line.
        const TPen& mark = memo_.EndOfTextMark();
        if (mark.Color() != -1 && first <= lineCount && lineCount <= last) {
            const int32_t y = view_.LineToY(lineCount - top) + mark.Width() / 2;
            drawWithPen(*canvas, mark, [&] {
                canvas->MoveTo(0, y);
                canvas->LineTo(rect.Right, y);
            });
        }
    }
    if (message.WParam == 0)
        memo_.EndPaint(paint);
}

void TMemoPainter::DrawLinesOnCanvas(TCanvas& canvas, const TPaintRange& range) {
    if (range.Last < range.First || range.First >= document_.LineCount())
        return;
    view_.SetDrawingOnOutput(true);
    try {
        paintLines(canvas, std::max(range.First, 0), range.Last, TRect{}, true, range.X, range.Y, range.Spacing);
    } catch (...) {
        view_.SetDrawingOnOutput(false);
        throw;
    }
    view_.SetDrawingOnOutput(false);
}
