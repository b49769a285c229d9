// The shell tree and list as controls, without windows, on real folders
// with the clock in the test's hand: a selected folder deleted on disk
// leaves its parent selected (and shown in the linked list); a burst of
// changes gives one refresh, and a rename's own notice none; case twins
// survive refreshes; masks, header clicks and remembered column widths;
// drop effects from the items' attributes; a right drag within one list
// offers no move.

#include "platform/shellns/DragDrop.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/ui/PopupMenu.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "platform/ui/TickSource.h"
#include "platform/shellns/MountTable.h"
#include "shell/DeviceChangeHandler.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellControlSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class ShellControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShellTestApplication();
        SetTickSource(&clock);
    }
    void TearDown() override {
        SetTickSource(nullptr);
        SetDragDropService({});
        SetPopupMenuPresenter({});
    }
    std::string folder(const std::string& relative) {
        std::string path = JoinPath(home.Files, relative);
        std::filesystem::create_directories(path);
        return path;
    }
    // Delivers posted notices until done() (the change thread works on its
    // own time; nothing here measures it).
    template <class Done> bool deliverUntil(Done done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

    TShellTestHome home;
    TManualTickSource clock;
};

std::set<std::string> rowNames(TPTCustomShellList& list) { return RowNames(list.Model()); }
int rowOf(TPTCustomShellList& list, const std::string& name) { return RowOf(list.Model(), name); }

} // namespace

TEST_F(ShellControlsTest, ADeletedSelectedFolderLeavesItsParentSelectedAfterOneRefresh) {
    folder("site/pages/old");
    folder("site/img");
    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    auto* list = new TPTShellList(&owner);
    tree->BaseFolder().SetPath(home.Files);
    tree->SetShellList(list);
    tree->Fill();
    tree->SelectPath(JoinPath(home.Files, "site/pages/old"));
    EXPECT_EQ(tree->GetSelectedPath(), JoinPath(home.Files, "site/pages/old"));
    EXPECT_EQ(list->Folder().GetPath(), JoinPath(home.Files, "site/pages/old"));
    int refreshes = 0;
    tree->OnFillComplete = [&](TPersistent*) { ++refreshes; };

    // Deleted on disk: the notice starts the timer (2 s without the
    // focus); when it fires, one refresh moves the selection up.
    std::filesystem::remove_all(JoinPath(home.Files, "site/pages/old"));
    ASSERT_TRUE(deliverUntil([&] { return tree->PendingJob() == 2; }));
    clock.Advance(1999);
    EXPECT_EQ(refreshes, 0);
    clock.Advance(1);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(tree->GetSelectedPath(), JoinPath(home.Files, "site/pages"));
    EXPECT_EQ(list->Folder().GetPath(), JoinPath(home.Files, "site/pages"));

    // A burst of changes in a shown folder: notices keep restarting the
    // timer, and one refresh brings every new folder.
    for (int i = 0; i < 40; ++i)
        folder("site/pages/new" + std::to_string(i));
    ASSERT_TRUE(deliverUntil([&] { return tree->PendingJob() == 2; }));
    for (int i = 0; i < 20; ++i) // late notices of the same burst
        ProcessMessages();
    clock.Advance(2000);
    EXPECT_EQ(refreshes, 2);
    clock.Advance(10000);
    EXPECT_EQ(refreshes, 2);
    TTreeNode* pages = tree->Selected();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->Count(), 40);

    // A folder that is gone as a whole: the tree keeps what is left.
    std::filesystem::remove_all(JoinPath(home.Files, "site"));
    tree->Refresh();
    EXPECT_EQ(tree->GetSelectedPath(), home.Files);
}

TEST_F(ShellControlsTest, ARenamesOwnNoticeIsSkippedButOthersAreNot) {
    std::string dir = folder("docs/letters");
    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    tree->BaseFolder().SetPath(home.Files);
    tree->Fill();
    tree->SelectPath(dir);
    TTreeNode* node = tree->Selected();
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(RenameNode(*tree, node, "mail"));
    EXPECT_EQ(tree->GetSelectedPath(), JoinPath(home.Files, "docs/mail"));
    EXPECT_TRUE(std::filesystem::is_directory(JoinPath(home.Files, "docs/mail")));
    // The notice of the rename itself arrives and is let go.
    ASSERT_TRUE(deliverUntil([&] { return tree->ChangeThread() && tree->ChangeThread()->EventsSeen() >= 2; }));
    for (int i = 0; i < 50; ++i)
        ProcessMessages();
    EXPECT_EQ(tree->PendingJob(), 0);
    // Another program's change a moment later is not lost.
    folder("docs/other");
    ASSERT_TRUE(deliverUntil([&] { return tree->PendingJob() == 2; }));
}

