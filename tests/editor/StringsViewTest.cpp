#include "editor/CodeMemo.h"
#include "editor/CodeMemoStrings.h"
#include "MemoTestSupport.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Filer.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

TEST(StringsView, CountsIgnoreAnEmptyLastParagraph) {
    TCodeMemo memo;
    EXPECT_EQ(memo.Paragraphs().GetCount(), 0);
    EXPECT_EQ(memo.Lines().GetCount(), 0);
    LoadText(memo, "a");
    EXPECT_EQ(memo.Paragraphs().GetCount(), 1);
    EXPECT_EQ(memo.Lines().GetCount(), 1);
    LoadText(memo, "a\r\n");
    EXPECT_EQ(memo.Paragraphs().GetCount(), 1);
    EXPECT_EQ(memo.Lines().GetCount(), 1);
}

TEST(StringsView, AddReturnsTheIndexOfTheAddedString) {
    TCodeMemo memo;
    EXPECT_EQ(memo.Paragraphs().Add("one"), 0);
    EXPECT_EQ(memo.Text(), "one\r\n");
    EXPECT_EQ(memo.Paragraphs().Add("two"), 1);
    EXPECT_EQ(memo.Paragraphs().Get(1), "two");
    LoadText(memo, "x");
    EXPECT_EQ(memo.Paragraphs().Add("y"), 1);
    EXPECT_EQ(memo.Text(), "x\r\ny");
    EXPECT_EQ(memo.Lines().Add("z"), 2);
    EXPECT_EQ(memo.Lines().Get(2), "z");
    EXPECT_EQ(memo.SelStart(), memo.TextLength());
    EXPECT_THROW(memo.Paragraphs().Get(9), EListError);
}

TEST(StringsView, PutAppendsParagraphsAndKeepsTheCaret) {
    TCodeMemo memo;
    LoadText(memo, "aa\r\nbb");
    memo.SetSelStart(4);
    memo.SetSelLength(1);
    memo.Paragraphs().Put(0, "xxxx");
    EXPECT_EQ(memo.Text(), "xxxx\r\nbb");
    EXPECT_EQ(memo.SelStart(), 6);
    EXPECT_EQ(memo.SelLength(), 1);
    memo.Paragraphs().Put(4, "e");
    EXPECT_EQ(memo.Text(), "xxxx\r\nbb\r\n\r\n\r\ne");
    EXPECT_EQ(memo.SelStart(), 6);
    memo.Paragraphs().Put(1, "caret here");
    EXPECT_EQ(memo.SelStart(), 6);
    EXPECT_EQ(memo.SelLength(), 0);
    memo.CheckConsistency();
}

// The memo reports a change when the update around Put ends; a handler
// that raises there reaches the caller, and the memo is out of its update.
TEST(StringsView, PutHandsARaisingChangeHandlerOnToTheCaller) {
    TCodeMemo memo;
    LoadText(memo, "aa\r\nbb");
    int reports = 0;
    bool refuse = true;
    memo.OnChange = [&](TPersistent*) {
        ++reports;
        if (refuse)
            throw std::runtime_error("handler refused");
    };
    EXPECT_THROW(memo.Paragraphs().Put(1, "cc"), std::runtime_error);
    EXPECT_EQ(memo.Text(), "aa\r\ncc");
    const int afterPut = reports;
    EXPECT_GT(afterPut, 0);
    refuse = false;
    memo.SetSelStart(0);
    memo.SetSelText("x");
    EXPECT_GT(reports, afterPut);  // reported at once: no update is left open
    memo.CheckConsistency();
}

