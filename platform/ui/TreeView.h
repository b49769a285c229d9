#pragma once
// The tree view: nodes with text, data, pictures of an image list and
// children, shown by a window that reads them as it paints (so a tree of
// any size costs only what is on screen).
//
// The control holds the nodes and their state (expanded, selected); the
// window follows every change and reports what the user did as CN_NOTIFY
// notices (ItemViews.h).  The events and the hooks a derived control
// overrides are the same for the user and for code: selecting a node asks
// CanChange (OnChanging) first and runs Change (OnChange) after; expanding
// asks CanExpand (OnExpanding) and runs Expand (OnExpanded), so that a
// node may get its children only when it is first opened (HasChildren
// shows the button before there are any).

#include "platform/ui/ItemViews.h"
#include "platform/ui/StandardControl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomTreeView;
class TImageList;
class TTreeNodes;

class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes& Owner() const { return *owner_; }
    TCustomTreeView& TreeView() const;

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }
    // Pictures of the tree's image list: normal, when selected, the
    // overlay drawn over either (-1: none).
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int index);
    int OverlayIndex() const { return overlayIndex_; }
    void SetOverlayIndex(int index);
    // The node shows an expand button even before it has children.
    bool HasChildren() const { return hasChildren_ || !children_.empty(); }
    void SetHasChildren(bool value);
    // Drawn ghosted (a hidden file, a cut item).
    bool Cut() const { return cut_; }
    void SetCut(bool value);
    // Drawn as the target of a drag.
    bool DropTarget() const { return dropTarget_; }
    void SetDropTarget(bool value);

    bool Expanded() const { return expanded_; }
    void SetExpanded(bool value);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool Selected() const;
    void SetSelected(bool value);
    bool Focused() const { return Selected(); }
    // Every parent is expanded.
    bool IsVisible() const;

    // nullptr for a top-level node.
    TTreeNode* Parent() const;
    int Count() const { return static_cast<int>(children_.size()); }
    // Raises EListError out of range.
    TTreeNode* Item(int index) const;
    // The place among the parent's children.
    int Index() const { return index_; }
    // 0 for a top-level node.
    int Level() const;
    // The place in depth-first order among all nodes.
    int AbsoluteIndex() const;
    bool HasAsParent(const TTreeNode* node) const;
    TTreeNode* GetFirstChild() const;
    TTreeNode* GetLastChild() const;
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // Depth first, through every node.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The next node whose parents are all expanded.
    TTreeNode* GetNextVisible() const;

    // Frees the node (and its children).
    void Delete();
    void DeleteChildren();
    // Starts editing the text in place (false when refused or impossible).
    bool EditText();
    void EndEdit(bool cancel);
    // Expands the parents and scrolls the node into view.
    void MakeVisible();
    // The node's rectangle (its text's only, with textOnly) in client
    // coordinates; empty when it is not shown.
    TRect DisplayRect(bool textOnly) const;
    // Orders the children by text (ignoring ASCII case) or by compare
    // (negative, 0, positive), stably; recurse orders below them too.
    using TCompare = std::function<int(TTreeNode* a, TTreeNode* b)>;
    void AlphaSort(bool recurse = false);
    void CustomSort(const TCompare& compare, bool recurse = false);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    // Nodes are made in blocks by their TTreeNodes.
    TTreeNode() = default;

    TTreeNodes* owner_ = nullptr;
    TTreeNode* parent_ = nullptr; // the hidden root for top-level nodes
    std::vector<TTreeNode*> children_;
    int index_ = 0;
    std::string text_;
    void* data_ = nullptr;
    int imageIndex_ = 0;
    int selectedIndex_ = 0;
    int overlayIndex_ = -1;
    bool hasChildren_ = false;
    bool cut_ = false;
    bool dropTarget_ = false;
    bool expanded_ = false;
};

// The nodes of a tree view.  Changes inside BeginUpdate/EndUpdate reach
// the window once, at the end.
class TTreeNodes {
public:
    explicit TTreeNodes(TCustomTreeView& owner);
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TCustomTreeView& Owner() const { return owner_; }
    // Every node, at every level.
    int Count() const { return count_; }
    // The node at an absolute (depth-first) index; EListError out of range.
    TTreeNode* Item(int absoluteIndex) const;
    int TopLevelCount() const { return root_->Count(); }
    TTreeNode* TopLevelItem(int index) const { return root_->Item(index); }
    TTreeNode* GetFirstNode() const { return root_->GetFirstChild(); }

