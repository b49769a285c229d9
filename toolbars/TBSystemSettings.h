#pragma once
// The desktop settings that change how menus behave and look, the menu
// sounds, and the monitors popups are placed on.  One service answers them
// all; the framework reads it through TBSystemSettings(), and tests install
// their own with SetTBSystemSettings.
//
// The default service answers with the desktop's menu settings (the
// platform's DesktopMenuSettings, read once per service and again after
// the desktop's effects change).  Sounds are
// assigned as the registry store's sound scheme says, and playing one does
// nothing.  The monitors and their work areas are the screen's.

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/ui/SystemSettings.h"

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
    virtual int MenuShowDelay() { return desktop().ShowDelay; }
    virtual bool MenuAnimation() { return desktop().Animation; }
    // With animation on: fade in instead of sliding.
    virtual bool MenuFade() { return desktop().Fade; }
    virtual bool FlatMenus() { return desktop().FlatMenus; }
    // Access-key underlines shown at all times (false: only once the
    // keyboard is used).
    virtual bool KeyboardCues() { return desktop().KeyboardCues; }
    // The desktop casts its shadow under popup menus that ask for it.
    virtual bool DropShadows() { return desktop().DropShadows; }
    // Windows can be drawn translucent (what fading in needs).
    virtual bool TranslucentWindows() { return desktop().Translucency; }
    // Windows can be translucent pixel by pixel (what soft shadows need),
    // asked afresh each time (LayeredWindowsNow).
    virtual bool LayeredWindows() { return LayeredWindowsNow(); }
    // Drop-down menus open aligned to the right edge of their item.
    virtual bool MenuDropAlignmentRight() { return desktop().DropAlignmentRight; }
    // The font of menus and menu bars.
    virtual TFont MenuFont() { return desktop().Font; }

    // A sound of the user's scheme ("MenuPopup", "MenuCommand") is set.
    virtual bool SoundAssigned(std::string_view name);
    // Plays a sound of the scheme, without waiting for it.
    virtual void PlaySound(std::string_view name) {}
    // The short warning sound of a key that does nothing.
    virtual void Beep() {}

    // The monitors, the first being the primary one (the screen's).
    virtual std::vector<TTBMonitor> Monitors();

private:
    const TMenuSettings& desktop();
    std::optional<TMenuSettings> desktop_;
    int readAt_ = 0; // the count of effect changes desktop_ was read after
};

// The service in use; SetTBSystemSettings installs one (not owned; nullptr
// restores the default).
TTBSystemSettings& TBSystemSettings();
void SetTBSystemSettings(TTBSystemSettings* settings);

// The work area (or whole area) of the monitor that holds the point or
// overlaps the rectangle most, or the nearest one.
TRect MonitorAreaOfPoint(TPoint point, bool workArea);
TRect MonitorAreaOfRect(const TRect& rect, bool workArea);
