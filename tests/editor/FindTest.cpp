#include "editor/CodeMemo.h"
#include "editor/UpperCase.h"
#include "MemoTestSupport.h"

#include <gtest/gtest.h>

#include <random>

TEST(Find, ForwardSelectsTheMatchWithTheCaretAfterIt) {
    TCodeMemo memo;
    LoadText(memo, "xxab");
    ASSERT_TRUE(memo.FindTxt("ab", true, true, false, true));
    EXPECT_EQ(memo.SelStart(), 4);
    EXPECT_EQ(memo.SelLength(), -2);
    EXPECT_EQ(memo.SelText(), "ab");
    EXPECT_FALSE(memo.FindTxt("ab", true, false, false, true));
    EXPECT_EQ(memo.SelStart(), 4);
    EXPECT_EQ(memo.SelLength(), -2);
}

TEST(Find, BackwardSelectsWithTheCaretBeforeIt) {
    TCodeMemo memo;
    LoadText(memo, "ab ab\r\nab");
    ASSERT_TRUE(memo.FindTxt("ab", false, true, false, true));
    EXPECT_EQ(memo.SelStart(), 7);
    EXPECT_EQ(memo.SelLength(), 2);
    ASSERT_TRUE(memo.FindTxt("ab", false, false, false, true));
    EXPECT_EQ(memo.SelStart(), 3);
    ASSERT_TRUE(memo.FindTxt("ab", false, false, false, true));
    EXPECT_EQ(memo.SelStart(), 0);
    EXPECT_FALSE(memo.FindTxt("ab", false, false, false, true));
}

TEST(Find, WholeWordsAndCase) {
    TCodeMemo memo;
    LoadText(memo, "abc ab");
    ASSERT_TRUE(memo.FindTxt("ab", true, true, true, true));
    EXPECT_EQ(memo.SelStart(), 6);
    LoadText(memo, "xAb aB");
    EXPECT_FALSE(memo.FindTxt("ab", true, true, false, true));
    ASSERT_TRUE(memo.FindTxt("ab", true, true, false, false));
    EXPECT_EQ(memo.SelStart(), 3);
    ASSERT_TRUE(memo.FindTxt("ab", true, false, true, false));
    EXPECT_EQ(memo.SelStart(), 6);
}

// The characters around a whole word are the text's own, also when the
// search compares upper-cased copies: a lower-case separator still counts.
TEST(Find, WholeWordSeparatorsAreTheTextsOwnCharacters) {
    TCodeMemo memo;
    memo.SetSeparators(" x");
    LoadText(memo, "XabX xabx");
    ASSERT_TRUE(memo.FindTxt("AB", true, true, true, false));
    EXPECT_EQ(memo.SelStart(), 8);
    EXPECT_EQ(memo.SelLength(), -2);
    ASSERT_TRUE(memo.FindTxt("ab", false, true, true, false));
    EXPECT_EQ(memo.SelStart(), 6);
    EXPECT_FALSE(memo.FindTxt("ab", false, false, true, false)) << "XabX has no separators around ab";
}

TEST(Find, EmptyTextFindsNothingAndMatchesNeverSpanBreaks) {
    TCodeMemo memo;
    LoadText(memo, "ab\r\ncd");
    memo.SetSelStart(1);
    EXPECT_FALSE(memo.FindTxt("", true, true, false, true));
    EXPECT_FALSE(memo.FindTxt("", false, true, false, false));
    EXPECT_EQ(memo.SelStart(), 1);
    EXPECT_FALSE(memo.FindTxt("b\r\nc", true, true, false, true));
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
    TCodeMemo memo;
    LoadText(memo, text);
    std::vector<int32_t> expected;
    for (int32_t p = 0; p < memo.ParagraphCount(); ++p) {
        std::string paragraph = memo.ParagraphText(p);
        for (size_t at = paragraph.find("ab"); at != std::string::npos; at = paragraph.find("ab", at + 1))
            expected.push_back(memo.ParagraphStart(p) + static_cast<int32_t>(at) + 2);
    }
    std::vector<int32_t> found;
    memo.SetSelStart(0);
    while (memo.FindTxt("ab", true, false, false, true))
        found.push_back(memo.SelStart());
    EXPECT_EQ(found, expected);
}

