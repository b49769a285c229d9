#pragma once
// TMemoView: what the memo's window shows of its document.  The top line
// and the scroll offsets, the scroll bars, the line measurements, the
// mapping between text positions and pixels, the caret, and keeping the
// window up to date after edits, formatting and loading (it watches the
// document and hosts the selection).  Nothing here changes the text.

#include "editor/FontMeasure.h"
#include "editor/model/DocumentWatcher.h"
#include "editor/model/TextSelection.h"

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"

#include <array>
#include <cstdint>
#include <memory>

class TCodeMemo;
class TCodeDocument;
class TCodeNavigator;
struct TLineLayout;
struct TLineRecord;
struct TParagraph;

class TMemoView : public TDocumentWatcher, public TSelectionHost {
public:
    explicit TMemoView(TCodeMemo& memo);
    ~TMemoView() override;

    // ---- Measurements ----
    // Measures the memo's font anew (line height, baseline, visible lines)
    // and goes back to the text's top left.
    void MeasureFont();
    int32_t LineHeight() const { return lineHeight_; }
    int32_t Baseline() const { return baseline_; }
    int32_t UnderlineRow() const { return underlineRow_; }
    int32_t VisibleLineCount() const { return visibleLines_; }
    int32_t OutputChunk() const { return outputChunk_; }
    // The screen measure of the memo's fonts (made with the window, or by
    // SetMeasuringContext).
    void MeasureWith(TTextMeasurer* measurer, int32_t clientWidth);
    // The layout measures the memo's fonts at this client width already.
    bool MeasuresFontsAt(int32_t clientWidth) const;
    // While set, a font notice measures again without re-formatting.
    bool& KeepFormatOnFontNotice() { return keepFormat_; }

    // ---- Pixels ----
    int32_t OffsetToX(TParagraph* paragraph, int32_t index, int32_t lineInPar, int32_t offsetInLine);
    int32_t XToOffset(TParagraph* paragraph, int32_t index, bool exactColumn, int32_t x, int32_t lineInPar);
    int32_t LineToY(int32_t line) const;
    int32_t YToLine(int32_t y) const;
    int32_t NavigatorX(TCodeNavigator& navigator);
    // The horizontal layout of a display line for a client width and a
    // horizontal scroll offset.
    TLineLayout LineLayout(const TLineRecord& line, int32_t clientWidth, int32_t hOffset) const;
    // The visual column (in blanks from the left margin) at the caret's
    // pixel, and how many blanks fill the pixels from fromX to toX (none
    // when toX is not right of fromX).
    int32_t CaretColumn() const;
    int32_t BlankColumns(int32_t fromX, int32_t toX) const;
    // Measures lines as an output canvas places them (no horizontal scroll).
    void SetDrawingOnOutput(bool value) { drawingOnOutput_ = value; }
    // The display line of an offset (formatted as it is now).
    int32_t LineOfOffset(int32_t offset);

    // ---- Scrolling ----
    TCodeNavigator& TopLineNavigator() { return *topLine_; }
    int32_t TopLine();
    void SetTopLine(int32_t line);
    int32_t TopPixel() const { return topPixel_; }
    int32_t LeftPixel() const { return leftPixel_; }
    void ScrollTo(int32_t x, int32_t y);
    void ScrollInView();
    int32_t VScrollUnit() const { return vUnit_; }
    int32_t HScrollUnit() const { return hUnit_; }
    void UpdateVScrollBar();
    void UpdateHScrollBar();
    TScrollStyle ScrollBars() const;
    // Stores the bars; the caller re-creates the window.
    void SetScrollBarFlags(TScrollStyle value);
    bool HasVScrollBar() const { return vScrollBar_; }
    bool HasHScrollBar() const { return hScrollBar_; }
    int32_t WheelAccumulator() const { return wheelAccumulator_; }
    void VScroll(int request, int position);
    void HScroll(int request, int position);
    void MouseWheel(int delta);
    // The horizontal offset that shows the widest line's end.
    int32_t HorizontalRangeEnd() const;
    // Formats the paragraphs in view.
    void FormatView();

    // ---- Caret ----
    void CaretUpdate(bool recreate = false);
    int32_t CaretX() const { return caretX_; }
    int32_t CaretY() const { return caretY_; }
    int32_t CurrentCaretWidth();
    // Caret and style reports after a hot key are relative to the caret now.
    void RememberCaretReport();

    // ---- Keeping the window up to date ----
    void InvalidateLines(int32_t first, int32_t last);
    // Repaints the lines whose selection look changed since it was shown.
    void SelectionChanged();
    // The same after the caret moved by a key or the mouse: a column
    // block's far column follows the caret.
    void ShowMovedSelection();
    // Repaints the selection as it stands (colours or rules changed).
    void InvalidateSelection();
    void Appearance();
    void ClientSizeChanged();
    void FocusChanged(bool gained);
    void ViewSync();
    void WindowCreated();
    void WindowDestroyed() { knownClientWidth_ = -1; }
    bool SelectionShowing() const;
    // Painting: drawing waits while edits or a paint are under way.
    bool PaintSuppressed() const { return paintSuppressed_; }
    bool& SuppressPaint() { return paintSuppressed_; }
    bool& InPaint() { return inPaint_; }
    void PaintPending() { paintPending_ = true; }
    // Background formatting: a posted slice.
    void BackgroundMessage(bool posted);

