#include "editor/CodeMemo.h"
#include "MemoTestSupport.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

std::vector<std::string> ParagraphsOf(const TCodeMemo& memo) {
    std::vector<std::string> result;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
        result.push_back(memo.ParagraphText(i));
    return result;
}
}  // namespace

TEST(LoadSave, BreakKindsAreDetectedAndTheLastOneDecides) {
    TCodeMemo memo;
    memo.SetOptions(memo.Options().Include(pmoAutoLineBreak));
    LoadText(memo, "a\r\nb");
    EXPECT_EQ(ParagraphsOf(memo), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(memo.LineBreak, pbCRLF);
    EXPECT_EQ(SaveText(memo), "a\r\nb");
    LoadText(memo, "a\n\r\nb");
    EXPECT_EQ(ParagraphsOf(memo), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(memo.LineBreak, pbLF);
    LoadText(memo, "a\rb\rc");
    EXPECT_EQ(ParagraphsOf(memo), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(memo.LineBreak, pbCR);
    EXPECT_EQ(SaveText(memo), "a\rb\rc");
    LoadText(memo, "a\n\rb");
    EXPECT_EQ(memo.LineBreak, pbLFCR);
    EXPECT_EQ(SaveText(memo), "a\n\rb");
    LoadText(memo, "a\r\n\r\nb\n");
    EXPECT_EQ(ParagraphsOf(memo), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(memo.LineBreak, pbLF);
    // Without the option the break kind stays what it was.
    memo.SetOptions(memo.Options().Exclude(pmoAutoLineBreak));
    memo.LineBreak = pbCRLF;
    LoadText(memo, "a\nb");
    EXPECT_EQ(memo.LineBreak, pbCRLF);
    EXPECT_EQ(SaveText(memo), "a\r\nb");
}

TEST(LoadSave, TrailingBreakAndEmptyText) {
    TCodeMemo memo;
    LoadText(memo, "x\r\n");
    EXPECT_EQ(SaveText(memo), "x\r\n");
    LoadText(memo, "");
    EXPECT_EQ(memo.ParagraphCount(), 1);
    EXPECT_EQ(SaveText(memo), "");
    memo.CheckConsistency();
}

TEST(LoadSave, EveryByteValueRoundTrips) {
    std::string text;
    for (int round = 0; round < 3; ++round) {
        for (int c = 0; c < 256; ++c)
            if (c != '\r' && c != '\n')
                text += static_cast<char>(c);
        text += "\r\n";
    }
    TCodeMemo memo;
    memo.SetStaticFormat(false);
    LoadText(memo, text);
    EXPECT_EQ(memo.ParagraphCount(), 4);
    EXPECT_EQ(SaveText(memo), text);
    EXPECT_EQ(memo.Text(), text);
}

TEST(LoadSave, NulReplacement) {
    TCodeMemo memo;
    memo.NullReplacement = '?';
    LoadText(memo, "a\0b"s);
    EXPECT_EQ(memo.Text(), "a?b");
    memo.NullReplacement = '\0';
    LoadText(memo, "a\0b"s);
    EXPECT_EQ(memo.Text(), "a\0b"s);
}

TEST(LoadSave, BreakPairSplitAcrossReadBlocks) {
    std::string text(65499, 'x');
    text += "\r\nafter";
    TCodeMemo memo;
    LoadText(memo, text);
    EXPECT_EQ(memo.ParagraphCount(), 2);
    EXPECT_EQ(memo.ParagraphText(1), "after");
    std::string lfcr(65499, 'y');
    lfcr += "\n\r\nz";
    LoadText(memo, lfcr);
    EXPECT_EQ(memo.ParagraphCount(), 3);
}

TEST(LoadSave, SaveCleansStyleCodePairsAndTrailingBlanks) {
    TCodeMemo memo;
    LoadText(memo, "a\x02\x01\x02" "b");
    EXPECT_EQ(SaveText(memo), "a\x01" "b");
    memo.CodeCleanUp = false;
    EXPECT_EQ(SaveText(memo), "a\x02\x01\x02" "b");
    memo.SetStaticFormat(false);
    memo.CodeCleanUp = true;
    EXPECT_EQ(SaveText(memo), "a\x02\x01\x02" "b");
    LoadText(memo, "a  \r\nb\t");
    memo.SetOptions(memo.Options().Include(pmoDiscardTrailingSpaces));
    EXPECT_EQ(memo.Text(), "a\r\nb");
}

TEST(LoadSave, ReadErrorLeavesTheMemoAsItWas) {
    TCodeMemo memo;
    LoadText(memo, "keep me");
    memo.Modified = false;
    TFailingStream failing(std::string(200000, 'z'), 70000);
    EXPECT_THROW(memo.LoadFromStream(failing), EReadError);
    EXPECT_EQ(memo.Text(), "keep me");
    EXPECT_FALSE(memo.Modified);
    EXPECT_EQ(memo.UpdateCount(), 0);
    memo.CheckConsistency();
}

TEST(LoadSave, SetTextBufClearAndModified) {
    TCodeMemo memo;
    EXPECT_FALSE(memo.Modified);
    memo.SetTextBuf("");
    EXPECT_FALSE(memo.Modified);
    memo.SetTextBuf("abc\r\ndef");
    EXPECT_TRUE(memo.Modified);
    EXPECT_EQ(memo.ParagraphCount(), 2);
    EXPECT_EQ(memo.SelStart(), 0);
    memo.Modified = false;
    memo.Clear();
    EXPECT_TRUE(memo.Modified);
    EXPECT_EQ(memo.TextLength(), 0);
}

TEST(LoadSave, ChangeAndParseEventsAfterLoading) {
    TCodeMemo memo;
    int changes = 0;
    int32_t parsedTo = -1;
    memo.OnChange = [&](TPersistent*) { ++changes; };
    memo.OnParse = [&](TCodeMemo*, int32_t, int32_t to) { parsedTo = to; };
    LoadText(memo, "abc\r\nd");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(parsedTo, 6);
}

TEST(LoadSave, NavigatorsGoToTheStartOnLoad) {
    TCodeMemo memo;
    LoadText(memo, "0123456789");
    TCodeNavigator navigator(&memo);
    navigator.SetPos(7);
    memo.SetSelStart(5);
    LoadText(memo, "ab");
    EXPECT_EQ(navigator.Pos(), 0);
    EXPECT_EQ(memo.SelStart(), 0);
}

TEST(FormattedSnapshot, RoundTripsLinesContextsAndText) {
    TFixedMeasure measure(10);
    TCodeMemo memo;
    memo.SetMeasuringContext(&measure, 116);
    memo.SetUpdateMode(umImmediate);
    LoadText(memo, "one two three four five six\r\n\r\nseven\0eight nine ten"s);
    TCodeNavigator navigator(&memo);
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
    memo.SaveFormatted(stream);
    // Header of four integers, then per paragraph five integers, the line
    // records (36 bytes each), the context records (60 bytes each), the text.
    int64_t expected = 16;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
        expected += 20 + 36 * memo.Paragraph(i)->LineCount() + 60 * static_cast<int64_t>(memo.Paragraph(i)->Contexts.size()) +
                    memo.Paragraph(i)->Length();
    EXPECT_EQ(stream.Size(), expected);
    const uint8_t* bytes = stream.Memory();
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), memo.TextLength());
    EXPECT_EQ(bytes[12], 3);  // paragraph count, little-endian

    TCodeMemo copy;
    stream.SetPosition(0);
    copy.LoadFormatted(stream, false);
    EXPECT_EQ(copy.Text(), memo.Text());
    EXPECT_EQ(copy.LineCount(), memo.LineCount());
    copy.CheckConsistency();
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i) {
        const TParagraph& a = *memo.Paragraph(i);
        const TParagraph& b = *copy.Paragraph(i);
        ASSERT_EQ(a.LineCount(), b.LineCount());
        for (int32_t line = 0; line < a.LineCount(); ++line) {
            EXPECT_EQ(a.Line(line).Stop, b.Line(line).Stop);
            EXPECT_EQ(a.Line(line).TextWidth, b.Line(line).TextWidth);
        }
        ASSERT_EQ(a.Contexts.size(), b.Contexts.size());
    }
    const TContextRecord& loaded = copy.Paragraph(0)->Contexts.at(0);
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
    EXPECT_EQ(copy.Paragraph(1)->BaseContext->ContextNumber, 42);
}

TEST(FormattedSnapshot, DamagedStreamsAreRefusedAndChangeNothing) {
    TCodeMemo memo;
    LoadText(memo, "abc\r\ndef");
    TMemoryStream stream;
    memo.SaveFormatted(stream);
    std::string good = stream.DataString();
    TCodeMemo target;
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
