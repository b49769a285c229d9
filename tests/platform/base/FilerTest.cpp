#include "platform/base/Exceptions.h"
#include "platform/base/Filer.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"

#include "BaseTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

namespace {

std::string randomBytes(std::mt19937& random, size_t maxLength) {
    std::string s(random() % (maxLength + 1), '\0');
    for (char& c : s)
        c = static_cast<char>(random() % 4 == 0 ? 0 : random()); // NUL often, every byte possible
    return s;
}

TMemoryStream streamOf(const std::string& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    return stream;
}

std::string written(TPersistent& instance) {
    TMemoryStream stream;
    WritePersistentProperties(stream, instance);
    return stream.DataString();
}

void readInto(const std::string& bytes, TPersistent& instance) {
    TMemoryStream stream = streamOf(bytes);
    ReadPersistentProperties(stream, instance);
}

std::string readErrorOf(const std::string& bytes, TPersistent& instance) {
    return MessageOf<EReadError>([&] { readInto(bytes, instance); });
}

// A persistent with one property of every kind, as an editor component
// would declare them.
class TSample : public TPersistent {
public:
    std::vector<int32_t> numbers;
    std::vector<bool> flags;
    std::string ident;
    std::string blob;
    std::vector<std::vector<std::string>> nested;

    void DefineProperties(TFiler& filer) override {
        filer.DefineProperty(
            "Numbers",
            [this](TReader& r) {
                numbers.clear();
                r.ReadListBegin();
                while (!r.EndOfList())
                    numbers.push_back(r.ReadInteger());
                r.ReadListEnd();
            },
            [this](TWriter& w) {
                w.WriteListBegin();
                for (int32_t n : numbers)
                    w.WriteInteger(n);
                w.WriteListEnd();
            },
            !numbers.empty());
        filer.DefineProperty(
            "Flags",
            [this](TReader& r) {
                flags.clear();
                r.ReadListBegin();
                while (!r.EndOfList())
                    flags.push_back(r.ReadBoolean());
                r.ReadListEnd();
            },
            [this](TWriter& w) {
                w.WriteListBegin();
                for (bool f : flags)
                    w.WriteBoolean(f);
                w.WriteListEnd();
            },
            !flags.empty());
        filer.DefineProperty(
            "Mode", [this](TReader& r) { ident = r.ReadIdent(); }, [this](TWriter& w) { w.WriteIdent(ident); },
            !ident.empty());
        filer.DefineBinaryProperty(
            "Data",
            [this](TStream& s) {
                blob.assign(static_cast<size_t>(s.Size()), '\0');
                s.ReadBuffer(blob.data(), s.Size());
            },
            [this](TStream& s) { s.WriteBuffer(blob.data(), static_cast<int64_t>(blob.size())); }, !blob.empty());
        filer.DefineProperty(
            "Rows",
            [this](TReader& r) {
                nested.clear();
                r.ReadListBegin();
                while (!r.EndOfList()) {
                    nested.emplace_back();
                    r.ReadListBegin();
                    while (!r.EndOfList())
                        nested.back().push_back(r.ReadString());
                    r.ReadListEnd();
                }
                r.ReadListEnd();
            },
            [this](TWriter& w) {
                w.WriteListBegin();
                for (auto& row : nested) {
                    w.WriteListBegin();
                    for (auto& s : row)
                        w.WriteString(s);
                    w.WriteListEnd();
                }
                w.WriteListEnd();
            },
            !nested.empty());
    }
};

TEST(Filer, StringsRoundTripAnyBytes) {
    std::mt19937 random(99);
    for (int round = 0; round < 200; ++round) {
        TStringList original;
        for (int i = static_cast<int>(random() % 20); i > 0; --i)
            original.Add(randomBytes(random, round % 10 == 0 ? 70000 : 40));
        TStringList copy;
        copy.Add("stale");
        readInto(written(original), copy);
        if (original.Count() == 0)
            EXPECT_EQ(copy.Count(), 1); // nothing was written, nothing replaced
        else
            ASSERT_TRUE(copy.Equals(original)) << "round " << round;
    }
}

TEST(Filer, EveryValueKindRoundTrips) {
    TSample original;
    original.numbers = {0, 1, -1, 127, -128, 128, -129, 32767, -32768, 32768, -32769, INT32_MAX, INT32_MIN,
                        static_cast<int32_t>(0x80000008)};
    original.flags = {true, false, true};
    original.ident = "clWindowText";
    original.blob = std::string("\0\1\2\xFF", 4);
    original.nested = {{"a", ""}, {}, {std::string(1, '\0')}};
    TSample copy;
    readInto(written(original), copy);
    EXPECT_EQ(copy.numbers, original.numbers);
    EXPECT_EQ(copy.flags, original.flags);
    EXPECT_EQ(copy.ident, original.ident);
    EXPECT_EQ(copy.blob, original.blob);
    EXPECT_EQ(copy.nested, original.nested);
    // Integers take their smallest form: 1 byte for 5, 4 for a colour.
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteInteger(5);
    writer.WriteInteger(-2147483640);
    EXPECT_EQ(stream.Size(), 2 + 5);
}

TEST(Filer, PropertyNamesAreMatchedIgnoringAsciiCase) {
    TStringList list;
    list.Add("x");
    std::string bytes = written(list);
    size_t at = bytes.find("Strings");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 7, "STRINGS");
    TStringList copy;
    readInto(bytes, copy);
    EXPECT_TRUE(copy.Equals(list));
}