TEST(UpperCaseCache, ExtendsForwardAndBackward) {
    TCodeMemo memo;
    LoadText(memo, "abcdefghijklmnop");
    TParagraph* p = memo.Paragraph(0);
    std::string first(memo.UpperCaseParagraph(p, 0, 0, 5), 5);
    EXPECT_EQ(first, "ABCDE");
    const char* second = memo.UpperCaseParagraph(nullptr, 0, 3, 7);
    EXPECT_EQ(std::string(second, 7), "DEFGHIJ");
    EXPECT_EQ(memo.UpperCacheStart(), 0);
    EXPECT_EQ(memo.UpperCacheLength(), 10);
    memo.UpperCaseParagraph(p, 0, 12, 2);  // does not touch the cached range: replaced
    EXPECT_EQ(memo.UpperCacheStart(), 12);
    memo.UpperCaseParagraph(p, 0, 9, 4);  // overlaps from the front
    EXPECT_EQ(memo.UpperCacheStart(), 9);
    EXPECT_EQ(memo.UpperCacheLength(), 5);
    // Requests never read past the paragraph.
    const char* tail = memo.UpperCaseParagraph(p, 0, 14, 100);
    EXPECT_EQ(std::string(tail, 2), "OP");
    EXPECT_LE(memo.UpperCacheStart() + memo.UpperCacheLength(), p->Length());
}

TEST(UpperCaseCache, RulesAndInvalidation) {
    TCodeMemo memo;
    LoadText(memo, "\xe9t\xe9\r\nother");
    EXPECT_EQ(std::string(memo.UpperCaseParagraph(nullptr, 0, 0, 3), 3), "\xe9T\xe9");
    memo.SetUpperCaseType(pmuAnsi);
    EXPECT_EQ(std::string(memo.UpperCaseParagraph(nullptr, 0, 0, 3), 3), "\xc9T\xc9");
    memo.UpperCaseParagraph(nullptr, 1, 0, 5);
    EXPECT_EQ(memo.UpperCacheParagraph(), 1);
    // An edit before the cached paragraph renumbers it; one inside drops it.
    memo.SetSelStart(0);
    memo.SetSelText("new\r\n");
    EXPECT_EQ(memo.UpperCacheParagraph(), 2);
    memo.SetSelStart(memo.ParagraphStart(2));
    memo.SetSelText("x");
    EXPECT_EQ(memo.UpperCacheParagraph(), -1);
    EXPECT_EQ(std::string(memo.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "XOTHER");

    // A user routine; installing another one drops copies made by the old one.
    memo.SetUpperCaseType(pmuUserDefined);
    EXPECT_EQ(std::string(memo.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "XOTHER");  // none installed: ASCII
    SetUserUpperCaseProc([](char* buffer, int32_t length) {
        for (int32_t i = 0; i < length; ++i)
            buffer[i] = '*';
    });
    EXPECT_EQ(std::string(memo.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "******");
    SetUserUpperCaseProc(nullptr);
    EXPECT_EQ(std::string(memo.UpperCaseParagraph(nullptr, 2, 0, 6), 6), "XOTHER");
}

TEST(Find, CaseInsensitiveSearchUsesTheFoldingRule) {
    TCodeMemo memo;
    LoadText(memo, "caf\xe9 CAF\xc9");
    memo.SetUpperCaseType(pmuAnsi);
    ASSERT_TRUE(memo.FindTxt("CAF\xc9", true, true, false, false));
    EXPECT_EQ(memo.SelStart(), 4);
    memo.SetUpperCaseType(pmuAscii);
    ASSERT_TRUE(memo.FindTxt("caf\xe9", true, true, false, false));
    EXPECT_EQ(memo.SelStart(), 4);
    ASSERT_FALSE(memo.FindTxt("caf\xe9", true, false, false, false));
}
