// Lines drawn on another canvas (a printer's): the font is the memo's at the
// canvas's resolution and the lines are laid out by its metrics, tab stops
// are counted in the spaces of that canvas's font, and the special
// underline of a context is drawn under the line it belongs to.

#include "MemoWindow.h"
#include "tests/support/FakeTextMeasurer.h"

#include <utility>

namespace {

const QRgb kWhite = 0xFFFFFFFFu;

// The leftmost column with a pixel that is not white, or -1.
int FirstInkColumn(const QImage& image) {
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != kWhite)
                return x;
    return -1;
}

// The rows from the first to the last with a pixel that is not white.
std::pair<int, int> InkRows(const QImage& image) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhite) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

// Strongly red pixels in the rows top to bottom (exclusive), over the
// whole width.
int RedPixels(const QImage& image, int top, int bottom) {
    return CountReddish(image, QRect(0, top, image.width(), bottom - top), 201, 63, 63);
}

} // namespace

class MemoOutputCanvas : public MemoWindow {};

TEST_F(MemoOutputCanvas, TabStopsCountTheCanvassOwnSpaces) {
    Load("\tX");
    // The printer's characters are twice as wide as the screen's.
    TFakeTextMeasurer printer(2 * kCharWidth, kCellHeight, kAscent);
    TOutputTarget target(400, 40, &printer);
    memo->DrawLineOnCanvas(target.Bitmap.Canvas(), 0, {0, 0});
    EXPECT_EQ(FirstInkColumn(target.Image()), memo->LeftMargin() + memo->TabStops() * 2 * kCharWidth);
    // On the screen the same tab is half as wide.
    memo->SetSelStart(1);
    EXPECT_EQ(memo->CaretX(), memo->LeftMargin() + memo->TabStops() * kCharWidth);
}

TEST_F(MemoOutputCanvas, TheZigzagLiesUnderItsOwnLine) {
    Load("plain\r\nplain\r\nwavy");
    TContextRecord context;
    context.Offset = 0;
    context.Flags = TContextRecord::kStyled | kStyleStrikeOut | kStyleHighlight;
    memo->Paragraph(2)->Contexts.Add(context);
    TOutputTarget target(200, 160);
    TPaintRange range;
    range.First = 0;
    range.Last = 2;
    range.Y = 20;
    range.Spacing = 40.0f;
    memo->DrawLinesOnCanvas(target.Bitmap.Canvas(), range);
    QImage image = target.Image();
    EXPECT_EQ(RedPixels(image, 0, 100), 0) << "nothing red above the third line";
    EXPECT_GT(RedPixels(image, 100, 100 + kLineHeight), 2 * kCharWidth) << "the red zigzag under \"wavy\"";
    EXPECT_EQ(RedPixels(image, 100 + kLineHeight, 160), 0);
}

// A canvas of twice the screen's resolution (a printer's, say) gets text
// twice as tall, and the line's baseline is placed for that size: the text
// stays below the line's top.  Real fonts, so only proportions are checked.
TEST_F(MemoOutputCanvas, TheFontAndTheLineFollowTheCanvassResolution) {
    Load("Hxg");
    TQtTextMeasurer fonts;
    auto ink = [&](int pixelsPerInch) {
        TOutputTarget target(300, 300, &fonts);
        target.Bitmap.Canvas().Font().SetPixelsPerInch(pixelsPerInch);
        TPaintRange range;
        range.First = 0;
        range.Last = 0;
        range.Y = 100;
        range.Spacing = 100.0f;
        memo->DrawLinesOnCanvas(target.Bitmap.Canvas(), range);
        return InkRows(target.Image());
    };
    ASSERT_LT(memo->Font().Height(), 0) << "a size in points";
    const auto [top96, bottom96] = ink(96);
    const auto [top192, bottom192] = ink(192);
    ASSERT_GE(top96, 100);
    EXPECT_GE(top192, 100) << "nothing above the line's top";
    const double ratio = double(bottom192 - top192 + 1) / (bottom96 - top96 + 1);
    EXPECT_GT(ratio, 1.5);
    EXPECT_LT(ratio, 2.5);
}
