#pragma once
// TTBCustomDockableWindow: the base of every window that sits in a dock
// (TBDock.h) or floats in a small captioned frame of its own
// (TBFloatingFrame.h): toolbars, menu bars and tool windows.
//
// It owns the docked or floating state and the switch between them, its
// requested place in a dock (DockRow, DockPos), the memory of its last
// dock, its docked frame (border, drag handle, close button: drawn and hit
// by the window itself, the content living in the client area inside), the
// rules that hide a floating window while its form is hidden or the
// application inactive, and the entry points of the drag and resize loops
// (TBDragLoop.h).  What it holds comes from descendants through the
// abstract ArrangeContents and ContentClientSize.
//
// Docking and floating move the window from one parent to another; the
// window's Visible is its own (logical) visibility, while the floating
// frame is shown only when the window should show (see ShouldShowFloating).

#include "platform/ui/Control.h"
#include "toolbars/TBDockTypes.h"
#include "toolbars/TBMetrics.h"
#include "toolbars/TBPositionData.h"

#include <functional>
#include <memory>
#include <vector>

class TTBDock;
class TTBFloatingWindowParent;

using TTBCloseQueryEvent = std::function<void(TPersistent* sender, bool& canClose)>;
// floating: it is about to float; dockingTo: the dock it goes to, if any.
using TTBDockChangingEvent = std::function<void(TPersistent* sender, bool floating, TTBDock* dockingTo)>;

// The messages a dockable window's frames send (the non-client ones of the
// platform, platform/ui/NonClientMouse.h) and one of its own.
enum : unsigned {
    // Frees floating frames the window left while a message of theirs was
    // being handled.
    TBM_FREEFRAMES = WM_USER + 0x0E1,
};

// Bits of ResizeOptions.
enum : unsigned {
    roCornerSizing = 0x01, // the floating frame sizes from its corners
    roConfineCursor = 0x02, // the cursor stays on the screen while sizing
};

class TTBCustomDockableWindow : public TCustomControl {
public:
    explicit TTBCustomDockableWindow(TComponent* owner = nullptr);
    ~TTBCustomDockableWindow() override;
    std::string ClassName() const override { return "TTBCustomDockableWindow"; }

