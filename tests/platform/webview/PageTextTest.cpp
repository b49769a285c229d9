// Document text to the web engine and back, and the program's addresses as
// URLs: checked on random input against models written here.

#include "platform/webview/PageText.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/webview/WebAddress.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <random>
#include <string>

namespace {

// The model of the engine's line breaks: LF, CR LF and lone CR are one
// break each, and the program writes CR LF.
std::string withCrLfBreaks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// Reads the program's bytes as Unicode, numeric character references
// resolved: what a browser makes of the text.
std::u32string readAsBrowser(const std::string& bytes) {
    std::u32string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '&' && i + 2 < bytes.size() && bytes[i + 1] == '#') {
            size_t end = bytes.find(';', i);
            out += static_cast<char32_t>(std::stoul(bytes.substr(i + 2, end - i - 2)));
            i = end;
        } else {
            out += AnsiCharToUnicode(static_cast<unsigned char>(bytes[i]));
        }
    }
    return out;
}

} // namespace

TEST(PageText, EveryByteSurvivesTheRoundTripAndBreaksBecomeCrLf) {
    std::mt19937 random(41);
    for (int round = 0; round < 300; ++round) {
        std::string document(random() % 400, '\0');
        for (char& byte : document) {
            // Line-break bytes often enough to meet every kind of break.
            byte = random() % 8 == 0 ? "\r\n"[random() % 2] : static_cast<char>(random() % 256);
        }
        EXPECT_EQ(PageTextToDocument(DocumentToPageText(document)), withCrLfBreaks(document))
            << "round " << round;
    }
}

TEST(PageText, AUtf8DocumentTravelsAsItsCharactersAndComesBackAsUtf8) {
    std::mt19937 random(42);
    // Valid UTF-8 of every length, line breaks, and stray bytes, which
    // travel as their code-page characters and come back as those in UTF-8.
    const std::string pieces[] = {"a", "<p>", "\r\n", "\n", "\xC3\xA9", "\xE4\xB8\xAD",
                                  "\xF0\x9F\x98\x80", "\xE9-", "\x80-"};
    for (int round = 0; round < 300; ++round) {
        std::string document;
        std::string expected;
        for (int i = random() % 80; i > 0; --i) {
            const std::string& piece = pieces[random() % std::size(pieces)];
            document += piece;
            expected += IsValidUtf8(piece) ? piece : AnsiToUtf8(piece);
        }
        const QString page = DocumentToPageText(document, teUtf8);
        EXPECT_EQ(page, QString::fromUtf8(expected.data(), static_cast<qsizetype>(expected.size())));
        EXPECT_EQ(PageTextToDocument(page, teUtf8), withCrLfBreaks(expected)) << "round " << round;
    }
    // A character the code page lacks is itself in UTF-8, no reference.
    EXPECT_EQ(PageTextToDocument(QString::fromUtf8("caf\xC3\xA9 \xE4\xB8\xAD"), teUtf8), "caf\xC3\xA9 \xE4\xB8\xAD");
}

TEST(PageText, CharactersOutsideTheCodePageComeBackAsReferences) {
    std::mt19937 random(43);
    // Characters that are ASCII, in the code page's upper half, in its
    // 0x80-0x9F block, C1 controls it lacks, elsewhere in the BMP, astral.
    const char32_t pools[][2] = {{0x20, 0x25},      {0x27, 0x7E}, {0xA0, 0xFF},
                                 {0x2013, 0x2022},  {0x80, 0x9F}, {0x4E00, 0x4E20},
                                 {0x1F600, 0x1F610}};
    for (int round = 0; round < 300; ++round) {
        std::u32string expected;
        QString text;
        for (int i = random() % 60; i > 0; --i) {
            const auto& pool = pools[random() % std::size(pools)];
            char32_t character = pool[0] + random() % (pool[1] - pool[0] + 1);
            expected += character;
            text += QString::fromUcs4(&character, 1);
        }
        if (random() % 4 == 0) {
            text += QChar(0xD800); // half a surrogate pair
            expected += U'\uFFFD';
        }
        const std::string document = PageTextToDocument(text);
        EXPECT_EQ(readAsBrowser(document), expected) << "round " << round;
        // References only where the code page has no byte.
        EXPECT_EQ(document.find("&#") == std::string::npos,
                  std::all_of(expected.begin(), expected.end(),
                              [](char32_t c) { return UnicodeToAnsiChar(c) >= 0; }))
            << "round " << round;
    }
}

TEST(WebAddress, FileAddressesAreTakenLiterally) {
    std::mt19937 random(47);
    // Paths with what a URL parser would read as fragment, query, escape or
    // separator, non-ASCII names in UTF-8, and bytes that are not UTF-8.
    const std::string pieces[] = {"docs", "my site",     "#1",  "a?b", "100%", "%41",
                                  "caf\xC3\xA9", "x;y", "+",   "[]",  "new\xE9", "\xFF\x80"};
    for (int round = 0; round < 200; ++round) {
        std::string path;
        for (int depth = 1 + random() % 4; depth > 0; --depth)
            path +=
                "/" + pieces[random() % std::size(pieces)] + pieces[random() % std::size(pieces)];
        if (random() % 2)
            path += "/";
        // Slashes in front of the first name the same root ("///a" is
        // "/a" on this system), never a host.
        const std::string spelt = std::string(random() % 3, '/') + path;
        for (const std::string& address : {"file://" + spelt, "FILE://" + spelt, spelt}) {
            const QUrl url = WebAddressToUrl(address);
            ASSERT_TRUE(url.isLocalFile()) << address;
            EXPECT_EQ(LocalPathOfUrl(url), path) << address;
            EXPECT_TRUE(url.host().isEmpty()) << address;
            EXPECT_FALSE(url.hasFragment() || url.hasQuery()) << address;
        }
    }
    // A document never saved has no folder: no base at all.
    EXPECT_TRUE(WebAddressToUrl("file://").isEmpty());
}
