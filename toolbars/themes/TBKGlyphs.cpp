#include "toolbars/themes/TBKGlyphs.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "toolbars/themes/TBKColors.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// The work bitmaps: the background copy (and result) and the glyph.
struct TWorkBitmaps {
    TBitmap Background;
    TBitmap Glyph;
};
TWorkBitmaps& work() {
    static TWorkBitmaps bitmaps;
    return bitmaps;
}

uint32_t* row(TBitmap& bitmap, int y) { return reinterpret_cast<uint32_t*>(bitmap.ScanLine(y)); }

TColor pixelToColor(uint32_t pixel) { return static_cast<TColor>(SwapRedBlue(pixel & 0xFFFFFF)); }

struct TGlyphArea {
    int W = 0;
    int H = 0;
    bool Empty() const { return W <= 0 || H <= 0; }
};

TGlyphArea areaOf(const TRect& rect, TImageList* images, int index) {
    if (images == nullptr || index < 0 || index >= images->Count())
        return {};
    return {std::min(rect.Width(), images->Width()), std::min(rect.Height(), images->Height())};
}

// Copies the canvas under rect into the background bitmap (the brush
// colour where the canvas has no readable pixels).
void copyBackground(TCanvas& canvas, const TRect& rect, const TGlyphArea& area) {
    TBitmap& background = work().Background;
    background.SetSize(area.W, area.H);
    TCanvas& target = background.Canvas();
    if (!target.BitBlt(0, 0, area.W, area.H, &canvas, rect.Left, rect.Top, SRCCOPY))
        target.FillRect(Rect(0, 0, area.W, area.H), canvas.Brush().Color());
    target.Release();
}

// Draws the glyph onto the glyph bitmap over a fill of one pixel value.
void drawGlyph(TImageList* images, int index, const TGlyphArea& area, uint32_t fill) {
    TBitmap& glyph = work().Glyph;
    glyph.SetSize(area.W, area.H);
    for (int y = 0; y < area.H; ++y)
        FillLongword(row(glyph, y), area.W, kOpaque | fill);
    images->Draw(glyph.Canvas(), 0, 0, index, true);
    glyph.Canvas().Release();
}

// Puts each pixel the image list drew on the glyph bitmap (not the key)
// through a look into the background bitmap.
template <class Look> void mapGlyphPixels(const TGlyphArea& area, Look look) {
    for (int y = 0; y < area.H; ++y) {
        const uint32_t* glyph = row(work().Glyph, y);
        uint32_t* background = row(work().Background, y);
        for (int x = 0; x < area.W; ++x) {
            uint32_t p = glyph[x] & 0xFFFFFF;
            if (p != kGlyphKeyPixel)
                background[x] = kOpaque | look(p);
        }
    }
}

void putBackground(TCanvas& canvas, const TRect& rect) { canvas.Draw(rect.Left, rect.Top, work().Background); }

int weighted(uint32_t pixel, int r, int g, int b) {
    return static_cast<int>((pixel >> 16) & 0xFF) * r + static_cast<int>((pixel >> 8) & 0xFF) * g +
           static_cast<int>(pixel & 0xFF) * b;
}

// Paints in color the pixels of the glyph bitmap that are black.
void paintBlackPixels(TCanvas& canvas, const TRect& rect, const TGlyphArea& area, TColor color) {
    TBitmap& glyph = work().Glyph;
    std::vector<uint8_t> set(static_cast<size_t>(area.W * area.H));
    for (int y = 0; y < area.H; ++y) {
        const uint32_t* pixels = row(glyph, y);
        for (int x = 0; x < area.W; ++x)
            set[static_cast<size_t>(y * area.W + x)] = (pixels[x] & 0xFFFFFF) == 0;
    }
    PaintMask(canvas, rect.Left, rect.Top, area.W, area.H,
              [&](int x, int y) { return set[static_cast<size_t>(y * area.W + x)] != 0; }, color);
}

} // namespace

