#include "editor/model/UndoHistory.h"

#include "editor/model/ScopeGuards.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

bool TUndoHistory::CanRedo() const {
    const auto count = static_cast<int32_t>(entries_.size());
    return undoing_ ? count >= position_ : count > position_;
}

void TUndoHistory::Clear() {
    entries_.clear();
    position_ = 0;
    total_ = 0;
}

void TUndoHistory::Record(int32_t from, int32_t to, int32_t inserted, std::string removed, std::string breaks) {
    if (!replaying_) {
        // A new edit makes the undone entries unreachable.
        eraseEntries(static_cast<size_t>(position_), entries_.size());
    }
    bool newEntry = from != to || position_ == 0 || replaying_ || breakGrouping_;
    if (!newEntry) {
        const TUndoEntry& last = entries_[static_cast<size_t>(position_ - 1)];
        newEntry = !(last.Stop == from && last.Start != from);
    }
    breakGrouping_ = false;
    if (!newEntry) {
        // Consecutive typing becomes one entry.
        entries_[static_cast<size_t>(position_ - 1)].Stop = from + inserted;
        return;
    }
    TUndoEntry entry;
    entry.Start = from;
    entry.Stop = from + inserted;
    entry.Text = std::move(removed);
    entry.Breaks = std::move(breaks);
    const int64_t size = entry.Size();
    if (position_ < static_cast<int32_t>(entries_.size())) {
        total_ -= entries_[static_cast<size_t>(position_)].Size();
        entries_[static_cast<size_t>(position_)] = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
    }
    total_ += size;
    ++position_;
}

void TUndoHistory::GroupWithPrevious(int32_t entry) {
    if (entry >= 1 && position_ > entry)
        entries_[static_cast<size_t>(entry)].Grouped = true;
}

void TUndoHistory::GroupLast() {
    if (position_ >= 2)
        entries_[static_cast<size_t>(position_ - 1)].Grouped = true;
}

void TUndoHistory::Undo(const TReplace& replace) {
    // A step is undone entry by entry in a loop, never by recursion, so
    // that a step of any length (a Replace All of many matches) fits the
    // stack.  The inverse of each entry stands at the position after it is
    // replayed; the inverses of entries that were grouped with the one
    // before them are marked once the whole step is undone, so that redo
    // brings the whole chain back.
    std::vector<size_t> grouped;
    for (bool more = true; more && position_ > 0;) {
        const TUndoEntry entry = entries_[static_cast<size_t>(position_ - 1)];
        breakGrouping_ = true;
        {
            TRestoreOnExit<bool> replay(replaying_, true);
            TRestoreOnExit<bool> undoing(undoing_, true);
            TRestoreOnExit<const TUndoEntry*> replayed(replayed_, &entry);
            --position_;
            const int32_t before = position_;
            try {
                replace(entry.Start, entry.Stop, entry.Text);
            } catch (...) {
                // Refused before anything changed: the entry stays undoable.
                // Changed, then a handler raised: the inverse is in its place.
                if (position_ == before)
                    ++position_;
                else if (position_ > 0)
                    --position_;
                throw;
            }
            if (position_ > 0)
                --position_;
        }
        more = entry.Grouped;
        if (more)
            grouped.push_back(static_cast<size_t>(position_));
    }
    for (size_t inverse : grouped)
        if (inverse < entries_.size())
            entries_[inverse].Grouped = true;
}

void TUndoHistory::Redo(const TReplace& replace) {
    // As Undo: a loop over the step, the entries after the first marked
    // again at the end (their inverses replaced them without the mark).
    std::vector<size_t> grouped;
    for (bool more = true; more;) {
        const auto count = static_cast<int32_t>(entries_.size());
        if (position_ >= count)
            break;
        const auto index = static_cast<size_t>(position_);
        const TUndoEntry entry = entries_[index];
        more = position_ + 1 < count && entries_[index + 1].Grouped;
        breakGrouping_ = true;
        {
            TRestoreOnExit<bool> replay(replaying_, true);
            TRestoreOnExit<const TUndoEntry*> replayed(replayed_, &entry);
            replace(entry.Start, entry.Stop, entry.Text);
        }
        if (more)
            grouped.push_back(index + 1);
    }
    for (size_t next : grouped)
        if (next < entries_.size())
            entries_[next].Grouped = true;
}

void TUndoHistory::eraseEntries(size_t from, size_t to) {
    if (from >= to)
        return;
    for (size_t i = from; i < to; ++i)
        total_ -= entries_[i].Size();
    const auto position = static_cast<size_t>(position_);
    position_ -= static_cast<int32_t>(std::min(to, position) - std::min(from, position));
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(from),
                   entries_.begin() + static_cast<std::ptrdiff_t>(to));
    if (!entries_.empty())
        entries_.front().Grouped = false;
}

void TUndoHistory::dropRedoStepsBeyond(size_t index) {
    // A redo step is kept whole or not at all: the cut moves back to the
    // start of the step it falls into (steps never straddle the position).
    const auto position = static_cast<size_t>(position_);
    index = std::max(index, position);
    while (index > position && index < entries_.size() && entries_[index].Grouped)
        --index;
    eraseEntries(index, entries_.size());
}

void TUndoHistory::dropOldestSteps(int32_t steps) {
    size_t end = 0;
    const auto position = static_cast<size_t>(position_);
    for (; steps > 0 && end < position; --steps) {
        ++end;
        while (end < position && entries_[end].Grouped)
            ++end;
    }
    eraseEntries(0, end);
}

bool TUndoHistory::holdsOlderSteps() const {
    size_t end = 1;
    const auto position = static_cast<size_t>(position_);
    while (end < position && entries_[end].Grouped)
        ++end;
    return end < position;
}

void TUndoHistory::trim() {
    // Space: the redo steps go first, the newest of them first, then the
    // oldest undo steps.  The step just done stays whatever its size, so
    // that a large deletion can always be taken back; only a history kept
    // without any space (undo switched off) holds nothing.
    while (total_ > maxSpace_ && static_cast<int32_t>(entries_.size()) > position_)
        dropRedoStepsBeyond(entries_.size() - 1);
    while (total_ > maxSpace_ && position_ >= 1 && (maxSpace_ == 0 || holdsOlderSteps()))
        dropOldestSteps(1);
    // Level: the steps before the position.  They are never more than the
    // entries, so most calls end at the first test.
    if (position_ <= maxLevel_)
        return;
    int32_t steps = 0;
    for (int32_t i = 0; i < position_; ++i)
        steps += entries_[static_cast<size_t>(i)].Grouped ? 0 : 1;
    if (steps > maxLevel_)
        dropOldestSteps(steps - maxLevel_);
}

void TUndoHistory::SetMaxLevel(int32_t value) {
    if (value > kMaxLevel)
        throw EListError("Undo set too high");
    maxLevel_ = std::max(value, 0);
    dropRedoStepsBeyond(static_cast<size_t>(maxLevel_));
    trim();
}

void TUndoHistory::SetMaxSpace(int32_t value) {
    maxSpace_ = std::max(value, 0);
    trim();
}