TEST_F(ShellControlsTest, ListKeepsCaseTwinsFiltersSortsAndRemembersWidths) {
    for (const char* name : {"a.htm", "A.htm", "b.HTM", "c.txt", "z.html"})
        WriteFile(JoinPath(home.Files, name), std::string(strlen(name) * 100, 'x'));
    folder("sub.txt");
    TPTColumnMemory::Reset();
    {
        TComponent owner;
        auto* list = new TPTShellList(&owner);
        list->Folder().SetPath(home.Files);
        EXPECT_EQ(rowNames(*list), (std::set<std::string>{"a.htm", "A.htm", "b.HTM", "c.txt", "z.html", "sub.txt"}));
        WriteFile(JoinPath(home.Files, "new.htm"), "n");
        list->RefreshList();
        list->RefreshList();
        EXPECT_EQ(list->Model().Count(), 7) << "twins and all survive refreshes";

        // Masks ignore case; folders always pass; ";;" and "*.*" filter nothing.
        list->SetFileFilter("*.HTM");
        EXPECT_EQ(rowNames(*list), (std::set<std::string>{"a.htm", "A.htm", "b.HTM", "new.htm", "sub.txt"}));
        list->SetFileFilter(";;");
        EXPECT_EQ(list->Model().Count(), 7);
        list->SetFileFilter("*.txt;*.html");
        EXPECT_EQ(rowNames(*list), (std::set<std::string>{"c.txt", "z.html", "sub.txt"}));
        list->SetFileFilter("");

        // Changes by others reach the list through its notices, then its
        // timer; its own rename's notice does not.
        WriteFile(JoinPath(home.Files, "late.htm"), "l");
        ASSERT_TRUE(deliverUntil([&] { return list->TimerPending(); }));
        clock.Advance(2000);
        EXPECT_NE(rowOf(*list, "late.htm"), -1);
        ASSERT_TRUE(RenameRow(*list, rowOf(*list, "late.htm"), "later.htm"));
        ASSERT_NE(rowOf(*list, "later.htm"), -1);
        EXPECT_EQ(rowOf(*list, "late.htm"), -1);
        EXPECT_EQ(list->Items().Item(rowOf(*list, "later.htm"))->Caption(), "later.htm") << "the caption follows";
        ASSERT_TRUE(deliverUntil([&] { return list->ChangeThread()->EventsSeen() >= 3; }));
        for (int i = 0; i < 50; ++i)
            ProcessMessages();
        EXPECT_FALSE(list->TimerPending());
        EXPECT_EQ(list->Model().Count(), 8);

        // Header clicks: the sorted column reverses, another sorts up.
        EXPECT_EQ(list->SortColumn(), 0);
        EXPECT_TRUE(list->SortAscending());
        list->Perform(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_COLUMNCLICK)), 0);
        EXPECT_EQ(list->Model().SortColumn(), -1);
        EXPECT_FALSE(list->SortAscending());
        EXPECT_EQ(list->Model().Data(list->Model().Count() - 1)->GetFileName(), "sub.txt") << "folders last going down";
        list->Perform(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(LVN_COLUMNCLICK)), 1);
        EXPECT_EQ(list->SortColumn(), 1);
        EXPECT_TRUE(list->SortAscending());

        list->Columns().Items(0)->SetWidth(321); // as the user drags them
        list->Columns().Items(3)->SetWidth(77);
    } // the list goes: its widths are saved
    TComponent owner;
    auto* second = new TPTShellList(&owner);
    second->Folder().SetPath(home.Files);
    ASSERT_EQ(second->Model().Columns().size(), 4u);
    EXPECT_EQ(second->Model().Columns()[0].Width, 321);
    EXPECT_EQ(second->Model().Columns()[3].Width, 77);
    EXPECT_EQ(second->Model().Columns()[1].Width, 60);
    TPTColumnMemory::Reset();
}

