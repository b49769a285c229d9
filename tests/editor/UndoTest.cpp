#include "editor/CodeMemo.h"
#include "MemoTestSupport.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {
void Type(TCodeMemo& memo, std::string_view text) {
    for (char c : text)
        memo.SetSelText(std::string(1, c));
}
}  // namespace

TEST(Undo, TypedCharactersGroupIntoOneEntry) {
    TCodeMemo memo;
    LoadText(memo, "xy");
    memo.SetSelStart(1);
    Type(memo, "abc");
    ASSERT_EQ(memo.UndoList().size(), 1u);
    EXPECT_EQ(memo.UndoList()[0].Start, 1);
    EXPECT_EQ(memo.UndoList()[0].Stop, 4);
    memo.Undo();
    EXPECT_EQ(memo.Text(), "xy");
    EXPECT_FALSE(memo.CanUndo());
    EXPECT_TRUE(memo.CanRedo());
    memo.Redo();
    EXPECT_EQ(memo.Text(), "xabcy");
    EXPECT_EQ(memo.SelStart(), 4);
}

TEST(Undo, ClickingElsewhereStartsANewEntry) {
    TCodeMemo memo;
    LoadText(memo, "xy");
    memo.SetSelStart(1);
    Type(memo, "ab");
    memo.SetSelStart(0);
    Type(memo, "cd");
    EXPECT_EQ(memo.UndoList().size(), 2u);
    memo.Undo();
    EXPECT_EQ(memo.Text(), "xaby");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "xy");
    // Typing on from where the caret was put after a click is a new entry even
    // when it continues the last one.
    memo.Redo();
    memo.SetSelStart(3);
    Type(memo, "z");
    EXPECT_EQ(memo.UndoList().size(), 2u);
}

TEST(Undo, NewEditClearsRedoAndRedoWithoutUndoDoesNothing) {
    TCodeMemo memo;
    memo.Redo();
    EXPECT_EQ(memo.Text(), "");
    Type(memo, "abc");
    memo.Undo();
    EXPECT_TRUE(memo.CanRedo());
    Type(memo, "x");
    EXPECT_FALSE(memo.CanRedo());
    memo.Redo();
    EXPECT_EQ(memo.Text(), "x");
}

TEST(Undo, ReplacementUndoesToTheOldTextAndSelection) {
    TCodeMemo memo;
    LoadText(memo, "one two\r\nthree");
    Select(memo, 4, 11);
    memo.SetSelText("2\r\n2b");
    EXPECT_EQ(memo.Text(), "one 2\r\n2bree");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "one two\r\nthree");
    EXPECT_EQ(memo.SelStart(), 11);
    memo.Redo();
    EXPECT_EQ(memo.Text(), "one 2\r\n2bree");
}

TEST(Undo, SpaceLimitDropsOldestEntries) {
    TCodeMemo memo;
    LoadText(memo, "0123456789");
    for (int i = 0; i < 5; ++i) {
        Select(memo, 0, 2);
        memo.SetSelText("ab");
    }
    EXPECT_EQ(memo.UndoList().size(), 5u);
    EXPECT_EQ(memo.UndoTotal(), 5 * (2 + 13));
    memo.SetUndoMaxSpace(31);
    EXPECT_EQ(memo.UndoList().size(), 2u);
    EXPECT_EQ(memo.UndoPosition(), 2);
    memo.SetUndoMaxSpace(0);
    EXPECT_TRUE(memo.UndoList().empty());
    EXPECT_EQ(memo.UndoTotal(), 0);
    EXPECT_FALSE(memo.CanUndo());
    // With no space every new entry goes at once.
    Type(memo, "x");
    EXPECT_TRUE(memo.UndoList().empty());
}

TEST(Undo, SpaceLimitPrefersDroppingRedoEntries) {
    TCodeMemo memo;
    Type(memo, "a");
    memo.SetSelStart(0);
    Type(memo, "b");
    memo.SetSelStart(0);
    Type(memo, "c");
    memo.Undo();
    ASSERT_EQ(memo.UndoPosition(), 2);
    memo.SetUndoMaxSpace(2 * 13);
    EXPECT_EQ(memo.UndoList().size(), 2u);
    EXPECT_EQ(memo.UndoPosition(), 2);
    EXPECT_FALSE(memo.CanRedo());
}

