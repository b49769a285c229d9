#include "editor/TextOutput.h"

#include <algorithm>

int32_t TextExtent(TCanvas& canvas, std::string_view text, int32_t count, int32_t chunk) {
    count = std::min<int32_t>(count, static_cast<int32_t>(text.size()));
    if (count < 1)
        return 0;
    chunk = std::max(chunk, 1);
    int32_t width = 0;
    for (int32_t at = 0; at < count; at += chunk)
        width += canvas.TextWidth(text.substr(static_cast<size_t>(at), static_cast<size_t>(std::min(chunk, count - at))));
    return width;
}

void DrawText(TCanvas& canvas, TPoint point, std::string_view text, int32_t rightLimit, int32_t chunk,
              int32_t count) {
    count = std::min<int32_t>(count, static_cast<int32_t>(text.size()));
    chunk = std::max(chunk, 1);
    int32_t x = point.X;
    int32_t at = 0;
    // Far left of the window: measure whole chunks only.
    while (at < count && x < -16383) {
        std::string_view piece = text.substr(static_cast<size_t>(at), static_cast<size_t>(std::min(chunk, count - at)));
        x += canvas.TextWidth(piece);
        at += static_cast<int32_t>(piece.size());
    }
    while (at < count && x < rightLimit) {
        std::string_view piece = text.substr(static_cast<size_t>(at), static_cast<size_t>(std::min(chunk, count - at)));
        canvas.TextOut(x, point.Y, piece);
        x += canvas.TextWidth(piece);
        at += static_cast<int32_t>(piece.size());
    }
    canvas.MoveTo(x, point.Y);
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
