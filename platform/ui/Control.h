#pragma once
// The window base: TControl (anything with bounds on a parent), TWinControl
// (a control that can have a window, children, focus, scroll bars and a
// caret), TCustomControl (a window control that paints on its Canvas) and
// TGraphicControl (a windowless control painted by its parent).
//
// All behaviour runs through messages: Perform hands a TMessage to the
// virtual WndProc, which calls Dispatch; Dispatch handles the messages this
// class knows (each derived class overrides it and falls back on its base)
// and passes the rest to DefaultHandler.  A derived class that wants to see
// every message first (the editor passes them to attached components)
// overrides WndProc.
//
// A window control gets its window (peer) only when it is parented to a
// control that has one or when a top-level control is shown, and only when
// a peer factory is installed.  Without a window it still takes posted
// messages, timers and focus notices, and measures through its Canvas.

#include "platform/base/Component.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"
#include "platform/ui/SizeConstraints.h"
#include "platform/ui/WindowPeer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TMessageReceiver;
class TCustomPopupMenu;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TMouseEvent =
    std::function<void(TPersistent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TPersistent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TPersistent* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TPersistent* sender, char& key)>;
using TContextPopupEvent = std::function<void(TPersistent* sender, TPoint mousePos, bool& handled)>;

// Dragging one control onto another with the mouse (platform/ui/ControlDrag.cpp).
// A control drags only when BeginDrag is called (dmManual) or also by
// itself when its left button is pressed and the pointer moves
// (dmAutomatic).  The control under the pointer is told the drag entered,
// moved over or left it, and says whether it would take the source.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent =
    std::function<void(TPersistent* sender, TPersistent* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TPersistent* sender, TPersistent* source, int x, int y)>;
// target is nullptr when the drag was cancelled or dropped where nothing
// took it (x and y are then 0).
using TEndDragEvent = std::function<void(TPersistent* sender, TPersistent* target, int x, int y)>;
// A drag of the control began: the pointer has moved the threshold (or
// the drag started at once), before the first target is asked.
using TStartDragEvent = std::function<void(TPersistent* sender)>;
// What dragging the control does: carries it to a target that takes it
// (dkDrag), or moves the control itself: into a window control whose
// DockSite holds, or into a small floating tool window of its own when
// dropped elsewhere (dkDock).
enum TDragKind { dkDrag, dkDock };

// The edges of a control that keep their distance to the same edges of
// the parent's client area when the parent is resized (bits of Anchors).
// Both of two opposite edges stretch the control; neither keeps its centre
// at the same share of the parent's width or height.
enum : unsigned { akLeft = 0x1, akTop = 0x2, akRight = 0x4, akBottom = 0x8 };
using TAnchors = unsigned;
inline constexpr TAnchors akLeftTop = akLeft | akTop;

// Reading order and layout of a control.  bdRightToLeft mirrors the layout
// of a standard control (its scroll bar, alignment and parts); the others
// leave the layout as it is.  Controls that paint themselves keep
// left-to-right drawing.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Bits of ControlStyle.
enum : unsigned {
    csAcceptsControls = 0x0001,
    csCaptureMouse = 0x0002,
    csClickEvents = 0x0004,
    csOpaque = 0x0008,
    csDoubleClicks = 0x0010,
    csNoStdEvents = 0x0020,
};

// Bits of ControlState.
enum : unsigned {
    csLButtonDown = 0x0001,
    csClicked = 0x0002,
    csDestroyingHandle = 0x0008,
};

// Window styles a control asks for in CreateParams; the peer reads them
// when the window is made.
enum : unsigned {
    WS_BORDER = 0x00800000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_TABSTOP = 0x00010000,
    WS_EX_CLIENTEDGE = 0x00000200,
};
// What a control asks of its window: the kind (see WindowPeer.h), the
// styles, and for a top-level window the window it stays above (its owner
// window, or none).
struct TCreateParams {
    std::string Kind = std::string(wk::CustomDrawn);
    unsigned Style = 0;
    unsigned ExStyle = 0;
    TWinControl* WndParent = nullptr;
};
// The frame a custom-drawn window draws around its client area for these
// styles, in pixels on each side: a sunken client edge is 2, a border 1.
int CustomDrawnFrameWidth(const TCreateParams& params);

