#pragma once
// The list view: rows with a caption, detail texts (SubItems) and
// pictures, shown as icons, as a list, or as a report with a header of
// columns.  Its window reads the rows as it paints them.
//
// Rows are held by the control (TListItems), or, with OwnerData, only
// counted: the control asks OnData to fill a row each time the window
// needs one, so that a list of any length costs what is on screen.  The
// selection is the control's, by row; every change of it, by the user or
// by code, runs OnSelectItem.  A header click runs OnColumnClick; a
// derived control may paint the header's items itself
// (OwnerDrawHeader, DrawColumnHeader), e.g. with a sort mark.

#include "platform/base/Strings.h"
#include "platform/ui/ItemViews.h"
#include "platform/ui/StandardControl.h"
#include "platform/ui/TextAlignment.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomListView;
class TImageList;
class TListColumns;
class TListItems;

class TListColumn {
public:
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int Width() const { return width_; }
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    int Index() const { return index_; }

private:
    friend class TListColumns;
    explicit TListColumn(TListColumns& owner) : owner_(owner) {}
    TListColumns& owner_;
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    int index_ = 0;
};

class TListColumns {
public:
    explicit TListColumns(TCustomListView& owner) : owner_(owner) {}
    TListColumn* Add();
    int Count() const { return static_cast<int>(columns_.size()); }
    // Raises EListError out of range.
    TListColumn* Items(int index) const;
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

private:
    friend class TListColumn;
    void changed();
    TCustomListView& owner_;
    std::vector<std::unique_ptr<TListColumn>> columns_;
    int updateCount_ = 0;
};

class TListItem {
public:
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;
    ~TListItem();

    TListItems& Owner() const { return owner_; }
    TCustomListView& ListView() const;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The texts of the columns after the first.
    TStrings& SubItems() { return *subItems_; }
    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int OverlayIndex() const { return overlayIndex_; }
    void SetOverlayIndex(int index);
    int StateIndex() const { return stateIndex_; }
    void SetStateIndex(int index);
    bool Cut() const { return cut_; }
    void SetCut(bool value);
    bool DropTarget() const { return dropTarget_; }
    void SetDropTarget(bool value);

    // The row's place (kept up to date as rows come and go).
    int Index() const { return index_; }
    bool Selected() const;
    void SetSelected(bool value);
    bool Focused() const;
    void SetFocused(bool value);

    void Delete();
    // Starts editing the caption in place (false when refused).
    bool EditCaption();
    void CancelEdit();
    void MakeVisible();
    // The row's rectangle (drBounds), its picture's or its caption's.
    enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
    TRect DisplayRect(TDisplayCode code) const;

private:
    friend class TListItems;
    friend class TCustomListView;
    explicit TListItem(TListItems& owner);
    void changed();

    TListItems& owner_;
    std::string caption_;
    std::unique_ptr<TStringList> subItems_;
    void* data_ = nullptr;
    int imageIndex_ = -1;
    int overlayIndex_ = -1;
    int stateIndex_ = -1;
    bool cut_ = false;
    bool dropTarget_ = false;
    bool selected_ = false;
    int index_ = -1;
};

class TListItems {
public:
    explicit TListItems(TCustomListView& owner) : owner_(owner) {}
    ~TListItems();
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    TCustomListView& Owner() const { return owner_; }
    int Count() const;
    // An owner-data list has only a count.
    void SetCount(int count);
    // The row at index: with OwnerData a row filled by OnData for the
    // moment (the next call may reuse it).  EListError out of range.
    TListItem* Item(int index) const;
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const { return item != nullptr ? item->Index() : -1; }
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }
    // Room made ahead for rows to come.
    void SetCapacity(int capacity) { items_.reserve(static_cast<size_t>(std::max(0, capacity))); }

private:
    friend class TListItem;
    friend class TCustomListView;
    void renumber(int from);

    TCustomListView& owner_;
    std::vector<std::unique_ptr<TListItem>> items_;
    int ownerCount_ = 0;
    mutable std::unique_ptr<TListItem> fetched_;
    mutable int fetchedIndex_ = -1;
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
};

