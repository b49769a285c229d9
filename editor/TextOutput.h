#pragma once
// Measuring and drawing long runs of text for painting: a run is measured
// and drawn in chunks, so that a line of megabytes neither overflows pixel
// coordinates nor asks the canvas for one gigantic string, and what lies
// far left of the window is only measured, never drawn.

#include "platform/gfx/Canvas.h"
#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <string_view>

// The memo's measuring chunk.
constexpr int32_t kMeasureChunk = 4096;

// Width of the first count characters of text, measured in pieces of at
// most chunk characters; 0 for count below 1.
int32_t TextExtent(TCanvas& canvas, std::string_view text, int32_t count, int32_t chunk = kMeasureChunk);
// Draws the first count characters of text from point on: whole chunks left
// of -16383 are skipped by measuring, then chunk after chunk is drawn while
// the pen stays left of rightLimit.  The pen position ends after the last
// chunk measured or drawn.
void DrawText(TCanvas& canvas, TPoint point, std::string_view text, int32_t rightLimit, int32_t chunk,
              int32_t count);
// A zig-zag between y + step and y from x1 to x2 (clamped to 16-bit
// coordinates) in segments of step pixels, the last one cut at x2.  A step
// below 1 counts as 1.
void WavyLine(TCanvas& canvas, int32_t x1, int32_t x2, int32_t step, int32_t y);
// The rectangle with left and right limited to -32768..32767.
TRect ClampRect(const TRect& rect);
