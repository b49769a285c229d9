#include "platform/gfx/IconFile.h"

#include "platform/base/Stream.h"
#include "platform/gfx/Graphic.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <unordered_map>

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;
// Larger bitmaps are not icons; the limit keeps a damaged header from asking
// for gigabytes.
constexpr int kMaxSide = 1024;
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

[[noreturn]] void invalid() { throw EInvalidGraphic("Icon image is not valid"); }

uint16_t word(std::string_view data, size_t at) { return LoadLittleEndian<uint16_t>(data.data() + at); }
uint32_t dword(std::string_view data, size_t at) { return LoadLittleEndian<uint32_t>(data.data() + at); }

// Bytes of one row: rows are padded to whole 32-bit words.
size_t rowBytes(int width, int bits) { return (size_t(width) * size_t(bits) + 31) / 32 * 4; }

uint32_t opaque(uint8_t red, uint8_t green, uint8_t blue) {
    return 0xFF000000u | uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

bool isPng(std::string_view data) { return data.substr(0, 8) == std::string_view(kPngSignature, 8); }

// An image stored as PNG: its pixels with their opacity; the mask is where
// there is none.
bool readPng(std::string_view data, TIconImage& image) {
    QImage png;
    if (!png.loadFromData(reinterpret_cast<const uchar*>(data.data()), qsizetype(data.size()), "PNG"))
        return false;
    if (png.width() > kMaxSide || png.height() > kMaxSide)
        return false;
    png = png.convertToFormat(QImage::Format_ARGB32);
    image.Width = png.width();
    image.Height = png.height();
    image.BitCount = 32;
    image.Png = true;
    image.HasAlpha = true;
    image.Pixels.resize(size_t(image.Width) * image.Height);
    image.Mask.resize(image.Pixels.size());
    for (int y = 0; y < image.Height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(png.constScanLine(y));
        for (int x = 0; x < image.Width; ++x) {
            const size_t at = size_t(y) * image.Width + x;
            image.Pixels[at] = row[x];
            image.Mask[at] = qAlpha(row[x]) == 0;
        }
    }
    return true;
}

// An image stored as a bitmap: the information header, the colour table,
// the colour rows and the AND mask rows, both from the bottom up.  The
// header's height counts both halves.
bool readBitmap(std::string_view data, TIconImage& image) {
    if (data.size() < kInfoHeaderSize)
        return false;
    const uint32_t headerSize = dword(data, 0);
    const auto width = int32_t(dword(data, 4));
    const auto doubleHeight = int32_t(dword(data, 8));
    const int bits = word(data, 14);
    const uint32_t compression = dword(data, 16);
    uint32_t colorsUsed = dword(data, 32);
    if (headerSize < kInfoHeaderSize || headerSize > data.size() || width <= 0 || width > kMaxSide ||
        doubleHeight <= 1 || doubleHeight / 2 > kMaxSide || compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const int height = doubleHeight / 2;
    std::vector<uint32_t> palette;
    size_t tableBytes = 0;
    if (bits <= 8) {
        if (colorsUsed == 0 || colorsUsed > (1u << bits))
            colorsUsed = 1u << bits;
        if (data.size() - headerSize < size_t(colorsUsed) * 4)
            return false;
        for (uint32_t i = 0; i < colorsUsed; ++i) {
            const char* quad = data.data() + headerSize + size_t(i) * 4;
            palette.push_back(opaque(uint8_t(quad[2]), uint8_t(quad[1]), uint8_t(quad[0])));
        }
        tableBytes = size_t(colorsUsed) * 4;
        // Indices past a short colour table read as black.
        palette.resize(size_t(1) << bits, opaque(0, 0, 0));
    }
    const size_t colorStart = headerSize + tableBytes;
    const size_t colorStride = rowBytes(width, bits);
    const size_t maskStride = rowBytes(width, 1);
    if (data.size() < colorStart || (data.size() - colorStart) / colorStride < size_t(height))
        return false;
    const size_t maskStart = colorStart + colorStride * height;
    // Some writers leave the AND mask out of an image with an alpha channel.
    const bool hasMask = (data.size() - maskStart) / maskStride >= size_t(height);
    if (!hasMask && bits != 32)
        return false;

    image.Width = width;
    image.Height = height;
    image.BitCount = bits;
    image.Png = false;
    image.Pixels.assign(size_t(width) * height, 0);
    image.Mask.assign(image.Pixels.size(), 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint8_t*>(data.data() + colorStart + colorStride * (height - 1 - y));
        const auto* maskRow =
            hasMask ? reinterpret_cast<const uint8_t*>(data.data() + maskStart + maskStride * (height - 1 - y))
                    : nullptr;
        uint32_t* out = image.Pixels.data() + size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1: out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: out[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
            case 8: out[x] = palette[row[x]]; break;
            case 16: {
                // Five bits of each colour, widened so that 31 becomes 255.
                const uint16_t v = uint16_t(row[2 * x] | row[2 * x + 1] << 8);
                const auto widen = [](int five) { return uint8_t(five << 3 | five >> 2); };
                out[x] = opaque(widen(v >> 10 & 31), widen(v >> 5 & 31), widen(v & 31));
                break;
            }
            case 24: out[x] = opaque(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
            default:
                out[x] = uint32_t(row[4 * x + 3]) << 24 | uint32_t(row[4 * x + 2]) << 16 |
                         uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
                anyAlpha = anyAlpha || row[4 * x + 3] != 0;
            }
            if (maskRow)
                image.Mask[size_t(y) * width + x] = (maskRow[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
    // A 32-bit image whose alpha bytes are all 0 was written before icons had
    // alpha: its mask alone says what is transparent.
    image.HasAlpha = bits == 32 && anyAlpha;
    if (bits == 32) {
        for (size_t i = 0; i < image.Pixels.size(); ++i) {
            if (!image.HasAlpha)
                image.Pixels[i] |= 0xFF000000u;
            if (!hasMask)
                image.Mask[i] = (image.Pixels[i] >> 24) == 0;
        }
    }
    return true;
}

// ---- writing ----

std::string pngBytes(const TIconImage& image) {
    QImage png(image.Width, image.Height, QImage::Format_ARGB32);
    for (int y = 0; y < image.Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(png.scanLine(y));
        for (int x = 0; x < image.Width; ++x) {
            const size_t at = size_t(y) * image.Width + x;
            const uint32_t pixel = image.Pixels[at];
            if (image.HasAlpha)
                row[x] = image.Mask[at] ? (pixel & 0xFFFFFFu) : pixel;
            else
                row[x] = image.Mask[at] ? (pixel & 0xFFFFFFu) : (pixel | 0xFF000000u);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!png.save(&buffer, "PNG"))
        throw EInvalidGraphic("Icon image is not valid");
    return bytes.toStdString();
}

// The colour table of an image of at most 8 bits per pixel, and the bits
// that hold its colours (the image's own, or more when they do not fit).
struct TColorTable {
    std::vector<uint32_t> Colors;
    std::unordered_map<uint32_t, uint8_t> Index;
    int Bits = 0;
};

TColorTable colorTable(const TIconImage& image) {
    TColorTable table;
    for (uint32_t pixel : image.Pixels) {
        const uint32_t rgb = pixel & 0xFFFFFFu;
        if (table.Index.count(rgb))
            continue;
        if (table.Colors.size() == 256)
            return {};
        table.Index.emplace(rgb, uint8_t(table.Colors.size()));
        table.Colors.push_back(rgb);
    }
    table.Bits = image.BitCount;
    while (table.Bits < 8 && table.Colors.size() > (size_t(1) << table.Bits))
        table.Bits = table.Bits == 1 ? 4 : 8;
    return table;
}

std::string bitmapBytes(const TIconImage& image, int& bits) {
    bits = image.BitCount;
    TColorTable table;
    if (bits <= 8) {
        table = colorTable(image);
        bits = table.Bits == 0 ? 32 : table.Bits;
    } else if (bits != 16 && bits != 24) {
        bits = 32;
    }
    const int width = image.Width;
    const int height = image.Height;
    const size_t colorStride = rowBytes(width, bits);
    const size_t maskStride = rowBytes(width, 1);
    const size_t paletteCount = bits <= 8 ? size_t(1) << bits : 0;
    std::string out;
    AppendLittleEndian<uint32_t>(out, kInfoHeaderSize);
    AppendLittleEndian<int32_t>(out, width);
    AppendLittleEndian<int32_t>(out, height * 2);
    AppendLittleEndian<uint16_t>(out, 1);
    AppendLittleEndian<uint16_t>(out, uint16_t(bits));
    AppendLittleEndian<uint32_t>(out, 0);
    AppendLittleEndian<uint32_t>(out, uint32_t((colorStride + maskStride) * height));
    AppendLittleEndian<int32_t>(out, 0);
    AppendLittleEndian<int32_t>(out, 0);
    AppendLittleEndian<uint32_t>(out, uint32_t(paletteCount));
    AppendLittleEndian<uint32_t>(out, 0);
    for (size_t i = 0; i < paletteCount; ++i) {
        const uint32_t rgb = i < table.Colors.size() ? table.Colors[i] : 0;
        out.push_back(char(rgb & 0xFF));
        out.push_back(char(rgb >> 8 & 0xFF));
        out.push_back(char(rgb >> 16 & 0xFF));
        out.push_back(0);
    }
    std::string row(colorStride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), '\0');
        const uint32_t* in = image.Pixels.data() + size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = in[x];
            switch (bits) {
            case 1: row[x >> 3] = char(row[x >> 3] | table.Index[pixel & 0xFFFFFFu] << (7 - (x & 7))); break;
            case 4: row[x >> 1] = char(row[x >> 1] | table.Index[pixel & 0xFFFFFFu] << ((x & 1) ? 0 : 4)); break;
            case 8: row[x] = char(table.Index[pixel & 0xFFFFFFu]); break;
            case 16: {
                const int v = int(pixel >> 19 & 31) << 10 | int(pixel >> 11 & 31) << 5 | int(pixel >> 3 & 31);
                row[2 * x] = char(v & 0xFF);
                row[2 * x + 1] = char(v >> 8);
                break;
            }
            default:
                row[size_t(bits / 8) * x] = char(pixel & 0xFF);
                row[size_t(bits / 8) * x + 1] = char(pixel >> 8 & 0xFF);
                row[size_t(bits / 8) * x + 2] = char(pixel >> 16 & 0xFF);
                if (bits == 32)
                    row[4 * x + 3] = char(image.HasAlpha ? pixel >> 24 : 0);
            }
        }
        out += row;
    }
    std::string maskRow(maskStride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        std::fill(maskRow.begin(), maskRow.end(), '\0');
        for (int x = 0; x < width; ++x)
            if (image.Mask[size_t(y) * width + x])
                maskRow[x >> 3] = char(maskRow[x >> 3] | 0x80 >> (x & 7));
        out += maskRow;
    }
    return out;
}

} // namespace

std::vector<TIconImage> ReadIconFile(std::string_view data) {
    if (data.size() < kDirectorySize || word(data, 0) != 0 || word(data, 2) != 1)
        invalid();
    const size_t count = word(data, 4);
    if (count == 0 || data.size() < kDirectorySize + count * kEntrySize)
        invalid();
    std::vector<TIconImage> images;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = kDirectorySize + i * kEntrySize;
        const size_t size = dword(data, entry + 8);
        const size_t offset = dword(data, entry + 12);
        if (offset > data.size() || size > data.size() - offset)
            continue;
        const std::string_view bytes = data.substr(offset, size);
        TIconImage image;
        if (isPng(bytes) ? readPng(bytes, image) : readBitmap(bytes, image))
            images.push_back(std::move(image));
    }
    if (images.empty())
        invalid();
    return images;
}

std::string WriteIconFile(const std::vector<TIconImage>& images) {
    if (images.empty() || images.size() > 0xFFFF)
        throw EInvalidGraphic("Icon image is not valid");
    std::vector<std::string> blocks;
    std::vector<int> bits;
    for (const TIconImage& image : images) {
        if (image.Width <= 0 || image.Height <= 0 || image.Pixels.size() != size_t(image.Width) * image.Height ||
            image.Mask.size() != image.Pixels.size())
            throw EInvalidGraphic("Icon image is not valid");
        int written = 32;
        blocks.push_back(image.Png || image.Width > 256 || image.Height > 256 ? pngBytes(image)
                                                                               : bitmapBytes(image, written));
        bits.push_back(written);
    }
    std::string out;
    AppendLittleEndian<uint16_t>(out, 0);
    AppendLittleEndian<uint16_t>(out, 1);
    AppendLittleEndian<uint16_t>(out, uint16_t(images.size()));
    size_t offset = kDirectorySize + images.size() * kEntrySize;
    for (size_t i = 0; i < images.size(); ++i) {
        const TIconImage& image = images[i];
        // A side of 256 or more is written as 0.
        out.push_back(char(image.Width >= 256 ? 0 : image.Width));
        out.push_back(char(image.Height >= 256 ? 0 : image.Height));
        out.push_back(char(bits[i] < 8 ? 1 << bits[i] : 0));
        out.push_back(0);
        AppendLittleEndian<uint16_t>(out, 1);
        AppendLittleEndian<uint16_t>(out, uint16_t(bits[i]));
        AppendLittleEndian<uint32_t>(out, uint32_t(blocks[i].size()));
        AppendLittleEndian<uint32_t>(out, uint32_t(offset));
        offset += blocks[i].size();
    }
    for (const std::string& block : blocks)
        out += block;
    return out;
}
