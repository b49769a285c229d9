// Tells the platform's desktop settings what the desktop does for menus:
// the toolkit's menu effects (sliding and fading, as the desktop's theme
// sets them), whether a compositing manager runs, which on X11 is what
// makes windows translucent and casts shadows under popup menus, and
// whether the screen has a visual with an alpha channel, on which alone a
// window's pixels keep an alpha of their own.  A compositing manager owns
// the "_NET_WM_CM_S<screen>" selection; without X11 (the offscreen
// platform) there is none, and no such visual either.
#include "platform/ui/SystemSettings.h"
#include "platform/widgets/X11Windows.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <string>

namespace {

// The screen the program's windows are on: the one the display name
// ($DISPLAY, as the toolkit connected to it) names, else the first.
int screenNumber() {
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    free(host);
    return screen;
}

bool compositingManagerRuns(xcb_connection_t* connection, int screen) {
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
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

// A true-colour visual 32 bits deep: 24 of colour and 8 of alpha.  The
// server lists it in the connection's setup, so no round trip is needed.
bool argbVisualExists(xcb_connection_t* connection, int screen) {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem <= 0)
        return false;
    for (xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem > 0;
         xcb_depth_next(&depths)) {
        if (depths.data->depth != 32)
            continue;
        for (xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
             xcb_visualtype_next(&visuals))
            if (visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return true;
    }
    return false;
}

[[maybe_unused]] const bool installed = [] {
    SetDesktopEffectsReader([] {
        TDesktopEffects effects;
        if (qobject_cast<QApplication*>(qApp) != nullptr) {
            effects.MenuAnimation = QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
            effects.MenuFade = QApplication::isEffectEnabled(Qt::UI_FadeMenu);
        }
        if (xcb_connection_t* connection = X11Connection()) {
            const int screen = screenNumber();
            effects.Compositing = compositingManagerRuns(connection, screen);
            effects.ArgbVisual = argbVisualExists(connection, screen);
        }
        return effects;
    });
    return true;
}();

} // namespace
