#include "platform/base/Utf8.h"

#include "platform/base/TextCodec.h"

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
