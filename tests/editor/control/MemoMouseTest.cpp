// Mouse input: placing the caret, selecting by characters, by whole lines
// from the margin, by words after a double click and as a column block;
// dragging the selection (moved in one undo step, copied with Ctrl, nothing
// when dropped outside); clicks into contexts; the popup menus; and
// auto-scrolling paced by a timer of a manual clock.

#include "MemoWindow.h"

#include "platform/gfx/Clipboard.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/TickSource.h"
#include "tests/platform/ui/ScriptedPopupMenus.h"

#include <vector>

class MemoMouse : public MemoWindow {
protected:
    LPARAM At(QPoint p) { return PointToLParam({p.x(), p.y()}); }
    void Press(QPoint p, unsigned keys = MK_LBUTTON) { memo->Perform(WM_LBUTTONDOWN, keys | MK_LBUTTON, At(p)); }
    void DoubleClickAt(QPoint p) {
        Press(p);
        Release(p);
        memo->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
    }
    void Move(QPoint p, unsigned keys = MK_LBUTTON) { memo->Perform(WM_MOUSEMOVE, keys, At(p)); }
    void Release(QPoint p, unsigned keys = 0) { memo->Perform(WM_LBUTTONUP, keys, At(p)); }
    // Between two characters: the left edge of the character at column.
    static QPoint Edge(int column, int line) {
        return QPoint(8 + column * kCharWidth, line * kLineHeight + kLineHeight / 2);
    }
};

TEST_F(MemoMouse, AClickPlacesTheCaretOnTheNearerSideOfACharacter) {
    Load("abcdef\r\nsecond");
    Click(QPoint(8 + 2 * kCharWidth + 1, 3));
    EXPECT_EQ(memo->SelStart(), 2);
    Click(QPoint(8 + 2 * kCharWidth + kCharWidth - 2, 3));
    EXPECT_EQ(memo->SelStart(), 3);
    Click(QPoint(300, kLineHeight + 3));
    EXPECT_EQ(memo->SelStart(), 14) << "right of a line: its end";
    Click(QPoint(50, 8 * kLineHeight));
    EXPECT_EQ(memo->SelStart(), 14) << "below the text: the text's end";
}

TEST_F(MemoMouse, DraggingSelectsAndShiftClickExtends) {
    Load("abcdef\r\nsecond");
    Press(Edge(1, 0));
    Move(Edge(3, 1));
    Release(Edge(3, 1));
    EXPECT_EQ(memo->SelText(), "bcdef\r\nsec");
    EXPECT_EQ(memo->SelStart(), 11) << "the caret follows the pointer";
    Press(Edge(0, 0));
    Release(Edge(0, 0));
    Press(Edge(4, 0), MK_SHIFT);
    Release(Edge(4, 0));
    EXPECT_EQ(memo->SelText(), "abcd");
}

TEST_F(MemoMouse, APressInTheMarginSelectsWholeLines) {
    Load("abc\r\ndef\r\nghi");
    QPoint margin(2, kLineHeight / 2);
    Move(margin, 0);
    EXPECT_EQ(memo->MarginLine(), 0);
    Press(margin);
    EXPECT_EQ(memo->SelText(), "abc\r\n") << "the line with its break";
    Move(QPoint(2, kLineHeight + kLineHeight / 2));
    EXPECT_EQ(memo->SelText(), "abc\r\ndef\r\n");
    Move(QPoint(2, 2 * kLineHeight + kLineHeight / 2));
    EXPECT_EQ(memo->SelText(), "abc\r\ndef\r\nghi");
    Release(QPoint(2, 2 * kLineHeight + kLineHeight / 2));
    // From a lower anchor upwards.
    Move(QPoint(2, kLineHeight + 2), 0);
    Press(QPoint(2, kLineHeight + 2));
    Move(QPoint(2, 2));
    EXPECT_EQ(memo->SelText(), "abc\r\ndef\r\n");
    EXPECT_EQ(memo->SelStart(), 0) << "the caret at the pointer's line";
    Release(QPoint(2, 2));
}

TEST_F(MemoMouse, ADoubleClickSelectsAWordAndDraggingExtendsByWords) {
    Load("alpha beta gamma delta");
    DoubleClickAt(Edge(13, 0));
    EXPECT_EQ(memo->SelText(), "gamma");
    Move(Edge(19, 0));
    EXPECT_EQ(memo->SelText(), "gamma delta");
    Move(Edge(2, 0));
    EXPECT_EQ(memo->SelText(), "alpha beta gamma delta");
    Release(Edge(2, 0));
    DoubleClickAt(Edge(5, 0) + QPoint(1, 0));
    EXPECT_EQ(memo->SelText(), "alpha") << "on a separator: the word before it";
    Release(Edge(5, 0));
}

