#pragma once
// Popup menus.  TCustomPopupMenu is what a control shows as its context
// menu (TControl::PopupMenu): the plain menu below, or the menu framework's
// own, which derives from it and shows itself.  The plain popup menu is a
// list of items with captions ("-" is a separator, "&" marks the access
// key), each enabled or not, with a click event, and an event fired just
// before the menu shows so that its owner can set the items' states.
// Showing it goes through an installable presenter (the one hook of the
// plain menu): the widget layer shows a Qt menu and answers with the item
// chosen; tests install a presenter that chooses from a script and never
// blocks.

#include "platform/base/Component.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TMenuItem"; }

    std::string Caption;
    bool Enabled = true;
    bool Checked = false;
    bool Visible = true;
    TNotifyEvent OnClick;

    bool IsSeparator() const { return Caption == "-"; }
    // Fires OnClick; a disabled item or a separator does nothing.
    virtual void Click();
};

class TCustomPopupMenu : public TComponent {
public:
    explicit TCustomPopupMenu(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TCustomPopupMenu"; }

    // Fired (with the menu) before the menu shows.
    TNotifyEvent OnPopup;
    // The control the menu was last shown for.
    TComponent* PopupComponent = nullptr;

    // Fires OnPopup, shows the menu at a screen point until it closes, and
    // clicks the item chosen, if any.  Returns that item or nullptr.
    virtual TComponent* Popup(TPoint screen) = 0;
};

class TPopupMenu : public TCustomPopupMenu {
public:
    explicit TPopupMenu(TComponent* owner = nullptr);
    ~TPopupMenu() override;
    std::string ClassName() const override { return "TPopupMenu"; }

    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError outside 0..Count-1.
    TMenuItem* Items(int index) const;
    // Appends an item (owned by the menu) and returns it.
    TMenuItem* Add(const std::string& caption, TNotifyEvent onClick = {});
    int IndexOf(const TMenuItem* item) const;
    void Clear();

    TMenuItem* Popup(TPoint screen) override;

private:
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

// Shows a menu modally at a screen point and answers with the item chosen
// (nullptr when the menu was dismissed).  Without a presenter nothing is
// shown and nothing chosen.
using TPopupMenuPresenter = std::function<TMenuItem*(TPopupMenu& menu, TPoint screen)>;
void SetPopupMenuPresenter(TPopupMenuPresenter presenter);
bool HasPopupMenuPresenter();
