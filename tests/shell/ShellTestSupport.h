#pragma once
// A private home for each shell test: a temporary folder holding HOME,
// XDG_CONFIG_HOME and XDG_DATA_HOME (so the trash and the send-to folder
// are the test's own), restored and removed afterwards; the one Qt
// application the clipboard and the icon theme need; and small file
// helpers on raw path bytes (whole files read and written by the base
// suites' helpers).

#include "platform/shellns/FileNames.h"
#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/MountTable.h"
#include "platform/shellns/ShellFolder.h"
#include "tests/platform/base/BaseTestSupport.h"
#include "tests/platform/gfx/TestApplication.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

class TShellTestHome {
public:
    TShellTestHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ondrill-shell-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr);
        Root = pattern;
        Home = JoinPath(Root, "home");
        std::filesystem::create_directories(JoinPath(Home, ".config"));
        std::filesystem::create_directories(JoinPath(Home, ".local/share"));
        std::filesystem::create_directories(JoinPath(Home, "Desktop"));
        Files = JoinPath(Root, "files");
        std::filesystem::create_directories(Files);
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("HOME", Home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", JoinPath(Home, ".config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", JoinPath(Home, ".local/share").c_str(), 1);
        RevalidateMounts();
    }
    ~TShellTestHome() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(Root, ignored);
    }
    TShellTestHome(const TShellTestHome&) = delete;
    TShellTestHome& operator=(const TShellTestHome&) = delete;

    std::string Root;  // everything below it is removed afterwards
    std::string Home;  // $HOME
    std::string Files; // a folder for the test's files

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

inline void MakeShellTestApplication() { MakeTestApplication<QGuiApplication>(); }

// A random name of 1..maxLength bytes: any byte but NUL and "/", often
// with UTF-8 sequences, "." in places, and the awkward ":" and "\".
inline std::string RandomFileName(std::mt19937& random, size_t maxLength = 24) {
    static const std::vector<std::string> pieces = {"a", "B", ".", ":", "\\", " ", "\xC3\xA9", "\xE2\x82\xAC",
                                                    "\xFF", "\xC3", "\xEF\x9E\x80", "%", "#", "~", "z9"};
    std::string name;
    size_t length = 1 + random() % maxLength;
    while (name.size() < length) {
        if (random() % 3 == 0) {
            char c = static_cast<char>(1 + random() % 255);
            if (c != '/')
                name.push_back(c);
        } else {
            name += pieces[random() % pieces.size()];
        }
    }
    if (name == "." || name == "..")
        name += "x";
    return name;
}

inline std::string ItemBytes(PCItemIDList list) { return std::string(IdListView(list)); }

// An existing path as the namespace has it: its absolute list, the folder
// that holds it and its last item there (pointing into the list).
struct TItemInFolder {
    TIdListPtr Absolute;
    std::shared_ptr<TShellFolder> Parent;
    PCItemIDList Last = nullptr;
};
inline TItemInFolder ItemInFolder(const std::string& path) {
    TItemInFolder item;
    PItemIDList absolute = nullptr;
    EXPECT_EQ(SHParseDisplayName(path, &absolute), S_OK) << path;
    item.Absolute.reset(absolute);
    EXPECT_EQ(SHBindToParent(absolute, item.Parent, &item.Last), S_OK) << path;
    return item;
}
