// What the shell controls build on: new folders under free names, row
// texts, drop effects, the Send To submenu (filled, measured, drawn and
// answering typed letters), verbs by name, locators and their stored form,
// the format list and drop source, and drives arriving and leaving.

#include "platform/base/Stream.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/ImageList.h"
#include "platform/shellns/FileOperations.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellDataFormats.h"
#include "platform/shellns/SpecialFolders.h"
#include "platform/ui/Control.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "shell/ChangeHandlerThread.h"
#include "shell/DeviceChangeHandler.h"
#include "shell/ShellConsts.h"
#include "shell/ShellContextMenus.h"
#include "shell/ShellDataTransfer.h"
#include "shell/ShellLocator.h"
#include "shell/ShellOps.h"
#include "shell/ShellUtils.h"
#include "tests/shell/ShellTestSupport.h"

#include <sys/stat.h>

namespace {

class ControlSupportTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShellTestApplication(); }
    TShellTestHome home;
    TScriptedUserInteraction user;
};

std::shared_ptr<TDataObject> filesData(const std::vector<std::string>& paths) {
    auto data = std::make_shared<TMemoryDataObject>();
    data->SetBlock(CF_HDROP, BuildDropFiles(paths));
    return data;
}

} // namespace

TEST_F(ControlSupportTest, NewFoldersTakeTheNextFreeNameAndFailuresAreShownOnce) {
    std::string name;
    ASSERT_TRUE(CreateNewFolder(home.Files, name));
    EXPECT_EQ(name, "New Folder");
    ASSERT_TRUE(CreateNewFolder(home.Files, name));
    EXPECT_EQ(name, "New Folder (2)");
    std::filesystem::remove(JoinPath(home.Files, "New Folder"));
    WriteFile(JoinPath(home.Files, "New Folder"), "a file in the way");
    ASSERT_TRUE(CreateNewFolder(home.Files + "/", name));
    EXPECT_EQ(name, "New Folder (3)");
    EXPECT_FALSE(CreateNewFolder("", name));
    EXPECT_TRUE(user.Calls.empty());
    if (::geteuid() != 0) {
        std::string locked = JoinPath(home.Files, "locked");
        std::filesystem::create_directory(locked);
        ::chmod(locked.c_str(), 0555);
        user.AnswerMessage(mrOk);
        EXPECT_FALSE(CreateNewFolder(locked, name));
        ASSERT_EQ(user.Calls.size(), 1u);
        EXPECT_EQ(user.Calls[0].Text, "Unable to create the folder 'New Folder'\n\n" + std::string(std::strerror(EACCES)));
        EXPECT_TRUE(std::filesystem::is_empty(locked));
    }
}