// How a control sits in its parent's client area: along an edge (full
// width or height there, its own other dimension), filling what the edges
// leave, or where its bounds put it.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The border of a window control (the last four for forms) and the scroll
// bars it asks for.
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Scroll-bar state, as SetScrollInfo takes it (Page 0 = no proportional
// thumb).
struct TScrollInfo {
    int Min = 0;
    int Max = 0;
    unsigned Page = 0;
    int Pos = 0;
    int TrackPos = 0;

    // Positions in the range (0 or less when Max is below Min).
    long long Span() const { return static_cast<long long>(Max) - Min + 1; }
    // The range does not fit in the page: there is something to scroll.
    bool NeedsScrolling() const { return Page > 0 ? Span() > Page : Max > Min; }
    // The last position the thumb reaches: a page before the end, never
    // below Min.
    int HighestPos() const;
};
enum : unsigned {
    SIF_RANGE = 0x01,
    SIF_PAGE = 0x02,
    SIF_POS = 0x04,
    SIF_DISABLENOSCROLL = 0x08,
    SIF_TRACKPOS = 0x10,
    SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS,
};

// The caret of a window control.
struct TCaretState {
    bool Created = false;
    int Width = 0;
    int Height = 0;
    TPoint Pos;
    int HideCount = 1; // created hidden; ShowCaret counts down
    bool Shown() const { return Created && HideCount <= 0; }
};

// The painting cycle of a WM_PAINT with WParam 0.
struct TPaintStruct {
    TCanvas* Canvas = nullptr;
    TRect rcPaint;
};

// What CM_HINTSHOW carries (its LParam) when the pointer has rested on a
// control whose ShowHint holds: the hint about to show, which the control
// may change (a toolbar names the item under the pointer), or refuse by
// answering non-zero.  Points and the rectangle are in the control's
// client coordinates; the hint goes when the pointer leaves the rectangle.
struct THintInfo {
    TPoint CursorPos;
    TRect CursorRect;
    // The short part of the control's Hint, before a "|".
    std::string HintStr;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner = nullptr);
    ~TControl() override;

    std::string ClassName() const override { return "TControl"; }

    // --- parent and bounds (relative to the parent's client area) ---------
    TWinControl* Parent() const { return parent_; }
    // Whether the control is ancestor or lies inside it, at any depth.
    bool IsWithin(const TControl& ancestor) const;
    virtual void SetParent(TWinControl* parent);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    // Client coordinates to screen coordinates and back (through the
    // nearest window; without one the control's own offsets only).
    virtual TPoint ClientToScreen(TPoint point) const;
    virtual TPoint ScreenToClient(TPoint point) const;

    // --- appearance and state ---------------------------------------------
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all parents.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    // The control's font; a change sends CM_FONTCHANGED to the control.
    TFont& Font() { return *font_; }
    const TFont& Font() const { return *font_; }
    void SetFont(const TFont& font) { font_->Assign(&font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The help text shown when the pointer rests on the control (when
    // ShowHint holds) and offered to the application's hint.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    // Follows the parent's while ParentShowHint holds (the default);
    // setting it stops following.
    bool ShowHint() const;
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value) { parentShowHint_ = value; }
    // Aligned controls are placed by their parent (see
    // TWinControl::Realign) whenever it or they change.
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    // The context menu, shown on WM_CONTEXTMENU; freed menus are forgotten.
    TCustomPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TCustomPopupMenu* menu);
    // The edges that follow the parent's (ControlAnchors.cpp); default
    // akLeftTop, which leaves the control where it is.  A control with
    // another Align is placed by its alignment instead.
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors anchors);
    // Limits of Width and Height, applied to every size the control is
    // given: by code, by its alignment, by its parent's layout and, for a
    // window, by the user.
    TSizeConstraints& Constraints() { return *constraints_; }
    const TSizeConstraints& Constraints() const { return *constraints_; }
    // Follows the parent's while ParentBiDiMode holds (the default);
    // setting it stops following.  A change sends CM_BIDIMODECHANGED.
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode mode);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool value);

    unsigned ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
    unsigned ControlState = 0;

    // --- messages -----------------------------------------------------------
    LRESULT Perform(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    // --- painting -----------------------------------------------------------
    virtual void Invalidate();
    virtual void Update();

    // The control's window: itself for a window control, else the nearest
    // parent's.
    virtual TWinControl* Window() const;

    // --- mouse --------------------------------------------------------------
    bool MouseCapture() const;
    void SetMouseCapture(bool capture);

    // --- dragging (ControlDrag.cpp) -----------------------------------------
    // The pointer over a control that would take this one while it is
    // dragged (crNoDrop shows elsewhere).
    int DragCursor() const { return dragCursor_; }
    void SetDragCursor(int cursor) { dragCursor_ = cursor; }
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode mode) { dragMode_ = mode; }
    TDragKind DragKind() const { return dragKind_; }
    void SetDragKind(TDragKind kind) { dragKind_ = kind; }
    // Drags the control while the left button is held: at once, or once
    // the pointer has moved threshold pixels from where it is (a negative
    // threshold is the desktop's, DragThreshold()).  Returns when the drag
    // is over: dropped, cancelled (Escape, the right button, the capture
    // lost) or ended by EndDrag.  A drag already running is left alone.
    void BeginDrag(bool immediate, int threshold = -1);
    bool Dragging() const;
    // Ends this control's drag: with drop, onto the control under the
    // pointer when that one takes it; otherwise cancelled.
    void EndDrag(bool drop);
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDrag;

    // --- docking (ControlDock.cpp) --------------------------------------------
    // Puts the control into site with its top-left corner at a client
    // point of site; a floating tool window it leaves goes.
    void ManualDock(TWinControl& site, TPoint at);
    // Takes the control off its parent into a floating tool window of its
    // own whose client area has its size, top-left at a screen point.
    void ManualFloat(TPoint screen);
    // The floating tool window the control sits in, or nullptr.
    TWinControl* FloatHost() const { return floatHost_; }

    // --- events -------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TContextPopupEvent OnContextPopup;

