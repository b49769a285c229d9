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

void TCodeMemo::deleteUndoEntry(size_t index) {
    undoTotal_ -= undoList_[index].Size();
    undoList_.erase(undoList_.begin() + static_cast<std::ptrdiff_t>(index));
    if (static_cast<int32_t>(index) < undoPosition_)
        --undoPosition_;
    // An entry grouped with one that is gone stands alone now.
    if (index == 0 && !undoList_.empty())
        undoList_.front().Grouped = false;
}

void TCodeMemo::trimUndoSpace() {
    while (undoTotal_ > undoMaxSpace_ && static_cast<int32_t>(undoList_.size()) > undoPosition_)
        deleteUndoEntry(undoList_.size() - 1);
    while (undoTotal_ > undoMaxSpace_ && undoPosition_ >= 1)
        deleteUndoEntry(0);
}

void TCodeMemo::applyUndoLevel() {
    size_t keep = static_cast<size_t>(std::max(undoPosition_, undoMaxLevel_));
    while (undoList_.size() > keep)
        deleteUndoEntry(undoList_.size() - 1);
    while (undoMaxLevel_ < undoPosition_)
        deleteUndoEntry(0);
}

void TCodeMemo::SetUndoMaxLevel(int32_t value) {
    if (value > kMaxUndoLevel)
        throw EListError("Undo set too high");
    undoMaxLevel_ = std::max(value, 0);
    applyUndoLevel();
}

void TCodeMemo::SetUndoMaxSpace(int32_t value) {
    undoMaxSpace_ = std::max(value, 0);
    trimUndoSpace();
}
