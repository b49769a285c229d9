#pragma once
// The small types docks and dockable windows share: the edge a dock sits
// on, how a window docks and floats, its drag handle, what it does when its
// dock gives it less room than it wants, and the hit codes of the frames
// the framework draws itself.

#include "platform/gfx/Geometry.h"

#include <cstdint>

enum TTBDockPosition : uint8_t { dpTop, dpBottom, dpLeft, dpRight };

// Bits of TTBDockableTo: the dock positions a window may dock to.
using TTBDockableTo = uint8_t;
constexpr TTBDockableTo DockableToBit(TTBDockPosition position) {
    return static_cast<TTBDockableTo>(1u << position);
}
constexpr TTBDockableTo kTBDockableToAll = 0x0F;

// Bits of TTBDockBoundLines: the edges of a dock that get a one-pixel line.
using TTBDockBoundLines = uint8_t;
enum : TTBDockBoundLines { blTop = 0x01, blBottom = 0x02, blLeft = 0x04, blRight = 0x08 };

enum TTBDockMode : uint8_t { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TTBDragHandleStyle : uint8_t { dhDouble, dhNone, dhSingle };
enum TTBFloatingMode : uint8_t { fmOnTopOfParentForm, fmOnTopOfAllForms };
// What a bar does when its dock gives it less length than it needs.
enum TTBShrinkMode : uint8_t { tbsmNone, tbsmWrap, tbsmChevron };

// Where a dockable window is: its parent's kind.
enum TTBDockType : uint8_t {
    dtNotDocked = 0, // placed directly on a form
    dtFloating = 1,
    dtTopBottom = 2, // in a horizontal dock
    dtLeftRight = 3, // in a vertical dock
};

constexpr bool IsVerticalDock(TTBDockPosition position) { return position == dpLeft || position == dpRight; }
constexpr TTBDockType DockTypeOf(TTBDockPosition position) {
    return IsVerticalDock(position) ? dtLeftRight : dtTopBottom;
}

// Hit codes of the frames the framework draws (answers to WM_NCHITTEST).
enum : int {
    kHitDragArea = 2000,   // a docked window's border and drag handle
    kHitCloseButton = 2001, // the close button of a docked window or floating frame
    kHitCaption = 2002,    // the caption of a floating frame
};

// Whether two rectangles share a pixel.
inline bool RectsIntersect(const TRect& a, const TRect& b) {
    TRect common;
    return IntersectRect(common, a, b);
}
