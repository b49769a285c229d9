#include "platform/shellns/ShellVerbs.h"

#include "platform/gfx/Clipboard.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/FileOperations.h"
#include "platform/shellns/Trash.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellDataFormats.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/base/TextCodec.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/UserInteraction.h"

#include <array>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TVerb {
    unsigned Offset;
    const char* Name;
    const char* Caption;
    const char* Help;
};

constexpr std::array kVerbs = {
    TVerb{verbOpen, "open", "&Open", "Opens the selected items with their programs."},
    TVerb{verbCut, "cut", "Cu&t", "Removes the selected items and copies them onto the clipboard."},
    TVerb{verbCopy, "copy", "&Copy", "Copies the selected items to the clipboard."},
    TVerb{verbPaste, "paste", "&Paste", "Inserts the items you have copied or cut into the selected folder."},
    TVerb{verbLink, "link", "Create &Link", "Creates links to the selected items."},
    TVerb{verbDelete, "delete", "&Delete", "Moves the selected items to the Trash."},
    TVerb{verbNewFolder, "newfolder", "New &Folder", "Creates a new, empty folder."},
    TVerb{verbRename, "rename", "Rena&me", "Renames the selected item."},
};

const TVerb* verbByOffset(unsigned offset) {
    for (const TVerb& verb : kVerbs)
        if (verb.Offset == offset)
            return &verb;
    return nullptr;
}

const TVerb* verbByName(std::string_view name) {
    for (const TVerb& verb : kVerbs)
        if (SameText(name, verb.Name))
            return &verb;
    return nullptr;
}

std::string quotedName(const std::string& path) {
    std::string quoted(1, '\'');
    quoted += DisplayTextOfName(FileNameOf(path));
    quoted += '\'';
    return quoted;
}

void reportFailure(const std::string& what, const std::string& path, HRESULT hr) {
    std::string reason = ErrnoOfHResult(hr) == EINVAL && what != "rename"
                             ? std::string("The destination folder is the source folder or lies inside it.")
                             : SystemErrorText(hr);
    UserInteraction().MessageDlg("Unable to " + what + " " + quotedName(path) + ".\n\n" + reason, mtError, mbOKOnly);
}

bool allPaths(const std::vector<TItemPlace>& places) {
    for (const TItemPlace& place : places)
        if (place.Kind != TItemPlace::FileSystem)
            return false;
    return !places.empty();
}

class TItemContextMenu : public TContextMenu {
public:
    TItemContextMenu(std::vector<TItemPlace> places, std::vector<TIdListPtr> absolutes)
        : places_(std::move(places)), absolutes_(std::move(absolutes)) {}

    HRESULT QueryContextMenu(TShellMenu& menu, unsigned index, unsigned first, unsigned last,
                             unsigned flags) override {
        if (!allPaths(places_))
            return MAKE_SCODE_SUCCESS(0);
        int position = static_cast<int>(index);
        auto add = [&](unsigned offset, bool enabled, unsigned extra = 0) {
            if (first + offset > last)
                return;
            const TVerb* verb = verbByOffset(offset);
            menu.Insert(position++, TShellMenuItem{first + offset, MF_STRING | extra | (enabled ? 0u : MF_GRAYED),
                                                   verb->Caption, nullptr, 0});
        };
        auto separator = [&] { menu.Insert(position++, TShellMenuItem{0, MF_SEPARATOR, {}, nullptr, 0}); };
        add(verbOpen, true, MFS_DEFAULT);
        if ((flags & CMF_DEFAULTONLY) != 0)
            return MAKE_SCODE_SUCCESS(verbOpen + 1);
        separator();
        // Send To: an empty placeholder the caller fills from the send-to
        // folder when its submenu opens.
        HMENU sendTo = CreatePopupMenu();
        sendTo->Append(TShellMenuItem{0, MF_STRING | MF_GRAYED, "(empty)", nullptr, 0});
        menu.Insert(position++, TShellMenuItem{0, MF_POPUP, "Send &To", sendTo, 0});
        separator();
        bool canMove = allHave(SFGAO_CANMOVE), single = places_.size() == 1;
        bool folder = single && IsFolderPath(places_.front().Path);
        add(verbCut, canMove);
        add(verbCopy, true);
        if (folder)
            add(verbPaste, clipboardHasFiles());
        separator();
        add(verbLink, true);
        add(verbDelete, allHave(SFGAO_CANDELETE));
        if ((flags & CMF_CANRENAME) != 0 && single)
            add(verbRename, allHave(SFGAO_CANRENAME));
        if (folder) {
            separator();
            add(verbNewFolder, ::access(places_.front().Path.c_str(), W_OK) == 0);
        }
        return MAKE_SCODE_SUCCESS(verbRename + 1);
    }

