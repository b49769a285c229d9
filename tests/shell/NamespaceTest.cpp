// The namespace over a temporary folder: names with ":" and "\" and bytes
// that are not UTF-8 parse, enumerate, compare and rename byte for byte,
// checked against what the file system itself lists.

#include "platform/shellns/CompareScope.h"
#include "platform/shellns/FileOperations.h"
#include "platform/shellns/NamespaceItems.h"
#include "platform/shellns/ShellFolder.h"
#include "platform/shellns/SpecialFolders.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellTestSupport.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <random>
#include <set>

namespace {

std::shared_ptr<TShellFolder> folderOf(const std::string& path) {
    PItemIDList pidl = nullptr;
    EXPECT_EQ(PathToPidl(path, pidl), S_OK) << path;
    TIdListPtr owned(pidl);
    std::shared_ptr<TShellFolder> folder;
    EXPECT_EQ(BindToFolder(pidl, folder), S_OK);
    return folder;
}

std::vector<TIdListPtr> enumerate(TShellFolder& folder, unsigned flags) {
    std::shared_ptr<TEnumIDList> items;
    EXPECT_EQ(folder.EnumObjects(flags, items), S_OK);
    std::vector<TIdListPtr> result;
    PItemIDList item;
    unsigned fetched;
    while (items && items->Next(1, &item, &fetched) == S_OK)
        result.emplace_back(item);
    return result;
}

std::string parsingName(TShellFolder& folder, PCItemIDList item, unsigned flags = SHGDN_FORPARSING) {
    std::string name;
    EXPECT_EQ(folder.GetDisplayNameOf(item, flags, name), S_OK);
    return name;
}

// What the file system lists, without "." and "..".
std::set<std::string> listedNames(const std::string& path) {
    std::set<std::string> names;
    DIR* folder = ::opendir(path.c_str());
    while (const dirent* entry = ::readdir(folder))
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
            names.insert(entry->d_name);
    ::closedir(folder);
    return names;
}

} // namespace

TEST(NamespaceTest, PathsParseAndComeBackByteForByte) {
    TShellTestHome home;
    std::mt19937 random(21);
    std::set<std::string> made;
    for (int i = 0; i < 120; ++i) {
        // A value is one line: a name with a line break can not be written.
        std::string name = RandomFileName(random);
        std::erase(name, '\n');
        if (name.empty())
            name = "x";
        std::string path = JoinPath(home.Files, name);
        if (!made.insert(name).second)
            continue;
        if (i % 5 == 0)
            std::filesystem::create_directory(path);
        else
            WriteFile(path, name);
    }
    made.insert("a.htm");
    made.insert("A.htm");
    WriteFile(JoinPath(home.Files, "a.htm"), "lower");
    WriteFile(JoinPath(home.Files, "A.htm"), "upper");
    for (const std::string& name : made) {
        std::string path = JoinPath(home.Files, name);
        PItemIDList pidl = nullptr;
        ASSERT_EQ(PathToPidl(path, pidl), S_OK) << path;
        TIdListPtr owned(pidl);
        EXPECT_EQ(PidlToPath(pidl), path);
        std::shared_ptr<TShellFolder> desktop;
        SHGetDesktopFolder(desktop);
        EXPECT_EQ(parsingName(*desktop, pidl), path);
        // Parsing the parsing name again names the same item.
        PItemIDList again = nullptr;
        ASSERT_EQ(PathToPidl(parsingName(*desktop, pidl), again), S_OK);
        TIdListPtr ownedAgain(again);
        EXPECT_EQ(ItemBytes(again), ItemBytes(pidl));
        EXPECT_EQ(ComparePidls(pidl, again), 0);
        // The display name is the name, escaped where it is not UTF-8.
        std::string shown;
        GetDisplayName(nullptr, pidl, dnNormal, shown);
        EXPECT_EQ(NameOfDisplayText(shown), name);
    }
    // "a.htm" and "A.htm" are two items.
    PItemIDList lower = nullptr, upper = nullptr;
    PathToPidl(JoinPath(home.Files, "a.htm"), lower);
    PathToPidl(JoinPath(home.Files, "A.htm"), upper);
    TIdListPtr ownedLower(lower), ownedUpper(upper);
    EXPECT_NE(ComparePidls(lower, upper), 0);
    EXPECT_EQ(ComparePidls(lower, upper), -ComparePidls(upper, lower));
    // Paths are cleaned; a missing path does not parse.
    PItemIDList cleaned = nullptr;
    ASSERT_EQ(PathToPidl(home.Files + "//./x/../a.htm", cleaned), S_OK);
    TIdListPtr ownedCleaned(cleaned);
    EXPECT_EQ(ComparePidls(cleaned, lower), 0);
    PItemIDList missing = nullptr;
    EXPECT_TRUE(FAILED(PathToPidl(JoinPath(home.Files, "not there"), missing)));
    EXPECT_EQ(missing, nullptr);
}

