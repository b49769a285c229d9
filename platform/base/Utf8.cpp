#include "platform/base/Utf8.h"

#include "platform/base/TextCodec.h"

#include <algorithm>
#include <cstring>

size_t Utf8SequenceLength(std::string_view text, char32_t& codePoint) {
    if (text.empty())
        return 0;
    auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

bool IsIgnorableCharacter(char32_t c) {
    if (c < 0x034F)
        return false;
    struct TRange {
        char32_t First;
        char32_t Last;
    };
    static constexpr TRange kRanges[] = {
        {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160},   {0x17B4, 0x17B5}, {0x180B, 0x180F},
        {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164}, {0xFE00, 0xFE0F},
        {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8},   {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    for (const TRange& range : kRanges)
        if (c >= range.First && c <= range.Last)
            return true;
    return false;
}

size_t Utf8CharStart(std::string_view text, size_t at) {
    if (at == 0 || at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
        return at;
    // A sequence is at most four bytes: its lead is at most three back.
    for (size_t back = 1; back <= 3 && back <= at; ++back) {
        const auto c = static_cast<unsigned char>(text[at - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        char32_t codePoint;
        const size_t length = Utf8SequenceLength(text.substr(at - back), codePoint);
        return length > back ? at - back : at;
    }
    return at;
}

size_t Utf8PreviousChar(std::string_view text, size_t at) {
    if (at == 0)
        return 0;
    return Utf8CharStart(text, at - 1);
}

size_t Utf8CharCount(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i = Utf8NextChar(text, i))
        ++count;
    return count;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        // Runs of ASCII, which most pages mostly are, eight bytes at a time.
        uint64_t eight;
        if (i + 8 <= text.size() && (std::memcpy(&eight, text.data() + i, 8), (eight & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t codePoint;
        const size_t length = Utf8SequenceLength(text.substr(i), codePoint);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string AnsiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, AnsiCharToUnicode(static_cast<unsigned char>(c)));
    return out;
}

bool Utf8ToAnsi(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    bool complete = true;
    for (size_t i = 0; i < text.size();) {
        char32_t codePoint;
        const size_t length = Utf8SequenceLength(text.substr(i), codePoint);
        if (length == 0) {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        const int byte = UnicodeToAnsiChar(codePoint);
        if (byte >= 0) {
            out.push_back(static_cast<char>(byte));
        } else {
            out += "&#" + std::to_string(static_cast<unsigned long>(codePoint)) + ';';
            complete = false;
        }
        i += length;
    }
    return complete;
}

std::string ProgramTextToDocument(std::string_view text, TTextEncoding encoding) {
    if (encoding == teUtf8)
        return std::string(text);
    std::string bytes;
    Utf8ToAnsi(text, bytes);
    return bytes;
}

std::string DocumentTextToProgram(std::string_view text, TTextEncoding encoding) {
    return encoding == teUtf8 ? std::string(text) : AnsiToUtf8(text);
}

char32_t Utf8CharacterAt(std::string_view text, size_t& at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    char32_t character = byte;
    size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text.substr(at), character);
    if (length == 0) {
        character = AnsiCharToUnicode(byte);
        length = 1;
    }
    at += length;
    return character;
}

namespace {

// The character at text[i] under a code-page case rule, as a code point;
// i moves past it.  A byte outside a valid sequence is its code-page
// character.
template <class Fold>
char32_t foldedCharacter(std::string_view text, size_t& i, Fold fold) {
    const char32_t character = Utf8CharacterAt(text, i);
    const int inCodePage = character < 0x80 ? static_cast<int>(character) : UnicodeToAnsiChar(character);
    return inCodePage < 0 ? character : AnsiCharToUnicode(fold(static_cast<unsigned char>(inCodePage)));
}

template <class Fold>
std::string foldedUtf8(std::string_view text, Fold fold) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        const auto byte = static_cast<unsigned char>(text[i]);
        char32_t character;
        if (byte >= 0x80 && Utf8SequenceLength(text.substr(i), character) == 0) {
            out.push_back(text[i++]); // kept as it is
            continue;
        }
        const char32_t folded = foldedCharacter(text, i, fold);
        if (byte < 0x80)
            out.push_back(static_cast<char>(folded));
        else if (folded == character)
            out.append(text.substr(start, i - start));
        else
            AppendUtf8(out, folded);
    }
    return out;
}

} // namespace

std::string Utf8UpperCase(std::string_view text) { return foldedUtf8(text, AnsiUpperChar); }

std::string Utf8LowerCase(std::string_view text) { return foldedUtf8(text, AnsiLowerChar); }

int Utf8CompareText(std::string_view a, std::string_view b) {
    // Equal bytes fold equally: the comparison starts at the last character
    // boundary (after an ASCII byte) before the first byte that differs.
    size_t same = 0;
    const size_t shorter = std::min(a.size(), b.size());
    while (same < shorter && a[same] == b[same])
        ++same;
    while (same > 0 && static_cast<unsigned char>(a[same - 1]) >= 0x80)
        --same;
    size_t i = same;
    size_t j = same;
    while (i < a.size() && j < b.size()) {
        const char32_t x = foldedCharacter(a, i, AnsiUpperChar);
        const char32_t y = foldedCharacter(b, j, AnsiUpperChar);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}
