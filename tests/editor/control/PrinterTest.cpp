// The memo printer component: its settings, the notices that drop the
// print copy, and the pagination rule as a function.

#include "editor/CodeMemoPrinter.h"
#include "tests/editor/MemoTestSupport.h"

#include <gtest/gtest.h>

namespace {

TPrinterMeasures Printer(int fontLineHeight = 20, int pageHeight = 1000, int pixelsPerInch = 100) {
    TPrinterMeasures printer;
    printer.FontLineHeight = fontLineHeight;
    printer.PageHeight = pageHeight;
    printer.PixelsPerInch = pixelsPerInch;
    return printer;
}

// A print layout of `lines` lines (empty paragraphs, one line each).
std::unique_ptr<TPrintLayout> CopyWithLines(int lines) {
    TCodeDocument document;
    std::string text;
    for (int i = 1; i < lines; ++i)
        text += "\r\n";
    LoadText(document, text);
    return std::make_unique<TPrintLayout>(document, nullptr, 0);
}

} // namespace

TEST(Pagination, SpacingIsAMultipleOfTheFontLineOrInches) {
    EXPECT_EQ(Paginate(-1.5f, 0, 0, Printer(20), 1, {}).LineHeight, 30);
    EXPECT_EQ(Paginate(0, 0, 0, Printer(20), 1, {}).LineHeight, 1) << "0 becomes 1";
    EXPECT_EQ(Paginate(0.25f, 0, 0, Printer(20, 1000, 100), 1, {}).LineHeight, 25);
    // Halves go to the even neighbour.
    EXPECT_EQ(Paginate(-1.5f, 0, 0, Printer(25), 1, {}).LineHeight, 38);  // 37.5
    EXPECT_EQ(Paginate(-1.5f, 0, 0, Printer(23), 1, {}).LineHeight, 34);  // 34.5
    EXPECT_EQ(Paginate(0.125f, 0, 0, Printer(20, 1000, 20), 1, {}).LineHeight, 2);  // 2.5
}

TEST(Pagination, LinesPerPageAndFillersForForcedBreaks) {
    // 1000 pixels less 1.5 inches of margins at 100 per inch: 850, 28 lines of 30.
    TPagination pages = Paginate(-1.5f, 0.75f, 0.75f, Printer(20), 100, {10, 50});
    EXPECT_EQ(pages.LinesPerPage, 28);
    ASSERT_EQ(pages.Fillers.size(), 2u);
    EXPECT_EQ(pages.Fillers[0], 18);  // line 10 goes to line 28
    EXPECT_EQ(pages.Fillers[1], 16);  // line 50 (68 with the fillers) goes to 84
    EXPECT_EQ(pages.TotalFillers, 34);
    EXPECT_EQ(pages.PageCount, (100 + 34) / 28 + 1);
    EXPECT_EQ(Paginate(-1.5f, 5, 5, Printer(20), 10, {}).LinesPerPage, 1) << "at least one line a page";
}

TEST(Pagination, EveryForcedBreakStartsAPage) {
    // Against the rule's meaning: after its fillers, each break lands on a
    // page's first line.
    for (int breaksAt = 0; breaksAt < 60; breaksAt += 7) {
        std::vector<int32_t> breaks{breaksAt, breaksAt + 3, breaksAt + 40};
        TPagination pages = Paginate(-1.0f, 0.5f, 0.5f, Printer(20, 500, 100), 200, breaks);
        int32_t total = 0;
        for (size_t i = 0; i < breaks.size(); ++i) {
            total += pages.Fillers[i];
            EXPECT_EQ((breaks[i] + total) % pages.LinesPerPage, 0) << breaksAt << " break " << i;
            EXPECT_GE(pages.Fillers[i], 1);
            EXPECT_LE(pages.Fillers[i], pages.LinesPerPage);
        }
    }
}

