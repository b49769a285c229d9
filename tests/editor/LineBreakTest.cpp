// Line breaking with the platform's fake fixed-pitch measurer: every
// character 10 pixels wide, margins 8 + 8, so a client width of 16 + 10 * n
// leaves room for n characters.  Tests of styles use a measure whose bold
// face is wider.

#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "DocumentTestSupport.h"


#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct TLine {
    int32_t start, stop, textWidth, fullWidth;
    bool operator==(const TLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TLine& line) {
    return out << "[" << line.start << "," << line.stop << " w" << line.textWidth << "/" << line.fullWidth << "]";
}

std::vector<TLine> LinesOf(const TCodeDocument& document, int32_t paragraph) {
    std::vector<TLine> lines;
    const TParagraph& p = *document.Paragraph(paragraph);
    for (int32_t i = 0; i < p.LineCount(); ++i)
        lines.push_back({p.Line(i).Start, p.Line(i).Stop, p.Line(i).TextWidth, p.Line(i).FullWidth});
    return lines;
}

class LineBreak : public ::testing::Test {
protected:
    void Format(std::string_view text, int32_t characters) {
        document.Layout().SetUpdateMode(umImmediate);
        if (boldWider)
            document.Layout().SetMeasure(&measure, 16 + 10 * characters);
        else
            document.Layout().SetMeasure(&fake, 16 + 10 * characters);
        LoadText(document, text);
        document.CheckConsistency();
    }
    TFixedMeasure fake{10};
    TFixedMeasure measure{10, 5};
    bool boldWider = false;
    TCodeDocument document;
    TTextSelection selection{document};
};

}  // namespace

TEST_F(LineBreak, EmptyParagraphHasOneEmptyLine) {
    Format("", 5);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 0, 0, 0}}));
    EXPECT_EQ(document.LineCount(), 1);
}

TEST_F(LineBreak, WrapsAtBlanksAndTrailingBlanksDoNotCount) {
    Format("aaa bbb ccc", 7);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 8, 70, 80}, {8, 11, 30, 30}}));
    EXPECT_EQ(document.Paragraph(0)->Line(0).StretchSpaces, 1);
    EXPECT_EQ(document.Paragraph(0)->Line(1).StretchSpaces, 0);
    EXPECT_EQ(document.LineCount(), 2);
    Format("aaaaaaa      ", 7);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 13, 70, 130}}));
}

TEST_F(LineBreak, LongWordIsBrokenInside) {
    Format("abcdefghij", 3);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 3, 30, 30}, {3, 6, 30, 30}, {6, 9, 30, 30}, {9, 10, 10, 10}}));
    // A line narrower than one character still takes a character per line.
    Format("abc", 0);
    EXPECT_EQ(document.LineCount(), 3);
    // A word that does not fit behind others goes to the next line whole first.
    Format("ab cdefghij", 4);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 3, 20, 30}, {3, 7, 40, 40}, {7, 11, 40, 40}}));
}

// A word many lines long is measured line by line, not again to its end
// for every line it fills: with a style code before every character, each
// measured character asks for a font, and the look-ups grow with the
// word's length instead of with its square.
TEST_F(LineBreak, AWordOfManyLinesIsMeasuredOnce) {
    class TCountingMeasure : public TFixedMeasure {
    public:
        TCountingMeasure() : TFixedMeasure(10, 5) {}
        const int32_t* AdvanceTable(uint8_t style) const override {
            ++Uses;
            return TFixedMeasure::AdvanceTable(style);
        }
        mutable int64_t Uses = 0;
    };
    TCountingMeasure counting;
    std::string word;
    for (int i = 0; i < 4000; ++i)
        word += "\x02" "a";
    document.Layout().SetUpdateMode(umImmediate);
    document.Layout().SetMeasure(&counting, 16 + 10 * 20);
    counting.Uses = 0;
    LoadText(document, word);
    document.CheckConsistency();
    // Bold and plain characters in turn, 15 + 10 pixels a pair: the word's
    // lines hold 8 pairs, 200 pixels.
    ASSERT_EQ(document.LineCount(), 250);
    const TParagraph& p = *document.Paragraph(0);
    for (int32_t line = 0; line + 1 < p.LineCount(); ++line)
        ASSERT_LE(p.Line(line).TextWidth, 200) << line;
    // The code in front of the word stays on the word's first line, which
    // is not left holding nothing but that code.
    EXPECT_EQ(LinesOf(document, 0)[0], (TLine{0, 32, 200, 200}));
    EXPECT_EQ(LinesOf(document, 0)[1], (TLine{32, 64, 200, 200}));
    // About one look-up a byte; measuring to the word's end for every line
    // took some sixty.
    EXPECT_LT(counting.Uses, 4 * static_cast<int64_t>(word.size()));
}

