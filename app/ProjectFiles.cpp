#include "app/ProjectFiles.h"

#include "platform/base/IniFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace fs = std::filesystem;

std::string AddTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path;
    return path + '/';
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ProjectSizeText(uint64_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + " bytes";
    uint64_t kilobytes = bytes / 1024;
    uint64_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && kilobytes % 2 == 1))
        ++kilobytes;
    return std::to_string(kilobytes) + " kilobytes";
}

std::string ProjectDateText(std::time_t time) {
    std::tm local{};
    ::localtime_r(&time, &local);
    const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
    char text[96];
    std::strftime(text, sizeof text, midnight ? "%x" : "%x %X", &local);
    return text;
}

namespace {

bool statPath(const std::string& path, struct stat& info) { return ::stat(path.c_str(), &info) == 0; }

} // namespace

bool RegularFileExists(const std::string& path) {
    struct stat info;
    return statPath(path, info) && S_ISREG(info.st_mode);
}

std::string FileSizeText(const std::string& path) {
    struct stat info;
    if (!statPath(path, info))
        return "?";
    return ProjectSizeText(static_cast<uint64_t>(info.st_size));
}

std::string FileDateText(const std::string& path) {
    struct stat info;
    if (!statPath(path, info))
        return "?";
    // Modification times are shown in steps of two seconds.
    return ProjectDateText(info.st_mtime - info.st_mtime % 2);
}

std::vector<std::string> ReadProjectFile(const std::string& fileName) {
    TIniFile ini(fileName);
    std::vector<std::string> paths;
    for (int key = 1;; ++key) {
        std::string value = ini.ReadString(kProjectSection, std::to_string(key), "#");
        if (value == "#")
            break;
        paths.push_back(std::move(value));
    }
    return paths;
}

void WriteProjectFile(const std::string& fileName, const std::vector<std::string>& paths) {
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        entries.emplace_back(std::to_string(i + 1), paths[i]);
    TIniFile(fileName).WriteSection(kProjectSection, entries);
}

bool IsProjectWebFile(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = name.substr(dot);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    static const std::array<const char*, 6> marks = {"ASP", "XML", "HTM", "JS", "CSS", "PHP"};
    return std::any_of(marks.begin(), marks.end(),
                       [&](const char* mark) { return extension.find(mark) != std::string::npos; });
}

std::vector<std::string> ProjectFilesInFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (IsProjectWebFile(name) && RegularFileExists(folder + name))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names)
        paths.push_back(folder + name);
    return paths;
}
