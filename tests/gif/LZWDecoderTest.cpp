// The LZW decoder, fed hand-made code streams: the regular cases, the
// table's limits, interlacing, data that ends early, and damaged data of
// every kind the decoder must survive or refuse.

#include "GIFTestSupport.h"

#include "gif/GIFException.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Decoded {
    Bytes Pixels;
    std::vector<std::string> Warnings;
    std::string Error;
    int FramesAfter = 0; // frames read after this one (to see the data was skipped to its end)
};

// Decodes `data` (the subblocks after the minimum code size) as one frame,
// followed by a second, plain frame that must still be found.
Decoded decode(int width, int height, int minCodeSize, const Bytes& data, bool interlaced = false,
               int transparentIndex = -1) {
    Bytes blocks;
    if (transparentIndex >= 0)
        blocks = {'!', 0xF9, 4, 1, 0, 0, uint8_t(transparentIndex), 0};
    Append(blocks, ImageBlock(0, 0, width, height, interlaced, 0, minCodeSize, data));
    Append(blocks, ImageBlock(0, 0, 1, 1, false, 0, 2, Subblocks(Pack(ReferenceLZW({3}, 2)))));
    Decoded result;
    TGIFImage image;
    WarningLog warnings(image);
    try {
        LoadImage(image, GifWithBlocks(width, height, 256, blocks));
    } catch (const GIFException& error) {
        result.Error = error.Message();
    }
    result.Warnings = warnings.Messages;
    if (image.Images().Count() > 0) {
        TGIFSubImage* frame = image.Images().Frames(0);
        result.Pixels.assign(frame->Data(), frame->Data() + frame->DataSize());
        result.FramesAfter = image.Images().Count() - 1;
        if (result.FramesAfter == 1) {
            EXPECT_EQ(image.Images().Frames(1)->Pixels(0, 0), 3) << "the following frame was not read intact";
        }
    }
    return result;
}

Bytes codes(std::initializer_list<std::pair<int, int>> list) {
    CodeWriter writer;
    for (const auto& [code, bits] : list)
        writer.Put(code, bits);
    return writer.Finish();
}

bool has(const Decoded& d, const std::string& message) {
    return std::find(d.Warnings.begin(), d.Warnings.end(), message) != d.Warnings.end();
}

TEST(LZWDecoder, FirstCodeNeedNotBeAClear) {
    // Code size 2: pixels 1, 2, 3, end (by then 4 bits wide) - no clear
    // code at the start.
    const Decoded d = decode(3, 1, 2, Subblocks(codes({{1, 3}, {2, 3}, {3, 3}, {5, 4}})));
    EXPECT_EQ(d.Pixels, (Bytes{1, 2, 3}));
    EXPECT_TRUE(d.Warnings.empty());
    EXPECT_EQ(d.FramesAfter, 1);
}

TEST(LZWDecoder, CodeEqualToTheNextFreeEntry) {
    // clear, 1, 6 (= next free: "1 1"), end: pixels 1 1 1.
    const Decoded d = decode(3, 1, 2, Subblocks(codes({{4, 3}, {1, 3}, {6, 3}, {5, 3}})));
    EXPECT_EQ(d.Pixels, (Bytes{1, 1, 1}));
    EXPECT_TRUE(d.Warnings.empty());
}

// Random pixels of every code size through the reference encoder, with
// subblocks of random sizes (1-byte subblocks make 12-bit codes straddle
// three of them), must decode exactly.
TEST(LZWDecoder, ReferenceStreamsModelCheck) {
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        const int minCodeSize = 2 + int(random() % 7);
        const int colors = 1 << minCodeSize;
        const int width = 1 + int(random() % 90);
        const int height = 1 + int(random() % 40);
        Bytes pixels(size_t(width * height));
        const int runLength = 1 + int(random() % 20);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (i % size_t(runLength) == 0 || random() % 4 == 0) ? uint8_t(random() % colors)
                                                                          : pixels[i ? i - 1 : 0];
        std::vector<int> sizes;
        const int pattern = int(random() % 3);
        for (int i = 0; i < 64; ++i)
            sizes.push_back(pattern == 0 ? 255 : pattern == 1 ? 1 : 1 + int(random() % 255));
        const Decoded d = decode(width, height, minCodeSize, Subblocks(Pack(ReferenceLZW(pixels, minCodeSize)), sizes));
        ASSERT_TRUE(d.Error.empty()) << d.Error;
        ASSERT_EQ(d.Pixels, pixels) << "round " << round;
        ASSERT_TRUE(d.Warnings.empty()) << "round " << round;
        ASSERT_EQ(d.FramesAfter, 1);
    }
}

