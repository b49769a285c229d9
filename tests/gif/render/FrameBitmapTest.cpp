// What a GIF image draws follows the image: a frame's rendered bitmap and
// mask after every change of its pixels, colours and transparency (pixel
// probes of the drawn picture against the frame rendered afresh); the
// background an opaque animation shows where no frame is; and pictures
// imported into frames are left as they were.

#include "GIFFrames.h"
#include "GIFTestSupport.h"

#include "gif/GIFRender.h"
#include "gif/render/GIFImport.h"
#include "gif/render/GIFPainter.h"
#include "gif/render/GIFRegistration.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class GIFDrawing : public ::testing::Test {
protected:
    void SetUp() override { RegisterGIFImage(); }
};

TColor colorOf(uint32_t pixel) { return RGB(int(pixel >> 16) & 0xFF, int(pixel >> 8) & 0xFF, int(pixel) & 0xFF); }

// Draws the one-frame image over white at its own size and checks every
// pixel against the frame rendered afresh: see-through pixels show the
// white, the rest their colours; nothing outside the frame is drawn.
void expectDrawnAsRendered(TGIFImage& image, int step) {
    TGIFSubImage& frame = *image.Images().Frames(0);
    TBitmap target(image.Width(), image.Height());
    target.Canvas().FillRect(Rect(0, 0, image.Width(), image.Height()), clWhite);
    image.Draw(target.Canvas(), Rect(0, 0, image.Width(), image.Height()));
    const std::vector<uint32_t> fresh = RenderGIFFrame(frame, true);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const bool inside = x < frame.Width() && y < frame.Height();
            const uint32_t pixel = inside ? fresh[size_t(y) * size_t(frame.Width()) + size_t(x)] : 0;
            const TColor expected = (pixel >> 24) ? colorOf(pixel) : clWhite;
            ASSERT_EQ(target.Canvas().Pixel(x, y), expected) << "step " << step << " at " << x << "," << y;
        }
}

TEST_F(GIFDrawing, AFramesBitmapAndMaskFollowEveryChangeOfItsLook) {
    std::mt19937 random(61);
    TGIFImage image;
    for (int i = 0; i < 6; ++i)
        image.GlobalColorMap().Add(random() & 0xFFFFFF);
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, 7, 5);
    int changes[9] = {};
    for (int step = 0; step < 400; ++step) {
        const int table = frame->ActiveColorMap().Count();
        const auto value = uint8_t(random() % uint32_t(table + 2));
        const int x = int(random() % uint32_t(frame->Width())), y = int(random() % uint32_t(frame->Height()));
        TGIFGraphicControlExtension* control = frame->GraphicControlExtension();
        const int kind = int(random() % 9);
        ++changes[kind];
        switch (kind) {
        case 0: // transparency on or off
            if (!control) {
                control = new TGIFGraphicControlExtension(frame);
                frame->Extensions().Add(control);
            }
            control->SetTransparent(!control->Transparent());
            break;
        case 1: // another transparent index
            if (control)
                control->SetTransparentColorIndex(int(random() % uint32_t(table)));
            break;
        case 2:
            frame->SetPixel(x, y, value);
            break;
        case 3:
            frame->Scanline(y)[x] = value;
            break;
        case 4:
            frame->Data()[int64_t(y) * frame->Width() + x] = value;
            break;
        case 5: // the frame's own colours
            if (frame->ColorMap().Count() > 0 && random() % 2 == 0)
                frame->ColorMap().Delete(frame->ColorMap().Count() - 1);
            else if (frame->ColorMap().Count() < 8)
                frame->ColorMap().Add(random() & 0xFFFFFF);
            break;
        case 6: // the colours it shares
            if (image.GlobalColorMap().Count() < 8)
                image.GlobalColorMap().Add(random() & 0xFFFFFF);
            else
                image.GlobalColorMap().Delete(0);
            break;
        case 7: // its graphic control goes
            delete control;
            break;
        case 8: // a new size (the pixels start afresh, the screen grows)
            frame->SetBounds(0, 0, 1 + int(random() % 9), 1 + int(random() % 7));
            break;
        }
        expectDrawnAsRendered(image, step);
        if (HasFatalFailure())
            return;
    }
    for (int count : changes)
        EXPECT_GT(count, 20);
}

