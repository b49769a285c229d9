// Documents keep their bytes: any file read into an editor is written back
// exactly (bytes 0x80-0xFF, control bytes, every kind of line break, mixed,
// with or without a final break), and breaks joined after edits never
// merge into one when the file is read again.

#include "app/DocumentText.h"

#include "editor/CodeMemo.h"
#include "platform/base/Stream.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The editor as a document window configures it for bytes: control bytes
// are text, not style codes.
struct TPlainEditor {
    TPlainEditor() { Memo.SetStaticFormat(false); }
    TCodeMemo Memo;
};

// A random page: mostly bytes that matter (breaks, the upper half, the
// style-code bytes 1-4 and 21, NUL), with plain letters between.
std::string randomPage(std::mt19937& random, size_t maxLength) {
    static const std::string special("\r\n\r\n\x01\x02\x03\x04\x15\0", 10);
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string page(length(random), ' ');
    for (char& c : page) {
        int kind = pick(random);
        if (kind < 4)
            c = special[static_cast<size_t>(byte(random)) % special.size()];
        else if (kind < 7)
            c = static_cast<char>(0x80 + byte(random) / 2);
        else
            c = static_cast<char>('a' + byte(random) % 26);
    }
    return page;
}

std::vector<std::string> paragraphsOf(const TCodeMemo& memo) {
    std::vector<std::string> paragraphs;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
        paragraphs.push_back(memo.ParagraphText(i));
    return paragraphs;
}

} // namespace

TEST(DocumentBytes, AnyPageIsWrittenBackAsItWasRead) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        std::string page = randomPage(random, round < 300 ? 40 : 3000);
        TPlainEditor editor;
        TDocumentText text(editor.Memo);
        text.SetText(page);
        ASSERT_EQ(text.Breaks().Count() + 1, editor.Memo.ParagraphCount()) << "round " << round;
        ASSERT_EQ(text.Bytes(), page) << "round " << round;
    }
}

TEST(DocumentBytes, NewBreaksTakeTheFilesMostFrequentKind) {
    EXPECT_EQ(TLineBreaks::Scan("a\nb\nc\r\nd").NewBreak(), pbLF);
    EXPECT_EQ(TLineBreaks::Scan("a\r\nb\nc").NewBreak(), pbCRLF); // a tie: the first
    EXPECT_EQ(TLineBreaks::Scan("abc").NewBreak(), pbCRLF);
    EXPECT_EQ(TLineBreaks::Scan("\n\r\r").NewBreak(), pbLFCR);
}

// Breaks that edits put next to each other: joining any sequence of
// paragraphs with any kinds gives a text that reads back as the same
// paragraphs.
TEST(DocumentBytes, JoinedBreaksNeverMergeWhenReadAgain) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> empty(0, 2);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string> paragraphs(static_cast<size_t>(1 + round % 9));
        for (auto& p : paragraphs)
            p.assign(empty(random) == 0 ? 1 : 0, 'x');
        TLineBreaks breaks;
        breaks.Reset(static_cast<int32_t>(paragraphs.size()));
        // Give every break a kind of its own through single-paragraph
        // replacements, as edits do.
        for (int32_t i = 0; i + 1 < static_cast<int32_t>(paragraphs.size()); ++i) {
            breaks.SetNewBreak(static_cast<TCodeLineBreak>(kind(random)));
            breaks.ParagraphsReplaced(i, i + 1, 0);
        }
        std::string joined = breaks.Join(static_cast<int32_t>(paragraphs.size()),
                                         [&](int32_t i) -> std::string_view { return paragraphs[i]; });
        TPlainEditor editor;
        TDocumentText reread(editor.Memo);
        reread.SetText(joined);
        ASSERT_EQ(paragraphsOf(editor.Memo), paragraphs) << "round " << round;
    }
}