protected:
    void Notification(TComponent* component, TOperation operation) override;

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoContextPopup(TPoint mousePos, bool& handled);
    // The drag's questions and notices (points in this control's client
    // coordinates).  By default a control takes a source only when its
    // OnDragOver says so, and the events are called.
    virtual void DragOver(TControl* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TControl* source, int x, int y);
    virtual void DoEndDrag(TControl* target, int x, int y);
    virtual void DoStartDrag();

    virtual void FontChanged();
    // The limits changed: the control takes a size within them.
    virtual void ConstraintsChanged();
    // Moving bounds of a windowless control repaint its parent's area.
    virtual void BoundsChanged(const TRect& oldBounds);
    // Parent changes in the child's bookkeeping only.
    void setParentField(TWinControl* parent) { parent_ = parent; }

private:
    friend class TWinControl;
    friend class TControlDragLoop;
    friend class TFloatingDockHost;
    void handleMouseButton(TMessage& message, TMouseButton button, bool down, bool doubleClick);
    void handleContextMenu(TMessage& message);
    // Anchors: where the control stood, and the size of its parent's
    // client area then; the parent's later sizes place it from there.
    void noteAnchorPlace();
    void followParentSize(int parentWidth, int parentHeight);
    struct TAnchorPlace {
        TRect Bounds;
        int ParentWidth = 0;
        int ParentHeight = 0;
    };

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    int cursor_ = crDefault;
    std::string caption_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TAlign align_ = alNone;
    TCustomPopupMenu* popupMenu_ = nullptr;
    int dragCursor_ = crDrag;
    TDragMode dragMode_ = dmManual;
    TDragKind dragKind_ = dkDrag;
    TAnchors anchors_ = akLeftTop;
    TAnchorPlace anchorPlace_;
    bool anchoring_ = false; // bounds being set by the anchors
    std::unique_ptr<TSizeConstraints> constraints_;
    TBiDiMode biDiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    TWinControl* floatHost_ = nullptr;
};

