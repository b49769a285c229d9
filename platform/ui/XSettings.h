#pragma once
// The settings an X desktop publishes to its programs (its settings
// daemon keeps them in the "_XSETTINGS_SETTINGS" property of the window
// that owns the "_XSETTINGS_S<screen>" selection): named integers, texts
// and colours, such as "Gtk/EnableAnimations" or "Net/ThemeName".  Only
// the property's bytes are read here; platform_widgets fetches them.
//
// The bytes: a byte-order byte (0 least significant byte first, 1 most),
// three unused, the serial and the number of settings (32 bits each);
// then per setting its type (0 integer, 1 text, 2 colour), one unused
// byte, the name's length (16 bits), the name padded to a multiple of 4,
// the serial of its last change (32 bits) and its value: an integer (32
// bits), a text (its length in 32 bits, then the bytes padded to a
// multiple of 4) or a colour (red, blue, green and alpha, 16 bits each).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TXSetting {
    enum TKind : uint8_t { Integer = 0, Text = 1, Colour = 2 };
    TKind Kind = Integer;
    std::string Name;
    uint32_t LastChange = 0;
    int32_t IntegerValue = 0;               // Integer
    std::string TextValue;                  // Text
    std::array<uint16_t, 4> ColourValue{};  // Colour: red, green, blue, alpha
    friend bool operator==(const TXSetting&, const TXSetting&) = default;
};

struct TXSettings {
    uint32_t Serial = 0;
    std::vector<TXSetting> Settings;
    // The setting of that name, or nullptr.
    const TXSetting* Find(std::string_view name) const;
};

// The settings the bytes hold; nothing when they are not such a property
// (an unknown byte order or type, or a length that runs past the end).
std::optional<TXSettings> ParseXSettings(const uint8_t* bytes, size_t size);
