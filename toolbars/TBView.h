#pragma once
// TTBView: one level of an item tree shown inside one window (a toolbar, a
// menu bar, a popup menu, the popup of a chevron).  It keeps one viewer per
// shown item, lays them out (TBLayout.h), paints them, keeps the selection,
// the open submenu and the timers that open and close submenus under the
// mouse, and follows the item tree's change notices.
//
// Views nest: a popup opened from a viewer has a view whose parent view is
// the opener's; the outermost view of a chain is the root view, on which
// the menu loop runs (TBMenuLoop.h).  Positions are computed lazily, before
// hit-testing, painting or navigation, and never while the tree is being
// updated.

#include "platform/base/Component.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/ui/Keys.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBLayout.h"
#include "toolbars/TBLoopState.h"

#include <cstdint>
#include <memory>
#include <vector>

class TCanvas;
class TWinControl;
class TTBItemViewer;
class TTBPopupWindow;
struct THintInfo;

// Bits of TTBView::State.
using TTBViewState = uint16_t;
enum : TTBViewState {
    vsModal = 0x0001,         // the menu loop runs on this view
    vsMouseInWindow = 0x0002, // the mouse is inside the view's window
    vsDrawInOrder = 0x0004,   // paint the viewers in list order next time
    vsOppositePopup = 0x0008, // this popup opened to the left: its submenus keep doing so
    vsShowAccels = 0x0020,    // access-key underlines are visible
    vsMenuMode = 0x0040,      // selecting a submenu item opens it at once
    vsNoAnimation = 0x0080,   // a popup of this view has just closed: no animation next
    vsUseHiddenAccels = 0x0100, // underlines hide until the keyboard is used
    vsAlwaysShowHints = 0x0200,
};

// Bits of TTBView::Style.
using TTBViewStyle = uint8_t;
enum : TTBViewStyle {
    vsMenuBar = 0x01,         // underlines follow the keyboard-cues setting
    vsShowHintsOnHover = 0x02, // item hints show while hovering
};

class TTBView : public TComponent {
public:
    TTBView(TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem, TWinControl* window,
            bool isToolbar, bool customizing, bool usePriorityList);
    ~TTBView() override;

    std::string ClassName() const override { return "TTBView"; }

    // --- what the view shows ----------------------------------------------------
    TTBView* ParentView() const { return parentView_; }
    TTBCustomItem* ParentItem() const { return parentItem_; }
    // The item whose children are shown: the parent item or its link.
    TTBCustomItem* CurParentItem() const { return curParentItem_; }
    TWinControl* Window() const { return window_; }
    bool IsToolbar() const { return isToolbar_; }
    bool IsPopup() const { return !isToolbar_; }
    void SetIsToolbar(bool value) { isToolbar_ = value; }
    bool Customizing() const { return customizing_; }
    bool UsePriorityList() const { return usePriorityList_; }
    // Only in a chevron's popup view: the toolbar view whose hidden viewers
    // it lists.
    TTBView* ChevronParentView() const { return chevronParentView_; }
    void SetChevronParentView(TTBView* view);

    // --- viewers --------------------------------------------------------------------
    int ViewerCount() const { return static_cast<int>(viewers_.size()); }
    TTBItemViewer* Viewers(int index) const { return viewers_[static_cast<size_t>(index)].get(); }
    int InternalViewersAtFront() const { return internalAtFront_; }
    int InternalViewersAtEnd() const { return internalAtEnd_; }
    const std::vector<TTBItemViewer*>& PriorityList() const { return priorityList_; }
    // Raises ETBItemError when no viewer shows the item.
    TTBItemViewer* ViewerOf(TTBCustomItem* item) const;
    // nullptr when no viewer shows the item.
    TTBItemViewer* FindViewerOf(TTBCustomItem* item) const;
    int IndexOfViewer(const TTBItemViewer* viewer) const;
    TTBItemViewer* ViewerAtPoint(TPoint point);
    // The hint the view's window shows for a viewer (CM_HINTSHOW): the
    // item's short hint over the viewer's rectangle; nothing without one.
    void HintFor(TTBItemViewer* viewer, THintInfo& info) const;
    // Every item shows its hint while the pointer rests on it: a toolbar
    // whose window shows hints, a view told so; a chevron's popup follows
    // its toolbar.
    bool ShowsHints() const;
    void RebuildViewers();

