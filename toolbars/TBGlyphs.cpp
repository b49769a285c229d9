#include "toolbars/TBGlyphs.h"

#include "platform/gfx/Canvas.h"

void DrawMonoGlyph(TCanvas& canvas, std::span<const uint8_t> rows, int x, int y, TColor color) {
    for (size_t row = 0; row < rows.size(); ++row)
        for (int column = 0; column < 8; ++column)
            if (rows[row] & (0x80 >> column))
                canvas.FillRect(Bounds(x + column, y + static_cast<int>(row), 1, 1), color);
}
