#pragma once
// TMemoMouse: the memo's mouse turned into caret moves, selections and
// drag-and-drop edits of its document.  Placing the caret, selecting by
// characters, by whole display lines from the left margin, by whole words
// after a double click and as a column block; auto-scrolling while the
// pointer is held outside the window; dragging the selection to move or
// copy it; the cursor shapes; clicks into highlighted contexts and the
// default popup menu.
//
// Auto-scrolling is paced by a timer of the window, not by a loop that
// waits inside the mouse handler: the memo keeps answering messages, may be
// freed meanwhile (the timer goes with it), and a pointer just outside the
// window scrolls at the slowest pace rather than not at all.

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"
#include "platform/ui/PopupMenu.h"

#include <cstdint>
#include <memory>

class TCodeDocument;
class TCodeMemo;
class TCodeNavigator;
class TMemoView;
class TTextSelection;

class TMemoMouse {
public:
    TMemoMouse(TCodeMemo& memo, TMemoView& view);
    ~TMemoMouse();

    // The memo's mouse handlers; each runs the inherited handling (the
    // application's events) where the memo's order wants it.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DblClick();
    // The set-cursor message: the margin's arrow while the pointer is over it.
    bool SetCursorMessage(TMessage& message);
    void AutoScrollStep();
    // Whoever took the mouse ends a selection or a drag in progress.
    void CaptureLost();
    // A right click that was a context click or showed the default menu
    // has had its answer: true once for the context-menu message after it.
    bool TakeContextMenu();
    // The window goes: timers, drags and the capture end.
    void Release();

    bool Dragging() const { return dragging_; }
    int32_t MarginLine() const { return marginLine_; }
    int AutoScrollDirection() const { return autoScrollDirection_; }
    // Where the pointer is in the text (while dragging, the drop point).
    TCodeNavigator& PointerNavigator() { return *pointer_; }
    // While text is dragged: the cursor of a move or a copy, and whether
    // the pointer is over the window, where a drop would land.
    void ShowDragCursor(bool copy);
    bool PointerOverDrop() const;

    // The built-in menu (Undo, Redo, Cut, Copy, Paste, Select all), made on
    // first need.
    TPopupMenu* DefaultPopup() const { return defaultPopup_.get(); }
    void CreateDefaultPopup();

private:
    bool trackPointerAt(int x, int y);
    void hover(int x, int y);
    void selectWord(bool extendForward);
    // Where the display line of a navigator ends, its paragraph's break
    // included: what a click in the left margin selects.
    int32_t displayLineEnd(TCodeNavigator& navigator);
    void setAutoScroll(int direction, int speed);
    void finishDrag(TShiftState shift);
    bool contextClick(TMouseButton button);
    void saveCursor();
    void restoreCursor();
    // Shows the cursor shape for the pointer now, as a pointer move would
    // (the margin's arrow, or the control's cursor).
    void updateCursorShape();
    void showDefaultPopup(int x, int y);
    void popupAboutToShow();

    TCodeMemo& memo_;
    TMemoView& view_;
    TCodeDocument& document_;
    TTextSelection& selection_;
    std::unique_ptr<TCodeNavigator> pointer_;
    // The line a margin selection or a word selection started from.
    std::unique_ptr<TCodeNavigator> anchor_;
    // The display line under the pointer during a margin selection.
    std::unique_ptr<TCodeNavigator> pointerLine_;
    int32_t pressOffset_ = 0;
    bool selecting_ = false;
    bool wordSelect_ = false;
    int32_t marginLine_ = -1;
    bool overSelection_ = false;
    bool contextCursor_ = false;
    bool cursorSaved_ = false;
    int savedCursor_ = 0;
    bool dragging_ = false;
    bool pointerOutside_ = false;
    int autoScrollDirection_ = 0;
    int autoScrollSpeed_ = 0;
    bool contextMenuTaken_ = false;
    static TPoint lastPointer_;
    std::unique_ptr<TPopupMenu> defaultPopup_;
};
