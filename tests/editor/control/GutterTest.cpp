// The line-number and bookmark gutter beside a memo on a form: bookmarks
// toggled and moved by Ctrl+Shift+digit follow edits, Ctrl+digit jumps,
// numbers follow word wrap (and paragraphs), a bookmark hides its line's
// number, the gutter repaints only when what it shows changed.

#include "MemoWindow.h"

#include "editor/CodeGutter.h"
#include "platform/gfx/QtBridge.h"

#include <QScreen>

#include <random>

namespace {

// A form that paints its windowless children.
class THost : public TCustomControl {
public:
    THost() { SetColor(clBtnFace); }

protected:
    void Paint() override {
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(Canvas().ClipRect());
    }
};

class TCountingGutter : public TCodeGutter {
public:
    using TCodeGutter::TCodeGutter;
    int Invalidations = 0;
    void Invalidate() override {
        ++Invalidations;
        TCodeGutter::Invalidate();
    }
};

constexpr int kGutterWidth = 40;

} // namespace

class Gutter : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<THost>();
        host->SetBounds(0, 0, kGutterWidth + 300, 10 * kLineHeight);
        memo = new TCodeMemo(host.get());
        memo->SetParent(host.get());
        memo->SetBorderStyle(bsNone);
        memo->SetScrollBars(ssNone);
        memo->SetUpdateMode(umImmediate);
        memo->SetBounds(kGutterWidth, 0, 300, 10 * kLineHeight);
        gutter = new TCountingGutter(host.get());
        gutter->SetParent(host.get());
        gutter->SetBounds(0, 0, kGutterWidth, 10 * kLineHeight);
        gutter->SetColor(clBtnFace);
        gutter->SetCodeMemo(memo);
        host->Show();
        ASSERT_TRUE(memo->HandleAllocated());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(static_cast<QWidget*>(host->Peer()->NativeWidget())->window()));
        memo->SetFocus();
    }
    void TearDown() override { host.reset(); }

    QWidget* MemoWidget() { return static_cast<TWidgetPeer*>(memo->Peer())->Widget(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(MemoWidget(), key, modifiers);
    }
    void Load(std::string_view text) {
        LoadText(*memo, text);
        QApplication::processEvents();
    }
    QImage Paint() { return PaintedImage(*host, host->Width(), host->Height()); }
    // The gutter's band of a display line (without its edge lines).
    static QImage Band(const QImage& image, int line) {
        return image.copy(0, line * kLineHeight, kGutterWidth - 2, kLineHeight);
    }
    static bool HasInk(const QImage& band) {
        const QRgb face = ToQRgb(clBtnFace);
        for (int y = 0; y < band.height(); ++y)
            for (int x = 0; x < band.width(); ++x)
                if (band.pixel(x, y) != face)
                    return true;
        return false;
    }

    std::unique_ptr<THost> host;
    TCodeMemo* memo = nullptr;
    TCountingGutter* gutter = nullptr;
};

