#include "platform/shellns/NameFitting.h"

#include "platform/shellns/FileNames.h"

#include <climits>
#include <unistd.h>

namespace {

// The first `length` bytes of bytes, moved back to the start of a
// character when the bytes are UTF-8, so that the cut leaves no broken
// sequence behind.
std::string_view cutTo(std::string_view bytes, size_t length) {
    if (length >= bytes.size())
        return bytes;
    if (IsValidUtf8(bytes))
        while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
            --length;
    return bytes.substr(0, length);
}

} // namespace

size_t NameLengthLimit(std::string_view folder) {
    long limit = ::pathconf(std::string(folder).c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<size_t>(limit) : size_t(NAME_MAX);
}

std::string FitName(std::string_view stem, std::string_view suffix, std::string_view extension, size_t limit) {
    if (stem.size() + suffix.size() + extension.size() <= limit)
        return std::string(stem) + std::string(suffix) + std::string(extension);
    if (suffix.size() >= limit)
        return std::string(cutTo(suffix, limit));
    if (suffix.size() + extension.size() >= limit) {
        std::string whole = std::string(stem) + std::string(extension);
        return std::string(cutTo(whole, limit - suffix.size())) + std::string(suffix);
    }
    return std::string(cutTo(stem, limit - suffix.size() - extension.size())) + std::string(suffix) +
           std::string(extension);
}

void SplitExtension(std::string_view name, bool isFolder, std::string_view& stem, std::string_view& extension) {
    stem = name;
    extension = {};
    size_t dot = name.rfind('.');
    if (!isFolder && dot != std::string_view::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
}
