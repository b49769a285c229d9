// Keyword lists and start/stop key lists: folding, links, limits and their
// streamed form; the highlighter base's list of documents.

#include "editor/model/CodeHighlighter.h"
#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/KeywordList.h"
#include "editor/model/StartStopKeyList.h"

#include "platform/base/Filer.h"
#include "platform/base/Stream.h"

#include <gtest/gtest.h>

#include <memory>

using namespace std::string_literals;

namespace {

TKeywordAttributes Attributes(uint8_t options, int32_t number, uint8_t style = 0) {
    TKeywordAttributes attributes;
    attributes.Options = options;
    attributes.ContextNumber = number;
    attributes.Style = style;
    attributes.Background = 0x112233;
    attributes.Foreground = -5;
    attributes.Tag = 7;
    return attributes;
}

template <class T>
std::string Streamed(T& object) {
    TMemoryStream stream;
    WritePersistentProperties(stream, object);
    return stream.DataString();
}

template <class T>
void ReadStreamed(T& object, const std::string& data) {
    TReadOnlyMemoryStream stream(data.data(), static_cast<int64_t>(data.size()));
    ReadPersistentProperties(stream, object);
}

}  // namespace

TEST(KeywordList, CaseInsensitiveKeywordsAreFoldedForMatchingOnly) {
    TKeywordList list;
    list.AddKeyword("Div", Attributes(0, 1));
    list.AddKeyword("span", Attributes(kKeyCaseSensitive, 2));
    list.Add("plain");  // no record: counts as all zeros, so case-insensitive
    EXPECT_EQ(list.FoldedKey(0), "DIV");
    EXPECT_EQ(list.Strings(0), "Div");
    EXPECT_EQ(list.FoldedKey(1), "span");
    EXPECT_EQ(list.FoldedKey(2), "PLAIN");
    EXPECT_EQ(list.LongestLength(), 5);
    EXPECT_TRUE(list.AnyCaseInsensitive());
    EXPECT_EQ(list.Attributes(0)->Length, 3);
    EXPECT_EQ(list.Attributes(2), nullptr);
    EXPECT_EQ(list.AttributesOf(2).ContextNumber, 0);

    list.Delete(2);
    list.Delete(0);
    EXPECT_EQ(list.LongestLength(), 4);
    EXPECT_FALSE(list.AnyCaseInsensitive());

    // Folding follows the list's rule: ANSI folding reaches accented letters.
    list.AddKeyword("\xE9t\xE9", Attributes(0, 3));
    EXPECT_EQ(list.FoldedKey(1), "\xE9T\xE9");
    list.SetUpperCaseType(pmuAnsi);
    EXPECT_EQ(list.FoldedKey(1), "\xC9T\xC9");
}

TEST(KeywordList, MatchingCopiesFollowEveryChangeWhenRead) {
    TKeywordList list;
    // Read inside an update too: the copies describe the list as it is.
    list.BeginUpdate();
    std::string key = "k";
    for (int i = 0; i < 50; ++i) {
        key.resize(1);
        key += std::to_string(i);
        list.AddKeyword(key, Attributes(0, i + 1));
    }
    EXPECT_EQ(list.FoldedKey(49), "K49");
    EXPECT_EQ(list.Attributes(49)->Length, 3);
    list.EndUpdate();
    list.Put(10, "longer word");
    EXPECT_EQ(list.FoldedKey(10), "LONGER WORD");
    EXPECT_EQ(list.Attributes(10)->Length, 11);
    EXPECT_EQ(list.LongestLength(), 11);
    list.Move(10, 0);
    EXPECT_EQ(list.FoldedKey(0), "LONGER WORD");
    EXPECT_EQ(list.FoldedKey(10), "K9");
    list.Delete(0);
    EXPECT_EQ(list.LongestLength(), 3);
    list.SetAttributes(0, Attributes(kKeyCaseSensitive, 1));
    EXPECT_EQ(list.FoldedKey(0), "k0");
    list.Clear();
    EXPECT_EQ(list.LongestLength(), 0);
    EXPECT_FALSE(list.AnyCaseInsensitive());
}

