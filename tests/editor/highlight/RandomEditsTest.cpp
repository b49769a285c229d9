// Random edits over real HTML with highlighting on: after the background
// pass has caught up, every paragraph's contexts (and its display lines)
// must be those that a fresh document gives when it loads the same text and
// highlights it whole.  The background pass runs in slices on a test
// clock, interleaved with the edits, as it does while a user types.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "HighlightTestSupport.h"
#include "RealHtml.h"


#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using TSetUp = std::function<void(TCodeDocument&)>;

// The text with its breaks taken out, but one kept after each stretch of
// `length` characters.
std::string JoinedLines(const std::string& text, size_t length) {
    std::string joined;
    size_t sinceBreak = 0;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (sinceBreak < length)
                continue;
            sinceBreak = 0;
        }
        joined += c;
        ++sinceBreak;
    }
    return joined;
}

class TRandomEditor {
public:
    TRandomEditor(uint32_t seed, TSetUp setUp) : random_(seed), setUp_(std::move(setUp)), measure_(1, 7, 2) {
        document_.SetClock(TTestClock::Read);
        setUp_(document_);
        document_.Layout().SetMeasure(&measure_, 300);
        // A view's jump a few paragraphs ahead of the pass in order parses
        // them on their own.
        document_.Layout().SetParseAhead(3);
        document_.UndoHistory().SetMaxSpace(1 << 20);
    }

    void Load(const std::string& text) {
        LoadText(document_, text);
        Slices(random_() % 3);
    }

    // One random edit, then perhaps a few background slices.
    void Step() {
        static const char* const pieces[] = {
            "<", ">", "</", "<!--", "-->", "--", "\"", "'", "=", " = ", "&", "&amp;", "&#160;", ";", "<script>",
            "</script>", "</SCRIPT>", "<%", "%>", "<?", "?>", "\r\n", " ", "x", "ab", "<b>", "</b>", "<TABLE",
            " BORDER=1>", " a=\"b c\"", "<img src=a.gif alt='x y'>", "/*", "*/", "if ", "<!", "\t", "<br/>",
            "<head x>", "<TAB>", "%", "?", "/", "-"};
        const int32_t length = document_.TextLength();
        int32_t at = pick(length + 1);
        int kind = pick(11);
        if (kind == 10) {
            // A view shows a few paragraphs somewhere.
            const int32_t first = pick(document_.ParagraphCount());
            document_.Layout().FormatRange(first, first + pick(5), false);
        } else if (kind < 5) {
            selection_.SetSelStart(at);
            selection_.SetSelText(pieces[pick(sizeof pieces / sizeof *pieces)]);
        } else if (kind < 8) {
            int32_t span = pick(4) == 0 ? pick(200) : 1 + pick(6);
            Select(selection_, at, std::min(at + span, length));
            selection_.SetSelText({});
        } else if (kind < 9) {
            selection_.Undo();
        } else {
            selection_.Redo();
        }
        Slices(pick(3));
    }

    // Runs the background pass to its end.
    void CatchUp() {
        for (int i = 0; i < 100000 && document_.Layout().BackgroundPending(); ++i)
            Slices(1);
        ASSERT_FALSE(document_.Layout().BackgroundPending());
    }

    std::string Check() {
        document_.CheckConsistency();
        return DifferenceFromFresh(
            document_,
            [this](TCodeDocument& oracle) {
                setUp_(oracle);
                oracle.Layout().SetMeasure(&measure_, 300);
            },
            true);
    }

private:
    int32_t pick(int64_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random_() % static_cast<uint64_t>(n)); }
    void Slices(int count) {
        for (int i = 0; i < count; ++i)
            document_.Layout().BackgroundSlice();
    }

    std::mt19937 random_;
    TSetUp setUp_;
    TClockedMeasure measure_;  // a millisecond a use: a 25 ms slice formats a few paragraphs; bold is wider
    TCodeDocument document_;
    TTextSelection selection_{document_};
};

