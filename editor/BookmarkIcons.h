#pragma once
// The gutter's bookmark icons (the bitmap "PG_BOOKMARKICONS1"): ten 10 x 10
// images in one strip, icon i showing the digit i on a small tab.  White is
// the mask colour.  Drawn in code, so that no picture file has to travel
// with the program.

class TBitmap;

constexpr int kBookmarkIconSize = 10;
constexpr int kBookmarkIconCount = 10;

// Makes strip the 100 x 10 pixel strip of icons.
void DrawBookmarkIcons(TBitmap& strip);
