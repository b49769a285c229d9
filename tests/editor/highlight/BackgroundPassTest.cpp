// Highlighting long texts in the background: slices of 25 ms on the
// document's clock, driven by the posted message 0x401 and the test clock
// (never by waiting on wall-clock time).

#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "HighlightTestSupport.h"
#include "tests/editor/MemoTestSupport.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include "platform/ui/Control.h"

#include <gtest/gtest.h>

namespace {

// Counts slices and notes whether another message is delivered while one
// runs.
class TSlicedMemo : public TCodeMemo {
public:
    TSlicedMemo() { Document().SetClock(TTestClock::Read); }
    int Slices = 0;
    bool InSlice = false;
    void BackgroundFormat(TMessage& message) override {
        ++Slices;
        InSlice = true;
        TCodeMemo::BackgroundFormat(message);
        InSlice = false;
    }
};

class TWitness : public TCustomControl {
public:
    TSlicedMemo* Memo = nullptr;
    int Seen = 0;
    int SeenInsideASlice = 0;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == 0x7777) {
            ++Seen;
            if (Memo != nullptr && Memo->InSlice)
                ++SeenInsideASlice;
            return;
        }
        TCustomControl::Dispatch(message);
    }
};

std::string ManyParagraphs(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "<tr><td class=c" + std::to_string(i) + ">cell &amp; more</td></tr>\r\n";
    return text;
}

class BackgroundHighlighting : public ::testing::Test {
protected:
    // A memo on the clocked measure and the HTML highlighter, loaded.
    void Open(TCodeMemo& memo, const std::string& text) {
        Prepare(memo.Document());
        LoadText(memo, text);
    }
    void Prepare(TCodeDocument& document) {
        document.Layout().SetMeasure(&measure, 400);
        document.Highlighting().SetHighlighter(&html);
    }
    // Lets the posted slices run until the background pass is done.
    static void RunSlices(TCodeMemo& memo) {
        for (int i = 0; i < 100000 && memo.BackgroundPending(); ++i)
            ProcessMessages();
    }

    std::string Fresh(TCodeMemo& memo) {
        return DifferenceFromFresh(memo.Document(), [this](TCodeDocument& oracle) { Prepare(oracle); }, true);
    }

    TClockedMeasure measure{1, 7, 2};  // a millisecond a use; bold is wider
    THtmlHighlighter html;
};

}  // namespace

TEST_F(BackgroundHighlighting, PostedSlicesHighlightALongTextWhileOtherMessagesGetThrough) {
    TSlicedMemo memo;
    TWitness witness;
    witness.Memo = &memo;
    Open(memo, ManyParagraphs(300));
    EXPECT_TRUE(memo.BackgroundPending());
    for (int i = 0; i < 100000 && memo.BackgroundPending(); ++i) {
        PostMessage(&witness, 0x7777);
        ProcessMessages();
    }
    EXPECT_FALSE(memo.BackgroundPending());
    EXPECT_GT(memo.Slices, 5);
    // Other messages wait for the slice to end: it never processes them
    // itself.
    EXPECT_GT(witness.Seen, 5);
    EXPECT_EQ(witness.SeenInsideASlice, 0);
    EXPECT_EQ(Fresh(memo), "");

    // An opened comment reaches the end of the text slice by slice.
    int before = memo.Slices;
    memo.SetSelStart(0);
    memo.SetSelText("<!--");
    EXPECT_EQ(NumberAt(memo.Document(), memo.ParagraphStart(1)), 4);  // still a bracket: not parsed yet
    RunSlices(memo);
    EXPECT_GT(memo.Slices - before, 5);
    EXPECT_EQ(NumberAt(memo.Document(), memo.ParagraphStart(250)), 3);
    EXPECT_EQ(Fresh(memo), "");
    memo.SetHighlighter(nullptr);
}

TEST_F(BackgroundHighlighting, EditsBetweenSlicesEndAsAFullHighlight) {
    TSlicedMemo memo;
    Open(memo, ManyParagraphs(200));
    static const char* const edits[] = {"<!--", "-->", "<script>", "</script>", "\"", "<%", "&"};
    for (int round = 0; round < 20; ++round) {
        ProcessMessages();
        int32_t paragraph = (round * 37) % memo.ParagraphCount();
        memo.SetSelStart(memo.ParagraphStart(paragraph) + round % 7);
        memo.SetSelText(edits[round % 7]);
    }
    RunSlices(memo);
    EXPECT_FALSE(memo.BackgroundPending());
    EXPECT_EQ(Fresh(memo), "");
    memo.SetHighlighter(nullptr);
}

TEST_F(BackgroundHighlighting, AMemoFreedWithASlicePendingIsNotTouched) {
    {
        TSlicedMemo memo;
        Open(memo, ManyParagraphs(100));
        ProcessMessages();
        EXPECT_TRUE(memo.BackgroundPending());
        EXPECT_EQ(html.Documents().size(), 1u);
    }
    // The slice posted for the freed memo is dropped.
    ProcessMessages();
    ProcessMessages();
    EXPECT_TRUE(html.Documents().empty());
}