TEST(Undo, LevelLimit) {
    TCodeMemo memo;
    EXPECT_THROW(memo.SetUndoMaxLevel(134217728), EListError);
    try {
        memo.SetUndoMaxLevel(134217728);
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), "Undo set too high");
    }
    EXPECT_EQ(memo.UndoMaxLevel(), 256);
    memo.SetUndoMaxLevel(134217727);
    memo.SetUndoMaxLevel(3);
    for (int i = 0; i < 6; ++i) {
        memo.SetSelStart(0);
        Type(memo, "x");
    }
    EXPECT_EQ(memo.UndoList().size(), 3u);
    memo.Undo();
    memo.Undo();
    memo.Undo();
    memo.Undo();
    EXPECT_EQ(memo.Text(), "xxx");
    memo.Redo();
    memo.SetUndoMaxLevel(1);
    EXPECT_EQ(memo.UndoList().size(), 1u);
    EXPECT_EQ(memo.UndoPosition(), 1);
}

TEST(Undo, GroupedEntriesUndoAndRedoTogether) {
    TCodeMemo memo;
    LoadText(memo, "abcdef");
    // A drag-move: delete "bc", insert it after "e", grouped.
    Select(memo, 1, 3);
    memo.SetSelText("");
    memo.SetSelStart(3);
    memo.SetSelText("bc");
    memo.GroupLastUndo();
    EXPECT_EQ(memo.Text(), "adebcf");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "abcdef");
    EXPECT_FALSE(memo.CanUndo());
    memo.Redo();
    EXPECT_EQ(memo.Text(), "adebcf");
    EXPECT_FALSE(memo.CanRedo());
    memo.Undo();
    EXPECT_EQ(memo.Text(), "abcdef");
}

TEST(Undo, ReplayIsExactWithStaticFormatAndTrailingBlankRules) {
    TCodeMemo memo;
    memo.SetOptions(memo.Options().Include(pmoDiscardTrailingSpaces));
    LoadText(memo, std::string("ab\x02" "cd\x02"));
    // Deleting one code must come back as exactly that code, no closing code.
    Select(memo, 2, 3);
    memo.SetSelText("");
    memo.Undo();
    EXPECT_EQ(memo.Text(), std::string("ab\x02" "cd\x02"));
    // Enter after blanks removes them; undo brings them back.
    LoadText(memo, "ab  cd");
    memo.SetSelStart(4);
    memo.SetSelText("\r\n");
    EXPECT_EQ(memo.Text(), "ab\r\ncd");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "ab  cd");
    memo.Redo();
    EXPECT_EQ(memo.Text(), "ab\r\ncd");
}

TEST(Undo, LoadingClearsTheUndoList) {
    TCodeMemo memo;
    Type(memo, "abc");
    LoadText(memo, "new");
    EXPECT_FALSE(memo.CanUndo());
    EXPECT_FALSE(memo.CanRedo());
}

TEST(Undo, LongGroupedChainsUndoAndRedoWhole) {
    const std::string original = "abcd\r\nabcd\r\nabcd\r\nabcd";
    TCodeMemo memo;
    LoadText(memo, original);
    memo.SelectAll();
    memo.SetBlock(1, 3);
    memo.SetSelText("");
    EXPECT_EQ(memo.Text(), "ad\r\nad\r\nad\r\nad");
    EXPECT_EQ(memo.UndoList().size(), 4u);
    for (int round = 0; round < 3; ++round) {
        memo.Undo();
        EXPECT_EQ(memo.Text(), original);
        EXPECT_FALSE(memo.CanUndo());
        memo.Redo();
        EXPECT_EQ(memo.Text(), "ad\r\nad\r\nad\r\nad");
        EXPECT_FALSE(memo.CanRedo());
    }
}

TEST(Undo, UndoInBlockModeReplaysTheEntryOnly) {
    TCodeMemo memo;
    LoadText(memo, "abcd\r\nabcd");
    memo.SetSelStart(0);
    memo.SetSelText("x");
    memo.SelectAll();
    memo.SetBlock(1, 2);
    memo.Undo();
    EXPECT_EQ(memo.Text(), "abcd\r\nabcd");
    EXPECT_FALSE(memo.BlockMode());
}

