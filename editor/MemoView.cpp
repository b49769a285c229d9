// The memo's view: top line and scrolling, scroll bars, the caret, and
// keeping the window up to date after edits, formatting and loading.

#include "editor/MemoView.h"

#include "editor/CodeMemo.h"
#include "editor/LineWalk.h"
#include "editor/MemoMessages.h"
#include "editor/model/ScopeGuards.h"

#include <algorithm>
#include <climits>
#include <utility>

TMemoView::TMemoView(TCodeMemo& memo)
    : memo_(memo), document_(memo.Document()), topLine_(std::make_unique<TCodeNavigator>(&document_)),
      probe_(std::make_unique<TCodeNavigator>(&document_)) {
    document_.AddWatcher(this);
}

TMemoView::~TMemoView() { document_.RemoveWatcher(this); }

// ---------------------------------------------------------------------------
// Measuring

void TMemoView::countVisibleLines() {
    visibleLines_ = lineHeight_ < 1 ? 1 : memo_.TWinControl::ClientHeight() / lineHeight_ + 1;
}

void TMemoView::MeasureWith(TTextMeasurer* measurer, int32_t clientWidth) {
    fontMeasure_ = measurer != nullptr ? std::make_unique<TFontMeasure>(*measurer, memo_.Font(), memo_.AltFont())
                                       : nullptr;
    document_.Layout().SetMeasure(fontMeasure_.get(), clientWidth);
}

bool TMemoView::MeasuresFontsAt(int32_t clientWidth) const {
    return fontMeasure_ != nullptr && document_.Layout().Measure() == fontMeasure_.get() &&
           document_.Layout().ClientWidth() == clientWidth;
}

void TMemoView::MeasureFont() {
    const bool automatic = memo_.FixedLineHeight < 1;
    lineHeight_ = automatic ? std::abs(memo_.Font().Height()) + 1 : memo_.FixedLineHeight;
    if (!memo_.HandleAllocated()) {
        // Without a window there is nothing to measure with yet; the
        // estimate keeps paging and scrolling arithmetic sound.
        baseline_ = std::max(lineHeight_ - 1, 0);
        underlineRow_ = lineHeight_;
        countVisibleLines();
        return;
    }
    TCanvas& canvas = memo_.WindowCanvas();
    canvas.SetFont(memo_.Font());
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
    knownClientWidth_ = memo_.TWinControl::ClientWidth();
    if (!keepFormat_)
        document_.Layout().ForgetWidest();
    topPixel_ = 0;
    leftPixel_ = 0;
    topLine_->SetLineNumber(0);
    scrollBarsToStart();
    FormatView();
    memo_.Invalidate();
    if (memo_.OnVScroll)
        memo_.OnVScroll(&memo_);
    CaretUpdate();
}

void TMemoView::WindowCreated() {
    const int32_t width = memo_.TWinControl::ClientWidth();
    knownClientWidth_ = width;
    if (!MeasuresFontsAt(width))
        MeasureWith(&memo_.WindowCanvas().Measurer(), width);
    TTextSelection& selection = memo_.Selection();
    selection.SetVirtualColumns(0);
    selection.SetRememberedColumn(TTextSelection::kNoColumn);
    // The measurements and the scroll bars; the line breaks were just made.
    TRestoreOnExit<bool> keepFormat(keepFormat_, true);
    memo_.Perform(CM_FONTCHANGED);
}

int32_t TMemoView::LineOfOffset(int32_t offset) {
    probe_->SetPos(std::clamp(offset, 0, document_.TextLength()));
    return probe_->LineNumber();
}

void TMemoView::FormatView() {
    if (document_.Layout().Measure() == nullptr || lineHeight_ < 1)
        return;
    const TParagraphsList& paragraphs = document_.ParagraphList();
    int32_t index = topLine_->ParNumber();
    const int32_t bottom = TopLine() + std::max(visibleLines_, 1);
    while (index < paragraphs.Count() && paragraphs.FirstLine(index) <= bottom) {
        document_.Layout().FormatParagraphIfNeeded(index);
        ++index;
    }
}

// ---------------------------------------------------------------------------
// Top line and scrolling

int32_t TMemoView::TopLine() { return topLine_->LineNumber(); }

