// The memo's own start/stop keys and keywords: which context is in force
// at every character, across paragraphs and after edits.

#include "editor/model/CodeHighlighter.h"
#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/ContextEditing.h"
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class StartStopKeys : public ::testing::Test {
protected:
    void SetUp() override { Prepare(document); }
    void Prepare(TCodeDocument& m) {
        m.Layout().SetUpdateMode(umImmediate);
        m.Layout().SetMeasure(&measure, 1000);
    }
    int32_t AddKey(const std::string& start, const std::string& stop, int32_t number, uint8_t options = 0,
                   bool endsAtParagraphEnd = false) {
        return document.Highlighting().StartStopKeys().AddStartStopKey(start, stop, endsAtParagraphEnd, 0x1000 + number, -1, 0, number,
                                                    0, options);
    }
    void Load(const std::string& text) {
        LoadText(document, text);
        HighlightAll(document);
    }
    void Type(int32_t at, const std::string& text) {
        selection.SetSelStart(at);
        selection.SetSelText(text);
        HighlightAll(document);
    }
    void Erase(int32_t from, int32_t to) {
        Select(selection, from, to);
        selection.SetSelText({});
        HighlightAll(document);
    }
    // The oracle has the memo's keys, keywords and highlighter.
    std::string Fresh() {
        return DifferenceFromFresh(
            document,
            [this](TCodeDocument& oracle) {
                Prepare(oracle);
                for (int32_t i = 0; i < document.Highlighting().StartStopKeys().Count(); ++i) {
                    const TStartStopInfo& e = document.Highlighting().StartStopKeys()[i];
                    oracle.Highlighting().StartStopKeys().AddStartStopKey(e.StartKeyText, e.StopKeyText, e.EndsAtParagraphEnd,
                                                           e.Foreground, e.Background, e.Tag, e.ContextNumber,
                                                           e.Style, e.Options);
                }
                oracle.Highlighting().Keywords().Assign(&document.Highlighting().Keywords());
                oracle.Highlighting().SetHighlighter(document.Highlighting().Highlighter());
            },
            false);
    }

    TFixedMeasure measure{10, 3};
    TCodeDocument document;
    TTextSelection selection{document};
};

// Opens a context with the top entry 0xFFFF at every "(" and closes it at
// the next ")": the memo's start keys may open inside such contexts.
class TParenthesesHighlighter : public TCodeHighlighter {
public:
    std::map<int32_t, int> StartCalls;  // by paragraph

    bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) override {
        ++StartCalls[position.ParNumber()];
        TParagraph& p = *position.Paragraph();
        int32_t from = position.ParOffset();
        int32_t to = limit.ParNumber() == position.ParNumber() ? limit.ParOffset() : p.Length();
        const TContextState& inForce = ContextInForce(p, from);
        int depth = ContextDepthOf(inForce);
        if (depth >= 15)
            return false;
        for (int32_t i = from; i < to && i < p.Length(); ++i) {
            if (p.Text[static_cast<size_t>(i)] != '(')
                continue;
            TContextState record = ContextInForce(p, i);
            record.Depth = static_cast<int8_t>(ContextDepthOf(record) + 1);
            record.KeyStack[record.Depth] = 0xFFFF;
            record.Flags = 0xC0;
            record.ContextNumber = 40 + record.Depth;
            PutContext(p, i, record);
            limit.SetPos(position.Pos() - from + i + 1);
            return true;
        }
        return false;
    }
    bool StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) override {
        TParagraph& p = *position.Paragraph();
        int32_t from = position.ParOffset();
        int32_t to = limit.ParNumber() == position.ParNumber() ? limit.ParOffset() : p.Length();
        const TContextState& inForce = ContextInForce(p, from);
        if (TopKeyEntry(inForce) != 0xFFFF)
            return false;
        for (int32_t i = from; i < to && i < p.Length(); ++i) {
            if (p.Text[static_cast<size_t>(i)] != ')')
                continue;
            TContextState record = inForce;
            record.Depth = static_cast<int8_t>(record.Depth - 1);
            record.ContextNumber = record.Depth < 0 ? 0 : 40 + record.Depth;
            record.Flags = record.Depth < 0 ? 0 : 0xC0;
            PutContext(p, i + 1, record);
            limit.SetPos(position.Pos() - from + i + 1);
            return true;
        }
        return false;
    }
};

}  // namespace

