#include "toolbars/TBCommon.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/Canvas.h"

char AccessKeyOf(std::string_view caption) {
    char key = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        ++i; // the character after the marker (a second "&" is a literal one)
        if (i < caption.size() && caption[i] != '&')
            key = caption[i];
    }
    return key;
}

std::string StripAccessKeys(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            ++i;
            if (i >= caption.size())
                break;
        }
        shown += caption[i];
    }
    return shown;
}

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

char UpperCaseKey(char c) {
    std::string one(1, c);
    return AnsiUpperCase(one)[0];
}
