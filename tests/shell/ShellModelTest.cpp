// The tree and list models over real folders, checked against the disk:
// random changes followed by a refresh leave exactly the disk's folders in
// every expanded node and the disk's files in the list (by full difference
// and by the names a change notice gives), letter-case twins included; the
// selection of a deleted folder moves to its parent; paths are found level
// by level; masks filter; sorting by each column follows the files' own
// sizes, types and times.

#include "platform/shellns/FileTypes.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellControlSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>

namespace {

TIdListPtr parsed(const std::string& path) {
    PItemIDList list = nullptr;
    EXPECT_EQ(SHParseDisplayName(path, &list), S_OK) << path;
    return TIdListPtr(list);
}

std::set<std::string> diskEntries(const std::string& folder, bool folders, bool files, bool hidden) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (!hidden && name.starts_with('.'))
            continue;
        if (entry.is_directory() ? folders : files)
            names.insert(name);
    }
    return names;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The names of a folder's entries in the order sorting by a column should
// give them, from what the file system says now: folders first, then the
// column's value, then the name without regard to case.
std::vector<std::string> orderOnDisk(const std::string& folder, std::vector<std::string> names, int column,
                                     int direction) {
    auto keyOf = [&](const std::string& name) -> std::tuple<bool, long long, long long, std::string, std::string> {
        struct stat info;
        EXPECT_EQ(::stat(JoinPath(folder, name).c_str(), &info), 0) << name;
        bool isFolder = S_ISDIR(info.st_mode);
        long long number = column == 1 && !isFolder ? info.st_size : column == 3 ? info.st_mtim.tv_sec : 0;
        long long fraction = column == 3 ? info.st_mtim.tv_nsec : 0;
        std::string text = column == 2 ? lowerCase(TypeNameOf(name, isFolder)) : "";
        return {!isFolder, number, fraction, text, lowerCase(name)};
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return direction > 0 ? keyOf(a) < keyOf(b) : keyOf(b) < keyOf(a);
    });
    return names;
}

std::vector<std::string> shownOrder(TPTShellListModel& list) {
    std::vector<std::string> shown;
    for (int i = 0; i < list.Count(); ++i)
        shown.push_back(list.Data(i)->GetFileName());
    return shown;
}

// Folders a..c with twins, nested two deep.
const std::vector<std::string> kFolderNames = {"a", "A", "b", "c.d", ".h"};

} // namespace

