// The trash and free names with the awkward names users do have: names of
// the longest length a folder takes, names with line breaks, "%" and bytes
// that are not UTF-8.  The records are read back the way any trash viewer
// reads them (a line-based key file whose Path is percent-decoded), which
// is the oracle: every trashed item must be restorable to the very place
// it came from, with its data.

#include "platform/base/HexDigits.h"
#include "platform/shellns/FileOperations.h"
#include "platform/shellns/NameFitting.h"
#include "platform/shellns/ShellFolder.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/shellns/Trash.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <chrono>
#include <cstdlib>
#include <future>
#include <map>
#include <sys/stat.h>
#include <thread>

namespace {

// A trash call that does not come back is a failure of its own, reported
// at once instead of as the test run's time-out.
HRESULT trashWithin(const std::string& path, std::string* where = nullptr) {
    auto call = std::make_shared<std::packaged_task<HRESULT()>>([path, where] { return MoveToTrash(path, where); });
    std::future<HRESULT> answer = call->get_future();
    std::thread([call] { (*call)(); }).detach();
    if (answer.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "moving " << path.size() << " bytes of path to the trash never ended";
        std::_Exit(EXIT_FAILURE);
    }
    return answer.get();
}

// The Path a trash viewer reads from a record: the value of the first
// "Path=" line of the "[Trash Info]" group, percent-decoded.
bool recordedPath(const std::string& record, std::string& path) {
    if (!record.starts_with("[Trash Info]\n"))
        return false;
    size_t at = record.find("\nPath=");
    if (at == std::string::npos)
        return false;
    at += 6;
    std::string value = record.substr(at, record.find('\n', at) - at);
    path.clear();
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            path.push_back(value[i]);
            continue;
        }
        if (i + 2 >= value.size() || HexDigitValue(value[i + 1]) < 0 || HexDigitValue(value[i + 2]) < 0)
            return false;
        path.push_back(static_cast<char>(HexDigitValue(value[i + 1]) * 16 + HexDigitValue(value[i + 2])));
        i += 2;
    }
    return true;
}

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShellTestApplication(); }

    std::string trash() const { return JoinPath(home.Home, ".local/share/Trash"); }

    TShellTestHome home;
    TScriptedUserInteraction user;
};

std::string nameOfLength(std::mt19937& random, size_t length) {
    std::string name = RandomFileName(random, length);
    while (name.size() < length)
        name += RandomFileName(random, length - name.size());
    name.resize(length);
    if (name == "." || name == "..")
        name = std::string(length, 'x');
    return name;
}

} // namespace

