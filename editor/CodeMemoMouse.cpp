// Mouse input: placing the caret, selecting (by characters, whole display
// lines from the left margin, whole words after a double click, column
// blocks), auto-scrolling while the pointer is held outside the window,
// dragging the selection to move or copy it, the cursor shapes, clicks into
// highlighted contexts and the default popup menu.
//
// Auto-scrolling is paced by a timer of the window, not by a loop that
// waits inside the mouse handler: the memo keeps answering messages, may be
// freed meanwhile (the timer goes with it), and a pointer just outside the
// window scrolls at the slowest pace rather than not at all.

#include "editor/CodeHighlighter.h"
#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"

#include "platform/base/UpdateScope.h"
#include "platform/gfx/Clipboard.h"
#include "platform/ui/Cursors.h"

#include <algorithm>

namespace {

// Milliseconds between auto-scroll steps for a speed (pixels outside the
// window div 3).  The fastest pace is one step per frame.
unsigned autoScrollDelay(int speed) {
    switch (std::max(speed, 1)) {
    case 1: return 400;
    case 2: return 300;
    case 3: return 200;
    case 4: return 130;
    case 5: return 78;
    case 6: return 48;
    case 7: return 30;
    default: return 16;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Cursors

void TCodeMemo::saveCursor() {
    if (cursorSaved_)
        return;
    savedCursor_ = Cursor();
    cursorSaved_ = true;
}

void TCodeMemo::restoreCursor() {
    if (!cursorSaved_ || overSelection_ || contextCursor_ || marginLine_ >= 0)
        return;
    cursorSaved_ = false;
    SetCursor(savedCursor_);
}

void TCodeMemo::showDragCursor(bool copy) { SetScreenCursor(copy ? NamedCursor("DRAGCOPY") : crDrag); }

bool TCodeMemo::pointerOverDrop() const { return !pointerOutside_ && Peer() != nullptr && Peer()->PointerInside(); }

void TCodeMemo::updateCursorShape() {
    if (HandleAllocated())
        Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(this), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

bool TCodeMemo::setCursorMessage(TMessage& message) {
    if (reinterpret_cast<TCodeMemo*>(message.WParam) == this &&
        LOWORD(static_cast<uintptr_t>(message.LParam)) == HTCLIENT && marginLine_ >= 0) {
        ShowCursorShape(NamedCursor("PMRIGHTARROW"));
        message.Result = 1;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The pointer

bool TCodeMemo::trackPointerAt(int x, int y) {
    lastPointer_ = {x, y};
    if (updateCount_ > 0 || lineHeight_ < 1)
        return false;
    const int32_t top = TopLine();
    int32_t line = std::max(YToLine(y) + top, 0);
    line = std::min(line, top + std::max(visibleLines_, 1) - 1);
    mouseNav_->SetLineNumber(line);
    if (!mouseNav_->Paragraph()->Formatted)
        return false;
    const int32_t last = lineCount_ - 1;
    if (mouseNav_->LineNumber() < last || y < LineToY(last - top) + lineHeight_) {
        int32_t column = XToOffset(mouseNav_->Paragraph(), mouseNav_->ParNumber(),
                                   options_.Contains(pmoKeepColumnPos), x, mouseNav_->LineInPar());
        placeInLine(*mouseNav_, column);
    } else {
        mouseNav_->SetPos(textLength_);
    }
    return true;
}

void TCodeMemo::hover(int x, int y) {
    const bool inMargin = x < leftMargin_ - 2 - leftPixel_;
    if (inMargin && !options_.Contains(pmoNoLineSelection)) {
        const int32_t previous = marginLine_;
        marginLine_ = mouseNav_->LineNumber();
        if (previous < 0) {
            saveCursor();
            updateCursorShape();
        }
        overSelection_ = false;
        contextCursor_ = false;
        return;
    }
    if (marginLine_ >= 0) {
        marginLine_ = -1;
        restoreCursor();
        if (!cursorSaved_)
            updateCursorShape();
    }
    if (!options_.Contains(pmoNoDragnDrop)) {
        const int32_t offset = mouseNav_->Pos();
        const bool over = selLength_ != 0 && offset >= selStart_->Pos() && offset < selEnd_->Pos() && !blockMode_ &&
                          userMayEdit();
        if (over && !overSelection_) {
            saveCursor();
            overSelection_ = true;
            contextCursor_ = false;
            SetCursor(crArrow);
        } else if (!over && overSelection_) {
            overSelection_ = false;
            restoreCursor();
        }
    }
    if (!overSelection_ && marginLine_ < 0) {
        const TContextRecord* context = nullptr;
        if (mouseNav_->Pos() < textLength_) {
            const TParagraph& p = *mouseNav_->Paragraph();
            context = &p.ContextBefore(mouseNav_->ParOffset() + 1);
        }
        if (context != nullptr && (context->Flags & TContextRecord::kStyled) && context->Tag != 0) {
            saveCursor();
            contextCursor_ = true;
            SetCursor(static_cast<int16_t>(context->Tag));
        } else if (contextCursor_) {
            contextCursor_ = false;
            restoreCursor();
        }
    }
}

// ---------------------------------------------------------------------------
// Buttons

int32_t TCodeMemo::displayLineEnd(TCodeNavigator& navigator) {
    const int32_t index = navigator.ParNumber();
    const TParagraph& p = *navigator.Paragraph();
    const int32_t lineInPar = navigator.LineInPar();
    const int32_t end = paragraphs_.Start(index) + p.Line(lineInPar).Stop;
    // The paragraph's last line takes the break after it.
    return lineInPar == p.LineCount() - 1 && index + 1 < paragraphs_.Count() ? end + 2 : end;
}

void TCodeMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (trackPointerAt(x, y) && button == mbLeft && !selecting_)
        hover(x, y);
    if (button == mbLeft && updateCount_ == 0) {
        blockMode_ = false;
        pressOffset_ = mouseNav_->Pos();
        rememberedColumn_ = INT32_MIN;
        if (!DisplayOnly) {
            selecting_ = true;
            if (wordSelect_)
                return;
            virtualColumns_ = 0;
            dragging_ = overSelection_ && !ReadOnly;
            if (dragging_) {
                pointerOutside_ = false;
                showDragCursor(false);
                CaretUpdate(true);
                if (OnAfterMouseDown)
                    OnAfterMouseDown(this, button, shift, x, y);
                return;
            }
            if (marginLine_ >= 0) {
                // A press in the margin selects the whole display line.
                work4_->SetLineNumber(marginLine_);
                const int32_t start = work4_->Pos();
                const int32_t end = displayLineEnd(*work4_);
                SetSelStart(start);
                SetSelLength(end - start);
            } else {
                const bool block = (shift & (ssShift | ssAlt | ssCtrl)) == ssAlt &&
                                   options_.Contains(pmoBlockSelection) && !wordWrap_;
                const int32_t target = mouseNav_->Pos();
                int32_t columns = 0;
                if (options_.Contains(pmoKeepColumnPos) || block) {
                    if (mouseNav_->ParOffset() >= mouseNav_->Paragraph()->Length() || mouseNav_->CharAt() == '\t')
                        columns = blankColumns(NavigatorX(*mouseNav_), x);
                }
                if (shift & ssShift)
                    extendSelectionTo(target);
                else
                    collapseSelectionTo(*mouseNav_);
                virtualColumns_ = columns;
                blockMode_ = block;
            }
            breakGrouping_ = true;
            SelectionChanged();
            if (blockMode_) {
                blockColumn1_ = blockColumn2_ = caretColumn();
                SelectionChanged();
            }
        }
    }
    if (!Focused() && CanFocus())
        SetFocus();
    if (OnAfterMouseDown)
        OnAfterMouseDown(this, button, shift, x, y);
}

void TCodeMemo::DblClick() {
    if (!DisplayOnly) {
        wordSelect_ = true;
        selectWord(true);
        CaretUpdate();
    }
    TCustomControl::DblClick();
}

void TCodeMemo::selectWord(bool extendForward) {
    TCodeNavigator& nav = *work4_;
    nav.Assign(*selStart_);
    const int32_t oldStart = nav.Pos();
    while (nav.Pos() > 0 && isWordBoundary(nav.CharAt()))
        nav.SetPos(nav.Pos() - 1);
    toWordStart(nav);
    int32_t start = nav.Pos();
    int32_t end = selEnd_->Pos();
    if (extendForward) {
        nav.Assign(*selEnd_);
        toWordEnd(nav);
        if (options_.Contains(pmoLargeWordSelect))
            overSeparatorsInLine(nav);
        end = nav.Pos();
    }
    if (start != oldStart)
        selStart_->SetPos(start);
    selEnd_->SetPos(end);
    selLength_ = caretAtEnd_ ? start - end : end - start;
    blockMode_ = false;
    SelectionChanged();
}

void TCodeMemo::MouseMove(TShiftState shift, int x, int y) {
    if (!trackPointerAt(x, y)) {
        TCustomControl::MouseMove(shift, x, y);
        return;
    }
    if (!(shift & ssLeft)) {
        hover(x, y);
    } else if (selecting_) {
        const int32_t clientWidth = ClientWidth();
        const int32_t clientHeight = ClientHeight();
        // Below the text the pointer counts as on its last line.
        const int32_t textBottom = LineToY(lineCount_ - TopLine()) - 1;
        if (y > textBottom)
            y = textBottom;
        int direction = 0;
        int speed = 0;
        if (x < 0 && (!dragging_ || x > -24))
            direction = 3, speed = -x / 3;
        if (x > clientWidth && (!dragging_ || x < clientWidth + 24))
            direction = 4, speed = (x - clientWidth) / 3;
        if (y < -3 && (!dragging_ || y > -27))
            direction = 1, speed = -y / 3;
        if (y > clientHeight && (!dragging_ || y < clientHeight + 24))
            direction = 2, speed = (y - clientHeight) / 3;
        if (dragging_ && (direction == 1 || direction == 2) && (x < -3 || x > clientWidth + 3))
            direction = 0;
        setAutoScroll(direction, speed);

        if (marginLine_ >= 0) {
            // Line selection: whole display lines from the anchor line.
            TCodeNavigator& anchor = *work4_;
            anchor.SetLineNumber(marginLine_);
            const int32_t anchorStart = anchor.Pos();
            const int32_t anchorEnd = displayLineEnd(anchor);
            const int32_t pointerLine = mouseNav_->LineNumber();
            TCodeNavigator& line = *keyNav_;
            line.SetLineNumber(pointerLine);
            if (pointerLine < marginLine_) {
                SetSelStart(line.Pos());
                SetSelLength(anchorEnd - line.Pos());
            } else if (pointerLine > marginLine_) {
                const int32_t end = displayLineEnd(line);
                SetSelStart(end);
                SetSelLength(anchorStart - end);
            } else {
                SetSelStart(anchorStart);
                SetSelLength(anchorEnd - anchorStart);
            }
        } else if (dragging_) {
            const bool inside = lastPointer_.X > 0 && lastPointer_.X < clientWidth && lastPointer_.Y > 0 &&
                                lastPointer_.Y < clientHeight;
            if (inside) {
                CaretUpdate();
                if (pointerOutside_) {
                    pointerOutside_ = false;
                    showDragCursor((shift & ssCtrl) != 0);
                }
            } else if (autoScrollDirection_ == 0 && !pointerOutside_) {
                SetScreenCursor(crNoDrop);
                pointerOutside_ = true;
            }
        } else if (wordSelect_) {
            const int32_t pointer = mouseNav_->Pos();
            if (pointer > pressOffset_) {
                const int32_t start = std::min(pressOffset_, selStart_->Pos());
                selStart_->SetPos(start);
                selEnd_->SetPos(pointer);
                caretAtEnd_ = true;
            } else {
                const int32_t end = std::max(pressOffset_, selEnd_->Pos());
                selStart_->SetPos(pointer);
                selEnd_->SetPos(end);
                caretAtEnd_ = false;
            }
            // selectWord widens the ends to whole words and sets SelLength.
            selectWord(pointer >= selEnd_->Pos());
        } else {
            const int32_t columns = blockMode_ ? blankColumns(NavigatorX(*mouseNav_), x) : 0;
            const int32_t oldCaret = SelStart();
            const int32_t oldColumns = virtualColumns_;
            if (mouseNav_->Pos() != oldCaret || columns != oldColumns) {
                extendSelectionTo(mouseNav_->Pos());
                virtualColumns_ = columns;
                selectionMoved();
            }
        }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCodeMemo::setAutoScroll(int direction, int speed) {
    const int previous = autoScrollDirection_;
    autoScrollDirection_ = direction;
    autoScrollSpeed_ = speed;
    if (direction == 0) {
        if (previous != 0)
            KillTimer(this, kAutoScrollTimer);
        return;
    }
    if (direction != previous) {
        // The first step at once, the next ones paced by the timer.
        SetTimer(this, kAutoScrollTimer, autoScrollDelay(speed));
        autoScrollStep();
    }
}

void TCodeMemo::autoScrollStep() {
    const int direction = autoScrollDirection_;
    if (direction == 0 || !selecting_) {
        autoScrollDirection_ = 0;
        KillTimer(this, kAutoScrollTimer);
        return;
    }
    const int speed = std::max(autoScrollSpeed_, 1);
    int x = lastPointer_.X;
    int y = lastPointer_.Y;
    switch (direction) {
    case 1:
        if (TopLine() > 0)
            SendMessage(this, WM_VSCROLL, SB_LINEUP);
        y = -(speed * 3) - 1;
        break;
    case 2:
        if (TopLine() <= lineCount_ - visibleLines_)
            SendMessage(this, WM_VSCROLL, SB_LINEDOWN);
        y = ClientHeight() + speed * 3;
        break;
    case 3:
        if (leftPixel_ > 0)
            SendMessage(this, WM_HSCROLL, SB_LINELEFT);
        x = -(speed * 3);
        break;
    case 4:
        if (widestWidth_ - ClientWidth() > leftPixel_)
            SendMessage(this, WM_HSCROLL, SB_LINERIGHT);
        x = ClientWidth() + speed * 3;
        break;
    default:
        break;
    }
    // The selection follows the scrolled text.
    MouseMove(ssLeft, x, y);
    if (autoScrollDirection_ != 0)
        SetTimer(this, kAutoScrollTimer, autoScrollDelay(autoScrollSpeed_));
}

void TCodeMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (wordSelect_)
        CaretUpdate();
    selecting_ = false;
    wordSelect_ = false;
    setAutoScroll(0, 0);
    if (button == mbRight) {
        overSelection_ = false;
        restoreCursor();
    }
    lastPointer_ = {x, y};
    trackPointerAt(x, y);
    contextMenuTaken_ = false;
    if (dragging_) {
        finishDrag(shift);
        TCustomControl::MouseUp(button, shift, x, y);
        return;
    }
    if ((mouseNav_->Pos() == pressOffset_ || button == mbRight) && contextClick(button)) {
        if (button == mbRight)
            contextMenuTaken_ = true;
        TCustomControl::MouseUp(button, shift, x, y);
        return;
    }
    TCustomControl::MouseUp(button, shift, x, y);
    if (button == mbRight && PopupMenu() == nullptr && !options_.Contains(pmoNoDefaultPopup)) {
        contextMenuTaken_ = true;
        showDefaultPopup(x, y);
        return;
    }
    if (!DisplayOnly)
        ScrollInView();
}

void TCodeMemo::finishDrag(TShiftState shift) {
    dragging_ = false;
    SetScreenCursor(crDefault);
    overSelection_ = false;
    restoreCursor();
    if (!pointerOutside_) {
        const int32_t drop = mouseNav_->Pos();
        if (drop < selStart_->Pos() || drop >= selEnd_->Pos()) {
            std::string text = SelText();
            if (static_cast<int64_t>(text.size()) > kMaxTextLength)
                text.resize(static_cast<size_t>(kMaxTextLength));
            const bool copy = (shift & ssCtrl) != 0;
            RunInUpdate(*this, [&] {
                TUndoAction action(*this);
                if (copy)
                    SetSelLength(0);
                else
                    ClearSelection();
                // The mouse navigator followed the deletion.
                const int32_t at = mouseNav_->Pos();
                SetSelStart(at);
                // A move comes back with one Undo.
                replaceSelectionGrouped(text, !copy);
                SetSelLength(at - SelStart());
            });
        } else {
            SetSelStart(drop);
        }
    }
    CaretUpdate(true);
    ScrollInView();
    MouseMove(shift & ~(ssLeft | ssRight | ssMiddle), lastPointer_.X, lastPointer_.Y);
}

// ---------------------------------------------------------------------------
// Clicks into contexts

bool TCodeMemo::contextClick(TMouseButton button) {
    const int32_t click = mouseNav_->Pos();
    if (click >= textLength_)
        return false;
    const int32_t index = mouseNav_->ParNumber();
    const TParagraph& p = paragraphs_[index];
    const int32_t inPar = mouseNav_->ParOffset();
    const int32_t recordIndex = p.ContextIndexAt(inPar + 1) - 1;
    const TContextRecord& context = recordIndex >= 0 ? p.Contexts[static_cast<size_t>(recordIndex)] : *p.BaseContext;
    if (!(context.Flags & TContextRecord::kStyled) || context.ContextNumber == 0)
        return false;
    const bool listeners = AttachedCount() > 0 || Highlighter() != nullptr;
    if (!OnContext && !listeners)
        return false;
    // The context's range: from the record in force to the next one.
    int32_t start = 0;
    if (recordIndex >= 0) {
        start = paragraphs_.Start(index) + context.Offset;
    } else {
        for (int32_t i = index - 1; i >= 0; --i)
            if (!paragraphs_[i].Contexts.empty()) {
                start = paragraphs_.Start(i) + paragraphs_[i].Contexts.back().Offset;
                break;
            }
    }
    int32_t stop = textLength_;
    if (recordIndex + 1 < static_cast<int32_t>(p.Contexts.size())) {
        stop = paragraphs_.Start(index) + p.Contexts[static_cast<size_t>(recordIndex + 1)].Offset;
    } else {
        for (int32_t i = index + 1; i < paragraphs_.Count(); ++i)
            if (!paragraphs_[i].Contexts.empty()) {
                stop = paragraphs_.Start(i) + paragraphs_[i].Contexts.front().Offset;
                break;
            }
    }
    const int32_t number = context.ContextNumber;
    if (listeners) {
        std::string text = GetTextRange(start, stop);
        const unsigned notice = button == mbRight ? WM_CODEMEMO_CONTEXTRIGHTCLICK : WM_CODEMEMO_CONTEXTCLICK;
        Perform(notice, static_cast<WPARAM>(number), reinterpret_cast<LPARAM>(&text));
        // The highlighter is not in the attached list; it hears the same
        // notice while it is the current message.
        if (TCodeHighlighter* highlighter = Highlighter()) {
            currentMessage_ = TMessage{notice, static_cast<WPARAM>(number), reinterpret_cast<LPARAM>(&text), 0};
            SendNotification(highlighter, this, kMemoMessage);
        }
    }
    if (OnContext)
        OnContext(this, number, start, stop);
    return true;
}

// ---------------------------------------------------------------------------
// The default popup menu

void TCodeMemo::CreateDefaultPopup() {
    if (defaultPopup_)
        return;
    defaultPopup_ = std::make_unique<TPopupMenu>();
    struct TItem {
        const char* Caption;
        void (TCodeMemo::*Command)(); // none for a separator
    };
    const TItem items[] = {{"&Undo", &TCodeMemo::Undo},
                           {"&Redo", &TCodeMemo::Redo},
                           {"-", nullptr},
                           {"Cu&t", &TCodeMemo::CutToClipboard},
                           {"&Copy", &TCodeMemo::CopyToClipboard},
                           {"&Paste", &TCodeMemo::PasteFromClipboard},
                           {"-", nullptr},
                           {"&Select all", &TCodeMemo::SelectAll}};
    for (const TItem& item : items) {
        TNotifyEvent click;
        if (item.Command != nullptr)
            click = [this, command = item.Command](TPersistent*) { (this->*command)(); };
        defaultPopup_->Add(item.Caption, std::move(click));
    }
    defaultPopup_->OnPopup = [this](TPersistent*) { popupAboutToShow(); };
}

void TCodeMemo::popupAboutToShow() {
    TPopupMenu& menu = *defaultPopup_;
    const bool changeable = userMayEdit();
    menu.Items(0)->Enabled = CanUndo();
    menu.Items(1)->Enabled = CanRedo();
    menu.Items(3)->Enabled = selLength_ != 0 && changeable;
    menu.Items(4)->Enabled = selLength_ != 0;
    menu.Items(5)->Enabled = changeable && Clipboard().HasFormat(CF_TEXT);
    menu.Items(7)->Enabled = true;
}

void TCodeMemo::showDefaultPopup(int x, int y) {
    CreateDefaultPopup();
    defaultPopup_->PopupComponent = this;
    defaultPopup_->Popup(ClientToScreen({x, y}));
}
