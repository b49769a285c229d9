#include "shell/ShellTreeModel.h"

#include "shell/ShellEnumeration.h"
#include "shell/ShellUtils.h"

#include "platform/shellns/ItemIdList.h"

#include <algorithm>

namespace {

// What the fill asks of each item.
constexpr uint32_t kAdmissionAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER |
                                          SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_HIDDEN | SFGAO_SHARE |
                                          SFGAO_LINK;

int comparisonOrder(HRESULT hr) { return SUCCEEDED(hr) ? static_cast<int16_t>(HRESULT_CODE(hr)) : 0; }

void childrenOf(TTreeNode* node, bool all, std::vector<TTreeNode*>& nodes) {
    for (int i = 0; i < node->Count(); ++i) {
        TTreeNode* child = node->Item(i);
        nodes.push_back(child);
        if (all || child->Expanded())
            childrenOf(child, all, nodes);
    }
}

} // namespace

TPTShellTreeModel::~TPTShellTreeModel() {
    for (const TPTShTreeData* record : records_)
        delete record;
}

unsigned TPTShellTreeModel::EnumerationFlags() const {
    unsigned flags = SHCONTF_FOLDERS;
    if (HasOption(ptstoIncludeNonFolders))
        flags |= SHCONTF_NONFOLDERS;
    if (HasOption(ptstoShowHidden))
        flags |= SHCONTF_INCLUDEHIDDEN;
    return flags;
}

TPTShTreeData* TPTShellTreeModel::RecordOf(const TTreeNode* node) const {
    if (node == nullptr)
        return nullptr;
    auto* record = static_cast<TPTShTreeData*>(node->Data());
    return record != nullptr && records_.contains(record) ? record : nullptr;
}

TTreeNode* TPTShellTreeModel::Root() const {
    TTreeNodes& items = view_.Items();
    for (int i = 0; i < items.TopLevelCount(); ++i)
        if (RecordOf(items.TopLevelItem(i)) != nullptr)
            return items.TopLevelItem(i);
    return nullptr;
}

std::vector<TTreeNode*> TPTShellTreeModel::Nodes(bool all) const {
    std::vector<TTreeNode*> nodes;
    childrenOf(view_.Items().Root(), all, nodes);
    return nodes;
}

void TPTShellTreeModel::NodeDeleting(TTreeNode* node) {
    if (node == lastInserted_)
        lastInserted_ = nullptr;
    TPTShTreeData* record = RecordOf(node);
    if (record == nullptr)
        return;
    if (OnDeleteItem)
        OnDeleteItem(node, record);
    records_.erase(record);
    node->SetData(nullptr);
    delete record;
}

TTreeNode* TPTShellTreeModel::addNode(TTreeNode* parent, const std::string& text,
                                      std::unique_ptr<TPTShTreeData> record) {
    TTreeNode* node = view_.Items().AddChildObject(parent, text, record.get());
    records_.insert(record.release());
    lastInserted_ = node;
    if (OnInsertItem)
        OnInsertItem(node);
    return node;
}

void TPTShellTreeModel::FillRoot(PCItemIDList base) {
    std::shared_ptr<TShellFolder> folder;
    if (FAILED(BindToFolder(base, folder)) || !folder)
        return; // a base that is gone shows an empty tree, not an error at every refresh
    FillChildren(folder, nullptr, base);
}

void TPTShellTreeModel::FillChildren(const std::shared_ptr<TShellFolder>& folder, TTreeNode* parent,
                                     PCItemIDList base) {
    if (OnFillStart)
        OnFillStart();
    struct TCompletion {
        std::function<void()>& Done;
        ~TCompletion() {
            if (Done)
                Done();
        }
    } completion{OnFillComplete};

    TIdListPtr parentAbsolute;
    if (parent == nullptr) {
        TShFileInfo info;
        SHGetFileInfo(base, SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON, info);
        auto record = std::make_unique<TPTShTreeData>(&view_);
        record->SetPidls(nullptr, IdListIsEmpty(base) ? nullptr : base);
        record->SetOwnFolder(folder);
        parent = addNode(nullptr, info.DisplayName, std::move(record));
        parent->SetImageIndex(info.IconIndex);
        parent->SetSelectedIndex(GetShellIconIndex(base, SHGFI_SMALLICON | SHGFI_OPENICON));
        parent->SetHasChildren(true);
        parentAbsolute.reset(IdListIsEmpty(base) ? nullptr : CopyPidl(nullptr, base));
    } else if (TPTShTreeData* record = RecordOf(parent)) {
        parentAbsolute.reset(CopyPidl(nullptr, record->GetAbsolutePidl()));
    }

    std::vector<TIdListPtr> items;
    HRESULT hr = folder ? EnumerateWatched(*folder, EnumerationFlags(), items, BeforeRead) : E_FAIL;
    if (FAILED(hr) && items.empty()) {
        // A folder that cannot be listed shows no children, silently.
        parent->SetHasChildren(false);
        return;
    }
    TTreeNodes& nodes = view_.Items();
    nodes.BeginUpdate();
    try {
        for (const TIdListPtr& item : items)
            AddShellNode(folder, parentAbsolute.get(), item.get(), parent); // items gone meanwhile are skipped
        if (parent->Count() == 0)
            parent->SetHasChildren(false);
        SortChildren(parent);
    } catch (...) {
        nodes.EndUpdate();
        throw;
    }
    nodes.EndUpdate();
    if (parent == Root())
        parent->Expand(false);
}

