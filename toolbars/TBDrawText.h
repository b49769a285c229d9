#pragma once
// Captions by the format flags menus and buttons use (DT_* of
// TBItemViewer.h), drawn through the platform's one-line text drawing
// (TextDrawing.h): left, centred or right, at the top or centred
// vertically, clipped to the rectangle, the access-key marker "&" taken out
// and its character underlined (unless DT_NOPREFIX, or DT_HIDEPREFIX which
// takes the marker out without underlining).  DT_CALCRECT only measures:
// the rectangle's right and bottom become the text's extent.

#include "platform/gfx/Geometry.h"

#include <string_view>

class TCanvas;

void TBDrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format);

// The same text turned a quarter to the right (reading downward, the tops of
// the letters facing right), centred in rect, as vertical toolbars show
// captions.
void TBDrawRotatedText(TCanvas& canvas, std::string_view text, const TRect& rect, unsigned format);
