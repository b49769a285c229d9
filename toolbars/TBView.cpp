#include "toolbars/TBView.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/Control.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBTexts.h"

#include <algorithm>

namespace {

bool isControlItem(const TTBCustomItem* item) { return dynamic_cast<const TTBControlItem*>(item) != nullptr; }

} // namespace

TFont TBMenuFont() { return TBSystemSettings().MenuFont(); }

// ---------------------------------------------------------------------------
// Construction

TTBView::TTBView(TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem, TWinControl* window,
                 bool isToolbar, bool customizing, bool usePriorityList)
    : TComponent(owner), parentView_(parentView), parentItem_(parentItem), window_(window),
      isToolbar_(isToolbar), customizing_(customizing), usePriorityList_(usePriorityList) {
    if (parentItem_ != nullptr) {
        parentItem_->Subscribe(&parentSubscription_);
        parentItem_->FreeNotification(this);
    }
    // A popup's view may outlive the view it opened from for a moment
    // (while it is being made, a handler may free that one).
    if (parentView_ != nullptr)
        parentView_->FreeNotification(this);
    resolveCurParentItem();
}

TTBView::~TTBView() {
    Destroying();
    stopTimers();
    if (parentView_ != nullptr && parentView_->IsToolbar()) {
        parentView_->State |= vsNoAnimation;
        if (parentView_->openViewer_ != nullptr)
            parentView_->InvalidateViewer(parentView_->openViewer_);
    }
    CloseChildPopups();
    detachFromParentItem();
    selected_ = nullptr;
    priorityList_.clear();
    viewers_.clear();
}

void TTBView::detachFromParentItem() {
    if (curParentItem_ != nullptr) {
        curParentItem_->Unsubscribe(&curParentSubscription_);
        if (curParentItem_ != parentItem_)
            curParentItem_->RemoveFreeNotification(this);
        curParentItem_ = nullptr;
    }
    if (parentItem_ != nullptr) {
        parentItem_->Unsubscribe(&parentSubscription_);
        parentItem_->RemoveFreeNotification(this);
        parentItem_ = nullptr;
    }
}

void TTBView::resolveCurParentItem() {
    TTBCustomItem* source = parentItem_ != nullptr ? parentItem_->ChildSource() : nullptr;
    if (source == curParentItem_)
        return;
    CloseChildPopups();
    if (curParentItem_ != nullptr) {
        curParentItem_->Unsubscribe(&curParentSubscription_);
        if (curParentItem_ != parentItem_)
            curParentItem_->RemoveFreeNotification(this);
    }
    curParentItem_ = source;
    if (curParentItem_ != nullptr) {
        curParentItem_->Subscribe(&curParentSubscription_);
        if (curParentItem_ != parentItem_)
            curParentItem_->FreeNotification(this);
    }
    TComponentWatch self(this);
    RebuildViewers();
    if (!self.Alive() || curParentItem_ == nullptr || (curParentItem_->ComponentState() & csDesigning))
        return;
    // An update may free items (and their viewers) or this view.
    std::vector<TTBCustomItem*> shown;
    for (auto& viewer : viewers_)
        shown.push_back(viewer->Item());
    ForEachAlive(shown, [&](TTBCustomItem* item) {
        item->InitiateAction();
        return self.Alive();
    });
}

void TTBView::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == chevronParentView_)
        chevronParentView_ = nullptr;
    if (component == parentView_)
        parentView_ = nullptr;
    if (component == openViewerWindow_) {
        openViewerWindow_ = nullptr;
        openViewer_ = nullptr;
        openViewerView_ = nullptr;
    }
    if (component == parentItem_ || component == curParentItem_) {
        bool parentGone = component == parentItem_;
        CloseChildPopups();
        // The item losing the selection hears of it, and its handler may
        // free this view.
        TComponentWatch self(this);
        Select(nullptr);
        if (!self.Alive())
            return;
        priorityList_.clear();
        viewers_.clear();
        internalAtFront_ = internalAtEnd_ = 0;
        InvalidatePositions();
        if (!parentGone) {
            curParentItem_->Unsubscribe(&curParentSubscription_);
            curParentItem_ = nullptr;
            return;
        }
        detachFromParentItem();
        // Last: closing the parent's popups may free this view.
        if (parentView_ != nullptr)
            parentView_->CloseChildPopups();
    }
}

void TTBView::SetChevronParentView(TTBView* view) {
    if (chevronParentView_ != nullptr)
        chevronParentView_->RemoveFreeNotification(this);
    chevronParentView_ = view;
    if (view != nullptr)
        view->FreeNotification(this);
}

