#pragma once
// Colour arithmetic of the themed layer: blends and percentage mixes, the
// hue/lightness/saturation model on a 0..240 scale, luminance, and the
// contrast rule that keeps a text colour readable on its background.  The
// themes build their palettes from the system colours with these, so every
// result is an exact integer function of its inputs.
//
// A colour is a TColor (0x00BBGGRR); system colours (negative values) are
// resolved before any arithmetic.

#include "platform/base/Exceptions.h"
#include "platform/gfx/Color.h"
#include "toolbars/TBGlyphs.h" // SwapRedBlue

#include <cstdint>

// A broken precondition of the themed layer (a weight out of range).
class ETBKAssertion : public Exception {
public:
    ETBKAssertion() : Exception("Assertion failure") {}
};

// Per channel (a x w + b x (255 - w)) shr 8, a from c1; w in 0..255, else
// ETBKAssertion.
TColor BlendColors(TColor c1, TColor c2, int w);
// Per channel (a x p + b x (100 - p) + 55) div 100, a from c1; p in 0..99,
// else ETBKAssertion.
TColor MixColorsPercent(TColor c1, TColor c2, int p);

struct THls {
    int H = 0; // hue 0..240 (160 for greys)
    int L = 0; // lightness 0..240
    int S = 0; // saturation 0..240
    friend bool operator==(const THls&, const THls&) = default;
};
THls ColorToHls(TColor color);
TColor HlsToColor(int h, int l, int s);
inline TColor HlsToColor(const THls& hls) { return HlsToColor(hls.H, hls.L, hls.S); }

// (R x 77 + G x 151 + B x 28) shr 8, 0..255.
int ColorLuminance(TColor color);
// threshold x 256 > R x 76 + G x 150 + B x 30.
bool IsDarkColor(TColor color, int threshold);
// Each channel moved by delta, kept within 0..255.
TColor ShiftBrightness(TColor color, int delta);
// The colour itself when its luminance differs from the background's by
// enough, else the colour with its lightness moved away from the
// background's.
TColor EnsureContrast(TColor color, TColor background);
// The nearest colour the display shows (the display is true colour, so it
// is the colour itself, resolved).
TColor NearestColor(TColor color);
inline TColor NearestBlendColor(TColor c1, TColor c2, int w) { return NearestColor(BlendColors(c1, c2, w)); }
// Writes value into count consecutive cells (nothing for count <= 0).
void FillLongword(uint32_t* dest, int count, uint32_t value);
