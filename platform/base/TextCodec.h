#pragma once
// The two encodings text is kept in, and the 8-bit code page's case rules.
//
// Text is bytes.  A document is either UTF-8 or the 8-bit code page
// (Windows-1252); the program's own text (captions, file names, messages)
// is UTF-8 (platform/base/Utf8.h).  Every boundary with Qt (painting,
// measuring, typing, the clipboard, web views, file names) converts through
// this codec pair (the Qt string forms are in platform/base/QtBridge.h).
// The code page is lossless for all 256 byte values: the five bytes it
// leaves undefined map to the C1 control characters of the same number and
// back.  In UTF-8 a byte outside a valid sequence stands for its character
// of the code page.

#include <cstddef>
#include <string>
#include <string_view>

enum TTextEncoding { teAnsi, teUtf8 };
// "Windows-1252" or "UTF-8", as the status bar shows it.
const char* TextEncodingName(TTextEncoding encoding);

// One byte to its Unicode character.
char16_t AnsiCharToUnicode(unsigned char byte);
// One Unicode character to its byte, or -1 when the code page has none.
int UnicodeToAnsiChar(char32_t character);
// The one byte a key handler (OnKeyPress) sees for a typed character: its
// byte of the code page, or '?' for a character the code page lacks.
char KeyCharOf(char32_t character);

// The code page's own case rules (letters with accents included).
unsigned char AnsiUpperChar(unsigned char byte);
unsigned char AnsiLowerChar(unsigned char byte);
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);
// Upper-cases a caller's buffer where it stands.
void AnsiUpperCaseInPlace(char* text, size_t length);
// Compares after upper-casing with the code page's rule: <0, 0 or >0.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// ASCII-only case rules, for names, keys and masks.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
void UpperCaseInPlace(char* text, size_t length);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
