#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/EditPlan.h"
#include "editor/model/StyleCodes.h"
#include "DocumentTestSupport.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::string_literals;

TEST(EditPrimitive, CrLfSplitsParagraphsAndLoneLfStays) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "ab");
    selection.SetSelStart(1);
    selection.SetSelText("x\r\ny");
    ASSERT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(document.ParagraphText(0), "ax");
    EXPECT_EQ(document.ParagraphText(1), "yb");
    EXPECT_EQ(selection.SelStart(), 5);
    selection.SetSelText("\n");
    EXPECT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(document.ParagraphText(1), "y\nb");
    document.CheckConsistency();
}

TEST(EditPrimitive, LoneCrAndLfCrAreBreaksCountedAsInserted) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "<>");
    selection.SetSelStart(1);
    selection.SetSelText("a\rb\n\rc");
    EXPECT_EQ(document.Text(), "<a\r\nb\r\nc>");
    // The caret stands after what was actually inserted: 3 letters, 2 breaks.
    EXPECT_EQ(selection.SelStart(), 1 + 3 + 4);
    EXPECT_EQ(document.UndoHistory().Entries().back().Stop, 8);
    selection.Undo();
    EXPECT_EQ(document.Text(), "<>");
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
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abc");
    document.Fields().Modified = false;
    TUpdateCounter changes(document);
    selection.SetSelStart(1);
    selection.SetSelTextBuf({});
    EXPECT_EQ(document.Text(), "abc");
    EXPECT_FALSE(document.Fields().Modified);
    EXPECT_TRUE(document.UndoHistory().Entries().empty());
    EXPECT_EQ(changes.Count, 0);
}

TEST(EditPrimitive, OffsetsInsideABreakSnapToItsEnds) {
    const std::string original = "ab\r\ncd\r\nef";
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, original);
    // Start between CR and LF: snaps back to the paragraph end (2).
    Select(selection, 3, 5);
    selection.SetSelText("X");
    EXPECT_EQ(document.Text(), "abXd\r\nef");
    document.CheckConsistency();
    selection.Undo();
    EXPECT_EQ(document.Text(), original);
    // End between CR and LF: snaps forward to the next paragraph's start.
    Select(selection, 0, 3);
    selection.SetSelText("Y");
    EXPECT_EQ(document.Text(), "Ycd\r\nef");
    document.CheckConsistency();
    selection.Undo();
    EXPECT_EQ(document.Text(), original);
    // Both inside breaks.
    Select(selection, 3, 7);
    selection.SetSelText("Z");
    EXPECT_EQ(document.Text(), "abZef");
    selection.Undo();
    EXPECT_EQ(document.Text(), original);
}

TEST(EditPrimitive, TooLongIsRefusedBeforeAnythingChanges) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "12345");
    document.SetMaxTextLength(9);
    document.Fields().Modified = false;
    selection.SetSelStart(5);
    selection.SetSelText("ab");
    selection.SetSelStart(0);
    try {
        selection.SetSelText("xyz");
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Text too long");
    }
    EXPECT_EQ(document.Text(), "12345ab");
    EXPECT_EQ(document.UndoHistory().Entries().size(), 1u);
    EXPECT_EQ(document.UpdateCount(), 0);
    // A second paragraph is fine while each stays under the limit.
    selection.SetSelText("\r\n");
    EXPECT_EQ(document.ParagraphCount(), 2);
    document.CheckConsistency();
    // Loading a text over the limit leaves the old text in place.
    EXPECT_THROW(LoadText(document, "0123456789"), Exception);
    EXPECT_EQ(document.Text(), "\r\n12345ab");
}

TEST(EditPrimitive, HandlerExceptionsNeverLeaveTheMemoFrozen) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abc");
    document.OnParse = [](int32_t, int32_t) { throw Exception("parse failed"); };
    selection.SetSelStart(3);
    EXPECT_THROW(selection.SetSelText("d"), Exception);
    EXPECT_EQ(document.UpdateCount(), 0);
    EXPECT_EQ(document.Text(), "abcd");
    document.CheckConsistency();
    document.OnParse = nullptr;
    TUpdateCounter changes(document);
    changes.Then = [] { throw Exception("change failed"); };
    selection.SetSelStart(4);
    EXPECT_THROW(selection.SetSelText("e"), Exception);
    EXPECT_EQ(document.UpdateCount(), 0);
    changes.Then = nullptr;
    selection.SetSelStart(5);
    selection.SetSelText("f");
    EXPECT_EQ(document.Text(), "abcdef");
    document.CheckConsistency();
    document.OnParse = [](int32_t, int32_t) { throw Exception("parse failed"); };
    document.BeginUpdate();
    EXPECT_THROW(LoadText(document, "x\r\ny\r\n"), Exception);
    EXPECT_EQ(document.UpdateCount(), 1);
    document.EndUpdate();
    EXPECT_EQ(document.UpdateCount(), 0);
    document.OnParse = nullptr;
    document.OnBeforeChange = [](std::string&) { throw Exception("refused"); };
    EXPECT_THROW(selection.SetSelText("g"), Exception);
    EXPECT_EQ(document.UpdateCount(), 0);
}

