#pragma once
// Document text across the boundary with the web engine (platform code
// only: Qt types).
//
// Into the engine, each document byte becomes one Unicode character through
// the lossless code-page map (the five bytes Windows-1252 leaves undefined
// become the C1 controls of the same number), and the page reaches the
// engine as UTF-8 under a transport charset, which outranks any charset the
// page declares in a META tag.  Out of the engine, each character maps back
// to its byte, so every byte the page had returns as it was; characters the
// user added that the code page lacks become numeric character references
// instead of being lost.  The engine's parser turns CR LF into LF; line
// breaks come back as CR LF, the program's own.

#include <QString>

#include <string>
#include <string_view>

QString DocumentToPageText(std::string_view document);
std::string PageTextToDocument(const QString& text);
