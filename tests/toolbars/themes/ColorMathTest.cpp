// The colour arithmetic against per-channel oracles on random colours, the
// hue/lightness model on its fixed points and round trips, and the OfficeXP
// colour table worked out by hand from the fixed system colours.

#include "toolbars/themes/TBKColors.h"
#include "toolbars/themes/TBKOfficeXPTheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

TColor randomColor(std::mt19937& rng) { return static_cast<TColor>(rng() & 0xFFFFFF); }

int channel(TColor c, int i) { return (ColorToRGB(c) >> (8 * i)) & 0xFF; }

TEST(ColorMath, BlendAndMixFollowTheirPerChannelFormulas) {
    std::mt19937 rng(14);
    for (int round = 0; round < 2000; ++round) {
        TColor a = randomColor(rng), b = randomColor(rng);
        int w = static_cast<int>(rng() % 256), p = static_cast<int>(rng() % 100);
        TColor blend = BlendColors(a, b, w), mix = MixColorsPercent(a, b, p);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(channel(blend, i), (channel(a, i) * w + channel(b, i) * (255 - w)) / 256) << a << " " << b << " " << w;
            ASSERT_EQ(channel(mix, i), (channel(b, i) * (100 - p) + channel(a, i) * p + 55) / 100);
        }
        ASSERT_EQ(ColorLuminance(a), (channel(a, 0) * 77 + channel(a, 1) * 151 + channel(a, 2) * 28) >> 8);
        int delta = static_cast<int>(rng() % 101) - 50;
        TColor shifted = ShiftBrightness(a, delta);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(channel(shifted, i), std::clamp(channel(a, i) + delta, 0, 255));
        ASSERT_EQ(SwapRedBlue(SwapRedBlue(static_cast<uint32_t>(a))), static_cast<uint32_t>(a));
    }
    // The edges: full weight keeps 255/256 of the colour, and the mix rounds
    // 127.5 up.
    EXPECT_EQ(BlendColors(clWhite, clBlack, 255), 0xFEFEFE);
    EXPECT_EQ(BlendColors(clBlack, clWhite, 0), 0xFEFEFE);
    EXPECT_EQ(MixColorsPercent(clWhite, clBlack, 50), 0x808080);
    EXPECT_EQ(SwapRedBlue(0x123456), 0x563412u);
    // System colours are resolved first.
    EXPECT_EQ(MixColorsPercent(clBtnFace, clBtnFace, 10), 0xC0C0C0);
    EXPECT_THROW(BlendColors(clWhite, clBlack, 256), ETBKAssertion);
    EXPECT_THROW(MixColorsPercent(clWhite, clBlack, 100), ETBKAssertion);
}

TEST(ColorMath, DarknessThresholdIsStrict) {
    // 76 R + 150 G + 30 B against threshold x 256.
    EXPECT_TRUE(IsDarkColor(RGB(0, 0, 0), 1));
    EXPECT_FALSE(IsDarkColor(RGB(0, 0, 0), 0));
    TColor c = RGB(100, 100, 100); // 25600
    EXPECT_FALSE(IsDarkColor(c, 100));
    EXPECT_TRUE(IsDarkColor(c, 101));
    EXPECT_TRUE(IsDarkColor(clHighlight, 100));
}

TEST(ColorMath, HueLightnessSaturationFixedPointsAndRoundTrips) {
    EXPECT_EQ(ColorToHls(RGB(255, 0, 0)), (THls{0, 120, 240}));
    EXPECT_EQ(ColorToHls(RGB(0, 255, 0)), (THls{80, 120, 240}));
    EXPECT_EQ(ColorToHls(RGB(0, 0, 255)), (THls{160, 120, 240}));
    EXPECT_EQ(HlsToColor(0, 120, 240), RGB(255, 0, 0));
    EXPECT_EQ(HlsToColor(80, 120, 240), RGB(0, 255, 0));
    EXPECT_EQ(HlsToColor(160, 120, 240), RGB(0, 0, 255));
    EXPECT_EQ(HlsToColor(0, 240, 0), clWhite);
    std::mt19937 rng(3);
    for (int round = 0; round < 2000; ++round) {
        int v = static_cast<int>(rng() % 256);
        THls grey = ColorToHls(RGB(v, v, v));
        ASSERT_EQ(grey.H, 160);
        ASSERT_EQ(grey.S, 0);
        // 256 greys on a 241-step scale come back within one step.
        ASSERT_LE(std::abs(channel(HlsToColor(grey), 0) - v), 1) << v;
        // Any colour comes back within the model's rounding: half a step of
        // hue (1.5 degrees) moves a saturated channel by up to 3.2, half a
        // step of lightness and saturation by about 1 each.
        TColor c = randomColor(rng);
        TColor back = HlsToColor(ColorToHls(c));
        for (int i = 0; i < 3; ++i)
            ASSERT_LE(std::abs(channel(back, i) - channel(c, i)), 6) << std::hex << c << " " << back;
    }
}