// An animation drawn without transparency: where no frame is (before the
// first, or where one was restored to the background) the painter shows
// the background colour as it resolves, never the "none" setting itself.
TEST_F(GIFDrawing, WhatNoFrameCoversShowsTheResolvedBackground) {
    std::mt19937 random(67);
    struct Case {
        TGIFColorValue Setting;
        bool GlobalTable;
        int BackgroundIndex;
    };
    const Case cases[] = {
        {GIFNoColor, true, 0}, {GIFNoColor, true, 3}, {GIFNoColor, true, 9}, // beyond the table: black
        {clBtnFace, true, 1},  {0x00030201, true, 2}, {GIFNoColor, false, 0}, {clWindow, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Setting) + " table " + std::to_string(c.GlobalTable) + " index " +
                     std::to_string(c.BackgroundIndex));
        TGIFImage image;
        image.BackgroundColor = c.Setting;
        image.Header().SetBackgroundColorIndex(uint8_t(c.BackgroundIndex));
        TGIFPalette colors;
        for (int i = 0; i < 4; ++i)
            colors.push_back({uint8_t(random()), uint8_t(random()), uint8_t(random())});
        for (const TGIFColor& color : colors)
            if (c.GlobalTable)
                image.GlobalColorMap().Add(GIFColorValue(color));
        for (int f = 0; f < 2; ++f) {
            TGIFSubImage* frame = AddFrame(image);
            frame->SetBounds(2 * f, 0, 2, 2);
            for (const TGIFColor& color : colors)
                if (!c.GlobalTable)
                    frame->ColorMap().Add(GIFColorValue(color));
            std::fill_n(frame->Data(), 4, uint8_t(f + 1));
            auto* control = new TGIFGraphicControlExtension(frame);
            frame->Extensions().Add(control);
            control->SetDisposal(f == 0 ? dmBackground : dmNoDisposal);
        }
        TColor expected = ColorToRGB(c.Setting);
        if (c.Setting == GIFNoColor)
            expected = !c.GlobalTable              ? ColorToRGB(clWindow)
                       : c.BackgroundIndex < 4 ? colorOf(GIFPixelOf(colors[size_t(c.BackgroundIndex)]))
                                               : clBlack;
        auto target = std::make_shared<TGIFPaintTarget>();
        TGIFPainter painter(image, target, nullptr, Rect(0, 0, 4, 2), gdThreaded | gdAnimate);
        painter.Resume(); // the first frame: the right half is empty
        TCanvas& shown = target->Bitmap.Canvas();
        EXPECT_EQ(shown.Pixel(1, 1), colorOf(GIFPixelOf(colors[1])));
        EXPECT_EQ(shown.Pixel(3, 0), expected);
        painter.Resume(); // the second: the first restored to the background
        EXPECT_EQ(shown.Pixel(0, 1), expected);
        EXPECT_EQ(shown.Pixel(2, 0), colorOf(GIFPixelOf(colors[2])));
        EXPECT_FALSE(target->Bitmap.Transparent());
    }
}

// Importing a picture reads it: its format and pixels stay as they were,
// true-colour pictures reduced to 256 colours included.
TEST_F(GIFDrawing, ImportingLeavesTheSourceAsItWas) {
    std::mt19937 random(71);
    for (TPixelFormat format : {pf32bit, pfDevice, pf24bit, pf8bit}) {
        SCOPED_TRACE(int(format));
        TBitmap source(13, 9);
        source.SetPixelFormat(format);
        if (format == pf8bit) {
            std::vector<TColor> palette;
            for (int i = 0; i < 256; ++i)
                palette.push_back(TColor(random() & 0xFFFFFF));
            source.SetPalette(palette);
        }
        const int rowBytes = format == pf8bit ? 13 : format == pf24bit ? 39 : 52;
        std::vector<uint8_t> before;
        for (int y = 0; y < source.Height(); ++y)
            for (int x = 0; x < rowBytes; ++x) {
                source.ScanLine(y)[x] = uint8_t(random());
                before.push_back(source.ScanLine(y)[x]);
            }
        TGIFImage image;
        image.ColorReduction = gcrQuantize;
        image.DitherMode = gdmFloydSteinberg;
        image.Add(&source);
        const std::unique_ptr<TBitmap> reduced = ReduceBitmapColors(source, gcrWebPalette, gdmStucki, 8);
        EXPECT_EQ(reduced->PixelFormat(), pf8bit);
        EXPECT_EQ(source.PixelFormat(), format);
        std::vector<uint8_t> after;
        for (int y = 0; y < source.Height(); ++y)
            after.insert(after.end(), source.ScanLine(y), source.ScanLine(y) + rowBytes);
        EXPECT_EQ(after, before);
    }
}

