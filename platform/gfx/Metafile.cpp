#include "platform/gfx/Metafile.h"

#include "platform/gfx/EmfConversion.h"
#include "platform/gfx/MetafileClipping.h"
#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/QtBridge.h"
#include "platform/gfx/WmfPlayer.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

// An enhanced metafile is held as the SVG its library makes of it, a
// Windows metafile as the drawing our player recorded.
struct TMetafile::TState {
    std::string Data;
    bool Enhanced = false;
    TMetafileDrawing Drawing;
    QSvgRenderer Renderer;
    std::unique_ptr<TWindowsMetafileRecording> Recording;
};

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() = default;

int TMetafile::Width() const { return width_; }

int TMetafile::Height() const { return height_; }

void TMetafile::SetWidth(int width) {
    if (width != width_ && state_) {
        width_ = std::max(width, 0);
        Changed(this);
    }
}

void TMetafile::SetHeight(int height) {
    if (height != height_ && state_) {
        height_ = std::max(height, 0);
        Changed(this);
    }
}

bool TMetafile::Enhanced() const { return state_ && state_->Enhanced; }

void TMetafile::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    std::string data(size_t(std::max<int64_t>(0, stream.Size() - start)), '\0');
    data.resize(size_t(stream.ReadAvailable(data.data(), int64_t(data.size()))));
    auto state = std::make_shared<TState>();
    state->Enhanced = IsEnhancedMetafile(data);
    if (state->Enhanced) {
        state->Drawing = ConvertEnhancedMetafile(data);
        if (!state->Renderer.load(QByteArray::fromStdString(state->Drawing.Svg)))
            InvalidMetafile();
        width_ = state->Drawing.Width;
        height_ = state->Drawing.Height;
    } else {
        state->Recording = std::make_unique<TWindowsMetafileRecording>(data);
        width_ = state->Recording->Width();
        height_ = state->Recording->Height();
    }
    state->Data = std::move(data);
    state_ = std::move(state);
    Changed(this);
}

void TMetafile::SaveToStream(TStream& stream) {
    if (Empty())
        throw EInvalidGraphicOperation("Picture is empty");
    stream.WriteBuffer(state_->Data.data(), int64_t(state_->Data.size()));
}

void TMetafile::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (const auto* metafile = dynamic_cast<const TMetafile*>(source)) {
        state_ = metafile->state_;
        width_ = metafile->width_;
        height_ = metafile->height_;
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty() || rect.IsEmpty())
        return;
    QPainter* painter = canvas.QtSide().Painter();
    if (painter == nullptr)
        return;
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->setClipRect(ToQRect(rect), Qt::IntersectClip);
    {
        // Through a canvas that cuts what reaches far past the rectangle.
        TClippingCanvas clipping(canvas);
        QPainter& drawing = *clipping.QtSide().Painter();
        drawing.setRenderHint(QPainter::Antialiasing);
        if (state_->Enhanced) {
            // The part of the frame the SVG shows, scaled from the
            // metafile's own size onto the rectangle.
            const TMetafileDrawing& shown = state_->Drawing;
            const double scaleX = double(rect.Width()) / shown.Width;
            const double scaleY = double(rect.Height()) / shown.Height;
            const QRectF target(rect.Left + shown.Left * scaleX, rect.Top + shown.Top * scaleY,
                                (shown.Right - shown.Left) * scaleX, (shown.Bottom - shown.Top) * scaleY);
            state_->Renderer.render(&drawing, target);
        } else {
            state_->Recording->Draw(clipping, rect);
        }
    }
    painter->restore();
}
