#include "toolbars/TBScreen.h"

#include "platform/ui/Control.h"

#include <algorithm>
#include <vector>

namespace {

struct TEntry {
    TWinControl* Window;
    bool Topmost;
};

std::vector<TEntry>& windows() {
    static std::vector<TEntry> entries;
    return entries;
}

TPoint cursor;
TTBWindowFinder finder;

TWinControl* registryWindowAt(TPoint screen) {
    const auto& entries = windows();
    for (bool topmost : {true, false})
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (it->Topmost != topmost || !it->Window->Showing())
                continue;
            if (TBWindowScreenRect(it->Window).Contains(screen))
                return it->Window;
        }
    return nullptr;
}

bool registered(const TWinControl* window) {
    const auto& entries = windows();
    return std::any_of(entries.begin(), entries.end(), [&](const TEntry& e) { return e.Window == window; });
}

} // namespace

TPoint TBCursorPos() { return cursor; }
void SetTBCursorPos(TPoint screen) { cursor = screen; }

void RegisterTBWindow(TWinControl* window, bool topmost) {
    UnregisterTBWindow(window);
    windows().push_back({window, topmost});
}

void UnregisterTBWindow(TWinControl* window) {
    auto& entries = windows();
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const TEntry& e) { return e.Window == window; }),
                  entries.end());
}

TWinControl* TBWindowAtPoint(TPoint screen) {
    if (finder)
        return finder(screen);
    if (!HasWindowPeerFactory())
        return registryWindowAt(screen);
    // The window system knows: the framework's window holding the control
    // there, else that control's top window.
    TWinControl* control = ControlAtScreen(screen);
    TWinControl* top = control;
    for (TWinControl* w = control; w != nullptr; w = w->Parent()) {
        if (registered(w))
            return w;
        top = w;
    }
    return top;
}

TRect TBWindowScreenRect(TWinControl* window) {
    TPoint origin = window->ClientToScreen({0, 0});
    return Bounds(origin.X, origin.Y, window->Width(), window->Height());
}

void SetTBWindowFinder(TTBWindowFinder value) { finder = std::move(value); }
