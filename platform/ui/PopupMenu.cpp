#include "platform/ui/PopupMenu.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/ComponentWatch.h"

namespace {
TPopupMenuPresenter& presenter() {
    static TPopupMenuPresenter instance;
    return instance;
}
} // namespace

void TMenuItem::Click() {
    if (!Enabled || IsSeparator())
        return;
    // A copy runs: the handler may free the menu, and this item with it.
    if (TNotifyEvent handler = OnClick)
        handler(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TCustomPopupMenu(owner) {}

TPopupMenu::~TPopupMenu() {
    Destroying();
    items_.clear();
}

TMenuItem* TPopupMenu::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return items_[static_cast<size_t>(index)].get();
}

TMenuItem* TPopupMenu::Add(const std::string& caption, TNotifyEvent onClick) {
    auto item = std::make_unique<TMenuItem>();
    item->Caption = caption;
    item->OnClick = std::move(onClick);
    items_.push_back(std::move(item));
    return items_.back().get();
}

int TPopupMenu::IndexOf(const TMenuItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

void TPopupMenu::Clear() { items_.clear(); }

TMenuItem* TPopupMenu::Popup(TPoint screen) {
    // OnPopup, and whatever runs while the menu shows, may free the menu.
    TComponentWatch self(this);
    if (TNotifyEvent handler = OnPopup)
        handler(this);
    if (!self.Alive() || !presenter())
        return nullptr;
    TMenuItem* chosen = presenter()(*this, screen);
    if (!self.Alive())
        return nullptr;
    // The presenter may answer with anything; only our own enabled items
    // are clicked.
    if (chosen == nullptr || IndexOf(chosen) < 0 || !chosen->Enabled || chosen->IsSeparator())
        return nullptr;
    chosen->Click();
    return chosen;
}

void SetPopupMenuPresenter(TPopupMenuPresenter value) { presenter() = std::move(value); }

bool HasPopupMenuPresenter() { return static_cast<bool>(presenter()); }
