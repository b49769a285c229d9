// The view of the memo: the top line and the scroll offsets, the scroll
// bars, the caret, and keeping the window up to date after edits,
// formatting and loading.  Nothing here touches the text.

#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"

#include "platform/ui/Cursors.h"

#include <algorithm>
#include <climits>

TPoint TCodeMemo::lastPointer_;

void TCodeMemo::initWindowSide() {
    mouseNav_ = std::make_unique<TCodeNavigator>(this);
    work3_ = std::make_unique<TCodeNavigator>(this);
    work4_ = std::make_unique<TCodeNavigator>(this);
    keyNav_ = std::make_unique<TCodeNavigator>(this);
    auto repaint = [this](TPersistent*) {
        if (HandleAllocated())
            Invalidate();
    };
    backgroundBmp_.OnChange = repaint;
    endOfTextMark_.OnChange = repaint;
    specUnderline_.OnChange = repaint;
    measureFont();
}

void TCodeMemo::finishWindowSide() {
    KillTimer(this, kAutoScrollTimer);
    autoScrollDirection_ = 0;
    if (dragging_) {
        dragging_ = false;
        SetScreenCursor(crDefault);
    }
    if (MouseCapture())
        ReleaseCapture();
    DestroyCaret();
    // The window goes while the memo is still whole, so that nothing the
    // window reports in its last moments reaches half-destroyed members.
    DestroyHandle();
}

// ---------------------------------------------------------------------------
// Line height and measuring

void TCodeMemo::SetLineHeight(int32_t value) {
    FixedLineHeight = value >= 1 ? value : 0;
    // Only the measurements change: the line breaks stay as they are.
    TRestoreOnExit<bool> keepFormat(fontNoticeKeepsFormat_, true);
    Perform(CM_FONTCHANGED);
}

void TCodeMemo::countVisibleLines() { visibleLines_ = lineHeight_ < 1 ? 1 : ClientHeight() / lineHeight_ + 1; }

void TCodeMemo::formatUpTo(int32_t paragraph) {
    paragraph = std::clamp(paragraph, 0, paragraphs_.Count() - 1);
    if (!paragraphs_[paragraph].Formatted)
        FormatRange(paragraph, paragraph, false);
}

int32_t TCodeMemo::lineOfOffset(int32_t offset) {
    work3_->SetPos(std::clamp(offset, 0, textLength_));
    return work3_->LineNumber();
}

void TCodeMemo::formatView() {
    if (measure_ == nullptr || lineHeight_ < 1)
        return;
    int32_t index = topLine_->ParNumber();
    const int32_t bottom = TopLine() + std::max(visibleLines_, 1);
    while (index < paragraphs_.Count() && paragraphs_.FirstLine(index) <= bottom) {
        formatUpTo(index);
        ++index;
    }
}

void TCodeMemo::recomputeWidest() {
    widestWidth_ = 0;
    widestParagraph_ = -1;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        const TParagraph& p = paragraphs_[i];
        for (int32_t line = 0; line < p.LineCount(); ++line)
            if (widestParagraph_ < 0 || p.Line(line).TextWidth > widestWidth_) {
                widestWidth_ = p.Line(line).TextWidth;
                widestParagraph_ = i;
            }
    }
}

// ---------------------------------------------------------------------------
// Top line and scrolling

int32_t TCodeMemo::TopLine() { return topLine_->LineNumber(); }

void TCodeMemo::SetTopLine(int32_t line) { ScrollTo(leftPixel_, std::max(line, 0) * lineHeight_); }

void TCodeMemo::syncTopLineFromPixels() { topLine_->SetLineNumber(std::max(0, lineHeight_ > 0 ? topPixel_ / lineHeight_ : 0)); }

