#include "toolbars/themes/TBKColors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

uint32_t rgbOf(TColor color) { return static_cast<uint32_t>(ColorToRGB(color)) & 0xFFFFFF; }

// Rounds to the nearest integer, halves to the even neighbour.
int roundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// One channel of a hue: M1..M2 along the six sectors of the 0..240 circle.
int hueLevel(double m1, double m2, double hue) {
    if (hue < 0)
        hue += 240;
    if (hue > 240)
        hue -= 240;
    double level;
    if (hue < 40)
        level = m1 + ((m2 - m1) * hue + 20) / 40;
    else if (hue < 120)
        level = m2;
    else if (hue < 160)
        level = m1 + ((m2 - m1) * (160 - hue) + 20) / 240 * 6;
    else
        level = m1;
    return roundEven(level);
}

int channelOfLevel(int level) {
    double value = (static_cast<double>(level * 255) + 120) / 240;
    return value > 255 ? 255 : roundEven(value);
}

} // namespace

TColor BlendColors(TColor c1, TColor c2, int w) {
    if (w < 0 || w >= 256)
        throw ETBKAssertion();
    uint32_t a = rgbOf(c1), b = rgbOf(c2);
    uint32_t weight = static_cast<uint32_t>(w), rest = 255u - weight;
    uint32_t redBlue = ((a & 0xFF00FFu) * weight + (b & 0xFF00FFu) * rest) & ~0xFF00FFu;
    uint32_t green = ((a & 0xFF00u) * weight + (b & 0xFF00u) * rest) & 0xFF0000u;
    return static_cast<TColor>((redBlue + green) >> 8);
}

TColor MixColorsPercent(TColor c1, TColor c2, int p) {
    if (p < 0 || p >= 100)
        throw ETBKAssertion();
    TColor a = ColorToRGB(c1), b = ColorToRGB(c2);
    auto mix = [p](int x, int y) { return (y * (100 - p) + x * p + 55) / 100; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

THls ColorToHls(TColor color) {
    TColor c = ColorToRGB(color);
    double r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    THls result;
    result.L = roundEven(((mx + mn) * 239 + 255) / 510);
    if (mx == mn) {
        result.H = 160;
        result.S = 0;
        return result;
    }
    double d = mx - mn;
    double s = result.L <= 120 ? (d * 240 + (mx + mn) / 2) / (mx + mn)
                               : (d * 240 + (510 - mx - mn) / 2) / (510 - mx - mn);
    auto distance = [&](double channel) { return ((mx - channel) * 240 / 6 + d / 2) / d; };
    double rd = distance(r), gd = distance(g), bd = distance(b);
    double h = r == mx ? bd - gd : g == mx ? 80 + rd - bd : 160 + gd - rd;
    if (h < 0)
        h += 240;
    if (h > 240)
        h -= 240;
    result.H = roundEven(h);
    result.S = roundEven(s);
    return result;
}

TColor HlsToColor(int h, int l, int s) {
    if (s == 0) {
        int v = roundEven(static_cast<double>(l) * 255 / 240);
        v = std::clamp(v, 0, 255);
        return RGB(v, v, v);
    }
    double m2 = l <= 120 ? (static_cast<double>(s + 240) * l + 120) / 240
                         : l + s - (static_cast<double>(l) * s + 120) / 240;
    double m1 = 2.0 * l - m2;
    int r = channelOfLevel(hueLevel(m1, m2, h + 80));
    int g = channelOfLevel(hueLevel(m1, m2, h));
    int b = channelOfLevel(hueLevel(m1, m2, h - 80));
    return RGB(std::max(r, 0), std::max(g, 0), std::max(b, 0));
}

int ColorLuminance(TColor color) {
    TColor c = ColorToRGB(color);
    return (GetRValue(c) * 77 + GetGValue(c) * 151 + GetBValue(c) * 28) >> 8;
}

bool IsDarkColor(TColor color, int threshold) {
    TColor c = ColorToRGB(color);
    return threshold * 256 > GetRValue(c) * 76 + GetGValue(c) * 150 + GetBValue(c) * 30;
}

TColor ShiftBrightness(TColor color, int delta) {
    TColor c = ColorToRGB(color);
    auto shift = [delta](int v) { return std::clamp(v + delta, 0, 255); };
    return RGB(shift(GetRValue(c)), shift(GetGValue(c)), shift(GetBValue(c)));
}

TColor EnsureContrast(TColor color, TColor background) {
    int l1 = ColorLuminance(color), l2 = ColorLuminance(background);
    int gap = std::max(58, 120 - l2 / 2);
    if (gap <= std::abs(l1 - l2))
        return ColorToRGB(color);
    THls hls = ColorToHls(color);
    int l = l2 > l1 ? hls.L - gap : hls.L + gap;
    if (l < 0)
        l = hls.L + gap;
    else if (l > 240)
        l = hls.L - gap;
    return HlsToColor(hls.H, l, hls.S);
}

TColor NearestColor(TColor color) { return ColorToRGB(color); }

void FillLongword(uint32_t* dest, int count, uint32_t value) {
    if (count > 0)
        std::fill(dest, dest + count, value);
}
