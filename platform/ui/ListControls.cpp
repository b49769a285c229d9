#include "platform/ui/ListControls.h"

#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/ui/ComponentWatch.h"

#include <algorithm>
#include <numeric>

// ---------------------------------------------------------------------------
// TListControlItems

void TListControlItems::checkIndex(int index) const {
    if (index < 0 || index >= GetCount())
        throw EListError();
}

std::string TListControlItems::Get(int index) const {
    checkIndex(index);
    return items_[static_cast<size_t>(index)].Text;
}

void* TListControlItems::GetObject(int index) const {
    checkIndex(index);
    return items_[static_cast<size_t>(index)].Object;
}

void TListControlItems::PutObject(int index, void* object) {
    checkIndex(index);
    items_[static_cast<size_t>(index)].Object = object;
}

void TListControlItems::Put(int index, const std::string& s) {
    checkIndex(index);
    items_[static_cast<size_t>(index)].Text = s;
    owner_.ItemChanged(index);
}

void TListControlItems::insertItem(int index, const std::string& s) {
    items_.insert(items_.begin() + index, TItem{s});
    owner_.ItemInserted(index);
}

void TListControlItems::Insert(int index, const std::string& s) {
    if (index < 0 || index > GetCount())
        throw EListError();
    insertItem(index, s);
}

int TListControlItems::Add(const std::string& s) {
    int index = GetCount();
    if (owner_.Sorted()) {
        // After the equal ones, as a sorted list box adds.
        auto at = std::upper_bound(items_.begin(), items_.end(), s, [](const std::string& value, const TItem& item) {
            return Utf8CompareText(value, item.Text) < 0;
        });
        index = static_cast<int>(at - items_.begin());
    }
    insertItem(index, s);
    return index;
}

void TListControlItems::Delete(int index) {
    checkIndex(index);
    items_.erase(items_.begin() + index);
    owner_.ItemDeleted(index);
}

void TListControlItems::Clear() {
    if (items_.empty())
        return;
    items_.clear();
    owner_.itemIndex_ = -1;
    owner_.ItemsReset();
}

void TListControlItems::Move(int currentIndex, int newIndex) {
    if (currentIndex == newIndex)
        return;
    checkIndex(currentIndex);
    checkIndex(newIndex);
    TItem item = std::move(items_[static_cast<size_t>(currentIndex)]);
    items_.erase(items_.begin() + currentIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    int& selected = owner_.itemIndex_;
    if (selected == currentIndex)
        selected = newIndex;
    else if (currentIndex < selected && selected <= newIndex)
        --selected;
    else if (newIndex <= selected && selected < currentIndex)
        ++selected;
    owner_.ItemsReset();
}

void TListControlItems::Exchange(int index1, int index2) {
    checkIndex(index1);
    checkIndex(index2);
    if (index1 == index2)
        return;
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    int& selected = owner_.itemIndex_;
    if (selected == index1)
        selected = index2;
    else if (selected == index2)
        selected = index1;
    owner_.ItemsReset();
}

bool TListControlItems::Selected(int index) const {
    checkIndex(index);
    return items_[static_cast<size_t>(index)].Selected;
}

void TListControlItems::SetSelected(int index, bool selected) {
    checkIndex(index);
    items_[static_cast<size_t>(index)].Selected = selected;
}

void TListControlItems::Sort() {
    if (items_.size() < 2)
        return;
    std::vector<size_t> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return Utf8CompareText(items_[a].Text, items_[b].Text) < 0;
    });
    std::vector<TItem> sorted;
    sorted.reserve(items_.size());
    int& selected = owner_.itemIndex_;
    int newSelected = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == selected)
            newSelected = static_cast<int>(i);
        sorted.push_back(std::move(items_[order[i]]));
    }
    items_ = std::move(sorted);
    selected = newSelected;
    owner_.ItemsReset();
}

void TListControlItems::SetUpdateState(bool updating) {
    // The window heard nothing item by item meanwhile: it takes all anew.
    if (!updating)
        owner_.ItemsReset();
}

// ---------------------------------------------------------------------------
// TCustomListControl