TEST_F(MemoMouse, AltClickStartsAColumnBlock) {
    memo->SetWordWrap(false);
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoBlockSelection));
    Load("abcdefgh\r\nabcdefgh\r\nabcdefgh");
    SetKeyDown(VK_MENU, true);
    Press(Edge(2, 0));
    SetKeyDown(VK_MENU, false);
    ASSERT_TRUE(memo->BlockMode());
    EXPECT_EQ(memo->BlockColumn1(), 2);
    Move(Edge(5, 2));
    Release(Edge(5, 2));
    EXPECT_EQ(memo->BlockColumn2(), 5);
    EXPECT_EQ(memo->SelText(), "cde\r\ncde\r\ncde\r\n");
}

TEST_F(MemoMouse, DraggingTheSelectionMovesItInOneUndoStep) {
    Load("hello world");
    Select(*memo, 0, 5);
    Move(Edge(2, 0), 0);
    ASSERT_EQ(memo->Cursor(), crArrow) << "over the selection";
    Press(Edge(2, 0));
    EXPECT_TRUE(memo->Dragging());
    EXPECT_EQ(ScreenCursor(), crDrag);
    Move(Edge(11, 0));
    Release(Edge(11, 0));
    EXPECT_FALSE(memo->Dragging());
    EXPECT_EQ(ScreenCursor(), crDefault);
    EXPECT_EQ(memo->Text(), " worldhello");
    EXPECT_EQ(memo->SelText(), "hello");
    memo->Undo();
    EXPECT_EQ(memo->Text(), "hello world");
    memo->Redo();
    EXPECT_EQ(memo->Text(), " worldhello");
}

TEST_F(MemoMouse, CtrlCopiesTheDraggedText) {
    Load("hello world");
    Select(*memo, 0, 5);
    Move(Edge(2, 0), 0);
    Press(Edge(2, 0));
    Move(Edge(11, 0), MK_LBUTTON | MK_CONTROL);
    Release(Edge(11, 0), MK_CONTROL);
    EXPECT_EQ(memo->Text(), "hello worldhello");
    memo->Undo();
    EXPECT_EQ(memo->Text(), "hello world");
}

TEST_F(MemoMouse, ADropOutsideTheWindowChangesNothing) {
    Load("hello world");
    Select(*memo, 0, 5);
    Move(Edge(2, 0), 0);
    Press(Edge(2, 0));
    Move(QPoint(-40, 5));
    EXPECT_EQ(ScreenCursor(), crNoDrop);
    EXPECT_EQ(memo->AutoScrollDirection(), 0) << "too far out to scroll";
    Release(QPoint(-40, 5));
    EXPECT_EQ(memo->Text(), "hello world");
    EXPECT_EQ(ScreenCursor(), crDefault);
}

TEST_F(MemoMouse, AClickIntoTheSelectionWithoutMovingPlacesTheCaret) {
    Load("hello world");
    Select(*memo, 0, 5);
    Move(Edge(2, 0), 0);
    Press(Edge(2, 0));
    Release(Edge(2, 0));
    EXPECT_EQ(memo->Text(), "hello world");
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_EQ(memo->SelStart(), 2);
}

TEST_F(MemoMouse, ClicksIntoAContextReportItAndShowNoMenu) {
    TScriptedPopupMenus menus;
    Load("click here now");
    TContextRecord context;
    context.Offset = 6;
    context.Flags = TContextRecord::kStyled;
    context.ContextNumber = 7;
    context.Tag = static_cast<uint16_t>(crHandPoint);
    TContextRecord after;
    after.Offset = 10;
    memo->Paragraph(0)->Contexts = {context, after};
    std::vector<std::tuple<int, int, int>> clicks;
    memo->OnContext = [&](TCodeMemo*, int32_t number, int32_t start, int32_t stop) {
        clicks.emplace_back(number, start, stop);
    };
    Move(Edge(7, 0), 0);
    EXPECT_EQ(memo->Cursor(), crHandPoint) << "the context's cursor";
    Press(Edge(7, 0));
    Release(Edge(7, 0));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_tuple(7, 6, 10));
    Click(Edge(8, 0), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(menus.Shown, 0) << "a right click into a context shows no menu";
    Move(Edge(2, 0), 0);
    EXPECT_EQ(memo->Cursor(), crIBeam) << "the memo's own cursor again";
    Press(Edge(7, 0));
    Move(Edge(12, 0));
    Release(Edge(12, 0));
    EXPECT_EQ(clicks.size(), 2u) << "a drag is no click";
}

