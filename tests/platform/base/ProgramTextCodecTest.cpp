// The program's text at its boundaries: with Qt (every byte back as it
// went in, positions mapped both ways, checked against Qt's own UTF-8
// decoder), with documents in either encoding, and its case rules against
// Qt's Unicode case mapping.

#include "platform/base/QtBridge.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Random program text: ASCII, two-, three- and four-byte characters, the
// escapes' own range, and bytes outside any valid sequence.
std::string randomProgramText(std::mt19937& random, size_t pieces) {
    static const std::vector<std::string> kPieces = {
        "a", "Z", " ", "\\", "x", "\r\n", "\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
        "\xEF\x9E\x80", "\xEF\x9F\xBF", "\xE9", "\xFF", "\x80", "\xE4\xB8", "\xF0\x9F", "\xC0\xAF", "\xED\xA0\x80",
        "\xE0\x80\x80", "\xF0\x80\x80\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xEF\xBF\xBD", "\xEF\xBF\xBE"};
    std::string text;
    for (size_t i = 0; i < pieces; ++i)
        text += random() % 5 == 0 ? std::string(1, static_cast<char>(random() % 256)) : kPieces[random() % kPieces.size()];
    return text;
}

// The byte offsets where the control shows a character starting: the
// starts of valid characters, and every byte of the escaped ones.
std::vector<int> shownBoundaries(const std::string& text) {
    std::vector<int> starts;
    for (size_t i = 0; i < text.size();) {
        char32_t character = 0;
        size_t length = Utf8SequenceLength(std::string_view(text).substr(i), character);
        const bool escaped = length == 0 || (character >= 0xF780 && character <= 0xF7FF);
        if (length == 0)
            length = 1;
        for (size_t k = 0; k < (escaped ? length : 1); ++k)
            starts.push_back(static_cast<int>(i + k));
        i += length;
    }
    starts.push_back(static_cast<int>(text.size()));
    return starts;
}

