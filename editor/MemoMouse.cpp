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

#include "editor/MemoMouse.h"

#include "editor/CodeMemo.h"
#include "editor/MemoView.h"
#include "editor/model/CodeHighlighter.h"
#include "editor/model/ScopeGuards.h"
#include "editor/model/WordMoves.h"

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

TPoint TMemoMouse::lastPointer_;

TMemoMouse::TMemoMouse(TCodeMemo& memo, TMemoView& view)
    : memo_(memo), view_(view), document_(memo.Document()), selection_(memo.Selection()),
      pointer_(std::make_unique<TCodeNavigator>(&document_)), anchor_(std::make_unique<TCodeNavigator>(&document_)),
      pointerLine_(std::make_unique<TCodeNavigator>(&document_)) {}

TMemoMouse::~TMemoMouse() = default;

void TMemoMouse::Release() {
    KillTimer(&memo_, TCodeMemo::kAutoScrollTimer);
    autoScrollDirection_ = 0;
    if (dragging_) {
        dragging_ = false;
        SetScreenCursor(crDefault);
    }
    if (memo_.MouseCapture())
        ReleaseCapture();
}

void TMemoMouse::CaptureLost() {
    selecting_ = false;
    wordSelect_ = false;
    setAutoScroll(0, 0);
}

bool TMemoMouse::TakeContextMenu() {
    const bool taken = contextMenuTaken_;
    contextMenuTaken_ = false;
    return taken;
}

// ---------------------------------------------------------------------------
// Cursors

void TMemoMouse::saveCursor() {
    if (cursorSaved_)
        return;
    savedCursor_ = memo_.Cursor();
    cursorSaved_ = true;
}

void TMemoMouse::restoreCursor() {
    if (!cursorSaved_ || overSelection_ || contextCursor_ || marginLine_ >= 0)
        return;
    cursorSaved_ = false;
    memo_.SetCursor(savedCursor_);
}

void TMemoMouse::ShowDragCursor(bool copy) { SetScreenCursor(copy ? NamedCursor("DRAGCOPY") : crDrag); }

bool TMemoMouse::PointerOverDrop() const { return !pointerOutside_ && memo_.Peer() != nullptr && memo_.Peer()->PointerInside(); }