TEST(EditPrimitive, BeforeChangeMayReplaceTheText) {
    TCodeDocument document;
    TTextSelection selection(document);
    document.OnBeforeChange = [](std::string& text) {
        if (text == "a")
            text = "<a>";
    };
    selection.SetSelText("a");
    EXPECT_EQ(document.Text(), "<a>");
    EXPECT_EQ(selection.SelStart(), 3);
}

TEST(EditPrimitive, NulBytesAreOrdinaryCharacters) {
    TCodeDocument document;
    TTextSelection selection(document);
    std::string withNul = "a\0b\r\n\0"s;
    selection.SetSelText(withNul);
    EXPECT_EQ(document.Text(), withNul);
    EXPECT_EQ(document.TextLength(), 6);
    Select(selection, 0, 6);
    EXPECT_EQ(selection.SelText(), withNul);
    selection.SetSelText("z");
    selection.Undo();
    EXPECT_EQ(document.Text(), withNul);
    selection.Redo();
    EXPECT_EQ(document.Text(), "z");
}

TEST(EditPrimitive, StaticFormatClosesStylesOpenedByInsertedText) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "xy");
    selection.SetSelStart(1);
    selection.SetSelText("\x02" "b");
    EXPECT_EQ(document.Text(), "x\x02" "b\x02" "y");
    EXPECT_EQ(selection.SelStart(), 4);
    selection.SetSelStart(0);
    selection.SetSelText("\x04\x03\x02\x01\x15Z");
    EXPECT_EQ(document.ParagraphText(0).substr(0, 11), "\x04\x03\x02\x01\x15Z\x15\x01\x02\x03\x04");
    // Codes that toggle nothing between them are cleaned up as a pair.
    selection.SetSelStart(0);
    selection.SetSelText("\x02\x02");
    EXPECT_EQ(document.ParagraphText(0).substr(0, 2), "\x04\x03");
    // Without StaticFormat codes are plain bytes.
    TCodeDocument plain;
    TTextSelection plainSelection(plain);
    plain.SetStaticFormat(false);
    plainSelection.SetSelText("\x02" "b");
    EXPECT_EQ(plain.Text(), "\x02" "b");
}

TEST(EditPrimitive, CodeCleanUpRemovesEqualPairsAndUndoesInOneStep) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "a\x02" "b");
    selection.SetSelStart(2);
    selection.ToggleStyle(kCodeBold);  // inserts 2,2 with the caret between
    EXPECT_EQ(document.Text(), "a\x02\x02\x02" "b");
    EXPECT_EQ(selection.SelStart(), 3);
    selection.SetSelStart(1);
    selection.SetSelLength(1);
    selection.SetSelText("");  // deleting one code leaves 2,2 adjacent: the pair goes too
    EXPECT_EQ(document.Text(), "ab");
    selection.Undo();
    EXPECT_EQ(document.Text(), "a\x02\x02\x02" "b");
}

TEST(EditPrimitive, ToggleStyleWrapsTheSelection) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "one two");
    selection.SetSelStart(0);
    selection.SetSelLength(3);
    selection.ToggleStyle(kCodeItalic);
    EXPECT_EQ(document.Text(), "\x01one\x01 two");
    EXPECT_EQ(selection.SelStart(), 1);
    EXPECT_EQ(selection.SelLength(), 3);
    EXPECT_EQ(selection.SelText(), "one");
    document.SetStaticFormat(false);
    selection.ToggleStyle(kCodeBold);  // only with StaticFormat
    EXPECT_EQ(document.Text(), "\x01one\x01 two");
}

TEST(EditPrimitive, DiscardTrailingSpacesOnEnter) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abc");
    document.SetOptions(document.Options().Include(pmoDiscardTrailingSpaces));
    selection.SetSelStart(3);
    selection.SetSelText("  \t ");
    EXPECT_EQ(document.Text(), "abc");
    selection.SetSelText("d  ");
    EXPECT_EQ(document.Text(), "abcd");
    selection.SetSelText(" \r\n");
    EXPECT_EQ(document.Text(), "abcd\r\n");
    document.CheckConsistency();
}

