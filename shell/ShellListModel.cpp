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
#include <unordered_set>
#include <sys/stat.h>

namespace {

constexpr uint32_t kAdmissionAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER |
                                          SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_HIDDEN | SFGAO_SHARE |
                                          SFGAO_LINK;

int comparisonOrder(HRESULT hr) { return SUCCEEDED(hr) ? static_cast<int16_t>(HRESULT_CODE(hr)) : 0; }

TAlignment alignmentOf(int format) { return format == 1 ? taRightJustify : format == 2 ? taCenter : taLeftJustify; }

} // namespace

TPTShellListModel::~TPTShellListModel() {
    for (const TPTShListData* record : records_)
        delete record;
}

std::shared_ptr<TShellDetailsProvider> TPTShellListModel::ListDetailsProvider() {
    if (!providerLooked_ && folder_) {
        provider_ = FindDetailsProvider(folder_);
        providerLooked_ = true;
    }
    return provider_;
}

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

TPTShListData* TPTShellListModel::RecordOf(const TListItem* item) const {
    if (item == nullptr)
        return nullptr;
    auto* record = static_cast<TPTShListData*>(item->Data());
    return record != nullptr && records_.contains(record) ? record : nullptr;
}

int TPTShellListModel::IndexOf(const TPTShListData* data) const {
    for (int i = 0; i < Count(); ++i)
        if (view_.Items().Item(i)->Data() == data)
            return i;
    return -1;
}

void TPTShellListModel::indexRow(TListItem* item) {
    TPTShListData* record = RecordOf(item);
    if (folderPath_.empty() || record == nullptr)
        return;
    TItemPayload payload;
    if (DecodeItem(record->RelativePidl(), payload) && payload.Kind == TItemKind::FileSystem)
        byName_[std::string(payload.Name)] = item;
}

void TPTShellListModel::unindexRow(TListItem* item) {
    TPTShListData* record = RecordOf(item);
    TItemPayload payload;
    if (record != nullptr && DecodeItem(record->RelativePidl(), payload) && payload.Kind == TItemKind::FileSystem) {
        auto found = byName_.find(std::string(payload.Name));
        if (found != byName_.end() && found->second == item)
            byName_.erase(found);
    }
}

std::string TPTShellListModel::captionOf(PCItemIDList relative) const {
    // The caption (what the application reads as the row's text) is the
    // name the folder shows.
    std::string caption;
    GetDisplayName(folder_, relative, dnInFolder, caption);
    return caption;
}

void TPTShellListModel::addRow(TIdListPtr relative, uint32_t attributes) {
    auto record = std::make_unique<TPTShListData>(this);
    record->SetRelativePidl(relative.release());
    TListItem* item = view_.Items().Add();
    item->SetData(record.get());
    item->SetCaption(captionOf(record->RelativePidl()));
    records_.insert(record.release());
    if ((attributes & SFGAO_SHARE) != 0)
        item->SetOverlayIndex(0);
    else if ((attributes & SFGAO_LINK) != 0)
        item->SetOverlayIndex(1);
    item->SetCut((attributes & SFGAO_HIDDEN) != 0);
    indexRow(item);
    keepStatus(RecordOf(item));
}

void TPTShellListModel::keepStatus(TPTShListData* record) {
    // Admitting the item read its status: under the caller's compare scope
    // the key takes it from there (size and time alike).
    if (record != nullptr && !folderPath_.empty() && CurrentCompareMemo() != nullptr)
        folder_->GetSortKey(1, record->RelativePidl(), record->SortKey());
}

void TPTShellListModel::ItemDeleting(TListItem* item) {
    TPTShListData* record = RecordOf(item);
    if (record == nullptr)
        return;
    unindexRow(item);
    if (OnDeleteItem)
        OnDeleteItem(item, record);
    records_.erase(record);
    item->SetData(nullptr);
    delete record;
}

void TPTShellListModel::RenameRow(int index, PItemIDList renamed) {
    TListItem* item = index >= 0 && index < Count() ? view_.Items().Item(index) : nullptr;
    TPTShListData* record = RecordOf(item);
    if (record == nullptr) {
        ShellFree(renamed);
        return;
    }
    unindexRow(item);
    record->SetRelativePidl(renamed);
    item->SetImageIndex(-1);
    item->SetCaption(captionOf(record->RelativePidl()));
    indexRow(item);
}

