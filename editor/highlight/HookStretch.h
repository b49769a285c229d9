#pragma once
// What a highlighter's start and stop hooks look at: the stretch of one
// paragraph between the two navigators they are given.

#include "editor/model/CodeNavigator.h"
#include "editor/model/TextStore.h"

#include <algorithm>
#include <cstdint>

class TCodeDocument;

// The stretch of text a hook examines: the position's paragraph from the
// position to the limit, or to the paragraph's end when the limit lies in
// another paragraph (or document).  Document is nullptr for a position in
// no document.
struct THookStretch {
    TCodeDocument* Document = nullptr;
    TParagraph* Paragraph = nullptr;
    int32_t Index = 0;     // the paragraph
    int32_t Start = 0;     // its absolute offset
    int32_t Position = 0;  // offsets within it
    int32_t Limit = 0;
};
// Inline: every hook a parse calls asks for it first.
inline THookStretch HookStretchOf(TCodeNavigator& position, TCodeNavigator& limit) {
    THookStretch stretch;
    stretch.Document = position.Document();
    if (stretch.Document == nullptr)
        return stretch;
    stretch.Paragraph = position.Paragraph();
    stretch.Index = position.ParNumber();
    stretch.Start = position.Pos() - position.ParOffset();
    const int32_t length = stretch.Paragraph->Length();
    stretch.Position = std::clamp(position.ParOffset(), 0, length);
    stretch.Limit = limit.Document() == stretch.Document && limit.ParNumber() == stretch.Index ? limit.ParOffset() : length;
    stretch.Limit = std::clamp(stretch.Limit, stretch.Position, length);
    return stretch;
}

