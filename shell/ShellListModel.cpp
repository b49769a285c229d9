#include "shell/ShellListModel.h"

#include "platform/shellns/CompareScope.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/NamespaceItems.h"
#include "shell/ShellEnumeration.h"
#include "shell/ShellListFilter.h"
#include "shell/ShellLocator.h"
#include "shell/ShellUtils.h"

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace {

constexpr uint32_t kAdmissionAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER |
                                          SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_HIDDEN | SFGAO_SHARE |
                                          SFGAO_LINK;

int comparisonOrder(HRESULT hr) { return SUCCEEDED(hr) ? static_cast<int16_t>(HRESULT_CODE(hr)) : 0; }

} // namespace

TPTShellListModel::TPTShellListModel() = default;

TPTShellListModel::~TPTShellListModel() {
    Observer = nullptr;
    OnDeleteItem = nullptr;
    Clear();
}

std::shared_ptr<TShellDetailsProvider> TPTShellListModel::ListDetailsProvider() {
    if (!providerLooked_ && folder_) {
        provider_ = FindDetailsProvider(folder_);
        providerLooked_ = true;
    }
    return provider_;
}

std::string TPTShellListModel::FolderPath() const { return folderPath_; }

bool TPTShellListModel::SetFileFilter(const std::string& filter) {
    if (filter == filter_)
        return false;
    filter_ = filter;
    masks_ = SplitFileFilter(filter);
    return true;
}

bool TPTShellListModel::Filtering() const {
    // A filter without a single mask (";;") filters nothing, rather than
    // every file.
    return !folderPath_.empty() && !FilterShowsAll(filter_) && !masks_.empty();
}

bool TPTShellListModel::MatchesFilter(std::string_view fileName, uint32_t attributes) const {
    return (attributes & SFGAO_FOLDER) != 0 || MatchesAnyMask(fileName, masks_);
}

std::string TPTShellListModel::nameOf(PCItemIDList relative) const {
    TItemPayload payload;
    if (DecodeItem(relative, payload) && payload.Kind == TItemKind::FileSystem)
        return std::string(payload.Name);
    std::string parsing;
    GetDisplayName(folder_, relative, dnForParsing, parsing);
    return std::string(FileNameOf(parsing));
}

bool TPTShellListModel::admit(PCItemIDList relative, uint32_t& attributes) {
    attributes = kAdmissionAttributes;
    if (!folder_ || FAILED(folder_->GetAttributesOf(1, &relative, attributes)))
        return false;
    if (!HasOption(ptsloNonFilesystemAncestors) && (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) == 0)
        return false;
    if (HasOption(ptsloHideFoldersWhenLinkedToTree) && LinkedToTree &&
        (attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM)) == (SFGAO_FOLDER | SFGAO_FILESYSTEM))
        return false;
    if (Filtering() && (attributes & SFGAO_FOLDER) == 0 && !MatchesFilter(nameOf(relative), attributes))
        return false;
    if (OnAddItem)
        return OnAddItem(folder_, folderPidl_.get(), relative, attributes);
    return true;
}

void TPTShellListModel::indexRow(TPTShellRow& row) {
    if (folderPath_.empty() || !row.Data)
        return;
    TItemPayload payload;
    if (DecodeItem(row.Data->RelativePidl(), payload) && payload.Kind == TItemKind::FileSystem)
        byName_[std::string(payload.Name)] = &row;
}

void TPTShellListModel::unindexRow(TPTShellRow& row) {
    if (!row.Data)
        return;
    TItemPayload payload;
    if (DecodeItem(row.Data->RelativePidl(), payload) && payload.Kind == TItemKind::FileSystem) {
        auto found = byName_.find(std::string(payload.Name));
        if (found != byName_.end() && found->second == &row)
            byName_.erase(found);
    }
}

void TPTShellListModel::addRow(TIdListPtr relative, uint32_t attributes) {
    auto row = std::make_unique<TPTShellRow>();
    row->Data = std::make_unique<TPTShListData>(this);
    row->Data->SetRelativePidl(relative.release());
    if ((attributes & SFGAO_SHARE) != 0)
        row->OverlayIndex = 0;
    else if ((attributes & SFGAO_LINK) != 0)
        row->OverlayIndex = 1;
    row->Cut = (attributes & SFGAO_HIDDEN) != 0;
    indexRow(*row);
    rows_.push_back(std::move(row));
    if (Observer != nullptr)
        Observer->RowAdded(Count() - 1);
}

int TPTShellListModel::IndexOf(const TPTShListData* data) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->Data.get() == data)
            return static_cast<int>(i);
    return -1;
}

