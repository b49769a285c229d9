#pragma once
// Decoding of GIF LZW data: a pure unit over the code bytes (the data
// subblocks joined, without their length bytes) and a pixel buffer.

#include "gif/GIFRoutines.h"

#include <cstdint>
#include <span>

// Decodes codes of the given minimum code size from `data` into `pixels`,
// in the order the data holds them, until the end code, the end of the
// data or a full buffer.  Returns how many pixels were written; the rest of
// the buffer is left as it was.
//
// Damaged data is survived where it can be, with warnings: "Decoder bit
// buffer under-run" when the codes run out before the end code and the
// buffer is not full, "Invalid code in LZW data" for a code beyond the next
// free table entry, "Invalid LZW code size" for a code size of 0 or above
// 11 (nothing is decoded then).  A table entry whose prefix chain runs in a
// circle raises GIFException "Circular decoder table entry".
int64_t DecodeLZW(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> pixels,
                  const TGIFWarningSink& warn);

// Puts the rows of an interlaced frame, decoded in the order its data holds
// them (`decoded` pixels of `linear`), in their places in `pixels`.
void PlaceInterlacedRows(const uint8_t* linear, int64_t decoded, uint8_t* pixels, int width, int height);