void TCodeMemo::syncPixelsFromTopLine() {
    // The text at the top stays where it is; only its line number may have
    // changed (paragraphs above it were formatted, or an edit moved it).
    int32_t line = topLine_->LineNumber();
    topLine_->SetLineNumber(line);
    if (topPixel_ >= 0) {
        int32_t fraction = lineHeight_ > 0 ? topPixel_ % lineHeight_ : 0;
        topPixel_ = line * lineHeight_ + fraction;
    }
}

void TCodeMemo::keepTopLineInRange() {
    int32_t highest = std::max(lineCount_ - visibleLines_ + 1, 0);
    if (TopLine() > highest)
        ScrollTo(leftPixel_, highest * lineHeight_);
}

void TCodeMemo::ScrollTo(int32_t x, int32_t y) {
    const int32_t dx = leftPixel_ - x;
    const int32_t dy = topPixel_ - y;
    if (dx != 0) {
        caretX_ += dx;
        if (rememberedColumn_ != INT32_MIN)
            rememberedColumn_ += dx;
        leftPixel_ = x;
        if (hScrollBar_ && HandleAllocated())
            SetScrollPos(SB_HORZ, hScrollPos());
    }
    if (dy != 0) {
        topPixel_ = y;
        syncTopLineFromPixels();
        caretY_ += dy;
        if (vScrollBar_ && HandleAllocated())
            SetScrollPos(SB_VERT, vScrollPos());
    }
    if (dx == 0 && dy == 0)
        return;
    if (HandleAllocated()) {
        if (dx >= -32768 && dx <= 32767 && dy >= -32768 && dy <= 32767 && !inPaint_)
            ScrollWindow(dx, dy);
        else
            Invalidate();
        if (dy != 0)
            formatView();
        if (Focused())
            placeCaret();
    }
    if (dx != 0 && OnHScroll)
        OnHScroll(this);
    if (dy != 0) {
        if (AttachedCount() > 0)
            Perform(WM_CODEMEMO_SCROLLED);
        if (OnVScroll)
            OnVScroll(this);
    }
}

void TCodeMemo::ScrollInView() {
    if (updateCount_ > 0 || !HandleAllocated() || lineHeight_ < 1)
        return;
    TCodeNavigator& caret = CaretNavigator();
    formatUpTo(caret.ParNumber());
    // The caret's pixels as they are now.
    const int32_t caretLine = caret.LineNumber();
    const int32_t top = TopLine();
    caretX_ = NavigatorX(caret) + virtualColumns_ * AverageCharWidth();
    caretY_ = LineToY(caretLine - top);

    const int32_t clientWidth = ClientWidth();
    const int32_t clientHeight = ClientHeight();
    const int32_t step = 5 * AverageCharWidth();
    int32_t x = leftPixel_;
    if (wordWrap_ || (alignment_ != taLeftJustify && leftPixel_ == 0))
        x = 0;
    else if (caretX_ >= clientWidth)
        x += ((caretX_ - clientWidth) / step + 1) * step;
    else if (caretX_ < 0)
        x = std::max(x + (caretX_ / step - 1) * step, 0);

    int32_t y = topPixel_;
    const bool fractional = topPixel_ % lineHeight_ != 0;
    if (caretLine >= top && !(caretLine == top && fractional)) {
        if (caretY_ > clientHeight - lineHeight_) {
            FormatRange(topLine_->ParNumber(), caret.ParNumber(), false);
            const int32_t line = caret.LineNumber();
            if (options_.Contains(pmoNoFineScroll))
                y = std::max(line - visibleLines_ + 2, 0) * lineHeight_;
            else
                y = (line + 1) * lineHeight_ - clientHeight;
        }
    } else {
        FormatRange(caret.ParNumber(), topLine_->ParNumber(), false);
        y = caret.LineNumber() * lineHeight_;
    }
    ScrollTo(x, y);
}

// ---------------------------------------------------------------------------
// Scroll bars

int32_t TCodeMemo::vScrollPos() const { return std::max(topPixel_, 0) / std::max(vUnit_, 1); }

int32_t TCodeMemo::hScrollPos() const { return std::max(leftPixel_, 0) / std::max(hUnit_, 1); }

