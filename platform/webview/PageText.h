#pragma once
// Document text across the boundary with the web engine (platform code
// only: Qt types).
//
// Into the engine, a document in the 8-bit code page has each byte become
// one Unicode character through the lossless code-page map (the five bytes
// Windows-1252 leaves undefined become the C1 controls of the same number);
// a UTF-8 document has each character become itself (a byte outside a
// valid sequence its character of the code page).  The page reaches the
// engine as UTF-8 under a transport charset, which outranks any charset the
// page declares in a META tag.  Out of the engine, a code-page document has
// each character map back to its byte, so every byte the page had returns
// as it was, and characters the user added that the code page lacks become
// numeric character references instead of being lost; a UTF-8 document
// comes back as UTF-8.  The engine's parser turns CR LF into LF; line
// breaks come back as CR LF, the program's own.

#include "platform/base/TextCodec.h"

#include <QString>

#include <string>
#include <string_view>

QString DocumentToPageText(std::string_view document, TTextEncoding encoding = teAnsi);
std::string PageTextToDocument(const QString& text, TTextEncoding encoding = teAnsi);
