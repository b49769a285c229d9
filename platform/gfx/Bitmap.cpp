#include "platform/gfx/Bitmap.h"

#include "platform/base/SafeFile.h"
#include "platform/base/Stream.h"
#include "platform/gfx/QtBridge.h"

#include <QBuffer>
#include <QByteArray>

#include <cstring>

namespace {

constexpr int kFileHeaderSize = 14;

TPixelFormat formatOfImage(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return pf1bit;
    case QImage::Format_Indexed8:
        return image.colorCount() <= 16 ? pf4bit : pf8bit;
    case QImage::Format_RGB555:
        return pf15bit;
    case QImage::Format_RGB16:
        return pf16bit;
    case QImage::Format_BGR888:
        return pf24bit;
    default:
        return pfDevice;
    }
}

// Formats whose pixels are indexes into a colour table.
bool isPaletteFormat(QImage::Format format) {
    return format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
           format == QImage::Format_MonoLSB;
}

QList<QRgb> defaultPalette(TPixelFormat format) {
    QList<QRgb> colors;
    if (format == pf1bit) {
        colors = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else if (format == pf4bit) {
        // The sixteen colours of the classic palette.
        const TColor sixteen[16] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple,
                                    clTeal,  clGray,   clSilver, clRed,  clLime, clYellow,
                                    clBlue,  clFuchsia, clAqua, clWhite};
        for (TColor c : sixteen)
            colors.push_back(ToQRgb(c));
    } else if (format == pf8bit) {
        // A 6x6x6 colour cube followed by a grey ramp.
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    colors.push_back(qRgb(r * 51, g * 51, b * 51));
        for (int i = 0; colors.size() < 256; ++i)
            colors.push_back(qRgb(i * 6, i * 6, i * 6));
    }
    return colors;
}

} // namespace

// The pixels behind a bitmap.
struct TBitmapPixels {
    QImage Image;
};

struct TBitmapAccess {
    static QImage& Image(const TBitmap& bitmap) { return bitmap.pixels_->Image; }
    static void SetImage(TBitmap& bitmap, const QImage& image) {
        bitmap.releaseCanvas();
        QImage& pixels = bitmap.pixels_->Image;
        pixels = image.copy();
        bitmap.pixelFormat_ = formatOfImage(pixels);
        if (bitmap.pixelFormat_ == pfDevice && pixels.format() != QImage::Format_RGB32)
            pixels = pixels.convertToFormat(QImage::Format_RGB32);
        bitmap.changed();
    }
};

QImage::Format ImageFormatOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return QImage::Format_Mono;
    case pf4bit:
    case pf8bit:
        return QImage::Format_Indexed8;
    case pf15bit:
        return QImage::Format_RGB555;
    case pf16bit:
        return QImage::Format_RGB16;
    case pf24bit:
        return QImage::Format_BGR888;
    default:
        return QImage::Format_RGB32;
    }
}

TBitmap::TBitmap() : pixels_(std::make_unique<TBitmapPixels>()) { canvas_.QtSide().SetDevice(&pixels_->Image); }

int TBitmap::Width() const { return pixels_->Image.width(); }

int TBitmap::Height() const { return pixels_->Image.height(); }

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() { canvas_.Release(); }

void TBitmap::changed() {
    if (OnChange)
        OnChange(this);
}

void TBitmap::releaseCanvas() { canvas_.Release(); }

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height() && !pixels_->Image.isNull())
        return;
    releaseCanvas();
    QImage resized(width, height, ImageFormatOf(pixelFormat_));
    if (isPaletteFormat(resized.format())) {
        QList<QRgb> palette = pixels_->Image.colorTable();
        if (palette.isEmpty())
            palette = defaultPalette(pixelFormat_);
        resized.setColorTable(palette);
        int white = 0;
        for (int i = 0; i < palette.size(); ++i)
            if ((palette[i] & 0xFFFFFF) == 0xFFFFFF)
                white = i;
        resized.fill(static_cast<uint>(white));
    } else {
        resized.fill(Qt::white);
    }
    if (!pixels_->Image.isNull() && pixels_->Image.format() == resized.format() && width > 0 && height > 0) {
        int rows = std::min(height, pixels_->Image.height());
        auto bytes = static_cast<size_t>((pixels_->Image.depth() * std::min(width, pixels_->Image.width()) + 7) / 8);
        for (int y = 0; y < rows; ++y)
            std::memcpy(resized.scanLine(y), pixels_->Image.constScanLine(y), bytes);
    }
    pixels_->Image = resized;
    changed();
}

TCanvas& TBitmap::Canvas() {
    makePaintable();
    return canvas_;
}

void TBitmap::makePaintable() {
    if (isPaletteFormat(pixels_->Image.format())) {
        releaseCanvas();
        pixels_->Image = pixels_->Image.convertToFormat(QImage::Format_RGB32);
        pixelFormat_ = pfDevice;
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pixelFormat_ || format == pfCustom)
        return;
    releaseCanvas();
    QImage::Format target = ImageFormatOf(format);
    if (!pixels_->Image.isNull()) {
        if (isPaletteFormat(target)) {
            pixels_->Image = pixels_->Image.convertToFormat(target, defaultPalette(format));
        } else {
            pixels_->Image = pixels_->Image.convertToFormat(target);
        }
    }
    pixelFormat_ = format;
    changed();
}

