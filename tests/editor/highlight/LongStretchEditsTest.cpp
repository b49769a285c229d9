// Typing inside long scripts, comments and server blocks of a long
// paragraph, where parsing takes the stretch up near the edit instead of
// at its start: random keys that make and break the keys ending them
// ("</script>", "-->", "%>", "?>"), deletions, breaks and undo, by a
// caret that wanders.  After every step the highlighting (and layout) must
// be that of a fresh document that loads the same text and highlights it
// whole.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "editor/model/UpperCase.h"
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

namespace {

using TSetUp = std::function<void(TCodeDocument&)>;

// Filler for the inside of a stretch: words, blanks and bytes that begin a
// key without completing it; with mixedCase, also the ends of scripts in
// mixed letter case and with letters of the code page's upper half in
// place of theirs.
std::string Filler(std::mt19937& random, size_t bytes, bool mixedCase = false) {
    static const char* const pieces[] = {"var ",  "x = 1; ", "if (a < b) ", "</scr", "ipt ", "- ", "-- ", "%",
                                         "?",     "> ",      "\xC3\xA9",    "<b>",   "&amp;", " = ", "\"q\" "};
    static const char* const cased[] = {"</sCrIpT>", ("</\xD3" "CRIPT>"), "</s\xE7ript>", "</Script\xBE"};
    std::string text;
    while (text.size() < bytes)
        text += mixedCase && random() % 4 == 0 ? cased[random() % std::size(cased)] : pieces[random() % std::size(pieces)];
    return text;
}

// A paragraph of long stretches, each closed, or not, by its key.
std::string LongParagraph(std::mt19937& random, size_t bytes, bool mixedCase = false) {
    std::string text = "<p class=x>start</p>";
    while (text.size() < bytes) {
        const size_t length = 300 + random() % 3000;
        const bool closed = random() % 3 != 0;
        switch (random() % 5) {
        case 0:
            text += "<script>" + Filler(random, length, mixedCase) + (closed ? "</SCRIPT>" : "</scrpt>");
            break;
        case 1:
            text += "<!--" + Filler(random, length) + (closed ? "-->" : "- ->");
            break;
        case 2:
            text += "<%" + Filler(random, length) + (closed ? "%>" : "% >");
            break;
        case 3:
            text += "<?" + Filler(random, length) + (closed ? "?>" : "? >");
            break;
        default:
            text += "<td a=\"b\">words &lt; more words</td>";
        }
    }
    return text;
}

class TStretchEditor {
public:
    // oracleSetUp: how the fresh document that checks is set up, when not
    // as this one.
    TStretchEditor(uint32_t seed, TSetUp setUp, TSetUp oracleSetUp = {})
        : random_(seed), setUp_(std::move(setUp)), oracleSetUp_(std::move(oracleSetUp)) {
        prepare(document_, setUp_);
    }

    void Load(const std::string& text) {
        LoadText(document_, text);
        HighlightAll(document_);
        caret_ = document_.TextLength() / 2;
    }

    // One step: mostly a key or two near the caret.
    void Step() {
        static const char* const keys[] = {"x", "<", "/", ">", "-", "%", "?", "</script>", "-->", "%>", "?>",
                                           "<script>", "<!--", "</SCR", "IPT>", "\xC3\xA9", " ", "\r\n"};
        const int32_t length = document_.TextLength();
        if (pick(15) == 0)
            caret_ = pick(length + 1);
        caret_ = std::clamp(caret_ + pick(9) - 4, 0, length);
        const int kind = pick(20);
        if (kind < 12) {
            selection_.SetSelStart(caret_);
            selection_.SetSelText(keys[pick(static_cast<int32_t>(std::size(keys)))]);
        } else if (kind < 17) {
            Select(selection_, caret_, std::min(caret_ + (kind == 16 ? pick(600) : 1 + pick(9)), length));
            selection_.SetSelText({});
        } else if (kind < 19) {
            selection_.Undo();
        } else {
            selection_.Redo();
        }
        caret_ = selection_.SelStart();
        HighlightAll(document_);
    }

    std::string Check() {
        document_.CheckConsistency();
        return DifferenceFromFresh(
            document_, [this](TCodeDocument& oracle) { prepare(oracle, oracleSetUp_ ? oracleSetUp_ : setUp_); }, true);
    }

private:
    void prepare(TCodeDocument& document, const TSetUp& setUp) {
        setUp(document);
        document.Layout().SetUpdateMode(umImmediate);
        document.Layout().SetMeasure(&measure_, 600);
    }
    int32_t pick(int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random_() % static_cast<uint32_t>(n)); }

    std::mt19937 random_;
    TSetUp setUp_;
    TSetUp oracleSetUp_;
    TFixedMeasure measure_{10, 2};
    TCodeDocument document_;
    TTextSelection selection_{document_};
    int32_t caret_ = 0;
};

