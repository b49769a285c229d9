#pragma once
// GIF images on the platform's clipboard: the picture goes there as a
// bitmap beside the GIF file, and a bitmap found there becomes a GIF image.

#include <string>
#include <string_view>

class TGIFImage;

// The image's first frame on its logical screen as a bitmap's clipboard
// form (CF_BITMAP, the bytes of a BMP file); nothing for an empty image.
void GIFBitmapClipboardData(TGIFImage& image, unsigned& format, std::string& data);
// Adds the bytes to the clipboard content being put together; false when
// the clipboard is not open.
bool SetGIFClipboardData(unsigned format, std::string_view data);
std::string GetGIFClipboardData(unsigned format);
// A bitmap's clipboard bytes made into the image, through TBitmap; false
// for another format.
bool LoadGIFClipboardPicture(TGIFImage& image, unsigned format, std::string_view data);
