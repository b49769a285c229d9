// Scroll bars, scroll requests, the wheel, the caret kept in view and the
// focus: 16-bit scroll positions for 100,000 lines, hidden bars with
// automatic scroll bars, wheel remainders, snapping to the top line.

#include "MemoWindow.h"

#include <QScrollBar>
#include <random>
#include <QWheelEvent>

namespace {
std::string NumberedLines(int count) {
    std::string text;
    text.reserve(static_cast<size_t>(count) * 10);
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}
} // namespace

class MemoScroll : public MemoWindow {};

TEST_F(MemoScroll, AHundredThousandLinesKeepTheBarWithin16Bits) {
    Make(ssVertical);
    memo->SetLineHeight(16);
    Load(NumberedLines(99999));
    ASSERT_EQ(memo->LineCount(), 100000);
    EXPECT_EQ(memo->VScrollUnit(), 49);
    TScrollInfo bar = memo->GetScrollInfo(SB_VERT);
    EXPECT_LT(bar.Max, 32760);
    EXPECT_EQ(bar.Max, 100000 * 16 / 49);
    // The thumb at its end shows the last lines.
    memo->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<unsigned>(bar.Max - bar.Page + 1)));
    EXPECT_GT(memo->TopLine(), 99980 - memo->VisibleLineCount());
    EXPECT_EQ(memo->GetScrollPos(SB_VERT), memo->TopPixel() / 49);
}

TEST_F(MemoScroll, TheWheelKeepsItsRemainder) {
    Load(NumberedLines(100));
    memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<unsigned>(-40) & 0xFFFF));
    EXPECT_EQ(memo->TopLine(), 1) << "40 times 3 is one notch: one line";
    EXPECT_EQ(memo->WheelAccumulator(), 0);
    memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<unsigned>(-30) & 0xFFFF));
    EXPECT_EQ(memo->TopLine(), 1);
    EXPECT_EQ(memo->WheelAccumulator(), -90);
    memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<unsigned>(-10) & 0xFFFF));
    EXPECT_EQ(memo->TopLine(), 2) << "the remainder counts";
    memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, 120));
    EXPECT_EQ(memo->TopLine(), 0) << "a notch up: three lines, not below the first";
    memo->MouseWheelFactor = 1;
    memo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<unsigned>(-240) & 0xFFFF));
    EXPECT_EQ(memo->TopLine(), 2);
}

// The wheel turned over either scroll bar scrolls the text as over the
// text: three lines a notch, whichever bar takes the platform's event.
TEST_F(MemoScroll, TheWheelOverAScrollBarScrollsLines) {
    Make(ssBoth);
    memo->SetWordWrap(false);
    Load(NumberedLines(100) + std::string(300, 'w'));
    for (QScrollBar* bar : {Widget()->verticalScrollBar(), Widget()->horizontalScrollBar()}) {
        ASSERT_TRUE(bar->isVisible());
        memo->SetTopLine(0);
        const QPointF center(bar->width() / 2.0, bar->height() / 2.0);
        for (int notch = 1; notch <= 4; ++notch) {
            QWheelEvent wheel(center, bar->mapToGlobal(center), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(bar, &wheel);
            EXPECT_EQ(memo->TopLine(), 3 * notch) << bar->orientation();
            EXPECT_EQ(memo->TopPixel(), 3 * notch * memo->LineHeight()) << "whole lines";
        }
        EXPECT_EQ(memo->LeftPixel(), 0);
    }
}

TEST_F(MemoScroll, AutomaticScrollBarsHideWhenTheTextFits) {
    Make(ssVertical);
    Load("short");
    EXPECT_FALSE(memo->ScrollBarVisible(SB_VERT));
    Load(NumberedLines(50));
    EXPECT_TRUE(memo->ScrollBarVisible(SB_VERT));
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Exclude(pmoAutoScrollBars));
    Load("short");
    EXPECT_TRUE(memo->ScrollBarVisible(SB_VERT)) << "without automatic bars the bar stays";
}

