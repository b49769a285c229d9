#include "toolbars/TBDrawText.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextDrawing.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBItemViewer.h"

#include <string>

void TBDrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format) {
    TTextLineFormat line;
    line.Align = (format & DT_CENTER) ? thCenter : (format & DT_RIGHT) ? thRight : thLeft;
    line.VCenter = (format & DT_VCENTER) != 0;
    line.NoPrefix = (format & (DT_NOPREFIX | DT_HIDEPREFIX)) != 0;
    line.EndEllipsis = (format & DT_END_ELLIPSIS) != 0;
    // Hidden access keys: the markers go, nothing is underlined.
    std::string shown = (format & DT_HIDEPREFIX) && !(format & DT_NOPREFIX) ? StripAccessKeys(text) : std::string(text);
    if (format & DT_CALCRECT) {
        TSize size = MeasureTextLine(canvas, shown, line);
        rect.Right = rect.Left + size.cx;
        rect.Bottom = rect.Top + size.cy;
        return;
    }
    DrawTextLine(canvas, shown, rect, line);
}

void TBDrawRotatedText(TCanvas& canvas, std::string_view text, const TRect& rect, unsigned format) {
    // Drawn upright in black on white into a bitmap, then copied turned,
    // pixel by pixel in the text colour: the canvas draws no turned text.
    TRect extent{};
    TBDrawText(canvas, text, extent, (format | DT_CALCRECT) & ~(DT_CENTER | DT_VCENTER));
    int width = extent.Width(), height = extent.Height();
    if (width <= 0 || height <= 0)
        return;
    TBitmap upright(width, height);
    TCanvas& ink = upright.Canvas();
    ink.SetMeasurer(&canvas.Measurer());
    ink.FillRect(Rect(0, 0, width, height), clWhite);
    ink.SetFont(canvas.Font());
    ink.Font().SetColor(clBlack);
    ink.SetBkMode(TRANSPARENT);
    TRect area = Rect(0, 0, width, height);
    TBDrawText(ink, text, area, format & ~(DT_CENTER | DT_VCENTER | DT_RIGHT));
    ink.Release();
    int left = rect.Left + (rect.Width() - height) / 2;
    int top = rect.Top + (rect.Height() - width) / 2;
    TColor color = canvas.Font().Color();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            TColor pixel = ColorToRGB(ink.Pixel(x, y));
            int darkness = 255 - (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel)) / 3;
            if (darkness >= 128)
                canvas.SetPixel(left + (height - 1 - y), top + x, color);
        }
}