TEST_F(ShellControlsTest, DropEffectsFollowTheItemsAndARightDragWithinOneListOffersNoMove) {
    WriteFile(JoinPath(home.Files, "free.htm"), "y");
    TComponent owner;
    auto* list = new TPTShellList(&owner);
    list->SetBounds(0, 0, 400, 300);
    if (::geteuid() != 0) { // the superuser may write anywhere
        std::string locked = folder("locked");
        WriteFile(JoinPath(locked, "fixed.htm"), "x");
        ::chmod(locked.c_str(), 0555);
        list->Folder().SetPath(locked);
        list->SetItemIndex(rowOf(*list, "fixed.htm"));
        // Items of a folder that cannot be written to may be copied and
        // linked, not moved.
        EXPECT_EQ(list->SelectionEffects(), DROPEFFECT_COPY | DROPEFFECT_LINK);
        ::chmod(locked.c_str(), 0755);
    }
    list->SetItemIndex(-1);
    EXPECT_EQ(list->SelectionEffects(), DROPEFFECT_NONE) << "nothing selected, nothing to drag";
    list->Folder().SetPath(home.Files);
    list->SetItemIndex(rowOf(*list, "free.htm"));
    ASSERT_NE(list->Selected(), nullptr);
    EXPECT_EQ(list->Selected()->Caption(), "free.htm"); // what the application reads
    EXPECT_EQ(list->GetSelectedData()->GetFileName(), "free.htm");
    EXPECT_EQ(list->SelectionEffects(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);

    // A drag of a row onto the list's empty space, as the platform's drag
    // loop would run it, with either button.
    std::vector<std::string> offered;
    SetPopupMenuPresenter([&](TPopupMenu& menu, TPoint) -> TMenuItem* {
        for (int i = 0; i < menu.Count(); ++i)
            offered.push_back(menu.Items(i)->Caption);
        return nullptr;
    });
    TPoint empty = list->ClientToScreen({200, 280});
    std::vector<uint32_t> overEffects;
    SetDragDropService({.DoDragDrop = [&](const std::shared_ptr<TDataObject>& data, const std::shared_ptr<TDropSource>& source,
                                          uint32_t allowed, uint32_t& effect) -> HRESULT {
                            uint32_t keys = static_cast<TDropSource_shlvtv&>(*source).Button();
                            uint32_t e = allowed;
                            list->DragEnter(data, keys, empty, e);
                            e = allowed;
                            list->DragOver(keys, empty, e);
                            overEffects.push_back(e & ~DROPEFFECT_SCROLL);
                            e = allowed;
                            list->Drop(data, 0, empty, e);
                            effect = e;
                            return DRAGDROP_S_DROP;
                        },
                        .Register = nullptr,
                        .Revoke = nullptr});
    list->BeginDrag(false);
    list->BeginDrag(true);
    EXPECT_EQ(overEffects, (std::vector<uint32_t>{DROPEFFECT_NONE, DROPEFFECT_COPY}));
    // Only the right drag reached the folder, whose menu offers no move.
    EXPECT_FALSE(offered.empty());
    EXPECT_NE(std::find(offered.begin(), offered.end(), "&Copy Here"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "&Move Here"), offered.end());
    EXPECT_FALSE(list->Dragging());
}

TEST_F(ShellControlsTest, ADriveArrivingAndLeavingRefreshesTheTreeOnceAndTheDrivesList) {
    std::string table = JoinPath(home.Root, "mountinfo");
    std::string stick = folder("stick");
    const std::string rootOnly = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    const std::string withStick = rootOnly + "2 1 8:17 / " + stick + " rw - vfat /dev/sdb1 rw\n";
    WriteFile(table, rootOnly);
    SetMountInfoPath(table);
    DeviceChangeHandler().Poll(); // the hub starts from this table
    ProcessMessages();            // (what it tells of the change goes before the controls exist)

    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    auto* list = new TPTShellList(&owner);
    tree->Fill(); // the desktop
    PItemIDList computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_DRIVES, &computer), S_OK);
    TIdListPtr computerOwned(computer);
    tree->SelectPidl(computer);
    TTreeNode* drives = tree->Selected();
    ASSERT_NE(drives, nullptr);
    tree->Model().Expand(drives);
    list->Folder().SetPidl(computer);
    int refreshes = 0;
    tree->OnFillComplete = [&](TPersistent*) { ++refreshes; };
    auto stickShown = [&] {
        bool inTree = false, inList = false;
        for (int i = 0; i < drives->Count(); ++i)
            inTree = inTree || PathOf(tree->Model(), drives->Item(i)) == stick;
        for (int i = 0; i < list->Model().Count(); ++i)
            inList = inList || list->Model().Data(i)->GetPath() == stick;
        return std::make_pair(inTree, inList);
    };
    EXPECT_EQ(stickShown(), std::make_pair(false, false));

    WriteFile(table, withStick);
    DeviceChangeHandler().Poll();
    ProcessMessages();
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(stickShown(), std::make_pair(true, true));

    WriteFile(table, rootOnly);
    DeviceChangeHandler().Poll();
    ProcessMessages();
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(stickShown(), std::make_pair(false, false));
    SetMountInfoPath({});
    DeviceChangeHandler().Poll();
    ProcessMessages();
}

