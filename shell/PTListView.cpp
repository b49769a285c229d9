#include "shell/PTListView.h"

void TPTCustomListView::SetSortColumn(int column) {
    if (column == sortColumn_)
        return;
    sortColumn_ = column;
    ColumnsChanged();
}

void TPTCustomListView::SetSortAscending(bool ascending) {
    if (ascending == sortAscending_)
        return;
    sortAscending_ = ascending;
    ColumnsChanged();
}

void TPTCustomListView::SetHeaderSortDisplayMode(TPTLvHeaderSortDisplayMode mode) {
    headerMode_ = mode;
    ColumnsChanged();
}

void TPTCustomListView::DrawColumnHeader(TCanvas& canvas, int column, const TRect& rect, bool pressed) {
    canvas.FillRect(rect, clBtnFace);
    TRect edge = rect;
    canvas.DrawEdge(edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (column < 0 || column >= Columns().Count())
        return;
    TListColumn* info = Columns().Items(column);
    TPTHeaderItem item;
    item.Caption = info->Caption();
    item.Alignment = info->Alignment();
    item.SortColumn = column == sortColumn_;
    item.Ascending = sortAscending_;
    canvas.SetFont(Font());
    canvas.Font().SetColor(clBtnText);
    PTDrawHeaderItem(canvas, rect, item, headerMode_, false);
}

void TPTCustomListView::ItemContextMenu(TListItem* item, TPoint point) {
    TCustomPopupMenu* menu = PopupMenu();
    if (OnItemContextMenu)
        OnItemContextMenu(this, item, point, menu);
    PopupControlMenu(*this, menu, point);
    menuShown_ = true;
}

void TPTCustomListView::KeyboardContextMenu(TPoint point) {
    TListItem* item = Selected();
    if (item != nullptr && !item->Selected())
        item = ItemFocused();
    if (item == nullptr || SelCount() == 0) {
        PopupControlMenu(*this, PopupMenu(), point);
        menuShown_ = true;
        return;
    }
    item->MakeVisible();
    TRect icon = item->DisplayRect(TListItem::drIcon);
    ItemContextMenu(item, {(icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2});
}

void TPTCustomListView::KeyDown(uint16_t& key, TShiftState shift) {
    if ((key == VK_APPS && (shift & (ssShift | ssCtrl | ssAlt)) == 0) || (key == VK_F10 && shift == ssShift)) {
        key = 0;
        KeyboardContextMenu({0, 0});
        return;
    }
    TCustomListView::KeyDown(key, shift);
}

void TPTCustomListView::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_RBUTTONDOWN: {
        menuShown_ = false;
        // A right press on empty space lets go of the selection at once, as
        // a list view does: the menu request that comes with the press here
        // (not after the release) then finds no selected row and does not
        // offer the last one's menu for the empty space.
        TPoint at = PointFromLParam(message.LParam);
        if ((message.WParam & (MK_SHIFT | MK_CONTROL)) == 0 && IndexAt(at.X, at.Y) < 0 &&
            !(ComponentState() & csDesigning))
            ClearSelection();
        rightClick_.Pressed();
        break;
    }
    case WM_RBUTTONUP: {
        TCustomListView::Dispatch(message);
        // A right click: the menu of the selected item, at its icon (a
        // request that came with the press is answered by it as well).
        bool requested = false;
        if (rightClick_.Released(requested) && !(ComponentState() & csDesigning))
            RightClicked(PointFromLParam(message.LParam));
        return;
    }
    case WM_CONTEXTMENU: {
        TPoint screen = PointFromLParam(message.LParam);
        bool fromKeyboard = screen.X == -1 && screen.Y == -1;
        if (!fromKeyboard && rightClick_.Defer()) {
            message.Result = 1;
        } else if (menuShown_) {
            menuShown_ = false;
            message.Result = 1;
        } else if (Items().Count() > 0 && Selected() != nullptr && !(ComponentState() & csDesigning)) {
            if (fromKeyboard)
                KeyboardContextMenu({0, 0});
            else
                ItemContextMenu(Selected(), ScreenToClient(screen));
            menuShown_ = false;
            message.Result = 1;
        } else {
            TCustomListView::Dispatch(message);
        }
        return;
    }
    case CN_NOTIFY:
        switch (static_cast<int>(message.WParam)) {
        case NM_CUSTOMDRAW: {
            auto& info = *reinterpret_cast<TCustomDrawInfo*>(message.LParam);
            TPTCustomDraw draw(info);
            CustomDrawItem(draw, info.Index);
            message.Result = draw.Apply();
            return;
        }
        case LVN_BEGINDRAG:
        case LVN_BEGINRDRAG:
            message.Result = 0;
            rightClick_.Dragged();
            ItemDragStart(static_cast<int>(message.WParam) == LVN_BEGINRDRAG);
            return;
        default:
            break;
        }
        break;
    default:
        break;
    }
    TCustomListView::Dispatch(message);
}
