#include "toolbars/TBDockLayout.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace {

// The work record of one bar, in layout order.
struct TRecord {
    int Bar = 0;
    // Wide enough that no stored row number overflows as rows are pushed.
    long long Row = -1;   // -1 for a bar that is not shown
    long long Stored = 0; // the row it keeps (shown or not)
    int Requested = 0;
    bool FullSize = false;
    bool WantsOwnRow = false;
    int Gap = 0;
    int Full = 0;
    int Current = 0;
    int Minimum = 0;
    int Overlap = 0;
    TTBShrinkMode Mode = tbsmNone;
    int Pos = 0;
};

class TLayout {
public:
    TLayout(const TTBDockLayoutInput& input, const TTBDockBarMeasure& measure) : in_(input), measure_(measure) {}

    TTBDockLayoutResult Run() {
        TTBDockLayoutResult result;
        const auto& bars = in_.Bars;
        result.Places.resize(bars.size());
        result.AnyShown = std::any_of(bars.begin(), bars.end(), [](const TTBDockLayoutBar& b) { return b.Shown; });
        if (!result.AnyShown)
            return result;
        sort(result.Order);
        for (int bar : result.Order) {
            const TTBDockLayoutBar& b = bars[bar];
            TRecord r;
            r.Bar = bar;
            r.Stored = std::max(0, b.DockRow);
            r.Row = b.Shown ? r.Stored : -1;
            r.Requested = b.DockPos;
            r.FullSize = b.FullSize;
            r.WantsOwnRow = b.WantsOwnRow;
            records_.push_back(r);
        }
        if (!in_.LimitToOneRow)
            giveOwnRows([](const TRecord& r) { return r.WantsOwnRow; });
        giveOwnRows([](const TRecord& r) { return r.FullSize; });
        closeEmptyRows();
        for (long long row = 0; row <= maxRow_; ++row)
            layoutRow(row, result.CrowdedRow);
        placeRows(result);
        return result;
    }

private:
    // By (row, position), keeping list order among equals.  A bar dragged
    // in a locked row keeps the index it had.
    void sort(std::vector<int>& order) const {
        const auto& bars = in_.Bars;
        order.resize(bars.size());
        std::iota(order.begin(), order.end(), 0);
        auto key = [&](int i) { return std::pair(std::max(0, bars[i].DockRow), bars[i].DockPos); };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
        int drag = in_.DragIndex;
        if (in_.RowLocked && drag >= 0 && drag < static_cast<int>(bars.size())) {
            order.erase(std::find(order.begin(), order.end(), drag));
            order.insert(order.begin() + drag, drag);
        }
    }

    long long maxShownRow() const {
        long long highest = -1;
        for (const TRecord& r : records_)
            highest = std::max(highest, r.Row);
        return highest;
    }

    // The smallest row at or after row that a shown bar is in, or -1.
    long long nextOccupiedRow(long long row) const {
        long long best = -1;
        for (const TRecord& r : records_)
            if (r.Row >= row && (best < 0 || r.Row < best))
                best = r.Row;
        return best;
    }

    // Each bar that wants a row of its own and shares one pushes the other
    // shown bars of its row and after it one row down.
    template <class Wants> void giveOwnRows(Wants wants) {
        for (long long row = nextOccupiedRow(0); row >= 0; row = nextOccupiedRow(row + 1)) {
            for (TRecord& r : records_) {
                if (r.Row != row || !wants(r))
                    continue;
                bool shared = std::any_of(records_.begin(), records_.end(),
                                          [&](const TRecord& o) { return &o != &r && o.Row == row; });
                if (!shared)
                    continue;
                for (TRecord& o : records_)
                    if (&o != &r && o.Row >= row) {
                        ++o.Row;
                        ++o.Stored;
                    }
            }
        }
    }

    // Rows without a shown bar close up; a remembered row moves up by the
    // empty rows before it.
    void closeEmptyRows() {
        std::set<long long> occupied;
        for (const TRecord& r : records_)
            if (r.Row >= 0)
                occupied.insert(r.Row);
        auto rowsBefore = [&](long long row) {
            return static_cast<long long>(std::distance(occupied.begin(), occupied.lower_bound(row)));
        };
        for (TRecord& r : records_) {
            if (r.Row >= 0)
                r.Row = rowsBefore(r.Row);
            r.Stored = rowsBefore(r.Stored);
        }
        maxRow_ = maxShownRow();
    }

