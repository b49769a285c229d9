#pragma once
// The device-independent bitmaps that both metafile kinds carry (drawn
// pictures, pattern brushes), as toolkit images.  Platform code only.

#include <QImage>

#include <string_view>

// The picture of a bitmap header with its colour table or masks (`info`)
// and its pixel bits, read by the toolkit's BMP reader once a file header
// is put before them (JPEG and PNG bits by their own readers); a null
// image for what it cannot read.  With `alpha`, a 32-bit picture keeps its
// fourth bytes as its alpha, premultiplied as alpha blending takes them.
QImage MetafileBitmapImage(std::string_view info, std::string_view bits, bool alpha = false);

// The length of the header and colour table or masks at the start of a
// bitmap that holds its bits right after them; 0 where the header is
// damaged.
size_t MetafileBitmapInfoLength(std::string_view bitmap);