// How far the pointer moves with the button held before a press becomes a
// drag, in pixels.
int DragThreshold();
// The control a drag at a screen point is over: the program's window there
// or the windowless child of it under the point; nullptr over none.
TControl* DragTargetAt(TPoint screen);
// The window control a dock drag of source at a screen point would dock
// into: the nearest one under the point, outside source, whose DockSite
// holds; nullptr when there is none (the source would float).
TWinControl* DockSiteAt(TPoint screen, const TControl& source);

// Mouse shift state from the MK_* flags of a mouse message, with Alt from
// the keyboard state.
TShiftState KeysToShiftState(unsigned keys);
// Shift state for a key message: Shift and Ctrl from the keyboard state,
// Alt from the key data.
TShiftState KeyDataToShiftState(LPARAM keyData);

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner = nullptr);
    ~TWinControl() override;

    std::string ClassName() const override { return "TWinControl"; }

    TWinControl* Window() const override { return const_cast<TWinControl*>(this); }

    // --- children -----------------------------------------------------------
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    // The visible, enabled windowless child at a client point, or nullptr.
    TControl* ControlAtPos(TPoint point) const;

    // --- the window ---------------------------------------------------------
    bool HandleAllocated() const { return peer_ != nullptr; }
    // Makes the window now when a factory is installed (the parents' windows
    // first).  Without a factory it does nothing.
    void HandleNeeded();
    TWindowPeer* Peer() const { return peer_.get(); }
    // Destroys and makes the window again (style changes).
    void RecreateWnd();
    // The part of the window that shows and takes input, in window
    // coordinates; an empty list is the whole window.
    void SetWindowRegion(std::vector<TRect> region);
    const std::vector<TRect>& WindowRegion() const { return region_; }
    // Puts the window in front of its siblings (a top-level one in front of
    // the other windows).
    void BringToFront();
    // Places the aligned children: the top, bottom, left and right ones
    // along the edges of what is left of the client area (each group in
    // the order of its current position), then the client-aligned ones
    // over the rest.  Runs by itself when the client area, or an aligned
    // child's bounds, alignment or visibility change; a control being
    // loaded places them once, when it is loaded.
    void Realign();
    void Loaded() override;
    virtual void CreateParams(TCreateParams& params);
    // Without a window yet: the room the frame of the window it will have
    // leaves (a window the program draws), so that what is placed in it,
    // read from a stream say, stays where it was put once the window is
    // made.
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientToScreen(TPoint point) const override;
    TPoint ScreenToClient(TPoint point) const override;

    // --- focus --------------------------------------------------------------
    bool Focused() const;
    virtual bool CanFocus() const;
    // Raises EInvalidOperation ("Cannot focus a disabled or invisible
    // window") when CanFocus is false.
    virtual void SetFocus();
    // The same for a move with a reason (Tab and Shift+Tab walking the
    // controls, which select an edit box's text as they reach it).
    void SetFocus(TFocusReason reason);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // Whether Tab moves the focus to the control: its TabStop, unless a
    // parent leaves it (or the control it lies in) out of the tab order.
    bool InTabOrder() const;
    // A parent's say on a child's place in the tab order; every child by
    // default (a toolbar leaves out the controls behind its chevron).
    virtual bool TabOrderIncludes(const TWinControl& child) const { return true; }
    // Whether Tab stops at this control of its group: each control is a
    // group of its own, but radio buttons beside each other share one
    // stop.
    virtual bool IsGroupTabStop() const { return true; }
    // Tells the windows of the control and of those inside it that
    // InTabOrder may have changed.
    void TabOrderChanged();
    // The control's place in its parent's Tab walk (ControlTabOrder.cpp):
    // 0 for the first window control, -1 without a parent.  Setting it
    // moves the control there (clamped to the siblings) and the siblings
    // between one place on.  While the control is read, the value waits
    // until its parent is loaded.
    int TabOrder() const;
    void SetTabOrder(int order);
    // The window controls in Tab order.
    const std::vector<TWinControl*>& TabList() const { return tabList_; }
    // The walk Tab and Shift+Tab take through a form: every window control
    // inside this one, each followed by those inside it, siblings in Tab
    // order; other forms (MDI children) are not part of it.
    std::vector<TWinControl*> TabWalk() const;
    // The control Tab (goForward) or Shift+Tab moves the focus to from
    // current (any control inside, or nullptr to start at an end): the
    // next one in TabWalk, round the end, that can take the focus and, with
    // checkTabStop, is in the tab order; nullptr when there is none.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop = true) const;
    // The 3-D look (ControlLook.cpp): follows the parent's while
    // ParentCtl3D holds (the default); setting it stops following.  A
    // change sends CM_CTL3DCHANGED to the control, whose window parameters
    // may depend on it.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value);
    // Controls dragged in dock mode (DragKind dkDock) may be dropped into
    // the control.
    bool DockSite() const { return dockSite_; }
    void SetDockSite(bool value) { dockSite_ = value; }
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // --- scroll bars --------------------------------------------------------
    // The positions stay within Min .. Max - max(Page - 1, 0).  A bar is
    // shown when the control asked for it (WS_VSCROLL / WS_HSCROLL) and
    // its range does not fit in its page (or SIF_DISABLENOSCROLL was given).
    int SetScrollInfo(int bar, const TScrollInfo& info, unsigned mask, bool redraw = true);
    TScrollInfo GetScrollInfo(int bar) const;
    int SetScrollPos(int bar, int pos, bool redraw = true);
    int GetScrollPos(int bar) const;
    bool ScrollBarVisible(int bar) const;
    // Used by the peer while the thumb is dragged.
    void SetScrollTrackPos(int bar, int pos);

    // --- caret ----------------------------------------------------------------
    // One caret in the process: creating one takes it from its owner.
    void CreateCaret(int width, int height);
    void DestroyCaret();
    void SetCaretPos(int x, int y);
    TPoint GetCaretPos() const { return caret_.Pos; }
    void ShowCaret();
    void HideCaret();
    const TCaretState& Caret() const { return caret_; }

    // --- painting -----------------------------------------------------------
    void Invalidate() override;
    void Update() override;
    // rect in client coordinates; nullptr = all.
    void InvalidateRect(const TRect* rect);
    // Moves the pixels of the client area (or of scroll, clipped to clip)
    // by (dx, dy); the uncovered part is painted anew.
    void ScrollWindow(int dx, int dy, const TRect* scroll = nullptr, const TRect* clip = nullptr);
    // The canvas of the window: measuring only, except during a paint
    // cycle, when the peer lets it draw on the window.
    TCanvas& WindowCanvas() { return windowCanvas_; }
    TCanvas* BeginPaint(TPaintStruct& paint);
    // Nothing to release: the peer ends the paint cycle.
    void EndPaint(TPaintStruct&) {}
    // Paints the windowless children that meet rect.
    void PaintControls(TCanvas& canvas, const TRect& rect);
    // Shows a cursor shape now (from a WM_SETCURSOR handler).
    void ShowCursorShape(int cursor);

    // --- for window peers ---------------------------------------------------
    // A paint cycle of rect: the peer has pointed WindowCanvas at the
    // window (platform/gfx/QtBridge.h) and ends the cycle with PeerPaintEnd.
    void PeerPaintBegin(const TRect& rect);
    void PeerPaintEnd();
    void PeerBoundsChanged(const TRect& bounds);
    const TCreateParams& WindowParams() const { return params_; }
    // The receiver of posted messages (platform/ui/QtBridge.h).
    TMessageReceiver* MessageReceiver() const { return receiver_.get(); }

