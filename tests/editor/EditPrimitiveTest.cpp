#include "editor/CodeMemo.h"
#include "editor/EditPlan.h"
#include "editor/StyleCodes.h"
#include "MemoTestSupport.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::string_literals;

TEST(EditPrimitive, CrLfSplitsParagraphsAndLoneLfStays) {
    TCodeMemo memo;
    LoadText(memo, "ab");
    memo.SetSelStart(1);
    memo.SetSelText("x\r\ny");
    ASSERT_EQ(memo.ParagraphCount(), 2);
    EXPECT_EQ(memo.ParagraphText(0), "ax");
    EXPECT_EQ(memo.ParagraphText(1), "yb");
    EXPECT_EQ(memo.SelStart(), 5);
    memo.SetSelText("\n");
    EXPECT_EQ(memo.ParagraphCount(), 2);
    EXPECT_EQ(memo.ParagraphText(1), "y\nb");
    memo.CheckConsistency();
}

TEST(EditPrimitive, LoneCrAndLfCrAreBreaksCountedAsInserted) {
    TCodeMemo memo;
    LoadText(memo, "<>");
    memo.SetSelStart(1);
    memo.SetSelText("a\rb\n\rc");
    EXPECT_EQ(memo.Text(), "<a\r\nb\r\nc>");
    // The caret stands after what was actually inserted: 3 letters, 2 breaks.
    EXPECT_EQ(memo.SelStart(), 1 + 3 + 4);
    EXPECT_EQ(memo.UndoList().back().Stop, 8);
    memo.Undo();
    EXPECT_EQ(memo.Text(), "<>");
}

TEST(EditPrimitive, SplitKeepsLfBeforeCrLfAsCharacter) {
    std::vector<std::string> pieces;
    SplitIntoPieces("a\n\r\nb", pieces);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "a\n");
    SplitIntoPieces("a\n\rb", pieces);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "a");
    SplitIntoPieces("\r\r\n\n\r\r", pieces);
    EXPECT_EQ(pieces.size(), 5u);
    SplitIntoPieces("", pieces);
    EXPECT_EQ(pieces.size(), 1u);
}

TEST(EditPrimitive, SplitMatchesTheBreakRulesCharacterByCharacter) {
    // The rules one character at a time: CR LF, a lone CR and an LF CR not
    // followed by LF end a piece; any other LF is a character.
    auto oracle = [](const std::string& text) {
        std::vector<std::string> pieces(1);
        for (size_t i = 0; i < text.size(); ++i) {
            const bool next = i + 1 < text.size();
            if (text[i] == '\r') {
                if (next && text[i + 1] == '\n')
                    ++i;
                pieces.emplace_back();
            } else if (text[i] == '\n' && next && text[i + 1] == '\r' &&
                       !(i + 2 < text.size() && text[i + 2] == '\n')) {
                ++i;
                pieces.emplace_back();
            } else {
                pieces.back() += text[i];
            }
        }
        return pieces;
    };
    std::mt19937 random(99);
    const char alphabet[] = {'a', 'b', '\r', '\n'};
    std::vector<std::string> pieces;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const auto length = random() % 12;
        for (unsigned i = 0; i < length; ++i)
            text += alphabet[random() % 4];
        SplitIntoPieces(text, pieces);
        ASSERT_EQ(pieces, oracle(text)) << "round " << round;
    }
}

TEST(EditPrimitive, EmptyDeletionChangesAndRecordsNothing) {
    TCodeMemo memo;
    LoadText(memo, "abc");
    memo.Modified = false;
    int changes = 0;
    memo.OnChange = [&](TPersistent*) { ++changes; };
    memo.SetSelStart(1);
    memo.SetSelTextBuf({});
    EXPECT_EQ(memo.Text(), "abc");
    EXPECT_FALSE(memo.Modified);
    EXPECT_TRUE(memo.UndoList().empty());
    EXPECT_EQ(changes, 0);
}

