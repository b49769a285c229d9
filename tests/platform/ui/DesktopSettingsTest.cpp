// What the desktop publishes about itself: the settings property of an X
// settings daemon, read back from bytes written by the format (in both
// byte orders) and from bytes a real daemon wrote, and whether menus
// animate by what the toolkit and the desktop say.

#include "platform/ui/SystemSettings.h"
#include "platform/ui/XSettings.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The property as a settings daemon writes it.
std::vector<uint8_t> propertyOf(const TXSettings& settings, bool bigEndian) {
    std::vector<uint8_t> out;
    auto put = [&](uint64_t value, int width) {
        for (int i = 0; i < width; ++i)
            out.push_back(uint8_t(value >> (8 * (bigEndian ? width - 1 - i : i))));
    };
    auto text = [&](const std::string& value) {
        out.insert(out.end(), value.begin(), value.end());
        out.resize(out.size() + (4 - value.size() % 4) % 4, 0);
    };
    put(bigEndian ? 1 : 0, 1);
    put(0, 3);
    put(settings.Serial, 4);
    put(settings.Settings.size(), 4);
    for (const TXSetting& setting : settings.Settings) {
        put(setting.Kind, 1);
        put(0, 1);
        put(setting.Name.size(), 2);
        text(setting.Name);
        put(setting.LastChange, 4);
        if (setting.Kind == TXSetting::Integer) {
            put(uint32_t(setting.IntegerValue), 4);
        } else if (setting.Kind == TXSetting::Text) {
            put(setting.TextValue.size(), 4);
            text(setting.TextValue);
        } else { // red, blue, green, alpha
            for (size_t channel : {0, 2, 1, 3})
                put(setting.ColourValue[channel], 2);
        }
    }
    return out;
}

std::string randomText(std::mt19937& random, size_t most) {
    std::string text(random() % (most + 1), ' ');
    for (char& c : text)
        c = char(random());
    return text;
}

TEST(XSettings, WhatADaemonWritesIsReadBackAndNothingShortOfIt) {
    std::mt19937 random(103);
    for (int round = 0; round < 120; ++round) {
        TXSettings settings;
        settings.Serial = random();
        settings.Settings.resize(random() % 8);
        for (TXSetting& setting : settings.Settings) {
            setting.Kind = TXSetting::TKind(random() % 3);
            setting.Name = randomText(random, 24);
            setting.LastChange = random();
            if (setting.Kind == TXSetting::Integer)
                setting.IntegerValue = int32_t(random());
            else if (setting.Kind == TXSetting::Text)
                setting.TextValue = randomText(random, 40);
            else
                for (uint16_t& channel : setting.ColourValue)
                    channel = uint16_t(random());
        }
        const bool bigEndian = round % 2 == 1;
        std::vector<uint8_t> bytes = propertyOf(settings, bigEndian);
        const std::optional<TXSettings> read = ParseXSettings(bytes.data(), bytes.size());
        ASSERT_TRUE(read) << round;
        EXPECT_EQ(read->Serial, settings.Serial);
        ASSERT_EQ(read->Settings, settings.Settings) << round;
        // Cut anywhere, the property is refused, never read past its end.
        for (size_t size = 0; size < bytes.size(); ++size) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + ptrdiff_t(size));
            ASSERT_FALSE(ParseXSettings(cut.data(), cut.size())) << round << " cut at " << size;
        }
        // An unknown byte order or type is refused too.
        for (uint8_t order : {uint8_t(2), uint8_t(2 + random() % 254)}) {
            bytes[0] = order;
            EXPECT_FALSE(ParseXSettings(bytes.data(), bytes.size()));
        }
        bytes[0] = bigEndian ? 1 : 0;
        if (!settings.Settings.empty()) {
            bytes[12] = uint8_t(3 + random() % 253);
            EXPECT_FALSE(ParseXSettings(bytes.data(), bytes.size()));
        }
    }
}

