#include "shell/PTListView.h"

#include "platform/gfx/ImageList.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/shellns/FileTypes.h"
#include "shell/ShellUtils.h"

#include <algorithm>

namespace {
constexpr int kIconCellWidth = 76;
TTextHAlign alignOf(int format) { return format == 1 ? thRight : format == 2 ? thCenter : thLeft; }
TAlignment alignmentOf(int format) { return format == 1 ? taRightJustify : format == 2 ? taCenter : taLeftJustify; }
} // namespace

TPTCustomListView::TPTCustomListView(TComponent* owner) : TPTRowView(owner) { model_.Observer = this; }

TPTCustomListView::~TPTCustomListView() {
    Destroying();
    model_.Observer = nullptr;
}

// --- layout ------------------------------------------------------------------------------------

void TPTCustomListView::SetViewStyle(TViewStyle style) {
    if (style == viewStyle_)
        return;
    viewStyle_ = style;
    RowsChanged();
}

int TPTCustomListView::RowHeight() const {
    if (viewStyle_ != vsIcon)
        return TPTRowView::RowHeight();
    TCanvas measuring;
    measuring.SetFont(Font());
    return 32 + 2 * measuring.TextHeight("Ag") + 8;
}

int TPTCustomListView::HeaderHeight() const {
    if (viewStyle_ != vsReport || !ShowColumnHeaders)
        return 0;
    TCanvas measuring;
    measuring.SetFont(Font());
    return measuring.TextHeight("Ag") + 8;
}

int TPTCustomListView::cellWidth() const { return kIconCellWidth; }

int TPTCustomListView::itemsPerRow() const {
    return viewStyle_ == vsIcon ? std::max(1, ClientWidth() / cellWidth()) : 1;
}

int TPTCustomListView::RowCount() const {
    int per = itemsPerRow();
    return (model_.Count() + per - 1) / per;
}

int TPTCustomListView::ContentWidth() const {
    if (viewStyle_ != vsReport)
        return 0;
    int width = 0;
    for (const TPTColumnSpec& column : model_.Columns())
        width += column.Width;
    return width;
}

int TPTCustomListView::GetItemAt(int x, int y) {
    int row = RowAt(y);
    if (row < 0)
        return -1;
    if (viewStyle_ != vsIcon)
        return row < model_.Count() ? row : -1;
    int column = x / cellWidth();
    if (column >= itemsPerRow())
        return -1;
    int item = row * itemsPerRow() + column;
    return item < model_.Count() ? item : -1;
}

TRect TPTCustomListView::ItemIconRect(int item) {
    int per = itemsPerRow();
    TRect row = RowRect(item / per);
    if (viewStyle_ == vsIcon) {
        int left = (item % per) * cellWidth() + (cellWidth() - 32) / 2;
        return Bounds(left, row.Top + 4, 32, 32);
    }
    return Bounds(row.Left + 2, row.Top + (row.Height() - 16) / 2, 16, 16);
}

int TPTCustomListView::HeaderColumnAt(int x) const {
    int left = -LeftOffset();
    const auto& columns = model_.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (x >= left && x < left + columns[i].Width)
            return static_cast<int>(i);
        left += columns[i].Width;
    }
    return -1;
}

int TPTCustomListView::columnEdgeAt(int x) const {
    int right = -LeftOffset();
    const auto& columns = model_.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        right += columns[i].Width;
        if (std::abs(x - right) <= 3)
            return static_cast<int>(i);
    }
    return -1;
}

void TPTCustomListView::MakeItemVisible(int item) {
    if (item >= 0)
        MakeRowVisible(item / itemsPerRow());
}

// --- sort triangle --------------------------------------------------------------------------

void TPTCustomListView::SetSortColumn(int column) {
    if (column == sortColumn_)
        return;
    sortColumn_ = column;
    Invalidate();
}

void TPTCustomListView::SetSortAscending(bool ascending) {
    if (ascending == sortAscending_)
        return;
    sortAscending_ = ascending;
    Invalidate();
}

void TPTCustomListView::SetHeaderSortDisplayMode(TPTLvHeaderSortDisplayMode mode) {
    headerMode_ = mode;
    Invalidate();
}

// --- selection -------------------------------------------------------------------------------

