#include "editor/model/CodeDocument.h"
#include "editor/model/TextSelection.h"
#include "editor/model/TextStore.h"
#include "DocumentTestSupport.h"

#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

TEST(TextStore, EmptyMemoHasOneEmptyParagraphAndLine) {
    TCodeDocument document;
    TTextSelection selection(document);
    EXPECT_EQ(document.ParagraphCount(), 1);
    EXPECT_EQ(document.TextLength(), 0);
    EXPECT_EQ(document.LineCount(), 1);
    EXPECT_EQ(document.Paragraph(0)->Length(), 0);
    EXPECT_EQ(document.Paragraph(0)->TextColor, -1);
    EXPECT_EQ(document.Paragraph(0)->BackgroundColor, -1);
    EXPECT_NO_THROW(document.CheckConsistency());
}

TEST(TextStore, ParagraphStartsCountTwoForEachBreak) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "a\r\nb");
    EXPECT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(document.ParagraphStart(1), 3);
    EXPECT_EQ(document.TextLength(), 4);
    EXPECT_EQ(document.CharAt(1), '\r');
    EXPECT_EQ(document.CharAt(2), '\n');
    EXPECT_EQ(document.GetTextRange(0, 4), "a\r\nb");
    EXPECT_EQ(document.GetTextRange(1, 3), "\r\n");
    EXPECT_EQ(document.GetTextRange(2, 4), "\nb");
    EXPECT_EQ(document.GetTextRange(3, 1), "");
    EXPECT_EQ(document.GetTextRange(-5, 50), "a\r\nb");
}

TEST(TextStore, TrailingBreakGivesEmptyLastParagraph) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "ab\r\n");
    ASSERT_EQ(document.ParagraphCount(), 2);
    EXPECT_EQ(document.ParagraphText(1), "");
    EXPECT_EQ(document.TextLength(), 4);
}

TEST(TextStore, IndexErrorsRaiseListError) {
    TCodeDocument document;
    TTextSelection selection(document);
    LoadText(document, "x\r\ny");
    EXPECT_THROW(document.Paragraph(2), EListError);
    EXPECT_THROW(document.Paragraph(-1), EListError);
    try {
        document.Paragraph(5);
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), "List index out of bounds");
    }
    TLinesList lines(document.Paragraph(0));
    EXPECT_EQ(lines.LineCount(), 1);
    EXPECT_THROW(lines.GetLine(1), EListError);
    EXPECT_THROW(lines.GetLine(-1), EListError);
    EXPECT_THROW(lines.SetLineCount(59652325), EOutOfMemory);
    EXPECT_EQ(lines.LineCount(), 1);
}

TEST(TextStore, LinesListAddsAndResizes) {
    TParagraph paragraph;
    TLinesList lines(&paragraph);
    TLineRecord record;
    record.Start = 3;
    EXPECT_EQ(lines.Add(record), 1);
    EXPECT_EQ(lines.LineCount(), 2);
    EXPECT_EQ(lines.Get(1).Start, 3);
    lines.SetLineCount(5);
    EXPECT_EQ(lines.LineCount(), 5);
    lines.SetLineCount(0);
    EXPECT_EQ(lines.LineCount(), 1);
}

