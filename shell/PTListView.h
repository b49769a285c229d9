#pragma once
// The list view the shell list is: it shows a TPTShellListModel in report
// style (a header of columns over rows with an icon and texts) or as a grid
// of large icons, follows the model's changes, and adds what the shell
// list shares with the shell tree: context-menu events naming the item,
// custom-draw objects, the caption-editing hooks, the drop highlight, and a
// header it draws itself with a sort triangle in one of four places.

#include "platform/ui/PopupMenu.h"
#include "shell/PTHeaderPaint.h"
#include "shell/PTRowView.h"
#include "shell/PTTreeView.h"
#include "shell/ShellListModel.h"

#include <functional>
#include <memory>

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

using TPTLvOnItemContextMenuEvent =
    std::function<void(TPersistent* sender, int item, TPoint pos, TPopupMenu*& menu)>;
using TPTLvCustomDrawEvent = std::function<void(TPersistent* sender, TPTCustomDraw& draw, int item)>;
using TPTLvSelectItemEvent = std::function<void(TPersistent* sender, int item, bool selected)>;
using TPTLvItemAllowEvent = std::function<void(TPersistent* sender, int item, bool& allow)>;
using TPTLvEditedEvent = std::function<void(TPersistent* sender, int item, std::string& text)>;
using TPTLvColumnClickEvent = std::function<void(TPersistent* sender, int column)>;

class TPTCustomListView : public TPTRowView, protected TPTShellListObserver {
public:
    explicit TPTCustomListView(TComponent* owner = nullptr);
    ~TPTCustomListView() override;
    std::string ClassName() const override { return "TPTCustomListView"; }

    TPTShellListModel& Model() { return model_; }
    const TPTShellListModel& Model() const { return model_; }

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    bool MultiSelect = false;
    bool ReadOnly = false;
    bool ShowColumnHeaders = true;
    bool HideSelection = true;
    bool ColumnClick = true;

    // The list's basics: the rows selected, the first of them (-1 for
    // none), a row's caption, deleting a row.
    int SelCount() const { return model_.SelectedCount(); }
    int Selected() const { return model_.SelectedIndex(); }
    // Selects one row alone (-1 clears the selection).
    void SetSelected(int item);
    std::string ItemCaption(int item) { return model_.RowText(item, 0); }
    void DeleteItem(int item) { model_.DeleteRow(item); }
    int ItemFocused() const { return model_.FocusedIndex; }
    void SetItemFocused(int item);

    // The sort triangle: the column (-1 none), its direction, its place.
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int column);
    bool SortAscending() const { return sortAscending_; }
    void SetSortAscending(bool ascending);
    TPTLvHeaderSortDisplayMode HeaderSortDisplayMode() const { return headerMode_; }
    void SetHeaderSortDisplayMode(TPTLvHeaderSortDisplayMode mode);
    bool OwnerDrawHeader = true;

    // Layout: the row under a client point (-1 for none), a row's icon
    // rectangle, the column whose header lies under x (-1 for none).
    int GetItemAt(int x, int y);
    TRect ItemIconRect(int item);
    int HeaderColumnAt(int x) const;
    int HeaderHeight() const override;
    int RowHeight() const override;
    void MakeItemVisible(int item);

    bool EditCaption(int item);
    bool IsEditing() const { return editing_ >= 0; }
    int EditingItem() const { return editing_; }
    void EndEditCaption(const std::string& text, bool accept);
    int DropTarget() const { return dropTarget_; }
    void SetDropTarget(int item);
    void KeyboardContextMenu(TPoint point);

    TNotifyEvent OnChange;
    TPTLvSelectItemEvent OnSelectItem;
    TPTLvColumnClickEvent OnColumnClick;
    TPTLvItemAllowEvent OnEditing;
    TPTLvEditedEvent OnEdited;
    TPTLvOnItemContextMenuEvent OnItemContextMenu;
    TPTLvCustomDrawEvent OnCustomDraw;
    TPTLvCustomDrawEvent OnCustomDrawItem;

protected:
    void Dispatch(TMessage& message) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint() override;
    int RowCount() const override;
    int ContentWidth() const override;

    virtual bool CanEdit(int item);
    virtual void Edit(int item, std::string text);
    // The header of a column was clicked (the sort order's business).
    virtual void ColumnClicked(int column);
    virtual void ItemContextMenu(int item, TPoint point);
    virtual void ItemDragStart(bool rightButton) {}
    // A double click or Enter on the selection.
    virtual void OpenSelection() {}
    virtual std::unique_ptr<TPTCustomDraw> CustomDrawItem(TPTCustomDrawStage stage, int item, const TRect& rect);
    // The icon of a row, from the system lists.
    virtual int ItemImage(int item);

    void RowsReset() override;
    void RowAdded(int index) override;
    void RowRemoving(int index) override;
    void RowChanged(int index) override;
    void SelectionChanged() override;
    void ColumnsChanged() override;
    void SortChanged() override;

    bool menuShown_ = false;

private:
    int itemsPerRow() const;
    int cellWidth() const;
    void paintHeader(TCanvas& canvas);
    void paintReportRow(TCanvas& canvas, int item, const TRect& row);
    void paintIconCell(TCanvas& canvas, int item, const TRect& cell);
    void clickItem(int item, TShiftState shift);
    int columnEdgeAt(int x) const;

    TPTShellListModel model_;
    std::unique_ptr<TPTInPlaceEditor> editor_, retiredEditor_;
    TViewStyle viewStyle_ = vsReport;
    int sortColumn_ = -1;
    bool sortAscending_ = false;
    TPTLvHeaderSortDisplayMode headerMode_ = ptlvRightOfText;
    int editing_ = -1;
    int dropTarget_ = -1;
    int anchor_ = -1;
    // A press that may become a drag, a column resize, or a header click.
    int pressItem_ = -1;
    TPoint pressPoint_;
    bool pressRight_ = false;
    int sizingColumn_ = -1;
    int sizingFrom_ = 0;
    int pressedHeader_ = -1;
};