namespace {

// An entry of a file system folder says in its item whether it is a folder
// (a link followed), so a file is passed over with no look at the disk.
bool mayBeFolder(PCItemIDList relative) {
    TItemPayload payload;
    return !DecodeItem(relative, payload) || payload.Kind != TItemKind::FileSystem ||
           (payload.Flags & itemIsFolder) != 0;
}

} // namespace

HRESULT TPTShellTreeModel::AddShellNode(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                                        PCItemIDList relative, TTreeNode* parent, TTreeNode* before) {
    // The attributes look into the item's own folder (has it subfolders?):
    // that folder is told of first, as a folder about to be listed is (a
    // place outside the file system has no path; a file is no folder to
    // watch).
    if (BeforeRead && mayBeFolder(relative)) {
        std::string path;
        if (SUCCEEDED(folder->GetDisplayNameOf(relative, SHGDN_FORPARSING, path)) && path.starts_with('/'))
            BeforeRead(path);
    }
    uint32_t attributes = kAdmissionAttributes;
    HRESULT hr = folder->GetAttributesOf(1, &relative, attributes);
    if (FAILED(hr))
        return hr;
    bool admitted = HasOption(ptstoVirtualFolders) || (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) != 0;
    if (admitted && AllowAddItem)
        admitted = AllowAddItem(folder, parentAbsolute, attributes, relative);
    if (!admitted)
        return S_OK;
    std::string name;
    GetDisplayName(folder, relative, dnInFolder, name);
    auto record = std::make_unique<TPTShTreeData>(&view_);
    record->SetPidls(RecordOf(parent), relative);
    // The node is complete before anyone hears of it.
    bool folderish = (attributes & SFGAO_FOLDER) != 0, hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
    TTreeNode* node = before != nullptr ? view_.Items().InsertObject(before, name, record.get())
                                        : view_.Items().AddChildObject(parent, name, record.get());
    records_.insert(record.release());
    node->SetHasChildren(HasOption(ptstoIncludeNonFolders) ? (folderish || hasSubfolders) : (folderish && hasSubfolders));
    if ((attributes & SFGAO_SHARE) != 0)
        node->SetOverlayIndex(0);
    else if ((attributes & SFGAO_LINK) != 0)
        node->SetOverlayIndex(1);
    node->SetCut((attributes & SFGAO_HIDDEN) != 0);
    lastInserted_ = node;
    if (OnInsertItem)
        OnInsertItem(node);
    return S_OK;
}

void TPTShellTreeModel::PopulateNode(TTreeNode* node) {
    TPTShTreeData* record = RecordOf(node);
    if (record == nullptr || node->Count() > 0 || !node->HasChildren())
        return;
    FillChildren(record->GetFolder(), node);
}

void TPTShellTreeModel::Expand(TTreeNode* node) {
    if (node == nullptr)
        return;
    PopulateNode(node);
    if (node->Count() > 0)
        node->Expand(false);
}

void TPTShellTreeModel::SortChildren(TTreeNode* parent) {
    // The children of one node share their parent folder: bound once.
    std::shared_ptr<TShellFolder> folder;
    if (TPTShTreeData* record = RecordOf(parent))
        folder = record->GetFolder();
    if (!folder)
        return;
    auto compare = [&](TTreeNode* a, TTreeNode* b) {
        TPTShTreeData *first = RecordOf(a), *second = RecordOf(b);
        if (first == nullptr || second == nullptr)
            return 0;
        return comparisonOrder(folder->CompareIDs(0, first->RelativePidl(), second->RelativePidl()));
    };
    if (parent != nullptr)
        parent->CustomSort(compare, false);
    else
        view_.CustomSort(compare, false);
}

int TPTShellTreeModel::ImageIndexOf(TTreeNode* node) {
    TPTShTreeData* record = RecordOf(node);
    if (node->ImageIndex() == 0 && record != nullptr)
        node->SetImageIndex(GetShellIconIndex(record->GetAbsolutePidl(), SHGFI_SMALLICON));
    return node->ImageIndex();
}

