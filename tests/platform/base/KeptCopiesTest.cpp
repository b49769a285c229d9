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
#include "ProcessStates.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
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

    // Named in full (start time and boot), as this version records them.
    const auto saverNamed = [](long pid) {
        return TProcessIdentity{pid, process_states::StartTimeOf(pid), process_states::BootIdNow()};
    };
    const std::pair<TProcessIdentity, bool> savers[] = {{saverNamed(::getppid()), false},
                                                        {saverNamed(1), false},
                                                        {TProcessIdentity{ended, 1, "b"}, true},
                                                        {saverNamed(::getpid()), true}};
    std::vector<std::string> offered;
    int n = 0;
    for (const auto& [saver, expected] : savers) {
        TKeptCopy kept;
        kept.Copy = folder + "/page" + std::to_string(n) + ".1-0-1.orig";
        kept.Page = temp.File("page" + std::to_string(n++) + ".html");
        kept.Size = 5;
        kept.Saver = saver;
        ASSERT_TRUE(RecordKeptCopy(kept));
        WriteFile(kept.Copy, "whole");
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

// How a record's saver is found later, and what became of its copy.
enum class TSaver { This, Gone, Zombie, Sleeping, Stranger };
enum class TCopy { Whole, Incomplete, Missing, OtherSize };

struct TRecordCase {
    TSaver Saver;
    bool PidOnly;       // written as earlier versions did: the pid alone
    bool OtherBoot;     // (named in full) in a boot before this one
    bool OtherStart;    // (named in full) a start time not the process's
    bool WrittenBefore; // (pid only) the record is older than the process
    TCopy Copy;

    // The model: the save is over when its process is this one, has ended
    // (a zombie too), is of another boot or start time, or, named by its
    // pid alone, is not this program or started after the record was made.
    TKeptCopyState Expected() const {
        const bool alive = Saver == TSaver::Sleeping || Saver == TSaver::Stranger;
        const bool running = PidOnly ? alive && Saver == TSaver::Sleeping && !WrittenBefore
                                     : alive && !OtherBoot && !OtherStart;
        if (running)
            return TKeptCopyState::Saving;
        return Copy == TCopy::Whole ? TKeptCopyState::Interrupted : TKeptCopyState::Abandoned;
    }
};

// Records of every kind naming real processes in every state a saver is
// found in later, each with its copy whole, incomplete, missing or of
// another size: each is asked about, passed over as a save still running,
// or cleaned away as the model says, and the start's clean-up removes
// exactly what abandoned saves left (unfinished records too).
TEST(KeptCopies, EachRecordIsAskedSkippedOrCleanedAsItsSaverAndBootDecide) {
    using namespace process_states;
    TTempFolder temp;
    TCacheHome cacheHome(temp.File("cache"));
    const fs::path folder = temp.Path() / "cache" / "korvane-ondrill";
    fs::create_directories(folder);
    TTestProcess gone = TTestProcess::Sleeping(), zombie = TTestProcess::Zombie(),
                 sleeping = TTestProcess::Sleeping(), stranger = TTestProcess::Stranger();
    const long gonePid = gone.Pid();
    const uint64_t goneStart = gone.StartTime();
    gone.End();
    const std::pair<long, uint64_t> savers[] = {{::getpid(), StartTimeOf(::getpid())},
                                                {gonePid, goneStart},
                                                {zombie.Pid(), zombie.StartTime()},
                                                {sleeping.Pid(), sleeping.StartTime()},
                                                {stranger.Pid(), stranger.StartTime()}};
    const std::string boot = BootIdNow();
    const std::string otherBoot(boot.rbegin(), boot.rend());

    std::mt19937 random(20931);
    std::vector<std::pair<TRecordCase, TKeptCopy>> cases;
    for (int n = 0; n < 160; ++n) {
        const TRecordCase c{static_cast<TSaver>(random() % 5), random() % 3 == 0, random() % 3 == 0,
                            random() % 3 == 0, random() % 2 == 0, static_cast<TCopy>(random() % 4)};
        const auto [pid, start] = savers[static_cast<int>(c.Saver)];
        TKeptCopy kept;
        kept.Copy = (folder / ("page " + std::to_string(n) + ".html.7-" + std::to_string(n) + "-1.orig")).string();
        kept.Page = temp.File("site/page " + std::to_string(n) + ".html");
        kept.Size = 1 + random() % 3000;
        kept.Saver = {pid, start + (c.OtherStart ? 1 + random() % 500 : 0), c.OtherBoot ? otherBoot : boot};
        const std::string stem = kept.Copy.substr(0, kept.Copy.size() - 5);
        if (c.PidOnly) {
            kept.Record = stem + ".page";
            WriteFile(kept.Record, "korvane-ondrill kept copy 1\n" + std::to_string(pid) + "\n" +
                                       std::to_string(kept.Size) + "\n" + kept.Page);
            if (c.WrittenBefore)
                fs::last_write_time(kept.Record, fs::file_time_type::clock::now() - std::chrono::hours(1));
        } else {
            ASSERT_TRUE(RecordKeptCopy(kept)) << std::strerror(errno);
        }
        if (c.Copy == TCopy::Whole || c.Copy == TCopy::OtherSize)
            WriteFile(kept.Copy, randomBytes(random, kept.Size + (c.Copy == TCopy::OtherSize ? 1 : 0)));
        if (c.Copy == TCopy::Incomplete)
            WriteFile(stem + ".part", randomBytes(random, random() % kept.Size));
        cases.emplace_back(c, kept);
    }
    // Records never finished: one too short to name its process, old and
    // new; one naming a saver that has ended, one a saver still running.
    const fs::path unfinished[] = {folder / "a.1-0-1.pnew", folder / "b.1-0-1.pnew", folder / "c.1-0-1.pnew",
                                   folder / "d.1-0-1.pnew"};
    WriteFile(unfinished[0].string(), "korvane-ondrill kept");
    fs::last_write_time(unfinished[0], fs::file_time_type::clock::now() - std::chrono::hours(2));
    WriteFile(unfinished[1].string(), "");
    for (int n = 0; n < 2; ++n) {
        TKeptCopy kept;
        kept.Copy = (folder / (n == 0 ? "e.orig" : "f.orig")).string();
        kept.Page = "/p.html";
        kept.Saver = {savers[n == 0 ? 2 : 3].first, savers[n == 0 ? 2 : 3].second, boot};
        ASSERT_TRUE(RecordKeptCopy(kept));
        fs::rename(kept.Record, unfinished[n == 0 ? 2 : 3]);
    }

    const auto stateOf = [](const std::vector<TKeptCopy>& found, const std::string& record) {
        for (const TKeptCopy& kept : found)
            if (kept.Record == record)
                return std::optional<TKeptCopyState>(kept.State);
        return std::optional<TKeptCopyState>();
    };
    const std::vector<TKeptCopy> found = FindKeptCopies();
    EXPECT_EQ(found.size(), cases.size());
    size_t interrupted = 0;
    for (const auto& [c, kept] : cases) {
        SCOPED_TRACE(kept.Record);
        EXPECT_EQ(stateOf(found, kept.Record), c.Expected());
        interrupted += c.Expected() == TKeptCopyState::Interrupted ? 1 : 0;
    }
    EXPECT_EQ(FindInterruptedSaves().size(), interrupted);

    RemoveAbandonedCopies();
    const std::vector<TKeptCopy> left = FindKeptCopies();
    for (const auto& [c, kept] : cases) {
        SCOPED_TRACE(kept.Record);
        const bool abandoned = c.Expected() == TKeptCopyState::Abandoned;
        EXPECT_EQ(stateOf(left, kept.Record), abandoned ? std::nullopt : std::optional(c.Expected()));
        EXPECT_EQ(fs::exists(kept.Copy.substr(0, kept.Copy.size() - 5) + ".part"),
                  c.Copy == TCopy::Incomplete && !abandoned);
        // A copy that was whole once (or the user's) is never removed.
        EXPECT_EQ(fs::exists(kept.Copy), c.Copy == TCopy::Whole || c.Copy == TCopy::OtherSize);
    }
    EXPECT_FALSE(fs::exists(unfinished[0]));
    EXPECT_TRUE(fs::exists(unfinished[1]));
    EXPECT_FALSE(fs::exists(unfinished[2]));
    EXPECT_TRUE(fs::exists(unfinished[3]));
}

// A save killed while the copy of the old contents is written (a file-size
// limit below the old contents, so the copy is where it dies): the page is
// untouched, nothing is offered, and the cache holds only the record and a
// copy named incomplete, both removed by the next start's clean-up.  A
// limit above the old contents cuts the rewrite instead: the copy is whole.
TEST(KeptCopies, AKillWhileTheCopyIsWrittenLeavesOnlyAnIncompleteCopyTheNextStartRemoves) {
    std::mt19937 random(66017);
    for (int round = 0; round < 10; ++round) {
        TTempFolder temp;
        const std::string cache = temp.File("cache");
        TCacheHome cacheHome(cache);
        const std::string before = randomBytes(random, 20000 + random() % 300000);
        const std::string after = randomBytes(random, before.size() + 1000 + random() % 100000);
        const fs::path folder = closedFolderWith(temp, "page.html", before);
        const std::string page = (folder / "page.html").string();
        const bool inCopy = round % 3 != 0;
        // Above the record's few bytes, so that the kill comes in the copy.
        const long limit = inCopy ? static_cast<long>(4096 + random() % (before.size() - 4096))
                                  : static_cast<long>(before.size() + random() % (after.size() - before.size()));
        SCOPED_TRACE("round " + std::to_string(round) + ", limit " + std::to_string(limit));
        TChildLimits limits{limit, true, cache};
        limits.DieAtFileSizeLimit = true;
        ASSERT_EQ(RunInChild(limits,
                             [&](std::string&) {
                                 WriteFileReplacing(page, after);
                                 return 0;
                             })
                      .Signal,
                  SIGXFSZ);

        std::vector<std::string> endings;
        for (const auto& entry : fs::directory_iterator(fs::path(cache) / "korvane-ondrill"))
            endings.push_back(entry.path().extension().string());
        std::sort(endings.begin(), endings.end());
        EXPECT_EQ(endings, (std::vector<std::string>{inCopy ? ".page" : ".orig", inCopy ? ".part" : ".page"}));
        EXPECT_EQ(FindInterruptedSaves(page).size(), inCopy ? 0u : 1u);
        if (!inCopy)
            continue;
        EXPECT_TRUE(ReadFile(page) == before) << "the page is untouched";
        RemoveAbandonedCopies();
        EXPECT_EQ(filesIn(fs::path(cache) / "korvane-ondrill"), 0u);
    }
}

} // namespace