TEST_F(StartStopKeys, AContextRunsFromItsStartKeyThroughItsStopKey) {
    AddKey("/*", "*/", 3);
    Load("ab /* cd */ ef");
    EXPECT_EQ(NumbersOf(document, 0), "00033333333000");
    const TContextState& record = ContextInForce(*document.Paragraph(0), 3);
    EXPECT_EQ(record.Foreground, 0x1003);
    EXPECT_EQ(record.StartKeyLength, 2);
    EXPECT_EQ(TopKeyEntry(record), 0x8000);
    EXPECT_EQ(Fresh(), "");
}

// The public searches between two navigators: a start key is looked for
// from the position, a stop key only for the context in force there, and
// both only in the position's paragraph.
TEST_F(StartStopKeys, FindStartKeyAndFindStopKeySearchThePositionsParagraph) {
    AddKey("<<", ">>", 5);
    Load("ab << cd\r\nx >> y");
    TCodeNavigator position(&document), limit(&document);
    auto search = [&](bool stop, int32_t from) -> int32_t {
        position.SetPos(from);
        limit.SetPos(document.TextLength());
        const bool found = stop ? document.Highlighting().FindStopKey(position, limit) : document.Highlighting().FindStartKey(position, limit);
        return found ? limit.Pos() : -1;
    };
    const int32_t second = document.ParagraphStart(1);
    EXPECT_EQ(search(true, 0), -1);               // plain text: nothing to stop
    EXPECT_EQ(search(true, 5), -1);               // the stop key is in the next paragraph
    EXPECT_EQ(search(true, second), second + 4);  // after ">>"
    EXPECT_EQ(search(false, 5), -1);              // no start key behind the first
    EXPECT_EQ(search(false, 0), 5);               // after "<<"
}

TEST_F(StartStopKeys, TheEarlierEntryWinsAtOnePositionAndTheEarlierPositionWinsOverall) {
    AddKey("<", ">", 1);
    AddKey("<!", ">", 2);  // longer, but later in the list
    AddKey("x", "y", 4);
    Load("<!a> x<!b>");
    EXPECT_EQ(NumbersOf(document, 0), "1111044444");
}

TEST_F(StartStopKeys, TheStopKeyIsNeverFoundInsideTheStartKey) {
    AddKey("''", "''", 5);
    Load("''x''y");
    EXPECT_EQ(NumbersOf(document, 0), "555550");
}

TEST_F(StartStopKeys, AKeyRightAfterAStopKeyOpensAtTheSameLevel) {
    AddKey("'", "'", 5, 0, true);
    Load("'a''b'''c");
    EXPECT_EQ(NumbersOf(document, 0), "555555550");
    for (int32_t at : {0, 3, 6})
        EXPECT_EQ(ContextDepthOf(ContextInForce(*document.Paragraph(0), at)), 0) << at;
    // However many follow one another.
    Load(std::string(40, '\''));
    EXPECT_EQ(ContextDepthOf(ContextInForce(*document.Paragraph(0), 38)), 0);
}

TEST_F(StartStopKeys, ALinkedEntryFollowsOnWhenTheFirstContextCloses) {
    AddKey("<?", "?>", 1);
    AddKey("<?", "!", 2);  // same start key and options: linked to entry 0
    Load("<?a?>b!c <?d?>");
    EXPECT_EQ(NumbersOf(document, 0), "11111220011111");
    EXPECT_EQ(TopKeyEntry(ContextInForce(*document.Paragraph(0), 5)), 0x8001);
    // The follow-on context reaches over the paragraph end like any other.
    EXPECT_EQ(NumberAt(document, document.TextLength()), 2);
}

TEST_F(StartStopKeys, AnEntryEndingAtTheParagraphEndNeedsNoStopKey) {
    AddKey("rem", "", 7, kKeyWholeWord, true);
    Load("a rem b\r\nnext");
    EXPECT_EQ(NumbersOf(document, 0), "0077777");
    EXPECT_EQ(NumbersOf(document, 1), "0000");
}

