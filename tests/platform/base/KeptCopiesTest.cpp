// A save cut short where the page's folder takes no new file: the page is
// rewritten in place, so a kill mid-rewrite leaves it cut; the copy of its
// old contents and the record naming the page must then be on disk, be
// found by the next run, and give the page back byte for byte.  The kills
// are real: a child that dies at a file-size limit in the middle of the
// rewrite, and a child killed with SIGKILL while the page grows.

#include "platform/base/KeptCopies.h"
#include "platform/base/SafeFile.h"

#include "BaseTestSupport.h"
#include "ChildProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string randomBytes(std::mt19937& random, size_t size) {
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// The cache folder of the test process's own lookups, as the child's.
class TCacheHome {
public:
    explicit TCacheHome(const std::string& folder) {
        const char* before = std::getenv("XDG_CACHE_HOME");
        saved_ = before != nullptr ? std::optional<std::string>(before) : std::nullopt;
        ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
    }
    ~TCacheHome() {
        if (saved_)
            ::setenv("XDG_CACHE_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_CACHE_HOME");
    }

private:
    std::optional<std::string> saved_;
};

// A folder of pages that takes no new file (once the child has dropped the
// capabilities that would let it ignore that).
fs::path closedFolderWith(const TTempFolder& temp, const std::string& name, const std::string& bytes) {
    const fs::path folder = temp.Path() / "pages";
    fs::create_directories(folder);
    WriteFile((folder / name).string(), bytes);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    return folder;
}

size_t filesIn(const fs::path& folder) {
    size_t count = 0;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

// Random pages, each saved by a child that dies at a file-size limit above
// the old contents (so the copy is whole) and below the new ones (so the
// rewrite is cut).  The page is left cut; the record is found for that
// page and for none other; restoring gives back the old bytes and leaves
// nothing in the cache, forgetting keeps the copy and asks no more.
TEST(KeptCopies, APageCutByAKillMidRewriteIsFoundAndRestoredWhole) {
    std::mt19937 random(77031);
    for (int round = 0; round < 12; ++round) {
        TTempFolder temp;
        const std::string cache = temp.File("cache");
        TCacheHome cacheHome(cache);
        const std::string name = round % 3 == 0 ? std::string(255, 'k') : "page " + std::to_string(round) + ".html";
        const std::string before = randomBytes(random, 1 + random() % 200000);
        const std::string after = randomBytes(random, before.size() + 2 + random() % 200000);
        const fs::path folder = closedFolderWith(temp, name, before);
        const std::string page = (folder / name).string();
        const long limit = static_cast<long>(before.size() + 1 + random() % (after.size() - before.size() - 1));
        SCOPED_TRACE("round " + std::to_string(round) + ", old " + std::to_string(before.size()) + ", new " +
                     std::to_string(after.size()) + ", limit " + std::to_string(limit));

        const TChildOutcome outcome = RunInChild({limit, true, cache, true}, [&](std::string&) {
            WriteFileReplacing(page, after);
            return 0;
        });
        ASSERT_EQ(outcome.Signal, SIGXFSZ) << "exit " << outcome.ExitCode << ": " << outcome.Output;
        const std::string cut = ReadFile(page);
        ASSERT_EQ(cut.size(), static_cast<size_t>(limit));
        EXPECT_TRUE(cut == after.substr(0, cut.size()));

        const std::vector<TKeptCopy> found = FindInterruptedSaves(page);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].Page, fs::canonical(page).string());
        EXPECT_EQ(found[0].Size, before.size());
        EXPECT_EQ(FindInterruptedSaves().size(), 1u);
        EXPECT_TRUE(FindInterruptedSaves((folder / "other.html").string()).empty());

        if (round % 4 == 3) {
            ForgetKeptCopy(found[0]);
            EXPECT_TRUE(FindInterruptedSaves().empty());
            EXPECT_TRUE(ReadFile(found[0].Copy) == before) << "the copy stays for the user";
            continue;
        }
        RestoreKeptCopy(found[0]);
        const std::string now = ReadFile(page);
        EXPECT_EQ(now.size(), before.size());
        EXPECT_TRUE(now == before);
        EXPECT_TRUE(FindInterruptedSaves().empty());
        EXPECT_EQ(filesIn(fs::path(cache) / "korvane-ondrill"), 0u);
        EXPECT_EQ(filesIn(folder), 1u);
    }
}

