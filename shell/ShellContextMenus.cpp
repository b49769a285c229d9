#include "shell/ShellContextMenus.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/SpecialFolders.h"
#include "shell/ShellOps.h"
#include "shell/ShellUtils.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

// The shell's empty placeholder for Send To: exactly one item, greyed.
bool isSendToPlaceholder(const TShellMenu& menu) {
    int state = menu.State(0);
    return menu.Count() == 1 && state != -1 && (state & MF_GRAYED) != 0;
}

void fillSendToList() {
    TStringList& list = SendToList();
    list.Clear();
    std::string folder = SendToFolderPath();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.starts_with('.'))
            continue; // hidden entries (and "." and "..") are left out
        std::string path = JoinPath(folder, name);
        struct stat info;
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && entry->d_type != DT_LNK)
            continue; // folders themselves are not entries, links to them are
        PItemIDList pidl = nullptr;
        if (FAILED(PathToPidl(path, pidl)))
            continue;
        TIdListPtr owned(pidl);
        int icon = GetShellIconIndex(pidl, SHGFI_SMALLICON);
        list.AddObject(name, reinterpret_cast<void*>(static_cast<intptr_t>(icon)));
    }
    ::closedir(dir);
}

// An entry's caption: its name without extension, as the program's text.
std::string entryCaption(int index) {
    std::string name = SendToList().Get(index);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return DisplayTextOfName(name);
}

void initMenuPopup(TShellMenu& popup) {
    if (!isSendToPlaceholder(popup))
        return;
    fillSendToList();
    popup.DeleteAt(0);
    for (int i = 0; i < SendToList().Count(); ++i)
        popup.Append(TShellMenuItem{static_cast<unsigned>(i + 1), MF_OWNERDRAW, entryCaption(i), nullptr,
                                    static_cast<uintptr_t>(i)});
}

void drawItem(const DRAWITEMSTRUCT& draw, TImageList* images) {
    if (draw.CtlType != ODT_MENU || draw.itemID >= static_cast<int>(ShellCommandFirst) || draw.canvas == nullptr)
        return;
    TCanvas& canvas = *draw.canvas;
    bool selected = (draw.itemState & ODS_SELECTED) != 0;
    canvas.Brush().SetColor(selected ? clHighlight : clMenu);
    canvas.Font().SetColor(selected ? clHighlightText : clMenuText);
    canvas.FillRect(draw.rcItem);
    if (draw.itemID < 0)
        return;
    int index = static_cast<int>(draw.itemData);
    if (index < 0 || index >= SendToList().Count())
        return;
    int previous = canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(draw.rcItem.Left + 32, draw.rcItem.Top + 2, entryCaption(index));
    canvas.SetBkMode(previous);
    auto icon = static_cast<int>(reinterpret_cast<intptr_t>(SendToList().GetObject(index)));
    if (icon >= 0 && images != nullptr)
        images->Draw(canvas, draw.rcItem.Left + 8, draw.rcItem.Top + 2, icon);
}

void measureItem(MEASUREITEMSTRUCT& measure) {
    if (measure.CtlType != ODT_MENU || measure.itemID >= ShellCommandFirst || measure.canvas == nullptr)
        return;
    int index = static_cast<int>(measure.itemData);
    std::string caption = index >= 0 && index < SendToList().Count() ? entryCaption(index) : std::string();
    measure.itemWidth = static_cast<unsigned>(measure.canvas->TextWidth(caption) + 32);
    measure.itemHeight = MenuLineHeight + 2;
}

LRESULT menuChar(TShellMenu& popup, unsigned char typed) {
    unsigned char wanted = AnsiUpperChar(typed);
    int count = popup.Count();
    int highlighted = -1;
    for (int i = 0; i < count; ++i)
        if ((popup.State(i) & MFS_HILITE) != 0)
            highlighted = i;
    auto startsWith = [&](int position) {
        const TShellMenuItem* item = popup.ItemAt(position);
        return item != nullptr && !item->Caption.empty() &&
               AnsiUpperChar(static_cast<unsigned char>(item->Caption[0])) == wanted;
    };
    int matches = 0, hit = -1;
    for (int step = 1; step <= count; ++step) {
        int position = (highlighted + step) % count;
        if (startsWith(position)) {
            ++matches;
            if (hit < 0)
                hit = position;
        }
    }
    if (hit < 0)
        return MAKELPARAM(0, MNC_CLOSE);
    return MAKELPARAM(static_cast<unsigned>(hit), matches == 1 ? MNC_EXECUTE : MNC_SELECT);
}

} // namespace

TStringList& SendToList() {
    static TStringList list;
    if (!list.Sorted())
        list.SetSorted(true);
    return list;
}

HRESULT BuildContextMenu(TWinControl*, TShellFolder& folder, unsigned count, const PCItemIDList* items, HMENU& menu,
                         std::shared_ptr<TContextMenu>& contextMenu, unsigned flags, unsigned firstId) {
    contextMenu.reset();
    menu.reset();
    std::shared_ptr<TUnknown> object;
    HRESULT hr = folder.GetUIObjectOf(count, items, TShellInterface::ContextMenu, object);
    contextMenu = std::dynamic_pointer_cast<TContextMenu>(object);
    if (FAILED(hr) || !contextMenu) {
        contextMenu.reset();
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }
    menu = CreatePopupMenu();
    HRESULT filled = contextMenu->QueryContextMenu(*menu, 0, firstId, ShellCommandLast, flags);
    if (FAILED(filled))
        RaiseComError(filled);
    return hr;
}

