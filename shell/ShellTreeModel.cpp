#include "shell/ShellTreeModel.h"

#include "shell/ShellEnumeration.h"
#include "shell/ShellUtils.h"

#include <algorithm>

namespace {

// What the fill asks of each item.
constexpr uint32_t kAdmissionAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER |
                                          SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_HIDDEN | SFGAO_SHARE |
                                          SFGAO_LINK;

int comparisonOrder(HRESULT hr) { return SUCCEEDED(hr) ? static_cast<int16_t>(HRESULT_CODE(hr)) : 0; }

} // namespace

int TPTShellNode::IndexOf(const TPTShellNode* child) const {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i].get() == child)
            return static_cast<int>(i);
    return -1;
}

int TPTShellNode::Level() const {
    int level = 0;
    for (const TPTShellNode* node = parent_; node != nullptr; node = node->parent_)
        ++level;
    return level;
}

bool TPTShellNode::IsWithin(const TPTShellNode* node) const {
    for (const TPTShellNode* at = this; at != nullptr; at = at->parent_)
        if (at == node)
            return true;
    return false;
}

// ---------------------------------------------------------------------------

TPTShellTreeModel::~TPTShellTreeModel() {
    Observer = nullptr;
    OnDeleteItem = nullptr;
    Clear();
}

unsigned TPTShellTreeModel::EnumerationFlags() const {
    unsigned flags = SHCONTF_FOLDERS;
    if (HasOption(ptstoIncludeNonFolders))
        flags |= SHCONTF_NONFOLDERS;
    if (HasOption(ptstoShowHidden))
        flags |= SHCONTF_INCLUDEHIDDEN;
    return flags;
}

TPTShellNode* TPTShellTreeModel::Root() const {
    for (const auto& node : top_)
        if (node->Data() != nullptr)
            return node.get();
    return nullptr;
}

void TPTShellTreeModel::SetSelected(TPTShellNode* node) {
    if (node == selected_)
        return;
    selected_ = node;
    if (Observer != nullptr)
        Observer->SelectionChanged(node);
}

std::vector<TPTShellNode*> TPTShellTreeModel::Nodes(bool all) const {
    std::vector<TPTShellNode*> nodes;
    std::function<void(const std::vector<std::unique_ptr<TPTShellNode>>&)> walk = [&](const auto& level) {
        for (const auto& node : level) {
            nodes.push_back(node.get());
            if (all || node->Expanded)
                walk(node->children_);
        }
    };
    walk(top_);
    return nodes;
}

TPTShellNode* TPTShellTreeModel::insert(TPTShellNode* parent, std::unique_ptr<TPTShellNode> node) {
    TPTShellNode* added = node.get();
    childrenOf(parent).push_back(std::move(node));
    lastInserted_ = added;
    if (Observer != nullptr)
        Observer->NodeAdded(added);
    if (OnInsertItem)
        OnInsertItem(added);
    return added;
}

void TPTShellTreeModel::removeRecords(TPTShellNode* node) {
    for (auto& child : node->children_)
        removeRecords(child.get());
    if (lastInserted_ == node)
        lastInserted_ = nullptr;
    if (node->data_ && OnDeleteItem)
        OnDeleteItem(node, node->data_.get());
}

void TPTShellTreeModel::Delete(TPTShellNode* node) {
    if (node == nullptr)
        return;
    bool selectionGoes = selected_ != nullptr && selected_->IsWithin(node);
    if (Observer != nullptr)
        Observer->NodeRemoving(node);
    removeRecords(node);
    auto& siblings = childrenOf(node->Parent());
    auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& n) { return n.get() == node; });
    std::unique_ptr<TPTShellNode> gone = std::move(*it);
    siblings.erase(it);
    gone.reset();
    if (selectionGoes)
        SetSelected(nullptr);
}

void TPTShellTreeModel::Clear() {
    if (Observer != nullptr)
        Observer->BeginUpdate();
    while (!top_.empty())
        Delete(top_.back().get());
    lastInserted_ = nullptr;
    if (Observer != nullptr)
        Observer->EndUpdate();
}

void TPTShellTreeModel::FillRoot(PCItemIDList base) {
    std::shared_ptr<TShellFolder> folder;
    if (FAILED(BindToFolder(base, folder)) || !folder)
        return; // a base that is gone shows an empty tree, not an error at every refresh
    FillChildren(folder, nullptr, base);
}

