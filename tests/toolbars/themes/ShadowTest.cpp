// Shadow geometry for the ways a popup can hang from its opener, and the
// alpha of strips of every size (including ones shorter than their fading
// corners), checked against the fade rules.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/themes/TBKShadows.h"

#include "platform/gfx/Bitmap.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<TShadowStrip> present(const TShadowStrips& strips) {
    std::vector<TShadowStrip> list;
    for (const auto& strip : strips)
        if (strip)
            list.push_back(*strip);
    return list;
}

TEST(ShadowGeometry, APopupAloneCastsARightAndABottomStrip) {
    TRect popup = Rect(100, 50, 200, 150);
    for (const TRect& cutout : {TRect{}, Rect(10, 10, 10, 10)}) {
        TShadowStrips strips = ShadowStrips(cutout, popup, 4);
        EXPECT_EQ(strips[0], (TShadowStrip{Rect(200, 54, 204, 150), true, ssStart}));
        EXPECT_EQ(strips[1], (TShadowStrip{Rect(104, 150, 204, 154), false, ssStart | ssEnd}));
        EXPECT_EQ(present(strips).size(), 2u);
    }
    EXPECT_TRUE(present(ShadowStrips({}, {}, 4)).empty());
}

TEST(ShadowGeometry, APopupBelowAButtonSharesItsOutline) {
    TRect button = Rect(100, 20, 140, 42), popup = Rect(100, 41, 220, 141);
    TShadowStrips strips = ShadowStrips(button, popup, 4);
    // The button's right edge, the popup's bottom and right edges; no strip
    // under the button, which the popup covers.
    EXPECT_EQ(strips[0], (TShadowStrip{Rect(140, 24, 144, 42), true, ssStart}));
    EXPECT_EQ(strips[3], (TShadowStrip{Rect(104, 141, 224, 145), false, ssStart | ssEnd}));
    EXPECT_EQ(strips[2], (TShadowStrip{Rect(220, 45, 224, 141), true, ssStart}));
    EXPECT_EQ(present(strips).size(), 3u);
    // A button reaching to within the shadow size of the popup's right edge:
    // the popup's right strip starts one pixel below its top, unfaded.
    TShadowStrips wide = ShadowStrips(Rect(100, 20, 218, 42), popup, 4);
    EXPECT_EQ(wide[2], (TShadowStrip{Rect(220, 42, 224, 141), true, 0}));
    // The order of the two rectangles does not matter.
    EXPECT_EQ(ShadowStrips(popup, button, 4), strips);
    // A button wider than the popup adds the strip under its overhang.
    TShadowStrips overhang = ShadowStrips(Rect(100, 20, 260, 42), popup, 4);
    EXPECT_EQ(overhang[5], (TShadowStrip{Rect(220, 42, 264, 46), false, ssStart | ssEnd}));
}

TEST(ShadowGeometry, SideBySideAndOverlapping) {
    TRect button = Rect(10, 100, 40, 122), popup = Rect(40, 60, 140, 200);
    TShadowStrips strips = ShadowStrips(button, popup, 4);
    EXPECT_EQ(strips[2], (TShadowStrip{Rect(140, 64, 144, 204), true, ssStart | ssEnd}));
    EXPECT_EQ(strips[1], (TShadowStrip{Rect(14, 122, 40, 126), false, ssStart}));
    EXPECT_EQ(strips[3], (TShadowStrip{Rect(44, 200, 140, 204), false, ssStart}));
    EXPECT_FALSE(strips[0].has_value());
    // Overlapping in both directions: no shadow is right, so none is made.
    EXPECT_TRUE(present(ShadowStrips(Rect(50, 50, 100, 100), Rect(60, 60, 160, 160), 4)).empty());
}

TEST(ShadowGeometry, TheShadowFollowsTheJointOutlineWhereverTheTwoAre) {
    // A popup dropped from any side of a button, sharing part of that edge
    // and overlapping it by up to two pixels.
    std::mt19937 rng(3154);
    auto random = [&](int from, int count) { return from + static_cast<int>(rng() % static_cast<unsigned>(count)); };
    for (int round = 0; round < 3000; ++round) {
        const int s = random(1, 6), overlap = random(0, 3), w = random(20, 150), h = random(20, 150);
        const TRect button = Bounds(random(0, 500), random(0, 500), random(10, 60), random(10, 30));
        const int x = random(button.Left - w + 3, button.Width() + w - 6), y = random(button.Top - h + 3, button.Height() + h - 6);
        const TRect popups[] = {Bounds(x, button.Bottom - overlap, w, h), Bounds(x, button.Top - h + overlap, w, h),
                                Bounds(button.Right - overlap, y, w, h), Bounds(button.Left - w + overlap, y, w, h)};
        const TRect popup = popups[rng() % 4];
        TShadowStrips strips = ShadowStrips(button, popup, s);
        auto shaded = [&](int px, int py) { // or inside the outline
            bool covered = button.Contains({px, py}) || popup.Contains({px, py});
            for (const TShadowStrip& strip : present(strips))
                covered = covered || strip.Bounds.Contains({px, py});
            return covered;
        };
        // Along the right and bottom edges of either, from s past its top
        // or left, every pixel outside the outline is shaded.
        for (const TRect& r : {button, popup}) {
            for (int py = r.Top + s; py < r.Bottom; ++py)
                ASSERT_TRUE(shaded(r.Right, py)) << round << " right edge at " << py;
            for (int px = r.Left + s; px < r.Right; ++px)
                ASSERT_TRUE(shaded(px, r.Bottom)) << round << " bottom edge at " << px;
        }
        for (const TShadowStrip& strip : present(strips))
            ASSERT_EQ(strip.Vertical ? strip.Bounds.Width() : strip.Bounds.Height(), s) << round;
    }
}