// ---------------------------------------------------------------------------
// Viewers

TTBItemViewer* TTBView::makeViewer(TTBCustomItem* item) {
    TTBItemViewerClass viewerClass = item->ViewerClassFor(this);
    return viewerClass(this, item);
}

void TTBView::addViewers(TTBCustomItem* item, int index, bool expandGroup, bool toPriorityList) {
    std::vector<std::unique_ptr<TTBItemViewer>> added;
    added.emplace_back(makeViewer(item));
    if (expandGroup) {
        // A group shows its children, or the items it links to.
        TTBCustomItem* source = item->ChildSource();
        for (int i = 0; i < source->Count(); ++i)
            added.emplace_back(makeViewer(source->ItemAt(i)));
    }
    if (toPriorityList)
        for (auto& viewer : added)
            priorityList_.push_back(viewer.get());
    viewers_.insert(viewers_.begin() + index, std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
}

void TTBView::RebuildViewers() {
    CloseChildPopups();
    // The item losing the selection hears of it, and its handler may free
    // this view.
    TComponentWatch self(this);
    Select(nullptr);
    if (!self.Alive())
        return;
    InvalidatePositions();
    priorityList_.clear();
    viewers_.clear();
    internalAtFront_ = 0;
    internalAtEnd_ = 0;
    if (TTBCustomItem* leading = GetLeadingItem()) {
        addViewers(leading, ViewerCount(), false, false);
        internalAtFront_ = 1;
    }
    if (curParentItem_ != nullptr)
        for (int i = 0; i < curParentItem_->Count(); ++i) {
            TTBCustomItem* child = curParentItem_->ItemAt(i);
            bool expand = !customizing_ && (child->ItemStyle & isRelayedGroup);
            addViewers(child, ViewerCount(), expand, usePriorityList_);
        }
    if (TTBCustomItem* trailing = GetTrailingGroupItem()) {
        for (int i = 0; i < trailing->Count(); ++i)
            addViewers(trailing->ItemAt(i), ViewerCount(), false, usePriorityList_);
        internalAtEnd_ += trailing->Count();
    }
    if (TTBCustomItem* chevron = GetChevronItem()) {
        addViewers(chevron, ViewerCount(), false, false);
        internalAtEnd_ += 1;
    }
}

void TTBView::insertViewerFor(TTBCustomItem* parent, TTBCustomItem* item) {
    int blockStart = internalAtFront_;
    int blockEnd = ViewerCount() - internalAtEnd_;
    if (parent != curParentItem_) {
        // Relayed from a group among the children: its block follows the
        // group's own viewer.
        if (customizing_)
            return;
        int group = -1;
        for (int i = blockStart; i < blockEnd && group < 0; ++i)
            if (viewers_[i]->Item() == parent || viewers_[i]->Item()->LinkSubitems() == parent)
                group = i;
        if (group < 0)
            return;
        blockStart = group + 1;
        int end = blockStart;
        while (end < blockEnd && viewers_[end]->Item()->Parent() == parent && viewers_[end]->Item() != item)
            ++end;
        blockEnd = end;
    }
    int at = blockEnd;
    int sibling = parent->IndexOf(item) + 1;
    if (sibling > 0 && sibling < parent->Count()) {
        TTBCustomItem* next = parent->ItemAt(sibling);
        for (int i = blockStart; i < blockEnd; ++i)
            if (viewers_[i]->Item() == next) {
                at = i;
                break;
            }
    }
    bool expand = parent == curParentItem_ && !customizing_ && (item->ItemStyle & isRelayedGroup);
    addViewers(item, at, expand, usePriorityList_);
    InvalidatePositions();
}

void TTBView::removeViewer(int index) {
    TTBItemViewer* viewer = viewers_[static_cast<size_t>(index)].get();
    if (viewer == openViewer_)
        CloseChildPopups();
    if (viewer == selected_) {
        selected_ = nullptr;
        capture_ = false;
    }
    priorityList_.erase(std::remove(priorityList_.begin(), priorityList_.end(), viewer), priorityList_.end());
    viewers_.erase(viewers_.begin() + index);
}

void TTBView::deleteViewersOf(TTBCustomItem* item) {
    int index = -1;
    for (int i = 0; i < ViewerCount(); ++i)
        if (viewers_[i]->Item() == item) {
            index = i;
            break;
        }
    if (index < 0)
        return;
    InvalidatePositions();
    removeViewer(index);
    if (item->ItemStyle & isRelayedGroup)
        while (index < ViewerCount() && viewers_[index]->Item()->Parent() == item->ChildSource())
            removeViewer(index);
}

void TTBView::replaceViewer(int index, TTBItemViewerClass viewerClass) {
    TTBItemViewer* old = viewers_[static_cast<size_t>(index)].get();
    if (old == openViewer_)
        CloseChildPopups();
    if (old == selected_) {
        selected_ = nullptr;
        capture_ = false;
    }
    std::unique_ptr<TTBItemViewer> viewer(viewerClass(this, old->Item()));
    std::replace(priorityList_.begin(), priorityList_.end(), old, viewer.get());
    viewers_[static_cast<size_t>(index)] = std::move(viewer);
}

TTBItemViewer* TTBView::FindViewerOf(TTBCustomItem* item) const {
    for (const auto& viewer : viewers_)
        if (viewer->Item() == item)
            return viewer.get();
    return nullptr;
}

TTBItemViewer* TTBView::ViewerOf(TTBCustomItem* item) const {
    TTBItemViewer* viewer = FindViewerOf(item);
    if (viewer == nullptr)
        throw ETBItemError(TBTexts::ViewerNotFound);
    return viewer;
}

int TTBView::IndexOfViewer(const TTBItemViewer* viewer) const {
    if (viewer == nullptr)
        return -1;
    for (int i = 0; i < ViewerCount(); ++i)
        if (viewers_[i].get() == viewer)
            return i;
    return -1;
}

TTBItemViewer* TTBView::ViewerAtPoint(TPoint point) {
    ValidatePositions();
    for (const auto& viewer : viewers_)
        if (viewer->Show && viewer->BoundsRect.Contains(point))
            return viewer.get();
    return nullptr;
}

bool TTBView::ShowsHints() const {
    if ((Style & vsShowHintsOnHover) || (State & vsAlwaysShowHints))
        return true;
    if (chevronParentView_ != nullptr)
        return chevronParentView_->ShowsHints();
    return IsToolbar() && window_ != nullptr && window_->ShowHint();
}

void TTBView::HintFor(TTBItemViewer* viewer, THintInfo& info) const {
    if (viewer == nullptr) {
        info.HintStr.clear();
        return;
    }
    info.CursorRect = viewer->BoundsRect;
    OffsetRect(info.CursorRect, WindowOrigin.X, WindowOrigin.Y);
    info.HintStr = viewer->Item()->HintCaption();
}

// ---------------------------------------------------------------------------
// Change notices

void TTBView::TSubscription::ItemNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind,
                                              TTBCustomItem* item, int index) {
    if (onParentItem_)
        view_.parentNotification(ancestor, relayed, kind, item, index);
    else
        view_.curParentNotification(ancestor, relayed, kind, item, index);
}