void TMemoView::SetTopLine(int32_t line) { ScrollTo(leftPixel_, std::max(line, 0) * lineHeight_); }

void TMemoView::syncTopLineFromPixels() {
    topLine_->SetLineNumber(std::max(0, lineHeight_ > 0 ? topPixel_ / lineHeight_ : 0));
}

void TMemoView::syncPixelsFromTopLine() {
    // The text at the top stays where it is; only its line number may have
    // changed (paragraphs above it were formatted, or an edit moved it).
    const int32_t line = topLine_->LineNumber();
    topLine_->SetLineNumber(line);
    if (topPixel_ >= 0) {
        const int32_t fraction = lineHeight_ > 0 ? topPixel_ % lineHeight_ : 0;
        topPixel_ = line * lineHeight_ + fraction;
    }
}

void TMemoView::keepTopLineInRange() {
    const int32_t highest = std::max(document_.LineCount() - visibleLines_ + 1, 0);
    if (TopLine() > highest)
        ScrollTo(leftPixel_, highest * lineHeight_);
}

void TMemoView::ScrollTo(int32_t x, int32_t y) {
    const int32_t dx = leftPixel_ - x;
    const int32_t dy = topPixel_ - y;
    TTextSelection& selection = memo_.Selection();
    if (dx != 0) {
        caretX_ += dx;
        if (selection.RememberedColumn() != TTextSelection::kNoColumn)
            selection.SetRememberedColumn(selection.RememberedColumn() + dx);
        leftPixel_ = x;
        if (hScrollBar_ && memo_.HandleAllocated())
            memo_.SetScrollPos(SB_HORZ, hScrollPos());
    }
    if (dy != 0) {
        topPixel_ = y;
        syncTopLineFromPixels();
        caretY_ += dy;
        if (vScrollBar_ && memo_.HandleAllocated())
            memo_.SetScrollPos(SB_VERT, vScrollPos());
    }
    if (dx == 0 && dy == 0)
        return;
    if (memo_.HandleAllocated()) {
        if (dx >= -32768 && dx <= 32767 && dy >= -32768 && dy <= 32767 && !inPaint_)
            memo_.ScrollWindow(dx, dy);
        else
            memo_.Invalidate();
        if (dy != 0)
            FormatView();
        if (memo_.Focused())
            placeCaret();
    }
    if (dx != 0 && memo_.OnHScroll)
        memo_.OnHScroll(&memo_);
    if (dy != 0) {
        if (memo_.AttachedCount() > 0)
            memo_.Perform(WM_CODEMEMO_SCROLLED);
        if (memo_.OnVScroll)
            memo_.OnVScroll(&memo_);
    }
}

void TMemoView::ScrollInView() {
    if (document_.UpdateCount() > 0 || !memo_.HandleAllocated() || lineHeight_ < 1)
        return;
    TTextLayout& layout = document_.Layout();
    TCodeNavigator& caret = memo_.Selection().CaretNavigator();
    layout.FormatParagraphIfNeeded(caret.ParNumber());
    // The caret's pixels as they are now.
    const int32_t caretLine = caret.LineNumber();
    const int32_t top = TopLine();
    caretX_ = NavigatorX(caret) + memo_.Selection().VirtualColumns() * layout.AverageCharWidth();
    caretY_ = LineToY(caretLine - top);

    const int32_t clientWidth = memo_.ClientWidth();
    const int32_t clientHeight = memo_.ClientHeight();
    const int32_t step = 5 * layout.AverageCharWidth();
    int32_t x = leftPixel_;
    if (layout.WordWrap() || (layout.Alignment() != taLeftJustify && leftPixel_ == 0))
        x = 0;
    else if (caretX_ >= clientWidth)
        x += ((caretX_ - clientWidth) / step + 1) * step;
    else if (caretX_ < 0)
        x = std::max(x + (caretX_ / step - 1) * step, 0);

    int32_t y = topPixel_;
    const bool fractional = topPixel_ % lineHeight_ != 0;
    if (caretLine >= top && !(caretLine == top && fractional)) {
        if (caretY_ > clientHeight - lineHeight_) {
            // The lines a screen above the caret are laid out; those
            // between them and the top may wait for the background pass
            // (the view then keeps showing the same text as they come).
            layout.FormatRange(std::max(topLine_->ParNumber(), caret.ParNumber() - visibleLines_), caret.ParNumber(),
                               false);
            const int32_t line = caret.LineNumber();
            if (document_.Options().Contains(pmoNoFineScroll))
                y = std::max(line - visibleLines_ + 2, 0) * lineHeight_;
            else
                y = (line + 1) * lineHeight_ - clientHeight;
        }
    } else {
        layout.FormatRange(caret.ParNumber(), std::min(topLine_->ParNumber(), caret.ParNumber() + visibleLines_),
                           false);
        y = caret.LineNumber() * lineHeight_;
    }
    ScrollTo(x, y);
}

