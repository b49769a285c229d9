#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "DocumentTestSupport.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

using namespace std::string_literals;

namespace {
// A stream that fails after a number of bytes.
class TFailingStream : public TStream {
public:
    TFailingStream(std::string data, int64_t failAt) : data_(std::move(data)), failAt_(failAt) {}
    int64_t Read(void* buffer, int64_t count) override {
        if (position_ >= failAt_)
            throw EReadError();
        int64_t n = std::min<int64_t>({count, static_cast<int64_t>(data_.size()) - position_, failAt_ - position_});
        std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
        position_ += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { throw EWriteError(); }
    int64_t Seek(int64_t offset, TSeekOrigin) override { return position_ = offset; }

private:
    std::string data_;
    int64_t failAt_;
    int64_t position_ = 0;
};

std::vector<std::string> ParagraphsOf(const TCodeDocument& document) {
    std::vector<std::string> result;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        result.push_back(document.ParagraphText(i));
    return result;
}
}  // namespace

TEST(LoadSave, BreakKindsAreDetectedAndTheLastOneDecides) {
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetOptions(document.Options().Include(pmoAutoLineBreak));
    LoadText(document, "a\r\nb");
    EXPECT_EQ(ParagraphsOf(document), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(document.Fields().LineBreak, pbCRLF);
    EXPECT_EQ(SaveText(document), "a\r\nb");
    LoadText(document, "a\n\r\nb");
    EXPECT_EQ(ParagraphsOf(document), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(document.Fields().LineBreak, pbLF);
    LoadText(document, "a\rb\rc");
    EXPECT_EQ(ParagraphsOf(document), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(document.Fields().LineBreak, pbCR);
    EXPECT_EQ(SaveText(document), "a\rb\rc");
    LoadText(document, "a\n\rb");
    EXPECT_EQ(document.Fields().LineBreak, pbLFCR);
    EXPECT_EQ(SaveText(document), "a\n\rb");
    LoadText(document, "a\r\n\r\nb\n");
    EXPECT_EQ(ParagraphsOf(document), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(document.Fields().LineBreak, pbLF);
    // Without the option the break kind stays what it was.
    document.SetOptions(document.Options().Exclude(pmoAutoLineBreak));
    document.Fields().LineBreak = pbCRLF;
    LoadText(document, "a\nb");
    EXPECT_EQ(document.Fields().LineBreak, pbCRLF);
    EXPECT_EQ(SaveText(document), "a\r\nb");
}

TEST(LoadSave, TrailingBreakAndEmptyText) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "x\r\n");
    EXPECT_EQ(SaveText(document), "x\r\n");
    LoadText(document, "");
    EXPECT_EQ(document.ParagraphCount(), 1);
    EXPECT_EQ(SaveText(document), "");
    document.CheckConsistency();
}

TEST(LoadSave, EveryByteValueRoundTrips) {
    std::string text;
    for (int round = 0; round < 3; ++round) {
        for (int c = 0; c < 256; ++c)
            if (c != '\r' && c != '\n')
                text += static_cast<char>(c);
        text += "\r\n";
    }
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetStaticFormat(false);
    LoadText(document, text);
    EXPECT_EQ(document.ParagraphCount(), 4);
    EXPECT_EQ(SaveText(document), text);
    EXPECT_EQ(document.Text(), text);
}

TEST(LoadSave, NulReplacement) {
    TCodeDocument document;
    TTextSelection selection(document);
    document.Fields().NullReplacement = '?';
    LoadText(document, "a\0b"s);
    EXPECT_EQ(document.Text(), "a?b");
    document.Fields().NullReplacement = '\0';
    LoadText(document, "a\0b"s);
    EXPECT_EQ(document.Text(), "a\0b"s);
}

TEST(LoadSave, BreakPairSplitAcrossReadBlocks) {
    std::string text(65499, 'x');
    text += "\r\nafter";
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, text);
    EXPECT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(document.ParagraphText(1), "after");
    std::string lfcr(65499, 'y');
    lfcr += "\n\r\nz";
    LoadText(document, lfcr);
    EXPECT_EQ(document.ParagraphCount(), 3);
}

TEST(LoadSave, SaveCleansStyleCodePairsAndTrailingBlanks) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "a\x02\x01\x02" "b");
    EXPECT_EQ(SaveText(document), "a\x01" "b");
    document.Fields().CodeCleanUp = false;
    EXPECT_EQ(SaveText(document), "a\x02\x01\x02" "b");
    document.SetStaticFormat(false);
    document.Fields().CodeCleanUp = true;
    EXPECT_EQ(SaveText(document), "a\x02\x01\x02" "b");
    LoadText(document, "a  \r\nb\t");
    document.SetOptions(document.Options().Include(pmoDiscardTrailingSpaces));
    EXPECT_EQ(document.Text(), "a\r\nb");
}