TEST(ShellModelTest, TreeFillsLazilyAndFindsPathsLevelByLevel) {
    TShellTestHome home;
    for (const char* path : {"web/img/icons", "web/css", "Web", ".secret/inner", "empty"})
        std::filesystem::create_directories(JoinPath(home.Files, path));
    WriteFile(JoinPath(home.Files, "web/index.htm"), "x");
    TPTShellTree view;
    TPTShellTreeModel& tree = view.Model();
    tree.Options &= static_cast<TPTShellTreeOptions>(~TreeOption(ptstoShowHidden));
    std::vector<std::string> inserted;
    tree.OnInsertItem = [&](TTreeNode* node) { inserted.push_back(node->Text()); };
    TIdListPtr base = parsed(home.Files);
    tree.FillRoot(base.get());
    TTreeNode* root = tree.Root();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(root->Text(), "files");
    // Sorted without regard to case, twins both there; hidden left out.
    std::vector<std::string> order;
    for (int i = 0; i < root->Count(); ++i)
        order.push_back(root->Item(i)->Text());
    EXPECT_EQ(order, (std::vector<std::string>{"empty", "Web", "web"}));
    EXPECT_EQ(inserted.size(), 4u);
    TTreeNode* web = ChildNamed(tree, root, "web");
    EXPECT_TRUE(web->HasChildren());
    EXPECT_EQ(web->Count(), 0) << "filled when first expanded";
    EXPECT_FALSE(ChildNamed(tree, root, "empty")->HasChildren());
    tree.Expand(web);
    EXPECT_EQ(ChildNames(tree, web), (std::set<std::string>{"css", "img"}));
    EXPECT_EQ(tree.ImageIndexOf(web), IconIndexOf("web", true));
    EXPECT_EQ(tree.SelectedIndexOf(web), IconIndexOf("web", true, true));

    // A path below folders never opened: each level opens on the way.
    bool beep = false;
    TTreeNode* icons = tree.FindPidl(base.get(), parsed(JoinPath(home.Files, "web/img/icons")).get(), false, beep);
    ASSERT_NE(icons, nullptr);
    EXPECT_FALSE(beep);
    EXPECT_EQ(PathOf(tree, icons), JoinPath(home.Files, "web/img/icons"));
    EXPECT_TRUE(icons->Parent()->Expanded());
    // A hidden folder is reached too: added on the way, ghosted.
    TTreeNode* inner = tree.FindPidl(base.get(), parsed(JoinPath(home.Files, ".secret/inner")).get(), false, beep);
    EXPECT_EQ(PathOf(tree, inner), JoinPath(home.Files, ".secret/inner"));
    EXPECT_TRUE(inner->Parent()->Cut());
    // The base, a folder above it, the desktop and a folder elsewhere: the root.
    EXPECT_EQ(tree.FindPidl(base.get(), base.get(), false, beep), root);
    EXPECT_EQ(tree.FindPidl(base.get(), parsed(home.Root).get(), false, beep), root);
    EXPECT_EQ(tree.FindPidl(base.get(), nullptr, false, beep), root);
    std::filesystem::create_directories(JoinPath(home.Root, "elsewhere/deeper/still"));
    EXPECT_EQ(tree.FindPidl(base.get(), parsed(JoinPath(home.Root, "elsewhere/deeper/still")).get(), false, beep), root);
    EXPECT_EQ(ChildNamed(tree, root, "deeper"), nullptr) << "no branch made of another folder's levels";

    // Files as nodes with the option.
    TPTShellTree filesView;
    TPTShellTreeModel& withFiles = filesView.Model();
    withFiles.Options |= TreeOption(ptstoIncludeNonFolders);
    withFiles.FillRoot(base.get());
    TTreeNode* webWithFiles = ChildNamed(withFiles, withFiles.Root(), "web");
    withFiles.Expand(webWithFiles);
    EXPECT_EQ(ChildNames(withFiles, webWithFiles), (std::set<std::string>{"css", "img", "index.htm"}));
}

TEST(ShellModelTest, TreeRefreshFollowsRandomChangesAndMovesTheSelectionUp) {
    TShellTestHome home;
    std::mt19937 random(21);
    TIdListPtr base = parsed(home.Files);
    TPTShellTree view;
    TPTShellTreeModel& tree = view.Model();
    tree.Options |= TreeOption(ptstoIncludeNonFolders);
    tree.FillRoot(base.get());
    std::vector<std::string> folders = {home.Files};
    for (int round = 0; round < 60; ++round) {
        // Change the disk: a folder or file made or removed somewhere.
        const std::string& where = folders[random() % folders.size()];
        std::string name = kFolderNames[random() % kFolderNames.size()];
        std::string path = JoinPath(where, name);
        switch (random() % 4) {
        case 0:
        case 1:
            if (!std::filesystem::exists(path)) {
                std::filesystem::create_directories(path);
                folders.push_back(path);
            }
            break;
        case 2:
            if (!std::filesystem::exists(path))
                WriteFile(path, "f");
            break;
        default:
            if (path != home.Files && std::filesystem::exists(path)) {
                std::filesystem::remove_all(path);
                std::erase_if(folders, [&](const std::string& f) { return PathIsWithin(f, path); });
            }
        }
        // Open a random node now and then, select one, refresh.
        std::vector<TTreeNode*> nodes = tree.Nodes(true);
        TTreeNode* pick = nodes[random() % nodes.size()];
        if (random() % 2)
            tree.Expand(pick);
        TTreeNode* selection = nodes[random() % nodes.size()];
        std::string selectedPath = PathOf(tree, selection);
        tree.RefreshNode(tree.Root(), selection);
        // Every expanded node holds exactly its folder's entries.
        for (TTreeNode* node : tree.Nodes(true)) {
            std::string folder = PathOf(tree, node);
            if (!std::filesystem::is_directory(folder) || (node->HasChildren() && node->Count() == 0))
                continue;
            ASSERT_EQ(ChildNames(tree, node), diskEntries(folder, true, true, true)) << folder << " round " << round;
        }
        // The selection stays, or went to the nearest folder still shown.
        ASSERT_NE(selection, nullptr);
        std::string now = PathOf(tree, selection);
        EXPECT_TRUE(PathIsWithin(selectedPath, now));
        if (std::filesystem::exists(selectedPath) && now != selectedPath) {
            ADD_FAILURE() << "the selection left " << selectedPath << " for " << now;
        }
    }
}

