#pragma once
// Desktop settings the controls read.  With a QGuiApplication they come
// from its style hints; without one (model tests) fixed defaults apply.

#include "platform/gfx/Font.h"

#include <optional>
#include <string>

// How long the caret stays on (and off) while blinking, in milliseconds;
// 0 = no blinking.
int CaretBlinkTime();

// The desktop's settings for menus: how long a submenu waits under the
// mouse before it opens or closes, whether menus slide in (or fade in),
// look flat, show their access-key underlines at all times, cast a drop
// shadow and drop to the right of their item, and the font of menus.
// The show delay is the registry store's "Control Panel\Desktop" value
// "MenuShowDelay" (ParseMenuShowDelay); the rest are a current desktop's
// defaults, the same on every machine.
struct TMenuSettings {
    int ShowDelay = 400;
    bool Animation = false;
    bool Fade = false;
    bool FlatMenus = true;
    bool KeyboardCues = true;
    bool DropShadows = true;
    bool DropAlignmentRight = false;
    TFont Font;
};
// Reads them afresh.
TMenuSettings DesktopMenuSettings();
// The rule for a "MenuShowDelay" value: 400 when there is none, the number
// when the text is an integer, 0 otherwise; never negative.
int ParseMenuShowDelay(const std::optional<std::string>& value);