protected:
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void WndProc(TMessage& message) override;

    // The window was made / is about to go.  Overrides call the inherited
    // one first (CreateWnd) or last (DestroyWnd).
    virtual void CreateWnd();
    virtual void DestroyWnd();
    void DestroyHandle();
    void ConstraintsChanged() override;

    // Places the aligned children within rect (the client area); a
    // control that lays out its children itself (pages) overrides it.
    virtual void AlignControls(TRect& rect);

    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    void BoundsChanged(const TRect& oldBounds) override;

private:
    friend class TControl;
    void insertControl(TControl* control);
    void removeControl(TControl* control);
    void createChildHandles();
    bool forwardToChildControl(TMessage& message);
    void notifyControls(unsigned msg);
    // Sorts the children read with a TabOrder into their places.
    void fixupTabList();
    // Moves the anchored children after a change of the client area.
    void anchorControls();
    struct ScrollBar {
        TScrollInfo Info;
        bool DisableNoScroll = false;
    };
    // The frame the control's window will draw on each side, while it has
    // no window.
    int frameWithoutWindow() const;
    ScrollBar& bar(int which) { return which == SB_HORZ ? hbar_ : vbar_; }
    const ScrollBar& bar(int which) const { return which == SB_HORZ ? hbar_ : vbar_; }

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    int loadedTabOrder_ = -1; // read while loading, not yet placed
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    bool dockSite_ = false;
    std::unique_ptr<TWindowPeer> peer_;
    std::unique_ptr<TMessageReceiver> receiver_; // a QObject (Control.cpp)
    TCreateParams params_;
    std::vector<TRect> region_;
    bool tabStop_ = false;
    ScrollBar hbar_;
    ScrollBar vbar_;
    TCaretState caret_;
    TCanvas windowCanvas_;
    TRect paintRect_;
    bool painting_ = false;
    TControl* mouseControl_ = nullptr; // windowless child under the pointer
    bool aligning_ = false;
};