int32_t TMemoView::HorizontalRangeEnd() const {
    const TTextLayout& layout = document_.Layout();
    return std::max(layout.WidestLineWidth() + layout.LeftMargin() + layout.RightMargin() - memo_.ClientWidth(), 0);
}

void TMemoView::VScroll(int request, int position) {
    if (document_.UpdateCount() > 0 || lineHeight_ < 1)
        return;
    const int32_t lineCount = document_.LineCount();
    const int32_t top = TopLine();
    switch (request) {
    case SB_LINEUP:
        if (topPixel_ > 0)
            SetTopLine(topPixel_ % lineHeight_ != 0 ? top : top - 1);
        break;
    case SB_LINEDOWN:
        if (top < lineCount - 1 && top < lineCount - visibleLines_ + 2)
            SetTopLine(top + 1);
        break;
    case SB_PAGEUP: {
        const int32_t target = std::max(top - visibleLines_ + 2, 0);
        probe_->SetLineNumber(target);
        document_.Layout().FormatRange(probe_->ParNumber(), topLine_->ParNumber() - 1, false);
        SetTopLine(std::max(TopLine() - visibleLines_ + 2, 0));
        break;
    }
    case SB_PAGEDOWN:
        SetTopLine(std::min(top + visibleLines_ - 1, std::max(0, lineCount - visibleLines_ + 2)));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // Positions are 16-bit: the unit keeps every range below 32760.
        const int64_t pixels = int64_t{std::max(position, 0)} * vUnit_;
        if (document_.Options().Contains(pmoNoFineScroll))
            SetTopLine(static_cast<int32_t>((pixels + lineHeight_ / 2) / lineHeight_));
        else
            ScrollTo(leftPixel_, static_cast<int32_t>(std::min<int64_t>(pixels, INT32_MAX / 2)));
        break;
    }
    case SB_TOP:
        SetTopLine(0);
        break;
    case SB_BOTTOM:
        SetTopLine(std::max(0, lineCount - visibleLines_ + 2));
        break;
    default:
        return;
    }
    memo_.Update();
}

void TMemoView::HScroll(int request, int position) {
    if (document_.UpdateCount() > 0)
        return;
    const int32_t clientWidth = memo_.ClientWidth();
    const int32_t step = clientWidth / 20;
    // Not beyond the widest line: there is nothing to see further right.
    const int32_t rangeEnd = HorizontalRangeEnd();
    int32_t x = leftPixel_;
    switch (request) {
    case SB_LINELEFT:
        x = std::max(x - step - 1, 0);
        break;
    case SB_LINERIGHT:
        x = std::min(x + step + 1, std::max(rangeEnd, x));
        break;
    case SB_PAGELEFT:
        x = std::max(x + step - clientWidth, 0);
        break;
    case SB_PAGERIGHT:
        x = std::min(x + clientWidth - step, std::max(rangeEnd, x));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        x = std::max(position, 0) * hUnit_;
        break;
    case SB_LEFT:
        x = 0;
        break;
    case SB_RIGHT:
        x = rangeEnd;
        break;
    default:
        return;
    }
    ScrollTo(x, topPixel_);
    memo_.Update();
}

void TMemoView::MouseWheel(int delta) {
    wheelAccumulator_ += delta * memo_.MouseWheelFactor;
    while (wheelAccumulator_ <= -WHEEL_DELTA) {
        SendMessage(&memo_, WM_VSCROLL, SB_LINEDOWN);
        wheelAccumulator_ += WHEEL_DELTA;
    }
    while (wheelAccumulator_ >= WHEEL_DELTA) {
        SendMessage(&memo_, WM_VSCROLL, SB_LINEUP);
        wheelAccumulator_ -= WHEEL_DELTA;
    }
}

