// The namespace's verbs on a temporary folder, with the trash and the
// clipboard of the test's own: deleting to the trash keeps the data
// restorable, Shift+Delete removes for good, copy and paste never
// overwrite, a folder is never pasted into itself, and the clipboard
// carries our item-list array and the outside world's formats.

#include "platform/shellns/FileOperations.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellDataFormats.h"
#include "platform/shellns/ShellFolder.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/shellns/ShellVerbs.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellTestSupport.h"

#include <QClipboard>
#include <QMimeData>

namespace {

class VerbsTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShellTestApplication(); }

    // The menu of one item, found by its path.
    std::shared_ptr<TContextMenu> menuOf(const std::string& path) {
        TItemInFolder item = ItemInFolder(path);
        std::shared_ptr<TUnknown> object;
        EXPECT_EQ(item.Parent->GetUIObjectOf(1, &item.Last, TShellInterface::ContextMenu, object), S_OK);
        return std::dynamic_pointer_cast<TContextMenu>(object);
    }

    HRESULT invoke(const std::string& path, const std::string& verb) {
        TCMInvokeCommandInfo info;
        info.Verb = verb;
        return menuOf(path)->InvokeCommand(info);
    }

    TShellTestHome home;
    TScriptedUserInteraction user;
};

} // namespace

TEST_F(VerbsTest, DeleteGoesToTheTrashAndCanBeRestored) {
    // One name Qt's trash takes, one whose bytes are not UTF-8.
    for (std::string name : {std::string("p\xC3\xA1gina.htm"), std::string("page \xE9.htm")}) {
        std::string path = JoinPath(home.Files, name);
        std::string data(5000, '\0');
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(i * 7 + name.size());
        WriteFile(path, data);
        user.AnswerMessage(mrYes);
        ASSERT_EQ(invoke(path, "delete"), S_OK) << name;
        EXPECT_FALSE(PathExists(path));
        // It is in our own trash, with a record of where it came from.
        std::string trash = JoinPath(home.Home, ".local/share/Trash");
        std::vector<std::string> inTrash;
        for (const auto& entry : std::filesystem::directory_iterator(JoinPath(trash, "files")))
            inTrash.push_back(entry.path().filename().string());
        ASSERT_EQ(inTrash.size(), 1u);
        std::string trashed = JoinPath(JoinPath(trash, "files"), inTrash.front());
        std::string recordPath = JoinPath(JoinPath(trash, "info"), inTrash.front() + ".trashinfo");
        std::string record = ReadFile(recordPath);
        EXPECT_NE(record.find("[Trash Info]"), std::string::npos);
        std::string recordedPath = record.substr(record.find("Path=") + 5);
        recordedPath = recordedPath.substr(0, recordedPath.find('\n'));
        std::string original;
        ASSERT_TRUE(PathOfFileUri("file://" + recordedPath, original)) << recordedPath;
        EXPECT_EQ(original, path);
        // Restored, the data is what was written.
        ASSERT_EQ(std::rename(trashed.c_str(), original.c_str()), 0);
        std::filesystem::remove(recordPath);
        EXPECT_EQ(ReadFile(path), data);
    }
}

TEST_F(VerbsTest, ShiftDeleteRemovesForGoodAndNoAnswerKeepsTheFile) {
    std::string folder = JoinPath(home.Files, "tree");
    std::filesystem::create_directories(JoinPath(folder, "sub"));
    WriteFile(JoinPath(folder, "sub/x"), "x");
    user.AnswerMessage(mrNo);
    EXPECT_EQ(invoke(folder, "delete"), S_FALSE);
    EXPECT_TRUE(PathExists(JoinPath(folder, "sub/x")));

    SetKeyDown(VK_SHIFT, true);
    user.AnswerMessage(mrYes);
    HRESULT hr = invoke(folder, "delete");
    SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(hr, S_OK);
    EXPECT_FALSE(PathExists(folder));
    EXPECT_FALSE(PathExists(JoinPath(home.Home, ".local/share/Trash/files/tree")));
    EXPECT_NE(user.Calls.back().Text.find("permanently"), std::string::npos);
}