void TPTShellListModel::DeleteRow(int index) {
    if (index < 0 || index >= Count())
        return;
    if (Observer != nullptr)
        Observer->RowRemoving(index);
    TPTShellRow& row = Row(index);
    if (row.Data && OnDeleteItem)
        OnDeleteItem(index, row.Data.get());
    unindexRow(row);
    rows_.erase(rows_.begin() + index);
    if (FocusedIndex == index)
        FocusedIndex = -1;
    else if (FocusedIndex > index)
        --FocusedIndex;
}

void TPTShellListModel::RenameRow(int index, PItemIDList renamed) {
    if (index < 0 || index >= Count() || !Row(index).Data) {
        ShellFree(renamed);
        return;
    }
    TPTShellRow& row = Row(index);
    unindexRow(row);
    row.Data->SetRelativePidl(renamed);
    row.ImageIndex = -1;
    indexRow(row);
    if (Observer != nullptr)
        Observer->RowChanged(index);
}

void TPTShellListModel::Clear() {
    for (int index = Count() - 1; index >= 0; --index) {
        if (rows_[static_cast<size_t>(index)]->Data && OnDeleteItem)
            OnDeleteItem(index, rows_[static_cast<size_t>(index)]->Data.get());
    }
    rows_.clear();
    byName_.clear();
    FocusedIndex = -1;
    if (Observer != nullptr)
        Observer->RowsReset();
}

void TPTShellListModel::buildColumns() {
    bool fileSystem = !folderPath_.empty();
    if (std::shared_ptr<TShellDetailsProvider> provider = ListDetailsProvider())
        columns_ = ProviderColumns(*provider, fileSystem);
    else {
        columns_ = StandardColumns();
        fileSystem = true; // the standard columns always count as a file-system folder's
    }
    columnsOfFileSystem_ = fileSystem;
    if (sortColumn_ > static_cast<int>(columns_.size()))
        sortColumn_ = 1;
    if (Observer != nullptr)
        Observer->ColumnsChanged();
}

void TPTShellListModel::SaveColumnWidths() const {
    if (columns_.empty() || !columnsOfFileSystem_)
        return;
    std::vector<int> widths;
    for (const TPTColumnSpec& column : columns_)
        widths.push_back(column.Width);
    TPTColumnMemory::Save(widths);
}

void TPTShellListModel::SetColumnWidth(int index, int width) {
    if (index >= 0 && index < static_cast<int>(columns_.size()))
        columns_[static_cast<size_t>(index)].Width = width;
}