void TTBView::curParentNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind,
                                    TTBCustomItem* item, int index) {
    switch (kind) {
    case ckInserted:
        insertViewerFor(item->Parent() != nullptr ? item->Parent() : ancestor, item);
        break;
    case ckDeleting:
        deleteViewersOf(item);
        break;
    case ckLinkChanged:
        // A group among the children that links elsewhere shows other items.
        if (!relayed || (ancestor->Parent() == curParentItem_ && (ancestor->ItemStyle & isRelayedGroup)))
            RebuildViewers();
        break;
    case ckBeginUpdate:
        BeginUpdate();
        return;
    case ckEndUpdate:
        EndUpdate();
        return;
    case ckInvalidate:
        for (auto& viewer : viewers_)
            if (viewer->Item() == item)
                InvalidateViewer(viewer.get());
        break;
    case ckRecalcSize:
        InvalidatePositions();
        break;
    case ckViewerRefresh:
        InvalidatePositions();
        for (int i = 0; i < ViewerCount(); ++i)
            if (viewers_[i]->Item() == item)
                replaceViewer(i, item->ViewerClassFor(this));
        break;
    case ckNameChanged:
        return;
    case ckSubMenuImagesChanged:
        subMenuImagesChanged();
        break;
    }
    ValidatePositionsIfIdle();
}

void TTBView::parentNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                                 int index) {
    if (relayed)
        return;
    if (kind == ckLinkChanged)
        resolveCurParentItem();
    else if (kind == ckSubMenuImagesChanged && curParentItem_ != parentItem_)
        subMenuImagesChanged();
}

