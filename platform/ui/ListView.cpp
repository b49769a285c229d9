#include "platform/ui/ListView.h"

#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ExtControls.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Columns

void TListColumn::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    owner_.changed();
}

void TListColumn::SetWidth(int width) {
    width = std::max(0, width);
    if (width == width_)
        return;
    width_ = width;
    owner_.changed();
}

void TListColumn::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    owner_.changed();
}

TListColumn* TListColumns::Add() {
    columns_.push_back(std::unique_ptr<TListColumn>(new TListColumn(*this)));
    columns_.back()->index_ = Count() - 1;
    changed();
    return columns_.back().get();
}

TListColumn* TListColumns::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return columns_[static_cast<size_t>(index)].get();
}

void TListColumns::Delete(int index) {
    Items(index);
    columns_.erase(columns_.begin() + index);
    for (size_t i = 0; i < columns_.size(); ++i)
        columns_[i]->index_ = static_cast<int>(i);
    changed();
}

void TListColumns::Clear() {
    if (columns_.empty())
        return;
    columns_.clear();
    changed();
}

void TListColumns::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        changed();
}

void TListColumns::changed() {
    if (updateCount_ == 0)
        owner_.ColumnsChanged();
}

// ---------------------------------------------------------------------------
// TListItem

TListItem::TListItem(TListItems& owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {
    subItems_->OnChange = [this](TStringList&) { changed(); };
}

TListItem::~TListItem() { subItems_->OnChange = nullptr; }

TCustomListView& TListItem::ListView() const { return owner_.Owner(); }

void TListItem::changed() {
    // An owner-data row being filled changes nothing shown.
    if (index_ >= 0 && this != owner_.fetched_.get())
        ListView().itemChanged(index_);
}

void TListItem::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    changed();
    TSortType sort = ListView().SortType();
    if ((sort == stText || sort == stBoth) && this != owner_.fetched_.get())
        ListView().AlphaSort();
}

void TListItem::SetImageIndex(int index) {
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    changed();
}

void TListItem::SetOverlayIndex(int index) {
    if (index == overlayIndex_)
        return;
    overlayIndex_ = index;
    changed();
}

void TListItem::SetStateIndex(int index) {
    if (index == stateIndex_)
        return;
    stateIndex_ = index;
    changed();
}

void TListItem::SetCut(bool value) {
    if (value == cut_)
        return;
    cut_ = value;
    changed();
}

void TListItem::SetDropTarget(bool value) {
    if (value == dropTarget_)
        return;
    dropTarget_ = value;
    changed();
}

bool TListItem::Selected() const { return ListView().IsSelected(index_); }

void TListItem::SetSelected(bool value) { ListView().SelectIndex(index_, value); }

bool TListItem::Focused() const { return ListView().FocusedIndex() == index_; }

void TListItem::SetFocused(bool value) {
    if (value)
        ListView().SetFocusedIndex(index_);
    else if (Focused())
        ListView().SetFocusedIndex(-1);
}

void TListItem::Delete() { owner_.Delete(index_); }

bool TListItem::EditCaption() {
    TCustomListView& list = ListView();
    TListViewPeer* peer = list.listPeer();
    if (list.ReadOnly() || peer == nullptr)
        return false;
    peer->MakeVisible(index_);
    return peer->EditItem(index_);
}

void TListItem::CancelEdit() {
    TCustomListView& list = ListView();
    if (list.EditingIndex() == index_ && list.listPeer() != nullptr)
        list.listPeer()->EndEdit(true);
}

void TListItem::MakeVisible() {
    if (TListViewPeer* peer = ListView().listPeer())
        peer->MakeVisible(index_);
}

TRect TListItem::DisplayRect(TDisplayCode code) const {
    TListViewPeer* peer = ListView().listPeer();
    return peer != nullptr ? peer->ItemRectangle(index_, code) : TRect{};
}

// ---------------------------------------------------------------------------
// TListItems

TListItems::~TListItems() = default;

int TListItems::Count() const { return owner_.OwnerData() ? ownerCount_ : static_cast<int>(items_.size()); }

