#pragma once
// The texts a memo had, oldest first, and the check that undoing walks back
// through them: every undo step must reach one of them, never newer than the
// one before it, down to the first.  An undo that reaches a text the memo
// never had has split an action.

#include "editor/CodeMemo.h"

#include "fuzz/FuzzInput.h"

#include <string>
#include <vector>

inline void CheckUndoWalksBack(TCodeMemo& memo, const std::vector<std::string>& history) {
    size_t reached = history.size() - 1;
    while (memo.CanUndo()) {
        memo.Undo();
        memo.CheckConsistency();
        while (reached > 0 && history[reached] != memo.Text())
            --reached;
        FuzzCheck(history[reached] == memo.Text());
    }
    FuzzCheck(memo.Text() == history.front());
}