// What a list view tells its window beyond TControlPeer.
class TListViewPeer {
public:
    virtual ~TListViewPeer() = default;
    virtual void ItemsInserting(int first, int count) = 0;
    virtual void ItemsInserted() = 0;
    virtual void ItemsRemoving(int first, int count) = 0;
    virtual void ItemsRemoved() = 0;
    virtual void ItemsReset() = 0;
    virtual void ItemChanged(int index) = 0;
    virtual void ColumnsChanged() = 0;
    virtual void SelectionChanged() = 0;
    virtual void MakeVisible(int index) = 0;
    virtual bool EditItem(int index) = 0;
    virtual void EndEdit(bool cancel) = 0;
    virtual int ItemAtPoint(TPoint point) const = 0;
    virtual TRect ItemRectangle(int index, TListItem::TDisplayCode code) const = 0;
    virtual int TopIndex() const = 0;
    virtual int VisibleRows() const = 0;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// LVN_ITEMCHANGED's record: the user's selection, the focused row and
// every selected row.
struct TListSelectionChange {
    int Focused = -1;
    const std::vector<int>* Selected = nullptr;
};

class TCustomListView : public TStandardControl {
public:
    using TItemEvent = std::function<void(TPersistent* sender, TListItem* item)>;
    using TSelectItemEvent = std::function<void(TPersistent* sender, TListItem* item, bool selected)>;
    using TColumnClickEvent = std::function<void(TPersistent* sender, TListColumn* column)>;
    using TItemAllowEvent = std::function<void(TPersistent* sender, TListItem* item, bool& allow)>;
    using TEditedEvent = std::function<void(TPersistent* sender, TListItem* item, std::string& text)>;
    using TCompareEvent = std::function<void(TPersistent* sender, TListItem* a, TListItem* b, int data, int& compare)>;
    using TCustomDrawEvent = std::function<void(TPersistent* sender, const TRect& rect, bool& defaultDraw)>;
    using TCustomDrawItemEvent =
        std::function<void(TPersistent* sender, TListItem* item, TCustomDrawState state, bool& defaultDraw)>;
    using TCustomDrawSubItemEvent = std::function<void(TPersistent* sender, TListItem* item, int subItem,
                                                       TCustomDrawState state, bool& defaultDraw)>;

    explicit TCustomListView(TComponent* owner = nullptr);
    ~TCustomListView() override;
    std::string ClassName() const override { return "TCustomListView"; }

    TListItems& Items() { return *items_; }
    TListColumns& Columns() { return *columns_; }
    // The canvas of the item being custom drawn (see TCustomTreeView).
    TCanvas& Canvas() { return drawCanvas_ != nullptr ? *drawCanvas_ : WindowCanvas(); }

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle value);
    bool OwnerData() const { return ownerData_; }
    void SetOwnerData(bool value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool value);
    // Header clicks are reported (and the header looks pressable).
    bool ColumnClick() const { return columnClick_; }
    void SetColumnClick(bool value);
    bool AutoArrange() const { return autoArrange_; }
    void SetAutoArrange(bool value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // stText and stBoth keep the rows ordered by caption.
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType value);

    TImageList* LargeImages() const { return largeImages_; }
    void SetLargeImages(TImageList* images);
    TImageList* SmallImages() const { return smallImages_; }
    void SetSmallImages(TImageList* images);
    TImageList* StateImages() const { return stateImages_; }
    void SetStateImages(TImageList* images);

    // --- selection -------------------------------------------------------
    // The first selected row (nullptr: none).
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int SelCount() const;
    // -1 when nothing is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool IsSelected(int index) const;
    void SelectIndex(int index, bool selected);
    TListItem* ItemFocused() const;
    int FocusedIndex() const { return focused_; }
    void SetFocusedIndex(int index);
    void SelectAll();
    void ClearSelection();

    // --- places ------------------------------------------------------------
    TListItem* GetItemAt(int x, int y) const;
    int IndexAt(int x, int y) const;
    TListItem* TopItem() const;
    int VisibleRowCount() const;
    bool IsEditing() const { return editing_ >= 0; }
    int EditingIndex() const { return editing_; }

