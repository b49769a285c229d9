#pragma once
// One line of text drawn into a rectangle, as controls draw their captions
// and cells: aligned left, centred or right, at the top or centred
// vertically, clipped to the rectangle, cut with "..." when it is wider
// than the rectangle (EndEllipsis), and with the access-key marker "&"
// taken out and its character underlined (unless NoPrefix; "&&" is one
// "&").  The text is drawn in the canvas's font and colour, with its
// background mode and colour.

#include "platform/gfx/Geometry.h"

#include <string>
#include <string_view>

class TCanvas;

enum TTextHAlign { thLeft, thCenter, thRight };

struct TTextLineFormat {
    TTextHAlign Align = thLeft;
    bool VCenter = false;
    bool EndEllipsis = false;
    bool NoPrefix = false;
};

// Draws the text; returns the rectangle the drawn text covers.
TRect DrawTextLine(TCanvas& canvas, std::string_view text, const TRect& rect, const TTextLineFormat& format);
// The width and height the text takes (markers taken out; at least one
// line high, also for empty text).
TSize MeasureTextLine(TCanvas& canvas, std::string_view text, const TTextLineFormat& format);
// A caption's access key: "&x" shows x and makes it the key, "&&" shows
// one "&", a lone "&" at the end shows nothing.  The text as shown, and the
// index in it of the key's character (the last one marked; -1 for none).
struct TAccessKeyText {
    std::string Text;
    int Key = -1;
};
TAccessKeyText ParseAccessKey(std::string_view caption);
// The key's character (a whole UTF-8 character of the caption), or 0; the
// caption as shown.
char32_t AccessKeyOf(std::string_view caption);
std::string StripAccessKeys(std::string_view caption);
// The one comparison of typed characters with captions, for menus,
// toolbars, buttons and labels alike: whole characters, compared after
// case folding, so that "e" picks "&Edit" and "é" picks "&Édition".
bool SameKeyCharacter(char32_t typed, char32_t shown);
// Whether typed is the caption's access key.
bool IsAccessKey(char32_t typed, std::string_view caption);

// The longest start of the text that, followed by "...", is at most width
// pixels wide ("..." alone, or as much of it as fits, when nothing of the
// text does); the text itself when it fits.
std::string EllipsisText(TCanvas& canvas, std::string_view text, int width);
// A path cut to width pixels so that its name shows: the path itself when
// it fits, else with characters taken out of the middle of its folders and
// "..." in their place (as much of the start and of the end of the folders
// as fits), the last "/" and the name whole.  A name too wide for that on
// its own loses the middle of the name instead.
std::string PathEllipsisText(TCanvas& canvas, std::string_view path, int width);
