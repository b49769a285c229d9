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
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace {

using TSetUp = std::function<void(TCodeDocument&)>;

// Filler for the inside of a stretch: words, blanks and bytes that begin a
// key without completing it.
std::string Filler(std::mt19937& random, size_t bytes) {
    static const char* const pieces[] = {"var ",  "x = 1; ", "if (a < b) ", "</scr", "ipt ", "- ", "-- ", "%",
                                         "?",     "> ",      "\xC3\xA9",    "<b>",   "&amp;", " = ", "\"q\" "};
    std::string text;
    while (text.size() < bytes)
        text += pieces[random() % std::size(pieces)];
    return text;
}

// A paragraph of long stretches, each closed, or not, by its key.
std::string LongParagraph(std::mt19937& random, size_t bytes) {
    std::string text = "<p class=x>start</p>";
    while (text.size() < bytes) {
        const size_t length = 300 + random() % 3000;
        const bool closed = random() % 3 != 0;
        switch (random() % 5) {
        case 0:
            text += "<script>" + Filler(random, length) + (closed ? "</SCRIPT>" : "</scrpt>");
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
    TStretchEditor(uint32_t seed, TSetUp setUp) : random_(seed), setUp_(std::move(setUp)) { prepare(document_); }

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
        return DifferenceFromFresh(document_, [this](TCodeDocument& oracle) { prepare(oracle); }, true);
    }

private:
    void prepare(TCodeDocument& document) {
        setUp_(document);
        document.Layout().SetUpdateMode(umImmediate);
        document.Layout().SetMeasure(&measure_, 600);
    }
    int32_t pick(int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random_() % static_cast<uint32_t>(n)); }

    std::mt19937 random_;
    TSetUp setUp_;
    TFixedMeasure measure_{10, 2};
    TCodeDocument document_;
    TTextSelection selection_{document_};
    int32_t caret_ = 0;
};

void RunEdits(const TSetUp& setUp, uint32_t seed, int steps) {
    std::mt19937 random(seed);
    TStretchEditor editor(seed, setUp);
    editor.Load("<html>\r\n" + LongParagraph(random, 40000) + "\r\n<!-- " + Filler(random, 2000) + "\r\n" +
                LongParagraph(random, 8000));
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
