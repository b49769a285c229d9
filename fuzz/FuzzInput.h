#pragma once
// Helpers shared by the fuzz entry points: reading choices and text from the
// fuzzer's bytes, and stopping loudly when a checked property fails (an
// abort is what the fuzzer and the corpus runner both recognise as a find).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

class TFuzzInput {
public:
    TFuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    // The next byte, or 0 once the input is used up.
    uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    // Up to count of the next bytes.
    std::string Bytes(size_t count) {
        count = std::min(count, size_ - position_);
        std::string result(reinterpret_cast<const char*>(data_ + position_), count);
        position_ += count;
        return result;
    }
    std::string Rest() { return Bytes(size_ - position_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// Hands the input to the entry its next byte chooses: targets that cover
// several parsers pick one per input.
inline void RunChosenEntry(TFuzzInput& input, std::initializer_list<void (*)(TFuzzInput&)> entries) {
    const uint8_t choice = input.Byte();
    (*(entries.begin() + choice % entries.size()))(input);
}

// Stops with the place of the check that failed, so that a find says at
// once which property it broke.
inline void FuzzCheckAt(bool condition, const char* file, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed at %s:%d\n", file, line);
    std::abort();
}
#define FuzzCheck(condition) FuzzCheckAt((condition), __FILE__, __LINE__)