    // A node after the last sibling of sibling (at the top level without
    // one); First: before the first.
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
    // A child after parent's last (a top-level node without parent).
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
    // A node just before sibling (at the end of the top level without one).
    TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
    TTreeNode* InsertObject(TTreeNode* sibling, const std::string& text, void* data);
    void Delete(TTreeNode* node);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    // The hidden node above the top level (for the window's model).
    TTreeNode* Root() const { return root_.get(); }

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* insert(TTreeNode* parent, int index, const std::string& text, void* data);
    void remove(TTreeNode* node);
    void forgetNodes(TTreeNode* node);
    // Nodes come from blocks, and freed ones are used again: a tree of
    // many nodes costs few allocations.
    TTreeNode* allocate();
    void release(TTreeNode* node);

    TCustomTreeView& owner_;
    std::unique_ptr<TTreeNode> root_;
    std::vector<std::unique_ptr<TTreeNode[]>> blocks_;
    size_t usedInBlock_ = 0;
    std::vector<TTreeNode*> free_;
    int count_ = 0;
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
};

// What a tree view tells its window beyond TControlPeer.  Changes of the
// node structure come as a pair: before (the window's model announces
// them) and after.
class TTreeViewPeer {
public:
    virtual ~TTreeViewPeer() = default;
    virtual void NodesInserting(TTreeNode* parent, int first, int count) = 0;
    virtual void NodesInserted() = 0;
    virtual void NodesRemoving(TTreeNode* parent, int first, int count) = 0;
    virtual void NodesRemoved() = 0;
    // The children of parent were reordered (sorted).
    virtual void NodesReordered(TTreeNode* parent) = 0;
    // Everything may have changed (after an update).
    virtual void NodesReset() = 0;
    virtual void NodeChanged(TTreeNode* node) = 0;
    virtual void NodeExpanded(TTreeNode* node) = 0;
    virtual void SelectionChanged() = 0;
    virtual void MakeVisible(TTreeNode* node) = 0;
    virtual bool EditNode(TTreeNode* node) = 0;
    virtual void EndEdit(bool cancel) = 0;
    virtual TTreeNode* NodeAt(TPoint point) const = 0;
    virtual TRect NodeRect(TTreeNode* node, bool textOnly) const = 0;
    virtual TTreeNode* TopNode() const = 0;
    // Scrolls so that node is the first shown (as far as the view scrolls).
    virtual void SetTopNode(TTreeNode* node) = 0;
};

// TVN_ITEMEXPANDING's record: the node the user opens or closes.
struct TTreeExpandNotice {
    TTreeNode* Node = nullptr;
    bool Expand = true;
};

class TCustomTreeView : public TStandardControl {
public:
    using TNodeEvent = std::function<void(TPersistent* sender, TTreeNode* node)>;
    using TNodeAllowEvent = std::function<void(TPersistent* sender, TTreeNode* node, bool& allow)>;
    using TEditedEvent = std::function<void(TPersistent* sender, TTreeNode* node, std::string& text)>;
    using TCompareEvent = std::function<void(TPersistent* sender, TTreeNode* a, TTreeNode* b, int& compare)>;
    using TCustomDrawEvent = std::function<void(TPersistent* sender, const TRect& rect, bool& defaultDraw)>;
    using TCustomDrawItemEvent =
        std::function<void(TPersistent* sender, TTreeNode* node, TCustomDrawState state, bool& defaultDraw)>;

    explicit TCustomTreeView(TComponent* owner = nullptr);
    ~TCustomTreeView() override;
    std::string ClassName() const override { return "TCustomTreeView"; }

