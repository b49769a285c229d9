// The layout function: the cases a toolbar and a menu meet (separators,
// the chevron, wrapping, right alignment, vertical and floating bars), and
// random layouts checked against the properties every layout must have.

#include "toolbars/TBLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

struct TCase {
    std::vector<TTBLayoutItem> Items;
    std::vector<TSize> Sizes;
    TTBLayoutParams Params;
    std::vector<int> Measured;

    TTBLayoutItem& add(TSize size, bool separator = false) {
        TTBLayoutItem item;
        item.IsSeparator = separator;
        Items.push_back(item);
        Sizes.push_back(size);
        return Items.back();
    }
    void addChevron() {
        TTBLayoutItem item;
        item.IsChevron = true;
        Items.push_back(item);
        Sizes.push_back({12, 12});
        Params.HasChevron = true;
    }
    TTBLayoutResult run() {
        Measured.clear();
        return CalculateLayout(Items, Params, [&](int i) {
            Measured.push_back(i);
            return Sizes[static_cast<size_t>(i)];
        });
    }
};

std::vector<int> shownIndexes(const TTBLayoutResult& result) {
    std::vector<int> shown;
    for (size_t i = 0; i < result.Positions.size(); ++i)
        if (result.Positions[i].Show)
            shown.push_back(static_cast<int>(i));
    return shown;
}