    // --- order -------------------------------------------------------------
    void AlphaSort();
    void CustomSort(const std::function<int(TListItem* a, TListItem* b)>& compare);

    TItemEvent OnData;
    TItemEvent OnInsert;
    TItemEvent OnDeletion;
    TItemEvent OnGetImageIndex;
    TSelectItemEvent OnSelectItem;
    TColumnClickEvent OnColumnClick;
    TItemAllowEvent OnEditing;
    TEditedEvent OnEdited;
    TCompareEvent OnCompare;
    TCustomDrawEvent OnCustomDraw;
    TCustomDrawItemEvent OnCustomDrawItem;
    TCustomDrawSubItemEvent OnCustomDrawSubItem;

    // --- the hooks -----------------------------------------------------------
    virtual void InsertItem(TListItem* item);
    virtual void Delete(TListItem* item);
    virtual bool CanEdit(TListItem* item);
    virtual void Edit(TListItem* item, std::string& text);
    // An in-place edit ended, whichever way: with a text (after Edit),
    // cancelled, or closed by the control as its row went.
    virtual void EditEnded() {}
    virtual void ColClick(TListColumn* column);
    virtual void DoSelectItem(TListItem* item, bool selected);
    virtual void GetImageIndex(TListItem* item);
    virtual bool WantsItemDraw() const { return OnCustomDrawItem || OnCustomDrawSubItem; }
    // The header's items painted by the control: DrawColumnHeader gets a
    // canvas over the item's rectangle.
    virtual bool OwnerDrawHeader() const { return false; }
    virtual void DrawColumnHeader(TCanvas& canvas, int column, const TRect& rect, bool pressed);

    // For the window: the text of a row's column (0: the caption) and its
    // picture, as shown.
    virtual std::string DisplayText(int index, int column);
    virtual int DisplayImage(int index);
    int ColumnCount() const;
    // The window paints anew: an owner-data row is asked for again.
    void ForgetFetched() { items_->fetchedIndex_ = -1; }

    void ColumnsChanged();

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    TListViewPeer* listPeer() const;

private:
    friend class TListItem;
    friend class TListItems;
    void notifyCustomDraw(TMessage& message);
    void itemChanged(int index);
    void itemInserted(int index);
    void itemRemoving(int index);
    void setSelectedFlag(int index, bool selected);
    void selectionFromWindow(const TListSelectionChange& change);
    void sortItems(const std::function<int(TListItem*, TListItem*)>& compare);
    void setImages(TImageList*& slot, TItemImagesLink& link, TImageList* images);
    void imagesChanged(const TItemImagesLink& link, bool remeasure);

    std::unique_ptr<TListItems> items_;
    std::unique_ptr<TListColumns> columns_;
    // Owner data: the selected rows.
    std::vector<char> ownerSelected_;
    int focused_ = -1;
    int editing_ = -1;
    TCanvas* drawCanvas_ = nullptr;
    TViewStyle viewStyle_ = vsIcon;
    bool ownerData_ = false;
    bool multiSelect_ = false;
    bool readOnly_ = false;
    bool rowSelect_ = false;
    bool hideSelection_ = true;
    bool showColumnHeaders_ = true;
    bool columnClick_ = true;
    bool autoArrange_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    TSortType sortType_ = stNone;
    TImageList* largeImages_ = nullptr;
    TImageList* smallImages_ = nullptr;
    TImageList* stateImages_ = nullptr;
    TItemImagesLink largeLink_{[this](bool remeasure) { imagesChanged(largeLink_, remeasure); }};
    TItemImagesLink smallLink_{[this](bool remeasure) { imagesChanged(smallLink_, remeasure); }};
    TItemImagesLink stateLink_{[this](bool remeasure) { imagesChanged(stateLink_, remeasure); }};
};

class TListView : public TCustomListView {
public:
    explicit TListView(TComponent* owner = nullptr) : TCustomListView(owner) {}
    std::string ClassName() const override { return "TListView"; }
};

namespace wk {
inline constexpr std::string_view ListView = "ListView";
} // namespace wk
