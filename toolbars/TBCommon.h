#pragma once
// Small routines that every part of the toolbar framework uses: captions
// with access keys ("&" marks the key, "&&" stands for one "&"), hints with
// a short and a long part, and integer helpers.

#include "platform/gfx/Geometry.h"

#include <string>
#include <string_view>

class TCanvas;

// The character after the last single "&" ("&&" is skipped), or 0.
char AccessKeyOf(std::string_view caption);
// The caption as shown: every single "&" removed, "&&" turned into "&".
std::string StripAccessKeys(std::string_view caption);
// The caption's width on the canvas; with prefix the "&" markers are taken
// out first, as they are when the caption is drawn.
int CaptionTextWidth(TCanvas& canvas, std::string_view caption, bool prefix);
// A file name or any other literal text as a caption: each "&" doubled, so
// that none of them marks an access key.
std::string EscapeAccessKeys(std::string_view text);

// The two parts of a hint "short|long": the text before the first "|" and
// the text after it (the whole hint when there is no "|").
std::string ShortHintOf(std::string_view hint);
std::string LongHintOf(std::string_view hint);

// a / b, moved one away from zero when there is a remainder.
int DivideAwayFromZero(int a, int b);

// Upper case of one character as the menus compare access keys.
char UpperCaseKey(char c);
