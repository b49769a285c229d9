#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include "BaseTestSupport.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

namespace {

TEST(Stream, MemoryStreamModelCheck) {
    // Random writes, seeks and reads checked against a plain byte vector.
    std::mt19937 random(42);
    TMemoryStream stream;
    std::vector<uint8_t> model;
    int64_t position = 0;
    for (int step = 0; step < 5000; ++step) {
        switch (random() % 3) {
        case 0: {
            std::vector<uint8_t> chunk(random() % 40);
            for (auto& b : chunk)
                b = static_cast<uint8_t>(random());
            stream.WriteBuffer(chunk.data(), static_cast<int64_t>(chunk.size()));
            if (model.size() < position + chunk.size())
                model.resize(position + chunk.size());
            std::copy(chunk.begin(), chunk.end(), model.begin() + position);
            position += static_cast<int64_t>(chunk.size());
            break;
        }
        case 1:
            position = model.empty() ? 0 : static_cast<int64_t>(random() % (model.size() + 1));
            stream.SetPosition(position);
            break;
        case 2: {
            std::vector<uint8_t> got(random() % 40);
            int64_t n = stream.Read(got.data(), static_cast<int64_t>(got.size()));
            int64_t expected = std::min<int64_t>(static_cast<int64_t>(got.size()),
                                                 static_cast<int64_t>(model.size()) - position);
            ASSERT_EQ(n, std::max<int64_t>(expected, 0));
            for (int64_t i = 0; i < n; ++i)
                ASSERT_EQ(got[i], model[position + i]);
            position += n;
            break;
        }
        }
        ASSERT_EQ(stream.Position(), position);
        ASSERT_EQ(stream.Size(), static_cast<int64_t>(model.size()));
    }
}

TEST(Stream, ReadBufferPastEndRaises) {
    TMemoryStream stream;
    stream.WriteByte(1);
    stream.SetPosition(0);
    uint8_t two[2];
    EXPECT_THROW(stream.ReadBuffer(two, 2), EReadError);
    stream.SetPosition(0);
    EXPECT_EQ(MessageOf<EReadError>([&] { stream.ReadBuffer(two, 2); }), "Stream read error");
}

TEST(Stream, FileStreamRoundTripAndErrors) {
    TTempFolder folder;
    std::string name = folder.File("all-bytes.bin");
    {
        TFileStream file(name, fmCreate);
        for (int b = 0; b < 256; ++b)
            file.WriteByte(static_cast<uint8_t>(b));
    }
    TMemoryStream copy;
    copy.LoadFromFile(name);
    ASSERT_EQ(copy.Size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(copy.Memory()[b], b);

    EXPECT_THROW(TFileStream(folder.File("missing"), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(folder.Path().string(), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(folder.File("no/such/x"), fmCreate), EFCreateError);
}

// The helpers against the machine's own byte order (this suite runs on
// little-endian machines, where a plain copy is the oracle).
template <class TNumber>
void checkLittleEndian(std::mt19937_64& random) {
    static_assert(std::endian::native == std::endian::little);
    TMemoryStream stream;
    std::vector<TNumber> values;
    for (int i = 0; i < 200; ++i) {
        auto value = static_cast<TNumber>(random());
        values.push_back(value);
        uint8_t stored[sizeof(TNumber)];
        StoreLittleEndian(stored, value);
        ASSERT_EQ(std::memcmp(stored, &value, sizeof value), 0);
        std::string appended;
        AppendLittleEndian(appended, value);
        ASSERT_EQ(std::memcmp(appended.data(), &value, sizeof value), 0);
        stream.WriteLittleEndian(value);
    }
    stream.SetPosition(0);
    for (TNumber value : values)
        ASSERT_EQ(stream.ReadLittleEndian<TNumber>(), value);
    EXPECT_THROW(stream.ReadLittleEndian<TNumber>(), EReadError);
}

TEST(Stream, LittleEndianHelpersAgreeWithTheMachine) {
    std::mt19937_64 random(3);
    checkLittleEndian<uint8_t>(random);
    checkLittleEndian<int16_t>(random);
    checkLittleEndian<uint16_t>(random);
    checkLittleEndian<int32_t>(random);
    checkLittleEndian<uint32_t>(random);
    checkLittleEndian<int64_t>(random);
}

} // namespace
