// Metafiles: random shapes written record by record as Windows metafiles
// (placeable or not, with and without a window origin, in units of their
// own or mapped anisotropically) and as enhanced
// metafiles, drawn at their own size and stretched, their pixels probed
// where the shapes must show; the mask a drawing on black and on white gives
// against the coverage the library's drawing reports; data that is no
// metafile.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"
#include "tests/platform/base/BaseTestSupport.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/gfx/TestMetafiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace {

struct TKind {
    const char* Extension;
    bool Placeable;
    bool SetOrigin;
    int Origin;
    int Units = 1; // logical units to the pixel
    bool Anisotropic = false;
};

const TKind kKinds[] = {{"wmf", true, true, 0},   {"wmf", true, true, 37},      {"wmf", true, false, 25},
                        {"WMF", false, true, 0},  {"emf", false, false, 0},     {"EMF", false, false, 0},
                        {"wmf", true, true, 3, 20}, {"wmf", true, true, 11, 7, true}};

std::string metafileOf(const TKind& kind, int width, int height, const std::vector<TTestShape>& shapes) {
    if (std::string(kind.Extension) == "emf" || std::string(kind.Extension) == "EMF")
        return EnhancedMetafileOf(width, height, shapes);
    return WindowsMetafileOf(width, height, shapes, kind.Placeable, kind.SetOrigin, kind.Origin, kind.Origin,
                             kind.Units, kind.Anisotropic);
}

std::unique_ptr<TBitmap> drawnOn(TGraphic& graphic, int width, int height, TColor fill) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(width, height);
    bitmap->Canvas().FillRect(Rect(0, 0, width, height), fill);
    graphic.Draw(bitmap->Canvas(), Rect(0, 0, width, height));
    bitmap->Canvas().Release();
    return bitmap;
}

uint32_t rgbAt(TBitmap& bitmap, int x, int y) {
    return reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFF;
}

TEST(Metafile, ShapesShowTheirColoursWhereTheyAreAtOwnSizeAndStretched) {
    std::mt19937 random(4711);
    TTempFolder folder;
    for (int round = 0; round < 24; ++round) {
        const TKind& kind = kKinds[round % std::size(kKinds)];
        SCOPED_TRACE("round " + std::to_string(round) + " ." + kind.Extension);
        const int width = 40 + int(random() % 120), height = 40 + int(random() % 80);
        std::vector<TTestShape> shapes = RandomShapes(random, width, height, 1 + int(random() % 5));
        // A file that says nothing of its size is as large as what it draws.
        int offsetX = 0, offsetY = 0, ownWidth = width, ownHeight = height;
        if (!kind.Placeable && kind.Extension[0] != 'e' && kind.Extension[0] != 'E') {
            offsetX = offsetY = 1 << 20;
            int right = 0, bottom = 0;
            for (const TTestShape& s : shapes) {
                offsetX = std::min(offsetX, s.Left), offsetY = std::min(offsetY, s.Top);
                right = std::max(right, s.Right), bottom = std::max(bottom, s.Bottom);
            }
            ownWidth = right - offsetX, ownHeight = bottom - offsetY;
        }
        const std::string file = folder.File("shapes" + std::to_string(round) + "." + kind.Extension);
        std::ofstream(file, std::ios::binary) << metafileOf(kind, width, height, shapes);
        TPicture picture;
        picture.LoadFromFile(file);
        auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
        ASSERT_NE(metafile, nullptr);
        EXPECT_EQ(metafile->Enhanced(), kind.Extension[0] == 'e' || kind.Extension[0] == 'E');
        ASSERT_NEAR(picture.Width(), ownWidth, 2);
        ASSERT_NEAR(picture.Height(), ownHeight, 2);
        for (int scale : {1, 2}) {
            SCOPED_TRACE("scale " + std::to_string(scale));
            auto bitmap = drawnOn(*metafile, picture.Width() * scale, picture.Height() * scale, clWhite);
            int probed = 0;
            for (int y = 0; y < picture.Height(); ++y)
                for (int x = 0; x < picture.Width(); ++x) {
                    const int64_t expected = ExpectedAt(shapes, x + offsetX, y + offsetY);
                    if (expected == -2)
                        continue;
                    ++probed;
                    ASSERT_EQ(rgbAt(*bitmap, x * scale + scale / 2, y * scale + scale / 2),
                              expected < 0 ? 0xFFFFFFu : uint32_t(expected))
                        << x << "," << y;
                }
            EXPECT_GT(probed, picture.Width() * picture.Height() / 3);
        }
    }
}