    void layoutRow(long long row, bool& crowded) {
        int available = in_.AvailableLength;
        std::vector<size_t> members;
        long long minimumSum = 0, total = 0;
        for (size_t k = 0; k < records_.size(); ++k) {
            TRecord& r = records_[k];
            if (r.Row != row)
                continue;
            r.Full = r.Current = std::max(0, measure_.FullLength(r.Bar));
            r.Mode = measure_.ShrinkMode(r.Bar);
            r.Minimum = std::clamp(measure_.ShrinkLimit(r.Bar), 0, r.Full);
            minimumSum += r.Mode == tbsmChevron ? r.Minimum : r.Full;
            if (!members.empty() && minimumSum > available) {
                // This bar and the rest of its row start a new row; every
                // row after it moves down (also rows whose bars sort
                // before this one, as own rows may leave them).
                for (size_t j = 0; j < records_.size(); ++j) {
                    TRecord& o = records_[j];
                    if (o.Row > row || (o.Row == row && j >= k))
                        ++o.Row;
                    if (o.Stored > row || (o.Stored == row && j >= k))
                        ++o.Stored;
                }
                ++maxRow_;
                break;
            }
            members.push_back(k);
            total += r.Full;
        }
        long long overflow = total - available;
        int dragMember = placeRequested(members, overflow);
        if (overflow < 0 && dragMember > 0)
            trimGaps(members, static_cast<size_t>(dragMember - 1), dragPos_);
        if (!members.empty())
            trimGaps(members, members.size() - 1, available);
        if (overflow > 0)
            shrinkForOverlaps(members, overflow, crowded);
        if (overflow > 0)
            shrinkFromTheEnd(members, overflow);
        int end = 0;
        for (size_t k : members) {
            TRecord& r = records_[k];
            r.Pos = end + r.Gap;
            end = r.Pos + r.Current;
        }
    }

    bool isDrag(const TRecord& r) const { return r.Bar == in_.DragIndex; }

    // Turns requested positions into gaps and overlaps; returns the dragged
    // bar's place among the members, or -1.
    int placeRequested(const std::vector<size_t>& members, long long overflow) {
        long long shift = 0, placed = 0, minPos = 0, prevEnd = 0;
        int dragMember = -1;
        for (size_t m = 0; m < members.size(); ++m) {
            TRecord& r = records_[members[m]];
            long long pos = r.Requested + shift;
            if (isDrag(r)) {
                dragMember = static_cast<int>(m);
                dragPos_ = clampToInt(pos);
            }
            pos = std::max(pos, minPos);
            if (pos > placed) {
                if (overflow <= 0 && !r.FullSize)
                    r.Gap = clampToInt(pos - placed);
                else
                    shift += pos - placed;
                placed = pos;
            } else if (prevEnd > pos) {
                r.Overlap = clampToInt(prevEnd - pos);
            }
            placed += r.Current;
            prevEnd = pos + r.Current;
            minPos += r.Minimum;
        }
        return dragMember;
    }

    // Takes gaps away, last first, until member last ends at or before
    // limit.
    void trimGaps(const std::vector<size_t>& members, size_t last, int limit) {
        long long excess = -static_cast<long long>(limit);
        for (size_t m = 0; m <= last; ++m)
            excess += static_cast<long long>(records_[members[m]].Gap) + records_[members[m]].Current;
        for (size_t m = last + 1; m-- > 0 && excess > 0;) {
            TRecord& r = records_[members[m]];
            int give = static_cast<int>(std::min<long long>(excess, r.Gap));
            r.Gap -= give;
            excess -= give;
        }
    }

    static int shrink(TRecord& r, long long amount) {
        int give = static_cast<int>(std::min<long long>(amount, r.Current - r.Minimum));
        give = std::max(give, 0);
        r.Current -= give;
        return give;
    }