TEST(EditPrimitive, OffsetsInsideABreakSnapToItsEnds) {
    const std::string original = "ab\r\ncd\r\nef";
    TCodeMemo memo;
    LoadText(memo, original);
    // Start between CR and LF: snaps back to the paragraph end (2).
    Select(memo, 3, 5);
    memo.SetSelText("X");
    EXPECT_EQ(memo.Text(), "abXd\r\nef");
    memo.CheckConsistency();
    memo.Undo();
    EXPECT_EQ(memo.Text(), original);
    // End between CR and LF: snaps forward to the next paragraph's start.
    Select(memo, 0, 3);
    memo.SetSelText("Y");
    EXPECT_EQ(memo.Text(), "Ycd\r\nef");
    memo.CheckConsistency();
    memo.Undo();
    EXPECT_EQ(memo.Text(), original);
    // Both inside breaks.
    Select(memo, 3, 7);
    memo.SetSelText("Z");
    EXPECT_EQ(memo.Text(), "abZef");
    memo.Undo();
    EXPECT_EQ(memo.Text(), original);
}

TEST(EditPrimitive, TooLongIsRefusedBeforeAnythingChanges) {
    TCodeMemo memo;
    LoadText(memo, "12345");
    memo.SetMaxTextLength(9);
    memo.Modified = false;
    memo.SetSelStart(5);
    memo.SetSelText("ab");
    memo.SetSelStart(0);
    try {
        memo.SetSelText("xyz");
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Text too long");
    }
    EXPECT_EQ(memo.Text(), "12345ab");
    EXPECT_EQ(memo.UndoList().size(), 1u);
    EXPECT_EQ(memo.UpdateCount(), 0);
    // A second paragraph is fine while each stays under the limit.
    memo.SetSelText("\r\n");
    EXPECT_EQ(memo.ParagraphCount(), 2);
    memo.CheckConsistency();
    // Loading a text over the limit leaves the old text in place.
    EXPECT_THROW(LoadText(memo, "0123456789"), Exception);
    EXPECT_EQ(memo.Text(), "\r\n12345ab");
}

TEST(EditPrimitive, HandlerExceptionsNeverLeaveTheMemoFrozen) {
    TCodeMemo memo;
    LoadText(memo, "abc");
    memo.OnParse = [](TCodeMemo*, int32_t, int32_t) { throw Exception("parse failed"); };
    memo.SetSelStart(3);
    EXPECT_THROW(memo.SetSelText("d"), Exception);
    EXPECT_EQ(memo.UpdateCount(), 0);
    EXPECT_EQ(memo.Text(), "abcd");
    memo.CheckConsistency();
    memo.OnParse = nullptr;
    memo.OnChange = [](TPersistent*) { throw Exception("change failed"); };
    memo.SetSelStart(4);
    EXPECT_THROW(memo.SetSelText("e"), Exception);
    EXPECT_EQ(memo.UpdateCount(), 0);
    memo.OnChange = nullptr;
    memo.SetSelStart(5);
    memo.SetSelText("f");
    EXPECT_EQ(memo.Text(), "abcdef");
    memo.CheckConsistency();
    memo.OnParse = [](TCodeMemo*, int32_t, int32_t) { throw Exception("parse failed"); };
    memo.BeginUpdate();
    EXPECT_THROW(LoadText(memo, "x\r\ny\r\n"), Exception);
    EXPECT_EQ(memo.UpdateCount(), 1);
    memo.EndUpdate();
    EXPECT_EQ(memo.UpdateCount(), 0);
    memo.OnParse = nullptr;
    memo.OnBeforeChange = [](TCodeMemo*, std::string&) { throw Exception("refused"); };
    EXPECT_THROW(memo.SetSelText("g"), Exception);
    EXPECT_EQ(memo.UpdateCount(), 0);
}

TEST(EditPrimitive, BeforeChangeMayReplaceTheText) {
    TCodeMemo memo;
    memo.OnBeforeChange = [](TCodeMemo*, std::string& text) {
        if (text == "a")
            text = "<a>";
    };
    memo.SetSelText("a");
    EXPECT_EQ(memo.Text(), "<a>");
    EXPECT_EQ(memo.SelStart(), 3);
}

TEST(EditPrimitive, NulBytesAreOrdinaryCharacters) {
    TCodeMemo memo;
    std::string withNul = "a\0b\r\n\0"s;
    memo.SetSelText(withNul);
    EXPECT_EQ(memo.Text(), withNul);
    EXPECT_EQ(memo.TextLength(), 6);
    Select(memo, 0, 6);
    EXPECT_EQ(memo.SelText(), withNul);
    memo.SetSelText("z");
    memo.Undo();
    EXPECT_EQ(memo.Text(), withNul);
    memo.Redo();
    EXPECT_EQ(memo.Text(), "z");
}

