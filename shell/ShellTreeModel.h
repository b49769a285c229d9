#pragma once
// The nodes of a shell tree and what fills, expands, sorts, refreshes and
// walks them, apart from any window: one root node for a base folder and
// below it one node per child folder (optionally per file), each carrying
// a TPTShTreeData record, filled lazily when a node is first expanded.
// The tree control (ShellTree.h) owns a model and shows it; the model tells
// its observer of every change so that a view can follow.

#include "shell/ShellRecords.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComponent;

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

class TPTShellNode {
public:
    TPTShellNode(TPTShellNode* parent, std::string text) : parent_(parent), text_(std::move(text)) {}
    TPTShellNode(const TPTShellNode&) = delete;
    TPTShellNode& operator=(const TPTShellNode&) = delete;

    TPTShellNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TPTShellNode* Item(int index) const { return children_[static_cast<size_t>(index)].get(); }
    int IndexOf(const TPTShellNode* child) const;
    int Level() const;
    // True when node is this one or lies above it.
    bool IsWithin(const TPTShellNode* node) const;

    const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    // The record; nullptr for a node that is not the shell's.
    TPTShTreeData* Data() const { return data_.get(); }

    // The expand button shows (children known or expected).
    bool HasChildren = false;
    bool Expanded = false;
    // Hidden items look ghosted.
    bool Cut = false;
    // -1 none, 0 the shared-item overlay, 1 the link overlay.
    int OverlayIndex = -1;
    // System image list indexes, 0 until first asked for.
    int ImageIndex = 0;
    int SelectedIndex = 0;
    // Whatever the view keeps for the node.
    void* ViewData = nullptr;

private:
    friend class TPTShellTreeModel;
    TPTShellNode* parent_;
    std::string text_;
    std::unique_ptr<TPTShTreeData> data_;
    std::vector<std::unique_ptr<TPTShellNode>> children_;
};

// What a view hears of the model.
class TPTShellTreeObserver {
public:
    virtual ~TPTShellTreeObserver() = default;
    virtual void NodeAdded(TPTShellNode* node) {}
    // Before the node and everything below it go.
    virtual void NodeRemoving(TPTShellNode* node) {}
    // Text, state or icons changed.
    virtual void NodeChanged(TPTShellNode* node) {}
    // The children of parent (nullptr: the top level) have a new order.
    virtual void ChildrenReordered(TPTShellNode* parent) {}
    virtual void SelectionChanged(TPTShellNode* node) {}
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
};

class TPTShellTreeModel {
public:
    // tree: the control the records belong to.
    explicit TPTShellTreeModel(TComponent* tree) : tree_(tree) {}
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
    std::function<void(TPTShellNode* node)> OnInsertItem;
    // Before a node's record is freed.
    std::function<void(TPTShellNode* node, TPTShTreeData* data)> OnDeleteItem;
    std::function<void()> OnFillStart;
    std::function<void()> OnFillComplete;
    TPTShellTreeObserver* Observer = nullptr;

    // --- nodes ------------------------------------------------------------------
    int TopCount() const { return static_cast<int>(top_.size()); }
    TPTShellNode* Top(int index) const { return top_[static_cast<size_t>(index)].get(); }
    // The first top-level node that is the shell's (the root), or nullptr.
    TPTShellNode* Root() const;
    bool Empty() const { return top_.empty(); }
    TPTShellNode* Selected() const { return selected_; }
    void SetSelected(TPTShellNode* node);
    // The node added last (by a fill, an expansion, a refresh).
    TPTShellNode* LastInserted() const { return lastInserted_; }
    // Every node in display order (depth first), collapsed ones' children
    // included when all is true.
    std::vector<TPTShellNode*> Nodes(bool all) const;
    void Clear();
    void Delete(TPTShellNode* node);

    // --- filling ------------------------------------------------------------------
    // Fills the root for the base folder (null: the desktop) and its
    // children.  A base that cannot be bound leaves the tree empty.
    void FillRoot(PCItemIDList base);
    // Fills parent's children from folder (the root itself for nullptr).
    // A folder that cannot be listed leaves parent without children (and
    // without expand button).
    void FillChildren(const std::shared_ptr<TShellFolder>& folder, TPTShellNode* parent, PCItemIDList base = nullptr);
    // Admits one item of folder below parent; S_OK whether it was added or
    // refused, the failure when its attributes cannot be read.
    HRESULT AddShellNode(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                         PCItemIDList relative, TPTShellNode* parent);
    // Fills a node that has an expand button but no children yet.
    void PopulateNode(TPTShellNode* node);
    // Populates and opens a node (not its children).
    void Expand(TPTShellNode* node);
    void Collapse(TPTShellNode* node);
    // Orders parent's children (the top level for nullptr) by their folder.
    void SortChildren(TPTShellNode* parent);

    // The icons, fetched on first use.
    int ImageIndexOf(TPTShellNode* node);
    int SelectedIndexOf(TPTShellNode* node);

    // --- finding and refreshing -------------------------------------------------------
    // The node that shows target, expanding (and, for items the folders do
    // not list, adding) each level below base on the way.  A target outside
    // base gives the root.  expandLast also opens the target's node.
    // nullptr when the tree is empty; beep is set when a level could not be
    // reached (the deepest reached is returned).
    TPTShellNode* FindPidl(PCItemIDList base, PCItemIDList target, bool expandLast, bool& beep);
    // Brings an expanded node's children up to date with its folder, and so
    // on down; selection (a node, or null) moves to the parent of a node
    // that goes.
    void RefreshNode(TPTShellNode* node, TPTShellNode*& selection);

private:
    TPTShellNode* insert(TPTShellNode* parent, std::unique_ptr<TPTShellNode> node);
    std::vector<std::unique_ptr<TPTShellNode>>& childrenOf(TPTShellNode* parent) {
        return parent != nullptr ? parent->children_ : top_;
    }
    void removeRecords(TPTShellNode* node);

    TComponent* tree_;
    std::vector<std::unique_ptr<TPTShellNode>> top_;
    TPTShellNode* selected_ = nullptr;
    TPTShellNode* lastInserted_ = nullptr;
};
