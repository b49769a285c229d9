#include "toolbars/TBEditAction.h"

// ---------------------------------------------------------------------------
// TTBEditAction

template <class F> void TTBEditAction::tellEditLinks(F pass) {
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(Links()))
        if (auto* editLink = dynamic_cast<TTBEditItemActionLink*>(link))
            pass(*editLink);
}

void TTBEditAction::SetEditCaption(const std::string& value) {
    SetThroughLinks(editCaption_, value, &TTBEditItemActionLink::SetEditCaption);
}

void TTBEditAction::SetEditOptions(TTBEditItemOptions value) {
    SetThroughLinks(editOptions_, value, &TTBEditItemActionLink::SetEditOptions);
}

void TTBEditAction::SetEditWidth(int value) {
    SetThroughLinks(editWidth_, value, &TTBEditItemActionLink::SetEditWidth);
}

void TTBEditAction::SetText(const std::string& value) {
    SetThroughLinks(text_, value, &TTBEditItemActionLink::SetText);
}

void TTBEditAction::SetOnAcceptText(TTBAcceptTextEvent value) {
    tellEditLinks([&](TTBEditItemActionLink& link) { link.SetOnAcceptText(value); });
    OnAcceptText = std::move(value);
    Change();
}

void TTBEditActionAcceptCall::operator()(TTBEditItemViewer* sender, std::string& newText, bool& accept) const {
    if (Source == nullptr || !Source->OnAcceptText)
        return;
    // A copy runs: the handler may free the action, its own copy with it.
    TTBAcceptTextEvent handler = Source->OnAcceptText;
    handler(sender, newText, accept);
}

bool TBEditItemAcceptIsAction(const TTBEditItem& item, const TTBEditAction& action) {
    if (!item.OnAcceptText)
        return !action.OnAcceptText;
    if (!action.OnAcceptText)
        return false;
    if (const auto* call = item.OnAcceptText.target<TTBEditActionAcceptCall>())
        return call->Source == &action;
    const std::string handler = item.EventHandlerName("OnAcceptText");
    return !handler.empty() && handler == action.EventHandlerName("OnAcceptText");
}

// ---------------------------------------------------------------------------
// TTBEditItemActionLink

TTBEditItemActionLink::TTBEditItemActionLink(TTBEditItem* client)
    : TTBCustomItemActionLink(client), editItem_(client) {}

TTBEditAction* TTBEditItemActionLink::EditAction() const { return dynamic_cast<TTBEditAction*>(Action()); }

bool TTBEditItemActionLink::IsEditCaptionLinked() {
    return EditAction() != nullptr && editItem_->EditCaption() == EditAction()->EditCaption();
}

bool TTBEditItemActionLink::IsEditOptionsLinked() {
    return EditAction() != nullptr && editItem_->EditOptions() == EditAction()->EditOptions();
}

bool TTBEditItemActionLink::IsEditWidthLinked() {
    return EditAction() != nullptr && editItem_->EditWidth() == EditAction()->EditWidth();
}

bool TTBEditItemActionLink::IsOnAcceptTextLinked() {
    return EditAction() != nullptr && TBEditItemAcceptIsAction(*editItem_, *EditAction());
}

bool TTBEditItemActionLink::IsTextLinked() {
    return EditAction() != nullptr && editItem_->Text() == EditAction()->Text();
}

void TTBEditItemActionLink::SetEditCaption(const std::string& value) {
    if (IsEditCaptionLinked())
        editItem_->SetEditCaption(value);
}

void TTBEditItemActionLink::SetEditOptions(TTBEditItemOptions value) {
    if (IsEditOptionsLinked())
        editItem_->SetEditOptions(value);
}

void TTBEditItemActionLink::SetEditWidth(int value) {
    if (IsEditWidthLinked())
        editItem_->SetEditWidth(value);
}

void TTBEditItemActionLink::SetOnAcceptText(const TTBAcceptTextEvent& value) {
    if (!IsOnAcceptTextLinked())
        return;
    if (value)
        editItem_->OnAcceptText = TTBEditActionAcceptCall{EditAction()};
    else
        editItem_->OnAcceptText = nullptr;
    editItem_->SetEventHandlerName("OnAcceptText", "");
}

void TTBEditItemActionLink::SetText(const std::string& value) {
    if (IsTextLinked())
        editItem_->SetText(value);
}
