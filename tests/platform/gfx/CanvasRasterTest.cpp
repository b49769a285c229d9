// Raster operations, pen modes and shape geometry of TCanvas, checked pixel
// by pixel against a per-pixel oracle, on an image and on a pixmap.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QPixmap>

#include <functional>
#include <random>

namespace {

uint32_t rgbOf(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// The result of a ternary raster operation for one pixel: bit i of the
// operation's truth table answers the combination P = i & 4, S = i & 2,
// D = i & 1, bit plane by bit plane.
uint32_t ternaryOracle(uint32_t rop, uint32_t p, uint32_t s, uint32_t d) {
    uint8_t table = static_cast<uint8_t>(rop >> 16);
    uint32_t result = 0;
    for (int i = 0; i < 8; ++i)
        if ((table >> i) & 1)
            result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return result & 0xFFFFFF;
}

QImage randomImage(std::mt19937& random, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000 | (random() & 0xFFFFFF));
    return image;
}

QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// A colour as the bits rgbOf reads.
uint32_t qtRgb(TColor c) { return ToQRgb(c) & 0xFFFFFF; }

// Runs a drawing on a copy of `before`, once on a QImage and once on a
// QPixmap, and hands both results back.
std::vector<QImage> drawBoth(const QImage& before, const std::function<void(TCanvas&)>& draw) {
    std::vector<QImage> results;
    QImage image = before.copy();
    {
        TDeviceCanvas canvas(&image);
        draw(canvas);
    }
    results.push_back(image);
    QPixmap pixmap = QPixmap::fromImage(before);
    {
        TDeviceCanvas canvas(&pixmap);
        draw(canvas);
    }
    results.push_back(pixmap.toImage().convertToFormat(QImage::Format_RGB32));
    return results;
}

TEST(CanvasRasterOps, EveryOperationMatchesThePerPixelOracle) {
    std::mt19937 random(3);
    const uint32_t operations[] = {SRCCOPY,   SRCPAINT,    SRCAND,    SRCINVERT,  SRCERASE,
                                   NOTSRCCOPY, NOTSRCERASE, MERGECOPY, MERGEPAINT, PATCOPY,
                                   PATPAINT,  PATINVERT,   DSTINVERT, BLACKNESS,  WHITENESS};
    for (int round = 0; round < 4; ++round) {
        QImage dest = randomImage(random, 9, 7);
        QImage sourcePixels = randomImage(random, 9, 7);
        TColor brush = static_cast<TColor>(random() & 0xFFFFFF);
        for (uint32_t rop : operations) {
            auto results = drawBoth(dest, [&](TCanvas& canvas) {
                TDeviceCanvas source(&sourcePixels);
                canvas.Brush().SetColor(brush);
                EXPECT_TRUE(canvas.BitBlt(2, 1, 5, 4, &source, 3, 2, rop));
            });
            for (size_t device = 0; device < results.size(); ++device) {
                const QImage& result = results[device];
                for (int y = 0; y < 7; ++y)
                    for (int x = 0; x < 9; ++x) {
                        bool inside = x >= 2 && x < 7 && y >= 1 && y < 5;
                        uint32_t expected =
                            inside ? ternaryOracle(rop, qtRgb(brush),
                                                   rgbOf(sourcePixels, x + 1, y + 1),
                                                   rgbOf(dest, x, y))
                                   : rgbOf(dest, x, y);
                        ASSERT_EQ(rgbOf(result, x, y), expected)
                            << std::hex << "rop " << rop << " device " << device << " at " << std::dec
                            << x << "," << y;
                    }
            }
        }
    }
}

TEST(CanvasRasterOps, BlitsClipAndStretchAndCopyOntoThemselves) {
    std::mt19937 random(5);
    QImage dest = randomImage(random, 10, 10);
    QImage before = dest.copy();
    {
        TDeviceCanvas canvas(&dest);
        canvas.SetClipRect(Rect(0, 0, 4, 10));
        // A copy of the canvas onto itself, shifted right: only x < 4 may change.
        canvas.BitBlt(1, 0, 9, 10, &canvas, 0, 0, SRCCOPY);
    }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            uint32_t expected = x >= 1 && x < 4 ? rgbOf(before, x - 1, y) : rgbOf(before, x, y);
            ASSERT_EQ(rgbOf(dest, x, y), expected) << x << "," << y;
        }
    // Doubling a 2x2 block gives 2x2 squares of each pixel.
    QImage small = randomImage(random, 2, 2);
    QImage big(4, 4, QImage::Format_RGB32);
    {
        TDeviceCanvas source(&small);
        TDeviceCanvas canvas(&big);
        EXPECT_TRUE(canvas.StretchBlt(Rect(0, 0, 4, 4), &source, Rect(0, 0, 2, 2), SRCCOPY));
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rgbOf(big, x, y), rgbOf(small, x / 2, y / 2));
    // An operation outside the supported set is refused, not guessed.
    TDeviceCanvas canvas(&big);
    TDeviceCanvas source(&small);
    EXPECT_FALSE(canvas.BitBlt(0, 0, 2, 2, &source, 0, 0, 0x00AA0029));
    TCanvas measuringOnly;
    EXPECT_FALSE(measuringOnly.BitBlt(0, 0, 2, 2, &source, 0, 0, SRCCOPY));
}

