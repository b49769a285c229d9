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
// may start with "$HOME/".
std::string desktopFromUserDirs() {
    std::ifstream in(JoinPath(configHomePath(), "user-dirs.dirs"));
    std::string line;
    while (std::getline(in, line)) {
        constexpr std::string_view key = "XDG_DESKTOP_DIR=\"";
        if (!line.starts_with(key))
            continue;
        std::string_view value(line);
        value.remove_prefix(key.size());
        size_t quote = value.find('"');
        if (quote == std::string_view::npos)
            return {};
        value = value.substr(0, quote);
        if (value.starts_with("$HOME"))
            return HomeFolderPath() + std::string(value.substr(5));
        return value.starts_with('/') ? std::string(value) : std::string();
    }
    return {};
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
    if (!desktop.empty() && desktop != HomeFolderPath())
        return desktop;
    return JoinPath(HomeFolderPath(), "Desktop");
}

std::string DataHomePath() {
    std::string data = environment("XDG_DATA_HOME");
    return data.starts_with('/') ? data : JoinPath(HomeFolderPath(), ".local/share");
}

std::string SendToFolderPath() { return JoinPath(DataHomePath(), "korvane-ondrill/sendto"); }