// ---------------------------------------------------------------------------
// Scroll bars

int32_t TMemoView::vScrollPos() const { return std::max(topPixel_, 0) / std::max(vUnit_, 1); }

int32_t TMemoView::hScrollPos() const { return std::max(leftPixel_, 0) / std::max(hUnit_, 1); }

void TMemoView::UpdateVScrollBar() {
    // The size changes the bars cause are not resizes by the user.  The
    // update may nest (a new width re-formats, which updates the bar), and
    // a handler it calls may raise: the flag is put back either way, or no
    // later resize would be seen.
    TRestoreOnExit<bool> updating(scrollBarUpdating_, true);
    setVerticalRange(false);
    followClientWidth();
    if (settlingBar_ || !memo_.HandleAllocated())
        return;
    // With lines wrapped to the width, a bar that comes or goes changes the
    // lines, which may want the bar otherwise: a text that fits only
    // without the bar could be shown either way, as the window's history
    // left it.  The layout settles on one answer: no bar when the text fits
    // without it.
    TRestoreOnExit<bool> settling(settlingBar_, true);
    const TTextLayout& layout = document_.Layout();
    const bool linesFollowWidth = layout.WordWrap() || layout.Alignment() != taLeftJustify;
    if (!vScrollBar_ || !linesFollowWidth || !document_.Options().Contains(pmoAutoScrollBars))
        return;
    for (int round = 0; round < 2 && memo_.ScrollBarVisible(SB_VERT) != barWanted(); ++round) {
        setVerticalRange(false);
        followClientWidth();
    }
    const std::array<int32_t, 3> now{document_.LineCount(), memo_.ClientWidth(), memo_.ClientHeight()};
    if (memo_.ScrollBarVisible(SB_VERT) && now != barNeededAt_ && mayFitWithoutBar()) {
        setVerticalRange(true);
        followClientWidth();
        document_.Layout().FormatPending();
        setVerticalRange(false);
        followClientWidth();
        if (memo_.ScrollBarVisible(SB_VERT))
            barNeededAt_ = {document_.LineCount(), memo_.ClientWidth(), memo_.ClientHeight()};
    }
}

bool TMemoView::barWanted() const {
    const int64_t textHeight = int64_t{document_.LineCount()} * std::max(lineHeight_, 1);
    return textHeight > memo_.ClientHeight() - std::max(lineHeight_, 1) - 1;
}

bool TMemoView::mayFitWithoutBar() const {
    // A text that fits a screen holds at most a character per pixel of
    // every line: longer ones need the bar at any width, and are never laid
    // out again to see.
    const int64_t lines = memo_.ClientHeight() / std::max(lineHeight_, 1) + 1;
    const int64_t widest = int64_t{memo_.Width()} + 1;
    return int64_t{document_.TextLength()} <= lines * widest &&
           int64_t{document_.LineCount()} <= 2 * lines;
}

void TMemoView::setVerticalRange(bool withoutBar) {
    const int32_t lineHeight = std::max(lineHeight_, 1);
    const int64_t textHeight = int64_t{document_.LineCount()} * lineHeight;
    vUnit_ = static_cast<int32_t>(textHeight / 32760 + 1);
    const int32_t clientHeight = memo_.ClientHeight();
    if (!vScrollBar_ || !memo_.HandleAllocated())
        return;
    int32_t maximum = std::max(static_cast<int32_t>(textHeight / vUnit_), clientHeight - lineHeight - 1);
    if (!document_.Options().Contains(pmoAutoScrollBars) && maximum < clientHeight)
        ++maximum;
    const int32_t page = std::max((clientHeight - lineHeight) / vUnit_, 0);
    // Without the bar: a range within one page, which hides it.
    if (withoutBar)
        maximum = std::max(page - 1, 0);
    const TScrollInfo current = memo_.GetScrollInfo(SB_VERT);
    if (current.Max != maximum || static_cast<int32_t>(current.Page) != page || current.Min != 0) {
        TScrollInfo info;
        info.Min = 0;
        info.Max = maximum;
        info.Page = static_cast<unsigned>(page);
        memo_.SetScrollInfo(SB_VERT, info, SIF_RANGE | SIF_PAGE, true);
    }
    memo_.SetScrollPos(SB_VERT, vScrollPos());
}

