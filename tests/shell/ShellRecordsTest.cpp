// The records of tree nodes and list rows over a real folder: absolute
// lists chained from the parents and rebuilt after a rename above them,
// paths and file names, renaming rights, drop targets, and row texts from
// the built-in details or from a folder's own column provider.

#include "shell/ShellRecords.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

namespace {

TIdListPtr parsed(const std::string& path) {
    PItemIDList list = nullptr;
    EXPECT_EQ(SHParseDisplayName(path, &list), S_OK) << path;
    return TIdListPtr(list);
}

// The last item of a path's list, as a folder enumerates it.
TIdListPtr lastItemOf(const std::string& path) {
    TIdListPtr absolute = parsed(path);
    return TIdListPtr(CopyPidl(nullptr, IdListLastItem(absolute.get())));
}

class TFolderContext : public TPTShellListContext {
public:
    explicit TFolderContext(const std::string& path) : pidl(parsed(path)) { BindToFolder(pidl.get(), folder); }
    PCItemIDList ListFolderPidl() override { return pidl.get(); }
    std::shared_ptr<TShellFolder> ListFolder() override { return folder; }
    std::shared_ptr<TShellDetailsProvider> ListDetailsProvider() override { return provider; }
    TIdListPtr pidl;
    std::shared_ptr<TShellFolder> folder;
    std::shared_ptr<TShellDetailsProvider> provider;
};

// A provider that names its columns after the item and the column.
class TEchoProvider : public TShellDetailsProvider {
public:
    HRESULT GetDetailsOf(PCItemIDList item, unsigned column, TShellDetails& details) override {
        if (column > 2)
            return E_INVALIDARG;
        TItemPayload payload;
        details.Text = item != nullptr && DecodeItem(item, payload) ? std::string(payload.Name) + "#" + std::to_string(column)
                                                                     : "caption";
        return S_OK;
    }
    HRESULT ColumnClick(unsigned) override { return E_NOTIMPL; }
};

} // namespace

TEST(ShellRecordsTest, TreeRecordsChainTheirListsAndFollowARenameAbove) {
    TShellTestHome home;
    std::string a = JoinPath(home.Files, "a"), deep = JoinPath(a, "b/c");
    std::filesystem::create_directories(deep);

    // A chain as the tree builds it: the root holds its absolute list.
    TIdListPtr base = parsed(home.Files);
    TPTShTreeData root(nullptr), first(nullptr), second(nullptr), third(nullptr);
    root.SetPidls(nullptr, base.get());
    TIdListPtr itemA = lastItemOf(a), itemB = lastItemOf(JoinPath(a, "b")), itemC = lastItemOf(deep);
    first.SetPidls(&root, itemA.get());
    second.SetPidls(&first, itemB.get());
    third.SetPidls(&second, itemC.get());

    EXPECT_EQ(root.GetPath(), home.Files);
    EXPECT_EQ(third.GetPath(), deep);
    EXPECT_EQ(ComparePidls(third.GetAbsolutePidl(), parsed(deep).get()), 0);
    EXPECT_FALSE(root.CanRename());
    EXPECT_TRUE(first.CanRename());
    ASSERT_NE(second.GetFolder(), nullptr);
    EXPECT_EQ(second.GetFolder()->FileSystemPath(), JoinPath(a, "b"));
    ASSERT_NE(root.GetParentFolder(), nullptr);
    EXPECT_EQ(root.GetParentFolder()->FileSystemPath(), home.Root);
    std::shared_ptr<TDropTarget> target;
    EXPECT_EQ(second.GetDropTarget(target), S_OK);
    EXPECT_NE(target, nullptr);
    EXPECT_EQ(root.GetDropTarget(target), S_OK);

    // The folder is renamed: its record takes the new item, the records
    // below are invalidated and find the new path on their next use.
    std::string renamed = JoinPath(home.Files, "renamed");
    std::filesystem::rename(a, renamed);
    first.Rename(lastItemOf(renamed).get());
    second.Invalidate();
    third.Invalidate();
    EXPECT_EQ(first.GetPath(), renamed);
    EXPECT_EQ(third.GetPath(), JoinPath(renamed, "b/c"));

    // The desktop as root: no path, no renaming.
    TPTShTreeData desktop(nullptr);
    desktop.SetPidls(nullptr, nullptr);
    EXPECT_EQ(desktop.GetPath(), "");
    EXPECT_FALSE(desktop.CanRename());
    ASSERT_NE(desktop.GetFolder(), nullptr);
    EXPECT_TRUE(IdListIsEmpty(desktop.GetFolder()->AbsoluteIdList()));
}

TEST(ShellRecordsTest, ListRecordsGiveNamesLinksAndColumnTexts) {
    TShellTestHome home;
    std::string page = JoinPath(home.Files, "page.htm");
    WriteFile(page, std::string(1025, 'x'));
    std::filesystem::create_directories(JoinPath(home.Files, "sub"));
    std::filesystem::create_symlink(page, JoinPath(home.Files, "link.htm"));
    TFolderContext context(home.Files);

    TPTShListData row(&context);
    row.SetRelativePidl(CopyPidl(nullptr, lastItemOf(page).get()));
    EXPECT_EQ(row.GetPath(), page);
    EXPECT_EQ(row.GetFileName(), "page.htm");
    EXPECT_EQ(row.GetDisplayName(), "page.htm");
    EXPECT_FALSE(row.IsLink());
    EXPECT_FALSE(row.IsFolder());
    EXPECT_TRUE(row.CanRename());
    EXPECT_EQ(row.GetColumnText(0), "");
    EXPECT_EQ(row.GetColumnText(1), "2KB");
    EXPECT_FALSE(row.GetColumnText(2).empty());
    EXPECT_FALSE(row.GetColumnText(3).empty());
    EXPECT_EQ(row.GetColumnText(4), "");

    TPTShListData link(&context);
    link.SetRelativePidl(CopyPidl(nullptr, lastItemOf(JoinPath(home.Files, "link.htm")).get()));
    EXPECT_TRUE(link.IsLink());
    EXPECT_EQ(link.GetPath(), JoinPath(home.Files, "link.htm")); // the link, not its target

    TPTShListData folder(&context);
    folder.SetRelativePidl(CopyPidl(nullptr, lastItemOf(JoinPath(home.Files, "sub")).get()));
    EXPECT_TRUE(folder.IsFolder());
    EXPECT_EQ(folder.GetColumnText(1), ""); // folders have no size

    // With a provider the texts are the provider's; column 0 stays the
    // row's caption.
    context.provider = std::make_shared<TEchoProvider>();
    EXPECT_EQ(row.GetColumnText(2), "page.htm#2");
    EXPECT_EQ(row.GetColumnText(0), "");
    EXPECT_EQ(row.GetColumnText(3), "");

    // Items without a path (Computer) have no file name.
    TFolderContext desktopContext("/");
    PItemIDList computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_DRIVES, &computer), S_OK);
    TIdListPtr computerOwned(computer);
    desktopContext.pidl.reset();
    BindToFolder(nullptr, desktopContext.folder);
    TPTShListData virtualRow(&desktopContext);
    virtualRow.SetRelativePidl(CopyPidl(nullptr, computer));
    EXPECT_EQ(virtualRow.GetPath(), "");
    EXPECT_EQ(virtualRow.GetFileName(), "");
    EXPECT_FALSE(virtualRow.GetDisplayName().empty());
}