TEST_F(Gutter, CtrlShiftDigitTogglesAndMovesBookmarks) {
    Load("zero\r\none\r\ntwo\r\nthree\r\nfour");
    memo->SetSelLine(1);
    Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(gutter->BookmarkLine(3), 1);
    EXPECT_EQ(gutter->FindBookmark(1), 3);
    memo->SetSelLine(3);
    Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(gutter->BookmarkLine(3), 3) << "moved from another line";
    EXPECT_EQ(gutter->FindBookmark(1), -1);
    memo->SetSelLine(2);
    Key(Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(gutter->BookmarkLine(3), 3) << "a line holding bookmark 5 takes no other";
    memo->SetSelLine(3);
    Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(gutter->BookmarkLine(3), -1) << "removed from its own line";
    EXPECT_FALSE(gutter->ToggleBookmark(0, 10));
    EXPECT_FALSE(gutter->ToggleBookmark(0, -1));
    EXPECT_FALSE(gutter->ToggleBookmark(0, 128 + 3)) << "only 0 to 9";
}

TEST_F(Gutter, CtrlDigitJumpsToABookmarkThatFollowsEdits) {
    Load("zero\r\none\r\ntwo\r\nthree\r\nfour");
    ASSERT_TRUE(gutter->ToggleBookmark(3, 7));
    memo->SetSelStart(0);
    Key(Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(memo->SelStart(), 0) << "bookmark 4 is not set";
    memo->SetSelStart(0);
    memo->SetSelText("new\r\nnew\r\n");
    EXPECT_EQ(gutter->BookmarkLine(7), 5) << "the bookmark moved down with its line";
    Key(Qt::Key_7, Qt::ControlModifier);
    EXPECT_EQ(memo->SelLine(), 5);
    EXPECT_EQ(memo->SelText(), "") << "the jump selects nothing";
    // Deleting the bookmarked line's text puts it on the line that replaced it.
    Select(*memo, memo->ParagraphStart(4), memo->ParagraphStart(6));
    memo->ClearSelection();
    EXPECT_EQ(gutter->BookmarkLine(7), 4);
}

TEST_F(Gutter, NumbersFollowWordWrapAndParagraphs) {
    std::string longParagraph;
    for (int i = 0; i < 20; ++i)
        longParagraph += "word ";
    Load("first\r\n" + longParagraph + "\r\nlast");
    ASSERT_GE(memo->Paragraph(1)->LineCount(), 3);
    const int lines = memo->LineCount();
    QImage numbered = Paint();
    for (int line = 0; line < lines; ++line)
        EXPECT_TRUE(HasInk(Band(numbered, line))) << "display line " << line << " has its number";
    EXPECT_FALSE(HasInk(Band(numbered, lines))) << "nothing below the text";
    // Display lines 1 and 2 both start with "word": their numbers differ.
    EXPECT_NE(Band(numbered, 1), Band(numbered, 2));
    gutter->SetParagraphNumbers(true);
    QImage paragraphs = Paint();
    EXPECT_TRUE(HasInk(Band(paragraphs, 1)));
    EXPECT_FALSE(HasInk(Band(paragraphs, 2))) << "a wrapped paragraph is numbered once";
    EXPECT_TRUE(HasInk(Band(paragraphs, lines - 1)));
    EXPECT_EQ(Band(paragraphs, 0), Band(numbered, 0)) << "\"1\" either way";
    EXPECT_EQ(Band(paragraphs, lines - 1), Band(numbered, 2)) << "the third paragraph is numbered 3";
    gutter->SetLineNumbers(false);
    EXPECT_FALSE(HasInk(Band(Paint(), 0)));
}

TEST_F(Gutter, ABookmarkHidesItsLinesNumber) {
    Load("a\r\nb\r\nc");
    QImage before = Paint();
    gutter->ToggleBookmark(1, 2);
    QImage after = Paint();
    EXPECT_NE(Band(after, 1), Band(before, 1));
    EXPECT_EQ(Band(after, 0), Band(before, 0));
    // The icon's own colours, and no black digit.
    QImage band = Band(after, 1);
    bool icon = false, black = false;
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x) {
            icon |= band.pixel(x, y) == qRgb(0, 0, 128);
            black |= band.pixel(x, y) == qRgb(0, 0, 0);
        }
    EXPECT_TRUE(icon);
    EXPECT_FALSE(black);
}

TEST_F(Gutter, TypingThatMovesNoLineDoesNotRepaint) {
    Load("abc\r\ndef");
    gutter->ToggleBookmark(1, 0);
    Paint();
    gutter->Invalidations = 0;
    memo->SetSelStart(1);
    QTest::keyClicks(MemoWidget(), "xy");
    EXPECT_EQ(gutter->Invalidations, 0);
    Key(Qt::Key_Return);
    EXPECT_GT(gutter->Invalidations, 0) << "a new line";
    Paint();
    gutter->Invalidations = 0;
    memo->SetSelStart(0);
    memo->SetSelText("\r\n");
    EXPECT_GT(gutter->Invalidations, 0);
}

TEST_F(Gutter, ScrollingMovesTheNumbers) {
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line\r\n";
    Load(text);
    QImage before = Paint();
    memo->SetTopLine(5);
    QImage after = Paint();
    EXPECT_EQ(Band(after, 0), Band(before, 5)) << "line 6 is at the top";
}

TEST_F(Gutter, AFreedMemoLeavesTheGutterEmpty) {
    Load("a\r\nb");
    gutter->ToggleBookmark(1, 1);
    delete memo;
    memo = nullptr;
    EXPECT_EQ(gutter->CodeMemo(), nullptr);
    EXPECT_EQ(gutter->BookmarkLine(1), -1);
    QImage image = Paint();
    EXPECT_FALSE(HasInk(Band(image, 0)));
}

TEST_F(Gutter, TheWindowShowsWhatAFreshPaintDrawsAfterScrollsAndEdits) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "line " + std::to_string(i) + (i % 4 == 0 ? " that is long enough to wrap in a narrow memo" : "") +
                "\r\n";
    Load(text);
    gutter->ToggleBookmark(3, 1);
    gutter->ToggleBookmark(20, 2);
    std::mt19937 random(5);
    auto gutterArea = [](const QImage& image) { return image.copy(0, 0, kGutterWidth, 10 * kLineHeight); };
    for (int step = 0; step < 60; ++step) {
        switch (random() % 5) {
        case 0:
            memo->SetTopLine(static_cast<int32_t>(random() % memo->LineCount()));
            break;
        case 1:
            memo->Perform(WM_VSCROLL, random() % 2 ? SB_LINEDOWN : SB_LINEUP);
            break;
        case 2:
            memo->SetTopPixel(static_cast<int32_t>(random() % (memo->LineCount() * kLineHeight)));
            break;
        case 3:
            memo->SetSelStart(static_cast<int32_t>(random() % memo->TextLength()));
            memo->SetSelText(random() % 2 ? "\r\n" : "x");
            break;
        default:
            memo->SetSelStart(static_cast<int32_t>(random() % memo->TextLength()));
            memo->SetSelLength(-2);
            memo->ClearSelection();
            break;
        }
        QApplication::processEvents();
        QWidget* window = static_cast<QWidget*>(host->Peer()->NativeWidget())->window();
        QImage shown = gutterArea(
            QGuiApplication::primaryScreen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32));
        QImage fresh = gutterArea(Paint());
        ASSERT_TRUE(shown == fresh) << "step " << step;
    }
}