namespace {

// Records as the two earlier layouts wrote them: the pid alone, or the
// saving process without checksums or the page's identity.
std::string earlierRecord(int layout, long pid, const std::string& page, size_t copySize) {
    std::string text = "korvane-ondrill kept copy " + std::to_string(layout) + "\n" + std::to_string(pid) + "\n";
    if (layout == 2)
        text += "1\nsome-earlier-boot\n";
    return text + std::to_string(copySize) + "\n" + page;
}

} // namespace

// Records of earlier layouts, of a saver long gone, still read: what they
// do not tell (the finished save) is never guessed, so their page is whole
// only when it holds the copy's bytes; a page holding anything else, the
// save's new bytes too, is asked about; and the start removes what the
// whole ones left, and only that.
TEST(KeptCopies, RecordsOfEarlierLayoutsAreJudgedByTheCopyAlone) {
    TTempFolder temp;
    TCacheHome cacheHome(temp.File("cache"));
    const fs::path folder = temp.Path() / "cache" / "korvane-ondrill";
    fs::create_directories(folder);
    fs::create_directories(temp.Path() / "site");
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    std::mt19937 random(808);
    enum TPageNow { HoldsTheCopy, CutShort, HoldsTheNewBytes };
    std::vector<std::pair<std::string, bool>> pages; // page, whole
    for (int layout = 1; layout <= 2; ++layout) {
        for (const TPageNow now : {HoldsTheCopy, CutShort, HoldsTheNewBytes}) {
            const std::string before = randomBytes(random, 1000 + random() % 5000);
            const std::string after = randomBytes(random, before.size() + 10);
            const std::string name = "p" + std::to_string(layout) + "-" + std::to_string(now) + ".html";
            const std::string page = (temp.Path() / "site" / name).string();
            WriteFile(page, now == HoldsTheCopy ? before : now == CutShort ? after.substr(0, 7) : after);
            WriteFile((folder / (name + ".1-0-1.orig")).string(), before);
            WriteFile((folder / (name + ".1-0-1.page")).string(), earlierRecord(layout, ended, page, before.size()));
            pages.emplace_back(page, now == HoldsTheCopy);
        }
    }
    for (const auto& [page, whole] : pages)
        EXPECT_EQ(FindInterruptedSaves(page).size(), whole ? 0u : 1u) << page;
    EXPECT_EQ(RemoveAbandonedCopies().size(), 4u);
    for (const auto& [page, whole] : pages) {
        const fs::path copy = folder / (fs::path(page).filename().string() + ".1-0-1.orig");
        EXPECT_EQ(fs::exists(copy), !whole) << page;
        EXPECT_EQ(FindKeptCopies(page).size(), whole ? 0u : 1u) << page;
    }
}
