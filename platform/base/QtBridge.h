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