TEST(StringsView, InsertAndDeleteParagraphs) {
    TCodeMemo memo;
    LoadText(memo, "a\r\nb\r\nc");
    memo.Paragraphs().Insert(1, "new");
    EXPECT_EQ(memo.Text(), "a\r\nnew\r\nb\r\nc");
    memo.Paragraphs().Insert(10, "end");
    EXPECT_EQ(memo.Text(), "a\r\nnew\r\nb\r\nc\r\nend");
    memo.Paragraphs().Delete(1);
    EXPECT_EQ(memo.Text(), "a\r\nb\r\nc\r\nend");
    memo.Paragraphs().Delete(3);
    EXPECT_EQ(memo.Text(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(memo.Paragraphs().GetCount(), 3);
    memo.Paragraphs().Insert(3, "d");
    EXPECT_EQ(memo.Text(), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_THROW(memo.Paragraphs().Delete(7), EListError);
    memo.Undo();
    EXPECT_EQ(memo.Text(), "a\r\nb\r\nc\r\n");
}

TEST(StringsView, DisplayLinesFollowWrapping) {
    TFixedMeasure measure(10);
    TCodeMemo memo;
    memo.SetMeasuringContext(&measure, 16 + 70);
    LoadText(memo, "aaa bbb ccc\r\nd");
    EXPECT_EQ(memo.Lines().GetCount(), 3);
    EXPECT_EQ(memo.Lines().Get(0), "aaa bbb ");
    EXPECT_EQ(memo.Lines().Get(1), "ccc");
    EXPECT_EQ(memo.Lines().Get(2), "d");
    EXPECT_EQ(memo.Lines().Get(3), "");
    EXPECT_EQ(memo.Lines().Get(-1), "");
    memo.Lines().Put(1, "CCC");
    EXPECT_EQ(memo.Text(), "aaa bbb CCC\r\nd");
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Text(), "CCC\r\nd");
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Text(), "d");
    memo.Lines().Insert(0, "first");
    EXPECT_EQ(memo.Text(), "first\r\nd");
    memo.Lines().Insert(3, "beyond");
    EXPECT_EQ(memo.Text(), "first\r\nd") << "no line to insert before";
    memo.Lines().Insert(2, "last");
    EXPECT_EQ(memo.Text(), "first\r\nd\r\nlast");
    memo.Lines().Delete(2);
    memo.Lines().Delete(1);
    EXPECT_EQ(memo.Text(), "first\r\n");
    memo.CheckConsistency();
}

TEST(StringsView, TextUpdatesAndAssign) {
    TCodeMemo memo;
    memo.Lines().SetText("one\r\ntwo");
    EXPECT_EQ(memo.ParagraphCount(), 2);
    EXPECT_EQ(memo.Lines().Text(), "one\r\ntwo");
    TStringList list;
    list.Add("x");
    list.Add("y");
    memo.SetLines(list);
    EXPECT_EQ(memo.Text(), "x\r\ny\r\n");
    int changes = 0;
    memo.OnChange = [&](TPersistent*) { ++changes; };
    memo.Paragraphs().BeginUpdate();
    EXPECT_EQ(memo.UpdateCount(), 1);
    memo.Paragraphs().Add("p");
    memo.Paragraphs().Add("q");
    EXPECT_EQ(changes, 0);
    memo.Paragraphs().EndUpdate();
    EXPECT_EQ(memo.UpdateCount(), 0);
    EXPECT_EQ(changes, 1);
    memo.Paragraphs().Clear();
    EXPECT_EQ(memo.TextLength(), 0);
}

TEST(StringsStreaming, LongParagraphsAreWrittenInPieces) {
    std::string paragraph(600, 'x');
    auto pieces = TCodeMemoStrings::SplitForStreaming(paragraph);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].size(), 255u);
    EXPECT_EQ(pieces[0].back(), 5);
    EXPECT_EQ(pieces[1].size(), 255u);
    EXPECT_EQ(pieces[2].size(), 92u);
    EXPECT_EQ(TCodeMemoStrings::JoinStreamedPieces(pieces), std::vector<std::string>{paragraph});
    EXPECT_EQ(TCodeMemoStrings::SplitForStreaming(std::string(255, 'y')).size(), 1u);
}

TEST(StringsStreaming, ParagraphsEndingInByteFiveKeepTheirBoundaries) {
    for (size_t length : {size_t{1}, size_t{2}, size_t{254}, size_t{255}, size_t{256}, size_t{509}}) {
        std::string paragraph(length - 1, 'a');
        paragraph += '\x05';
        std::vector<std::string> pieces;
        for (const std::string& paragraphText : {paragraph, std::string("next")})
            for (const std::string& piece : TCodeMemoStrings::SplitForStreaming(paragraphText))
                pieces.push_back(piece);
        for (const std::string& piece : pieces)
            EXPECT_LE(piece.size(), 255u);
        EXPECT_EQ(TCodeMemoStrings::JoinStreamedPieces(pieces), (std::vector<std::string>{paragraph, "next"}))
            << "length " << length;
    }
}

TEST(StringsStreaming, PropertyRoundTripThroughTheFiler) {
    std::mt19937 random(3);
    std::string text;
    for (int p = 0; p < 40; ++p) {
        if (p > 0)
            text += "\r\n";
        auto length = static_cast<int>(random() % 700);
        for (int i = 0; i < length; ++i) {
            auto c = static_cast<char>(random() % 256);
            if (c == '\r' || c == '\n')
                c = '\x05';
            text += c;
        }
    }
    TCodeMemo memo;
    memo.SetStaticFormat(false);
    LoadText(memo, text);
    TMemoryStream stream;
    WritePersistentProperties(stream, memo.Lines());
    stream.SetPosition(0);
    TCodeMemo copy;
    copy.SetStaticFormat(false);
    ReadPersistentProperties(stream, copy.Lines());
    EXPECT_EQ(copy.ParagraphCount(), memo.ParagraphCount());
    EXPECT_EQ(copy.Text(), text);
}

TEST(StringsStreaming, EmptyTextWritesNoProperty) {
    TCodeMemo memo;
    TMemoryStream stream;
    WritePersistentProperties(stream, memo.Paragraphs());
    EXPECT_EQ(stream.Size(), 5);  // signature and the end mark only
}