    HRESULT InvokeCommand(const TCMInvokeCommandInfo& info) override {
        const TVerb* verb = info.Verb.empty() ? verbByOffset(info.Offset) : verbByName(info.Verb);
        if (verb == nullptr || !allPaths(places_))
            return E_INVALIDARG; // an unknown command runs nothing
        HRESULT result = E_FAIL;
        RunGuarded([&] { result = run(*verb, info); });
        return result;
    }

    HRESULT GetCommandString(unsigned offset, unsigned kind, std::string& text) override {
        const TVerb* verb = verbByOffset(offset);
        if (verb == nullptr)
            return E_INVALIDARG;
        if (kind == GCS_VERBA)
            text = verb->Name;
        else if (kind == GCS_HELPTEXTA)
            text = verb->Help;
        else if (kind == GCS_VALIDATEA)
            return S_OK;
        else
            return E_INVALIDARG;
        return S_OK;
    }

private:
    bool allHave(uint32_t bit) const {
        for (const TItemPlace& place : places_) {
            std::string parent = ParentPathOf(place.Path);
            if ((bit & (SFGAO_CANMOVE | SFGAO_CANDELETE | SFGAO_CANRENAME)) != 0 && ::access(parent.c_str(), W_OK) != 0)
                return false;
        }
        return true;
    }

    static bool clipboardHasFiles() {
        std::vector<std::string> paths;
        return FilePathsOfDataObject(*OleGetClipboard(), paths);
    }

    std::vector<std::string> paths() const {
        std::vector<std::string> result;
        for (const TItemPlace& place : places_)
            result.push_back(place.Path);
        return result;
    }

    HRESULT run(const TVerb& verb, const TCMInvokeCommandInfo& info) {
        switch (verb.Offset) {
        case verbOpen:
            for (const TItemPlace& place : places_)
                if (!UserInteraction().OpenDocument(place.Path))
                    return E_FAIL;
            return S_OK;
        case verbCut:
        case verbCopy: return toClipboard(verb.Offset == verbCut);
        case verbPaste: return paste();
        case verbLink:
            for (const TItemPlace& place : places_) {
                HRESULT hr = LinkIntoFolder(place.Path, ParentPathOf(place.Path));
                if (FAILED(hr)) {
                    reportFailure("create a link to", place.Path, hr);
                    return hr;
                }
            }
            return S_OK;
        case verbDelete: {
            bool permanently = (info.Mask & CMIC_MASK_SHIFT_DOWN) != 0 || GetKeyState(VK_SHIFT) < 0;
            return remove(permanently);
        }
        case verbNewFolder: {
            std::string folder = places_.front().Path;
            HRESULT hr = MakeFolder(JoinPath(folder, FreeNameIn(folder, "New Folder", true)));
            if (FAILED(hr))
                reportFailure("create a folder in", folder, hr);
            return hr;
        }
        case verbRename:
            return S_FALSE; // renaming is done in place by the control
        }
        return E_INVALIDARG;
    }

    HRESULT toClipboard(bool cut) {
        auto data = std::make_shared<TMemoryDataObject>();
        std::vector<PCItemIDList> items;
        TIdListPtr parent(IdListCloneFirst(absolutes_.front().get(), IdListItemCount(absolutes_.front().get()) - 1));
        for (const TIdListPtr& absolute : absolutes_)
            items.push_back(IdListLastItem(absolute.get()));
        data->SetBlock(ShellIdListFormat(), BuildIdListArray(parent.get(), items));
        data->SetBlock(CF_HDROP, BuildDropFiles(paths()));
        data->SetBlock(PreferredDropEffectFormat(), BuildDropEffectBlock(cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY));
        return OleSetClipboard(data);
    }