std::vector<TColor> TBitmap::Palette() const {
    std::vector<TColor> colors;
    for (QRgb rgb : pixels_->Image.colorTable())
        colors.push_back(FromQRgb(rgb));
    return colors;
}

void TBitmap::SetPalette(const std::vector<TColor>& colors) {
    if (!isPaletteFormat(pixels_->Image.format()))
        return;
    releaseCanvas();
    QList<QRgb> table;
    for (TColor c : colors)
        table.append(ToQRgb(c));
    pixels_->Image.setColorTable(table);
    changed();
}

void TBitmap::SetTransparent(bool transparent) {
    if (transparent != transparent_) {
        transparent_ = transparent;
        changed();
    }
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode != transparentMode_) {
        transparentMode_ = mode;
        changed();
    }
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault)
        return transparentColor_;
    if (Empty())
        return clDefault;
    return FromQRgb(pixels_->Image.pixel(0, pixels_->Image.height() - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? tmAuto : tmFixed;
    changed();
}

QImage MaskedBitmapImage(const TBitmap& bitmap) {
    const QImage& image = TBitmapAccess::Image(bitmap);
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    QRgb keyRgb = ToQRgb(bitmap.TransparentColor()) & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((row[x] & 0xFFFFFF) == keyRgb)
                row[x] = 0;
    }
    return masked;
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

// The file is replaced only once the whole picture has been written.
void TBitmap::SaveToFile(const std::string& fileName) {
    TMemoryStream data;
    SaveToStream(data);
    WriteFileReplacing(fileName, data.DataView());
}

void TBitmap::LoadFromStream(TStream& stream) {
    int64_t start = stream.Position();
    int64_t available = stream.Size() - start;
    // A stream that holds no bitmap is left where it was, whatever stops
    // the load, so that the caller can read it as something else.
    auto refuse = [&]() {
        stream.SetPosition(start);
        return EInvalidGraphic("Bitmap image is not valid");
    };
    uint8_t header[kFileHeaderSize];
    if (available < kFileHeaderSize || stream.ReadAvailable(header, kFileHeaderSize) != kFileHeaderSize ||
        header[0] != 'B' || header[1] != 'M')
        throw refuse();
    const auto declared = LoadLittleEndian<uint32_t>(header + 2);
    // Some writers leave the size 0 or wrong: then the rest of the stream is
    // the picture.
    int64_t total = declared >= kFileHeaderSize + 12 && declared <= available ? declared : available;
    QByteArray data(static_cast<qsizetype>(total), '\0');
    std::memcpy(data.data(), header, kFileHeaderSize);
    int64_t rest = total - kFileHeaderSize;
    if (rest > 0 && stream.ReadAvailable(data.data() + kFileHeaderSize, rest) != rest)
        throw refuse();
    QImage loaded;
    if (!loaded.loadFromData(data, "BMP") || loaded.isNull())
        throw refuse();
    const int bitCount = data.size() >= 30 ? LoadLittleEndian<uint16_t>(data.constData() + 28) : 24;
    TPixelFormat format = bitCount == 1    ? pf1bit
                          : bitCount == 4  ? pf4bit
                          : bitCount == 8  ? pf8bit
                          : bitCount == 16 ? pf16bit
                          : bitCount == 24 ? pf24bit
                          : bitCount == 32 ? pf32bit
                                           : pfDevice;
    QImage::Format target = ImageFormatOf(format);
    if (loaded.format() != target) {
        if (isPaletteFormat(target))
            loaded = loaded.convertToFormat(target, loaded.colorTable());
        else
            loaded = loaded.convertToFormat(target);
    }
    releaseCanvas();
    pixels_->Image = loaded;
    pixelFormat_ = format;
    changed();
}

void TBitmap::SaveToStream(TStream& stream) {
    releaseCanvas();
    QImage out = pixels_->Image;
    // The BMP writer stores palette images as they are and everything else
    // as 24-bit pixels.
    if (!isPaletteFormat(out.format()))
        out = out.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!out.isNull() && !out.save(&buffer, "BMP"))
        throw EInvalidGraphic("Bitmap image is not valid");
    stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TBitmap::Assign(const TPersistent* source) {
    if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        if (bitmap == this)
            return;
        releaseCanvas();
        pixels_->Image = bitmap->pixels_->Image.copy();
        pixelFormat_ = bitmap->pixelFormat_;
        transparent_ = bitmap->transparent_;
        transparentMode_ = bitmap->transparentMode_;
        transparentColor_ = bitmap->transparentColor_;
        changed();
        return;
    }
    if (source == nullptr) {
        releaseCanvas();
        pixels_->Image = QImage();
        changed();
        return;
    }
    TPersistent::Assign(source);
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= Height())
        throw EInvalidGraphic("Scan line index out of range");
    releaseCanvas();
    return pixels_->Image.scanLine(row);
}

const QImage& BitmapImage(const TBitmap& bitmap) { return TBitmapAccess::Image(bitmap); }

void SetBitmapImage(TBitmap& bitmap, const QImage& image) { TBitmapAccess::SetImage(bitmap, image); }