TEST(MemoPrinter, DefaultsAndSettings) {
    TCodeMemoPrinter printer;
    EXPECT_FLOAT_EQ(printer.MarginLeft(), 0.75f);
    EXPECT_FLOAT_EQ(printer.MarginRight(), 0.5f);
    EXPECT_FLOAT_EQ(printer.MarginTop(), 0.75f);
    EXPECT_FLOAT_EQ(printer.MarginBottom(), 0.75f);
    EXPECT_FLOAT_EQ(printer.LineSpacing(), -1.5f);
    EXPECT_FLOAT_EQ(printer.HeaderYPos, 0.4f);
    EXPECT_FLOAT_EQ(printer.FooterYPos, 0.4f);
    EXPECT_EQ(printer.HeaderAlign, taLeftJustify);
    EXPECT_FALSE(printer.PlainText());
    TFont font;
    font.SetName("Courier New");
    font.SetSize(14);
    printer.SetHeaderFont(font);
    EXPECT_EQ(printer.HeaderFont().Name(), "Courier New");
    EXPECT_EQ(printer.FooterFont().Name(), TFont().Name()) << "the footer font is its own";
}

TEST(MemoPrinter, MarginsAndSpacingPaginateTheCopyAgain) {
    TCodeMemo memo;
    TCodeMemoPrinter printer;
    printer.SetMemoToPrint(&memo);
    printer.SetPrintCopy(CopyWithLines(100), Printer(20), {});
    ASSERT_TRUE(printer.Formatted());
    EXPECT_EQ(printer.LinesPerPage(), 28);
    printer.SetMarginTop(0.75f);
    EXPECT_TRUE(printer.Formatted()) << "the same value changes nothing";
    EXPECT_EQ(printer.LinesPerPage(), 28);
    printer.SetMarginTop(1.5f); // 775 pixels: 25 lines of 30
    EXPECT_EQ(printer.LinesPerPage(), 25);
    printer.SetLineSpacing(-1.0f); // 38 lines of 20
    EXPECT_EQ(printer.LinesPerPage(), 38);
    EXPECT_EQ(printer.PageCount(), 100 / 38 + 1);
    printer.SetMarginLeft(1.0f);
    EXPECT_FALSE(printer.Formatted()) << "the copy must be formatted again for the width";
}

TEST(MemoPrinter, ATextChangeOrPlainTextDropsTheCopy) {
    TCodeMemo memo;
    TCodeMemoPrinter printer;
    printer.SetMemoToPrint(&memo);
    printer.SetPrintCopy(CopyWithLines(5), Printer(), {});
    ASSERT_NE(printer.PrintCopy(), nullptr);
    memo.SetSelText("x");
    EXPECT_EQ(printer.PrintCopy(), nullptr);
    EXPECT_EQ(memo.AttachedCount(), 0) << "no longer listening";
    printer.SetPrintCopy(CopyWithLines(5), Printer(), {});
    printer.SetPlainText(true);
    EXPECT_EQ(printer.PrintCopy(), nullptr);
    printer.SetPrintCopy(CopyWithLines(5), Printer(), {});
    TCodeMemo other;
    printer.SetMemoToPrint(&other);
    EXPECT_EQ(printer.PrintCopy(), nullptr);
}

TEST(MemoPrinter, AFreedMemoLeavesNoMemoToPrint) {
    TCodeMemoPrinter printer;
    {
        TCodeMemo memo;
        printer.SetMemoToPrint(&memo);
        printer.SetPrintCopy(CopyWithLines(5), Printer(), {});
    }
    EXPECT_EQ(printer.MemoToPrint(), nullptr);
    EXPECT_EQ(printer.PrintCopy(), nullptr);
}

// A copy made stale by a new width still has the printer listening to its
// memo: dropping it, or turning to another memo, stops that, so no memo
// keeps a printer that may be freed before it.
TEST(MemoPrinter, AStaleCopyStillStopsListeningWhenDropped) {
    TCodeMemo memo;
    TCodeMemo other;
    {
        TCodeMemoPrinter printer;
        printer.SetMemoToPrint(&memo);
        printer.SetPrintCopy(CopyWithLines(5), Printer(), {});
        printer.SetMarginLeft(1.0f);
        ASSERT_FALSE(printer.Formatted());
        printer.SetMemoToPrint(&other);
        EXPECT_EQ(memo.AttachedCount(), 0) << "no longer listening to the memo it left";

        printer.SetPrintCopy(CopyWithLines(5), Printer(), {});
        printer.SetMarginRight(1.0f);
        other.SetSelText("x");
        EXPECT_EQ(printer.PrintCopy(), nullptr);
        EXPECT_EQ(other.AttachedCount(), 0) << "a text change dropped the stale copy";
    }
    memo.SetSelText("still whole");
    other.SetSelText("still whole");
    EXPECT_EQ(memo.Text(), "still whole");
}