    HRESULT paste() {
        std::shared_ptr<TDataObject> data = OleGetClipboard();
        std::vector<std::string> sources;
        if (places_.size() != 1 || !FilePathsOfDataObject(*data, sources))
            return S_FALSE;
        uint32_t effect = PreferredDropEffectOf(*data);
        uint32_t done = TransferIntoFolder(sources, places_.front().Path, effect);
        // A cut is pasted once: afterwards the items are no longer where
        // the clipboard says.
        if (effect == DROPEFFECT_MOVE && done == DROPEFFECT_MOVE)
            OleSetClipboard(nullptr);
        return done != DROPEFFECT_NONE ? S_OK : E_FAIL;
    }

    HRESULT remove(bool permanently) {
        std::string subject = places_.size() == 1 ? quotedName(places_.front().Path)
                                                  : "these " + std::to_string(places_.size()) + " items";
        std::string question = permanently ? "Are you sure you want to permanently delete " + subject + "?"
                                           : "Are you sure you want to move " + subject + " to the Trash?";
        if (UserInteraction().MessageDlg(question, mtConfirmation, mbYesNo) != mrYes)
            return S_FALSE;
        for (const TItemPlace& place : places_) {
            HRESULT hr = permanently ? DeletePermanently(place.Path) : MoveToTrash(place.Path);
            if (FAILED(hr)) {
                reportFailure(permanently ? "delete" : "move to the Trash", place.Path, hr);
                return hr;
            }
        }
        return S_OK;
    }

    std::vector<TItemPlace> places_;
    std::vector<TIdListPtr> absolutes_;
};

bool onSameDevice(const std::string& path, const std::string& folder) {
    struct stat a, b;
    return ::lstat(path.c_str(), &a) == 0 && ::stat(folder.c_str(), &b) == 0 && a.st_dev == b.st_dev;
}

// Asks, after a drag with the right button, what to do; the choices are the
// allowed effects.
uint32_t askDropEffect(uint32_t allowed, TPoint point) {
    TPopupMenu menu;
    uint32_t chosen = DROPEFFECT_NONE;
    auto add = [&](uint32_t effect, const char* caption) {
        if ((allowed & effect) != 0)
            menu.Add(caption, [&chosen, effect](TPersistent*) { chosen = effect; });
    };
    add(DROPEFFECT_COPY, "&Copy Here");
    add(DROPEFFECT_MOVE, "&Move Here");
    add(DROPEFFECT_LINK, "Create &Links Here");
    menu.Add("-");
    menu.Add("Cancel");
    menu.Popup(point);
    return chosen;
}

class TFolderDropTarget : public TDropTarget {
public:
    explicit TFolderDropTarget(std::string folder) : folder_(std::move(folder)) {}

    HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keyState, TPoint, uint32_t& effect) override {
        paths_.clear();
        if (!data || !FilePathsOfDataObject(*data, paths_))
            paths_.clear();
        effect = FolderDropEffect(paths_, folder_, keyState, effect);
        return S_OK;
    }
    HRESULT DragOver(uint32_t keyState, TPoint, uint32_t& effect) override {
        effect = FolderDropEffect(paths_, folder_, keyState, effect);
        return S_OK;
    }
    HRESULT DragLeave() override {
        paths_.clear();
        return S_OK;
    }
    HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t keyState, TPoint point, uint32_t& effect) override {
        uint32_t allowed = effect;
        effect = DROPEFFECT_NONE;
        RunGuarded([&] {
            std::vector<std::string> paths;
            if (!data || !FilePathsOfDataObject(*data, paths))
                return;
            uint32_t chosen = FolderDropEffect(paths, folder_, keyState, allowed);
            if ((keyState & MK_RBUTTON) != 0 && chosen != DROPEFFECT_NONE) {
                uint32_t offered = DROPEFFECT_NONE;
                for (uint32_t one : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
                    if ((allowed & one) != 0 && FolderDropEffect(paths, folder_, 0, one) != DROPEFFECT_NONE)
                        offered |= one;
                chosen = askDropEffect(offered, point);
            }
            if (chosen != DROPEFFECT_NONE)
                effect = TransferIntoFolder(paths, folder_, chosen);
        });
        paths_.clear();
        return S_OK;
    }

private:
    std::string folder_;
    std::vector<std::string> paths_;
};