void TPTCustomListView::SetSelected(int item) {
    for (int row : model_.SelectedRows())
        if (row != item) {
            model_.SetSelected(row, false);
            if (OnSelectItem)
                OnSelectItem(this, row, false);
        }
    if (item >= 0 && item < model_.Count() && !model_.Row(item).Selected) {
        model_.SetSelected(item, true);
        if (OnSelectItem)
            OnSelectItem(this, item, true);
    }
}

void TPTCustomListView::SetItemFocused(int item) {
    model_.FocusedIndex = item;
    MakeItemVisible(item);
    Invalidate();
}

void TPTCustomListView::clickItem(int item, TShiftState shift) {
    if (MultiSelect && (shift & ssCtrl) != 0) {
        bool now = !model_.Row(item).Selected;
        model_.SetSelected(item, now);
        if (OnSelectItem)
            OnSelectItem(this, item, now);
        anchor_ = item;
    } else if (MultiSelect && (shift & ssShift) != 0 && anchor_ >= 0 && anchor_ < model_.Count()) {
        int from = std::min(anchor_, item), to = std::max(anchor_, item);
        for (int row = 0; row < model_.Count(); ++row) {
            bool wanted = row >= from && row <= to;
            if (model_.Row(row).Selected != wanted) {
                model_.SetSelected(row, wanted);
                if (OnSelectItem)
                    OnSelectItem(this, row, wanted);
            }
        }
    } else {
        SetSelected(item);
        anchor_ = item;
    }
    SetItemFocused(item);
}

// --- editing, drop highlight ------------------------------------------------------------------

bool TPTCustomListView::CanEdit(int item) {
    bool allow = !ReadOnly;
    if (OnEditing)
        OnEditing(this, item, allow);
    return allow;
}

bool TPTCustomListView::EditCaption(int item) {
    if (item < 0 || item >= model_.Count() || editing_ >= 0 || !CanEdit(item))
        return false;
    editing_ = item;
    MakeItemVisible(item);
    TRect icon = ItemIconRect(item);
    TRect label = Rect(icon.Right + 2, icon.Top - 2, icon.Right + 2 + 200, icon.Bottom + 2);
    if (viewStyle_ == vsIcon)
        label = Rect(icon.Left - 20, icon.Bottom + 2, icon.Right + 20, icon.Bottom + 22);
    editor_ = std::make_unique<TPTInPlaceEditor>(this, label, model_.RowText(item, 0),
                                                 [this](const std::string& text, bool accept) { EndEditCaption(text, accept); });
    return true;
}

void TPTCustomListView::EndEditCaption(const std::string& text, bool accept) {
    int item = editing_;
    if (item < 0)
        return;
    editing_ = -1;
    if (editor_) {
        // The editor may be inside its own key handler: freed later.
        retiredEditor_ = std::move(editor_);
        retiredEditor_->Finish(false);
        retiredEditor_->Hide();
        if (!PostMessage(this, CM_FREEINPLACEEDITOR))
            retiredEditor_.reset();
        if (CanFocus())
            SetFocus();
    }
    if (accept)
        Edit(item, text);
}

void TPTCustomListView::Edit(int item, std::string text) {
    if (OnEdited)
        OnEdited(this, item, text);
}

void TPTCustomListView::SetDropTarget(int item) {
    if (item == dropTarget_)
        return;
    dropTarget_ = item;
    Invalidate();
}

// --- the model's notices ---------------------------------------------------------------------

void TPTCustomListView::RowsReset() {
    if (editing_ >= 0)
        EndEditCaption({}, false);
    dropTarget_ = -1;
    anchor_ = -1;
    RowsChanged();
}

void TPTCustomListView::RowAdded(int) { RowsChanged(); }

void TPTCustomListView::RowRemoving(int index) {
    auto shift = [&](int& at) {
        if (at == index)
            at = -1;
        else if (at > index)
            --at;
    };
    if (editing_ == index)
        EndEditCaption({}, false);
    shift(editing_);
    shift(dropTarget_);
    shift(anchor_);
    shift(pressItem_);
    RowsChanged();
}

void TPTCustomListView::RowChanged(int) { Invalidate(); }

