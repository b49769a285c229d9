#pragma once
// Actions: one command (its caption, state, image, shortcut and handler)
// that several controls show and run, such as a menu item and a toolbar
// button.
//
// A control that follows an action holds an action link.  The action
// keeps the list of its links: when one of its properties changes it
// first hands the new value to every link, which writes it through to its
// control while the control still shows the action's old value (the
// property is "linked"), and then tells every link that it changed.  A
// control value that differs from the action's has been set on the
// control itself and is no longer linked; a form stores only such values.
//
// Running a control that has an action runs the action (Execute: its
// OnExecute); before that, and whenever the program is idle, the action
// is asked to bring its state up to date (Update: its OnUpdate), so a
// handler can enable or check it from the program's state.

#include "platform/base/Component.h"
#include "platform/ui/Keys.h"

#include <functional>
#include <string>
#include <vector>

class TBasicActionLink;

using TActionEvent = std::function<void(TPersistent* sender)>;
// May change the hint shown for an action, or refuse to show one.
using TActionHintEvent = std::function<void(std::string& hint, bool& canShow)>;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner = nullptr);
    ~TBasicAction() override;
    std::string ClassName() const override { return "TBasicAction"; }

    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();

    // The component that runs the action at the moment (the control
    // clicked), else nullptr.
    TComponent* ActionComponent() const { return actionComponent_; }
    void SetActionComponent(TComponent* value);

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    // Changes the handler, handing it to the links first.
    void SetOnExecute(TActionEvent value);

    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);
    const std::vector<TBasicActionLink*>& Links() const { return links_; }

protected:
    // Tells every link that the action changed.
    virtual void Change();
    // A property's setter: a new value goes to each link of kind TLink
    // (through its setter pass) before the field stores it, then the
    // action tells of the change.
    template <class TLink, class TValue, class TArg>
    void SetThroughLinks(TValue& field, const TValue& value, void (TLink::*pass)(TArg)) {
        if (value == field)
            return;
        for (TBasicActionLink* link : std::vector<TBasicActionLink*>(Links()))
            if (auto* typed = dynamic_cast<TLink*>(link))
                (typed->*pass)(value);
        field = value;
        Change();
    }
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TBasicActionLink*> links_;
    TComponent* actionComponent_ = nullptr;
};

// The link of one client (a control, a menu item) to an action.
class TBasicActionLink {
public:
    explicit TBasicActionLink(TPersistent* client) : client_(client) {}
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TPersistent* Client() const { return client_; }
    TBasicAction* Action() const { return action_; }
    // Leaves the old action's links and joins the new one's.
    void SetAction(TBasicAction* value);

    // Runs the action with component as its ActionComponent meanwhile.
    virtual bool Execute(TComponent* component = nullptr);
    virtual bool Update();

    // Whether the client's handler is the action's.
    virtual bool IsOnExecuteLinked() { return true; }
    // The action's handler is about to become value.
    virtual void SetOnExecute(const TActionEvent& value) {}

    // Told after every change of the action (the client copies its state).
    std::function<void(TBasicAction* action)> OnChange;

protected:
    friend class TBasicAction;
    virtual void Change();

private:
    TPersistent* client_;
    TBasicAction* action_ = nullptr;
};

class TCustomAction;

// A link that passes the published properties of a TCustomAction on to its
// client.  The tests say whether the client's value is the action's; the
// setters are called with the action's new value before the action stores
// it.  Clients override both for what they show; with another kind of
// action nothing is linked.
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;

    // The action as a TCustomAction, or nullptr.
    TCustomAction* CustomAction() const;

    virtual bool IsAutoCheckLinked() { return CustomAction() != nullptr; }
    virtual bool IsCaptionLinked() { return CustomAction() != nullptr; }
    virtual bool IsCheckedLinked() { return CustomAction() != nullptr; }
    virtual bool IsEnabledLinked() { return CustomAction() != nullptr; }
    virtual bool IsHelpContextLinked() { return CustomAction() != nullptr; }
    virtual bool IsHintLinked() { return CustomAction() != nullptr; }
    virtual bool IsImageIndexLinked() { return CustomAction() != nullptr; }
    virtual bool IsShortCutLinked() { return CustomAction() != nullptr; }
    virtual bool IsVisibleLinked() { return CustomAction() != nullptr; }

    virtual void SetAutoCheck(bool value) {}
    virtual void SetCaption(const std::string& value) {}
    virtual void SetChecked(bool value) {}
    virtual void SetEnabled(bool value) {}
    virtual void SetHelpContext(int value) {}
    virtual void SetHint(const std::string& value) {}
    virtual void SetImageIndex(int value) {}
    virtual void SetShortCut(TShortCut value) {}
    virtual void SetVisible(bool value) {}
};

// An action with the state menu items and buttons show.  Each setter does
// nothing when the value is the same; otherwise it hands the value to the
// links, stores it and tells the links of the change.
class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomAction"; }

    // Brings the state up to date first; a disabled action does not run,
    // and an auto-checking one toggles Checked before its handler runs.
    bool Execute() override;

    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    // Asked before a control shows the action's hint (OnHint); true when
    // it may be shown.
    virtual bool DoHint(std::string& hint);
    TActionHintEvent OnHint;

private:
    bool autoCheck_ = false;
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    int helpContext_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    TShortCut shortCut_ = 0;
    bool visible_ = true;
};

// The action forms place: TCustomAction with its properties published.
class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* owner = nullptr) : TCustomAction(owner) {}
    std::string ClassName() const override { return "TAction"; }
};

// Whenever the program's message loop runs out of work, the controls that
// show actions bring them up to date.  A control adds a handler for that
// (the number removes it); the application calls DoActionIdle.
int AddActionIdleHandler(std::function<void()> handler);
void RemoveActionIdleHandler(int id);
void DoActionIdle();

// Registers the published tables of the actions (and the base classes');
// safe to call again.
void RegisterActionClasses();
