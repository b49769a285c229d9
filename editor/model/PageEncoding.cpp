#include "editor/model/PageEncoding.h"

#include "platform/base/Utf8.h"

#include <algorithm>
#include <array>

namespace {

constexpr size_t kDeclarationReach = 1024;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool sameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

// Where needle starts in text from `from` on, ignoring ASCII case.
size_t findAscii(std::string_view text, std::string_view needle, size_t from) {
    if (needle.size() > text.size())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= text.size(); ++i)
        if (sameAscii(text.substr(i, needle.size()), needle))
            return i;
    return std::string_view::npos;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The value after "charset" at `at` inside a tag: "= value", quoted or not,
// ending at a quote, a blank, ';' or '>'.
std::optional<std::string_view> charsetValue(std::string_view tag, size_t at) {
    size_t i = at + 7;
    while (i < tag.size() && isSpace(tag[i]))
        ++i;
    if (i >= tag.size() || tag[i] != '=')
        return std::nullopt;
    ++i;
    while (i < tag.size() && isSpace(tag[i]))
        ++i;
    if (i < tag.size() && (tag[i] == '"' || tag[i] == '\''))
        ++i;
    const size_t start = i;
    while (i < tag.size() && !isSpace(tag[i]) && tag[i] != '"' && tag[i] != '\'' && tag[i] != ';' && tag[i] != '>')
        ++i;
    if (i == start)
        return std::nullopt;
    return tag.substr(start, i - start);
}

} // namespace

std::optional<std::string_view> DeclaredCharset(std::string_view page) {
    const std::string_view head = page.substr(0, std::min(page.size(), kDeclarationReach));
    for (size_t meta = findAscii(head, "<meta", 0); meta != std::string_view::npos;
         meta = findAscii(head, "<meta", meta + 5)) {
        const size_t close = head.find('>', meta);
        const std::string_view tag = head.substr(meta, close == std::string_view::npos ? head.size() - meta
                                                                                       : close - meta + 1);
        for (size_t at = findAscii(tag, "charset", 0); at != std::string_view::npos;
             at = findAscii(tag, "charset", at + 7))
            if (auto value = charsetValue(tag, at))
                return value;
    }
    return std::nullopt;
}

TTextEncoding DetectPageEncoding(std::string_view page) {
    if (auto charset = DeclaredCharset(page)) {
        // Every name pages give UTF-8.
        static constexpr std::array<std::string_view, 6> utf8 = {
            "utf-8",         "utf8",          "unicode-1-1-utf-8",
            "unicode11utf8", "unicode20utf8", "x-unicode20utf8"};
        // Every name of the single-byte Latin code pages whose letters
        // are the code page's: Latin-1 (read as its superset Windows-1252,
        // as browsers do), Windows-1252 itself, Latin-9 and plain ASCII.
        static constexpr std::array<std::string_view, 27> latin = {
            "ansi_x3.4-1968", "ascii",           "cp1252",      "cp819",       "csisolatin1",
            "ibm819",         "iso-8859-1",      "iso-ir-100",  "iso8859-1",   "iso88591",
            "iso_8859-1",     "iso_8859-1:1987", "l1",          "latin1",      "latin-1",
            "us-ascii",       "windows-1252",    "x-cp1252",    "csisolatin9", "iso-8859-15",
            "iso8859-15",     "iso885915",       "iso_8859-15", "l9",          "latin9",
            "latin-9",        "iso_8859-15:1998"};
        auto named = [&](const auto& names) {
            return std::any_of(names.begin(), names.end(),
                               [&](std::string_view name) { return sameAscii(*charset, name); });
        };
        if (named(utf8))
            return teUtf8;
        if (named(latin))
            return teAnsi;
    }
    return IsValidUtf8(page) ? teUtf8 : teAnsi;
}
