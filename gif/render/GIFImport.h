#pragma once
// Pictures of other kinds made into GIF frames, and GIF images made into
// bitmaps; colour reduction of bitmaps.

#include "gif/GIFImage.h"
#include "platform/gfx/Bitmap.h"

#include <memory>

// Makes the frame a copy of a bitmap, of any other graphic (drawn onto a
// bitmap first; a transparent one drawn twice, on black and on white, so
// that the pixels that differ become transparent) or of a picture holder's
// graphic.  A bitmap of more than 256 colours is reduced first with the
// image's ColorReduction, DitherMode and ReductionBits (gcrNone keeps the
// colours and raises "Color table overflow" past 256).  The bitmap's
// transparent colour becomes a transparent index (an added black entry).
// False for a source of another kind.
bool ImportGIFFrame(TGIFSubImage& frame, const TPersistent& source);

// Copies the image into a bitmap: its first frame on the logical screen.
// False for another destination.
bool ExportGIFImage(TGIFImage& image, TPersistent& destination);

// A new bitmap of 8 bits per pixel holding the source reduced by the
// method (see GIFColorReduction.h); gcrNone gives a 24-bit copy.  The
// source is left as it is.
std::unique_ptr<TBitmap> ReduceBitmapColors(const TBitmap& source, TGIFColorReduction method,
                                            TGIFDitherMode mode, int reductionBits,
                                            const TGIFPalette* customPalette = nullptr);
