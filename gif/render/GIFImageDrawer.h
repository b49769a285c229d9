#pragma once
// What draws a TGIFImage: the first frame of a still image, and for an
// animated one the painter that shows its frames in turn, with the bitmap
// it composes them into.  Made by the image on first use (see
// GIFRenderSupport.h); lives on the user-interface thread.

#include "gif/GIFRenderSupport.h"
#include "gif/render/GIFPainter.h"
#include "platform/ui/Control.h"

#include <functional>
#include <memory>
#include <vector>

class TGIFImageDrawer;

// The message a painter's thread posts when the next frame is due: WParam
// is the painter's serial number.  Delivered to a windowless control of
// the drawer, so a message that outlives the drawer is dropped.
inline constexpr unsigned WM_GIFADVANCE = WM_USER + 0x3A0;

class TGIFAdvanceReceiver : public TWinControl {
public:
    explicit TGIFAdvanceReceiver(TGIFImageDrawer& drawer) : drawer_(drawer) {}
    std::string ClassName() const override { return "TGIFAdvanceReceiver"; }
    void WndProc(TMessage& message) override;

private:
    TGIFImageDrawer& drawer_;
};

class TGIFImageDrawer : public TGIFImageRenderer {
public:
    explicit TGIFImageDrawer(TGIFImage& image);
    ~TGIFImageDrawer() override;

    // A still image (one frame, or gdAnimate off): the first frame where it
    // lies on the logical screen, stretched into rect (or tiled).  An
    // animated one: the frame its painter shows now, stretched into rect;
    // the first such Draw starts the painter, which composes into a bitmap
    // of its own and tells the image's OnChange after each frame.  With
    // gdDirect the painter belongs to the canvas and rectangle it was
    // started for: a Draw elsewhere stops it and starts another.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    void StopPainters() override;
    // Drops the composed bitmap, which ends its painter.
    void ImageChanged() override;

    // The painter started by the last Draw, or nullptr once it has ended.
    TGIFPainter* DrawPainter() const { return drawPainter_; }
    int PainterCount() const { return int(painters_.size()); }
    // The picture the painter shows now (or showed last); nullptr before
    // the first Draw of an animated image.
    TBitmap* RenderedBitmap() const { return rendered_ ? &rendered_->Bitmap : nullptr; }

    // The first frame on a bitmap of the logical screen's size, opaque
    // (what a bitmap assigned from the image holds).
    void RenderFirstFrame(TBitmap& bitmap);

    // The "advance" of the painter with this serial number.
    void Advance(uintptr_t serial);

private:
    struct TPainterEntry {
        uintptr_t Serial;
        std::unique_ptr<TGIFPainter> Painter;
    };

    void stopDrawPainter();
    void startPainter(TCanvas& canvas, const TRect& rect);
    // Frees painters that have ended, unless one of them is busy.
    void reap();
    void runPainter(TGIFPainter& painter, const std::function<void()>& run);

    TGIFImage& image_;
    bool drawing_ = false;
    int busy_ = 0; // nesting of painters running on this thread
    std::shared_ptr<TGIFPaintTarget> rendered_;
    TGIFPainter* drawPainter_ = nullptr;
    std::vector<TPainterEntry> painters_;
    uintptr_t nextSerial_ = 1;
    std::unique_ptr<TGIFAdvanceReceiver> receiver_;
};
