#pragma once
// A button of a frame the framework draws itself (a close button) held
// down with the mouse: the pressed look follows the pointer until the left
// button is released, and the button was clicked when that happens over
// it.  Any other press, a double click or a lost capture ends it without a
// click.

#include "platform/gfx/Geometry.h"

#include <functional>

class TWinControl;

// capture: the window that holds the mouse meanwhile; over: whether a
// screen point is over the button; setPressed: shows the pressed look.
bool TrackButton(TWinControl* capture, std::function<bool(TPoint screen)> over, std::function<void(bool)> setPressed);