TEST(KeywordList, RecordsAreCopiesOwnedByTheList) {
    TKeywordList list;
    TKeywordAttributes attributes = Attributes(kKeyWholeWord, 9);
    list.AddKeyword("a", attributes);
    attributes.ContextNumber = 10;
    EXPECT_EQ(list.Attributes(0)->ContextNumber, 9);
    list.SetAttributes(0, attributes);
    EXPECT_EQ(list.Attributes(0)->ContextNumber, 10);
    EXPECT_EQ(list.Attributes(0)->Length, 1);

    TKeywordList copy;
    copy.Assign(&list);
    EXPECT_NE(copy.Attributes(0), list.Attributes(0));
    EXPECT_EQ(copy.Attributes(0)->ContextNumber, 10);
    EXPECT_EQ(copy.FoldedKey(0), "A");

    // From a plain string list the words come without records.
    TStringList words;
    words.AddObject("x", &words);
    copy.Assign(&words);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.Attributes(0), nullptr);
}

TEST(KeywordList, StreamsAsStringsWithSixIntegersPerKeyword) {
    TKeywordList list;
    EXPECT_EQ(Streamed(list), "ODP1\x00"s);  // an empty list writes nothing
    list.AddKeyword("Div", Attributes(kKeyWholeWord, 42, 1));
    list.AddKeyword("b", Attributes(kKeyCaseSensitive, 7));
    std::string data = Streamed(list);
    EXPECT_NE(data.find("Div"), std::string::npos);
    EXPECT_EQ(data.find("DIV"), std::string::npos);

    TKeywordList back;
    back.Add("stale");
    ReadStreamed(back, data);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Strings(0), "Div");
    EXPECT_EQ(back.FoldedKey(0), "DIV");
    TKeywordAttributes a = back.AttributesOf(0);
    EXPECT_EQ(a.Options, kKeyWholeWord);
    EXPECT_EQ(a.ContextNumber, 42);
    EXPECT_EQ(a.Style, 1);
    EXPECT_EQ(a.Tag, 7);
    EXPECT_EQ(a.Background, 0x112233);
    EXPECT_EQ(a.Foreground, -5);
    EXPECT_EQ(back.FoldedKey(1), "b");
    EXPECT_EQ(Streamed(back), data);
}

TEST(StartStopKeyList, LengthsLinksAndFolding) {
    TStartStopKeyList list;
    // A context that may end at the paragraph end reaches over the break.
    list.AddStartStopKey("'", "x", true, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(list.LongestStart(), 1);
    EXPECT_EQ(list.LongestStop(), 2);
    EXPECT_EQ(list.AddStartStopKey("/*", "*/", false, 0, 0, 0, 2, 0, 0), 1);
    EXPECT_EQ(list.AddStartStopKey("/*", "-->", false, 0, 0, 0, 3, 0, 0), 2);
    EXPECT_EQ(list.AddStartStopKey("/*", "*/", false, 0, 0, 0, 4, 0, kKeyCaseSensitive), 3);
    EXPECT_EQ(list[1].Link, -1);
    EXPECT_EQ(list[2].Link, 1);
    EXPECT_EQ(list[3].Link, -1);  // other options: not linked
    EXPECT_EQ(list.LongestStop(), 3);

    list.AddStartStopKey("rem", "", true, 0, 0, 0, 5, 0, kKeyWholeWord);
    EXPECT_EQ(list[4].StartKey, "REM");
    EXPECT_EQ(list[4].StartKeyText, "rem");
    list.AddStartStopKey("Rem", "", true, 0, 0, 0, 6, 0, kKeyCaseSensitive);
    EXPECT_EQ(list[5].StartKey, "Rem");

    EXPECT_THROW(list.GetItem(list.Count()), EListError);
    EXPECT_THROW(list.GetItem(-1), EListError);
    EXPECT_NO_THROW(list.GetItem(list.Count() - 1));
}

TEST(StartStopKeyList, RefusesKeysThatCouldNeverBeParsed) {
    TStartStopKeyList list;
    // An empty start key would match everywhere without moving on.
    EXPECT_THROW(list.AddStartStopKey("", "x", false, 0, 0, 0, 1, 0, 0), EInvalidOperation);
    EXPECT_THROW(list.AddStartStopKey(std::string(255, 'a'), "", false, 0, 0, 0, 1, 0, 0), EInvalidOperation);
    EXPECT_THROW(list.AddStartStopKey("a", std::string(255, 'a'), false, 0, 0, 0, 1, 0, 0), EInvalidOperation);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_NO_THROW(list.AddStartStopKey(std::string(254, 'a'), std::string(254, 'b'), false, 0, 0, 0, 1, 0, 0));
}

TEST(StartStopKeyList, RecordArrayGrowsAndRefusesImpossibleSizes) {
    TStartStopKeyList list;
    EXPECT_THROW(list.SetCapacity(2147483647 / 48 + 1), EOutOfMemory);
    list.SetCount(-4);
    EXPECT_EQ(list.Count(), 0);
    list.SetCount(5);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_GE(list.Capacity(), 5);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 2);
}

