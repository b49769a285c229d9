#pragma once
// The texts a document had, oldest first, and the check that undoing walks
// back through them: every undo step must reach one of them, never newer
// than the one before it, down to the first.  An undo that reaches a text
// the document never had has split an action.  The texts may be the
// document's own or spelt with its breaks' tags (TBreakTags), so that a
// break put back must be the one taken away.

#include "editor/model/TextSelection.h"

#include "fuzz/FuzzInput.h"

#include <functional>
#include <string>
#include <vector>

inline void CheckUndoWalksBack(TTextSelection& selection, const std::vector<std::string>& history,
                               const std::function<std::string()>& text = {}) {
    TCodeDocument& document = selection.Document();
    auto now = [&] { return text ? text() : document.Text(); };
    size_t reached = history.size() - 1;
    while (document.UndoHistory().CanUndo()) {
        selection.Undo();
        document.CheckConsistency();
        const std::string reachedText = now();
        while (reached > 0 && history[reached] != reachedText)
            --reached;
        FuzzCheck(history[reached] == reachedText);
    }
    FuzzCheck(now() == history.front());
}