void TPTCustomListView::SelectionChanged() {
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TPTCustomListView::ColumnsChanged() { RowsChanged(); }

void TPTCustomListView::SortChanged() { Invalidate(); }

void TPTCustomListView::ColumnClicked(int column) {
    if (OnColumnClick)
        OnColumnClick(this, column);
}

// --- context menus ---------------------------------------------------------------------------

void TPTCustomListView::ItemContextMenu(int item, TPoint point) {
    TPopupMenu* menu = dynamic_cast<TPopupMenu*>(PopupMenu());
    if (OnItemContextMenu)
        OnItemContextMenu(this, item, point, menu);
    if (menu != nullptr) {
        menu->PopupComponent = this;
        menu->Popup(ClientToScreen(point));
    }
    menuShown_ = true;
}

void TPTCustomListView::KeyboardContextMenu(TPoint point) {
    int item = Selected();
    if (item >= 0 && !model_.Row(item).Selected)
        item = model_.FocusedIndex;
    if (item < 0) {
        if (auto* menu = dynamic_cast<TPopupMenu*>(PopupMenu())) {
            menu->PopupComponent = this;
            menu->Popup(ClientToScreen(point));
        }
        menuShown_ = true;
        return;
    }
    MakeItemVisible(item);
    TRect icon = ItemIconRect(item);
    ItemContextMenu(item, {(icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2});
}

std::unique_ptr<TPTCustomDraw> TPTCustomListView::CustomDrawItem(TPTCustomDrawStage stage, int item, const TRect& rect) {
    auto draw = std::make_unique<TPTCustomDraw>(Font(), Font().Color(), Color(), stage, rect);
    if (OnCustomDraw)
        OnCustomDraw(this, *draw, item);
    if ((stage == cdsItemPrePaint || stage == cdsItemPostPaint) && OnCustomDrawItem)
        OnCustomDrawItem(this, *draw, item);
    return draw;
}

// --- input -----------------------------------------------------------------------------------

void TPTCustomListView::KeyDown(uint16_t& key, TShiftState shift) {
    TPTRowView::KeyDown(key, shift);
    if ((key == VK_APPS && (shift & (ssShift | ssCtrl | ssAlt)) == 0) || (key == VK_F10 && shift == ssShift)) {
        key = 0;
        KeyboardContextMenu({0, 0});
        return;
    }
    if (IsEditing() || model_.Count() == 0 || (shift & (ssCtrl | ssAlt)) != 0)
        return;
    int at = model_.FocusedIndex >= 0 ? model_.FocusedIndex : 0;
    int per = itemsPerRow();
    int target;
    switch (key) {
    case VK_UP: target = at - per; break;
    case VK_DOWN: target = at + per; break;
    case VK_LEFT: target = viewStyle_ == vsIcon ? at - 1 : at; break;
    case VK_RIGHT: target = viewStyle_ == vsIcon ? at + 1 : at; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = model_.Count() - 1; break;
    case VK_PRIOR: target = at - per * std::max(1, VisibleRowCount() - 1); break;
    case VK_NEXT: target = at + per * std::max(1, VisibleRowCount() - 1); break;
    default: return;
    }
    key = 0;
    target = std::clamp(target, 0, model_.Count() - 1);
    clickItem(target, shift & ssShift);
}

void TPTCustomListView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused())
        SetFocus();
    TPTRowView::MouseDown(button, shift, x, y);
    pressPoint_ = {x, y};
    pressRight_ = button == mbRight;
    pressItem_ = -1;
    if (y < HeaderHeight()) {
        if (button != mbLeft)
            return;
        sizingColumn_ = columnEdgeAt(x);
        if (sizingColumn_ >= 0) {
            sizingFrom_ = x - model_.Columns()[static_cast<size_t>(sizingColumn_)].Width;
            SetMouseCapture(true);
        } else {
            pressedHeader_ = HeaderColumnAt(x);
        }
        return;
    }
    int item = GetItemAt(x, y);
    if (button == mbMiddle)
        return;
    if (item < 0) {
        if (button == mbLeft && (shift & (ssCtrl | ssShift)) == 0)
            SetSelected(-1);
        return;
    }
    if ((shift & ssDouble) != 0 && button == mbLeft) {
        OpenSelection();
        return;
    }
    if (!model_.Row(item).Selected || button == mbLeft)
        if (!(button == mbRight && model_.Row(item).Selected))
            clickItem(item, button == mbLeft ? shift : 0);
    pressItem_ = item;
}

