#include "editor/BookmarkIcons.h"

#include "platform/gfx/Bitmap.h"

namespace {

// The digits in a 3 x 5 pixel font, one row per string.
const char* const kDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

constexpr TColor kOutline = RGB(0, 0, 128);
constexpr TColor kFace = RGB(64, 96, 224);
constexpr TColor kInk = RGB(255, 255, 0);

} // namespace

void DrawBookmarkIcons(TBitmap& strip) {
    strip.SetPixelFormat(pf32bit);
    strip.SetSize(kBookmarkIconSize * kBookmarkIconCount, kBookmarkIconSize);
    TCanvas& canvas = strip.Canvas();
    canvas.FillRect(Rect(0, 0, strip.Width(), strip.Height()), clWhite);
    for (int icon = 0; icon < kBookmarkIconCount; ++icon) {
        const int left = icon * kBookmarkIconSize;
        // A tab with a dark outline, one pixel in from the icon's edges.
        canvas.FillRect(Rect(left + 1, 1, left + 9, 9), kOutline);
        canvas.FillRect(Rect(left + 2, 2, left + 8, 8), kFace);
        // The digit in the middle.
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (kDigits[icon][row][column] == '#')
                    canvas.SetPixel(left + 4 + column, 2 + row, kInk);
    }
    canvas.Release();
}
