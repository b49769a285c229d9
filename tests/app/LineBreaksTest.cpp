// Documents keep their bytes: random pages read into an editor are written
// back exactly (bytes 0x80-0xFF, control bytes, every kind of line break,
// mixed, with or without a final break), random edits change no byte
// outside their range, new breaks take the page's most frequent kind, and
// breaks joined after edits never merge into one when the page is read
// again.

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

namespace {

// A page as the loader splits it: each paragraph with the bytes of the
// break that follows it.
struct TRawParagraph {
    std::string Text;
    std::string Break;
};
std::vector<TRawParagraph> splitRaw(const std::string& bytes) {
    std::vector<TRawParagraph> out(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c != '\r' && c != '\n') {
            out.back().Text += c;
            continue;
        }
        size_t length =
            i + 1 < bytes.size() && (bytes[i + 1] == '\r' || bytes[i + 1] == '\n') && bytes[i + 1] != c ? 2 : 1;
        out.back().Break = bytes.substr(i, length);
        out.emplace_back();
        i += length - 1;
    }
    return out;
}

// The byte offset of a position (paragraph, offset in it) of a page.
size_t rawOffset(const std::vector<TRawParagraph>& page, int32_t paragraph, int32_t offset) {
    size_t at = 0;
    for (int32_t i = 0; i < paragraph; ++i)
        at += page[i].Text.size() + page[i].Break.size();
    return at + static_cast<size_t>(offset);
}

} // namespace

// A page of every byte and break kind is edited at random places; after
// each edit the document's bytes are the page's bytes with only the edited
// range replaced (its breaks in the file's most frequent kind), and read
// again they are the editor's paragraphs.
TEST(DocumentBytes, EditsChangeNoByteOutsideTheirRange) {
    static const char* const breakBytes[] = {"\r\n", "\n\r", "\r", "\n"};
    std::mt19937 random(314);
    for (int round = 0; round < 60; ++round) {
        std::string page = randomPage(random, 400);
        TPlainEditor editor;
        TDocumentText text(editor.Memo);
        text.SetText(page);
        const std::string newBreak = breakBytes[text.Breaks().NewBreak()];
        for (int step = 0; step < 25; ++step) {
            std::vector<TRawParagraph> raw = splitRaw(page);
            ASSERT_EQ(static_cast<int32_t>(raw.size()), editor.Memo.ParagraphCount());
            auto position = [&](int32_t& paragraph, int32_t& offset) {
                paragraph = std::uniform_int_distribution<int32_t>(0, static_cast<int32_t>(raw.size()) - 1)(random);
                offset = std::uniform_int_distribution<int32_t>(
                    0, static_cast<int32_t>(raw[paragraph].Text.size()))(random);
            };
            int32_t p1, o1, p2, o2;
            position(p1, o1);
            position(p2, o2);
            if (std::make_pair(p2, o2) < std::make_pair(p1, o1)) {
                std::swap(p1, p2);
                std::swap(o1, o2);
            }
            static const char* const inserts[] = {"", "x", "\x80\x01\x15", "a\r\nb", "\r\n", "\r\n\r\n"};
            std::string inserted = inserts[std::uniform_int_distribution<int>(0, 5)(random)];
            editor.Memo.SetSelStart(editor.Memo.ParagraphStart(p1) + o1);
            editor.Memo.SetSelLength(editor.Memo.ParagraphStart(p2) + o2 - editor.Memo.SelStart());
            editor.Memo.SetSelText(inserted);

            std::string spelt;
            for (size_t i = 0; i < inserted.size(); ++i)
                if (inserted.compare(i, 2, "\r\n") == 0) {
                    spelt += newBreak;
                    ++i;
                } else {
                    spelt += inserted[i];
                }
            std::string expected =
                page.substr(0, rawOffset(raw, p1, o1)) + spelt + page.substr(rawOffset(raw, p2, o2));
            std::string bytes = text.Bytes();
            // A lone CR and a lone LF the edit brought together around an
            // empty paragraph would read as one break: only then may the
            // document spell the second otherwise than the plain splice.
            if (splitRaw(expected).size() == static_cast<size_t>(editor.Memo.ParagraphCount())) {
                ASSERT_EQ(bytes, expected) << "round " << round << " step " << step;
            }
            TPlainEditor reread;
            TDocumentText again(reread.Memo);
            again.SetText(bytes);
            ASSERT_EQ(paragraphsOf(reread.Memo), paragraphsOf(editor.Memo)) << "round " << round << " step " << step;
            page = bytes;
        }
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

// Random edits, undos and redos on pages of mixed breaks: the bytes after
// every undo and redo are those the page had at that point before, every
// break spelt as it was, whatever the edits took away or put back around it.
TEST(DocumentBytes, UndoAndRedoGiveBackEveryByte) {
    std::mt19937 random(31);
    static const char* const inserts[] = {"", "x", "\x80\x15", "a\r\nb", "\r\n", "\r\n\r\n", "\r\nc\r\n"};
    for (int round = 0; round < 400; ++round) {
        TPlainEditor editor;
        editor.Memo.SetUndoMaxSpace(1 << 30);
        editor.Memo.SetUndoMaxLevel(100000);
        TDocumentText text(editor.Memo);
        text.SetText(randomPage(random, round < 300 ? 60 : 600));
        // The bytes of each step the history may reach, and where it stands.
        std::vector<std::string> states{text.Bytes()};
        size_t at = 0;
        for (int step = 0; step < 60; ++step) {
            const int action = std::uniform_int_distribution<int>(0, 9)(random);
            if (action < 2 && at > 0) {
                editor.Memo.Undo();
                --at;
            } else if (action < 4 && at + 1 < states.size()) {
                editor.Memo.Redo();
                ++at;
            } else {
                const int32_t length = editor.Memo.TextLength();
                const int32_t from = std::uniform_int_distribution<int32_t>(0, length)(random);
                // Mostly ranges over several breaks, the case that loses them.
                const int32_t span = std::uniform_int_distribution<int32_t>(0, action < 7 ? 8 : length)(random);
                editor.Memo.BreakUndoGroup();
                editor.Memo.SetSelStart(from);
                editor.Memo.SetSelLength(std::min(span, length - from));
                const int32_t entries = editor.Memo.Document().UndoHistory().Position();
                editor.Memo.SetSelText(inserts[std::uniform_int_distribution<int>(0, 6)(random)]);
                if (editor.Memo.Document().UndoHistory().Position() == entries)
                    continue; // nothing changed
                states.resize(at + 1);
                states.push_back(text.Bytes());
                ++at;
                continue;
            }
            ASSERT_EQ(text.Bytes(), states[at]) << "round " << round << " step " << step;
        }
        while (at > 0) {
            editor.Memo.Undo();
            ASSERT_EQ(text.Bytes(), states[--at]) << "round " << round << " undoing";
        }
        ASSERT_FALSE(editor.Memo.CanUndo());
    }
}