uint32_t penOracle(TPenMode mode, uint32_t p, uint32_t d) {
    switch (mode) {
    case pmBlack: return 0;
    case pmWhite: return 0xFFFFFF;
    case pmNop: return d;
    case pmNot: return ~d & 0xFFFFFF;
    case pmCopy: return p;
    case pmNotCopy: return ~p & 0xFFFFFF;
    case pmMergePenNot: return (p | ~d) & 0xFFFFFF;
    case pmMaskPenNot: return p & ~d & 0xFFFFFF;
    case pmMergeNotPen: return (~p | d) & 0xFFFFFF;
    case pmMaskNotPen: return ~p & d & 0xFFFFFF;
    case pmMerge: return p | d;
    case pmNotMerge: return ~(p | d) & 0xFFFFFF;
    case pmMask: return p & d;
    case pmNotMask: return ~(p & d) & 0xFFFFFF;
    case pmXor: return p ^ d;
    case pmNotXor: return ~(p ^ d) & 0xFFFFFF;
    }
    return d;
}

TEST(CanvasPen, LinesCombineWithThePixelsByThePenModeAndLeaveOutTheEndPoint) {
    std::mt19937 random(9);
    for (int mode = pmBlack; mode <= pmNotXor; ++mode) {
        QImage dest = randomImage(random, 8, 8);
        TColor color = static_cast<TColor>(random() & 0xFFFFFF);
        auto results = drawBoth(dest, [&](TCanvas& canvas) {
            canvas.Pen().SetColor(color);
            canvas.Pen().SetMode(static_cast<TPenMode>(mode));
            canvas.MoveTo(1, 2);
            canvas.LineTo(7, 2); // horizontal: x 1..6
            canvas.LineTo(7, 7); // vertical: y 2..6
            canvas.MoveTo(0, 3);
            canvas.LineTo(3, 6); // diagonal: (0,3) (1,4) (2,5)
            EXPECT_EQ(canvas.PenPos(), Point(3, 6));
        });
        auto drawn = [](int x, int y) {
            return (y == 2 && x >= 1 && x <= 6) || (x == 7 && y >= 2 && y <= 6) ||
                   (x >= 0 && x <= 2 && y == x + 3);
        };
        for (const QImage& result : results)
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    uint32_t d = rgbOf(dest, x, y);
                    uint32_t expected =
                        drawn(x, y) ? penOracle(static_cast<TPenMode>(mode), qtRgb(color), d) : d;
                    ASSERT_EQ(rgbOf(result, x, y), expected) << "mode " << mode << " at " << x << "," << y;
                }
    }
}

TEST(CanvasPen, AZeroLengthLineLeavesThePainterAsItFoundIt) {
    QImage image = whiteImage(4, 4);
    TDeviceCanvas canvas(&image);
    canvas.Pen().SetMode(pmXor);
    canvas.Pen().SetColor(clRed);
    canvas.MoveTo(1, 1);
    canvas.LineTo(1, 1);
    // A caller painting straight through Qt afterwards paints plainly.
    canvas.QtSide().Painter()->fillRect(QRect(0, 0, 4, 4), Qt::blue);
    canvas.Release();
    EXPECT_EQ(rgbOf(image, 1, 1), 0x0000FFu);
}

TEST(CanvasShapes, AColourFillLeavesTheBrushAndTheTextBackgroundAlone) {
    QImage image = whiteImage(6, 5);
    {
        TDeviceCanvas canvas(&image);
        canvas.Brush().SetColor(clLime);
        canvas.SetBkMode(TRANSPARENT);
        const uint64_t brushChanges = canvas.Brush().ChangeCount();
        canvas.FillRect(Rect(1, 1, 4, 3), clHighlight);
        canvas.FillRect(Rect(2, 4, 2, 5), clBlack); // empty: nothing
        EXPECT_EQ(canvas.Brush().ChangeCount(), brushChanges);
        EXPECT_EQ(canvas.Brush().Color(), clLime);
        EXPECT_EQ(canvas.BkMode(), TRANSPARENT) << "the text background did not follow a brush change";
    }
    const uint32_t highlight = qtRgb(clHighlight);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(rgbOf(image, x, y), x >= 1 && x < 4 && y >= 1 && y < 3 ? highlight : 0xFFFFFFu)
                << x << "," << y;
}

