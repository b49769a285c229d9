#pragma once
// Where the mouse is, as far as the menu framework knows, and which of the
// framework's windows lies under a screen point.
//
// The menu loop feeds every input event's screen position in (and the
// toolbars their mouse moves), so selection and hit tests run on the same
// positions the loop saw.  The windows that views paint in register here,
// popups as topmost, so that a point can be told to be over a popup of the
// open chain, over a toolbar, or elsewhere.  The platform may install a
// finder of its own that knows every window of the program.

#include "platform/gfx/Geometry.h"

#include <functional>
#include <string>

class TWinControl;

TPoint TBCursorPos();
void SetTBCursorPos(TPoint screen);

void RegisterTBWindow(TWinControl* window, bool topmost);
void UnregisterTBWindow(TWinControl* window);
// The registered, visible window whose screen rectangle holds the point,
// topmost first, latest first; nullptr when none does.
TWinControl* TBWindowAtPoint(TPoint screen);
// The window's whole area (not only its client area) on the screen.
TRect TBWindowScreenRect(TWinControl* window);

using TTBWindowFinder = std::function<TWinControl*(TPoint screen)>;
// Replaces the lookup (an empty function restores the registry's).
void SetTBWindowFinder(TTBWindowFinder finder);