TEST_F(ShellControlsTest, OpeningEntersFoldersAndLinksToThemAndHandsFilesToTheDesktop) {
    std::string docs = folder("docs");
    std::string deep = folder("deep");
    WriteFile(JoinPath(home.Files, "page.htm"), "p");
    WriteFile(JoinPath(home.Files, "other.htm"), "o");
    std::filesystem::create_directory_symlink(deep, JoinPath(home.Files, "shortcut"));
    TScriptedUserInteraction ui;
    SetUserInteraction(&ui);
    TComponent owner;
    auto* list = new TPTShellList(&owner);
    list->SetMultiSelect(true);
    list->Folder().SetPath(home.Files);
    auto open = [&](const std::string& name) {
        list->SetItemIndex(rowOf(*list, name));
        list->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    };
    int asked = 0;
    bool handled = false;
    list->OnDblClickOpen = [&](TPersistent*, bool& h) {
        ++asked;
        h = handled;
    };

    // A folder is entered; the event is not asked.
    open("docs");
    EXPECT_EQ(list->Folder().GetPath(), docs);
    EXPECT_EQ(asked, 0);
    // Backspace goes up again.
    list->Perform(WM_CHAR, '\b', 0);
    EXPECT_EQ(list->Folder().GetPath(), home.Files);
    // A link to a folder is a folder here: entered through the link.
    open("shortcut");
    EXPECT_EQ(list->Folder().GetPath(), JoinPath(home.Files, "shortcut"));
    EXPECT_EQ(list->Model().Count(), 0) << "the empty folder it points to";
    list->Folder().SetPath(home.Files);

    // A file: the event first; handled, nothing else happens.
    handled = true;
    open("page.htm");
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ui.Calls.empty());
    // Not handled: the desktop opens it.
    handled = false;
    open("page.htm");
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(ui.Calls.size(), 1u);
    EXPECT_EQ(ui.Calls[0].Kind, TScriptedUserInteraction::kOpenDocument);
    EXPECT_EQ(ui.Calls[0].Text, JoinPath(home.Files, "page.htm"));
    // Two files: the event once, then both opened.
    list->SetItemIndex(rowOf(*list, "page.htm"));
    list->SelectIndex(rowOf(*list, "other.htm"), true);
    list->Perform(WM_CHAR, '\r', 0);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(ui.Calls.size(), 3u);
    // Staying put: nothing is entered.
    list->SetOptions(list->Options() | ListOption(ptsloDontChangeFolder));
    open("docs");
    EXPECT_EQ(list->Folder().GetPath(), home.Files);
    SetUserInteraction(nullptr);
}

