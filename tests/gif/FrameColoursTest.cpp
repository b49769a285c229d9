// What a frame's pixels look like: the table they draw with (the system
// colours when a file carries none), black for indices beyond it, the
// reserved disposal methods, and the dithered rendering for a display of
// 256 colours.  Each is checked on random frames against the rule written
// out plainly.

#include "GIFComposites.h"
#include "GIFTestSupport.h"

#include "gif/GIFColorReduction.h"
#include "gif/GIFRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace {

uint32_t randomColor(std::mt19937& random) { return random() & 0xFFFFFF; }

// A frame of random size and pixels in its own image.  Pixel values reach
// well past any table, a few of them up to 255.
TGIFSubImage* randomFrame(TGIFImage& image, std::mt19937& random, int globalColors, int localColors) {
    for (int i = 0; i < globalColors; ++i)
        image.GlobalColorMap().Add(randomColor(random));
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, 1 + int(random() % 11), 1 + int(random() % 7));
    for (int i = 0; i < localColors; ++i)
        frame->ColorMap().Add(randomColor(random));
    uint8_t* pixels = frame->Data();
    for (int64_t i = 0; i < frame->DataSize(); ++i)
        pixels[i] = uint8_t(random() % 8 == 0 ? random() % 256 : random() % 48);
    return frame;
}

TEST(GIFFrameColours, WithoutATableTheSystemColoursAndBeyondTheTableBlack) {
    std::mt19937 random(17);
    const TGIFPalette system = SystemPalette();
    ASSERT_EQ(system.size(), 20u);
    int systemDrawn = 0, blackBeyond = 0;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        TGIFImage image;
        const int global = random() % 3 == 0 ? 0 : 1 + int(random() % 40);
        const int local = random() % 3 == 0 ? 1 + int(random() % 30) : 0;
        TGIFSubImage* frame = randomFrame(image, random, global, local);
        int transparent = -1;
        if (random() % 2 == 0) {
            auto* control = new TGIFGraphicControlExtension(frame);
            frame->Extensions().Add(control);
            control->SetTransparent(true);
            transparent = frame->Pixels(0, 0);
            control->SetTransparentColorIndex(transparent);
            transparent = control->TransparentColorIndex();
        }
        // The table in use, as the colours a reader shows.
        TGIFPalette table = system;
        if (local > 0)
            table.assign(frame->ColorMap().Data(), frame->ColorMap().Data() + local);
        else if (global > 0)
            table.assign(image.GlobalColorMap().Data(), image.GlobalColorMap().Data() + global);
        const std::vector<uint32_t> drawn = RenderGIFFrame(*frame, true);
        TGIFCompositor screen(image);
        screen.Show(0);
        for (int y = 0; y < frame->Height(); ++y)
            for (int x = 0; x < frame->Width(); ++x) {
                const int index = frame->Pixels(x, y);
                uint32_t expected = index < int(table.size()) ? GIFPixelOf(table[size_t(index)]) : GIFOpaqueBlack;
                if (index == transparent)
                    expected = 0;
                const size_t at = size_t(y) * size_t(frame->Width()) + size_t(x);
                ASSERT_EQ(drawn[at], expected) << "index " << index << " at " << x << "," << y;
                ASSERT_EQ(screen.Pixels()[size_t(y) * size_t(image.Width()) + size_t(x)], expected);
                systemDrawn += global == 0 && local == 0 && index < 20 && index != transparent;
                blackBeyond += index >= int(table.size()) && index != transparent;
            }
    }
    EXPECT_GT(systemDrawn, 200);
    EXPECT_GT(blackBeyond, 500);
}

