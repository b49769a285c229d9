// Metafiles as the system that makes them draws them: brushes of a bitmap
// repeat it from the picture's corner; an enhanced metafile's window origin
// moves what it draws; a Windows metafile without a placeable header that
// maps a window is that window's size and shows nothing outside it; the
// sizes records claim are checked against the file's bytes before any
// library reads them.  Random pictures, written record by record, whose
// pixels are known.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/QtBridge.h"
#include "tests/platform/base/BaseTestSupport.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/gfx/TestMetafiles.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TMetafile> loaded(const std::string& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    auto metafile = std::make_unique<TMetafile>();
    metafile->LoadFromStream(stream);
    return metafile;
}

QImage drawn(TMetafile& metafile) {
    QImage image(metafile.Width(), metafile.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceCanvas canvas(&image);
    metafile.Draw(canvas, Rect(0, 0, metafile.Width(), metafile.Height()));
    return image;
}

uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(MetafileMapping, PatternBrushesRepeatTheirBitmapFromThePicturesCorner) {
    std::mt19937 random(8086);
    for (int round = 0; round < 12; ++round) {
        const bool enhanced = round % 2;
        SCOPED_TRACE(std::string(enhanced ? "emf" : "wmf") + " round " + std::to_string(round));
        const int width = 40 + int(random() % 60), height = 40 + int(random() % 60);
        const int patternWidth = 2 + int(random() % 7), patternHeight = 2 + int(random() % 7);
        std::vector<uint32_t> pattern;
        for (int i = 0; i < patternWidth * patternHeight; ++i)
            pattern.push_back(uint32_t(random()) & 0xFFFFFF);
        TTestShape box = RandomShapes(random, width, height, 1)[0];
        box.Ellipse = false;
        const auto metafile = loaded(PatternMetafileOf(enhanced, width, height, pattern, patternWidth, patternHeight, box));
        ASSERT_EQ(metafile->Width(), width);
        const QImage image = drawn(*metafile);
        int probed = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int64_t inside = ExpectedAt({box}, x, y);
                if (inside == -2)
                    continue;
                ++probed;
                const uint32_t expected =
                    inside == -1 ? 0xFFFFFFu : pattern[size_t(y % patternHeight * patternWidth + x % patternWidth)];
                ASSERT_EQ(rgbAt(image, x, y), expected) << x << "," << y;
            }
        EXPECT_GT(probed, width * height / 3);
    }
}

// Shapes written where a window origin set by a record puts them at their
// place show at their place, whatever the origin.
TEST(MetafileMapping, AnEnhancedMetafilesWindowOriginMovesWhatItDraws) {
    std::mt19937 random(1964);
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int width = 40 + int(random() % 100), height = 40 + int(random() % 80);
        const int originX = int(random() % 400) - 100, originY = int(random() % 400) - 100;
        const std::vector<TTestShape> shapes = RandomShapes(random, width, height, 1 + int(random() % 4));
        const auto metafile = loaded(EnhancedMetafileOf(width, height, shapes, {}, originX, originY));
        ASSERT_EQ(metafile->Width(), width);
        ASSERT_EQ(metafile->Height(), height);
        const QImage image = drawn(*metafile);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int64_t expected = ExpectedAt(shapes, x, y);
                if (expected != -2) {
                    ASSERT_EQ(rgbAt(image, x, y), expected < 0 ? 0xFFFFFFu : uint32_t(expected)) << x << "," << y;
                }
            }
    }
}

// Without a placeable header, a file that scales its window (anisotropic
// or isotropic mapping) is as large as the window, a unit to the pixel,
// and what it draws outside the window does not show.
TEST(MetafileMapping, AWindowsMetafileWithoutHeaderIsAsLargeAsTheWindowItMaps) {
    std::mt19937 random(324252);
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int width = 40 + int(random() % 300), height = 40 + int(random() % 250);
        const int origin = int(random() % 50);
        std::vector<TTestShape> shapes = RandomShapes(random, width, height, 1 + int(random() % 4));
        // Beyond the window: left of it and below it.
        shapes.push_back({-60, 5, -10, height - 5, 0x123456, false});
        shapes.push_back({5, height + 10, width - 5, height + 80, 0x654321, true});
        std::string bytes = WindowsMetafileOf(width, height, shapes, false, true, origin, origin, 1, true);
        if (round % 2) // isotropic: the window has the picture's shape all the same
            StoreLittleEndian(bytes.data() + bytes.find(std::string("\x04\x00\x00\x00\x03\x01", 6)) + 6, int16_t(7));
        const auto metafile = loaded(bytes);
        ASSERT_EQ(metafile->Width(), width);
        ASSERT_EQ(metafile->Height(), height);
        const QImage image = drawn(*metafile);
        int probed = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int64_t expected = ExpectedAt(shapes, x, y);
                if (expected == -2)
                    continue;
                ++probed;
                ASSERT_EQ(rgbAt(image, x, y), expected < 0 ? 0xFFFFFFu : uint32_t(expected)) << x << "," << y;
            }
        EXPECT_GT(probed, width * height / 3);
    }
}

// A file whose header claims records larger (or smaller) than it holds is
// read from what it holds; one whose records claim more bytes than the
// file holds is refused with the picture's message.  No library is asked
// for more than the file's size.
TEST(MetafileMapping, SizesRecordsClaimAreCheckedAgainstTheFile) {
    std::mt19937 random(608);
    const std::vector<TTestShape> shapes = RandomShapes(random, 60, 40, 3);
    for (bool placeable : {true, false}) {
        SCOPED_TRACE(placeable ? "placeable" : "without header");
        const std::string bytes = WindowsMetafileOf(60, 40, shapes, placeable);
        const size_t header = placeable ? 22 : 0;
        const QImage expected = drawn(*loaded(bytes));
        // The header's largest record, which the player makes its buffer
        // of: 4 GB, and less than the records hold.
        for (uint32_t largest : {uint32_t(0x7FFFFFFF), 3u}) {
            std::string claiming = bytes;
            StoreLittleEndian(claiming.data() + header + 12, largest);
            EXPECT_EQ(drawn(*loaded(claiming)), expected) << largest;
        }
        // A record that reaches past the end: refused.
        for (uint32_t words : {uint32_t(0x7FFFFFFF), uint32_t(bytes.size()), 2u}) {
            std::string reaching = bytes;
            StoreLittleEndian(reaching.data() + header + 18, words);
            EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { loaded(reaching); }), "Metafile is not valid") << words;
        }
    }
    const std::string enhanced = EnhancedMetafileOf(60, 40, shapes, {{1, 1}, {50, 30}});
    // The first record after the header: a size past the end, too small,
    // not whole words; then a count of points the record does not hold.
    for (uint32_t size : {uint32_t(0xFFFFFFF0), uint32_t(enhanced.size()), 4u, 30u}) {
        std::string reaching = enhanced;
        StoreLittleEndian(reaching.data() + 88 + 4, size);
        EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { loaded(reaching); }), "Metafile is not valid") << size;
    }
    std::string counting = enhanced;
    const size_t polyline = counting.find(std::string("\x04\x00\x00\x00", 4), 88);
    ASSERT_NE(polyline, std::string::npos);
    StoreLittleEndian(counting.data() + polyline + 24, uint32_t(0x10000000));
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { loaded(counting); }), "Metafile is not valid");
}

} // namespace