    // A bar placed over the one before it shrinks the chevron bars before
    // it (not past the dragged bar).
    void shrinkForOverlaps(const std::vector<size_t>& members, long long& overflow, bool& crowded) {
        long long pending = 0;
        for (size_t m = 0; m < members.size(); ++m) {
            const TRecord& r = records_[members[m]];
            if (members.size() > 1 && isDrag(r))
                crowded = true;
            pending = std::min(pending + r.Overlap, overflow);
            for (size_t j = m; pending > 0 && j-- > 0;) {
                TRecord& before = records_[members[j]];
                if (before.Mode == tbsmChevron) {
                    int given = shrink(before, pending);
                    overflow -= given;
                    pending -= given;
                }
                if (isDrag(before))
                    break;
            }
        }
    }

    void shrinkFromTheEnd(const std::vector<size_t>& members, long long& overflow) {
        for (size_t m = members.size(); m-- > 0 && overflow > 0;) {
            TRecord& r = records_[members[m]];
            if (r.Mode == tbsmChevron || (r.Mode == tbsmWrap && members.size() == 1))
                overflow -= shrink(r, overflow);
        }
    }

    void placeRows(TTBDockLayoutResult& result) {
        const size_t rows = static_cast<size_t>(maxRow_ + 1);
        std::vector<int> thickness(rows, 0), least(rows, 0);
        for (TRecord& r : records_) {
            if (r.Row < 0)
                continue;
            TTBDockBarPlace& place = result.Places[r.Bar];
            place.ShrunkLength = r.Current == r.Full ? 0 : r.Current;
            place.Thickness = measure_.Thickness(r.Bar, place.ShrunkLength);
            const int narrowest = measure_.LeastThickness ? measure_.LeastThickness(r.Bar) : -1;
            const size_t row = static_cast<size_t>(r.Row);
            thickness[row] = std::max(thickness[row], place.Thickness);
            least[row] = std::max(least[row], narrowest < 0 ? place.Thickness : std::min(narrowest, place.Thickness));
        }
        for (size_t row = 0; row < rows; ++row)
            if (thickness[row] != 0) {
                thickness[row] += kTBDockedFrameThickness;
                least[row] += kTBDockedFrameThickness;
            }
        narrowRows(thickness, least);
        int offset = 0;
        for (size_t row = 0; row < rows; ++row) {
            for (TRecord& r : records_)
                if (r.Row == static_cast<long long>(row)) {
                    TTBDockBarPlace& place = result.Places[r.Bar];
                    // A bar in a narrowed row is given what the row has.
                    if (thickness[row] != 0)
                        place.Thickness = std::min(place.Thickness, thickness[row] - kTBDockedFrameThickness);
                    place.RowThickness = thickness[row];
                    int length = r.FullSize ? in_.AvailableLength : r.Current;
                    place.Bounds = Bounds(r.Pos, offset, length, thickness[row]);
                }
            offset += thickness[row];
        }
        for (const TRecord& r : records_) {
            TTBDockBarPlace& place = result.Places[r.Bar];
            place.Row = static_cast<int>(r.Stored);
            place.Member = r.Row >= 0;
            place.Pos = place.Member ? r.Pos : r.Requested;
            place.Length = r.Current;
        }
        result.RowCount = static_cast<int>(maxRow_ + 1);
        result.Thickness = offset;
    }

    // Rows thicker together than the dock may be give up thickness from
    // the last row up, each down to its least.
    void narrowRows(std::vector<int>& thickness, const std::vector<int>& least) const {
        if (in_.MaxThickness <= 0)
            return;
        long long excess = -static_cast<long long>(in_.MaxThickness);
        for (int t : thickness)
            excess += t;
        for (size_t row = thickness.size(); row-- > 0 && excess > 0;) {
            const int give = static_cast<int>(std::min<long long>(excess, thickness[row] - least[row]));
            thickness[row] -= give;
            excess -= give;
        }
    }

    static int clampToInt(long long value) {
        return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
    }

    const TTBDockLayoutInput& in_;
    const TTBDockBarMeasure& measure_;
    std::vector<TRecord> records_;
    long long maxRow_ = -1;
    int dragPos_ = 0;
};

} // namespace

TTBDockLayoutResult LayoutDockBars(const TTBDockLayoutInput& input, const TTBDockBarMeasure& measure) {
    return TLayout(input, measure).Run();
}
