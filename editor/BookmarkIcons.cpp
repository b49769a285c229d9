#include "editor/BookmarkIcons.h"

namespace {

// The digits in a 3 x 5 pixel font, one row per string.
const char* const kDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

} // namespace

QImage BookmarkIconsImage() {
    QImage strip(kBookmarkIconSize * kBookmarkIconCount, kBookmarkIconSize, QImage::Format_RGB32);
    strip.fill(Qt::white);
    const QRgb outline = qRgb(0, 0, 128);
    const QRgb face = qRgb(64, 96, 224);
    const QRgb ink = qRgb(255, 255, 0);
    for (int icon = 0; icon < kBookmarkIconCount; ++icon) {
        const int left = icon * kBookmarkIconSize;
        // A tab with a dark outline, one pixel in from the icon's edges.
        for (int y = 1; y < 9; ++y)
            for (int x = 1; x < 9; ++x) {
                bool edge = y == 1 || y == 8 || x == 1 || x == 8;
                strip.setPixel(left + x, y, edge ? outline : face);
            }
        // The digit in the middle.
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (kDigits[icon][row][column] == '#')
                    strip.setPixel(left + 4 + column, 2 + row + 0, ink);
    }
    return strip;
}
