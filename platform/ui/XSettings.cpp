#include "platform/ui/XSettings.h"

namespace {

// Reads the property front to back in its byte order; every read checks
// what is left first, and a failed one leaves the reader failed.
class TPropertyReader {
public:
    TPropertyReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool Failed() const { return failed_; }
    void SetBigEndian(bool big) { big_ = big; }
    uint8_t Byte() { return uint8_t(Number(1)); }
    uint16_t Card16() { return uint16_t(Number(2)); }
    uint32_t Card32() { return uint32_t(Number(4)); }
    void Skip(size_t count) { (void)take(count); }
    // `length` bytes, then the padding to a multiple of 4.
    std::string Text(size_t length) {
        const uint8_t* start = take(length);
        Skip((4 - length % 4) % 4);
        return start != nullptr && !failed_ ? std::string(reinterpret_cast<const char*>(start), length)
                                            : std::string();
    }
    uint64_t Number(size_t width) {
        const uint8_t* start = take(width);
        uint64_t value = 0;
        for (size_t i = 0; start != nullptr && i < width; ++i)
            value |= uint64_t(start[big_ ? width - 1 - i : i]) << (8 * i);
        return value;
    }

private:
    const uint8_t* take(size_t count) {
        if (failed_ || count > size_ - position_) {
            failed_ = true;
            return nullptr;
        }
        const uint8_t* start = bytes_ + position_;
        position_ += count;
        return start;
    }

    const uint8_t* bytes_;
    size_t size_;
    size_t position_ = 0;
    bool big_ = false;
    bool failed_ = false;
};

} // namespace

const TXSetting* TXSettings::Find(std::string_view name) const {
    for (const TXSetting& setting : Settings)
        if (setting.Name == name)
            return &setting;
    return nullptr;
}

std::optional<TXSettings> ParseXSettings(const uint8_t* bytes, size_t size) {
    TPropertyReader reader(bytes, size);
    const uint8_t order = reader.Byte();
    if (order > 1)
        return std::nullopt;
    reader.SetBigEndian(order == 1);
    reader.Skip(3);
    TXSettings settings;
    settings.Serial = reader.Card32();
    const uint32_t count = reader.Card32();
    // Each setting takes at least 12 bytes: a count beyond what the bytes
    // can hold is refused before anything is reserved for it.
    if (reader.Failed() || count > size / 12)
        return std::nullopt;
    settings.Settings.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        TXSetting setting;
        const uint8_t kind = reader.Byte();
        if (kind > TXSetting::Colour)
            return std::nullopt;
        setting.Kind = TXSetting::TKind(kind);
        reader.Skip(1);
        setting.Name = reader.Text(reader.Card16());
        setting.LastChange = reader.Card32();
        switch (setting.Kind) {
        case TXSetting::Integer:
            setting.IntegerValue = int32_t(reader.Card32());
            break;
        case TXSetting::Text:
            setting.TextValue = reader.Text(reader.Card32());
            break;
        case TXSetting::Colour: {
            const uint16_t red = reader.Card16(), blue = reader.Card16(), green = reader.Card16();
            setting.ColourValue = {red, green, blue, reader.Card16()};
            break;
        }
        }
        if (reader.Failed())
            return std::nullopt;
        settings.Settings.push_back(std::move(setting));
    }
    return settings;
}