TEST(ShellModelTest, ListRefreshMatchesTheDiskByDifferenceAndByNames) {
    TShellTestHome home;
    std::mt19937 random(33);
    const std::vector<std::string> names = {"a.htm", "A.htm", "a.HTML", "b.txt", "B.TXT", "c", ".hid.htm", "d.htm"};
    TIdListPtr folder = parsed(home.Files);
    for (const char* filter : {"", "*.htm;;*.html"}) {
        TPTShellList fullView, byNamesView;
        TPTShellListModel &full = fullView.Model(), &byNames = byNamesView.Model();
        for (TPTShellListModel* list : {&full, &byNames}) {
            list->SetFileFilter(filter);
            ASSERT_EQ(list->Fill(folder.get()), S_OK);
        }
        for (int round = 0; round < 80; ++round) {
            std::vector<std::string> changed;
            for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
                std::string name = names[random() % names.size()];
                std::string path = JoinPath(home.Files, name);
                if (random() % 3 == 0)
                    std::filesystem::remove_all(path);
                else if (!std::filesystem::exists(path) && random() % 4 == 0)
                    std::filesystem::create_directories(path);
                else if (!std::filesystem::exists(path))
                    WriteFile(path, name);
                changed.push_back(name);
            }
            full.Refresh();
            ASSERT_TRUE(byNames.RefreshNames(changed));
            std::set<std::string> expected;
            for (const std::string& name : diskEntries(home.Files, true, true, true))
                if (std::filesystem::is_directory(JoinPath(home.Files, name)) || *filter == '\0' ||
                    name.ends_with(".htm") || name.ends_with(".HTM") || name.ends_with(".HTML") ||
                    name.ends_with(".html"))
                    expected.insert(name);
            ASSERT_EQ(RowNames(full), expected) << "round " << round << " filter '" << filter << "'";
            ASSERT_EQ(RowNames(byNames), expected) << "round " << round << " filter '" << filter << "'";
            EXPECT_EQ(full.Count(), static_cast<int>(expected.size())) << "no row twice";
            EXPECT_EQ(byNames.Count(), static_cast<int>(expected.size()));
        }
        std::filesystem::remove_all(home.Files);
        std::filesystem::create_directories(home.Files);
    }
    // A folder without a path is refreshed only by difference.
    TPTShellList desktopView;
    TPTShellListModel& desktop = desktopView.Model();
    ASSERT_EQ(desktop.Fill(nullptr), S_OK);
    EXPECT_FALSE(desktop.RefreshNames({"x"}));
}

