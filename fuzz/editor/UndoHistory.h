#pragma once
// The texts a document had, oldest first, and the check that undoing walks
// back through them: every undo step must reach one of them, never newer
// than the one before it, down to the first.  An undo that reaches a text
// the document never had has split an action.

#include "editor/model/TextSelection.h"

#include "fuzz/FuzzInput.h"

#include <string>
#include <vector>

inline void CheckUndoWalksBack(TTextSelection& selection, const std::vector<std::string>& history) {
    TCodeDocument& document = selection.Document();
    size_t reached = history.size() - 1;
    while (document.UndoHistory().CanUndo()) {
        selection.Undo();
        document.CheckConsistency();
        while (reached > 0 && history[reached] != document.Text())
            --reached;
        FuzzCheck(history[reached] == document.Text());
    }
    FuzzCheck(document.Text() == history.front());
}