void TPTShellListModel::buildColumns() {
    bool fileSystem = !folderPath_.empty();
    if (std::shared_ptr<TShellDetailsProvider> provider = ListDetailsProvider()) {
        columns_ = ProviderColumns(*provider, fileSystem);
    } else {
        columns_ = StandardColumns();
        fileSystem = true; // the standard columns always count as a file-system folder's
    }
    columnsOfFileSystem_ = fileSystem;
    if (sortColumn_ > static_cast<int>(columns_.size()))
        sortColumn_ = 1;
    TListColumns& columns = view_.Columns();
    columns.BeginUpdate();
    columns.Clear();
    for (const TPTColumnSpec& spec : columns_) {
        TListColumn* column = columns.Add();
        column->SetCaption(spec.Caption);
        column->SetWidth(spec.Width);
        column->SetAlignment(alignmentOf(spec.Format));
    }
    columns.EndUpdate();
}

std::vector<int> TPTShellListModel::ColumnWidths() const {
    std::vector<int> widths;
    TListColumns& columns = view_.Columns();
    for (int i = 0; i < columns.Count(); ++i)
        widths.push_back(columns.Items(i)->Width());
    return widths;
}

void TPTShellListModel::SaveColumnWidths() const {
    if (columns_.empty() || !columnsOfFileSystem_)
        return;
    TPTColumnMemory::Save(ColumnWidths());
}

