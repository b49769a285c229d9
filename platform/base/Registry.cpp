#include "platform/base/Registry.h"

#include "platform/base/HexDigits.h"
#include "platform/base/IniDocument.h"
#include "platform/base/Strings.h"
#include "platform/base/TextCodec.h"
#include "platform/base/UserFolders.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr std::string_view kString = "sz:";
constexpr std::string_view kExpandString = "expand_sz:";
constexpr std::string_view kInteger = "dword:";
constexpr std::string_view kBinary = "hex:";

void appendHexEscape(std::string& out, unsigned char byte) {
    out += "\\x";
    AppendHexByte(out, byte);
}

// "\\" is a backslash, "\xHH" a byte; a backslash before anything else
// stands for that character.
std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char next = s[i + 1];
        if ((next == 'x' || next == 'X') && i + 3 < s.size() && HexDigitValue(s[i + 2]) >= 0 &&
            HexDigitValue(s[i + 3]) >= 0) {
            out += static_cast<char>(HexDigitValue(s[i + 2]) * 16 + HexDigitValue(s[i + 3]));
            i += 3;
        } else {
            out += next;
            i += 1;
        }
    }
    return out;
}

// String data after its "sz:" prefix: backslashes and control bytes are
// escaped, and so is a trailing blank, which the INI rules would drop.
std::string escapeData(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || (c == ' ' && i + 1 == s.size()))
            appendHexEscape(out, c);
        else
            out += s[i];
    }
    return out;
}

// A value name as an INI key: never empty, no '=', nothing the INI rules
// would read differently at either end.
std::string encodeName(std::string_view name) {
    if (name.empty())
        return "@";
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        bool first = i == 0;
        bool last = i + 1 == name.size();
        if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c == '=' || (first && (c == ';' || c == '[' || c == '@' || c == 0xEF)) ||
                 ((first || last) && c == ' '))
            appendHexEscape(out, c);
        else
            out += name[i];
    }
    return out;
}

std::string decodeName(std::string_view key) { return key == "@" ? std::string() : unescape(key); }

// Key paths: backslash-separated, empty parts dropped.
std::string normalisePath(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            if (!out.empty())
                out += '\\';
            out += path.substr(start, end - start);
        }
        start = end + 1;
    }
    return out;
}

// Where section name lies against the key at path ("" is the root),
// ignoring ASCII case: the part of the name below the key ("" for the key
// itself), or nothing when the section is not the key or below it.
std::optional<std::string_view> partBelow(std::string_view name, std::string_view path) {
    if (path.empty())
        return name;
    if (name.size() < path.size() || !SameText(name.substr(0, path.size()), path))
        return std::nullopt;
    std::string_view rest = name.substr(path.size());
    if (rest.empty())
        return rest;
    if (rest.front() != '\\')
        return std::nullopt;
    return rest.substr(1);
}

std::string quoted(std::string_view name) {
    std::string text;
    text.reserve(name.size() + 2);
    text += '\'';
    text += name;
    text += '\'';
    return text;
}

// What became of one change to the store.
enum class TStoreChange { Unchanged, Saved, NotSaved };

// Loads the store, applies change (which says whether it changed anything)
// and writes the store back when it did.
template <class TChange>
TStoreChange changeStore(const std::string& fileName, TChange change) {
    TIniDocument document = *TIniDocument::Load(fileName);
    if (!change(document))
        return TStoreChange::Unchanged;
    try {
        document.Save(fileName, true);
    } catch (const EStreamError&) {
        return TStoreChange::NotSaved;
    }
    return TStoreChange::Saved;
}

} // namespace

struct TRegistry::TValue {
    bool present = false;
    TRegDataType type = rdUnknown;
    std::string bytes; // string or binary data
    int32_t integer = 0;
};

std::string RegistryStoreFileName() { return UserConfigFolder() + "/hkcu.ini"; }

TRegistry::TRegistry(HKEY rootKey) : rootKey_(rootKey), fileName_(RegistryStoreFileName()) {}

