// Fuzz entry point for the settings files: the INI document (settings,
// projects, recent lists and the registry store all read through it), the
// registry store's value decoding, and project files.  The first byte
// chooses the parser.
//
// - INI document: what the document answers must be what a reader written
//   from the reading rules alone (below) makes of the same text, before
//   and after a series of edits taken from the input, and the text written
//   after the edits must read back as the edited document; each edit
//   changes what it names and nothing else.  Integers read as the rules
//   say.
// - Registry store: the input is the store file.  Every key listed opens,
//   every value listed exists with a type and size that agree, and every
//   value, written into a fresh store under the same key and name, reads
//   back the same.
// - Project files: the paths read, written into the file again, read back
//   the same, and the file's other sections stay as they were.

#include "app/ProjectFiles.h"
#include "fuzz/FuzzFiles.h"
#include "fuzz/FuzzInput.h"
#include "platform/base/IniDocument.h"
#include "platform/base/IniFile.h"
#include "platform/base/Registry.h"
#include "platform/base/Strings.h"

#include <charconv>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// ---- A reader written from the rules, not from the document's code ----

bool blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

struct TReadSection {
    std::string Name; // first spelling
    std::vector<std::pair<std::string, std::string>> Entries; // first spelling of each key, first value
};

struct TReadIni {
    std::vector<TReadSection> Sections; // one per name, in file order

    const TReadSection* Find(std::string_view name) const {
        for (const TReadSection& section : Sections)
            if (folded(section.Name) == folded(trimmed(name)))
                return &section;
        return nullptr;
    }
    const std::string* Value(std::string_view section, std::string_view key) const {
        const TReadSection* found = Find(section);
        if (found == nullptr)
            return nullptr;
        for (const auto& entry : found->Entries)
            if (folded(entry.first) == folded(trimmed(key)))
                return &entry.second;
        return nullptr;
    }
};

TReadIni ReadByTheRules(std::string_view text) {
    TReadIni ini;
    TReadSection* current = nullptr; // null above the first section and in a repeated one
    bool first = true;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end;
        if (start < text.size())
            start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
        if (first && line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        first = false;
        line = trimmed(line);
        if (line.empty() || line.front() == ';')
            continue;
        size_t close = line.rfind(']');
        if (line.front() == '[' && close != std::string_view::npos) {
            std::string name(trimmed(line.substr(1, close - 1)));
            current = nullptr;
            if (ini.Find(name) == nullptr) {
                ini.Sections.push_back({name, {}});
                current = &ini.Sections.back();
            }
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos || current == nullptr)
            continue;
        std::string_view key = trimmed(line.substr(0, equals));
        std::string_view value = trimmed(line.substr(equals + 1));
        if (key.empty())
            continue;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        bool seen = false;
        for (const auto& entry : current->Entries)
            seen = seen || folded(entry.first) == folded(key);
        if (!seen)
            current->Entries.emplace_back(std::string(key), std::string(value));
    }
    return ini;
}

// The document answers as the rules read.
void CheckAgrees(const TIniDocument& document, const TReadIni& expected) {
    std::vector<std::string> names;
    for (const TReadSection& section : expected.Sections)
        names.push_back(section.Name);
    FuzzCheck(document.SectionNames() == names);
    for (const TReadSection& section : expected.Sections) {
        FuzzCheck(document.SectionExists(section.Name));
        FuzzCheck(document.Entries(section.Name) == section.Entries);
        for (const auto& [key, value] : section.Entries) {
            const std::string* found = document.FindValue(section.Name, key);
            FuzzCheck(found != nullptr && *found == value);
        }
    }
}

// Every value of before that the edit was not about is in after, and the
// other way round; sections likewise.
void CheckOnlyChanged(const TReadIni& before, const TReadIni& after, std::string_view section,
                      std::optional<std::string_view> key) {
    auto same = [&](std::string_view name) { return folded(trimmed(name)) == folded(trimmed(section)); };
    for (const TReadIni* one : {&before, &after}) {
        const TReadIni* other = one == &before ? &after : &before;
        for (const TReadSection& s : one->Sections) {
            // The section edited may come or go; then it holds nothing
            // but the key edited.
            if (same(s.Name) && !key)
                continue;
            const bool there = other->Find(s.Name) != nullptr;
            FuzzCheck(there || same(s.Name));
            for (const auto& [k, value] : s.Entries) {
                if (same(s.Name) && folded(k) == folded(trimmed(*key)))
                    continue;
                const std::string* found = other->Value(s.Name, k);
                FuzzCheck(found != nullptr && *found == value);
            }
        }
    }
}