TEST_F(MemoScroll, WithWordWrapTheHorizontalBarNeverScrolls) {
    Make(ssBoth);
    Load(std::string(500, 'x') + " " + std::string(500, 'y'));
    EXPECT_FALSE(memo->ScrollBarVisible(SB_HORZ));
    memo->SetWordWrap(false);
    EXPECT_TRUE(memo->ScrollBarVisible(SB_HORZ));
    memo->Perform(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_GT(memo->LeftPixel(), 0);
    memo->SetWordWrap(true);
    EXPECT_EQ(memo->LeftPixel(), 0);
}

TEST_F(MemoScroll, LineUpFromAFractionalOffsetSnapsToTheTopLine) {
    memo->SetLineHeight(16);
    Load(NumberedLines(100));
    memo->SetTopPixel(24); // a line and a half
    EXPECT_EQ(memo->TopLine(), 1);
    memo->Perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(memo->TopPixel(), 16);
    memo->Perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(memo->TopPixel(), 0);
    memo->Perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(memo->TopPixel(), 0);
}

TEST_F(MemoScroll, PageRequestsMoveByTheWindowLessALine) {
    Load(NumberedLines(100));
    const int visible = memo->VisibleLineCount();
    memo->Perform(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(memo->TopLine(), visible - 1);
    memo->Perform(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(memo->TopLine(), 1);
    memo->Perform(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(memo->TopLine(), 0);
}

TEST_F(MemoScroll, ScrollingMovesThePixels) {
    Load(NumberedLines(100));
    QImage before = Paint();
    memo->SetTopLine(3);
    QImage after = Paint();
    // Line 3 is now where line 0 was: the band below moved up by 3 lines.
    for (int y = 0; y < 3 * kLineHeight; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(after.pixel(x, y), before.pixel(x, y + 3 * kLineHeight)) << x << "," << y;
}

TEST_F(MemoScroll, TheCaretStaysInViewWhileTyping) {
    Load(NumberedLines(30));
    memo->SetSelStart(memo->TextLength());
    Type("x");
    const int caretLine = memo->SelLine();
    EXPECT_LE(memo->TopLine(), caretLine);
    EXPECT_LE(memo->LineToY(caretLine - memo->TopLine()) + kLineHeight, memo->ClientHeight());
    memo->SetWordWrap(false);
    memo->SetSelStart(memo->TextLength());
    Type(QString(80, 'w'));
    EXPECT_GT(memo->LeftPixel(), 0) << "scrolled right in steps of five characters";
    EXPECT_EQ(memo->LeftPixel() % (5 * kCharWidth), 0);
    EXPECT_LT(memo->CaretX(), memo->ClientWidth());
    Key(Qt::Key_Home);
    EXPECT_EQ(memo->LeftPixel(), 0);
}

TEST_F(MemoScroll, CtrlEndInATextStillBeingFormattedShowsTheEndAndKeepsIt) {
    memo->SetUpdateMode(umBackground);
    // Paragraphs of several display lines each, none formatted yet.
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "paragraph " + std::to_string(i) + std::string(50, 'w') + " tail\r\n";
    LoadText(*memo, text + "last");
    ASSERT_TRUE(memo->BackgroundPending());
    Key(Qt::Key_End, Qt::ControlModifier);
    auto caretInView = [&] {
        const int32_t line = memo->SelLine();
        return memo->TopLine() <= line && line < memo->TopLine() + memo->VisibleLineCount();
    };
    EXPECT_TRUE(caretInView()) << memo->TopLine() << " " << memo->SelLine();
    EXPECT_FALSE(memo->Paragraph(1500)->Formatted) << "the jump waits for no paragraph far from the end";
    const int32_t topParagraph = memo->Document().ParagraphList().IndexOfLine(memo->TopLine());
    const int32_t linesBefore = memo->LineCount();
    for (int i = 0; i < 100000 && memo->BackgroundPending(); ++i)
        QApplication::processEvents();
    ASSERT_FALSE(memo->BackgroundPending());
    // The paragraphs above grew to several lines each; the view shows the
    // same text.
    EXPECT_GT(memo->LineCount(), linesBefore + 3000);
    EXPECT_TRUE(caretInView()) << memo->TopLine() << " " << memo->SelLine();
    EXPECT_EQ(memo->Document().ParagraphList().IndexOfLine(memo->TopLine()), topParagraph);
}

TEST_F(MemoScroll, FocusShowsAndHidesTheCaretAndTheSelection) {
    Load("abcdef");
    Select(*memo, 1, 4);
    EXPECT_TRUE(memo->Caret().Created);
    EXPECT_TRUE(memo->Caret().Shown());
    EXPECT_EQ(memo->Caret().Height, kLineHeight);
    memo->Perform(WM_KILLFOCUS);
    EXPECT_FALSE(memo->Caret().Created);
    memo->Perform(WM_SETFOCUS);
    EXPECT_TRUE(memo->Caret().Shown());
    EXPECT_EQ(memo->GetCaretPos().X, memo->LeftMargin() + kCharWidth);
}

TEST_F(MemoScroll, AutomaticCaretWidthFollowsTheLineHeight) {
    memo->SetLineHeight(16);
    memo->SetCaretWidth(0);
    EXPECT_EQ(memo->Caret().Width, 2);
    memo->SetCaretWidth(3);
    EXPECT_EQ(memo->Caret().Width, 3);
}

TEST_F(MemoScroll, ResizingRewrapsTheText) {
    Load(std::string(30, 'a') + " " + std::string(30, 'b') + " " + std::string(30, 'c'));
    const int32_t lines = memo->LineCount();
    memo->SetBounds(0, 0, 200, kHeight);
    QApplication::processEvents();
    EXPECT_EQ(memo->ClientWidth(), 200);
    EXPECT_GT(memo->LineCount(), lines);
    memo->CheckConsistency();
}

TEST_F(MemoScroll, TheHorizontalRangeShrinksWithTheWidestLine) {
    Make(ssBoth);
    memo->SetWordWrap(false);
    Load("short\r\n" + std::string(200, 'w') + "\r\nshort");
    EXPECT_TRUE(memo->ScrollBarVisible(SB_HORZ));
    EXPECT_EQ(memo->WidestLineWidth(), 200 * kCharWidth);
    // Shortening the widest line finds the new widest one.
    Select(*memo, memo->ParagraphStart(1) + 10, memo->ParagraphStart(1) + 200);
    memo->ClearSelection();
    EXPECT_EQ(memo->WidestLineWidth(), 10 * kCharWidth);
    EXPECT_FALSE(memo->ScrollBarVisible(SB_HORZ));
    // Typing elsewhere keeps it.
    memo->SetSelStart(2);
    memo->SetSelText("ab");
    EXPECT_EQ(memo->WidestLineWidth(), 10 * kCharWidth);
}

TEST_F(MemoScroll, SwitchingAutomaticScrollBarsShowsTheBar) {
    Make(ssVertical);
    Load("short");
    EXPECT_FALSE(memo->ScrollBarVisible(SB_VERT));
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Exclude(pmoAutoScrollBars));
    EXPECT_TRUE(memo->ScrollBarVisible(SB_VERT));
}

namespace {

// The display lines of a memo, as the offsets where each starts, and
// whether its vertical bar shows.
std::string LayoutOf(TCodeMemo& memo) {
    memo.FormatPending();
    std::string layout = memo.ScrollBarVisible(SB_VERT) ? "bar:" : "no bar:";
    for (int32_t p = 0; p < memo.ParagraphCount(); ++p)
        for (int32_t line = 0; line < memo.Paragraph(p)->LineCount(); ++line)
            layout += " " + std::to_string(memo.ParagraphStart(p) + memo.Paragraph(p)->Line(line).Start);
    return layout;
}

} // namespace

// With word wrap and an automatic bar, a text wraps the same at the same
// window size whatever sizes and texts the window went through: a text
// that fits only without the bar shows without it.  Random words, the
// text growing a word at a time through a screen's worth, each text shown
// after a random history of sizes and compared with a window opened at the
// last size.
TEST_F(MemoScroll, WrappedTextLaysOutTheSameAtTheSameSizeWhateverTheHistory) {
    std::mt19937 random(396);
    const int height = 4 * kLineHeight;
    for (int round = 0; round < 6; ++round) {
        const int width = 150 + static_cast<int>(random() % 300);
        std::string text;
        while (text.size() < static_cast<size_t>(width / 2)) {
            text += std::string(1 + random() % 9, static_cast<char>('a' + random() % 26)) + (random() % 12 ? " " : "\r\n");
            Make(ssVertical, bsNone, width, height);
            memo->SetWordWrap(true);
            Load(text);
            const std::string fresh = LayoutOf(*memo);

            Make(ssVertical, bsNone, 60 + static_cast<int>(random() % 100), height);
            memo->SetWordWrap(true);
            Load(text);
            for (int step = 0; step < 2; ++step) {
                memo->SetBounds(0, 0, 60 + static_cast<int>(random() % 500), height);
                QApplication::processEvents();
            }
            memo->SetBounds(0, 0, width, height);
            QApplication::processEvents();
            ASSERT_EQ(LayoutOf(*memo), fresh) << "round " << round << ", width " << width << ", text " << text;
        }
    }
}