void TCodeMemo::UpdateVScrollBar() {
    const int32_t lineHeight = std::max(lineHeight_, 1);
    const int64_t textHeight = int64_t{lineCount_} * lineHeight;
    vUnit_ = static_cast<int32_t>(textHeight / 32760 + 1);
    // The size changes the bars cause are not resizes by the user.  The
    // update may nest (a new width re-formats, which updates the bar), and
    // a handler it calls may raise: the flag is put back either way, or no
    // later resize would be seen.
    TRestoreOnExit<bool> updating(scrollBarUpdating_, true);
    const int32_t clientHeight = ClientHeight();
    if (vScrollBar_ && HandleAllocated()) {
        int32_t maximum = std::max(static_cast<int32_t>(textHeight / vUnit_), clientHeight - lineHeight - 1);
        if (!options_.Contains(pmoAutoScrollBars) && maximum < clientHeight)
            ++maximum;
        int32_t page = std::max((clientHeight - lineHeight) / vUnit_, 0);
        TScrollInfo current = GetScrollInfo(SB_VERT);
        if (current.Max != maximum || static_cast<int32_t>(current.Page) != page || current.Min != 0) {
            TScrollInfo info;
            info.Min = 0;
            info.Max = maximum;
            info.Page = static_cast<unsigned>(page);
            SetScrollInfo(SB_VERT, info, SIF_RANGE | SIF_PAGE, true);
        }
        SetScrollPos(SB_VERT, vScrollPos());
    }
    if (HandleAllocated()) {
        const int32_t width = TWinControl::ClientWidth();
        if (width != knownClientWidth_) {
            knownClientWidth_ = width;
            const bool rewrap = wordWrap_ || alignment_ != taLeftJustify;
            clientWidth_ = width;
            if (rewrap) {
                ReformatAll();
                Invalidate();
            } else {
                UpdateHScrollBar();
            }
            TScrollInfo bar = GetScrollInfo(SB_VERT);
            if (!(vScrollBar_ && static_cast<int32_t>(bar.Page) <= bar.Max))
                ScrollTo(leftPixel_, 0);
        }
    }
}

void TCodeMemo::UpdateHScrollBar() {
    const int32_t span = std::max(widestWidth_, 0) + leftMargin_ + rightMargin_;
    hUnit_ = span / 32760 + 1;
    TRestoreOnExit<bool> updating(scrollBarUpdating_, true);
    const int32_t clientWidth = ClientWidth();
    if (hScrollBar_ && HandleAllocated()) {
        int32_t page = std::max((clientWidth - leftMargin_ - rightMargin_) / hUnit_, 0);
        int32_t maximum = std::max((span - clientWidth) / hUnit_, 0) + page - 1;
        if (wordWrap_)
            maximum = page - 1;
        if (!options_.Contains(pmoAutoScrollBars))
            ++maximum;
        if (alignment_ != taLeftJustify)
            maximum = page;
        TScrollInfo info;
        info.Min = 0;
        info.Max = maximum;
        info.Page = static_cast<unsigned>(page);
        SetScrollInfo(SB_HORZ, info, SIF_RANGE | SIF_PAGE, false);
        if (maximum < page && leftPixel_ != 0)
            ScrollTo(0, topPixel_);
        SetScrollPos(SB_HORZ, hScrollPos(), false);
    }
    countVisibleLines();
}

TScrollStyle TCodeMemo::ScrollBars() const {
    if (vScrollBar_ && hScrollBar_)
        return ssBoth;
    if (vScrollBar_)
        return ssVertical;
    return hScrollBar_ ? ssHorizontal : ssNone;
}

void TCodeMemo::SetScrollBars(TScrollStyle value) {
    if (value == ScrollBars())
        return;
    vScrollBar_ = value == ssVertical || value == ssBoth;
    hScrollBar_ = value == ssHorizontal || value == ssBoth;
    // Re-making the window measures the font again, but the line breaks
    // stay.  A handler raising meanwhile must not leave later font changes
    // without their re-formatting.
    TRestoreOnExit<bool> keepFormat(fontNoticeKeepsFormat_, true);
    RecreateWnd();
}

