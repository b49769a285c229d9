#include "platform/widgets/X11Windows.h"

#include <QGuiApplication>

xcb_connection_t* X11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

bool SetX11WindowOwner(QWidget* window, QWidget* owner) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr)
        return false;
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t ownerId = static_cast<xcb_window_t>(owner->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                        &ownerId);
    xcb_flush(connection);
    return true;
}
