#include "toolbars/TBItem.h"

#include "platform/ui/Application.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/Control.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBDeferredClick.h"
#include "toolbars/TBImageList.h"
#include "toolbars/TBItemActionLink.h"
#include "toolbars/TBTexts.h"

#include <algorithm>
#include <exception>

namespace {

int itemCount = 0;

// Deepest chain of links a shortcut search follows: a link cycle ends
// there instead of recursing for ever.
constexpr int kMaxLinkDepth = 25;

struct THookRecord {
    TTBParentClassTest ClassTest;
    TTBAddItemHook Hook;
    int UseCount;
};

std::vector<THookRecord>& addItemHooks() {
    static std::vector<THookRecord> records;
    return records;
}

// Runs a step; its exception is kept as the first failure (when there is
// none yet) instead of stopping the caller's other steps.
template <class Step> void collectFailure(std::exception_ptr& failure, Step&& step) {
    try {
        step();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
}

TTBCustomItem* findShortCut(TTBCustomItem* parent, TShortCut key, int linkDepth, TTBCustomItem*& top) {
    TTBCustomItem* source = parent;
    if (parent->LinkSubitems() != nullptr) {
        source = parent->LinkSubitems();
        if (++linkDepth > kMaxLinkDepth)
            return nullptr;
    }
    for (int i = 0; i < source->Count(); ++i) {
        TTBCustomItem* child = source->ItemAt(i);
        if (child->ShortCut == key) {
            top = nullptr;
            return child;
        }
        TTBCustomItem* below = nullptr;
        if (TTBCustomItem* found = findShortCut(child, key, linkDepth, below)) {
            top = child;
            return found;
        }
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

TTBCustomItem::TTBCustomItem(TComponent* owner) : TComponent(owner) {
    ++itemCount;
}

TTBCustomItem::~TTBCustomItem() {
    Destroying();
    // A subscriber told of the deletion below may still look at the item.
    freeChildren();
    // A subscriber's exception can not leave a destructor.
    try {
        if (parent_ != nullptr)
            parent_->Remove(this);
    } catch (...) {
    }
    SetLinkSubitems(nullptr);
    for (TTBCustomItem* linker : std::vector<TTBCustomItem*>(linkParents_))
        linker->SetLinkSubitems(nullptr);
    imagesLink_.reset();
    subMenuImagesLink_.reset();
    actionLink_.reset();
    subscribers_.clear();
    if (--itemCount == 0)
        ReleaseDeferredClickWindow();
}

int TBItemCount() { return itemCount; }

// ---------------------------------------------------------------------------
// Children

TTBCustomItem* TTBCustomItem::ItemAt(int index) const {
    if (index < 0 || index >= Count())
        throw ETBItemError(TBTexts::ItemIndexOutOfRange);
    return items_[static_cast<size_t>(index)];
}

bool TTBCustomItem::ContainsItem(const TTBCustomItem* item) const {
    for (const TTBCustomItem* p = item; p != nullptr; p = p->parent_)
        if (p == this)
            return true;
    return false;
}

void TTBCustomItem::Insert(int newIndex, TTBCustomItem* item) {
    if (item->parent_ != nullptr)
        throw ETBItemError(TBTexts::ItemAlreadyInserted);
    if (item->ContainsItem(this))
        throw ETBItemError(TBTexts::ItemInsertedIntoItself);
    if (newIndex < 0 || newIndex > Count())
        throw ETBItemError(TBTexts::ItemIndexOutOfRange);
    insertChild(newIndex, item);
}

void TTBCustomItem::insertChild(int index, TTBCustomItem* item) {
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    // Every notice reaches every subscriber whatever one of them raises, so
    // that no view is left locked or out of step; the first exception goes
    // on once the insertion is complete.
    std::exception_ptr failure;
    tell(failure, ckBeginUpdate, nullptr, 0);
    tell(failure, ckInserted, item, index);
    collectFailure(failure, [&] { item->recalcEffectiveOptions(); });
    tell(failure, ckEndUpdate, nullptr, 0);
    if (failure)
        std::rethrow_exception(failure);
}

void TTBCustomItem::tell(std::exception_ptr& failure, TTBChangeKind kind, TTBCustomItem* item, int index) {
    collectFailure(failure, [&] { Notify(kind, item, index); });
}

void TTBCustomItem::Delete(int index) {
    TTBCustomItem* item = ItemAt(index);
    std::exception_ptr failure;
    tell(failure, ckDeleting, item, index);
    // A subscriber may have moved things: find the child again.
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) {
        item->parent_ = nullptr;
        items_.erase(it);
        // Taken out, it no longer inherits anything.
        if (!item->IsDestroying())
            item->recalcEffectiveOptions();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TTBCustomItem::Remove(TTBCustomItem* item) {
    int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
}

int TTBCustomItem::IndexOf(const TTBCustomItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TTBCustomItem::Clear() { freeChildren(); }

void TTBCustomItem::freeChildren() {
    while (!items_.empty()) {
        TTBCustomItem* child = items_.back();
        if (!child->BeingFreed()) {
            delete child;
            continue;
        }
        // A child being freed already (a handler run as it went freed this
        // item) is only taken out: its own free goes on without it, and
        // deleting it again would do nothing and keep it here.
        try {
            Delete(Count() - 1);
        } catch (...) {
        }
        if (!items_.empty() && items_.back() == child) {
            items_.pop_back();
            child->parent_ = nullptr;
        }
    }
}

void TTBCustomItem::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex)
        return;
    TTBCustomItem* item = ItemAt(curIndex);
    if (newIndex < 0 || newIndex >= Count())
        throw ETBItemError(TBTexts::ItemIndexOutOfRange);
    std::exception_ptr failure;
    tell(failure, ckBeginUpdate, nullptr, 0);
    collectFailure(failure, [&] { Delete(curIndex); });
    if (item->parent_ == nullptr && newIndex <= Count())
        collectFailure(failure, [&] { insertChild(newIndex, item); });
    tell(failure, ckEndUpdate, nullptr, 0);
    if (failure)
        std::rethrow_exception(failure);
}

// ---------------------------------------------------------------------------
// Notification

void TTBCustomItem::Subscribe(TTBItemSubscriber* subscriber) {
    for (TSubscriberRecord& record : subscribers_)
        if (record.Subscriber == subscriber) {
            ++record.UseCount;
            return;
        }
    subscribers_.push_back({subscriber, 1});
}

void TTBCustomItem::Unsubscribe(TTBItemSubscriber* subscriber) {
    for (auto it = subscribers_.begin(); it != subscribers_.end(); ++it)
        if (it->Subscriber == subscriber) {
            if (--it->UseCount == 0)
                subscribers_.erase(it);
            return;
        }
}

void TTBCustomItem::Notify(TTBChangeKind kind, TTBCustomItem* item, int index) {
    notifyFrom(this, kind, item, index);
}

void TTBCustomItem::notifyFrom(TTBCustomItem* ancestor, TTBChangeKind kind, TTBCustomItem* item,
                               int index) {
    std::exception_ptr failure;
    if (ancestor == this) {
        if ((ItemStyle & isRelayedGroup) && parent_ != nullptr)
            collectFailure(failure, [&] { parent_->notifyFrom(ancestor, kind, item, index); });
        for (TTBCustomItem* linker : std::vector<TTBCustomItem*>(linkParents_)) {
            if (linker == parent_ ||
                std::find(linkParents_.begin(), linkParents_.end(), linker) == linkParents_.end())
                continue;
            collectFailure(failure, [&] { linker->notifyFrom(ancestor, kind, item, index); });
            // A group showing the linked items in its parent's views passes
            // their changes on to those views.
            if ((linker->ItemStyle & isRelayedGroup) && linker->parent_ != nullptr)
                collectFailure(failure, [&] { linker->parent_->notifyFrom(ancestor, kind, item, index); });
        }
    }
    // Every subscriber present when the notice starts is told once, unless
    // it unsubscribes before its turn; one that raises does not keep the
    // others from hearing of the change, and its exception goes on after.
    std::vector<TTBItemSubscriber*> snapshot;
    snapshot.reserve(subscribers_.size());
    for (const TSubscriberRecord& record : subscribers_)
        snapshot.push_back(record.Subscriber);
    for (TTBItemSubscriber* subscriber : snapshot) {
        bool present = std::any_of(subscribers_.begin(), subscribers_.end(),
                                   [&](const TSubscriberRecord& r) { return r.Subscriber == subscriber; });
        if (present)
            collectFailure(failure, [&] { subscriber->ItemNotification(ancestor, ancestor != this, kind, item, index); });
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TTBCustomItem::NotifyChange(bool needResize) {
    if (parent_ != nullptr)
        parent_->Notify(needResize ? ckRecalcSize : ckInvalidate, this, 0);
}

// ---------------------------------------------------------------------------
// Properties

void TTBCustomItem::SetCaption(const std::string& value) { changeProperty(caption_, value, true); }

void TTBCustomItem::SetChecked(bool value) {
    if (value == checked_)
        return;
    checked_ = value;
    NotifyChange(false);
    if (value)
        uncheckGroupSiblings();
}

void TTBCustomItem::uncheckGroupSiblings() {
    if (groupIndex_ == 0 || parent_ == nullptr)
        return;
    for (TTBCustomItem* sibling : std::vector<TTBCustomItem*>(parent_->items_))
        if (sibling != this && sibling->groupIndex_ == groupIndex_)
            sibling->SetChecked(false);
}

void TTBCustomItem::SetDisplayMode(TTBItemDisplayMode value) { changeProperty(displayMode_, value, true); }

void TTBCustomItem::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    enabled_ = value;
    AfterEnabledChange();
}

void TTBCustomItem::AfterEnabledChange() { NotifyChange(false); }

void TTBCustomItem::SetGroupIndex(int value) {
    if (value == groupIndex_)
        return;
    groupIndex_ = value;
    if (checked_)
        uncheckGroupSiblings();
}

void TTBCustomItem::SetImageIndex(int value) {
    if (value == imageIndex_)
        return;
    bool resize = (imageIndex_ < 0) != (value < 0);
    imageIndex_ = value;
    NotifyChange(resize);
}

void TTBCustomItem::watchImages(TImageList*& field, std::unique_ptr<TTBImageChangeLink>& link, TImageList* value) {
    if (field != nullptr)
        field->RemoveFreeNotification(this);
    field = value;
    if (!link)
        link = std::make_unique<TTBImageChangeLink>([this](TTBImageChangeLink& l) { ImageListChanged(&l); });
    link->SetImages(value);
    if (value != nullptr)
        value->FreeNotification(this);
}

void TTBCustomItem::SetImages(TImageList* value) {
    if (value == images_)
        return;
    int oldWidth = images_ != nullptr ? images_->Width() : 0;
    int oldHeight = images_ != nullptr ? images_->Height() : 0;
    watchImages(images_, imagesLink_, value);
    // A new size (or none) changes the item's size.
    bool resize = value == nullptr || value->Width() != oldWidth || value->Height() != oldHeight;
    NotifyChange(resize);
}

void TTBCustomItem::SetSubMenuImages(TImageList* value) {
    if (value == subMenuImages_)
        return;
    watchImages(subMenuImages_, subMenuImagesLink_, value);
    Notify(ckSubMenuImagesChanged, nullptr, 0);
}

void TTBCustomItem::ImageListChanged(TTBImageChangeLink* link) {
    if (link == imagesLink_.get()) {
        bool resize = link->Images() != nullptr &&
                      (link->Images()->Width() != link->LastWidth || link->Images()->Height() != link->LastHeight);
        link->RememberSize();
        NotifyChange(resize);
    } else if (link == subMenuImagesLink_.get()) {
        link->RememberSize();
        Notify(ckSubMenuImagesChanged, nullptr, 0);
    }
}

TTBItemOptions TTBCustomItem::normalized(TTBItemOptions options) {
    if (!(options & tboToolbarStyle))
        options &= static_cast<TTBItemOptions>(~tboToolbarSize);
    return options;
}

void TTBCustomItem::SetInheritOptions(bool value) {
    if (value == inheritOptions_)
        return;
    inheritOptions_ = value;
    recalcEffectiveOptions();
}

void TTBCustomItem::SetMaskOptions(TTBItemOptions value) {
    if (value == maskOptions_)
        return;
    maskOptions_ = value;
    recalcEffectiveOptions();
}

void TTBCustomItem::SetOptions(TTBItemOptions value) {
    value = normalized(value);
    if (value == options_)
        return;
    options_ = value;
    recalcEffectiveOptions();
}

void TTBCustomItem::recalcEffectiveOptions() {
    TTBItemOptions options = 0;
    if (inheritOptions_ && parent_ != nullptr)
        options = parent_->effectiveOptions_ & static_cast<TTBItemOptions>(~tboDefault);
    options = normalized(static_cast<TTBItemOptions>((options & ~maskOptions_) | options_));
    if (options != effectiveOptions_) {
        TTBItemOptions changed = options ^ effectiveOptions_;
        effectiveOptions_ = options;
        if (changed & kTBSizeOptions)
            NotifyChange(true);
    }
    for (TTBCustomItem* child : std::vector<TTBCustomItem*>(items_))
        if (child->inheritOptions_)
            child->recalcEffectiveOptions();
}

void TTBCustomItem::SetLinkSubitems(TTBCustomItem* value) {
    if (value == this)
        value = nullptr;
    if (value == linkSubitems_)
        return;
    if (linkSubitems_ != nullptr) {
        auto& theirs = linkSubitems_->linkParents_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        linkSubitems_->RemoveFreeNotification(this);
    }
    linkSubitems_ = value;
    if (value != nullptr) {
        value->linkParents_.push_back(this);
        value->FreeNotification(this);
    }
    if (!IsDestroying())
        Notify(ckLinkChanged, nullptr, 0);
}

void TTBCustomItem::SetVisible(bool value) { changeProperty(visible_, value, true); }

std::string TTBCustomItem::ShortCutCaption() const {
    size_t tab = caption_.find('\t');
    if (tab != std::string::npos)
        return caption_.substr(tab + 1);
    return ShortCutToText(ShortCut);
}

std::string TTBCustomItem::HintCaption() const {
    std::string hint = GetShortHint(Hint);
    // The tip of a command whose action has a shortcut names the shortcut,
    // when the action lets its hint show.
    auto* action = dynamic_cast<TCustomAction*>(Action());
    if (hint.empty() || action == nullptr)
        return hint;
    std::string offered = hint;
    TComponentWatch<TCustomAction> watch(action);
    if (action->DoHint(offered) && watch.Alive() && Application().HintShortCuts && action->ShortCut() != 0)
        return hint + " (" + ShortCutToText(action->ShortCut()) + ")";
    return hint;
}

void TTBCustomItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    auto& linkers = linkParents_;
    linkers.erase(std::remove(linkers.begin(), linkers.end(), component), linkers.end());
    if (component == images_)
        SetImages(nullptr);
    if (component == subMenuImages_)
        SetSubMenuImages(nullptr);
    if (component == linkSubitems_)
        SetLinkSubitems(nullptr);
    // Known by the item's own record, not the link's: an action being
    // freed may have cut its links before it tells its subscribers.
    if (component != nullptr && component == heldAction_)
        SetAction(nullptr);
}

// ---------------------------------------------------------------------------
// Action

TBasicAction* TTBCustomItem::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

std::unique_ptr<TTBCustomItemActionLink> TTBCustomItem::CreateActionLink() {
    return std::make_unique<TTBCustomItemActionLink>(this);
}

void TTBCustomItem::SetAction(TBasicAction* value) {
    if (value == nullptr) {
        if (heldAction_ != nullptr)
            letGoOfAction();
        actionLink_.reset();
        return;
    }
    if (value == heldAction_)
        return;
    if (heldAction_ != nullptr)
        letGoOfAction();
    if (!actionLink_)
        actionLink_ = CreateActionLink();
    actionLink_->SetAction(value);
    actionLink_->OnChange = [this](TBasicAction* sender) {
        if (sender == Action())
            ActionChange(sender, false);
    };
    heldAction_ = value;
    value->FreeNotification(this);
    ActionChange(value, value->IsLoading());
}

void TTBCustomItem::letGoOfAction() {
    TBasicAction* old = heldAction_;
    heldAction_ = nullptr;
    KeepActionHandlers(*old);
    if (actionLink_)
        actionLink_->SetAction(nullptr);
    old->RemoveFreeNotification(this);
}

void TTBCustomItem::KeepActionHandlers(TBasicAction& action) {
    if (const auto* call = OnClick.target<TTBActionExecuteCall>(); call != nullptr && call->Source == &action)
        OnClick = action.OnExecute;
}

void TTBCustomItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action == nullptr)
        return;
    if (!checkDefaults || !AutoCheck)
        AutoCheck = action->AutoCheck();
    if (!checkDefaults || caption_.empty())
        SetCaption(action->Caption());
    if (!checkDefaults || !checked_)
        SetChecked(action->Checked());
    if (!checkDefaults || enabled_)
        SetEnabled(action->Enabled());
    if (!checkDefaults || HelpContext == 0)
        HelpContext = action->HelpContext();
    if (!checkDefaults || Hint.empty())
        Hint = action->Hint();
    if (!checkDefaults || imageIndex_ == -1)
        SetImageIndex(action->ImageIndex());
    if (!checkDefaults || ShortCut == 0)
        ShortCut = action->ShortCut();
    if (!checkDefaults || visible_)
        SetVisible(action->Visible());
    if (!checkDefaults || !OnClick) {
        if (!TBItemClickIsActionExecute(*this, *action)) {
            if (action->OnExecute)
                OnClick = TTBActionExecuteCall{action};
            else
                OnClick = nullptr;
            SetEventHandlerName("OnClick", "");
        }
    }
}

void TTBCustomItem::InitiateAction() {
    if (actionLink_)
        actionLink_->Update();
}

void TTBCustomItem::Loaded() {
    TComponent::Loaded();
    if (TBasicAction* action = Action())
        ActionChange(action, true);
}

void TTBCustomItem::SetName(std::string name) {
    if (name == Name())
        return;
    TComponent::SetName(std::move(name));
    if (parent_ != nullptr)
        parent_->Notify(ckNameChanged, this, 0);
}

// ---------------------------------------------------------------------------
// Behaviour

void TTBCustomItem::BeforePopup(TTBCustomItem* sender, bool fromLink) {
    TComponentWatch self(this);
    if (OnPopup) {
        // A copy runs: the handler may free the item, its own copy with it.
        TTBPopupEvent handler = OnPopup;
        handler(sender, fromLink);
    }
    if (self.Alive() && !(ItemStyle & isDropDownCombo))
        Click();
}

void TTBCustomItem::Click() {
    TBasicAction* action = Action();
    auto* customAction = dynamic_cast<TCustomAction*>(action);
    // An action that checks itself checks the item through the link.
    if (AutoCheck && (customAction == nullptr || AutoCheck != customAction->AutoCheck()))
        SetChecked(!checked_);
    // The handler runs from a copy: it may free the item, its own copy with it.
    if (OnClick && action != nullptr && !TBItemClickIsActionExecute(*this, *action)) {
        TTBItemEvent handler = OnClick;
        handler(this);
        return;
    }
    if (action != nullptr && !(ComponentState() & csDesigning)) {
        actionLink_->Execute(this);
        return;
    }
    if (OnClick) {
        TTBItemEvent handler = OnClick;
        handler(this);
    }
}

bool TTBCustomItem::ViewerNeedsRebuild(TTBView* view, TTBItemViewer* viewer) { return false; }

// ---------------------------------------------------------------------------
// Shortcuts

TTBCustomItem* TTBCustomItem::FindShortCutItem(TShortCut key, TTBCustomItem*& top) {
    top = nullptr;
    if (key == 0)
        return nullptr;
    return findShortCut(this, key, 0, top);
}

bool TTBCustomItem::HandleShortCut(TShortCut key) {
    // Handlers run on the way may change the tree so that the item is no
    // longer where it was found: the search starts over once, not again.
    // They may free any item, this one too: the search goes on only while
    // the items it stands on live.
    TComponentWatch self(this);
    for (int pass = 0; pass < 2 && self.Alive(); ++pass) {
        TTBCustomItem* top = nullptr;
        if (FindShortCutItem(key, top) == nullptr)
            return false;
        TTBCustomItem* cur = this;
        for (;;) {
            if (!cur->Enabled())
                return false;
            TComponentWatch current(cur);
            TComponentWatch source(cur->ChildSource());
            ForEachAlive(source.Get()->Children(), [&](TTBCustomItem* item) {
                item->InitiateAction();
                return current.Alive() && self.Alive();
            });
            if (!current.Alive() || !self.Alive())
                return false;
            if (!(cur->ItemStyle & isRelayedGroup)) {
                if (source.Alive() && source.Get() != cur)
                    RunGuarded([&] { source.Get()->BeforePopup(cur, true); });
                if (current.Alive())
                    RunGuarded([&] { cur->BeforePopup(cur, false); });
                if (!current.Alive() || !self.Alive())
                    return false;
            }
            TTBCustomItem* found = cur->FindShortCutItem(key, top);
            if (found == nullptr)
                break; // the tree changed: once more from the root
            if (top != nullptr) {
                cur = top;
                continue;
            }
            if (!found->Enabled())
                return false;
            RunGuarded([&] { found->Click(); });
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Component streaming

void RegisterAddItemHook(TTBParentClassTest classTest, TTBAddItemHook hook) {
    auto& records = addItemHooks();
    for (THookRecord& record : records)
        if (record.ClassTest == classTest) {
            ++record.UseCount;
            record.Hook = std::move(hook);
            return;
        }
    records.push_back({classTest, std::move(hook), 1});
}

void UnregisterAddItemHook(TTBParentClassTest classTest) {
    auto& records = addItemHooks();
    for (auto it = records.begin(); it != records.end(); ++it)
        if (it->ClassTest == classTest) {
            if (--it->UseCount == 0)
                records.erase(it);
            return;
        }
}

void TTBCustomItem::SetParentComponent(TComponent* value) {
    if (parent_ != nullptr)
        parent_->Remove(this);
    if (value == nullptr)
        return;
    if (auto* item = dynamic_cast<TTBCustomItem*>(value)) {
        item->Add(this);
        return;
    }
    auto& records = addItemHooks();
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        if (it->ClassTest(value)) {
            TTBAddItemHook hook = it->Hook;
            hook(value, this);
            return;
        }
}

TComponent* TTBCustomItem::GetParentComponent() const {
    if (parent_ == nullptr)
        return nullptr;
    if (parent_->parentComponent_ != nullptr)
        return parent_->parentComponent_;
    return parent_;
}

void TTBCustomItem::GetChildren(const std::function<void(TComponent*)>& proc) const {
    for (TTBCustomItem* child : std::vector<TTBCustomItem*>(items_))
        proc(child);
}

void TTBCustomItem::SetChildOrder(TComponent* child, int order) {
    int index = IndexOf(dynamic_cast<TTBCustomItem*>(child));
    if (index >= 0)
        Move(index, order);
}

// ---------------------------------------------------------------------------
// Separators and control items

TTBSeparatorItem::TTBSeparatorItem(TComponent* owner) : TTBCustomItem(owner) {
    ItemStyle = isSeparator | isNotClickable;
}

void TTBSeparatorItem::SetBlank(bool value) { changeProperty(blank_, value, false); }

TTBControlItem::TTBControlItem(TComponent* owner) : TTBCustomItem(owner) {
    ItemStyle = static_cast<TTBItemStyle>((kTBDefaultItemStyle & ~isSelectable) | isNotClickable);
}

TTBControlItem::TTBControlItem(TComponent* owner, TControl* control) : TTBControlItem(owner) {
    control_ = control;
    if (control != nullptr)
        control->FreeNotification(this);
}

TTBControlItem::~TTBControlItem() {
    Destroying();
    TControl* control = control_;
    control_ = nullptr;
    if (control != nullptr) {
        control->RemoveFreeNotification(this);
        if (!KeepControl)
            delete control;
    }
}

void TTBControlItem::SetControl(TControl* value) {
    if (value == control_)
        return;
    if (control_ != nullptr)
        control_->RemoveFreeNotification(this);
    control_ = value;
    if (value != nullptr)
        value->FreeNotification(this);
    NotifyChange(true);
}

void TTBControlItem::Notification(TComponent* component, TOperation operation) {
    TTBCustomItem::Notification(component, operation);
    if (operation == opRemove && component == control_)
        control_ = nullptr;
}
