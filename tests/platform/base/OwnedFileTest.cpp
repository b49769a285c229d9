// Files the program names itself, in a folder where others may have put
// anything under those names first: links to a victim's file (existing or
// not yet), dangling links, folders, the user's own files.  Whatever the
// order of creations, removals, objects going away and files swapped
// behind the program's back, exactly the files it made go, nothing else
// in the folder or behind a link changes, and each name it took was the
// first free one of its series.

#include "platform/base/Exceptions.h"
#include "platform/base/OwnedFile.h"

#include "BaseTestSupport.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "HTMLtmp.htm";

// What a folder holds, entry by entry, as a comparable text: a link's
// target (never followed), a file's identity, bits and bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string path = entry.path().string();
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
        std::string text;
        if (S_ISLNK(info.st_mode))
            text = "link " + fs::read_symlink(entry.path()).string();
        else if (S_ISDIR(info.st_mode))
            text = "folder";
        else
            text = "file " + std::to_string(info.st_ino) + " " + std::to_string(info.st_mode & 07777) + " " +
                   ReadFile(path);
        entries[entry.path().filename().string()] = text;
    }
    return entries;
}

std::string randomText(std::mt19937& random) {
    std::string text(random() % 40, '\0');
    for (char& c : text)
        c = static_cast<char>(random());
    return text;
}

struct TMade {
    std::unique_ptr<TOwnedFile> File = std::make_unique<TOwnedFile>();
    std::string Bytes;
    unsigned Mode = 0;
};

} // namespace

TEST(OwnedFile, RandomSequencesRemoveExactlyTheFilesMadeAndChangeNothingElse) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TTempFolder temp;
        const fs::path site = temp.Path() / "site";
        const fs::path victim = temp.Path() / "victim";
        fs::create_directories(site);
        fs::create_directories(victim);
        WriteFile((victim / "secret").string(), "the victim's own bytes");

        // Names of the series taken beforehand, each in one of the ways.
        for (int attempt = 1; attempt <= 5; ++attempt) {
            const fs::path name = site / OwnedFileCandidate(kName, attempt);
            switch (random() % 6) {
            case 0: break;
            case 1: WriteFile(name.string(), "user's own " + std::to_string(attempt)); break;
            case 2: fs::create_symlink(victim / "secret", name); break;
            case 3: fs::create_symlink(victim / ("new" + std::to_string(attempt)), name); break;
            case 4: fs::create_symlink("missing", name); break;
            default: fs::create_directory(name); break;
            }
        }
        const auto victimBefore = snapshot(victim);
        // Every entry not made by an object: what was there, and what
        // someone put in place of a file made.
        std::map<std::string, std::string> foreign = snapshot(site);

        std::vector<TMade> objects(1 + random() % 3);
        auto check = [&] {
            std::map<std::string, std::string> expected = foreign;
            for (const TMade& made : objects) {
                if (made.File->Path().empty())
                    continue;
                const std::string name = fs::path(made.File->Path()).filename().string();
                EXPECT_EQ(made.File->Path(), (site / name).string());
                ASSERT_FALSE(expected.count(name)) << name << " made over another entry";
                struct stat info {};
                ASSERT_EQ(::lstat(made.File->Path().c_str(), &info), 0);
                expected[name] =
                    "file " + std::to_string(info.st_ino) + " " + std::to_string(made.Mode) + " " + made.Bytes;
            }
            EXPECT_EQ(snapshot(site), expected);
            EXPECT_EQ(snapshot(victim), victimBefore);
        };

        for (int step = 0; step < 12; ++step) {
            TMade& made = objects[random() % objects.size()];
            switch (random() % 5) {
            case 0:
            case 1: {
                made.Bytes = randomText(random);
                made.Mode = (random() % 2 == 0 ? 0600u : 0644u) | (random() % 2 == 0 ? 0100u : 0u);
                // The first name of the series that nothing holds once the
                // object's own earlier file is gone.
                std::set<std::string> taken;
                for (const auto& [name, text] : snapshot(site))
                    taken.insert(name);
                if (!made.File->Path().empty())
                    taken.erase(fs::path(made.File->Path()).filename().string());
                int first = 1;
                while (taken.count(OwnedFileCandidate(kName, first)))
                    ++first;
                made.File->Create(site.string(), kName, made.Bytes, made.Mode);
                EXPECT_EQ(made.File->Path(), (site / OwnedFileCandidate(kName, first)).string());
                break;
            }
            case 2: made.File->Remove(); break;
            case 3: made.File = std::make_unique<TOwnedFile>(); break; // the owner goes
            default:
                // Someone swaps the file made for one of their own, or a
                // link, under the same name: it must stay.
                if (!made.File->Path().empty()) {
                    const std::string path = made.File->Path();
                    fs::remove(path);
                    if (random() % 2 == 0)
                        WriteFile(path, "swapped in");
                    else
                        fs::create_symlink(victim / "secret", path);
                    foreign = snapshot(site);
                    for (const TMade& other : objects)
                        if (!other.File->Path().empty() && other.File->Path() != path)
                            foreign.erase(fs::path(other.File->Path()).filename().string());
                    const std::string name = fs::path(path).filename().string();
                    made.File->Remove(); // forgets it, removes nothing
                    EXPECT_TRUE(fs::symlink_status(path).type() != fs::file_type::not_found) << name;
                }
                break;
            }
            check();
        }
        objects.clear();
        EXPECT_EQ(snapshot(site), foreign) << "the objects leave only what was not theirs";
        EXPECT_EQ(snapshot(victim), victimBefore);
    }
}

