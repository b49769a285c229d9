#pragma once
// Edits that make one undo step however much text they change (Replace
// All, the entity conversion, a page brought back from the design view):
// while one of these lives the edits record as one action, and when it
// ends the document's undo space grows to hold the step if it is larger,
// so that Undo can always take the whole step back.  A history kept
// without space (undo switched off) stays without.

#include "editor/model/UndoHistory.h"

#include <cstdint>

class TWholeUndoStep {
public:
    explicit TWholeUndoStep(TUndoHistory& history);
    // Grows the space before the action ends, which is when the history
    // drops what its limits no longer hold.
    ~TWholeUndoStep();
    TWholeUndoStep(const TWholeUndoStep&) = delete;
    TWholeUndoStep& operator=(const TWholeUndoStep&) = delete;

private:
    TUndoHistory& history_;
    TUndoHistory::TAction action_;
    const int32_t first_; // the first entry the step records
};