HRESULT TPTShellListModel::Fill(PCItemIDList folderList, const TBeforeFolderRead& beforeRead) {
    std::shared_ptr<TShellFolder> folder;
    HRESULT hr = BindToFolder(folderList, folder);
    if (FAILED(hr) || !folder)
        return FAILED(hr) ? hr : E_FAIL;
    if (OnFillStart)
        OnFillStart();
    SaveColumnWidths();
    TShellCompareScope kept; // the statuses the admissions read, for the rows' keys
    TListItems& items = view_.Items();
    items.BeginUpdate();
    try {
        Clear();
        byName_.clear();
        folderPidl_.reset(IdListIsEmpty(folderList) ? nullptr : CopyPidl(nullptr, folderList));
        folder_ = folder;
        folderPath_ = folder->FileSystemPath();
        provider_.reset();
        providerLooked_ = false;
        buildColumns();
        unsigned flags =
            SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (HasOption(ptsloShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0u);
        std::vector<TIdListPtr> found;
        // A folder that cannot be listed shows what came, or nothing.
        EnumerateWatched(*folder_, flags, found, beforeRead);
        items.SetCapacity(static_cast<int>(found.size()));
        for (TIdListPtr& item : found) {
            uint32_t attributes = 0;
            if (admit(item.get(), attributes))
                addRow(std::move(item), attributes);
        }
        Sort();
        if (Count() > 0)
            view_.SetFocusedIndex(0);
    } catch (...) {
        items.EndUpdate();
        throw;
    }
    items.EndUpdate();
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
    std::vector<TListItem*> shownItems;
    std::vector<TPTShListData*> shownRecords;
    for (int i = 0; i < Count(); ++i)
        if (TPTShListData* record = Data(i)) {
            shown.push_back(record->RelativePidl());
            shownItems.push_back(view_.Items().Item(i));
            shownRecords.push_back(record);
        }
    unsigned flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | (HasOption(ptsloShowHidden) ? SHCONTF_INCLUDEHIDDEN : 0u);
    std::vector<TIdListPtr> present;
    EnumerateFolder(*folder_, flags, present);
    // Items of a file-system folder are the same when their bytes are;
    // others when the folder says so.
    TPTEnumerationDiff diff = DiffEnumeration(folderPath_.empty() ? folder_ : nullptr, shown, std::move(present));
    TShellCompareScope kept;
    TListItems& items = view_.Items();
    items.BeginUpdate();
    for (auto gone = diff.Gone.rbegin(); gone != diff.Gone.rend(); ++gone) {
        shownItems[static_cast<size_t>(*gone)]->Delete(); // its record goes with it
        shownRecords[static_cast<size_t>(*gone)] = nullptr;
    }
    // The rows kept may show items changed since they were read: what was
    // read of them is read again when next shown or sorted.
    for (TPTShListData* record : shownRecords)
        if (record != nullptr)
            record->Invalidate();
    for (TIdListPtr& item : diff.Added) {
        uint32_t attributes = 0;
        if (admit(item.get(), attributes))
            addRow(std::move(item), attributes);
    }
    items.EndUpdate();
    view_.Invalidate();
    if (OnFillComplete)
        OnFillComplete();
}

bool TPTShellListModel::RefreshNames(const std::vector<std::string>& names) {
    if (folderPath_.empty() || !folder_)
        return false;
    std::set<std::string> unique(names.begin(), names.end());
    TShellCompareScope kept;
    for (const std::string& name : unique) {
        if (!IsValidFileName(name))
            continue;
        std::string path = JoinPath(folderPath_, name);
        struct stat info, linkInfo;
        bool exists = ::lstat(path.c_str(), &linkInfo) == 0;
        bool isFolder = exists && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        TIdListPtr item(IdListFromItems(FileItem(name, isFolder)));
        auto found = byName_.find(name);
        TListItem* row = found != byName_.end() ? found->second : nullptr;
        if (row != nullptr) {
            TPTShListData* record = RecordOf(row);
            if (exists && IdListView(record->RelativePidl()) == IdListView(item.get())) {
                // The same item, perhaps replaced by another file: its texts
                // are read again.
                record->Invalidate();
                row->SetImageIndex(-1); // shown anew
                continue;
            }
            row->Delete();
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
    TListItem* item = view_.Items().Item(index);
    TPTShListData* data = RecordOf(item);
    if (data == nullptr)
        return {};
    return column == 0 ? item->Caption() : data->GetColumnText(column);
}

int TPTShellListModel::RowImage(int index) {
    TListItem* item = view_.Items().Item(index);
    TPTShListData* record = RecordOf(item);
    if (item->ImageIndex() < 1 && record != nullptr)
        item->SetImageIndex(GetShellIconIndex(record->GetAbsolutePidl(), SHGFI_SMALLICON));
    return item->ImageIndex();
}

std::vector<int> TPTShellListModel::SelectedRows() const {
    std::vector<int> selected;
    for (int i = 0; i < Count(); ++i)
        if (view_.IsSelected(i))
            selected.push_back(i);
    return selected;
}

void TPTShellListModel::SetSortColumn(int column) {
    if (column == sortColumn_)
        return;
    sortColumn_ = column;
    Sort();
}

void TPTShellListModel::ColumnClicked(int column) {
    if (std::abs(sortColumn_) - 1 == column)
        SetSortColumn(-sortColumn_);
    else
        SetSortColumn(column + 1);
}

void TPTShellListModel::Sort() {
    if (sortColumn_ == 0 || !folder_ || Count() < 2)
        return;
    intptr_t column = std::abs(sortColumn_) - 1;
    int direction = sortColumn_ > 0 ? 1 : -1;
    if (sortByKeys(static_cast<int>(column), direction))
        return;
    TShellCompareScope readOnce; // each row's size, type or date read once
    // The records are checked once, not at every comparison: a row whose
    // data is not one of ours compares equal to every other.
    std::unordered_set<const TListItem*> foreign;
    for (int i = 0; i < Count(); ++i)
        if (Data(i) == nullptr)
            foreign.insert(view_.Items().Item(i));
    view_.CustomSort([&](TListItem* a, TListItem* b) {
        if (!foreign.empty() && (foreign.contains(a) || foreign.contains(b)))
            return 0;
        auto *first = static_cast<TPTShListData*>(a->Data()), *second = static_cast<TPTShListData*>(b->Data());
        return direction * comparisonOrder(folder_->CompareIDs(column, first->RelativePidl(), second->RelativePidl()));
    });
}

bool TPTShellListModel::sortByKeys(int column, int direction) {
    // Each row's key holds what its record read before (at the fill, or at
    // an earlier sort by the column); only what is missing is read now.
    for (int i = 0; i < Count(); ++i) {
        TPTShListData* record = Data(i);
        if (record == nullptr || FAILED(folder_->GetSortKey(column, record->RelativePidl(), record->SortKey())))
            return false;
    }
    view_.CustomSort([column, direction](TListItem* a, TListItem* b) {
        return direction * CompareSortKeys(column, static_cast<TPTShListData*>(a->Data())->SortKey(),
                                           static_cast<TPTShListData*>(b->Data())->SortKey());
    });
    return true;
}
