#pragma once
// The drag and resize loops of dockable windows, and the decisions they
// make on every mouse move, as pure functions.
//
// Dragging (TTBCustomDockableWindow::TrackDrag) runs a modal loop that
// holds the mouse: every move decides which dock would take the window (if
// any), in which row and where, and shows it either at once (SmoothDrag) or
// as an outline in a window that lets all input through.  Ctrl keeps the
// window floating; Escape, or a press of another button, ends the drag;
// releasing the left button puts the window where the outline was.
// Resizing (TrackResize) sizes a floating window's frame by one of its
// edges or corners, within the window's client size limits.

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"

#include <vector>

class TTBDock;

// A row of a dock as the drag sees it: its thickness, and whether it
// holds a full-size bar.
struct TTBDragRow {
    int Size = 0;
    bool FullSize = false;
};

// The row a window dropped with its centre at offset centre (across the
// dock, client coordinates) goes to: an existing row, or a new row
// inserted before the row returned (newRow).  Rows of size 0 are passed
// over; past the last row the window gets a row after it.
int ChooseDockRow(const std::vector<TTBDragRow>& rows, int centre, bool windowFullSize, bool& newRow);

// Whether a point is over a dock for a drag: rect is the dock's screen
// rectangle, grab the pointer's place in the dragged window as a fraction
// of 25 across and down (the dock reaches further toward the side the
// window hangs from), outline the rectangle the window would have there.
bool DockHitTest(const TRect& dockRect, bool verticalDock, TPoint cursor, TPoint grab25, const TRect& outline);

// The outline of a window of size w x h held at grab (of a window of
// startSize, each its size minus 1) with the pointer at cursor: the grab
// point keeps its relative place (a start size of 0 divides nothing).
TRect DragOutline(TPoint cursor, TPoint grab, TSize startSize, int width, int height);

// Keeps a floating outline on the work area: an outline wholly beyond an
// edge of the area shrunk by inset comes back to touch it, and at least 4
// pixels of its top band (band pixels high) stay inside the area.
TRect KeepFloatingOutlineOnScreen(TRect outline, const TRect& workArea, int inset, int band);

// The sizing step: the start rectangle with the dragged edges (edge as the
// hit code minus HTLEFT) moved by delta, within the limits (a maximum of
// 0 does not limit), the dragged edge moving.
TRect SizeRect(const TRect& start, int edge, TPoint delta, TSize minimum, TSize maximum);

// The outline drawn during a drag or resize without live moves: a frame of
// thickness pixels around a screen rectangle, in a window that lets all
// input through.
class TTBDragOutline {
public:
    TTBDragOutline();
    ~TTBDragOutline();
    TTBDragOutline(const TTBDragOutline&) = delete;
    TTBDragOutline& operator=(const TTBDragOutline&) = delete;
    // An empty rectangle hides it.
    void Show(const TRect& rect, int thickness);
    void Hide();
    TRect Rect() const { return rect_; }
    int Thickness() const { return thickness_; }
    // The window (for tests); nullptr while hidden.
    TWinControl* Window() const;

private:
    class TWindow;
    TWindow* window_ = nullptr;
    TRect rect_;
    int thickness_ = 0;
};