TEST(NamespaceTest, EnumerationMatchesTheFileSystemAndComparesConsistently) {
    TShellTestHome home;
    std::mt19937 random(4);
    for (int i = 0; i < 150; ++i) {
        std::string path = JoinPath(home.Files, RandomFileName(random, 12));
        if (PathExists(path))
            continue;
        if (i % 4 == 0)
            std::filesystem::create_directory(path);
        else
            WriteFile(path, std::string(random() % 3000, 'x'));
    }
    std::shared_ptr<TShellFolder> folder = folderOf(home.Files);
    std::set<std::string> onDisk = listedNames(home.Files);
    std::vector<TIdListPtr> all = enumerate(*folder, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
    std::set<std::string> listed;
    for (const TIdListPtr& item : all)
        listed.insert(parsingName(*folder, item.get(), SHGDN_FORPARSING | SHGDN_INFOLDER));
    EXPECT_EQ(listed, onDisk);

    std::vector<TIdListPtr> visibleFolders = enumerate(*folder, SHCONTF_FOLDERS);
    for (const TIdListPtr& item : visibleFolders) {
        std::string name = parsingName(*folder, item.get(), SHGDN_FORPARSING | SHGDN_INFOLDER);
        EXPECT_FALSE(name.starts_with('.'));
        EXPECT_TRUE(IsFolderPath(JoinPath(home.Files, name)));
        uint32_t attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
        PCItemIDList raw = item.get();
        EXPECT_EQ(folder->GetAttributesOf(1, &raw, attributes), S_OK);
        EXPECT_EQ(attributes, SFGAO_FOLDER | SFGAO_FILESYSTEM);
    }

    // Each column's order is a strict order: sorting with it and checking
    // neighbours finds no contradiction, and only the same bytes are equal.
    for (int column = 0; column < 4; ++column) {
        std::vector<PCItemIDList> order;
        for (const TIdListPtr& item : all)
            order.push_back(item.get());
        auto code = [&](PCItemIDList a, PCItemIDList b) {
            HRESULT hr = folder->CompareIDs(column, a, b);
            EXPECT_TRUE(SUCCEEDED(hr));
            return static_cast<int16_t>(HRESULT_CODE(hr));
        };
        std::sort(order.begin(), order.end(), [&](PCItemIDList a, PCItemIDList b) { return code(a, b) < 0; });
        for (size_t i = 0; i + 1 < order.size(); ++i) {
            EXPECT_LT(code(order[i], order[i + 1]), 0) << "column " << column;
            EXPECT_GT(code(order[i + 1], order[i]), 0);
        }
        for (size_t i = 0; i < order.size(); ++i)
            EXPECT_EQ(code(order[i], order[i]), 0);
        // Folders come first in every column.
        auto firstFile = std::find_if(order.begin(), order.end(), [&](PCItemIDList item) {
            return !IsFolderPath(JoinPath(home.Files, parsingName(*folder, item, SHGDN_FORPARSING | SHGDN_INFOLDER)));
        });
        EXPECT_TRUE(std::all_of(firstFile, order.end(), [&](PCItemIDList item) {
            return !IsFolderPath(JoinPath(home.Files, parsingName(*folder, item, SHGDN_FORPARSING | SHGDN_INFOLDER)));
        }));
    }
}

// The size and date columns order files by what the file system says of
// them (the oracle: stat), and a compare scope, which remembers what it
// read, changes no answer.  Lists of two levels compare by the column at
// the first level only.
TEST(NamespaceTest, SizeAndDateColumnsFollowTheFileSystemWithOrWithoutACompareScope) {
    TShellTestHome home;
    std::mt19937 random(12);
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) {
        std::string name = "f" + std::to_string(i) + (i % 2 ? ".htm" : ".png");
        std::string path = JoinPath(home.Files, name);
        if (i % 9 == 0) {
            std::filesystem::create_directory(path);
            WriteFile(JoinPath(path, "inner" + std::to_string(i % 2)), "x");
        } else {
            WriteFile(path, std::string(random() % 40, 'x'));
        }
        timespec times[2] = {{0, UTIME_OMIT}, {1600000000 + long(random() % 50), long(random() % 3) * 1000}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        names.push_back(name);
    }
    std::shared_ptr<TShellFolder> folder = folderOf(home.Files);
    auto item = [&](const std::string& relative) {
        PItemIDList pidl = nullptr;
        EXPECT_EQ(folder->ParseDisplayName(relative, nullptr, &pidl, nullptr), S_OK) << relative;
        return TIdListPtr(pidl);
    };
    auto sign = [](long long value) { return value < 0 ? -1 : value > 0 ? 1 : 0; };
    auto code = [&](int column, PCItemIDList a, PCItemIDList b) {
        HRESULT hr = folder->CompareIDs(column, a, b);
        EXPECT_TRUE(SUCCEEDED(hr));
        return sign(static_cast<int16_t>(HRESULT_CODE(hr)));
    };
    for (int round = 0; round < 400; ++round) {
        const std::string& first = names[random() % names.size()];
        const std::string& second = names[random() % names.size()];
        TIdListPtr a = item(first), b = item(second);
        struct stat sa, sb;
        ASSERT_EQ(::stat(JoinPath(home.Files, first).c_str(), &sa), 0);
        ASSERT_EQ(::stat(JoinPath(home.Files, second).c_str(), &sb), 0);
        const bool folderA = S_ISDIR(sa.st_mode), folderB = S_ISDIR(sb.st_mode);
        for (int column : {1, 3}) {
            int plain = code(column, a.get(), b.get());
            {
                TShellCompareScope scope;
                EXPECT_EQ(code(column, a.get(), b.get()), plain);
                EXPECT_EQ(code(column, b.get(), a.get()), -plain);
            }
            if (folderA != folderB) {
                EXPECT_EQ(plain, folderA ? -1 : 1);
                continue;
            }
            long long expected = 0;
            if (column == 1 && !folderA)
                expected = sign(static_cast<long long>(sa.st_size) - sb.st_size);
            if (column == 3)
                expected = sa.st_mtim.tv_sec != sb.st_mtim.tv_sec ? sign(sa.st_mtim.tv_sec - sb.st_mtim.tv_sec)
                                                                  : sign(sa.st_mtim.tv_nsec - sb.st_mtim.tv_nsec);
            if (expected != 0)
                EXPECT_EQ(plain, expected) << first << " " << second << " column " << column;
            else // ties go to the names: only the same item is equal
                EXPECT_EQ(plain == 0, first == second) << first << " " << second;
        }
    }
    // Below the first level only names count: inner0 before inner1
    // whatever their sizes, and a list that goes on after the other.
    for (size_t i = 0; i < names.size(); i += 9) {
        TIdListPtr parent = item(names[i]);
        TIdListPtr inner = item(names[i] + "/inner" + std::to_string(i % 2));
        TShellCompareScope scope;
        EXPECT_EQ(code(1, parent.get(), inner.get()), -1);
        EXPECT_EQ(code(3, inner.get(), parent.get()), 1);
        EXPECT_EQ(code(1, inner.get(), inner.get()), 0);
    }
}

TEST(NamespaceTest, RenameNeverReplacesAndKeepsBytes) {
    TShellTestHome home;
    TScriptedUserInteraction user;
    WriteFile(JoinPath(home.Files, "one.htm"), "1");
    WriteFile(JoinPath(home.Files, "two.htm"), "2");
    std::shared_ptr<TShellFolder> folder = folderOf(home.Files);
    PItemIDList item = nullptr;
    ASSERT_EQ(folder->ParseDisplayName("one.htm", nullptr, &item, nullptr), S_OK);
    TIdListPtr owned(item);

    PItemIDList renamed = nullptr;
    user.AnswerMessage(mrOk);
    EXPECT_EQ(folder->SetNameOf(item, "two.htm", SHGDN_NORMAL, &renamed), HResultFromErrno(EEXIST));
    EXPECT_EQ(renamed, nullptr);
    EXPECT_EQ(ReadFile(JoinPath(home.Files, "two.htm")), "2");
    EXPECT_EQ(ReadFile(JoinPath(home.Files, "one.htm")), "1");
    ASSERT_EQ(user.Calls.size(), 1u);
    EXPECT_EQ(user.Calls[0].Type, mtError);

    // A name shown with the escape comes back as its bytes.
    std::string rawName = "caf\xE9 \\:.htm";
    ASSERT_EQ(folder->SetNameOf(item, DisplayTextOfName(rawName), SHGDN_NORMAL, &renamed), S_OK);
    TIdListPtr ownedRenamed(renamed);
    EXPECT_EQ(ReadFile(JoinPath(home.Files, rawName)), "1");
    EXPECT_EQ(parsingName(*folder, renamed, SHGDN_FORPARSING | SHGDN_INFOLDER), rawName);
    EXPECT_FALSE(PathExists(JoinPath(home.Files, "one.htm")));
    user.AnswerMessage(mrOk);
    EXPECT_TRUE(FAILED(folder->SetNameOf(renamed, "a/b", SHGDN_NORMAL, nullptr)));
}

// The desktop's tool writes the user-dirs file for the shell: the path
// quoted, "$HOME/" for a folder in home, a backslash before '"', '\',
// '$' and '`'.  Random folder names written so read back as themselves; a
// desktop that is home itself, however spelt, is home's "Desktop".
TEST(NamespaceTest, TheUserDirsFileNamesTheDesktopAsItsToolWroteIt) {
    TShellTestHome home;
    const std::string file = JoinPath(home.Home, ".config/user-dirs.dirs");
    std::mt19937 random(1601);
    for (int round = 0; round < 200; ++round) {
        // A value is one line: a name with a line break can not be written.
        std::string name = RandomFileName(random);
        std::erase(name, '\n');
        if (name.empty())
            name = "x";
        for (const char special : {'"', '\\', '$', '`'})
            if (random() % 3 == 0)
                name.insert(random() % (name.size() + 1), 1, special);
        const bool inHome = random() % 2 == 0;
        std::string quoted;
        for (char c : name) {
            if (c == '"' || c == '\\' || c == '$' || c == '`')
                quoted += '\\';
            quoted += c;
        }
        std::string line = "XDG_DESKTOP_DIR=\"";
        line += inHome ? "$HOME/" : "/";
        line += quoted;
        line += "\"\n";
        WriteFile(file, "# written by the tool\nXDG_MUSIC_DIR=\"$HOME/Music\"\n" + line);
        EXPECT_EQ(DesktopFolderPath(), (inHome ? home.Home : std::string()) + "/" + name) << line;
    }
    for (const char* itself : {"$HOME", "$HOME/", "$HOME//"}) {
        WriteFile(file, std::string("XDG_DESKTOP_DIR=\"") + itself + "\"\n");
        EXPECT_EQ(DesktopFolderPath(), JoinPath(home.Home, "Desktop")) << itself;
    }
    for (const std::string& broken : {std::string("\"$HOME/unterminated\n"), std::string("\"/srv/a\0b\"\n", 11)}) {
        WriteFile(file, "XDG_DESKTOP_DIR=" + broken);
        EXPECT_EQ(DesktopFolderPath(), JoinPath(home.Home, "Desktop"));
    }
}

TEST(NamespaceTest, DesktopHomeComputerAndSpecialFolders) {
    TShellTestHome home;
    WriteFile(JoinPath(home.Home, "Desktop/note.txt"), "n");
    std::shared_ptr<TShellFolder> desktop;
    SHGetDesktopFolder(desktop);
    std::vector<TIdListPtr> top = enumerate(*desktop, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    std::vector<std::string> names;
    for (const TIdListPtr& item : top)
        names.push_back(parsingName(*desktop, item.get(), SHGDN_NORMAL));
    EXPECT_EQ(names, (std::vector<std::string>{"Home", "Computer", "note.txt"}));
    EXPECT_EQ(PidlToPath(top[0].get()), home.Home);
    EXPECT_EQ(PidlToPath(top[1].get()), "");
    EXPECT_EQ(PidlToPath(top[2].get()), JoinPath(home.Home, "Desktop/note.txt"));

    EXPECT_EQ(SpecialFolderPath(CSIDL_PERSONAL), home.Home);
    EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), JoinPath(home.Home, "Desktop"));
    EXPECT_EQ(PidlToCsidl(top[1].get()), CSIDL_DRIVES);
    EXPECT_EQ(PidlToCsidl(top[0].get()), CSIDL_PERSONAL);
    EXPECT_EQ(PidlToCsidl(nullptr), CSIDL_DESKTOP);
    PItemIDList files = nullptr;
    PathToPidl(home.Files, files);
    TIdListPtr ownedFiles(files);
    EXPECT_EQ(PidlToCsidl(files), 28);

    // Computer lists the mounts; each is a folder with the mount's path.
    std::shared_ptr<TShellFolder> computer;
    ASSERT_EQ(desktop->BindToObject(top[1].get(), computer), S_OK);
    std::vector<TIdListPtr> mounts = enumerate(*computer, SHCONTF_FOLDERS);
    ASSERT_FALSE(mounts.empty());
    std::set<std::string> mountPaths;
    for (const TIdListPtr& mount : mounts)
        mountPaths.insert(parsingName(*computer, mount.get()));
    EXPECT_TRUE(mountPaths.count("/"));
    for (const TMountEntry& entry : CurrentMounts())
        EXPECT_TRUE(mountPaths.count(entry.MountPoint));
}