// A full table stays full and the code size stays 12 until a clear code.
TEST(LZWDecoder, FullTableWithoutClear) {
    std::mt19937 random(99);
    Bytes pixels(30000);
    for (auto& p : pixels)
        p = uint8_t(random() % 256);
    const CodedStream coded = ReferenceLZW(pixels, 8, true);
    int biggest = 0;
    for (int size : coded.Sizes)
        biggest = std::max(biggest, size);
    ASSERT_EQ(biggest, 12);
    ASSERT_GT(coded.Codes.size(), 4096u);
    const Decoded d = decode(300, 100, 8, Subblocks(Pack(coded)));
    EXPECT_EQ(d.Pixels, pixels);
    EXPECT_TRUE(d.Warnings.empty());
}

TEST(LZWDecoder, InterlacedRowsFilledOnceEach) {
    for (int height : {1, 2, 3, 4, 5, 8, 9, 17}) {
        const int width = 3;
        // Row r in data order holds the value r + 1 throughout.
        std::vector<int> order;
        for (int start : {0, 4, 2, 1}) {
            const int step = start == 0 ? 8 : start * 2;
            for (int row = start; row < height; row += step)
                order.push_back(row);
        }
        ASSERT_EQ(int(order.size()), height);
        Bytes data;
        for (size_t k = 0; k < order.size(); ++k)
            data.insert(data.end(), size_t(width), uint8_t(k + 1));
        const Decoded d = decode(width, height, 5, Subblocks(Pack(ReferenceLZW(data, 5))), true);
        ASSERT_EQ(d.Pixels.size(), size_t(width * height));
        for (size_t k = 0; k < order.size(); ++k)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(d.Pixels[size_t(order[k] * width + x)], k + 1) << "height " << height;
        EXPECT_TRUE(d.Warnings.empty());
    }
}

TEST(LZWDecoder, InterlacedDataEndingEarlyKeepsTheFill) {
    // Height 8, width 2: data for the first two rows in data order (rows 0
    // and 4) only, then the end code.
    const Bytes pixels = {1, 1, 2, 2};
    CodedStream coded = ReferenceLZW(pixels, 2);
    const Decoded d = decode(2, 8, 2, Subblocks(Pack(coded)), true, 3);
    for (int row = 0; row < 8; ++row) {
        const uint8_t expected = row == 0 ? 1 : row == 4 ? 2 : 3;
        EXPECT_EQ(d.Pixels[size_t(row * 2)], expected) << row;
        EXPECT_EQ(d.Pixels[size_t(row * 2 + 1)], expected) << row;
    }
}

TEST(LZWDecoder, DataStoppingBeforeTheEndCode) {
    // Two pixels, then the subblocks stop.  The padding of the last byte
    // still reads as two codes of zeros; after that the rest keep the fill
    // value and the under-run is reported; the next frame is still read.
    const Decoded d = decode(8, 1, 2, Subblocks(codes({{4, 3}, {1, 3}, {2, 3}})), false, 3);
    EXPECT_EQ(d.Pixels, (Bytes{1, 2, 0, 0, 3, 3, 3, 3}));
    EXPECT_TRUE(has(d, "Decoder bit buffer under-run"));
    EXPECT_EQ(d.FramesAfter, 1);
}

TEST(LZWDecoder, SubblockLongerThanTheRest) {
    Bytes blocks = ImageBlock(0, 0, 4, 4, false, 0, 2, {200, 0x8C});
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, GifWithBlocks(4, 4, 4, blocks, false));
    EXPECT_TRUE(warnings.Has("Premature end of data"));
    ASSERT_EQ(image.Images().Count(), 1);
}

TEST(LZWDecoder, ExtraSubblocksAfterTheEndCodeAreSkipped) {
    Bytes data = Pack(ReferenceLZW({1, 2}, 2));
    Bytes blocks = Subblocks(data, {255}, false);
    blocks.insert(blocks.end(), {3, 9, 9, 9, 2, 8, 8, 0});
    const Decoded d = decode(2, 1, 2, blocks);
    EXPECT_EQ(d.Pixels, (Bytes{1, 2}));
    EXPECT_EQ(d.FramesAfter, 1);
    EXPECT_TRUE(d.Warnings.empty());
}

// More data than pixels: the last string is cut at the frame's end and the
// rest of the data is skipped to its terminator.
TEST(LZWDecoder, MoreDataThanPixels) {
    const Bytes pixels(50, 2);
    const Decoded d = decode(7, 3, 2, Subblocks(Pack(ReferenceLZW(pixels, 2))));
    EXPECT_EQ(d.Pixels, Bytes(21, 2));
    EXPECT_EQ(d.FramesAfter, 1);
}