TEST_F(LineBreak, TabsMoveToTheNextStop) {
    document.Layout().SetWordWrap(false);
    Format("\tx", 100);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 2, 90, 90}}));
    Format("12345678\tz", 100);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 10, 170, 170}}));
    Format("1\t", 100);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 2, 10, 80}}));
    // A tab stop of 0 counts as 1 character.
    document.Layout().SetTabStops(0);
    Format("\t\t", 100);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 2, 0, 20}}));
}

TEST_F(LineBreak, WithoutWordWrapAParagraphStaysOneLine) {
    document.Layout().SetWordWrap(false);
    Format(std::string(500, 'w') + " and more words", 5);
    EXPECT_EQ(document.LineCount(), 1);
    EXPECT_EQ(document.Layout().WidestLineWidth(), 10 * 515);
    document.Layout().SetAlignment(taCenter);
    EXPECT_GT(document.LineCount(), 1);
}

TEST_F(LineBreak, StyleCodesHaveNoWidthAndSelectTheirFont) {
    boldWider = true;
    Format("a\x02" "b\x02" "c", 100);
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 5, 35, 35}}));
    document.SetStaticFormat(false);
    EXPECT_EQ(document.Paragraph(0)->Line(0).TextWidth, 50);
}

TEST_F(LineBreak, StyleCarriesIntoFollowingParagraphs) {
    boldWider = true;
    Format("x\r\nyy\r\nzzz", 100);
    document.Fields().CodeCleanUp = false;
    EXPECT_EQ(document.Paragraph(2)->Line(0).TextWidth, 30);
    selection.SetSelStart(1);
    selection.ToggleStyle(kCodeBold);  // two codes: no net change
    EXPECT_EQ(document.Text(), "x\x02\x02\r\nyy\r\nzzz");
    EXPECT_EQ(document.Paragraph(2)->Line(0).TextWidth, 30);
    selection.SetSelStart(1);
    selection.SetSelLength(1);
    selection.SetSelText("");  // one code left: bold from here on
    EXPECT_EQ(document.Paragraph(1)->Line(0).Style & kStyleBold, kStyleBold);
    EXPECT_EQ(document.Paragraph(2)->Line(0).TextWidth, 45);
    document.CheckConsistency();
}

TEST_F(LineBreak, NavigatorsFollowLinesThatAStyleCarriedOnRewrapped) {
    boldWider = true;
    // Five characters a line: "yy yy " and "yy yy" in the normal face, one
    // word a line in bold.
    Format("x\x02\x02\r\nyy yy yy yy", 5);
    document.Fields().CodeCleanUp = false;
    ASSERT_EQ(document.Paragraph(1)->LineCount(), 2);
    TCodeNavigator bookmark(&document);
    bookmark.SetPos(document.ParagraphStart(1) + 9);
    ASSERT_EQ(bookmark.LineNumber(), 2);
    Select(selection, 1, 2);
    selection.SetSelText("");  // the paragraph before now ends bold
    ASSERT_EQ(document.Paragraph(1)->LineCount(), 4);
    TCodeNavigator fresh(&document);
    fresh.SetPos(bookmark.Pos());
    EXPECT_EQ(bookmark.LineNumber(), fresh.LineNumber());
    EXPECT_EQ(bookmark.LineNumber(), 4);
    document.CheckConsistency();
}

TEST_F(LineBreak, WordMovesBackUpAfterADeletion) {
    Format("aaa bbb ccc ddd", 7);
    ASSERT_EQ(document.LineCount(), 2);
    Select(selection, 4, 8);
    selection.SetSelText("");
    EXPECT_EQ(document.Text(), "aaa ccc ddd");
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 8, 70, 80}, {8, 11, 30, 30}}));
    Select(selection, 3, 7);
    selection.SetSelText("");
    EXPECT_EQ(LinesOf(document, 0), (std::vector<TLine>{{0, 7, 70, 70}}));
    EXPECT_EQ(document.LineCount(), 1);
    document.CheckConsistency();
}

TEST_F(LineBreak, TypingInALongParagraphTouchesOnlyNearbyLines) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "word ";
    Format(text, 20);
    std::vector<TLine> before = LinesOf(document, 0);
    selection.SetSelStart(5);
    selection.SetSelText("x");
    std::vector<TLine> after = LinesOf(document, 0);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_EQ(after[0].stop, 21);
    for (size_t i = 1; i < after.size(); ++i) {
        EXPECT_EQ(after[i].start, before[i].start + 1);
        EXPECT_EQ(after[i].stop, before[i].stop + 1);
        EXPECT_EQ(after[i].textWidth, before[i].textWidth);
    }
}

