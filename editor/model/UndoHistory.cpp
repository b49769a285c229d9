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

void TUndoHistory::Record(int32_t from, int32_t to, int32_t inserted, std::string removed) {
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
    if (position_ <= 0)
        return;
    const TUndoEntry entry = entries_[static_cast<size_t>(position_ - 1)];
    breakGrouping_ = true;
    {
        TRestoreOnExit<bool> replay(replaying_, true);
        TRestoreOnExit<bool> undoing(undoing_, true);
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
    // The inverse of this entry now stands at the position.  When the entry
    // was grouped with the one before it, that one is undone too and the
    // inverse is marked, so that redo brings the whole chain back (however
    // long it is, not just its last two entries).
    const auto inverse = static_cast<size_t>(position_);
    if (entry.Grouped) {
        Undo(replace);
        if (inverse < entries_.size())
            entries_[inverse].Grouped = true;
    }
}

void TUndoHistory::Redo(const TReplace& replace) {
    const auto count = static_cast<int32_t>(entries_.size());
    if (position_ >= count)
        return;
    const auto index = static_cast<size_t>(position_);
    const TUndoEntry entry = entries_[index];
    const bool followingGrouped = position_ + 1 < count && entries_[index + 1].Grouped;
    breakGrouping_ = true;
    {
        TRestoreOnExit<bool> replay(replaying_, true);
        replace(entry.Start, entry.Stop, entry.Text);
    }
    // The entry after this one was grouped with it: redo it too and mark it
    // again (its inverse replaced it without the mark).
    if (followingGrouped) {
        Redo(replace);
        if (index + 1 < entries_.size())
            entries_[index + 1].Grouped = true;
    }
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

void TUndoHistory::trim() {
    // Space: the redo steps go first, the newest of them first, then the
    // oldest undo steps.
    while (total_ > maxSpace_ && static_cast<int32_t>(entries_.size()) > position_)
        dropRedoStepsBeyond(entries_.size() - 1);
    while (total_ > maxSpace_ && position_ >= 1)
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