void TRegistry::SetRootKey(HKEY rootKey) {
    if (rootKey == rootKey_)
        return;
    CloseKey();
    rootKey_ = rootKey;
}

std::string TRegistry::resolve(std::string_view key) const {
    if (!key.empty() && key.front() == '\\')
        return normalisePath(key);
    return normalisePath(currentPath_ + "\\" + std::string(key));
}

bool TRegistry::keyExistsAt(const std::string& path) const {
    if (path.empty())
        return true;
    if (!storesKeys())
        return false;
    for (const std::string& name : TIniDocument::Load(fileName_)->SectionNames())
        if (partBelow(name, path))
            return true;
    return false;
}

bool TRegistry::addKey(const std::string& path) {
    if (!storesKeys() || !TIniDocument::IsStorableSection(path))
        return false;
    return changeStore(fileName_, [&](TIniDocument& document) { return document.AddSection(path); }) !=
           TStoreChange::NotSaved;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
    std::string path = resolve(key);
    if (!keyExistsAt(path) && !(canCreate && addKey(path)))
        return false;
    currentPath_ = path;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
    std::string path = resolve(key);
    if (!keyExistsAt(path))
        return false;
    currentPath_ = path;
    readOnly_ = true;
    return true;
}

void TRegistry::CloseKey() {
    currentPath_.clear();
    readOnly_ = false;
}

bool TRegistry::KeyExists(std::string_view key) const { return keyExistsAt(resolve(key)); }

bool TRegistry::CreateKey(std::string_view key) {
    std::string path = resolve(key);
    if (!keyExistsAt(path) && !addKey(path))
        throw ERegistryException("Failed to create key " + std::string(key));
    return true;
}

bool TRegistry::DeleteKey(std::string_view key) {
    std::string path = resolve(key);
    if (path.empty() || !storesKeys())
        return false;
    return changeStore(fileName_, [&](TIniDocument& document) {
               return document.EraseSections([&](std::string_view name) { return partBelow(name, path).has_value(); });
           }) == TStoreChange::Saved;
}

void TRegistry::GetKeyNames(TStrings& names) const {
    TStringList found; // ignores ASCII case, like key paths
    if (storesKeys()) {
        for (const std::string& name : TIniDocument::Load(fileName_)->SectionNames()) {
            std::optional<std::string_view> below = partBelow(name, currentPath_);
            if (!below)
                continue;
            std::string child(below->substr(0, below->find('\\')));
            if (!child.empty() && found.IndexOf(child) < 0)
                found.Add(child);
        }
    }
    names.Assign(&found);
}

void TRegistry::GetValueNames(TStrings& names) const {
    TStringList found;
    if (storesKeys())
        for (const auto& entry : TIniDocument::Load(fileName_)->Entries(currentPath_))
            found.Add(decodeName(entry.first));
    names.Assign(&found);
}

TRegistry::TValue TRegistry::readValue(std::string_view name) const {
    TValue value;
    if (!storesKeys())
        return value;
    auto document = TIniDocument::Load(fileName_);
    const std::string* data = document->FindValue(currentPath_, encodeName(name));
    if (data == nullptr)
        return value;
    value.present = true;
    std::string_view text = *data;
    if (text.starts_with(kString)) {
        value.type = rdString;
        value.bytes = unescape(text.substr(kString.size()));
    } else if (text.starts_with(kExpandString)) {
        value.type = rdExpandString;
        value.bytes = unescape(text.substr(kExpandString.size()));
    } else if (text.starts_with(kInteger)) {
        std::string_view digits = text.substr(kInteger.size());
        uint32_t bits = 0;
        bool ok = !digits.empty() && digits.size() <= 8;
        for (char c : digits) {
            int v = HexDigitValue(c);
            ok = ok && v >= 0;
            bits = bits * 16 + static_cast<uint32_t>(v < 0 ? 0 : v);
        }
        if (ok) {
            value.type = rdInteger;
            value.integer = static_cast<int32_t>(bits);
        }
    } else if (text.starts_with(kBinary)) {
        std::string_view hex = text.substr(kBinary.size());
        std::string bytes;
        bool ok = true;
        for (size_t i = 0; ok && i < hex.size(); i += 3) {
            ok = i + 1 < hex.size() && HexDigitValue(hex[i]) >= 0 && HexDigitValue(hex[i + 1]) >= 0 &&
                 (i + 2 == hex.size() || hex[i + 2] == ',');
            if (ok)
                bytes += static_cast<char>(HexDigitValue(hex[i]) * 16 + HexDigitValue(hex[i + 1]));
        }
        if (ok) {
            value.type = rdBinary;
            value.bytes = std::move(bytes);
        }
    } else {
        // No type prefix: a hand edit, taken as the string it shows.
        value.type = rdString;
        value.bytes = std::string(text);
    }
    return value;
}