void TTBView::subMenuImagesChanged() {
    for (TTBView* view = this; view != nullptr; view = view->openViewerView_) {
        view->InvalidatePositions();
        view->ValidatePositionsIfIdle();
    }
}

// ---------------------------------------------------------------------------
// Layout

void TTBView::GetMargins(int orientation, TRect& margins) {
    margins = orientation == tbvoFloating ? Rect(4, 1, 4, 2) : TRect{};
}

void TTBView::InvalidatePositions() {
    if (!validated_)
        return;
    validated_ = false;
    if (window_ != nullptr)
        window_->Invalidate();
}

void TTBView::ValidatePositions() {
    if (!validated_)
        Relayout();
}

void TTBView::ValidatePositionsIfIdle() {
    if (updateCount_ > 0 || parentItem_ == nullptr || parentItem_->IsLoading())
        return;
    if (parentItem_->Owner() != nullptr && parentItem_->Owner()->IsLoading())
        return;
    ValidatePositions();
}

void TTBView::BeginUpdate() { ++updateCount_; }

void TTBView::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        ValidatePositionsIfIdle();
}

TSize TTBView::Relayout() {
    TSize size;
    LayoutAndRepaint(size);
    return size;
}

void TTBView::LayoutAndRepaint(TSize& newSize) {
    int lines = 1;
    bool changed = CalculatePositions(true, Orientation, WrapOffset, ChevronOffset, ChevronSize, BaseSize, newSize,
                                      lines);
    validated_ = true;
    ResizeWindow(newSize.cx, newSize.cy);
    if (changed && window_ != nullptr)
        window_->Invalidate();
}

void TTBView::ResizeWindow(int width, int height) {
    if (window_ == nullptr)
        return;
    int extraWidth = window_->Width() - window_->ClientWidth();
    int extraHeight = window_->Height() - window_->ClientHeight();
    window_->SetBounds(window_->Left(), window_->Top(), width + extraWidth, height + extraHeight);
}

