// Text output of TCanvas: characters land at the measurer's advances, the
// alignment flags place the text, the background and clipping cover exactly
// what they should.

#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextDrawing.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/support/FakeTextMeasurer.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include "platform/base/Utf8.h"

#include <random>
#include <tuple>

namespace {

QImage whiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void useFont(TCanvas& canvas, const char* name, int height, TFontStyles style = 0) {
    canvas.Font().SetName(name);
    canvas.Font().SetHeight(height);
    canvas.Font().SetStyle(style);
    canvas.Font().SetColor(clBlack);
}

// Mixed UTF-8: ASCII, Latin letters, CJK, an emoji and bytes outside any
// valid sequence.
std::string randomUtf8Line(std::mt19937& random, size_t length) {
    static const char* const pieces[] = {"a", "W", " ", "\xC3\xA9", "\xC5\x93", "\xE4\xB8\xAD", "\xE6\x96\x87",
                                         "\xF0\x9F\x98\x80", "\xE9", "\x80", "\xE4\xB8", "\xE2\x82\xAC"};
    std::string text;
    while (text.size() < length)
        text += pieces[random() % std::size(pieces)];
    return text;
}

std::string randomLine(std::mt19937& random, size_t length) {
    // Printable bytes of the code page, spaces and letters with accents too.
    std::string text;
    while (text.size() < length) {
        int c = 32 + static_cast<int>(random() % 224);
        if (c >= 127 && c < 160)
            continue;
        text.push_back(static_cast<char>(c));
    }
    return text;
}

TEST(CanvasText, ALongLineDrawsEveryCharacterWhereTheSummedAdvancesSay) {
    std::mt19937 random(21);
    for (TTextEncoding encoding : {teAnsi, teUtf8})
    for (auto [name, height] : {std::pair{"Arial", -13}, std::pair{"Times New Roman", -17},
                                std::pair{"Courier New", -12}}) {
        std::string line = encoding == teAnsi ? randomLine(random, 300) : randomUtf8Line(random, 300);
        QImage whole = whiteImage(5000, 30);
        QImage pieces = whiteImage(5000, 30);
        int width = 0;
        {
            TDeviceCanvas canvas(&whole);
            canvas.SetTextEncoding(encoding);
            useFont(canvas, name, height);
            canvas.Brush().SetStyle(bsClear);
            width = canvas.TextWidth(line);
            canvas.TextOut(5, 4, line);
            EXPECT_EQ(canvas.PenPos(), Point(5 + width, 4));
        }
        {
            // The oracle: each character drawn on its own at the left edge
            // the summed advances of the characters before it give.
            TDeviceCanvas canvas(&pieces);
            canvas.SetTextEncoding(encoding);
            useFont(canvas, name, height);
            canvas.Brush().SetStyle(bsClear);
            int x = 5;
            for (size_t i = 0; i < line.size();) {
                const size_t length = encoding == teUtf8 ? Utf8CharLength(line, i) : 1;
                const std::string_view character(line.data() + i, length);
                canvas.TextOut(x, 4, character);
                x += canvas.TextWidth(character);
                i += length;
            }
            EXPECT_EQ(x - 5, width);
        }
        ASSERT_EQ(whole, pieces) << name;
        // No ink lies beyond the measured width (plus the last character's
        // overhang allowance of a couple of pixels).
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 5 + width + 3; x < whole.width(); ++x)
                ASSERT_EQ(whole.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << name << " at " << x;
    }
}

TEST(CanvasText, Utf8TextIsItsCharactersAndInvalidBytesTheirCodePageCharacters) {
    // "café" in UTF-8 draws and measures as the same word in the code page;
    // a byte that is not UTF-8 as its character of the code page, on the
    // mark colour when one is set.
    QImage utf8 = whiteImage(200, 30);
    QImage ansi = whiteImage(200, 30);
    int widths[2] = {0, 0};
    int index = 0;
    for (auto [image, encoding, text] : {std::tuple{&utf8, teUtf8, std::string("caf\xC3\xA9 \xE9")},
                                         std::tuple{&ansi, teAnsi, std::string("caf\xE9 \xE9")}}) {
        TDeviceCanvas canvas(image);
        canvas.SetTextEncoding(encoding);
        useFont(canvas, "Arial", -16);
        canvas.Brush().SetStyle(bsClear);
        widths[index++] = canvas.TextWidth(text);
        canvas.TextOut(5, 4, text);
    }
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_EQ(utf8, ansi);

    QImage marked = whiteImage(200, 30);
    TDeviceCanvas canvas(&marked);
    useFont(canvas, "Arial", -16);
    canvas.Brush().SetStyle(bsClear);
    canvas.SetInvalidByteColor(0x0000FF);
    const int before = canvas.TextWidth("caf\xC3\xA9 ");
    canvas.TextOut(5, 4, "caf\xC3\xA9 \xE9");
    EXPECT_EQ(marked.pixel(5 + before, 6) & 0xFFFFFF, 0xFF0000u) << "the stray byte sits on the mark";
    EXPECT_EQ(marked.pixel(5 + before - 2, 6) & 0xFFFFFF, 0xFFFFFFu) << "the valid text does not";
}

// Text cut to a width with "..." keeps whole characters: the longest
// start of the text, ended between characters, that fits with the dots.
TEST(CanvasText, EllipsisCutsBetweenWholeCharactersAtTheLongestStartThatFits) {
    QImage image = whiteImage(10, 10);
    TDeviceCanvas canvas(&image);
    canvas.SetTextEncoding(teUtf8);
    useFont(canvas, "Arial", -14);
    static const char* const pieces[] = {"a", "W", " ", "\xC3\xA9", "\xC5\x93", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                         "\xE2\x82\xAC"};
    std::mt19937 random(17);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int n = 1 + static_cast<int>(random() % 20); n > 0; --n)
            text += pieces[random() % std::size(pieces)];
        const int full = canvas.TextWidth(text);
        const int width = canvas.TextWidth("...") + static_cast<int>(random() % static_cast<unsigned>(full + 1));
        const std::string cut = EllipsisText(canvas, text, width);
        if (full <= width) {
            EXPECT_EQ(cut, text);
            continue;
        }
        ASSERT_GE(cut.size(), 3u);
        ASSERT_EQ(cut.substr(cut.size() - 3), "...") << text;
        const std::string start = cut.substr(0, cut.size() - 3);
        ASSERT_EQ(text.compare(0, start.size(), start), 0) << text;
        EXPECT_TRUE(IsUtf8CharBoundary(text, start.size())) << text << " cut at " << start.size();
        EXPECT_TRUE(IsValidUtf8(cut)) << text;
        EXPECT_LE(canvas.TextWidth(cut), width);
        const size_t next = Utf8NextChar(text, start.size());
        EXPECT_GT(canvas.TextWidth(text.substr(0, next) + "..."), width) << text << " could keep more";
    }
}