TEST_F(TrashTest, EveryTrashedItemRestoresToItsPlaceWithItsData) {
    std::mt19937 random(20240611);
    const size_t limit = NameLengthLimit(home.Files);
    // Line breaks, the longest names, and names trashed again and again so
    // that the trash must find free names for them.
    std::vector<std::string> names = {"line\nbreak.htm", std::string(limit, 'n'),
                                      std::string(limit - 4, 'e') + ".htm", "%41 100%.htm", "\n"};
    for (int i = 0; i < 40; ++i)
        names.push_back(nameOfLength(random, i % 4 == 0 ? limit : 1 + random() % limit));
    names.push_back(names[1]);
    names.push_back(names[1]);
    names.push_back(names[2]);

    struct TTrashed {
        std::string Path, Data;
    };
    std::map<std::string, TTrashed> trashed; // by the name in the trash
    for (size_t i = 0; i < names.size(); ++i) {
        std::string path = JoinPath(home.Files, names[i]);
        std::string data = "item " + std::to_string(i) + std::string(i * 13, char('a' + i % 26));
        if (i % 7 == 3) {
            std::filesystem::create_directory(path);
            WriteFile(JoinPath(path, "inside"), data);
        } else {
            WriteFile(path, data);
        }
        std::string where;
        ASSERT_EQ(trashWithin(path, &where), S_OK) << i;
        EXPECT_FALSE(PathExists(path)) << i;
        ASSERT_EQ(ParentPathOf(where), JoinPath(trash(), "files"));
        ASSERT_EQ(trashed.count(std::string(FileNameOf(where))), 0u) << "a trashed item was replaced";
        trashed[std::string(FileNameOf(where))] = {path, data};
    }

    // Put back through the records only, as a trash viewer would.
    size_t restored = 0;
    for (const auto& entry : std::filesystem::directory_iterator(JoinPath(trash(), "info"))) {
        std::string infoName = entry.path().filename().string();
        ASSERT_LE(infoName.size(), limit);
        ASSERT_TRUE(infoName.ends_with(".trashinfo"));
        std::string inTrash = infoName.substr(0, infoName.size() - 10);
        ASSERT_EQ(trashed.count(inTrash), 1u) << "a record without its item";
        std::string original;
        ASSERT_TRUE(recordedPath(ReadFile(entry.path().string()), original)) << infoName;
        ASSERT_EQ(original, trashed[inTrash].Path);
        std::string from = JoinPath(JoinPath(trash(), "files"), inTrash);
        ASSERT_EQ(std::rename(from.c_str(), original.c_str()), 0) << original;
        std::string data = IsFolderPath(original) ? ReadFile(JoinPath(original, "inside")) : ReadFile(original);
        EXPECT_EQ(data, trashed[inTrash].Data);
        std::filesystem::remove_all(original);
        ++restored;
    }
    // Each name was put back once; the repeated ones went to distinct
    // names in the trash.
    EXPECT_EQ(restored, names.size());
    EXPECT_TRUE(std::filesystem::is_empty(JoinPath(trash(), "files")));
}

// A fresh account has no data folder yet (or only part of its path): the
// item still goes to the home trash, whose missing folders are made for the
// owner alone, never to a trash at the top of the volume.
TEST_F(TrashTest, AHomeWithoutItsDataFolderYetStillGetsTheHomeTrash) {
    std::filesystem::remove_all(JoinPath(home.Home, ".local"));
    const std::vector<std::string> dataHomes = {"", JoinPath(home.Home, "data"),
                                                JoinPath(home.Home, "deep/er/data")};
    for (size_t round = 0; round < dataHomes.size(); ++round) {
        const std::string& chosen = dataHomes[round];
        if (chosen.empty())
            ::unsetenv("XDG_DATA_HOME"); // $HOME/.local/share
        else
            ::setenv("XDG_DATA_HOME", chosen.c_str(), 1);
        const std::string dataHome = chosen.empty() ? JoinPath(home.Home, ".local/share") : chosen;
        ASSERT_FALSE(PathExists(dataHome));
        const std::string path = JoinPath(home.Files, "page " + std::to_string(round) + ".htm");
        WriteFile(path, "page");

        std::string where;
        ASSERT_EQ(trashWithin(path, &where), S_OK) << dataHome;
        EXPECT_EQ(where, JoinPath(dataHome, "Trash/files/" + std::string(FileNameOf(path))));
        EXPECT_EQ(ReadFile(where), "page");
        // Every folder made on the way is the owner's alone.
        for (std::string made = JoinPath(dataHome, "Trash/files"); made != home.Home;
             made = ParentPathOf(made)) {
            struct stat info {};
            ASSERT_EQ(::stat(made.c_str(), &info), 0) << made;
            EXPECT_EQ(info.st_mode & 07777, 0700u) << made;
        }
        EXPECT_TRUE(PathExists(
            JoinPath(dataHome, "Trash/info/" + std::string(FileNameOf(path)) + ".trashinfo")));
    }
}

