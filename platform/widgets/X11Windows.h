#pragma once
// What the program asks of the X server itself, beyond the toolkit: its
// connection, and a window's owner set on a window that stays on screen.

#include <QWidget>

#include <xcb/xcb.h>

// The toolkit's connection to the X server; none on other platforms (the
// offscreen one of the tests).
xcb_connection_t* X11Connection();

// Names `owner` as the owner (WM_TRANSIENT_FOR) of the top-level window of
// `window`, which may be on screen: the window manager follows the
// property when it changes.  False where there is no X server.
bool SetX11WindowOwner(QWidget* window, QWidget* owner);
