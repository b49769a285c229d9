// Painting, checked on pixels: the selection (inverted, and in the Windows
// colours), the end-of-paragraph mark, full-line selection, hidden
// selection, blanks of wrapped lines, tabs in a coloured run, contexts with
// the special underline, the end-of-text mark and paints held back during
// an update.

#include "MemoWindow.h"
#include "editor/EditorClasses.h"
#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/gfx/QtBridge.h"

#include <random>

namespace {

const QRgb kWhite = 0xFFFFFFFFu;
const QRgb kBlack = 0xFF000000u;

// The pixels of a rectangle that differ from a colour.
int CountNot(const QImage& image, const QRect& rect, QRgb colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != colour)
                ++count;
    return count;
}

int Count(const QImage& image, const QRect& rect, QRgb colour) {
    return rect.width() * rect.height() - CountNot(image, rect, colour);
}

} // namespace

class MemoPaint : public MemoWindow {};

TEST_F(MemoPaint, TheSelectionIsInvertedAfterDrawing) {
    Load("abcdef ghij\r\nsecond");
    QImage plain = Paint();
    Select(*memo, 2, 5);
    QImage selected = Paint();
    const int left = memo->LeftMargin();
    QRect inside(left + 2 * kCharWidth, 0, 3 * kCharWidth, kLineHeight);
    for (int y = 0; y < selected.height(); ++y)
        for (int x = 0; x < selected.width(); ++x) {
            QRgb expected = plain.pixel(x, y);
            if (inside.contains(x, y))
                expected = (~expected & 0x00FFFFFFu) | 0xFF000000u;
            ASSERT_EQ(selected.pixel(x, y), expected) << x << "," << y;
        }
}

TEST_F(MemoPaint, WindowsColoursFillTheSelectionAndColourItsText) {
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoWindowsSelColors));
    memo->SetSelTextColor(clRed);
    Load("ab    cd");
    Select(*memo, 1, 7);
    QImage image = Paint();
    const int left = memo->LeftMargin();
    // The blanks of the selection show the selection colour only.
    QRect blanks(left + 2 * kCharWidth, 0, 4 * kCharWidth, kLineHeight);
    EXPECT_EQ(CountNot(image, blanks, ToQRgb(clHighlight)), 0);
    // Selected characters are drawn in the selection's text colour...
    QRect selectedB(left + 1 * kCharWidth, 0, kCharWidth, kLineHeight);
    EXPECT_GT(CountReddish(image, selectedB), 0);
    // ...and unselected ones in the font's.
    QRect plainA(left, 0, kCharWidth, kLineHeight);
    EXPECT_EQ(CountReddish(image, plainA), 0);
    EXPECT_GT(Count(image, plainA, kBlack), 0);
}

TEST_F(MemoPaint, NoSelectionShowsWithoutFocusWhenHidden) {
    Load("abcdef");
    QImage plain = Paint();
    Select(*memo, 1, 4);
    memo->Perform(WM_KILLFOCUS);
    ASSERT_FALSE(memo->Focused());
    EXPECT_EQ(Paint(), plain);
    memo->SetHideSelection(false);
    EXPECT_NE(Paint(), plain);
}

TEST_F(MemoPaint, ASelectionOverABreakShowsTheEndOfParagraphMark) {
    Load("abc\r\ndef");
    Select(*memo, 1, 6);
    QImage image = Paint();
    const int x2 = memo->LeftMargin() + 3 * kCharWidth;
    const int markWidth = kCharWidth / 2 + 1;
    // The middle third of the line, half a blank wide, inverted from white.
    QRect mark(x2, kLineHeight / 3, markWidth, 2 * (kLineHeight / 3) - kLineHeight / 3);
    EXPECT_EQ(CountNot(image, mark, kBlack), 0);
    EXPECT_EQ(image.pixel(x2 + markWidth, kLineHeight / 2), kWhite);
    EXPECT_EQ(image.pixel(x2, 1), kWhite) << "above the mark";
    // Without the option there is no mark.
    memo->ShowEndParSelected = false;
    EXPECT_EQ(Paint().pixel(x2 + 1, kLineHeight / 2), kWhite);
}

