#pragma once
// Desktop settings the controls read.  With a QGuiApplication they come
// from its style hints; without one (model tests) fixed defaults apply.

#include "platform/gfx/Font.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// How long the caret stays on (and off) while blinking, in milliseconds;
// 0 = no blinking.
int CaretBlinkTime();

// The desktop's settings for menus: how long a submenu waits under the
// mouse before it opens or closes, whether menus slide in (or fade in),
// look flat, show their access-key underlines at all times, cast a drop
// shadow and drop to the right of their item, whether windows can be
// translucent, and the font of menus.  The show delay is the registry
// store's "Control Panel\Desktop" value "MenuShowDelay"
// (ParseMenuShowDelay).  Animation, fading, shadows and translucency are
// what the desktop says (TDesktopEffects); the rest are a current
// desktop's defaults, the same on every machine.
struct TMenuSettings {
    int ShowDelay = 400;
    bool Animation = false;
    bool Fade = false;
    bool FlatMenus = true;
    bool KeyboardCues = true;
    bool DropShadows = true;
    bool DropAlignmentRight = false;
    bool Translucency = false;
    TFont Font;
};
// What the window system tells of the desktop: whether it animates menus
// (sliding them in, or fading them in), whether it composites windows,
// which alone lets a window be translucent and lets the desktop shadow a
// popup menu, and whether the display offers a visual with an alpha
// channel, which a window whose pixels carry their own alpha is made on.
struct TDesktopEffects {
    bool MenuAnimation = false;
    bool MenuFade = false;
    bool Compositing = false;
    bool ArgbVisual = false;
};
// Where the desktop says whether menus animate: the toolkit's menu
// effects, which a platform theme or the program may set, and the
// desktop's own animation setting ("Gtk/EnableAnimations" of its
// XSETTINGS), where its settings daemon publishes one.
struct TMenuAnimationSources {
    bool ToolkitAnimates = false;
    bool ToolkitFades = false;
    std::optional<int32_t> DesktopAnimations;
};
// Sets the effects' MenuAnimation and MenuFade from those sources (the
// effects' Compositing already known): the toolkit's effects where they
// animate menus; else the desktop's setting, when not 0.  A desktop that
// animates by that setting fades its menus in, which only a compositing
// manager draws: without one its menus appear at once, and so do ours.
void ApplyMenuAnimation(TDesktopEffects& effects, const TMenuAnimationSources& sources);
// platform_widgets installs the reader; without one (model tests) menus do
// not animate, windows are opaque and menus cast the desktop's shadow.
// It also tells, as the window notice wnDesktopEffectsChanged, when a
// compositing manager starts or stops or the desktop's settings change.
using TDesktopEffectsReader = std::function<TDesktopEffects()>;
void SetDesktopEffectsReader(TDesktopEffectsReader reader);
// Reads them afresh.
TMenuSettings DesktopMenuSettings();
// What the desktop does now (the defaults above without a reader).
TDesktopEffects ReadDesktopEffects();
// Whether a window can be translucent pixel by pixel now: a compositing
// manager runs and the display has a visual with an alpha channel.  Asked
// afresh every time, since a compositing manager may stop while the program
// runs, and a window with alpha of its own then shows black where it meant
// to be clear.
bool LayeredWindowsNow();
// The rule for a "MenuShowDelay" value: 400 when there is none, the number
// when the text is an integer, 0 otherwise; never negative.
int ParseMenuShowDelay(const std::optional<std::string>& value);
