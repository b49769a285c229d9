// Mapping between text positions and pixels: a position turned into a
// pixel and back is the same position, over tabs, alignments and justified
// lines; line tops with a vertical offset that is not a whole line.

#include "MemoWindow.h"

#include <random>

namespace {

std::string RandomText(std::mt19937& random, int paragraphs) {
    const std::string alphabet = "abcdefgh   \t\tXY";
    std::string text;
    for (int p = 0; p < paragraphs; ++p) {
        if (p > 0)
            text += "\r\n";
        int length = static_cast<int>(random() % 70);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
    }
    return text;
}

// Every position of every display line, through OffsetToX and back.
void ExpectRoundTrip(TCodeMemo& memo, const char* what) {
    for (int32_t index = 0; index < memo.ParagraphCount(); ++index) {
        TParagraph* p = memo.Paragraph(index);
        for (int32_t line = 0; line < p->LineCount(); ++line) {
            const TLineRecord& record = p->Line(line);
            for (int32_t column = 0; column <= record.Stop - record.Start; ++column) {
                int32_t x = memo.OffsetToX(p, index, line, column);
                ASSERT_EQ(memo.XToOffset(p, index, false, x, line), column)
                    << what << ": paragraph " << index << " line " << line << " column " << column << " x " << x;
            }
        }
    }
}

} // namespace

class MemoPixels : public MemoWindow {};

TEST_F(MemoPixels, OffsetToXFollowsTabStopsFromTheLineStart) {
    memo->SetWordWrap(false);
    Load("abc\tx\t\ty");
    TParagraph* p = memo->Paragraph(0);
    const int tab = 8 * kCharWidth;
    const int left = memo->LeftMargin();
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 0), left);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 3), left + 3 * kCharWidth);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 4), left + tab) << "a tab at 3 widths goes to the first stop";
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 5), left + tab + kCharWidth);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 6), left + 2 * tab);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 7), left + 3 * tab) << "a tab exactly at a stop goes to the next one";
}

TEST_F(MemoPixels, HorizontalScrollMovesEveryPosition) {
    memo->SetWordWrap(false);
    Load(std::string(200, 'w'));
    TParagraph* p = memo->Paragraph(0);
    int32_t before = memo->OffsetToX(p, 0, 0, 50);
    memo->SetLeftPixel(120);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 50), before - 120);
    EXPECT_EQ(memo->XToOffset(p, 0, false, before - 120, 0), 50);
}

TEST_F(MemoPixels, RoundTripOverTabsAlignmentsAndJustification) {
    std::mt19937 random(20261206);
    std::string text = RandomText(random, 40);
    const TCodeAlignment alignments[] = {taLeftJustify, taRightJustify, taCenter};
    for (bool wrap : {true, false})
        for (TCodeAlignment alignment : alignments)
            for (bool justified : {false, true}) {
                memo->SetWordWrap(wrap);
                memo->SetAlignment(alignment);
                memo->SetJustified(justified);
                Load(text);
                std::string what = std::string(wrap ? "wrapped" : "unwrapped") + " alignment " +
                                   std::to_string(alignment) + (justified ? " justified" : "");
                ExpectRoundTrip(*memo, what.c_str());
            }
}

TEST_F(MemoPixels, JustifiedLinesReachTheRightMargin) {
    memo->SetJustified(true);
    Load(std::string("aa bb cc dd ee ff gg hh ii jj kk ll mm nn oo pp qq rr ss tt uu vv ww xx yy zz") +
         " aa bb cc dd ee ff gg");
    TParagraph* p = memo->Paragraph(0);
    ASSERT_GT(p->LineCount(), 1);
    const TLineRecord& first = p->Line(0);
    ASSERT_GT(first.StretchSpaces, 0);
    // The line's last character ends at the right margin; the blanks took
    // up the spare pixels.
    int32_t lastCharacter = first.Stop - first.Start;
    while (lastCharacter > 0 && p->Text[static_cast<size_t>(first.Start + lastCharacter - 1)] == ' ')
        --lastCharacter;
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, lastCharacter), memo->ClientWidth() - memo->RightMargin());
    // The paragraph's last line is not stretched.
    const TLineRecord& last = p->Line(p->LineCount() - 1);
    EXPECT_EQ(memo->OffsetToX(p, 0, p->LineCount() - 1, last.Stop - last.Start),
              memo->LeftMargin() + (last.Stop - last.Start) * kCharWidth);
}

TEST_F(MemoPixels, AlignmentPlacesTheLine) {
    memo->SetWordWrap(false);
    Load("abcd");
    TParagraph* p = memo->Paragraph(0);
    const int32_t width = 4 * kCharWidth;
    memo->SetAlignment(taRightJustify);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 0), memo->ClientWidth() - memo->RightMargin() - width);
    memo->SetAlignment(taCenter);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 0),
              (memo->LeftMargin() + memo->ClientWidth() - memo->RightMargin() - width) / 2);
}

TEST_F(MemoPixels, AClickRoundsToTheNearerSideOfACharacter) {
    Load("abcdef");
    TParagraph* p = memo->Paragraph(0);
    const int32_t left = memo->LeftMargin();
    EXPECT_EQ(memo->XToOffset(p, 0, false, left + 2 * kCharWidth + 1, 0), 2) << "left half";
    EXPECT_EQ(memo->XToOffset(p, 0, false, left + 2 * kCharWidth + kCharWidth / 2, 0), 3) << "right half";
    EXPECT_EQ(memo->XToOffset(p, 0, false, -50, 0), 0) << "left of the line";
    EXPECT_EQ(memo->XToOffset(p, 0, false, 5000, 0), 6) << "right of the line";
}

TEST_F(MemoPixels, AClickInsideATabStaysBeforeItWithTheExactColumnFlag) {
    Load("a\tb");
    TParagraph* p = memo->Paragraph(0);
    const int32_t left = memo->LeftMargin();
    const int32_t insideTabRightHalf = left + 7 * kCharWidth;
    EXPECT_EQ(memo->XToOffset(p, 0, false, insideTabRightHalf, 0), 2);
    EXPECT_EQ(memo->XToOffset(p, 0, true, insideTabRightHalf, 0), 1);
}

TEST_F(MemoPixels, LineTopsWithAFractionalVerticalOffset) {
    memo->SetLineHeight(16);
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line\r\n";
    Load(text);
    memo->SetTopPixel(40);
    EXPECT_EQ(memo->TopLine(), 2);
    EXPECT_EQ(memo->LineToY(0), -8);
    EXPECT_EQ(memo->LineToY(1), 8);
    EXPECT_EQ(memo->YToLine(0), 0);
    EXPECT_EQ(memo->YToLine(7), 0);
    EXPECT_EQ(memo->YToLine(8), 1);
    EXPECT_EQ(memo->YToLine(10), 1);
    for (int y = -8; y < 100; ++y) {
        int line = memo->YToLine(y);
        EXPECT_LE(memo->LineToY(line), y);
        EXPECT_GT(memo->LineToY(line) + 16, y);
    }
}

TEST_F(MemoPixels, StyleCodesHaveNoWidth) {
    Load(std::string("ab\x02" "cd\x02" "e"));
    TParagraph* p = memo->Paragraph(0);
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 2), memo->OffsetToX(p, 0, 0, 3));
    EXPECT_EQ(memo->OffsetToX(p, 0, 0, 7), memo->LeftMargin() + 5 * kCharWidth);
}