void TMemoView::followClientWidth() {
    if (!memo_.HandleAllocated())
        return;
    const int32_t width = memo_.TWinControl::ClientWidth();
    if (width == knownClientWidth_)
        return;
    knownClientWidth_ = width;
    TTextLayout& layout = document_.Layout();
    const bool rewrap = layout.WordWrap() || layout.Alignment() != taLeftJustify;
    layout.SetClientWidth(width);
    if (rewrap) {
        layout.ReformatAll();
        memo_.Invalidate();
    } else {
        UpdateHScrollBar();
    }
    const TScrollInfo bar = memo_.GetScrollInfo(SB_VERT);
    if (!(vScrollBar_ && static_cast<int32_t>(bar.Page) <= bar.Max))
        ScrollTo(leftPixel_, 0);
}

void TMemoView::UpdateHScrollBar() {
    const TTextLayout& layout = document_.Layout();
    const int32_t span = std::max(layout.WidestLineWidth(), 0) + layout.LeftMargin() + layout.RightMargin();
    hUnit_ = span / 32760 + 1;
    TRestoreOnExit<bool> updating(scrollBarUpdating_, true);
    const int32_t clientWidth = memo_.ClientWidth();
    if (hScrollBar_ && memo_.HandleAllocated()) {
        const int32_t page = std::max((clientWidth - layout.LeftMargin() - layout.RightMargin()) / hUnit_, 0);
        int32_t maximum = std::max((span - clientWidth) / hUnit_, 0) + page - 1;
        if (layout.WordWrap())
            maximum = page - 1;
        if (!document_.Options().Contains(pmoAutoScrollBars))
            ++maximum;
        if (layout.Alignment() != taLeftJustify)
            maximum = page;
        TScrollInfo info;
        info.Min = 0;
        info.Max = maximum;
        info.Page = static_cast<unsigned>(page);
        memo_.SetScrollInfo(SB_HORZ, info, SIF_RANGE | SIF_PAGE, false);
        if (maximum < page && leftPixel_ != 0)
            ScrollTo(0, topPixel_);
        memo_.SetScrollPos(SB_HORZ, hScrollPos(), false);
    }
    countVisibleLines();
}

TScrollStyle TMemoView::ScrollBars() const {
    if (vScrollBar_ && hScrollBar_)
        return ssBoth;
    if (vScrollBar_)
        return ssVertical;
    return hScrollBar_ ? ssHorizontal : ssNone;
}

void TMemoView::SetScrollBarFlags(TScrollStyle value) {
    vScrollBar_ = value == ssVertical || value == ssBoth;
    hScrollBar_ = value == ssHorizontal || value == ssBoth;
}

void TMemoView::scrollBarsToStart() {
    UpdateVScrollBar();
    UpdateHScrollBar();
    if (vScrollBar_)
        memo_.SetScrollPos(SB_VERT, 0);
    if (hScrollBar_)
        memo_.SetScrollPos(SB_HORZ, 0);
}

// ---------------------------------------------------------------------------
// Caret

void TMemoView::placeCaret() {
    // A wrapped view shows no text past the client area: the caret stays in it.
    memo_.SetCaretPos(document_.Layout().WordWrap() ? std::min(caretX_, memo_.ClientWidth() - 1) : caretX_, caretY_);
}

int32_t TMemoView::CurrentCaretWidth() {
    TTextSelection& selection = memo_.Selection();
    if (memo_.Overwrite && document_.Options().Contains(pmoWideOverwriteCaret) && selection.SelLength() == 0) {
        TCodeNavigator& caret = selection.CaretNavigator();
        if (caret.ParOffset() < caret.Paragraph()->Length() && caretCharWidth_ > 0)
            return caretCharWidth_;
    }
    if (memo_.CaretWidth <= 0)
        return lineHeight_ / 14 + 1;
    return memo_.CaretWidth;
}

void TMemoView::RememberCaretReport() {
    TCodeNavigator& caret = memo_.Selection().CaretNavigator();
    lastCaretStyle_ = caret.StyleAt();
    lastCaretOffset_ = caret.Pos();
    caretStyleKnown_ = true;
}

