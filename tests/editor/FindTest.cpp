#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/UpperCase.h"
#include "DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <random>

TEST(Find, ForwardSelectsTheMatchWithTheCaretAfterIt) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "xxab");
    ASSERT_TRUE(selection.FindTxt("ab", true, true, false, true));
    EXPECT_EQ(selection.SelStart(), 4);
    EXPECT_EQ(selection.SelLength(), -2);
    EXPECT_EQ(selection.SelText(), "ab");
    EXPECT_FALSE(selection.FindTxt("ab", true, false, false, true));
    EXPECT_EQ(selection.SelStart(), 4);
    EXPECT_EQ(selection.SelLength(), -2);
}

TEST(Find, BackwardSelectsWithTheCaretBeforeIt) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "ab ab\r\nab");
    ASSERT_TRUE(selection.FindTxt("ab", false, true, false, true));
    EXPECT_EQ(selection.SelStart(), 7);
    EXPECT_EQ(selection.SelLength(), 2);
    ASSERT_TRUE(selection.FindTxt("ab", false, false, false, true));
    EXPECT_EQ(selection.SelStart(), 3);
    ASSERT_TRUE(selection.FindTxt("ab", false, false, false, true));
    EXPECT_EQ(selection.SelStart(), 0);
    EXPECT_FALSE(selection.FindTxt("ab", false, false, false, true));
}

TEST(Find, WholeWordsAndCase) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abc ab");
    ASSERT_TRUE(selection.FindTxt("ab", true, true, true, true));
    EXPECT_EQ(selection.SelStart(), 6);
    LoadText(document, "xAb aB");
    EXPECT_FALSE(selection.FindTxt("ab", true, true, false, true));
    ASSERT_TRUE(selection.FindTxt("ab", true, true, false, false));
    EXPECT_EQ(selection.SelStart(), 3);
    ASSERT_TRUE(selection.FindTxt("ab", true, false, true, false));
    EXPECT_EQ(selection.SelStart(), 6);
}

// The characters around a whole word are the text's own, also when the
// search compares upper-cased copies: a lower-case separator still counts.
TEST(Find, WholeWordSeparatorsAreTheTextsOwnCharacters) {
    TCodeDocument document;
    TTextSelection selection(document);
    document.SetSeparators(" x");
    LoadText(document, "XabX xabx");
    ASSERT_TRUE(selection.FindTxt("AB", true, true, true, false));
    EXPECT_EQ(selection.SelStart(), 8);
    EXPECT_EQ(selection.SelLength(), -2);
    ASSERT_TRUE(selection.FindTxt("ab", false, true, true, false));
    EXPECT_EQ(selection.SelStart(), 6);
    EXPECT_FALSE(selection.FindTxt("ab", false, false, true, false)) << "XabX has no separators around ab";
}

TEST(Find, EmptyTextFindsNothingAndMatchesNeverSpanBreaks) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "ab\r\ncd");
    selection.SetSelStart(1);
    EXPECT_FALSE(selection.FindTxt("", true, true, false, true));
    EXPECT_FALSE(selection.FindTxt("", false, true, false, false));
    EXPECT_EQ(selection.SelStart(), 1);
    EXPECT_FALSE(selection.FindTxt("b\r\nc", true, true, false, true));
}

// Forward search from the start, repeated, finds exactly the occurrences a
// plain scan of each paragraph finds.
TEST(Find, RepeatedSearchMatchesAPlainScan) {
    std::mt19937 random(99);
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        int kind = static_cast<int>(random() % 10);
        text += kind < 6 ? static_cast<char>('a' + random() % 3) : kind < 8 ? ' ' : kind < 9 ? '\r' : '\n';
    }
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, text);
    std::vector<int32_t> expected;
    for (int32_t p = 0; p < document.ParagraphCount(); ++p) {
        std::string paragraph = document.ParagraphText(p);
        for (size_t at = paragraph.find("ab"); at != std::string::npos; at = paragraph.find("ab", at + 1))
            expected.push_back(document.ParagraphStart(p) + static_cast<int32_t>(at) + 2);
    }
    std::vector<int32_t> found;
    selection.SetSelStart(0);
    while (selection.FindTxt("ab", true, false, false, true))
        found.push_back(selection.SelStart());
    EXPECT_EQ(found, expected);
}

