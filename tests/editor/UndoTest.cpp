#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "DocumentTestSupport.h"

#include "fuzz/editor/BreakTags.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {
void Type(TTextSelection& selection, std::string_view text) {
    for (char c : text)
        selection.SetSelText(std::string(1, c));
}
}  // namespace

TEST(Undo, TypedCharactersGroupIntoOneEntry) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "xy");
    selection.SetSelStart(1);
    Type(selection, "abc");
    ASSERT_EQ(document.UndoHistory().Entries().size(), 1u);
    EXPECT_EQ(document.UndoHistory().Entries()[0].Start, 1);
    EXPECT_EQ(document.UndoHistory().Entries()[0].Stop, 4);
    selection.Undo();
    EXPECT_EQ(document.Text(), "xy");
    EXPECT_FALSE(document.UndoHistory().CanUndo());
    EXPECT_TRUE(document.UndoHistory().CanRedo());
    selection.Redo();
    EXPECT_EQ(document.Text(), "xabcy");
    EXPECT_EQ(selection.SelStart(), 4);
}

TEST(Undo, ClickingElsewhereStartsANewEntry) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "xy");
    selection.SetSelStart(1);
    Type(selection, "ab");
    selection.SetSelStart(0);
    Type(selection, "cd");
    EXPECT_EQ(document.UndoHistory().Entries().size(), 2u);
    selection.Undo();
    EXPECT_EQ(document.Text(), "xaby");
    selection.Undo();
    EXPECT_EQ(document.Text(), "xy");
    // Typing on from where the caret was put after a click is a new entry even
    // when it continues the last one.
    selection.Redo();
    selection.SetSelStart(3);
    Type(selection, "z");
    EXPECT_EQ(document.UndoHistory().Entries().size(), 2u);
}

TEST(Undo, NewEditClearsRedoAndRedoWithoutUndoDoesNothing) {
    TCodeDocument document;
    TTextSelection selection(document);
    selection.Redo();
    EXPECT_EQ(document.Text(), "");
    Type(selection, "abc");
    selection.Undo();
    EXPECT_TRUE(document.UndoHistory().CanRedo());
    Type(selection, "x");
    EXPECT_FALSE(document.UndoHistory().CanRedo());
    selection.Redo();
    EXPECT_EQ(document.Text(), "x");
}

TEST(Undo, ReplacementUndoesToTheOldTextAndSelection) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "one two\r\nthree");
    Select(selection, 4, 11);
    selection.SetSelText("2\r\n2b");
    EXPECT_EQ(document.Text(), "one 2\r\n2bree");
    selection.Undo();
    EXPECT_EQ(document.Text(), "one two\r\nthree");
    EXPECT_EQ(selection.SelStart(), 11);
    selection.Redo();
    EXPECT_EQ(document.Text(), "one 2\r\n2bree");
}

TEST(Undo, SpaceLimitDropsOldestEntries) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "0123456789");
    for (int i = 0; i < 5; ++i) {
        Select(selection, 0, 2);
        selection.SetSelText("ab");
    }
    EXPECT_EQ(document.UndoHistory().Entries().size(), 5u);
    EXPECT_EQ(document.UndoHistory().Total(), 5 * (2 + 13));
    document.UndoHistory().SetMaxSpace(31);
    EXPECT_EQ(document.UndoHistory().Entries().size(), 2u);
    EXPECT_EQ(document.UndoHistory().Position(), 2);
    document.UndoHistory().SetMaxSpace(0);
    EXPECT_TRUE(document.UndoHistory().Entries().empty());
    EXPECT_EQ(document.UndoHistory().Total(), 0);
    EXPECT_FALSE(document.UndoHistory().CanUndo());
    // With no space every new entry goes at once.
    Type(selection, "x");
    EXPECT_TRUE(document.UndoHistory().Entries().empty());
}

TEST(Undo, SpaceLimitPrefersDroppingRedoEntries) {
    TCodeDocument document;
    TTextSelection selection(document);
    Type(selection, "a");
    selection.SetSelStart(0);
    Type(selection, "b");
    selection.SetSelStart(0);
    Type(selection, "c");
    selection.Undo();
    ASSERT_EQ(document.UndoHistory().Position(), 2);
    document.UndoHistory().SetMaxSpace(2 * 13);
    EXPECT_EQ(document.UndoHistory().Entries().size(), 2u);
    EXPECT_EQ(document.UndoHistory().Position(), 2);
    EXPECT_FALSE(document.UndoHistory().CanRedo());
}

TEST(Undo, LevelLimit) {
    TCodeDocument document;
    TTextSelection selection(document);
    EXPECT_THROW(document.UndoHistory().SetMaxLevel(134217728), EListError);
    try {
        document.UndoHistory().SetMaxLevel(134217728);
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), "Undo set too high");
    }
    EXPECT_EQ(document.UndoHistory().MaxLevel(), 256);
    document.UndoHistory().SetMaxLevel(134217727);
    document.UndoHistory().SetMaxLevel(3);
    for (int i = 0; i < 6; ++i) {
        selection.SetSelStart(0);
        Type(selection, "x");
    }
    EXPECT_EQ(document.UndoHistory().Entries().size(), 3u);
    selection.Undo();
    selection.Undo();
    selection.Undo();
    selection.Undo();
    EXPECT_EQ(document.Text(), "xxx");
    selection.Redo();
    document.UndoHistory().SetMaxLevel(1);
    EXPECT_EQ(document.UndoHistory().Entries().size(), 1u);
    EXPECT_EQ(document.UndoHistory().Position(), 1);
}