// A large page killed with SIGKILL while its new contents are being
// written: the page is cut, and its copy comes back whole.
TEST(KeptCopies, ASigkillWhileTheRewriteRunsLeavesTheOldPageOnOffer) {
    std::mt19937 random(4431);
    const std::string before = randomBytes(random, 24 << 20);
    const std::string after = randomBytes(random, 32 << 20);
    bool cutSeen = false;
    for (int attempt = 0; attempt < 8 && !cutSeen; ++attempt) {
        TTempFolder temp;
        const std::string cache = temp.File("cache");
        TCacheHome cacheHome(cache);
        const fs::path folder = closedFolderWith(temp, "big.html", before);
        const std::string page = (folder / "big.html").string();

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ApplyChildLimits({-1, true, cache});
            try {
                WriteFileReplacing(page, after);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        // The page shrinks once the rewrite has begun; kill it while it
        // grows again.
        int status = 0;
        bool ended = false;
        for (;;) {
            struct stat info {};
            if (::stat(page.c_str(), &info) == 0 && info.st_size < static_cast<off_t>(before.size())) {
                ::kill(child, SIGKILL);
                break;
            }
            if (::waitpid(child, &status, WNOHANG) == child) {
                ended = true;
                break;
            }
        }
        if (!ended)
            ::waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the save failed";
        const std::string now = ReadFile(page);
        if (now == after)
            continue; // done before the kill came: try again
        cutSeen = true;
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_LT(now.size(), after.size());

        const std::vector<TKeptCopy> found = FindInterruptedSaves(page);
        ASSERT_EQ(found.size(), 1u);
        RestoreKeptCopy(found[0]);
        EXPECT_TRUE(ReadFile(page) == before) << "now " << ReadFile(page).size() << " bytes";
        EXPECT_TRUE(FindInterruptedSaves().empty());
    }
    EXPECT_TRUE(cutSeen) << "no kill came while the page was being rewritten";
}

// A record whose process still runs is a save in progress, not one cut
// short: it is not offered.  One of a process that has ended, or of this
// one, is.  A record without its whole copy is not.
TEST(KeptCopies, OnlySavesOfEndedProcessesWithWholeCopiesAreOffered) {
    TTempFolder temp;
    TCacheHome cacheHome(temp.File("cache"));
    const std::string folder = temp.File("cache/korvane-ondrill");
    fs::create_directories(folder);
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);

    const std::pair<long, bool> savers[] = {
        {static_cast<long>(::getppid()), false}, {1L, false}, {static_cast<long>(ended), true},
        {static_cast<long>(::getpid()), true}};
    std::vector<std::string> offered;
    int n = 0;
    for (const auto& [pid, expected] : savers) {
        TKeptCopy kept;
        kept.Copy = folder + "/page" + std::to_string(n) + ".1-0-1.orig";
        kept.Page = temp.File("page" + std::to_string(n++) + ".html");
        kept.Size = 5;
        kept.Pid = pid;
        WriteFile(kept.Copy, "whole");
        ASSERT_TRUE(RecordKeptCopy(kept));
        if (expected)
            offered.push_back(kept.Page);
    }
    std::vector<std::string> found;
    for (const TKeptCopy& kept : FindInterruptedSaves())
        found.push_back(kept.Page);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, offered);

    // A copy cut short (or gone) is no copy to offer.
    WriteFile(folder + "/page2.1-0-1.orig", "who");
    fs::remove(folder + "/page3.1-0-1.orig");
    EXPECT_TRUE(FindInterruptedSaves().empty());
}

} // namespace
