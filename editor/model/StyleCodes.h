#pragma once
// Inline style codes, blanks and visual columns.
//
// A style code is one byte in the text that toggles a style bit when the
// memo's StaticFormat is on: 2 bold, 1 italic, 21 underline, 3 highlight,
// 4 alternative font.  Codes take an offset each but no width.  A blank is
// a space or a tab: words end at blanks, and trailing blanks are what the
// memo can discard.

#include "editor/model/DocumentTypes.h"
#include "editor/model/ParagraphText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The style bit each byte toggles: the code's bit for the five codes, 0 for
// every other byte.  Line breaking, measuring and painting ask this of every
// character, so it is one look-up.
inline constexpr std::array<uint8_t, 256> kStyleBitOfByte = [] {
    std::array<uint8_t, 256> bits{};
    bits[kCodeBold] = kStyleBold;
    bits[kCodeItalic] = kStyleItalic;
    bits[kCodeUnderline] = kStyleUnderline;
    bits[kCodeHighlight] = kStyleHighlight;
    bits[kCodeAltFont] = kStyleAltFont;
    return bits;
}();

inline bool IsStyleCode(char c) { return kStyleBitOfByte[static_cast<unsigned char>(c)] != 0; }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
// The index of the first style code in text at or after from, or the
// text's length when there is none.  Long texts are looked at a block at a
// time, so a paragraph of megabytes without codes is passed quickly.
size_t FindStyleCode(std::string_view text, size_t from);
// The text without the blanks at its end.
std::string_view WithoutTrailingBlanks(std::string_view text);
// The style set with the code's bit toggled; other bytes leave it unchanged.
inline uint8_t ToggleStyleBit(uint8_t style, char code) {
    return style ^ kStyleBitOfByte[static_cast<unsigned char>(code)];
}
// The text without the bytes 1, 2, 3, 4 and 21.
std::string StripStyleCodes(std::string_view text);
// The style set reached from style by toggling in every code of text.
uint8_t FoldStyleCodes(uint8_t style, std::string_view text);
// The codes that toggle the bits of a style set back off, one per bit, in
// the order underline, italic, bold, highlight, alternative font.
std::string ClosingCodes(uint8_t style);

// Walks text from 0 while the visual column stays below column: a tab
// advances to the next multiple of tabSize, a code advances nothing when
// codesZeroWidth, any other character one column (with utf8 a valid
// multi-byte sequence is one character, so no index falls inside one;
// otherwise every byte is).  Returns the index reached (at most the text's
// length).  A tab size below 1 counts as 1.
int32_t ColumnToIndex(std::string_view text, int32_t column, int32_t tabSize, bool codesZeroWidth, bool utf8 = false);
// column minus the visual column of ColumnToIndex's index: the virtual
// columns beyond the text, or the part of a tab the column falls into.
int32_t ColumnRemainder(std::string_view text, int32_t column, int32_t tabSize, bool codesZeroWidth,
                        bool utf8 = false);
// The visual column of an index.
int32_t IndexToColumn(std::string_view text, int32_t index, int32_t tabSize, bool codesZeroWidth, bool utf8 = false);
// The characters of text that a column block between two visual columns
// (in either order) covers: the index of the first and the index after the
// last, equal when it covers none.
std::pair<int32_t, int32_t> ColumnSpan(std::string_view text, int32_t column1, int32_t column2, int32_t tabSize,
                                       bool codesZeroWidth, bool utf8 = false);

// A style code at index that is followed, with only other codes between, by
// the same code toggles nothing: the index of that second code, or -1 when
// the byte at index is no code or has no such partner.
// (Any text read by offset: a string or a paragraph's text where it stands.)
template <typename TText>
int32_t PairedCodeIndexIn(const TText& text, int32_t index) {
    const auto length = static_cast<int32_t>(text.size());
    if (index < 0 || index >= length || !IsStyleCode(text[static_cast<size_t>(index)]))
        return -1;
    const char code = text[static_cast<size_t>(index)];
    int32_t j = index + 1;
    while (j < length && IsStyleCode(text[static_cast<size_t>(j)]) && text[static_cast<size_t>(j)] != code)
        ++j;
    return j < length && text[static_cast<size_t>(j)] == code ? j : -1;
}
inline int32_t PairedCodeIndex(std::string_view text, int32_t index) { return PairedCodeIndexIn(text, index); }
inline int32_t PairedCodeIndex(const TParagraphText& text, int32_t index) { return PairedCodeIndexIn(text, index); }
// The text with both codes of every such pair removed.
std::string RemoveCodePairs(std::string_view text);
