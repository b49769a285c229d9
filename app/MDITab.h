#pragma once
// TMDITab: a tab strip over the MDI frame's document windows, one tab per
// window in the order they were added.  Picking a tab activates its
// window; activating a window selects its tab; a window that goes takes its
// tab with it.  It follows each window by taking over the window's
// activation and destruction handlers (and calling the window's own ones).
// A tab shows its window's caption as it stands: a file name's "&" is no
// access-key mark, so the tab's text holds it doubled.

#include "platform/ui/Forms.h"
#include "platform/ui/PageControls.h"

#include <memory>
#include <string>
#include <vector>

class TMDITab : public TTabControl {
public:
    // Raises EComponentError when the owner is not a form ("MDITab can be
    // put only on Form."), not an MDI frame ("MDITab can be put only on
    // MDIForm.") or already has a strip ("Only one MDITab can be put on
    // MDIForm.").
    explicit TMDITab(TComponent* owner);
    ~TMDITab() override;
    std::string ClassName() const override { return "TMDITab"; }

    // Adds a tab for an MDI child (nothing for nullptr or a form that has
    // one), selects it and activates the form.
    void AddForm(TCustomForm* form, void* data);
    // The form of a tab; nullptr out of range.
    TCustomForm* FormAt(int index) const;
    int FormCount() const { return Tabs().Count(); }
    // -1 when the form has no tab.
    int IndexOfForm(const TCustomForm* form) const;
    // The data given with a form's tab.
    void* DataAt(int index) const;
    // Changes the caption a tab shows; nothing out of range.
    void SetTabCaption(int index, const std::string& text);

    using TTabControl::Tabs;
    const TStrings& Tabs() const { return const_cast<TMDITab*>(this)->TTabControl::Tabs(); }

    // Picking a tab also makes the strip visible.
    bool ShowOnChange = false;

    // The tab picked (or selected through its form): activates its form.
    void Change() override;

protected:
    void Dispatch(TMessage& message) override;

private:
    // The handlers a form had before it was added.
    struct TSaved {
        TNotifyEvent Activate;
        TNotifyEvent Destroy;
    };
    void formActivated(TPersistent* sender);
    void formDestroyed(TPersistent* sender);
    int indexOf(const TPersistent* sender) const;

    std::vector<void*> data_;
    std::vector<TSaved> saved_;
    std::string text_;
};
