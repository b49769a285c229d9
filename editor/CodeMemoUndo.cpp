// Undo and redo.  An entry remembers where a change began, where the text
// it inserted ends and the text it removed; replaying an entry through the
// editing primitive records the inverse change in its place.

#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

namespace {
constexpr int32_t kMaxUndoLevel = 134217727;
}

bool TCodeMemo::CanUndo() const { return undoPosition_ >= (undoing_ ? 2 : 1); }

bool TCodeMemo::CanRedo() const {
    auto count = static_cast<int32_t>(undoList_.size());
    return undoing_ ? count >= undoPosition_ : count > undoPosition_;
}

void TCodeMemo::Undo() {
    if (undoPosition_ <= 0)
        return;
    TUndoEntry entry = undoList_[static_cast<size_t>(undoPosition_ - 1)];
    selectRange(entry.Start, std::min(entry.Stop, textLength_));
    breakGrouping_ = true;
    {
        TRestoreOnExit<bool> replay(replaying_, true);
        TRestoreOnExit<bool> undoing(undoing_, true);
        TRestoreOnExit<bool> recording(UndoRecordingOff, false);
        --undoPosition_;
        int32_t before = undoPosition_;
        try {
            SetSelTextBuf(entry.Text);
        } catch (...) {
            // Refused before anything changed: the entry stays undoable.
            // Changed, then a handler raised: the inverse is in its place.
            if (undoPosition_ == before)
                ++undoPosition_;
            else if (undoPosition_ > 0)
                --undoPosition_;
            throw;
        }
        if (undoPosition_ > 0)
            --undoPosition_;
    }
    // The inverse of this entry now stands at the position.  When the entry
    // was grouped with the one before it, that one is undone too and the
    // inverse is marked, so that redo brings the whole chain back (however
    // long it is, not just its last two entries).
    const auto inverse = static_cast<size_t>(undoPosition_);
    if (entry.Grouped) {
        Undo();
        if (inverse < undoList_.size())
            undoList_[inverse].Grouped = true;
    }
}

void TCodeMemo::Redo() {
    auto count = static_cast<int32_t>(undoList_.size());
    if (undoPosition_ >= count)
        return;
    const auto index = static_cast<size_t>(undoPosition_);
    TUndoEntry entry = undoList_[index];
    bool followingGrouped =
        undoPosition_ + 1 < count && undoList_[static_cast<size_t>(undoPosition_ + 1)].Grouped;
    selectRange(entry.Start, std::min(entry.Stop, textLength_));
    breakGrouping_ = true;
    {
        TRestoreOnExit<bool> replay(replaying_, true);
        TRestoreOnExit<bool> recording(UndoRecordingOff, false);
        SetSelTextBuf(entry.Text);
    }
    // The entry after this one was grouped with it: redo it too and mark it
    // again (its inverse replaced it without the mark).
    if (followingGrouped) {
        Redo();
        if (index + 1 < undoList_.size())
            undoList_[index + 1].Grouped = true;
    }
}

void TCodeMemo::ClearUndo() {
    undoList_.clear();
    undoPosition_ = 0;
    undoTotal_ = 0;
}

void TCodeMemo::GroupLastUndo() {
    if (undoPosition_ >= 2)
        undoList_[static_cast<size_t>(undoPosition_ - 1)].Grouped = true;
}

void TCodeMemo::eraseUndoEntries(size_t from, size_t to) {
    if (from >= to)
        return;
    for (size_t i = from; i < to; ++i)
        undoTotal_ -= undoList_[i].Size();
    const auto position = static_cast<size_t>(undoPosition_);
    undoPosition_ -= static_cast<int32_t>(std::min(to, position) - std::min(from, position));
    undoList_.erase(undoList_.begin() + static_cast<std::ptrdiff_t>(from),
                    undoList_.begin() + static_cast<std::ptrdiff_t>(to));
    if (!undoList_.empty())
        undoList_.front().Grouped = false;
}

void TCodeMemo::dropRedoStepsBeyond(size_t index) {
    // A redo step is kept whole or not at all: the cut moves back to the
    // start of the step it falls into (steps never straddle the position).
    const auto position = static_cast<size_t>(undoPosition_);
    index = std::max(index, position);
    while (index > position && index < undoList_.size() && undoList_[index].Grouped)
        --index;
    eraseUndoEntries(index, undoList_.size());
}

void TCodeMemo::dropOldestUndoSteps(int32_t steps) {
    size_t end = 0;
    const auto position = static_cast<size_t>(undoPosition_);
    for (; steps > 0 && end < position; --steps) {
        ++end;
        while (end < position && undoList_[end].Grouped)
            ++end;
    }
    eraseUndoEntries(0, end);
}

void TCodeMemo::trimUndo() {
    // Space: the redo steps go first, the newest of them first, then the
    // oldest undo steps.
    while (undoTotal_ > undoMaxSpace_ && static_cast<int32_t>(undoList_.size()) > undoPosition_)
        dropRedoStepsBeyond(undoList_.size() - 1);
    while (undoTotal_ > undoMaxSpace_ && undoPosition_ >= 1)
        dropOldestUndoSteps(1);
    // Level: the steps before the position.  They are never more than the
    // entries, so most calls end at the first test.
    if (undoPosition_ <= undoMaxLevel_)
        return;
    int32_t steps = 0;
    for (int32_t i = 0; i < undoPosition_; ++i)
        steps += undoList_[static_cast<size_t>(i)].Grouped ? 0 : 1;
    if (steps > undoMaxLevel_)
        dropOldestUndoSteps(steps - undoMaxLevel_);
}

void TCodeMemo::SetUndoMaxLevel(int32_t value) {
    if (value > kMaxUndoLevel)
        throw EListError("Undo set too high");
    undoMaxLevel_ = std::max(value, 0);
    dropRedoStepsBeyond(static_cast<size_t>(undoMaxLevel_));
    trimUndo();
}

void TCodeMemo::SetUndoMaxSpace(int32_t value) {
    undoMaxSpace_ = std::max(value, 0);
    trimUndo();
}