bool TTBView::CalculatePositions(bool moveControls, int orientation, int wrapOffset, int chevronOffset,
                                 int chevronSize, TSize& baseSize, TSize& newSize, int& wrappedLines) {
    int savedOrientation = Orientation;
    Orientation = orientation;
    TTBCustomItem* chevron = GetChevronItem();
    std::vector<TTBLayoutItem> items(viewers_.size());
    for (int i = 0; i < ViewerCount(); ++i) {
        TTBItemViewer* viewer = viewers_[i].get();
        TTBCustomItem* item = viewer->Item();
        TTBLayoutItem& entry = items[i];
        entry.IsChevron = chevron != nullptr && item == chevron;
        entry.IsSeparator = (item->ItemStyle & isSeparator) != 0;
        entry.Flows = isToolbar_ || (item->EffectiveOptions() & tboToolbarSize);
        entry.Stretch = (item->ItemStyle & isStretch) != 0;
        entry.RightAlign = (item->ItemStyle & isRightAlign) != 0;
        entry.NoLineBreak = (item->ItemStyle & isNoLineBreak) != 0;
        if (auto* controlItem = dynamic_cast<TTBControlItem*>(item)) {
            entry.IsControl = true;
            TControl* control = controlItem->Control();
            entry.Candidate = chevronParentView_ == nullptr && control != nullptr && window_ != nullptr &&
                              control->Parent() == window_ &&
                              (control->Visible() || (control->ComponentState() & csDesigning));
            continue;
        }
        bool considered = true;
        if (chevronParentView_ != nullptr) {
            int there = i + chevronParentView_->internalAtFront_;
            considered = entry.IsSeparator ||
                         (there < chevronParentView_->ViewerCount() && chevronParentView_->Viewers(there)->OffEdge);
        }
        entry.Candidate = considered && item->Visible() && (customizing_ || !(item->ItemStyle & isRelayedGroup));
    }
    TTBLayoutParams params;
    params.Orientation = orientation;
    params.IsToolbar = isToolbar_;
    params.WrapOffset = wrapOffset;
    params.ChevronOffset = chevronOffset;
    params.ChevronSize = chevronSize;
    params.HasChevron = chevron != nullptr;
    GetMargins(orientation, params.Margins);
    params.StartSize = newSize;
    if (usePriorityList_)
        for (TTBItemViewer* viewer : priorityList_)
            params.PriorityOrder.push_back(IndexOfViewer(viewer));

    TCanvas canvas;
    TFont font = GetFont();
    canvas.SetFont(font);
    auto measure = [&](int index) -> TSize {
        TTBItemViewer* viewer = viewers_[static_cast<size_t>(index)].get();
        TTBCustomItem* item = viewer->Item();
        if (auto* controlItem = dynamic_cast<TTBControlItem*>(item))
            return {controlItem->Control()->Width(), controlItem->Control()->Height()};
        bool bold = (item->EffectiveOptions() & tboDefault) != 0;
        if (bold)
            canvas.Font().SetStyle(font.Style() | fsBold);
        int width = 0, height = 0;
        if (item->ViewerNeedsRebuild(this, viewer)) {
            if (moveControls) {
                replaceViewer(index, item->ViewerClassFor(this));
                viewers_[static_cast<size_t>(index)]->MeasureSize(canvas, width, height);
            } else {
                std::unique_ptr<TTBItemViewer> temporary(item->ViewerClassFor(this)(this, item));
                temporary->MeasureSize(canvas, width, height);
            }
        } else {
            viewer->MeasureSize(canvas, width, height);
        }
        if (bold)
            canvas.Font().SetStyle(font.Style());
        return {width, height};
    };
    TTBLayoutResult result = CalculateLayout(items, params, measure);
    Orientation = savedOrientation;
    baseSize = result.BaseSize;
    newSize = result.NewSize;
    wrappedLines = result.WrappedLines;
    if (!moveControls)
        return false;

    for (int i = 0; i < ViewerCount(); ++i) {
        auto* controlItem = dynamic_cast<TTBControlItem*>(viewers_[i]->Item());
        if (controlItem == nullptr || controlItem->Control() == nullptr)
            continue;
        TControl* control = controlItem->Control();
        const TTBLayoutPosition& pos = result.Positions[i];
        if (pos.Show) {
            if (control->BoundsRect() != pos.Rect)
                control->SetBounds(pos.Rect.Left, pos.Rect.Top, pos.Rect.Width(), pos.Rect.Height());
        } else if (pos.OffEdge && window_ != nullptr) {
            control->SetBounds(window_->ClientWidth(), window_->ClientHeight(), control->Width(), control->Height());
        }
    }
    if (result.Shrunk && chevron != nullptr)
        chevron->SetEnabled(result.ChevronEnabled);
    bool changed = false;
    std::vector<TWinControl*> movedInOrOut;
    for (int i = 0; i < ViewerCount(); ++i) {
        TTBItemViewer* viewer = viewers_[i].get();
        const TTBLayoutPosition& pos = result.Positions[i];
        if (viewer->BoundsRect != pos.Rect || viewer->Show != pos.Show || viewer->LineSep != pos.LineSep)
            changed = true;
        if (viewer->OffEdge != pos.OffEdge)
            if (auto* controlItem = dynamic_cast<TTBControlItem*>(viewer->Item()))
                if (auto* control = dynamic_cast<TWinControl*>(controlItem->Control()))
                    movedInOrOut.push_back(control);
        viewer->BoundsRect = pos.Rect;
        viewer->Show = pos.Show;
        viewer->OffEdge = pos.OffEdge;
        viewer->LineSep = pos.LineSep;
    }
    // A control behind the chevron leaves the tab order, and comes back
    // with its place on the bar.
    for (TWinControl* control : movedInOrOut)
        control->TabOrderChanged();
    return changed;
}

// ---------------------------------------------------------------------------
// Selection

void TTBView::CancelCapture() {
    if (!capture_)
        return;
    capture_ = false;
    if (selected_ != nullptr)
        selected_->CaptureLost();
}

void TTBView::Select(TTBItemViewer* viewer) {
    TTBItemViewer* old = selected_;
    if (viewer != old) {
        CancelCapture();
        selected_ = viewer;
    }
    bool over = false;
    if (viewer != nullptr && window_ != nullptr) {
        TPoint cursor = TBCursorPos();
        if (TBWindowAtPoint(cursor) == window_) {
            TPoint local = ScreenToView(cursor);
            if (ViewerAtPoint(local) == viewer) {
                TPoint inViewer{local.X - viewer->BoundsRect.Left, local.Y - viewer->BoundsRect.Top};
                over = !capture_ || viewer->InButtonPart(inViewer.X, inViewer.Y);
            }
        }
    }
    bool overChanged = over != mouseOverSelected_;
    mouseOverSelected_ = over;
    if (viewer == old) {
        if (overChanged && capture_ && viewer != nullptr && (viewer->Item()->ItemStyle & isRedrawOnMouseOverChange))
            InvalidateViewer(viewer);
        return;
    }
    const bool oldShown = old != nullptr && IndexOfViewer(old) >= 0;
    if (oldShown && (old->Item()->ItemStyle & isRedrawOnSelChange))
        InvalidateViewer(old);
    if (viewer != nullptr && (viewer->Item()->ItemStyle & isRedrawOnSelChange))
        InvalidateViewer(viewer);
    // The items hear of the change last: their handlers may free this
    // view, either viewer or anything else, and may select another.
    TComponentWatch self(this);
    TComponentWatch gaining(viewer);
    if (oldShown)
        old->HighlightLost();
    if (viewer != nullptr && self.Alive() && gaining.Alive() && selected_ == viewer)
        viewer->HighlightGained();
}

