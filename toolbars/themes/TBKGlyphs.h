#pragma once
// Glyph drawing of the themes: an image list's image drawn in several
// looks (contrast-inverted on dark backgrounds, blended toward a colour,
// as a darkened shadow of the background, as one colour for its dark parts
// or for its whole shape).  (Monochrome patterns are the framework's
// TBGlyphs.h.)
//
// Each glyph routine works on W x H pixels, W and H being the smaller of
// the rectangle's and the image's sizes, so a small rectangle clips the
// glyph.  The routines that mix with the background read the canvas; a
// canvas whose pixels can not be read (a window) is taken as its brush
// colour, which is why themed windows paint through an off-screen bitmap.

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "toolbars/TBGlyphs.h"

#include <cstdint>
#include <functional>
#include <span>

class TCanvas;
class TImageList;

// The pixel value that marks what the image list did not draw.
constexpr uint32_t kGlyphKeyPixel = 0x203241;

// With invert, for dark backgrounds: very dark glyph pixels become white,
// very light ones black, and every glyph pixel is brightened by 32; without
// it the image list draws the image as it is.
void DrawGlyphContrast(TCanvas& canvas, const TRect& rect, TImageList* images, bool invert, int index);
// Each glyph pixel blended with color: p x alpha + c x (255 - alpha), shr 8.
void DrawGlyphBlended(TCanvas& canvas, const TRect& rect, TImageList* images, int alpha, TColor color, int index);
// The background darkened in the glyph's shape (lighter with light).
void DrawGlyphShadow(TCanvas& canvas, const TRect& rect, TImageList* images, bool light, int index);
// The glyph's dark parts in color; the rest of the canvas stays.
void DrawGlyphMonochrome(TCanvas& canvas, const TRect& rect, TImageList* images, TColor color, int index);
// The glyph's whole shape in color.
void DrawGlyphSilhouette(TCanvas& canvas, const TRect& rect, TImageList* images, TColor color, int index);