HRESULT TPTShellListModel::Fill(PCItemIDList folderList) {
    std::shared_ptr<TShellFolder> folder;
    HRESULT hr = BindToFolder(folderList, folder);
    if (FAILED(hr) || !folder)
        return FAILED(hr) ? hr : E_FAIL;
    if (OnFillStart)
        OnFillStart();
    SaveColumnWidths();
    Clear();
    folderPidl_.reset(IdListIsEmpty(folderList) ? nullptr : CopyPidl(nullptr, folderList));
    folder_ = folder;
    folderPath_ = folder->FileSystemPath();
    provider_.reset();
    providerLooked_ = false;
    buildColumns();
    unsigned flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (HasOption(ptsloShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0u);
    std::vector<TIdListPtr> items;
    EnumerateFolder(*folder_, flags, items); // a folder that cannot be listed shows what came, or nothing
    rows_.reserve(items.size());
    TPTShellListObserver* observer = Observer;
    Observer = nullptr; // one reset for the whole fill
    for (TIdListPtr& item : items) {
        uint32_t attributes = 0;
        if (admit(item.get(), attributes))
            addRow(std::move(item), attributes);
    }
    Sort();
    FocusedIndex = rows_.empty() ? -1 : 0;
    Observer = observer;
    if (Observer != nullptr)
        Observer->RowsReset();
    if (OnFillComplete)
        OnFillComplete();
    return S_OK;
}

void TPTShellListModel::Refresh() {
    if (!folder_)
        return;
    if (OnFillStart)
        OnFillStart();
    std::vector<PCItemIDList> shown;
    std::vector<int> shownRows;
    for (int i = 0; i < Count(); ++i)
        if (Data(i) != nullptr) {
            shown.push_back(Data(i)->RelativePidl());
            shownRows.push_back(i);
        }
    unsigned flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (HasOption(ptsloShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0u);
    std::vector<TIdListPtr> present;
    EnumerateFolder(*folder_, flags, present);
    // Items of a file-system folder are the same when their bytes are;
    // others when the folder says so.
    TPTEnumerationDiff diff = DiffEnumeration(folderPath_.empty() ? folder_ : nullptr, shown, std::move(present));
    for (auto gone = diff.Gone.rbegin(); gone != diff.Gone.rend(); ++gone)
        DeleteRow(shownRows[static_cast<size_t>(*gone)]);
    for (TIdListPtr& item : diff.Added) {
        uint32_t attributes = 0;
        if (admit(item.get(), attributes))
            addRow(std::move(item), attributes);
    }
    if (OnFillComplete)
        OnFillComplete();
}

bool TPTShellListModel::RefreshNames(const std::vector<std::string>& names) {
    if (folderPath_.empty() || !folder_)
        return false;
    std::set<std::string> unique(names.begin(), names.end());
    for (const std::string& name : unique) {
        if (!IsValidFileName(name))
            continue;
        std::string path = JoinPath(folderPath_, name);
        struct stat info, linkInfo;
        bool exists = ::lstat(path.c_str(), &linkInfo) == 0;
        bool isFolder = exists && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        TIdListPtr item(IdListFromItems(FileItem(name, isFolder)));
        auto found = byName_.find(name);
        TPTShellRow* row = found != byName_.end() ? found->second : nullptr;
        if (row != nullptr) {
            if (exists && IdListView(row->Data->RelativePidl()) == IdListView(item.get())) {
                // The same item, perhaps replaced by another file: its texts
                // are read again.
                row->Data->Invalidate();
                row->ImageIndex = -1;
                if (Observer != nullptr)
                    Observer->RowChanged(IndexOf(row->Data.get()));
                continue;
            }
            DeleteRow(IndexOf(row->Data.get()));
        }
        if (!exists)
            continue;
        uint32_t attributes = 0;
        if (!admit(item.get(), attributes))
            continue;
        if ((attributes & SFGAO_HIDDEN) != 0 && !HasOption(ptsloShowHidden))
            continue; // the enumeration leaves hidden items out
        addRow(std::move(item), attributes);
    }
    return true;
}

std::string TPTShellListModel::RowText(int index, int column) {
    TPTShListData* data = Data(index);
    if (data == nullptr)
        return {};
    return column == 0 ? data->GetDisplayName() : data->GetColumnText(column);
}

int TPTShellListModel::RowImage(int index, bool large) {
    TPTShellRow& row = Row(index);
    if (row.ImageIndex < 0 && row.Data)
        row.ImageIndex = GetShellIconIndex(row.Data->GetAbsolutePidl(), large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
    return std::max(0, row.ImageIndex);
}

int TPTShellListModel::SelectedCount() const {
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const auto& row) { return row->Selected; }));
}

int TPTShellListModel::SelectedIndex() const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->Selected)
            return static_cast<int>(i);
    return -1;
}

std::vector<int> TPTShellListModel::SelectedRows() const {
    std::vector<int> selected;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->Selected)
            selected.push_back(static_cast<int>(i));
    return selected;
}

void TPTShellListModel::SetSelected(int index, bool selected) {
    if (index < 0 || index >= Count() || Row(index).Selected == selected)
        return;
    Row(index).Selected = selected;
    if (Observer != nullptr)
        Observer->SelectionChanged();
}

void TPTShellListModel::ClearSelection() {
    bool any = false;
    for (auto& row : rows_) {
        any = any || row->Selected;
        row->Selected = false;
    }
    if (any && Observer != nullptr)
        Observer->SelectionChanged();
}

void TPTShellListModel::SetSortColumn(int column) {
    if (column == sortColumn_)
        return;
    sortColumn_ = column;
    Sort();
    if (Observer != nullptr)
        Observer->SortChanged();
}

void TPTShellListModel::ColumnClicked(int column) {
    if (std::abs(sortColumn_) - 1 == column)
        SetSortColumn(-sortColumn_);
    else
        SetSortColumn(column + 1);
}

void TPTShellListModel::Sort() {
    if (sortColumn_ == 0 || !folder_ || rows_.size() < 2)
        return;
    TPTShellRow* focused = FocusedIndex >= 0 && FocusedIndex < Count() ? rows_[static_cast<size_t>(FocusedIndex)].get() : nullptr;
    intptr_t column = std::abs(sortColumn_) - 1;
    int direction = sortColumn_ > 0 ? 1 : -1;
    TShellCompareScope readOnce; // each row's size, type or date read once
    std::stable_sort(rows_.begin(), rows_.end(), [&](const auto& a, const auto& b) {
        if (!a->Data || !b->Data)
            return false;
        return direction * comparisonOrder(folder_->CompareIDs(column, a->Data->RelativePidl(), b->Data->RelativePidl())) < 0;
    });
    if (focused != nullptr)
        for (size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].get() == focused)
                FocusedIndex = static_cast<int>(i);
    if (Observer != nullptr)
        Observer->RowsReset();
}