TEST_F(VerbsTest, CopyAndPasteIntoTheSameFolderNeverOverwrites) {
    std::string path = JoinPath(home.Files, "a.htm");
    WriteFile(path, "first");
    WriteFile(JoinPath(home.Files, "a (2).htm"), "taken");
    ASSERT_EQ(invoke(path, "copy"), S_OK);
    ASSERT_EQ(invoke(home.Files, "paste"), S_OK);
    ASSERT_EQ(invoke(home.Files, "paste"), S_OK);
    EXPECT_EQ(ReadFile(path), "first");
    EXPECT_EQ(ReadFile(JoinPath(home.Files, "a (2).htm")), "taken");
    EXPECT_EQ(ReadFile(JoinPath(home.Files, "a (3).htm")), "first");
    EXPECT_EQ(ReadFile(JoinPath(home.Files, "a (4).htm")), "first");

    // Cut and paste elsewhere moves, once.
    std::string target = JoinPath(home.Files, "target");
    std::filesystem::create_directory(target);
    WriteFile(JoinPath(target, "a.htm"), "other");
    ASSERT_EQ(invoke(path, "cut"), S_OK);
    ASSERT_EQ(invoke(target, "paste"), S_OK);
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(ReadFile(JoinPath(target, "a.htm")), "other");
    EXPECT_EQ(ReadFile(JoinPath(target, "a (2).htm")), "first");
    EXPECT_EQ(invoke(target, "paste"), S_FALSE) << "the cut was used up";

    // A folder pasted into itself is refused with a message.
    size_t messages = user.Calls.size();
    ASSERT_EQ(invoke(target, "copy"), S_OK);
    user.AnswerMessage(mrOk);
    EXPECT_EQ(invoke(target, "paste"), E_FAIL);
    EXPECT_EQ(user.Calls.size(), messages + 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target), {}), 2);
}

