#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

class TTempFolder {
public:
    TTempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("ondrill-base-" + std::to_string(::getpid()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TTempFolder() {
        std::error_code ignored;
        // Restore write permission first: a test may have made parts read-only.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};