TCustomListControl::TCustomListControl(TComponent* owner) : TStandardControl(owner), items_(*this) {
    // A list's click is the user's choice of an item, reported as such.
    ControlStyle &= ~csClickEvents;
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListControl::~TCustomListControl() { Destroying(); }

void TCustomListControl::SetItemIndex(int index) {
    if (index < -1 || index >= items_.GetCount())
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    PeerChanged(paItemIndex);
    ItemIndexChanged();
}

void TCustomListControl::SetSorted(bool value) {
    if (value == sorted_)
        return;
    sorted_ = value;
    if (value)
        items_.Sort();
}

void TCustomListControl::ItemInserted(int index) {
    if (itemIndex_ >= index)
        ++itemIndex_;
    if (items_.UpdateCount() == 0)
        PeerChanged(paItemInserted, index);
}

void TCustomListControl::ItemDeleted(int index) {
    bool lost = itemIndex_ == index;
    if (lost)
        itemIndex_ = -1;
    else if (itemIndex_ > index)
        --itemIndex_;
    if (items_.UpdateCount() == 0)
        PeerChanged(paItemDeleted, index);
    if (lost)
        ItemIndexChanged();
}

void TCustomListControl::ItemChanged(int index) {
    if (items_.UpdateCount() == 0)
        PeerChanged(paItemChanged, index);
}

void TCustomListControl::ItemsReset() {
    if (items_.UpdateCount() == 0)
        PeerChanged(paItemsReset);
}

// ---------------------------------------------------------------------------
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomListControl(owner) { SetBounds(0, 0, 145, 21); }

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TCustomListControl::CreateParams(params);
    params.Kind = std::string(wk::ComboBox);
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (value == style_)
        return;
    style_ = value;
    if (style_ == csDropDownList)
        showItemText();
    RecreateWnd();
}

void TCustomComboBox::SetText(const std::string& text) {
    if (style_ == csDropDownList) {
        SetItemIndex(Items().IndexOf(text));
        return;
    }
    textToField(text);
}

void TCustomComboBox::textToField(const std::string& text) {
    // The selected item is the one the field shows, if any; the window
    // keeps its list where it was, since moving it would rewrite the field.
    int match = -1;
    for (int i = 0; i < ItemList().GetCount() && match < 0; ++i)
        if (ItemList().Get(i) == text)
            match = i;
    storeItemIndex(match);
    SetCaption(text);
}

void TCustomComboBox::SetDropDownCount(int value) {
    value = std::max(1, value);
    if (value == dropDownCount_)
        return;
    dropDownCount_ = value;
    PeerChanged(paOptions);
}

void TCustomComboBox::SetMaxLength(int value) {
    value = std::max(0, value);
    if (value == maxLength_)
        return;
    maxLength_ = value;
    PeerChanged(paMaxLength);
}

void TCustomComboBox::showItemText() {
    int index = ItemIndex();
    SetCaption(index >= 0 ? ItemList().Get(index) : std::string());
}

void TCustomComboBox::ItemIndexChanged() { showItemText(); }

void TCustomComboBox::ItemChanged(int index) {
    TCustomListControl::ItemChanged(index);
    if (index == ItemIndex())
        showItemText();
}

void TCustomComboBox::ItemsReset() {
    TCustomListControl::ItemsReset();
    // The edit field keeps what was typed; a drop-down list shows the item.
    if (style_ == csDropDownList)
        showItemText();
}

void TCustomComboBox::Change() { FireEvent(OnChange, this); }

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown() { FireEvent(OnDropDown, this); }

void TCustomComboBox::CloseUp() { FireEvent(OnCloseUp, this); }

void TCustomComboBox::Dispatch(TMessage& message) {
    if (message.Msg != CN_COMMAND) {
        TCustomListControl::Dispatch(message);
        return;
    }
    message.Result = 0;
    switch (message.WParam) {
    case CBN_SELCHANGE: {
        SetItemIndex(static_cast<int>(message.LParam));
        showItemText();
        // OnClick may free the box.
        TComponentWatch self(this);
        Click();
        if (self.Alive())
            Select();
        return;
    }
    case CBN_EDITCHANGE:
        textToField(*reinterpret_cast<const std::string*>(message.LParam));
        Change();
        return;
    case CBN_DROPDOWN:
        droppedDown_ = true;
        DropDown();
        return;
    case CBN_CLOSEUP:
        droppedDown_ = false;
        CloseUp();
        return;
    default:
        return;
    }
}