void TListItems::SetCount(int count) {
    count = std::max(0, count);
    if (!owner_.OwnerData() || count == ownerCount_)
        return;
    TListViewPeer* peer = updateCount_ == 0 ? owner_.listPeer() : nullptr;
    int old = ownerCount_;
    if (count > old) {
        if (peer != nullptr)
            peer->ItemsInserting(old, count - old);
        ownerCount_ = count;
        owner_.ownerSelected_.resize(static_cast<size_t>(count), 0);
        if (peer != nullptr)
            peer->ItemsInserted();
    } else {
        if (peer != nullptr)
            peer->ItemsRemoving(count, old - count);
        ownerCount_ = count;
        owner_.ownerSelected_.resize(static_cast<size_t>(count));
        if (owner_.focused_ >= count)
            owner_.focused_ = -1;
        if (peer != nullptr)
            peer->ItemsRemoved();
    }
    if (peer == nullptr)
        changedWhileUpdating_ = true;
    fetchedIndex_ = -1;
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    if (!owner_.OwnerData())
        return items_[static_cast<size_t>(index)].get();
    if (fetched_ == nullptr)
        fetched_.reset(new TListItem(const_cast<TListItems&>(*this)));
    if (fetchedIndex_ == index)
        return fetched_.get();
    // A row of its own for each question, filled by OnData.
    TListItem& item = *fetched_;
    item.index_ = index;
    item.caption_.clear();
    item.subItems_->Clear();
    item.data_ = nullptr;
    item.imageIndex_ = item.overlayIndex_ = item.stateIndex_ = -1;
    item.cut_ = item.dropTarget_ = false;
    if (owner_.OnData)
        owner_.OnData(&owner_, &item);
    fetchedIndex_ = index;
    return &item;
}

void TListItems::renumber(int from) {
    for (size_t i = static_cast<size_t>(std::max(0, from)); i < items_.size(); ++i)
        items_[i]->index_ = static_cast<int>(i);
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
    if (owner_.OwnerData())
        throw EInvalidOperation("Operation not allowed on a list view with owner data");
    if (index < 0 || index > Count())
        throw EListError();
    std::unique_ptr<TListItem> item(new TListItem(*this));
    TListItem* made = item.get();
    TListViewPeer* peer = updateCount_ == 0 ? owner_.listPeer() : nullptr;
    if (peer != nullptr)
        peer->ItemsInserting(index, 1);
    items_.insert(items_.begin() + index, std::move(item));
    renumber(index);
    owner_.itemInserted(index);
    if (peer != nullptr)
        peer->ItemsInserted();
    else
        changedWhileUpdating_ = true;
    owner_.InsertItem(made);
    return made;
}

void TListItems::Delete(int index) {
    if (owner_.OwnerData()) {
        SetCount(Count() - 1);
        return;
    }
    TListItem* item = Item(index);
    owner_.Delete(item);
    index = item->Index(); // a handler may have moved it
    TListViewPeer* peer = updateCount_ == 0 ? owner_.listPeer() : nullptr;
    if (peer != nullptr)
        peer->ItemsRemoving(index, 1);
    owner_.itemRemoving(index);
    std::unique_ptr<TListItem> gone = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    gone->index_ = -1;
    renumber(index);
    if (peer != nullptr)
        peer->ItemsRemoved();
    else
        changedWhileUpdating_ = true;
}

void TListItems::Clear() {
    if (owner_.OwnerData()) {
        SetCount(0);
        return;
    }
    if (items_.empty())
        return;
    for (auto& item : items_)
        owner_.Delete(item.get());
    TListViewPeer* peer = updateCount_ == 0 ? owner_.listPeer() : nullptr;
    int count = static_cast<int>(items_.size());
    if (peer != nullptr)
        peer->ItemsRemoving(0, count);
    if (owner_.editing_ >= 0 && owner_.listPeer() != nullptr)
        owner_.listPeer()->EndEdit(true);
    owner_.editing_ = -1;
    owner_.focused_ = -1;
    items_.clear();
    if (peer != nullptr)
        peer->ItemsRemoved();
    else
        changedWhileUpdating_ = true;
}

void TListItems::BeginUpdate() { ++updateCount_; }

