#include "platform/gfx/Icon.h"

#include "platform/gfx/QtBridge.h"

#include <QImage>
#include <QPainter>

// The shown image in the two layers that draw it: the colours where the
// background does not show (blended by the alpha channel when there is
// one), and the colours that invert the background (a set mask bit under a
// colour that is not black), drawn with an exclusive or.
struct TIcon::TLayers {
    QImage Colors;
    QImage Inverting;
};

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

int TIcon::Width() const { return shown_ < 0 ? 0 : images_[size_t(shown_)].Width; }

int TIcon::Height() const { return shown_ < 0 ? 0 : images_[size_t(shown_)].Height; }

void TIcon::SetWidth(int width) {
    if (width != Width())
        throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int height) {
    if (height != Height())
        throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::imagesChanged() {
    shown_ = -1;
    for (size_t i = 0; i < images_.size(); ++i) {
        if (shown_ < 0) {
            shown_ = int(i);
            continue;
        }
        const TIconImage& best = images_[size_t(shown_)];
        const TIconImage& image = images_[i];
        const int64_t area = int64_t(image.Width) * image.Height;
        const int64_t bestArea = int64_t(best.Width) * best.Height;
        if (area > bestArea || (area == bestArea && image.BitCount > best.BitCount))
            shown_ = int(i);
    }
    layers_.reset();
    Changed(this);
}

void TIcon::SetImages(std::vector<TIconImage> images) {
    if (!images.empty())
        WriteIconFile(images); // the same checks as saving
    images_ = std::move(images);
    imagesChanged();
}

std::vector<bool> TIcon::Mask() const {
    if (shown_ < 0)
        return {};
    const TIconImage& image = images_[size_t(shown_)];
    return std::vector<bool>(image.Mask.begin(), image.Mask.end());
}

void TIcon::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    std::string data(size_t(std::max<int64_t>(0, stream.Size() - start)), '\0');
    data.resize(size_t(stream.ReadAvailable(data.data(), int64_t(data.size()))));
    images_ = ReadIconFile(data);
    imagesChanged();
}

void TIcon::SaveToStream(TStream& stream) {
    if (Empty())
        throw EInvalidGraphicOperation("Picture is empty");
    const std::string data = WriteIconFile(images_);
    stream.WriteBuffer(data.data(), int64_t(data.size()));
}

void TIcon::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        images_ = icon->images_;
        imagesChanged();
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty() || rect.IsEmpty())
        return;
    QPainter* painter = canvas.QtSide().Painter();
    if (painter == nullptr)
        return;
    if (!layers_) {
        const TIconImage& image = images_[size_t(shown_)];
        layers_ = std::make_unique<TLayers>();
        layers_->Colors = QImage(image.Width, image.Height, QImage::Format_ARGB32);
        QImage inverting(image.Width, image.Height, QImage::Format_RGB32);
        inverting.fill(0);
        bool inverts = false;
        for (int y = 0; y < image.Height; ++y) {
            auto* colors = reinterpret_cast<QRgb*>(layers_->Colors.scanLine(y));
            auto* inverted = reinterpret_cast<QRgb*>(inverting.scanLine(y));
            for (int x = 0; x < image.Width; ++x) {
                const size_t at = size_t(y) * image.Width + x;
                const uint32_t pixel = image.Pixels[at];
                if (image.HasAlpha) {
                    colors[x] = pixel;
                } else if (!image.Mask[at]) {
                    colors[x] = pixel | 0xFF000000u;
                } else {
                    colors[x] = 0;
                    if ((pixel & 0xFFFFFFu) != 0) {
                        inverted[x] = pixel | 0xFF000000u;
                        inverts = true;
                    }
                }
            }
        }
        if (inverts)
            layers_->Inverting = std::move(inverting);
    }
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(ToQRect(rect), layers_->Colors);
    if (!layers_->Inverting.isNull()) {
        painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter->drawImage(ToQRect(rect), layers_->Inverting);
    }
    painter->restore();
}
