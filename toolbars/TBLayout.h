#pragma once
// The layout of a view's viewers as a pure function: given what each viewer
// is (separator, control, chevron, flowing or one per line...), its size
// (asked only of the viewers that end up shown) and the space the view may
// use, it decides which viewers show and where.
//
// The rules, in order: the chevron's viewer and viewers that may not show
// are hidden; a separator that leads, follows another shown separator or
// trails is hidden; when the viewers are longer than the chevron offset,
// viewers are hidden from the end (the least recently used first when a
// priority order is given) until they fit beside the chevron, keeping at
// least one; then the viewers are placed in lines: a toolbar's viewers flow
// in a row and wrap at the wrap offset (a separator where the row breaks
// becomes a 6-pixel line break), a popup's viewers take a line each and
// share the widest one's width; viewers are centred across their line,
// separators and stretching viewers fill it, right-aligned viewers move to
// its far end; a vertical layout is mirrored so that its first column is
// at the right.

#include "platform/gfx/Geometry.h"

#include <functional>
#include <vector>

enum TTBViewOrientation : int { tbvoHorizontal = 0, tbvoVertical = 1, tbvoFloating = 2 };

struct TTBLayoutItem {
    // May show at all (visible, allowed in this view); the view decides.
    bool Candidate = true;
    // A control's size is its control's, and it does not count as a
    // separator between separators.
    bool IsControl = false;
    bool IsSeparator = false;
    // The chevron's own viewer (the last one).
    bool IsChevron = false;
    // Laid out in a row rather than one per line.
    bool Flows = false;
    bool Stretch = false;
    bool RightAlign = false;
    bool NoLineBreak = false;
};

struct TTBLayoutParams {
    int Orientation = tbvoHorizontal;
    bool IsToolbar = false;
    // 0: never wrap.
    int WrapOffset = 0;
    // 0: never shrink behind the chevron.
    int ChevronOffset = 0;
    int ChevronSize = 0;
    // The view has a chevron item (its viewer is the last one).
    bool HasChevron = false;
    TRect Margins; // left, top, right, bottom
    // The size to start from (bars in one dock row share their thickness).
    TSize StartSize;
    // Viewer indexes, most recently used first; empty: list order.
    std::vector<int> PriorityOrder;
};

struct TTBLayoutPosition {
    TRect Rect;
    bool Show = false;
    bool OffEdge = false; // hidden because it did not fit
    bool LineSep = false; // a separator turned into a line break
};

struct TTBLayoutResult {
    std::vector<TTBLayoutPosition> Positions;
    // Along the axis: the lengths of the viewers shown before any went
    // behind the chevron; across: the largest shown.
    TSize BaseSize;
    TSize NewSize;
    int WrappedLines = 1;
    // Viewers were hidden behind the chevron (it shows then).
    bool Shrunk = false;
    // At least one non-control viewer went behind the chevron.
    bool ChevronEnabled = false;
};

using TTBMeasureViewer = std::function<TSize(int index)>;

TTBLayoutResult CalculateLayout(const std::vector<TTBLayoutItem>& items, const TTBLayoutParams& params,
                                const TTBMeasureViewer& measure);
