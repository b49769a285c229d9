// The dock's layout as a pure function: the cases a dock meets (wrapping,
// shrinking chevron bars, closing empty rows, full-size and own rows,
// gaps), and random docks checked against what every layout must hold.

#include "toolbars/TBDockLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

struct TBar {
    TTBDockLayoutBar Layout;
    int Full = 50;
    int Minimum = 0;
    TTBShrinkMode Mode = tbsmNone;
    int Thickness = 22;
    int Least = -1;
};

struct TDock {
    std::vector<TBar> Bars;
    int Available = 400;
    bool LimitToOneRow = false;
    int Drag = -1;
    bool RowLocked = false;
    int MaxThickness = 0;

    int add(int row, int pos, int full, TTBShrinkMode mode = tbsmNone, int minimum = 0) {
        TBar bar;
        bar.Layout.Shown = true;
        bar.Layout.DockRow = row;
        bar.Layout.DockPos = pos;
        bar.Full = full;
        bar.Mode = mode;
        bar.Minimum = minimum;
        Bars.push_back(bar);
        return static_cast<int>(Bars.size()) - 1;
    }
    TTBDockLayoutResult run() const {
        TTBDockLayoutInput input;
        for (const TBar& bar : Bars)
            input.Bars.push_back(bar.Layout);
        input.AvailableLength = Available;
        input.LimitToOneRow = LimitToOneRow;
        input.DragIndex = Drag;
        input.RowLocked = RowLocked;
        input.MaxThickness = MaxThickness;
        TTBDockBarMeasure measure;
        measure.LeastThickness = [this](int i) { return Bars[i].Least; };
        measure.FullLength = [this](int i) { return Bars[i].Full; };
        measure.ShrinkMode = [this](int i) { return Bars[i].Mode; };
        measure.ShrinkLimit = [this](int i) { return Bars[i].Minimum; };
        measure.Thickness = [this](int i, int) { return Bars[i].Thickness; };
        return LayoutDockBars(input, measure);
    }
};

// The members of each row, in layout order.
std::map<int, std::vector<int>> rowsOf(const TTBDockLayoutResult& result) {
    std::map<int, std::vector<int>> rows;
    for (int bar : result.Order)
        if (result.Places[bar].Member)
            rows[result.Places[bar].Row].push_back(bar);
    return rows;
}

TEST(DockLayout, BarsThatDoNotFitWrapAndChevronBarsCountWithTheirLeast) {
    TDock dock;
    dock.add(0, 0, 250);
    dock.add(0, 0, 250);
    auto result = dock.run();
    EXPECT_EQ(rowsOf(result), (std::map<int, std::vector<int>>{{0, {0}}, {1, {1}}}));
    EXPECT_EQ(result.RowCount, 2);
    EXPECT_EQ(result.Thickness, 2 * (22 + kTBDockedFrameThickness));
    EXPECT_EQ(result.Places[1].Bounds, Rect(0, 26, 250, 52));

    // Chevron bars fit one row by what they can shrink to; the overflow is
    // taken from the last bar first.
    TDock chevrons;
    chevrons.add(0, 0, 250, tbsmChevron, 100);
    chevrons.add(0, 250, 250, tbsmChevron, 100);
    result = chevrons.run();
    EXPECT_EQ(rowsOf(result), (std::map<int, std::vector<int>>{{0, {0, 1}}}));
    EXPECT_EQ(result.Places[0].Length, 250);
    EXPECT_EQ(result.Places[1].Length, 150);
    EXPECT_EQ(result.Places[1].ShrunkLength, 150);
    EXPECT_EQ(result.Places[0].ShrunkLength, 0);
    EXPECT_EQ(result.Places[1].Pos, 250);

    // When the last one cannot give enough, the one before it gives too.
    chevrons.Available = 300;
    result = chevrons.run();
    EXPECT_EQ(result.Places[1].Length, 100);
    EXPECT_EQ(result.Places[0].Length, 200);
}

