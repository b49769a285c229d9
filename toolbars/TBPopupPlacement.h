#pragma once
// Where a popup goes on the screen, as a pure function of the popup's size,
// the rectangle of the item that opens it and the monitor's work area.
//
// A submenu opens to the right of its item, overlapping it by the popup's
// border, and to the left when it does not fit (its own submenus then keep
// opening to the left, until the left side does not fit either).  A
// drop-down opens below its item (or beside it, from a vertical toolbar)
// and moves above it when it does not fit below.  Every popup is kept on
// the monitor, and when it would cover its opener or more of the opener's
// items than it must, it tries the other side.

#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <vector>

// Directions a popup came from, for its show animation.
enum : uint8_t {
    tbadSlideLeft = 1,
    tbadSlideRight = 2,
    tbadSlideDown = 4,
    tbadSlideUp = 8,
};

struct TTBPopupPositionRec {
    bool PositionAsSubmenu = false;
    int Alignment = 0; // without an opener: 0 left, 1 right, 2 centred on the point
    // The popup opens to the opposite (left) side; placement may clear it.
    bool Opposite = false;
    TRect MonitorRect;    // screen
    TRect ParentItemRect; // screen; a point (empty rectangle) without an opener
    TPoint NCSize;        // the popup's border
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    uint8_t AnimateDirection = 0; // result
};

// What placement needs of the opener's view.
struct TTBPlacementOpener {
    bool Exists = false;
    bool Vertical = false;
    // Screen rectangles of the opener view's shown viewers.
    std::vector<TRect> ViewerRects;
};

// Places the popup (X, Y, and the animation direction); returns true when
// the popup ends up opening to the opposite side, so that its own submenus
// keep doing so.
bool PlacePopupRect(TTBPopupPositionRec& rec, const TTBPlacementOpener& opener);