TEST(ShellModelTest, ListMasksAndSortingByEachColumn) {
    TShellTestHome home;
    std::mt19937 random(44);
    std::vector<std::string> names = {"zeta.htm", "Alpha.HTM", "beta.css", "gamma.txt", "delta.html", "eps", "b.htm"};
    for (size_t i = 0; i < names.size(); ++i) {
        std::string path = JoinPath(home.Files, names[i]);
        WriteFile(path, std::string(random() % 5000, 'x'));
        struct timespec times[2] = {{static_cast<time_t>(1000000 + random() % 100000), 0},
                                    {static_cast<time_t>(1000000 + random() % 100000), 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    std::filesystem::create_directories(JoinPath(home.Files, "folder.htm.d"));
    TIdListPtr folder = parsed(home.Files);

    TPTShellList view;
    TPTShellListModel& list = view.Model();
    // No mask at all (";;") filters nothing either.
    for (const char* all : {"", "*", "*.*", ";;"}) {
        list.SetFileFilter(all);
        ASSERT_EQ(list.Fill(folder.get()), S_OK);
        EXPECT_EQ(list.Count(), 8) << "filter '" << all << "'";
    }
    list.SetFileFilter("*.HTM;*.css");
    list.Fill(folder.get());
    EXPECT_EQ(RowNames(list), (std::set<std::string>{"zeta.htm", "Alpha.HTM", "beta.css", "b.htm", "folder.htm.d"}));

    list.SetFileFilter("");
    list.Fill(folder.get());
    ASSERT_EQ(list.Columns().size(), 4u);
    for (int column = 0; column < 4; ++column)
        for (int direction : {1, -1}) {
            list.SetSortColumn(direction * (column + 1));
            std::vector<std::string> shown = shownOrder(list);
            EXPECT_EQ(shown, orderOnDisk(home.Files, shown, column, direction))
                << "column " << column << " direction " << direction;
        }
    // A header click reverses the sorted column and sorts another ascending.
    list.SetSortColumn(2);
    list.ColumnClicked(1);
    EXPECT_EQ(list.SortColumn(), -2);
    list.ColumnClicked(3);
    EXPECT_EQ(list.SortColumn(), 4);
    EXPECT_EQ(list.RowText(0, 0), "folder.htm.d");
}

// A list keeps what it read of its rows for sorting them again; a refresh,
// by difference or by the names a notice gave, forgets it for the rows that
// may have changed: sizes and times changed in place on disk, files added
// and deleted, and each sort then agrees with the disk and each row's
// texts with a list filled afresh.
TEST(ShellModelTest, SortingAfterARefreshFollowsFilesChangedOnDisk) {
    TShellTestHome home;
    std::mt19937 random(55);
    std::vector<std::string> names;
    for (int i = 0; i < 14; ++i)
        names.push_back("page" + std::to_string(i) + (i % 3 == 0 ? ".htm" : i % 3 == 1 ? ".css" : ".txt"));
    auto rewrite = [&](const std::string& name) {
        std::string path = JoinPath(home.Files, name);
        WriteFile(path, std::string(random() % 4000, 'x')); // in place: the same file, new bytes
        struct timespec times[2] = {{static_cast<time_t>(1000000 + random() % 100000), 0},
                                    {static_cast<time_t>(1000000 + random() % 100000), static_cast<long>(random() % 1000)}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    };
    for (size_t i = 0; i < names.size(); i += 2)
        rewrite(names[i]);
    std::filesystem::create_directories(JoinPath(home.Files, "folder"));
    TIdListPtr folder = parsed(home.Files);
    TPTShellList view;
    TPTShellListModel& list = view.Model();
    ASSERT_EQ(list.Fill(folder.get()), S_OK);
    for (int column = 1; column <= 4; ++column)
        list.SetSortColumn(column); // every key read and kept

    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> changed;
        for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
            const std::string& name = names[random() % names.size()];
            if (random() % 5 == 0)
                std::filesystem::remove(JoinPath(home.Files, name));
            else
                rewrite(name);
            changed.push_back(name);
        }
        bool byNames = random() % 2 == 0;
        if (byNames)
            ASSERT_TRUE(list.RefreshNames(changed));
        else
            list.Refresh();
        int sort = static_cast<int>(1 + random() % 4) * (random() % 2 == 0 ? 1 : -1);
        if (sort == list.SortColumn())
            list.Sort();
        else
            list.SetSortColumn(sort);
        std::vector<std::string> shown = shownOrder(list);
        std::string what = "round " + std::to_string(round) + (byNames ? " by names" : " by difference") +
                           " sorted by " + std::to_string(sort);
        ASSERT_EQ(shown, orderOnDisk(home.Files, shown, std::abs(sort) - 1, sort > 0 ? 1 : -1)) << what;
        TPTShellList freshView;
        TPTShellListModel& fresh = freshView.Model();
        fresh.SetSortColumn(sort);
        ASSERT_EQ(fresh.Fill(folder.get()), S_OK);
        ASSERT_EQ(shownOrder(fresh), shown) << what;
        for (int row = 0; row < list.Count(); ++row)
            for (int column = 1; column < 4; ++column)
                ASSERT_EQ(list.RowText(row, column), fresh.RowText(row, column)) << what << " " << shown[row];
    }
}
