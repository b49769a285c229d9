// Random edits over real HTML with highlighting on: after the background
// pass has caught up, every paragraph's contexts (and its display lines)
// must be those that a fresh memo gives when it loads the same text and
// highlights it whole.  The background pass runs in slices on a manual
// clock, interleaved with the edits, as it does while a user types.

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "HighlightTestSupport.h"
#include "RealHtml.h"

#include "platform/ui/Control.h"
#include "platform/ui/TickSource.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using TSetUp = std::function<void(TCodeMemo&)>;

class TRandomEditor {
public:
    TRandomEditor(uint32_t seed, TSetUp setUp, TManualTickSource& clock)
        : random_(seed), setUp_(std::move(setUp)), measure_(clock, 1, 7, 2) {
        setUp_(memo_);
        memo_.SetMeasuringContext(&measure_, 300);
        memo_.SetUndoMaxSpace(1 << 20);
    }

    TCodeMemo& Memo() { return memo_; }

    void Load(const std::string& text) {
        LoadText(memo_, text);
        Slices(random_() % 3);
    }

    // One random edit, then perhaps a few background slices.
    void Step() {
        static const char* const pieces[] = {
            "<", ">", "</", "<!--", "-->", "--", "\"", "'", "=", " = ", "&", "&amp;", "&#160;", ";", "<script>",
            "</script>", "</SCRIPT>", "<%", "%>", "<?", "?>", "\r\n", " ", "x", "ab", "<b>", "</b>", "<TABLE",
            " BORDER=1>", " a=\"b c\"", "<img src=a.gif alt='x y'>", "/*", "*/", "if ", "<!", "\t", "<br/>",
            "<head x>", "<TAB>", "%", "?", "/", "-"};
        const int32_t length = memo_.TextLength();
        int32_t at = pick(length + 1);
        int kind = pick(10);
        if (kind < 5) {
            memo_.SetSelStart(at);
            memo_.SetSelText(pieces[pick(sizeof pieces / sizeof *pieces)]);
        } else if (kind < 8) {
            int32_t span = pick(4) == 0 ? pick(200) : 1 + pick(6);
            Select(memo_, at, std::min(at + span, length));
            memo_.SetSelText({});
        } else if (kind < 9) {
            memo_.Undo();
        } else {
            memo_.Redo();
        }
        Slices(pick(3));
    }

    // Runs the background pass to its end.
    void CatchUp() {
        for (int i = 0; i < 100000 && memo_.BackgroundPending(); ++i)
            Slices(1);
        ASSERT_FALSE(memo_.BackgroundPending());
    }

    std::string Check() {
        memo_.CheckConsistency();
        return DifferenceFromFresh(
            memo_,
            [this](TCodeMemo& oracle) {
                setUp_(oracle);
                oracle.SetMeasuringContext(&measure_, 300);
            },
            true);
    }

private:
    int32_t pick(int64_t n) { return n <= 0 ? 0 : static_cast<int32_t>(random_() % static_cast<uint64_t>(n)); }
    void Slices(int count) {
        for (int i = 0; i < count; ++i) {
            TMessage message{WM_CODEMEMO_BACKGROUND, 0, 0, 0};
            memo_.BackgroundFormat(message);
        }
    }

    std::mt19937 random_;
    TSetUp setUp_;
    TClockedMeasure measure_;  // a millisecond a use: a 25 ms slice formats a few paragraphs; bold is wider
    TCodeMemo memo_;
};

class RandomHighlightEdits : public ::testing::Test {
protected:
    void SetUp() override { SetTickSource(&clock); }
    void TearDown() override { SetTickSource(nullptr); }

    void Run(const TSetUp& setUp, uint32_t seed, int steps, int checkEvery) {
        for (const std::string& html : RealHtmlSamples(3, 6000)) {
            TRandomEditor editor(seed++, setUp, clock);
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

    TManualTickSource clock;
};

void MemoKeys(TCodeMemo& memo) {
    memo.StartStopKeys().AddStartStopKey("<!--", "-->", false, 1, -1, 0, 3, kStyleItalic, 0);
    memo.StartStopKeys().AddStartStopKey("<", ">", false, 2, -1, 0, 4, kStyleBold, 0);
    memo.StartStopKeys().AddStartStopKey("\"", "\"", true, 3, -1, 0, 5, 0, 0);
    memo.StartStopKeys().AddStartStopKey("<", "/", false, 4, -1, 0, 6, 0, 0);  // follows on after "<"
    memo.StartStopKeys().AddStartStopKey("if", "", true, 5, -1, 0, 7, 0, kKeyWholeWord);
    TKeywordAttributes keyword;
    keyword.ContextNumber = 9;
    keyword.Style = kStyleBold;
    keyword.Options = kKeyWholeWord;
    memo.Keywords().AddKeyword("the", keyword);
    keyword.Options = 0;
    memo.Keywords().AddKeyword("a", keyword);
}

// Keywords alone: an edit in a paragraph without context records applies
// them around the edit only, instead of re-parsing the paragraph.
void MemoKeywordsOnly(TCodeMemo& memo) {
    TKeywordAttributes keyword;
    keyword.ContextNumber = 9;
    keyword.Style = kStyleBold;
    keyword.Options = kKeyWholeWord;
    memo.Keywords().AddKeyword("the", keyword);
    memo.Keywords().AddKeyword("table", keyword);
    keyword.ContextNumber = 8;
    keyword.Options = kKeyCaseSensitive;
    memo.Keywords().AddKeyword("td", keyword);
    keyword.Options = 0;
    memo.Keywords().AddKeyword("ab", keyword);
}

}  // namespace

TEST_F(RandomHighlightEdits, TheMemosKeywordsAloneMatchAFullHighlight) { Run(MemoKeywordsOnly, 401, 600, 2); }

TEST_F(RandomHighlightEdits, MemoKeysAndKeywordsMatchAFullHighlight) { Run(MemoKeys, 101, 300, 3); }

TEST_F(RandomHighlightEdits, TheHtmlHighlighterMatchesAFullHighlight) {
    THtmlHighlighter html;
    Run([&](TCodeMemo& memo) { memo.SetHighlighter(&html); }, 201, 400, 2);
}

TEST_F(RandomHighlightEdits, HtmlWithTheMemosOwnKeysMatchesAFullHighlight) {
    THtmlHighlighter html;
    Run(
        [&](TCodeMemo& memo) {
            memo.SetHighlighter(&html);
            MemoKeys(memo);
        },
        301, 300, 3);
}
