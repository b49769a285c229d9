// The memo's fonts measured through the platform's text measurer: line
// breaking sees each character's advance, each style asks for its own
// font, and a change of a font is seen at the next measurement.

#include "editor/FontMeasure.h"
#include "MemoTestSupport.h"

#include "platform/gfx/TextMeasurer.h"
#include "tests/support/FakeTextMeasurer.h"

#include <gtest/gtest.h>

TEST(FontMeasure, MemoFontsMeasuredThroughThePlatformMeasurer) {
    TFakeTextMeasurer measurer(8);
    measurer.SetAdvance('w', 20);
    TCodeMemo memo;
    memo.SetUpdateMode(umImmediate);
    memo.SetMeasuringContext(&measurer, 16 + 8 * 10);
    LoadText(memo, "aaaa bbbb cccc");
    EXPECT_EQ(memo.AverageCharWidth(), 8);
    EXPECT_EQ(memo.LineCount(), 2);
    EXPECT_EQ(memo.Paragraph(0)->Line(0).TextWidth, 72);
    LoadText(memo, "ww ww");
    EXPECT_EQ(memo.LineCount(), 2);
    EXPECT_EQ(memo.Paragraph(0)->Line(0).TextWidth, 40);
    // Each style asks the measurer for its own font.
    TFontMeasure measure(measurer, memo.Font(), memo.AltFont());
    EXPECT_TRUE(measure.MeasuredFont(kStyleBold).DrawingFace().Style() & fsBold);
    EXPECT_FALSE(measure.MeasuredFont(0).DrawingFace().Style() & fsBold);
    EXPECT_TRUE(measure.MeasuredFont(kStyleItalic | kStyleAltFont).DrawingFace().Style() & fsItalic);
    memo.AltFont().SetName("Times New Roman");
    EXPECT_NE(&measure.MeasuredFont(kStyleAltFont), &measure.MeasuredFont(0));
    // A change of the font is seen at the next measurement.
    const TMeasuredFont* before = &measure.MeasuredFont(0);
    memo.Font().SetSize(memo.Font().Size() + 6);
    EXPECT_NE(&measure.MeasuredFont(0), before);
}