TEST(Layout, SeparatorsCollapseAtTheEndsAndBetweenEachOther) {
    TCase c;
    c.Params.IsToolbar = true;
    c.add({6, 6}, true);
    c.add({20, 22});
    c.add({6, 6}, true);
    c.add({6, 6}, true);
    c.add({30, 22});
    c.add({6, 6}, true);
    TTBLayoutResult result = c.run();
    EXPECT_EQ(shownIndexes(result), (std::vector<int>{1, 2, 4}));
    // Only the shown viewers are measured.
    EXPECT_EQ(c.Measured, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(result.Positions[2].Rect, Rect(20, 0, 26, 22)); // stretched across the line
    EXPECT_EQ(result.Positions[4].Rect, Rect(26, 0, 56, 22));
    EXPECT_EQ(result.NewSize, (TSize{56, 22}));

    TCase onlySeparators;
    onlySeparators.add({0, 11}, true);
    onlySeparators.add({0, 11}, true);
    EXPECT_TRUE(shownIndexes(onlySeparators.run()).empty());
}

TEST(Layout, ChevronHidesTheLeastRecentlyUsedFirstAndKeepsOne) {
    TCase c;
    c.Params.IsToolbar = true;
    for (int i = 0; i < 5; ++i)
        c.add({20, 22});
    c.addChevron();
    c.Params.ChevronOffset = 70;
    c.Params.ChevronSize = 12;
    c.Params.PriorityOrder = {4, 0, 1, 2, 3};
    TTBLayoutResult result = c.run();
    EXPECT_TRUE(result.Shrunk);
    EXPECT_TRUE(result.ChevronEnabled);
    EXPECT_EQ(shownIndexes(result), (std::vector<int>{0, 4, 5}));
    for (int hidden : {1, 2, 3})
        EXPECT_TRUE(result.Positions[static_cast<size_t>(hidden)].OffEdge);
    EXPECT_EQ(result.Positions[4].Rect, Rect(20, 0, 40, 22));
    // The chevron sits at the end of the length it was given.
    EXPECT_EQ(result.Positions[5].Rect, Rect(58, 0, 70, 22));

    // However small the space, the most recently used one stays.
    c.Params.ChevronOffset = 5;
    result = c.run();
    EXPECT_EQ(shownIndexes(result), (std::vector<int>{4, 5}));
    EXPECT_EQ(result.Positions[5].Rect, Rect(20, 0, 32, 22)); // right after the items

    // Enough space: no chevron at all.
    c.Params.ChevronOffset = 100;
    result = c.run();
    EXPECT_FALSE(result.Shrunk);
    EXPECT_FALSE(result.Positions[5].Show);
}

TEST(Layout, WrappingTurnsTheSeparatorAtTheBreakIntoALineBreak) {
    TCase c;
    c.Params.IsToolbar = true;
    c.Params.WrapOffset = 50;
    c.add({20, 22});
    c.add({20, 22});
    c.add({6, 22}, true);
    c.add({20, 22});
    c.add({20, 22});
    c.add({20, 22});
    TTBLayoutResult result = c.run();
    EXPECT_EQ(result.WrappedLines, 3);
    EXPECT_TRUE(result.Positions[2].LineSep);
    // The separator spans the bar, 6 pixels high, between the lines.
    EXPECT_EQ(result.Positions[2].Rect, Rect(0, 22, 50, 28));
    EXPECT_EQ(result.Positions[3].Rect, Rect(0, 28, 20, 50));
    EXPECT_EQ(result.Positions[4].Rect, Rect(20, 28, 40, 50));
    EXPECT_EQ(result.Positions[5].Rect, Rect(0, 50, 20, 72)); // wrapped by overflow
    EXPECT_EQ(result.NewSize, (TSize{50, 72}));
}

TEST(Layout, RightAlignedItemsMoveToTheFarEndOfTheirLine) {
    TCase c;
    c.Params.IsToolbar = true;
    c.Params.WrapOffset = 100;
    c.add({20, 22});
    c.add({15, 22}).RightAlign = true;
    c.add({15, 22}).RightAlign = true;
    TTBLayoutResult result = c.run();
    EXPECT_EQ(result.Positions[0].Rect, Rect(0, 0, 20, 22));
    EXPECT_EQ(result.Positions[1].Rect, Rect(70, 0, 85, 22));
    EXPECT_EQ(result.Positions[2].Rect, Rect(85, 0, 100, 22));
}

TEST(Layout, AVerticalWrappedBarHasItsFirstColumnAtTheRight) {
    TCase c;
    c.Params.IsToolbar = true;
    c.Params.Orientation = tbvoVertical;
    c.Params.WrapOffset = 40;
    for (int i = 0; i < 3; ++i)
        c.add({24, 20});
    TTBLayoutResult result = c.run();
    EXPECT_EQ(result.NewSize, (TSize{48, 40}));
    EXPECT_EQ(result.Positions[0].Rect, Rect(24, 0, 48, 20));
    EXPECT_EQ(result.Positions[1].Rect, Rect(24, 20, 48, 40));
    EXPECT_EQ(result.Positions[2].Rect, Rect(0, 0, 24, 20));
}

TEST(Layout, AFloatingBarAddsItsMargins) {
    TCase c;
    c.Params.IsToolbar = true;
    c.Params.Orientation = tbvoFloating;
    c.Params.Margins = Rect(4, 1, 4, 2);
    c.add({20, 22});
    TTBLayoutResult result = c.run();
    EXPECT_EQ(result.Positions[0].Rect, Rect(4, 1, 24, 23));
    EXPECT_EQ(result.NewSize, (TSize{28, 25}));
}

TEST(Layout, APopupStacksItsItemsAtTheWidestOnesWidth) {
    TCase c;
    c.add({60, 20});
    c.add({0, 11}, true);
    c.add({90, 20});
    TTBLayoutResult result = c.run();
    EXPECT_EQ(result.Positions[0].Rect, Rect(0, 0, 90, 20));
    EXPECT_EQ(result.Positions[1].Rect, Rect(0, 20, 90, 31));
    EXPECT_EQ(result.Positions[2].Rect, Rect(0, 31, 90, 51));
    EXPECT_EQ(result.NewSize, (TSize{90, 51}));
}

// --- properties of random layouts ----------------------------------------------------

int along(const TRect& r, bool vertical) { return vertical ? r.Height() : r.Width(); }

TEST(Layout, RandomLayoutsKeepTheirPromises) {
    std::mt19937 random(2024);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 3000; ++round) {
        TCase c;
        bool toolbar = pick(3) != 0;
        c.Params.IsToolbar = toolbar;
        c.Params.Orientation = toolbar ? pick(3) : tbvoHorizontal;
        bool vertical = c.Params.Orientation == tbvoVertical;
        int count = pick(12);
        for (int i = 0; i < count; ++i) {
            bool separator = pick(4) == 0;
            TTBLayoutItem& item =
                c.add(separator ? TSize{6, 6} : TSize{5 + pick(30), 5 + pick(20)}, separator);
            item.Candidate = pick(8) != 0;
        }
        bool chevron = toolbar && pick(2) == 0;
        if (chevron) {
            c.addChevron();
            c.Params.ChevronSize = 12;
            c.Params.ChevronOffset = pick(150);
            for (int i = 0; i < count; ++i)
                c.Params.PriorityOrder.push_back(i);
            std::shuffle(c.Params.PriorityOrder.begin(), c.Params.PriorityOrder.end(), random);
        } else if (toolbar && pick(2) == 0) {
            c.Params.WrapOffset = 30 + pick(100);
        }
        TTBLayoutResult result = c.run();
        std::vector<int> shown;
        for (int i = 0; i < count; ++i)
            if (result.Positions[static_cast<size_t>(i)].Show)
                shown.push_back(i);
        auto isSeparator = [&](int i) { return c.Items[static_cast<size_t>(i)].IsSeparator; };
        auto rect = [&](int i) { return result.Positions[static_cast<size_t>(i)].Rect; };

        // Shown viewers were candidates; separators neither lead, trail nor
        // follow one another.
        for (size_t k = 0; k < shown.size(); ++k) {
            ASSERT_TRUE(c.Items[static_cast<size_t>(shown[k])].Candidate);
            if (isSeparator(shown[k])) {
                ASSERT_TRUE(k > 0 && k + 1 < shown.size()) << "round " << round;
                ASSERT_FALSE(isSeparator(shown[k - 1])) << "round " << round;
            }
        }
        // Hidden behind the chevron: only candidates, and none more recent
        // than a shown item.
        int shownItems = 0, length = 0;
        for (int i : shown)
            if (!isSeparator(i)) {
                ++shownItems;
                length += along(Bounds(0, 0, c.Sizes[static_cast<size_t>(i)].cx, c.Sizes[static_cast<size_t>(i)].cy),
                                vertical);
            } else {
                length += 6;
            }
        if (chevron) {
            auto rank = [&](int i) {
                return std::find(c.Params.PriorityOrder.begin(), c.Params.PriorityOrder.end(), i) -
                       c.Params.PriorityOrder.begin();
            };
            for (int i = 0; i < count; ++i) {
                if (!result.Positions[static_cast<size_t>(i)].OffEdge)
                    continue;
                ASSERT_FALSE(result.Positions[static_cast<size_t>(i)].Show);
                for (int j : shown) {
                    if (!isSeparator(j)) {
                        ASSERT_LT(rank(j), rank(i)) << "round " << round;
                    }
                }
            }
            bool anyCandidate = false;
            for (int i = 0; i < count; ++i)
                anyCandidate |= c.Items[static_cast<size_t>(i)].Candidate && !isSeparator(i);
            // However small the space, one item stays.
            ASSERT_TRUE(!anyCandidate || shownItems >= 1) << "round " << round;
            if (result.Shrunk) {
                ASSERT_TRUE(shownItems <= 1 || length <= c.Params.ChevronOffset - c.Params.ChevronSize)
                    << "round " << round;
            }
            ASSERT_EQ(result.Positions.back().Show, result.Shrunk);
        }
        if (toolbar && c.Params.WrapOffset == 0 && !shown.empty()) {
            // One row (or column): in list order, edge to edge.
            for (size_t k = 1; k < shown.size(); ++k) {
                TRect before = rect(shown[k - 1]), here = rect(shown[k]);
                if (vertical)
                    ASSERT_EQ(here.Top, before.Bottom) << "round " << round;
                else
                    ASSERT_EQ(here.Left, before.Right) << "round " << round;
            }
        }
        if (toolbar && c.Params.WrapOffset > 0) {
            // No item passes the wrap offset unless it starts its line.
            for (int i : shown) {
                TRect r = rect(i);
                int start = vertical ? r.Top : r.Left;
                int end = vertical ? r.Bottom : r.Right;
                if (vertical) {
                    ASSERT_TRUE(start == 0 || end <= c.Params.WrapOffset || result.Positions[static_cast<size_t>(i)].LineSep)
                        << "round " << round;
                } else if (c.Params.Orientation == tbvoHorizontal) {
                    ASSERT_TRUE(start == 0 || end <= c.Params.WrapOffset) << "round " << round;
                }
            }
            // Shown items never overlap.
            for (size_t a = 0; a < shown.size(); ++a)
                for (size_t b = a + 1; b < shown.size(); ++b) {
                    TRect common;
                    ASSERT_FALSE(IntersectRect(common, rect(shown[a]), rect(shown[b]))) << "round " << round;
                }
        }
        if (!toolbar && !shown.empty()) {
            // A menu: stacked without gaps, all as wide as the widest.
            int widest = 0;
            for (int i : shown)
                widest = std::max(widest, c.Sizes[static_cast<size_t>(i)].cx);
            int top = 0;
            for (int i : shown) {
                ASSERT_EQ(rect(i), Rect(0, top, widest, top + c.Sizes[static_cast<size_t>(i)].cy)) << "round " << round;
                top = rect(i).Bottom;
            }
            ASSERT_EQ(result.NewSize, (TSize{widest, top}));
        }
    }
}

} // namespace
