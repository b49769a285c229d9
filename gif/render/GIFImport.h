#pragma once
// Pictures of other kinds made into GIF frames, and GIF images made into
// bitmaps; colour reduction of bitmaps.

#include "gif/GIFImage.h"
#include "platform/gfx/Bitmap.h"

#include <memory>

// Makes the frame a copy of a bitmap, of any other graphic (drawn at its own
// size onto a white bitmap first) or of a picture holder's graphic.  An
// icon's AND mask becomes its transparent area; a metafile, and any other
// transparent graphic, is drawn a second time on black, and the pixels that
// differ between the two become transparent.  A bitmap of more than 256 colours is reduced first with the
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
