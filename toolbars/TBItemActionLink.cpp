#include "toolbars/TBItemActionLink.h"

#include "toolbars/TBItem.h"

void TTBActionExecuteCall::operator()(TTBCustomItem* sender) const {
    if (Source == nullptr || !Source->OnExecute)
        return;
    // A copy runs: the handler may free the action, its own copy with it.
    TActionEvent handler = Source->OnExecute;
    handler(sender);
}

bool TBItemClickIsActionExecute(const TTBCustomItem& item, const TBasicAction& action) {
    if (!item.OnClick)
        return !action.OnExecute;
    if (!action.OnExecute)
        return false;
    if (const auto* call = item.OnClick.target<TTBActionExecuteCall>())
        return call->Source == &action;
    const std::string handler = item.EventHandlerName("OnClick");
    return !handler.empty() && handler == action.EventHandlerName("OnExecute");
}

TTBCustomItemActionLink::TTBCustomItemActionLink(TTBCustomItem* client) : TActionLink(client), item_(client) {}

bool TTBCustomItemActionLink::IsAutoCheckLinked() {
    return TActionLink::IsAutoCheckLinked() && item_->AutoCheck == CustomAction()->AutoCheck();
}

bool TTBCustomItemActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && item_->Caption() == CustomAction()->Caption();
}

bool TTBCustomItemActionLink::IsCheckedLinked() {
    return TActionLink::IsCheckedLinked() && item_->Checked() == CustomAction()->Checked();
}

bool TTBCustomItemActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && item_->Enabled() == CustomAction()->Enabled();
}

bool TTBCustomItemActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && item_->HelpContext == CustomAction()->HelpContext();
}

bool TTBCustomItemActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && item_->Hint == CustomAction()->Hint();
}

bool TTBCustomItemActionLink::IsImageIndexLinked() {
    return TActionLink::IsImageIndexLinked() && item_->ImageIndex() == CustomAction()->ImageIndex();
}

bool TTBCustomItemActionLink::IsShortCutLinked() {
    return TActionLink::IsShortCutLinked() && item_->ShortCut == CustomAction()->ShortCut();
}

bool TTBCustomItemActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && item_->Visible() == CustomAction()->Visible();
}

bool TTBCustomItemActionLink::IsOnExecuteLinked() {
    return Action() != nullptr && TBItemClickIsActionExecute(*item_, *Action());
}

void TTBCustomItemActionLink::SetAutoCheck(bool value) {
    if (IsAutoCheckLinked())
        item_->AutoCheck = value;
}

void TTBCustomItemActionLink::SetCaption(const std::string& value) {
    if (IsCaptionLinked())
        item_->SetCaption(value);
}

void TTBCustomItemActionLink::SetChecked(bool value) {
    if (IsCheckedLinked())
        item_->SetChecked(value);
}

void TTBCustomItemActionLink::SetEnabled(bool value) {
    if (IsEnabledLinked())
        item_->SetEnabled(value);
}

void TTBCustomItemActionLink::SetHelpContext(int value) {
    if (IsHelpContextLinked())
        item_->HelpContext = value;
}

void TTBCustomItemActionLink::SetHint(const std::string& value) {
    if (IsHintLinked())
        item_->Hint = value;
}

void TTBCustomItemActionLink::SetImageIndex(int value) {
    if (IsImageIndexLinked())
        item_->SetImageIndex(value);
}

void TTBCustomItemActionLink::SetShortCut(TShortCut value) {
    if (IsShortCutLinked())
        item_->ShortCut = value;
}

void TTBCustomItemActionLink::SetVisible(bool value) {
    if (IsVisibleLinked())
        item_->SetVisible(value);
}

void TTBCustomItemActionLink::SetOnExecute(const TActionEvent& value) {
    if (!IsOnExecuteLinked())
        return;
    if (value)
        item_->OnClick = TTBActionExecuteCall{Action()};
    else
        item_->OnClick = nullptr;
    item_->SetEventHandlerName("OnClick", "");
}