TEST(EditPrimitive, StaticFormatClosesStylesOpenedByInsertedText) {
    TCodeMemo memo;
    LoadText(memo, "xy");
    memo.SetSelStart(1);
    memo.SetSelText("\x02" "b");
    EXPECT_EQ(memo.Text(), "x\x02" "b\x02" "y");
    EXPECT_EQ(memo.SelStart(), 4);
    memo.SetSelStart(0);
    memo.SetSelText("\x04\x03\x02\x01\x15Z");
    EXPECT_EQ(memo.ParagraphText(0).substr(0, 11), "\x04\x03\x02\x01\x15Z\x15\x01\x02\x03\x04");
    // Codes that toggle nothing between them are cleaned up as a pair.
    memo.SetSelStart(0);
    memo.SetSelText("\x02\x02");
    EXPECT_EQ(memo.ParagraphText(0).substr(0, 2), "\x04\x03");
    // Without StaticFormat codes are plain bytes.
    TCodeMemo plain;
    plain.SetStaticFormat(false);
    plain.SetSelText("\x02" "b");
    EXPECT_EQ(plain.Text(), "\x02" "b");
}

TEST(EditPrimitive, CodeCleanUpRemovesEqualPairsAndUndoesInOneStep) {
    TCodeMemo memo;
    LoadText(memo, "a\x02" "b");
    memo.SetSelStart(2);
    memo.ToggleBold();  // inserts 2,2 with the caret between
    EXPECT_EQ(memo.Text(), "a\x02\x02\x02" "b");
    EXPECT_EQ(memo.SelStart(), 3);
    memo.SetSelStart(1);
    memo.SetSelLength(1);
    memo.SetSelText("");  // deleting one code leaves 2,2 adjacent: the pair goes too
    EXPECT_EQ(memo.Text(), "ab");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "a\x02\x02\x02" "b");
}

TEST(EditPrimitive, ToggleStyleWrapsTheSelection) {
    TCodeMemo memo;
    LoadText(memo, "one two");
    memo.SetSelStart(0);
    memo.SetSelLength(3);
    memo.ToggleItalic();
    EXPECT_EQ(memo.Text(), "\x01one\x01 two");
    EXPECT_EQ(memo.SelStart(), 1);
    EXPECT_EQ(memo.SelLength(), 3);
    EXPECT_EQ(memo.SelText(), "one");
    memo.SetStaticFormat(false);
    memo.ToggleBold();  // only with StaticFormat
    EXPECT_EQ(memo.Text(), "\x01one\x01 two");
}

TEST(EditPrimitive, DiscardTrailingSpacesOnEnter) {
    TCodeMemo memo;
    LoadText(memo, "abc");
    memo.SetOptions(memo.Options().Include(pmoDiscardTrailingSpaces));
    memo.SetSelStart(3);
    memo.SetSelText("  \t ");
    EXPECT_EQ(memo.Text(), "abc");
    memo.SetSelText("d  ");
    EXPECT_EQ(memo.Text(), "abcd");
    memo.SetSelText(" \r\n");
    EXPECT_EQ(memo.Text(), "abcd\r\n");
    memo.CheckConsistency();
}

TEST(EditPrimitive, SelectionSettersClamp) {
    TCodeMemo memo;
    LoadText(memo, "0123456789ab");
    memo.SetSelStart(-5);
    EXPECT_EQ(memo.SelStart(), 0);
    memo.SetSelStart(22);
    EXPECT_EQ(memo.SelStart(), 12);
    memo.SetSelStart(10);
    memo.SetSelLength(5);
    EXPECT_EQ(memo.SelLength(), 2);
    memo.SetSelLength(-20);
    EXPECT_EQ(memo.SelLength(), -10);
    EXPECT_EQ(memo.SelStart(), 10);
    EXPECT_EQ(memo.SelText(), "0123456789");
    memo.SelectAll();
    EXPECT_EQ(memo.SelStart(), 12);
    EXPECT_EQ(memo.SelLength(), -12);
    EXPECT_EQ(memo.SelText(), "0123456789ab");
    char buffer[5];
    EXPECT_EQ(memo.GetSelTextBuf(buffer, 5), 4);
    EXPECT_STREQ(buffer, "0123");
}

