// The frame encoders: the subblock writer, the string table, the LZW and
// run-length code streams, and round trips through three decoders (ours,
// giflib, and Qt's reader for colours).

#include "GIFTestSupport.h"

#include "gif/GIFEncoders.h"
#include "gif/GIFException.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <map>
#include <random>

namespace {

// Reads the codes of a frame's data back as a decoder sees them: sizes grow
// with the table, a clear code resets it.
struct ParsedCodes {
    int MinCodeSize = 0;
    std::vector<int> Codes;
    int HighestEntry = 0; // the highest table entry the data makes
    int Clears = 0;
};

ParsedCodes parseCodes(const Bytes& data) {
    ParsedCodes parsed;
    size_t at = 0;
    parsed.MinCodeSize = data[at++];
    Bytes bytes;
    while (at < data.size() && data[at] != 0) {
        const size_t n = data[at++];
        bytes.insert(bytes.end(), data.begin() + long(at), data.begin() + long(at + n));
        at += n;
    }
    const int clear = 1 << parsed.MinCodeSize;
    int size = parsed.MinCodeSize + 1;
    int next = clear + 2;
    bool first = true;
    size_t bit = 0;
    while (bit + size_t(size) <= bytes.size() * 8) {
        int code = 0;
        for (int i = 0; i < size; ++i, ++bit)
            code |= ((bytes[bit / 8] >> (bit % 8)) & 1) << i;
        parsed.Codes.push_back(code);
        if (code == clear + 1)
            break;
        if (code == clear) {
            ++parsed.Clears;
            size = parsed.MinCodeSize + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (first) {
            first = false;
            continue;
        }
        if (next < 4096) {
            parsed.HighestEntry = std::max(parsed.HighestEntry, next);
            if (++next >= (1 << size) && size < 12)
                ++size;
        }
    }
    return parsed;
}

// Encodes pixels with one encoder and returns the data (code size byte,
// subblocks, terminator).
Bytes encode(TGIFEncoder& encoder, const Bytes& pixels, int bits, int colors, int width, int height,
             bool interlaced = false) {
    TMemoryStream stream;
    encoder.Encode(stream, bits, colors, pixels.empty() ? nullptr : pixels.data(), interlaced, height, width);
    return Bytes(stream.Memory(), stream.Memory() + stream.Size());
}

TEST(GIFWriter, PacksSubblocks) {
    TMemoryStream target;
    {
        TGIFWriter writer(target);
        for (int i = 0; i < 300; ++i)
            writer.Put(uint8_t(i));
        writer.Finish();
        EXPECT_THROW(writer.Seek(0, TSeekOrigin::soBeginning), Exception);
        uint8_t byte;
        EXPECT_THROW(writer.Read(&byte, 1), Exception);
    }
    ASSERT_EQ(target.Size(), 1 + 255 + 1 + 45);
    EXPECT_EQ(target.Memory()[0], 255);
    EXPECT_EQ(target.Memory()[1], 0);
    EXPECT_EQ(target.Memory()[256], 45);
    EXPECT_EQ(target.Memory()[257], 255 & 0xFF);
    // Exactly 255 bytes: one full subblock and no empty one after it.
    TMemoryStream exact;
    TGIFWriter writer(exact);
    for (int i = 0; i < 255; ++i)
        writer.Put(1);
    writer.Finish();
    EXPECT_EQ(exact.Size(), 256);
}

// Every key goes in and is found, as a map says; also when thousands of
// keys share a few home slots, so that probing must walk long runs (and
// end: the table never fills).
TEST(GIFHashTable, InsertAndLookupModel) {
    for (int crowded = 0; crowded < 2; ++crowded) {
        THashTable table;
        std::map<uint32_t, int> model;
        std::mt19937 random(8 + crowded);
        int code = 0;
        for (uint32_t key = 0; key < 0xFFFFFu && code < 4094; ++key) {
            const uint32_t candidate = crowded ? key : random() % 0xFFFFFu;
            if (crowded && THashTable::HomeSlot(candidate) >= 64)
                continue;
            if (model.count(candidate))
                continue;
            table.Insert(candidate, code);
            model[candidate] = code++;
        }
        ASSERT_EQ(code, 4094);
        for (const auto& [key, value] : model)
            ASSERT_EQ(table.Lookup(key), value);
        for (int i = 0; i < 20000; ++i) {
            const uint32_t key = random() % 0xFFFFFu;
            const auto found = model.find(key);
            ASSERT_EQ(table.Lookup(key), found == model.end() ? -1 : found->second);
        }
        table.Clear();
        EXPECT_EQ(table.Lookup(model.begin()->first), -1);
    }
}

TEST(LZWEncoder, NeverAssignsCode4095) {
    std::mt19937 random(21);
    Bytes pixels(40000);
    for (auto& p : pixels)
        p = uint8_t(random());
    TLZWEncoder encoder;
    const ParsedCodes parsed = parseCodes(encode(encoder, pixels, 8, 256, 200, 200));
    EXPECT_GT(parsed.Codes.size(), 4096u);
    EXPECT_GE(parsed.Clears, 2);
    EXPECT_EQ(parsed.HighestEntry, 4094);
    EXPECT_EQ(parsed.Codes.back(), 257);
}

TEST(LZWEncoder, TwoColoursUseCodeSizeTwo) {
    TLZWEncoder encoder;
    const Bytes data = encode(encoder, {0, 1, 1, 0}, 1, 2, 2, 2);
    EXPECT_EQ(data[0], 2);
    TLZWEncoder one;
    EXPECT_EQ(encode(one, {0}, 0, 1, 1, 1)[0], 2);
}

TEST(LZWEncoder, EmptyFrameStillWritesEndAndTerminator) {
    TLZWEncoder lzw;
    EXPECT_EQ(encode(lzw, {}, 2, 4, 0, 0), (Bytes{2, 1, 0x05, 0}));
    TRLEEncoder rle;
    EXPECT_EQ(encode(rle, {}, 2, 4, 0, 0), (Bytes{2, 1, 0x05, 0}));
}

TEST(LZWEncoder, PixelBeyondTheColoursIsRefused) {
    for (int which = 0; which < 2; ++which) {
        TLZWEncoder lzw;
        TRLEEncoder rle;
        TGIFEncoder& encoder = which ? static_cast<TGIFEncoder&>(rle) : lzw;
        const auto encodeBeyondTheColours = [&] { encode(encoder, {0, 1, 4, 2}, 2, 4, 4, 1); };
        EXPECT_EQ(GIFErrorOf(encodeBeyondTheColours), "Color not in color table");
    }
}

TEST(LZWEncoder, InterlacedRowOrder) {
    // Height 3: rows 0, 2, 1; height 1: row 0 only.  Read back by our
    // decoder as if the frame were not interlaced, the rows come in data
    // order.
    for (int height : {1, 3, 6}) {
        Bytes pixels;
        for (int row = 0; row < height; ++row)
            pixels.insert(pixels.end(), 4, uint8_t(row));
        TLZWEncoder encoder;
        const Bytes data = encode(encoder, pixels, 3, 8, 4, height, true);
        TGIFImage image;
        Bytes blocks = ImageBlock(0, 0, 4, height, false, 0, data[0], Bytes(data.begin() + 1, data.end()));
        LoadImage(image, GifWithBlocks(4, height, 8, blocks));
        std::vector<int> expected = height == 1 ? std::vector<int>{0}
                                    : height == 3 ? std::vector<int>{0, 2, 1}
                                                  : std::vector<int>{0, 4, 2, 1, 3, 5};
        for (int k = 0; k < height; ++k)
            EXPECT_EQ(image.Images().Frames(0)->Pixels(0, k), expected[size_t(k)]) << height;
    }
}

TEST(RLEEncoder, ShortRunsAfterAClear) {
    TRLEEncoder three;
    EXPECT_EQ(parseCodes(encode(three, {1, 1, 1}, 2, 4, 3, 1)).Codes, (std::vector<int>{4, 1, 6, 5}));
    TRLEEncoder two;
    EXPECT_EQ(parseCodes(encode(two, {1, 1}, 2, 4, 2, 1)).Codes, (std::vector<int>{4, 1, 1, 5}));
    TRLEEncoder single;
    EXPECT_EQ(parseCodes(encode(single, {3}, 2, 4, 1, 1)).Codes, (std::vector<int>{4, 3, 5}));
}

TEST(RLEEncoder, TriangleCostAndSquareRoot) {
    for (int64_t v = 0; v < 5000; ++v) {
        const int64_t r = IntegerSqrt(v);
        ASSERT_LE(r * r, v);
        ASSERT_GT((r + 1) * (r + 1), v);
    }
    EXPECT_EQ(IntegerSqrt(int64_t(1) << 40), int64_t(1) << 20);
    // Runs of 1, 1+2, 1+2+3, ... codes of growing length: the smallest s
    // with s(s+1)/2 >= n.
    EXPECT_EQ(RunTriangleCost(1, 100), 1);
    EXPECT_EQ(RunTriangleCost(3, 100), 2);
    EXPECT_EQ(RunTriangleCost(4, 100), 3);
    EXPECT_EQ(RunTriangleCost(6, 100), 3);
    EXPECT_EQ(RunTriangleCost(7, 100), 4);
    // A full table of 3 codes covers 6 pixels; more starts again.
    EXPECT_EQ(RunTriangleCost(6, 3), 3);
    EXPECT_EQ(RunTriangleCost(7, 3), 4);
    EXPECT_EQ(RunTriangleCost(13, 3), 7);
}

// ---- round trips through three decoders ----

struct Frame {
    int Width, Height, Colors;
    bool Interlaced;
    bool LocalTable;
    Bytes Pixels;
};

Frame randomFrame(std::mt19937& random, bool big) {
    Frame f;
    f.Width = big ? 200 + int(random() % 101) : 1 + int(random() % 300);
    f.Height = big ? 100 + int(random() % 50) : 1 + int(random() % 40);
    f.Colors = 2 + int(random() % 255);
    f.Interlaced = random() % 2 == 0;
    f.LocalTable = random() % 3 == 0;
    f.Pixels.resize(size_t(f.Width * f.Height));
    const int style = int(random() % 3);
    for (size_t i = 0; i < f.Pixels.size(); ++i) {
        if (style == 0 || i == 0)
            f.Pixels[i] = uint8_t(random() % unsigned(f.Colors));
        else if (style == 1)
            f.Pixels[i] = random() % 8 == 0 ? uint8_t(random() % unsigned(f.Colors)) : f.Pixels[i - 1];
        else
            f.Pixels[i] = uint8_t((i / 7 + i % size_t(f.Width)) % size_t(f.Colors));
    }
    return f;
}

Bytes writeFrame(const Frame& f, TGIFCompression compression, uint32_t seed) {
    TGIFImage image;
    image.SetCompression(compression);
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, f.Width, f.Height);
    frame->SetInterlaced(f.Interlaced);
    TGIFColorMap& table = f.LocalTable ? static_cast<TGIFColorMap&>(frame->ColorMap()) : image.GlobalColorMap();
    for (int i = 0; i < f.Colors; ++i)
        table.Add((seed * 2654435761u + uint32_t(i) * 40503u) & 0xFFFFFF);
    std::copy(f.Pixels.begin(), f.Pixels.end(), frame->Data());
    return SaveImage(image);
}

QImage qtRead(const Bytes& bytes) {
    QByteArray array(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&array);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}

TEST(EncoderRoundTrip, ThreeDecodersAgree) {
    if (!QImageReader::supportedImageFormats().contains("gif"))
        GTEST_SKIP() << "Qt has no GIF reader here (qt6-base's imageformats plugin)";
    std::mt19937 random(2024);
    int interlacedWritten = 0, over4096 = 0;
    for (int round = 0; round < 60; ++round) {
        const Frame f = randomFrame(random, round % 10 == 0);
        for (TGIFCompression compression : {gcLZW, gcRLE}) {
            SCOPED_TRACE("round " + std::to_string(round) + " compression " + std::to_string(compression));
            const Bytes bytes = writeFrame(f, compression, uint32_t(round));
            // Ours.
            TGIFImage image;
            WarningLog warnings(image);
            LoadImage(image, bytes);
            ASSERT_TRUE(warnings.Messages.empty()) << warnings.Joined();
            TGIFSubImage* frame = image.Images().Frames(0);
            ASSERT_EQ(frame->DataSize(), int64_t(f.Pixels.size()));
            ASSERT_TRUE(std::equal(f.Pixels.begin(), f.Pixels.end(), frame->Data()));
            interlacedWritten += frame->Interlaced();
            // giflib: same indices.
            const OracleImage oracle = GiflibRead(bytes);
            ASSERT_TRUE(oracle.Ok);
            ASSERT_EQ(oracle.Frames.size(), 1u);
            ASSERT_EQ(oracle.Frames[0].Pixels, f.Pixels);
            // Qt: same colours, indices mapped through the active table.
            const QImage qt = qtRead(bytes);
            ASSERT_FALSE(qt.isNull());
            ASSERT_EQ(qt.width(), f.Width);
            ASSERT_EQ(qt.height(), f.Height);
            for (int y = 0; y < f.Height; ++y)
                for (int x = 0; x < f.Width; ++x) {
                    const uint32_t ours = ActiveColor(*frame, f.Pixels[size_t(y * f.Width + x)]);
                    const QRgb theirs = qt.pixel(x, y);
                    const uint32_t theirsValue = uint32_t(qRed(theirs)) | (uint32_t(qGreen(theirs)) << 8) |
                                                 (uint32_t(qBlue(theirs)) << 16);
                    ASSERT_EQ(theirsValue, ours) << x << "," << y;
                }
            // How many codes went out: over 4096 means the table was
            // cleared and restarted on the way.
            Bytes data(bytes.begin() + long(13 + (f.LocalTable ? 0 : 3 << ColorsToBits(f.Colors)) + 10 +
                                              (f.LocalTable ? 3 << ColorsToBits(f.Colors) : 0)),
                       bytes.end());
            over4096 += parseCodes(data).Codes.size() > 4096;
        }
    }
    EXPECT_GT(interlacedWritten, 0);
    EXPECT_GT(over4096, 0);
}

} // namespace
