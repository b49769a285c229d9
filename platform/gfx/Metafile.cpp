#include "platform/gfx/Metafile.h"

#include "platform/gfx/EmfPlayer.h"
#include "platform/gfx/MetafileClipping.h"
#include "platform/gfx/QtBridge.h"
#include "platform/gfx/WmfPlayer.h"

#include <QPainter>

#include <algorithm>

// Either kind is held as the drawing its player recorded.
struct TMetafile::TState {
    std::string Data;
    bool Enhanced = false;
    std::unique_ptr<TMetafileRecording> Recording;
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
    state->Recording = state->Enhanced ? PlayEnhancedMetafile(data) : PlayWindowsMetafile(data);
    width_ = state->Recording->Width();
    height_ = state->Recording->Height();
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
        clipping.QtSide().Painter()->setRenderHint(QPainter::Antialiasing);
        state_->Recording->Draw(clipping, rect);
    }
    painter->restore();
}
