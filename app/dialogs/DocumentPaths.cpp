#include "app/dialogs/DocumentPaths.h"

#include "platform/shellns/NamespaceItems.h"

#include <vector>

namespace {

// The names of a clean absolute path.
std::vector<std::string_view> namesOf(std::string_view path) {
    std::vector<std::string_view> names;
    for (size_t at = 1; at < path.size();) {
        size_t end = path.find('/', at);
        if (end == std::string_view::npos)
            end = path.size();
        names.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

} // namespace

std::string RelativeDocumentPath(std::string_view file, std::string_view document) {
    std::string cleanFile, cleanDocument;
    if (!NormalisePath(file, cleanFile) || !NormalisePath(document, cleanDocument))
        return std::string(file);
    const std::vector<std::string_view> target = namesOf(cleanFile);
    std::vector<std::string_view> folder = namesOf(cleanDocument);
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
