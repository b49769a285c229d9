#pragma once
// Decoding of a frame's LZW-compressed pixel data.

#include "platform/base/Stream.h"

class TGIFSubImage;

// Reads the frame's pixel data from the stream, positioned at the
// minimum-code-size byte, into a new pixel buffer of the frame's size, and
// leaves the stream after the data's zero terminator.
//
// Damaged data is survived where it can be: pixels the data does not reach
// keep the fill value (the transparent index of a transparent frame, else
// 0), and warnings go to the image ("Premature end of data", "Decoder bit
// buffer under-run", "Invalid code in LZW data" for a code beyond the next
// free table entry, "Invalid LZW code size" for a code size of 0 or above
// 11).  A table entry whose prefix chain runs in a circle raises
// GIFException "Circular decoder table entry".
void DecodeGIFFrame(TGIFSubImage& frame, TStream& stream);