// Drawn on white and on black, the pixels that differ (the white painting
// combined with the black one by exclusive or, not black) are those the
// drawing does not cover whole, by as much as its own drawing on nothing
// leaves uncovered.
TEST(Metafile, WhatDiffersOnBlackAndWhiteIsWhatTheDrawingLeavesUncovered) {
    std::mt19937 random(99);
    for (const TKind& kind : kKinds) {
        SCOPED_TRACE(kind.Extension);
        const int width = 50 + int(random() % 60), height = 50 + int(random() % 60);
        const std::vector<TTestShape> shapes = RandomShapes(random, width, height, 3);
        TMemoryStream stream;
        const std::string bytes = metafileOf(kind, width, height, shapes);
        stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        stream.SetPosition(0);
        TMetafile metafile;
        metafile.LoadFromStream(stream);
        const int w = metafile.Width(), h = metafile.Height();
        auto onWhite = drawnOn(metafile, w, h, clWhite);
        auto onBlack = drawnOn(metafile, w, h, clBlack);
        QImage coverage(w, h, QImage::Format_ARGB32);
        coverage.fill(Qt::transparent);
        {
            TDeviceCanvas canvas(&coverage);
            metafile.Draw(canvas, Rect(0, 0, w, h));
        }
        // On white a pixel is its colour times its coverage plus white times
        // the rest, on black the first part alone: each channel differs by
        // what the coverage leaves (up to the rounding of the blending).
        int uncovered = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t white = rgbAt(*onWhite, x, y), black = rgbAt(*onBlack, x, y);
                const int left = 255 - qAlpha(coverage.pixel(x, y));
                for (int shift : {0, 8, 16})
                    ASSERT_NEAR(int(white >> shift & 0xFF) - int(black >> shift & 0xFF), left, 2)
                        << x << "," << y << " " << std::hex << white << " " << black << " " << coverage.pixel(x, y);
                if (left == 255) {
                    ASSERT_EQ(white ^ black, 0xFFFFFFu) << "untouched: white on one, black on the other";
                }
                uncovered += (white ^ black) != 0;
            }
        EXPECT_GT(uncovered, 0);
        EXPECT_LT(uncovered, w * h);
    }
}

// A pie runs counter-clockwise from its first radial to its second, as
// GDI draws it: from three o'clock to twelve is the upper right quarter.
TEST(Metafile, APieRunsCounterClockwiseFromItsFirstRadial) {
    const std::vector<TTestShape> none;
    std::string bytes = WindowsMetafileOf(100, 100, none);
    bytes.resize(bytes.size() - 6); // the end record comes after the pie
    std::string records;
    const auto add = [&](std::initializer_list<int> words) {
        for (int w : words)
            AppendLittleEndian<int16_t>(records, int16_t(w));
    };
    add({7, 0, 0x02FC, 0, 0x00FF, 0, 0});           // a red brush
    add({4, 0, 0x012D, 1});                         // selected
    add({11, 0, 0x081A, 10, 50, 50, 90, 90, 90, 10, 10}); // radials (90,50) then (50,10), box 10..90
    add({3, 0, 0});
    bytes += records;
    StoreLittleEndian(bytes.data() + 22 + 6, uint32_t((bytes.size() - 22) / 2));
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    TMetafile pie;
    pie.LoadFromStream(stream);
    auto bitmap = drawnOn(pie, 100, 100, clWhite);
    EXPECT_EQ(rgbAt(*bitmap, 65, 35), 0xFF0000u) << "upper right";
    for (auto [x, y] : {std::pair{35, 35}, {35, 65}, {65, 65}})
        EXPECT_EQ(rgbAt(*bitmap, x, y), 0xFFFFFFu) << x << "," << y;
}

