// One frame: its bounds and the logical screen, its pixel buffer and the
// limits on it, its tables, copying, and how it is written.

#include "GIFTestSupport.h"

#include "gif/GIFException.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

namespace {

TEST(GIFSubImage, ResizingReplacesThePixels) {
    TGIFImage image;
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, 4, 2);
    frame->SetPixel(3, 1, 9);
    EXPECT_EQ(frame->Pixels(3, 1), 9);
    frame->SetLeft(1); // a move keeps them
    EXPECT_EQ(frame->Pixels(3, 1), 9);
    frame->SetWidth(5); // growing still starts afresh
    EXPECT_EQ(frame->DataSize(), 10);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(frame->Pixels(x, 1), 0);
}

TEST(GIFSubImage, GrowingPastTheScreenWarns) {
    TGIFImage image;
    WarningLog warnings(image);
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(2, 3, 10, 10); // the screen had no size: silent
    EXPECT_TRUE(warnings.Messages.empty());
    EXPECT_EQ(image.Width(), 12);
    EXPECT_EQ(image.Height(), 13);
    frame->SetWidth(20);
    EXPECT_EQ(warnings.Messages,
              (std::vector<std::string>{"Image width too small for contained frames", "Image exceeds Logical Screen size"}));
    warnings.Messages.clear();
    frame->SetBounds(0, 0, 30, 30);
    EXPECT_EQ(warnings.Messages, (std::vector<std::string>{"Image width too small for contained frames",
                                                           "Image height too small for contained frames",
                                                           "Image exceeds Logical Screen size"}));
    EXPECT_EQ(image.Width(), 30);
}

TEST(GIFSubImage, SizeLimits) {
    TGIFImage image;
    TGIFSubImage frame(&image);
    EXPECT_EQ(GIFErrorOf([&] { frame.SetBounds(40000, 0, 30000, 1); }),
              "Frame lies beyond the largest logical screen");
    EXPECT_EQ(GIFErrorOf([&] { frame.SetBounds(0, 65535, 1, 1); }),
              "Frame lies beyond the largest logical screen");
    EXPECT_EQ(GIFErrorOf([&] { frame.SetBounds(-1, 0, 1, 1); }),
              "Frame lies beyond the largest logical screen");
    EXPECT_EQ(GIFErrorOf([&] { frame.SetBounds(0, 0, 65535, 65535); }),
              "Image dimensions too large");
    EXPECT_EQ(GIFErrorOf([&] { frame.SetBounds(0, 0, 16384, 16385); }),
              "Image dimensions too large");
    EXPECT_EQ(frame.Width(), 0); // nothing changed by a refused size
    EXPECT_EQ(image.Width(), 0);
}

TEST(GIFSubImage, HugeDescriptorsAreRefusedWhenRead) {
    const Bytes data = {2, 0}; // code size, terminator
    for (auto [left, width, height, message] :
         std::vector<std::tuple<int, int, int, std::string>>{{0, 65535, 65535, "Image dimensions too large"},
                                                             {40000, 30000, 2, "Frame lies beyond the largest logical screen"}}) {
        const Bytes file = GifWithBlocks(10, 10, 4, ImageBlock(left, 0, width, height, false, 0, 2, data));
        TGIFImage image;
        EXPECT_EQ(GIFErrorOf([&] { LoadImage(image, file); }), message);
    }
}

// All frames of one image together are limited too: five frames of the
// largest size are more than an image may hold.
TEST(GIFSubImage, ImageWidePixelLimit) {
    Bytes blocks;
    for (int i = 0; i < 5; ++i)
        Append(blocks, ImageBlock(0, 0, 16384, 16384, false, 0, 2, {0}));
    TGIFImage image;
    EXPECT_EQ(GIFErrorOf([&] { LoadImage(image, GifWithBlocks(16384, 16384, 4, blocks)); }),
              "Image dimensions too large");
    EXPECT_EQ(image.Images().Count(), 4);
}

