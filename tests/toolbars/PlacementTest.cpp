// Popup placement: submenus that flip to the left and stay there, drop-downs
// that go above, the monitor of the opener among several, and random
// placements that always end on the monitor.

#include "toolbars/TBPopupPlacement.h"
#include "toolbars/TBSystemSettings.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const TRect kMonitor = Rect(0, 0, 1000, 700);

TTBPopupPositionRec submenuOf(const TRect& item, int width, int height, bool opposite = false) {
    TTBPopupPositionRec rec;
    rec.PositionAsSubmenu = true;
    rec.Opposite = opposite;
    rec.MonitorRect = kMonitor;
    rec.ParentItemRect = item;
    rec.NCSize = {3, 3};
    rec.Width = width;
    rec.Height = height;
    rec.X = item.Right - 3;
    rec.Y = item.Top - 3;
    return rec;
}

TTBPopupPositionRec dropDownOf(const TRect& item, int width, int height) {
    TTBPopupPositionRec rec;
    rec.MonitorRect = kMonitor;
    rec.ParentItemRect = item;
    rec.NCSize = {3, 3};
    rec.Width = width;
    rec.Height = height;
    rec.X = item.Left;
    rec.Y = item.Bottom;
    return rec;
}

TTBPlacementOpener opener(bool vertical = false) {
    TTBPlacementOpener o;
    o.Exists = true;
    o.Vertical = vertical;
    return o;
}

TEST(Placement, ASubmenuFlipsLeftAndItsSubmenusStayLeft) {
    TTBPopupPositionRec fits = submenuOf(Rect(100, 100, 300, 120), 200, 150);
    EXPECT_FALSE(PlacePopupRect(fits, opener()));
    EXPECT_EQ(fits.X, 297);
    EXPECT_EQ(fits.AnimateDirection, tbadSlideRight);

    // No room on the right: to the left of the item, overlapping its border.
    TTBPopupPositionRec flipped = submenuOf(Rect(700, 100, 900, 120), 200, 150);
    EXPECT_TRUE(PlacePopupRect(flipped, opener()));
    EXPECT_EQ(flipped.X, 700 + 3 - 200);
    EXPECT_EQ(flipped.AnimateDirection, tbadSlideLeft);

    // Its own submenu keeps going left though the right side has room...
    TTBPopupPositionRec nested = submenuOf(Rect(503, 130, 703, 150), 200, 150, true);
    EXPECT_TRUE(PlacePopupRect(nested, opener()));
    EXPECT_EQ(nested.X, 503 + 3 - 200);
    // ...until the left side has none: back to the right.
    TTBPopupPositionRec back = submenuOf(Rect(100, 130, 300, 150), 200, 150, true);
    EXPECT_FALSE(PlacePopupRect(back, opener()));
    EXPECT_FALSE(back.Opposite);
    EXPECT_EQ(back.X, 297);
}

TEST(Placement, ADropDownGoesAboveWhenBelowIsFullAndElseStaysOnTheMonitor) {
    TTBPopupPositionRec above = dropDownOf(Rect(50, 600, 120, 622), 180, 300);
    PlacePopupRect(above, opener());
    EXPECT_EQ(above.Y, 600 - 300);
    EXPECT_EQ(above.AnimateDirection, tbadSlideUp);

    // Neither fits: kept inside the monitor, then moved beside the item it
    // would cover.
    TTBPopupPositionRec tall = dropDownOf(Rect(50, 300, 120, 322), 180, 500);
    PlacePopupRect(tall, opener());
    EXPECT_EQ(tall.Y, 200);
    EXPECT_EQ(tall.X, 120);
    EXPECT_GE(tall.Y, kMonitor.Top);
    EXPECT_LE(tall.Y + tall.Height, kMonitor.Bottom);

    // Too far right: moved in to the monitor's edge.
    TTBPopupPositionRec right = dropDownOf(Rect(900, 20, 960, 42), 180, 100);
    PlacePopupRect(right, opener());
    EXPECT_EQ(right.X, 1000 - 180);
    EXPECT_EQ(right.Y, 42);
}

class TTwoMonitors : public TTBSystemSettings {
public:
    std::vector<TTBMonitor> Monitors() override {
        return {TTBMonitor{Rect(0, 0, 1280, 800), Rect(0, 0, 1280, 770)},
                TTBMonitor{Rect(1280, 100, 2560, 1124), Rect(1280, 130, 2560, 1124)}};
    }
};

TEST(Placement, APopupKeepsToTheMonitorOfItsOpener) {
    TTwoMonitors monitors;
    SetTBSystemSettings(&monitors);
    TRect item = Rect(1200, 740, 1270, 762); // at the bottom right of the first monitor
    TTBPopupPositionRec rec = dropDownOf(item, 200, 120);
    rec.MonitorRect = MonitorAreaOfRect(item, true);
    EXPECT_EQ(rec.MonitorRect, Rect(0, 0, 1280, 770));
    PlacePopupRect(rec, opener());
    EXPECT_EQ(rec.X, 1280 - 200); // not spilling onto the second monitor
    EXPECT_EQ(rec.Y, 740 - 120);

    EXPECT_EQ(MonitorAreaOfPoint({1500, 50}, true), Rect(1280, 130, 2560, 1124)); // nearest
    EXPECT_EQ(MonitorAreaOfRect(Rect(1270, 300, 1400, 320), false), Rect(1280, 100, 2560, 1124));
    SetTBSystemSettings(nullptr);
}

TEST(Placement, RandomPopupsEndOnTheMonitorWhenTheyFitOnIt) {
    std::mt19937 random(5);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 20000; ++round) {
        TRect monitor = Bounds(pick(400) - 200, pick(400) - 200, 300 + pick(1000), 300 + pick(800));
        TRect item = Bounds(monitor.Left + pick(monitor.Width()), monitor.Top + pick(monitor.Height()), 5 + pick(200),
                            5 + pick(40));
        int width = 20 + pick(monitor.Width() - 20), height = 20 + pick(monitor.Height() - 20);
        TTBPopupPositionRec rec = pick(2) ? submenuOf(item, width, height, pick(2) != 0) : dropDownOf(item, width, height);
        rec.MonitorRect = monitor;
        TTBPlacementOpener from = opener(pick(3) == 0);
        PlacePopupRect(rec, from);
        ASSERT_GE(rec.X, monitor.Left) << "round " << round;
        ASSERT_GE(rec.Y, monitor.Top) << "round " << round;
        ASSERT_LE(rec.Y + rec.Height, monitor.Bottom) << "round " << round;
        if (!rec.PositionAsSubmenu && !from.Vertical) {
            ASSERT_LE(rec.X + rec.Width, monitor.Right) << "round " << round;
        }
        // The direction says where the popup came from.
        if (rec.AnimateDirection & tbadSlideUp) {
            ASSERT_LE(rec.Y + rec.Height, item.Top);
        }
        if (rec.AnimateDirection & tbadSlideDown) {
            ASSERT_GE(rec.Y, item.Bottom);
        }
    }
}

} // namespace
