// The device-independent bitmaps of the two metafile players (declared
// in QtBridge.h).
#include "platform/gfx/QtBridge.h"

#include "platform/base/Stream.h"

#include <QByteArray>

namespace {

constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kRgb = 0, kBitFields = 3, kJpeg = 4, kPng = 5;

} // namespace

size_t MetafileBitmapInfoLength(std::string_view bitmap) {
    if (bitmap.size() < 4)
        return 0;
    const auto headerSize = LoadLittleEndian<uint32_t>(bitmap.data());
    if (headerSize == kCoreHeader && bitmap.size() >= kCoreHeader) {
        const auto bits = LoadLittleEndian<uint16_t>(bitmap.data() + 10);
        return kCoreHeader + (bits <= 8 ? 3u << bits : 0u);
    }
    if (headerSize < kInfoHeader || headerSize > bitmap.size())
        return 0;
    const auto bits = LoadLittleEndian<uint16_t>(bitmap.data() + 14);
    const auto compression = LoadLittleEndian<uint32_t>(bitmap.data() + 16);
    const auto used = LoadLittleEndian<uint32_t>(bitmap.data() + 32);
    const size_t colours = used ? used : bits <= 8 ? 1u << bits : 0u;
    if (colours > 1u << 16)
        return 0;
    // Masks follow a plain header of a bitfield bitmap.
    const size_t masks = compression == kBitFields && headerSize == kInfoHeader ? 12 : 0;
    return headerSize + masks + 4 * colours;
}

QImage MetafileBitmapImage(std::string_view info, std::string_view bits, bool alpha) {
    if (info.size() < kCoreHeader)
        return {};
    const auto headerSize = LoadLittleEndian<uint32_t>(info.data());
    if (headerSize >= kInfoHeader && info.size() >= kInfoHeader) {
        const auto compression = LoadLittleEndian<uint32_t>(info.data() + 16);
        if (compression == kJpeg || compression == kPng)
            return QImage::fromData(QByteArray::fromRawData(bits.data(), qsizetype(bits.size())),
                                    compression == kJpeg ? "JPEG" : "PNG");
        const auto width = LoadLittleEndian<int32_t>(info.data() + 4);
        const auto height = LoadLittleEndian<int32_t>(info.data() + 8);
        const auto depth = LoadLittleEndian<uint16_t>(info.data() + 14);
        // Four bytes a pixel, the fourth the alpha: read here, as the BMP
        // reader takes such a picture as opaque.
        if (alpha && depth == 32 && compression == kRgb && width > 0 && height != 0 && width <= 1 << 15 &&
            std::abs(int64_t(height)) <= 1 << 15 && bits.size() >= size_t(width) * 4 * size_t(std::abs(height))) {
            const int rows = std::abs(height);
            QImage image(width, rows, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < rows; ++y) {
                // Bottom row first unless the height is negative.
                const char* row = bits.data() + size_t(height > 0 ? rows - 1 - y : y) * size_t(width) * 4;
                auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < width; ++x) {
                    const auto* p = reinterpret_cast<const unsigned char*>(row + 4 * x);
                    // Colour channels above the alpha are no premultiplied colour.
                    const int a = p[3];
                    out[x] = qRgba(std::min<int>(p[2], a), std::min<int>(p[1], a), std::min<int>(p[0], a), a);
                }
            }
            return image;
        }
    }
    QByteArray file("BM", 2);
    char header[12];
    StoreLittleEndian(header, uint32_t(14 + info.size() + bits.size()));
    StoreLittleEndian(header + 4, uint32_t(0));
    StoreLittleEndian(header + 8, uint32_t(14 + info.size()));
    file.append(header, 12);
    file.append(info.data(), qsizetype(info.size()));
    // A colour table shorter than the depth's, whose header gives no
    // count: the count of the entries there (the reader would take the
    // bits for the rest of the table).
    if (headerSize >= kInfoHeader && info.size() >= kInfoHeader) {
        const auto depth = LoadLittleEndian<uint16_t>(info.data() + 14);
        const size_t entries = (info.size() - headerSize) / 4;
        if (depth <= 8 && LoadLittleEndian<uint32_t>(info.data() + 32) == 0 && entries > 0 && entries < 1u << depth &&
            LoadLittleEndian<uint32_t>(info.data() + 16) == kRgb)
            StoreLittleEndian(file.data() + 14 + 32, uint32_t(entries));
    }
    file.append(bits.data(), qsizetype(bits.size()));
    QImage image;
    if (!image.loadFromData(file, "BMP"))
        return {};
    return image;
}
