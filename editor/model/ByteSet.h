#pragma once
// A set of byte values: the separators of a memo or a highlighter, and the
// characters start keys begin with.  One bit per value, so that a test
// costs one look-up.

#include <bitset>
#include <string>
#include <string_view>

class TByteSet {
public:
    TByteSet() = default;
    // The bytes of the characters.
    explicit TByteSet(std::string_view characters) {
        for (char c : characters)
            Add(static_cast<unsigned char>(c));
    }

    bool Contains(unsigned char byte) const { return bits_[byte]; }
    void Add(unsigned char byte) { bits_.set(byte); }

    // The members in ascending order.
    std::string Members() const {
        std::string members;
        for (int byte = 0; byte < 256; ++byte)
            if (bits_[static_cast<size_t>(byte)])
                members += static_cast<char>(byte);
        return members;
    }

private:
    std::bitset<256> bits_;
};
