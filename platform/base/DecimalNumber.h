#pragma once
// Unsigned decimal numbers in the text files the program reads itself (the
// system's process files, the records of kept copies).

#include <charconv>
#include <cstdint>
#include <string_view>

// Whether text is digits only, all of it, that fit number; sets number so.
inline bool ParseDecimal(std::string_view text, uint64_t& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}
