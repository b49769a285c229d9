#pragma once
// Helpers of the application's suites: a program folder of the test's own
// (with the "data" folder the settings file lives in) and a configuration
// folder of its own (the registry store), so that nothing is read from or
// written beside the real program or in the user's settings.

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
    }
    ~TTestProgramFolder() {
        SetProgramFolder({});
        if (savedConfig_)
            setenv("XDG_CONFIG_HOME", savedConfig_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
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
};