    // --- coordinates ------------------------------------------------------------------
    // Where the view's (0, 0) lies in its window's client area (a popup's
    // border comes first).
    TPoint WindowOrigin;
    TPoint ScreenToView(TPoint screen) const;
    TPoint ViewToScreen(TPoint point) const;

    // --- layout -------------------------------------------------------------------------
    int Orientation = tbvoHorizontal;
    int WrapOffset = 0;
    int ChevronOffset = 0;
    int ChevronSize = 0;
    TColor Color = clDefault;
    // Along the axis: the shown viewers' lengths; across: the largest.
    TSize BaseSize;
    // The monitor area popups of this view keep to (empty: ask).
    TRect MonitorRect;
    bool Validated() const { return validated_; }
    int UpdateCount() const { return updateCount_; }
    // Runs the layout with moving the viewers (and controls): the base lays
    // out, sizes the window and repaints it.  Returns the new size.
    TSize Relayout();
    void ValidatePositions();
    void ValidatePositionsIfIdle();
    void BeginUpdate();
    void EndUpdate();
    // The layout for the given limits.  With moveControls the viewers take
    // the result; returns whether a viewer's rectangle or flags changed.
    bool CalculatePositions(bool moveControls, int orientation, int wrapOffset, int chevronOffset,
                            int chevronSize, TSize& baseSize, TSize& newSize, int& wrappedLines);

    // --- selection and submenus -------------------------------------------------------
    TTBItemViewer* Selected() const { return selected_; }
    void Select(TTBItemViewer* viewer);
    void SelectNext(bool forward);
    TTBItemViewer* NextSelectable(TTBItemViewer* from, bool forward);
    TTBItemViewer* FirstSelectable();
    bool MouseOverSelected() const { return mouseOverSelected_; }
    bool Capture() const { return capture_; }
    void SetCaptureFlag() { capture_ = true; }
    void CancelCapture();
    // Selection under a screen point, as the mouse moves (force: select
    // even when nothing is selected yet); a point outside every window
    // (hasPoint false) drops a hover selection.
    void MouseMoved(TPoint screen, bool force, bool hasPoint = true);
    // Opens the selected viewer's submenu; true when one is open afterwards.
    bool OpenPopup(bool selectFirst);
    void OpenSelectedIfMenuMode();
    void CloseChildPopups();
    TTBItemViewer* OpenViewer() const { return openViewer_; }
    TTBView* OpenViewerView() const { return openViewerView_; }
    TTBPopupWindow* OpenViewerWindow() const { return openViewerWindow_; }
    // Records the popup a viewer of this view opened (called by the item).
    void SetOpenViewer(TTBItemViewer* viewer, TTBPopupWindow* window);
    void PromoteViewer(TTBItemViewer* viewer);
    TTBItemViewer* HighestPriorityViewer() const;
    // The least length a shrinking bar needs along its axis: its most
    // recently used item and the chevron; 0 for a bar without items.
    int MinimumShrunkLength() const;
    // The windowed controls of control items hidden behind the chevron.
    void CollectOffEdgeControls(std::vector<TWinControl*>& list) const;
    TTBView* NearestToolbarView();
    bool IsAncestorOf(const TTBView* view) const;
    // The deepest view of the open chain below this one.
    TTBView* DeepestView();

    // --- painting -----------------------------------------------------------------------
    void InvalidateViewer(TTBItemViewer* viewer);
    // Repaints the viewer now when the window exists.
    void RepaintViewer(TTBItemViewer* viewer);
    void DrawViewers(TCanvas& canvas);
    void SetAccelsVisible(bool force);

    TTBViewState State = 0;
    TTBViewStyle Style = 0;

