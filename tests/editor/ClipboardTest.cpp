// Clipboard operations need a GUI application (offscreen).

#include "editor/CodeMemo.h"
#include "MemoTestSupport.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include "platform/gfx/Clipboard.h"

#include <gtest/gtest.h>

TEST(MemoClipboard, CopyCutAndPastePlainText) {
    TCodeMemo memo;
    LoadText(memo, "one two\r\nthree");
    Select(memo, 4, 11);
    memo.CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "two\r\nth");
    EXPECT_FALSE(Clipboard().HasFormat(TCodeMemo::BlockClipboardFormat()));
    memo.CutToClipboard();
    EXPECT_EQ(memo.Text(), "one ree");
    memo.SetSelStart(0);
    memo.PasteFromClipboard();
    EXPECT_EQ(memo.Text(), "two\r\nthone ree");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "one ree");
}

TEST(MemoClipboard, NothingSelectedCopiesNothing) {
    Clipboard().SetAsText("kept");
    TCodeMemo memo;
    LoadText(memo, "abc");
    memo.CopyToClipboard();
    memo.CutToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "kept");
    EXPECT_EQ(memo.Text(), "abc");
}

TEST(MemoClipboard, PlainClipboardStripsEveryStyleCode) {
    TCodeMemo memo;
    memo.SetOptions(memo.Options().Include(pmoPlainClipboard));
    LoadText(memo, "a\x02" "b\x02");
    memo.SelectAll();
    memo.CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "ab");
}

TEST(MemoClipboard, PasteStartsItsOwnUndoEntry) {
    Clipboard().SetAsText("P");
    TCodeMemo memo;
    memo.SetSelText("a");
    memo.PasteFromClipboard();
    memo.SetSelText("b");
    EXPECT_EQ(memo.Text(), "aPb");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "aP");
    memo.Undo();
    EXPECT_EQ(memo.Text(), "a");
}

TEST(MemoClipboard, ColumnBlocksTravelAsBlocks) {
    TCodeMemo source;
    LoadText(source, "abcdef\r\nabcdef");
    source.SelectAll();
    source.SetBlock(1, 3);
    source.CopyToClipboard();
    EXPECT_TRUE(Clipboard().HasFormat(TCodeMemo::BlockClipboardFormat()));
    EXPECT_EQ(Clipboard().AsText(), "bc\r\nbc\r\n");

    TCodeMemo target;
    target.SetOptions(target.Options().Include(pmoBlockSelection));
    LoadText(target, "x\r\n0123456789");
    target.SetSelStart(target.ParagraphStart(1) + 4);
    target.PasteFromClipboard();
    EXPECT_EQ(target.Text(), "x\r\n0123bc456789\r\n    bc");
    target.Undo();
    EXPECT_EQ(target.Text(), "x\r\n0123456789");

    // Pasting a block at a column beyond a short line pads that line.
    LoadText(target, "0123456789\r\nab\r\n");
    target.SetSelStart(6);
    target.PasteFromClipboard();
    EXPECT_EQ(target.Text(), "012345bc6789\r\nab    bc\r\n");

    // Without block selection the same clipboard pastes as text.
    TCodeMemo plain;
    plain.PasteFromClipboard();
    EXPECT_EQ(plain.Text(), "bc\r\nbc\r\n");
}