TEST_F(MemoPaint, FullLineSelectionReachesTheRightEdgeWithoutAMark) {
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoFullLineSelect));
    Load("abc\r\ndef");
    Select(*memo, 1, 6);
    QImage image = Paint();
    EXPECT_EQ(image.pixel(kWidth - 2, kLineHeight / 2), kBlack);
    EXPECT_EQ(image.pixel(kWidth - 2, kLineHeight + kLineHeight / 2), kWhite) << "the last line ends at the caret";
}

TEST_F(MemoPaint, BlanksThatEndAWrappedLineAreNotDrawn) {
    memo->SetHighlightBackgnd(clYellow);
    // A highlighted run that wraps: its line's last blank stays unpainted.
    std::string text = "\x03";
    for (int i = 0; i < 12; ++i)
        text += "word ";
    text += "\x03";
    Load(text);
    TParagraph* p = memo->Paragraph(0);
    ASSERT_GT(p->LineCount(), 1);
    const TLineRecord& first = p->Line(0);
    ASSERT_EQ(p->Text[static_cast<size_t>(first.Stop - 1)], ' ');
    QImage image = Paint();
    const int left = memo->LeftMargin();
    // Visible columns of line 0 (the code has no width).
    const int columns = first.Stop - first.Start - 1;
    QRect lastBlank(left + (columns - 1) * kCharWidth, 0, kCharWidth, kLineHeight);
    EXPECT_EQ(Count(image, lastBlank, ToQRgb(clYellow)), 0);
    QRect innerBlank(left + 4 * kCharWidth, 0, kCharWidth, kCellHeight);
    EXPECT_EQ(CountNot(image, innerBlank, ToQRgb(clYellow)), 0) << "a blank inside the line is highlighted";
}

TEST_F(MemoPaint, ATabInAColouredRunIsFilledUpToTheNextStop) {
    memo->SetHighlightBackgnd(clYellow);
    Load(std::string("\x03" "a\tb\x03"));
    QImage image = Paint();
    const int left = memo->LeftMargin();
    const int stop = left + 8 * kCharWidth;
    QRect tab(left + kCharWidth, 0, stop - left - kCharWidth, kCellHeight);
    EXPECT_EQ(CountNot(image, tab, ToQRgb(clYellow)), 0);
    EXPECT_EQ(image.pixel(stop + 2 * kCharWidth, 4), kWhite) << "after the highlighted text";
}

TEST_F(MemoPaint, AContextWithStrikeOutAndHighlightGetsTheZigzagOnly) {
    memo->SetHighlightBackgnd(clYellow);
    Load("abcdefgh");
    TContextRecord context;
    context.Offset = 0;
    context.Flags = TContextRecord::kStyled | kStyleStrikeOut | kStyleHighlight;
    memo->Paragraph(0)->Contexts.Add(context);
    QImage image = Paint();
    const int left = memo->LeftMargin();
    QRect text(left, 0, 8 * kCharWidth, kLineHeight);
    EXPECT_EQ(Count(image, text, ToQRgb(clYellow)), 0) << "no highlight";
    EXPECT_GT(Count(image, text, ToQRgb(clRed)), 8 * kCharWidth / 2) << "the red zigzag";
    // No strike-out: the middle row of the cell carries no long black run.
    int row = kAscent - 4;
    int blackRun = 0, longest = 0;
    for (int x = left; x < left + 8 * kCharWidth; ++x) {
        blackRun = image.pixel(x, row) == kBlack ? blackRun + 1 : 0;
        longest = std::max(longest, blackRun);
    }
    EXPECT_LT(longest, 3 * kCharWidth);
}

TEST_F(MemoPaint, TextAfterAZigzagStaysOnItsBaseline) {
    Load("abcdefgh");
    const QImage plain = Paint();
    // The zigzag under the first four characters, plain text after them.
    TContextRecord zigzag;
    zigzag.Offset = 0;
    zigzag.Flags = TContextRecord::kStyled | kStyleStrikeOut | kStyleHighlight;
    TContextRecord after;
    after.Offset = 4;
    after.Flags = TContextRecord::kStyled;
    memo->Paragraph(0)->Contexts.Add(zigzag);
    memo->Paragraph(0)->Contexts.Add(after);
    const QImage image = Paint();
    const QRect rest(memo->LeftMargin() + 4 * kCharWidth, 0, 4 * kCharWidth, kLineHeight);
    for (int y = rest.top(); y <= rest.bottom(); ++y)
        for (int x = rest.left(); x <= rest.right(); ++x)
            ASSERT_EQ(image.pixel(x, y), plain.pixel(x, y)) << x << "," << y;
}

