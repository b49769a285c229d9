#pragma once
// Small one-colour glyphs the framework draws itself (the close cross, the
// chevron's arrows): one byte per row, the most significant bit leftmost;
// set bits take the colour, clear bits leave what is there.

#include "platform/gfx/Color.h"

#include <cstdint>
#include <span>

class TCanvas;

void DrawMonoGlyph(TCanvas& canvas, std::span<const uint8_t> rows, int x, int y, TColor color);

// The 8 x 8 cross of close buttons.
inline constexpr uint8_t kTBCloseGlyph[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};
