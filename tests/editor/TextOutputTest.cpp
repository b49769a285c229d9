// Chunked measuring and drawing for painting, on an image canvas measured
// by the fake fixed-pitch measurer.

#include "editor/CodeMemo.h"
#include "editor/TextOutput.h"
#include "MemoTestSupport.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextMeasurer.h"
#include "tests/support/FakeTextMeasurer.h"
#include "platform/gfx/QtBridge.h"

#include <QImage>

#include "platform/base/Utf8.h"

#include <random>

#include <gtest/gtest.h>

namespace {
class TextOutput : public ::testing::Test {
protected:
    TextOutput() : image(200, 40, QImage::Format_RGB32), canvas(&image) {
        image.fill(Qt::white);
        canvas.SetMeasurer(&measurer);
    }
    TFakeTextMeasurer measurer{7};
    QImage image;
    TDeviceCanvas canvas;
};
}  // namespace

TEST_F(TextOutput, DrawingAtThePenSkipsFarLeftAndStopsAtTheLimit) {
    canvas.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    std::string text(20000, 'w');
    // 2000 chunks of 10 characters (70 px): those that end left of the
    // limit are only measured; drawing stops with the first chunk at or
    // past x = 100.
    canvas.MoveTo(-17000, 20);
    const size_t reached = DrawTextAtPen(canvas, text, 100, 10);
    int32_t x = -17000;
    while (x < 100)
        x += 70;
    EXPECT_EQ(canvas.PenPos().X, x);
    EXPECT_EQ(reached, static_cast<size_t>((x + 17000) / 70 * 10));
    EXPECT_EQ(canvas.PenPos().Y, 20);
    // The visible part was drawn.
    bool inked = false;
    for (int px = 0; px < 100 && !inked; ++px)
        for (int py = 0; py < 40 && !inked; ++py)
            inked = canvas.Pixel(px, py) != clWhite;
    EXPECT_TRUE(inked);

    canvas.MoveTo(0, 20);
    DrawTextAtPen(canvas, "sho", 1000, 0);
    EXPECT_EQ(canvas.PenPos().X, 21) << "a chunk below 1 counts as 1";
    // The canvas's justification spreads over the blanks of all chunks.
    canvas.MoveTo(0, 20);
    canvas.SetTextJustification(6, 2);
    DrawTextAtPen(canvas, "a b c", 1000, 2);
    EXPECT_EQ(canvas.PenPos().X, 5 * 7 + 6);
}

TEST_F(TextOutput, WavyLineZigZagsBetweenItsRows) {
    canvas.Pen().SetColor(clBlack);
    WavyLine(canvas, 10, 31, 4, 20);
    // Starts low, goes up over one step, comes down over the next.
    EXPECT_EQ(canvas.Pixel(10, 24), clBlack);
    EXPECT_EQ(canvas.Pixel(14, 20), clBlack);
    EXPECT_EQ(canvas.Pixel(18, 24), clBlack);
    EXPECT_EQ(canvas.Pixel(16, 22), clBlack);
    // Nothing right of x2 or outside the two rows.
    for (int x = 31; x < 40; ++x)
        for (int y = 15; y < 30; ++y)
            EXPECT_NE(canvas.Pixel(x, y), clBlack) << x << "," << y;
    for (int x = 0; x < 40; ++x) {
        EXPECT_NE(canvas.Pixel(x, 19), clBlack);
        EXPECT_NE(canvas.Pixel(x, 25), clBlack);
    }
    // A step of 0 counts as 1 and ends.
    WavyLine(canvas, 0, 5, 0, 2);
    EXPECT_EQ(canvas.PenPos().X, 5);
}

TEST_F(TextOutput, ClampRectLimitsHorizontalEdges) {
    TRect rect = ClampRect(Rect(-100000, 3, 90000, 7));
    EXPECT_EQ(rect.Left, -32768);
    EXPECT_EQ(rect.Right, 32767);
    EXPECT_EQ(rect.Top, 3);
    EXPECT_EQ(rect.Bottom, 7);
}

TEST_F(TextOutput, FormatOnCanvasUsesTheCanvasMeasurer) {
    TCodeMemo memo;
    LoadText(memo, "aaa bbb ccc ddd");
    memo.FormatOnCanvas(&canvas, 16 + 7 * 7);
    EXPECT_EQ(memo.LineCount(), 2);
    EXPECT_EQ(memo.Paragraph(0)->Line(0).TextWidth, 49);
    memo.FormatOnCanvas(static_cast<TCanvas*>(nullptr), 0);
    EXPECT_EQ(memo.LineCount(), 1);  // back to the measuring context: none
}