// A still image drawn opaque or transparent, stretched by whole factors or
// tiled: every pixel of the destination against the frame placed by hand.
// Stretched, the screen fills the rectangle and each frame pixel a square
// of the factor's size; tiled, the frame repeats unstretched from its
// place in steps of the screen's size while it starts inside the
// rectangle.  Transparent pixels show the white below when drawn
// transparent, their own colour when not.
TEST_F(GIFDrawing, StillImagesDrawnStretchedAndTiled) {
    std::mt19937 random(73);
    int tiles = 0;
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE(round);
        TGIFImage image;
        for (int i = 0; i < 5; ++i)
            image.GlobalColorMap().Add(random() & 0xFFFFFF);
        TGIFSubImage* frame = AddFrame(image);
        const int w = 1 + int(random() % 6), h = 1 + int(random() % 5);
        frame->SetBounds(int(random() % 4), int(random() % 4), w, h);
        image.SetWidth(frame->Left() + w + int(random() % 3));
        image.SetHeight(frame->Top() + h + int(random() % 3));
        for (int64_t i = 0; i < frame->DataSize(); ++i)
            frame->Data()[i] = uint8_t(random() % 5);
        auto* control = new TGIFGraphicControlExtension(frame);
        frame->Extensions().Add(control);
        control->SetTransparent(true);
        control->SetTransparentColorIndex(int(random() % 5));
        const bool transparent = random() % 2 == 0, tile = random() % 2 == 0;
        image.DrawOptions = TGIFDrawOptions((transparent ? gdTransparent : 0) | (tile ? gdTile : 0));
        const int factor = tile ? 1 : 1 + int(random() % 3);
        const TRect rect = tile ? Bounds(int(random() % 5), int(random() % 5), 1 + int(random() % 30), 1 + int(random() % 30))
                                : Bounds(int(random() % 5), int(random() % 5), image.Width() * factor, image.Height() * factor);
        TBitmap target(45, 45);
        target.Canvas().FillRect(Rect(0, 0, 45, 45), clWhite);
        image.Draw(target.Canvas(), rect);
        const std::vector<uint32_t> pixels = RenderGIFFrame(*frame, transparent);
        // The frame's pixel shown at a destination pixel, or -1.
        auto frameAt = [&](int x, int y) -> int64_t {
            if (!tile) {
                if (x < rect.Left || y < rect.Top || x >= rect.Right || y >= rect.Bottom)
                    return -1;
                const int sx = (x - rect.Left) / factor - frame->Left(), sy = (y - rect.Top) / factor - frame->Top();
                return sx >= 0 && sy >= 0 && sx < w && sy < h ? int64_t(sy) * w + sx : -1;
            }
            for (int ox = rect.Left + frame->Left(); ox < rect.Right; ox += image.Width())
                for (int oy = rect.Top + frame->Top(); oy < rect.Bottom; oy += image.Height())
                    if (x >= ox && y >= oy && x < ox + w && y < oy + h)
                        return int64_t(y - oy) * w + (x - ox);
            return -1;
        };
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 45; ++x) {
                const int64_t at = frameAt(x, y);
                tiles += tile && at >= 0;
                const uint32_t pixel = at >= 0 ? pixels[size_t(at)] : 0;
                ASSERT_EQ(target.Canvas().Pixel(x, y), (pixel >> 24) ? colorOf(pixel) : clWhite)
                    << (tile ? "tiled" : "stretched") << (transparent ? ", transparent" : "") << " at " << x << "," << y;
            }
    }
    EXPECT_GT(tiles, 2000);
}

} // namespace
