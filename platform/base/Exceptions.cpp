#include "platform/base/Exceptions.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string FormatMessageText(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    std::string result;
    if (needed > 0) {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pattern, args);
        result.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
    return result;
}

namespace {
std::string withReason(std::string text, std::string_view reason) {
    if (!reason.empty()) {
        text += ". ";
        text += reason;
    }
    return text;
}
} // namespace

EFOpenError::EFOpenError(std::string_view fileName, std::string_view reason)
    : EStreamError(withReason("Cannot open file \"" + std::string(fileName) + "\"", reason)) {}

EFCreateError::EFCreateError(std::string_view fileName, std::string_view reason)
    : EStreamError(withReason("Cannot create file \"" + std::string(fileName) + "\"", reason)) {}
