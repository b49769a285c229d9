// The HTML highlighter: the context number of every character of
// hand-written examples (tags, values, closing tags, scripts, server
// blocks, entities, comments, XML syntax), its styles, and how a change
// reaches the following paragraphs.
//
// Expected colourings are strings with one character per text character:
// '0' + the context number (so ':' is 10, an entity, and ';' is 11).

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/ContextEditing.h"
#include "editor/highlight/HtmlElements.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "editor/model/UpperCase.h"
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>

namespace {

class TCountingHtml : public THtmlHighlighter {
public:
    std::map<int32_t, int> StartCalls;
    bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) override {
        ++StartCalls[position.ParNumber()];
        return THtmlHighlighter::StartKeyHook(position, limit, first);
    }
};

class Html : public ::testing::Test {
protected:
    void SetUp() override { Prepare(document); }
    void Prepare(TCodeDocument& m) {
        m.Layout().SetUpdateMode(umImmediate);
        m.Layout().SetMeasure(&measure, 2000);
        m.Highlighting().SetHighlighter(&html);
    }
    void TearDown() override { document.Highlighting().SetHighlighter(nullptr); }
    std::string Colours(const std::string& text, int32_t paragraph = 0) {
        LoadText(document, text);
        HighlightAll(document);
        return NumbersOf(document, paragraph);
    }
    const TContextState& At(int32_t offset) {
        int32_t index = document.ParagraphList().IndexOfOffset(offset);
        return ContextInForce(*document.Paragraph(index), offset - document.ParagraphStart(index));
    }
    std::string Fresh() {
        return DifferenceFromFresh(document, [this](TCodeDocument& oracle) { Prepare(oracle); }, false);
    }

    TFixedMeasure measure{10, 2};
    TCountingHtml html;
    TCodeDocument document;
    TTextSelection selection{document};
};

}  // namespace

TEST_F(Html, AnImageTagWithBareAndQuotedValues) {
    EXPECT_EQ(Colours("<IMG SRC=a.gif ALT=\"x y\">"), "4555188889999918888999997");
    // Each token class takes its own style.
    EXPECT_EQ(At(0).Foreground, clBlue);
    EXPECT_EQ(At(0).Flags & 0x0F, fsBold);
    EXPECT_EQ(At(1).Foreground, clNavy);
    EXPECT_EQ(At(4).Foreground, clGreen);
    EXPECT_EQ(At(4).Flags & 0x0F, fsItalic);
    EXPECT_EQ(At(9).Foreground, clGray);
    EXPECT_EQ(At(0).Tag, 0);
    EXPECT_EQ(At(0).Background, -1);
    // The name and the rest of the tag share the element's identifier.
    EXPECT_EQ(TopKeyEntry(At(1)), 0x8000 + 49);
    EXPECT_EQ(TopKeyEntry(At(4)), 0x8000 + 49);
}

TEST_F(Html, ClosingTagsAreKnownOnlyForElementsThatHaveThem) {
    EXPECT_EQ(Colours("</B>"), "4557");
    EXPECT_EQ(Colours("</BR>"), "46667");
    EXPECT_EQ(TopKeyEntry(At(1)), 0x8000 + THtmlHighlighter::kUnknownName);
    EXPECT_EQ(Colours("<br>"), "4557");
}

TEST_F(Html, EveryElementIsKnownByItsNameInAnyLetterCase) {
    // Each element of the list, its name in letters of mixed case, opening
    // and closing, and its name with a letter more or less: the element it
    // names is the first of the list with that name (a closing tag only one
    // with an end tag), read back from the name's identifier.
    std::mt19937 random(5);
    auto identifierOf = [&](const std::string& tag) {
        Colours(tag);
        const int top = TopKeyEntry(At(tag[1] == '/' ? 2 : 1));
        return top - 0x8000;
    };
    auto expected = [](const std::string& name, bool closing) {
        std::string upper = name;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (int i = 0; i < kHtmlElementCount; ++i)
            if (upper == HtmlElement(i).Name && (!closing || HtmlElement(i).EndTag))
                return i;
        return static_cast<int>(THtmlHighlighter::kUnknownName);
    };
    for (int i = 0; i < kHtmlElementCount; ++i) {
        std::string name = HtmlElement(i).Name;
        for (char& c : name)
            if (random() % 2)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const std::string& variant : {name, name + "x", name.substr(0, name.size() - 1), "x" + name}) {
            if (variant.empty())
                continue;
            EXPECT_EQ(identifierOf("<" + variant + ">"), expected(variant, false)) << variant;
            EXPECT_EQ(identifierOf("</" + variant + ">"), expected(variant, true)) << "/" << variant;
        }
    }
    // Longer names than any element's are nobody's, with or without "/".
    EXPECT_EQ(identifierOf("<BLOCKQUOTEBLOCKQU>"), THtmlHighlighter::kUnknownName);
    EXPECT_EQ(identifierOf("</BLOCKQUOTEBLOCKQ>"), THtmlHighlighter::kUnknownName);
}