    // --- published ---------------------------------------------------------------------
    bool ActivateParent = true;
    bool AutoResize() const { return autoResize_; }
    void SetAutoResize(bool value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool value);
    bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
    void SetCloseButtonWhenDocked(bool value);
    TTBDock* CurrentDock() const { return currentDock_; }
    // nullptr puts the window on its host form.
    void SetCurrentDock(TTBDock* value);
    TTBDock* DefaultDock() const { return defaultDock_; }
    void SetDefaultDock(TTBDock* value);
    TTBDockableTo DockableTo = kTBDockableToAll;
    TTBDockMode DockMode = dmCanFloat;
    int DockPos() const { return dockPos_; }
    void SetDockPos(int value);
    int DockRow() const { return dockRow_; }
    void SetDockRow(int value);
    // Without laying out the dock (the dock's own layout and the drag).
    void SetDockPosQuietly(int value) { dockPos_ = value; }
    void SetDockRowQuietly(int value) { dockRow_ = value; }
    TTBDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
    void SetDragHandleStyle(TTBDragHandleStyle value);
    TTBFloatingMode FloatingMode() const { return floatingMode_; }
    void SetFloatingMode(TTBFloatingMode value);
    bool FullSize() const { return fullSize_; }
    void SetFullSize(bool value);
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool value);
    TTBDock* LastDock() const { return lastDock_; }
    void SetLastDock(TTBDock* value);
    bool Resizable() const { return resizable_; }
    void SetResizable(bool value);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    bool SmoothDrag = true;
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool value);

    TNotifyEvent OnClose;
    TTBCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDockChanged;
    TTBDockChangingEvent OnDockChanging;
    TTBDockChangingEvent OnDockChangingHidden;
    TNotifyEvent OnMove;
    TNotifyEvent OnRecreated;
    TNotifyEvent OnRecreating;
    TNotifyEvent OnResize;
    TNotifyEvent OnVisibleChanged;

    // --- state -------------------------------------------------------------------------
    // Where the dock's layout placed the window (row -1: not placed).
    int PlacedPos = 0;
    int PlacedRow = -1;
    bool Docked() const { return currentDock_ != nullptr; }
    bool Floating() const { return floating_; }
    void SetFloating(bool value);
    // The length the dock gave the window when it had to shrink it (0: not
    // shrunk).
    int ShrunkLength() const { return shrunkLength_; }
    void SetShrunkLength(int value) { shrunkLength_ = value; }
    // Thickness across the dock given by the dock's last layout.
    int RowThickness = 0;
    // Read by the dock's layout: a row of its own at DockRow.
    bool WantsOwnRow = false;
    TTBDockType DockType() const { return dockType_; }
    unsigned ResizeOptions = roCornerSizing | roConfineCursor;
    // The floating frame's screen position.
    int FloatLeft = 0;
    int FloatTop = 0;
    // A live drag runs: a frame the window leaves is kept.
    bool SmoothDragging = false;
    // The window was read from a form saved while the program ran (not
    // designed): its bounds are the frame's, not places on the host form.
    bool SavedAtRunTime() const { return savedAtRunTime_; }
    // The floating frame draws its caption inactive.
    bool InactiveCaption() const { return inactiveCaption_; }
    TTBFloatingWindowParent* FloatingFrame() const { return floatingFrame_; }
    // Further forms whose docks take the window while it is dragged.
    const std::vector<TWinControl*>& DockForms() const { return dockForms_; }
    void AddDockForm(TWinControl* form);
    void RemoveDockForm(TWinControl* form);
    bool CloseButtonPressed() const { return closeButtonPressed_; }
    bool CloseButtonHot() const { return closeButtonHot_; }

    // --- what descendants supply ------------------------------------------------------
    // Arranges the contents for docking to dockingTo (or floating), moving
    // child controls only when canMove; returns the client size they need.
    virtual TSize ArrangeContents(bool canMove, TTBDockType previousDockType, TTBDock* dockingTo,
                                  bool toFloating) = 0;
    // The client size of the contents as arranged now.
    virtual TSize ContentClientSize() = 0;
    // The docked frame (border and drag handle) the window would have in
    // dock, across both axes; (0, 0) for no dock.
    virtual TSize DockedFrameSizeFor(const TTBDock* dock) const;
    TSize DockedFrameSize() const { return DockedFrameSizeFor(currentDock_); }
    // Whether a point (client coordinates) lies on a child control, where a
    // press does not start a drag.
    virtual void PointOnChildControl(TPoint point, bool& result);
    virtual void ShrinkLimit(int& length) {}
    virtual void ClientSizeLimits(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {}
    // The least client thickness the window can be given across a dock
    // (across a vertical one: its width) when the dock has less room than
    // it asks for; -1 when it keeps its own.
    virtual int LeastThicknessAcross(bool verticalDock) { return -1; }
    virtual TTBShrinkMode ActiveShrinkMode() { return tbsmNone; }
    virtual void OuterSizeChanged(int newWidth, int newHeight) {}
    // The floating frame's border, across and down.
    virtual TPoint FloatingFrameBorder() const;
    virtual bool IsTransparentChild(TControl* control) { return false; }
    // Takes the menu keys (Alt and access keys) of the form it floats over.
    virtual bool WantsMenuEvents() const { return false; }
    virtual void FireDockChangingHidden(bool floating, TTBDock* dockingTo);
    // Makes the floating frame (themed windows make themed frames).
    virtual TTBFloatingWindowParent* MakeFloatingFrame();
    virtual void FinishLoading() {}
    // The resize loop's steps (a toolbar snaps to its wrap widths).
    virtual void SizingStarted(int edge) {}
    virtual void SizingFinished() {}
    virtual void ProposeSizingRect(TRect& rect, const TRect& startRect) {}
    virtual void BeforeSizeApplied() {}
    // Stored positions (TBBarPositions.h).
    virtual void ReadExtraPositionValues(const TTBPositionReader& reader) {}
    virtual void WriteExtraPositionValues(const TTBPositionWriter& writer) {}
    virtual void PositionValuesApplied(const TTBPositionReader& reader) {}
    // Paints the docked frame on a canvas over the whole window.
    virtual void DrawNCArea(TCanvas& canvas);

    // --- operations --------------------------------------------------------------------
    // The dock/float switch: a dock, a floating frame or a form.
    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    void BeginUpdate();
    void EndUpdate();
    // Arranges the contents and takes their size (when the window sizes
    // itself); deferred while updating or loading.
    void FitToContents();
    void ResizeToClientSize(int clientWidth, int clientHeight);
    // Moves a floating frame back onto its monitor's work area (only when
    // it lies wholly off it, with onlyIfFullyOffscreen).
    void KeepOnScreen(bool onlyIfFullyOffscreen);
    void PlaceFloatingFrame(TPoint screen);
    // Asks OnCloseQuery, then hides the window and fires OnClose.
    void CloseWindow();
    // A double click on the drag area or caption: back to the last (or
    // default) dock, or out of the dock.
    void DoubleClickToggle();
    // The drag and resize loops (TBDragLoop.h); x, y in client coordinates.
    void TrackDrag(int x, int y);
    // edge: the hit code minus HTLEFT (0 left ... 7 bottom right); the
    // press is where the pointer is now, or the given screen point.
    void TrackResize(int edge);
    void TrackResizeFrom(int edge, TPoint pressScreen);
    // The floating frame was given a size from outside (by the window
    // system): the window takes what the frame leaves, as when the
    // frame's edge is dragged, or its own size back when it does not size.
    void FollowFloatingFrame();
    // Frees the floating frame when the window no longer is in it (the end
    // of a live drag).
    void DropLeftFrame();
    // The window can be dragged now: docked in a dock that allows it, or
    // floating.
    bool CanDrag() const;
    // Pixels of the drag handle along the dock.
    int DragHandleSize() const;
    // The side of the docked close button and where it is (window
    // coordinates).
    TRect DockedCloseButtonRect() const;
    // The window sizes itself: AutoResize, docked or floating.
    bool SizesItself() const { return autoResize_ || Docked() || floating_; }
    // Whether the floating frame should show now.
    bool ShouldShowFloating() const;
    // Shows or hides the floating frame as ShouldShowFloating says.
    void UpdateFloatingVisibility();
    // The form that holds the window (through its floating frame when it
    // floats); raises EInvalidOperation ("Control '%s' has no parent
    // window") when there is none.
    static TWinControl* HostFormOf(const TControl* control);
    // Repaints the docked frame.
    void InvalidateFrame();
    // Window coordinates (the whole window, frame included) of a screen
    // point, and the client area's place in the window.
    TPoint ScreenToWindow(TPoint screen) const;
    TPoint ClientOrigin() const;
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientToScreen(TPoint point) const override;
    void CreateParams(TCreateParams& params) override;
    // A window that floats when it has been read from a designed form
    // takes its frame to the screen place of its bounds on the host form.
    void Loaded() override;
    // Stores "SavedAtRunTime" whenever the form is saved outside design
    // time.
    void DefineProperties(TFiler& filer) override;
    // The floating windows of the program.
    static const std::vector<TTBCustomDockableWindow*>& FloatingWindows();
    // While a dock change runs, the window neither moves nor shows its
    // frame.
    bool InDockChange() const { return dockChangeCount_ > 0; }
    // The bounds guard: set while the dock or the window sizes the window.
    void BeginBoundsGuard() { ++boundsGuard_; }
    void EndBoundsGuard() { --boundsGuard_; }

protected:
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Paint() override {}
    // Called when the floating frame of the window goes away.
    friend class TTBFloatingWindowParent;
    void FrameDestroyed(TTBFloatingWindowParent* frame);

private:
    void handleNCHitTest(TMessage& message);
    void handleNCButtonDown(TMessage& message);
    void setCloseButtonHot(bool hot);
    bool trackCloseButton();
    void fireMove();
    void retireFrame();
    void updateFloatingList();
    void makeFloating(bool value);
    void arrangeIfDocked();

    bool autoResize_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool closeButton_ = true;
    bool closeButtonWhenDocked_ = false;
    TTBDock* currentDock_ = nullptr;
    TTBDock* defaultDock_ = nullptr;
    int dockPos_ = -1;
    int dockRow_ = 0;
    TTBDragHandleStyle dragHandleStyle_ = dhSingle;
    TTBFloatingMode floatingMode_ = fmOnTopOfParentForm;
    bool fullSize_ = false;
    bool hideWhenInactive_ = true;
    TTBDock* lastDock_ = nullptr;
    bool resizable_ = true;
    bool showCaption_ = true;
    bool useLastDock_ = true;

    bool floating_ = false;
    bool savedAtRunTime_ = false;
    int shrunkLength_ = 0;
    TTBDockType dockType_ = dtNotDocked;
    int boundsGuard_ = 0;
    int updateCount_ = 0;
    int dockChangeCount_ = 0;
    bool arrangePending_ = false;
    bool inactiveCaption_ = false;
    bool closeButtonPressed_ = false;
    bool closeButtonHot_ = false;
    std::vector<TWinControl*> dockForms_;
    TTBFloatingWindowParent* floatingFrame_ = nullptr;
    std::vector<std::unique_ptr<TTBFloatingWindowParent>> retiredFrames_;
};
