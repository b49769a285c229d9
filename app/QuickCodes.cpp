#include "app/QuickCodes.h"

#include "platform/base/OwnedFile.h"
#include "platform/base/ProgramFolder.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Utf8.h"
#include "platform/shellns/FileNames.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

namespace {

std::string withLastCharacter(std::string name, char last) {
    if (!name.empty())
        name.back() = last;
    return name;
}

std::optional<std::string> readIfPresent(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

std::string QuickCodeFolder() { return ProgramFolder() + "oqc/"; }

bool EnsureQuickCodeFolder() {
    std::error_code error;
    std::filesystem::create_directories(QuickCodeFolder(), error);
    return std::filesystem::is_directory(QuickCodeFolder(), error);
}

std::string CodeFileNameOf(const std::string& descriptionFileName) {
    return withLastCharacter(descriptionFileName, 's');
}

std::string DescriptionFileNameOf(const std::string& codeFileName) { return withLastCharacter(codeFileName, 'c'); }

void CheckQuickCodeName(const std::string& name) {
    if (name.empty())
        throw EQuickCodeError("Please give the quick code a name.");
    if (!IsValidFileName(name) || name.find('\\') != std::string::npos || name.find("..") != std::string::npos)
        throw EQuickCodeError("A quick code's name can not hold \"/\", \"\\\" or \"..\": " + DisplayTextOfName(name));
    // A file whose name starts with "." is hidden: the list would never
    // show the code, nor let it be inserted or deleted.
    if (name.front() == '.')
        throw EQuickCodeError("A quick code's name can not start with \".\": " + DisplayTextOfName(name));
}

std::vector<std::string> QuickCodeFilesReplaced(const std::string& name, const std::string& code,
                                                const std::string& description) {
    CheckQuickCodeName(name);
    std::vector<std::string> replaced;
    for (const auto& [file, bytes] : {std::pair{QuickCodeFolder() + name + ".oqs", &code},
                                      std::pair{QuickCodeFolder() + name + ".oqc", &description}})
        if (ExaminePlannedFile(file, *bytes) == pfDifferent)
            replaced.push_back(file);
    return replaced;
}

void CreateQuickCode(const std::string& name, const std::string& code, const std::string& description) {
    CheckQuickCodeName(name);
    const std::string codeFile = QuickCodeFolder() + name + ".oqs";
    const std::string descriptionFile = QuickCodeFolder() + name + ".oqc";
    // Both are looked at before either is written: a link refused second
    // must not leave the first replaced.
    const bool writeCode = ExaminePlannedFile(codeFile, code) != pfSame;
    const bool writeDescription = ExaminePlannedFile(descriptionFile, description) != pfSame;
    const std::optional<std::string> oldCode = readIfPresent(codeFile);
    // The code first: the list shows descriptions, so a pair appears only
    // once it is whole.
    if (writeCode)
        WriteFileReplacing(codeFile, code, true);
    try {
        if (writeDescription)
            WriteFileReplacing(descriptionFile, description, true);
    } catch (...) {
        // The failure told is the one that stopped the pair.
        try {
            std::error_code ignored;
            if (oldCode)
                WriteFileReplacing(codeFile, *oldCode);
            else
                std::filesystem::remove(codeFile, ignored);
        } catch (...) {
        }
        throw;
    }
}

std::string ReadQuickCodeFile(const std::string& fileName) {
    std::optional<std::string> text = readIfPresent(fileName);
    std::error_code error;
    if (!text || std::filesystem::is_directory(fileName, error))
        throw EFOpenError(DisplayTextOfName(fileName));
    return WithCrLfBreaks(IsValidUtf8(*text) ? *text : AnsiToUtf8(*text));
}

std::string DescriptionForDisplay(const std::string& description) { return "Description:\r\n\r\n\r\n" + description; }

std::string WithCrLfBreaks(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            result += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            result += "\r\n";
        } else {
            result += c;
        }
    }
    return result;
}
