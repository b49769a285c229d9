// Saving over a file: whatever goes wrong, the file holds either its old
// contents or the new ones.  Failures are made real in a child process: a
// file-size limit cuts writes short midway, and a folder of mode 0555
// refuses new files (the child drops the capabilities that let a superuser
// ignore that), which leaves only a rewrite in place.

#include "platform/base/Exceptions.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Stream.h"

#include "BaseTestSupport.h"
#include "ChildProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

enum : int { kSaved = 0, kRefused = 1 };

std::string randomBytes(std::mt19937& random, size_t size) {
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
        if (!entry.is_directory())
            names.push_back(entry.path().filename().string());
    return names;
}

// Saves data over target in a child under limits; the error's text comes
// back in the outcome's output.
TChildOutcome saveInChild(const TChildLimits& limits, const std::string& target, const std::string& data,
                          const std::function<void(const std::string&, const std::string&)>& save =
                              [](const std::string& name, const std::string& bytes) { WriteFileReplacing(name, bytes); }) {
    return RunInChild(limits, [&](std::string& report) {
        try {
            save(target, data);
            return kSaved;
        } catch (const EStreamError& error) {
            report = error.Message();
            return kRefused;
        }
    });
}

// Random saves, each under a random size limit, into a folder that takes
// new files or not, checked against what must happen: the save succeeds
// exactly when every file it writes fits under the limit (the new
// contents, and in a closed folder also the copy of the old ones kept
// meanwhile); otherwise the file keeps its old bytes and the error names
// it.  Nothing is left behind in either folder.
TEST(SafeFile, AFailedSaveLeavesTheOldContentsInAnyFolder) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 24; ++round) {
        TTempFolder temp;
        const fs::path folder = temp.Path() / "pages";
        const fs::path cache = temp.Path() / "cache";
        fs::create_directories(folder);
        const bool closedFolder = round % 2 == 0;
        // Every third round the file's name is as long as a name may be,
        // which leaves no room for a temporary name made by adding to it.
        const std::string name = round % 3 == 0 ? std::string(255 - round % 2, 'p') : "page.html";
        const std::string target = (folder / name).string();
        const std::string before = randomBytes(random, random() % 120000);
        const std::string after = randomBytes(random, random() % 120000);
        WriteFile(target, before);
        if (closedFolder)
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        const long limit = static_cast<long>(random() % 130000);

        TChildOutcome outcome = saveInChild({limit, true, cache.string()}, target, after);

        const bool fits = after.size() <= static_cast<size_t>(limit) &&
                          (!closedFolder || before.size() <= static_cast<size_t>(limit));
        SCOPED_TRACE("round " + std::to_string(round) + (closedFolder ? ", closed folder" : ", open folder") +
                     ", old " + std::to_string(before.size()) + ", new " + std::to_string(after.size()) +
                     ", limit " + std::to_string(limit));
        ASSERT_EQ(outcome.ExitCode, fits ? kSaved : kRefused) << outcome.Output;
        const std::string now = ReadFile(target);
        EXPECT_EQ(now.size(), fits ? after.size() : before.size());
        EXPECT_TRUE(now == (fits ? after : before));
        if (!fits) {
            EXPECT_NE(outcome.Output.find(target), std::string::npos) << outcome.Output;
            EXPECT_EQ(outcome.Output.find("kept in"), std::string::npos) << "the old contents were put back";
        }
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{name});
        EXPECT_EQ(namesIn(cache), std::vector<std::string>{});
    }
}

