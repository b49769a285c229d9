#pragma once
// The rows of a shell list and what fills, filters, sorts and refreshes
// them, apart from any window: one row per item of one folder, each with a
// TPTShListData record, the folder's columns, the sort order, the selection.
// The list control (ShellList.h) owns a model and shows it; the model tells
// its observer of every change so that a view can follow.

#include "shell/ShellColumns.h"
#include "shell/ShellRecords.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
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

struct TPTShellRow {
    std::unique_ptr<TPTShListData> Data; // nullptr for a row that is not the shell's
    bool Cut = false;                    // hidden items look ghosted
    int OverlayIndex = -1;               // 0 shared, 1 link
    int ImageIndex = -1;                 // fetched on first use
    bool Selected = false;
};

class TPTShellListObserver {
public:
    virtual ~TPTShellListObserver() = default;
    // Everything changed (a fill, a sort, columns).
    virtual void RowsReset() {}
    virtual void RowAdded(int index) {}
    // Before the row goes.
    virtual void RowRemoving(int index) {}
    virtual void RowChanged(int index) {}
    virtual void SelectionChanged() {}
    virtual void ColumnsChanged() {}
    virtual void SortChanged() {}
};

class TPTShellListModel : public TPTShellListContext {
public:
    TPTShellListModel();
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
    std::function<void(int row, TPTShListData* data)> OnDeleteItem;
    std::function<void()> OnFillStart;
    std::function<void()> OnFillComplete;
    TPTShellListObserver* Observer = nullptr;

    // --- the folder -------------------------------------------------------------------
    PCItemIDList ListFolderPidl() override { return folderPidl_.get(); }
    std::shared_ptr<TShellFolder> ListFolder() override { return folder_; }
    std::shared_ptr<TShellDetailsProvider> ListDetailsProvider() override;
    // The shown folder's file-system path ("" without one).
    std::string FolderPath() const;

    // --- filtering --------------------------------------------------------------------
    const std::string& FileFilter() const { return filter_; }
    // True when the masks changed.
    bool SetFileFilter(const std::string& filter);
    // Whether the masks apply in the shown folder (a file-system folder
    // and a filter that does not show everything).
    bool Filtering() const;
    // Folders always pass; files by name.
    virtual bool MatchesFilter(std::string_view fileName, uint32_t attributes) const;

    // --- filling ------------------------------------------------------------------------
    // Shows the folder of an absolute list.  A folder that cannot be bound
    // answers the failure and changes nothing; one that cannot be listed
    // shows no rows.
    HRESULT Fill(PCItemIDList folder);
    // Brings the rows up to date with the folder by difference (new rows
    // at the end).
    void Refresh();
    // Brings the rows of some names of the folder up to date (a change
    // notice named them); false when the folder has no path, so that only
    // Refresh can tell.
    bool RefreshNames(const std::vector<std::string>& names);
    void Clear();

    // --- rows -----------------------------------------------------------------------------
    int Count() const { return static_cast<int>(rows_.size()); }
    TPTShellRow& Row(int index) { return *rows_[static_cast<size_t>(index)]; }
    TPTShListData* Data(int index) { return rows_[static_cast<size_t>(index)]->Data.get(); }
    int IndexOf(const TPTShListData* data) const;
    void DeleteRow(int index);
    // The row's item was renamed: it takes the new list (owned).
    void RenameRow(int index, PItemIDList renamed);
    // The caption (column 0) or detail text of a row.
    std::string RowText(int index, int column);
    // The row's icon in the system image lists.
    int RowImage(int index, bool large = false);

    // --- selection --------------------------------------------------------------------------
    int SelectedCount() const;
    // The first selected row, -1 when none.
    int SelectedIndex() const;
    std::vector<int> SelectedRows() const;
    void SetSelected(int index, bool selected);
    void ClearSelection();
    int FocusedIndex = -1;

    // --- columns and order ---------------------------------------------------------------------
    const std::vector<TPTColumnSpec>& Columns() const { return columns_; }
    void SetColumnWidth(int index, int width);
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
    void buildColumns();
    void indexRow(TPTShellRow& row);
    void unindexRow(TPTShellRow& row);
    std::string nameOf(PCItemIDList relative) const;

    TIdListPtr folderPidl_;
    std::shared_ptr<TShellFolder> folder_;
    std::string folderPath_;
    std::shared_ptr<TShellDetailsProvider> provider_;
    bool providerLooked_ = false;
    std::string filter_;
    std::vector<std::string> masks_;
    std::vector<std::unique_ptr<TPTShellRow>> rows_;
    // Rows of a file-system folder by item name, for notices that name them.
    std::unordered_map<std::string, TPTShellRow*> byName_;
    std::vector<TPTColumnSpec> columns_;
    bool columnsOfFileSystem_ = false;
    int sortColumn_ = 1;
};
