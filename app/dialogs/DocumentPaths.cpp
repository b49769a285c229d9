#include "app/dialogs/DocumentPaths.h"

#include <vector>

namespace {

// The folders and the name of an absolute path, "." and ".." resolved.
std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t at = 0;
    while (at < path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    return parts;
}

} // namespace

std::string RelativeDocumentPath(std::string_view file, std::string_view document) {
    if (file.empty() || document.empty() || file.front() != '/' || document.front() != '/')
        return std::string(file);
    const std::vector<std::string_view> target = components(file);
    std::vector<std::string_view> folder = components(document);
    if (!folder.empty())
        folder.pop_back(); // the document's own name
    size_t shared = 0;
    // The file's own name is never a shared folder.
    while (shared < folder.size() && shared + 1 < target.size() && folder[shared] == target[shared])
        ++shared;
    std::string relative;
    for (size_t i = shared; i < folder.size(); ++i)
        relative += "../";
    for (size_t i = shared; i < target.size(); ++i) {
        if (i > shared)
            relative += '/';
        relative += target[i];
    }
    return relative;
}
