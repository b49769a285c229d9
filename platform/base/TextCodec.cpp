#include "platform/base/TextCodec.h"

#include "platform/base/QtBridge.h"
#include "platform/base/Utf8.h"

#include <QList>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// Bytes 0x80-0x9F of the code page.  Undefined positions keep the C1 control
// character of the same number, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    CaseTables() {
        for (int i = 0; i < 256; ++i) {
            upper[i] = static_cast<unsigned char>(i);
            lower[i] = static_cast<unsigned char>(i);
        }
        auto pair = [this](int small, int capital) {
            upper[small] = static_cast<unsigned char>(capital);
            lower[capital] = static_cast<unsigned char>(small);
        };
        for (int c = 'a'; c <= 'z'; ++c)
            pair(c, c - 32);
        for (int c = 0xE0; c <= 0xFE; ++c)
            if (c != 0xF7)
                pair(c, c - 32);
        pair(0x9A, 0x8A); // s with caron
        pair(0x9C, 0x8C); // oe ligature
        pair(0x9E, 0x8E); // z with caron
        pair(0xFF, 0x9F); // y with diaeresis
    }
};

const CaseTables& caseTables() {
    static const CaseTables tables;
    return tables;
}

} // namespace

const char* TextEncodingName(TTextEncoding encoding) { return encoding == teUtf8 ? "UTF-8" : "Windows-1252"; }

char16_t AnsiCharToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

int UnicodeToAnsiChar(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<int>(character);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == character)
            return 0x80 + i;
    return -1;
}

QString AnsiToQString(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(AnsiCharToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

QString Utf8ToQString(std::string_view bytes) {
    // Valid text (nearly all) goes through Qt's own decoder.
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t i = 0; i < bytes.size();) {
        char32_t character;
        size_t length = Utf8SequenceLength(bytes.substr(i), character);
        if (length == 0) {
            character = AnsiCharToUnicode(static_cast<unsigned char>(bytes[i]));
            length = 1;
        }
        if (character >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(character)));
            text.append(QChar(QChar::lowSurrogate(character)));
        } else {
            text.append(QChar(static_cast<char16_t>(character)));
        }
        i += length;
    }
    return text;
}

std::string QStringToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString BytesToQString(std::string_view bytes, TTextEncoding encoding) {
    return encoding == teUtf8 ? Utf8ToQString(bytes) : AnsiToQString(bytes);
}

std::string QStringToBytes(const QString& text, TTextEncoding encoding) {
    return encoding == teUtf8 ? QStringToUtf8(text) : QStringToAnsi(text);
}

std::string QStringToAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    const auto ucs4 = text.toUcs4();
    for (char32_t character : ucs4) {
        int byte = UnicodeToAnsiChar(character);
        bytes.push_back(static_cast<char>(byte < 0 ? '?' : byte));
    }
    return bytes;
}

unsigned char AnsiUpperChar(unsigned char byte) { return caseTables().upper[byte]; }

unsigned char AnsiLowerChar(unsigned char byte) { return caseTables().lower[byte]; }

namespace {

unsigned char asciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }
unsigned char asciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// The code page's rule: one look-up in a case table.
auto byTable(const std::array<unsigned char, 256>& table) {
    return [&table](unsigned char c) { return table[c]; };
}

// Every byte of a buffer through one case rule.
template <typename Fold>
void foldInPlace(char* text, size_t length, Fold fold) {
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>(fold(static_cast<unsigned char>(text[i])));
}

template <typename Fold>
std::string foldedCopy(std::string_view text, Fold fold) {
    std::string result(text);
    foldInPlace(result.data(), result.size(), fold);
    return result;
}

template <typename Fold>
int compareFolded(std::string_view a, std::string_view b, Fold fold) {
    size_t n = std::min(a.size(), b.size());
    // Equal bytes fold equally: runs of them are passed eight at a time,
    // and only bytes that differ are folded (sorted lists compare a lot).
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little)
                i += static_cast<size_t>(std::countr_zero(x ^ y) / 8); // the first byte that differs
            break;
        }
    }
    for (; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        int ca = fold(static_cast<unsigned char>(a[i]));
        int cb = fold(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

void AnsiUpperCaseInPlace(char* text, size_t length) { foldInPlace(text, length, byTable(caseTables().upper)); }

std::string AnsiUpperCase(std::string_view text) { return foldedCopy(text, byTable(caseTables().upper)); }

std::string AnsiLowerCase(std::string_view text) { return foldedCopy(text, byTable(caseTables().lower)); }

int AnsiCompareText(std::string_view a, std::string_view b) {
    return compareFolded(a, b, byTable(caseTables().upper));
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

void UpperCaseInPlace(char* text, size_t length) { foldInPlace(text, length, asciiUpper); }

std::string UpperCase(std::string_view text) { return foldedCopy(text, asciiUpper); }

std::string LowerCase(std::string_view text) { return foldedCopy(text, asciiLower); }

int CompareText(std::string_view a, std::string_view b) { return compareFolded(a, b, asciiUpper); }

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}
