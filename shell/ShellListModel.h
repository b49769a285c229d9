#pragma once
// What fills, filters, sorts and refreshes the rows of a shell list: one
// row per item of one folder, each carrying a TPTShListData record as its
// Data, the folder's columns and the sort order.  The rows are the list
// view's own; the model works on them and owns their records (the list
// hands it every row that goes, ItemDeleting).

#include "platform/ui/ListView.h"
#include "shell/ShellColumns.h"
#include "shell/ShellRecords.h"
#include "shell/WatchedRead.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The list's options, bit n = value n.
enum TPTShellListOption : unsigned {
    ptsloAutoFill,
    ptsloNonFilesystemAncestors,
    ptsloDesignInteractive,
    ptsloDefaultKeyHandling,
    ptsloContextMenus,
    ptsloDontChangeFolder,
    ptsloDontGoBelowBase,
    ptsloDynamicRefresh,
    ptsloHideFoldersWhenLinkedToTree,
    ptsloOleDrag,
    ptsloOleDrop,
    ptsloFolderContextMenu,
    ptsloShowHidden,
};
using TPTShellListOptions = uint16_t;
constexpr TPTShellListOptions ListOption(TPTShellListOption option) {
    return static_cast<TPTShellListOptions>(1u << option);
}
constexpr TPTShellListOptions DefaultShellListOptions = 0x1E9B;

class TPTShellListModel : public TPTShellListContext {
public:
    explicit TPTShellListModel(TCustomListView& view) : view_(view) {}
    ~TPTShellListModel() override;
    TPTShellListModel(const TPTShellListModel&) = delete;
    TPTShellListModel& operator=(const TPTShellListModel&) = delete;

    TPTShellListOptions Options = DefaultShellListOptions;
    bool HasOption(TPTShellListOption option) const { return (Options & ListOption(option)) != 0; }
    // A tree drives the list (folders may then be left to the tree).
    bool LinkedToTree = false;

    std::function<bool(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                       PCItemIDList relative, uint32_t attributes)>
        OnAddItem;
    std::function<void(TListItem* item, TPTShListData* data)> OnDeleteItem;
    std::function<void()> OnFillStart;
    std::function<void()> OnFillComplete;

    // --- the folder -------------------------------------------------------------------
    PCItemIDList ListFolderPidl() override { return folderPidl_.get(); }
    std::shared_ptr<TShellFolder> ListFolder() override { return folder_; }
    std::shared_ptr<TShellDetailsProvider> ListDetailsProvider() override;
    // The shown folder's file-system path ("" without one).
    const std::string& FolderPath() const { return folderPath_; }

    // --- filtering --------------------------------------------------------------------
    const std::string& FileFilter() const { return filter_; }
    // True when the masks changed.
    bool SetFileFilter(const std::string& filter);
    // Whether the masks apply in the shown folder (a file-system folder
    // and a filter with masks that do not show everything).
    bool Filtering() const;
    // Folders always pass; files by name.
    virtual bool MatchesFilter(std::string_view fileName, uint32_t attributes) const;

    // --- filling ------------------------------------------------------------------------
    // Shows the folder of an absolute list.  A folder that cannot be bound
    // answers the failure and changes nothing; one that cannot be listed
    // shows no rows.  beforeRead runs once the folder is bound (FolderPath
    // is the new one) and before it is read: a watch of the folder armed
    // there sees every change the rows may not.
    HRESULT Fill(PCItemIDList folder, const TBeforeFolderRead& beforeRead = {});
    // Brings the rows up to date with the folder by difference (new rows
    // at the end).
    void Refresh();
    // Brings the rows of some names of the folder up to date (a change
    // notice named them); false when the folder has no path, so that only
    // Refresh can tell.
    bool RefreshNames(const std::vector<std::string>& names);
    void Clear() { view_.Items().Clear(); }

    // --- rows -----------------------------------------------------------------------------
    int Count() const { return view_.Items().Count(); }
    // The record of a row; nullptr for a row that is not the shell's.
    TPTShListData* RecordOf(const TListItem* item) const;
    TPTShListData* Data(int index) const { return RecordOf(view_.Items().Item(index)); }
    int IndexOf(const TPTShListData* data) const;
    // Called by the list for every row that goes: the record is freed.
    void ItemDeleting(TListItem* item);
    // The row's item was renamed: it takes the new list (owned).
    void RenameRow(int index, PItemIDList renamed);
    // The caption (column 0) or detail text of a row.
    std::string RowText(int index, int column);
    // The row's icon in the system image lists, fetched on first use.
    int RowImage(int index);
    // The records of the selected rows, in row order.
    std::vector<int> SelectedRows() const;

    // --- columns and order ---------------------------------------------------------------------
    const std::vector<TPTColumnSpec>& Columns() const { return columns_; }
    // The widths as the view has them now (the user may have dragged them).
    std::vector<int> ColumnWidths() const;
    // Saves the widths in the program's memory when the columns are a
    // file-system folder's.
    void SaveColumnWidths() const;
    // 0 unsorted, +k column k-1 ascending, -k descending.
    int SortColumn() const { return sortColumn_; }
    // Sorts again when it changed.
    void SetSortColumn(int column);
    // A header click: the sorted column reverses, another sorts ascending.
    void ColumnClicked(int column);
    void Sort();

private:
    bool admit(PCItemIDList relative, uint32_t& attributes);
    void addRow(TIdListPtr relative, uint32_t attributes);
    void keepStatus(TPTShListData* record);
    // Sorts by the rows' kept keys; false when a row has none (a row not
    // the shell's, or a folder that sorts only by comparing).
    bool sortByKeys(int column, int direction);
    void buildColumns();
    void indexRow(TListItem* item);
    void unindexRow(TListItem* item);
    std::string nameOf(PCItemIDList relative) const;
    std::string captionOf(PCItemIDList relative) const;

    TCustomListView& view_;
    std::unordered_set<const TPTShListData*> records_;
    TIdListPtr folderPidl_;
    std::shared_ptr<TShellFolder> folder_;
    std::string folderPath_;
    std::shared_ptr<TShellDetailsProvider> provider_;
    bool providerLooked_ = false;
    std::string filter_;
    std::vector<std::string> masks_;
    // Rows of a file-system folder by item name, for notices that name them.
    std::unordered_map<std::string, TListItem*> byName_;
    std::vector<TPTColumnSpec> columns_;
    bool columnsOfFileSystem_ = false;
    int sortColumn_ = 1;
};
