// The encoding a page is read in: a declared charset in the first 1,024
// bytes decides when it names UTF-8 or a Latin code page, else whether the
// bytes are valid UTF-8.  Checked on random pages against what a page's
// own bytes say.

#include "editor/model/PageEncoding.h"

#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

TEST(PageEncoding, ADeclarationInTheHeadWinsElseValidityDecides) {
    std::mt19937 random(1024);
    const std::string pieces[] = {"<p>", "text ", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\r\n"};
    const std::string stray[] = {"\xE9", "\x80", "\xC3", "\xED\xA0\x80", "\xC0\xAF"};
    struct TDeclaration {
        std::string Tag;
        int Encoding; // -1: says nothing the editor reads
    };
    const TDeclaration declarations[] = {
        {"", -1},
        {"<meta charset=\"utf-8\">", teUtf8},
        {"<META CHARSET=UTF8>", teUtf8},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">", teAnsi},
        {"<meta http-equiv='content-type' content='text/html;charset=windows-1252'>", teAnsi},
        {"<meta charset=\"shift_jis\">", -1},
        {"<meta name=\"charset\" content=\"none\">", -1},
    };
    for (int round = 0; round < 400; ++round) {
        const TDeclaration& declaration = declarations[random() % std::size(declarations)];
        // Sometimes the declaration lies beyond the head the editor reads.
        const bool far = random() % 5 == 0;
        std::string page = far ? std::string(1100, ' ') : std::string();
        page += "<html><head>" + declaration.Tag + "</head><body>";
        for (int i = static_cast<int>(random() % 40); i > 0; --i)
            page += pieces[random() % std::size(pieces)];
        const bool broken = random() % 3 == 0;
        if (broken)
            page.insert(page.size() - random() % 4, stray[random() % std::size(stray)]);
        page += "</body></html>";
        const TTextEncoding expected =
            declaration.Encoding >= 0 && !far ? static_cast<TTextEncoding>(declaration.Encoding)
                                              : (IsValidUtf8(page) ? teUtf8 : teAnsi);
        ASSERT_EQ(DetectPageEncoding(page), expected) << "round " << round << ": " << page;
        ASSERT_EQ(IsValidUtf8(page), !broken) << "round " << round;
    }
    EXPECT_EQ(DeclaredCharset("<meta charset = 'latin1' >").value_or(""), "latin1");
    EXPECT_FALSE(DeclaredCharset("<p>charset=utf-8</p>").has_value()) << "only inside a meta tag";
}

namespace {

// What the system's own converters (Qt's, over ICU) make of a charset
// label: the editor's code page when the label's decoder reads ASCII and
// the accented letters 0xC0-0xFF as Windows-1252 does (or reads ASCII
// alone, as browsers take such pages for Windows-1252); UTF-8 when it
// reads UTF-8; nothing to say when it knows no such label or reads
// something else.
std::optional<TTextEncoding> encodingByTheSystem(const std::string& label) {
    QStringDecoder decoder(label.c_str(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    const QString utf8 = decoder.decode(QByteArray("\xC3\xA9"));
    if (utf8 == QString(QChar(0xE9)))
        return teUtf8;
    QByteArray ascii;
    for (int byte = 0x20; byte < 0x7F; ++byte)
        ascii += static_cast<char>(byte);
    if (QString(decoder.decode(ascii)) != QString::fromLatin1(ascii))
        return std::nullopt;
    // Each byte of the upper half alone, read in one go (a decoder of
    // several bytes a character reads pairs of them as one).
    QByteArray upper;
    QString letters;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        upper += static_cast<char>(byte);
        if (byte >= 0xC0)
            letters += QChar(AnsiCharToUnicode(static_cast<unsigned char>(byte)));
    }
    const QString read = decoder.decode(upper);
    const bool asciiOnly = read == QString(0x80, QChar(0xFFFD));
    const bool sameLetters = read.size() == 0x80 && read.mid(0x40) == letters;
    if (sameLetters || asciiOnly)
        return teAnsi;
    return std::nullopt;
}

} // namespace

// Whatever label a page uses for its charset, the editor reads it as the
// system's converters do: a Latin-1 page declared by any of its names
// stays in the code page (typing "é" there writes E9), and a UTF-8 one
// by any of its names is UTF-8.  Labels of other encodings leave the
// choice to the bytes.
TEST(PageEncoding, EveryNameOfTheTwoEncodingsIsRecognised) {
    const std::string labels[] = {
        // Names pages use for Latin-1 and Windows-1252.
        "ansi_x3.4-1968", "ascii", "cp1252", "cp819", "csisolatin1", "ibm819", "iso-8859-1",
        "iso-ir-100", "iso8859-1", "iso88591", "iso_8859-1", "iso_8859-1:1987", "l1", "latin1",
        "us-ascii", "windows-1252", "x-cp1252",
        // For Latin-9, the same letters.
        "csisolatin9", "iso-8859-15", "iso8859-15", "iso885915", "iso_8859-15", "l9", "latin9",
        // For UTF-8.
        "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "utf-8", "utf8", "x-unicode20utf8",
        // Other encodings.
        "iso-8859-2", "latin2", "windows-1250", "iso-8859-9", "windows-1254", "koi8-r", "shift_jis",
        "euc-jp", "gb2312", "big5", "windows-1251", "iso-8859-7", "utf-16le", "macintosh"};
    int judged = 0;
    for (const std::string& label : labels) {
        const std::optional<TTextEncoding> system = encodingByTheSystem(label);
        judged += system.has_value();
        // Pages whose bytes alone would choose either way: the declaration
        // of one of the two encodings decides both; any other leaves the
        // choice to the bytes.
        for (const std::string& spelt : {label, UpperCase(label)})
            for (const char* body : {"x", "caf\xE9"}) {
                const std::string page = "<html><head><meta charset=\"" + spelt +
                                         "\"></head><body>" + body + "</body></html>";
                EXPECT_EQ(DetectPageEncoding(page),
                          system.value_or(IsValidUtf8(page) ? teUtf8 : teAnsi))
                    << page;
            }
    }
    EXPECT_GT(judged, 20) << "the system's converters know too few of the labels to judge";
}
