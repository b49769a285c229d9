#pragma once
// What the themes know of the display: few colours, a high-contrast
// scheme, flat menus and the toolbar and menu colours.  They are read on
// every paint and refreshed, with the current theme re-created, when the
// system's colours, display depth or visual style change.
//
// The platform paints with one fixed colour table on a true-colour display
// and has no desktop theme engine: visual styles are never in use, so the
// themes always paint their classic look.  The change entries below are
// there for a platform that reports such changes (and for tests).

#include "platform/gfx/Color.h"

struct TTBKDisplayFacts {
    bool LowColor = false;        // fewer than 12 bits per pixel
    bool HighContrast = false;    // the button face is white
    bool UseVisualStyles = false; // never: there is no theme engine
    bool FlatMenus = false;
    TColor ToolbarColor = clBtnFace;
    TColor MenuColor = clMenu;
    TColor MenuTextColor = clMenuText;
};

// The facts now (computed on first use).
const TTBKDisplayFacts& TBKDisplay();

// The system colours changed: high contrast is recomputed and the current
// theme re-selected.
void TBKSystemColorsChanged();
// The display switched to another depth.
void TBKDisplayChanged(int bitsPerPixel);
// The desktop's visual style changed (or was switched on or off).
void TBKVisualStyleChanged();
// Recomputes the toolbar and menu colours and the flat-menu setting.
void TBKUpdateToolbarColors();