// Integers: decimal within 32 bits agrees with the standard conversion;
// whatever reads back as a number writes as one that reads the same.
void CheckInteger(std::string_view text) {
    int32_t value = 0;
    const bool read = TryParseIniInteger(text, value);
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    const bool decimal = !digits.empty() && digits.find_first_not_of("-0123456789") == std::string_view::npos;
    if (decimal) {
        int64_t wide = 0;
        auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), wide);
        const bool fits = error == std::errc() && stop == digits.data() + digits.size() && wide >= INT32_MIN &&
                          wide <= INT32_MAX && !(text.front() == '+' && digits.front() == '-');
        FuzzCheck(read == fits);
        FuzzCheck(!fits || value == wide);
    }
    if (read) {
        int32_t again = 0;
        FuzzCheck(TryParseIniInteger(std::to_string(value), again) && again == value);
    }
}

void FuzzIniDocument(TFuzzInput& input) {
    struct TEdit {
        uint8_t Kind;
        std::string Section, Key, Value;
    };
    std::vector<TEdit> edits(input.Byte() % 8);
    for (TEdit& edit : edits) {
        edit.Kind = input.Byte();
        edit.Section = input.Bytes(input.Byte() % 24);
        edit.Key = input.Bytes(input.Byte() % 24);
        edit.Value = input.Bytes(input.Byte() % 48);
    }
    const std::string text = input.Rest();
    TIniDocument document(text);
    TReadIni expected = ReadByTheRules(text);
    CheckAgrees(document, expected);
    CheckAgrees(TIniDocument(document.Text()), expected);
    for (const auto& section : expected.Sections)
        for (const auto& entry : section.Entries)
            CheckInteger(entry.second);

    for (const TEdit& edit : edits) {
        const std::string before = document.Text();
        bool changed = false;
        std::optional<std::string_view> key;
        switch (edit.Kind % 4) {
        case 0:
            if (!TIniDocument::IsStorableSection(edit.Section) || !TIniDocument::IsStorableKey(edit.Key) ||
                !TIniDocument::IsStorableValue(edit.Value))
                continue;
            changed = document.SetValue(edit.Section, edit.Key, edit.Value);
            key = edit.Key;
            FuzzCheck(document.FindValue(edit.Section, edit.Key) != nullptr &&
                      *document.FindValue(edit.Section, edit.Key) == edit.Value);
            break;
        case 1:
            changed = document.DeleteKey(edit.Section, edit.Key);
            key = edit.Key;
            FuzzCheck(document.FindValue(edit.Section, edit.Key) == nullptr);
            break;
        case 2:
            changed = document.EraseSection(edit.Section);
            FuzzCheck(!document.SectionExists(edit.Section));
            break;
        default:
            if (!TIniDocument::IsStorableSection(edit.Section))
                continue;
            changed = document.AddSection(edit.Section);
            key = "";
            FuzzCheck(document.SectionExists(edit.Section));
            break;
        }
        // What was written reads as the document says, and only what the
        // edit named has changed.
        const TReadIni after = ReadByTheRules(document.Text());
        if (getenv("FUZZ_DEBUG")) { fprintf(stderr, "edit %d [%s] [%s] [%s]\n---\n%s\n---\n", edit.Kind % 4, edit.Section.c_str(), edit.Key.c_str(), edit.Value.c_str(), document.Text().c_str()); }
        CheckAgrees(document, after);
        CheckOnlyChanged(expected, after, edit.Section, key);
        FuzzCheck(changed == (document.Text() != before));
        expected = after;
    }
}

// ---- The registry store ----

class TStoreAt {
public:
    explicit TStoreAt(const std::string& folder) { ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1); }
};

struct TStoredValue {
    TRegDataType Type = rdUnknown;
    std::string Bytes;
    int32_t Integer = 0;
    bool operator==(const TStoredValue&) const = default;
};