TEST_F(MemoPaint, ContextColoursColourTheText) {
    Load("abcdefgh");
    TContextRecord context;
    context.Offset = 2;
    context.Flags = TContextRecord::kStyled;
    context.Foreground = clBlue;
    context.Background = clYellow;
    memo->Paragraph(0)->Contexts.Add(context);
    QImage image = Paint();
    const int left = memo->LeftMargin();
    QRect before(left, 0, 2 * kCharWidth, kCellHeight);
    QRect after(left + 2 * kCharWidth, 0, 6 * kCharWidth, kCellHeight);
    EXPECT_EQ(Count(image, before, ToQRgb(clBlue)), 0);
    EXPECT_EQ(Count(image, before, ToQRgb(clYellow)), 0);
    EXPECT_GT(Count(image, after, ToQRgb(clBlue)), 0);
    EXPECT_GT(Count(image, after, ToQRgb(clYellow)), 0);
    EXPECT_EQ(Count(image, after, kBlack), 0);
}

TEST_F(MemoPaint, TheEndOfTextMarkLiesUnderTheLastLine) {
    Load("one\r\ntwo\r\nthree");
    QImage image = Paint();
    const int y = 3 * kLineHeight;
    EXPECT_EQ(CountNot(image, QRect(0, y, kWidth, 1), ToQRgb(clRed)), 0);
    EXPECT_EQ(Count(image, QRect(0, y + 2, kWidth, kHeight - y - 2), ToQRgb(clRed)), 0);
    memo->EndOfTextMark().SetColor(-1);
    EXPECT_EQ(Count(Paint(), QRect(0, y, kWidth, 1), ToQRgb(clRed)), 0);
}

TEST_F(MemoPaint, APaintDuringAnUpdateDrawsNothingAndHappensAfterwards) {
    Load("text");
    memo->Lines().BeginUpdate();
    const QImage held = PaintedImage(*memo, memo->ClientWidth(), memo->ClientHeight(), clFuchsia);
    EXPECT_EQ(CountNot(held, QRect(0, 0, 20, 20), ToQRgb(clFuchsia)), 0);
    memo->Lines().EndUpdate();
    // The skipped paint was remembered: the window is repainted.
    QApplication::processEvents();
    QImage shown = Widget()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(memo->LeftMargin() + 40, kLineHeight / 2), kWhite);
    EXPECT_GT(CountNot(shown, QRect(memo->LeftMargin(), 0, 4 * kCharWidth, kCellHeight), kWhite), 0);
}

TEST_F(MemoPaint, TheBackgroundPictureIsTiled) {
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(QColor(0, 200, 0));
    tile.setPixel(0, 0, qRgb(200, 0, 0));
    TRasterImage picture;
    SetBitmapImage(picture.Bitmap(), tile);
    memo->BackgroundBmp().Assign(&picture);
    Load("");
    QImage image = Paint();
    EXPECT_EQ(image.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(4, 4), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 200, 0));
    EXPECT_EQ(image.pixel(kWidth - 1, kHeight - 1), qRgb(0, 200, 0));
}

