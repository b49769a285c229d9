// Pasting a column block into a shown memo: the block goes to the caret's
// pixel column, paragraphs are appended as the block needs them, and the
// caret, after the block's last line, is scrolled into view.

#include "MemoWindow.h"

class MemoBlockPaste : public MemoWindow {};

TEST_F(MemoBlockPaste, TheCaretAfterTheBlockIsScrolledIntoView) {
    std::string text;
    for (int i = 0; i < 9; ++i)
        text += i == 0 ? "a" : "\r\na";
    Load(text);
    memo->SetSelStart(memo->ParagraphStart(7));
    memo->PasteBlock("x\r\ny\r\nz\r\nw\r\nv\r\n");
    ASSERT_EQ(memo->ParagraphCount(), 12);
    EXPECT_EQ(memo->Paragraphs().Get(7), "xa");
    EXPECT_EQ(memo->Paragraphs().Get(8), "ya");
    EXPECT_EQ(memo->Paragraphs().Get(11), "v");
    const int caretLine = memo->SelLine();
    EXPECT_EQ(caretLine, 11);
    EXPECT_LE(memo->TopLine(), caretLine);
    EXPECT_LE(memo->LineToY(caretLine - memo->TopLine()) + kLineHeight, memo->ClientHeight());
    memo->CheckConsistency();
}

TEST_F(MemoBlockPaste, TheBlockGoesToTheCaretsColumnInVirtualSpace) {
    Load("abcdef\r\nab\r\nabcdef");
    // The caret stands three columns past the end of the short line.
    memo->SetSelStart(memo->ParagraphStart(1) + 2);
    memo->SetVirtualColumns(3);
    memo->CaretUpdate();
    memo->PasteBlock("X\r\nY\r\n");
    EXPECT_EQ(memo->Paragraphs().Get(1), "ab   X");
    EXPECT_EQ(memo->Paragraphs().Get(2), "abcdeYf");
    memo->Undo();
    EXPECT_EQ(memo->Text(), "abcdef\r\nab\r\nabcdef") << "the block comes and goes in one step";
}