// The lazily shifted starts and first lines must read exactly as eagerly
// maintained ones would, whatever the order of shifts, insertions and removals.
TEST(TextStore, LazyShiftsMatchEagerOracle) {
    std::mt19937 random(1234);
    // Small blocks, so that splits, removals and block shifts all happen.
    TParagraphsList list(4);
    std::vector<int32_t> starts;
    std::vector<int32_t> lines;
    for (int i = 0; i < 50; ++i) {
        list.Add(std::make_unique<TParagraph>());
        list.SetStart(i, i * 10);
        list.SetFirstLine(i, i);
        starts.push_back(i * 10);
        lines.push_back(i);
    }
    for (int step = 0; step < 5000; ++step) {
        int op = static_cast<int>(random() % 4);
        int32_t count = list.Count();
        if (op <= 1 && count > 0) {
            auto at = static_cast<int32_t>(random() % static_cast<unsigned>(count + 1));
            int32_t ds = static_cast<int32_t>(random() % 21) - 10;
            int32_t dl = static_cast<int32_t>(random() % 5) - 2;
            list.ShiftFrom(at, ds, dl);
            for (int32_t i = at; i < count; ++i) {
                starts[static_cast<size_t>(i)] += ds;
                lines[static_cast<size_t>(i)] += dl;
            }
        } else if (op == 2) {
            auto at = static_cast<int32_t>(random() % static_cast<unsigned>(count + 1));
            auto m = static_cast<int32_t>(random() % (random() % 8 == 0 ? 25 : 3) + 1);
            std::vector<std::unique_ptr<TParagraph>> fresh;
            for (int32_t i = 0; i < m; ++i)
                fresh.push_back(std::make_unique<TParagraph>());
            list.Insert(at, fresh);
            starts.insert(starts.begin() + at, static_cast<size_t>(m), 0);
            lines.insert(lines.begin() + at, static_cast<size_t>(m), 0);
            for (int32_t i = at; i < at + m; ++i) {
                auto value = static_cast<int32_t>(random() % 1000);
                list.SetStart(i, value);
                list.SetFirstLine(i, value / 3);
                starts[static_cast<size_t>(i)] = value;
                lines[static_cast<size_t>(i)] = value / 3;
            }
        } else if (count > 1) {
            auto at = static_cast<int32_t>(random() % static_cast<unsigned>(count));
            auto m = std::min<int32_t>(static_cast<int32_t>(random() % (random() % 8 == 0 ? 30 : 3) + 1), count - at);
            list.Erase(at, m);
            starts.erase(starts.begin() + at, starts.begin() + at + m);
            lines.erase(lines.begin() + at, lines.begin() + at + m);
        }
        ASSERT_EQ(list.Count(), static_cast<int32_t>(starts.size()));
        if (step % 7 == 0 && list.Count() < 200) {
            list.Add(std::make_unique<TParagraph>());
            list.SetStart(list.Count() - 1, 5);
            list.SetFirstLine(list.Count() - 1, 6);
            starts.push_back(5);
            lines.push_back(6);
        }
        for (int32_t i = 0; i < list.Count(); ++i) {
            ASSERT_EQ(list.Start(i), starts[static_cast<size_t>(i)]) << "step " << step << " index " << i;
            ASSERT_EQ(list.FirstLine(i), lines[static_cast<size_t>(i)]) << "step " << step << " index " << i;
        }
    }
}

TEST(TextStore, OffsetAndLineLookupAreBinarySearches) {
    TCodeDocument document;
    TTextSelection selection(document);
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += std::string(static_cast<size_t>(i % 7), 'x') + "\r\n";
    LoadText(document, text);
    for (int32_t index = 0; index < document.ParagraphCount(); ++index) {
        int32_t start = document.ParagraphStart(index);
        EXPECT_EQ(document.ParagraphList().IndexOfOffset(start), index);
        EXPECT_EQ(document.ParagraphList().IndexOfOffset(start + document.Paragraph(index)->Length() + 1), index);
        EXPECT_EQ(document.ParagraphList().IndexOfLine(document.ParagraphFirstLine(index)), index);
    }
    EXPECT_EQ(document.ParagraphList().IndexOfOffset(-7), 0);
    EXPECT_EQ(document.ParagraphList().IndexOfOffset(document.TextLength() + 100), document.ParagraphCount() - 1);
}

// Both look-ups search the same way over their own values: the last
// paragraph at or before the value, through small blocks whose bases are
// shifted lazily.  A linear scan is the oracle.
TEST(TextStore, OffsetAndLineLookupMatchALinearScanAcrossShiftedBlocks) {
    std::mt19937 random(77);
    TParagraphsList list(4);
    std::vector<int32_t> starts;
    std::vector<int32_t> lines;
    int32_t start = 3;
    int32_t line = 1;
    for (int32_t i = 0; i < 120; ++i) {
        list.Add(std::make_unique<TParagraph>());
        list.SetStart(i, start);
        list.SetFirstLine(i, line);
        starts.push_back(start);
        lines.push_back(line);
        start += 2 + static_cast<int32_t>(random() % 40);
        line += 1 + static_cast<int32_t>(random() % 3);
    }
    auto oracle = [](const std::vector<int32_t>& values, int32_t value) {
        auto after = std::upper_bound(values.begin(), values.end(), value);
        return std::max<int32_t>(static_cast<int32_t>(after - values.begin()) - 1, 0);
    };
    for (int step = 0; step < 300; ++step) {
        // Growing shifts keep both sequences rising, as edits do.
        auto at = static_cast<int32_t>(random() % static_cast<unsigned>(list.Count()));
        auto ds = static_cast<int32_t>(random() % 30);
        auto dl = static_cast<int32_t>(random() % 4);
        list.ShiftFrom(at, ds, dl);
        for (auto i = static_cast<size_t>(at); i < starts.size(); ++i) {
            starts[i] += ds;
            lines[i] += dl;
        }
        for (int probe = 0; probe < 20; ++probe) {
            auto offset = static_cast<int32_t>(random() % static_cast<unsigned>(starts.back() + 50)) - 10;
            auto displayLine = static_cast<int32_t>(random() % static_cast<unsigned>(lines.back() + 10)) - 3;
            ASSERT_EQ(list.IndexOfOffset(offset), oracle(starts, offset)) << "step " << step << " offset " << offset;
            ASSERT_EQ(list.IndexOfLine(displayLine), oracle(lines, displayLine))
                << "step " << step << " line " << displayLine;
        }
    }
}

