#include "toolbars/TBLayout.h"

#include <algorithm>

namespace {

class TLayout {
public:
    TLayout(const std::vector<TTBLayoutItem>& items, const TTBLayoutParams& params,
            const TTBMeasureViewer& measure)
        : items_(items), params_(params), measure_(measure), count_(static_cast<int>(items.size())),
          vertical_(params.Orientation == tbvoVertical), sizes_(items.size()) {
        result_.Positions.resize(items.size());
    }

    TTBLayoutResult Run() {
        chooseShown();
        hideTrailingSeparators();
        measure();
        shrinkBehindChevron();
        hideTrailingSeparators();
        acrossBaseSize();
        place();
        if (vertical_)
            mirror();
        finishToolbar();
        placeChevron();
        return std::move(result_);
    }

private:
    bool shown(int i) const { return result_.Positions[i].Show; }
    int along(TSize s) const { return vertical_ ? s.cy : s.cx; }
    int across(TSize s) const { return vertical_ ? s.cx : s.cy; }

    void hide(int i) {
        if (!shown(i))
            return;
        result_.Positions[i].Show = false;
        if (measured_)
            length_ -= along(sizes_[i]);
    }

    // Leading separators and separators right after another are hidden.
    void hideExtraSeparators() {
        bool afterSeparator = true;
        for (int i = 0; i < count_; ++i) {
            if (!shown(i))
                continue;
            if (items_[i].IsSeparator && afterSeparator)
                hide(i);
            else
                afterSeparator = items_[i].IsSeparator;
        }
    }

    void chooseShown() {
        for (int i = 0; i < count_; ++i)
            result_.Positions[i].Show = !items_[i].IsChevron && items_[i].Candidate;
        hideExtraSeparators();
    }

    void hideTrailingSeparators() {
        for (int i = count_ - 1; i >= 0; --i) {
            if (!shown(i))
                continue;
            if (!items_[i].IsSeparator)
                break;
            hide(i);
        }
    }

    void measure() {
        for (int i = 0; i < count_; ++i)
            if (shown(i)) {
                sizes_[i] = measure_(i);
                length_ += along(sizes_[i]);
            }
        measured_ = true;
        fullLength_ = length_;
    }

    int shownNonSeparators() const {
        int n = 0;
        for (int i = 0; i < count_; ++i)
            if (shown(i) && !items_[i].IsSeparator)
                ++n;
        return n;
    }

    // The shown non-separator to hide next: the last in priority order (the
    // least recently used), or the last in the list without an order.
    int nextToHide() const {
        if (!params_.PriorityOrder.empty()) {
            for (auto it = params_.PriorityOrder.rbegin(); it != params_.PriorityOrder.rend(); ++it)
                if (*it >= 0 && *it < count_ && shown(*it) && !items_[*it].IsSeparator)
                    return *it;
            return -1;
        }
        for (int i = count_ - 1; i >= 0; --i)
            if (shown(i) && !items_[i].IsSeparator)
                return i;
        return -1;
    }

    void shrinkBehindChevron() {
        if (!params_.HasChevron || params_.ChevronOffset < 1 || length_ <= params_.ChevronOffset)
            return;
        result_.Shrunk = true;
        chevronOffset_ = params_.ChevronOffset - params_.ChevronSize;
        while (length_ > chevronOffset_) {
            if (shownNonSeparators() < 2)
                break;
            int last = -1;
            for (int i = count_ - 1; i >= 0 && last < 0; --i)
                if (shown(i))
                    last = i;
            if (last >= 0 && items_[last].IsSeparator) {
                hide(last);
            } else {
                int victim = nextToHide();
                if (victim < 0)
                    break;
                hide(victim);
                result_.Positions[victim].OffEdge = true;
                if (!items_[victim].IsControl)
                    result_.ChevronEnabled = true;
            }
            hideExtraSeparators();
        }
    }

