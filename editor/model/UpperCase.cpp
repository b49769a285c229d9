#include "editor/model/UpperCase.h"

#include "platform/base/TextCodec.h"

#include <atomic>

namespace {
std::atomic<TUpperCaseProc> userProc{nullptr};
std::atomic<uint64_t> generation{0};
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
        AnsiUpperCaseInPlace(buffer, static_cast<size_t>(length));
        return;
    case pmuUserDefined:
        if (TUpperCaseProc proc = userProc) {
            proc(buffer, length);
            return;
        }
        UpperCaseInPlace(buffer, static_cast<size_t>(length));
        return;
    case pmuAscii:
        UpperCaseInPlace(buffer, static_cast<size_t>(length));
        return;
    }
}

std::string UpperCased(TpmUpperCase rule, std::string_view text) {
    std::string copy(text);
    UpperCaseBuffer(rule, copy.data(), static_cast<int32_t>(copy.size()));
    return copy;
}
