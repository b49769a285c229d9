#pragma once
// The link between an item and the action assigned to it (Action): the
// item shows the action's caption, state, image, hint and shortcut, and
// clicking it runs the action.  A property is linked while the item's
// value is the action's; the action's changes reach the item only through
// linked properties, and a form does not store linked values, since the
// action brings them back when it is read.

#include "platform/ui/Actions.h"

class TTBCustomItem;

// The click handler an item takes from its action: it runs the action's
// OnExecute as it is when the item is clicked.  Being of this type is what
// tells the handler from one of the item's own.
struct TTBActionExecuteCall {
    TBasicAction* Source;
    void operator()(TTBCustomItem* sender) const;
};

// Whether the item's click handler is its action's OnExecute: both empty,
// the item's taken from that action, or both bound by one handler name.
bool TBItemClickIsActionExecute(const TTBCustomItem& item, const TBasicAction& action);

class TTBCustomItemActionLink : public TActionLink {
public:
    explicit TTBCustomItemActionLink(TTBCustomItem* client);
    TTBCustomItem* Item() const { return item_; }

    bool IsAutoCheckLinked() override;
    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetAutoCheck(bool value) override;
    void SetCaption(const std::string& value) override;
    void SetChecked(bool value) override;
    void SetEnabled(bool value) override;
    void SetHelpContext(int value) override;
    void SetHint(const std::string& value) override;
    void SetImageIndex(int value) override;
    void SetShortCut(TShortCut value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(const TActionEvent& value) override;

private:
    TTBCustomItem* item_;
};
