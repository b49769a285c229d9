#include "platform/shellns/SpecialFolders.h"

#include "platform/shellns/FileNames.h"

#include <fstream>
#include <pwd.h>
#include <string_view>
#include <unistd.h>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string configHomePath() {
    std::string config = environment("XDG_CONFIG_HOME");
    return config.starts_with('/') ? config : JoinPath(HomeFolderPath(), ".config");
}

// The value of XDG_DESKTOP_DIR in the user-dirs file: a quoted path that
// may start with "$HOME/".  The desktop's tool writes the file for the
// shell, with a backslash before '"', '\\', '$' and '`' in the path.
std::string desktopFromUserDirs() {
    std::ifstream in(JoinPath(configHomePath(), "user-dirs.dirs"));
    std::string line;
    while (std::getline(in, line)) {
        constexpr std::string_view key = "XDG_DESKTOP_DIR=\"";
        if (!line.starts_with(key))
            continue;
        std::string_view value(line);
        value.remove_prefix(key.size());
        std::string path;
        if (value.starts_with("$HOME")) {
            path = HomeFolderPath();
            value.remove_prefix(5);
        } else if (!value.starts_with('/')) {
            return {};
        }
        size_t i = 0;
        for (; i < value.size() && value[i] != '"'; ++i) {
            if (value[i] == '\\' && i + 1 < value.size())
                ++i;
            path += value[i];
        }
        // Unterminated, or holding a NUL no path can hold: no desktop.
        return i < value.size() && path.find('\0') == std::string::npos ? path : std::string();
    }
    return {};
}

// Without the slashes at its end (the root stays "/").
std::string_view withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

} // namespace

std::string HomeFolderPath() {
    std::string home = environment("HOME");
    if (home.starts_with('/'))
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

std::string DesktopFolderPath() {
    std::string desktop = desktopFromUserDirs();
    // A desktop that is the home folder itself would show home twice.
    if (!desktop.empty() && withoutTrailingSlashes(desktop) != withoutTrailingSlashes(HomeFolderPath()))
        return desktop;
    return JoinPath(HomeFolderPath(), "Desktop");
}

std::string DataHomePath() {
    std::string data = environment("XDG_DATA_HOME");
    return data.starts_with('/') ? data : JoinPath(HomeFolderPath(), ".local/share");
}

std::string SendToFolderPath() { return JoinPath(DataHomePath(), "korvane-ondrill/sendto"); }
