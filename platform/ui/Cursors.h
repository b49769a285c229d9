#pragma once
// Mouse cursors by number.  The class library's standard cursors have
// fixed non-positive numbers; cursors of the program's own (resources such
// as "PMRIGHTARROW" and "DRAGCOPY") are registered by name at start-up and
// get positive numbers.

#include "platform/gfx/Geometry.h"

#include <string>
#include <string_view>

enum : int {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
    crSize = crSizeAll,
};

// The number of a registered name (ignoring ASCII case); crDefault when
// none is registered.
int NamedCursor(std::string_view name);
// Registers the program's own cursors: "PMRIGHTARROW" (an arrow pointing
// right, for selecting whole lines) and "DRAGCOPY" (the drag cursor with a
// plus sign).  Needs a QGuiApplication; repeated calls do nothing.
void RegisterProgramCursors();

// The pointer's position in screen coordinates ((0, 0) without a GUI
// application), and moving it where the window system allows.
TPoint GetCursorPos();
void SetCursorPos(TPoint screen);

// The cursor shown everywhere while not crDefault (an override of every
// control's own cursor), as during a drag.
int ScreenCursor();
void SetScreenCursor(int cursor);