void TPTShellTreeModel::FillChildren(const std::shared_ptr<TShellFolder>& folder, TPTShellNode* parent,
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
        auto root = std::make_unique<TPTShellNode>(nullptr, info.DisplayName);
        root->ImageIndex = info.IconIndex;
        root->SelectedIndex = GetShellIconIndex(base, SHGFI_SMALLICON | SHGFI_OPENICON);
        root->data_ = std::make_unique<TPTShTreeData>(tree_);
        root->data_->SetPidls(nullptr, IdListIsEmpty(base) ? nullptr : base);
        root->data_->SetOwnFolder(folder);
        root->HasChildren = true;
        parent = insert(nullptr, std::move(root));
        parentAbsolute.reset(IdListIsEmpty(base) ? nullptr : CopyPidl(nullptr, base));
    } else if (parent->Data() != nullptr) {
        parentAbsolute.reset(CopyPidl(nullptr, parent->Data()->GetAbsolutePidl()));
    }

    std::vector<TIdListPtr> items;
    HRESULT hr = folder ? EnumerateFolder(*folder, EnumerationFlags(), items) : E_FAIL;
    if (FAILED(hr) && items.empty()) {
        // A folder that cannot be listed shows no children, silently.
        parent->HasChildren = false;
        if (Observer != nullptr)
            Observer->NodeChanged(parent);
        return;
    }
    if (Observer != nullptr)
        Observer->BeginUpdate();
    for (const TIdListPtr& item : items)
        AddShellNode(folder, parentAbsolute.get(), item.get(), parent); // items gone meanwhile are skipped
    if (parent->Count() == 0)
        parent->HasChildren = false;
    SortChildren(parent);
    if (parent->Parent() == nullptr && parent->Data() != nullptr && parent == Root())
        parent->Expanded = true;
    if (Observer != nullptr) {
        Observer->NodeChanged(parent);
        Observer->EndUpdate();
    }
}

HRESULT TPTShellTreeModel::AddShellNode(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                                        PCItemIDList relative, TPTShellNode* parent) {
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
    auto node = std::make_unique<TPTShellNode>(parent, std::move(name));
    bool folderish = (attributes & SFGAO_FOLDER) != 0, hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
    node->HasChildren = HasOption(ptstoIncludeNonFolders) ? (folderish || hasSubfolders) : (folderish && hasSubfolders);
    if ((attributes & SFGAO_SHARE) != 0)
        node->OverlayIndex = 0;
    else if ((attributes & SFGAO_LINK) != 0)
        node->OverlayIndex = 1;
    node->Cut = (attributes & SFGAO_HIDDEN) != 0;
    node->data_ = std::make_unique<TPTShTreeData>(tree_);
    node->data_->SetPidls(parent != nullptr ? parent->Data() : nullptr, relative);
    insert(parent, std::move(node));
    return S_OK;
}

void TPTShellTreeModel::PopulateNode(TPTShellNode* node) {
    if (node == nullptr || node->Data() == nullptr || node->Count() > 0 || !node->HasChildren)
        return;
    FillChildren(node->Data()->GetFolder(), node);
}

void TPTShellTreeModel::Expand(TPTShellNode* node) {
    PopulateNode(node);
    if (node == nullptr || node->Expanded || node->Count() == 0)
        return;
    node->Expanded = true;
    if (Observer != nullptr)
        Observer->NodeChanged(node);
}

void TPTShellTreeModel::Collapse(TPTShellNode* node) {
    if (node == nullptr || !node->Expanded)
        return;
    node->Expanded = false;
    if (selected_ != nullptr && selected_ != node && selected_->IsWithin(node))
        SetSelected(node); // a hidden node cannot stay selected
    if (Observer != nullptr)
        Observer->NodeChanged(node);
}

void TPTShellTreeModel::SortChildren(TPTShellNode* parent) {
    auto& children = childrenOf(parent);
    if (children.size() < 2)
        return;
    // The children of one node share their parent folder: bound once.
    std::shared_ptr<TShellFolder> folder;
    if (parent != nullptr && parent->Data() != nullptr)
        folder = parent->Data()->GetFolder();
    std::stable_sort(children.begin(), children.end(), [&](const auto& a, const auto& b) {
        if (!folder || a->Data() == nullptr || b->Data() == nullptr)
            return false;
        return comparisonOrder(folder->CompareIDs(0, a->Data()->RelativePidl(), b->Data()->RelativePidl())) < 0;
    });
    if (Observer != nullptr)
        Observer->ChildrenReordered(parent);
}

