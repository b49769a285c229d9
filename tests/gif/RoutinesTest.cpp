// The small shared routines: row and colour-depth arithmetic, exact reads,
// texts as data subblocks.

#include "GIFTestSupport.h"

#include "gif/GIFException.h"
#include "gif/GIFRoutines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(GIFRoutines, RowAndDepthArithmetic) {
    EXPECT_EQ(BytesPerScanline(3, 8, 32), 4);
    EXPECT_EQ(BytesPerScanline(3, 24, 32), 12);
    EXPECT_EQ(BytesPerScanline(1, 1, 32), 4);
    EXPECT_EQ(BytesPerScanline(65535, 24, 32), 196608);
    // 64-bit: no overflow for the largest descriptor width at 32 bits.
    EXPECT_EQ(BytesPerScanline(int64_t(1) << 31, 32, 32), int64_t(1) << 33);
    const int expected[] = {0, 1, 1, 2, 2, 3, 3, 3, 3, 4};
    for (int count = 0; count < 10; ++count)
        EXPECT_EQ(ColorsToBits(count), expected[count]) << count;
    EXPECT_EQ(ColorsToBits(128), 7);
    EXPECT_EQ(ColorsToBits(129), 8);
    EXPECT_EQ(ColorsToBits(256), 8);
    EXPECT_EQ(ColorsToBits(257), 9);
}

TEST(GIFRoutines, ExactReadsRaisePrematureEnd) {
    const uint8_t data[3] = {1, 2, 3};
    TReadOnlyMemoryStream stream(data, 3);
    uint8_t buffer[4];
    ReadCheck(stream, buffer, 2);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(GIFErrorOf([&] { ReadCheck(stream, buffer, 2); }), "Premature end of data");
    uint8_t byte = 7;
    EXPECT_FALSE(TryReadGIFByte(stream, byte)); // at the end: no byte, no exception
    EXPECT_EQ(byte, 7);
    TReadOnlyMemoryStream again(data, 3);
    EXPECT_THROW(SkipCheck(again, 4), GIFException);
}

TEST(GIFRoutines, TextsAsSubblocks) {
    TStringList texts;
    texts.Add(std::string(600, 'x'));
    TMemoryStream stream;
    WriteStrings(stream, texts);
    // 255, 255 and 90 bytes, then the terminator.
    ASSERT_EQ(stream.Size(), 1 + 255 + 1 + 255 + 1 + 90 + 1);
    EXPECT_EQ(stream.Memory()[0], 255);
    EXPECT_EQ(stream.Memory()[256], 255);
    EXPECT_EQ(stream.Memory()[512], 90);
    EXPECT_EQ(stream.Memory()[603], 0);
    stream.SetPosition(0);
    TStringList back;
    ReadStrings(stream, back);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Strings(2), std::string(90, 'x'));

    TStringList none;
    TMemoryStream empty;
    WriteStrings(empty, none);
    EXPECT_EQ(empty.Size(), 1);
}

// Random texts of random bytes (zeros included) survive a write and a
// read; texts of up to 255 bytes come back one for one, longer ones as
// their 255-byte pieces.
TEST(GIFRoutines, TextSubblocksRoundTripModel) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        TStringList texts;
        std::vector<std::string> expected;
        const int count = int(random() % 6);
        for (int i = 0; i < count; ++i) {
            std::string text(random() % 700, '\0');
            for (char& c : text)
                c = char(random() % 4 == 0 ? 0 : random());
            texts.Add(text);
            for (size_t offset = 0; offset < text.size(); offset += 255)
                expected.push_back(text.substr(offset, 255));
        }
        TMemoryStream stream;
        WriteStrings(stream, texts);
        stream.SetPosition(0);
        TStringList back;
        ReadStrings(stream, back);
        ASSERT_EQ(back.Count(), int(expected.size()));
        for (int i = 0; i < back.Count(); ++i)
            ASSERT_EQ(back.Strings(i), expected[size_t(i)]);
        EXPECT_EQ(stream.Position(), stream.Size());
    }
}

TEST(GIFRoutines, TextSubblocksCutShortRaise) {
    const uint8_t data[] = {5, 'a', 'b'};
    TReadOnlyMemoryStream stream(data, sizeof data);
    TStringList texts;
    EXPECT_THROW(ReadStrings(stream, texts), GIFException);
}

} // namespace