    TTreeNodes& Items() { return *items_; }
    // The canvas of the node being custom drawn (during OnCustomDraw...):
    // its font and brush are what the node is painted with.
    TCanvas& Canvas() { return drawCanvas_ != nullptr ? *drawCanvas_ : WindowCanvas(); }
    TTreeNode* Selected() const { return selected_; }
    // Asks CanChange, selects, runs Change; nullptr selects nothing.
    void SetSelected(TTreeNode* node);
    // The first node shown at the top; set, the tree scrolls (as far as it
    // can) to show a node whose parents are all expanded there.
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* node);
    // The node at a client point, or nullptr.
    TTreeNode* GetNodeAt(int x, int y) const;
    bool IsEditing() const { return editing_ != nullptr; }
    TTreeNode* EditingNode() const { return editing_; }
    void FullExpand();
    void FullCollapse();
    void AlphaSort(bool recurse = true);
    void CustomSort(const TTreeNode::TCompare& compare, bool recurse = true);

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool value);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool value);
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    // A right click selects the node under it.
    bool RightClickSelect() const { return rightClickSelect_; }
    void SetRightClickSelect(bool value) { rightClickSelect_ = value; }
    // Selecting a node expands it.
    bool AutoExpand() const { return autoExpand_; }
    void SetAutoExpand(bool value) { autoExpand_ = value; }
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    bool ToolTips() const { return toolTips_; }
    void SetToolTips(bool value) { toolTips_ = value; }
    int Indent() const { return indent_; }
    void SetIndent(int value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // stText and stBoth keep the children of every node ordered by text.
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType value);

    TNodeEvent OnChange;
    TNodeAllowEvent OnChanging;
    TNodeAllowEvent OnExpanding;
    TNodeEvent OnExpanded;
    TNodeAllowEvent OnCollapsing;
    TNodeEvent OnCollapsed;
    TNodeAllowEvent OnEditing;
    TEditedEvent OnEdited;
    TNodeEvent OnDeletion;
    TNodeEvent OnGetImageIndex;
    TNodeEvent OnGetSelectedIndex;
    TCompareEvent OnCompare;
    TCustomDrawEvent OnCustomDraw;
    TCustomDrawItemEvent OnCustomDrawItem;

    // --- the hooks (each runs its event) --------------------------------
    virtual bool CanChange(TTreeNode* node);
    virtual void Change(TTreeNode* node);
    virtual bool CanExpand(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    virtual bool CanEdit(TTreeNode* node);
    virtual void Edit(TTreeNode* node, std::string& text);
    // An in-place edit ended, whichever way: with a text (after Edit),
    // cancelled, or closed by the control as its node went.
    virtual void EditEnded() {}
    virtual void Delete(TTreeNode* node);
    // Asked when a node is painted: may set its ImageIndex / SelectedIndex.
    virtual void GetImageIndex(TTreeNode* node);
    virtual void GetSelectedIndex(TTreeNode* node);
    // Whether the control wants NM_CUSTOMDRAW for each node.
    virtual bool WantsItemDraw() const { return static_cast<bool>(OnCustomDrawItem); }

    // For the window: the node's text to show (the control may compute
    // it), and the picture index to show.
    virtual std::string DisplayText(TTreeNode* node) { return node->Text(); }
    int DisplayImage(TTreeNode* node);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    TTreeViewPeer* treePeer() const;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    void notifyCustomDraw(TMessage& message);
    void nodeChanged(TTreeNode* node);
    void nodeRemoving(TTreeNode* node);
    void nodeRemoved(TTreeNode* parent, bool selectedGone, int index);
    bool setExpanded(TTreeNode* node, bool expand);
    void sortChildren(TTreeNode* parent, bool recurse, const TTreeNode::TCompare& compare);
    int compareNodes(TTreeNode* a, TTreeNode* b);
    void imagesChanged(bool remeasure);

    std::unique_ptr<TTreeNodes> items_;
    TTreeNode* selected_ = nullptr;
    TTreeNode* editing_ = nullptr;
    TCanvas* drawCanvas_ = nullptr;
    TImageList* images_ = nullptr;
    TItemImagesLink imagesLink_{[this](bool remeasure) { imagesChanged(remeasure); }};
    bool showButtons_ = true;
    bool showLines_ = true;
    bool showRoot_ = true;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool rightClickSelect_ = false;
    bool autoExpand_ = false;
    bool hotTrack_ = false;
    bool rowSelect_ = false;
    bool toolTips_ = true;
    int indent_ = 19;
    TBorderStyle borderStyle_ = bsSingle;
    TSortType sortType_ = stNone;
};

class TTreeView : public TCustomTreeView {
public:
    explicit TTreeView(TComponent* owner = nullptr) : TCustomTreeView(owner) {}
    std::string ClassName() const override { return "TTreeView"; }
};

namespace wk {
inline constexpr std::string_view TreeView = "TreeView";
} // namespace wk