TEST_F(StartStopKeys, WholeWordKeysNeedSeparatorsAroundThem) {
    AddKey("rem", "end", 7, kKeyWholeWord, true);
    Load("rem a\r\nxrem b\r\nx rem c end d\r\nx rem c bend d end");
    EXPECT_EQ(NumbersOf(document, 0).substr(0, 5), "77777");  // at the paragraph start: recognised
    EXPECT_EQ(NumbersOf(document, 1), "000000");
    EXPECT_EQ(NumbersOf(document, 2), "0077777777700");
    EXPECT_EQ(NumbersOf(document, 3), "007777777777777777");
    // Whole-word flags follow the separator set.
    document.SetSeparators("x ");
    document.ReApplyKeywords();
    HighlightAll(document);
    EXPECT_EQ(NumbersOf(document, 1).substr(0, 4), "0777");
}

TEST_F(StartStopKeys, CaseInsensitiveKeysMatchTheUpperCasedText) {
    AddKey("rem", "", 7, 0, true);
    AddKey("Go", "", 8, kKeyCaseSensitive, true);
    Load("x REM y\r\nx Rem\r\nx go Go");
    EXPECT_EQ(NumbersOf(document, 0), "0077777");
    EXPECT_EQ(NumbersOf(document, 1), "00777");
    EXPECT_EQ(NumbersOf(document, 2), "0000088");
}

TEST_F(StartStopKeys, AnOpenedCommentColoursTheFollowingParagraphsUpToItsStopKey) {
    AddKey("/*", "*/", 3);
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "line " + std::to_string(i) + (i == 6 ? " */ tail" : "") + "\r\n";
    Load(text);
    auto counter = std::make_unique<TParenthesesHighlighter>();
    document.Highlighting().SetHighlighter(counter.get());
    HighlightAll(document);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(NumberAt(document, document.ParagraphStart(i)), 0) << i;

    counter->StartCalls.clear();
    Type(document.ParagraphStart(2) + 1, "/*");
    // Only the edited paragraph and those whose start context changed were
    // parsed again.
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(counter->StartCalls.count(i) != 0, i >= 2 && i <= 6) << i;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(NumberAt(document, document.ParagraphStart(i) + 2), i >= 2 && i <= 6 ? 3 : 0) << i;
    EXPECT_EQ(NumbersOf(document, 6), "33333333300000");
    EXPECT_EQ(Fresh(), "");

    counter->StartCalls.clear();
    Erase(document.ParagraphStart(2) + 1, document.ParagraphStart(2) + 3);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(counter->StartCalls.count(i) != 0, i >= 2 && i <= 6) << i;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(NumberAt(document, document.ParagraphStart(i) + 2), 0) << i;
    EXPECT_EQ(Fresh(), "");
    document.Highlighting().SetHighlighter(nullptr);
}

TEST_F(StartStopKeys, NoMoreThanSixteenContextsNest) {
    TParenthesesHighlighter parentheses;
    document.Highlighting().SetHighlighter(&parentheses);
    AddKey("x", "y", 9);
    // Fifteen levels open: the key opens the sixteenth.
    Load(std::string(15, '(') + "xay");
    EXPECT_EQ(NumberAt(document, 15), 9);
    EXPECT_EQ(ContextDepthOf(ContextInForce(*document.Paragraph(0), 16)), 15);
    EXPECT_EQ(NumberAt(document, 18), 54);
    // Sixteen levels open: no key opens any more.
    Load(std::string(16, '(') + "xay");
    EXPECT_EQ(NumberAt(document, 16), 55);
    EXPECT_EQ(NumberAt(document, 17), 55);
    // And the highlighter's own hook refuses a seventeenth level.
    Load(std::string(20, '(') + "a");
    EXPECT_EQ(ContextDepthOf(ContextInForce(*document.Paragraph(0), 20)), 15);
    document.Highlighting().SetHighlighter(nullptr);
}

