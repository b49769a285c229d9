#pragma once
// Small routines that every part of the toolbar framework uses: caption
// widths and integer helpers.  (Access keys are the platform's
// AccessKeyOf, SameKeyCharacter and StripAccessKeys; the short and long
// parts of hints its GetShortHint and GetLongHint.)

#include "platform/gfx/Geometry.h"
#include "platform/gfx/TextDrawing.h"

#include <string>
#include <string_view>

class TCanvas;

// The caption's width on the canvas; with prefix the "&" markers are taken
// out first, as they are when the caption is drawn.
int CaptionTextWidth(TCanvas& canvas, std::string_view caption, bool prefix);
// A file name or any other literal text as a caption: each "&" doubled, so
// that none of them marks an access key.
std::string EscapeAccessKeys(std::string_view text);

// a / b, moved one away from zero when there is a remainder.
int DivideAwayFromZero(int a, int b);
