#pragma once
// Frames and composites as platform bitmaps, and drawing them: opaque or
// transparent, stretched into a rectangle or tiled over it.  Runs on the
// user-interface thread.

#include "gif/GIFImage.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <cstdint>
#include <vector>

// Fills a 32-bit bitmap of the given size from 0xAARRGGBB pixels (see
// GIFRender.h).  Pixels nothing was drawn on take `background`, or, when
// `background` is clNone, a colour none of `colors` uses, which becomes the
// bitmap's transparent colour.
void FillGIFBitmap(TBitmap& bitmap, int width, int height, const std::vector<uint32_t>& pixels,
                   TColor background, const TGIFPalette& colors);

// A colour (0x00RRGGBB) that is none of the palettes' colours.
uint32_t UnusedGIFColor(const std::vector<const TGIFPalette*>& palettes);

// The frame rendered, made once and kept in the frame until it changes:
// with `transparent` its transparent pixels are the bitmap's transparent
// colour (the mask), else they show their palette colour.  nullptr for a
// frame without pixels.
TBitmap* GIFFrameBitmap(TGIFSubImage& frame, bool transparent);
// Whether the frame has pixels that draw transparent.
bool GIFFrameHasMask(TGIFSubImage& frame);

// Draws the frame where it lies on the logical screen stretched into rect;
// with `tile`, the frame's bitmap is tiled over rect instead, starting at
// the frame's place.
void DrawGIFFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile);

// Draws a picture of the logical screen's size stretched into rect, or
// tiled from rect's corner in steps of its own size while inside rect.
void DrawGIFPicture(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, bool tile);

// The colour drawn where a composite shows nothing, when transparency is
// off: the image's background setting, else the header's background
// colour, else the window colour.
TColor GIFBackgroundColor(TGIFImage& image);