// The picture is a published property: a form streams it with the memo,
// in its own format, and the copy tiles the same pixels; a picture's
// transparent pixels show the memo's colour.
TEST_F(MemoPaint, TheBackgroundPictureStreamsWithTheMemoAndShowsItsColourThroughTransparency) {
    RegisterCodeMemoClasses();
    std::mt19937 random(3);
    for (const char* format : {"BMP", "PNG"}) {
        SCOPED_TRACE(format);
        QImage tile(3 + int(random() % 5), 2 + int(random() % 5), QImage::Format_ARGB32);
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x)
                tile.setPixel(x, y, qRgba(int(random() % 256), int(random() % 256), int(random() % 256), 255));
        const bool withClearPixel = std::string(format) == "PNG";
        if (withClearPixel)
            tile.setPixel(1, 1, qRgb(1, 2, 3));
        TRasterImage picture(format);
        SetBitmapImage(picture.Bitmap(), tile);
        if (withClearPixel) {
            picture.Bitmap().SetTransparentColor(RGB(1, 2, 3));
            picture.Bitmap().SetTransparent(true);
        }
        memo->SetColor(0x00336699);
        memo->BackgroundBmp().Assign(&picture);

        TMemoryStream stream;
        WriteComponent(stream, *memo);
        TCodeMemo copy;
        stream.SetPosition(0);
        ReadComponent(stream, copy);
        ASSERT_NE(copy.BackgroundBmp().Graphic(), nullptr);
        EXPECT_EQ(copy.BackgroundBmp().Graphic()->ClassName(), "TRasterImage");
        // The colour shows through whichever came first.
        copy.SetColor(clWhite);
        copy.SetColor(memo->Color());
        const QImage original = BitmapImage(memo->BackgroundTile()).convertToFormat(QImage::Format_RGB32);
        const QImage read = BitmapImage(copy.BackgroundTile()).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(read.size(), tile.size());
        EXPECT_EQ(read, original);
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x) {
                const bool clear = withClearPixel && x == 1 && y == 1;
                EXPECT_EQ(original.pixel(x, y), clear ? qRgb(0x99, 0x66, 0x33) : (tile.pixel(x, y) | 0xFF000000u))
                    << x << "," << y;
            }
    }
    memo->BackgroundBmp().Assign(nullptr);
    EXPECT_TRUE(memo->BackgroundTile().Empty());
}

TEST_F(MemoPaint, AColumnBlockIsARectangle) {
    memo->SetWordWrap(false);
    Load("abcdefgh\r\nab\r\nabcdefgh");
    memo->SetSelStart(0);
    memo->SetSelLength(22);
    memo->SetBlock(2, 5);
    QImage image = Paint();
    const int left = memo->LeftMargin();
    for (int line = 0; line < 3; ++line) {
        QRect block(left + 2 * kCharWidth, line * kLineHeight, 3 * kCharWidth, kLineHeight);
        // Inverted: white became black wherever no glyph was.
        EXPECT_GT(Count(image, block, kBlack), block.width() * block.height() / 2) << line;
        EXPECT_EQ(image.pixel(left + 6 * kCharWidth + 3, line * kLineHeight + 1), kWhite) << line;
    }
}

TEST_F(MemoPaint, DrawLineOnCanvasPutsALineWhereAskedWithoutTheSelection) {
    Load("abc\r\nsecond line");
    Select(*memo, 0, 9);
    TOutputTarget target(300, 60);
    memo->DrawLineOnCanvas(target.Bitmap.Canvas(), 1, {20, 30});
    const QImage image = target.Image();
    const int left = 20 + memo->LeftMargin();
    // "second line" from the left margin plus x, its cell from y on.
    EXPECT_GT(CountNot(image, QRect(left, 30, 11 * kCharWidth, kCellHeight), kWhite), 0);
    EXPECT_EQ(CountNot(image, QRect(0, 0, 300, 30), kWhite), 0) << "nothing above";
    EXPECT_EQ(CountNot(image, QRect(0, 30, left, 30), kWhite), 0) << "nothing left of the text";
    EXPECT_EQ(CountNot(image, QRect(left + 11 * kCharWidth + 1, 30, 60, 30), kWhite), 0) << "no selection";
    // The memo's own painting is unchanged by it.
    EXPECT_NE(CountNot(Paint(), QRect(memo->LeftMargin(), 0, 3 * kCharWidth, kLineHeight), kBlack), 0);
}

TEST_F(MemoPaint, DrawLinesOnCanvasSpacesTheLines) {
    Load("one\r\ntwo\r\nthree");
    TOutputTarget target(200, 200);
    TPaintRange range;
    range.First = 0;
    range.Last = 2;
    range.X = 0;
    range.Y = 0;
    range.Spacing = 40.0f;
    memo->DrawLinesOnCanvas(target.Bitmap.Canvas(), range);
    const QImage image = target.Image();
    for (int line = 0; line < 3; ++line) {
        EXPECT_GT(CountNot(image, QRect(0, line * 40, 200, kCellHeight), kWhite), 0) << line;
        EXPECT_EQ(CountNot(image, QRect(0, line * 40 + kLineHeight + 2, 200, 40 - kLineHeight - 2), kWhite), 0)
            << line;
    }
}
