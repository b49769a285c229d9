#pragma once
// The small one-colour drawings of the framework and its themes: glyph
// patterns (chevrons, close crosses; one byte per row, bit 7 leftmost), any
// mask of pixels painted in one colour, and the checkerboard of two colours
// behind checked buttons and in scroll-bar troughs.  Set pixels take the
// colour; the others keep what is there.

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

class TCanvas;

// Paints the pixels of a width x height area for which isSet is true in
// color at (x, y), leaving the others.
void PaintMask(TCanvas& canvas, int x, int y, int width, int height, const std::function<bool(int, int)>& isSet,
               TColor color);
// Paints the set pixels of a width x rows.size() pattern in color at (x, y)
// (at most 8 wide).
void PaintGlyphPattern(TCanvas& canvas, int x, int y, int width, std::span<const uint8_t> rows, TColor color);
// The checkerboard of two colours, a on the pixels whose x + y is even (on
// the canvas, so that neighbouring fills join up).
void FillDithered(TCanvas& canvas, const TRect& rect, TColor a, TColor b);

// Red and blue exchanged (a colour value as a 0x00RRGGBB pixel and back).
uint32_t SwapRedBlue(uint32_t color);

inline constexpr std::array<uint8_t, 5> kChevronHorizontal = {0xCC, 0x66, 0x33, 0x66, 0xCC};
inline constexpr std::array<uint8_t, 8> kChevronVertical = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
inline constexpr std::array<uint8_t, 8> kCloseCross = {0, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0, 0};
inline constexpr std::array<uint8_t, 6> kPanelCloseCross = {0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6};
inline constexpr std::array<uint8_t, 7> kToolbarCloseCross = {0xC3, 0x66, 0x3C, 0x18, 0x3C, 0x66, 0xC3};