TEST_F(ShellControlsTest, TheTreesMenuAndKeysRunTheFoldersVerbsAndANoticeWaitsForTheMenu) {
    std::string a = folder("a"), b = folder("b");
    TScriptedUserInteraction ui;
    SetUserInteraction(&ui);
    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    tree->BaseFolder().SetPath(home.Files);
    tree->Fill();
    int refreshes = 0;
    tree->OnFillComplete = [&](TPersistent*) { ++refreshes; };

    // The menu of "a": while it is open a change arrives (a third folder),
    // which waits; the user picks Delete, answers Yes; afterwards the tree
    // shows neither "a" nor misses "c".
    tree->SelectPath(a);
    TTreeNode* nodeA = tree->Selected();
    std::vector<std::string> captions;
    SetShellMenuTracker([&](TShellMenu& menu, unsigned, TPoint, TWinControl*) -> unsigned {
        folder("c");
        EXPECT_TRUE(deliverUntil([&] { return tree->RefreshPending(); }));
        EXPECT_EQ(tree->PendingJob(), 0) << "no refresh is even planned while the menu is open";
        unsigned chosen = 0;
        for (int i = 0; i < menu.Count(); ++i) {
            captions.push_back(StripAccelerator(menu.ItemAt(i)->Caption));
            if (captions.back() == "Delete")
                chosen = menu.ItemAt(i)->Id;
        }
        ui.AnswerMessage(mrYes);
        return chosen;
    });
    tree->ShowNodeContextMenu(nodeA, {5, 5});
    EXPECT_NE(std::find(captions.begin(), captions.end(), "Rename"), captions.end());
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_FALSE(tree->RefreshPending());
    EXPECT_EQ(ChildNames(tree->Model(), tree->Model().Root()), (std::set<std::string>{"b", "c"}));
    EXPECT_EQ(tree->GetSelectedPath(), home.Files) << "the deleted folder's parent";

    // The desktop root has no menu.
    TPTShellTree desktopTree;
    desktopTree.Fill();
    int tracked = 0;
    SetShellMenuTracker([&](TShellMenu&, unsigned, TPoint, TWinControl*) -> unsigned { ++tracked; return 0; });
    desktopTree.ShowNodeContextMenu(desktopTree.Model().Root(), {5, 5});
    EXPECT_EQ(tracked, 0);

    // Keys: Del (and Shift+Del) run the delete verb on the selection, F5
    // refreshes.
    tree->SelectPath(b);
    ui.AnswerMessage(mrYes);
    tree->Perform(WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_FALSE(std::filesystem::exists(b));
    EXPECT_EQ(ChildNames(tree->Model(), tree->Model().Root()), (std::set<std::string>{"c"}));
    folder("d");
    int before = refreshes;
    tree->Perform(WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(refreshes, before + 1);
    EXPECT_EQ(ChildNames(tree->Model(), tree->Model().Root()), (std::set<std::string>{"c", "d"}));
    SetShellMenuTracker({});
    SetUserInteraction(nullptr);
}

// Every folder the tree shows is watched, however many are opened: a
// folder made by another program in a shown folder (opened, closed again,
// or shown without children) appears after one refresh.  Seventy folders
// are opened, more than the change thread has slots.
TEST_F(ShellControlsTest, FoldersMadeByOtherProgramsAppearWhereverTheTreeShowsThem) {
    std::mt19937 random(808);
    for (int i = 0; i < 70; ++i) {
        folder("top" + std::to_string(i) + "/inner");
        if (i % 3 == 0)
            folder("top" + std::to_string(i) + "/inner/deep");
    }
    TComponent owner;
    auto* tree = new TPTShellTree(&owner);
    tree->BaseFolder().SetPath(home.Files);
    tree->Fill();
    TTreeNode* root = tree->Model().Root();
    ASSERT_NE(root, nullptr);
    root->Expand(false);
    ASSERT_EQ(root->Count(), 70);
    for (int i = 0; i < root->Count(); ++i)
        if (random() % 5 != 0)
            root->Item(i)->Expand(false);
    auto pathOf = [&](TTreeNode* node) { return tree->Model().RecordOf(node)->GetPath(); };
    auto shownPaths = [&] {
        std::set<std::string> paths;
        for (TTreeNode* node : tree->Model().Nodes(true))
            paths.insert(pathOf(node));
        return paths;
    };
    int refreshes = 0;
    tree->OnFillComplete = [&](TPersistent*) { ++refreshes; };
    for (int round = 0; round < 8; ++round) {
        // A folder the refresh keeps current: shown without children, or
        // opened (perhaps closed again since).
        std::vector<TTreeNode*> candidates;
        for (TTreeNode* node : tree->Model().Nodes(true))
            if ((node->IsVisible() && !node->HasChildren()) || node->Count() > 0)
                candidates.push_back(node);
        ASSERT_FALSE(candidates.empty());
        TTreeNode* target = candidates[random() % candidates.size()];
        if (random() % 3 == 0 && target->Expanded())
            target->Collapse(false);
        std::string made = JoinPath(pathOf(target), "made" + std::to_string(round));
        SCOPED_TRACE(made);
        std::filesystem::create_directory(made);
        ASSERT_TRUE(deliverUntil([&] { return tree->PendingJob() == 2; })) << "the change was not noticed";
        clock.Advance(2000);
        EXPECT_EQ(refreshes, round + 1);
        EXPECT_EQ(shownPaths().count(made), 1u);
    }
}