void TPTCustomListView::MouseMove(TShiftState shift, int x, int y) {
    TPTRowView::MouseMove(shift, x, y);
    if (sizingColumn_ >= 0) {
        model_.SetColumnWidth(sizingColumn_, std::max(8, x - sizingFrom_));
        RowsChanged();
        return;
    }
    if (pressItem_ < 0 || (shift & (pressRight_ ? ssRight : ssLeft)) == 0)
        return;
    if (std::abs(x - pressPoint_.X) <= 4 && std::abs(y - pressPoint_.Y) <= 4)
        return;
    pressItem_ = -1; // one drag per press
    ItemDragStart(pressRight_);
}

void TPTCustomListView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TPTRowView::MouseUp(button, shift, x, y);
    pressItem_ = -1;
    if (sizingColumn_ >= 0) {
        sizingColumn_ = -1;
        SetMouseCapture(false);
        return;
    }
    if (pressedHeader_ >= 0) {
        int column = HeaderColumnAt(x);
        bool clicked = column == pressedHeader_ && y < HeaderHeight();
        pressedHeader_ = -1;
        if (clicked && ColumnClick)
            ColumnClicked(column);
        return;
    }
    if (button == mbRight && !(ComponentState() & csDesigning) && y >= HeaderHeight()) {
        // A right click: the selected item's menu, at its icon.
        KeyboardContextMenu({x, y});
    }
}

void TPTCustomListView::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_FREEINPLACEEDITOR:
        retiredEditor_.reset();
        message.Result = 0;
        return;
    case WM_RBUTTONDOWN:
        menuShown_ = false;
        TPTRowView::Dispatch(message);
        return;
    case WM_CONTEXTMENU: {
        TPoint screen = PointFromLParam(message.LParam);
        bool fromKeyboard = screen.X == -1 && screen.Y == -1;
        if (menuShown_) {
            menuShown_ = false;
            message.Result = 1;
        } else if (model_.Count() > 0 && Selected() >= 0 && !(ComponentState() & csDesigning)) {
            if (fromKeyboard)
                KeyboardContextMenu({0, 0});
            else
                ItemContextMenu(Selected(), ScreenToClient(screen));
            menuShown_ = false;
            message.Result = 1;
        } else {
            TPTRowView::Dispatch(message);
        }
        return;
    }
    default:
        TPTRowView::Dispatch(message);
    }
}

// --- painting ----------------------------------------------------------------------------------

int TPTCustomListView::ItemImage(int item) { return model_.RowImage(item, viewStyle_ == vsIcon); }

void TPTCustomListView::Paint() {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    int per = itemsPerRow();
    int lastRow = std::min(RowCount(), TopRow() + VisibleRowCount() + 1);
    for (int row = TopRow(); row < lastRow; ++row) {
        TRect rect = RowRect(row);
        for (int column = 0; column < per; ++column) {
            int item = row * per + column;
            if (item >= model_.Count())
                break;
            if (viewStyle_ == vsIcon)
                paintIconCell(canvas, item, Bounds(column * cellWidth(), rect.Top, cellWidth(), rect.Height()));
            else
                paintReportRow(canvas, item, rect);
        }
    }
    if (HeaderHeight() > 0)
        paintHeader(canvas);
}

void TPTCustomListView::paintHeader(TCanvas& canvas) {
    int height = HeaderHeight();
    canvas.FillRect(Rect(0, 0, ClientWidth(), height), clBtnFace);
    int left = -LeftOffset();
    const auto& columns = model_.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        TRect item = Bounds(left, 0, columns[i].Width, height);
        TRect edge = item;
        canvas.DrawEdge(edge, EDGE_RAISED, BF_RECT);
        TPTHeaderItem header;
        header.Caption = columns[i].Caption;
        header.Alignment = alignmentOf(columns[i].Format);
        header.SortColumn = static_cast<int>(i) == sortColumn_;
        header.Ascending = sortAscending_;
        canvas.Font().SetColor(clBtnText);
        PTDrawHeaderItem(canvas, item, header, headerMode_, OwnerDrawHeader);
        left += columns[i].Width;
    }
    canvas.SetFont(Font());
}