int VerbToOffset(TContextMenu& contextMenu, const std::string& verb) {
    HMENU menu = CreatePopupMenu();
    HRESULT hr = contextMenu.QueryContextMenu(*menu, 0, ShellCommandFirst, ShellCommandLast, CMF_EXPLORE | CMF_CANRENAME);
    if (FAILED(hr))
        RaiseComError(hr);
    std::function<int(TShellMenu&)> search = [&](TShellMenu& m) -> int {
        for (int i = 0; i < m.Count(); ++i) {
            const TShellMenuItem* item = m.ItemAt(i);
            if ((item->Flags & MF_POPUP) != 0) {
                if (int found = search(*item->Submenu); found >= 0)
                    return found;
                continue;
            }
            if ((item->Flags & MF_SEPARATOR) != 0 || item->Id < ShellCommandFirst)
                continue;
            std::string name;
            if (SUCCEEDED(contextMenu.GetCommandString(item->Id - ShellCommandFirst, GCS_VERBA, name)) &&
                SameText(name, verb))
                return static_cast<int>(item->Id - ShellCommandFirst);
        }
        return -1;
    };
    return search(*menu);
}

HRESULT InvokeContextCommand(TWinControl*, TContextMenu& contextMenu, unsigned offset) {
    TCMInvokeCommandInfo info;
    info.Offset = offset;
    info.Show = 1;
    return contextMenu.InvokeCommand(info);
}

HRESULT InvokeContextCommand(TWinControl* owner, TContextMenu& contextMenu, const std::string& verb) {
    int offset = VerbToOffset(contextMenu, verb);
    if (offset < 0)
        return E_INVALIDARG;
    return InvokeContextCommand(owner, contextMenu, static_cast<unsigned>(offset));
}

void SendToDrop(const std::string& fileName, const std::shared_ptr<TDataObject>& data) {
    std::shared_ptr<TShellFolder> folder;
    PItemIDList pidl = nullptr;
    HRESULT hr = PathToPidl(SendToFolderPath(), pidl);
    TIdListPtr owned(pidl);
    if (SUCCEEDED(hr))
        hr = BindToFolder(pidl, folder);
    PItemIDList item = nullptr;
    if (SUCCEEDED(hr))
        hr = folder->ParseDisplayName(fileName, nullptr, &item, nullptr);
    TIdListPtr ownedItem(item);
    std::shared_ptr<TUnknown> object;
    if (SUCCEEDED(hr)) {
        PCItemIDList raw = item;
        hr = folder->GetUIObjectOf(1, &raw, TShellInterface::DropTarget, object);
    }
    auto target = std::dynamic_pointer_cast<TDropTarget>(object);
    if (SUCCEEDED(hr) && !target)
        hr = E_NOINTERFACE;
    if (FAILED(hr))
        RaiseComError(hr);
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    TPoint point{0, 0};
    if (FAILED(hr = target->DragEnter(data, MK_LBUTTON, point, effect)) ||
        FAILED(hr = target->DragOver(MK_LBUTTON, point, effect)) || FAILED(hr = target->Drop(data, MK_LBUTTON, point, effect)))
        RaiseComError(hr);
}

bool HandleShellMenuMessage(TMessage& message, const TShellMenuContext& context) {
    // A menu that draws itself gets the messages through its own handler.
    auto drawsItself = std::dynamic_pointer_cast<TContextMenu2>(context.ContextMenu);
    switch (message.Msg) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
        if (drawsItself) {
            drawsItself->HandleMenuMsg(message.Msg, message.WParam, message.LParam);
            return true;
        }
        break;
    case WM_MENUSELECT:
        break;
    default:
        return false;
    }
    switch (message.Msg) {
    case WM_INITMENUPOPUP:
        if (auto* popup = reinterpret_cast<TShellMenu*>(message.WParam))
            initMenuPopup(*popup);
        return true;
    case WM_DRAWITEM:
        if (auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam))
            drawItem(*draw, context.SmallImages);
        return true;
    case WM_MEASUREITEM:
        if (auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam))
            measureItem(*measure);
        return true;
    case WM_MENUCHAR: {
        auto* popup = reinterpret_cast<TShellMenu*>(message.LParam);
        if (popup != nullptr && (HIWORD(message.WParam) & MF_POPUP) != 0)
            message.Result = menuChar(*popup, static_cast<unsigned char>(LOWORD(message.WParam)));
        return true;
    }
    case WM_MENUSELECT: {
        if (!context.OnPopupHint || !context.ContextMenu)
            return true;
        unsigned id = LOWORD(message.WParam), flags = HIWORD(message.WParam);
        std::string hint;
        if (id >= ShellCommandFirst && (flags & (MF_POPUP | MF_SYSMENU)) == 0 &&
            FAILED(context.ContextMenu->GetCommandString(id - ShellCommandFirst, GCS_HELPTEXTA, hint)))
            hint.clear();
        context.OnPopupHint(hint);
        return true;
    }
    }
    return false;
}
