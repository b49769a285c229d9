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

namespace {

// The top-left part of a frame's bitmap, its transparency kept.
std::unique_ptr<TBitmap> croppedFrameBitmap(TBitmap& bitmap, int width, int height) {
    auto part = std::make_unique<TBitmap>();
    part->SetPixelFormat(pf32bit);
    part->SetSize(width, height);
    for (int y = 0; y < height; ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y)), width,
                    reinterpret_cast<uint32_t*>(part->ScanLine(y)));
    part->SetTransparent(bitmap.Transparent());
    if (bitmap.Transparent())
        part->SetTransparentColor(bitmap.TransparentColor());
    return part;
}

} // namespace

void DrawGIFFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile) {
    TBitmap* bitmap = GIFFrameBitmap(frame, transparent && GIFFrameHasMask(frame));
    if (!bitmap)
        return;
    // Only what lies on the logical screen shows, as in a composite: a
    // frame reaching past the screen's edge is cut there.
    const TGIFImage* image = frame.Image();
    const int screenWidth = image && image->Width() > 0 ? image->Width() : frame.Left() + frame.Width();
    const int screenHeight = image && image->Height() > 0 ? image->Height() : frame.Top() + frame.Height();
    const int shownWidth = std::min(frame.Width(), screenWidth - frame.Left());
    const int shownHeight = std::min(frame.Height(), screenHeight - frame.Top());
    if (shownWidth <= 0 || shownHeight <= 0)
        return;
    std::unique_ptr<TBitmap> cropped;
    if (shownWidth < frame.Width() || shownHeight < frame.Height()) {
        cropped = croppedFrameBitmap(*bitmap, shownWidth, shownHeight);
        bitmap = cropped.get();
    }
    if (!tile) {
        // The screen's right and bottom edges land on rect's.
        TRect place = frame.ScaleRect(rect);
        place.Right = std::min(place.Right, rect.Right);
        place.Bottom = std::min(place.Bottom, rect.Bottom);
        canvas.StretchDraw(place, *bitmap);
        return;
    }
    for (int x = rect.Left + frame.Left(); x < rect.Right; x += screenWidth)
        for (int y = rect.Top + frame.Top(); y < rect.Bottom; y += screenHeight)
            canvas.StretchDraw(Bounds(x, y, shownWidth, shownHeight), *bitmap);
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
