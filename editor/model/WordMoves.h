#pragma once
// Moving a navigator by words and within its display line, as the keyboard
// and the mouse do.  Words end at the document's separators and at line
// breaks (the CR and LF of a paragraph break).

#include <cstdint>

class TCodeNavigator;

// A character that ends a word: a separator of the navigator's document,
// CR or LF.
bool IsWordBoundary(const TCodeNavigator& navigator, char c);
// Back to the first character of the word before the position.
void ToWordStart(TCodeNavigator& navigator);
// On to the end of the word at the position.
void ToWordEnd(TCodeNavigator& navigator);
// On over the separators that follow, not over a paragraph break.
void OverSeparatorsInLine(TCodeNavigator& navigator);
// To a column of the navigator's display line.  The end of a wrapped line
// is the next line's start: a column past a wrapped line's text stays on
// that line, before its last character.
void PlaceInLine(TCodeNavigator& navigator, int32_t column);