TEST(GIFSubImage, ZeroSizedDescriptorTakesTheScreen) {
    TGIFImage image;
    WarningLog warnings(image);
    const Bytes data = Subblocks(Pack(ReferenceLZW(Bytes(12, 1), 2)));
    LoadImage(image, GifWithBlocks(4, 3, 4, ImageBlock(0, 0, 4, 0, false, 0, 2, data)));
    TGIFSubImage* frame = image.Images().Frames(0);
    EXPECT_EQ(frame->Width(), 4);
    EXPECT_EQ(frame->Height(), 3);
    EXPECT_EQ(frame->Pixels(3, 2), 1);
    EXPECT_TRUE(warnings.Has("Image exceeds Logical Screen size"));
}

TEST(GIFSubImage, PixelAccessOutsideTheFrame) {
    TGIFImage image;
    TGIFSubImage frame(&image);
    frame.SetBounds(0, 0, 3, 2);
    EXPECT_EQ(GIFErrorOf([&] { frame.Pixels(3, 0); }), "Invalid pixel coordinates");
    EXPECT_EQ(GIFErrorOf([&] { frame.Pixels(0, 2); }), "Invalid pixel coordinates");
    EXPECT_EQ(GIFErrorOf([&] { frame.Scanline(-1); }), "Invalid pixel coordinates");
    EXPECT_EQ(GIFErrorOf([&] { frame.SetPixel(-1, 0, 1); }), "Invalid pixel coordinates");
    TGIFSubImage thin(&image);
    thin.SetBounds(0, 0, 0, 1);
    EXPECT_EQ(GIFErrorOf([&] { thin.Scanline(0); }), "Image is empty");
    EXPECT_TRUE(thin.Empty());
}

// A frame's place on the logical screen, and on a destination the screen
// is stretched into: each edge at its share of the destination, rounded to
// the nearest pixel (halves away from the corner), as a whole picture
// stretched there shows it.
TEST(GIFSubImage, BoundsAndPlaceOnAStretchedScreen) {
    std::mt19937 random(31);
    for (int round = 0; round < 2000; ++round) {
        TGIFImage image;
        TGIFSubImage* frame = AddFrame(image);
        const int width = 1 + int(random() % 40), height = 1 + int(random() % 40);
        const int left = int(random() % 30), top = int(random() % 30);
        frame->SetBounds(left, top, width, height);
        const int screenWidth = left + width + int(random() % 20), screenHeight = top + height + int(random() % 20);
        image.SetWidth(screenWidth);
        image.SetHeight(screenHeight);
        ASSERT_EQ(frame->BoundsRect(), Rect(left, top, left + width, top + height));
        const TRect destination = Bounds(int(random() % 50) - 25, int(random() % 50) - 25, 1 + int(random() % 500),
                                         1 + int(random() % 500));
        auto across = [&](int x) {
            return destination.Left + int(std::lround(double(x) * destination.Width() / screenWidth));
        };
        auto down = [&](int y) {
            return destination.Top + int(std::lround(double(y) * destination.Height() / screenHeight));
        };
        ASSERT_EQ(frame->ScaleRect(destination),
                  Rect(across(left), down(top), across(left + width), down(top + height)))
            << round;
    }
}

TEST(GIFSubImage, ActiveTableAndVersion) {
    TGIFImage image;
    TGIFSubImage frame(&image);
    EXPECT_EQ(&frame.ActiveColorMap(), &frame.ColorMap());
    image.GlobalColorMap().Add(1);
    EXPECT_EQ(&frame.ActiveColorMap(), &image.GlobalColorMap());
    frame.ColorMap().Add(2);
    EXPECT_EQ(&frame.ActiveColorMap(), &frame.ColorMap());
    EXPECT_EQ(frame.Version(), 1);
    frame.ColorMap().SetOptimized(true);
    EXPECT_EQ(frame.Version(), 2);
    frame.ColorMap().SetOptimized(false);
    frame.Extensions().Add(new TGIFCommentExtension(&frame));
    EXPECT_EQ(frame.Version(), 2);
    frame.Clear();
    EXPECT_EQ(frame.Version(), 1);
    EXPECT_EQ(frame.ColorMap().Count(), 0);
}