void TRegistry::writeValue(std::string_view name, const std::string& data) {
    const std::string failed = "Failed to set data for " + quoted(name);
    if (!storesKeys() || readOnly_)
        throw ERegistryException(failed);
    if (changeStore(fileName_, [&](TIniDocument& document) {
            return document.SetValue(currentPath_, encodeName(name), data);
        }) == TStoreChange::NotSaved)
        throw ERegistryException(failed);
}

bool TRegistry::ValueExists(std::string_view name) const { return readValue(name).present; }

bool TRegistry::DeleteValue(std::string_view name) {
    if (!storesKeys() || readOnly_)
        return false;
    return changeStore(fileName_, [&](TIniDocument& document) {
               return document.DeleteKey(currentPath_, encodeName(name));
           }) == TStoreChange::Saved;
}

TRegDataType TRegistry::GetDataType(std::string_view name) const { return readValue(name).type; }

int TRegistry::GetDataSize(std::string_view name) const {
    TValue value = readValue(name);
    if (!value.present)
        return -1;
    return value.type == rdInteger ? 4 : static_cast<int>(value.bytes.size());
}

namespace {

[[noreturn]] void missingOrWrongType(bool present, std::string_view name) {
    if (!present)
        throw ERegistryException("Failed to get data for " + quoted(name));
    throw ERegistryException("Invalid data type for " + quoted(name));
}

} // namespace

std::string TRegistry::ReadString(std::string_view name) const {
    TValue value = readValue(name);
    if (value.type != rdString && value.type != rdExpandString)
        missingOrWrongType(value.present, name);
    return value.bytes;
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
    writeValue(name, std::string(kString) + escapeData(value));
}

int32_t TRegistry::ReadInteger(std::string_view name) const {
    TValue value = readValue(name);
    if (value.type != rdInteger)
        missingOrWrongType(value.present, name);
    return value.integer;
}

void TRegistry::WriteInteger(std::string_view name, int32_t value) {
    auto bits = static_cast<uint32_t>(value);
    std::string data(kInteger);
    for (int shift = 24; shift >= 0; shift -= 8)
        AppendHexByte(data, static_cast<unsigned char>(bits >> shift));
    writeValue(name, data);
}

bool TRegistry::ReadBool(std::string_view name) const { return ReadInteger(name) != 0; }

void TRegistry::WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

int TRegistry::ReadBinaryData(std::string_view name, void* buffer, int bufferSize) const {
    TValue value = readValue(name);
    if (value.type != rdBinary)
        missingOrWrongType(value.present, name);
    if (static_cast<int64_t>(value.bytes.size()) > bufferSize)
        throw ERegistryException("Failed to get data for " + quoted(name));
    if (!value.bytes.empty())
        std::memcpy(buffer, value.bytes.data(), value.bytes.size());
    return static_cast<int>(value.bytes.size());
}

void TRegistry::WriteBinaryData(std::string_view name, const void* data, int size) {
    std::string text(kBinary);
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size; ++i) { // a negative size writes no bytes
        if (i > 0)
            text += ',';
        AppendHexByte(text, bytes[i]);
    }
    writeValue(name, text);
}
