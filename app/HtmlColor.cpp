#include "app/HtmlColor.h"

std::string ColorToHtml(TColor color) {
    static const char digits[] = "0123456789ABCDEF";
    TColor rgb = ColorToRGB(color);
    const int channels[] = {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
    std::string html = "#";
    for (int channel : channels) {
        html += digits[channel >> 4];
        html += digits[channel & 0xF];
    }
    return html;
}
