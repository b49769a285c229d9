#pragma once
// Files for fuzz entry points whose parsers read from disk (the settings
// and registry store, project files, the user-dirs file): one scratch
// folder per process under the system's temporary folder, removed when the
// process ends, and writing an input's bytes to a file in it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

inline const std::string& FuzzScratchFolder() {
    // Never destroyed, so that the handler that removes the folder at exit
    // still has its name.
    static const std::string* folder = [] {
        auto* made = new std::string((std::filesystem::temp_directory_path() / "ondrill-fuzz-XXXXXX").string());
        if (::mkdtemp(made->data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzScratchFolder(), ignored);
        });
        return made;
    }();
    return *folder;
}

// Replaces the file's contents by bytes, making its folder when missing.
inline void WriteFuzzFile(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::abort();
}
