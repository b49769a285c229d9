#pragma once
// What the shell list adds to the platform's list view: context-menu
// events naming the item under the mouse (or the selected one for the
// keyboard menu), custom-draw objects (PTTreeView.h), and a header whose
// items the control draws itself with a sort triangle in one of four
// places.

#include "platform/ui/ListView.h"
#include "platform/ui/PopupMenu.h"
#include "shell/PTHeaderPaint.h"
#include "shell/PTTreeView.h"

#include <functional>

using TPTLvOnItemContextMenuEvent =
    std::function<void(TPersistent* sender, TListItem* item, TPoint pos, TCustomPopupMenu*& menu)>;

class TPTCustomListView : public TCustomListView {
public:
    explicit TPTCustomListView(TComponent* owner = nullptr) : TCustomListView(owner) {}
    std::string ClassName() const override { return "TPTCustomListView"; }

    // The sort triangle: the column (-1 none), its direction, its place.
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int column);
    bool SortAscending() const { return sortAscending_; }
    void SetSortAscending(bool ascending);
    TPTLvHeaderSortDisplayMode HeaderSortDisplayMode() const { return headerMode_; }
    void SetHeaderSortDisplayMode(TPTLvHeaderSortDisplayMode mode);
    // The control draws the header's items (with the triangle).
    bool OwnerDrawHeaderItems = true;
    bool OwnerDrawHeader() const override { return OwnerDrawHeaderItems && headerMode_ != ptlvNone; }
    void DrawColumnHeader(TCanvas& canvas, int column, const TRect& rect, bool pressed) override;

    // Runs the keyboard's context menu at a client point.
    void KeyboardContextMenu(TPoint point);
    TPTLvOnItemContextMenuEvent OnItemContextMenu;

protected:
    void Dispatch(TMessage& message) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    virtual void ItemContextMenu(TListItem* item, TPoint point);
    // A right click (not a drag) ended at a client point: by default the
    // selected item's menu, at its icon.
    virtual void RightClicked(TPoint point) { KeyboardContextMenu(point); }
    virtual void CustomDrawItem(TPTCustomDraw& draw, int item) {}
    virtual void ItemDragStart(bool rightButton) {}

    bool menuShown_ = false;
    TPTRightClick rightClick_;

private:
    int sortColumn_ = -1;
    bool sortAscending_ = false;
    TPTLvHeaderSortDisplayMode headerMode_ = ptlvRightOfText;
};