    void acrossBaseSize() {
        int largest = 0;
        for (int i = 0; i < count_; ++i)
            if (shown(i))
                largest = std::max(largest, across(sizes_[i]));
        // Along the axis, the length before anything went behind the
        // chevron: what the bar asks its dock for.
        result_.BaseSize = vertical_ ? TSize{largest, fullLength_} : TSize{fullLength_, largest};
    }

    // The lengths of the shown viewers after index, up to the next shown
    // separator.
    int lengthUpToNextSeparator(int index) const {
        int total = 0;
        for (int i = index + 1; i < count_; ++i) {
            if (!shown(i))
                continue;
            if (items_[i].IsSeparator)
                break;
            total += along(sizes_[i]);
        }
        return total;
    }

    void grow(const TRect& r) {
        newSize_.cx = std::max(newSize_.cx, r.Right);
        newSize_.cy = std::max(newSize_.cy, r.Bottom);
    }

    void finishLine() {
        if (line_.empty())
            return;
        if (wrapped_ && params_.Orientation != tbvoFloating) {
            if (vertical_)
                newSize_.cy = std::max(newSize_.cy, params_.WrapOffset);
            else
                newSize_.cx = std::max(newSize_.cx, params_.WrapOffset);
        }
        int lineSize = vertical_ ? lineWidth_ : lineHeight_;
        if (params_.IsToolbar && !wrapped_ && params_.Orientation != tbvoFloating)
            lineSize = across(newSize_);
        for (int i : line_) {
            TRect& r = result_.Positions[i].Rect;
            if (!params_.IsToolbar && !items_[i].Flows) {
                // One per line in a popup: as wide as the widest.
                r.Right = r.Left + lineWidth_;
            } else if (items_[i].IsSeparator || items_[i].Stretch) {
                if (vertical_)
                    r.Right = r.Left + lineSize;
                else
                    r.Bottom = r.Top + lineSize;
            } else {
                int offset = (lineSize - (vertical_ ? r.Width() : r.Height())) / 2;
                if (vertical_)
                    OffsetRect(r, offset, 0);
                else
                    OffsetRect(r, 0, offset);
            }
        }
        auto firstRight = std::find_if(line_.begin(), line_.end(), [&](int i) { return items_[i].RightAlign; });
        if (firstRight != line_.end()) {
            const TRect& lastRect = result_.Positions[line_.back()].Rect;
            int farEdge = vertical_ ? lastRect.Bottom : lastRect.Right;
            int shift = std::max(params_.WrapOffset, along(newSize_)) - farEdge;
            if (shift >= 1)
                for (auto it = firstRight; it != line_.end(); ++it) {
                    TRect& r = result_.Positions[*it].Rect;
                    if (vertical_)
                        OffsetRect(r, 0, shift);
                    else
                        OffsetRect(r, shift, 0);
                }
        }
        line_.clear();
        lineWidth_ = 0;
        lineHeight_ = 0;
    }

