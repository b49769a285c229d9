// The encoding a page is read in: a declared charset in the first 1,024
// bytes decides when it names UTF-8 or a Latin code page, else whether the
// bytes are valid UTF-8.  Checked on random pages against what a page's
// own bytes say.

#include "editor/model/PageEncoding.h"

#include "platform/base/Utf8.h"

#include <gtest/gtest.h>

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
