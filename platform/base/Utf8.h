#pragma once
// UTF-8: the encoding of file names, of the program's own text and of most
// pages.  Text stays bytes; these functions find its characters.
//
// A byte that does not belong to a valid sequence (a stray continuation
// byte, a lead byte without its continuation, an overlong form, a
// surrogate, anything beyond U+10FFFF) is a character of its own, one byte
// long, so every byte string is a sequence of characters and nothing is
// ever dropped.  Such a byte is shown as its character of the 8-bit code
// page (TextCodec.h).

#include "platform/base/TextCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The length of the valid sequence that starts text (1 for ASCII), or 0
// when text starts with no valid sequence; codePoint gets its character.
size_t Utf8SequenceLength(std::string_view text, char32_t& codePoint);

// The bytes the character at offset `at` takes: its valid sequence, or 1.
inline size_t Utf8CharLength(std::string_view text, size_t at) {
    if (at >= text.size())
        return 1;
    if (static_cast<unsigned char>(text[at]) < 0x80)
        return 1;
    char32_t codePoint;
    const size_t length = Utf8SequenceLength(text.substr(at), codePoint);
    return length == 0 ? 1 : length;
}
// The start of the character that holds offset `at`: `at` itself when it
// starts one (or lies at or beyond the end), else the lead byte before it.
size_t Utf8CharStart(std::string_view text, size_t at);
inline bool IsUtf8CharBoundary(std::string_view text, size_t at) {
    // Only a continuation byte can stand inside a sequence.
    if (at == 0 || at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
        return true;
    return Utf8CharStart(text, at) == at;
}
// The start of the character before offset `at` (0 at the start).
size_t Utf8PreviousChar(std::string_view text, size_t at);
// The offset after the character at `at`.
inline size_t Utf8NextChar(std::string_view text, size_t at) { return at + Utf8CharLength(text, at); }
// The character at offset `at` (a byte outside a valid sequence is its
// character of the code page, as it shows); `at` moves past it.
char32_t Utf8CharacterAt(std::string_view text, size_t& at);
// The number of characters in text.
size_t Utf8CharCount(std::string_view text);

// Characters that are drawn as nothing and take no room (the byte-order
// mark, zero-width spaces and joiners, direction marks and embeddings,
// variation selectors, invisible operators, tag characters...): Unicode's
// default-ignorable code points.  Only the soft hyphen is left out: it is
// a character of the code page, and a UTF-8 page shows it as a code-page
// page shows that byte.
bool IsIgnorableCharacter(char32_t codePoint);

bool IsValidUtf8(std::string_view text);
// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// Text of the 8-bit code page as UTF-8 (each byte its character).
std::string AnsiToUtf8(std::string_view text);
// UTF-8 text in the 8-bit code page: bytes outside valid sequences stay as
// they are; a character the code page lacks becomes a numeric character
// reference ("&#20013;").  Returns false when one did.
bool Utf8ToAnsi(std::string_view text, std::string& out);

// The code page's case rules on UTF-8 text: a character the code page
// holds changes as its byte would (ASCII, accented letters, the ligatures
// and letters with carons); every other character and every byte outside a
// valid sequence stays as it is.
std::string Utf8UpperCase(std::string_view text);
std::string Utf8LowerCase(std::string_view text);
// Compares characters after upper-casing them so: <0, 0 or >0.  Sorted
// controls order the program's text with it.
int Utf8CompareText(std::string_view a, std::string_view b);

// What crosses between the program's own text (UTF-8: controls, dialogs,
// quick codes) and a document in its encoding.  Into a UTF-8 document the
// text goes as it is; into a code-page one each character becomes its
// byte, one the code page lacks a numeric character reference, and a byte
// outside a valid sequence stays as it is.  Out of a code-page document
// each byte becomes its character.  A document's text survives the round
// trip byte for byte.
std::string ProgramTextToDocument(std::string_view text, TTextEncoding encoding);
std::string DocumentTextToProgram(std::string_view text, TTextEncoding encoding);
