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

} // namespace
