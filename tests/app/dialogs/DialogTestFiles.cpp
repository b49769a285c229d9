#include "tests/app/dialogs/DialogTestFiles.h"

#include <filesystem>

void CopyMenuScripts(const TTestProgramFolder& program) {
    const std::filesystem::path target = program.File("scripts/menu");
    std::filesystem::create_directories(target);
    for (const auto& entry : std::filesystem::directory_iterator(std::string(ONDRILL_RESOURCE_SOURCE) + "scripts/menu"))
        std::filesystem::copy_file(entry.path(), target / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
}

std::string ShippedFile(const std::string& name) {
    return TTestProgramFolder::ReadFileBytes(std::string(ONDRILL_RESOURCE_SOURCE) + name);
}