// A window control that paints itself: Paint draws on Canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomControl"; }
    TCanvas& Canvas() { return WindowCanvas(); }

protected:
    void Dispatch(TMessage& message) override;
    virtual void Paint() {}
};

// A windowless control painted by its parent: Paint draws on Canvas, whose
// origin is the control's top-left corner during painting.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas& Canvas() { return canvas_; }

protected:
    void Dispatch(TMessage& message) override;
    virtual void Paint() {}

private:
    TCanvas canvas_;
};

// --- mouse capture --------------------------------------------------------------
// The control that receives all mouse messages until released.  Changing it
// sends WM_CAPTURECHANGED to the control that had it.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
void ReleaseCapture();

// --- focus -----------------------------------------------------------------------
// The window control that has the keyboard focus (as told by WM_SETFOCUS
// and WM_KILLFOCUS), or nullptr.
TWinControl* GetFocusControl();

// --- posted messages and timers ----------------------------------------------
// Queues a message for target's WndProc, delivered by the event loop; it is
// dropped when target is freed first.  Works before the window exists.
// Safe to call from any thread while target lives.
bool PostMessage(TWinControl* target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Delivers at once (Perform).
LRESULT SendMessage(TControl* target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Delivers a message to a control from the event loop: an exception from a
// handler is shown as an error box and goes no further.  Returns Result.
LRESULT DeliverMessage(TControl& target, TMessage& message);
// WM_TIMER with WParam = id every interval milliseconds (of the tick
// source) until killed; setting an id again restarts it.
bool SetTimer(TWinControl* control, uintptr_t id, unsigned milliseconds);
bool KillTimer(TWinControl* control, uintptr_t id);
// Lets the event loop deliver what is pending (the application's message
// processing inside long operations).
void ProcessMessages();
