#include "platform/base/TextCodec.h"
#include "platform/gfx/TextMeasurer.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/support/FakeTextMeasurer.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <random>

namespace {

TFont makeFont(const char* name, int height, TFontStyles style = 0) {
    TFont font;
    font.SetName(name);
    font.SetHeight(height);
    font.SetStyle(style);
    return font;
}

TEST(QtTextMeasurer, AsciiAdvancesAgreeWithQtsOwnMetrics) {
    TQtTextMeasurer measurer;
    for (const TFont& font : {makeFont("Arial", -13), makeFont("Times New Roman", -16, fsBold),
                              makeFont("Courier New", -12), makeFont("Arial", -21, fsItalic)}) {
        TMeasuredFontPtr measured = measurer.Measure(font);
        QFontMetricsF oracle(ToQFont(font));
        for (int c = 32; c < 127; ++c) {
            double expected = oracle.horizontalAdvance(QChar(c));
            EXPECT_NEAR(measured->Advance(static_cast<unsigned char>(c)), expected, 0.5 + 1e-9)
                << font.Name() << " character " << c;
        }
        const TTextMetric& m = measured->Metrics();
        EXPECT_EQ(m.Height, m.Ascent + m.Descent);
        EXPECT_NEAR(m.Ascent, oracle.ascent(), 1.0);
        EXPECT_NEAR(m.Descent, oracle.descent(), 1.0);
        EXPECT_EQ(m.InternalLeading, m.Height - (-font.Height()));
        EXPECT_GE(m.MaxCharWidth, measured->Advance('W'));
        EXPECT_GT(m.AveCharWidth, 0);
        EXPECT_EQ(m.Overhang, 0);
    }
    // A fixed-pitch face gives every printable character the same advance.
    TMeasuredFontPtr mono = measurer.Measure(makeFont("Courier New", -14));
    for (int c = 33; c < 127; ++c)
        EXPECT_EQ(mono->Advance(static_cast<unsigned char>(c)), mono->Advance(' '));
}

TEST(QtTextMeasurer, WidthOfAnyByteStringIsTheSumOfItsAdvances) {
    TQtTextMeasurer measurer;
    TMeasuredFontPtr font = measurer.Measure(makeFont("Arial", -15));
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string text(random() % 60, '\0');
        int expected = 0;
        for (char& c : text) {
            c = static_cast<char>(random() % 256);
            expected += font->Advance(static_cast<unsigned char>(c));
        }
        EXPECT_EQ(font->TextWidth(text), expected);
    }
    // The code page's letters beyond ASCII measure as the characters they
    // decode to.
    QFontMetricsF oracle(ToQFont(makeFont("Arial", -15)));
    for (unsigned char byte : {0xE9, 0xC4, 0x80, 0x9C, 0xDF})
        EXPECT_NEAR(font->Advance(byte), oracle.horizontalAdvance(QChar(AnsiCharToUnicode(byte))),
                    0.5 + 1e-9);
}

TEST(QtTextMeasurer, MeasuredFontsAreCachedByFaceNotByColour) {
    TQtTextMeasurer measurer;
    TFont font = makeFont("Arial", -13);
    TMeasuredFontPtr first = measurer.Measure(font);
    font.SetColor(clRed);
    EXPECT_EQ(measurer.Measure(font), first);
    font.SetStyle(fsBold);
    TMeasuredFontPtr bold = measurer.Measure(font);
    EXPECT_NE(bold, first);
    EXPECT_EQ(measurer.CachedFontCount(), 2);
    EXPECT_GE(bold->TextWidth("Wide bold text"), first->TextWidth("Wide bold text"));
}

TEST(FakeTextMeasurer, EveryByteHasTheConfiguredWidthUnlessGivenItsOwn) {
    TFakeTextMeasurer measurer(7, 15, 12);
    TFont font;
    TMeasuredFontPtr measured = measurer.Measure(font);
    EXPECT_EQ(measured->TextWidth("hello\tworld"), 11 * 7);
    EXPECT_EQ(measured->Metrics().Height, 15);
    EXPECT_EQ(measured->Metrics().Ascent, 12);
    EXPECT_EQ(measured->Metrics().Descent, 3);
    EXPECT_EQ(measured->Metrics().AveCharWidth, 7);
    measurer.SetAdvance('\t', 0);
    measurer.SetAdvance('W', 11);
    TMeasuredFontPtr changed = measurer.Measure(font);
    EXPECT_EQ(changed->TextWidth("W\tW"), 22);
    EXPECT_EQ(changed->Metrics().MaxCharWidth, 11);
    // Styles do not change a fake face's widths.
    font.SetStyle(fsBold);
    EXPECT_EQ(measurer.Measure(font)->TextWidth("abc"), 21);
}

TEST(DefaultTextMeasurer, CanBeReplacedAndRestored) {
    TFakeTextMeasurer fake(5);
    SetDefaultTextMeasurer(&fake);
    EXPECT_EQ(&DefaultTextMeasurer(), &fake);
    SetDefaultTextMeasurer(nullptr);
    EXPECT_NE(dynamic_cast<TQtTextMeasurer*>(&DefaultTextMeasurer()), nullptr);
}

} // namespace