TEST_F(ControlSupportTest, RowTextsAndDropEffects) {
    EXPECT_EQ(SizeText(0), "0KB");
    EXPECT_EQ(SizeText(1), "1KB");
    EXPECT_EQ(SizeText(1024), "1KB");
    EXPECT_EQ(SizeText(1025), "2KB");
    EXPECT_EQ(SizeText(2500000), "2,442KB");
    std::string path = JoinPath(home.Files, "page.htm");
    WriteFile(path, std::string(1500, 'x'));
    PItemIDList pidl = nullptr;
    ASSERT_EQ(PathToPidl(path, pidl), S_OK);
    TIdListPtr owned(pidl);
    TPTRowTexts texts = ItemRowTexts(pidl, SFGAO_FILESYSTEM);
    EXPECT_EQ(texts.Size, "2KB");
    EXPECT_FALSE(texts.Modified.empty());
    EXPECT_FALSE(texts.Type.empty());
    EXPECT_EQ(ItemRowTexts(pidl, 0).Type, "System Folder");

    // The drop effects of an item-list array are what all its items allow.
    std::shared_ptr<TShellFolder> parent;
    TIdListPtr parentPidl, last;
    ASSERT_EQ(BindParentOf(pidl, parent, parentPidl, last), S_OK);
    auto data = std::make_shared<TMemoryDataObject>();
    data->SetBlock(ShellIdListFormat(), BuildIdListArray(parentPidl.get(), {last.get()}));
    EXPECT_EQ(GetDropEffects(*data), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    data->SetBlock(ShellIdListFormat(), "\x05\0\0\0junk");
    EXPECT_EQ(GetDropEffects(*data), DROPEFFECT_NONE);
    EXPECT_EQ(GetDropEffects(*filesData({path})), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    // The desktop's own parent is the desktop folder's directory.
    ASSERT_EQ(BindParentOf(nullptr, parent, parentPidl, last), S_OK);
    std::string name;
    GetItemDisplayName(parent, last.get(), SHGDN_FORPARSING | SHGDN_INFOLDER, name);
    EXPECT_EQ(name, "Desktop");
    EXPECT_FALSE(IsLongPath("/"));
    EXPECT_TRUE(IsLongPath(path));
}

TEST_F(ControlSupportTest, SendToSubmenuIsFilledMeasuredDrawnAndTyped) {
    std::string sendTo = SendToFolderPath();
    std::filesystem::create_directories(sendTo);
    std::string target = JoinPath(home.Files, "target");
    std::filesystem::create_directory(target);
    std::filesystem::create_directory_symlink(target, JoinPath(sendTo, "Backup.folder"));
    WriteFile(JoinPath(sendTo, "archive.sh"), "#!/bin/sh\n");
    WriteFile(JoinPath(sendTo, "Boxes.txt"), "");
    WriteFile(JoinPath(sendTo, ".hidden"), "");
    std::filesystem::create_directory(JoinPath(sendTo, "a folder"));
    std::string item = JoinPath(home.Files, "doc.htm");
    WriteFile(item, "doc");

    TItemInFolder doc = ItemInFolder(item);
    HMENU menu;
    TShellMenuContext context;
    ASSERT_EQ(BuildContextMenu(nullptr, *doc.Parent, 1, &doc.Last, menu, context.ContextMenu, CMF_EXPLORE), S_OK);
    TShellMenu* sendToMenu = nullptr;
    for (int i = 0; i < menu->Count(); ++i)
        if ((menu->ItemAt(i)->Flags & MF_POPUP) != 0)
            sendToMenu = menu->ItemAt(i)->Submenu.get();
    ASSERT_NE(sendToMenu, nullptr);
    TMessage init{WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sendToMenu), 2, 0};
    ASSERT_TRUE(HandleShellMenuMessage(init, context));
    std::vector<std::string> captions;
    for (int i = 0; i < sendToMenu->Count(); ++i) {
        captions.push_back(sendToMenu->ItemAt(i)->Caption);
        EXPECT_EQ(sendToMenu->ItemAt(i)->Id, static_cast<unsigned>(i + 1));
        EXPECT_EQ(sendToMenu->ItemAt(i)->Flags & MF_OWNERDRAW, static_cast<unsigned>(MF_OWNERDRAW));
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"archive", "Backup", "Boxes"})) << "sorted, no extensions";
    // Opened again, a filled submenu is left alone.
    ASSERT_TRUE(HandleShellMenuMessage(init, context));
    EXPECT_EQ(sendToMenu->Count(), 3);

    // Measured and drawn on a canvas whose font is the menu font.
    TBitmap bitmap(200, 60);
    TCanvas& canvas = bitmap.Canvas();
    MEASUREITEMSTRUCT measure;
    measure.itemID = 2;
    measure.itemData = 1;
    measure.canvas = &canvas;
    TMessage measureMessage{WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), 0};
    HandleShellMenuMessage(measureMessage, context);
    EXPECT_EQ(measure.itemWidth, static_cast<unsigned>(canvas.TextWidth("Backup") + 32));
    EXPECT_EQ(measure.itemHeight, static_cast<unsigned>(MenuLineHeight + 2));
    context.SmallImages = GetSystemImageList(0);
    for (bool selected : {false, true}) {
        canvas.Brush().SetColor(clWhite);
        canvas.FillRect(TRect{0, 0, 200, 60});
        DRAWITEMSTRUCT draw;
        draw.itemID = 2;
        draw.itemData = 1;
        draw.itemState = selected ? static_cast<unsigned>(ODS_SELECTED) : 0u;
        draw.canvas = &canvas;
        draw.rcItem = TRect{0, 10, 200, 10 + MenuLineHeight + 2};
        TMessage drawMessage{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), 0};
        HandleShellMenuMessage(drawMessage, context);
        TColor background = ColorToRGB(selected ? TColor(clHighlight) : TColor(clMenu));
        EXPECT_EQ(canvas.Pixel(199, 12), background);
        EXPECT_EQ(canvas.Pixel(199, 5), clWhite) << "nothing outside the item";
        int textPixels = 0, iconPixels = 0;
        for (int y = 10; y < 10 + MenuLineHeight + 2; ++y) {
            for (int x = 0; x < 32; ++x)
                iconPixels += canvas.Pixel(x, y) != background;
            for (int x = 32; x < 32 + canvas.TextWidth("Backup"); ++x)
                textPixels += canvas.Pixel(x, y) != background;
            EXPECT_EQ(canvas.Pixel(30, y), background);
        }
        EXPECT_GT(textPixels, 10) << "the caption is drawn from 32 pixels in";
        EXPECT_GT(iconPixels, 10);
    }

    // A typed letter: one entry with it runs it, several select the next.
    auto menuChar = [&](char letter) {
        TMessage message{WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(letter), MF_POPUP),
                         reinterpret_cast<LPARAM>(sendToMenu), 0};
        HandleShellMenuMessage(message, context);
        return std::make_pair(static_cast<int>(LOWORD(static_cast<uintptr_t>(message.Result))),
                              static_cast<int>(HIWORD(static_cast<uintptr_t>(message.Result))));
    };
    EXPECT_EQ(menuChar('a'), std::make_pair(0, static_cast<int>(MNC_EXECUTE)));
    EXPECT_EQ(menuChar('b'), std::make_pair(1, static_cast<int>(MNC_SELECT)));
    sendToMenu->SetState(1, MFS_HILITE, true);
    EXPECT_EQ(menuChar('B'), std::make_pair(2, static_cast<int>(MNC_SELECT)));
    EXPECT_EQ(menuChar('z').second, static_cast<int>(MNC_CLOSE));

    // The hint of a command; none for a submenu.
    std::string hint = "unset";
    context.OnPopupHint = [&](const std::string& text) { hint = text; };
    TMessage select{WM_MENUSELECT, MAKEWPARAM(ShellCommandFirst, 0), 0, 0};
    HandleShellMenuMessage(select, context);
    EXPECT_FALSE(hint.empty());
    select.WParam = MAKEWPARAM(ShellCommandFirst, MF_POPUP);
    HandleShellMenuMessage(select, context);
    EXPECT_TRUE(hint.empty());

    // Choosing "Backup" drops the item on the folder it links to.
    SendToDrop(SendToList().Get(1), filesData({item}));
    EXPECT_EQ(ReadFile(JoinPath(target, "doc.htm")), "doc");
    EXPECT_THROW(SendToDrop("Boxes.txt", filesData({item})), Exception) << "a plain file takes no drops";
}