void TMemoView::CaretUpdate(bool recreate) {
    if (document_.UpdateCount() > 0)
        return;
    TTextSelection& selection = memo_.Selection();
    TCodeNavigator& caret = selection.CaretNavigator();
    if (memo_.HandleAllocated() && !inPaint_) {
        // While text is dragged the caret shows where it would be dropped.
        const bool dragging = memo_.Dragging();
        TCodeNavigator& shown = dragging ? memo_.MouseNavigator() : caret;
        document_.Layout().FormatParagraphIfNeeded(shown.ParNumber());
        caretX_ = NavigatorX(shown) + (dragging ? 0 : selection.VirtualColumns() * document_.Layout().AverageCharWidth());
        caretY_ = LineToY(shown.LineNumber() - TopLine());
        if (memo_.Focused() && !memo_.DisplayOnly) {
            const int32_t width = CurrentCaretWidth();
            const bool wide = memo_.Overwrite && document_.Options().Contains(pmoWideOverwriteCaret);
            const TCaretState& state = memo_.Caret();
            if (recreate || wide || !state.Created || state.Width != std::max(width, 1) ||
                state.Height != std::max(lineHeight_, 1)) {
                memo_.CreateCaret(width, lineHeight_);
                memo_.ShowCaret();
            }
            placeCaret();
        }
    }
    const uint8_t style = caret.StyleAt();
    const int32_t offset = caret.Pos();
    if (offset != lastCaretOffset_) {
        lastCaretOffset_ = offset;
        memo_.Perform(WM_CODEMEMO_CARETMOVED);
        if (memo_.OnSelMove)
            memo_.OnSelMove(&memo_);
    }
    if (!caretStyleKnown_ || style != lastCaretStyle_) {
        const bool report = caretStyleKnown_;
        caretStyleKnown_ = true;
        lastCaretStyle_ = style;
        if (report && memo_.OnStyleChange)
            memo_.OnStyleChange(&memo_);
    }
}

// ---------------------------------------------------------------------------
// Keeping the window up to date

void TMemoView::InvalidateLines(int32_t first, int32_t last) {
    if (!memo_.HandleAllocated() || lineHeight_ < 1 || last < first)
        return;
    const int32_t top = TopLine();
    const int32_t clientHeight = memo_.ClientHeight();
    // Only the part in view; far lines would overflow the arithmetic.
    first = std::max(first, top - 1);
    last = static_cast<int32_t>(std::min<int64_t>(last, int64_t{top} + visibleLines_ + 1));
    if (last < first)
        return;
    const int32_t y1 = std::max(LineToY(first - top), 0);
    const int32_t y2 = std::min(LineToY(last - top) + lineHeight_, clientHeight);
    if (y2 <= y1)
        return;
    const TRect area = Rect(0, y1, memo_.ClientWidth(), y2);
    memo_.InvalidateRect(&area);
}

bool TMemoView::SelectionShowing() const {
    return memo_.Selection().SelLength() != 0 && (memo_.Focused() || !memo_.HideSelection);
}

TMemoView::TShownSelection TMemoView::currentSelection() const {
    const TTextSelection& selection = memo_.Selection();
    TShownSelection shown;
    shown.Visible = SelectionShowing();
    shown.Start = selection.StartNavigator().Pos();
    shown.End = selection.EndNavigator().Pos();
    shown.Block = selection.BlockMode();
    shown.Column1 = selection.BlockColumn1();
    shown.Column2 = selection.BlockColumn2();
    return shown;
}

void TMemoView::invalidateOffsets(int32_t from, int32_t to) {
    if (to < from)
        std::swap(from, to);
    InvalidateLines(LineOfOffset(from), LineOfOffset(to));
}

void TMemoView::invalidateSelection(const TShownSelection& selection) {
    if (selection.Visible)
        invalidateOffsets(selection.Start, selection.End);
}

void TMemoView::InvalidateSelection() { invalidateSelection(currentSelection()); }

