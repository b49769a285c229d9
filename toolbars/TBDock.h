#pragma once
// TTBDock: the bar along one edge of a form that holds dockable windows
// (toolbars, menu bars, tool windows) in rows.  It owns none of them: it
// keeps a list of the bars that belong to it (docked now, or remembered as
// their last dock while they float) and of those it shows, lays them out
// (TBDockLayout.h), sizes itself to the sum of its rows, draws one-pixel
// bound lines on chosen edges and may paint a background behind itself and
// its bars.  The drag loop drives it through a few shared flags
// (BarInDrag, RowLocked, CrowdedRow, WriteBackPositions).

#include "platform/ui/Control.h"
#include "toolbars/TBDockLayout.h"
#include "toolbars/TBDockTypes.h"

#include <functional>
#include <vector>

class TTBCustomDockableWindow;
class TTBDock;

// A picture behind a dock and its bars.  Nothing of the program paints
// one; a dock only knows this interface.
class TTBBasicBackground : public TComponent {
public:
    using TChangeHandler = std::function<void()>;
    using TComponent::TComponent;
    std::string ClassName() const override { return "TTBBasicBackground"; }
    // Paints rect of the canvas with the part of the picture whose top-left
    // corner lies at origin (canvas coordinates), so that docks and bars
    // side by side continue one picture.
    virtual void PaintArea(TCanvas& canvas, const TRect& rect, TPoint origin) = 0;
    // Handlers called when the picture changes; sender identifies one for
    // removal.
    virtual void AddChangeHandler(TChangeHandler handler, const void* sender) = 0;
    virtual void RemoveChangeHandler(const void* sender) = 0;
    virtual void SystemColoursChanged() = 0;
    virtual bool PaintsAnything() = 0;
};

using TTBInsertRemoveEvent = std::function<void(TTBDock* sender, bool inserting, TTBCustomDockableWindow* bar)>;
using TTBRequestDockEvent = std::function<void(TTBDock* sender, TTBCustomDockableWindow* bar, bool& accept)>;

class TTBDock : public TCustomControl {
public:
    explicit TTBDock(TComponent* owner = nullptr);
    ~TTBDock() override;
    std::string ClassName() const override { return "TTBDock"; }

    // --- published ----------------------------------------------------------------
    // Bars may be dragged off and onto this dock: when false they show no
    // drag handle, the dock takes no drop, and stored positions naming it
    // are ignored.
    bool AllowDrag() const { return allowDrag_; }
    void SetAllowDrag(bool value);
    TTBBasicBackground* Background() const { return background_; }
    void SetBackground(TTBBasicBackground* value);
    bool BackgroundOnToolbars() const { return backgroundOnToolbars_; }
    void SetBackgroundOnToolbars(bool value);
    TTBDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TTBDockBoundLines value);
    // An empty dock stays 1 pixel thick instead of 0.
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool value) { limitToOneRow_ = value; }
    TTBDockPosition Position() const { return position_; }
    // Raises EInvalidOperation when the dock holds controls and the value
    // differs.
    void SetPosition(TTBDockPosition value);
    TTBInsertRemoveEvent OnInsertRemoveBar;
    TTBRequestDockEvent OnRequestDock;
    TNotifyEvent OnResize;

    // --- what the drag loop shares with the layout ------------------------------
    bool CrowdedRow = false;
    bool RowLocked = false;
    TTBCustomDockableWindow* BarInDrag = nullptr;
    bool WriteBackPositions = false;

    // --- bars ----------------------------------------------------------------------
    const std::vector<TTBCustomDockableWindow*>& BarList() const { return barList_; }
    const std::vector<TTBCustomDockableWindow*>& VisibleBarList() const { return visibleBarList_; }
    void AddRemoveBar(bool inserting, TTBCustomDockableWindow* bar);
    void UpdateBarVisibility(TTBCustomDockableWindow* bar, bool forceRemove);
    // In this dock and visible.
    bool IsBarShown(const TTBCustomDockableWindow* bar) const;
    bool HasShownBars() const;
    // Every shown bar's requested place becomes where it was placed.
    void AdoptPlacedPositions();
    // The highest placed (or requested) row of the bars; -1 without bars.
    int HighestRow(bool useEffective) const;
    // The thickest shown bar of a row and whether the row's last shown
    // bar is full-size; 0 for a negative row.
    int RowCrossSize(int row, bool& hasFullSize) const;
    int GetRowThicknessExcept(int row, const TTBCustomDockableWindow* bar) const;
    // The row a client offset across the dock falls in.
    int RowAtOffset(int offset) const;

    // --- layout ----------------------------------------------------------------------
    void LayoutBars();
    // Nested deferral: the last resume lays out when one was asked for.
    void SuspendLayout();
    void ResumeLayout();
    bool LayoutSuspended() const { return arrangeDisableCount_ > 0; }
    // A bottom dock keeps its bottom edge, a right dock its right edge.
    void SetSizeKeepEdge(int width, int height);
    // The most the dock's rows may take across it: half of what its
    // parent's client area has across the dock's axis, less the other
    // controls aligned along that axis (the opposite dock, say), so that
    // the area between them, the documents, keeps its room.  0 without a
    // parent.
    int RoomAcross() const;

    TTBDockType DockType() const { return DockTypeOf(position_); }
    bool IsVertical() const { return IsVerticalDock(position_); }
    // Pixels the bound lines take across and along.
    int NonClientWidth() const;
    int NonClientHeight() const;
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientToScreen(TPoint point) const override;

    // --- background -----------------------------------------------------------------
    bool BackgroundInUse() const;
    // Repaints the dock and its shown bars (the picture changed or moved).
    void InvalidateBackground();
    // Paints the background into rect of canvas, for a window whose client
    // origin lies at offset from the dock's client origin.
    void PaintBackgroundFor(TCanvas& canvas, const TRect& rect, TPoint offset);

    void SetParent(TWinControl* parent) override;
    void CreateParams(TCreateParams& params) override;
    void Loaded() override;
    // Draws the bound lines on a canvas over the whole dock.
    void PaintBoundLines(TCanvas& canvas);

protected:
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    void BoundsChanged(const TRect& oldBounds) override;
    // The bars are not aligned: they are laid out.
    void AlignControls(TRect& rect) override;

private:
    bool forwardToFloatingBars(TMessage& message);
    void frameChanged();

    bool allowDrag_ = true;
    TTBBasicBackground* background_ = nullptr;
    bool backgroundOnToolbars_ = true;
    TTBDockBoundLines boundLines_ = 0;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    TTBDockPosition position_ = dpTop;
    int arrangeDisableCount_ = 0;
    bool arrangeNeeded_ = false;
    // The room across the last layout was given.
    int laidOutRoom_ = 0;
    std::vector<TTBCustomDockableWindow*> barList_;
    std::vector<TTBCustomDockableWindow*> visibleBarList_;
};