TEST(Filer, BadInputRaisesReadErrorsThatNameTheProblem) {
    TStringList list;
    list.Add("x");
    std::string good = written(list);
    TSample sample;
    EXPECT_EQ(readErrorOf(good, sample), "Error reading property \"Strings\": property does not exist");
    EXPECT_EQ(readErrorOf("XXXX", list), "Invalid property stream: signature missing");
    EXPECT_EQ(readErrorOf("", list), "Invalid property stream: signature missing");

    // A list of integers read where strings are expected.
    sample.numbers = {1, 2};
    std::string numbers = written(sample);
    size_t at = numbers.find("Numbers");
    numbers.replace(at, 7, "Strings");
    numbers[at - 1] = 7;
    EXPECT_EQ(readErrorOf(numbers, list), "Error reading property \"Strings\": string expected but integer found");

    // A string where a list should begin.
    std::string flat = good;
    flat[4 + 1 + 7] = static_cast<char>(TValueType::vaString);
    EXPECT_NE(readErrorOf(flat, list).find("list expected but string found"), std::string::npos);

    // An unknown value type.
    std::string unknown = good;
    unknown[4 + 1 + 7 + 1] = 0x42;
    EXPECT_NE(readErrorOf(unknown, list).find("unknown value type 66"), std::string::npos);
}

TEST(Filer, TruncatedInputAlwaysRaisesAndNeverReadsPastTheEnd) {
    TSample sample;
    sample.numbers = {1, 300, 70000};
    sample.flags = {true};
    sample.ident = "Mode";
    sample.blob = "blob";
    sample.nested = {{"row", std::string(5, '\0')}};
    std::string whole = written(sample);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        // A heap copy of exactly the cut length: any read beyond it would be
        // caught by the sanitizer build.
        std::vector<char> bytes(whole.begin(), whole.begin() + static_cast<long>(cut));
        TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
        TSample target;
        EXPECT_THROW(ReadPersistentProperties(stream, target), EReadError) << "cut at " << cut;
    }
    TSample copy;
    readInto(whole, copy);
    EXPECT_EQ(copy.nested, sample.nested);
}

TEST(Filer, CorruptLengthsFailBeforeAllocating) {
    TStringList list;
    list.Add("abc");
    std::string bytes = written(list);
    // The string's length field follows: signature, name, vaList, vaString.
    size_t lengthAt = 4 + 1 + 7 + 1 + 1;
    for (uint32_t length : {0xFFFFFFFFu, 0x7FFFFFFFu, 4u}) {
        std::string corrupt = bytes;
        std::memcpy(&corrupt[lengthAt], &length, 4); // little-endian host
        TStringList target;
        EXPECT_THROW(readInto(corrupt, target), EReadError);
    }
}

TEST(Filer, RandomCorruptionOnlyEverRaisesReadErrors) {
    std::mt19937 random(5);
    TSample sample;
    sample.numbers = {1, -5000, 1 << 20};
    sample.flags = {false, true};
    sample.ident = "x";
    sample.blob = "data";
    sample.nested = {{"a", "bb"}, {"ccc"}};
    const std::string whole = written(sample);
    for (int round = 0; round < 3000; ++round) {
        std::string corrupt = whole;
        for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
            corrupt[4 + random() % (corrupt.size() - 4)] = static_cast<char>(random());
        TSample target;
        try {
            readInto(corrupt, target);
        } catch (const EReadError&) {
        } catch (const std::exception& e) {
            FAIL() << "round " << round << ": " << e.what();
        }
    }
}

TEST(Filer, SkipValueSkipsNestedLists) {
    TSample sample;
    sample.nested = {{"a"}, {"b", "c"}};
    std::string bytes = written(sample);
    TMemoryStream stream = streamOf(bytes);
    TReader reader(stream);
    stream.SetPosition(4);
    EXPECT_EQ(reader.ReadPropName(), "Rows");
    reader.SkipValue();
    EXPECT_EQ(reader.ReadPropName(), "");
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(Filer, WriterRefusesNamesItCanNotStore) {
    TMemoryStream stream;
    TWriter writer(stream);
    EXPECT_THROW(writer.WritePropName(""), EWriteError);
    EXPECT_THROW(writer.WritePropName(std::string(256, 'n')), EWriteError);
    EXPECT_THROW(writer.WriteIdent(std::string(256, 'i')), EWriteError);
    EXPECT_EQ(stream.Size(), 0);
}

} // namespace
