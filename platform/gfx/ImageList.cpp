#include "platform/gfx/ImageList.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/QtBridge.h"

#include <QPainter>

#include <algorithm>
#include <optional>
#include <vector>

// The images of a list, each width x height with its transparency.
struct TImageListImages {
    std::vector<QImage> Images;
    static int Add(TImageList& list, const QImage& image, const QImage* maskBits, std::optional<QRgb> maskColor);
    static QImage Image(const TImageList& list, int index);
};

TImageList::TImageList(TComponent* owner) : TComponent(owner), images_(std::make_unique<TImageListImages>()) {}

TImageList::TImageList(int width, int height, TComponent* owner) : TImageList(owner) { SetSize(width, height); }

TImageList::~TImageList() {
    // The watchers still attached forget the list.
    for (TChangeLink* link : links_)
        link->images_ = nullptr;
    links_.clear();
}

int TImageList::Count() const { return static_cast<int>(images_->Images.size()); }

void TImageList::Clear() {
    images_->Images.clear();
    Change();
}

void TImageList::Change() {
    if (IsDestroying())
        return;
    for (TChangeLink* link : std::vector<TChangeLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->Change();
}

// ---------------------------------------------------------------------------
// TChangeLink

TChangeLink::TChangeLink(std::function<void(TChangeLink&)> onChange) : OnChange(std::move(onChange)) {}

TChangeLink::~TChangeLink() { SetImages(nullptr); }

void TChangeLink::SetImages(TImageList* list) {
    if (list == images_)
        return;
    if (images_ != nullptr)
        std::erase(images_->links_, this);
    images_ = list;
    if (images_ != nullptr)
        images_->links_.push_back(this);
}

void TChangeLink::Change() {
    if (OnChange)
        OnChange(*this);
}

void TImageList::SetSize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    images_->Images.clear();
    Change();
}

int TImageListImages::Add(TImageList& list, const QImage& source, const QImage* maskBits,
                          std::optional<QRgb> maskColor) {
    const int width_ = list.width_;
    const int height_ = list.height_;
    std::vector<QImage>& images_ = list.images_->Images;
    if (source.isNull() || source.height() < height_ || source.width() < width_)
        return -1;
    QImage strip = source.convertToFormat(QImage::Format_ARGB32);
    QImage mask = maskBits != nullptr ? maskBits->convertToFormat(QImage::Format_RGB32) : QImage();
    int first = list.Count();
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
    return list.Count() > first ? first : -1;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
    int first = TImageListImages::Add(*this, BitmapImage(image), mask != nullptr ? &BitmapImage(*mask) : nullptr,
                                      std::nullopt);
    if (first >= 0)
        Change();
    return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    int first = TImageListImages::Add(*this, BitmapImage(image), nullptr, ToQRgb(maskColor));
    if (first >= 0)
        Change();
    return first;
}

bool TImageList::Overlay(int index, int overlay) {
    if (overlay < 0 || overlay > 14 || index < 0 || index >= Count())
        return false;
    if (static_cast<int>(overlays_.size()) <= overlay)
        overlays_.resize(static_cast<size_t>(overlay) + 1, -1);
    overlays_[static_cast<size_t>(overlay)] = index;
    Change();
    return true;
}

int TImageList::OverlayImage(int overlay) const {
    if (overlay < 0 || overlay >= static_cast<int>(overlays_.size()))
        return -1;
    int index = overlays_[static_cast<size_t>(overlay)];
    return index < Count() ? index : -1;
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Image list index out of bounds");
    images_->Images.erase(images_->Images.begin() + index);
    Change();
}

QImage TImageListImages::Image(const TImageList& list, int index) {
    if (index < 0 || index >= list.Count())
        return QImage();
    return list.images_->Images[static_cast<size_t>(index)];
}

QImage ImageListImage(const TImageList& list, int index) { return TImageListImages::Image(list, index); }

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count())
        return;
    QPainter* painter = canvas.QtSide().Painter();
    if (painter == nullptr)
        return;
    const QImage& image = images_->Images[static_cast<size_t>(index)];
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