TEST_F(TrashTest, AVolumeWithoutATrashKeepsTheItemAndSaysWhy) {
    // The trash cannot be made: its place is taken by a file.
    WriteFile(trash(), "not a folder");
    std::string path = JoinPath(home.Files, "kept.htm");
    WriteFile(path, "kept");
    EXPECT_EQ(trashWithin(path), E_NOTRASH);
    EXPECT_EQ(ReadFile(path), "kept");

    // Through the Delete verb the user is told, once, what to do instead.
    TItemInFolder item = ItemInFolder(path);
    std::shared_ptr<TUnknown> object;
    ASSERT_EQ(item.Parent->GetUIObjectOf(1, &item.Last, TShellInterface::ContextMenu, object), S_OK);
    TCMInvokeCommandInfo info;
    info.Verb = "delete";
    user.AnswerMessage(mrYes);
    user.AnswerMessage(mrOk);
    EXPECT_EQ(std::dynamic_pointer_cast<TContextMenu>(object)->InvokeCommand(info), E_NOTRASH);
    ASSERT_EQ(user.Calls.size(), 2u);
    EXPECT_NE(user.Calls[1].Text.find("no trash"), std::string::npos) << user.Calls[1].Text;
    EXPECT_NE(user.Calls[1].Text.find("Shift"), std::string::npos);
    EXPECT_EQ(ReadFile(path), "kept");
}

TEST_F(TrashTest, PastingTheLongestNamesIntoTheirFolderShortensTheStem) {
    const size_t limit = NameLengthLimit(home.Files);
    // Plain bytes, a stem of two-byte characters (cut between characters)
    // and a name whose only dot leads it.
    std::string accents;
    while (accents.size() + 2 <= limit - 4)
        accents += "\xC3\xA9";
    for (std::string name : {std::string(limit - 4, 'p') + ".htm", accents + ".htm", "." + std::string(limit - 1, 'd')}) {
        std::string path = JoinPath(home.Files, name);
        WriteFile(path, name.substr(0, 8));
        std::vector<std::string> copies;
        for (int i = 0; i < 3; ++i) {
            std::string copy;
            ASSERT_EQ(CopyIntoFolder(path, home.Files, &copy), S_OK) << name.substr(0, 8);
            copies.push_back(copy);
            EXPECT_EQ(ReadFile(copy), name.substr(0, 8));
        }
        EXPECT_EQ(ReadFile(path), name.substr(0, 8));
        for (size_t i = 0; i < copies.size(); ++i) {
            std::string copyName(FileNameOf(copies[i]));
            EXPECT_LE(copyName.size(), limit);
            std::string number = " (" + std::to_string(i + 2) + ")";
            EXPECT_NE(copyName.find(number), std::string::npos) << copyName;
            if (name.ends_with(".htm")) {
                EXPECT_TRUE(copyName.ends_with(number + ".htm")) << copyName;
            }
            EXPECT_EQ(IsValidUtf8(copyName), IsValidUtf8(name));
        }
        for (const std::string& copy : copies)
            std::filesystem::remove(copy);
    }
}

TEST_F(TrashTest, FittedNamesKeepTheirEndsAndFitTheLimit) {
    std::mt19937 random(77);
    for (int round = 0; round < 3000; ++round) {
        std::string stem = RandomFileName(random, 1 + random() % 300);
        std::string suffix = random() % 3 == 0 ? std::string() : " (" + std::to_string(random() % 1000) + ")";
        std::string extension = random() % 2 == 0 ? std::string() : "." + RandomFileName(random, 1 + random() % 40);
        size_t limit = suffix.size() + 1 + random() % 260;
        std::string name = FitName(stem, suffix, extension, limit);
        ASSERT_LE(name.size(), limit);
        ASSERT_FALSE(name.empty());
        ASSERT_TRUE(name.ends_with(suffix + extension) || name.ends_with(suffix));
        if (stem.size() + suffix.size() + extension.size() <= limit) {
            ASSERT_EQ(name, stem + suffix + extension);
        } else if (suffix.size() + extension.size() < limit) {
            ASSERT_TRUE(name.ends_with(suffix + extension)) << "the extension was dropped with room for it";
        }
        // A UTF-8 name stays UTF-8: the cut never splits a character.
        if (IsValidUtf8(stem + extension) && IsValidUtf8(suffix)) {
            ASSERT_TRUE(IsValidUtf8(name)) << round;
        }
    }
}
