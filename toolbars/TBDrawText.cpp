#include "toolbars/TBDrawText.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "toolbars/TBItemViewer.h"

#include <string>

void TBDrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format) {
    std::string shown;
    int keyAt = -1; // index of the access key in the shown text
    if (format & DT_NOPREFIX) {
        shown.assign(text);
    } else {
        shown.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '&') {
                if (++i >= text.size())
                    break;
                if (text[i] != '&')
                    keyAt = static_cast<int>(shown.size());
            }
            shown += text[i];
        }
    }
    const TTextMetric& metrics = canvas.TextMetrics();
    int width = canvas.TextWidth(shown);
    int height = metrics.Height;
    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + width;
        rect.Bottom = rect.Top + height;
        return;
    }
    int x = rect.Left;
    if (format & DT_CENTER)
        x = rect.Left + (rect.Width() - width) / 2;
    else if (format & DT_RIGHT)
        x = rect.Right - width;
    int y = rect.Top;
    if (format & DT_VCENTER)
        y = rect.Top + (rect.Height() - height) / 2;
    else if (format & DT_BOTTOM)
        y = rect.Bottom - height;
    unsigned oldAlign = canvas.SetTextAlign(TA_LEFT | TA_TOP);
    canvas.ExtTextOut(x, y, ETO_CLIPPED, &rect, shown);
    canvas.SetTextAlign(oldAlign);
    if (keyAt < 0 || (format & DT_HIDEPREFIX))
        return;
    int from = x + canvas.TextWidth(std::string_view(shown).substr(0, static_cast<size_t>(keyAt)));
    int to = from + canvas.TextWidth(std::string_view(shown).substr(static_cast<size_t>(keyAt), 1));
    int underline = y + metrics.Ascent + 1;
    if (underline < rect.Top || underline >= rect.Bottom)
        return;
    TPen saved;
    saved.Assign(&canvas.Pen());
    canvas.Pen().SetColor(canvas.Font().Color());
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(std::max(from, rect.Left), underline);
    canvas.LineTo(std::min(to, rect.Right), underline);
    canvas.SetPen(saved);
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
    TBDrawText(ink, text, area, format & ~(DT_CENTER | DT_VCENTER | DT_BOTTOM | DT_RIGHT));
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