int TPTShellTreeModel::SelectedIndexOf(TTreeNode* node) {
    TPTShTreeData* record = RecordOf(node);
    if (node->SelectedIndex() == 0 && record != nullptr)
        node->SetSelectedIndex(GetShellIconIndex(record->GetAbsolutePidl(), SHGFI_SMALLICON | SHGFI_OPENICON));
    return node->SelectedIndex();
}

TTreeNode* TPTShellTreeModel::FindPidl(PCItemIDList base, PCItemIDList target, bool expandLast, bool& beep) {
    beep = false;
    TTreeNode* node = Root();
    if (node == nullptr)
        return nullptr;
    int b = IdListItemCount(base), t = IdListItemCount(target);
    if (t == 0)
        return node;
    Expand(node);
    if (t <= b)
        return node;
    // A target outside the base folder selects the root, never a branch
    // made of the target's lower levels.
    TIdListPtr head(IdListCloneFirst(target, b));
    if (b > 0 && ComparePidls(head.get(), base) != 0)
        return node;
    TPTIdListArray chain(target);
    for (int level = b; level < t; ++level) {
        TIdListPtr item(CopyPidl(nullptr, chain.Item(level)));
        TPTShTreeData* record = RecordOf(node);
        std::shared_ptr<TShellFolder> folder = record != nullptr ? record->GetFolder() : nullptr;
        if (!folder) {
            beep = true;
            break;
        }
        TTreeNode* child = nullptr;
        for (int i = 0; i < node->Count() && child == nullptr; ++i) {
            TPTShTreeData* candidate = RecordOf(node->Item(i));
            if (candidate == nullptr)
                continue;
            HRESULT order = folder->CompareIDs(0, candidate->RelativePidl(), item.get());
            if (SUCCEEDED(order) && comparisonOrder(order) == 0)
                child = node->Item(i);
        }
        if (child == nullptr) {
            // An item the folder does not list (a hidden one): added here.
            TTreeNode* before = lastInserted_;
            lastInserted_ = nullptr;
            HRESULT hr = AddShellNode(folder, record->GetAbsolutePidl(), item.get(), node);
            if (FAILED(hr) || lastInserted_ == nullptr) {
                if (lastInserted_ == nullptr)
                    lastInserted_ = before;
                beep = true;
                break;
            }
            child = lastInserted_;
        }
        if (level < t - 1 || expandLast)
            Expand(child);
        node = child;
    }
    return node;
}

TTreeNode* TPTShellTreeModel::childAfter(TShellFolder& folder, TTreeNode* parent, PCItemIDList relative) const {
    int low = 0, high = parent->Count();
    while (low < high) {
        const int middle = (low + high) / 2;
        const TPTShTreeData* child = RecordOf(parent->Item(middle));
        // After the equal ones, as a stable sort of the new node after them.
        if (child != nullptr && comparisonOrder(folder.CompareIDs(0, relative, child->RelativePidl())) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low < parent->Count() ? parent->Item(low) : nullptr;
}

void TPTShellTreeModel::RefreshNode(TTreeNode* node, TTreeNode*& selection) {
    TPTShTreeData* record = RecordOf(node);
    if (record == nullptr || (node->HasChildren() && node->Count() == 0))
        return;
    std::shared_ptr<TShellFolder> folder = record->GetFolder();
    if (!folder)
        return;
    std::vector<PCItemIDList> shown;
    std::vector<TTreeNode*> shownNodes;
    for (int i = 0; i < node->Count(); ++i)
        if (TPTShTreeData* child = RecordOf(node->Item(i))) {
            shown.push_back(child->RelativePidl());
            shownNodes.push_back(node->Item(i));
        }
    std::vector<TIdListPtr> present;
    EnumerateWatched(*folder, EnumerationFlags(), present, BeforeRead); // a folder that cannot be read lists nothing
    TPTEnumerationDiff diff = DiffEnumeration(folder, shown, std::move(present));
    for (int index : diff.Gone) {
        TTreeNode* gone = shownNodes[static_cast<size_t>(index)];
        if (selection != nullptr && (selection == gone || selection->HasAsParent(gone)))
            selection = node;
        gone->Delete();
    }
    // Sorting all the children afterwards would reorder every one of them
    // (and the window would forget where they were).
    for (const TIdListPtr& item : diff.Added)
        AddShellNode(folder, record->GetAbsolutePidl(), item.get(), node, childAfter(*folder, node, item.get()));
    if (node->Count() == 0) {
        node->SetHasChildren(false);
        if (node->Expanded())
            node->Collapse(false);
    }
    for (int i = 0; i < node->Count(); ++i)
        RefreshNode(node->Item(i), selection);
}