TEST_F(Html, ElementNamesAreFoldedAsTheDocumentFoldsText) {
    // A folding routine of the application's own decides what a name is.
    SetUserUpperCaseProc([](char* buffer, int32_t length) {
        for (int32_t i = 0; i < length; ++i)
            buffer[i] = buffer[i] == 'z' ? 'P' : static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[i])));
    });
    document.SetUpperCaseType(pmuUserDefined);
    EXPECT_EQ(Colours("<z x=1>"), "4518897");
    EXPECT_STREQ(HtmlElement(TopKeyEntry(At(1)) - 0x8000).Name, "P");
    document.SetUpperCaseType(pmuAscii);
    EXPECT_EQ(Colours("<z x=1>"), "4666667");
    SetUserUpperCaseProc(nullptr);
    // The code page folds its own letters, none of them into an element's.
    document.SetUpperCaseType(pmuAnsi);
    EXPECT_EQ(Colours("<\xFDl>"), "4667");
}

TEST_F(Html, ElementsWithoutAttributesColourTheirRestAsUnknown) {
    EXPECT_EQ(Colours("<HEAD x>"), "45555667");
    EXPECT_EQ(At(5).Foreground, clRed);
    // Names are matched whole: the first letters of TABLE are no element.
    EXPECT_EQ(Colours("<TAB>"), "46667");
    EXPECT_EQ(Colours("<table\tborder=1>"), "4555551888888897");
}

TEST_F(Html, AnUnclosedQuoteRunsToTheParagraphEndAndTheTagGoesOn) {
    EXPECT_EQ(Colours("<A HREF=\"x y\r\nz\">b"), "451888889999");
    EXPECT_EQ(NumbersOf(document, 1), "1170");
}

TEST_F(Html, ScriptContentRunsToTheClosingTagInAnyLetterCase) {
    EXPECT_EQ(Colours("<script>var a = \"</b>\";</Script>x"),
              "4555555" "7" + std::string(15, '2') + std::string(9, '7') + "0");
    EXPECT_EQ(At(8).Flags & 0x20, 0x20);  // script content uses the alternative font
    EXPECT_EQ(Colours("<SCRIPT language=js>\r\na<b && c>d\r\n</sCrIpT>"), "4555555" "1" "888888888" "99" "7");
    EXPECT_EQ(NumbersOf(document, 1), "2222222222");
    EXPECT_EQ(NumbersOf(document, 2), "777777777");
    EXPECT_EQ(NumberAt(document, document.TextLength()), 0);
}

TEST_F(Html, ServerBlocks) {
    EXPECT_EQ(Colours("<% x %>y"), "42222270");
    EXPECT_EQ(TopKeyEntry(At(1)), 0x8000 + THtmlHighlighter::kPercentBlock);
    EXPECT_EQ(Colours("<?php echo 1 ?>y"), "4;;;;;;;;;;;;;70");
    // A block over several paragraphs.
    EXPECT_EQ(Colours("<%\r\nif a > b\r\n%>x", 1), "22222222");
    EXPECT_EQ(NumbersOf(document, 2), "270");
}

TEST_F(Html, Entities) {
    EXPECT_EQ(Colours("a &amp; b"), "00:::::00");
    EXPECT_EQ(Colours("&#160;x"), "::::::0");
    EXPECT_EQ(Colours("&lt&gt;"), ":::::::");
    // Unterminated at the paragraph end: the entity ends there.
    EXPECT_EQ(Colours("a &nbsp\r\nb"), "00:::::");
    EXPECT_EQ(NumbersOf(document, 1), "0");
}

TEST_F(Html, Comments) {
    EXPECT_EQ(Colours("<!-- a <b> -->c"), std::string(14, '3') + "0");
    EXPECT_EQ(Colours("<!x>"), "4667");
    EXPECT_EQ(Colours("<!DOCTYPE html>"), "4" "55555555" "11111" "7");
}

TEST_F(Html, XmlSyntaxKnowsEveryName) {
    EXPECT_EQ(Colours("<foo bar=\"1\">"), "4666666666667");
    html.SetXMLSyntax(true);
    document.ReApplyKeywords();
    EXPECT_EQ(Colours("<foo bar=\"1\">"), "4555188889997");
    EXPECT_EQ(Colours("</foo>"), "455557");
    html.SetXMLSyntax(false);
}

TEST_F(Html, TheAttributeNameNeverReachesBackBeforeTheScan) {
    EXPECT_EQ(Colours("<A B=\"1\"C=2>"), "451889998897");
    EXPECT_EQ(Colours("<IMG=1>"), "4666667");
    EXPECT_EQ(Colours("a<B=x"), "04666");
}

