#pragma once
// Controls that offer a list of strings: the combo box and the list box.
//
// The items are the control's own string list (Items); every change of it
// reaches the window item by item, and the selected item follows the
// items as a list box's does: an item inserted before it moves it down,
// deleting it selects nothing.  Setting ItemIndex in code runs no event;
// choosing with the mouse or keys runs OnClick (and, in a combo box,
// OnSelect or else OnChange).

#include "platform/base/Strings.h"
#include "platform/ui/StandardControl.h"

#include <string>
#include <vector>

class TCustomListControl;

// The items of a list control.  A sorted control keeps them sorted
// (ignoring ASCII case) as they are added; Insert puts an item where it is
// told.  Finding an item ignores ASCII case.
class TListControlItems : public TStrings {
public:
    explicit TListControlItems(TCustomListControl& owner) : owner_(owner) {}
    std::string ClassName() const override { return "TListControlItems"; }

    std::string Get(int index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    void Put(int index, const std::string& s) override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    void Move(int currentIndex, int newIndex) override;
    void Exchange(int index1, int index2) override;

    // The selection mark of an item (multi-select list boxes).
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // Sorts the items now (the control turned Sorted on).
    void Sort();

protected:
    void SetUpdateState(bool updating) override;

private:
    struct TItem {
        std::string Text;
        void* Object = nullptr;
        bool Selected = false;
    };
    void checkIndex(int index) const;
    void insertItem(int index, const std::string& s);

    TCustomListControl& owner_;
    std::vector<TItem> items_;
};

class TCustomListControl : public TStandardControl {
public:
    explicit TCustomListControl(TComponent* owner = nullptr);
    ~TCustomListControl() override;
    std::string ClassName() const override { return "TCustomListControl"; }

    TStrings& Items() { return items_; }
    const TListControlItems& ItemList() const { return items_; }
    void SetItems(const TStrings& items) { items_.Assign(&items); }
    // -1: nothing selected.  An index out of range selects nothing.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    void Clear() { items_.Clear(); }

    // Told by the items (and by nothing else).
    virtual void ItemInserted(int index);
    virtual void ItemDeleted(int index);
    virtual void ItemChanged(int index);
    virtual void ItemsReset();

protected:
    // The selection moved to index (from the window or the code).
    virtual void ItemIndexChanged() {}
    void storeItemIndex(int index) { itemIndex_ = index; }
    TListControlItems& itemList() { return items_; }

private:
    friend class TListControlItems;
    TListControlItems items_;
    int itemIndex_ = -1;
    bool sorted_ = false;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// A drop-down list with an edit field (csDropDown) or without one
// (csDropDownList, whose text is always the selected item's).
class TCustomComboBox : public TCustomListControl {
public:
    explicit TCustomComboBox(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomComboBox"; }

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    // The edit field's text.  Setting it runs no event; in a drop-down
    // list it selects the item of that text (or none), in an edit field
    // the item of exactly that text is the selected one (or none).
    const std::string& Text() const { return Caption(); }
    void SetText(const std::string& text);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool DroppedDown() const { return droppedDown_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    void ItemChanged(int index) override;
    void ItemsReset() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void ItemIndexChanged() override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

private:
    void showItemText();
    void textToField(const std::string& text);

    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    bool droppedDown_ = false;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* owner = nullptr) : TCustomComboBox(owner) {}
    std::string ClassName() const override { return "TComboBox"; }
};

// What a list box's window reports with LBN_SELCHANGE: the item with the
// focus and, for a multi-select list, every selected item.
struct TListBoxSelection {
    int ItemIndex = -1;
    std::vector<int> Selected;
};

class TCustomListBox : public TCustomListControl {
public:
    explicit TCustomListBox(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomListBox"; }

    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    // With MultiSelect: Shift and Ctrl extend the selection (else each
    // click toggles an item).
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool value);
    // The selection mark of an item: in a single-select list, the item
    // at ItemIndex.
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelCount() const;
    // The first item shown (as the window shows it, once there is one).
    int TopIndex() const;
    void SetTopIndex(int index);
    // The item SetTopIndex asked to show first (for the window).
    int WantedTopIndex() const { return topIndex_; }
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // The item under a client point; -1 (or, unless existing, Count) when
    // the point lies below the last.
    int ItemAtPos(TPoint point, bool existing) const;
    // An item's rectangle in client coordinates.
    TRect ItemRect(int index) const;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void ItemIndexChanged() override;

private:
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    int topIndex_ = 0;
    int itemHeight_ = 16;
    TBorderStyle borderStyle_ = bsSingle;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* owner = nullptr) : TCustomListBox(owner) {}
    std::string ClassName() const override { return "TListBox"; }
};

namespace wk {
inline constexpr std::string_view ComboBox = "ComboBox";
inline constexpr std::string_view ListBox = "ListBox";
} // namespace wk
