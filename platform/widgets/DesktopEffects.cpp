// Tells the platform's desktop settings what the desktop does for menus:
// whether it animates them (the toolkit's menu effects, as a platform
// theme or the program sets them, and the desktop's own animation setting
// that its settings daemon publishes), whether a compositing manager
// runs, which on X11 is what makes windows translucent and casts shadows
// under popup menus, and whether the screen has a visual with an alpha
// channel, on which alone a window's pixels keep an alpha of their own.
// A compositing manager owns the "_NET_WM_CM_S<screen>" selection, a
// settings daemon "_XSETTINGS_S<screen>" (its settings are a property of
// the owner's window, platform/ui/XSettings.h).  Without X11 (the
// offscreen platform) there is none, and no such visual either.
//
// Once read, both selections are watched (the XFixes extension reports a
// selection's new owner, and the settings window reports its property's
// changes), and a change is told as the window notice
// wnDesktopEffectsChanged, so that open popups and the menu settings
// follow a compositing manager that starts or stops while the program runs.
#include "platform/ui/SystemSettings.h"
#include "platform/ui/WindowNotices.h"
#include "platform/ui/XSettings.h"
#include "platform/widgets/X11Windows.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>

#include <xcb/xfixes.h>

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

const xcb_screen_t* screenOf(xcb_connection_t* connection, int screen) {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    return screens.rem > 0 ? screens.data : nullptr;
}