TEST(StartStopKeyList, ChangingTheFoldingRuleRefoldsInsensitiveKeys) {
    TStartStopKeyList list;
    list.AddStartStopKey("\xE0x", "\xE0y", false, 0, 0, 0, 1, 0, 0);
    list.AddStartStopKey("\xE0x", "\xE0y", false, 0, 0, 0, 1, 0, kKeyCaseSensitive);
    EXPECT_EQ(list[0].StartKey, "\xE0X");
    list.SetUpperCaseType(pmuAnsi);
    EXPECT_EQ(list[0].StartKey, "\xC0X");
    EXPECT_EQ(list[0].StopKey, "\xC0Y");
    EXPECT_EQ(list[1].StartKey, "\xE0x");
    EXPECT_FALSE(list.Prepared());
}

TEST(StartStopKeyList, StreamsAsKeysWithFoldedKeys) {
    TStartStopKeyList list;
    EXPECT_EQ(Streamed(list), "ODP1\x00"s);
    list.AddStartStopKey("rem", "", true, 0x10, 0x20, 3, 77, 2, kKeyWholeWord);
    list.AddStartStopKey("/*", "*/", false, 1, 2, 0, 5, 0, kKeyCaseSensitive);
    list.AddStartStopKey("/*", "x*/", false, 1, 2, 0, 6, 0, kKeyCaseSensitive);
    std::string data = Streamed(list);
    EXPECT_NE(data.find("REM"), std::string::npos);

    TStartStopKeyList back;
    back.AddStartStopKey("old", "", false, 0, 0, 0, 1, 0, 0);
    back.Prepare(TByteSet{});
    ReadStreamed(back, data);
    EXPECT_FALSE(back.Prepared());
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back[0].StartKey, "REM");
    EXPECT_TRUE(back[0].EndsAtParagraphEnd);
    EXPECT_EQ(back[0].Foreground, 0x10);
    EXPECT_EQ(back[0].Background, 0x20);
    EXPECT_EQ(back[0].Tag, 3);
    EXPECT_EQ(back[0].ContextNumber, 77);
    EXPECT_EQ(back[0].Style, 2);
    EXPECT_EQ(back[0].Options, kKeyWholeWord);
    EXPECT_EQ(back[2].Link, 1);
    EXPECT_EQ(back.LongestStop(), 3);
    EXPECT_EQ(Streamed(back), data);

    // A stream naming an empty start key is refused as a whole.
    TStartStopKeyList bad;
    std::string broken = data;
    broken.replace(broken.find("REM") - 5, 8, std::string("\x05\x00\x00\x00\x00", 5));
    EXPECT_THROW(ReadStreamed(bad, broken), Exception);
}

TEST(CodeHighlighter, DocumentsFollowTheirHighlighterAndLoseItWhenItIsFreed) {
    auto highlighter = std::make_unique<TCodeHighlighter>();
    TCodeDocument first;
    {
        TCodeDocument second;
        first.Highlighting().SetHighlighter(highlighter.get());
        second.Highlighting().SetHighlighter(highlighter.get());
        EXPECT_EQ(highlighter->Documents().size(), 2u);
    }
    // A document that goes away leaves the list.
    EXPECT_EQ(highlighter->Documents().size(), 1u);
    TCodeHighlighter other;
    first.Highlighting().SetHighlighter(&other);
    EXPECT_TRUE(highlighter->Documents().empty());
    first.Highlighting().SetHighlighter(highlighter.get());
    highlighter.reset();
    EXPECT_EQ(first.Highlighting().Highlighter(), nullptr);
    EXPECT_TRUE(other.Documents().empty());
}
