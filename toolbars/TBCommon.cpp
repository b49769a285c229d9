#include "toolbars/TBCommon.h"

#include "platform/gfx/Canvas.h"

int CaptionTextWidth(TCanvas& canvas, std::string_view caption, bool prefix) {
    if (!prefix)
        return canvas.TextWidth(caption);
    return canvas.TextWidth(StripAccessKeys(caption));
}

std::string EscapeAccessKeys(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        escaped += c;
        if (c == '&')
            escaped += '&';
    }
    return escaped;
}

int DivideAwayFromZero(int a, int b) {
    int quotient = a / b;
    if (a % b != 0)
        quotient += (a < 0) != (b < 0) ? -1 : 1;
    return quotient;
}
