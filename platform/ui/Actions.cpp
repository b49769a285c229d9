#include "platform/ui/Actions.h"

#include "platform/ui/ComponentWatch.h"

#include <algorithm>
#include <map>
#include <utility>

// ---------------------------------------------------------------------------
// TBasicAction

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() {
    // Clients that asked for free notices have let go by now; the rest are
    // cut off so that no link points at a freed action.
    Destroying();
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(links_))
        link->action_ = nullptr;
    links_.clear();
    SetActionComponent(nullptr);
}

bool TBasicAction::Execute() {
    if (!OnExecute)
        return false;
    // A copy runs: the handler may free the action, its own copy with it.
    TActionEvent handler = OnExecute;
    handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate)
        return false;
    TActionEvent handler = OnUpdate;
    handler(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* value) {
    if (actionComponent_ == value)
        return;
    if (actionComponent_ != nullptr)
        actionComponent_->RemoveFreeNotification(this);
    actionComponent_ = value;
    if (actionComponent_ != nullptr)
        actionComponent_->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == actionComponent_)
        actionComponent_ = nullptr;
}

void TBasicAction::SetOnExecute(TActionEvent value) {
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(links_))
        link->SetOnExecute(value);
    OnExecute = std::move(value);
    Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) { std::erase(links_, link); }

void TBasicAction::Change() {
    // A link's client may drop its action meanwhile.
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->Change();
}

// ---------------------------------------------------------------------------
// TBasicActionLink

TBasicActionLink::~TBasicActionLink() {
    if (action_ != nullptr)
        action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* value) {
    if (value == action_)
        return;
    if (action_ != nullptr)
        action_->UnRegisterChanges(this);
    action_ = value;
    if (action_ != nullptr)
        action_->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
    if (action_ == nullptr)
        return false;
    // The handler may free the action (with the form that owns it), the
    // component that runs it or this link (with its client); only what
    // still lives is touched afterwards.
    TComponentWatch<TBasicAction> action(action_);
    action.Get()->SetActionComponent(component);
    struct TReset {
        TComponentWatch<TBasicAction>& Action;
        ~TReset() {
            if (Action.Alive())
                Action.Get()->SetActionComponent(nullptr);
        }
    } reset{action};
    return action.Get()->Execute();
}

bool TBasicActionLink::Update() { return action_ != nullptr && action_->Update(); }

void TBasicActionLink::Change() {
    if (OnChange)
        OnChange(action_);
}

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

// ---------------------------------------------------------------------------
// TCustomAction

TCustomAction::TCustomAction(TComponent* owner) : TBasicAction(owner) {}

bool TCustomAction::Execute() {
    // The update, and a control's handler run as a client shows the new
    // check, may free the action (and the form that owns it).
    TComponentWatch self(this);
    Update();
    if (!self.Alive() || !enabled_)
        return false;
    if (autoCheck_)
        SetChecked(!checked_);
    return self.Alive() && TBasicAction::Execute();
}

void TCustomAction::SetAutoCheck(bool value) {
    SetThroughLinks(autoCheck_, value, &TActionLink::SetAutoCheck);
}

void TCustomAction::SetCaption(const std::string& value) {
    SetThroughLinks(caption_, value, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool value) {
    SetThroughLinks(checked_, value, &TActionLink::SetChecked);
}

void TCustomAction::SetEnabled(bool value) {
    SetThroughLinks(enabled_, value, &TActionLink::SetEnabled);
}

void TCustomAction::SetHelpContext(int value) {
    SetThroughLinks(helpContext_, value, &TActionLink::SetHelpContext);
}

void TCustomAction::SetHint(const std::string& value) {
    SetThroughLinks(hint_, value, &TActionLink::SetHint);
}

void TCustomAction::SetImageIndex(int value) {
    SetThroughLinks(imageIndex_, value, &TActionLink::SetImageIndex);
}

void TCustomAction::SetShortCut(TShortCut value) {
    SetThroughLinks(shortCut_, value, &TActionLink::SetShortCut);
}

void TCustomAction::SetVisible(bool value) {
    SetThroughLinks(visible_, value, &TActionLink::SetVisible);
}

bool TCustomAction::DoHint(std::string& hint) {
    bool canShow = true;
    if (OnHint)
        OnHint(hint, canShow);
    return canShow;
}

// ---------------------------------------------------------------------------
// Idle updates

namespace {

struct TIdleHandlers {
    std::map<int, std::function<void()>> Handlers;
    int NextId = 1;
};

TIdleHandlers& idleHandlers() {
    static TIdleHandlers handlers;
    return handlers;
}

} // namespace

int AddActionIdleHandler(std::function<void()> handler) {
    TIdleHandlers& all = idleHandlers();
    int id = all.NextId++;
    all.Handlers.emplace(id, std::move(handler));
    return id;
}

void RemoveActionIdleHandler(int id) { idleHandlers().Handlers.erase(id); }

void DoActionIdle() {
    // A handler may add or remove handlers (an update that frees a control).
    std::vector<int> ids;
    for (const auto& entry : idleHandlers().Handlers)
        ids.push_back(entry.first);
    for (int id : ids) {
        auto found = idleHandlers().Handlers.find(id);
        if (found == idleHandlers().Handlers.end())
            continue;
        std::function<void()> handler = found->second;
        handler();
    }
}