TTBItemViewer* TTBView::NextSelectable(TTBItemViewer* from, bool forward) {
    ValidatePositions();
    int count = ViewerCount();
    if (count == 0)
        return nullptr;
    int start = IndexOfViewer(from);
    if (start < 0)
        start = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        int i = ((start + (forward ? step : -step)) % count + count) % count;
        TTBItemViewer* viewer = viewers_[i].get();
        TTBCustomItem* item = viewer->Item();
        if (viewer->Show && item->Visible() && (item->ItemStyle & isSelectable))
            return viewer;
    }
    return nullptr;
}

void TTBView::SelectNext(bool forward) { Select(NextSelectable(selected_, forward)); }

TTBItemViewer* TTBView::FirstSelectable() {
    TTBItemViewer* first = NextSelectable(nullptr, true);
    for (TTBItemViewer* viewer = first; viewer != nullptr;) {
        if (!(viewer->Item()->ItemStyle & isNoSelectFirst))
            return viewer;
        viewer = NextSelectable(viewer, true);
        if (viewer == first)
            break;
    }
    return first;
}

void TTBView::MouseMoved(TPoint screen, bool force, bool hasPoint) {
    TTBItemViewer* candidate = (IsPopup() || (State & vsModal)) ? selected_ : nullptr;
    bool wasInside = (State & vsMouseInWindow) != 0;
    bool inside = hasPoint && window_ != nullptr && TBWindowAtPoint(screen) == window_;
    if (inside) {
        State |= vsMouseInWindow;
        if (force || selected_ != nullptr) {
            if (TTBItemViewer* under = ViewerAtPoint(ScreenToView(screen)))
                candidate = (under->Item()->ItemStyle & isSelectable) ? under : nullptr;
        }
    } else {
        State &= static_cast<TTBViewState>(~vsMouseInWindow);
    }
    if (capture_)
        candidate = selected_;
    if (IsPopup()) {
        if (!inside && wasInside && !capture_) {
            bool keep = openViewer_ != nullptr && candidate != nullptr && (candidate->Item()->ItemStyle & isSubmenu);
            if (!keep)
                candidate = nullptr;
        }
        if (inside && parentView_ != nullptr) {
            // The opener's selection runs its items' handlers, which may
            // free this view or the candidate.
            TComponentWatch self(this);
            TComponentWatch chosen(candidate);
            parentView_->Select(parentView_->openViewer_);
            if (!self.Alive())
                return;
            candidate = chosen.Get();
            if (parentView_ != nullptr) {
                StopViewTimer(parentView_->OpenTimer);
                StopViewTimer(parentView_->CloseTimer);
            }
        }
    }
    Select(candidate);
}

// ---------------------------------------------------------------------------
// Submenus

bool TTBView::OpenPopup(bool selectFirst) {
    StopViewTimer(OpenTimer);
    StopViewTimer(CloseTimer);
    if (selected_ != openViewer_) {
        CloseChildPopups();
        TTBItemViewer* viewer = selected_;
        if (viewer != nullptr && viewer->Item()->Enabled() && (viewer->Item()->ItemStyle & isSubmenu)) {
            // Opening runs the item's handlers, which may free this view.
            TComponentWatch self(this);
            viewer->Item()->OpenPopupWindow(this, viewer, IsPopup(), selectFirst, false, {0, 0}, 0);
            if (!self.Alive())
                return false;
        }
    }
    return openViewer_ != nullptr;
}

void TTBView::SetOpenViewer(TTBItemViewer* viewer, TTBPopupWindow* window) {
    openViewer_ = viewer;
    openViewerWindow_ = window;
    openViewerView_ = window != nullptr ? window->View() : nullptr;
    if (window != nullptr)
        window->FreeNotification(this);
}