// Drawing taken up inside a text, the pen where that byte stands, draws
// what drawing the whole text draws: the chunks are counted from the
// text's start, and those that end left of the limit are not drawn, those
// that reach past it are, whole.
TEST_F(TextOutput, DrawingTakenUpInsideATextDrawsWhatTheWholeTextDraws) {
    std::mt19937 random(4);
    measurer.SetAdvance('i', 3);
    measurer.SetAdvance('m', 11);
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "mi w\xC3\xA9"[random() % 6];
    int compared = 0;
    for (int round = 0; round < 40; ++round) {
        const bool utf8 = round % 2 != 0;
        canvas.SetTextEncoding(utf8 ? teUtf8 : teAnsi);
        const int chunk = 1 + static_cast<int>(random() % 12);
        const int limit = -static_cast<int>(random() % 300);
        const int start = -static_cast<int>(random() % 2000);
        auto paint = [&](size_t resumeAt) {
            image.fill(Qt::white);
            canvas.SetTextAlign(TA_BASELINE | TA_UPDATECP);
            canvas.SetBkMode(OPAQUE);
            canvas.SetBkColor(clYellow);
            // The pen where the byte to take up at stands.
            canvas.MoveTo(start + canvas.TextWidth(std::string_view(text).substr(0, resumeAt)), 20);
            const size_t reached = DrawTextAtPen(canvas, text, 200, chunk, utf8, limit, resumeAt);
            canvas.Release();
            return std::make_pair(image.copy(), std::make_pair(reached, canvas.PenPos().X));
        };
        const auto whole = paint(0);
        // Taken up at a character far enough left of the limit that no
        // glyph drawn before it can reach into view.
        size_t at = 0;
        for (size_t i = 0; i < text.size(); i = utf8 ? Utf8NextChar(text, i) : i + 1)
            if (start + canvas.TextWidth(std::string_view(text).substr(0, i)) <= limit - 40 && random() % 3 != 0)
                at = i;
        const auto resumed = paint(at);
        ASSERT_TRUE(whole.first == resumed.first) << "round " << round << " at " << at;
        ASSERT_EQ(whole.second, resumed.second) << "round " << round;
        compared += at > 0;
    }
    EXPECT_GT(compared, 20);
    for (unsigned char byte : {'i', 'm'})
        measurer.SetAdvance(byte, -1);
}

// Drawing only as far as can show (a long chunk cut where the pen passes
// the ink limit) leaves every pixel left of the window's edge as drawing
// whole chunks leaves it; a chunk cut short leaves the pen past the ink
// limit, and the offset returned is where it stands.
TEST_F(TextOutput, ChunksDrawnOnlyAsFarAsTheyShowLeaveTheWindowAsItWas) {
    std::mt19937 random(77);
    measurer.SetAdvance('i', 3);
    measurer.SetAdvance('m', 11);
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "mi w\xC3\xA9"[random() % 6];
    const int right = 90;
    const int inkRight = right + 30;
    int cut = 0;
    for (int round = 0; round < 60; ++round) {
        const bool utf8 = round % 2 != 0;
        canvas.SetTextEncoding(utf8 ? teUtf8 : teAnsi);
        const int chunk = 1 + static_cast<int>(random() % 400);
        const int start = static_cast<int>(random() % 120) - static_cast<int>(random() % 900);
        size_t resumeAt = 0;
        if (random() % 2 == 0)
            for (size_t i = 0; i < text.size() && random() % 40 != 0; i = utf8 ? Utf8NextChar(text, i) : i + 1)
                resumeAt = i;
        auto paint = [&](int32_t limit) {
            image.fill(Qt::white);
            canvas.SetTextAlign(TA_BASELINE | TA_UPDATECP);
            canvas.SetBkMode(OPAQUE);
            canvas.SetBkColor(clYellow);
            canvas.MoveTo(start + canvas.TextWidth(std::string_view(text).substr(0, resumeAt)), 20);
            const size_t reached = DrawTextAtPen(canvas, text, right, chunk, utf8, -kInkReach, resumeAt, limit);
            canvas.Release();
            return std::make_pair(image.copy(0, 0, right, image.height()), std::make_pair(reached, canvas.PenPos().X));
        };
        const auto whole = paint(INT32_MAX);
        const auto shown = paint(inkRight);
        ASSERT_TRUE(whole.first == shown.first) << "round " << round;
        const size_t reached = shown.second.first;
        ASSERT_LE(reached, whole.second.first) << "round " << round;
        // A chunk cut short leaves the pen past the ink limit; else the
        // drawing stopped as drawing whole chunks stops.
        if (reached < whole.second.first) {
            ASSERT_GE(shown.second.second, inkRight) << "round " << round;
        } else {
            ASSERT_EQ(shown.second, whole.second) << "round " << round;
        }
        ASSERT_EQ(shown.second.second,
                  start + canvas.TextWidth(std::string_view(text).substr(0, std::max(reached, resumeAt))))
            << "round " << round;
        cut += reached < whole.second.first;
    }
    EXPECT_GT(cut, 20);
    for (unsigned char byte : {'i', 'm'})
        measurer.SetAdvance(byte, -1);
}