// Disposal values 4 to 7 are reserved: such a frame is drawn, and left in
// place, as one that names no disposal.
TEST(GIFFrameColours, ReservedDisposalsDrawAsNone) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        const Bytes file = RandomAnimation(seed, {4, 5, 2, 6, 7, 1, 5});
        TGIFImage reserved, plain;
        LoadImage(reserved, file);
        LoadImage(plain, file);
        int changed = 0;
        for (int i = 0; i < plain.Images().Count(); ++i)
            if (TGIFGraphicControlExtension* control = plain.Images().Frames(i)->GraphicControlExtension())
                if (control->Disposal() > dmPrevious) {
                    control->SetDisposal(dmNone);
                    ++changed;
                }
        ASSERT_EQ(changed, 5);
        for (int i = 0; i < reserved.Images().Count(); ++i)
            EXPECT_EQ(FrameDisposal(*reserved.Images().Frames(i)), FrameDisposal(*plain.Images().Frames(i)));
        EXPECT_EQ(Composites(reserved), Composites(plain));
        TGIFCompositor reservedScreen(reserved, false), plainScreen(plain, false);
        for (int i = 0; i < reserved.Images().Count(); ++i) {
            reservedScreen.Show(i);
            plainScreen.Show(i);
            ASSERT_EQ(reservedScreen.Pixels(), plainScreen.Pixels()) << "opaque, frame " << i;
        }
    }
}

// Floyd-Steinberg through the colour cube, written plainly: a full error
// array, rows walked left to right and right to left in turn, the kernel
// mirrored on the way back.  A transparent pixel stays transparent and
// neither takes nor gives error, and the pixels after it take the error
// meant for their own places.
std::vector<uint32_t> referenceDithered(TGIFSubImage& frame) {
    const int w = frame.Width(), h = frame.Height();
    uint32_t table[256];
    FrameColorTable(frame, true, table);
    std::vector<std::array<int, 3>> error(size_t(w) * size_t(h), {0, 0, 0});
    std::vector<uint32_t> out(size_t(w) * size_t(h), 0);
    const int kernel[4][3] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
    for (int y = 0; y < h; ++y) {
        const int direction = y % 2 == 0 ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = direction > 0 ? i : w - 1 - i;
            const uint32_t color = table[frame.Pixels(x, y)];
            if ((color >> 24) == 0)
                continue;
            const int in[3] = {int(color >> 16) & 0xFF, int(color >> 8) & 0xFF, int(color) & 0xFF};
            int value[3];
            for (int c = 0; c < 3; ++c) {
                const int carried = error[size_t(y) * size_t(w) + size_t(x)][size_t(c)];
                value[c] = std::clamp(in[c] + (carried + 8) / 16, 0, 255);
            }
            // The cube's nearest level of each channel.
            int level[3];
            for (int c = 0; c < 3; ++c)
                level[c] = (value[c] + 3) / 51;
            out[size_t(y) * size_t(w) + size_t(x)] =
                0xFF000000u | uint32_t(level[0] * 51) << 16 | uint32_t(level[1] * 51) << 8 | uint32_t(level[2] * 51);
            for (const auto& [ahead, below, weight] : kernel) {
                const int tx = x + ahead * direction, ty = y + below;
                if (tx < 0 || tx >= w || ty >= h)
                    continue;
                for (int c = 0; c < 3; ++c)
                    error[size_t(ty) * size_t(w) + size_t(tx)][size_t(c)] += (value[c] - level[c] * 51) * weight;
            }
        }
    }
    return out;
}

TEST(GIFFrameColours, DitheredFramesLeaveTransparentPixelsInPlace) {
    std::mt19937 random(23);
    const TGIFPalette web = WebPalette();
    int skipped = 0;
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        TGIFImage image;
        TGIFSubImage* frame = randomFrame(image, random, 0, 2 + int(random() % 60));
        if (random() % 4 != 0) {
            auto* control = new TGIFGraphicControlExtension(frame);
            frame->Extensions().Add(control);
            control->SetTransparent(true);
            const int transparent = int(random() % 2);
            control->SetTransparentColorIndex(transparent);
            uint8_t* pixels = frame->Data();
            for (int64_t i = 0; i < frame->DataSize(); ++i)
                if (random() % 4 == 0)
                    pixels[i] = uint8_t(transparent);
        }
        const std::vector<uint32_t> dithered = RenderGIFFrame(*frame, true, true);
        ASSERT_EQ(dithered, referenceDithered(*frame));
        for (uint32_t pixel : dithered) {
            skipped += (pixel >> 24) == 0;
            const bool inCube =
                std::any_of(web.begin(), web.end(), [&](const TGIFColor& c) { return GIFPixelOf(c) == pixel; });
            ASSERT_TRUE(inCube || (pixel >> 24) == 0) << "a colour of the cube";
        }
    }
    EXPECT_GT(skipped, 300);
}

} // namespace