TEST(CanvasText, AlignmentFlagsPlaceTheSameInk) {
    const std::string text = "Alignment: Wyg";
    QImage reference = whiteImage(300, 60);
    int width = 0;
    TTextMetric metrics;
    {
        TDeviceCanvas canvas(&reference);
        useFont(canvas, "Arial", -16);
        width = canvas.TextWidth(text);
        metrics = canvas.TextMetrics();
        canvas.TextOut(20, 10, text); // top-left
    }
    struct Case {
        unsigned align;
        int x, y;
    };
    for (Case c : {Case{TA_RIGHT | TA_TOP, 20 + width, 10},
                   Case{TA_LEFT | TA_BASELINE, 20, 10 + metrics.Ascent},
                   Case{TA_LEFT | TA_BOTTOM, 20, 10 + metrics.Height},
                   Case{TA_CENTER | TA_TOP, 20 + width / 2, 10}}) {
        QImage image = whiteImage(300, 60);
        TDeviceCanvas canvas(&image);
        useFont(canvas, "Arial", -16);
        canvas.SetTextAlign(c.align);
        canvas.TextOut(c.x, c.y, text);
        canvas.Release();
        EXPECT_EQ(image, reference) << "alignment " << c.align;
    }
    // Updating the current position: two halves make the whole line.
    QImage halves = whiteImage(300, 60);
    {
        TDeviceCanvas canvas(&halves);
        useFont(canvas, "Arial", -16);
        canvas.SetTextAlign(TA_UPDATECP);
        canvas.MoveTo(20, 10);
        canvas.TextOut(0, 0, text.substr(0, 6));
        canvas.TextOut(0, 0, text.substr(6));
        EXPECT_EQ(canvas.PenPos(), Point(20 + width, 10));
    }
    EXPECT_EQ(halves, reference);
}