TEST(ProgramText, EveryTextComesBackFromQtByteForByteAndPositionsMapBothWays) {
    std::mt19937 random(2024);
    for (int round = 0; round < 1500; ++round) {
        const std::string text = randomProgramText(random, random() % 24);
        const QString shown = ProgramTextToQString(text);
        ASSERT_EQ(QStringToProgramText(shown), text) << "round " << round;
        // Text without stray bytes or escape-range characters shows as Qt
        // itself decodes it.
        const bool plain = IsValidUtf8(text) && text.find("\xEF\x9E") == std::string::npos &&
                           text.find("\xEF\x9F") == std::string::npos;
        if (plain) {
            ASSERT_EQ(shown, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
        // Each byte outside a valid sequence is one character of its own.
        ASSERT_LE(shown.size(), static_cast<qsizetype>(text.size()));
        const std::vector<int> starts = shownBoundaries(text);
        size_t next = 0;
        for (int at = 0; at <= static_cast<int>(text.size()); ++at) {
            while (next + 1 < starts.size() && starts[next + 1] <= at)
                ++next;
            // Oracle: the position is the length of what shows before the
            // character's start.
            const int start = starts[next];
            const int position = QtPositionOfProgramText(text, at);
            ASSERT_EQ(position, ProgramTextToQString(std::string_view(text).substr(0, static_cast<size_t>(start))).size())
                << "round " << round << " offset " << at;
            ASSERT_EQ(ProgramTextOffsetOfQt(shown, position), start) << "round " << round << " offset " << at;
        }
        // Every Qt position outside a surrogate pair maps to a byte offset
        // and back to itself.
        for (int p = 0; p <= shown.size(); ++p) {
            if (p > 0 && p < shown.size() && shown[p].isLowSurrogate() && shown[p - 1].isHighSurrogate())
                continue;
            const int offset = ProgramTextOffsetOfQt(shown, p);
            ASSERT_EQ(offset, static_cast<int>(QStringToProgramText(shown.left(p)).size()));
            ASSERT_EQ(QtPositionOfProgramText(text, offset), p) << "round " << round << " position " << p;
        }
    }
    EXPECT_EQ(QtPositionOfProgramText("abc", -4), 0);
    EXPECT_EQ(QtPositionOfProgramText("abc", 99), 3);
    EXPECT_EQ(ProgramTextOffsetOfQt(QString("abc"), 99), 3);
}

TEST(ProgramText, WhatQtAloneMakesReadsAsUtf8) {
    // A lone surrogate (no control makes one, but a paste might) reads as
    // the replacement character rather than as broken bytes.
    QString lone;
    lone.append(QChar(0xD800));
    lone.append(QChar('a'));
    EXPECT_EQ(QStringToProgramText(lone), "\xEF\xBF\xBD" "a");
    EXPECT_EQ(QStringToProgramText(QString::fromUtf8("caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80")),
              "caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80");
    // A stray byte shows as one private character and reads back.
    EXPECT_EQ(ProgramTextToQString("a\xE9"), QString("a") + QChar(0xF7E9));
}

TEST(ProgramText, DocumentsTakeTheTextInTheirEncodingAndGiveTheirBytesBack) {
    std::mt19937 random(77);
    for (int round = 0; round < 800; ++round) {
        // Any document's bytes survive a trip through the program's text.
        std::string document;
        for (size_t i = 0, n = random() % 20; i < n; ++i)
            document.push_back(static_cast<char>(random() % 256));
        for (TTextEncoding encoding : {teAnsi, teUtf8})
            ASSERT_EQ(ProgramTextToDocument(DocumentTextToProgram(document, encoding), encoding), document);
        // The program's text goes into a code-page document character by
        // character: its byte, or a reference Qt's parser reads back.
        const std::string text = randomProgramText(random, random() % 10);
        ASSERT_EQ(ProgramTextToDocument(text, teUtf8), text);
        const std::string ansi = ProgramTextToDocument(text, teAnsi);
        std::string expected;
        for (size_t i = 0; i < text.size();) {
            char32_t character = 0;
            const size_t length = Utf8SequenceLength(std::string_view(text).substr(i), character);
            if (length == 0) {
                expected += text[i++];
                continue;
            }
            const QString one = QString::fromUcs4(&character, 1);
            const QByteArray latin = one.toLatin1();
            const int byte = UnicodeToAnsiChar(character);
            if (byte >= 0)
                expected += static_cast<char>(byte);
            else
                expected += "&#" + std::to_string(static_cast<unsigned long>(character)) + ";";
            if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
                EXPECT_EQ(byte, static_cast<unsigned char>(latin[0]));
            }
            i += length;
        }
        ASSERT_EQ(ansi, expected) << "round " << round;
    }
    EXPECT_EQ(ProgramTextToDocument("\xC3\xA9 \xE4\xB8\xAD", teAnsi), "\xE9 &#20013;");
    EXPECT_EQ(DocumentTextToProgram("\xE9\x80", teAnsi), "\xC3\xA9\xE2\x82\xAC");
}

TEST(ProgramText, CaseRulesChangeTheCodePagesLettersAndNothingElse) {
    // Oracle: Qt's Unicode case mapping of each character of the code page
    // whose other case is in the code page too.
    for (int b = 0; b < 256; ++b) {
        const char32_t character = AnsiCharToUnicode(static_cast<unsigned char>(b));
        std::string utf8;
        AppendUtf8(utf8, character);
        const QString one = QString::fromUcs4(&character, 1);
        for (bool upper : {true, false}) {
            const QString cased = upper ? one.toUpper() : one.toLower();
            const char32_t other = cased.size() == 1 ? cased[0].unicode() : character;
            const bool inPage = UnicodeToAnsiChar(other) >= 0 && b != 0xB5 && b != 0xDF;
            std::string expected;
            AppendUtf8(expected, inPage ? other : character);
            EXPECT_EQ(upper ? Utf8UpperCase(utf8) : Utf8LowerCase(utf8), expected) << "byte " << b;
        }
    }
    // Characters outside the code page and stray bytes stay as they are.
    EXPECT_EQ(Utf8UpperCase("\xE4\xB8\xAD\xE9x\xF0\x9F\x98\x80"), "\xE4\xB8\xAD\xE9X\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8LowerCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");

    // Sorting compares characters after upper-casing: a model that decodes
    // with Qt and compares code points.
    auto model = [](const std::string& a, const std::string& b) {
        const QString x = ProgramTextToQString(Utf8UpperCase(a));
        const QString y = ProgramTextToQString(Utf8UpperCase(b));
        const auto ux = x.toUcs4();
        const auto uy = y.toUcs4();
        return std::lexicographical_compare(ux.begin(), ux.end(), uy.begin(), uy.end()) ? -1
               : ux == uy                                                                  ? 0
                                                                                           : 1;
    };
    std::mt19937 random(5);
    static const std::vector<std::string> kLetters = {"a", "A", "b", "\xC3\xA9", "\xC3\x89", "\xC3\xA8",
                                                      "z", "\xE4\xB8\xAD", "\xC5\x93", "\xC5\x92", "\xE2\x82\xAC"};
    for (int round = 0; round < 3000; ++round) {
        std::string a, b;
        const std::string prefix = kLetters[random() % kLetters.size()];
        a = prefix;
        b = prefix;
        for (size_t i = 0, n = random() % 4; i < n; ++i)
            a += kLetters[random() % kLetters.size()];
        for (size_t i = 0, n = random() % 4; i < n; ++i)
            b += kLetters[random() % kLetters.size()];
        const int sign = Utf8CompareText(a, b);
        ASSERT_EQ((sign > 0) - (sign < 0), model(a, b)) << a << " / " << b;
    }
    EXPECT_EQ(Utf8CompareText("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"), 0);
    EXPECT_LT(Utf8CompareText("e", "\xC3\xA9"), 0);
    EXPECT_GT(Utf8CompareText("\xC3\xA9", "f"), 0);
}

} // namespace