    // --- the view timers (open and close of submenus under the mouse) -----------------
    uintptr_t OpenTimer = 0;
    uintptr_t CloseTimer = 0;
    // A view timer fired (called by the menu loop).
    void TimerFired(uintptr_t id);

    // --- what view classes change -------------------------------------------------------
    virtual void ResizeWindow(int width, int height);
    // Lays out, sizes the window and repaints it; newSize in: the size to
    // start from; out: the size the viewers need.
    virtual void LayoutAndRepaint(TSize& newSize);
    virtual TTBCustomItem* GetChevronItem() { return nullptr; }
    virtual void GetMargins(int orientation, TRect& margins);
    virtual TTBCustomItem* GetTrailingGroupItem() { return nullptr; }
    virtual TTBCustomItem* GetLeadingItem() { return nullptr; }
    virtual TFont GetFont();
    // Keyboard navigation inside the menu loop (TBMenuLoop.cpp).
    virtual void KeyDown(uint16_t& key, TShiftState shift, TTBLoopState& loop);
    virtual void InvalidatePositions();

    // Finds the viewer for a typed character (TBMenuLoop.cpp): access keys
    // of enabled items, of disabled ones, then (unless accelOnly) first
    // characters likewise, starting after start; characters compare as
    // SameKeyCharacter does.
    TTBItemViewer* FindAccelViewer(TTBItemViewer* start, char32_t ch, bool& unique, bool accelOnly);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    class TSubscription : public TTBItemSubscriber {
    public:
        TSubscription(TTBView& view, bool onParentItem) : view_(view), onParentItem_(onParentItem) {}
        void ItemNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                              int index) override;

    private:
        TTBView& view_;
        bool onParentItem_;
    };
    friend class TSubscription;

    void curParentNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                               int index);
    void parentNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                            int index);
    void resolveCurParentItem();
    void subMenuImagesChanged();
    void addViewers(TTBCustomItem* item, int index, bool expandGroup, bool toPriorityList);
    void insertViewerFor(TTBCustomItem* parent, TTBCustomItem* item);
    void removeViewer(int index);
    void deleteViewersOf(TTBCustomItem* item);
    void replaceViewer(int index, TTBItemViewerClass viewerClass);
    void stopTimers();
    void detachFromParentItem();
    TTBItemViewer* makeViewer(TTBCustomItem* item);

    TTBView* parentView_;
    TTBCustomItem* parentItem_;
    TTBCustomItem* curParentItem_ = nullptr;
    TWinControl* window_;
    bool isToolbar_;
    bool customizing_;
    bool usePriorityList_;
    TTBView* chevronParentView_ = nullptr;

    std::vector<std::unique_ptr<TTBItemViewer>> viewers_;
    std::vector<TTBItemViewer*> priorityList_;
    int internalAtFront_ = 0;
    int internalAtEnd_ = 0;

    bool validated_ = false;
    int updateCount_ = 0;
    bool capture_ = false;
    bool mouseOverSelected_ = false;
    TTBItemViewer* selected_ = nullptr;
    TTBItemViewer* openViewer_ = nullptr;
    TTBView* openViewerView_ = nullptr;
    TTBPopupWindow* openViewerWindow_ = nullptr;

    TSubscription curParentSubscription_{*this, false};
    TSubscription parentSubscription_{*this, true};
};

// The view of a popup menu window.
class TTBPopupView : public TTBView {
public:
    using TTBView::TTBView;
    std::string ClassName() const override { return "TTBPopupView"; }
    TFont GetFont() override;
    // The window grows by its border on each side.
    void ResizeWindow(int width, int height) override;
};

// --- view timers ---------------------------------------------------------------------
// Starts a timer for the view; returns its id (never 0).
uintptr_t StartViewTimer(TTBView* view, unsigned interval);
// Stops the timer and clears id (an unknown id is ignored).
void StopViewTimer(uintptr_t& id);
// The view a timer id belongs to, or nullptr.
TTBView* ViewOfTimer(uintptr_t id);

// The font of menus (from the system settings).
TFont TBMenuFont();
