#pragma once
// What the editing primitive works out before it changes anything.

#include "editor/CodeMemo.h"

#include <string>
#include <string_view>
#include <vector>

// Splits inserted text into paragraph pieces.  CR LF, a lone CR and LF CR
// are paragraph breaks; an LF on its own (or in front of a CR LF) is an
// ordinary character.  There is always at least one piece.
void SplitIntoPieces(std::string_view text, std::vector<std::string>& pieces);

struct TCodeMemo::TEditPlan {
    int32_t from = 0;  // absolute range replaced
    int32_t to = 0;
    int32_t S = 0;  // paragraph and offset of from
    int32_t s = 0;
    int32_t E = 0;  // paragraph and offset of to
    int32_t e = 0;
    std::vector<std::string> pieces;  // closing style codes included in the last
    int32_t inserted = 0;             // offsets the pieces take, breaks counting 2
    std::string removed;              // the replaced text, for undo
};

struct TCodeMemo::TSurgeryResult {
    int32_t paragraphDelta = 0;   // paragraphs added minus paragraphs removed
    int32_t lineDelta = 0;        // display lines added minus removed
    int32_t removedContexts = 0;  // context records the edit removed
    int32_t startLine = 0;        // display line of the start paragraph holding the edit start
    TContextRecord A;             // context in force at the edit start, before the edit
    TContextRecord Z;             // context in force at the old end
};
