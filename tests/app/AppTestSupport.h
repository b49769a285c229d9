#pragma once
// Helpers of the application's suites: a program folder of the test's own
// (with the "data" folder the settings file lives in), so that nothing is
// read from or written beside the real program.

#include "platform/base/ProgramFolder.h"
#include "tests/platform/base/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TTestProgramFolder {
public:
    TTestProgramFolder() {
        std::filesystem::create_directories(folder_.Path() / "data");
        SetProgramFolder(folder_.Path().string());
    }
    ~TTestProgramFolder() { SetProgramFolder({}); }

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
};