// ---------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomListControl(owner) { SetBounds(0, 0, 121, 97); }

void TCustomListBox::CreateParams(TCreateParams& params) {
    TCustomListControl::CreateParams(params);
    params.Kind = std::string(wk::ListBox);
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (value == multiSelect_)
        return;
    multiSelect_ = value;
    for (int i = 0; i < Items().Count(); ++i)
        itemList().SetSelected(i, value && i == ItemIndex());
    PeerChanged(paOptions);
}

void TCustomListBox::SetExtendedSelect(bool value) {
    if (value == extendedSelect_)
        return;
    extendedSelect_ = value;
    PeerChanged(paOptions);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

bool TCustomListBox::Selected(int index) const {
    if (index < 0 || index >= ItemList().GetCount())
        throw EListError();
    return multiSelect_ ? ItemList().Selected(index) : index == ItemIndex();
}

void TCustomListBox::SetSelected(int index, bool selected) {
    if (index < 0 || index >= ItemList().GetCount())
        throw EListError();
    if (!multiSelect_) {
        if (selected)
            SetItemIndex(index);
        else if (ItemIndex() == index)
            SetItemIndex(-1);
        return;
    }
    if (ItemList().Selected(index) == selected)
        return;
    itemList().SetSelected(index, selected);
    PeerChanged(paItemIndex);
}

int TCustomListBox::SelCount() const {
    if (!multiSelect_)
        return ItemIndex() >= 0 ? 1 : 0;
    int count = 0;
    for (int i = 0; i < ItemList().GetCount(); ++i)
        count += ItemList().Selected(i) ? 1 : 0;
    return count;
}

int TCustomListBox::TopIndex() const {
    int index = -1;
    if (auto* peer = dynamic_cast<TControlPeer*>(Peer()); peer != nullptr && peer->ItemAt({1, 1}, index) && index >= 0)
        return index;
    return topIndex_;
}

void TCustomListBox::SetTopIndex(int index) {
    index = std::clamp(index, 0, std::max(0, ItemList().GetCount() - 1));
    if (index == topIndex_)
        return;
    topIndex_ = index;
    PeerChanged(paRange);
}

void TCustomListBox::SetItemHeight(int value) {
    value = std::max(1, value);
    if (value == itemHeight_)
        return;
    itemHeight_ = value;
    PeerChanged(paAppearance);
}

void TCustomListBox::ItemIndexChanged() {
    // In a multi-select list the focused item is selected with it, as a
    // click selects it.
    if (multiSelect_ && ItemIndex() >= 0)
        itemList().SetSelected(ItemIndex(), true);
}

int TCustomListBox::ItemAtPos(TPoint point, bool existing) const {
    int count = ItemList().GetCount();
    int index = -1;
    if (auto* peer = dynamic_cast<TControlPeer*>(Peer()); peer != nullptr && peer->ItemAt(point, index)) {
    } else if (point.X >= 0 && point.Y >= 0 && point.X < Width()) {
        index = topIndex_ + point.Y / itemHeight_;
    }
    if (index >= 0 && index < count)
        return index;
    return existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(int index) const {
    TRect rect;
    if (auto* peer = dynamic_cast<TControlPeer*>(Peer()); peer != nullptr && peer->ItemRect(index, rect))
        return rect;
    return Bounds(0, (index - topIndex_) * itemHeight_, ClientWidth(), itemHeight_);
}

void TCustomListBox::Dispatch(TMessage& message) {
    if (message.Msg != CN_COMMAND) {
        TCustomListControl::Dispatch(message);
        return;
    }
    message.Result = 0;
    if (message.WParam == LBN_SELCHANGE) {
        const auto& selection = *reinterpret_cast<const TListBoxSelection*>(message.LParam);
        if (multiSelect_) {
            auto& items = itemList();
            for (int i = 0; i < items.GetCount(); ++i)
                items.SetSelected(i, false);
            for (int i : selection.Selected)
                if (i >= 0 && i < items.GetCount())
                    items.SetSelected(i, true);
        }
        int index = selection.ItemIndex >= 0 && selection.ItemIndex < ItemList().GetCount() ? selection.ItemIndex : -1;
        storeItemIndex(index);
        Click();
    } else if (message.WParam == LBN_DBLCLK) {
        DblClick();
    }
}
