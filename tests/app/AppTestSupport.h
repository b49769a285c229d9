#pragma once
// Helpers of the application's suites: a program folder of the test's own
// (with the "data" folder the settings file lives in), a configuration
// folder of its own (the registry store) and a cache folder of its own (the
// copies kept by saves), so that nothing is read from or written beside the
// real program or in the user's settings.

#include "platform/base/ProgramFolder.h"
#include "tests/platform/base/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <cstdlib>
#include <string>

class TTestProgramFolder {
public:
    TTestProgramFolder() {
        std::filesystem::create_directories(folder_.Path() / "data");
        std::filesystem::create_directories(folder_.Path() / "config");
        SetProgramFolder(folder_.Path().string());
        const char* config = std::getenv("XDG_CONFIG_HOME");
        savedConfig_ = config != nullptr ? std::optional<std::string>(config) : std::nullopt;
        setenv("XDG_CONFIG_HOME", File("config").c_str(), 1);
        const char* cache = std::getenv("XDG_CACHE_HOME");
        savedCache_ = cache != nullptr ? std::optional<std::string>(cache) : std::nullopt;
        setenv("XDG_CACHE_HOME", File("cache").c_str(), 1);
    }
    ~TTestProgramFolder() {
        SetProgramFolder({});
        if (savedConfig_)
            setenv("XDG_CONFIG_HOME", savedConfig_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        if (savedCache_)
            setenv("XDG_CACHE_HOME", savedCache_->c_str(), 1);
        else
            unsetenv("XDG_CACHE_HOME");
    }

    const TTempFolder& Folder() const { return folder_; }
    std::string File(const std::string& name) const { return folder_.File(name); }
    std::string SettingsText() const { return ReadFileBytes(File("data/zozed.dat")); }
    void WriteSettings(const std::string& text) const { WriteFileBytes(File("data/zozed.dat"), text); }

    static std::string ReadFileBytes(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteFileBytes(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }

private:
    TTempFolder folder_;
    std::optional<std::string> savedConfig_;
    std::optional<std::string> savedCache_;
};
