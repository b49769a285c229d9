#include "platform/gfx/ImageList.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <QPainter>

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::TImageList(int width, int height, TComponent* owner) : TComponent(owner) {
    SetSize(width, height);
}

void TImageList::SetSize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    images_.clear();
}

int TImageList::add(const QImage& source, const QImage* maskBits, std::optional<QRgb> maskColor) {
    if (source.isNull() || source.height() < height_ || source.width() < width_)
        return -1;
    QImage strip = source.convertToFormat(QImage::Format_ARGB32);
    QImage mask = maskBits != nullptr ? maskBits->convertToFormat(QImage::Format_RGB32) : QImage();
    int first = Count();
    for (int left = 0; left + width_ <= strip.width(); left += width_) {
        QImage piece = strip.copy(left, 0, width_, height_);
        for (int y = 0; y < height_; ++y) {
            auto* row = reinterpret_cast<QRgb*>(piece.scanLine(y));
            for (int x = 0; x < width_; ++x) {
                bool transparent = false;
                if (maskColor)
                    transparent = (row[x] & 0xFFFFFF) == (*maskColor & 0xFFFFFF);
                else if (!mask.isNull() && left + x < mask.width() && y < mask.height())
                    transparent = (mask.pixel(left + x, y) & 0xFFFFFF) != 0;
                row[x] = transparent ? 0 : (row[x] | 0xFF000000);
            }
        }
        images_.push_back(piece);
    }
    return Count() > first ? first : -1;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
    return add(image.Image(), mask != nullptr ? &mask->Image() : nullptr, std::nullopt);
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    return add(image.Image(), nullptr, ToQRgb(maskColor));
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Image list index out of bounds");
    images_.erase(images_.begin() + index);
}

QImage TImageList::Image(int index) const {
    if (index < 0 || index >= Count())
        return QImage();
    return images_[static_cast<size_t>(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count())
        return;
    QPainter* painter = canvas.Painter();
    if (painter == nullptr)
        return;
    const QImage& image = images_[static_cast<size_t>(index)];
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (enabled) {
        painter->drawImage(x, y, image);
        return;
    }
    auto shape = [&image](TColor color) {
        QImage tinted = image.copy();
        const QRgb opaque = ToQRgb(color);
        for (int row = 0; row < tinted.height(); ++row) {
            auto* pixels = reinterpret_cast<QRgb*>(tinted.scanLine(row));
            for (int column = 0; column < tinted.width(); ++column)
                if (qAlpha(pixels[column]) != 0)
                    pixels[column] = opaque;
        }
        return tinted;
    };
    painter->drawImage(x + 1, y + 1, shape(clBtnHighlight));
    painter->drawImage(x, y, shape(clBtnShadow));
}

void TImageList::GetBitmap(int index, TBitmap& image, TColor background) const {
    image.SetPixelFormat(pfDevice);
    image.SetSize(width_, height_);
    TCanvas& canvas = image.Canvas();
    canvas.Brush().SetColor(background);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(Rect(0, 0, width_, height_));
    Draw(canvas, 0, 0, index, true);
    canvas.Release();
}