TEST(Undo, GroupedEntriesUndoAndRedoTogether) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abcdef");
    // A drag-move: delete "bc", insert it after "e", grouped.
    Select(selection, 1, 3);
    selection.SetSelText("");
    selection.SetSelStart(3);
    selection.SetSelText("bc");
    document.UndoHistory().GroupLast();
    EXPECT_EQ(document.Text(), "adebcf");
    selection.Undo();
    EXPECT_EQ(document.Text(), "abcdef");
    EXPECT_FALSE(document.UndoHistory().CanUndo());
    selection.Redo();
    EXPECT_EQ(document.Text(), "adebcf");
    EXPECT_FALSE(document.UndoHistory().CanRedo());
    selection.Undo();
    EXPECT_EQ(document.Text(), "abcdef");
}

TEST(Undo, ReplayIsExactWithStaticFormatAndTrailingBlankRules) {
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetOptions(document.Options().Include(pmoDiscardTrailingSpaces));
    LoadText(document, std::string("ab\x02" "cd\x02"));
    // Deleting one code must come back as exactly that code, no closing code.
    Select(selection, 2, 3);
    selection.SetSelText("");
    selection.Undo();
    EXPECT_EQ(document.Text(), std::string("ab\x02" "cd\x02"));
    // Enter after blanks removes them; undo brings them back.
    LoadText(document, "ab  cd");
    selection.SetSelStart(4);
    selection.SetSelText("\r\n");
    EXPECT_EQ(document.Text(), "ab\r\ncd");
    selection.Undo();
    EXPECT_EQ(document.Text(), "ab  cd");
    selection.Redo();
    EXPECT_EQ(document.Text(), "ab\r\ncd");
}

TEST(Undo, LoadingClearsTheUndoList) {
    TCodeDocument document;
    TTextSelection selection(document);
    Type(selection, "abc");
    LoadText(document, "new");
    EXPECT_FALSE(document.UndoHistory().CanUndo());
    EXPECT_FALSE(document.UndoHistory().CanRedo());
}

TEST(Undo, LongGroupedChainsUndoAndRedoWhole) {
    const std::string original = "abcd\r\nabcd\r\nabcd\r\nabcd";
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, original);
    selection.SelectAll();
    selection.SetBlock(1, 3);
    selection.SetSelText("");
    EXPECT_EQ(document.Text(), "ad\r\nad\r\nad\r\nad");
    EXPECT_EQ(document.UndoHistory().Entries().size(), 4u);
    for (int round = 0; round < 3; ++round) {
        selection.Undo();
        EXPECT_EQ(document.Text(), original);
        EXPECT_FALSE(document.UndoHistory().CanUndo());
        selection.Redo();
        EXPECT_EQ(document.Text(), "ad\r\nad\r\nad\r\nad");
        EXPECT_FALSE(document.UndoHistory().CanRedo());
    }
}

TEST(Undo, UndoInBlockModeReplaysTheEntryOnly) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abcd\r\nabcd");
    selection.SetSelStart(0);
    selection.SetSelText("x");
    selection.SelectAll();
    selection.SetBlock(1, 2);
    selection.Undo();
    EXPECT_EQ(document.Text(), "abcd\r\nabcd");
    EXPECT_FALSE(selection.BlockMode());
}

TEST(Undo, AnEmptyColumnBlockReplacedDoesNotJoinTheEditBeforeIt) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abcd\r\nabcd");
    selection.SetSelStart(0);
    selection.SetSelText("x");
    // Columns 2 to 2 hold no characters: nothing is deleted, "|" is typed.
    selection.SelectAll();
    selection.SetBlock(2, 2);
    selection.SetSelText("|");
    const std::string afterBlock = document.Text();
    selection.Undo();
    EXPECT_EQ(document.Text(), "xabcd\r\nabcd");
    selection.Undo();
    EXPECT_EQ(document.Text(), "abcd\r\nabcd");
    selection.Redo();
    selection.Redo();
    EXPECT_EQ(document.Text(), afterBlock);
}

