#pragma once
// What a file's bytes are, told without keeping them: their number and a
// BLAKE2b-256 checksum, so that a file read later can be told to hold
// exactly those bytes (a file cut short, or holding other bytes, does not).

#include <cstdint>
#include <string>
#include <string_view>

struct TContentsDigest {
    uint64_t Size = 0;
    std::string Sum; // 64 lowercase hex digits; empty when not known

    bool Known() const { return !Sum.empty(); }
    // Equal only when both are known and tell the same bytes.
    bool Matches(const TContentsDigest& other) const { return Known() && Size == other.Size && Sum == other.Sum; }
};

TContentsDigest DigestOf(std::string_view bytes);
// The digest of what the open file holds from its start to its end;
// false (errno set) when it can not be read.
bool DigestOfFile(int fd, TContentsDigest& digest);
// Whether text is a checksum as Sum holds it.
bool IsContentsSum(std::string_view text);
