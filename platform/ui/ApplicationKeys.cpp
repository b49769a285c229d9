#include "platform/ui/ApplicationKeys.h"

#include "platform/ui/MDI.h"

#include <utility>

namespace {

TShortCutHandler shortCutHandler;
TMenuKeyHandler menuKeyHandler;
TQueuedMessageWatcher queuedMessageWatcher;

} // namespace

void SetApplicationKeyHandlers(TShortCutHandler shortCuts, TMenuKeyHandler menuKeys) {
    shortCutHandler = std::move(shortCuts);
    menuKeyHandler = std::move(menuKeys);
}

bool OfferShortCut(TWinControl* form, TShortCut key) {
    // The document windows' keys come first, as the window system's.
    if (TranslateMDISysKey(form, key))
        return true;
    // A copy: the handler may install others while it runs.
    TShortCutHandler handler = shortCutHandler;
    return handler && handler(form, key);
}

bool OfferMenuKey(TWinControl* form, char32_t ch) {
    TMenuKeyHandler handler = menuKeyHandler;
    return handler && handler(form, ch);
}

void SetQueuedMessageWatcher(TQueuedMessageWatcher watcher) { queuedMessageWatcher = std::move(watcher); }

bool OfferQueuedMessage(TQueuedMessage& message) {
    TQueuedMessageWatcher watcher = queuedMessageWatcher;
    if (!watcher)
        return false;
    watcher(message);
    return message.Msg == WM_NULL;
}

bool IsShortCutKey(uint16_t key, TShiftState shift) {
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU)
        return false;
    return (shift & (ssCtrl | ssAlt)) != 0 || (key >= VK_F1 && key <= VK_F24);
}