TEST_F(MemoMouse, TheDefaultMenuFollowsTheState) {
    TScriptedPopupMenus menus;
    Load("abc");
    memo->ReadOnly = true;
    Select(*memo, 0, 2);
    Clipboard().SetAsText("x");
    Click(Edge(1, 0), Qt::NoModifier, Qt::RightButton);
    ASSERT_EQ(menus.Shown, 1);
    ASSERT_EQ(menus.Items.size(), 8u);
    EXPECT_EQ(menus.Items[0].first, "&Undo");
    EXPECT_EQ(menus.Items[7].first, "&Select all");
    EXPECT_FALSE(menus.Enabled("Cu&t"));
    EXPECT_FALSE(menus.Enabled("&Paste"));
    EXPECT_TRUE(menus.Enabled("&Copy"));
    EXPECT_FALSE(menus.Enabled("&Undo"));
    memo->ReadOnly = false;
    menus.Choose = "&Select all";
    Click(Edge(1, 0), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(menus.Shown, 2);
    EXPECT_TRUE(menus.Enabled("&Paste"));
    EXPECT_EQ(memo->SelLength(), -3) << "Select all was chosen";
}

TEST_F(MemoMouse, EachDefaultMenuItemRunsItsCommand) {
    TScriptedPopupMenus menus;
    Load("hello world");
    auto choose = [&](const char* caption) {
        menus.Choose = caption;
        Click(Edge(11, 0), Qt::NoModifier, Qt::RightButton);
    };
    Select(*memo, 0, 5);
    choose("&Copy");
    EXPECT_EQ(Clipboard().AsText(), "hello");
    EXPECT_EQ(memo->Text(), "hello world");
    Clipboard().SetAsText("x");
    choose("Cu&t");
    EXPECT_EQ(memo->Text(), " world");
    EXPECT_EQ(Clipboard().AsText(), "hello");
    choose("&Undo");
    EXPECT_EQ(memo->Text(), "hello world");
    choose("&Redo");
    EXPECT_EQ(memo->Text(), " world");
    memo->SetSelStart(memo->TextLength());
    choose("&Paste");
    EXPECT_EQ(memo->Text(), " worldhello");
    choose("&Select all");
    EXPECT_EQ(memo->SelText(), " worldhello");
    EXPECT_EQ(menus.Shown, 6);
}

TEST_F(MemoMouse, AMemoWithItsOwnMenuShowsThatOne) {
    TScriptedPopupMenus menus;
    Load("abc");
    TPopupMenu own;
    own.Add("Own item");
    memo->SetPopupMenu(&own);
    Click(Edge(1, 0), Qt::NoModifier, Qt::RightButton);
    ASSERT_EQ(menus.Shown, 1);
    ASSERT_EQ(menus.Items.size(), 1u);
    EXPECT_EQ(menus.Items[0].first, "Own item");
    EXPECT_EQ(memo->DefaultPopup(), nullptr);
    memo->SetPopupMenu(nullptr);
}

class MemoAutoScroll : public MemoMouse {
protected:
    void SetUp() override {
        SetTickSource(&clock);
        MemoMouse::SetUp();
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        Load(text);
    }
    void TearDown() override {
        MemoMouse::TearDown();
        SetTickSource(nullptr);
    }
    TManualTickSource clock;
};

TEST_F(MemoAutoScroll, APointerBelowTheWindowScrollsAtItsPace) {
    Press(Edge(1, 1));
    Move(QPoint(20, kHeight + 10)); // 10 pixels out: speed 3, 200 ms a step
    EXPECT_EQ(memo->AutoScrollDirection(), 2);
    EXPECT_EQ(memo->TopLine(), 1) << "the first step at once";
    clock.Advance(199);
    EXPECT_EQ(memo->TopLine(), 1);
    clock.Advance(1);
    EXPECT_EQ(memo->TopLine(), 2);
    EXPECT_EQ(memo->SelStart(), memo->SelEndNavigator().Pos()) << "the selection follows";
    EXPECT_GT(memo->SelLength(), 0 - 1000);
    Move(QPoint(20, kHeight + 1)); // 1 pixel out: slowest pace, but it still scrolls
    clock.Advance(400);
    EXPECT_EQ(memo->TopLine(), 3);
    Release(QPoint(20, kHeight + 1));
    EXPECT_EQ(memo->AutoScrollDirection(), 0);
    const int32_t top = memo->TopLine(); // the caret was scrolled into view
    clock.Advance(2000);
    EXPECT_EQ(memo->TopLine(), top) << "stopped with the release";
}

TEST_F(MemoAutoScroll, FreeingTheMemoWhileItScrollsIsHarmless) {
    Press(Edge(1, 1));
    Move(QPoint(20, -20));
    memo->SetTopLine(5);
    memo.reset();
    clock.Advance(5000);
    SUCCEED();
}

TEST_F(MemoMouse, AQtMouseDragThroughTheWindowSelects) {
    Load("abcdef\r\nsecond");
    QTest::mousePress(Client(), Qt::LeftButton, Qt::NoModifier, Edge(1, 0));
    QTest::mouseMove(Client(), Edge(4, 1));
    QTest::mouseRelease(Client(), Qt::LeftButton, Qt::NoModifier, Edge(4, 1));
    EXPECT_EQ(memo->SelText(), "bcdef\r\nseco");
    // A double click is a click and then the double click.
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, Edge(8, 1));
    QTest::mouseDClick(Client(), Qt::LeftButton, Qt::NoModifier, Edge(8, 1));
    EXPECT_EQ(memo->SelText(), "second");
}