TEST(EditPrimitive, LineParagraphAndColumnSettersClampAtZero) {
    TCodeMemo memo;
    LoadText(memo, "ab\r\ncde\r\nf");
    memo.SetSelPar(-3);
    EXPECT_EQ(memo.SelStart(), 0);
    memo.SetSelPar(9);
    EXPECT_EQ(memo.SelStart(), 9);
    memo.SetSelLine(-1);
    EXPECT_EQ(memo.SelLine(), 0);
    memo.SetSelLine(1);
    EXPECT_EQ(memo.SelStart(), 4);
    memo.SetSelCol(-2);
    EXPECT_EQ(memo.SelCol(), 0);
    memo.SetSelCol(2);
    EXPECT_EQ(memo.SelStart(), 6);
    memo.SetSelCol(10);
    EXPECT_EQ(memo.SelStart(), 7);
    EXPECT_EQ(memo.SelPar(), 1);
}

TEST(EditPrimitive, SeparatorsAndCurrentWord) {
    TCodeMemo memo;
    EXPECT_EQ(memo.Separators(), "\t $%&,./:;<=>");
    LoadText(memo, "<table border=1>");
    memo.SetSelStart(4);
    EXPECT_EQ(memo.CurrentWord(), "table");
    memo.SetSeparators("ba");
    EXPECT_EQ(memo.Separators(), "ab");
}

TEST(EditPrimitive, StyleCodeHelpers) {
    EXPECT_EQ(StripStyleCodes("a\x02" "b\x02"), "ab");
    EXPECT_EQ(StripStyleCodes("\x01\x03\x04\x15x\x05"), "x\x05");
    EXPECT_EQ(ToggleStyleBit(0, kCodeBold), kStyleBold);
    EXPECT_EQ(ToggleStyleBit(kStyleBold, kCodeBold), 0);
    EXPECT_EQ(ToggleStyleBit(kStyleItalic, 'x'), kStyleItalic);
    EXPECT_EQ(ColumnToIndex("a\tb", 5, 8, true), 1);
    EXPECT_EQ(ColumnRemainder("a\tb", 5, 8, true), 4);
    EXPECT_EQ(ColumnToIndex("a\tb", 8, 8, true), 2);
    EXPECT_EQ(ColumnToIndex("ab", 9, 8, true), 2);
    EXPECT_EQ(ColumnRemainder("ab", 9, 8, true), 7);
    EXPECT_EQ(ColumnToIndex("\x02" "ab", 1, 8, true), 2);
    EXPECT_EQ(ColumnToIndex("\x02" "ab", 1, 8, false), 1);
    // A tab stop below 1 counts as 1.
    EXPECT_EQ(ColumnToIndex("\t\tx", 2, 0, true), 2);
    EXPECT_EQ(RemoveCodePairs("a\x02\x01\x02" "b\x01"), "a\x01" "b\x01");
    // A pair has only other codes between its two codes.
    EXPECT_EQ(PairedCodeIndex("a\x02\x01\x02", 1), 3);
    EXPECT_EQ(PairedCodeIndex("a\x02\x01\x02", 2), -1);
    EXPECT_EQ(PairedCodeIndex("\x02x\x02", 0), -1);
    EXPECT_EQ(PairedCodeIndex("a\x02\x02", 0), -1);
    EXPECT_EQ(PairedCodeIndex("\x02", 5), -1);
}

TEST(EditPrimitive, ColumnBlockTextAndDeletion) {
    TCodeMemo memo;
    LoadText(memo, "abcdef\r\nab\r\n\tx123");
    Select(memo, 0, memo.TextLength());
    memo.SetBlock(1, 4);
    EXPECT_EQ(memo.SelText(), "bcd\r\nb\r\n\r\n");
    memo.SetSelText("");
    EXPECT_EQ(memo.Text(), "aef\r\na\r\n\tx123");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "abcdef\r\nab\r\n\tx123");
}