// A closed folder and no cache folder to keep a copy in: nothing is
// rewritten without a copy, so the save is refused before the file is
// touched.
TEST(SafeFile, NoRewriteInPlaceWithoutACopyOfTheOldContents) {
    TTempFolder temp;
    const fs::path folder = temp.Path() / "pages";
    fs::create_directories(folder);
    const std::string target = (folder / "page.html").string();
    WriteFile(target, "old page");
    WriteFile(temp.File("not-a-folder"), "x");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    TChildOutcome outcome =
        saveInChild({-1, true, temp.File("not-a-folder/cache")}, target, std::string(5000, 'n'));
    EXPECT_EQ(outcome.ExitCode, kRefused);
    EXPECT_NE(outcome.Output.find("No copy of the old contents"), std::string::npos) << outcome.Output;
    EXPECT_TRUE(ReadFile(target) == "old page") << "now " << ReadFile(target).size() << " bytes";

    // With a cache folder the same save goes through, and the copy goes.
    outcome = saveInChild({-1, true, temp.File("cache")}, target, std::string(5000, 'n'));
    EXPECT_EQ(outcome.ExitCode, kSaved) << outcome.Output;
    EXPECT_TRUE(ReadFile(target) == std::string(5000, 'n'));
    EXPECT_EQ(namesIn(temp.Path() / "cache"), std::vector<std::string>{});
}

// A memory stream saved over a file replaces it whole or not at all.
TEST(SafeFile, AMemoryStreamSaveCutShortKeepsTheOldFile) {
    TTempFolder temp;
    const std::string target = temp.File("data.bin");
    WriteFile(target, "the old data");
    const std::string big(80000, 'b');
    TChildOutcome outcome = saveInChild({40000, false, temp.File("cache")}, target, big,
                                        [](const std::string& name, const std::string& bytes) {
                                            TMemoryStream stream;
                                            stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
                                            stream.SaveToFile(name);
                                        });
    EXPECT_EQ(outcome.ExitCode, kRefused) << outcome.Output;
    EXPECT_TRUE(ReadFile(target) == "the old data") << "now " << ReadFile(target).size() << " bytes";
    EXPECT_EQ(namesIn(temp.Path()), std::vector<std::string>{"data.bin"});

    // A read-only file is refused, also to the superuser.
    fs::permissions(target, fs::perms::owner_read);
    TMemoryStream stream;
    stream.Write(big.data(), static_cast<int64_t>(big.size()));
    EXPECT_THROW(stream.SaveToFile(target), EFCreateError);
    EXPECT_TRUE(ReadFile(target) == "the old data") << "now " << ReadFile(target).size() << " bytes";
}

// Random pages (sizes, permissions, owners, hard links) saved by a child
// without the capabilities that let a superuser ignore permissions and
// owners, checked against what a save must keep: the new bytes under every
// name of the page, its exact permissions, owner and group.  A page with
// other names, or whose owner or group the saver may not give a new file,
// is rewritten in place (same inode, links joined); any other is replaced
// by a new file.  Nothing is left beside the page or in the cache.
TEST(SafeFile, ASaveKeepsLinksOwnersAndPermissionsOfRandomPages) {
    constexpr uid_t kOther = 65534; // a user and a group the saver is not
    const mode_t modes[] = {0600, 0640, 0644, 0660, 0664, 0666, 0700, 0755, 0620, 0602};
    std::mt19937 random(5150);
    for (int round = 0; round < 40; ++round) {
        TTempFolder temp;
        const fs::path folder = temp.Path() / "pages";
        const fs::path cache = temp.Path() / "cache";
        fs::create_directories(folder);
        const std::string target = (folder / "page.html").string();
        const uid_t owner = random() % 3 == 0 ? kOther : 0;
        const gid_t group = random() % 3 == 0 ? kOther : 0;
        // Only modes that let the saver read and write the page.
        const mode_t needed = owner == 0 ? S_IRUSR | S_IWUSR : group == 0 ? S_IRGRP | S_IWGRP : S_IROTH | S_IWOTH;
        mode_t mode = 0;
        do
            mode = modes[random() % std::size(modes)];
        while ((mode & needed) != needed);
        const int links = 1 + static_cast<int>(random() % 3);
        const std::string before = randomBytes(random, random() % 50000);
        const std::string after = randomBytes(random, random() % 50000);
        WriteFile(target, before);
        for (int link = 1; link < links; ++link)
            fs::create_hard_link(target, folder / ("other name " + std::to_string(link)));
        ASSERT_EQ(::chown(target.c_str(), owner, group), 0);
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        struct stat old {};
        ASSERT_EQ(::stat(target.c_str(), &old), 0);
        const bool inPlace = links > 1 || owner != 0 || group != 0;
        SCOPED_TRACE("round " + std::to_string(round) + ", mode " + std::to_string(mode) + ", owner " +
                     std::to_string(owner) + ", group " + std::to_string(group) + ", links " +
                     std::to_string(links));

        TChildOutcome outcome = saveInChild({-1, true, cache.string()}, target, after);

        ASSERT_EQ(outcome.ExitCode, kSaved) << outcome.Output;
        struct stat now {};
        ASSERT_EQ(::stat(target.c_str(), &now), 0);
        EXPECT_TRUE(ReadFile(target) == after);
        EXPECT_EQ(now.st_mode & 07777, mode);
        EXPECT_EQ(now.st_uid, owner);
        EXPECT_EQ(now.st_gid, group);
        EXPECT_EQ(now.st_ino == old.st_ino, inPlace);
        EXPECT_EQ(now.st_nlink, static_cast<nlink_t>(links));
        for (int link = 1; link < links; ++link)
            EXPECT_TRUE(ReadFile((folder / ("other name " + std::to_string(link))).string()) == after);
        EXPECT_EQ(namesIn(folder).size(), static_cast<size_t>(links));
        EXPECT_EQ(namesIn(cache), std::vector<std::string>{});
    }
}

