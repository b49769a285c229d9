// Display lines follow highlighting: a context that changes the font of
// text anywhere in a paragraph re-wraps the whole paragraph, exactly as a
// full re-format would.

#include "editor/CodeMemo.h"
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Relayout : public ::testing::Test {
protected:
    void SetUp() override { Prepare(memo); }
    void Prepare(TCodeMemo& m) {
        m.SetUpdateMode(umImmediate);
        // Ten normal characters or eight bold ones per line.
        m.SetMeasuringContext(&measure, 100 + 16);
        m.StartStopKeys().AddStartStopKey("{", "}", false, 0, -1, 0, 1, kStyleBold, 0);
    }
    std::string Expected() {
        return DifferenceFromFresh(memo, [this](TCodeMemo& oracle) { Prepare(oracle); }, true);
    }
    std::vector<int32_t> Stops(int32_t paragraph) {
        std::vector<int32_t> stops;
        for (int32_t line = 0; line < memo.Paragraph(paragraph)->LineCount(); ++line)
            stops.push_back(memo.Paragraph(paragraph)->Line(line).Stop);
        return stops;
    }

    TFixedMeasure measure{10, 2};
    TCodeMemo memo;
};

}  // namespace

TEST_F(Relayout, TypingInALaterLineOfAWrappedParagraphWrapsItAgain) {
    LoadText(memo, "aaaa bbb cccc dd eeee ff");
    HighlightAll(memo);
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{9, 17, 24}));
    memo.SetSelStart(15);
    memo.SetSelText("xxxx");
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{9, 14, 21, 28}));
    EXPECT_EQ(Expected(), "");
}

TEST_F(Relayout, AContextOpenedInAnEarlierParagraphRewrapsEveryLineOfTheNextOnes) {
    LoadText(memo, "start\r\naaaaa bbbb ccccc dddd\r\nend } x");
    HighlightAll(memo);
    EXPECT_EQ(Stops(1), (std::vector<int32_t>{11, 21}));
    memo.SetSelStart(0);
    memo.SetSelText("{");
    HighlightAll(memo);
    // Bold: eight characters a line.
    EXPECT_EQ(Stops(1), (std::vector<int32_t>{6, 11, 17, 21}));
    EXPECT_EQ(Expected(), "");
    memo.Undo();
    HighlightAll(memo);
    EXPECT_EQ(Stops(1), (std::vector<int32_t>{11, 21}));
    EXPECT_EQ(Expected(), "");
}

TEST_F(Relayout, AWordMovesUpWhenItsContextGoes) {
    LoadText(memo, "x {yyyyyy");
    HighlightAll(memo);
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{2, 9}));
    Select(memo, 2, 3);
    memo.SetSelText({});
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{8}));
    EXPECT_EQ(Expected(), "");
}

TEST_F(Relayout, ALongWordBehindAStyleCodeIsBrokenOnTheCodesLine) {
    // A style code before a word too long for any line: the code has no
    // width, so the word is broken inside from the first line on instead of
    // leaving that line holding nothing but the code.
    LoadText(memo, "\x03xxxxxxxxxxxxxx end");
    HighlightAll(memo);
    EXPECT_EQ(Stops(0).front(), 11);
    EXPECT_EQ(Expected(), "");
    // A blank typed where the word broke leaves a part that fits the first
    // line, blank and all.
    memo.SetSelStart(11);
    memo.SetSelText(" ");
    EXPECT_EQ(Stops(0).front(), 12);
    EXPECT_EQ(Expected(), "");
}