TEST(ColorMath, ContrastMovesLightnessAwayFromTheBackgroundOnlyWhenTooClose) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        TColor c = randomColor(rng), background = randomColor(rng);
        int l1 = ColorLuminance(c), l2 = ColorLuminance(background);
        int gap = std::max(58, 120 - l2 / 2);
        TColor result = EnsureContrast(c, background);
        if (std::abs(l1 - l2) >= gap) {
            ASSERT_EQ(result, c);
            continue;
        }
        // Too close: the same hue and saturation, the lightness moved by the
        // gap (away from the background where there is room), so the
        // luminance moves the same way.
        THls before = ColorToHls(c);
        bool darker = l2 > l1 ? before.L - gap >= 0 : before.L + gap > 240;
        ASSERT_EQ(result, HlsToColor(before.H, before.L + (darker ? -gap : gap), before.S));
        if (darker)
            ASSERT_LE(ColorLuminance(result), l1 + 2);
        else
            ASSERT_GE(ColorLuminance(result) + 2, l1);
    }
    // Black text on the menu's white is left alone; black on black turns light.
    EXPECT_EQ(EnsureContrast(clBlack, clWhite), clBlack);
    EXPECT_GT(ColorLuminance(EnsureContrast(clBlack, clBlack)), 50);
}

TEST(ColorMath, FillLongwordWritesExactlyCountCells) {
    uint32_t cells[6] = {1, 1, 1, 1, 1, 1};
    FillLongword(cells + 1, 4, 7);
    FillLongword(cells, 0, 9);
    FillLongword(cells, -3, 9);
    EXPECT_EQ(std::vector<uint32_t>(cells, cells + 6), (std::vector<uint32_t>{1, 7, 7, 7, 7, 1}));
}

// The table of the flat theme, from the classic scheme (silver faces, grey
// shadows, navy highlight, white windows) worked through the formulas.
TEST(OfficeXPColors, TableFromTheFixedSystemColours) {
    TTBKOfficeXPColors c = ComputeOfficeXPColors(false);
    auto rgb = [&c](int index) { return ColorToRGB(c[static_cast<size_t>(index)]); };
    // Mix(window, face, 15): (255 x 15 + 192 x 85 + 55) div 100 = 202.
    EXPECT_EQ(rgb(XPC_GUTTER), RGB(202, 202, 202));
    // Mix(face, window, 15): (192 x 15 + 255 x 85 + 55) div 100 = 246.
    EXPECT_EQ(rgb(XPC_POPUP), RGB(246, 246, 246));
    EXPECT_EQ(rgb(XPC_POPUP2), rgb(XPC_POPUP));
    // Mix(black, grey, 20) = 102, dark enough on the popup's 246.
    EXPECT_EQ(rgb(XPC_POPUPFRAME), RGB(102, 102, 102));
    EXPECT_EQ(rgb(XPC_ACTIVEBORDER), RGB(109, 109, 109));
    EXPECT_EQ(rgb(XPC_INACTIVEBORDER), RGB(163, 163, 163));
    EXPECT_EQ(c[XPC_ACTIVECAPTION], clBtnShadow);
    // Hot popup row: Mix(navy, white, 30) = (179, 179, 217), framed navy.
    EXPECT_EQ(rgb(XPC_P2), RGB(179, 179, 217));
    EXPECT_EQ(c[XPC_P2 + 2], clHighlight);
    EXPECT_EQ(c[XPC_P0], clNone);
    EXPECT_EQ(rgb(XPC_P0 + 1), 0);
    // Disabled text: Mix(246, grey 128, 30) = 163.
    EXPECT_EQ(rgb(XPC_P1 + 1), RGB(163, 163, 163));
    // Toolbar rows: hot H4 = Mix(navy, white, 30), pushed H3 = Mix(white,
    // navy, 50) = (128, 128, 192) with white text (it is dark at 150).
    EXPECT_EQ(rgb(XPC_T4), RGB(179, 179, 217));
    EXPECT_EQ(rgb(XPC_T3), RGB(128, 128, 192));
    EXPECT_EQ(rgb(XPC_T3 + 1), clWhite);
    EXPECT_EQ(rgb(XPC_T4 + 1), clBlack);
    EXPECT_EQ(rgb(XPC_T6), rgb(XPC_T3));
    // Checked: Blend(navy, Blend(white, face, 130) = 223, 23) = (202, 202, 213).
    EXPECT_EQ(rgb(XPC_T2), RGB(202, 202, 213));
    EXPECT_EQ(rgb(XPC_T0 + 1), clBlack);
    // Disabled toolbar text Mix(window, shadow, 10) and its reuse in T5.
    EXPECT_EQ(rgb(XPC_T1 + 1), RGB(141, 141, 141));
    EXPECT_EQ(rgb(XPC_T5 + 1), rgb(XPC_T1 + 1));
    EXPECT_EQ(rgb(XPC_T7 + 2), rgb(XPC_POPUPFRAME));
    EXPECT_EQ(rgb(XPC_POPUPSEPARATOR), RGB(166, 166, 166));
    // Glyph shadow: Mix(black, H4, 25).
    EXPECT_EQ(rgb(XPC_GLYPHSHADOW), RGB(134, 134, 163));
    // Few colours: plain system colours throughout.
    TTBKOfficeXPColors low = ComputeOfficeXPColors(true);
    EXPECT_EQ(low[XPC_POPUP], clWindow);
    EXPECT_EQ(low[XPC_T3], clHighlight);
    EXPECT_EQ(low[XPC_T7 + 2], clBtnText);
    for (TColor color : low)
        EXPECT_TRUE(color < 0 || color == clNone) << std::hex << color;
}

} // namespace