// A save killed while it writes the temporary file (here by a file-size
// limit, as a crash would) leaves that file behind: with the page's own
// permissions from the start, never readable by more users than the page.
// The next save of the page removes it, and only it: a file of that
// pattern for another page, of a process still running, of another user,
// a link, or of another pattern stays.
TEST(SafeFile, ATemporaryFileHasThePagesModeAndALeftoverGoesWithTheNextSave) {
    const mode_t modes[] = {0600, 0640, 0604, 0700, 0620};
    std::mt19937 random(9911);
    for (int round = 0; round < 6; ++round) {
        TTempFolder temp;
        const fs::path folder = temp.Path() / "pages";
        fs::create_directories(folder);
        const std::string target = (folder / "page.html").string();
        const mode_t mode = modes[random() % std::size(modes)];
        WriteFile(target, "old page");
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        const long limit = 1000 + static_cast<long>(random() % 50000);
        SCOPED_TRACE("round " + std::to_string(round) + ", mode " + std::to_string(mode));

        TChildLimits limits{limit, true, temp.File("cache")};
        limits.DieAtFileSizeLimit = true;
        const TChildOutcome outcome = saveInChild(limits, target, randomBytes(random, limit + 1 + random() % 9000));
        ASSERT_EQ(outcome.Signal, SIGXFSZ) << outcome.ExitCode << outcome.Output;
        EXPECT_TRUE(ReadFile(target) == "old page");
        std::vector<std::string> names = namesIn(folder);
        ASSERT_EQ(names.size(), 2u);
        const std::string leftover = names[0] == "page.html" ? names[1] : names[0];
        ASSERT_EQ(leftover.rfind(".page.html.", 0), 0u) << leftover;
        struct stat info {};
        ASSERT_EQ(::stat((folder / leftover).string().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << "the temporary file's mode";
        EXPECT_EQ(static_cast<long>(info.st_size), limit);

        // Look-alikes that must stay, the dead process's pid in most.
        const std::string pid = leftover.substr(11, leftover.find('-') - 11);
        const std::vector<std::string> keep = {".other.html." + pid + "-0-5.tmp", ".page.html.1-0-5.tmp",
                                               ".page.html." + pid + "-0-5.tmp.bak", "page.html." + pid + "-0-5.tmp",
                                               ".page.html." + pid + "-x-5.tmp", ".page.html." + pid + "-0-6.tmp",
                                               ".page.html." + pid + "-0-7.tmp"};
        for (const std::string& name : keep)
            WriteFile((folder / name).string(), "not ours to take");
        ASSERT_EQ(::chown((folder / keep[5]).string().c_str(), 65534, 65534), 0);
        fs::remove(folder / keep[6]);
        fs::create_symlink("page.html", folder / keep[6]);

        WriteFileReplacing(target, "new page");

        EXPECT_TRUE(ReadFile(target) == "new page");
        names = namesIn(folder);
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = keep;
        expected.push_back("page.html");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    }
}

} // namespace