xcb_atom_t atomOf(xcb_connection_t* connection, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// The names the desktop's effects are asked by, made once per connection.
struct TDesktopAtoms {
    xcb_connection_t* Connection = nullptr;
    xcb_atom_t Compositor = XCB_ATOM_NONE;       // _NET_WM_CM_S<screen>
    xcb_atom_t Settings = XCB_ATOM_NONE;         // _XSETTINGS_S<screen>
    xcb_atom_t SettingsProperty = XCB_ATOM_NONE; // _XSETTINGS_SETTINGS
};

const TDesktopAtoms& atomsOf(xcb_connection_t* connection, int screen) {
    static TDesktopAtoms atoms;
    if (atoms.Connection != connection) {
        atoms.Connection = connection;
        atoms.Compositor = atomOf(connection, "_NET_WM_CM_S" + std::to_string(screen));
        atoms.Settings = atomOf(connection, "_XSETTINGS_S" + std::to_string(screen));
        atoms.SettingsProperty = atomOf(connection, "_XSETTINGS_SETTINGS");
    }
    return atoms;
}

xcb_window_t selectionOwner(xcb_connection_t* connection, xcb_atom_t selection) {
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const xcb_window_t owner = reply != nullptr ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
    free(reply);
    return owner;
}

// A true-colour visual 32 bits deep: 24 of colour and 8 of alpha.  The
// server lists it in the connection's setup, so no round trip is needed.
bool argbVisualExists(xcb_connection_t* connection, int screen) {
    const xcb_screen_t* data = screenOf(connection, screen);
    if (data == nullptr)
        return false;
    for (xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(data); depths.rem > 0;
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

// The desktop's "Gtk/EnableAnimations" from its settings window's
// property; nothing when the property is missing, damaged or without it.
std::optional<int32_t> desktopAnimations(xcb_connection_t* connection, xcb_window_t owner, xcb_atom_t property) {
    // A few kilobytes in practice; a megabyte at most is asked for.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, owner, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 18),
        nullptr);
    std::optional<int32_t> value;
    if (reply != nullptr && reply->format == 8) {
        const auto* bytes = static_cast<const uint8_t*>(xcb_get_property_value(reply));
        const auto size = static_cast<size_t>(xcb_get_property_value_length(reply));
        if (std::optional<TXSettings> settings = ParseXSettings(bytes, size))
            if (const TXSetting* setting = settings->Find("Gtk/EnableAnimations");
                setting != nullptr && setting->Kind == TXSetting::Integer)
                value = setting->IntegerValue;
    }
    free(reply);
    return value;
}

// Watches the two selections and the settings window's property on the
// toolkit's connection, whose events it sees before the toolkit does (and
// leaves to it).  The notice goes out from the event loop, outside the
// toolkit's handling of the event, once for a burst of events.
class TDesktopEffectsWatch final : public QAbstractNativeEventFilter {
public:
    TDesktopEffectsWatch(xcb_connection_t* connection, const TDesktopAtoms& atoms, xcb_window_t root)
        : connection_(connection), atoms_(atoms) {
        const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
        if (xfixes == nullptr || !xfixes->present)
            return;
        // The extension answers only a client that said which version it
        // speaks.
        free(xcb_xfixes_query_version_reply(
            connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr));
        selectionNotify_ = uint8_t(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
        const uint32_t mask = XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE;
        xcb_xfixes_select_selection_input(connection, root, atoms.Compositor, mask);
        xcb_xfixes_select_selection_input(connection, root, atoms.Settings, mask);
        watchSettingsWindow(selectionOwner(connection, atoms.Settings));
        xcb_flush(connection);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || selectionNotify_ == 0)
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const uint8_t kind = event->response_type & 0x7f;
        if (kind == selectionNotify_) {
            const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
            if (notify->selection == atoms_.Settings) {
                watchSettingsWindow(notify->owner);
                changed();
            } else if (notify->selection == atoms_.Compositor) {
                changed();
            }
        } else if (kind == XCB_PROPERTY_NOTIFY) {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (notify->window == settingsWindow_ && notify->atom == atoms_.SettingsProperty)
                changed();
        }
        return false;
    }

private:
    void watchSettingsWindow(xcb_window_t window) {
        settingsWindow_ = window;
        if (window == XCB_WINDOW_NONE)
            return;
        // The toolkit reads the desktop's settings too and asks the same
        // of that window on this connection: the mask is the same, so
        // neither takes the other's events away.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }

    void changed() {
        if (pending_)
            return;
        pending_ = true;
        // Within the watch's own context: a watch replaced before the
        // event loop gets there takes its notice with it.
        QTimer::singleShot(0, &context_, [this] {
            pending_ = false;
            NotifyWindowNotice(wnDesktopEffectsChanged, nullptr);
        });
    }

    xcb_connection_t* connection_;
    TDesktopAtoms atoms_;
    uint8_t selectionNotify_ = 0; // 0: the server has no XFixes, nothing is watched
    xcb_window_t settingsWindow_ = XCB_WINDOW_NONE;
    bool pending_ = false;
    QObject context_;
};

// Starts watching the connection's desktop once (again for a new
// connection, as when a test makes another application).  The watch lives
// as long as the program: freed at exit it would look for an event loop
// that is gone.
void watch(xcb_connection_t* connection, const TDesktopAtoms& atoms, int screen) {
    static TDesktopEffectsWatch* watching = nullptr;
    static xcb_connection_t* watched = nullptr;
    if (watched == connection || qApp == nullptr)
        return;
    const xcb_screen_t* data = screenOf(connection, screen);
    if (data == nullptr)
        return;
    delete watching; // leaves the event loop it was in, if that still runs
    watched = connection;
    watching = new TDesktopEffectsWatch(connection, atoms, data->root);
    qApp->installNativeEventFilter(watching);
}

[[maybe_unused]] const bool installed = [] {
    SetDesktopEffectsReader([] {
        TDesktopEffects effects;
        TMenuAnimationSources sources;
        if (qobject_cast<QApplication*>(qApp) != nullptr) {
            sources.ToolkitAnimates = QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
            sources.ToolkitFades = QApplication::isEffectEnabled(Qt::UI_FadeMenu);
        }
        if (xcb_connection_t* connection = X11Connection()) {
            const int screen = screenNumber();
            const TDesktopAtoms& atoms = atomsOf(connection, screen);
            watch(connection, atoms, screen);
            effects.Compositing = selectionOwner(connection, atoms.Compositor) != XCB_WINDOW_NONE;
            effects.ArgbVisual = argbVisualExists(connection, screen);
            if (const xcb_window_t owner = selectionOwner(connection, atoms.Settings); owner != XCB_WINDOW_NONE)
                sources.DesktopAnimations = desktopAnimations(connection, owner, atoms.SettingsProperty);
        }
        ApplyMenuAnimation(effects, sources);
        return effects;
    });
    return true;
}();

} // namespace