    void place() {
        const TRect& m = params_.Margins;
        int curX = m.Left, curY = m.Top;
        newSize_ = params_.StartSize;
        bool previousFlowed = false;
        bool overflowed = false; // a viewer wrapped since the last separator line break
        const int wrapAt = params_.WrapOffset;
        for (int i = 0; i < count_; ++i) {
            if (!shown(i))
                continue;
            const TTBLayoutItem& item = items_[i];
            TSize size = sizes_[i];
            bool flows = params_.IsToolbar || item.Flows;
            if (!flows && previousFlowed) {
                curX = m.Left;
                curY = newSize_.cy;
            }
            previousFlowed = flows;
            TTBLayoutPosition& pos = result_.Positions[i];
            int at = vertical_ ? curY : curX;
            int length = along(size);
            if (wrapAt >= 1 && at >= 1) {
                if (item.IsSeparator) {
                    if (!item.NoLineBreak &&
                        (overflowed || at + length + lengthUpToNextSeparator(i) > wrapAt)) {
                        ++result_.WrappedLines;
                        wrapped_ = true;
                        if (vertical_) {
                            curY = 0;
                            curX += lineWidth_;
                        } else {
                            curX = 0;
                            curY += lineHeight_;
                        }
                        finishLine();
                        pos.Rect = vertical_ ? Rect(0, 0, 6, 0) : Rect(0, 0, 0, 6);
                        pos.LineSep = true;
                        OffsetRect(pos.Rect, std::max(curX, 0), std::max(curY, 0));
                        grow(pos.Rect);
                        if (vertical_) {
                            curY = m.Top;
                            curX += 6;
                        } else {
                            curX = m.Left;
                            curY += 6;
                        }
                        overflowed = false;
                        continue;
                    }
                } else if (at + length > wrapAt) {
                    ++result_.WrappedLines;
                    wrapped_ = true;
                    if (vertical_) {
                        curY = m.Top;
                        curX += lineWidth_;
                    } else {
                        curX = m.Left;
                        curY += lineHeight_;
                    }
                    overflowed = true;
                    finishLine();
                }
            }
            line_.push_back(i);
            lineWidth_ = std::max(lineWidth_, size.cx);
            lineHeight_ = std::max(lineHeight_, size.cy);
            pos.Rect = Rect(0, 0, size.cx, size.cy);
            OffsetRect(pos.Rect, std::max(curX, 0), std::max(curY, 0));
            if (!flows || vertical_)
                curY += size.cy;
            else
                curX += size.cx;
            grow(pos.Rect);
        }
        finishLine();
    }

    void mirror() {
        for (int i = 0; i < count_; ++i) {
            if (!shown(i))
                continue;
            TRect& r = result_.Positions[i].Rect;
            int left = newSize_.cx - r.Right, right = newSize_.cx - r.Left;
            r.Left = left;
            r.Right = right;
        }
    }

    void finishToolbar() {
        if (params_.Orientation == tbvoFloating) {
            newSize_.cx += params_.Margins.Right;
            newSize_.cy += params_.Margins.Bottom;
        }
        if (params_.IsToolbar)
            for (int i = 0; i < count_; ++i) {
                TTBLayoutPosition& pos = result_.Positions[i];
                if (!pos.Show || !pos.LineSep)
                    continue;
                if (vertical_)
                    pos.Rect.Bottom = newSize_.cy;
                else
                    pos.Rect.Right = newSize_.cx;
            }
        result_.NewSize = newSize_;
    }

    void placeChevron() {
        if (!result_.Shrunk || count_ == 0 || !items_[count_ - 1].IsChevron)
            return;
        TTBLayoutPosition& pos = result_.Positions[count_ - 1];
        pos.Show = true;
        if (vertical_)
            pos.Rect = Bounds(0, std::max(chevronOffset_, newSize_.cy), newSize_.cx, params_.ChevronSize);
        else
            pos.Rect = Bounds(std::max(chevronOffset_, newSize_.cx), 0, params_.ChevronSize, newSize_.cy);
    }

    const std::vector<TTBLayoutItem>& items_;
    const TTBLayoutParams& params_;
    const TTBMeasureViewer& measure_;
    const int count_;
    const bool vertical_;
    std::vector<TSize> sizes_;
    TTBLayoutResult result_;
    bool measured_ = false;
    int fullLength_ = 0;
    int length_ = 0;
    int chevronOffset_ = 0;
    bool wrapped_ = false;
    TSize newSize_;
    std::vector<int> line_;
    int lineWidth_ = 0;
    int lineHeight_ = 0;
};

} // namespace

TTBLayoutResult CalculateLayout(const std::vector<TTBLayoutItem>& items, const TTBLayoutParams& params,
                                const TTBMeasureViewer& measure) {
    return TLayout(items, params, measure).Run();
}