TEST(LoadSave, ReadErrorLeavesTheMemoAsItWas) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "keep me");
    document.Fields().Modified = false;
    TFailingStream failing(std::string(200000, 'z'), 70000);
    EXPECT_THROW(document.LoadFromStream(failing), EReadError);
    EXPECT_EQ(document.Text(), "keep me");
    EXPECT_FALSE(document.Fields().Modified);
    EXPECT_EQ(document.UpdateCount(), 0);
    document.CheckConsistency();
}

TEST(LoadSave, SetTextBufClearAndModified) {
    TCodeDocument document;
    TTextSelection selection(document);
    EXPECT_FALSE(document.Fields().Modified);
    document.SetTextBuf("");
    EXPECT_FALSE(document.Fields().Modified);
    document.SetTextBuf("abc\r\ndef");
    EXPECT_TRUE(document.Fields().Modified);
    EXPECT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(selection.SelStart(), 0);
    document.Fields().Modified = false;
    document.SetTextBuf({});
    EXPECT_TRUE(document.Fields().Modified);
    EXPECT_EQ(document.TextLength(), 0);
}

TEST(LoadSave, ChangeAndParseEventsAfterLoading) {
    TCodeDocument document;
    TTextSelection selection(document);
    TUpdateCounter changes(document);
    int32_t parsedTo = -1;
    document.OnParse = [&](int32_t, int32_t to) { parsedTo = to; };
    LoadText(document, "abc\r\nd");
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(parsedTo, 6);
}

TEST(LoadSave, NavigatorsGoToTheStartOnLoad) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "0123456789");
    TCodeNavigator navigator(&document);
    navigator.SetPos(7);
    selection.SetSelStart(5);
    LoadText(document, "ab");
    EXPECT_EQ(navigator.Pos(), 0);
    EXPECT_EQ(selection.SelStart(), 0);
}

TEST(FormattedSnapshot, RoundTripsLinesContextsAndText) {
    TFixedMeasure measure(10);
    TCodeDocument document;
    TTextSelection selection(document);
    document.Layout().SetMeasure(&measure, 116);
    document.Layout().SetUpdateMode(umImmediate);
    LoadText(document, "one two three four five six\r\n\r\nseven\0eight nine ten"s);
    TCodeNavigator navigator(&document);
    TContextRecord record;
    record.Flags = 0xC3;
    record.Depth = 1;
    record.Background = 0x00112233;
    record.Foreground = -5;
    record.ContextNumber = 42;
    record.Tag = 7;
    record.KeyStack[0] = 0x8001;
    record.KeyStack[1] = 3;
    record.StartKeyLength = 4;
    record.StopKeyLength = 3;
    navigator.SetPos(4);
    navigator.InsertContext(record);

    TMemoryStream stream;
    document.SaveFormatted(stream);
    // Header of four integers, then per paragraph five integers, the line
    // records (36 bytes each), the context records (60 bytes each), the text.
    int64_t expected = 16;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        expected += 20 + 36 * document.Paragraph(i)->LineCount() + 60 * static_cast<int64_t>(document.Paragraph(i)->Contexts.Count()) +
                    document.Paragraph(i)->Length();
    EXPECT_EQ(stream.Size(), expected);
    const uint8_t* bytes = stream.Memory();
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), document.TextLength());
    EXPECT_EQ(bytes[12], 3);  // paragraph count, little-endian

    TCodeDocument copy;
    stream.SetPosition(0);
    copy.LoadFormatted(stream, false);
    EXPECT_EQ(copy.Text(), document.Text());
    EXPECT_EQ(copy.LineCount(), document.LineCount());
    copy.CheckConsistency();
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& a = *document.Paragraph(i);
        const TParagraph& b = *copy.Paragraph(i);
        ASSERT_EQ(a.LineCount(), b.LineCount());
        for (int32_t line = 0; line < a.LineCount(); ++line) {
            EXPECT_EQ(a.Line(line).Stop, b.Line(line).Stop);
            EXPECT_EQ(a.Line(line).TextWidth, b.Line(line).TextWidth);
        }
        ASSERT_EQ(a.Contexts.Count(), b.Contexts.Count());
    }
    const TContextRecord loaded = copy.Paragraph(0)->Contexts.Record(0);
    EXPECT_EQ(loaded.Offset, 4);
    EXPECT_EQ(loaded.Flags, 0xC3);
    EXPECT_EQ(loaded.Depth, 1);
    EXPECT_EQ(loaded.Background, 0x00112233);
    EXPECT_EQ(loaded.Foreground, -5);
    EXPECT_EQ(loaded.ContextNumber, 42);
    EXPECT_EQ(loaded.Tag, 7);
    EXPECT_EQ(loaded.KeyStack[0], 0x8001);
    EXPECT_EQ(loaded.KeyStack[1], 3);
    EXPECT_EQ(loaded.StartKeyLength, 4);
    EXPECT_EQ(loaded.StopKeyLength, 3);
    // The next paragraph starts in the last context of the one before.
    EXPECT_EQ(copy.Paragraph(1)->Base().ContextNumber, 42);
}