// Properties a settings daemon (xsettingsd) wrote, read back from the X
// server: one with animations on, an integer and a text besides; one with
// animations off and a colour given as (4660, 22136, 39612, 65535).
TEST(XSettings, WhatARealDaemonWroteIsRead) {
    const std::vector<uint8_t> on = {
        0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x13, 0x00,
        0x47, 0x74, 0x6b, 0x2f, 0x43, 0x75, 0x72, 0x73, 0x6f, 0x72, 0x54, 0x68, 0x65, 0x6d, 0x65, 0x53,
        0x69, 0x7a, 0x65, 0x00, 0x01, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x00,
        0x47, 0x74, 0x6b, 0x2f, 0x45, 0x6e, 0x61, 0x62, 0x6c, 0x65, 0x41, 0x6e, 0x69, 0x6d, 0x61, 0x74,
        0x69, 0x6f, 0x6e, 0x73, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x0d, 0x00,
        0x4e, 0x65, 0x74, 0x2f, 0x54, 0x68, 0x65, 0x6d, 0x65, 0x4e, 0x61, 0x6d, 0x65, 0x00, 0x00, 0x00,
        0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x41, 0x64, 0x77, 0x61, 0x69, 0x74, 0x61, 0x00};
    std::optional<TXSettings> read = ParseXSettings(on.data(), on.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Serial, 1u);
    ASSERT_EQ(read->Settings.size(), 3u);
    EXPECT_EQ(read->Find("Gtk/CursorThemeSize")->IntegerValue, 24);
    EXPECT_EQ(read->Find("Gtk/EnableAnimations")->IntegerValue, 1);
    EXPECT_EQ(read->Find("Net/ThemeName")->TextValue, "Adwaita");
    EXPECT_EQ(read->Find("Net/ThemeName")->LastChange, 1u);
    EXPECT_EQ(read->Find("Gtk/Missing"), nullptr);

    const std::vector<uint8_t> off = {
        0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x00,
        0x47, 0x74, 0x6b, 0x2f, 0x45, 0x6e, 0x61, 0x62, 0x6c, 0x65, 0x41, 0x6e, 0x69, 0x6d, 0x61, 0x74,
        0x69, 0x6f, 0x6e, 0x73, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x0b, 0x00,
        0x54, 0x65, 0x73, 0x74, 0x2f, 0x43, 0x6f, 0x6c, 0x6f, 0x75, 0x72, 0x00, 0x01, 0x00, 0x00, 0x00,
        0x34, 0x12, 0xbc, 0x9a, 0x78, 0x56, 0xff, 0xff};
    read = ParseXSettings(off.data(), off.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Find("Gtk/EnableAnimations")->IntegerValue, 0);
    const TXSetting* colour = read->Find("Test/Colour");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->Kind, TXSetting::Colour);
    EXPECT_EQ(colour->ColourValue, (std::array<uint16_t, 4>{4660, 22136, 39612, 65535}));
}

TEST(DesktopSettings, MenusFadeWhereTheDesktopAnimatesThemAndWindowsComposite) {
    struct TCase {
        TMenuAnimationSources Sources;
        bool Compositing;
        bool Animation, Fade;
    };
    const TCase cases[] = {
        {{false, false, std::nullopt}, true, false, false}, // nothing asks for animation
        {{false, false, 0}, true, false, false},            // the desktop asks for none
        {{false, false, 1}, true, true, true},              // it does: menus fade in
        {{false, false, 1}, false, false, false},           // ... where windows composite
        {{false, true, 1}, false, false, false},            // a fade effect alone animates nothing
        {{true, false, 0}, false, true, false},             // the toolkit's effects: a slide
        {{true, true, std::nullopt}, false, true, true},    // a fade (the popup slides if it can not)
    };
    for (const TCase& c : cases) {
        TDesktopEffects effects;
        effects.Compositing = c.Compositing;
        ApplyMenuAnimation(effects, c.Sources);
        EXPECT_EQ(effects.MenuAnimation, c.Animation) << &c - cases;
        EXPECT_EQ(effects.MenuFade, c.Fade) << &c - cases;
        EXPECT_EQ(effects.Compositing, c.Compositing);
    }
}

} // namespace
