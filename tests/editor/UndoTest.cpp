#include "editor/CodeMemo.h"
#include "MemoTestSupport.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

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
