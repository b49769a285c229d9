// The formatted-text view: random runs of colour and style against a plain
// model of the characters' formats, and pixel probes of what it paints:
// each line's coloured word drawn in its own band, centred, and an
// underline under the words that carry one.

#include "platform/ui/RichTextView.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(RichTextView, RandomRunsFormatExactlyTheCharactersTheyCover) {
    TRichTextView view;
    view.Font().SetColor(clBlack);
    std::mt19937 random(31);
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int line = 0, lines = 1 + static_cast<int>(random() % 5); line < lines; ++line)
            text += std::string(random() % 12, static_cast<char>('a' + random() % 3)) + "\r\n";
        view.Lines().SetText(text);
        ASSERT_EQ(view.Text(), text);
        const int size = static_cast<int>(text.size());
        std::vector<TColor> colors(text.size(), clBlack);
        std::vector<TFontStyles> styles(text.size(), 0);
        for (int step = 0; step < 30; ++step) {
            const int start = static_cast<int>(random() % (size + 4)) - 2;
            const int length = static_cast<int>(random() % 8) - 1;
            for (int i = std::max(start, 0); i < std::min(start + std::max(length, 0), size); ++i) {
                if (step % 2 == 0)
                    colors[static_cast<size_t>(i)] = static_cast<TColor>(step * 1000);
                else
                    styles[static_cast<size_t>(i)] = fsUnderline;
            }
            if (step % 2 == 0)
                view.SetRunColor(start, length, static_cast<TColor>(step * 1000));
            else
                view.SetRunStyle(start, length, fsUnderline);
        }
        for (int i = 0; i < size; ++i) {
            ASSERT_EQ(view.ColorAt(i), colors[static_cast<size_t>(i)]) << "round " << round << " offset " << i;
            ASSERT_EQ(view.StyleAt(i), styles[static_cast<size_t>(i)]) << "round " << round << " offset " << i;
        }
        // The first occurrence, as a plain search finds it.
        const std::string probe = text.substr(random() % text.size(), 2);
        EXPECT_EQ(view.FindText(probe), static_cast<int>(text.find(probe)));
        // New lines drop the formatting.
        view.Lines().Add("x");
        EXPECT_EQ(view.ColorAt(0), clBlack);
        EXPECT_EQ(view.StyleAt(0), 0u);
    }
}

// Text is smoothed: a pixel counts for a colour when it is mostly that
// channel.
bool mostly(QRgb pixel, int channel) {
    const int values[] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
    for (int i = 0; i < 3; ++i)
        if ((i == channel) != (values[i] > 150 - (i == channel ? 0 : 50)))
            return false;
    return true;
}

// The bounding box of the pixels that are mostly one channel.
QRect boxOf(const QImage& image, int channel) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (mostly(image.pixel(x, y), channel))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

TEST(RichTextView, EachColouredWordIsPaintedCentredInItsOwnLineWithItsUnderline) {
    TTestHost host(300, 160);
    TRichTextView view(&host.Form);
    view.SetParent(&host.Form);
    view.SetBounds(10, 10, 240, 130);
    view.SetAlignment(taCenter);
    view.SetColor(clWhite);
    view.Font().SetColor(clBlack);
    view.Lines().SetText("\r\nText\r\n\r\nActive Link\r\n");
    const TColor colors[] = {clRed, clBlue};
    const char* words[] = {"Text", "Active Link"};
    for (int i = 0; i < 2; ++i)
        view.SetRunColor(view.FindText(words[i]), static_cast<int>(std::string(words[i]).size()), colors[i]);
    view.SetRunStyle(view.FindText("Active Link"), 11, fsUnderline);
    QApplication::processEvents();
    const QImage image = ClientWidgetOf(&view)->grab().toImage();
    const QRect red = boxOf(image, 0);
    const QRect blue = boxOf(image, 2);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(blue.isEmpty());
    // Second line for "Text", fourth for the link: the link lies lower,
    // with a line of its own between them.
    EXPECT_GT(blue.top(), red.bottom() + red.height() / 2);
    for (const QRect& box : {red, blue})
        EXPECT_NEAR(box.center().x(), view.Width() / 2, 3) << "centred";
    EXPECT_GT(blue.width(), red.width()) << "the longer word is wider";
    // The underline: one row of blue across nearly the whole word.
    int longest = 0;
    for (int y = blue.top(); y <= blue.bottom(); ++y) {
        int run = 0;
        for (int x = blue.left(); x <= blue.right(); ++x) {
            run = mostly(image.pixel(x, y), 2) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    EXPECT_GE(longest, blue.width() * 9 / 10);
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(Qt::white)) << "the control's colour behind the text";
}

} // namespace
