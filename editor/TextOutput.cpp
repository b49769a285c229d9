#include "editor/TextOutput.h"

#include "platform/base/Utf8.h"

#include <algorithm>

void DrawTextAtPen(TCanvas& canvas, std::string_view text, int32_t rightLimit, int32_t chunk, bool utf8) {
    const auto piece = static_cast<size_t>(std::max(chunk, 1));
    // The length of the chunk at `at`, cut between two characters.
    auto chunkAt = [&](size_t at) {
        if (!utf8 || at + piece >= text.size())
            return piece;
        const size_t end = Utf8CharStart(text, at + piece);
        return end > at ? end - at : Utf8CharLength(text, at);
    };
    size_t at = 0;
    while (at < text.size() && canvas.PenPos().X < -16383) {
        const TPoint pen = canvas.PenPos();
        const size_t length = chunkAt(at);
        canvas.MoveTo(pen.X + canvas.TextWidth(text.substr(at, length)), pen.Y);
        at += length;
    }
    while (at < text.size() && canvas.PenPos().X < rightLimit) {
        const size_t length = chunkAt(at);
        canvas.ExtTextOut(0, 0, 0, nullptr, text.substr(at, length));
        at += length;
    }
}

void WavyLine(TCanvas& canvas, int32_t x1, int32_t x2, int32_t step, int32_t y) {
    step = std::max(step, 1);
    int32_t x = std::max(x1, -32768);
    x2 = std::min(x2, 32767);
    if (x >= x2)
        return;
    // The line starts low (y + step) and alternates between low and high.
    bool low = true;
    canvas.MoveTo(x, y + step);
    while (x < x2) {
        int32_t fromY = low ? y + step : y;
        int32_t toY = low ? y : y + step;
        int32_t next = x + step;
        if (next > x2) {
            // The last segment ends at x2, on the same slope.
            toY = fromY + (toY - fromY) * (x2 - x) / step;
            next = x2;
        }
        canvas.LineTo(next, toY);
        x = next;
        low = !low;
    }
}

TRect ClampRect(const TRect& rect) {
    TRect result = rect;
    result.Left = std::clamp(result.Left, -32768, 32767);
    result.Right = std::clamp(result.Right, -32768, 32767);
    return result;
}
