#pragma once
// A message box's label wraps only where the text may break (blanks,
// hyphens), so a long file name in a message would make the box as wide
// as the name, wider than the screen.  The text is given an invisible
// break chance (a zero-width space) every so many characters of a run
// that has none, which lets the label wrap it like any other text.

#include <QString>

QString WithBreakChances(const QString& text, int longestRun = 32);