TEST_F(StartStopKeys, KeywordsColourWordsOutsideContextsThatBarThem) {
    TKeywordAttributes bold;
    bold.Options = kKeyWholeWord;
    bold.ContextNumber = 6;
    bold.Style = kStyleBold;
    bold.Foreground = 0x55;
    document.Highlighting().Keywords().AddKeyword("if", bold);
    TKeywordAttributes never = bold;
    never.ContextNumber = 0;  // a keyword without a context number is never applied
    document.Highlighting().Keywords().AddKeyword("then", never);
    TKeywordAttributes inner = bold;
    inner.Options = 0;
    inner.ContextNumber = 8;
    document.Highlighting().Keywords().AddKeyword("ifx", inner);  // later in the list: "if" wins where both fit
    AddKey("/*", "*/", 3);
    AddKey("[", "]", 0);  // a context without a number does not bar keywords
    Load("if x then ifx IF /* if */ [if] aifx");
    EXPECT_EQ(NumbersOf(document, 0), "66000000008880660333333330000000888");
    const TContextState& record = ContextInForce(*document.Paragraph(0), 0);
    EXPECT_EQ(record.Foreground, 0x55);
    EXPECT_EQ(TopKeyEntry(record), 0);  // a keyword index, bit 15 clear
    EXPECT_EQ(Fresh(), "");

    // Editing a keyword re-colours it.
    Type(1, "f");
    EXPECT_EQ(NumbersOf(document, 0).substr(0, 4), "0000");
    Erase(1, 2);
    EXPECT_EQ(NumbersOf(document, 0).substr(0, 3), "660");
    EXPECT_EQ(Fresh(), "");
}

// Keywords applied to a stretch of a paragraph (the stretch an edit
// touched) look at the text beyond the stretch too: a whole-word keyword
// at its edge must still stand between separators in the paragraph.
TEST_F(StartStopKeys, AWholeWordKeywordAtTheEdgeOfTheExaminedStretchIsAWholeWordInTheText) {
    TKeywordAttributes word;
    word.Options = kKeyWholeWord;
    word.ContextNumber = 6;
    document.Highlighting().Keywords().AddKeyword("abc", word);
    Load("xx abcd");
    EXPECT_EQ(NumbersOf(document, 0), "0000000");
    TCodeNavigator from(&document);
    TCodeNavigator to(&document);
    from.SetPos(2);
    to.SetPos(3);
    document.Highlighting().ApplyKeywordsBetween(from, to);
    EXPECT_EQ(NumbersOf(document, 0), "0000000");
    // Between separators, or at the paragraph's ends, the word is coloured.
    Load("xx abc");
    from.SetPos(2);
    to.SetPos(3);
    document.Highlighting().ApplyKeywordsBetween(from, to);
    EXPECT_EQ(NumbersOf(document, 0), "000666");
}

// A document that watches its own start/stop parsing through the virtual
// operation every parse goes through.
class TWatchingDocument : public TCodeDocument {
public:
    std::vector<std::pair<int32_t, int32_t>> Parsed;
    void ApplyStartStopKeys(TCodeNavigator& from, TCodeNavigator& to) override {
        Parsed.emplace_back(from.Pos(), to.Pos());
        TCodeDocument::ApplyStartStopKeys(from, to);
    }
};

// Paragraphs parsed on the way to formatting (after loading, or when a
// changed context is handed on) are parsed whole through ApplyStartStopKeys,
// as an edit's paragraph is, so that a document that overrides it sees them all.
TEST(StartStopParsing, ParagraphsAreParsedWholeThroughTheVirtualOperation) {
    TFixedMeasure measure(10);
    TWatchingDocument document;
    TTextSelection selection(document);
    document.Layout().SetUpdateMode(umImmediate);
    document.Layout().SetMeasure(&measure, 1000);
    document.Highlighting().StartStopKeys().AddStartStopKey("/*", "*/", false, 1, -1, 0, 3, 0, 0);
    LoadText(document, "a /*\r\nbb\r\nccc */ d");
    HighlightAll(document);
    using TRange = std::pair<int32_t, int32_t>;
    EXPECT_EQ(document.Parsed, (std::vector<TRange>{{0, 4}, {6, 8}, {10, 18}}));
    EXPECT_EQ(NumberAt(document, 7), 3) << "the comment runs on through the second paragraph";
    // Closing the comment early hands the change on: the paragraphs after
    // the edit's one are parsed whole again.
    document.Parsed.clear();
    selection.SetSelStart(4);
    selection.SetSelText("*/");
    HighlightAll(document);
    EXPECT_EQ(document.Parsed, (std::vector<TRange>{{2, 6}, {8, 10}, {12, 20}}));
    EXPECT_EQ(NumberAt(document, 9), 0);
}
