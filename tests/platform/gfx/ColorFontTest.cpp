#include "platform/base/Exceptions.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>

#include <random>

namespace {

TEST(Color, SystemColoursResolveThroughTheClassicScheme) {
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0);
    EXPECT_EQ(ColorToRGB(clHighlight), 0x800000); // navy, blue in the high byte
    EXPECT_EQ(ColorToRGB(clHighlightText), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080);
    EXPECT_EQ(ColorToRGB(clGrayText), 0x808080);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFF);
    // Every system colour resolves to a plain 24-bit colour, equal to the
    // table entry of its index.
    for (int index = 0; index < SystemColorCount; ++index) {
        TColor resolved = ColorToRGB(SystemColor(index));
        EXPECT_GE(resolved, 0);
        EXPECT_LE(resolved, 0xFFFFFF);
        EXPECT_EQ(resolved, GetSysColor(index));
    }
    EXPECT_EQ(GetSysColor(-1), clBlack);
    EXPECT_EQ(GetSysColor(SystemColorCount), clBlack);
    // Plain colours and the markers pass unchanged.
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
}

TEST(Color, ChannelsKeepTheirPlaceOnTheWayToQtAndBack) {
    EXPECT_EQ(RGB(1, 2, 3), 0x030201);
    QColor navy = ToQColor(clHighlight);
    EXPECT_EQ(navy.red(), 0);
    EXPECT_EQ(navy.green(), 0);
    EXPECT_EQ(navy.blue(), 128);
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    std::mt19937 random(7);
    for (int i = 0; i < 500; ++i) {
        TColor color = static_cast<TColor>(random() & 0xFFFFFF);
        QColor q = ToQColor(color);
        EXPECT_EQ(q.red(), GetRValue(color));
        EXPECT_EQ(q.blue(), GetBValue(color));
        EXPECT_EQ(FromQColor(q), color);
        EXPECT_EQ(ToQRgb(color), q.rgb());
        EXPECT_EQ(FromQRgb(q.rgb()), color);
    }
    // Pixels: system colours resolve, the top byte of a plain colour and a
    // pixel's alpha play no part.
    EXPECT_EQ(ToQRgb(clHighlight), qRgb(0, 0, 128));
    EXPECT_EQ(ToQRgb(static_cast<TColor>(0x12030201)), qRgb(1, 2, 3));
    EXPECT_EQ(FromQRgb(qRgba(1, 2, 3, 0)), RGB(1, 2, 3));
}

TEST(Font, SizeAndHeightFollowEachOtherAtTheFontsResolution) {
    TFont font;
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
    font.SetHeight(20); // a cell height reads as a negative size
    EXPECT_EQ(font.Size(), -15);
    font.SetSize(-15);
    EXPECT_EQ(font.Height(), 20);
    font.SetPixelsPerInch(600); // a printer: same height, smaller size
    font.SetHeight(-100);
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(MulDiv(7, 3, 2), 11);  // 10.5 rounds away from zero
    EXPECT_EQ(MulDiv(-7, 3, 2), -11);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(Font, ChangeNoticesComeOncePerRealChangeAndCopiesDoNotInheritListeners) {
    TFont font;
    int notices = 0;
    font.OnChange = [&](TPersistent* sender) {
        EXPECT_EQ(sender, &font);
        ++notices;
    };
    font.SetName("Arial");
    font.SetName("Arial");
    font.SetStyle(fsBold | fsItalic);
    font.SetStyle(fsBold | fsItalic);
    font.SetColor(clRed);
    font.SetSize(font.Size());
    EXPECT_EQ(notices, 3);

    TFont copy;
    copy.Assign(&font);
    EXPECT_TRUE(copy.SameFace(font));
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(notices, 3);
    copy.SetHeight(-30);
    EXPECT_EQ(notices, 3);
    EXPECT_FALSE(copy.SameFace(font));
    copy.SetHeight(font.Height());
    copy.SetColor(clBlue);
    EXPECT_TRUE(copy.SameFace(font)) << "colour is not part of the face";
    EXPECT_NE(copy.FaceKey(), TFont().FaceKey());

    struct Other : TPersistent {};
    Other other;
    EXPECT_THROW(font.Assign(&other), EConvertError);
}

TEST(Font, ClassicFaceNamesResolveToInstalledMetricTwins) {
    struct Case {
        const char* name;
        const char* family;
    };
    for (Case c : {Case{"Arial", "Liberation Sans"}, Case{"Times New Roman", "Liberation Serif"},
                   Case{"Courier New", "Liberation Mono"}, Case{"courier new", "Liberation Mono"}}) {
        EXPECT_EQ(ResolveFontFamily(c.name), c.family);
        TFont font;
        font.SetName(c.name);
        font.SetSize(10);
        QFontInfo info(ToQFont(font));
        EXPECT_EQ(info.family().toStdString(), c.family) << c.name << " is not installed as expected";
    }
    // An installed family resolves to itself; an unknown one to some
    // installed family rather than nothing.
    EXPECT_EQ(ResolveFontFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_FALSE(ResolveFontFamily("No Such Face Anywhere").empty());
}

TEST(Font, QtFontCarriesStyleAndTheRequestedHeight) {
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-17);
    font.SetStyle(fsBold | fsItalic | fsUnderline);
    QFont q = ToQFont(font);
    EXPECT_EQ(q.pixelSize(), 17);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.kerning());
    // A positive height is the cell: ascent plus descent.
    for (int cell : {12, 16, 23, 40}) {
        font.SetHeight(cell);
        QFontMetricsF metrics(ToQFont(font));
        EXPECT_NEAR(metrics.ascent() + metrics.descent(), cell, 1.0) << cell;
    }
}

} // namespace
