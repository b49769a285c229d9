#include "shell/ShellOps.h"

#include "platform/shellns/FileOperations.h"
#include "platform/shellns/MountTable.h"
#include "platform/shellns/ShellClipboard.h"
#include "platform/shellns/ShellDataFormats.h"
#include "platform/shellns/SpecialFolders.h"
#include "platform/ui/Control.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Message.h"
#include "platform/ui/TickSource.h"
#include "platform/ui/UserInteraction.h"
#include "shell/ShellConsts.h"
#include "shell/ShellUtils.h"

#include <cerrno>
#include <clocale>
#include <sys/stat.h>

namespace {

int wheelLines = 3;

void warnCreateFailed(HRESULT hr, const std::string& name) {
    UserInteraction().MessageDlg(FormatStrPos(LoadResString(SUnableToCreateFolder), {SystemErrorText(hr), name}),
                                 mtWarning, mbOKOnly);
}

} // namespace

bool CreateNewFolder(const std::string& parentPath, std::string& name) {
    name.clear();
    if (parentPath.empty())
        return false; // never "somewhere": the current folder is no one's choice
    std::string parent = AppendCharIfMissing(parentPath, '/');
    struct TSeries {
        std::string Base;
        const char* Numbered;
    };
    const TSeries series[] = {{LoadResString(SNewFolder), " (%d)"}, {"fldr", "%d"}};
    for (const TSeries& s : series) {
        for (int n = 1; n <= 50; ++n) {
            std::string candidate = s.Base;
            if (n > 1)
                candidate += FormatMessageText(s.Numbered, n);
            HRESULT hr = MakeFolder(parent + candidate);
            if (SUCCEEDED(hr)) {
                name = candidate;
                return true;
            }
            if (ErrnoOfHResult(hr) != EEXIST) {
                warnCreateFailed(hr, candidate);
                return false;
            }
        }
    }
    warnCreateFailed(HResultFromErrno(EEXIST), LoadResString(SNewFolder));
    return false;
}

TWinControl* OwnerWindow(TControl* control) {
    if (control == nullptr || control->Parent() == nullptr)
        return nullptr;
    TWinControl* top = control->Parent();
    while (top->Parent() != nullptr)
        top = top->Parent();
    return top;
}

void RaiseComError(HRESULT hr) { throw Exception(SystemErrorText(hr)); }

bool IsLongPath(const std::string& path) {
    return !path.empty() && DriveTypeOfMountPoint(path) == DRIVE_NO_ROOT_DIR;
}

HRESULT BindParentOf(PCItemIDList absolute, std::shared_ptr<TShellFolder>& parentFolder, TIdListPtr& parentPidl,
                     TIdListPtr& lastItem) {
    parentFolder.reset();
    parentPidl.reset();
    lastItem.reset();
    TIdListPtr desktopDirectory;
    if (IdListIsEmpty(absolute)) {
        PItemIDList pidl = nullptr;
        HRESULT hr = PathToPidl(DesktopFolderPath(), pidl);
        if (FAILED(hr))
            return hr;
        desktopDirectory.reset(pidl);
        absolute = pidl;
    }
    int count = IdListItemCount(absolute);
    lastItem.reset(IdListCloneItem(absolute, count - 1));
    if (count > 1)
        parentPidl.reset(IdListCloneFirst(absolute, count - 1));
    if (!lastItem || (count > 1 && !parentPidl))
        return E_OUTOFMEMORY;
    return BindToFolder(parentPidl.get(), parentFolder);
}

HRESULT GetUIObjectOfPidl(PCItemIDList absolute, TShellInterface kind, std::shared_ptr<TUnknown>& object) {
    object.reset();
    std::shared_ptr<TShellFolder> parent;
    TIdListPtr parentPidl, last;
    HRESULT hr = BindParentOf(absolute, parent, parentPidl, last);
    if (FAILED(hr))
        return hr;
    PCItemIDList item = last.get();
    return parent->GetUIObjectOf(1, &item, kind, object);
}

HRESULT GetDesktopDropTarget(std::shared_ptr<TDropTarget>& target) {
    target.reset();
    std::shared_ptr<TUnknown> object;
    HRESULT hr = GetUIObjectOfPidl(nullptr, TShellInterface::DropTarget, object);
    target = std::dynamic_pointer_cast<TDropTarget>(object);
    return SUCCEEDED(hr) && !target ? E_NOINTERFACE : hr;
}