TEST(NamespaceTest, MountInfoKeepsRealFileSystems) {
    std::string text =
        "22 27 0:21 / /proc rw - proc proc rw\n"
        "27 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "30 27 8:17 / /media/user/My\\040Stick rw - vfat /dev/sdb1 rw\n"
        "31 27 0:40 / /srv/share rw shared:5 - nfs4 host:/export rw\n"
        "32 27 0:41 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "33 27 0:42 / /mnt/ram rw - tmpfs tmpfs rw\n"
        "34 27 8:18 / /data rw - ext4 /dev/sdc1 rw\n"
        "35 27 8:19 / /data rw - xfs /dev/sdd1 rw\n"
        "broken line\n";
    std::vector<TMountEntry> mounts = ParseMountInfo(text);
    std::vector<std::string> points;
    for (const TMountEntry& mount : mounts)
        points.push_back(mount.MountPoint);
    EXPECT_EQ(points, (std::vector<std::string>{"/", "/media/user/My Stick", "/srv/share", "/mnt/ram", "/data"}));
    EXPECT_EQ(mounts[1].DriveType, DRIVE_REMOVABLE);
    EXPECT_EQ(mounts[2].DriveType, DRIVE_REMOTE);
    EXPECT_EQ(mounts[3].DriveType, DRIVE_RAMDISK);
    EXPECT_EQ(mounts[4].FileSystem, "xfs") << "the later mount hides the earlier";
    EXPECT_EQ(ParseMountInfo("").front().MountPoint, "/");
}

// A mount point spelt with slashes at its end is the folder itself: it
// hides an earlier mount there, and is found by its plain name.
TEST(NamespaceTest, MountPointsWithTrailingSlashesAreTheirFolders) {
    std::vector<TMountEntry> mounts = ParseMountInfo("27 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                     "34 27 8:18 / /data rw - ext4 /dev/sdc1 rw\n"
                                                     "35 27 8:19 / /data// rw - xfs /dev/sdd1 rw\n"
                                                     "36 27 11:0 / /media/cd/ ro - iso9660 /dev/sr0 ro\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[1].MountPoint, "/data");
    EXPECT_EQ(mounts[1].FileSystem, "xfs");
    EXPECT_EQ(mounts[2].MountPoint, "/media/cd");
}