class RandomHighlightEdits : public ::testing::Test {
protected:
    // longLines joins the lines of each sample into paragraphs of a few
    // thousand characters, where an edit is parsed again around itself.
    void Run(const TSetUp& setUp, uint32_t seed, int steps, int checkEvery, bool longLines = false) {
        for (std::string html : RealHtmlSamples(3, 6000)) {
            if (longLines)
                html = JoinedLines(html, 2500);
            TRandomEditor editor(seed++, setUp);
            editor.Load(html);
            for (int step = 1; step <= steps; ++step) {
                editor.Step();
                if (step % checkEvery == 0 || step == steps) {
                    editor.CatchUp();
                    std::string difference = editor.Check();
                    ASSERT_EQ(difference, "") << "seed " << seed - 1 << " step " << step;
                }
            }
        }
    }
};

void OwnStartStopKeys(TCodeDocument& document) {
    TStartStopKeyList& keys = document.Highlighting().StartStopKeys();
    keys.AddStartStopKey("<!--", "-->", false, 1, -1, 0, 3, kStyleItalic, 0);
    keys.AddStartStopKey("<", ">", false, 2, -1, 0, 4, kStyleBold, 0);
    keys.AddStartStopKey("\"", "\"", true, 3, -1, 0, 5, 0, 0);
    keys.AddStartStopKey("<", "/", false, 4, -1, 0, 6, 0, 0);  // follows on after "<"
    keys.AddStartStopKey("if", "", true, 5, -1, 0, 7, 0, kKeyWholeWord);
}

void OwnKeys(TCodeDocument& document) {
    OwnStartStopKeys(document);
    TKeywordAttributes keyword;
    keyword.ContextNumber = 9;
    keyword.Style = kStyleBold;
    keyword.Options = kKeyWholeWord;
    document.Highlighting().Keywords().AddKeyword("the", keyword);
    keyword.Options = 0;
    document.Highlighting().Keywords().AddKeyword("a", keyword);
}

// Keywords alone: an edit in a paragraph without context records applies
// them around the edit only, instead of re-parsing the paragraph.
void OwnKeywordsOnly(TCodeDocument& document) {
    TKeywordAttributes keyword;
    keyword.ContextNumber = 9;
    keyword.Style = kStyleBold;
    keyword.Options = kKeyWholeWord;
    document.Highlighting().Keywords().AddKeyword("the", keyword);
    document.Highlighting().Keywords().AddKeyword("table", keyword);
    keyword.ContextNumber = 8;
    keyword.Options = kKeyCaseSensitive;
    document.Highlighting().Keywords().AddKeyword("td", keyword);
    keyword.Options = 0;
    document.Highlighting().Keywords().AddKeyword("ab", keyword);
}

}  // namespace

TEST_F(RandomHighlightEdits, TheDocumentsKeywordsAloneMatchAFullHighlight) { Run(OwnKeywordsOnly, 401, 600, 2); }

TEST_F(RandomHighlightEdits, OwnKeysAndKeywordsMatchAFullHighlight) { Run(OwnKeys, 101, 300, 3); }

TEST_F(RandomHighlightEdits, TheHtmlHighlighterMatchesAFullHighlight) {
    THtmlHighlighter html;
    Run([&](TCodeDocument& document) { document.Highlighting().SetHighlighter(&html); }, 201, 400, 2);
}

TEST_F(RandomHighlightEdits, EditsInLongParagraphsMatchAFullHighlight) {
    THtmlHighlighter html;
    Run(
        [&](TCodeDocument& document) {
            document.Highlighting().SetHighlighter(&html);
            OwnStartStopKeys(document);
        },
        501, 400, 2, true);
    Run(OwnStartStopKeys, 701, 300, 3, true);
    Run([&](TCodeDocument& document) { document.Highlighting().SetHighlighter(&html); }, 601, 400, 2, true);
}

TEST_F(RandomHighlightEdits, HtmlWithTheDocumentsOwnKeysMatchesAFullHighlight) {
    THtmlHighlighter html;
    Run(
        [&](TCodeDocument& document) {
            document.Highlighting().SetHighlighter(&html);
            OwnKeys(document);
        },
        301, 300, 3);
}
