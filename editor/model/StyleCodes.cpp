#include "editor/model/StyleCodes.h"

#include "platform/base/Utf8.h"

#include <algorithm>

std::string StripStyleCodes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (!IsStyleCode(c))
            result += c;
    return result;
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

uint8_t FoldStyleCodes(uint8_t style, std::string_view text) {
    // From code to code: long texts hold few of them.
    for (size_t at = FindStyleCode(text, 0); at < text.size(); at = FindStyleCode(text, at + 1))
        style = ToggleStyleBit(style, text[at]);
    return style;
}

std::string ClosingCodes(uint8_t style) {
    std::string codes;
    for (char code : {kCodeUnderline, kCodeItalic, kCodeBold, kCodeHighlight, kCodeAltFont})
        if ((style & kStyleBitOfByte[static_cast<unsigned char>(code)]) != 0)
            codes += code;
    return codes;
}

namespace {
// Column after one more character.
int32_t advance(int32_t column, char c, int32_t tabSize, bool codesZeroWidth) {
    if (c == '\t')
        return tabSize * (column / tabSize + 1);
    if (codesZeroWidth && IsStyleCode(c))
        return column;
    return column + 1;
}

// The index after the character at index: in UTF-8 text a whole sequence
// is one character, so that no column falls inside one.
int32_t nextIndex(std::string_view text, int32_t index, bool utf8) {
    return utf8 ? static_cast<int32_t>(Utf8NextChar(text, static_cast<size_t>(index))) : index + 1;
}

// Index reached and its column.
std::pair<int32_t, int32_t> walk(std::string_view text, int32_t column, int32_t tabSize, bool codesZeroWidth,
                                 bool utf8) {
    tabSize = std::max(tabSize, 1);
    int32_t visual = 0;
    int32_t index = 0;
    auto length = static_cast<int32_t>(text.size());
    while (index < length && visual < column) {
        int32_t next = advance(visual, text[static_cast<size_t>(index)], tabSize, codesZeroWidth);
        // A tab that would carry the column past the target is where the target
        // falls; the walk stops in front of it.
        if (next > column)
            break;
        visual = next;
        index = nextIndex(text, index, utf8);
    }
    return {index, visual};
}
}  // namespace

int32_t ColumnToIndex(std::string_view text, int32_t column, int32_t tabSize, bool codesZeroWidth, bool utf8) {
    return walk(text, column, tabSize, codesZeroWidth, utf8).first;
}

int32_t ColumnRemainder(std::string_view text, int32_t column, int32_t tabSize, bool codesZeroWidth, bool utf8) {
    return column - walk(text, column, tabSize, codesZeroWidth, utf8).second;
}

int32_t IndexToColumn(std::string_view text, int32_t index, int32_t tabSize, bool codesZeroWidth, bool utf8) {
    tabSize = std::max(tabSize, 1);
    index = std::clamp(index, 0, static_cast<int32_t>(text.size()));
    int32_t visual = 0;
    for (int32_t i = 0; i < index; i = nextIndex(text, i, utf8))
        visual = advance(visual, text[static_cast<size_t>(i)], tabSize, codesZeroWidth);
    return visual;
}

std::pair<int32_t, int32_t> ColumnSpan(std::string_view text, int32_t column1, int32_t column2, int32_t tabSize,
                                       bool codesZeroWidth, bool utf8) {
    const auto [low, high] = std::minmax(column1, column2);
    return {ColumnToIndex(text, low, tabSize, codesZeroWidth, utf8),
            ColumnToIndex(text, high, tabSize, codesZeroWidth, utf8)};
}

size_t FindStyleCode(std::string_view text, size_t from) {
    constexpr size_t kBlock = 64;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t at = from;
    while (at + kBlock <= text.size()) {
        // Without an early exit the compiler works on many bytes at once.
        // The codes are the bytes 1-4 and 21.
        unsigned any = 0;
        for (size_t i = 0; i < kBlock; ++i) {
            const unsigned char c = bytes[at + i];
            any |= static_cast<unsigned>(static_cast<unsigned char>(c - 1) < 4) |
                   static_cast<unsigned>(c == static_cast<unsigned char>(kCodeUnderline));
        }
        if (any != 0)
            break;
        at += kBlock;
    }
    for (; at < text.size(); ++at)
        if (IsStyleCode(text[at]))
            return at;
    return text.size();
}

std::string RemoveCodePairs(std::string_view text) {
    std::string result(text);
    int32_t i = 0;
    while (i < static_cast<int32_t>(result.size())) {
        const int32_t j = PairedCodeIndex(result, i);
        if (j < 0) {
            ++i;
            continue;
        }
        // The codes after the pair's first one move up: look at index i again.
        result.erase(static_cast<size_t>(j), 1);
        result.erase(static_cast<size_t>(i), 1);
    }
    return result;
}
