#include "platform/base/ProgramFolder.h"

#include <climits>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex folderLock;
std::string overridden;

std::string executableFolder() {
    std::string path(PATH_MAX, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0)
        return "./";
    path.resize(static_cast<size_t>(n));
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

std::string ProgramFolder() {
    std::lock_guard<std::mutex> hold(folderLock);
    if (!overridden.empty())
        return overridden;
    static const std::string folder = executableFolder();
    return folder;
}

void SetProgramFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(folderLock);
    overridden = folder;
    if (!overridden.empty() && overridden.back() != '/')
        overridden += '/';
}