TEST_F(ControlSupportTest, VerbsByNameAndUnknownVerbs) {
    std::string item = JoinPath(home.Files, "x.htm");
    WriteFile(item, "x");
    TItemInFolder x = ItemInFolder(item);
    HMENU menu;
    std::shared_ptr<TContextMenu> contextMenu;
    ASSERT_EQ(BuildContextMenu(nullptr, *x.Parent, 1, &x.Last, menu, contextMenu, CMF_EXPLORE), S_OK);
    EXPECT_EQ(VerbToOffset(*contextMenu, "RENAME"), 18);
    EXPECT_EQ(VerbToOffset(*contextMenu, "COPY"), 2);
    EXPECT_EQ(VerbToOffset(*contextMenu, "no-such-verb"), -1);
    EXPECT_EQ(InvokeContextCommand(nullptr, *contextMenu, std::string("no-such-verb")), E_INVALIDARG);
    EXPECT_TRUE(user.Calls.empty()) << "nothing was run, not even the first command";
    EXPECT_EQ(InvokeContextCommand(nullptr, *contextMenu, std::string("open")), S_OK);
    EXPECT_EQ(user.Calls.size(), 1u);
}

TEST_F(ControlSupportTest, LocatorsChangeStoreAndCompare) {
    TPTShellLocator locator;
    int changes = 0;
    locator.OnChange = [&](TPersistent*) { ++changes; };
    locator.SetPath(home.Files);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(locator.GetPath(), home.Files);
    locator.SetPath(home.Files);
    EXPECT_EQ(changes, 1) << "the same folder is no change";
    locator.SetPath(JoinPath(home.Files, "missing"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(locator.GetPidl(), nullptr) << "an unknown path shows the desktop";
    TIdListPtr empty(IdListFromItems({}));
    locator.SetPidl(empty.get());
    EXPECT_EQ(locator.GetPidl(), nullptr);
    EXPECT_EQ(changes, 2);

    // Stored and read back: the bytes of a list, the number of a folder.
    std::mt19937 random(8);
    for (int round = 0; round < 50; ++round) {
        TPTShellLocator source, copy;
        if (round % 5 == 0) {
            source.SetSpecialFolder(static_cast<int>(random() % 28));
        } else {
            std::string items;
            for (int i = 0, n = 1 + static_cast<int>(random() % 3); i < n; ++i)
                items += MakeItem(TItemKind::FileSystem, 0, RandomFileName(random));
            TIdListPtr pidl(IdListFromItems(items));
            source.SetPidl(pidl.get());
        }
        TMemoryStream stream;
        source.WriteData(stream);
        stream.SetPosition(0);
        copy.ReadData(stream);
        EXPECT_EQ(copy.Kind(), source.Kind());
        if (source.Kind() == TPTShellLocator::lkSpecialFolder)
            EXPECT_EQ(copy.Csidl(), source.Csidl());
        else
            EXPECT_EQ(ItemBytes(copy.GetPidl()), ItemBytes(source.GetPidl()));
        // Cut short, the stored form is refused instead of read past.
        std::string bytes = stream.DataString();
        if (source.Kind() == TPTShellLocator::lkPidl) {
            TMemoryStream cut;
            cut.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size() - 1));
            cut.SetPosition(0);
            EXPECT_THROW(copy.ReadData(cut), EReadError);
        }
    }
    TPTShellLocator a, b;
    a.SetPath(home.Files);
    b.SetPath(home.Files);
    int bChanges = 0;
    b.OnChange = [&](TPersistent*) { ++bChanges; };
    b.Assign(&a);
    EXPECT_EQ(bChanges, 0);
    a.SetSpecialFolder(CSIDL_DRIVES);
    b.Assign(&a);
    EXPECT_EQ(bChanges, 1);
    EXPECT_EQ(b.Kind(), TPTShellLocator::lkSpecialFolder);
    EXPECT_EQ(ItemBytes(b.GetPidl()), MakeItem(TItemKind::Computer, itemIsFolder, {}) + std::string(2, '\0'));
}

