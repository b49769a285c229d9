#pragma once
// Hexadecimal digits of bytes, as the settings stores and the clipboard's
// format names write them: lower case out, either case in.

#include <string>

// The value of a hexadecimal digit of either case; -1 for any other
// character.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Appends the byte as two lower-case hexadecimal digits.
inline void AppendHexByte(std::string& out, unsigned char byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
}