void RunEdits(const TSetUp& setUp, uint32_t seed, int steps, const TSetUp& oracleSetUp = {}) {
    std::mt19937 random(seed);
    TStretchEditor editor(seed, setUp, oracleSetUp);
    const bool mixedCase = static_cast<bool>(oracleSetUp);
    editor.Load("<html>\r\n" + LongParagraph(random, 40000, mixedCase) + "\r\n<!-- " + Filler(random, 2000) + "\r\n" +
                LongParagraph(random, 8000, mixedCase));
    for (int step = 1; step <= steps; ++step) {
        editor.Step();
        ASSERT_EQ(editor.Check(), "") << "seed " << seed << " step " << step;
    }
}

}  // namespace

TEST(LongStretchEdits, KeysInsideLongStretchesMatchAFullHighlight) {
    THtmlHighlighter html;
    RunEdits([&](TCodeDocument& document) { document.Highlighting().SetHighlighter(&html); }, 11, 500);
}

TEST(LongStretchEdits, InUtf8AndWithTheDocumentsOwnKeysTheyMatchAFullHighlight) {
    THtmlHighlighter html;
    RunEdits(
        [&](TCodeDocument& document) {
            document.SetEncoding(teUtf8);
            document.Highlighting().SetHighlighter(&html);
            TStartStopKeyList& keys = document.Highlighting().StartStopKeys();
            keys.AddStartStopKey("{", "}", false, 1, -1, 0, 3, kStyleItalic, 0);
            keys.AddStartStopKey("\"", "\"", true, 2, -1, 0, 4, 0, 0);
        },
        12, 400);
}

TEST(LongStretchEdits, WithKeysOfTheHighlightersOwnTheyMatchAFullHighlight) {
    // Keys of its own may open inside a script: parsing takes no stretch up
    // inside then.
    THtmlHighlighter html;
    html.StartStopKeys().Add("(", ")", false, 1, -1, 0, 5, kStyleBold, 0, 0, 0);
    RunEdits([&](TCodeDocument& document) { document.Highlighting().SetHighlighter(&html); }, 13, 300);
}

namespace {

// The code page's folding, as an application's own routine: the document
// that uses it folds whole stretches the way every search did before.
void FoldAsTheCodePage(char* buffer, int32_t length) { UpperCaseBuffer(pmuAnsi, buffer, length); }

}  // namespace

// The end of a script is found in any letter case where the text lies,
// folding only what may be its end: the highlighting must be that of a
// document that folds the whole stretch by the same rule, in the code page
// (whose upper half has letters of its own) and in UTF-8.
TEST(LongStretchEdits, ScriptEndsInAnyLetterCaseAreFoundAsByFoldingTheWholeStretch) {
    SetUserUpperCaseProc(FoldAsTheCodePage);
    THtmlHighlighter html;
    for (bool utf8 : {false, true}) {
        auto setUp = [&](TpmUpperCase rule) {
            return [&html, utf8, rule](TCodeDocument& document) {
                document.SetEncoding(utf8 ? teUtf8 : teAnsi);
                document.SetUpperCaseType(rule);
                document.Highlighting().SetHighlighter(&html);
            };
        };
        RunEdits(setUp(pmuAnsi), utf8 ? 15 : 14, 250, setUp(pmuUserDefined));
    }
    SetUserUpperCaseProc(nullptr);
}

namespace {

// The HTML highlighter, counting the keys parsing asks it about: the work
// an edit's parse does, whatever the machine's speed.
class TCountingHtml : public THtmlHighlighter {
public:
    bool StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) override {
        ++Asked;
        return THtmlHighlighter::StartKeyHook(position, limit, firstIdentifier);
    }
    bool StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) override {
        ++Asked;
        return THtmlHighlighter::StopKeyHook(position, limit, firstIdentifier);
    }
    int64_t Asked = 0;
};

// The keys asked about for a few key pairs (a letter typed, then taken
// back) at an offset.
int64_t KeysAskedForKeysAt(TCodeDocument& document, TCountingHtml& html, int32_t at) {
    TTextSelection selection(document);
    const int64_t before = html.Asked;
    for (int key = 0; key < 15; ++key) {
        selection.SetSelStart(at);
        selection.SetSelText("x");
        Select(selection, at, at + 1);
        selection.SetSelText({});
    }
    return html.Asked - before;
}

}  // namespace

// A key inside an inline script costs what it costs in a short line, not
// in proportion to the markup behind the script (2 MB here).  Compared
// with the same keys in a short line by the parsing they ask for, which no
// busy machine changes.
TEST(LongStretchEdits, AKeyInAScriptOfALongLineCostsAsInAShortOne) {
    const std::string script = "<script>var total = 0;</script>";
    const int32_t inScript = 3 + static_cast<int32_t>(script.find("total"));
    int64_t asked[2] = {};
    for (int which = 0; which < 2; ++which) {
        TCountingHtml html;
        std::string markup;
        while (markup.size() < (which == 0 ? 2000u : 2000000u))
            markup += "<td class=\"c\">words and more words</td>";
        TCodeDocument document;
        document.Highlighting().SetHighlighter(&html);
        LoadText(document, "<p>" + script + markup);
        HighlightAll(document);
        asked[which] = KeysAskedForKeysAt(document, html, inScript);
    }
    EXPECT_LE(asked[1], 2 * asked[0] + 64) << "short line " << asked[0] << " keys, long line " << asked[1] << " keys";
}
