#include "toolbars/TBHookFeed.h"

#include "platform/ui/ApplicationKeys.h"
#include "platform/ui/WindowNotices.h"
#include "toolbars/TBHooks.h"

void EnsureTBHookFeed() {
    static const int handler = AddWindowNoticeHandler([](TWindowNotice notice, TWinControl* window) {
        switch (notice) {
        case wnApplicationActivated:
        case wnApplicationDeactivated:
            CallHookClients(hpSendActivateApp, window, notice == wnApplicationActivated ? 1 : 0, 0);
            break;
        case wnWindowShown:
        case wnWindowHidden:
        case wnWindowStateChanged:
            CallHookClients(hpSendWindowPosChanged, window, 0, 0);
            break;
        case wnWindowDestroying:
            CallHookClients(hpPreDestroy, window, 0, 0);
            break;
        case wnDesktopEffectsChanged:
            break;
        }
    });
    (void)handler;
    static const bool watching = [] {
        SetQueuedMessageWatcher([](TQueuedMessage& message) {
            CallHookClients(hpGetMessage, nullptr, kTBMessageRemoved, reinterpret_cast<LPARAM>(&message));
        });
        return true;
    }();
    (void)watching;
}