// Display lines that word wrap adds or takes away, with no change of the
// text: switching wrapping, narrowing or widening the memo, another font
// size.  After each step (and edits and scrolls between them) the window
// shows what a fresh paint draws, and every display line in view has its
// number.
TEST_F(Gutter, NumbersFollowTheLinesThatWrappingAddsOrTakesAway) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "p" + std::to_string(i) + (i % 3 == 0 ? " a paragraph that wraps into more lines when narrow" : "") +
                "\r\n";
    Load(text);
    gutter->ToggleBookmark(2, 4);
    std::mt19937 random(1120);
    QWidget* window = static_cast<QWidget*>(host->Peer()->NativeWidget())->window();
    const int visible = 10;
    for (int step = 0; step < 50; ++step) {
        std::string what;
        switch (random() % 6) {
        case 0:
            memo->SetWordWrap(!memo->WordWrap());
            what = "wrap";
            break;
        case 1:
            memo->SetWidth(120 + static_cast<int>(random() % 180));
            what = "width";
            break;
        case 2:
            memo->Font().SetSize(memo->Font().Size() == 10 ? 8 : 10);
            what = "font";
            break;
        case 3:
            memo->SetTopLine(static_cast<int32_t>(random() % memo->LineCount()));
            what = "scroll";
            break;
        case 4:
            memo->SetSelStart(static_cast<int32_t>(random() % memo->TextLength()));
            memo->SetSelText(random() % 2 ? "\r\n" : " more words");
            what = "edit";
            break;
        default:
            QApplication::processEvents();
            what = "background";
            break;
        }
        QApplication::processEvents();
        const QImage shown = QGuiApplication::primaryScreen()
                                 ->grabWindow(window->winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32)
                                 .copy(0, 0, kGutterWidth, visible * kLineHeight);
        const QImage fresh = Paint();
        ASSERT_TRUE(shown == fresh.copy(0, 0, kGutterWidth, visible * kLineHeight)) << what << ", step " << step;
        const int32_t top = memo->TopLine();
        for (int row = 0; row < visible && top + row < memo->LineCount(); ++row)
            ASSERT_TRUE(HasInk(Band(fresh, row))) << "display line " << top + row << " unnumbered after " << what;
    }
}

// The gutter is made as wide as the highest number needs when wrapping
// adds a digit to it, not only when the text changes.
TEST_F(Gutter, WrappingThatAddsADigitWidensTheGutter) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "paragraph " + std::to_string(i) + " with words enough to take two lines\r\n";
    memo->SetWordWrap(false);
    Load(text);
    ASSERT_LT(memo->LineCount(), 100);
    gutter->Canvas().SetFont(gutter->Font());
    const int digit = gutter->Canvas().TextWidth("0");
    gutter->SetWidth(2 * digit + 4);
    memo->SetWordWrap(true);
    for (int i = 0; i < 20 && memo->LineCount() < 100; ++i)
        QApplication::processEvents();
    ASSERT_GE(memo->LineCount(), 100);
    QApplication::processEvents();
    EXPECT_GE(gutter->Width(), 3 * digit + 4) << "three digits fit";
    memo->SetWordWrap(false);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(gutter->Width(), 2 * digit + 4) << "and back to its own width";
}
