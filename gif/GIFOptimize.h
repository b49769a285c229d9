#pragma once
// Making a GIF image smaller to write without changing what it shows:
// colour tables sorted by use and shortened, unused transparency and
// disposals dropped, pixels that repeat the picture below made transparent
// (delta frames), transparent borders cropped, fully transparent frames
// folded into the one before, and extensions that do not change the picture
// removed.  After every step the composite a viewer shows after each frame
// is the same as before, and so are the frame timings and the loop count.

#include "gif/GIFImage.h"

// The image-level operation behind TGIFImage::Optimize.  Stops the image's
// animations first.  With ooReduceColors, a method outside the enumeration
// raises "Invalid reduction method" (after the other steps have run).
void OptimizeGIFImage(TGIFImage& image, TGIFOptimizeOptions options, TGIFColorReduction method);

// Cuts a transparent frame down to the rectangle of its pixels that are not
// transparent, on the logical screen.  Returns false, and leaves the frame
// alone, when no such pixel is on the screen, or when the frame is empty or
// not transparent.
bool CropGIFFrame(TGIFSubImage& frame);

// Makes every pixel of the frame transparent that shows the same colour as
// the opaque pixel of `previous` below it, where the composite under the
// frame is `previous` as drawn (the caller sees to that).  Borrows an
// index no pixel of the frame uses when the frame had no transparency.
// Returns whether any pixel changed.
bool MakeGIFDelta(TGIFSubImage& frame, const TGIFSubImage& previous);
