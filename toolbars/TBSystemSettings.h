#pragma once
// The desktop settings that change how menus behave and look, the menu
// sounds, and the monitors popups are placed on.  One service answers them
// all; the framework reads it through TBSystemSettings(), and tests install
// their own with SetTBSystemSettings.
//
// The default service has desktop-like answers: a show delay of 400 ms
// unless the registry store's "Control Panel\Desktop" value
// "MenuShowDelay" says otherwise, no menu animation, flat menus, keyboard
// cues shown, drop shadows, menus dropping to the right.  Sounds are
// assigned as the registry store's sound scheme says, and playing one does
// nothing.  The monitors and their work areas are the screen's.

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TTBMonitor {
    TRect Bounds;   // the whole monitor
    TRect WorkArea; // without the desktop's panels
};

class TTBSystemSettings {
public:
    TTBSystemSettings() = default;
    virtual ~TTBSystemSettings() = default;
    TTBSystemSettings(const TTBSystemSettings&) = delete;
    TTBSystemSettings& operator=(const TTBSystemSettings&) = delete;

    // Milliseconds a submenu waits before it opens or closes under the
    // mouse; never negative.
    virtual int MenuShowDelay();
    virtual bool MenuAnimation() { return false; }
    // With animation on: fade in instead of sliding.
    virtual bool MenuFade() { return false; }
    virtual bool FlatMenus() { return true; }
    // Access-key underlines shown at all times (false: only once the
    // keyboard is used).
    virtual bool KeyboardCues() { return true; }
    virtual bool DropShadows() { return true; }
    // Drop-down menus open aligned to the right edge of their item.
    virtual bool MenuDropAlignmentRight() { return false; }
    // The font of menus and menu bars.
    virtual TFont MenuFont();

    // A sound of the user's scheme ("MenuPopup", "MenuCommand") is set.
    virtual bool SoundAssigned(std::string_view name);
    // Plays a sound of the scheme, without waiting for it.
    virtual void PlaySound(std::string_view name) {}
    // The short warning sound of a key that does nothing.
    virtual void Beep() {}

    // The monitors, the first being the primary one (the screen's).
    virtual std::vector<TTBMonitor> Monitors();

private:
    std::optional<int> showDelay_;
};

// The service in use; SetTBSystemSettings installs one (not owned; nullptr
// restores the default).
TTBSystemSettings& TBSystemSettings();
void SetTBSystemSettings(TTBSystemSettings* settings);

// The rule for a "MenuShowDelay" value: 400 when there is none, the number
// when the text is an integer, 0 otherwise; never negative.
int ParseMenuShowDelay(const std::optional<std::string>& value);

// The work area (or whole area) of the monitor that holds the point or
// overlaps the rectangle most, or the nearest one.
TRect MonitorAreaOfPoint(TPoint point, bool workArea);
TRect MonitorAreaOfRect(const TRect& rect, bool workArea);