// A program in the send-to folder: dropped files are handed to it.
class TProgramDropTarget : public TDropTarget {
public:
    explicit TProgramDropTarget(std::string program) : program_(std::move(program)) {}
    HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t, TPoint, uint32_t& effect) override {
        hasFiles_ = data && FilePathsOfDataObject(*data, paths_);
        effect = hasFiles_ ? (effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT DragOver(uint32_t, TPoint, uint32_t& effect) override {
        effect = hasFiles_ ? (effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t, TPoint, uint32_t& effect) override {
        std::vector<std::string> paths;
        if (!data || !FilePathsOfDataObject(*data, paths) || (effect & DROPEFFECT_COPY) == 0) {
            effect = DROPEFFECT_NONE;
            return S_OK;
        }
        bool started = false;
        RunGuarded([&] { started = UserInteraction().StartProgram(program_, paths); });
        effect = started ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }

private:
    std::string program_;
    std::vector<std::string> paths_;
    bool hasFiles_ = false;
};

} // namespace

std::shared_ptr<TContextMenu> MakeItemContextMenu(std::vector<TItemPlace> places, std::vector<TIdListPtr> absolutes) {
    return std::make_shared<TItemContextMenu>(std::move(places), std::move(absolutes));
}

std::shared_ptr<TDropTarget> MakeItemDropTarget(const TItemPlace& place) {
    if (place.Kind != TItemPlace::FileSystem)
        return nullptr;
    if (IsFolderPath(place.Path))
        return std::make_shared<TFolderDropTarget>(place.Path);
    struct stat info;
    if (::stat(place.Path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(place.Path.c_str(), X_OK) == 0)
        return std::make_shared<TProgramDropTarget>(place.Path);
    return nullptr;
}

uint32_t FolderDropEffect(const std::vector<std::string>& paths, const std::string& folder, uint32_t keyState,
                          uint32_t allowed) {
    if (paths.empty() || ::access(folder.c_str(), W_OK) != 0)
        return DROPEFFECT_NONE;
    bool control = (keyState & MK_CONTROL) != 0, shift = (keyState & MK_SHIFT) != 0;
    uint32_t wanted;
    if ((control && shift) || (keyState & MK_ALT) != 0)
        wanted = DROPEFFECT_LINK;
    else if (control)
        wanted = DROPEFFECT_COPY;
    else if (shift)
        wanted = DROPEFFECT_MOVE;
    else {
        bool allLocal = true;
        for (const std::string& path : paths)
            allLocal = allLocal && onSameDevice(path, folder);
        wanted = allLocal ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    }
    allowed &= DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    if ((allowed & wanted) == 0) {
        wanted = DROPEFFECT_NONE;
        for (uint32_t one : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
            if ((allowed & one) != 0) {
                wanted = one;
                break;
            }
    }
    if (wanted == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    bool allInFolder = true;
    for (const std::string& path : paths) {
        // Never into itself; a move into the folder the items are in
        // changes nothing.
        if (wanted != DROPEFFECT_LINK && PathIsWithin(folder, path))
            return DROPEFFECT_NONE;
        allInFolder = allInFolder && ParentPathOf(path) == folder;
    }
    if (wanted == DROPEFFECT_MOVE && allInFolder)
        return DROPEFFECT_NONE;
    return wanted;
}

uint32_t TransferIntoFolder(const std::vector<std::string>& paths, const std::string& folder, uint32_t effect) {
    if (effect != DROPEFFECT_COPY && effect != DROPEFFECT_MOVE && effect != DROPEFFECT_LINK)
        return DROPEFFECT_NONE;
    bool any = false;
    for (const std::string& path : paths) {
        HRESULT hr = effect == DROPEFFECT_COPY   ? CopyIntoFolder(path, folder)
                     : effect == DROPEFFECT_MOVE ? MoveIntoFolder(path, folder)
                                                 : LinkIntoFolder(path, folder);
        if (FAILED(hr)) {
            reportFailure(effect == DROPEFFECT_COPY ? "copy" : effect == DROPEFFECT_MOVE ? "move" : "link to", path, hr);
            continue;
        }
        any = true;
    }
    return any ? effect : DROPEFFECT_NONE;
}