// Random actions, some of them several grouped entries (column blocks,
// pasted blocks, the style-code clean-up), under small undo limits that
// keep dropping the oldest steps.  However the limits cut, undoing must only
// ever pass through texts the memo really had, newest first, and redoing
// must come back to the last one; the texts are spelt with a tag for every
// break, so that each break undo or redo puts back is the one an edit took
// away (the speller's note travels with the step).
TEST(Undo, LimitsDropWholeStepsSoUndoOnlyReachesTextsThatExisted) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 60; ++round) {
        TCodeDocument document;
        TTextSelection selection(document);
        document.SetStaticFormat(round % 2 == 0);
        // A code pair in every line: the first edit of a line cleans it up,
        // recording entries of its own.
        std::string text;
        for (int line = 0; line < 6; ++line)
            text += line == 0 ? "ab\x02\x02" "cdef" : "\r\nab\x02\x02" "cdef";
        LoadText(document, text);
        TBreakTags tags(document);
        document.UndoHistory().SetMaxLevel(round % 4 == 1 ? 256 : 1 + static_cast<int32_t>(random() % 6));
        document.UndoHistory().SetMaxSpace(round % 3 == 0 ? 40 + static_cast<int32_t>(random() % 200) : 1 << 20);
        std::vector<std::string> history{tags.SpeltText()};
        for (int action = 0; action < 25; ++action) {
            const int32_t length = document.TextLength();
            const auto at = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
            switch (random() % 5) {
            case 0:
                selection.SetSelStart(at);
                selection.SetSelText(std::string(1, "xyz\x02"[random() % 4]));
                break;
            case 1:
                selection.SetSelStart(at);
                selection.SetSelLength(static_cast<int32_t>(random() % 5));
                selection.SetSelText({});
                break;
            case 2: {
                selection.SetSelStart(at);
                selection.SetSelLength(static_cast<int32_t>(random() % 20));
                const auto column = static_cast<int32_t>(random() % 5);
                selection.SetBlock(column, column + static_cast<int32_t>(random() % 3));
                selection.SetSelText(random() % 2 ? "|" : "");
                break;
            }
            case 3:
                selection.SetSelStart(at);
                selection.PasteBlock("12\r\n34\r\n5", selection.CaretTextColumn());
                break;
            default:
                selection.Undo();
                break;
            }
            document.CheckConsistency();
            history.push_back(tags.SpeltText());
        }
        const std::string last = tags.SpeltText();
        // Undo walks back through the history; each text it reaches lies at
        // or before the point the walk had come to.
        size_t reached = history.size() - 1;
        int undone = 0;
        while (document.UndoHistory().CanUndo()) {
            selection.Undo();
            ++undone;
            document.CheckConsistency();
            size_t found = reached;
            const std::string spelt = tags.SpeltText();
            while (found > 0 && history[found] != spelt)
                --found;
            ASSERT_EQ(history[found], spelt) << "round " << round << ", undo " << undone;
            reached = found;
        }
        for (int i = 0; i < undone; ++i)
            selection.Redo();
        EXPECT_EQ(tags.SpeltText(), last) << "round " << round;
    }
}

// The clean-up of style codes after a step of a larger edit records entries
// of its own (here for the pair already in the second line); the step's own
// entry must still join the edit, or undo stops half-way through it.
TEST(Undo, AColumnBlockWhoseLineTriggersTheCodeCleanUpUndoesInOneStep) {
    const std::string original = "abcdef\r\nab\x03\x03" "cdef";
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetStaticFormat(true);
    LoadText(document, original);
    selection.SelectAll();
    selection.SetBlock(0, 1);
    selection.SetSelText("");
    ASSERT_EQ(document.Text(), "bcdef\r\nbcdef");
    ASSERT_EQ(document.UndoHistory().Entries().size(), 4u);
    selection.Undo();
    EXPECT_EQ(document.Text(), original);
    EXPECT_FALSE(document.UndoHistory().CanUndo());
    selection.Redo();
    EXPECT_EQ(document.Text(), "bcdef\r\nbcdef");
}

// However small the undo space, the step just done can be taken back: a
// deletion or replacement larger than the whole space is kept (the older
// steps go instead), one undo gives the text before it and a redo the text
// after it.  Only a history without any space holds nothing.
TEST(Undo, TheStepJustDoneIsKeptWhateverItsSize) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        TCodeDocument document;
        TTextSelection selection(document);
        std::string text;
        for (int line = 0; line < 40; ++line)
            text += (line ? "\r\n" : "") + std::string(static_cast<size_t>(random() % 60), 'a' + static_cast<char>(line % 26));
        LoadText(document, text);
        const auto space = static_cast<int32_t>(random() % 300);
        document.UndoHistory().SetMaxSpace(space);
        for (int action = 0; action < 20; ++action) {
            const std::string before = document.Text();
            const int32_t length = document.TextLength();
            const auto at = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
            selection.SetSelStart(at);
            selection.SetSelLength(static_cast<int32_t>(random() % static_cast<uint32_t>(length - at + 1)));
            selection.SetSelText(std::string(static_cast<size_t>(random() % 400), 'z'));
            const std::string after = document.Text();
            if (space == 0) {
                EXPECT_FALSE(document.UndoHistory().CanUndo());
                continue;
            }
            ASSERT_TRUE(document.UndoHistory().CanUndo()) << "round " << round << ", action " << action;
            selection.Undo();
            ASSERT_EQ(document.Text(), before) << "round " << round << ", action " << action;
            selection.Redo();
            ASSERT_EQ(document.Text(), after) << "round " << round << ", action " << action;
        }
    }
}