TEST_F(LineBreak, LinesFollowClientWidthAndFormatOnCanvas) {
    Format("aaa bbb ccc ddd eee", 7);
    int32_t narrow = document.LineCount();
    document.Layout().SetMeasure(&fake, 16 + 10 * 100);
    EXPECT_EQ(document.LineCount(), 1);
    TFixedMeasure wide(20);
    document.Layout().FormatFor(&wide, 16 + 20 * 7);
    EXPECT_EQ(document.LineCount(), narrow);
    EXPECT_EQ(document.Paragraph(0)->Line(0).TextWidth, 140);
    document.Layout().FormatFor(static_cast<const TCodeMeasure*>(nullptr), 0);
    EXPECT_EQ(document.LineCount(), 1);
    document.CheckConsistency();
}

TEST_F(LineBreak, PendingFormattingWaitsForReaders) {
    document.Layout().SetMeasure(&fake, 16 + 10 * 3);
    LoadText(document, "aaa bbb ccc");
    EXPECT_EQ(document.Layout().UpdateMode(), umBackground);
    EXPECT_EQ(document.LineCount(), 1);
    document.CheckConsistency();
    selection.SetSelLine(2);
    EXPECT_EQ(document.LineCount(), 3);
    EXPECT_EQ(selection.SelStart(), 8);
}


namespace {

// The text of every display line of a document, a paragraph's last one
// marked.
std::vector<std::string> DisplayLines(const TCodeDocument& document) {
    std::vector<std::string> lines;
    for (int32_t p = 0; p < document.ParagraphCount(); ++p) {
        const std::string text = document.ParagraphText(p);
        for (const TLine& line : LinesOf(document, p))
            lines.push_back(text.substr(static_cast<size_t>(line.start), static_cast<size_t>(line.stop - line.start)));
        lines.back() += "|";
    }
    return lines;
}

// The changed lines the updates report.
struct TReportedLines : TDocumentWatcher {
    explicit TReportedLines(TCodeDocument& document) : Document(document) { Document.AddWatcher(this); }
    ~TReportedLines() override { Document.RemoveWatcher(this); }
    void UpdateEnded(TCodeDocument&, const TUpdateSummary& summary) override {
        if (summary.Kind == TUpdateSummary::kEdit)
            Spans.emplace_back(summary.FirstLine, summary.LastLine);
    }
    TCodeDocument& Document;
    std::vector<std::pair<int32_t, int32_t>> Spans;
};

}  // namespace

// Keys in a wrapped text, the first of them right after the load: each
// update reports the lines that changed and no line far before them (a
// word may move up into the line before the edit, which may lie at the end
// of the one before), however many display lines the paragraphs before the
// edit wrapped into.
TEST_F(LineBreak, EveryKeyReportsTheLinesItChangedTheFirstAfterALoadToo) {
    std::mt19937 random(31);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int paragraphs = 5 + static_cast<int>(random() % 60);
        for (int p = 0; p < paragraphs; ++p) {
            if (p > 0)
                text += "\r\n";
            for (int words = static_cast<int>(random() % 12); words > 0; --words)
                text += std::string(1 + random() % 7, 'w') + " ";
        }
        Format(text, 12 + static_cast<int>(random() % 20));
        document.Layout().FormatPending();
        TReportedLines reported(document);
        for (int key = 0; key < 3; ++key) {
            const std::vector<std::string> before = DisplayLines(document);
            selection.SetSelStart(static_cast<int32_t>(random() % static_cast<uint32_t>(document.TextLength() + 1)));
            selection.SetSelText(random() % 4 == 0 ? "\r\n" : "x");
            document.Layout().FormatPending();
            const std::vector<std::string> after = DisplayLines(document);
            size_t first = 0;
            while (first < before.size() && first < after.size() && before[first] == after[first])
                ++first;
            ASSERT_FALSE(reported.Spans.empty());
            const auto [from, to] = reported.Spans.back();
            EXPECT_GE(from + 2, static_cast<int32_t>(first)) << "round " << round << " key " << key;
            EXPECT_LE(from, static_cast<int32_t>(first)) << "round " << round << " key " << key;
            EXPECT_GE(to, from) << "round " << round << " key " << key;
            reported.Spans.clear();
        }
    }
}