TEST(UpperCaseCache, ExtendsForwardAndBackward) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "abcdefghijklmnop");
    TParagraph* p = document.Paragraph(0);
    std::string first(document.UpperCaseParagraph(p, 0, 0, 5), 5);
    EXPECT_EQ(first, "ABCDE");
    const char* second = document.UpperCaseParagraph(nullptr, 0, 3, 7);
    EXPECT_EQ(std::string(second, 7), "DEFGHIJ");
    EXPECT_EQ(document.UpperCacheStart(), 0);
    EXPECT_EQ(document.UpperCacheLength(), 10);
    document.UpperCaseParagraph(p, 0, 12, 2);  // does not touch the cached range: replaced
    EXPECT_EQ(document.UpperCacheStart(), 12);
    document.UpperCaseParagraph(p, 0, 9, 4);  // overlaps from the front
    EXPECT_EQ(document.UpperCacheStart(), 9);
    EXPECT_EQ(document.UpperCacheLength(), 5);
    // Requests never read past the paragraph.
    const char* tail = document.UpperCaseParagraph(p, 0, 14, 100);
    EXPECT_EQ(std::string(tail, 2), "OP");
    EXPECT_LE(document.UpperCacheStart() + document.UpperCacheLength(), p->Length());
}

TEST(UpperCaseCache, RulesAndInvalidation) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "\xe9t\xe9\r\nother");
    EXPECT_EQ(std::string(document.UpperCaseParagraph(nullptr, 0, 0, 3), 3), "\xe9T\xe9");
    document.SetUpperCaseType(pmuAnsi);
    EXPECT_EQ(std::string(document.UpperCaseParagraph(nullptr, 0, 0, 3), 3), "\xc9T\xc9");
    document.UpperCaseParagraph(nullptr, 1, 0, 5);
    EXPECT_EQ(document.UpperCacheParagraph(), 1);
    // An edit before the cached paragraph renumbers it; one inside drops it.
    selection.SetSelStart(0);
    selection.SetSelText("new\r\n");
    EXPECT_EQ(document.UpperCacheParagraph(), 2);
    selection.SetSelStart(document.ParagraphStart(2));
    selection.SetSelText("x");
    EXPECT_EQ(document.UpperCacheParagraph(), -1);
    EXPECT_EQ(std::string(document.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "XOTHER");

    // A user routine; installing another one drops copies made by the old one.
    document.SetUpperCaseType(pmuUserDefined);
    EXPECT_EQ(std::string(document.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "XOTHER");  // none installed: ASCII
    SetUserUpperCaseProc([](char* buffer, int32_t length) {
        for (int32_t i = 0; i < length; ++i)
            buffer[i] = '*';
    });
    EXPECT_EQ(std::string(document.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "******");
    SetUserUpperCaseProc(nullptr);
    EXPECT_EQ(std::string(document.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "XOTHER");
}

TEST(Find, CaseInsensitiveSearchUsesTheFoldingRule) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "caf\xe9 CAF\xc9");
    document.SetUpperCaseType(pmuAnsi);
    ASSERT_TRUE(selection.FindTxt("CAF\xc9", true, true, false, false));
    EXPECT_EQ(selection.SelStart(), 4);
    document.SetUpperCaseType(pmuAscii);
    ASSERT_TRUE(selection.FindTxt("caf\xe9", true, true, false, false));
    EXPECT_EQ(selection.SelStart(), 4);
    ASSERT_FALSE(selection.FindTxt("caf\xe9", true, false, false, false));
}
