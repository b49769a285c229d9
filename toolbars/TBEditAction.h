#pragma once
// The edit action: an action that carries the properties of an edit item
// (its caption, options, width and text, and the handler that accepts
// typed text), and the link that passes them on to the edit items the
// action is assigned to.

#include "platform/ui/Actions.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBItemActionLink.h"

class TTBEditAction : public TAction {
public:
    explicit TTBEditAction(TComponent* owner = nullptr) : TAction(owner) {}
    // Tells its subscribers while its accept handler still stands: an item
    // that took the handler keeps a copy of it.
    ~TTBEditAction() override { Destroying(); }
    std::string ClassName() const override { return "TTBEditAction"; }

    // Each setter does nothing when the value is the same; otherwise it
    // hands the value to the edit items' links, stores it and tells the
    // links of the change.
    const std::string& EditCaption() const { return editCaption_; }
    void SetEditCaption(const std::string& value);
    TTBEditItemOptions EditOptions() const { return editOptions_; }
    void SetEditOptions(TTBEditItemOptions value);
    int EditWidth() const { return editWidth_; }
    void SetEditWidth(int value);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    // Items take it as their own (see TTBEditActionAcceptCall).
    TTBAcceptTextEvent OnAcceptText;
    void SetOnAcceptText(TTBAcceptTextEvent value);

private:
    template <class F> void tellEditLinks(F pass);

    std::string editCaption_;
    TTBEditItemOptions editOptions_ = 0;
    int editWidth_ = 64;
    std::string text_;
};

// The accept handler an edit item takes from its edit action: it runs the
// action's OnAcceptText as it is when the text is accepted.
struct TTBEditActionAcceptCall {
    TTBEditAction* Source;
    void operator()(TTBEditItemViewer* sender, std::string& newText, bool& accept) const;
};

// Whether the item's accept handler is the action's: both empty, or the
// item's taken from that action, or both bound by one handler name.
bool TBEditItemAcceptIsAction(const TTBEditItem& item, const TTBEditAction& action);

class TTBEditItemActionLink : public TTBCustomItemActionLink {
public:
    explicit TTBEditItemActionLink(TTBEditItem* client);
    TTBEditItem* EditItem() const { return editItem_; }
    // The action as a TTBEditAction, or nullptr.
    TTBEditAction* EditAction() const;

    virtual bool IsEditCaptionLinked();
    virtual bool IsEditOptionsLinked();
    virtual bool IsEditWidthLinked();
    virtual bool IsOnAcceptTextLinked();
    virtual bool IsTextLinked();

    virtual void SetEditCaption(const std::string& value);
    virtual void SetEditOptions(TTBEditItemOptions value);
    virtual void SetEditWidth(int value);
    virtual void SetOnAcceptText(const TTBAcceptTextEvent& value);
    virtual void SetText(const std::string& value);

private:
    TTBEditItem* editItem_;
};