TEST(CanvasText, OpaqueBackgroundFillsTheTextCellAndClippingHoldsTheInk) {
    QImage image = whiteImage(200, 40);
    TDeviceCanvas canvas(&image);
    useFont(canvas, "Arial", -14);
    canvas.SetBkColor(clRed);
    EXPECT_EQ(canvas.BkMode(), OPAQUE) << "a solid brush makes text opaque";
    const std::string spaces = "     ";
    int width = canvas.TextWidth(spaces);
    int height = canvas.TextHeight(spaces);
    canvas.TextOut(10, 5, spaces);
    canvas.Release();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            bool cell = x >= 10 && x < 10 + width && y >= 5 && y < 5 + height;
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, cell ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;
        }
    // A clear brush makes it transparent again.
    image.fill(Qt::white);
    canvas.Brush().SetStyle(bsClear);
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
    canvas.TextOut(10, 5, spaces);
    canvas.Release();
    EXPECT_EQ(image.pixel(12, 8) & 0xFFFFFF, 0xFFFFFFu);

    // ETO_OPAQUE fills the given rectangle; ETO_CLIPPED keeps ink inside.
    image.fill(Qt::white);
    TRect box = Rect(30, 10, 60, 30);
    canvas.SetBkColor(clYellow);
    canvas.ExtTextOut(20, 12, ETO_OPAQUE | ETO_CLIPPED, &box, "WWWWWWWWWWWWWWWW");
    canvas.Release();
    bool inkInside = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            uint32_t pixel = image.pixel(x, y) & 0xFFFFFF;
            if (box.Contains(Point(x, y)))
                inkInside |= pixel != 0xFFFF00u;
            else
                ASSERT_EQ(pixel, 0xFFFFFFu) << x << "," << y;
        }
    EXPECT_TRUE(inkInside);
}

TEST(CanvasText, GivenAdvancesAndJustificationMoveTheCharacters) {
    QImage withAdvances = whiteImage(300, 30);
    QImage oracle = whiteImage(300, 30);
    const std::string text = "a b c d";
    {
        TDeviceCanvas canvas(&oracle);
        useFont(canvas, "Arial", -14);
        canvas.Brush().SetStyle(bsClear);
        int x = 10;
        for (char c : text) {
            canvas.TextOut(x, 5, std::string_view(&c, 1));
            x += c == ' ' ? 12 : 9;
        }
    }
    {
        TDeviceCanvas canvas(&withAdvances);
        useFont(canvas, "Arial", -14);
        canvas.Brush().SetStyle(bsClear);
        int advances[] = {9, 12, 9, 12, 9, 12, 9};
        canvas.ExtTextOut(10, 5, 0, nullptr, text, advances);
    }
    EXPECT_EQ(withAdvances, oracle);

    // Justification adds its extra pixels at the spaces only, and all of
    // them: the line ends exactly extra pixels further right.
    TCanvas measuring;
    TFakeTextMeasurer fake(6);
    measuring.SetMeasurer(&fake);
    measuring.SetTextAlign(TA_UPDATECP);
    measuring.MoveTo(0, 0);
    measuring.SetTextJustification(10, 3);
    measuring.TextOut(0, 0, text);
    EXPECT_EQ(measuring.PenPos().X, 7 * 6 + 10);
}

TEST(TextJustification, EveryBreakGetsItsShareAndTheSharesAddUpToTheExtra) {
    std::mt19937 random(4);
    for (int round = 0; round < 500; ++round) {
        int count = 1 + static_cast<int>(random() % 40);
        int extra = static_cast<int>(random() % 400);
        TTextJustification justification;
        justification.Set(extra, count);
        int total = 0;
        for (int i = 0; i < count; ++i) {
            int share = justification.NextBreak();
            EXPECT_TRUE(share == extra / count || share == extra / count + 1) << share;
            total += share;
        }
        EXPECT_EQ(total, extra) << extra << " over " << count;
    }
    TTextJustification off;
    off.Set(0, 5);
    EXPECT_FALSE(off.Active());
    EXPECT_EQ(off.NextBreak(), 0);
}

TEST(CanvasText, MeasuringOnlyCanvasMeasuresAndDrawsNothing) {
    TCanvas canvas;
    TFakeTextMeasurer fake(8, 16, 12);
    canvas.SetMeasurer(&fake);
    EXPECT_FALSE(canvas.HasDevice());
    EXPECT_EQ(canvas.TextExtent("abcd"), (TSize{32, 16}));
    canvas.TextOut(3, 4, "abc");
    EXPECT_EQ(canvas.PenPos(), Point(27, 4));
    EXPECT_EQ(canvas.Pixel(0, 0), CLR_INVALID);
    EXPECT_EQ(canvas.ClipRect(), TRect{});
    canvas.Font().SetStyle(fsBold);
    EXPECT_EQ(canvas.TextWidth("ab"), 16);
}

} // namespace