void TTBView::OpenSelectedIfMenuMode() {
    if ((State & vsMenuMode) && selected_ != nullptr && !(selected_->Item()->ItemStyle & isNoAutoOpen))
        OpenPopup(true);
    else
        CloseChildPopups();
}

void TTBView::CloseChildPopups() {
    if (openViewerView_ != nullptr)
        openViewerView_->CloseChildPopups();
    TTBPopupWindow* window = openViewerWindow_;
    TTBItemViewer* opener = openViewer_;
    openViewer_ = nullptr;
    openViewerView_ = nullptr;
    openViewerWindow_ = nullptr;
    if (window != nullptr) {
        window->RemoveFreeNotification(this);
        delete window;
    }
    if (opener != nullptr && IsToolbar() && IndexOfViewer(opener) >= 0)
        InvalidateViewer(opener);
}

void TTBView::PromoteViewer(TTBItemViewer* viewer) {
    if (viewer == nullptr)
        return;
    if (chevronParentView_ != nullptr) {
        int there = IndexOfViewer(viewer) + chevronParentView_->internalAtFront_;
        if (there >= 0 && there < chevronParentView_->ViewerCount())
            chevronParentView_->PromoteViewer(chevronParentView_->Viewers(there));
        return;
    }
    if (usePriorityList_) {
        auto it = std::find(priorityList_.begin(), priorityList_.end(), viewer);
        if (it != priorityList_.end()) {
            priorityList_.erase(it);
            priorityList_.insert(priorityList_.begin(), viewer);
            if (!validated_ || viewer->OffEdge) {
                InvalidatePositions();
                ValidatePositionsIfIdle();
            }
        }
    }
    if (parentView_ != nullptr)
        parentView_->PromoteViewer(parentView_->openViewer_);
}

TTBItemViewer* TTBView::HighestPriorityViewer() const {
    auto usable = [](const TTBItemViewer* v) { return v->Show && !(v->Item()->ItemStyle & isSeparator); };
    if (usePriorityList_) {
        for (TTBItemViewer* viewer : priorityList_)
            if (usable(viewer))
                return viewer;
        return nullptr;
    }
    for (const auto& viewer : viewers_)
        if (usable(viewer.get()))
            return viewer.get();
    return nullptr;
}

int TTBView::MinimumShrunkLength() const {
    TTBItemViewer* viewer = HighestPriorityViewer();
    if (viewer == nullptr)
        return 0;
    const TRect& r = viewer->BoundsRect;
    return (Orientation == tbvoVertical ? r.Height() : r.Width()) + ChevronSize;
}

void TTBView::CollectOffEdgeControls(std::vector<TWinControl*>& list) const {
    for (const auto& viewer : viewers_) {
        auto* controlItem = dynamic_cast<TTBControlItem*>(viewer->Item());
        if (controlItem != nullptr && viewer->OffEdge)
            if (auto* control = dynamic_cast<TWinControl*>(controlItem->Control()))
                list.push_back(control);
    }
}

TTBView* TTBView::NearestToolbarView() {
    for (TTBView* view = this; view != nullptr; view = view->parentView_)
        if (view->IsToolbar())
            return view;
    return nullptr;
}

bool TTBView::IsAncestorOf(const TTBView* view) const {
    for (const TTBView* v = view; v != nullptr; v = v->parentView_)
        if (v == this)
            return true;
    return false;
}

TTBView* TTBView::DeepestView() {
    TTBView* view = this;
    while (view->openViewerView_ != nullptr)
        view = view->openViewerView_;
    return view;
}

// ---------------------------------------------------------------------------
// Painting

void TTBView::InvalidateViewer(TTBItemViewer* viewer) {
    if (!validated_ || window_ == nullptr || viewer == nullptr || !viewer->Show || viewer->BoundsRect.IsEmpty() ||
        isControlItem(viewer->Item()))
        return;
    viewer->NeedsOffscreenRepaint = true;
    TRect area = viewer->BoundsRect;
    OffsetRect(area, WindowOrigin.X, WindowOrigin.Y);
    window_->InvalidateRect(&area);
}

void TTBView::RepaintViewer(TTBItemViewer* viewer) {
    InvalidateViewer(viewer);
    if (window_ != nullptr && window_->HandleAllocated())
        window_->Update();
}