TEST(FormattedSnapshot, DamagedStreamsAreRefusedAndChangeNothing) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abc\r\ndef");
    TMemoryStream stream;
    document.SaveFormatted(stream);
    std::string good = stream.DataString();
    TCodeDocument target;
    LoadText(target, "unchanged");
    for (size_t cut : {size_t{3}, size_t{20}, good.size() - 1}) {
        TReadOnlyMemoryStream shortStream(good.data(), static_cast<int64_t>(cut));
        EXPECT_THROW(target.LoadFormatted(shortStream, false), EReadError);
        EXPECT_EQ(target.Text(), "unchanged");
    }
    for (size_t at : {size_t{0}, size_t{12}, size_t{16}, size_t{20}, size_t{24}, size_t{36}}) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] + 7);
        TReadOnlyMemoryStream badStream(bad.data(), static_cast<int64_t>(bad.size()));
        EXPECT_THROW(target.LoadFormatted(badStream, false), EReadError) << "byte " << at;
        EXPECT_EQ(target.Text(), "unchanged");
        target.CheckConsistency();
    }
}

TEST(LoadSave, RandomTextsSplitIntoTheParagraphsTheirBreaksMake) {
    // Texts of a few hundred kilobytes (lines that run across read blocks,
    // breaks of every kind, NUL bytes, trailing blanks), loaded with and
    // without the options that change what a line keeps, against a byte by
    // byte reading of the break rule: CR LF and LF CR are one break, a CR
    // or LF alone is one, and the last break read decides the kind.
    std::mt19937 random(77);
    static const char* const pieces[] = {"a", "word ", " ", "\t", "\r", "\n", "\r\n", "\n\r", "\xE9"};
    for (int round = 0; round < 12; ++round) {
        std::string text;
        const size_t size = random() % 3 == 0 ? random() % 50 : 40000 + random() % 200000;
        while (text.size() < size) {
            const int kind = static_cast<int>(random() % 40);
            if (kind == 0)
                text.append(1 + random() % 70000, 'x');  // a line longer than a read block
            else
                text += kind < 4 ? std::string(1, '\0') : std::string(pieces[random() % std::size(pieces)]);
        }
        const bool discard = round % 2 == 1;
        const char replacement = round % 3 == 1 ? '?' : '\0';

        std::vector<std::string> expected{""};
        TCodeLineBreak kind = pbCRLF;
        char pairable = 0;
        for (char c : text) {
            if (c == '\r' || c == '\n') {
                if (pairable != 0 && c != pairable) {
                    kind = pairable == '\r' ? pbCRLF : pbLFCR;
                    pairable = 0;
                } else {
                    expected.emplace_back();
                    kind = c == '\r' ? pbCR : pbLF;
                    pairable = c;
                }
                continue;
            }
            pairable = 0;
            expected.back() += c == '\0' && replacement != '\0' ? replacement : c;
        }
        if (discard)
            for (std::string& line : expected)
                while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
                    line.pop_back();

        TCodeDocument document;
        document.SetStaticFormat(false);
        document.SetOptions(discard ? document.Options().Include(pmoAutoLineBreak).Include(pmoDiscardTrailingSpaces)
                                    : document.Options().Include(pmoAutoLineBreak));
        document.Fields().NullReplacement = replacement;
        document.Fields().LineBreak = pbCRLF;
        LoadText(document, text);
        ASSERT_EQ(ParagraphsOf(document), expected) << "round " << round;
        EXPECT_EQ(document.Fields().LineBreak, kind) << "round " << round;
        document.CheckConsistency();
    }
}