TEST(EditPrimitive, SelectionSettersClamp) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "0123456789ab");
    selection.SetSelStart(-5);
    EXPECT_EQ(selection.SelStart(), 0);
    selection.SetSelStart(22);
    EXPECT_EQ(selection.SelStart(), 12);
    selection.SetSelStart(10);
    selection.SetSelLength(5);
    EXPECT_EQ(selection.SelLength(), 2);
    selection.SetSelLength(-20);
    EXPECT_EQ(selection.SelLength(), -10);
    EXPECT_EQ(selection.SelStart(), 10);
    EXPECT_EQ(selection.SelText(), "0123456789");
    selection.SelectAll();
    EXPECT_EQ(selection.SelStart(), 12);
    EXPECT_EQ(selection.SelLength(), -12);
    EXPECT_EQ(selection.SelText(), "0123456789ab");
    char buffer[5];
    EXPECT_EQ(selection.GetSelTextBuf(buffer, 5), 4);
    EXPECT_STREQ(buffer, "0123");
}

TEST(EditPrimitive, LineParagraphAndColumnSettersClampAtZero) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "ab\r\ncde\r\nf");
    selection.SetSelPar(-3);
    EXPECT_EQ(selection.SelStart(), 0);
    selection.SetSelPar(9);
    EXPECT_EQ(selection.SelStart(), 9);
    selection.SetSelLine(-1);
    EXPECT_EQ(selection.SelLine(), 0);
    selection.SetSelLine(1);
    EXPECT_EQ(selection.SelStart(), 4);
    selection.SetSelCol(-2);
    EXPECT_EQ(selection.SelCol(), 0);
    selection.SetSelCol(2);
    EXPECT_EQ(selection.SelStart(), 6);
    selection.SetSelCol(10);
    EXPECT_EQ(selection.SelStart(), 7);
    EXPECT_EQ(selection.SelPar(), 1);
}

TEST(EditPrimitive, SeparatorsAndCurrentWord) {
    TCodeDocument document;
    TTextSelection selection(document);
    EXPECT_EQ(document.Separators(), "\t $%&,./:;<=>");
    LoadText(document, "<table border=1>");
    selection.SetSelStart(4);
    EXPECT_EQ(selection.CurrentWord(), "table");
    document.SetSeparators("ba");
    EXPECT_EQ(document.Separators(), "ab");
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
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abcdef\r\nab\r\n\tx123");
    Select(selection, 0, document.TextLength());
    selection.SetBlock(1, 4);
    EXPECT_EQ(selection.SelText(), "bcd\r\nb\r\n\r\n");
    selection.SetSelText("");
    EXPECT_EQ(document.Text(), "aef\r\na\r\n\tx123");
    selection.Undo();
    EXPECT_EQ(document.Text(), "abcdef\r\nab\r\n\tx123");
}

// The clean-up after an edit looks only around the edit once a paragraph is
// known to be clean; what it leaves must be what a scan of every edited
// paragraph leaves.  A twin document without the clean-up takes the same
// edit; the pairs removed from its edited paragraphs give the expected text.
TEST(EditPrimitive, CodeCleanUpAroundTheEditLeavesWhatAFullScanLeaves) {
    std::mt19937 random(31);
    auto below = [&](int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    TCodeDocument cleaned;
    TCodeDocument twin;
    twin.Fields().CodeCleanUp = false;
    TTextSelection cleanedSelection(cleaned);
    TTextSelection twinSelection(twin);
    // Long paragraphs full of codes, so that pairs form near edits and far
    // from them.
    std::string text;
    for (int line = 0; line < 6; ++line) {
        for (int word = 0; word < 40; ++word)
            text += std::string("ab\x02" "cd\x01 \x15" "ef\x02 ").substr(0, static_cast<size_t>(3 + below(9)));
        text += "\r\n";
    }
    LoadText(cleaned, text);
    static const char* const pieces[] = {"\x01", "\x02", "\x03", "\x04", "\x15", "x", " ", "\x02\x02", "\x01\x15\x01",
                                         "\r\n", "\x02\r\n\x02"};
    for (int step = 0; step < 1500; ++step) {
        LoadText(twin, cleaned.Text());
        const int32_t length = cleaned.TextLength();
        const int32_t from = below(length + 1);
        const int32_t to = std::min(length, from + (below(3) == 0 ? below(6) : 0));
        std::string insertion;
        for (int32_t n = below(3); n >= 0; --n)
            insertion += pieces[below(11)];
        Select(cleanedSelection, from, to);
        Select(twinSelection, from, to);
        const int32_t first = twin.ParagraphList().IndexOfOffset(twinSelection.SelStart());
        cleanedSelection.SetSelText(insertion);
        twinSelection.SetSelText(insertion);
        const int32_t last = twin.ParagraphList().IndexOfOffset(twinSelection.SelStart());
        std::string expected;
        for (int32_t i = 0; i < twin.ParagraphCount(); ++i) {
            if (i > 0)
                expected += "\r\n";
            expected += i >= first && i <= last ? RemoveCodePairs(twin.ParagraphText(i)) : twin.ParagraphText(i);
        }
        ASSERT_EQ(cleaned.Text(), expected) << "step " << step;
    }
}
