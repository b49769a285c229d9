#pragma once
// The context menus of the shell controls: built from a folder's context
// menu object, commands invoked by position or by verb name, the menu
// messages handled while the menu is tracked, and the built-in Send To
// submenu over the files of the send-to folder, which this code fills,
// measures, draws and answers typed letters for itself.

#include "platform/base/Strings.h"
#include "platform/shellns/ShellFolder.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/ui/Message.h"

#include <functional>
#include <memory>
#include <string>

class TImageList;

// Ids: the folder's commands from ShellCommandFirst on (offset = id -
// ShellCommandFirst), send-to entries from 1 to 999.
constexpr unsigned ShellCommandFirst = 1000;
constexpr unsigned ShellCommandLast = 0x7FFF;
// The height of one menu line, as the desktop's menus have it.
constexpr int MenuLineHeight = 19;

// Builds a popup menu from the folder's context menu for the items; the
// result is the folder's answer (no menu when it has none).  A menu that
// cannot be filled raises the system's error text.
HRESULT BuildContextMenu(TWinControl* owner, TShellFolder& folder, unsigned count, const PCItemIDList* items,
                         HMENU& menu, std::shared_ptr<TContextMenu>& contextMenu, unsigned flags,
                         unsigned firstId = ShellCommandFirst);
// Invokes a command offset, or a verb by name.  A verb the menu does not
// have invokes nothing (E_INVALIDARG).
HRESULT InvokeContextCommand(TWinControl* owner, TContextMenu& contextMenu, unsigned offset);
HRESULT InvokeContextCommand(TWinControl* owner, TContextMenu& contextMenu, const std::string& verb);
// The command offset of a verb in the menu (names compared ignoring case);
// -1 when the menu has no such verb.
int VerbToOffset(TContextMenu& contextMenu, const std::string& verb);
// Drops data on the send-to entry named fileName, as a drag with the left
// button would.  Raises the system's error text on failure.
void SendToDrop(const std::string& fileName, const std::shared_ptr<TDataObject>& data);

// The program-wide send-to list: file names of the send-to folder, sorted,
// each with its small icon's index as object.
TStringList& SendToList();

// What the menu messages need from the control that tracks the menu.
struct TShellMenuContext {
    std::shared_ptr<TContextMenu> ContextMenu; // null when no menu is tracked
    TImageList* SmallImages = nullptr;          // icons of the send-to entries
    std::function<void(const std::string& hint)> OnPopupHint;
};
// Handles WM_INITMENUPOPUP, WM_DRAWITEM, WM_MEASUREITEM, WM_MENUCHAR and
// WM_MENUSELECT for a tracked menu (a menu that draws itself gets them
// through its own handler); true when the message was one of them.
bool HandleShellMenuMessage(TMessage& message, const TShellMenuContext& context);
