#include "platform/base/IniFile.h"

#include "platform/base/HexDigits.h"
#include "platform/base/IniDocument.h"
#include "platform/base/Strings.h"
#include "platform/base/UpdateScope.h"

#include <cstdint>

// ---- The integer rule ----

bool TryParseIniInteger(std::string_view text, int32_t& value) {
    std::string prefixed;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        prefixed.reserve(text.size() - 1);
        prefixed += '$';
        prefixed += text.substr(2);
        text = prefixed;
    }
    size_t p = 0;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    bool hex = p < text.size() && text[p] == '$';
    if (hex)
        ++p;
    if (p == text.size())
        return false;
    // Accumulate in 64 bits and stop as soon as the 32-bit range is left.
    const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    uint64_t magnitude = 0;
    for (; p < text.size(); ++p) {
        const char c = text[p];
        const int digit = hex ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (magnitude > limit)
            return false;
    }
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
}

// ---- TCustomIniFile ----

int32_t TCustomIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
    int32_t value = 0;
    return TryParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TCustomIniFile::SectionExists(std::string_view section) const {
    TStringList keys;
    ReadSection(section, keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(std::string_view section, std::string_view key) const {
    TStringList keys;
    ReadSection(section, keys);
    return keys.IndexOf(key) >= 0;
}

// ---- TIniFile ----

namespace {

[[noreturn]] void refuse(const std::string& fileName, const std::string& why = {}) {
    throw EIniFileException(FormatMessageText("Unable to write to %s", fileName.c_str()) + why);
}

void save(const TIniDocument& document, const std::string& fileName) {
    try {
        document.Save(fileName);
    } catch (const EStreamError&) {
        refuse(fileName);
    }
}

} // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    auto document = TIniDocument::Load(FileName());
    const std::string* value = document->FindValue(section, key);
    return value != nullptr ? *value : std::string(defaultValue);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    // Names are looked up without their surrounding blanks and are written
    // the same way.
    section = TIniDocument::Trim(section);
    key = TIniDocument::Trim(key);
    if (!TIniDocument::IsStorableSection(section))
        refuse(FileName(), ": the section name \"" + std::string(section) + "\" can not be stored");
    if (!TIniDocument::IsStorableKey(key))
        refuse(FileName(), ": the key \"" + std::string(key) + "\" can not be stored");
    if (!TIniDocument::IsStorableValue(value))
        refuse(FileName(), ": a value can not hold a line break");
    TIniDocument document = *TIniDocument::Load(FileName());
    // An unchanged value needs no write (and the file exists, since the
    // value was read from it).
    if (document.SetValue(section, key, value))
        save(document, FileName());
}

void TIniFile::ReadSection(std::string_view section, TStrings& keys) const {
    auto document = TIniDocument::Load(FileName());
    RunInUpdate(keys, [&] {
        keys.Clear();
        for (const auto& entry : document->Entries(section))
            keys.Add(entry.first);
    });
}

void TIniFile::ReadSections(TStrings& sections) const {
    auto document = TIniDocument::Load(FileName());
    RunInUpdate(sections, [&] {
        sections.Clear();
        for (const std::string& name : document->SectionNames())
            sections.Add(name);
    });
}

void TIniFile::ReadSectionValues(std::string_view section, TStrings& values) const {
    auto document = TIniDocument::Load(FileName());
    RunInUpdate(values, [&] {
        values.Clear();
        for (const auto& entry : document->Entries(section))
            values.Add(entry.first + "=" + entry.second);
    });
}

void TIniFile::EraseSection(std::string_view section) {
    TIniDocument document = *TIniDocument::Load(FileName());
    if (document.EraseSection(section))
        save(document, FileName());
}

void TIniFile::WriteSection(std::string_view section,
                            const std::vector<std::pair<std::string, std::string>>& entries) {
    section = TIniDocument::Trim(section);
    if (!TIniDocument::IsStorableSection(section))
        refuse(FileName(), ": the section name \"" + std::string(section) + "\" can not be stored");
    TIniDocument document = *TIniDocument::Load(FileName());
    document.EraseSection(section);
    document.AddSection(section);
    for (const auto& [key, value] : entries) {
        std::string_view name = TIniDocument::Trim(key);
        if (!TIniDocument::IsStorableKey(name))
            refuse(FileName(), ": the key \"" + std::string(name) + "\" can not be stored");
        if (!TIniDocument::IsStorableValue(value))
            refuse(FileName(), ": a value can not hold a line break");
        document.SetValue(section, name, value);
    }
    save(document, FileName());
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    TIniDocument document = *TIniDocument::Load(FileName());
    if (!document.DeleteKey(section, key))
        return;
    try {
        document.Save(FileName());
    } catch (const EStreamError&) {
        // Deleting is best effort by contract: callers clear out stale keys
        // and carry on.
    }
}

bool TIniFile::SectionExists(std::string_view section) const {
    return TIniDocument::Load(FileName())->SectionExists(section);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return TIniDocument::Load(FileName())->FindValue(section, key) != nullptr;
}