void TCodeMemo::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

// ---------------------------------------------------------------------------
// Caret

void TCodeMemo::placeCaret() {
    // A wrapped view shows no text past the client area: the caret stays in it.
    SetCaretPos(wordWrap_ ? std::min(caretX_, ClientWidth() - 1) : caretX_, caretY_);
}

int32_t TCodeMemo::CurrentCaretWidth() {
    if (Overwrite && options_.Contains(pmoWideOverwriteCaret) && selLength_ == 0) {
        TCodeNavigator& caret = CaretNavigator();
        if (caret.ParOffset() < caret.Paragraph()->Length() && caretCharWidth_ > 0)
            return caretCharWidth_;
    }
    if (CaretWidth <= 0)
        return lineHeight_ / 14 + 1;
    return CaretWidth;
}

void TCodeMemo::CaretUpdate(bool recreate) {
    if (updateCount_ > 0)
        return;
    TCodeNavigator& caret = CaretNavigator();
    if (HandleAllocated() && !inPaint_) {
        // While text is dragged the caret shows where it would be dropped.
        TCodeNavigator& shown = dragging_ ? *mouseNav_ : caret;
        formatUpTo(shown.ParNumber());
        caretX_ = NavigatorX(shown) + (dragging_ ? 0 : virtualColumns_ * AverageCharWidth());
        caretY_ = LineToY(shown.LineNumber() - TopLine());
        if (Focused() && !DisplayOnly) {
            const int32_t width = CurrentCaretWidth();
            const bool wide = Overwrite && options_.Contains(pmoWideOverwriteCaret);
            if (recreate || wide || !Caret().Created || Caret().Width != std::max(width, 1) ||
                Caret().Height != std::max(lineHeight_, 1)) {
                CreateCaret(width, lineHeight_);
                ShowCaret();
            }
            placeCaret();
        }
    }
    const uint8_t style = caret.StyleAt();
    const int32_t offset = caret.Pos();
    if (offset != lastCaretOffset_) {
        lastCaretOffset_ = offset;
        Perform(WM_CODEMEMO_CARETMOVED);
        if (OnSelMove)
            OnSelMove(this);
    }
    if (!caretStyleKnown_ || style != lastCaretStyle_) {
        const bool report = caretStyleKnown_;
        caretStyleKnown_ = true;
        lastCaretStyle_ = style;
        if (report && OnStyleChange)
            OnStyleChange(this);
    }
}

// ---------------------------------------------------------------------------
// Keeping the window up to date

void TCodeMemo::InvalidateLines(int32_t first, int32_t last) {
    if (!HandleAllocated() || lineHeight_ < 1 || last < first)
        return;
    const int32_t top = TopLine();
    const int32_t clientHeight = ClientHeight();
    // Only the part in view; far lines would overflow the arithmetic.
    first = std::max(first, top - 1);
    last = std::min<int64_t>(last, int64_t{top} + visibleLines_ + 1);
    if (last < first)
        return;
    int32_t y1 = std::max(LineToY(first - top), 0);
    int32_t y2 = std::min(LineToY(last - top) + lineHeight_, clientHeight);
    if (y2 <= y1)
        return;
    TRect area = Rect(0, y1, ClientWidth(), y2);
    InvalidateRect(&area);
}

bool TCodeMemo::selectionShowing() const {
    return selLength_ != 0 && (Focused() || !HideSelection);
}

TCodeMemo::TShownSelection TCodeMemo::currentSelection() const {
    TShownSelection shown;
    shown.Visible = selectionShowing();
    shown.Start = selStart_->Pos();
    shown.End = selEnd_->Pos();
    shown.Block = blockMode_;
    shown.Column1 = blockColumn1_;
    shown.Column2 = blockColumn2_;
    return shown;
}

