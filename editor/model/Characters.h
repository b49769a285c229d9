#pragma once
// The characters of a document's text.  Offsets stay byte offsets; in a
// UTF-8 document a valid multi-byte sequence is one character (measured,
// drawn, stepped over and deleted whole), and any other byte is a character
// of its own.  In the 8-bit code page every byte is a character.

#include "editor/model/CodeMeasure.h"
#include "editor/model/ParagraphText.h"

#include "platform/base/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

// The bytes the character at `at` takes.
inline int32_t CharLength(std::string_view text, int32_t at, bool utf8) {
    return utf8 ? static_cast<int32_t>(Utf8CharLength(text, static_cast<size_t>(at))) : 1;
}
// `at` moved back to the start of the character that holds it.
inline int32_t CharStart(std::string_view text, int32_t at, bool utf8) {
    return utf8 ? static_cast<int32_t>(Utf8CharStart(text, static_cast<size_t>(at))) : at;
}
// `at` moved on to the end of the character that holds it (itself when it
// starts one).
inline int32_t CharEnd(std::string_view text, int32_t at, bool utf8) {
    const int32_t start = CharStart(text, at, utf8);
    return start == at ? at : start + CharLength(text, start, utf8);
}
inline int32_t NextChar(std::string_view text, int32_t at, bool utf8) { return at + CharLength(text, at, utf8); }
inline int32_t PreviousChar(std::string_view text, int32_t at, bool utf8) {
    return utf8 ? static_cast<int32_t>(Utf8PreviousChar(text, static_cast<size_t>(at))) : at - 1;
}

// The same in a paragraph's text, read where it stands: a character is
// at most four bytes long, so the bytes within four of `at` decide.
template <typename TStep>
int32_t AroundInParagraph(const TParagraphText& text, int32_t at, TStep step) {
    const int32_t from = std::max(at - 4, 0);
    std::string scratch;
    const std::string_view near = text.Piece(static_cast<size_t>(from), static_cast<size_t>(at) + 4, scratch);
    return from + step(near, at - from);
}
inline int32_t CharLength(const TParagraphText& text, int32_t at, bool utf8) {
    if (!utf8)
        return 1;
    return AroundInParagraph(text, at, [](std::string_view near, int32_t i) { return CharLength(near, i, true) + i; }) - at;
}
// (A byte that continues no sequence starts a character: most offsets
// asked about are such, and need no look around them.)
inline bool StartsCharacter(const TParagraphText& text, int32_t at, bool utf8) {
    return !utf8 || static_cast<size_t>(at) >= text.size() ||
           (static_cast<unsigned char>(text[static_cast<size_t>(at)]) & 0xC0) != 0x80;
}
inline int32_t CharStart(const TParagraphText& text, int32_t at, bool utf8) {
    if (StartsCharacter(text, at, utf8))
        return at;
    return AroundInParagraph(text, at, [](std::string_view near, int32_t i) { return CharStart(near, i, true); });
}
inline int32_t CharEnd(const TParagraphText& text, int32_t at, bool utf8) {
    if (StartsCharacter(text, at, utf8))
        return at;
    return AroundInParagraph(text, at, [](std::string_view near, int32_t i) { return CharEnd(near, i, true); });
}
inline int32_t NextChar(const TParagraphText& text, int32_t at, bool utf8) { return at + CharLength(text, at, utf8); }
inline int32_t PreviousChar(const TParagraphText& text, int32_t at, bool utf8) {
    return utf8 ? AroundInParagraph(text, at, [](std::string_view near, int32_t i) { return PreviousChar(near, i, true); })
                : at - 1;
}

// The width of the character at `at` in a style whose advance table is
// given, and its length in bytes.  A byte that is not part of a valid
// sequence is measured as its character of the code page; a character that
// draws nothing (a byte-order mark, a zero-width joiner) takes no room.
struct TCharacterWidth {
    int32_t Length;
    int32_t Width;
};
inline TCharacterWidth MeasureCharacter(const TCodeMeasure& measure, uint8_t style, const int32_t* advances,
                                        std::string_view text, int32_t at, bool utf8) {
    const auto byte = static_cast<unsigned char>(text[static_cast<size_t>(at)]);
    if (!utf8 || byte < 0x80)
        return {1, advances[byte]};
    char32_t codePoint;
    const size_t length = Utf8SequenceLength(text.substr(static_cast<size_t>(at)), codePoint);
    if (length == 0)
        return {1, advances[byte]};
    if (IsIgnorableCharacter(codePoint))
        return {static_cast<int32_t>(length), 0};
    return {static_cast<int32_t>(length), measure.CharacterAdvance(style, codePoint)};
}
// The same in a paragraph's text, read where it stands (a sequence is at
// most four bytes long).
inline TCharacterWidth MeasureCharacter(const TCodeMeasure& measure, uint8_t style, const int32_t* advances,
                                        const TParagraphText& text, int32_t at, bool utf8) {
    const auto byte = static_cast<unsigned char>(text[static_cast<size_t>(at)]);
    if (!utf8 || byte < 0x80)
        return {1, advances[byte]};
    std::string scratch;
    const auto from = static_cast<size_t>(at);
    return MeasureCharacter(measure, style, advances, text.Piece(from, from + 4, scratch), 0, true);
}