// Text keeps its shape whatever the frame's: the player maps the window
// onto a square, which stretches a wide frame's text across.
TEST(Metafile, TextIsAsWideInAWideFrameAsInASquareOne) {
    const auto inkWidth = [](int width, int height) {
        TMemoryStream stream;
        const std::string bytes = WindowsMetafileOf(width, height, {}, true, true, 0, 0, 20, false, "HHHH");
        stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        stream.SetPosition(0);
        TMetafile metafile;
        metafile.LoadFromStream(stream);
        auto bitmap = drawnOn(metafile, width, height, clWhite);
        int left = width, right = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (rgbAt(*bitmap, x, y) != 0xFFFFFF)
                    left = std::min(left, x), right = std::max(right, x);
        return right - left;
    };
    const int square = inkWidth(100, 100);
    EXPECT_GT(square, 30);
    EXPECT_NEAR(inkWidth(400, 50), square, 2);
}

// A line reaching millions of pixels past the frame (one flipped bit in a
// point does it) is drawn where it shows, in the time a short one takes:
// the toolkit's raster engine walks a smoothed edge from end to end.
TEST(Metafile, LinesReachingMillionsOfPixelsOutDrawWhereTheyShowAndInTime) {
    std::mt19937 random(31);
    std::vector<std::pair<int, int>> line = {{10, 50}, {1000000, 50}};
    for (int i = 0; i < 12; ++i)
        line.emplace_back(i % 2 ? 10 + int(random() % 80) : int(random() % 2000001) - 1000000,
                          i % 2 ? 60 + int(random() % 30) : 1000000);
    // Under a white square, the bounds the header gives.
    const std::string bytes = EnhancedMetafileOf(100, 100, {{0, 0, 100, 100, 0xFFFFFF, false}}, line);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    TMetafile metafile;
    metafile.LoadFromStream(stream);
    const auto start = std::chrono::steady_clock::now();
    auto bitmap = drawnOn(metafile, 200, 200, clWhite);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // The first line, along y = 50 of the frame from x = 10 out to the right.
    for (int x : {25, 100, 197}) {
        const uint32_t across = rgbAt(*bitmap, x, 99) & rgbAt(*bitmap, x, 100);
        EXPECT_LT(across & 0xFF, 0x80u) << x;
    }
    EXPECT_EQ(rgbAt(*bitmap, 10, 100), 0xFFFFFFu) << "left of where it starts";
}

TEST(Metafile, DataThatIsNoMetafileIsRefusedAndTheOneHeldStays) {
    std::mt19937 random(5);
    const std::vector<TTestShape> shapes = RandomShapes(random, 60, 40, 2);
    for (const TKind& kind : kKinds) {
        SCOPED_TRACE(kind.Extension);
        const std::string bytes = metafileOf(kind, 60, 40, shapes);
        TMetafile metafile;
        TMemoryStream good;
        good.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        good.SetPosition(0);
        metafile.LoadFromStream(good);
        const int width = metafile.Width();
        // Cut short or damaged: refused with the one message, or read; never
        // read past its end (the sanitizer build watches).
        for (int round = 0; round < 60; ++round) {
            std::string damaged = bytes.substr(0, random() % (bytes.size() + 1));
            if (round % 2 && !damaged.empty())
                damaged[random() % damaged.size()] = char(random());
            TMemoryStream stream;
            stream.WriteBuffer(damaged.data(), int64_t(damaged.size()));
            stream.SetPosition(0);
            TMetafile other;
            try {
                other.LoadFromStream(stream);
            } catch (const EInvalidGraphic& e) {
                EXPECT_STREQ(e.what(), "Metafile is not valid");
                EXPECT_TRUE(other.Empty());
            }
        }
        TMemoryStream text;
        text.WriteBuffer("<html>", 6);
        text.SetPosition(0);
        EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { metafile.LoadFromStream(text); }), "Metafile is not valid");
        EXPECT_EQ(metafile.Width(), width) << "the metafile held stays";
        // Saved as it was read.
        TMemoryStream saved;
        metafile.SaveToStream(saved);
        EXPECT_EQ(std::string(saved.DataView()), bytes);
        // A copy draws the same; a size set stretches the drawing.
        TMetafile copy;
        copy.Assign(&metafile);
        copy.SetWidth(metafile.Width() * 2);
        EXPECT_EQ(copy.Width(), metafile.Width() * 2);
    }
    TMetafile empty;
    TMemoryStream nothing;
    EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { empty.SaveToStream(nothing); }), "Picture is empty");
}

} // namespace
