#include "toolbars/TBPopupPlacement.h"

#include <algorithm>

namespace {

bool overlaps(const TRect& a, const TRect& b) {
    TRect common;
    return IntersectRect(common, a, b);
}

// The opener's viewers lying entirely inside the popup at (x, y).
int cover(const TTBPopupPositionRec& rec, const TTBPlacementOpener& opener, int x, int y) {
    TRect popup = Bounds(x, y, rec.Width, rec.Height);
    int count = 0;
    for (const TRect& r : opener.ViewerRects)
        if (r.Left >= popup.Left && r.Top >= popup.Top && r.Right <= popup.Right && r.Bottom <= popup.Bottom)
            ++count;
    return count;
}

bool overlapsItem(const TTBPopupPositionRec& rec, int x, int y) {
    return overlaps(Bounds(x, y, rec.Width, rec.Height), rec.ParentItemRect);
}

} // namespace

bool PlacePopupRect(TTBPopupPositionRec& rec, const TTBPlacementOpener& opener) {
    const TRect& monitor = rec.MonitorRect;
    const TRect& item = rec.ParentItemRect;
    bool opposite = false;

    // Vertical fit: above the item when it does not fit below.
    if (rec.Y + rec.Height > monitor.Bottom && !(opener.Exists && opener.Vertical)) {
        int above = (rec.PositionAsSubmenu ? item.Bottom + rec.NCSize.Y : item.Top) - rec.Height;
        if (above >= monitor.Top)
            rec.Y = above;
    }
    if (rec.Y + rec.Height > monitor.Bottom)
        rec.Y = monitor.Bottom - rec.Height;
    if (rec.Y < monitor.Top)
        rec.Y = monitor.Top;

    if (rec.PositionAsSubmenu) {
        for (;;) {
            if (!rec.Opposite && rec.X + rec.Width <= monitor.Right)
                break;
            int left = opener.Exists ? item.Left + rec.NCSize.X - rec.Width : rec.X - rec.Width;
            if (rec.Opposite && left < monitor.Left) {
                rec.Opposite = false;
                continue;
            }
            rec.X = left;
            opposite = true;
            break;
        }
        rec.X = std::max(rec.X, monitor.Left);
    } else {
        if (!opener.Exists && rec.Alignment == 1 && rec.X < monitor.Left)
            rec.X += rec.Width;
        if (rec.X + rec.Width > monitor.Right)
            rec.X = (opener.Exists || rec.Alignment != 0) ? monitor.Right - rec.Width : rec.X - rec.Width;
        rec.X = std::max(rec.X, monitor.Left);

        // Covering the opener: try the other side.
        if (opener.Exists && opener.Vertical) {
            if (item.Right + rec.Width <= monitor.Right) {
                int here = cover(rec, opener, rec.X, rec.Y), there = cover(rec, opener, item.Right, rec.Y);
                if (there < here || overlapsItem(rec, rec.X, rec.Y))
                    rec.X = item.Right;
            }
            if (overlapsItem(rec, rec.X, rec.Y)) {
                rec.Y = item.Bottom + rec.Height > monitor.Bottom ? item.Top - rec.Height : item.Bottom;
                rec.Y = std::max(rec.Y, monitor.Top);
            }
        } else {
            int above = item.Top - rec.Height;
            if (above >= monitor.Top) {
                int here = cover(rec, opener, rec.X, rec.Y), there = cover(rec, opener, rec.X, above);
                if (there < here || overlapsItem(rec, rec.X, rec.Y))
                    rec.Y = above;
            }
            if (overlapsItem(rec, rec.X, rec.Y)) {
                rec.X = item.Right + rec.Width > monitor.Right ? item.Left - rec.Width : item.Right;
                rec.X = std::max(rec.X, monitor.Left);
            }
        }
    }

    uint8_t direction = 0;
    if (rec.PositionAsSubmenu) {
        direction = rec.X + rec.Width / 2 < (item.Left + item.Right) / 2 ? tbadSlideLeft : tbadSlideRight;
    } else {
        if (rec.Y + rec.Height <= item.Top)
            direction |= tbadSlideUp;
        else if (rec.Y >= item.Bottom)
            direction |= tbadSlideDown;
        if (rec.X + rec.Width <= item.Left)
            direction |= tbadSlideLeft;
        else if (rec.X >= item.Right)
            direction |= tbadSlideRight;
    }
    rec.AnimateDirection = direction;
    return opposite;
}