void TCodeMemo::invalidateOffsets(int32_t from, int32_t to) {
    if (to < from)
        std::swap(from, to);
    InvalidateLines(lineOfOffset(from), lineOfOffset(to));
}

void TCodeMemo::invalidateSelection(const TShownSelection& selection) {
    if (selection.Visible)
        invalidateOffsets(selection.Start, selection.End);
}

void TCodeMemo::SelectionChanged() {
    if (updateCount_ > 0 || inPaint_)
        return;
    TShownSelection now = currentSelection();
    const TShownSelection& was = shownSelection_;
    if (HandleAllocated()) {
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

void TCodeMemo::displayAfterFormat(int32_t firstParagraph, int32_t lastParagraph) {
    if (!HandleAllocated() || updateCount_ > 0)
        return;
    if (inPaint_) {
        // Painting formatted what it was about to show; the scroll bars and
        // the top line follow once the paint is over.
        if (!viewSyncPosted_)
            viewSyncPosted_ = PostMessage(this, WM_CODEMEMO_VIEWSYNC);
        return;
    }
    const int32_t firstLine = paragraphs_.FirstLine(std::clamp(firstParagraph, 0, paragraphs_.Count() - 1));
    syncPixelsFromTopLine();
    repaintChangedLines(firstLine, lastLineOfParagraph(lastParagraph), false);
    if (!wordWrap_)
        UpdateHScrollBar();
    int32_t caretParagraph = CaretNavigator().ParNumber();
    if (caretParagraph >= firstParagraph && caretParagraph <= lastParagraph)
        CaretUpdate();
}

int32_t TCodeMemo::lastLineOfParagraph(int32_t index) const {
    index = std::clamp(index, 0, paragraphs_.Count() - 1);
    return paragraphs_.FirstLine(index) + paragraphs_[index].LineCount() - 1;
}

void TCodeMemo::repaintChangedLines(int32_t firstLine, int32_t lastLine, bool toEnd) {
    if (lineCount_ != displayedLineCount_ || toEnd) {
        displayedLineCount_ = lineCount_;
        InvalidateLines(firstLine, INT32_MAX);
        UpdateVScrollBar();
    } else {
        InvalidateLines(firstLine, lastLine);
    }
}

void TCodeMemo::viewSync() {
    viewSyncPosted_ = false;
    if (!HandleAllocated() || updateCount_ > 0)
        return;
    syncPixelsFromTopLine();
    displayedLineCount_ = lineCount_;
    UpdateVScrollBar();
    if (!wordWrap_)
        UpdateHScrollBar();
    Invalidate();
    CaretUpdate();
}

void TCodeMemo::displayAfterEdit(int32_t firstLine, int32_t lastParagraph) {
    if (!HandleAllocated()) {
        displayedLineCount_ = lineCount_;
        shownSelection_ = currentSelection();
        CaretUpdate();
        return;
    }
    syncPixelsFromTopLine();
    // One line early: the first word of the changed line may have moved up.
    firstLine = std::max(firstLine - 1, 0);
    repaintChangedLines(firstLine, lastParagraph >= 0 ? lastLineOfParagraph(lastParagraph) : -1, paintPending_);
    if (paintPending_) {
        paintPending_ = false;
        Invalidate();
    }
    if (!wordWrap_) {
        // Formatting only ever raises the widest width; it is searched for
        // again only when its line may have become shorter.
        bool stillThere = false;
        if (widestParagraph_ >= 0 && widestParagraph_ < paragraphs_.Count()) {
            const TParagraph& p = paragraphs_[widestParagraph_];
            for (int32_t line = 0; line < p.LineCount() && !stillThere; ++line)
                stillThere = p.Line(line).TextWidth == widestWidth_;
        }
        if (!stillThere)
            recomputeWidest();
        UpdateHScrollBar();
    }
    TShownSelection now = currentSelection();
    if (now.Visible || shownSelection_.Visible) {
        invalidateSelection(shownSelection_);
        invalidateSelection(now);
    }
    shownSelection_ = now;
    CaretUpdate();
}

void TCodeMemo::displayAfterLoad() {
    topPixel_ = 0;
    leftPixel_ = 0;
    topLine_->SetPos(0);
    virtualColumns_ = 0;
    rememberedColumn_ = INT32_MIN;
    displayedLineCount_ = lineCount_;
    shownSelection_ = currentSelection();
    if (!HandleAllocated())
        return;
    formatView();
    scrollBarsToStart();
    paintPending_ = false;
    Invalidate();
    CaretUpdate();
}

void TCodeMemo::scrollBarsToStart() {
    UpdateVScrollBar();
    UpdateHScrollBar();
    if (vScrollBar_)
        SetScrollPos(SB_VERT, 0);
    if (hScrollBar_)
        SetScrollPos(SB_HORZ, 0);
}

void TCodeMemo::displayAfterReformat() {
    if (!HandleAllocated() || updateCount_ > 0 || inPaint_)
        return;
    formatView();
    keepTopLineInRange();
    Invalidate();
    CaretUpdate();
}

void TCodeMemo::displayAfterAppearance() {
    if (!HandleAllocated())
        return;
    Invalidate();
    CaretUpdate();
}

void TCodeMemo::clientSizeChanged() {
    if (!HandleAllocated() || scrollBarUpdating_)
        return;
    UpdateVScrollBar();
    UpdateHScrollBar();
    formatView();
    if (vScrollBar_)
        SetScrollPos(SB_VERT, vScrollPos());
    if (hScrollBar_)
        SetScrollPos(SB_HORZ, hScrollPos());
    CaretUpdate();
}

// ---------------------------------------------------------------------------
// Appearance

void TCodeMemo::SetHideSelection(bool value) {
    if (value == HideSelection)
        return;
    HideSelection = value;
    SelectionChanged();
}

void TCodeMemo::SetSelBackColor(TColor value) {
    SelBackColor = value;
    invalidateSelection(currentSelection());
}

void TCodeMemo::SetSelTextColor(TColor value) {
    SelTextColor = value;
    invalidateSelection(currentSelection());
}

void TCodeMemo::SetHighlightColor(TColor value) {
    HighlightColor = value;
    if (HandleAllocated())
        Invalidate();
}

void TCodeMemo::SetHighlightBackgnd(TColor value) {
    HighlightBackgnd = value;
    if (HandleAllocated())
        Invalidate();
}

void TCodeMemo::SetCaretWidth(int32_t value) {
    CaretWidth = std::max(value, 0);
    if (Focused() && HandleAllocated() && !DisplayOnly)
        CaretUpdate(true);
}

void TCodeMemo::SetDisplayOnly(bool value) {
    if (value == DisplayOnly)
        return;
    DisplayOnly = value;
    if (!Focused() || !HandleAllocated())
        return;
    if (value)
        DestroyCaret();
    else
        CaretUpdate(true);
}

void TCodeMemo::SetOverwrite(bool value) {
    if (value == Overwrite)
        return;
    Overwrite = value;
    if (Focused() && HandleAllocated() && !DisplayOnly)
        CaretUpdate(true);
}

void TCodeMemo::SetJustified(bool value) {
    SetLeftPixel(0);
    Justified = value;
    displayAfterAppearance();
}

void TCodeMemo::displayAfterOptions(TCodeMemoOptions before) {
    if (!HandleAllocated())
        return;
    if (before.Contains(pmoAutoScrollBars) != options_.Contains(pmoAutoScrollBars)) {
        UpdateVScrollBar();
        UpdateHScrollBar();
    }
    const bool look = before.Contains(pmoWindowsSelColors) != options_.Contains(pmoWindowsSelColors) ||
                      before.Contains(pmoFullLineSelect) != options_.Contains(pmoFullLineSelect);
    if (look && selLength_ != 0)
        invalidateSelection(currentSelection());
}
