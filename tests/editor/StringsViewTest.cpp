#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/CodeStrings.h"
#include "DocumentTestSupport.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Filer.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

TEST(StringsView, CountsIgnoreAnEmptyLastParagraph) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    EXPECT_EQ(paragraphs.GetCount(), 0);
    EXPECT_EQ(lines.GetCount(), 0);
    LoadText(document, "a");
    EXPECT_EQ(paragraphs.GetCount(), 1);
    EXPECT_EQ(lines.GetCount(), 1);
    LoadText(document, "a\r\n");
    EXPECT_EQ(paragraphs.GetCount(), 1);
    EXPECT_EQ(lines.GetCount(), 1);
}

TEST(StringsView, AddReturnsTheIndexOfTheAddedString) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    EXPECT_EQ(paragraphs.Add("one"), 0);
    EXPECT_EQ(document.Text(), "one\r\n");
    EXPECT_EQ(paragraphs.Add("two"), 1);
    EXPECT_EQ(paragraphs.Get(1), "two");
    LoadText(document, "x");
    EXPECT_EQ(paragraphs.Add("y"), 1);
    EXPECT_EQ(document.Text(), "x\r\ny");
    EXPECT_EQ(lines.Add("z"), 2);
    EXPECT_EQ(lines.Get(2), "z");
    EXPECT_EQ(selection.SelStart(), document.TextLength());
    EXPECT_THROW(paragraphs.Get(9), EListError);
}

TEST(StringsView, PutAppendsParagraphsAndKeepsTheCaret) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    LoadText(document, "aa\r\nbb");
    selection.SetSelStart(4);
    selection.SetSelLength(1);
    paragraphs.Put(0, "xxxx");
    EXPECT_EQ(document.Text(), "xxxx\r\nbb");
    EXPECT_EQ(selection.SelStart(), 6);
    EXPECT_EQ(selection.SelLength(), 1);
    paragraphs.Put(4, "e");
    EXPECT_EQ(document.Text(), "xxxx\r\nbb\r\n\r\n\r\ne");
    EXPECT_EQ(selection.SelStart(), 6);
    paragraphs.Put(1, "caret here");
    EXPECT_EQ(selection.SelStart(), 6);
    EXPECT_EQ(selection.SelLength(), 0);
    document.CheckConsistency();
}

// The memo reports a change when the update around Put ends; a handler
// that raises there reaches the caller, and the memo is out of its update.
TEST(StringsView, PutHandsARaisingChangeHandlerOnToTheCaller) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    LoadText(document, "aa\r\nbb");
    TUpdateCounter reports(document);
    bool refuse = true;
    reports.Then = [&] {
        if (refuse)
            throw std::runtime_error("handler refused");
    };
    EXPECT_THROW(paragraphs.Put(1, "cc"), std::runtime_error);
    EXPECT_EQ(document.Text(), "aa\r\ncc");
    const int afterPut = reports.Count;
    EXPECT_GT(afterPut, 0);
    refuse = false;
    selection.SetSelStart(0);
    selection.SetSelText("x");
    EXPECT_GT(reports.Count, afterPut);  // reported at once: no update is left open
    document.CheckConsistency();
}

TEST(StringsView, InsertAndDeleteParagraphs) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    LoadText(document, "a\r\nb\r\nc");
    paragraphs.Insert(1, "new");
    EXPECT_EQ(document.Text(), "a\r\nnew\r\nb\r\nc");
    paragraphs.Insert(10, "end");
    EXPECT_EQ(document.Text(), "a\r\nnew\r\nb\r\nc\r\nend");
    paragraphs.Delete(1);
    EXPECT_EQ(document.Text(), "a\r\nb\r\nc\r\nend");
    paragraphs.Delete(3);
    EXPECT_EQ(document.Text(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(paragraphs.GetCount(), 3);
    paragraphs.Insert(3, "d");
    EXPECT_EQ(document.Text(), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_THROW(paragraphs.Delete(7), EListError);
    selection.Undo();
    EXPECT_EQ(document.Text(), "a\r\nb\r\nc\r\n");
}

TEST(StringsView, DisplayLinesFollowWrapping) {
    TFixedMeasure measure(10);
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    document.Layout().SetMeasure(&measure, 16 + 70);
    LoadText(document, "aaa bbb ccc\r\nd");
    EXPECT_EQ(lines.GetCount(), 3);
    EXPECT_EQ(lines.Get(0), "aaa bbb ");
    EXPECT_EQ(lines.Get(1), "ccc");
    EXPECT_EQ(lines.Get(2), "d");
    EXPECT_EQ(lines.Get(3), "");
    EXPECT_EQ(lines.Get(-1), "");
    lines.Put(1, "CCC");
    EXPECT_EQ(document.Text(), "aaa bbb CCC\r\nd");
    lines.Delete(0);
    EXPECT_EQ(document.Text(), "CCC\r\nd");
    lines.Delete(0);
    EXPECT_EQ(document.Text(), "d");
    lines.Insert(0, "first");
    EXPECT_EQ(document.Text(), "first\r\nd");
    lines.Insert(3, "beyond");
    EXPECT_EQ(document.Text(), "first\r\nd") << "no line to insert before";
    lines.Insert(2, "last");
    EXPECT_EQ(document.Text(), "first\r\nd\r\nlast");
    lines.Delete(2);
    lines.Delete(1);
    EXPECT_EQ(document.Text(), "first\r\n");
    document.CheckConsistency();
}

TEST(StringsView, TextUpdatesAndAssign) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    lines.SetText("one\r\ntwo");
    EXPECT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(lines.Text(), "one\r\ntwo");
    TStringList list;
    list.Add("x");
    list.Add("y");
    lines.Assign(&list);
    EXPECT_EQ(document.Text(), "x\r\ny\r\n");
    TUpdateCounter changes(document);
    paragraphs.BeginUpdate();
    EXPECT_EQ(document.UpdateCount(), 1);
    paragraphs.Add("p");
    paragraphs.Add("q");
    EXPECT_EQ(changes.Count, 0);
    paragraphs.EndUpdate();
    EXPECT_EQ(document.UpdateCount(), 0);
    EXPECT_EQ(changes.Count, 1);
    paragraphs.Clear();
    EXPECT_EQ(document.TextLength(), 0);
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
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    document.SetStaticFormat(false);
    LoadText(document, text);
    TMemoryStream stream;
    WritePersistentProperties(stream, lines);
    stream.SetPosition(0);
    TCodeDocument copy;
    TTextSelection copySelection(copy);
    TCodeLinesStrings copyLines(copySelection);
    copy.SetStaticFormat(false);
    ReadPersistentProperties(stream, copyLines);
    EXPECT_EQ(copy.ParagraphCount(), document.ParagraphCount());
    EXPECT_EQ(copy.Text(), text);
}

TEST(StringsStreaming, EmptyTextWritesNoProperty) {
    TCodeDocument document;
    TTextSelection selection(document);
    TCodeParaStrings paragraphs(selection);
    TCodeLinesStrings lines(selection);
    TMemoryStream stream;
    WritePersistentProperties(stream, paragraphs);
    EXPECT_EQ(stream.Size(), 5);  // signature and the end mark only
}
