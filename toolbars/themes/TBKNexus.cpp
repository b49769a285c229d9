#include "toolbars/themes/TBKNexus.h"

#include "toolbars/TBSystemSettings.h"
#include "toolbars/themes/TBKTheme.h"

namespace {

// The platform's display is true colour.
constexpr int kDisplayBitsPerPixel = 24;

TTBKDisplayFacts& facts() {
    static TTBKDisplayFacts value = [] {
        TTBKDisplayFacts f;
        f.LowColor = kDisplayBitsPerPixel < 12;
        f.HighContrast = ColorToRGB(clBtnFace) == 0xFFFFFF;
        f.FlatMenus = TBSystemSettings().FlatMenus();
        return f;
    }();
    return value;
}

void recomputeHighContrast() { facts().HighContrast = ColorToRGB(clBtnFace) == 0xFFFFFF; }

void reselect() {
    SelectTheme(CurrentThemeName());
    TBKUpdateToolbarColors();
}

} // namespace

const TTBKDisplayFacts& TBKDisplay() { return facts(); }

void TBKUpdateToolbarColors() {
    TTBKDisplayFacts& f = facts();
    f.ToolbarColor = clBtnFace;
    f.FlatMenus = TBSystemSettings().FlatMenus();
    f.MenuColor = clMenu;
    f.MenuTextColor = clMenuText;
}

void TBKSystemColorsChanged() {
    recomputeHighContrast();
    reselect();
}

void TBKDisplayChanged(int bitsPerPixel) {
    facts().LowColor = bitsPerPixel < 12;
    recomputeHighContrast();
    reselect();
}

void TBKVisualStyleChanged() {
    facts().UseVisualStyles = false;
    recomputeHighContrast();
    reselect();
}