void TMemoView::SelectionChanged() {
    if (document_.UpdateCount() > 0 || inPaint_)
        return;
    const TShownSelection now = currentSelection();
    const TShownSelection& was = shownSelection_;
    if (memo_.HandleAllocated()) {
        if (now.Visible != was.Visible || now.Block || was.Block) {
            if (now != was) {
                invalidateSelection(was);
                invalidateSelection(now);
            }
        } else if (now.Visible) {
            // Only the ends that moved change their look.
            if (now.Start != was.Start)
                invalidateOffsets(now.Start, was.Start);
            if (now.End != was.End)
                invalidateOffsets(now.End, was.End);
        }
    }
    shownSelection_ = now;
    CaretUpdate();
}

void TMemoView::ShowMovedSelection() {
    SelectionChanged();
    // The first update placed the caret; a column block's far column
    // follows it.
    TTextSelection& selection = memo_.Selection();
    if (selection.BlockMode()) {
        selection.SetBlockColumns(selection.BlockColumn1(), CaretColumn());
        SelectionChanged();
    }
}

void TMemoView::LayoutChanged(TCodeDocument&, const TLayoutChange& change) {
    if (!memo_.HandleAllocated() || document_.UpdateCount() > 0)
        return;
    if (inPaint_) {
        // Painting formatted what it was about to show; the scroll bars and
        // the top line follow once the paint is over.
        if (!viewSyncPosted_)
            viewSyncPosted_ = PostMessage(&memo_, WM_CODEMEMO_VIEWSYNC);
        return;
    }
    syncPixelsFromTopLine();
    // Only the lines laid out anew changed (and, when the count changed,
    // every line behind them).
    repaintChangedLines(change.FirstLine, change.LastLine, false);
    if (!document_.Layout().WordWrap())
        UpdateHScrollBar();
    const int32_t caretParagraph = memo_.Selection().CaretNavigator().ParNumber();
    if (caretParagraph >= change.FirstParagraph && caretParagraph <= change.LastParagraph)
        CaretUpdate();
}

void TMemoView::StylesChanged(TCodeDocument&, const TStyleChange& change) {
    // A change whose lines are laid out again is repainted with them.
    if (change.LaidOutAgain || !memo_.HandleAllocated())
        return;
    if (document_.UpdateCount() > 0) {
        restyledFirst_ = std::min(restyledFirst_, change.FirstParagraph);
        restyledLast_ = std::max(restyledLast_, change.LastParagraph);
        return;
    }
    if (inPaint_) {
        if (!viewSyncPosted_)
            viewSyncPosted_ = PostMessage(&memo_, WM_CODEMEMO_VIEWSYNC);
        return;
    }
    const int32_t count = document_.ParagraphCount();
    InvalidateLines(document_.ParagraphList().FirstLine(std::clamp(change.FirstParagraph, 0, count - 1)),
                    document_.LastLineOfParagraph(change.LastParagraph));
}

void TMemoView::TextChanged(TCodeDocument&, const TTextChange& change) {
    // Paragraph numbers noted for a repaint no longer name the same
    // paragraphs once paragraphs come or go before them.
    if (restyledLast_ >= 0 && change.ParagraphDelta != 0 && change.FirstParagraph <= restyledLast_)
        restyledLast_ = INT32_MAX;
}

void TMemoView::repaintChangedLines(int32_t firstLine, int32_t lastLine, bool toEnd) {
    const int32_t lineCount = document_.LineCount();
    if (lineCount != displayedLineCount_ || toEnd) {
        displayedLineCount_ = lineCount;
        InvalidateLines(firstLine, INT32_MAX);
        UpdateVScrollBar();
    } else {
        InvalidateLines(firstLine, lastLine);
    }
}

void TMemoView::ViewSync() {
    viewSyncPosted_ = false;
    if (!memo_.HandleAllocated() || document_.UpdateCount() > 0)
        return;
    syncPixelsFromTopLine();
    displayedLineCount_ = document_.LineCount();
    UpdateVScrollBar();
    if (!document_.Layout().WordWrap())
        UpdateHScrollBar();
    memo_.Invalidate();
    CaretUpdate();
}

void TMemoView::UpdateEnded(TCodeDocument&, const TUpdateSummary& summary) {
    if (summary.Kind == TUpdateSummary::kEdit) {
        afterEdit(summary.FirstLine, summary.LastLine);
        memo_.Change();
        return;
    }
    afterLoad();
    if (summary.Kind == TUpdateSummary::kLoad)
        memo_.Change();
}