void TListItems::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0)
        return;
    if (changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        fetchedIndex_ = -1;
        if (TListViewPeer* peer = owner_.listPeer())
            peer->ItemsReset();
    }
}

// ---------------------------------------------------------------------------
// TCustomListView

TCustomListView::TCustomListView(TComponent* owner)
    : TStandardControl(owner), items_(std::make_unique<TListItems>(*this)),
      columns_(std::make_unique<TListColumns>(*this)) {
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListView::~TCustomListView() {
    Destroying();
    // OnDeletion still hears of every row, so that handlers free their data.
    if (!ownerData_)
        items_->Clear();
}

void TCustomListView::CreateParams(TCreateParams& params) {
    TStandardControl::CreateParams(params);
    params.Kind = std::string(wk::ListView);
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

TListViewPeer* TCustomListView::listPeer() const { return dynamic_cast<TListViewPeer*>(Peer()); }

void TCustomListView::itemChanged(int index) {
    if (TListViewPeer* peer = listPeer(); peer != nullptr && !items_->Updating())
        peer->ItemChanged(index);
}

void TCustomListView::itemInserted(int index) {
    if (focused_ >= index)
        ++focused_;
    if (editing_ >= index)
        ++editing_;
}

void TCustomListView::itemRemoving(int index) {
    if (editing_ == index) {
        if (TListViewPeer* peer = listPeer())
            peer->EndEdit(true);
        editing_ = -1;
    } else if (editing_ > index) {
        --editing_;
    }
    if (focused_ == index)
        focused_ = -1;
    else if (focused_ > index)
        --focused_;
}

void TCustomListView::ColumnsChanged() {
    if (TListViewPeer* peer = listPeer())
        peer->ColumnsChanged();
}

int TCustomListView::ColumnCount() const { return columns_->Count(); }

// --- selection -------------------------------------------------------------------

bool TCustomListView::IsSelected(int index) const {
    if (index < 0 || index >= items_->Count())
        return false;
    if (ownerData_)
        return ownerSelected_[static_cast<size_t>(index)] != 0;
    return items_->items_[static_cast<size_t>(index)]->selected_;
}

void TCustomListView::setSelectedFlag(int index, bool selected) {
    if (ownerData_)
        ownerSelected_[static_cast<size_t>(index)] = selected ? 1 : 0;
    else
        items_->items_[static_cast<size_t>(index)]->selected_ = selected;
}

void TCustomListView::SelectIndex(int index, bool selected) {
    if (index < 0 || index >= items_->Count() || IsSelected(index) == selected)
        return;
    std::vector<int> dropped;
    if (selected && !multiSelect_)
        for (int i = 0; i < items_->Count(); ++i)
            if (i != index && IsSelected(i)) {
                setSelectedFlag(i, false);
                dropped.push_back(i);
            }
    setSelectedFlag(index, selected);
    if (TListViewPeer* peer = listPeer())
        peer->SelectionChanged();
    for (int i : dropped)
        DoSelectItem(items_->Item(i), false);
    DoSelectItem(items_->Item(index), selected);
}

TListItem* TCustomListView::Selected() const {
    int index = ItemIndex();
    return index >= 0 ? items_->Item(index) : nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
    int index = item != nullptr ? item->Index() : -1;
    SetItemIndex(index);
}

int TCustomListView::ItemIndex() const {
    for (int i = 0; i < items_->Count(); ++i)
        if (IsSelected(i))
            return i;
    return -1;
}

void TCustomListView::SetItemIndex(int index) {
    // Only this row is selected, and has the focus.
    for (int i = 0; i < items_->Count(); ++i)
        if (i != index && IsSelected(i))
            SelectIndex(i, false);
    if (index >= 0 && index < items_->Count()) {
        SelectIndex(index, true);
        SetFocusedIndex(index);
    }
}

int TCustomListView::SelCount() const {
    int count = 0;
    for (int i = 0; i < items_->Count(); ++i)
        count += IsSelected(i) ? 1 : 0;
    return count;
}

TListItem* TCustomListView::ItemFocused() const {
    return focused_ >= 0 && focused_ < items_->Count() ? items_->Item(focused_) : nullptr;
}

void TCustomListView::SetFocusedIndex(int index) {
    if (index < -1 || index >= items_->Count())
        index = -1;
    if (index == focused_)
        return;
    focused_ = index;
    if (TListViewPeer* peer = listPeer())
        peer->SelectionChanged();
}

void TCustomListView::SelectAll() {
    if (!multiSelect_)
        return;
    for (int i = 0; i < items_->Count(); ++i)
        SelectIndex(i, true);
}

void TCustomListView::ClearSelection() {
    for (int i = 0; i < items_->Count(); ++i)
        SelectIndex(i, false);
}

void TCustomListView::selectionFromWindow(const TListSelectionChange& change) {
    int count = items_->Count();
    std::vector<char> wanted(static_cast<size_t>(count), 0);
    if (change.Selected != nullptr)
        for (int i : *change.Selected)
            if (i >= 0 && i < count)
                wanted[static_cast<size_t>(i)] = 1;
    std::vector<int> off, on;
    for (int i = 0; i < count; ++i) {
        bool now = IsSelected(i);
        if (now && !wanted[static_cast<size_t>(i)])
            off.push_back(i);
        else if (!now && wanted[static_cast<size_t>(i)])
            on.push_back(i);
    }
    if (!multiSelect_ && on.size() > 1)
        on.erase(on.begin() + 1, on.end());
    for (int i : off)
        setSelectedFlag(i, false);
    for (int i : on)
        setSelectedFlag(i, true);
    focused_ = change.Focused >= 0 && change.Focused < count ? change.Focused : -1;
    // The rows that lost the selection are told first.
    for (int i : off)
        DoSelectItem(items_->Item(i), false);
    for (int i : on)
        DoSelectItem(items_->Item(i), true);
}

// --- places --------------------------------------------------------------------------

int TCustomListView::IndexAt(int x, int y) const {
    TListViewPeer* peer = listPeer();
    return peer != nullptr ? peer->ItemAtPoint({x, y}) : -1;
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
    int index = IndexAt(x, y);
    return index >= 0 ? items_->Item(index) : nullptr;
}

TListItem* TCustomListView::TopItem() const {
    TListViewPeer* peer = listPeer();
    int index = peer != nullptr ? peer->TopIndex() : (items_->Count() > 0 ? 0 : -1);
    return index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr;
}

int TCustomListView::VisibleRowCount() const {
    TListViewPeer* peer = listPeer();
    return peer != nullptr ? peer->VisibleRows() : 0;
}

// --- order ---------------------------------------------------------------------------

void TCustomListView::sortItems(const std::function<int(TListItem*, TListItem*)>& compare) {
    if (ownerData_ || items_->items_.size() < 2)
        return;
    TListItem* focused = ItemFocused();
    std::stable_sort(items_->items_.begin(), items_->items_.end(),
                     [&](const std::unique_ptr<TListItem>& a, const std::unique_ptr<TListItem>& b) {
                         return compare(a.get(), b.get()) < 0;
                     });
    items_->renumber(0);
    focused_ = focused != nullptr ? focused->Index() : -1;
    if (TListViewPeer* peer = listPeer(); peer != nullptr && !items_->Updating())
        peer->ItemsReset();
    else
        items_->changedWhileUpdating_ = true;
}

void TCustomListView::AlphaSort() {
    sortItems([this](TListItem* a, TListItem* b) {
        int compare = 0;
        if (OnCompare)
            OnCompare(this, a, b, 0, compare);
        else
            compare = Utf8CompareText(a->Caption(), b->Caption());
        return compare;
    });
}

void TCustomListView::CustomSort(const std::function<int(TListItem* a, TListItem* b)>& compare) { sortItems(compare); }

// --- texts and pictures ------------------------------------------------------------

std::string TCustomListView::DisplayText(int index, int column) {
    TListItem* item = items_->Item(index);
    if (column == 0)
        return item->Caption();
    int sub = column - 1;
    return sub < item->SubItems().Count() ? item->SubItems().Strings(sub) : std::string();
}

int TCustomListView::DisplayImage(int index) {
    TListItem* item = items_->Item(index);
    GetImageIndex(item);
    return item->ImageIndex();
}

void TCustomListView::DrawColumnHeader(TCanvas& canvas, int column, const TRect& rect, bool pressed) {
    TRect face = rect;
    canvas.FillRect(face, clBtnFace);
    Frame3D(canvas, face, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow, 1);
    if (column < 0 || column >= columns_->Count())
        return;
    TListColumn* col = columns_->Items(column);
    canvas.SetFont(Font());
    canvas.SetBkMode(TRANSPARENT);
    int width = canvas.TextWidth(col->Caption());
    int x = col->Alignment() == taRightJustify ? face.Right - 4 - width
            : col->Alignment() == taCenter    ? face.Left + (face.Width() - width) / 2
                                              : face.Left + 4;
    canvas.TextRect(face, x, face.Top + (face.Height() - canvas.TextHeight("0")) / 2, col->Caption());
}

// --- options -------------------------------------------------------------------------

void TCustomListView::SetViewStyle(TViewStyle value) {
    if (value == viewStyle_)
        return;
    viewStyle_ = value;
    RecreateWnd();
}

void TCustomListView::SetOwnerData(bool value) {
    if (value == ownerData_)
        return;
    items_->Clear();
    ownerData_ = value;
    items_->ownerCount_ = 0;
    ownerSelected_.clear();
    focused_ = -1;
    if (TListViewPeer* peer = listPeer())
        peer->ItemsReset();
}

void TCustomListView::SetMultiSelect(bool value) {
    if (value == multiSelect_)
        return;
    multiSelect_ = value;
    if (!value) {
        int keep = ItemIndex();
        for (int i = 0; i < items_->Count(); ++i)
            if (i != keep)
                setSelectedFlag(i, false);
    }
    PeerChanged(paOptions);
}

void TCustomListView::SetRowSelect(bool value) {
    if (value == rowSelect_)
        return;
    rowSelect_ = value;
    PeerChanged(paOptions);
}

void TCustomListView::SetHideSelection(bool value) {
    if (value == hideSelection_)
        return;
    hideSelection_ = value;
    PeerChanged(paOptions);
}

void TCustomListView::SetShowColumnHeaders(bool value) {
    if (value == showColumnHeaders_)
        return;
    showColumnHeaders_ = value;
    PeerChanged(paOptions);
}

void TCustomListView::SetColumnClick(bool value) {
    if (value == columnClick_)
        return;
    columnClick_ = value;
    PeerChanged(paOptions);
}

void TCustomListView::SetAutoArrange(bool value) {
    if (value == autoArrange_)
        return;
    autoArrange_ = value;
    PeerChanged(paOptions);
}

void TCustomListView::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomListView::SetSortType(TSortType value) {
    if (value == sortType_)
        return;
    sortType_ = value;
    if (value == stText || value == stBoth)
        AlphaSort();
}

void TCustomListView::setImages(TImageList*& slot, TItemImagesLink& link, TImageList* images) {
    // A list held by another slot too is still to be heard of.
    int holders = (largeImages_ == slot) + (smallImages_ == slot) + (stateImages_ == slot);
    if (!SetComponentReference(*this, slot, images, holders > 1))
        return;
    link.Watch(images);
    PeerChanged(paAppearance);
}

void TCustomListView::SetLargeImages(TImageList* images) { setImages(largeImages_, largeLink_, images); }
void TCustomListView::SetSmallImages(TImageList* images) { setImages(smallImages_, smallLink_, images); }
void TCustomListView::SetStateImages(TImageList* images) { setImages(stateImages_, stateLink_, images); }

// New pictures need a paint of the rows; pictures of a new size change
// the rows themselves when they are the ones the view style shows.
void TCustomListView::imagesChanged(const TItemImagesLink& link, bool remeasure) {
    const TItemImagesLink& shown = viewStyle_ == vsIcon ? largeLink_ : smallLink_;
    if (remeasure && &link == &shown) {
        PeerChanged(paAppearance);
    } else {
        Invalidate();
    }
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
    TStandardControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    bool any = false;
    for (auto [slot, link] : {std::pair{&largeImages_, &largeLink_}, std::pair{&smallImages_, &smallLink_},
                              std::pair{&stateImages_, &stateLink_}})
        if (*slot == component) {
            *slot = nullptr;
            link->Watch(nullptr);
            any = true;
        }
    if (any)
        PeerChanged(paAppearance);
}

// --- hooks ---------------------------------------------------------------------------

void TCustomListView::InsertItem(TListItem* item) { FireEvent(OnInsert, this, item); }
void TCustomListView::Delete(TListItem* item) { FireEvent(OnDeletion, this, item); }
bool TCustomListView::CanEdit(TListItem* item) { return AskEvent(OnEditing, this, item); }
void TCustomListView::Edit(TListItem* item, std::string& text) { FireEvent(OnEdited, this, item, text); }
void TCustomListView::ColClick(TListColumn* column) { FireEvent(OnColumnClick, this, column); }
void TCustomListView::DoSelectItem(TListItem* item, bool selected) { FireEvent(OnSelectItem, this, item, selected); }
void TCustomListView::GetImageIndex(TListItem* item) { FireEvent(OnGetImageIndex, this, item); }

// --- notices -------------------------------------------------------------------------

void TCustomListView::notifyCustomDraw(TMessage& message) {
    auto& info = *reinterpret_cast<TCustomDrawInfo*>(message.LParam);
    TScopedValue<TCanvas*> drawing(drawCanvas_, info.Canvas);
    bool defaultDraw = true;
    TListItem* item = info.Index >= 0 && info.Index < items_->Count() ? items_->Item(info.Index) : nullptr;
    switch (info.Stage) {
    case cdPrePaint:
        if (OnCustomDraw)
            OnCustomDraw(this, info.Rect, defaultDraw);
        message.Result = !defaultDraw ? CDRF_SKIPDEFAULT : WantsItemDraw() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        return;
    case cdItemPrePaint:
        if (OnCustomDrawItem && item != nullptr)
            OnCustomDrawItem(this, item, info.State, defaultDraw);
        message.Result = defaultDraw ? CDRF_NEWFONT : CDRF_SKIPDEFAULT;
        return;
    case cdSubItemPrePaint:
        if (OnCustomDrawSubItem && item != nullptr)
            OnCustomDrawSubItem(this, item, info.SubItem, info.State, defaultDraw);
        message.Result = defaultDraw ? CDRF_NEWFONT : CDRF_SKIPDEFAULT;
        return;
    default:
        message.Result = CDRF_DODEFAULT;
        return;
    }
}

void TCustomListView::Dispatch(TMessage& message) {
    if (message.Msg == WM_GETDLGCODE && IsEditing()) {
        // The box of a rename in place takes every key: Return and Escape
        // end the rename, not the dialog around the view.
        message.Result = DLGC_WANTALLKEYS;
        return;
    }
    if (message.Msg != CN_NOTIFY) {
        TStandardControl::Dispatch(message);
        return;
    }
    message.Result = 0;
    switch (static_cast<int>(message.WParam)) {
    case LVN_ITEMCHANGED:
        selectionFromWindow(*reinterpret_cast<TListSelectionChange*>(message.LParam));
        break;
    case LVN_COLUMNCLICK: {
        int column = static_cast<int>(message.LParam);
        if (columnClick_ && column >= 0 && column < columns_->Count())
            ColClick(columns_->Items(column));
        break;
    }
    case LVN_BEGINLABELEDIT: {
        int index = static_cast<int>(message.LParam);
        if (readOnly_ || index < 0 || index >= items_->Count() || !CanEdit(items_->Item(index)))
            message.Result = 1;
        else
            editing_ = index;
        break;
    }
    case LVN_ENDLABELEDIT: {
        auto& edit = *reinterpret_cast<TLabelEdit*>(message.LParam);
        editing_ = -1;
        if (edit.Text != nullptr && edit.Index >= 0 && edit.Index < items_->Count()) {
            TListItem* item = items_->Item(edit.Index);
            std::string text = *edit.Text;
            Edit(item, text);
            if (!ownerData_)
                item->SetCaption(text);
            message.Result = 1;
        }
        EditEnded();
        break;
    }
    case NM_CUSTOMDRAW:
        notifyCustomDraw(message);
        break;
    default:
        break;
    }
}
