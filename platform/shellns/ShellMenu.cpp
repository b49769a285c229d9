#include "platform/shellns/ShellMenu.h"

namespace {
TShellMenuTracker& tracker() {
    static TShellMenuTracker instance;
    return instance;
}
} // namespace

bool TShellMenu::Insert(int position, TShellMenuItem item) {
    if ((item.Flags & MF_POPUP) != 0 && !item.Submenu)
        return false;
    if (position < 0 || position > Count())
        position = Count();
    items_.insert(items_.begin() + position, std::move(item));
    return true;
}

bool TShellMenu::DeleteAt(int position) {
    if (position < 0 || position >= Count())
        return false;
    items_.erase(items_.begin() + position);
    return true;
}

TShellMenuItem* TShellMenu::ItemAt(int position) {
    return position >= 0 && position < Count() ? &items_[static_cast<size_t>(position)] : nullptr;
}

const TShellMenuItem* TShellMenu::ItemAt(int position) const {
    return position >= 0 && position < Count() ? &items_[static_cast<size_t>(position)] : nullptr;
}

TShellMenuItem* TShellMenu::FindCommand(unsigned id) {
    for (TShellMenuItem& item : items_) {
        if ((item.Flags & MF_POPUP) != 0) {
            if (TShellMenuItem* found = item.Submenu->FindCommand(id))
                return found;
        } else if ((item.Flags & MF_SEPARATOR) == 0 && item.Id == id) {
            return &item;
        }
    }
    return nullptr;
}

int TShellMenu::State(int position) const {
    const TShellMenuItem* item = ItemAt(position);
    return item != nullptr ? static_cast<int>(item->Flags) : -1;
}

void TShellMenu::SetState(int position, unsigned bits, bool on) {
    if (TShellMenuItem* item = ItemAt(position))
        item->Flags = on ? (item->Flags | bits) : (item->Flags & ~bits);
}

int TShellMenu::DefaultItem() const {
    for (const TShellMenuItem& item : items_)
        if ((item.Flags & MFS_DEFAULT) != 0 && (item.Flags & (MF_POPUP | MF_SEPARATOR)) == 0)
            return static_cast<int>(item.Id);
    return -1;
}

HMENU CreatePopupMenu() { return std::make_shared<TShellMenu>(); }

void SetShellMenuTracker(TShellMenuTracker value) { tracker() = std::move(value); }

unsigned TrackPopupMenu(TShellMenu& menu, unsigned flags, TPoint screen, TWinControl* owner) {
    return tracker() ? tracker()(menu, flags, screen, owner) : 0;
}

std::string StripAccelerator(const std::string& caption) {
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                ++i;
            else
                continue;
        }
        text.push_back(caption[i]);
    }
    return text;
}
