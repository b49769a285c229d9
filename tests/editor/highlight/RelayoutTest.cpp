// Display lines follow highlighting: a context that changes the font of
// text anywhere in a paragraph re-wraps the whole paragraph, exactly as a
// full re-format would.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "HighlightTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Relayout : public ::testing::Test {
protected:
    void SetUp() override { Prepare(document); }
    void Prepare(TCodeDocument& m) {
        m.Layout().SetUpdateMode(umImmediate);
        // Ten normal characters or eight bold ones per line.
        m.Layout().SetMeasure(&measure, 100 + 16);
        m.Highlighting().StartStopKeys().AddStartStopKey("{", "}", false, 0, -1, 0, 1, kStyleBold, 0);
    }
    std::string Expected() {
        return DifferenceFromFresh(document, [this](TCodeDocument& oracle) { Prepare(oracle); }, true);
    }
    std::vector<int32_t> Stops(int32_t paragraph) {
        std::vector<int32_t> stops;
        for (int32_t line = 0; line < document.Paragraph(paragraph)->LineCount(); ++line)
            stops.push_back(document.Paragraph(paragraph)->Line(line).Stop);
        return stops;
    }

    TFixedMeasure measure{10, 2};
    TCodeDocument document;
    TTextSelection selection{document};
};

}  // namespace

TEST_F(Relayout, TypingInALaterLineOfAWrappedParagraphWrapsItAgain) {
    LoadText(document, "aaaa bbb cccc dd eeee ff");
    HighlightAll(document);
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{9, 17, 24}));
    selection.SetSelStart(15);
    selection.SetSelText("xxxx");
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{9, 14, 21, 28}));
    EXPECT_EQ(Expected(), "");
}

TEST_F(Relayout, AContextOpenedInAnEarlierParagraphRewrapsEveryLineOfTheNextOnes) {
    LoadText(document, "start\r\naaaaa bbbb ccccc dddd\r\nend } x");
    HighlightAll(document);
    EXPECT_EQ(Stops(1), (std::vector<int32_t>{11, 21}));
    selection.SetSelStart(0);
    selection.SetSelText("{");
    HighlightAll(document);
    // Bold: eight characters a line.
    EXPECT_EQ(Stops(1), (std::vector<int32_t>{6, 11, 17, 21}));
    EXPECT_EQ(Expected(), "");
    selection.Undo();
    HighlightAll(document);
    EXPECT_EQ(Stops(1), (std::vector<int32_t>{11, 21}));
    EXPECT_EQ(Expected(), "");
}

TEST_F(Relayout, AWordMovesUpWhenItsContextGoes) {
    LoadText(document, "x {yyyyyy");
    HighlightAll(document);
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{2, 9}));
    Select(selection, 2, 3);
    selection.SetSelText({});
    EXPECT_EQ(Stops(0), (std::vector<int32_t>{8}));
    EXPECT_EQ(Expected(), "");
}

TEST_F(Relayout, ALongWordBehindAStyleCodeIsBrokenOnTheCodesLine) {
    // A style code before a word too long for any line: the code has no
    // width, so the word is broken inside from the first line on instead of
    // leaving that line holding nothing but the code.
    LoadText(document, "\x03xxxxxxxxxxxxxx end");
    HighlightAll(document);
    EXPECT_EQ(Stops(0).front(), 11);
    EXPECT_EQ(Expected(), "");
    // A blank typed where the word broke leaves a part that fits the first
    // line, blank and all.
    selection.SetSelStart(11);
    selection.SetSelText(" ");
    EXPECT_EQ(Stops(0).front(), 12);
    EXPECT_EQ(Expected(), "");
}
