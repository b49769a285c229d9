#include "gif/render/GIFImageDrawer.h"

#include "gif/GIFRender.h"
#include "gif/render/GIFDraw.h"

#include <algorithm>

void TGIFAdvanceReceiver::WndProc(TMessage& message) {
    if (message.Msg == WM_GIFADVANCE) {
        drawer_.Advance(uintptr_t(message.WParam));
        return;
    }
    TWinControl::WndProc(message);
}

TGIFImageDrawer::TGIFImageDrawer(TGIFImage& image) : image_(image) {}

TGIFImageDrawer::~TGIFImageDrawer() {
    for (TPainterEntry& entry : painters_)
        entry.Painter->Stop();
    painters_.clear();
    receiver_.reset();
}

void TGIFImageDrawer::reap() {
    if (busy_ > 0)
        return;
    painters_.erase(std::remove_if(painters_.begin(), painters_.end(),
                                   [](const TPainterEntry& entry) { return entry.Painter->Finished() || entry.Painter->Terminated(); }),
                    painters_.end());
}

void TGIFImageDrawer::StopPainters() {
    for (TPainterEntry& entry : painters_)
        entry.Painter->Stop();
    drawPainter_ = nullptr;
    reap();
}

void TGIFImageDrawer::stopDrawPainter() {
    if (drawPainter_)
        drawPainter_->Stop();
    drawPainter_ = nullptr;
    rendered_.reset();
    reap();
}

void TGIFImageDrawer::ImageChanged() {
    if (rendered_ || drawPainter_)
        stopDrawPainter();
}

void TGIFImageDrawer::Advance(uintptr_t serial) {
    auto found = std::find_if(painters_.begin(), painters_.end(),
                              [serial](const TPainterEntry& entry) { return entry.Serial == serial; });
    if (found == painters_.end())
        return; // a painter stopped since it posted
    TGIFPainter* painter = found->Painter.get();
    runPainter(*painter, [painter] { painter->Advance(); });
    if (painter->Finished()) {
        painter->Stop(); // its thread is leaving: join it
        if (painter == drawPainter_)
            drawPainter_ = nullptr;
    }
    reap();
}

void TGIFImageDrawer::startPainter(TCanvas& canvas, const TRect& rect) {
    TGIFDrawOptions options = image_.DrawOptions;
    if (image_.Images().Count() < 2)
        options &= TGIFDrawOptions(~(gdThreaded | gdAnimate));
    rendered_ = std::make_shared<TGIFPaintTarget>();
    auto painter = std::make_unique<TGIFPainter>(image_, rendered_, &canvas, rect, options);
    TGIFPainter* raw = painter.get();
    const uintptr_t serial = nextSerial_++;
    painters_.push_back({serial, std::move(painter)});
    drawPainter_ = raw;
    if (!(options & gdThreaded)) {
        runPainter(*raw, [raw] { raw->Execute(); });
        drawPainter_ = nullptr;
        raw->Stop();
        reap();
        return;
    }
    if (!receiver_)
        receiver_ = std::make_unique<TGIFAdvanceReceiver>(*this);
    TGIFAdvanceReceiver* receiver = receiver_.get();
    raw->OnShown = [this](TGIFPainter&) {
        if (image_.OnChange)
            image_.OnChange(&image_);
    };
    raw->OnAdvanceDue = [receiver, serial](TGIFPainter&) { PostMessage(receiver, WM_GIFADVANCE, WPARAM(serial)); };
    runPainter(*raw, [raw] { raw->Start(); });
}

void TGIFImageDrawer::runPainter(TGIFPainter& painter, const std::function<void()>& run) {
    // While a painter runs here (its event handlers may draw or change the
    // image), painters that end are only marked; an exception from a
    // handler ends the painter.
    ++busy_;
    try {
        run();
    } catch (...) {
        --busy_;
        painter.Stop();
        if (&painter == drawPainter_)
            drawPainter_ = nullptr;
        reap();
        throw;
    }
    --busy_;
}

void TGIFImageDrawer::Draw(TCanvas& canvas, const TRect& rect) {
    if (drawing_ || image_.Empty() || rect.IsEmpty())
        return;
    drawing_ = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{drawing_};
    const TGIFDrawOptions options = image_.DrawOptions;
    const bool tile = (options & gdTile) != 0;
    const bool hugeScreen = int64_t(image_.Width()) * image_.Height() > GIFMaxCompositePixels;
    if (image_.Images().Count() == 1 || !(options & gdAnimate) || hugeScreen) {
        DrawGIFFrame(*image_.Images().Frames(0), canvas, rect, (options & gdTransparent) != 0, tile);
        return;
    }
    const bool elsewhere = drawPainter_ && (drawPainter_->Canvas() != &canvas || !(drawPainter_->Rect() == rect));
    if (!rendered_ || ((options & gdDirect) && elsewhere)) {
        stopDrawPainter();
        startPainter(canvas, rect);
        if (!(options & gdThreaded))
            return; // it drew every frame as it showed it
    }
    if (rendered_)
        DrawGIFPicture(rendered_->Bitmap, canvas, rect, tile);
}

void TGIFImageDrawer::RenderFirstFrame(TBitmap& bitmap) {
    if (int64_t(image_.Width()) * image_.Height() > GIFMaxCompositePixels) {
        // Only the frame itself, not the vast screen around it.
        TGIFSubImage& first = *image_.Images().Frames(0);
        FillGIFBitmap(bitmap, first.Width(), first.Height(), RenderGIFFrame(first, false, image_.IsDithered()),
                      clBlack, {});
        return;
    }
    TGIFCompositor compositor(image_, false, image_.IsDithered());
    compositor.Show(0);
    FillGIFBitmap(bitmap, compositor.Width(), compositor.Height(), compositor.Pixels(), GIFBackgroundColor(image_),
                  {});
}