TEST(CanvasShapes, RectanglesFramesAndFillsKeepTheirRightAndBottomEdgesExclusive) {
    QImage image = whiteImage(12, 10);
    {
        TDeviceCanvas canvas(&image);
        canvas.Pen().SetColor(clRed);
        canvas.Brush().SetColor(clBlue);
        canvas.Rectangle(1, 1, 6, 5);
        canvas.Brush().SetColor(clLime);
        canvas.FillRect(Rect(7, 1, 9, 3));
        canvas.Brush().SetColor(clBlack);
        canvas.FrameRect(Rect(7, 5, 11, 9));
        canvas.Pen().SetStyle(psClear);
        canvas.Brush().SetColor(clYellow);
        canvas.Rectangle(0, 7, 3, 10); // no outline: one pixel smaller
    }
    auto at = [&](int x, int y) { return rgbOf(image, x, y); };
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            uint32_t expected = 0xFFFFFF;
            if (x >= 1 && x < 6 && y >= 1 && y < 5)
                expected = (x == 1 || x == 5 || y == 1 || y == 4) ? 0xFF0000 : 0x0000FF;
            else if (x >= 7 && x < 9 && y >= 1 && y < 3)
                expected = 0x00FF00;
            else if (x >= 7 && x < 11 && y >= 5 && y < 9 && (x == 7 || x == 10 || y == 5 || y == 8))
                expected = 0x000000;
            else if (x >= 0 && x < 2 && y >= 7 && y < 9)
                expected = 0xFFFF00;
            ASSERT_EQ(at(x, y), expected) << x << "," << y;
        }
}

TEST(CanvasShapes, InversionAndFocusFramesUndoThemselves) {
    std::mt19937 random(1);
    QImage image = randomImage(random, 9, 8);
    QImage before = image.copy();
    TDeviceCanvas canvas(&image);
    canvas.InvertRect(Rect(2, 2, 6, 5));
    canvas.Release();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 2 && y < 5;
            ASSERT_EQ(rgbOf(image, x, y), inside ? (~rgbOf(before, x, y) & 0xFFFFFF) : rgbOf(before, x, y));
        }
    canvas.InvertRect(Rect(2, 2, 6, 5));
    canvas.DrawFocusRect(Rect(1, 1, 8, 7));
    canvas.Release();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x) {
            bool border = x >= 1 && x < 8 && y >= 1 && y < 7 && (x == 1 || x == 7 || y == 1 || y == 6);
            bool dotted = border && (x + y) % 2 == 0;
            ASSERT_EQ(rgbOf(image, x, y), dotted ? (~rgbOf(before, x, y) & 0xFFFFFF) : rgbOf(before, x, y))
                << x << "," << y;
        }
    canvas.DrawFocusRect(Rect(1, 1, 8, 7));
    canvas.Release();
    EXPECT_EQ(image, before);
}

TEST(CanvasShapes, RaisedAndSunkenEdgesUseTheClassicShades) {
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    TDeviceCanvas canvas(&image);
    TRect box = Rect(0, 0, 6, 6);
    EXPECT_TRUE(canvas.DrawEdge(box, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(box, Rect(2, 2, 4, 4));
    canvas.Release();
    auto at = [&](int x, int y) { return FromQRgb(image.pixel(x, y)); };
    EXPECT_EQ(at(0, 0), ColorToRGB(cl3DLight));     // outer top-left
    EXPECT_EQ(at(5, 5), ColorToRGB(cl3DDkShadow));  // outer bottom-right
    EXPECT_EQ(at(5, 0), ColorToRGB(cl3DDkShadow));  // the top-right corner is the dark side's
    EXPECT_EQ(at(0, 5), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(1, 1), ColorToRGB(clBtnHighlight)); // inner top-left
    EXPECT_EQ(at(4, 4), ColorToRGB(clBtnShadow));    // inner bottom-right
    EXPECT_EQ(at(2, 2), ColorToRGB(clBtnFace));      // the middle
    TRect sunken = Rect(0, 0, 6, 6);
    canvas.DrawEdge(sunken, EDGE_SUNKEN, BF_RECT);
    canvas.Release();
    EXPECT_EQ(at(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(5, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(1, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(4, 4), ColorToRGB(cl3DLight));
    EXPECT_EQ(sunken, Rect(0, 0, 6, 6)) << "without BF_ADJUST the rectangle stays";
}

TEST(CanvasShapes, OriginAndClipAreInCanvasCoordinates) {
    QImage image = whiteImage(10, 10);
    TDeviceCanvas canvas(&image);
    canvas.SetOrigin(Point(3, 2));
    canvas.IntersectClipRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 4, 4));
    canvas.Brush().SetColor(clBlack);
    canvas.FillRect(Rect(-5, -5, 20, 20));
    EXPECT_EQ(canvas.Pixel(0, 0), clBlack);
    EXPECT_EQ(canvas.Pixel(-1, 0), clWhite);
    canvas.Release();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(rgbOf(image, x, y), (x >= 3 && x < 7 && y >= 2 && y < 6) ? 0u : 0xFFFFFFu);
    canvas.ExcludeClipRect(Rect(1, 1, 2, 2));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(canvas.Pixel(1, 1), clBlack);
    EXPECT_EQ(canvas.Pixel(2, 2), clRed);
    canvas.RemoveClip();
    EXPECT_EQ(canvas.ClipRect(), Rect(-3, -2, 7, 8));
}

} // namespace
