#pragma once
// Drawing long runs of text for painting: a run is drawn in chunks, so
// that a line of megabytes neither overflows pixel coordinates nor asks the
// canvas for one gigantic string, and what lies far left of the window is
// only measured, never drawn.  And the zigzag underline and the rectangle
// clamping that painting needs.

#include "platform/gfx/Canvas.h"
#include "platform/gfx/Geometry.h"

#include <climits>
#include <cstdint>
#include <string_view>

// No glyph's ink reaches further than this many pixels from where it is
// drawn (a glyph wider than this would be some 200 points high): text
// that ends this far left of the window cannot show in it.
constexpr int32_t kInkReach = 256;

// Draws text at the pen, which the canvas's alignment (TA_UPDATECP) moves
// on, so that its text justification spreads over the blanks, in chunks of
// at most chunk bytes (below 1 counts as 1; in UTF-8 text a chunk ends only
// between characters), counted from the text's start.  Chunks that end at
// or left of leftLimit are only measured and stepped over; then chunk after
// chunk is drawn while the pen stays left of rightLimit.  The pen ends after
// the last chunk measured or drawn; returns the offset of the text it
// stands at.
//
// With resumeAt the pen stands at that byte of the text, inside its chunk:
// the rest of that chunk is the first one measured or drawn, so that the
// chunks after it are those of the whole text.
//
// With inkRight (a window's right edge and kInkReach beyond it, where
// nothing drawn can show in the window any more) a chunk is drawn only as
// far as the pen passes it, in pieces of whole characters measured
// first: the rest of a long chunk would cost glyphs that cannot show.
size_t DrawTextAtPen(TCanvas& canvas, std::string_view text, int32_t rightLimit, int32_t chunk, bool utf8 = false,
                     int32_t leftLimit = -kInkReach, size_t resumeAt = 0, int32_t inkRight = INT32_MAX);
// A zig-zag between y + step and y from x1 to x2 (clamped to 16-bit
// coordinates) in segments of step pixels, the last one cut at x2.  A step
// below 1 counts as 1.
void WavyLine(TCanvas& canvas, int32_t x1, int32_t x2, int32_t step, int32_t y);
// The rectangle with left and right limited to -32768..32767.
TRect ClampRect(const TRect& rect);
