#pragma once
// How the shell list draws its column header items itself: the caption in
// the column's alignment and, on the sorted column, a small raised
// triangle pointing up (ascending) or down, placed at the left, right after
// the caption, or at the right edge.

#include "platform/gfx/Geometry.h"
#include "platform/ui/TextAlignment.h"

#include <string>

class TCanvas;

enum TPTLvHeaderSortDisplayMode { ptlvNone, ptlvLeftAlign, ptlvRightOfText, ptlvRightAlign };

struct TPTHeaderItem {
    std::string Caption;
    TAlignment Alignment = taLeftJustify;
    bool SortColumn = false;
    bool Ascending = false;
};

// The triangle's square box for a text rectangle of a height: an odd size
// of about half the height, at least 3.
int PTSortTriangleSize(int textHeight);
// A raised triangle in box (its top-left corner and size).
void PTDrawSortTriangle(TCanvas& canvas, TPoint topLeft, int size, bool up);
// Draws one header item into rect (the item's whole rectangle) with the
// canvas's font; fillFace paints the item's face first.  Returns where the
// triangle went (an empty rectangle when none was drawn).
TRect PTDrawHeaderItem(TCanvas& canvas, const TRect& rect, const TPTHeaderItem& item, TPTLvHeaderSortDisplayMode mode,
                       bool fillFace);
