// GIF images on the platform's clipboard: a copy puts the GIF file and
// the rendered bitmap there together (and Qt's clipboard then offers an
// image to every other program); a bitmap found there alone pastes into a
// GIF image; text does not.

#include "GIFTestSupport.h"

#include "gif/render/GIFRegistration.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/QtBridge.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <random>

namespace {

// The colours of a bitmap's pixels, whatever its pixel format.
QImage colours(const TBitmap& bitmap) { return BitmapImage(bitmap).convertToFormat(QImage::Format_RGB32); }

QImage bitmapColours(const std::string& bytes) {
    TBitmap bitmap;
    TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    bitmap.LoadFromStream(stream);
    return colours(bitmap);
}

class GIFClipboard : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterGIFImage();
        Clipboard().Clear();
    }
};

TEST_F(GIFClipboard, ACopyHoldsTheGIFAndItsBitmap) {
    for (uint32_t seed : {3u, 8u, 12u}) {
        SCOPED_TRACE(seed);
        TGIFImage image;
        LoadImage(image, RandomAnimation(seed, {1, 2, 3}));
        image.DrawOptions &= TGIFDrawOptions(~gdThreaded);
        Clipboard().SetAsText("before");
        // The GIF goes beside a bitmap the caller puts there: only into a
        // clipboard held open for both.
        unsigned format = 0;
        std::string data;
        EXPECT_EQ(GIFErrorOf([&] { image.SaveToClipboardFormat(format, data); }), "Failed to store GIF on clipboard");
        EXPECT_EQ(Clipboard().AsText(), "before") << "a failed copy leaves the clipboard alone";

        Clipboard().AssignGraphic(image);
        ASSERT_TRUE(Clipboard().HasFormat(CF_GIF));
        ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));
        EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
        const std::string gif = Clipboard().GetFormatBytes(CF_GIF);
        EXPECT_EQ(Bytes(gif.begin(), gif.end()), SaveImage(image));
        // The bitmap is the first frame on the logical screen, as the image
        // renders it.
        TBitmap rendered;
        rendered.Assign(&image);
        const QImage expected = colours(rendered);
        ASSERT_EQ(expected.size(), QSize(image.Width(), image.Height()));
        EXPECT_EQ(bitmapColours(Clipboard().GetFormatBytes(CF_BITMAP)), expected);
        const QImage offered = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(offered, expected) << "other programs read the picture as an image";

        // Pasting prefers neither: each format gives the image back.
        TGIFImage fromGif;
        fromGif.LoadFromClipboardFormat(CF_GIF, {});
        EXPECT_EQ(SaveImage(fromGif), SaveImage(image));
    }
}

TEST_F(GIFClipboard, ABitmapAlonePastesAsAFrame) {
    std::mt19937 random(17);
    for (int round = 0; round < 4; ++round) {
        TBitmap bitmap(1 + int(random() % 40), 1 + int(random() % 30));
        bitmap.SetPixelFormat(pf24bit);
        const TColor few[] = {clRed, clNavy, clWhite, RGB(12, 200, 99), RGB(250, 1, 128)};
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                const TColor c = few[random() % 5];
                uint8_t* p = bitmap.ScanLine(y) + x * 3;
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
            }
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        Clipboard().SetFormatBytes(CF_BITMAP, stream.DataView());
        ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));
        ASSERT_FALSE(Clipboard().HasFormat(CF_GIF));

        TGIFImage image;
        image.LoadFromClipboardFormat(CF_BITMAP, {});
        ASSERT_EQ(image.Images().Count(), 1);
        ASSERT_EQ(image.Width(), bitmap.Width());
        ASSERT_EQ(image.Height(), bitmap.Height());
        // A true-colour bitmap goes through the image's colour reduction,
        // the colour cube by default.
        TGIFSubImage& frame = *image.Images().Frames(0);
        const QImage pixels = colours(bitmap);
        TNetscapeColorLookup cube;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                const QRgb pixel = pixels.pixel(x, y);
                TGIFColor expected;
                cube.Lookup(uint8_t(qRed(pixel)), uint8_t(qGreen(pixel)), uint8_t(qBlue(pixel)), expected);
                ASSERT_EQ(frame.ColorMap().Colors(frame.Pixels(x, y)), GIFColorValue(expected)) << x << "," << y;
            }
        // Data handed over directly loads the same.
        TGIFImage direct;
        direct.LoadFromClipboardFormat(CF_BITMAP, Clipboard().GetFormatBytes(CF_BITMAP));
        EXPECT_EQ(SaveImage(direct), SaveImage(image));
    }
    Clipboard().SetAsText("text");
    TGIFImage image;
    EXPECT_EQ(GIFErrorOf([&] { image.LoadFromClipboardFormat(CF_TEXT, {}); }), "Unsupported clipboard format");
    EXPECT_EQ(GIFErrorOf([&] { image.LoadFromClipboardFormat(CF_GIF, {}); }), "Unsupported clipboard format")
        << "no GIF there";
}

} // namespace
