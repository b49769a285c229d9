// Tells the platform's desktop settings what the desktop does for menus:
// the toolkit's menu effects (sliding and fading, as the desktop's theme
// sets them), and whether a compositing manager runs, which on X11 is what
// makes windows translucent and casts shadows under popup menus.  It owns
// the "_NET_WM_CM_S<screen>" selection; without X11 (the offscreen
// platform) there is none.
#include "platform/ui/SystemSettings.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <string>

#include <xcb/xcb.h>

namespace {

bool compositingManagerRuns() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto* x11 = qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return false;
    // The screen the program's windows are on: the first one.
    const std::string name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.data()),
                              nullptr);
    if (atom == nullptr)
        return false;
    bool owned = false;
    if (atom->atom != XCB_ATOM_NONE) {
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
        free(owner);
    }
    free(atom);
    return owned;
}

[[maybe_unused]] const bool installed = [] {
    SetDesktopEffectsReader([] {
        TDesktopEffects effects;
        if (qobject_cast<QApplication*>(qApp) != nullptr) {
            effects.MenuAnimation = QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
            effects.MenuFade = QApplication::isEffectEnabled(Qt::UI_FadeMenu);
        }
        effects.Compositing = compositingManagerRuns();
        return effects;
    });
    return true;
}();

} // namespace
