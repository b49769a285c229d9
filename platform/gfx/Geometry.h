#pragma once
// Points, sizes and rectangles in device pixels.  A rectangle holds its
// left/top edge and the edge just past its right/bottom side, so its width
// is Right - Left and an empty rectangle has Right <= Left or Bottom <= Top.

#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

inline bool PtInRect(const TRect& rect, TPoint p) { return rect.Contains(p); }
inline bool IsRectEmpty(const TRect& rect) { return rect.IsEmpty(); }

// The common part of a and b; false (and an all-zero result) when they do
// not overlap.
inline bool IntersectRect(TRect& result, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) {
        result = TRect{};
        return false;
    }
    result = r;
    return true;
}

// The smallest rectangle holding both; an empty operand is ignored.
inline bool UnionRect(TRect& result, const TRect& a, const TRect& b) {
    if (a.IsEmpty()) {
        result = b.IsEmpty() ? TRect{} : b;
    } else if (b.IsEmpty()) {
        result = a;
    } else {
        result = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                  std::max(a.Bottom, b.Bottom)};
    }
    return !result.IsEmpty();
}

inline void OffsetRect(TRect& rect, int dx, int dy) {
    rect.Left += dx;
    rect.Right += dx;
    rect.Top += dy;
    rect.Bottom += dy;
}

inline void InflateRect(TRect& rect, int dx, int dy) {
    rect.Left -= dx;
    rect.Right += dx;
    rect.Top -= dy;
    rect.Bottom += dy;
}