int TPTShellTreeModel::ImageIndexOf(TPTShellNode* node) {
    if (node->ImageIndex == 0 && node->Data() != nullptr)
        node->ImageIndex = GetShellIconIndex(node->Data()->GetAbsolutePidl(), SHGFI_SMALLICON);
    return node->ImageIndex;
}

int TPTShellTreeModel::SelectedIndexOf(TPTShellNode* node) {
    if (node->SelectedIndex == 0 && node->Data() != nullptr)
        node->SelectedIndex = GetShellIconIndex(node->Data()->GetAbsolutePidl(), SHGFI_SMALLICON | SHGFI_OPENICON);
    return node->SelectedIndex;
}

TPTShellNode* TPTShellTreeModel::FindPidl(PCItemIDList base, PCItemIDList target, bool expandLast, bool& beep) {
    beep = false;
    TPTShellNode* node = Root();
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
        std::shared_ptr<TShellFolder> folder = node->Data() != nullptr ? node->Data()->GetFolder() : nullptr;
        if (!folder) {
            beep = true;
            break;
        }
        TPTShellNode* child = nullptr;
        for (int i = 0; i < node->Count() && child == nullptr; ++i) {
            TPTShellNode* candidate = node->Item(i);
            if (candidate->Data() == nullptr)
                continue;
            HRESULT order = folder->CompareIDs(0, candidate->Data()->RelativePidl(), item.get());
            if (SUCCEEDED(order) && comparisonOrder(order) == 0)
                child = candidate;
        }
        if (child == nullptr) {
            // An item the folder does not list (a hidden one): added here.
            TPTShellNode* before = lastInserted_;
            lastInserted_ = nullptr;
            HRESULT hr = AddShellNode(folder, node->Data()->GetAbsolutePidl(), item.get(), node);
            if (FAILED(hr) || lastInserted_ == nullptr) {
                if (lastInserted_ == nullptr)
                    lastInserted_ = before;
                beep = true;
                break;
            }
            child = lastInserted_;
            node->HasChildren = true;
        }
        if (level < t - 1 || expandLast)
            Expand(child);
        node = child;
    }
    return node;
}

void TPTShellTreeModel::RefreshNode(TPTShellNode* node, TPTShellNode*& selection) {
    if (node == nullptr || node->Data() == nullptr || (node->HasChildren && node->Count() == 0))
        return;
    std::shared_ptr<TShellFolder> folder = node->Data()->GetFolder();
    if (!folder)
        return;
    std::vector<PCItemIDList> shown;
    std::vector<TPTShellNode*> shownNodes;
    for (int i = 0; i < node->Count(); ++i)
        if (TPTShTreeData* data = node->Item(i)->Data()) {
            shown.push_back(data->RelativePidl());
            shownNodes.push_back(node->Item(i));
        }
    std::vector<TIdListPtr> present;
    EnumerateFolder(*folder, EnumerationFlags(), present); // a folder that cannot be read lists nothing
    TPTEnumerationDiff diff = DiffEnumeration(folder, shown, std::move(present));
    for (int index : diff.Gone) {
        TPTShellNode* gone = shownNodes[static_cast<size_t>(index)];
        if (selection != nullptr && selection->IsWithin(gone))
            selection = node;
        Delete(gone);
    }
    int added = 0;
    for (const TIdListPtr& item : diff.Added) {
        TPTShellNode* before = lastInserted_;
        AddShellNode(folder, node->Data()->GetAbsolutePidl(), item.get(), node);
        added += lastInserted_ != before;
    }
    if (added > 0)
        SortChildren(node);
    bool hadChildren = node->HasChildren;
    node->HasChildren = node->Count() > 0;
    if (node->Count() == 0)
        node->Expanded = false;
    if (Observer != nullptr && (added > 0 || !diff.Gone.empty() || hadChildren != node->HasChildren))
        Observer->NodeChanged(node);
    for (int i = 0; i < node->Count(); ++i)
        RefreshNode(node->Item(i), selection);
}
