#include "editor/TextOutput.h"

#include "platform/base/Utf8.h"

#include <algorithm>

namespace {

// How many bytes of part (from its start, at x) are drawn so that the pen
// passes inkRight: pieces of about this many bytes, whole characters,
// measured one after another.
constexpr size_t kInkPiece = 64;

size_t BytesReaching(TCanvas& canvas, std::string_view part, bool utf8, int64_t x, int32_t inkRight) {
    size_t at = 0;
    while (at < part.size() && x < inkRight) {
        size_t next = std::min(at + kInkPiece, part.size());
        if (utf8 && next < part.size()) {
            next = Utf8CharStart(part, next);
            if (next <= at)
                next = at + Utf8CharLength(part, at);
        }
        x += canvas.TextWidth(part.substr(at, next - at));
        at = next;
    }
    return at;
}

} // namespace

size_t DrawTextAtPen(TCanvas& canvas, std::string_view text, int32_t rightLimit, int32_t chunk, bool utf8,
                     int32_t leftLimit, size_t resumeAt, int32_t inkRight) {
    const auto piece = static_cast<size_t>(std::max(chunk, 1));
    // The length of the chunk at `at`, cut between two characters.
    auto chunkAt = [&](size_t at) {
        if (!utf8 || at + piece >= text.size())
            return piece;
        const size_t end = Utf8CharStart(text, at + piece);
        return end > at ? end - at : Utf8CharLength(text, at);
    };
    // Measured and stepped over when it ends far enough left, else drawn
    // (as far as can show); the bytes the pen went over.
    auto measureOrDraw = [&](std::string_view part) {
        const TPoint pen = canvas.PenPos();
        if (pen.X < leftLimit) {
            const int width = canvas.TextWidth(part);
            if (pen.X + width <= leftLimit) {
                canvas.MoveTo(pen.X + width, pen.Y);
                return part.size();
            }
        }
        // (A part of a few pieces is drawn whole: measuring it would cost
        // about what drawing its tail does.)
        const size_t drawn = inkRight == INT32_MAX || part.size() <= 2 * kInkPiece
                                 ? part.size()
                                 : BytesReaching(canvas, part, utf8, pen.X, inkRight);
        canvas.ExtTextOut(0, 0, 0, nullptr, part.substr(0, drawn));
        return drawn;
    };
    size_t at = 0;
    if (resumeAt > 0 && resumeAt < text.size()) {
        size_t next = std::min(chunkAt(0), text.size());
        while (next <= resumeAt) {
            at = next;
            next = std::min(at + chunkAt(at), text.size());
        }
        const size_t drawn = measureOrDraw(text.substr(resumeAt, next - resumeAt));
        if (resumeAt + drawn < next)
            return resumeAt + drawn;
        at = next;
    }
    while (at < text.size() && canvas.PenPos().X < rightLimit) {
        const size_t length = std::min(chunkAt(at), text.size() - at);
        const size_t drawn = measureOrDraw(text.substr(at, length));
        at += drawn;
        if (drawn < length)
            break;
    }
    return std::min(at, text.size());
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
