#include "toolbars/TBGlyphs.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"

#include <algorithm>

uint32_t SwapRedBlue(uint32_t color) {
    return (color & 0xFF00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu);
}

void PaintMask(TCanvas& canvas, int x, int y, int width, int height, const std::function<bool(int, int)>& isSet,
               TColor color) {
    if (width <= 0 || height <= 0)
        return;
    // One transparent bitmap drawn at once: the unset pixels carry a key
    // colour that is not the ink.
    constexpr uint32_t kOpaque = 0xFF000000u;
    const uint32_t ink = SwapRedBlue(static_cast<uint32_t>(ColorToRGB(color)) & 0xFFFFFF);
    const uint32_t key = ink == 0x00FF00FFu ? 0x0000FF00u : 0x00FF00FFu;
    TBitmap mask(width, height);
    for (int row = 0; row < height; ++row) {
        auto* pixels = reinterpret_cast<uint32_t*>(mask.ScanLine(row));
        for (int column = 0; column < width; ++column)
            pixels[column] = kOpaque | (isSet(column, row) ? ink : key);
    }
    mask.SetTransparentColor(static_cast<TColor>(SwapRedBlue(key)));
    mask.SetTransparent(true);
    canvas.Draw(x, y, mask);
}

void PaintGlyphPattern(TCanvas& canvas, int x, int y, int width, std::span<const uint8_t> rows, TColor color) {
    PaintMask(canvas, x, y, std::min(width, 8), static_cast<int>(rows.size()),
              [&](int column, int line) { return (rows[static_cast<size_t>(line)] >> (7 - column)) & 1; }, color);
}

void FillDithered(TCanvas& canvas, const TRect& rect, TColor a, TColor b) {
    TColor first = ColorToRGB(a), second = ColorToRGB(b);
    PaintMask(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(),
              [&](int x, int y) { return ((x + rect.Left + y + rect.Top) & 1) == 0; }, first);
    PaintMask(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(),
              [&](int x, int y) { return ((x + rect.Left + y + rect.Top) & 1) != 0; }, second);
}