// Reads a value of the open key as its type says; the readers of other
// types refuse it with the registry's own exception.
TStoredValue ReadStored(const TRegistry& registry, const std::string& name) {
    TStoredValue value;
    value.Type = registry.GetDataType(name);
    const int size = registry.GetDataSize(name);
    auto refuses = [&](auto read) {
        try {
            read();
        } catch (const ERegistryException&) {
            return true;
        }
        return false;
    };
    switch (value.Type) {
    case rdString:
    case rdExpandString:
        value.Bytes = registry.ReadString(name);
        FuzzCheck(size == static_cast<int>(value.Bytes.size()));
        FuzzCheck(refuses([&] { registry.ReadInteger(name); }));
        break;
    case rdInteger:
        value.Integer = registry.ReadInteger(name);
        FuzzCheck(size == 4);
        FuzzCheck(refuses([&] { registry.ReadString(name); }));
        break;
    case rdBinary: {
        std::string buffer(static_cast<size_t>(size) + 1, '\0');
        const int read = registry.ReadBinaryData(name, buffer.data(), size + 1);
        FuzzCheck(read == size);
        value.Bytes = buffer.substr(0, static_cast<size_t>(read));
        if (size > 0) {
            FuzzCheck(refuses([&] { registry.ReadBinaryData(name, buffer.data(), size - 1); }));
        }
        FuzzCheck(refuses([&] { registry.ReadString(name); }));
        break;
    }
    default:
        FuzzCheck(refuses([&] { registry.ReadString(name); }));
        FuzzCheck(refuses([&] { registry.ReadInteger(name); }));
        break;
    }
    return value;
}

void WriteStored(TRegistry& registry, const std::string& name, const TStoredValue& value) {
    switch (value.Type) {
    case rdString:
    case rdExpandString:
        registry.WriteString(name, value.Bytes);
        break;
    case rdInteger:
        registry.WriteInteger(name, value.Integer);
        break;
    case rdBinary:
        registry.WriteBinaryData(name, value.Bytes.data(), static_cast<int>(value.Bytes.size()));
        break;
    default:
        break;
    }
}

void FuzzRegistry(TFuzzInput& input) {
    const std::string source = FuzzScratchFolder() + "/registry-in";
    const std::string copy = FuzzScratchFolder() + "/registry-out";
    WriteFuzzFile(source + "/korvane-ondrill/hkcu.ini", input.Rest());
    std::filesystem::remove_all(copy);
    std::vector<std::string> pending{""};
    int keys = 0;
    while (!pending.empty() && keys < 64) {
        const std::string path = pending.back();
        pending.pop_back();
        ++keys;
        TStoreAt from(source);
        TRegistry registry;
        FuzzCheck(registry.OpenKeyReadOnly("\\" + path));
        TStringList children, names;
        registry.GetKeyNames(children);
        registry.GetValueNames(names);
        for (int i = 0; i < children.Count(); ++i)
            pending.push_back(path.empty() ? children.Get(i) : path + "\\" + children.Get(i));
        for (int i = 0; i < names.Count() && i < 64; ++i) {
            // A name spelt in the file as the program never writes it (a
            // raw control byte, a needless escape) is listed by what it
            // reads as, and looked up by the program's own spelling: it may
            // then not be found.  Names the program writes are checked on
            // the copy below.
            const std::string name = names.Get(i);
            if (!registry.ValueExists(name))
                continue;
            const TStoredValue value = ReadStored(registry, name);
            if (value.Type == rdUnknown)
                continue;
            // Written by the program, the value reads back as it was.
            // A key whose name the store cannot hold (a blank at the end
            // of a part, which reading drops) cannot be made.
            TStoreAt to(copy);
            TRegistry written;
            if (!written.OpenKey("\\" + path, true)) {
                FuzzCheck(!TIniDocument::IsStorableSection(path));
                continue;
            }
            WriteStored(written, name, value);
            TStoredValue again = ReadStored(written, name);
            if (value.Type == rdExpandString)
                again.Type = rdExpandString; // the program writes plain strings only
            FuzzCheck(again == value);
        }
    }
}

// ---- Project files ----

void FuzzProjectFile(TFuzzInput& input) {
    const std::string fileName = FuzzScratchFolder() + "/project.ond";
    const std::string text = input.Rest();
    WriteFuzzFile(fileName, text);
    const std::vector<std::string> paths = ReadProjectFile(fileName);
    const TReadIni before = ReadByTheRules(text);
    WriteProjectFile(fileName, paths);
    FuzzCheck(ReadProjectFile(fileName) == paths);
    const TReadIni after = ReadByTheRules(TIniDocument::Load(fileName)->Text());
    for (const TReadSection& section : before.Sections) {
        if (folded(section.Name) == folded(kProjectSection))
            continue;
        const TReadSection* kept = after.Find(section.Name);
        FuzzCheck(kept != nullptr && kept->Entries == section.Entries);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzIniDocument, FuzzRegistry, FuzzProjectFile});
    return 0;
}
