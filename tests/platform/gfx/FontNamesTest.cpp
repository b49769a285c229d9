// The font list against the font database it comes from: every entry draws
// with a family the system has, the classic names are offered, and the
// list is in order without a name twice.

#include "platform/base/TextCodec.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/FontNames.h"
#include "platform/gfx/QtBridge.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>

namespace {

TEST(FontNames, EveryNameDrawsWithAnInstalledFamilyInOrderAndOnce) {
    const std::vector<std::string> names = InstalledFontNames();
    ASSERT_FALSE(names.empty());
    const QStringList families = QFontDatabase::families();
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(CompareText(names[i - 1], names[i]), 0) << names[i - 1] << " / " << names[i];
        }
        TFont font;
        font.SetName(names[i]);
        const QString drawn = QFontInfo(ToQFont(font)).family();
        EXPECT_TRUE(families.contains(drawn, Qt::CaseInsensitive)) << names[i] << " draws with " << drawn.toStdString();
    }
    for (const char* classic : {"Arial", "Courier New", "Times New Roman"})
        EXPECT_NE(std::find(names.begin(), names.end(), classic), names.end()) << classic;
    // Nothing the database lists is left out.
    for (const QString& family : families)
        EXPECT_NE(std::find(names.begin(), names.end(), QStringToAnsi(family)), names.end()) << family.toStdString();
}

} // namespace