TEST(DockLayout, EmptyRowsCloseUpAndHiddenBarsFollowTheirNeighbours) {
    TDock dock;
    dock.add(0, 0, 50);
    dock.add(5, 0, 50);
    int hidden = dock.add(9, 0, 50);
    dock.Bars[hidden].Layout.Shown = false;
    int between = dock.add(3, 0, 50);
    dock.Bars[between].Layout.Shown = false;
    auto result = dock.run();
    EXPECT_EQ(result.Places[0].Row, 0);
    EXPECT_EQ(result.Places[1].Row, 1);
    EXPECT_EQ(result.RowCount, 2);
    // A remembered row comes back among the same neighbours: after the
    // last shown row, and between rows 0 and 5 (before the one that was 5).
    EXPECT_EQ(result.Places[hidden].Row, 2);
    EXPECT_FALSE(result.Places[hidden].Member);
    EXPECT_EQ(result.Places[between].Row, 1);

    // Any stored row costs the same: no walk over the numbers between.
    TDock far;
    far.add(2'000'000'000, 0, 50);
    far.add(-7, 0, 50);
    result = far.run();
    EXPECT_EQ(result.Places[1].Row, 0);
    EXPECT_EQ(result.Places[0].Row, 1);
}

TEST(DockLayout, FullSizeAndOwnRowBarsTakeARowOfTheirOwn) {
    TDock dock;
    dock.LimitToOneRow = true;
    dock.add(0, 0, 50);
    int full = dock.add(0, 60, 50);
    dock.Bars[full].Layout.FullSize = true;
    dock.add(0, 120, 50);
    auto result = dock.run();
    // Even in a one-row dock the full-size bar is alone, and as long as
    // the dock; the bars of its row move down a row.
    EXPECT_EQ(rowsOf(result), (std::map<int, std::vector<int>>{{0, {full}}, {1, {0, 2}}}));
    EXPECT_EQ(result.Places[full].Bounds.Width(), 400);

    // A bar that wants its own row pushes its row's others down, but not
    // in a one-row dock.
    TDock own;
    own.add(0, 0, 50);
    int wants = own.add(0, 100, 50);
    own.Bars[wants].Layout.WantsOwnRow = true;
    EXPECT_EQ(own.run().Places[0].Row, 1);
    own.LimitToOneRow = true;
    EXPECT_EQ(own.run().Places[0].Row, 0);
}

TEST(DockLayout, GapsAreKeptWhileTheRowFitsThenTrimmedFromTheEnd) {
    TDock dock;
    dock.add(0, 10, 100);
    dock.add(0, 150, 100);
    auto result = dock.run();
    EXPECT_EQ(result.Places[0].Pos, 10);
    EXPECT_EQ(result.Places[1].Pos, 150);

    // The second bar asks for a place that would push it past the end: the
    // gaps shut, the last one's first.
    dock.Bars[1].Layout.DockPos = 350;
    result = dock.run();
    EXPECT_EQ(result.Places[1].Pos, 300);
    EXPECT_EQ(result.Places[0].Pos, 10);
    dock.Available = 205;
    result = dock.run();
    EXPECT_EQ(result.Places[1].Pos, 105);
    EXPECT_EQ(result.Places[0].Pos, 5);

    // Bars with equal requests keep their list order.
    TDock equal;
    for (int i = 0; i < 4; ++i)
        equal.add(0, 0, 20);
    EXPECT_EQ(equal.run().Order, (std::vector<int>{0, 1, 2, 3}));
}

TEST(DockLayout, ADraggedBarPushedOverAnotherShrinksItAndMarksTheRowCrowded) {
    TDock dock;
    dock.Available = 300;
    int first = dock.add(0, 0, 200, tbsmChevron, 60);
    int dragged = dock.add(0, 120, 150, tbsmChevron, 60);
    dock.Drag = dragged;
    auto result = dock.run();
    EXPECT_TRUE(result.CrowdedRow);
    EXPECT_EQ(result.Places[first].Length + result.Places[dragged].Length, 300);
    // The overlap of 80 came out of the bar it lies over.
    EXPECT_EQ(result.Places[first].Length, 150);

    // Locked in its row, the dragged bar keeps its place in the order even
    // when its position sorts it first.
    dock.Bars[dragged].Layout.DockPos = 0;
    dock.Bars[first].Layout.DockPos = 10;
    dock.RowLocked = true;
    EXPECT_EQ(dock.run().Order, (std::vector<int>{first, dragged}));
}

// Random docks: whatever the requests, every shown bar gets one row, rows
// are numbered without gaps, bars of a row do not overlap and keep their
// order, lengths stay between a bar's least and full length, a row of
// several bars fits by its least lengths, a row that fits is not shrunk
// and ends inside the dock, and rows are as thick as their thickest bar.
TEST(DockLayout, RandomDocksKeepTheLayoutRules) {
    std::mt19937 random(31337);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 3000; ++round) {
        TDock dock;
        dock.Available = pick(0, 600);
        dock.LimitToOneRow = pick(0, 5) == 0;
        int count = pick(0, 9);
        for (int i = 0; i < count; ++i) {
            int row = pick(0, 8) == 0 ? pick(-3, 2'000'000'000) : pick(0, 4);
            TTBShrinkMode mode = static_cast<TTBShrinkMode>(pick(0, 2));
            int full = pick(0, 300);
            int index = dock.add(row, pick(-20, 500), full, mode, pick(0, full + 20));
            dock.Bars[index].Layout.Shown = pick(0, 4) != 0;
            dock.Bars[index].Layout.FullSize = pick(0, 7) == 0;
            dock.Bars[index].Layout.WantsOwnRow = pick(0, 7) == 0;
            dock.Bars[index].Thickness = pick(0, 40);
        }
        if (count > 0 && pick(0, 2) == 0) {
            dock.Drag = pick(0, count - 1);
            dock.RowLocked = pick(0, 1) == 0;
        }
        SCOPED_TRACE("round " + std::to_string(round));
        auto result = dock.run();
        bool anyShown = std::any_of(dock.Bars.begin(), dock.Bars.end(), [](const TBar& b) { return b.Layout.Shown; });
        ASSERT_EQ(result.AnyShown, anyShown);
        if (!anyShown)
            continue;
        auto rows = rowsOf(result);
        ASSERT_EQ(static_cast<int>(rows.size()), result.RowCount);
        int expectedRow = 0, thicknessSum = 0;
        for (const auto& [row, members] : rows) {
            ASSERT_EQ(row, expectedRow++);
            int end = 0, minimumSum = 0, fullSum = 0, thickest = 0;
            for (size_t m = 0; m < members.size(); ++m) {
                const TBar& bar = dock.Bars[members[m]];
                const TTBDockBarPlace& place = result.Places[members[m]];
                ASSERT_TRUE(bar.Layout.Shown);
                ASSERT_GE(place.Pos, end);
                ASSERT_LE(place.Length, bar.Full);
                ASSERT_GE(place.Length, std::min(bar.Minimum, bar.Full));
                if (bar.Mode == tbsmNone || (bar.Mode == tbsmWrap && members.size() > 1)) {
                    ASSERT_EQ(place.Length, bar.Full);
                }
                if (bar.Layout.FullSize) {
                    ASSERT_EQ(members.size(), 1u);
                    ASSERT_EQ(place.Bounds.Width(), dock.Available);
                }
                end = place.Pos + place.Length;
                minimumSum += bar.Mode == tbsmChevron ? std::min(bar.Minimum, bar.Full) : bar.Full;
                fullSum += bar.Full;
                thickest = std::max(thickest, bar.Thickness);
                if (m > 0 && dock.Drag < 0) {
                    const TBar& before = dock.Bars[members[m - 1]];
                    auto keyBefore = std::pair(std::max(0, before.Layout.DockRow), before.Layout.DockPos);
                    auto key = std::pair(std::max(0, bar.Layout.DockRow), bar.Layout.DockPos);
                    ASSERT_LE(keyBefore, key);
                    // Bars at the same place keep the order they came in.
                    if (keyBefore == key) {
                        ASSERT_LT(members[m - 1], members[m]);
                    }
                }
            }
            if (members.size() > 1) {
                ASSERT_LE(minimumSum, dock.Available);
            }
            if (fullSum <= dock.Available) {
                ASSERT_LE(end, dock.Available);
                for (int bar : members)
                    ASSERT_EQ(result.Places[bar].ShrunkLength, 0);
            }
            int rowThickness = thickest == 0 ? 0 : thickest + kTBDockedFrameThickness;
            for (int bar : members) {
                ASSERT_EQ(result.Places[bar].RowThickness, rowThickness);
                ASSERT_EQ(result.Places[bar].Bounds.Top, thicknessSum);
            }
            thicknessSum += rowThickness;
        }
        ASSERT_EQ(result.Thickness, thicknessSum);
        for (size_t i = 0; i < dock.Bars.size(); ++i) {
            if (dock.Bars[i].Layout.Shown)
                continue;
            ASSERT_GE(result.Places[i].Row, 0);
            ASSERT_LE(result.Places[i].Row, result.RowCount);
        }
    }
}

// Random docks with a limit across: rows too thick together narrow from
// the last one up, each no further than the least its bars take, so that
// they fit the limit wherever their leasts do; no row is thicker than its
// bars ask, and no bar is thicker than its row leaves it.
TEST(DockLayout, RowsTooThickForTheDockNarrowFromTheLastOneUpToTheirLeast) {
    std::mt19937 random(44);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 2000; ++round) {
        TDock dock;
        dock.MaxThickness = pick(0, 3) == 0 ? 0 : pick(1, 300);
        const int count = pick(1, 6);
        for (int i = 0; i < count; ++i) {
            const int row = pick(0, 3), pos = pick(0, 100);
            const int index = dock.add(row, pos, pick(0, 200));
            dock.Bars[index].Thickness = pick(0, 120);
            dock.Bars[index].Least = pick(0, 2) == 0 ? -1 : pick(0, 150);
        }
        SCOPED_TRACE("round " + std::to_string(round));
        const TTBDockLayoutResult result = dock.run();
        std::vector<int> natural(static_cast<size_t>(result.RowCount)), least(natural.size()), given(natural.size());
        for (int bar : result.Order) {
            const TBar& b = dock.Bars[static_cast<size_t>(bar)];
            const TTBDockBarPlace& place = result.Places[static_cast<size_t>(bar)];
            const size_t row = static_cast<size_t>(place.Row);
            natural[row] = std::max(natural[row], b.Thickness + kTBDockedFrameThickness);
            least[row] = std::max(least[row], (b.Least < 0 ? b.Thickness : std::min(b.Least, b.Thickness)) +
                                                  kTBDockedFrameThickness);
            given[row] = place.RowThickness;
            ASSERT_EQ(place.Bounds.Height(), place.RowThickness);
        }
        for (size_t row = 0; row < given.size(); ++row)
            if (natural[row] == kTBDockedFrameThickness)
                natural[row] = least[row] = 0; // bars of no thickness: no frame either
        int naturalSum = 0, leastSum = 0, givenSum = 0;
        for (size_t row = 0; row < given.size(); ++row) {
            ASSERT_LE(given[row], natural[row]);
            ASSERT_GE(given[row], least[row]);
            // A row narrowed leaves every row after it at its least.
            for (size_t later = row + 1; later < given.size() && given[row] < natural[row]; ++later)
                ASSERT_EQ(given[later], least[later]);
            naturalSum += natural[row];
            leastSum += least[row];
            givenSum += given[row];
        }
        ASSERT_EQ(result.Thickness, givenSum);
        const int expected = dock.MaxThickness == 0 ? naturalSum : std::max(leastSum, std::min(naturalSum, dock.MaxThickness));
        ASSERT_EQ(givenSum, expected);
        for (int bar : result.Order) {
            const TTBDockBarPlace& place = result.Places[static_cast<size_t>(bar)];
            if (place.RowThickness > 0) {
                ASSERT_LE(place.Thickness, place.RowThickness - kTBDockedFrameThickness);
            }
        }
    }
}

} // namespace