void TMemoMouse::updateCursorShape() {
    if (memo_.HandleAllocated())
        memo_.Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(&memo_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

bool TMemoMouse::SetCursorMessage(TMessage& message) {
    if (reinterpret_cast<TCodeMemo*>(message.WParam) == &memo_ &&
        LOWORD(static_cast<uintptr_t>(message.LParam)) == HTCLIENT && marginLine_ >= 0) {
        memo_.ShowCursorShape(NamedCursor("PMRIGHTARROW"));
        message.Result = 1;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The pointer

bool TMemoMouse::trackPointerAt(int x, int y) {
    lastPointer_ = {x, y};
    if (document_.UpdateCount() > 0 || view_.LineHeight() < 1)
        return false;
    const int32_t top = view_.TopLine();
    int32_t line = std::max(view_.YToLine(y) + top, 0);
    line = std::min(line, top + std::max(view_.VisibleLineCount(), 1) - 1);
    pointer_->SetLineNumber(line);
    if (!pointer_->Paragraph()->Formatted)
        return false;
    const int32_t last = document_.LineCount() - 1;
    if (pointer_->LineNumber() < last || y < view_.LineToY(last - top) + view_.LineHeight()) {
        int32_t column = view_.XToOffset(pointer_->Paragraph(), pointer_->ParNumber(),
                                   document_.Options().Contains(pmoKeepColumnPos), x, pointer_->LineInPar());
        PlaceInLine(*pointer_, column);
    } else {
        pointer_->SetPos(document_.TextLength());
    }
    return true;
}

void TMemoMouse::hover(int x, int y) {
    const bool inMargin = x < document_.Layout().LeftMargin() - 2 - view_.LeftPixel();
    if (inMargin && !document_.Options().Contains(pmoNoLineSelection)) {
        const int32_t previous = marginLine_;
        marginLine_ = pointer_->LineNumber();
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
    if (!document_.Options().Contains(pmoNoDragnDrop)) {
        const int32_t offset = pointer_->Pos();
        const bool over = selection_.SelLength() != 0 && offset >= selection_.StartNavigator().Pos() && offset < selection_.EndNavigator().Pos() && !selection_.BlockMode() &&
                          memo_.UserMayEdit();
        if (over && !overSelection_) {
            saveCursor();
            overSelection_ = true;
            contextCursor_ = false;
            memo_.SetCursor(crArrow);
        } else if (!over && overSelection_) {
            overSelection_ = false;
            restoreCursor();
        }
    }
    if (!overSelection_ && marginLine_ < 0) {
        const TContextState* context = nullptr;
        if (pointer_->Pos() < document_.TextLength()) {
            const TParagraph& p = *pointer_->Paragraph();
            context = &p.ContextBefore(pointer_->ParOffset() + 1);
        }
        if (context != nullptr && (context->Flags & TContextState::kStyled) && context->Tag != 0) {
            saveCursor();
            contextCursor_ = true;
            memo_.SetCursor(static_cast<int16_t>(context->Tag));
        } else if (contextCursor_) {
            contextCursor_ = false;
            restoreCursor();
        }
    }
}

// ---------------------------------------------------------------------------
// Buttons

int32_t TMemoMouse::displayLineEnd(TCodeNavigator& navigator) {
    const int32_t index = navigator.ParNumber();
    const TParagraph& p = *navigator.Paragraph();
    const int32_t lineInPar = navigator.LineInPar();
    const int32_t end = document_.ParagraphList().Start(index) + p.Line(lineInPar).Stop;
    // The paragraph's last line takes the break after it.
    return lineInPar == p.LineCount() - 1 && index + 1 < document_.ParagraphList().Count() ? end + 2 : end;
}

void TMemoMouse::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    memo_.inheritedMouseDown(button, shift, x, y);
    if (trackPointerAt(x, y) && button == mbLeft && !selecting_)
        hover(x, y);
    if (button == mbLeft && document_.UpdateCount() == 0) {
        selection_.SetBlockMode(false);
        pressOffset_ = pointer_->Pos();
        selection_.SetRememberedColumn(TTextSelection::kNoColumn);
        if (!memo_.DisplayOnly) {
            selecting_ = true;
            if (wordSelect_)
                return;
            selection_.SetVirtualColumns(0);
            dragging_ = overSelection_ && !memo_.ReadOnly;
            if (dragging_) {
                pointerOutside_ = false;
                ShowDragCursor(false);
                view_.CaretUpdate(true);
                if (memo_.OnAfterMouseDown)
                    memo_.OnAfterMouseDown(&memo_, button, shift, x, y);
                return;
            }
            if (marginLine_ >= 0) {
                // A press in the margin selects the whole display line.
                anchor_->SetLineNumber(marginLine_);
                const int32_t start = anchor_->Pos();
                const int32_t end = displayLineEnd(*anchor_);
                memo_.SetSelStart(start);
                memo_.SetSelLength(end - start);
            } else {
                const bool block = (shift & (ssShift | ssAlt | ssCtrl)) == ssAlt &&
                                   document_.Options().Contains(pmoBlockSelection) && !document_.Layout().WordWrap();
                const int32_t target = pointer_->Pos();
                int32_t columns = 0;
                if (document_.Options().Contains(pmoKeepColumnPos) || block) {
                    if (pointer_->ParOffset() >= pointer_->Paragraph()->Length() || pointer_->CharAt() == '\t')
                        columns = view_.BlankColumns(view_.NavigatorX(*pointer_), x);
                }
                if (shift & ssShift)
                    selection_.ExtendTo(target);
                else
                    selection_.CollapseTo(*pointer_);
                selection_.SetVirtualColumns(columns);
                selection_.SetBlockMode(block);
            }
            document_.UndoHistory().BreakGrouping();
            view_.SelectionChanged();
            if (selection_.BlockMode()) {
                selection_.SetBlockColumns(view_.CaretColumn(), view_.CaretColumn());
                view_.SelectionChanged();
            }
        }
    }
    if (!memo_.Focused() && memo_.CanFocus())
        memo_.SetFocus();
    if (memo_.OnAfterMouseDown)
        memo_.OnAfterMouseDown(&memo_, button, shift, x, y);
}

void TMemoMouse::DblClick() {
    if (!memo_.DisplayOnly) {
        wordSelect_ = true;
        selectWord(true);
        view_.CaretUpdate();
    }
    memo_.inheritedDblClick();
}

void TMemoMouse::selectWord(bool extendForward) {
    TCodeNavigator& nav = *anchor_;
    nav.Assign(selection_.StartNavigator());
    const int32_t oldStart = nav.Pos();
    while (nav.Pos() > 0 && IsWordBoundary(nav, nav.CharAt()))
        nav.SetPos(nav.Pos() - 1);
    ToWordStart(nav);
    int32_t start = nav.Pos();
    int32_t end = selection_.EndNavigator().Pos();
    if (extendForward) {
        nav.Assign(selection_.EndNavigator());
        ToWordEnd(nav);
        if (document_.Options().Contains(pmoLargeWordSelect))
            OverSeparatorsInLine(nav);
        end = nav.Pos();
    }
    if (start == oldStart)
        start = selection_.StartNavigator().Pos();
    selection_.SetEnds(start, end, selection_.CaretAtEnd());
    selection_.SetBlockMode(false);
    view_.SelectionChanged();
}

void TMemoMouse::MouseMove(TShiftState shift, int x, int y) {
    if (!trackPointerAt(x, y)) {
        memo_.inheritedMouseMove(shift, x, y);
        return;
    }
    if (!(shift & ssLeft)) {
        hover(x, y);
    } else if (selecting_) {
        const int32_t clientWidth = memo_.ClientWidth();
        const int32_t clientHeight = memo_.ClientHeight();
        // Below the text the pointer counts as on its last line.
        const int32_t textBottom = view_.LineToY(document_.LineCount() - view_.TopLine()) - 1;
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
            TCodeNavigator& anchor = *anchor_;
            anchor.SetLineNumber(marginLine_);
            const int32_t anchorStart = anchor.Pos();
            const int32_t anchorEnd = displayLineEnd(anchor);
            const int32_t pointerLine = pointer_->LineNumber();
            TCodeNavigator& line = *pointerLine_;
            line.SetLineNumber(pointerLine);
            if (pointerLine < marginLine_) {
                memo_.SetSelStart(line.Pos());
                memo_.SetSelLength(anchorEnd - line.Pos());
            } else if (pointerLine > marginLine_) {
                const int32_t end = displayLineEnd(line);
                memo_.SetSelStart(end);
                memo_.SetSelLength(anchorStart - end);
            } else {
                memo_.SetSelStart(anchorStart);
                memo_.SetSelLength(anchorEnd - anchorStart);
            }
        } else if (dragging_) {
            const bool inside = lastPointer_.X > 0 && lastPointer_.X < clientWidth && lastPointer_.Y > 0 &&
                                lastPointer_.Y < clientHeight;
            if (inside) {
                view_.CaretUpdate();
                if (pointerOutside_) {
                    pointerOutside_ = false;
                    ShowDragCursor((shift & ssCtrl) != 0);
                }
            } else if (autoScrollDirection_ == 0 && !pointerOutside_) {
                SetScreenCursor(crNoDrop);
                pointerOutside_ = true;
            }
        } else if (wordSelect_) {
            const int32_t pointer = pointer_->Pos();
            if (pointer > pressOffset_) {
                const int32_t start = std::min(pressOffset_, selection_.StartNavigator().Pos());
                selection_.SetEnds(start, pointer, true);
            } else {
                const int32_t end = std::max(pressOffset_, selection_.EndNavigator().Pos());
                selection_.SetEnds(pointer, end, false);
            }
            // selectWord widens the ends to whole words and sets SelLength.
            selectWord(pointer >= selection_.EndNavigator().Pos());
        } else {
            const int32_t columns = selection_.BlockMode() ? view_.BlankColumns(view_.NavigatorX(*pointer_), x) : 0;
            const int32_t oldCaret = memo_.SelStart();
            const int32_t oldColumns = selection_.VirtualColumns();
            if (pointer_->Pos() != oldCaret || columns != oldColumns) {
                selection_.ExtendTo(pointer_->Pos());
                selection_.SetVirtualColumns(columns);
                view_.ShowMovedSelection();
            }
        }
    }
    memo_.inheritedMouseMove(shift, x, y);
}

void TMemoMouse::setAutoScroll(int direction, int speed) {
    const int previous = autoScrollDirection_;
    autoScrollDirection_ = direction;
    autoScrollSpeed_ = speed;
    if (direction == 0) {
        if (previous != 0)
            KillTimer(&memo_, TCodeMemo::kAutoScrollTimer);
        return;
    }
    if (direction != previous) {
        // The first step at once, the next ones paced by the timer.
        SetTimer(&memo_, TCodeMemo::kAutoScrollTimer, autoScrollDelay(speed));
        AutoScrollStep();
    }
}

void TMemoMouse::AutoScrollStep() {
    const int direction = autoScrollDirection_;
    if (direction == 0 || !selecting_) {
        autoScrollDirection_ = 0;
        KillTimer(&memo_, TCodeMemo::kAutoScrollTimer);
        return;
    }
    const int speed = std::max(autoScrollSpeed_, 1);
    int x = lastPointer_.X;
    int y = lastPointer_.Y;
    switch (direction) {
    case 1:
        if (view_.TopLine() > 0)
            SendMessage(&memo_, WM_VSCROLL, SB_LINEUP);
        y = -(speed * 3) - 1;
        break;
    case 2:
        if (view_.TopLine() <= document_.LineCount() - view_.VisibleLineCount())
            SendMessage(&memo_, WM_VSCROLL, SB_LINEDOWN);
        y = memo_.ClientHeight() + speed * 3;
        break;
    case 3:
        if (view_.LeftPixel() > 0)
            SendMessage(&memo_, WM_HSCROLL, SB_LINELEFT);
        x = -(speed * 3);
        break;
    case 4:
        if (document_.Layout().WidestLineWidth() - memo_.ClientWidth() > view_.LeftPixel())
            SendMessage(&memo_, WM_HSCROLL, SB_LINERIGHT);
        x = memo_.ClientWidth() + speed * 3;
        break;
    default:
        break;
    }
    // The selection follows the scrolled text.
    MouseMove(ssLeft, x, y);
    if (autoScrollDirection_ != 0)
        SetTimer(&memo_, TCodeMemo::kAutoScrollTimer, autoScrollDelay(autoScrollSpeed_));
}

void TMemoMouse::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (wordSelect_)
        view_.CaretUpdate();
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
        memo_.inheritedMouseUp(button, shift, x, y);
        return;
    }
    // A click into a context shows no default menu; a menu of the memo's
    // own still opens on a right click there.
    if ((pointer_->Pos() == pressOffset_ || button == mbRight) && contextClick(button)) {
        memo_.inheritedMouseUp(button, shift, x, y);
        return;
    }
    memo_.inheritedMouseUp(button, shift, x, y);
    if (button == mbRight && memo_.PopupMenu() == nullptr && !document_.Options().Contains(pmoNoDefaultPopup)) {
        contextMenuTaken_ = true;
        showDefaultPopup(x, y);
        return;
    }
    if (!memo_.DisplayOnly)
        view_.ScrollInView();
}

void TMemoMouse::finishDrag(TShiftState shift) {
    dragging_ = false;
    SetScreenCursor(crDefault);
    overSelection_ = false;
    restoreCursor();
    if (!pointerOutside_) {
        const int32_t drop = pointer_->Pos();
        if (drop < selection_.StartNavigator().Pos() || drop >= selection_.EndNavigator().Pos()) {
            std::string text = memo_.SelText();
            if (static_cast<int64_t>(text.size()) > kMaxTextLength)
                text.resize(static_cast<size_t>(kMaxTextLength));
            const bool copy = (shift & ssCtrl) != 0;
            RunInUpdate(document_, [&] {
                TUndoHistory::TAction action(document_.UndoHistory());
                if (copy)
                    memo_.SetSelLength(0);
                else
                    memo_.ClearSelection();
                // The mouse navigator followed the deletion.
                const int32_t at = pointer_->Pos();
                memo_.SetSelStart(at);
                // A move comes back with one Undo.
                selection_.ReplaceGrouped(text, !copy);
                memo_.SetSelLength(at - memo_.SelStart());
            });
        } else {
            memo_.SetSelStart(drop);
        }
    }
    view_.CaretUpdate(true);
    view_.ScrollInView();
    MouseMove(shift & ~(ssLeft | ssRight | ssMiddle), lastPointer_.X, lastPointer_.Y);
}

// ---------------------------------------------------------------------------
// Clicks into contexts

bool TMemoMouse::contextClick(TMouseButton button) {
    const int32_t click = pointer_->Pos();
    if (click >= document_.TextLength())
        return false;
    const int32_t index = pointer_->ParNumber();
    const TParagraph& p = document_.ParagraphList()[index];
    const int32_t inPar = pointer_->ParOffset();
    const int32_t recordIndex = p.ContextIndexAt(inPar + 1) - 1;
    const TContextState& context = recordIndex >= 0 ? p.Contexts.State(recordIndex) : p.Base();
    if (!(context.Flags & TContextState::kStyled) || context.ContextNumber == 0)
        return false;
    const bool listeners = memo_.AttachedCount() > 0 || document_.Highlighting().Highlighter() != nullptr;
    if (!memo_.OnContext && !listeners)
        return false;
    // The context's range: from the record in force to the next one.
    int32_t start = 0;
    if (recordIndex >= 0) {
        start = document_.ParagraphList().Start(index) + p.Contexts.Offset(recordIndex);
    } else {
        for (int32_t i = index - 1; i >= 0; --i)
            if (!document_.ParagraphList()[i].Contexts.Empty()) {
                start = document_.ParagraphList().Start(i) + document_.ParagraphList()[i].Contexts.LastOffset();
                break;
            }
    }
    int32_t stop = document_.TextLength();
    if (recordIndex + 1 < p.Contexts.Count()) {
        stop = document_.ParagraphList().Start(index) + p.Contexts.Offset(recordIndex + 1);
    } else {
        for (int32_t i = index + 1; i < document_.ParagraphList().Count(); ++i)
            if (!document_.ParagraphList()[i].Contexts.Empty()) {
                stop = document_.ParagraphList().Start(i) + document_.ParagraphList()[i].Contexts.Offset(0);
                break;
            }
    }
    const int32_t number = context.ContextNumber;
    if (listeners) {
        std::string text = memo_.GetTextRange(start, stop);
        const unsigned notice = button == mbRight ? WM_CODEMEMO_CONTEXTRIGHTCLICK : WM_CODEMEMO_CONTEXTCLICK;
        memo_.Perform(notice, static_cast<WPARAM>(number), reinterpret_cast<LPARAM>(&text));
        // The highlighter is not in the attached list; it hears the same
        // notice while it is the current message.
        if (TCodeHighlighter* highlighter = document_.Highlighting().Highlighter()) {
            memo_.SetCurrentMessage(TMessage{notice, static_cast<WPARAM>(number), reinterpret_cast<LPARAM>(&text), 0});
            highlighter->Notify(&memo_, kMemoMessage);
        }
    }
    if (memo_.OnContext)
        memo_.OnContext(&memo_, number, start, stop);
    return true;
}

// ---------------------------------------------------------------------------
// The default popup menu

void TMemoMouse::CreateDefaultPopup() {
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
            click = [this, command = item.Command](TPersistent*) { (memo_.*command)(); };
        defaultPopup_->Add(item.Caption, std::move(click));
    }
    defaultPopup_->OnPopup = [this](TPersistent*) { popupAboutToShow(); };
}

void TMemoMouse::popupAboutToShow() {
    TPopupMenu& menu = *defaultPopup_;
    const bool changeable = memo_.UserMayEdit();
    menu.Items(0)->Enabled = memo_.CanUndo();
    menu.Items(1)->Enabled = memo_.CanRedo();
    menu.Items(3)->Enabled = selection_.SelLength() != 0 && changeable;
    menu.Items(4)->Enabled = selection_.SelLength() != 0;
    menu.Items(5)->Enabled = changeable && Clipboard().HasFormat(CF_TEXT);
    menu.Items(7)->Enabled = true;
}

void TMemoMouse::showDefaultPopup(int x, int y) {
    CreateDefaultPopup();
    defaultPopup_->PopupComponent = &memo_;
    defaultPopup_->Popup(memo_.ClientToScreen({x, y}));
}