void TTBView::DrawViewers(TCanvas& canvas) {
    ValidatePositions();
    TPoint base = canvas.Origin();
    bool hadClip = canvas.HasClip();
    TRect oldClip = canvas.ClipRect();
    bool inOrder = (State & vsDrawInOrder) != 0;
    auto draw = [&](TTBItemViewer* viewer) {
        if (!viewer->Show || viewer->BoundsRect.IsEmpty() || isControlItem(viewer->Item()))
            return;
        const bool offscreen = viewer->NeedsOffscreenRepaint && window_ != nullptr;
        viewer->NeedsOffscreenRepaint = false;
        canvas.IntersectClipRect(viewer->BoundsRect);
        if (!canvas.ClipRect().IsEmpty()) {
            const TRect& r = viewer->BoundsRect;
            bool pushed = viewer == selected_ && (viewer == openViewer_ || (mouseOverSelected_ && capture_));
            bool disabledShadow = IsPopup() && !(viewer->Item()->EffectiveOptions() & tboToolbarStyle);
            if (offscreen) {
                // A viewer repainted alone is drawn whole into a bitmap over
                // the window's own background, then copied in one step, so
                // it never shows half drawn.
                TBitmap bitmap(r.Width(), r.Height());
                TCanvas& off = bitmap.Canvas();
                off.SetMeasurer(&canvas.Measurer());
                off.SetOrigin({-(r.Left + WindowOrigin.X), -(r.Top + WindowOrigin.Y)});
                window_->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&off));
                off.SetOrigin({0, 0});
                off.RemoveClip();
                viewer->Paint(off, Rect(0, 0, r.Width(), r.Height()), viewer == selected_, pushed, disabledShadow);
                off.Release();
                canvas.Draw(r.Left, r.Top, bitmap);
            } else {
                canvas.SetOrigin({base.X + r.Left, base.Y + r.Top});
                viewer->Paint(canvas, Rect(0, 0, r.Width(), r.Height()), viewer == selected_, pushed, disabledShadow);
                canvas.SetOrigin(base);
            }
        }
        if (hadClip)
            canvas.SetClipRect(oldClip);
        else
            canvas.RemoveClip();
    };
    for (const auto& viewer : viewers_)
        if (inOrder || viewer.get() != selected_)
            draw(viewer.get());
    if (!inOrder && selected_ != nullptr)
        draw(selected_);
    State &= static_cast<TTBViewState>(~vsDrawInOrder);
}

void TTBView::SetAccelsVisible(bool force) {
    bool visible = force || !(Style & vsMenuBar) || TBSystemSettings().KeyboardCues();
    if (visible == ((State & vsShowAccels) != 0))
        return;
    if (visible)
        State |= vsShowAccels;
    else
        State &= static_cast<TTBViewState>(~vsShowAccels);
    for (const auto& viewer : viewers_)
        if (viewer->ShowsCaption() && AccessKeyOf(viewer->CaptionText()) != 0)
            InvalidateViewer(viewer.get());
}

TFont TTBView::GetFont() { return TBMenuFont(); }

TFont TTBPopupView::GetFont() {
    if (Window() != nullptr)
        return Window()->Font();
    return TBMenuFont();
}

// ---------------------------------------------------------------------------
// Coordinates

TPoint TTBView::ScreenToView(TPoint screen) const {
    if (window_ == nullptr)
        return screen;
    TPoint client = window_->ScreenToClient(screen);
    return {client.X - WindowOrigin.X, client.Y - WindowOrigin.Y};
}

TPoint TTBView::ViewToScreen(TPoint point) const {
    if (window_ == nullptr)
        return point;
    return window_->ClientToScreen({point.X + WindowOrigin.X, point.Y + WindowOrigin.Y});
}

// ---------------------------------------------------------------------------
// Timers

void TTBView::stopTimers() {
    StopViewTimer(OpenTimer);
    StopViewTimer(CloseTimer);
}

void TTBView::TimerFired(uintptr_t id) {
    if (id == 0)
        return;
    if (id == OpenTimer) {
        StopViewTimer(CloseTimer);
        StopViewTimer(OpenTimer);
        CloseChildPopups();
        if (selected_ != nullptr && selected_ != openViewer_ && selected_->Item()->Enabled())
            OpenPopup(false);
    } else if (id == CloseTimer) {
        StopViewTimer(CloseTimer);
        CloseChildPopups();
    }
}

void TTBPopupView::ResizeWindow(int width, int height) {
    TWinControl* window = Window();
    if (window == nullptr)
        return;
    window->SetBounds(window->Left(), window->Top(), width + 2 * WindowOrigin.X, height + 2 * WindowOrigin.Y);
}