TEST_F(VerbsTest, UnknownVerbsRunNothingAndTheMenuNamesItsCommands) {
    std::string path = JoinPath(home.Files, "a.htm");
    WriteFile(path, "a");
    EXPECT_EQ(invoke(path, "format-disk"), E_INVALIDARG);
    EXPECT_TRUE(user.Calls.empty());
    std::shared_ptr<TContextMenu> menu = menuOf(path);
    HMENU popup = CreatePopupMenu();
    HRESULT hr = menu->QueryContextMenu(*popup, 0, 1000, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
    EXPECT_EQ(HRESULT_CODE(hr), verbRename + 1);
    EXPECT_EQ(popup->DefaultItem(), 1000 + verbOpen);
    for (int i = 0; i < popup->Count(); ++i) {
        const TShellMenuItem* item = popup->ItemAt(i);
        if ((item->Flags & (MF_SEPARATOR | MF_POPUP)) != 0)
            continue;
        std::string verb;
        ASSERT_EQ(menu->GetCommandString(item->Id - 1000, GCS_VERBA, verb), S_OK);
        EXPECT_FALSE(verb.empty());
        std::string help;
        EXPECT_EQ(menu->GetCommandString(item->Id - 1000, GCS_HELPTEXTA, help), S_OK);
        EXPECT_FALSE(help.empty());
    }
    ASSERT_NE(popup->FindCommand(1000 + verbRename), nullptr);
    TCMInvokeCommandInfo open;
    open.Offset = verbOpen;
    EXPECT_EQ(menu->InvokeCommand(open), S_OK);
    ASSERT_EQ(user.Calls.size(), 1u);
    EXPECT_EQ(user.Calls[0].Kind, TScriptedUserInteraction::kOpenDocument);
    EXPECT_EQ(user.Calls[0].Text, path);
}

TEST_F(VerbsTest, ClipboardCarriesOurArrayAndTheDesktopsFormats) {
    std::vector<std::string> paths = {JoinPath(home.Files, "with space.htm"), JoinPath(home.Files, "caf\xE9\xFF.htm")};
    for (const std::string& path : paths)
        WriteFile(path, path);
    // Copied through the verb, the clipboard holds the array and the lists.
    std::shared_ptr<TContextMenu> menu;
    {
        PItemIDList first = nullptr, second = nullptr;
        PathToPidl(paths[0], first);
        PathToPidl(paths[1], second);
        TIdListPtr a(first), b(second);
        std::shared_ptr<TShellFolder> parent;
        PCItemIDList last[2];
        SHBindToParent(first, parent, &last[0]);
        last[1] = IdListLastItem(second);
        std::shared_ptr<TUnknown> object;
        ASSERT_EQ(parent->GetUIObjectOf(2, last, TShellInterface::ContextMenu, object), S_OK);
        TCMInvokeCommandInfo copy;
        copy.Verb = "copy";
        ASSERT_EQ(std::dynamic_pointer_cast<TContextMenu>(object)->InvokeCommand(copy), S_OK);
    }
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    QByteArray uris = mime->data("text/uri-list");
    EXPECT_EQ(PathsOfUriList(std::string(uris.constData(), static_cast<size_t>(uris.size()))), paths);
    QByteArray copied = mime->data("x-special/gnome-copied-files");
    EXPECT_TRUE(copied.startsWith("copy\n"));
    std::shared_ptr<TDataObject> read = OleGetClipboard();
    std::string block;
    ASSERT_TRUE(GetDataBlock(*read, ShellIdListFormat(), block));
    TIdListArrayView view;
    ASSERT_TRUE(ParseIdListArray(block, view));
    ASSERT_EQ(view.Items.size(), 2u);
    std::vector<std::string> back;
    ASSERT_TRUE(FilePathsOfDataObject(*read, back));
    EXPECT_EQ(back, paths);

    // What another file manager puts there is read the same way.
    auto outside = std::make_unique<QMimeData>();
    outside->setData("x-special/gnome-copied-files", QByteArray::fromStdString(CopiedFilesOfPaths(paths, true)));
    QGuiApplication::clipboard()->setMimeData(outside.release());
    read = OleGetClipboard();
    ASSERT_TRUE(FilePathsOfDataObject(*read, back));
    EXPECT_EQ(back, paths);
    EXPECT_EQ(PreferredDropEffectOf(*read), DROPEFFECT_MOVE);
    // A malformed array is not trusted; the file list still is.
    auto broken = std::make_shared<TMemoryDataObject>();
    broken->SetBlock(ShellIdListFormat(), std::string("\xFF\xFF\xFF\x7F\x08\0\0\0", 8));
    EXPECT_FALSE(FilePathsOfDataObject(*broken, back));
    broken->SetBlock(CF_HDROP, BuildDropFiles(paths));
    ASSERT_TRUE(FilePathsOfDataObject(*broken, back));
    EXPECT_EQ(back, paths);
}

TEST_F(VerbsTest, FolderDropTargetsCopyMoveAndRefuseTheirOwnTree) {
    std::string source = JoinPath(home.Files, "src");
    std::string target = JoinPath(home.Files, "dst");
    std::filesystem::create_directories(JoinPath(source, "inner"));
    std::filesystem::create_directory(target);
    WriteFile(JoinPath(source, "f.txt"), "f");
    auto data = std::make_shared<TMemoryDataObject>();
    data->SetBlock(CF_HDROP, BuildDropFiles({source}));

    TItemPlace dst{TItemPlace::FileSystem, target};
    std::shared_ptr<TDropTarget> drop = MakeItemDropTarget(dst);
    ASSERT_TRUE(drop);
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(drop->DragEnter(data, MK_CONTROL, {}, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(drop->Drop(data, MK_CONTROL, {}, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(ReadFile(JoinPath(target, "src/f.txt")), "f");

    // Into its own subfolder: no effect, nothing done.
    std::shared_ptr<TDropTarget> inner = MakeItemDropTarget({TItemPlace::FileSystem, JoinPath(source, "inner")});
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    inner->DragEnter(data, 0, {}, effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    inner->Drop(data, MK_CONTROL, {}, effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_FALSE(PathExists(JoinPath(source, "inner/src")));

    // A move on one volume, under a free name beside the earlier copy.
    effect = DROPEFFECT_MOVE;
    drop->Drop(data, 0, {}, effect);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_FALSE(PathExists(source));
    EXPECT_EQ(ReadFile(JoinPath(target, "src (2)/f.txt")), "f");
    // Malformed data gives no effect.
    auto junk = std::make_shared<TMemoryDataObject>();
    junk->SetBlock(CF_HDROP, "short");
    effect = DROPEFFECT_COPY;
    drop->DragEnter(junk, 0, {}, effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
}