HRESULT SplitDesktopDirectory(TIdListPtr& parentPidl, TIdListPtr& lastItem) {
    std::shared_ptr<TShellFolder> folder;
    HRESULT hr = BindParentOf(nullptr, folder, parentPidl, lastItem);
    if (FAILED(hr)) {
        parentPidl.reset();
        lastItem.reset();
    }
    return hr;
}

void GetItemDisplayName(const std::shared_ptr<TShellFolder>& folder, PCItemIDList relative, unsigned flags,
                        std::string& text) {
    text.clear();
    if (!folder || FAILED(folder->GetDisplayNameOf(relative, flags, text)))
        text.clear();
}

uint32_t GetDropEffects(TDataObject& data) {
    uint32_t effects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    FORMATETC request;
    request.cfFormat = ShellIdListFormat();
    if (FAILED(data.QueryGetData(request)))
        return effects;
    std::string block;
    TIdListArrayView view;
    if (!GetDataBlock(data, ShellIdListFormat(), block) || !ParseIdListArray(block, view))
        return DROPEFFECT_NONE;
    std::shared_ptr<TShellFolder> parent;
    if (view.Items.empty() || FAILED(BindToFolder(view.Parent, parent)))
        return DROPEFFECT_NONE;
    uint32_t attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    if (FAILED(parent->GetAttributesOf(static_cast<unsigned>(view.Items.size()), view.Items.data(), attributes)))
        return DROPEFFECT_NONE;
    return effects & attributes;
}

void ScrollStep(TWinControl& control, int bar, int code) {
    TScrollInfo info = control.GetScrollInfo(bar);
    if (static_cast<long long>(info.Max) - info.Min - static_cast<long long>(info.Page) > 0)
        control.Perform(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, static_cast<WPARAM>(code), 0);
}

int WheelScrollLines() { return wheelLines; }
void SetWheelScrollLines(int lines) { wheelLines = lines; }

bool WheelScroll(TWinControl& control, int bar, bool down, int pageCode) {
    if (wheelLines == -1) {
        ScrollStep(control, bar, pageCode);
        return true;
    }
    int steps = bar == SB_HORZ ? 1 : wheelLines;
    for (int i = 0; i < steps; ++i)
        ScrollStep(control, bar, down ? SB_LINEDOWN : SB_LINEUP);
    return true;
}

void WaitWithHourglass(unsigned milliseconds) {
    int saved = ScreenCursor();
    SetScreenCursor(crHourGlass);
    uint64_t end = GetTickCount64() + milliseconds;
    // The event loop goes on meanwhile, so the window does not freeze.
    while (GetTickCount64() < end)
        ProcessMessages();
    SetScreenCursor(saved);
}

std::string SizeText(unsigned long long bytes) {
    unsigned long long kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    std::string digits = std::to_string(kilobytes);
    const char* separator = std::localeconv()->thousands_sep;
    std::string comma = separator != nullptr && *separator != '\0' ? separator : ",";
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += comma;
        grouped += digits[i];
    }
    return FormatMessageText(LoadResString(SSizeKB).c_str(), grouped.c_str());
}

std::string DateTimeText(std::time_t time) {
    std::tm local{};
    ::localtime_r(&time, &local);
    char text[64];
    std::strftime(text, sizeof text, "%x %X", &local);
    return text;
}

TPTRowTexts ItemRowTexts(PCItemIDList absolute, uint32_t attributes) {
    TPTRowTexts texts;
    std::string path = PidlToPath(absolute);
    struct stat info;
    if (IsLongPath(path) && ::stat(path.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode))
            texts.Size = SizeText(static_cast<unsigned long long>(info.st_size));
        texts.Modified = DateTimeText(info.st_mtime);
    }
    if ((attributes & SFGAO_FILESYSTEM) == 0) {
        texts.Type = LoadResString(SSystemFolder);
    } else {
        TShFileInfo file;
        if (SHGetFileInfo(absolute, SHGFI_PIDL | SHGFI_TYPENAME, file))
            texts.Type = file.TypeName.substr(0, 80);
    }
    return texts;
}
