#pragma once
// What the edit primitive works out before it changes anything, and what
// the change of the paragraphs reports to the steps after it.

#include "editor/model/CodeDocument.h"

#include <string>
#include <string_view>
#include <vector>

// Splits inserted text into paragraph pieces.  CR LF, a lone CR and LF CR
// are paragraph breaks; an LF on its own (or in front of a CR LF) is an
// ordinary character.  There is always at least one piece.
void SplitIntoPieces(std::string_view text, std::vector<std::string>& pieces);

struct TCodeDocument::TEditPlan {
    int32_t From = 0;  // absolute range replaced
    int32_t To = 0;
    int32_t StartParagraph = 0;  // where From lies
    int32_t StartOffset = 0;
    int32_t EndParagraph = 0;  // where To lies
    int32_t EndOffset = 0;
    std::vector<std::string> Pieces;  // closing style codes included in the last
    int32_t Inserted = 0;             // offsets the pieces take, breaks counting 2
    std::string Removed;              // the replaced text, for undo
    // The paragraph of the new text that holds the last piece.
    int32_t LastNewParagraph() const { return StartParagraph + static_cast<int32_t>(Pieces.size()) - 1; }
    int32_t Delta() const { return Inserted - (To - From); }
};

struct TCodeDocument::TSurgery {
    int32_t ParagraphDelta = 0;   // paragraphs added minus paragraphs removed
    int32_t LineDelta = 0;        // display lines added minus removed
    int32_t RemovedContexts = 0;  // context records the edit removed
    int32_t StartLine = 0;        // line of the start paragraph holding the edit start
    TContextState ContextAtStart;   // in force at the edit start, before the edit
    TContextState ContextAtEnd;     // in force at the old end
};
