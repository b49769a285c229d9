#include "gif/render/GIFDraw.h"

#include "gif/GIFException.h"
#include "gif/GIFRender.h"

#include <algorithm>
#include <memory>
#include <set>

namespace {

// What is kept of a rendered frame, per way of drawing it.
class TFrameBitmaps : public TGIFRenderCache {
public:
    std::unique_ptr<TBitmap> Opaque;
    std::unique_ptr<TBitmap> Masked;
};

TFrameBitmaps& cacheOf(TGIFSubImage& frame) {
    auto* cache = dynamic_cast<TFrameBitmaps*>(frame.RenderCache());
    if (!cache) {
        auto made = std::make_unique<TFrameBitmaps>();
        cache = made.get();
        frame.SetRenderCache(std::move(made));
    }
    return *cache;
}

uint32_t rgbOf(const TGIFColor& c) { return (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue; }

} // namespace

uint32_t UnusedGIFColor(const std::vector<const TGIFPalette*>& palettes) {
    std::set<uint32_t> used;
    for (const TGIFPalette* palette : palettes)
        for (const TGIFColor& c : *palette)
            used.insert(rgbOf(c));
    // Palettes hold few colours: an odd magenta is almost always free.
    for (uint32_t candidate = 0xFF00FE;; candidate = (candidate * 2654435761u + 12345u) & 0xFFFFFF)
        if (!used.count(candidate))
            return candidate;
}

void FillGIFBitmap(TBitmap& bitmap, int width, int height, const std::vector<uint32_t>& pixels,
                   TColor background, const TGIFPalette& colors) {
    const bool masked = background == clNone;
    uint32_t fill = 0;
    if (masked) {
        fill = UnusedGIFColor({&colors});
    } else {
        const TColor rgb = ColorToRGB(background);
        fill = (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | uint32_t(GetBValue(rgb));
    }
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(width, height);
    // A bitmap of no width has no rows to fill.
    const int rows = width > 0 ? std::min(height, bitmap.Height()) : 0;
    for (int y = 0; y < rows; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
        const uint32_t* from = pixels.data() + int64_t(y) * width;
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | ((from[x] >> 24) ? from[x] : fill);
    }
    bitmap.SetTransparent(masked);
    if (masked)
        bitmap.SetTransparentColor(RGB(int(fill >> 16) & 0xFF, int(fill >> 8) & 0xFF, int(fill) & 0xFF));
}

TBitmap* GIFFrameBitmap(TGIFSubImage& frame, bool transparent) {
    if (frame.Empty())
        return nullptr;
    TFrameBitmaps& cache = cacheOf(frame);
    std::unique_ptr<TBitmap>& bitmap = transparent ? cache.Masked : cache.Opaque;
    if (!bitmap) {
        TGIFImage* image = frame.Image();
        const bool dithered = image && image->IsDithered();
        if (image)
            image->Progress(&frame, psStarting, 0, false, sProgressRendering);
        auto made = std::make_unique<TBitmap>();
        const TGIFPalette palette = dithered ? WebPalette() : FramePalette(frame);
        FillGIFBitmap(*made, frame.Width(), frame.Height(), RenderGIFFrame(frame, transparent, dithered),
                      transparent ? clNone : clBlack, palette);
        bitmap = std::move(made);
        if (image)
            image->Progress(&frame, psEnding, 100, false, sProgressRendering);
    }
    return bitmap.get();
}

bool GIFFrameHasMask(TGIFSubImage& frame) {
    if (frame.Empty() || !frame.Transparent())
        return false;
    const uint8_t t = frame.GraphicControlExtension()->TransparentColorIndex();
    const uint8_t* pixels = static_cast<const TGIFSubImage&>(frame).Data();
    return std::find(pixels, pixels + frame.DataSize(), t) != pixels + frame.DataSize();
}

void DrawGIFFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile) {
    TBitmap* bitmap = GIFFrameBitmap(frame, transparent && GIFFrameHasMask(frame));
    if (!bitmap)
        return;
    if (!tile) {
        canvas.StretchDraw(frame.ScaleRect(rect), *bitmap);
        return;
    }
    const TGIFImage* image = frame.Image();
    const int stepX = image && image->Width() > 0 ? image->Width() : frame.Width();
    const int stepY = image && image->Height() > 0 ? image->Height() : frame.Height();
    for (int x = rect.Left + frame.Left(); x < rect.Right; x += stepX)
        for (int y = rect.Top + frame.Top(); y < rect.Bottom; y += stepY)
            canvas.StretchDraw(Bounds(x, y, frame.Width(), frame.Height()), *bitmap);
}

void DrawGIFPicture(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, bool tile) {
    if (bitmap.Empty() || rect.IsEmpty())
        return;
    if (!tile) {
        canvas.StretchDraw(rect, bitmap);
        return;
    }
    for (int x = rect.Left; x < rect.Right; x += bitmap.Width())
        for (int y = rect.Top; y < rect.Bottom; y += bitmap.Height())
            canvas.StretchDraw(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap);
}

TColor GIFBackgroundColor(TGIFImage& image) {
    if (image.BackgroundColor != GIFNoColor)
        return ColorToRGB(image.BackgroundColor);
    TGIFGlobalColorMap& global = image.GlobalColorMap();
    const int index = image.Header().BackgroundColorIndex();
    if (global.Count() > 0) {
        // An index beyond the table draws black, as pixels beyond it do.
        if (index >= global.Count())
            return clBlack;
        const TGIFColor c = global.Data()[index];
        return RGB(c.Red, c.Green, c.Blue);
    }
    return ColorToRGB(clWindow);
}
