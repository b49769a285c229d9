// A program told to end from outside (SIGTERM, SIGHUP, SIGINT) removes the
// preview copies its document windows made and ends by that signal; the
// pages, and a file of the user's that has a copy's name, stay.  Each case
// runs in a child process that the signal ends.

#include "app/PreviewFile.h"

#include "tests/platform/base/TempFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <unistd.h>

namespace {

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The child's part: pages with their preview copies, then the signal.
[[noreturn]] void previewThenSignal(const std::string& folder, int pages, int signal) {
    int argc = 1;
    char name[] = "child";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    std::vector<std::unique_ptr<TPreviewFile>> copies;
    for (int i = 0; i < pages; ++i) {
        const std::string page = folder + "/page" + std::to_string(i) + ".html";
        std::ofstream(page) << "<P>page</P>";
        copies.push_back(std::make_unique<TPreviewFile>());
        copies.back()->Write(page, "<P>page, edited</P>");
    }
    RemovePreviewFilesBeforeEndingSignals();
    ::kill(::getpid(), signal);
    QCoreApplication::exec();
    std::_Exit(0); // not ended by the signal
}

} // namespace

TEST(EndingSignals, RemoveThePreviewCopiesAndEndTheProgramByTheSignal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child starts this test again from its beginning: it works in the
    // folder of the parent's run.
    static constexpr const char* kFolderVariable = "ONDRILL_ENDING_SIGNALS_FOLDER";
    std::optional<TTempFolder> made;
    std::string folder;
    if (const char* inherited = std::getenv(kFolderVariable)) {
        folder = inherited;
    } else {
        made.emplace();
        folder = made->Path().string();
        ::setenv(kFolderVariable, folder.c_str(), 1);
    }
    std::mt19937 random(13);
    const int endings[] = {SIGTERM, SIGHUP, SIGINT};
    for (int round = 0; round < 6; ++round) {
        const int signal = endings[round % 3];
        const int pages = 1 + static_cast<int>(random() % 3);
        const bool usersOwn = random() % 2 == 0; // the copy's first name taken
        SCOPED_TRACE("signal " + std::to_string(signal) + ", " + std::to_string(pages) + " pages");
        const std::string where = folder + "/" + std::to_string(round);
        std::filesystem::create_directories(where);
        if (usersOwn)
            std::ofstream(where + "/HTMLtmp.htm") << "mine";
        EXPECT_EXIT(previewThenSignal(where, pages, signal), testing::KilledBySignal(signal), "");
        std::set<std::string> expected;
        for (int i = 0; i < pages; ++i)
            expected.insert("page" + std::to_string(i) + ".html");
        if (usersOwn)
            expected.insert("HTMLtmp.htm");
        EXPECT_EQ(namesIn(where), expected);
    }
    if (made)
        ::unsetenv(kFolderVariable);
}