void TMemoView::afterEdit(int32_t firstLine, int32_t lastLine) {
    const int32_t restyledFirst = std::exchange(restyledFirst_, INT32_MAX);
    const int32_t restyledLast = std::exchange(restyledLast_, -1);
    if (!memo_.HandleAllocated()) {
        displayedLineCount_ = document_.LineCount();
        shownSelection_ = currentSelection();
        CaretUpdate();
        return;
    }
    syncPixelsFromTopLine();
    repaintChangedLines(firstLine, lastLine, paintPending_);
    if (restyledLast >= 0) {
        const int32_t count = document_.ParagraphCount();
        InvalidateLines(document_.ParagraphList().FirstLine(std::clamp(restyledFirst, 0, count - 1)),
                        restyledLast >= count ? INT32_MAX : document_.LastLineOfParagraph(restyledLast));
    }
    if (paintPending_) {
        paintPending_ = false;
        memo_.Invalidate();
    }
    if (!document_.Layout().WordWrap()) {
        // Formatting only ever raises the widest width; it is searched for
        // again only when its line may have become shorter.
        document_.Layout().KeepWidestUpToDate();
        UpdateHScrollBar();
    }
    const TShownSelection now = currentSelection();
    if (now.Visible || shownSelection_.Visible) {
        invalidateSelection(shownSelection_);
        invalidateSelection(now);
    }
    shownSelection_ = now;
    CaretUpdate();
}

void TMemoView::afterLoad() {
    restyledFirst_ = INT32_MAX;
    restyledLast_ = -1;
    topPixel_ = 0;
    leftPixel_ = 0;
    topLine_->SetPos(0);
    TTextSelection& selection = memo_.Selection();
    selection.SetVirtualColumns(0);
    selection.SetRememberedColumn(TTextSelection::kNoColumn);
    displayedLineCount_ = document_.LineCount();
    shownSelection_ = currentSelection();
    if (!memo_.HandleAllocated())
        return;
    FormatView();
    scrollBarsToStart();
    paintPending_ = false;
    memo_.Invalidate();
    CaretUpdate();
}

void TMemoView::LayoutReset(TCodeDocument&) {
    if (!memo_.HandleAllocated() || document_.UpdateCount() > 0 || inPaint_)
        return;
    FormatView();
    keepTopLineInRange();
    memo_.Invalidate();
    CaretUpdate();
}

void TMemoView::Appearance() {
    if (!memo_.HandleAllocated())
        return;
    memo_.Invalidate();
    CaretUpdate();
}

void TMemoView::ClientSizeChanged() {
    if (!memo_.HandleAllocated() || scrollBarUpdating_)
        return;
    UpdateVScrollBar();
    UpdateHScrollBar();
    FormatView();
    if (vScrollBar_)
        memo_.SetScrollPos(SB_VERT, vScrollPos());
    if (hScrollBar_)
        memo_.SetScrollPos(SB_HORZ, hScrollPos());
    CaretUpdate();
}

void TMemoView::FocusChanged(bool gained) {
    if (!memo_.DisplayOnly) {
        if (gained)
            CaretUpdate(true);
        else
            memo_.DestroyCaret();
    }
    // With HideSelection the selection shows only while focused.
    if (memo_.HideSelection)
        SelectionChanged();
}

// ---------------------------------------------------------------------------
// Background formatting and progress

void TMemoView::BackgroundWorkPending(TCodeDocument&) { scheduleBackground(); }

void TMemoView::scheduleBackground() {
    if (!backgroundPosted_)
        backgroundPosted_ = PostMessage(&memo_, WM_CODEMEMO_BACKGROUND, 1, 0);
}

void TMemoView::BackgroundMessage(bool posted) {
    if (posted)
        backgroundPosted_ = false;
    // Only re-posts itself: the event loop delivers what else is pending.
    if (document_.Layout().BackgroundSlice() && posted && document_.Layout().UpdateMode() == umBackground)
        scheduleBackground();
}

bool TMemoView::WantsProgress() const { return static_cast<bool>(memo_.OnProgress); }

void TMemoView::ProgressMade(TCodeDocument&) {
    if (memo_.OnProgress)
        memo_.OnProgress(&memo_);
}