TEST(OwnedFile, SeriesNamesAndFailuresLeaveNothingBehind) {
    EXPECT_EQ(OwnedFileCandidate("HTMLtmp.htm", 1), "HTMLtmp.htm");
    EXPECT_EQ(OwnedFileCandidate("HTMLtmp.htm", 2), "HTMLtmp-2.htm");
    EXPECT_EQ(OwnedFileCandidate("a.b.htm", 12), "a.b-12.htm");
    EXPECT_EQ(OwnedFileCandidate("noext", 3), "noext-3");
    EXPECT_EQ(OwnedFileCandidate(".hidden", 2), ".hidden-2");

    TTempFolder temp;
    TOwnedFile file;
    // A folder that is not there: the reason is told, nothing is kept.
    try {
        file.Create(temp.File("missing"), kName, "x", 0600);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& error) {
        EXPECT_NE(error.Message().find("missing/HTMLtmp.htm"), std::string::npos) << error.Message();
    }
    EXPECT_EQ(file.Path(), "");
    // A read-only mode still gets the whole contents.
    file.Create(temp.Path().string(), kName, "read-only copy", 0444);
    EXPECT_EQ(ReadFile(file.Path()), "read-only copy");
    EXPECT_EQ(fs::status(file.Path()).permissions() & fs::perms::all, fs::perms(0444));
}

// The fixed names written again each time: a plain file is replaced (its
// bits kept), a new one made, a link or a folder refused with the reason,
// and then nothing is written anywhere.
TEST(OwnedFile, FixedNamesAreRewrittenButNeverThroughALink) {
    TTempFolder temp;
    const std::string secret = temp.File("secret");
    WriteFile(secret, "victim");
    const std::string plain = temp.File("mmenu.js");
    WriteFile(plain, "old");
    fs::permissions(plain, fs::perms(0640));
    WriteFileNotThroughLink(plain, "new");
    EXPECT_EQ(ReadFile(plain), "new");
    EXPECT_EQ(fs::status(plain).permissions() & fs::perms::all, fs::perms(0640));
    WriteFileNotThroughLink(temp.File("arrow.gif"), "GIF");
    EXPECT_EQ(ReadFile(temp.File("arrow.gif")), "GIF");

    const std::string link = temp.File("newmenu_array.js");
    const std::string dangling = temp.File("dangling.js");
    fs::create_symlink(secret, link);
    fs::create_symlink(temp.File("made-by-follow"), dangling);
    fs::create_directory(temp.File("folder.js"));
    const auto before = snapshot(temp.Path());
    for (const std::string& name : {link, dangling, temp.File("folder.js")}) {
        try {
            WriteFileNotThroughLink(name, "menu");
            ADD_FAILURE() << name << " written";
        } catch (const EFCreateError& error) {
            EXPECT_NE(error.Message().find(name), std::string::npos) << error.Message();
            const bool isLink = name != temp.File("folder.js");
            EXPECT_EQ(error.Message().find("symbolic link") != std::string::npos, isLink) << error.Message();
        }
    }
    EXPECT_EQ(snapshot(temp.Path()), before);
}