void DrawGlyphContrast(TCanvas& canvas, const TRect& rect, TImageList* images, bool invert, int index) {
    TGlyphArea area = areaOf(rect, images, index);
    if (area.Empty())
        return;
    if (!invert) {
        images->Draw(canvas, rect.Left, rect.Top, index, true);
        return;
    }
    copyBackground(canvas, rect, area);
    drawGlyph(images, index, area, kGlyphKeyPixel);
    mapGlyphPixels(area, [](uint32_t p) {
        int v = weighted(p, 76, 150, 29);
        if (v >= 64769)
            p = 0;
        else if (v < 25600)
            p = 0xFFFFFF;
        return SwapRedBlue(static_cast<uint32_t>(ShiftBrightness(pixelToColor(p), 32)));
    });
    putBackground(canvas, rect);
}

void DrawGlyphBlended(TCanvas& canvas, const TRect& rect, TImageList* images, int alpha, TColor color, int index) {
    TGlyphArea area = areaOf(rect, images, index);
    if (area.Empty())
        return;
    copyBackground(canvas, rect, area);
    drawGlyph(images, index, area, kGlyphKeyPixel);
    const uint32_t k = SwapRedBlue(static_cast<uint32_t>(ColorToRGB(color)) & 0xFFFFFF);
    const uint32_t a = static_cast<uint32_t>(std::clamp(alpha, 0, 255)), rest = 255 - a;
    mapGlyphPixels(area, [&](uint32_t p) {
        uint32_t redBlue = ((p & 0xFF00FFu) * a + (k & 0xFF00FFu) * rest) & 0xFF00FF00u;
        uint32_t green = ((p & 0xFF00u) * a + (k & 0xFF00u) * rest) & 0x00FF0000u;
        return (redBlue | green) >> 8;
    });
    putBackground(canvas, rect);
}

void DrawGlyphShadow(TCanvas& canvas, const TRect& rect, TImageList* images, bool light, int index) {
    TGlyphArea area = areaOf(rect, images, index);
    if (area.Empty())
        return;
    copyBackground(canvas, rect, area);
    TBitmap& glyph = work().Glyph;
    glyph.SetSize(area.W, area.H);
    for (int y = 0; y < area.H; ++y)
        std::copy_n(row(work().Background, y), area.W, row(glyph, y));
    images->Draw(glyph.Canvas(), 0, 0, index, true);
    glyph.Canvas().Release();
    for (int y = 0; y < area.H; ++y) {
        const uint32_t* drawn = row(glyph, y);
        uint32_t* background = row(work().Background, y);
        for (int x = 0; x < area.W; ++x) {
            uint32_t p = drawn[x] & 0xFFFFFF, b = background[x] & 0xFFFFFF;
            if (p == b)
                continue;
            uint32_t v = static_cast<uint32_t>(weighted(p, 29, 150, 76)) >> 8;
            uint32_t f = light ? (v >> 3) + 223 : (v >> 2) + 191;
            uint32_t r = (((b >> 16) & 0xFF) * f) >> 8, g = (((b >> 8) & 0xFF) * f) >> 8, bl = ((b & 0xFF) * f) >> 8;
            background[x] = kOpaque | (r << 16) | (g << 8) | bl;
        }
    }
    putBackground(canvas, rect);
}

void DrawGlyphMonochrome(TCanvas& canvas, const TRect& rect, TImageList* images, TColor color, int index) {
    TGlyphArea area = areaOf(rect, images, index);
    if (area.Empty())
        return;
    drawGlyph(images, index, area, 0xFFFFFF);
    for (int y = 0; y < area.H; ++y) {
        uint32_t* pixels = row(work().Glyph, y);
        for (int x = 0; x < area.W; ++x) {
            uint32_t p = pixels[x] & 0xFFFFFF;
            if (p != 0)
                pixels[x] = kOpaque | (weighted(p, 76, 150, 29) < 46081 ? 0u : 0xFFFFFFu);
        }
    }
    paintBlackPixels(canvas, rect, area, color);
}

void DrawGlyphSilhouette(TCanvas& canvas, const TRect& rect, TImageList* images, TColor color, int index) {
    TGlyphArea area = areaOf(rect, images, index);
    if (area.Empty())
        return;
    drawGlyph(images, index, area, kGlyphKeyPixel);
    for (int y = 0; y < area.H; ++y) {
        uint32_t* pixels = row(work().Glyph, y);
        for (int x = 0; x < area.W; ++x)
            pixels[x] = kOpaque | ((pixels[x] & 0xFFFFFF) == kGlyphKeyPixel ? 0xFFFFFFu : 0u);
    }
    paintBlackPixels(canvas, rect, area, color);
}