TEST(LZWDecoder, CodeBeyondTheNextFreeEntryEndsTheFrame) {
    // clear, 1, 2, 1, then 9 while the next free entry is 8.
    const Decoded d = decode(6, 1, 2, Subblocks(codes({{4, 3}, {1, 3}, {2, 3}, {1, 3}, {9, 4}, {1, 4}, {5, 4}})), false, 3);
    EXPECT_EQ(d.Pixels, (Bytes{1, 2, 1, 3, 3, 3}));
    EXPECT_TRUE(has(d, "Invalid code in LZW data"));
    EXPECT_TRUE(d.Error.empty());
    EXPECT_EQ(d.FramesAfter, 1);
}

TEST(LZWDecoder, UnusableCodeSizesEndTheFrame) {
    for (int size : {0, 12, 13, 255}) {
        const Decoded d = decode(3, 1, size, Subblocks({0x12, 0x34, 0x56}), false, 1);
        EXPECT_EQ(d.Pixels, (Bytes{1, 1, 1})) << size;
        EXPECT_TRUE(has(d, "Invalid LZW code size")) << size;
        EXPECT_EQ(d.FramesAfter, 1) << size;
    }
    // 1 and 11 are unusual but workable.
    const Decoded small = decode(3, 1, 1, Subblocks(codes({{2, 2}, {1, 2}, {0, 2}, {1, 3}, {3, 3}})));
    EXPECT_EQ(small.Pixels, (Bytes{1, 0, 1}));
    const Decoded large = decode(3, 1, 11, Subblocks(codes({{2048, 12}, {7, 12}, {300, 12}, {7, 12}, {2049, 12}})));
    EXPECT_EQ(large.Pixels, (Bytes{7, 300 & 0xFF, 7}));
}

// A table entry whose prefix is itself: the first code after a clear is the
// next free code, so the entry made next points at itself.
TEST(LZWDecoder, SelfReferringEntryIsCircular) {
    const Decoded d = decode(8, 1, 2, Subblocks(codes({{4, 3}, {6, 3}, {1, 3}, {6, 3}, {5, 3}})));
    EXPECT_EQ(d.Error, "Circular decoder table entry");
}

// Longer circles: entries whose prefix chains return to an earlier entry,
// built from a first code beyond the table.  Any length is caught, and the
// walk never runs past its bounds.
TEST(LZWDecoder, LongerCirclesAreCaught) {
    // Code size 2 (clear 4, end 5, first free 6).  After the clear the
    // first code is 7; then 6 (= next free) makes entry 6 = (7, .); then a
    // literal makes entry 7 = (6, .): 6 -> 7 -> 6.  Using 6 walks the circle.
    const Decoded two = decode(16, 1, 2, Subblocks(codes({{4, 3}, {7, 3}, {6, 3}, {1, 3}, {6, 4}, {5, 4}})));
    EXPECT_EQ(two.Error, "Circular decoder table entry");

    // A circle through many entries: random damaged streams whose first
    // code after a clear points beyond the table.  Whatever each does, it
    // ends (no hang), within bounds (sanitizer builds), and either decodes,
    // warns or raises the circular-entry error.
    std::mt19937 random(5);
    int circular = 0;
    for (int round = 0; round < 3000; ++round) {
        CodeWriter writer;
        writer.Put(4, 3);
        int size = 3;
        int next = 6;
        writer.Put(6 + int(random() % 2), 3);
        for (int i = 0; i < 60; ++i) {
            writer.Put(int(random() % (next + 1)), size);
            if (next < 4096 && ++next >= (1 << size) && size < 12)
                ++size;
        }
        const Decoded d = decode(500, 1, 2, Subblocks(writer.Finish()));
        if (!d.Error.empty()) {
            EXPECT_EQ(d.Error, "Circular decoder table entry");
            ++circular;
        }
    }
    EXPECT_GT(circular, 0);
}

// Random bytes as LZW data: never out of bounds, never a hang; the frame
// either loads (with or without warnings) or raises a GIFException.
TEST(LZWDecoder, RandomDataIsSurvived) {
    std::mt19937 random(77);
    for (int round = 0; round < 2000; ++round) {
        Bytes data(random() % 400);
        for (auto& b : data)
            b = uint8_t(random());
        const int minCodeSize = int(random() % 13);
        const int width = 1 + int(random() % 64);
        const int height = 1 + int(random() % 64);
        std::vector<int> sizes = {1 + int(random() % 255)};
        const Decoded d = decode(width, height, minCodeSize, Subblocks(data, sizes), random() % 2 == 0);
        if (d.Error.empty()) {
            ASSERT_EQ(d.Pixels.size(), size_t(width * height));
            ASSERT_EQ(d.FramesAfter, 1);
        }
    }
}

} // namespace