TEST_F(ControlSupportTest, FormatListsEnumeratorsAndDropSources) {
    auto list = std::make_shared<TPTFormatEtcList>(std::vector<unsigned>{ShellIdListFormat(), CF_HDROP});
    FORMATETC request;
    request.cfFormat = CF_HDROP;
    EXPECT_EQ(list->CheckFormat(request), S_OK);
    request.tymed = TYMED_ISTREAM;
    EXPECT_EQ(list->CheckFormat(request), DV_E_TYMED);
    request.cfFormat = CF_TEXT;
    EXPECT_EQ(list->CheckFormat(request), DV_E_FORMATETC);
    request.cfFormat = CF_HDROP;
    request.tymed = TYMED_HGLOBAL;
    request.dwAspect = DVASPECT_ICON;
    EXPECT_EQ(list->CheckFormat(request), DV_E_FORMATETC);

    TPTFormatEtcList_IEnumFormatEtc enumerator(list);
    FORMATETC records[5];
    unsigned fetched = 0;
    EXPECT_EQ(enumerator.Next(5, records, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(records[1].cfFormat, static_cast<unsigned>(CF_HDROP));
    EXPECT_EQ(enumerator.Reset(), S_OK);
    EXPECT_EQ(enumerator.Skip(1), S_OK);
    std::shared_ptr<TEnumFormatEtc> clone;
    enumerator.Clone(clone);
    EXPECT_EQ(enumerator.Skip(5), S_FALSE);
    EXPECT_EQ(enumerator.Next(1, records, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(clone->Next(1, records, &fetched), S_OK);
    EXPECT_EQ(records[0].cfFormat, static_cast<unsigned>(CF_HDROP));

    TDropSource_shlvtv left(0), right(1);
    EXPECT_EQ(left.QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(left.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(left.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(left.QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(right.QueryContinueDrag(false, MK_RBUTTON | MK_SHIFT), S_OK);
    EXPECT_EQ(right.QueryContinueDrag(false, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(right.GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST_F(ControlSupportTest, DrivesArrivingAndLeavingReachSubscribersOnce) {
    std::string table = JoinPath(home.Root, "mountinfo");
    std::string stick = JoinPath(home.Files, "stick");
    std::filesystem::create_directory(stick);
    WriteFile(table, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    SetMountInfoPath(table);
    TPTDeviceChangeHandler handler;
    std::vector<unsigned> seen;
    int key = 0;
    handler.Subscribe(&key, [&](TPTDeviceChangeHandler&, TMessage& message) { seen.push_back(static_cast<unsigned>(message.WParam)); });
    handler.Poll();
    ProcessMessages();
    EXPECT_TRUE(seen.empty());
    WriteFile(table, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n2 1 8:17 / " + stick + " rw - vfat /dev/sdb1 rw\n");
    handler.Poll();
    EXPECT_TRUE(seen.empty()) << "subscribers are called from the event loop, not from the poll";
    ProcessMessages();
    EXPECT_EQ(seen, std::vector<unsigned>{DBT_DEVICEARRIVAL});
    handler.Enabled = false;
    WriteFile(table, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    handler.Poll();
    ProcessMessages();
    EXPECT_EQ(seen.size(), 1u);
    handler.Enabled = true;
    WriteFile(table, "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n2 1 8:17 / " + stick + " rw - vfat /dev/sdb1 rw\n");
    handler.Poll();
    handler.Unsubscribe(&key);
    ProcessMessages();
    EXPECT_EQ(seen.size(), 1u);
    SetMountInfoPath({});
}

// A subscriber let go of while a notice goes round (a control freed by
// what an earlier subscriber did) is not called any more; one that joins
// meanwhile hears the next notice.
TEST_F(ControlSupportTest, ASubscriberLetGoOfDuringANoticeIsNotCalled) {
    std::string table = JoinPath(home.Root, "mountinfo");
    std::string stick = JoinPath(home.Files, "stick");
    std::filesystem::create_directory(stick);
    const std::string without = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    const std::string with = without + "2 1 8:17 / " + stick + " rw - vfat /dev/sdb1 rw\n";
    WriteFile(table, without);
    SetMountInfoPath(table);
    TPTDeviceChangeHandler handler;
    std::vector<std::string> calls;
    int first = 0, second = 0, third = 0, late = 0;
    auto record = [&](const char* name) {
        return [&calls, name](TPTDeviceChangeHandler&, TMessage&) { calls.push_back(name); };
    };
    handler.Subscribe(&first, [&](TPTDeviceChangeHandler& hub, TMessage&) {
        calls.push_back("first");
        hub.Unsubscribe(&second);
        hub.Subscribe(&late, record("late"));
    });
    handler.Subscribe(&second, record("second"));
    handler.Subscribe(&third, record("third"));
    WriteFile(table, with);
    handler.Poll();
    ProcessMessages();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third"}));
    calls.clear();
    WriteFile(table, without);
    handler.Poll();
    ProcessMessages();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "third", "late"}));
    SetMountInfoPath({});
}

namespace {

// A folder that describes its own columns: 0 and 1 shown by default, 2
// not, 3 shown again.
class TColumnsFolder : public TShellFolder2 {
public:
    HRESULT ParseDisplayName(std::string_view, unsigned*, PItemIDList*, uint32_t*) override { return E_NOTIMPL; }
    HRESULT EnumObjects(unsigned, std::shared_ptr<TEnumIDList>&) override { return E_NOTIMPL; }
    HRESULT BindToObject(PCItemIDList, std::shared_ptr<TShellFolder>&) override { return E_NOTIMPL; }
    HRESULT CompareIDs(intptr_t, PCItemIDList, PCItemIDList) override { return E_NOTIMPL; }
    HRESULT GetAttributesOf(unsigned, const PCItemIDList*, uint32_t&) override { return E_NOTIMPL; }
    HRESULT GetUIObjectOf(unsigned, const PCItemIDList*, TShellInterface, std::shared_ptr<TUnknown>&) override {
        return E_NOTIMPL;
    }
    HRESULT GetDisplayNameOf(PCItemIDList, unsigned, std::string&) override { return E_NOTIMPL; }
    HRESULT SetNameOf(PCItemIDList, std::string_view, unsigned, PItemIDList*) override { return E_NOTIMPL; }
    PCItemIDList AbsoluteIdList() const override { return nullptr; }
    std::string FileSystemPath() const override { return {}; }
    HRESULT GetDefaultColumnState(unsigned column, uint32_t& state) override {
        if (column > 3)
            return E_INVALIDARG;
        state = column == 2 ? 0u : static_cast<uint32_t>(SHCOLSTATE_ONBYDEFAULT);
        return S_OK;
    }
    HRESULT GetDetailsOf(PCItemIDList, unsigned column, TShellDetails& details) override {
        if (column > 3 || Broken)
            return E_INVALIDARG;
        details.Text = "column " + std::to_string(column);
        return S_OK;
    }
    bool Broken = false;
};

} // namespace

TEST(ColumnProviderTest, AFolderDescribingItsColumnsShowsThoseUpToTheFirstHiddenOne) {
    auto folder = std::make_shared<TColumnsFolder>();
    std::shared_ptr<TShellDetailsProvider> provider = FindDetailsProvider(folder);
    ASSERT_TRUE(provider);
    std::vector<std::string> captions;
    TShellDetails details;
    for (unsigned column = 0; SUCCEEDED(provider->GetDetailsOf(nullptr, column, details)); ++column)
        captions.push_back(details.Text);
    EXPECT_EQ(captions, (std::vector<std::string>{"column 0", "column 1"}));
    EXPECT_EQ(provider->ColumnClick(0), E_NOTIMPL);
    folder->Broken = true;
    EXPECT_FALSE(FindDetailsProvider(folder)) << "no columns of its own and no provider";
    std::shared_ptr<TShellFolder> desktop;
    SHGetDesktopFolder(desktop);
    EXPECT_FALSE(FindDetailsProvider(desktop)) << "the namespace's folders use the standard columns";
}
