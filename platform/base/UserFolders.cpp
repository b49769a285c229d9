#include "platform/base/UserFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

// Only an absolute value of the variable counts; otherwise the folder of
// that name in the home folder (from $HOME, else the password database).
std::string xdgFolder(const char* variable, const char* inHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/')
        return std::string(value) + "/korvane-ondrill";
    std::string home;
    if (const char* fromEnvironment = std::getenv("HOME"); fromEnvironment != nullptr && fromEnvironment[0] != '\0')
        home = fromEnvironment;
    else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
        home = entry->pw_dir;
    return home + "/" + inHome + "/korvane-ondrill";
}

} // namespace

std::string UserConfigFolder() { return xdgFolder("XDG_CONFIG_HOME", ".config"); }

std::string UserCacheFolder() { return xdgFolder("XDG_CACHE_HOME", ".cache"); }
