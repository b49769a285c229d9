#pragma once
// The platform's values as Qt's and back, for platform code only: code above
// platform/ never includes a QtBridge.h (nor any Qt header), so Qt stays
// an implementation detail of the platform layer.  This one holds text.

#include "platform/base/TextCodec.h"

#include <QString>

#include <string>
#include <string_view>

// Bytes of the code page to Qt text and back (see TextCodec.h); characters
// the code page can not hold become '?'.
QString AnsiToQString(std::string_view bytes);
std::string QStringToAnsi(const QString& text);

// UTF-8 (the program's own text: captions, file names, messages) to Qt
// text and back; a byte outside a valid sequence shows as its character of
// the code page.
QString Utf8ToQString(std::string_view bytes);
std::string QStringToUtf8(const QString& text);
// Text in either encoding.
QString BytesToQString(std::string_view bytes, TTextEncoding encoding);
std::string QStringToBytes(const QString& text, TTextEncoding encoding);

// The program's own text (UTF-8) in a Qt control and back, byte for byte:
// what a control shows, reads back the same.  A byte outside a valid
// sequence shows as the private-use character U+F700 + byte and reads back
// as that byte; a genuine U+F780..U+F7FF is shown byte by byte the same
// way, so that the mapping stays one to one.  Every edit box, list, grid,
// caption, hint and message crosses through this pair.
QString ProgramTextToQString(std::string_view text);
std::string QStringToProgramText(const QString& text);
// Positions across the pair: the Qt position of byte offset `at` of text
// (an offset inside a character counts as that character's start), and
// the byte offset in the program's text of Qt position `at` of a Qt text.
int QtPositionOfProgramText(std::string_view text, int at);
int ProgramTextOffsetOfQt(const QString& text, int at);
// The text's whole characters, at most `count` of them (all when negative):
// half of a UTF-16 pair alone is no character and is left out.
QString WholeCharacters(const QString& text, qsizetype count = -1);
