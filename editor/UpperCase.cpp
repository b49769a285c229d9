#include "editor/UpperCase.h"

#include "platform/base/TextCodec.h"

#include <atomic>

namespace {
std::atomic<TUpperCaseProc> userProc{nullptr};
std::atomic<uint64_t> generation{0};

void asciiUpper(char* buffer, int32_t length) {
    for (int32_t i = 0; i < length; ++i)
        if (buffer[i] >= 'a' && buffer[i] <= 'z')
            buffer[i] = static_cast<char>(buffer[i] - 'a' + 'A');
}
}  // namespace

void SetUserUpperCaseProc(TUpperCaseProc proc) {
    userProc = proc;
    ++generation;
}

uint64_t UpperCaseGeneration() { return generation; }

void UpperCaseBuffer(TpmUpperCase rule, char* buffer, int32_t length) {
    if (length <= 0)
        return;
    switch (rule) {
    case pmuAnsi:
        for (int32_t i = 0; i < length; ++i)
            buffer[i] = static_cast<char>(AnsiUpperChar(static_cast<unsigned char>(buffer[i])));
        return;
    case pmuUserDefined:
        if (TUpperCaseProc proc = userProc) {
            proc(buffer, length);
            return;
        }
        asciiUpper(buffer, length);
        return;
    case pmuAscii:
        asciiUpper(buffer, length);
        return;
    }
}

std::string UpperCased(TpmUpperCase rule, std::string_view text) {
    std::string copy(text);
    UpperCaseBuffer(rule, copy.data(), static_cast<int32_t>(copy.size()));
    return copy;
}
