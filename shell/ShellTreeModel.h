#pragma once
// What fills, expands, sorts, refreshes and walks the nodes of a shell
// tree: one root node for a base folder and below it one node per child
// folder (optionally per file), each carrying a TPTShTreeData record as
// its Data, filled lazily when a node is first opened.  The nodes are the
// tree view's own; the model works on them and owns their records (the
// tree hands it every node that goes, NodeDeleting).

#include "platform/ui/TreeView.h"
#include "shell/ShellRecords.h"
#include "shell/WatchedRead.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

// The tree's options, bit n = value n.
enum TPTShellTreeOption : unsigned {
    ptstoAutoFill,
    ptstoVirtualFolders,
    ptstoDesignInteractive,
    ptstoDefaultKeyHandling,
    ptstoContextMenus,
    ptstoDynamicRefresh,
    ptstoIncludeNonFolders,
    ptstoOleDrag,
    ptstoOleDrop,
    ptstoShowHidden,
};
using TPTShellTreeOptions = uint16_t;
constexpr TPTShellTreeOptions TreeOption(TPTShellTreeOption option) {
    return static_cast<TPTShellTreeOptions>(1u << option);
}
// Everything but ptstoDesignInteractive and ptstoIncludeNonFolders.
constexpr TPTShellTreeOptions DefaultShellTreeOptions = 0x3BB;

class TPTShellTreeModel {
public:
    // view: the tree whose nodes these are (it owns the records' nodes; the
    // records belong to it too).
    explicit TPTShellTreeModel(TCustomTreeView& view) : view_(view) {}
    ~TPTShellTreeModel();
    TPTShellTreeModel(const TPTShellTreeModel&) = delete;
    TPTShellTreeModel& operator=(const TPTShellTreeModel&) = delete;

    TPTShellTreeOptions Options = DefaultShellTreeOptions;
    bool HasOption(TPTShellTreeOption option) const { return (Options & TreeOption(option)) != 0; }
    // The flags folders are enumerated with.
    unsigned EnumerationFlags() const;

    // Asked for every item that passed the built-in admission; true when
    // unset.
    std::function<bool(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute, uint32_t attributes,
                       PCItemIDList relative)>
        AllowAddItem;
    std::function<void(TTreeNode* node)> OnInsertItem;
    // Before a node's record is freed.
    std::function<void(TTreeNode* node, TPTShTreeData* data)> OnDeleteItem;
    std::function<void()> OnFillStart;
    std::function<void()> OnFillComplete;
    // Told of each folder before anything of it is read (its items by a
    // fill or a refresh, whether it has subfolders when it is added as a
    // node): the tree watches the folder there.
    TBeforeFolderRead BeforeRead;

    // --- nodes ------------------------------------------------------------------
    // The record of a node; nullptr for a node that is not the shell's.
    TPTShTreeData* RecordOf(const TTreeNode* node) const;
    // The first top-level node that is the shell's (the root), or nullptr.
    TTreeNode* Root() const;
    bool Empty() const { return view_.Items().Count() == 0; }
    // The node added last (by a fill, an expansion, a refresh).
    TTreeNode* LastInserted() const { return lastInserted_; }
    // Every node in display order, the children of closed nodes too when
    // all is true.
    std::vector<TTreeNode*> Nodes(bool all) const;
    // Called by the tree for every node that goes: the record is freed.
    void NodeDeleting(TTreeNode* node);

    // --- filling ------------------------------------------------------------------
    // Fills the root for the base folder (null: the desktop) and its
    // children.  A base that cannot be bound leaves the tree empty.
    void FillRoot(PCItemIDList base);
    // Fills parent's children from folder (the root itself for nullptr).
    // A folder that cannot be listed leaves parent without children (and
    // without expand button).
    void FillChildren(const std::shared_ptr<TShellFolder>& folder, TTreeNode* parent, PCItemIDList base = nullptr);
    // Admits one item of folder below parent (after its last child, or
    // just before `before`); S_OK whether it was added or refused, the
    // failure when its attributes cannot be read.
    HRESULT AddShellNode(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                         PCItemIDList relative, TTreeNode* parent, TTreeNode* before = nullptr);
    // Fills a node that has an expand button but no children yet.
    void PopulateNode(TTreeNode* node);
    // Populates and opens a node (not its children).
    void Expand(TTreeNode* node);
    // Orders parent's children (the top level for nullptr) by their folder.
    void SortChildren(TTreeNode* parent);
    // The icons, fetched on first use.
    int ImageIndexOf(TTreeNode* node);
    int SelectedIndexOf(TTreeNode* node);

    // --- finding and refreshing -------------------------------------------------------
    // The node that shows target, expanding (and, for items the folders do
    // not list, adding) each level below base on the way.  A target outside
    // base gives the root.  expandLast also opens the target's node.
    // nullptr when the tree is empty; beep is set when a level could not be
    // reached (the deepest reached is returned).
    TTreeNode* FindPidl(PCItemIDList base, PCItemIDList target, bool expandLast, bool& beep);
    // Brings an opened node's children up to date with its folder, and so
    // on down; selection (a node, or null) moves to the parent of a node
    // that goes.  New nodes go straight to their places in the order: the
    // nodes already there are not moved (a window showing them keeps its
    // rows and the node a press is on).
    void RefreshNode(TTreeNode* node, TTreeNode*& selection);

private:
    TTreeNode* addNode(TTreeNode* parent, const std::string& text, std::unique_ptr<TPTShTreeData> record);
    // The first child of parent that folder orders after relative (nullptr:
    // none), found by halving, the children being in that order.
    TTreeNode* childAfter(TShellFolder& folder, TTreeNode* parent, PCItemIDList relative) const;

    TCustomTreeView& view_;
    std::unordered_set<const TPTShTreeData*> records_;
    TTreeNode* lastInserted_ = nullptr;
};