TEST(TextStore, ReplacingDisplayLinesMatchesRebuildingTheList) {
    std::mt19937 random(4321);
    auto lineWithStart = [](int32_t start) {
        TLineRecord line;
        line.Start = start;
        return line;
    };
    for (int round = 0; round < 400; ++round) {
        TParagraph paragraph;
        std::vector<TLineRecord> oracle;
        const int count = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i)
            oracle.push_back(lineWithStart(i));
        paragraph.SetLineCount(count);
        for (int i = 0; i < count; ++i)
            paragraph.Line(i) = oracle[static_cast<size_t>(i)];
        const auto first = static_cast<int32_t>(random() % static_cast<unsigned>(count));
        const auto last = first + static_cast<int32_t>(random() % static_cast<unsigned>(count - first));
        std::vector<TLineRecord> replacement;
        const int newCount = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < newCount; ++i)
            replacement.push_back(lineWithStart(100 + round * 10 + i));

        paragraph.ReplaceLines(first, last, replacement);
        oracle.erase(oracle.begin() + first, oracle.begin() + last + 1);
        oracle.insert(oracle.begin() + first, replacement.begin(), replacement.end());
        ASSERT_EQ(paragraph.LineCount(), static_cast<int32_t>(oracle.size())) << "round " << round;
        for (int32_t i = 0; i < paragraph.LineCount(); ++i)
            ASSERT_EQ(paragraph.Line(i).Start, oracle[static_cast<size_t>(i)].Start) << "round " << round;
    }
}

TEST(TextStore, SameContextComparesKeyStacksOnly) {
    TContextRecord a;
    TContextRecord b;
    a.Flags = b.Flags = 0xC1;
    a.Depth = b.Depth = 1;
    a.KeyStack[0] = b.KeyStack[0] = 0x8001;
    a.KeyStack[1] = b.KeyStack[1] = 0x8002;
    a.Foreground = 5;
    a.Offset = 9;
    a.KeyStack[5] = 77;  // above the depth: not compared
    EXPECT_TRUE(SameContext(a, b));
    b.KeyStack[1] = 0x8003;
    EXPECT_FALSE(SameContext(a, b));
    b.KeyStack[1] = 0x8002;
    b.Depth = 0;
    EXPECT_FALSE(SameContext(a, b));
    TContextRecord plain1;
    TContextRecord plain2;
    plain2.Depth = 4;
    EXPECT_TRUE(SameContext(plain1, plain2));
}

TEST(Consistency, EachBrokenInvariantHasItsNumber) {
    auto expectError = [](int number, auto&& corrupt) {
        TCodeDocument document;
        TTextSelection selection(document);
        LoadText(document, "abc\r\ndefgh\r\nij");
        document.CheckConsistency();
        corrupt(document);
        try {
            document.CheckConsistency();
            ADD_FAILURE() << "no error " << number;
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), "Error " + std::to_string(number) + " in " + kCodeMemoVersion);
        }
    };
    expectError(1, [](TCodeDocument& m) { m.ParagraphList().SetFirstLine(1, 5); });
    expectError(2, [](TCodeDocument& m) { m.ParagraphList().SetStart(2, 3); });
    expectError(3, [](TCodeDocument& m) {
        TParagraph& p = *m.Paragraph(1);
        p.SetLineCount(2);
        p.Line(0).Stop = 2;
        p.Line(1).Start = 3;
        p.Line(1).Stop = 5;
    });
    expectError(4, [](TCodeDocument& m) { m.Paragraph(0)->Line(0).Stop = 2; });
    expectError(5, [](TCodeDocument& m) {
        m.Paragraph(2)->Text += "k";
        m.Paragraph(2)->Line(0).Stop = 3;
    });
}
