#include "platform/ui/TreeView.h"

#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ComponentWatch.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TTreeNode

TCustomTreeView& TTreeNode::TreeView() const { return owner_->Owner(); }

void TTreeNode::SetText(const std::string& text) {
    if (text == text_)
        return;
    text_ = text;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetImageIndex(int index) {
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetSelectedIndex(int index) {
    if (index == selectedIndex_)
        return;
    selectedIndex_ = index;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetOverlayIndex(int index) {
    if (index == overlayIndex_)
        return;
    overlayIndex_ = index;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetHasChildren(bool value) {
    if (value == hasChildren_)
        return;
    hasChildren_ = value;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetCut(bool value) {
    if (value == cut_)
        return;
    cut_ = value;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetDropTarget(bool value) {
    if (value == dropTarget_)
        return;
    dropTarget_ = value;
    TreeView().nodeChanged(this);
}

void TTreeNode::SetExpanded(bool value) { TreeView().setExpanded(this, value); }

void TTreeNode::Expand(bool recurse) {
    TreeView().setExpanded(this, true);
    if (recurse)
        for (size_t i = 0; i < children_.size(); ++i)
            children_[i]->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
    if (recurse)
        for (size_t i = 0; i < children_.size(); ++i)
            children_[i]->Collapse(true);
    TreeView().setExpanded(this, false);
}

bool TTreeNode::Selected() const { return TreeView().Selected() == this; }

void TTreeNode::SetSelected(bool value) {
    if (value)
        TreeView().SetSelected(this);
    else if (Selected())
        TreeView().SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (!p->expanded_)
            return false;
    return true;
}

TTreeNode* TTreeNode::Parent() const { return parent_ == owner_->Root() ? nullptr : parent_; }

TTreeNode* TTreeNode::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return children_[static_cast<size_t>(index)]; 
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        ++level;
    return level;
}

int TTreeNode::AbsoluteIndex() const {
    int index = -1;
    for (const TTreeNode* node = this; node != nullptr; node = node->GetPrev())
        ++index;
    return index;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
    if (node == nullptr)
        return false;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (p == node)
            return true;
    return false;
}

TTreeNode* TTreeNode::GetFirstChild() const { return children_.empty() ? nullptr : children_.front();  }

TTreeNode* TTreeNode::GetLastChild() const { return children_.empty() ? nullptr : children_.back();  }

TTreeNode* TTreeNode::GetNextSibling() const {
    if (parent_ == nullptr || index_ + 1 >= parent_->Count())
        return nullptr;
    return parent_->children_[static_cast<size_t>(index_) + 1]; 
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    if (parent_ == nullptr || index_ == 0)
        return nullptr;
    return parent_->children_[static_cast<size_t>(index_) - 1]; 
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty())
        return children_.front(); 
    for (const TTreeNode* node = this; node != nullptr; node = node->Parent())
        if (TTreeNode* next = node->GetNextSibling())
            return next;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* previous = GetPrevSibling();
    if (previous == nullptr)
        return Parent();
    while (!previous->children_.empty())
        previous = previous->children_.back(); 
    return previous;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (expanded_ && !children_.empty())
        return children_.front(); 
    for (const TTreeNode* node = this; node != nullptr; node = node->Parent())
        if (TTreeNode* next = node->GetNextSibling())
            return next;
    return nullptr;
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
    owner_->BeginUpdate();
    try {
        while (!children_.empty())
            owner_->Delete(children_.back());
    } catch (...) {
        owner_->EndUpdate();
        throw;
    }
    owner_->EndUpdate();
}

bool TTreeNode::EditText() {
    TCustomTreeView& tree = TreeView();
    if (tree.ReadOnly() || tree.treePeer() == nullptr)
        return false;
    MakeVisible();
    return tree.treePeer()->EditNode(this);
}

void TTreeNode::EndEdit(bool cancel) {
    TCustomTreeView& tree = TreeView();
    if (tree.EditingNode() == this && tree.treePeer() != nullptr)
        tree.treePeer()->EndEdit(cancel);
}

void TTreeNode::MakeVisible() {
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        p->Expand(false);
    if (TTreeViewPeer* peer = TreeView().treePeer())
        peer->MakeVisible(this);
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    TTreeViewPeer* peer = TreeView().treePeer();
    return peer != nullptr ? peer->NodeRect(const_cast<TTreeNode*>(this), textOnly) : TRect{};
}

void TTreeNode::AlphaSort(bool recurse) { TreeView().sortChildren(this, recurse, nullptr); }

void TTreeNode::CustomSort(const TCompare& compare, bool recurse) { TreeView().sortChildren(this, recurse, compare); }

// ---------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView& owner) : owner_(owner), root_(new TTreeNode()) {
    root_->owner_ = this;
    root_->expanded_ = true;
}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::allocate() {
    constexpr size_t kBlock = 1024;
    TTreeNode* node;
    if (!free_.empty()) {
        node = free_.back();
        free_.pop_back();
    } else {
        if (blocks_.empty() || usedInBlock_ == kBlock) {
            blocks_.emplace_back(new TTreeNode[kBlock]);
            usedInBlock_ = 0;
        }
        node = &blocks_.back()[usedInBlock_++];
    }
    node->owner_ = this;
    return node;
}

void TTreeNodes::release(TTreeNode* node) {
    for (TTreeNode* child : node->children_)
        release(child);
    // Back to a fresh node's state, its vector's room kept for the next.
    node->children_.clear();
    node->text_.clear();
    node->parent_ = nullptr;
    node->index_ = 0;
    node->data_ = nullptr;
    node->imageIndex_ = node->selectedIndex_ = 0;
    node->overlayIndex_ = -1;
    node->hasChildren_ = node->cut_ = node->dropTarget_ = node->expanded_ = false;
    free_.push_back(node);
}

TTreeNode* TTreeNodes::Item(int absoluteIndex) const {
    if (absoluteIndex < 0 || absoluteIndex >= count_)
        throw EListError();
    TTreeNode* node = GetFirstNode();
    for (int i = 0; i < absoluteIndex; ++i)
        node = node->GetNext();
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
    return AddObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
    TTreeNode* parent = sibling != nullptr ? sibling->parent_ : root_.get();
    return insert(parent, parent->Count(), text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
    TTreeNode* parent = sibling != nullptr ? sibling->parent_ : root_.get();
    return insert(parent, 0, text, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    return AddChildObject(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
    TTreeNode* under = parent != nullptr ? parent : root_.get();
    return insert(under, under->Count(), text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
    return insert(parent != nullptr ? parent : root_.get(), 0, text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
    return InsertObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const std::string& text, void* data) {
    if (sibling == nullptr)
        return AddObject(nullptr, text, data);
    return insert(sibling->parent_, sibling->index_, text, data);
}

TTreeNode* TTreeNodes::insert(TTreeNode* parent, int index, const std::string& text, void* data) {
    TSortType sort = owner_.SortType();
    if (sort == stText || sort == stBoth) {
        // Kept in order: after the equal ones.
        auto& children = parent->children_;
        auto at = std::upper_bound(children.begin(), children.end(), text,
                                   [](const std::string& value, const TTreeNode* node) {
                                       return Utf8CompareText(value, node->text_) < 0;
                                   });
        index = static_cast<int>(at - children.begin());
    }
    TTreeNode* node = allocate();
    node->parent_ = parent;
    node->text_ = text;
    node->data_ = data;
    TTreeNode* made = node;
    TTreeViewPeer* peer = updateCount_ == 0 ? owner_.treePeer() : nullptr;
    TTreeNode* shownParent = parent == root_.get() ? nullptr : parent;
    if (peer != nullptr)
        peer->NodesInserting(shownParent, index, 1);
    parent->children_.insert(parent->children_.begin() + index, node);
    for (size_t i = static_cast<size_t>(index); i < parent->children_.size(); ++i)
        parent->children_[i]->index_ = static_cast<int>(i);
    ++count_;
    if (peer != nullptr)
        peer->NodesInserted();
    else
        changedWhileUpdating_ = true;
    return made;
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (node == nullptr || node == root_.get())
        return;
    remove(node);
}

void TTreeNodes::forgetNodes(TTreeNode* node) {
    // The children go first, each told to the control.
    for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
        forgetNodes(*it);
    owner_.nodeRemoving(node);
}

void TTreeNodes::remove(TTreeNode* node) {
    bool selectedGone = owner_.selected_ == node || (owner_.selected_ != nullptr && owner_.selected_->HasAsParent(node));
    forgetNodes(node);
    TTreeNode* parent = node->parent_;
    int index = node->index_;
    int subtree = 1;
    for (TTreeNode* n = node->GetFirstChild(); n != nullptr && n->HasAsParent(node); n = n->GetNext())
        ++subtree;
    TTreeViewPeer* peer = updateCount_ == 0 ? owner_.treePeer() : nullptr;
    TTreeNode* shownParent = parent == root_.get() ? nullptr : parent;
    if (peer != nullptr)
        peer->NodesRemoving(shownParent, index, 1);
    if (selectedGone)
        owner_.selected_ = nullptr;
    TTreeNode* gone = parent->children_[static_cast<size_t>(index)];
    parent->children_.erase(parent->children_.begin() + index);
    for (size_t i = static_cast<size_t>(index); i < parent->children_.size(); ++i)
        parent->children_[i]->index_ = static_cast<int>(i);
    count_ -= subtree;
    if (peer != nullptr)
        peer->NodesRemoved();
    else
        changedWhileUpdating_ = true;
    release(gone);
    owner_.nodeRemoved(shownParent, selectedGone, index);
}

void TTreeNodes::Clear() {
    if (root_->children_.empty())
        return;
    for (auto it = root_->children_.rbegin(); it != root_->children_.rend(); ++it)
        forgetNodes(*it);
    TTreeViewPeer* peer = updateCount_ == 0 ? owner_.treePeer() : nullptr;
    int count = root_->Count();
    if (peer != nullptr)
        peer->NodesRemoving(nullptr, 0, count);
    owner_.selected_ = nullptr;
    for (TTreeNode* node : root_->children_)
        release(node);
    root_->children_.clear();
    count_ = 0;
    if (peer != nullptr) {
        peer->NodesRemoved();
        peer->SelectionChanged();
    } else {
        changedWhileUpdating_ = true;
    }
}

void TTreeNodes::BeginUpdate() { ++updateCount_; }

void TTreeNodes::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0)
        return;
    if (changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        if (TTreeViewPeer* peer = owner_.treePeer())
            peer->NodesReset();
    }
}

// ---------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TStandardControl(owner), items_(std::make_unique<TTreeNodes>(*this)) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
    Destroying();
    // OnDeletion still hears of every node, so that handlers free their
    // data.
    items_->Clear();
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
    TStandardControl::CreateParams(params);
    params.Kind = std::string(wk::TreeView);
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

TTreeViewPeer* TCustomTreeView::treePeer() const { return dynamic_cast<TTreeViewPeer*>(Peer()); }

void TCustomTreeView::nodeChanged(TTreeNode* node) {
    if (TTreeViewPeer* peer = treePeer(); peer != nullptr && !items_->Updating())
        peer->NodeChanged(node);
}

void TCustomTreeView::nodeRemoving(TTreeNode* node) {
    if (editing_ == node) {
        if (TTreeViewPeer* peer = treePeer())
            peer->EndEdit(true);
        editing_ = nullptr;
    }
    Delete(node);
}

void TCustomTreeView::nodeRemoved(TTreeNode* parent, bool selectedGone, int index) {
    if (!selectedGone || IsDestroying())
        return;
    // The selection moves to the node that took the place, the one before
    // it, or the parent.
    TTreeNode* under = parent != nullptr ? parent : items_->Root();
    TTreeNode* next = nullptr;
    if (index < under->Count())
        next = under->Item(index);
    else if (index > 0)
        next = under->Item(index - 1);
    else
        next = parent;
    if (TTreeViewPeer* peer = treePeer())
        peer->SelectionChanged();
    if (next != nullptr)
        SetSelected(next);
    else
        Change(nullptr);
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
    if (node == selected_)
        return;
    // Each handler may free the tree.
    TComponentWatch self(this);
    if (!CanChange(node) || !self.Alive())
        return;
    // A node is shown when it is selected.
    if (node != nullptr)
        for (TTreeNode* p = node->Parent(); p != nullptr; p = p->Parent()) {
            if (!p->expanded_)
                setExpanded(p, true);
            if (!self.Alive())
                return;
        }
    selected_ = node;
    if (TTreeViewPeer* peer = treePeer())
        peer->SelectionChanged();
    Change(node);
    if (self.Alive() && autoExpand_ && node != nullptr && node == selected_)
        setExpanded(node, true);
}

bool TCustomTreeView::setExpanded(TTreeNode* node, bool expand) {
    if (node == nullptr || node == items_->Root())
        return false;
    if (node->expanded_ == expand)
        return true;
    // Each handler may free the tree: then nothing more is done, and the
    // caller hears false.
    TComponentWatch self(this);
    if (expand ? !CanExpand(node) : !CanCollapse(node))
        return false;
    if (!self.Alive())
        return false;
    node->expanded_ = expand;
    if (TTreeViewPeer* peer = treePeer())
        peer->NodeExpanded(node);
    if (expand) {
        Expand(node);
    } else {
        Collapse(node);
        // The selection does not hide inside a collapsed node.
        if (self.Alive() && selected_ != nullptr && selected_->HasAsParent(node))
            SetSelected(node);
    }
    return self.Alive();
}

TTreeNode* TCustomTreeView::TopItem() const {
    TTreeViewPeer* peer = treePeer();
    return peer != nullptr ? peer->TopNode() : items_->GetFirstNode();
}

void TCustomTreeView::SetTopItem(TTreeNode* node) {
    if (TTreeViewPeer* peer = treePeer(); peer != nullptr && node != nullptr && node->IsVisible())
        peer->SetTopNode(node);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
    TTreeViewPeer* peer = treePeer();
    return peer != nullptr ? peer->NodeAt({x, y}) : nullptr;
}

void TCustomTreeView::FullExpand() {
    for (TTreeNode* node = items_->GetFirstNode(); node != nullptr; node = node->GetNextSibling())
        node->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (TTreeNode* node = items_->GetFirstNode(); node != nullptr; node = node->GetNextSibling())
        node->Collapse(true);
}

int TCustomTreeView::compareNodes(TTreeNode* a, TTreeNode* b) {
    int compare = 0;
    if (OnCompare)
        OnCompare(this, a, b, compare);
    else
        compare = Utf8CompareText(a->Text(), b->Text());
    return compare;
}

void TCustomTreeView::sortChildren(TTreeNode* parent, bool recurse, const TTreeNode::TCompare& compare) {
    TTreeNode* under = parent != nullptr ? parent : items_->Root();
    auto& children = under->children_;
    std::stable_sort(children.begin(), children.end(),
                     [&](TTreeNode* a, TTreeNode* b) {
                         int order = compare ? compare(a, b) : compareNodes(a, b);
                         return order < 0;
                     });
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->index_ = static_cast<int>(i);
    if (recurse)
        for (TTreeNode* child : children)
            sortChildren(child, true, compare);
    if (parent == nullptr || !recurse || parent->Parent() == nullptr) {
        if (TTreeViewPeer* peer = treePeer(); peer != nullptr && !items_->Updating())
            peer->NodesReordered(parent);
        else
            items_->changedWhileUpdating_ = true;
    }
}

void TCustomTreeView::AlphaSort(bool recurse) { sortChildren(nullptr, recurse, nullptr); }

void TCustomTreeView::CustomSort(const TTreeNode::TCompare& compare, bool recurse) {
    sortChildren(nullptr, recurse, compare);
}

int TCustomTreeView::DisplayImage(TTreeNode* node) {
    if (node == selected_) {
        GetSelectedIndex(node);
        return node->SelectedIndex();
    }
    GetImageIndex(node);
    return node->ImageIndex();
}

// --- options ---------------------------------------------------------------------

void TCustomTreeView::SetImages(TImageList* images) {
    if (!SetComponentReference(*this, images_, images))
        return;
    imagesLink_.Watch(images);
    PeerChanged(paAppearance);
}

// New pictures need a paint of the rows; pictures of a new size change
// the rows themselves.
void TCustomTreeView::imagesChanged(bool remeasure) {
    if (remeasure) {
        PeerChanged(paAppearance);
    } else {
        Invalidate();
    }
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
    TStandardControl::Notification(component, operation);
    if (operation == opRemove && component == images_) {
        images_ = nullptr;
        imagesLink_.Watch(nullptr);
        PeerChanged(paAppearance);
    }
}

void TCustomTreeView::SetShowButtons(bool value) {
    if (value == showButtons_)
        return;
    showButtons_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetShowLines(bool value) {
    if (value == showLines_)
        return;
    showLines_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetShowRoot(bool value) {
    if (value == showRoot_)
        return;
    showRoot_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetHideSelection(bool value) {
    if (value == hideSelection_)
        return;
    hideSelection_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetHotTrack(bool value) {
    if (value == hotTrack_)
        return;
    hotTrack_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetRowSelect(bool value) {
    if (value == rowSelect_)
        return;
    rowSelect_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetIndent(int value) {
    value = std::max(0, value);
    if (value == indent_)
        return;
    indent_ = value;
    PeerChanged(paOptions);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomTreeView::SetSortType(TSortType value) {
    if (value == sortType_)
        return;
    sortType_ = value;
    if (value == stText || value == stBoth)
        AlphaSort(true);
}

// --- hooks -------------------------------------------------------------------------

bool TCustomTreeView::CanChange(TTreeNode* node) { return AskEvent(OnChanging, this, node); }
void TCustomTreeView::Change(TTreeNode* node) { FireEvent(OnChange, this, node); }
bool TCustomTreeView::CanExpand(TTreeNode* node) { return AskEvent(OnExpanding, this, node); }
void TCustomTreeView::Expand(TTreeNode* node) { FireEvent(OnExpanded, this, node); }
bool TCustomTreeView::CanCollapse(TTreeNode* node) { return AskEvent(OnCollapsing, this, node); }
void TCustomTreeView::Collapse(TTreeNode* node) { FireEvent(OnCollapsed, this, node); }
bool TCustomTreeView::CanEdit(TTreeNode* node) { return AskEvent(OnEditing, this, node); }
void TCustomTreeView::Edit(TTreeNode* node, std::string& text) { FireEvent(OnEdited, this, node, text); }
void TCustomTreeView::Delete(TTreeNode* node) { FireEvent(OnDeletion, this, node); }
void TCustomTreeView::GetImageIndex(TTreeNode* node) { FireEvent(OnGetImageIndex, this, node); }
void TCustomTreeView::GetSelectedIndex(TTreeNode* node) { FireEvent(OnGetSelectedIndex, this, node); }

// --- notices -----------------------------------------------------------------------

void TCustomTreeView::notifyCustomDraw(TMessage& message) {
    auto& info = *reinterpret_cast<TCustomDrawInfo*>(message.LParam);
    bool defaultDraw = true;
    TScopedValue<TCanvas*> drawing(drawCanvas_, info.Canvas);
    if (info.Stage == cdPrePaint) {
        if (OnCustomDraw)
            OnCustomDraw(this, info.Rect, defaultDraw);
        message.Result = !defaultDraw ? CDRF_SKIPDEFAULT : WantsItemDraw() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    } else if (info.Stage == cdItemPrePaint) {
        if (OnCustomDrawItem)
            OnCustomDrawItem(this, static_cast<TTreeNode*>(info.Node), info.State, defaultDraw);
        message.Result = defaultDraw ? CDRF_NEWFONT : CDRF_SKIPDEFAULT;
    } else {
        message.Result = CDRF_DODEFAULT;
    }
}

void TCustomTreeView::Dispatch(TMessage& message) {
    if (message.Msg == WM_RBUTTONDOWN && rightClickSelect_) {
        TPoint at = PointFromLParam(message.LParam);
        if (TTreeNode* node = GetNodeAt(at.X, at.Y))
            SetSelected(node);
    }
    if (message.Msg == WM_GETDLGCODE && IsEditing()) {
        // The box of a rename in place takes every key: Return and Escape
        // end the rename, not the dialog around the view.
        message.Result = DLGC_WANTALLKEYS;
        return;
    }
    if (message.Msg != CN_NOTIFY) {
        TStandardControl::Dispatch(message);
        return;
    }
    message.Result = 0;
    auto* node = reinterpret_cast<TTreeNode*>(message.LParam);
    switch (static_cast<int>(message.WParam)) {
    case TVN_SELCHANGING:
        message.Result = CanChange(node) ? 0 : 1;
        break;
    case TVN_SELCHANGED:
        SetSelected(node);
        break;
    case TVN_ITEMEXPANDING: {
        auto& notice = *reinterpret_cast<TTreeExpandNotice*>(message.LParam);
        bool done = setExpanded(notice.Node, notice.Expand) && notice.Node->Expanded() == notice.Expand;
        message.Result = done ? 0 : 1;
        break;
    }
    case TVN_BEGINLABELEDIT:
        if (readOnly_ || node == nullptr || !CanEdit(node)) {
            message.Result = 1;
        } else {
            editing_ = node;
        }
        break;
    case TVN_ENDLABELEDIT: {
        auto& edit = *reinterpret_cast<TLabelEdit*>(message.LParam);
        auto* edited = static_cast<TTreeNode*>(edit.Item);
        editing_ = nullptr;
        if (edit.Text != nullptr && edited != nullptr) {
            std::string text = *edit.Text;
            Edit(edited, text);
            edited->SetText(text);
            message.Result = 1;
        }
        EditEnded();
        break;
    }
    case NM_CUSTOMDRAW:
        notifyCustomDraw(message);
        break;
    default:
        break;
    }
}