void TPTCustomListView::paintReportRow(TCanvas& canvas, int item, const TRect& row) {
    std::unique_ptr<TPTCustomDraw> draw = CustomDrawItem(cdsItemPrePaint, item, row);
    if (draw->SkipDefault)
        return;
    TPTShellRow& data = model_.Row(item);
    bool highlighted = item == dropTarget_ || (data.Selected && dropTarget_ < 0 && (Focused() || !HideSelection));
    TImageList* images = GetSystemImageList(0);
    TRect icon = ItemIconRect(item);
    images->Draw(canvas, icon.Left, icon.Top, ItemImage(item), !data.Cut);
    if (data.OverlayIndex >= 0)
        images->Draw(canvas, icon.Left, icon.Top, OverlayImageIndex(data.OverlayIndex + 1));
    if (draw->FontChanged())
        canvas.SetFont(draw->Font());
    const auto& columns = model_.Columns();
    int left = row.Left;
    TTextLineFormat format;
    format.VCenter = true;
    format.EndEllipsis = true;
    format.NoPrefix = true;
    canvas.SetBkMode(TRANSPARENT);
    size_t count = viewStyle_ == vsReport ? std::max<size_t>(1, columns.size()) : 1;
    for (size_t column = 0; column < count; ++column) {
        int width = column < columns.size() ? columns[column].Width : ClientWidth();
        std::string text = model_.RowText(item, static_cast<int>(column));
        if (column == 0) {
            int textLeft = icon.Right + 4;
            int textWidth = std::min(canvas.TextWidth(text) + 4, std::max(0, left + width - textLeft));
            TRect label = Rect(textLeft, row.Top + 1, textLeft + textWidth, row.Bottom - 1);
            TColor back = draw->BrushChanged() ? draw->BackgroundColor() : highlighted ? clHighlight : Color();
            canvas.FillRect(label, back);
            canvas.Font().SetColor(draw->FontChanged() ? draw->TextColor() : highlighted ? clHighlightText : Font().Color());
            format.Align = thLeft;
            DrawTextLine(canvas, text, Rect(label.Left + 2, label.Top, label.Right, label.Bottom), format);
            if (item == model_.FocusedIndex && Focused())
                canvas.DrawFocusRect(label);
        } else {
            canvas.Font().SetColor(draw->FontChanged() ? draw->TextColor() : Font().Color());
            format.Align = alignOf(columns[column].Format);
            DrawTextLine(canvas, text, Rect(left + 6, row.Top, left + width - 6, row.Bottom), format);
        }
        left += width;
    }
    canvas.SetFont(Font());
}

void TPTCustomListView::paintIconCell(TCanvas& canvas, int item, const TRect& cell) {
    std::unique_ptr<TPTCustomDraw> draw = CustomDrawItem(cdsItemPrePaint, item, cell);
    if (draw->SkipDefault)
        return;
    TPTShellRow& data = model_.Row(item);
    bool highlighted = item == dropTarget_ || (data.Selected && dropTarget_ < 0 && (Focused() || !HideSelection));
    TImageList* images = GetSystemImageList(1);
    TRect icon = ItemIconRect(item);
    images->Draw(canvas, icon.Left, icon.Top, ItemImage(item), !data.Cut);
    if (data.OverlayIndex >= 0)
        images->Draw(canvas, icon.Left, icon.Top, OverlayImageIndex(data.OverlayIndex + 1));
    std::string text = EllipsisText(canvas, model_.RowText(item, 0), cell.Width() - 4);
    int width = canvas.TextWidth(text) + 4;
    TRect label = Bounds(cell.Left + (cell.Width() - width) / 2, icon.Bottom + 2, width, canvas.TextHeight("Ag") + 2);
    canvas.FillRect(label, highlighted ? clHighlight : Color());
    canvas.Font().SetColor(highlighted ? clHighlightText : Font().Color());
    canvas.SetBkMode(TRANSPARENT);
    TTextLineFormat format;
    format.Align = thCenter;
    format.NoPrefix = true;
    DrawTextLine(canvas, text, label, format);
    canvas.SetFont(Font());
}
