#include "shell/PTHeaderPaint.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextDrawing.h"

#include <algorithm>

int PTSortTriangleSize(int textHeight) {
    int size = textHeight / 2;
    if (size % 2 == 0)
        --size;
    return std::max(3, size);
}

void PTDrawSortTriangle(TCanvas& canvas, TPoint topLeft, int size, bool up) {
    // Row by row: each row of the triangle is a span about the middle; the
    // edges facing the light are drawn in the highlight, those away from
    // it in the shadow, the face between in the button face.
    int half = size / 2;
    int left = topLeft.X, top = topLeft.Y;
    for (int row = 0; row < size; ++row) {
        int fromApex = up ? row : size - 1 - row;
        int spread = fromApex * half / std::max(1, size - 1);
        int y = top + row;
        int x1 = left + half - spread, x2 = left + half + spread;
        if (x2 > x1 + 1)
            canvas.FillRect(Rect(x1 + 1, y, x2, y + 1), clBtnFace);
        canvas.SetPixel(x1, y, clBtnShadow);
        canvas.SetPixel(x2, y, clBtnHighlight);
    }
    int baseY = up ? top + size - 1 : top;
    TColor baseColor = up ? clBtnHighlight : clBtnShadow;
    canvas.FillRect(Rect(left, baseY, left + 2 * half + 1, baseY + 1), baseColor);
}

TRect PTDrawHeaderItem(TCanvas& canvas, const TRect& rect, const TPTHeaderItem& item, TPTLvHeaderSortDisplayMode mode,
                       bool fillFace) {
    TRect face = rect;
    InflateRect(face, -2, -2);
    if (fillFace)
        canvas.FillRect(face, clBtnFace);
    TRect text = Rect(face.Left + 4, face.Top, face.Right - 4, face.Bottom);
    int size = PTSortTriangleSize(text.Height());
    int triangleTop = text.Top + (text.Height() - size) / 2;
    bool wantTriangle = item.SortColumn && mode != ptlvNone && rect.Width() > 2 * size;
    TRect triangle{};
    switch (mode) {
    case ptlvNone:
        break;
    case ptlvLeftAlign:
        if (item.SortColumn && rect.Width() > 15) {
            triangle = Bounds(text.Left, triangleTop, size, size);
            text.Left = triangle.Right + 5;
        }
        break;
    case ptlvRightOfText:
        if (item.Alignment != taRightJustify) {
            int width = MeasureTextLine(canvas, item.Caption, {}).cx;
            int start = item.Alignment == taCenter ? text.Left + (text.Width() - width) / 2 : text.Left;
            int at = std::min(start + width + 5, text.Right - size);
            triangle = Bounds(at, triangleTop, size, size);
            if (item.SortColumn)
                text.Right = std::min(text.Right, triangle.Left - 5);
        } else {
            triangle = Bounds(text.Right - size, triangleTop, size, size);
            if (item.SortColumn)
                text.Right = triangle.Left - 4;
        }
        break;
    case ptlvRightAlign:
        triangle = Bounds(face.Right - 5 - size, triangleTop, size, size);
        if (item.SortColumn)
            text.Right = triangle.Left - 4;
        break;
    }
    TTextLineFormat format;
    format.Align = item.Alignment == taRightJustify ? thRight : item.Alignment == taCenter ? thCenter : thLeft;
    format.VCenter = true;
    format.EndEllipsis = true;
    format.NoPrefix = true;
    int oldMode = canvas.SetBkMode(TRANSPARENT);
    DrawTextLine(canvas, item.Caption, text, format);
    canvas.SetBkMode(oldMode);
    if (!wantTriangle || triangle.IsEmpty())
        return TRect{};
    PTDrawSortTriangle(canvas, triangle.TopLeft(), size, item.Ascending);
    return triangle;
}