TEST(Undo, AnEmptyColumnBlockReplacedDoesNotJoinTheEditBeforeIt) {
    TCodeMemo memo;
    LoadText(memo, "abcd\r\nabcd");
    memo.SetSelStart(0);
    memo.SetSelText("x");
    // Columns 2 to 2 hold no characters: nothing is deleted, "|" is typed.
    memo.SelectAll();
    memo.SetBlock(2, 2);
    memo.SetSelText("|");
    const std::string afterBlock = memo.Text();
    memo.Undo();
    EXPECT_EQ(memo.Text(), "xabcd\r\nabcd");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "abcd\r\nabcd");
    memo.Redo();
    memo.Redo();
    EXPECT_EQ(memo.Text(), afterBlock);
}

// Random actions, some of them several grouped entries (column blocks,
// pasted blocks, the style-code clean-up), under small undo limits that
// keep dropping the oldest steps.  However the limits cut, undoing must only
// ever pass through texts the memo really had, newest first, and redoing
// must come back to the last one.
TEST(Undo, LimitsDropWholeStepsSoUndoOnlyReachesTextsThatExisted) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 60; ++round) {
        TCodeMemo memo;
        memo.SetStaticFormat(round % 2 == 0);
        // A code pair in every line: the first edit of a line cleans it up,
        // recording entries of its own.
        std::string text;
        for (int line = 0; line < 6; ++line)
            text += line == 0 ? "ab\x02\x02" "cdef" : "\r\nab\x02\x02" "cdef";
        LoadText(memo, text);
        memo.SetUndoMaxLevel(round % 4 == 1 ? 256 : 1 + static_cast<int32_t>(random() % 6));
        memo.SetUndoMaxSpace(round % 3 == 0 ? 40 + static_cast<int32_t>(random() % 200) : 1 << 20);
        std::vector<std::string> history{memo.Text()};
        for (int action = 0; action < 25; ++action) {
            const int32_t length = memo.TextLength();
            const auto at = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
            switch (random() % 5) {
            case 0:
                memo.SetSelStart(at);
                memo.SetSelText(std::string(1, "xyz\x02"[random() % 4]));
                break;
            case 1:
                memo.SetSelStart(at);
                memo.SetSelLength(static_cast<int32_t>(random() % 5));
                memo.SetSelText({});
                break;
            case 2: {
                memo.SetSelStart(at);
                memo.SetSelLength(static_cast<int32_t>(random() % 20));
                const auto column = static_cast<int32_t>(random() % 5);
                memo.SetBlock(column, column + static_cast<int32_t>(random() % 3));
                memo.SetSelText(random() % 2 ? "|" : "");
                break;
            }
            case 3:
                memo.SetSelStart(at);
                memo.PasteBlock("12\r\n34\r\n5");
                break;
            default:
                memo.Undo();
                break;
            }
            memo.CheckConsistency();
            history.push_back(memo.Text());
        }
        const std::string last = memo.Text();
        // Undo walks back through the history; each text it reaches lies at
        // or before the point the walk had come to.
        size_t reached = history.size() - 1;
        int undone = 0;
        while (memo.CanUndo()) {
            memo.Undo();
            ++undone;
            memo.CheckConsistency();
            size_t found = reached;
            while (found > 0 && history[found] != memo.Text())
                --found;
            ASSERT_EQ(history[found], memo.Text()) << "round " << round << ", undo " << undone;
            reached = found;
        }
        for (int i = 0; i < undone; ++i)
            memo.Redo();
        EXPECT_EQ(memo.Text(), last) << "round " << round;
    }
}

// The clean-up of style codes after a step of a larger edit records entries
// of its own (here for the pair already in the second line); the step's own
// entry must still join the edit, or undo stops half-way through it.
TEST(Undo, AColumnBlockWhoseLineTriggersTheCodeCleanUpUndoesInOneStep) {
    const std::string original = "abcdef\r\nab\x03\x03" "cdef";
    TCodeMemo memo;
    memo.SetStaticFormat(true);
    LoadText(memo, original);
    memo.SelectAll();
    memo.SetBlock(0, 1);
    memo.SetSelText("");
    ASSERT_EQ(memo.Text(), "bcdef\r\nbcdef");
    ASSERT_EQ(memo.UndoList().size(), 4u);
    memo.Undo();
    EXPECT_EQ(memo.Text(), original);
    EXPECT_FALSE(memo.CanUndo());
    memo.Redo();
    EXPECT_EQ(memo.Text(), "bcdef\r\nbcdef");
}