// Frames with a local table are written row by row; without one they keep
// their interlacing.  The pixels are the same either way.
TEST(GIFSubImage, InterlacingAsWritten) {
    for (int local : {0, 4}) {
        Bytes pixels(6 * 9);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t((i / 6) % 4);
        // The data of an interlaced frame holds the rows in pass order.
        Bytes ordered;
        for (int start : {0, 4, 2, 1})
            for (int row = start; row < 9; row += (start == 0 ? 8 : start * 2))
                ordered.insert(ordered.end(), pixels.begin() + row * 6, pixels.begin() + row * 6 + 6);
        const Bytes data = Subblocks(Pack(ReferenceLZW(ordered, 2)));
        TGIFImage image;
        LoadImage(image, GifWithBlocks(6, 9, 4, ImageBlock(0, 0, 6, 9, true, local, 2, data)));
        TGIFSubImage* frame = image.Images().Frames(0);
        ASSERT_TRUE(frame->Interlaced());
        ASSERT_TRUE(std::equal(pixels.begin(), pixels.end(), frame->Data()));
        const Bytes written = SaveImage(image);
        TGIFImage again;
        LoadImage(again, written);
        EXPECT_EQ(again.Images().Frames(0)->Interlaced(), local == 0);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), again.Images().Frames(0)->Data()));
        const OracleImage oracle = GiflibRead(written);
        ASSERT_TRUE(oracle.Ok);
        EXPECT_EQ(oracle.Frames[0].Pixels, pixels);
    }
}

TEST(GIFSubImage, AssignCopiesEverything) {
    TGIFImage image;
    Bytes blocks = {'!', 0xF9, 4, 0x05, 10, 0, 2, 0, '!', 0xFE, 2, 'o', 'k', 0};
    Append(blocks, ImageBlock(1, 2, 3, 2, false, 4, 2, Subblocks(Pack(ReferenceLZW({0, 1, 2, 3, 2, 1}, 2)))));
    LoadImage(image, GifWithBlocks(8, 8, 4, blocks));
    TGIFSubImage* source = image.Images().Frames(0);
    TGIFImage other;
    TGIFSubImage* copy = AddFrame(other);
    copy->Assign(source);
    EXPECT_EQ(copy->Left(), 1);
    EXPECT_EQ(copy->Top(), 2);
    EXPECT_EQ(copy->Pixels(2, 1), 1);
    EXPECT_EQ(copy->ColorMap().Count(), 4);
    ASSERT_EQ(copy->Extensions().Count(), 2);
    ASSERT_NE(copy->GraphicControlExtension(), nullptr);
    EXPECT_TRUE(copy->Transparent());
    EXPECT_EQ(copy->GraphicControlExtension()->Delay(), 10);
    copy->SetPixel(0, 0, 3); // a copy, not a share
    EXPECT_EQ(source->Pixels(0, 0), 0);
    copy->Assign(nullptr);
    EXPECT_TRUE(copy->Empty());
    EXPECT_EQ(copy->Extensions().Count(), 0);
    TStringList list;
    EXPECT_THROW(copy->Assign(&list), EConvertError);
}

TEST(GIFSubImage, ListDeletionFreesTheFrame) {
    TGIFImage image;
    for (int i = 0; i < 3; ++i) {
        TGIFSubImage* frame = AddFrame(image);
        frame->SetBounds(0, 0, 1, 1);
        frame->Extensions().Add(new TGIFCommentExtension(frame));
    }
    TGIFSubImage* last = image.Images().Frames(2);
    image.Images().Delete(1);
    EXPECT_EQ(image.Images().Count(), 2);
    EXPECT_EQ(image.Images().Frames(1), last);
    EXPECT_THROW(image.Images().Frames(2), EListError);
}

} // namespace
