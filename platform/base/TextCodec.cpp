#include "platform/base/TextCodec.h"

#include "platform/base/QtBridge.h"
#include "platform/base/Utf8.h"

#include <QList>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

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

char KeyCharOf(char32_t character) {
    const int byte = UnicodeToAnsiChar(character);
    return static_cast<char>(byte >= 0 ? byte : '?');
}

QString AnsiToQString(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(AnsiCharToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

namespace {

void appendCharacter(QString& text, char32_t character) {
    if (character >= 0x10000) {
        text.append(QChar(QChar::highSurrogate(character)));
        text.append(QChar(QChar::lowSurrogate(character)));
    } else {
        text.append(QChar(static_cast<char16_t>(character)));
    }
}

QString fromUtf8(std::string_view bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }

} // namespace

QString Utf8ToQString(std::string_view bytes) {
    // Valid text (nearly all) goes through Qt's own decoder.
    if (IsValidUtf8(bytes))
        return fromUtf8(bytes);
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t i = 0; i < bytes.size();) {
        char32_t character;
        size_t length = Utf8SequenceLength(bytes.substr(i), character);
        if (length == 0) {
            character = AnsiCharToUnicode(static_cast<unsigned char>(bytes[i]));
            length = 1;
        }
        appendCharacter(text, character);
        i += length;
    }
    return text;
}

namespace {

// A byte the program's text can not show as a character stands in a
// control as this private-use character plus the byte (U+F780..U+F7FF).
constexpr char32_t kByteEscapeBase = 0xF700;

bool isByteEscape(char32_t character) {
    return character >= kByteEscapeBase + 0x80 && character <= kByteEscapeBase + 0xFF;
}

// The character at the start of the program's text as a control shows it:
// Length bytes that are one Character, or Length bytes each shown as its
// escape (a byte outside a valid sequence, or the bytes of a character of
// the escapes' own range).
struct TShownCharacter {
    size_t Length;
    char32_t Character;
    bool Escaped;
    int Units() const { return Escaped ? static_cast<int>(Length) : Character >= 0x10000 ? 2 : 1; }
};

TShownCharacter shownCharacterAt(std::string_view text) {
    char32_t character = 0;
    const size_t length = Utf8SequenceLength(text, character);
    if (length == 0)
        return {1, 0, true};
    return {length, character, isByteEscape(character)};
}

// The character at position i of a Qt text: Units UTF-16 units that stand
// for one code point, or for one byte (Escaped).  A lone surrogate, which
// no text of the program makes, reads as the replacement character.
struct TQtCharacter {
    int Units;
    char32_t Value;
    bool Escaped;
    size_t Bytes() const { return Escaped || Value < 0x80 ? 1 : Value < 0x800 ? 2 : Value < 0x10000 ? 3 : 4; }
};

TQtCharacter qtCharacterAt(const QString& text, qsizetype i) {
    const char16_t unit = text[i].unicode();
    if (isByteEscape(unit))
        return {1, unit - kByteEscapeBase, true};
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {2, QChar::surrogateToUcs4(unit, text[i + 1].unicode()), false};
    if (QChar::isSurrogate(unit))
        return {1, 0xFFFD, false};
    return {1, unit, false};
}

} // namespace

namespace {

// Qt's own decoding of text, when it is the program's mapping too: every
// byte in a valid sequence and no character of the escapes' range (nearly
// all text).  Qt shows a byte outside a valid sequence as U+FFFD; a
// genuine U+FFFD takes the long way too.
std::optional<QString> decodedByQt(std::string_view text) {
    QString shown = fromUtf8(text);
    const auto* units = reinterpret_cast<const char16_t*>(shown.constData());
    for (qsizetype i = 0, n = shown.size(); i < n; ++i)
        if (units[i] >= kByteEscapeBase + 0x80 && (units[i] <= kByteEscapeBase + 0xFF || units[i] == 0xFFFD))
            return std::nullopt;
    return shown;
}

// Whether Qt's own encoder gives the program's bytes of text: no escape
// and no lone surrogate in it.
bool encodedByQt(const QString& text) {
    const auto* units = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t unit = units[i];
        if (unit < 0xD800)
            continue;
        if (isByteEscape(unit))
            return false;
        if (QChar::isHighSurrogate(unit) && i + 1 < n && QChar::isLowSurrogate(units[i + 1]))
            ++i;
        else if (QChar::isSurrogate(unit))
            return false;
    }
    return true;
}

} // namespace

QString ProgramTextToQString(std::string_view text) {
    if (std::optional<QString> shown = decodedByQt(text))
        return *shown;
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (size_t i = 0; i < text.size();) {
        const TShownCharacter character = shownCharacterAt(text.substr(i));
        if (character.Escaped) {
            for (size_t k = 0; k < character.Length; ++k)
                shown.append(QChar(static_cast<char16_t>(kByteEscapeBase + static_cast<unsigned char>(text[i + k]))));
        } else {
            appendCharacter(shown, character.Character);
        }
        i += character.Length;
    }
    return shown;
}

std::string QStringToProgramText(const QString& text) {
    if (encodedByQt(text)) {
        const QByteArray bytes = text.toUtf8();
        return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size();) {
        const TQtCharacter character = qtCharacterAt(text, i);
        if (character.Escaped)
            bytes.push_back(static_cast<char>(character.Value));
        else
            AppendUtf8(bytes, character.Value);
        i += character.Units;
    }
    return bytes;
}

int QtPositionOfProgramText(std::string_view text, int at) {
    const size_t end = static_cast<size_t>(std::clamp(at, 0, static_cast<int>(text.size())));
    // Text before the offset that Qt decodes as we do has as many
    // positions as Qt's characters.
    if (std::optional<QString> before = decodedByQt(text.substr(0, end)))
        return static_cast<int>(before->size());
    int position = 0;
    for (size_t i = 0; i < end;) {
        const TShownCharacter character = shownCharacterAt(text.substr(i));
        if (character.Escaped) {
            // Each byte is a character of its own.
            const size_t taken = std::min(character.Length, end - i);
            position += static_cast<int>(taken);
            i += taken;
            continue;
        }
        if (i + character.Length > end)
            break;
        position += character.Units();
        i += character.Length;
    }
    return position;
}

int ProgramTextOffsetOfQt(const QString& text, int at) {
    const qsizetype end = std::clamp<qsizetype>(at, 0, text.size());
    const QString before = text.left(end);
    if (encodedByQt(before))
        return static_cast<int>(before.toUtf8().size());
    size_t offset = 0;
    for (qsizetype i = 0; i < end;) {
        const TQtCharacter character = qtCharacterAt(text, i);
        if (i + character.Units > end)
            break;
        offset += character.Bytes();
        i += character.Units;
    }
    return static_cast<int>(offset);
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

QString WholeCharacters(const QString& text, qsizetype count) {
    QString whole;
    whole.reserve(text.size());
    for (qsizetype i = 0; i < text.size() && count != 0; ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            whole += text.mid(i, 2);
            ++i;
        } else if (!text[i].isSurrogate()) {
            whole += text[i];
        } else {
            continue;
        }
        if (count > 0)
            --count;
    }
    return whole;
}