    // TSelectionHost
    void SelectionMoved() override { SelectionChanged(); }
    void ScrollCaretIntoView() override { ScrollInView(); }

private:
    // TDocumentWatcher
    void UpdateEnded(TCodeDocument& document, const TUpdateSummary& summary) override;
    void LayoutChanged(TCodeDocument& document, const TLayoutChange& change) override;
    void StylesChanged(TCodeDocument& document, const TStyleChange& change) override;
    void TextChanged(TCodeDocument& document, const TTextChange& change) override;
    void LayoutReset(TCodeDocument& document) override;
    void BackgroundWorkPending(TCodeDocument& document) override;
    bool WantsProgress() const override;
    void ProgressMade(TCodeDocument& document) override;

    struct TShownSelection {
        int32_t Start = 0;
        int32_t End = 0;
        bool Block = false;
        int32_t Column1 = 0;
        int32_t Column2 = 0;
        bool Visible = false;
        bool operator==(const TShownSelection&) const = default;
    };
    struct TPixelLine;
    TPixelLine pixelLine(TParagraph* paragraph, int32_t index, int32_t lineInPar) const;
    TShownSelection currentSelection() const;
    void invalidateSelection(const TShownSelection& selection);
    void invalidateOffsets(int32_t from, int32_t to);
    void countVisibleLines();
    void afterEdit(int32_t firstLine, int32_t lastLine);
    void afterLoad();
    // After the text or its line breaks changed from display line firstLine
    // on: every line from there down is repainted and the vertical bar
    // follows when the line count changed (or toEnd asks for it); else the
    // lines through lastLine.
    void repaintChangedLines(int32_t firstLine, int32_t lastLine, bool toEnd);
    void keepTopLineInRange();
    // Recomputes both scroll bars and puts their thumbs at the start (the
    // view has just gone back to the text's top left).
    void scrollBarsToStart();
    // The vertical bar's range for the lines as they are (withoutBar: a
    // range that hides it).
    void setVerticalRange(bool withoutBar);
    // Lines wrapped to the width follow a new client width.
    void followClientWidth();
    // Whether the lines as they are need the vertical bar.
    bool barWanted() const;
    // Whether the text is short enough that it might fit without the bar.
    bool mayFitWithoutBar() const;
    void syncTopLineFromPixels();
    void syncPixelsFromTopLine();
    int32_t vScrollPos() const;
    int32_t hScrollPos() const;
    // Puts the window's caret at the caret's pixels.
    void placeCaret();
    void scheduleBackground();

    TCodeMemo& memo_;
    TCodeDocument& document_;
    std::unique_ptr<TCodeNavigator> topLine_;
    // Where LineOfOffset and the page keys look.
    std::unique_ptr<TCodeNavigator> probe_;
    std::unique_ptr<TFontMeasure> fontMeasure_;
    // Measurements
    int32_t lineHeight_ = 12;
    int32_t baseline_ = 10;
    int32_t underlineRow_ = 11;
    int32_t outputChunk_ = 1024;
    int32_t visibleLines_ = 1;
    mutable int32_t caretCharWidth_ = 0;  // the character OffsetToX measured last, for the wide caret
    bool keepFormat_ = false;
    int32_t knownClientWidth_ = -1;
    bool drawingOnOutput_ = false;
    // Scrolling
    int32_t topPixel_ = 0;
    int32_t leftPixel_ = 0;
    int32_t vUnit_ = 1;
    int32_t hUnit_ = 1;
    int32_t wheelAccumulator_ = 0;
    bool vScrollBar_ = true;
    bool hScrollBar_ = false;
    bool scrollBarUpdating_ = false;
    bool settlingBar_ = false;
    // The state in which the text was last found to need the bar even
    // without it (line count, client width and height): not tried again.
    std::array<int32_t, 3> barNeededAt_{-1, -1, -1};
    // Caret
    int32_t caretX_ = 0;
    int32_t caretY_ = 0;
    int32_t lastCaretOffset_ = -1;
    uint8_t lastCaretStyle_ = 0;
    bool caretStyleKnown_ = false;
    // Painting
    bool paintSuppressed_ = false;
    bool paintPending_ = false;
    bool inPaint_ = false;
    bool viewSyncPosted_ = false;
    bool backgroundPosted_ = false;
    int32_t displayedLineCount_ = 1;
    TShownSelection shownSelection_;
    // Paragraphs whose looks changed inside an update, repainted when it
    // ends (from the first to the end of the text once paragraphs came or
    // went behind the notice).
    int32_t restyledFirst_ = INT32_MAX;
    int32_t restyledLast_ = -1;
};