TEST(ShadowAlpha, EveryStripFadesOutwardAndStaysInsideItsBitmap) {
    std::mt19937 rng(154);
    for (int round = 0; round < 400; ++round) {
        TShadowStrip strip;
        strip.Vertical = rng() % 2 == 0;
        int along = static_cast<int>(rng() % 40), across = 1 + static_cast<int>(rng() % 6);
        strip.Bounds = strip.Vertical ? Bounds(0, 0, across, along) : Bounds(0, 0, along, across);
        strip.Sides = static_cast<uint8_t>(rng() % 4);
        std::vector<uint8_t> alpha = FillShadowAlpha(strip);
        const int w = strip.Bounds.Width(), h = strip.Bounds.Height();
        ASSERT_EQ(alpha.size(), static_cast<size_t>(std::max(w * h, 0)));
        if (alpha.empty())
            continue;
        auto at = [&](int x, int y) { return alpha[static_cast<size_t>(y * w + x)]; };
        // Along the popup's edge the shadow is darkest; it fades away from it.
        for (int a = 0; a < (strip.Vertical ? h : w); ++a)
            for (int d = 1; d < across; ++d) {
                int inner = strip.Vertical ? at(d - 1, a) : at(a, d - 1);
                int outer = strip.Vertical ? at(d, a) : at(a, d);
                ASSERT_GE(inner, outer) << round;
            }
        // The middle of a long strip without corners is the plain fade.
        if (strip.Sides == 0 && !strip.Vertical) {
            for (int y = 0; y < h; ++y)
                ASSERT_EQ(at(w / 2, y), 255 - (y * 256) / h);
        }
    }
}

TEST(ShadowAlpha, CornersRoundOffTheStripEnds) {
    TShadowStrip bottom{Bounds(0, 0, 20, 4), false, ssStart | ssEnd};
    std::vector<uint8_t> alpha = FillShadowAlpha(bottom);
    // The outer corner pixels are clear; the middle of the top row is solid.
    EXPECT_EQ(alpha[static_cast<size_t>(3 * 20 + 0)], 0);
    EXPECT_EQ(alpha[static_cast<size_t>(3 * 20 + 19)], 0);
    EXPECT_EQ(alpha[10], 255);
    EXPECT_LT(alpha[0], alpha[4]);
}

TEST(ShadowAlpha, ComposedShadowDarkensOnlyUnderItsStrips) {
    TBitmap image(60, 60);
    image.Canvas().FillRect(Rect(0, 0, 60, 60), clWhite);
    image.Canvas().Release();
    TShadowStrips strips = ShadowStrips({}, Rect(110, 110, 150, 150), 4);
    for (const TShadowStrip& strip : present(strips))
        BlendShadowStrip(image, {100, 100}, strip, 64);
    TCanvas& canvas = image.Canvas();
    // Just outside the popup's bottom edge: 255 x 64 / 255 = 64 of alpha.
    EXPECT_EQ(canvas.Pixel(30, 50), RGB(191, 191, 191));
    EXPECT_EQ(canvas.Pixel(30, 53), RGB(240, 240, 240)); // faded
    EXPECT_EQ(canvas.Pixel(30, 45), clWhite);           // under the popup
    EXPECT_EQ(canvas.Pixel(51, 12), clWhite);           // above the right strip's start
    EXPECT_EQ(canvas.Pixel(50, 30), RGB(191, 191, 191));
}

TEST(ShadowWindows, WithoutTranslucencyTheStripsArePlainAndHalfAsWide) {
    TShadows shadows({}, Rect(100, 50, 200, 150), 4, 64, false);
    const auto& strips = shadows.Strips();
    ASSERT_TRUE(strips[0] && strips[1]);
    EXPECT_TRUE(strips[0]->Plain());
    EXPECT_EQ(strips[0]->Strip().Bounds, Rect(200, 52, 202, 150));
    EXPECT_EQ(strips[1]->BoundsRect(), Rect(102, 150, 202, 152));
    EXPECT_FALSE(strips[2]);
}

} // namespace
