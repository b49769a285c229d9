#pragma once
// The .ico file format, read and written by our own flat codec: a header,
// a directory of images, and each image as a device-independent bitmap
// (colour pixels, then the 1-bit AND mask) or as a PNG picture.  The
// toolkit's own icon reader is not used: it may be missing, and it folds the
// AND mask into an alpha channel, which loses the "inverted" pixels a mask
// and a non-black colour make, and the mask of an image that has alpha too.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One image of an icon file.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    // Bits per pixel of the colour pixels in the file: 1, 4, 8, 16, 24 or 32.
    int BitCount = 32;
    // Held as a PNG picture rather than as a bitmap.
    bool Png = false;
    // The top byte of Pixels is each pixel's opacity (a 32-bit image with an
    // alpha channel, or a PNG); otherwise it is 0xFF and means nothing.
    bool HasAlpha = false;
    // 0xAARRGGBB, the rows from the top.
    std::vector<uint32_t> Pixels;
    // 1 where the AND mask is set: the pixel leaves the background (black
    // colour) or inverts it (any other colour).  For a PNG image the pixels
    // of no opacity.
    std::vector<uint8_t> Mask;
};

// The images of an icon file, in the order of its directory.  Raises
// EInvalidGraphic "Icon image is not valid" for data that is no icon file or
// of which no image can be read; an image the file describes wrongly is left
// out.
std::vector<TIconImage> ReadIconFile(std::string_view data);

// An icon file of the images: each one a bitmap of its BitCount (with a
// colour table of the colours it uses, taking more bits when they do not fit
// in that many) and its AND mask, or a PNG picture when Png is set or the
// image is larger than 256 pixels either way.  Raises EInvalidGraphic for an
// empty list or an image of no pixels.
std::string WriteIconFile(const std::vector<TIconImage>& images);
