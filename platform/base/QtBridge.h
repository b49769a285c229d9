#pragma once
// The platform's values as Qt's and back, for platform code only: code above
// platform/ never includes a QtBridge.h (nor any Qt header), so Qt stays
// an implementation detail of the platform layer.  This one holds text.

#include <QString>

#include <string>
#include <string_view>

// Bytes of the code page to Qt text and back (see TextCodec.h); characters
// the code page can not hold become '?'.
QString AnsiToQString(std::string_view bytes);
std::string QStringToAnsi(const QString& text);
