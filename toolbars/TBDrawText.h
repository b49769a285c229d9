#pragma once
// Single-line text output in a rectangle, as menus and buttons draw their
// captions: aligned by format flags (left, centre or right; top, centred or
// bottom), clipped to the rectangle, the access-key marker "&" taken out
// and its character underlined (unless DT_NOPREFIX, or DT_HIDEPREFIX which
// takes the marker out without underlining).  DT_CALCRECT only measures:
// the rectangle's right and bottom become the text's extent.
//
// The text is drawn with the canvas's font, its colour and its background
// mode.

#include "platform/gfx/Geometry.h"

#include <string_view>

class TCanvas;

void TBDrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format);

// The same text turned a quarter to the right (reading downward, the tops of
// the letters facing right), centred in rect, as vertical toolbars show
// captions.
void TBDrawRotatedText(TCanvas& canvas, std::string_view text, const TRect& rect, unsigned format);
