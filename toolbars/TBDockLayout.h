#pragma once
// The layout of a dock's bars into rows as a pure function.  Given every
// bar of the dock (shown or only remembered), what each one asks for (its
// row and position, a full-size or own row) and how long it is, it decides
// which row each bar lands in, where along the row and how long it is,
// and how thick each row is.
//
// The rules, in order:
// - Bars sort by (row, position), keeping their list order among equals;
//   a bar being dragged in a locked row keeps its place in that order.
// - A bar that wants its own row, and a full-size bar, push the other bars
//   of its row (and of every row after it) one row down.
// - Rows left empty close up; a hidden bar's remembered row follows, so
//   that it comes back among the same neighbours.
// - A row takes bars while their lengths fit (a chevron bar counts with
//   the least length it can shrink to); the first bar that does not fit
//   wraps to a new row with everything after it.
// - Inside a row the gaps that positions ask for are kept while the row
//   fits: first the ones after the dragged bar go, then those that would
//   push the last bar past the end.  A row that is too long shrinks its
//   chevron bars: first those a dragged bar is pushed over, then from the
//   last bar backwards.
// - A row is as thick as its thickest bar plus the docked frame.
// - Rows thicker together than the dock may be narrow from the last one
//   up, each no further than the least thickness its bars take.
//
// Row numbers are compacted over the rows that hold bars, never walked one
// by one, so that any stored row number costs the same.

#include "platform/gfx/Geometry.h"
#include "toolbars/TBDockTypes.h"

#include <functional>
#include <vector>

// What the layout reads of one bar.
struct TTBDockLayoutBar {
    // Visible and docked in this dock; a bar that is not is only
    // remembered (its row is kept for when it comes back).
    bool Shown = false;
    int DockRow = 0;
    int DockPos = -1;
    bool FullSize = false;
    bool WantsOwnRow = false;
};

struct TTBDockLayoutInput {
    // In the dock's list order.
    std::vector<TTBDockLayoutBar> Bars;
    // The length of the dock's client area along its axis.
    int AvailableLength = 0;
    bool LimitToOneRow = false;
    // The bar being dragged, or -1.
    int DragIndex = -1;
    bool RowLocked = false;
    // The most the rows may take together across the dock (0: no limit).
    int MaxThickness = 0;
};

// What the layout asks of the bars it places (only of shown ones).
struct TTBDockBarMeasure {
    // The bar's length along the axis, its docked frame included.
    std::function<int(int bar)> FullLength;
    std::function<TTBShrinkMode(int bar)> ShrinkMode;
    // The least length the bar can shrink to.
    std::function<int(int bar)> ShrinkLimit;
    // The bar's client thickness across the axis when it is given
    // shrunkLength (0: its full length).
    std::function<int(int bar, int shrunkLength)> Thickness;
    // The least client thickness the bar can be given when the rows are
    // too thick, or -1 when it keeps its own (unset: every bar keeps it).
    std::function<int(int bar)> LeastThickness;
};

struct TTBDockBarPlace {
    // The row it is in (for a hidden bar, the row it will come back to).
    int Row = 0;
    // Where it is along the row (a hidden bar keeps its requested one).
    int Pos = 0;
    // Placed in a row now.
    bool Member = false;
    // Along the axis: its length, and the length it was shrunk to (0 when
    // it has its full length).
    int Length = 0;
    int ShrunkLength = 0;
    // Its own thickness (client) and that of its row (the frame included).
    int Thickness = 0;
    int RowThickness = 0;
    // Where it goes, with x along the dock and y across it.
    TRect Bounds;
};

struct TTBDockLayoutResult {
    // Any bar is shown (otherwise nothing else is filled in).
    bool AnyShown = false;
    // Bar indexes in layout order.
    std::vector<int> Order;
    // One per bar, in input order.
    std::vector<TTBDockBarPlace> Places;
    int RowCount = 0;
    // The sum of the row thicknesses.
    int Thickness = 0;
    // The dragged bar shares a row that is too long with other bars.
    bool CrowdedRow = false;
};

TTBDockLayoutResult LayoutDockBars(const TTBDockLayoutInput& input, const TTBDockBarMeasure& measure);

// The thickness a row has over its bars' client thicknesses: the docked
// frame across it.
constexpr int kTBDockedFrameThickness = 4;