TEST_F(Html, TypingACommentOpenerColoursTheFollowingParagraphsUpToItsEnd) {
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "<p class=x>line " + std::to_string(i) + (i == 5 ? " --> tail" : "") + "</p>\r\n";
    LoadText(document, text);
    HighlightAll(document);
    html.StartCalls.clear();
    selection.SetSelStart(document.ParagraphStart(1));
    selection.SetSelText("<!--");
    HighlightAll(document);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(html.StartCalls.count(i) != 0, i >= 1 && i <= 5) << i;
    for (int32_t i = 1; i <= 4; ++i)
        EXPECT_EQ(NumbersOf(document, i), std::string(document.Paragraph(i)->Length(), '3')) << i;
    EXPECT_EQ(NumbersOf(document, 5).substr(0, 21), "333333333333333333333");
    EXPECT_EQ(NumbersOf(document, 5).substr(21), "00000" "4557");
    EXPECT_EQ(NumbersOf(document, 6), "451" "888888" "97" "000000" "4557");
    EXPECT_EQ(Fresh(), "");

    // Deleting it restores them, and again only they are parsed.
    html.StartCalls.clear();
    Select(selection, document.ParagraphStart(1), document.ParagraphStart(1) + 4);
    selection.SetSelText({});
    HighlightAll(document);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i)
        EXPECT_EQ(html.StartCalls.count(i) != 0, i >= 1 && i <= 5) << i;
    EXPECT_EQ(NumbersOf(document, 3).substr(0, 11), "451" "888888" "97");
    EXPECT_EQ(Fresh(), "");
}

TEST_F(Html, ATagSplitOverTwoLinesFollowsItsFirstLine) {
    EXPECT_EQ(Colours("<TABLE\r\nBORDER=1>", 1), "888888897");
    // Turned into a closing tag by typing: the second line follows, although
    // its start context keeps the element's identifier.
    selection.SetSelStart(1);
    selection.SetSelText("/");
    HighlightAll(document);
    EXPECT_EQ(NumbersOf(document, 0), "4555555");
    EXPECT_EQ(NumbersOf(document, 1), "666666667");
    EXPECT_EQ(Fresh(), "");
}

TEST_F(Html, StylesChangeTheLookOnlyWhenTheTextIsHighlightedAgain) {
    Colours("<b>");
    html.Bracket().SetForeground(clRed);
    EXPECT_EQ(At(0).Foreground, clBlue);
    document.ReApplyKeywords();
    HighlightAll(document);
    EXPECT_EQ(At(0).Foreground, clRed);
    // A designer sees changes at once.
    html.SetDesigning(true);
    html.Bracket().SetStyle(0);
    HighlightAll(document);
    EXPECT_EQ(At(0).Flags & 0x0F, 0);
    html.SetDesigning(false);
    html.Bracket().SetForeground(clBlue);
    html.Bracket().SetStyle(fsBold);
}

// Parsing skips the stop hook where the highlighter says it never ends the
// context in force: at every offset of random markup (tags with and
// without attributes, broken ones, entities, comments, scripts, server
// blocks) where it says so, the hook must indeed end nothing and change
// no record; and the contexts it does end must all be among those it
// says it may end.
TEST_F(Html, TheStopHookEndsNothingWhereItSaysItNeverDoes) {
    static const char* const pieces[] = {"<p>",     "</p>",   "<a href=\"x\" class=y>", "<td a=1",   ">",
                                         "text ",   "&amp;",  "&lt",                     "<!-- c -->", "<!--",
                                         "-->",     "<script>", "var a = b < c;",        "</script>", "<% x %>",
                                         "<? y ?>", "<",      "</",                      "<unknown>", "\t",
                                         "<b\t>",   "=",      "\"",                      "<img src=a.gif>"};
    // (The fixture's highlighter is a class derived from it, which answers
    // that it may end anything.)
    THtmlHighlighter plain;
    document.Highlighting().SetHighlighter(&plain);
    std::mt19937 random(2718);
    int skipped = 0;
    int ended = 0;
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int line = 0; line < 6; ++line) {
            for (int piece = static_cast<int>(random() % 30); piece > 0; --piece)
                text += pieces[random() % std::size(pieces)];
            text += "\r\n";
        }
        LoadText(document, text);
        HighlightAll(document);
        const int32_t first = document.Highlighting().StartStopKeys().Count();
        for (int32_t index = 0; index < document.ParagraphCount(); ++index) {
            TParagraph& paragraph = *document.Paragraph(index);
            const int32_t start = document.ParagraphStart(index);
            for (int32_t offset = 0; offset < paragraph.Length(); ++offset) {
                const TContextState state = ContextInForce(paragraph, offset);
                const bool mayEnd = plain.StopHookMayEnd(state, first);
                const std::vector<TContextRecord> before = paragraph.Contexts.Records();
                TCodeNavigator position(&document);
                TCodeNavigator limit(&document);
                position.SetPos(start + offset);
                limit.SetPos(start + paragraph.Length());
                const bool found = plain.StopKeyHook(position, limit, first);
                if (!mayEnd) {
                    ++skipped;
                    ASSERT_FALSE(found) << "round " << round << " paragraph " << index << " offset " << offset;
                    const std::vector<TContextRecord> after = paragraph.Contexts.Records();
                    ASSERT_EQ(after.size(), before.size()) << "round " << round << " offset " << offset;
                } else if (found) {
                    ++ended;
                    // Put back as the full highlight had it.
                    LoadText(document, text);
                    HighlightAll(document);
                    break;
                }
            }
        }
    }
    EXPECT_GT(skipped, 100);
    EXPECT_GT(ended, 10);
    document.Highlighting().SetHighlighter(nullptr);
}
