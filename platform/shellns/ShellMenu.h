#pragma once
// A menu as context-menu handlers fill it: items with command ids, flags,
// captions, submenus and owner data, addressed by position or by id, and
// the menu messages its owner receives while the menu is tracked
// (WM_INITMENUPOPUP before a submenu opens, WM_MEASUREITEM and WM_DRAWITEM
// for owner-drawn items, WM_MENUCHAR for a typed character no caption
// answers, WM_MENUSELECT when the highlight moves).
//
// Tracking goes through an installable tracker: the widget layer shows the
// menu and sends the messages to the owner; tests install one that walks
// the menu from a script.  Without a tracker nothing is chosen.

#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TWinControl;

// Item flags (MF_*) and states (MFS_*), by the documented values.
enum : unsigned {
    MF_STRING = 0x0000,
    MF_BYCOMMAND = 0x0000,
    MF_GRAYED = 0x0001,
    MF_DISABLED = 0x0002,
    MF_CHECKED = 0x0008,
    MF_POPUP = 0x0010,
    MF_OWNERDRAW = 0x0100,
    MF_BYPOSITION = 0x0400,
    MF_SEPARATOR = 0x0800,
    MFS_DEFAULT = 0x1000,
    MF_SYSMENU = 0x2000,
    MFS_HILITE = 0x0080,
};

// Menu messages.
enum : unsigned {
    WM_DRAWITEM = 0x002B,
    WM_MEASUREITEM = 0x002C,
    WM_INITMENUPOPUP = 0x0117,
    WM_MENUSELECT = 0x011F,
    WM_MENUCHAR = 0x0120,
};
// Answers to WM_MENUCHAR (high word of the result).
enum : unsigned { MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3 };
// Owner-draw kinds and states.
enum : unsigned { ODT_MENU = 1 };
enum : unsigned { ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4 };
enum : unsigned { ODS_SELECTED = 1, ODS_GRAYED = 2, ODS_DISABLED = 4 };
// Tracking flags.
enum : unsigned { TPM_LEFTALIGN = 0, TPM_RIGHTBUTTON = 0x0002, TPM_RETURNCMD = 0x0100 };

class TShellMenu;
using HMENU = std::shared_ptr<TShellMenu>;

struct TShellMenuItem {
    unsigned Id = 0;
    unsigned Flags = MF_STRING;
    std::string Caption; // "&" marks the access key
    HMENU Submenu;       // with MF_POPUP
    uintptr_t ItemData = 0;
};

class TShellMenu {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Position -1 (or past the end) appends.  Returns false for a popup
    // item without a submenu.
    bool Insert(int position, TShellMenuItem item);
    bool Append(TShellMenuItem item) { return Insert(-1, std::move(item)); }
    bool DeleteAt(int position);
    // The item at a position; nullptr outside.
    TShellMenuItem* ItemAt(int position);
    const TShellMenuItem* ItemAt(int position) const;
    // The first item with that command id, searched depth first through
    // submenus; nullptr when none has it.
    TShellMenuItem* FindCommand(unsigned id);
    // The flags and state of the item at a position; -1 outside.
    int State(int position) const;
    // Sets or clears state bits (MFS_HILITE, MF_GRAYED, ...) of an item.
    void SetState(int position, unsigned bits, bool on);
    // The id of the first item marked default; -1 when none is.
    int DefaultItem() const;

private:
    std::vector<TShellMenuItem> items_;
};

HMENU CreatePopupMenu();

// What WM_MEASUREITEM's LParam points to.
struct MEASUREITEMSTRUCT {
    unsigned CtlType = ODT_MENU;
    unsigned itemID = 0;
    unsigned itemWidth = 0;
    unsigned itemHeight = 0;
    uintptr_t itemData = 0;
    // The canvas the menu measures with (its font is the menu font).
    TCanvas* canvas = nullptr;
};
// What WM_DRAWITEM's LParam points to.
struct DRAWITEMSTRUCT {
    unsigned CtlType = ODT_MENU;
    int itemID = 0;
    unsigned itemAction = ODA_DRAWENTIRE;
    unsigned itemState = 0;
    TShellMenu* menu = nullptr;
    TCanvas* canvas = nullptr;
    TRect rcItem;
    uintptr_t itemData = 0;
};

// WM_INITMENUPOPUP: WParam is the TShellMenu* opening, LParam its position
// in the parent (low word).  WM_MENUSELECT: WParam low word the item id
// (its position for a popup), high word the flags; LParam the TShellMenu*.
// WM_MENUCHAR: WParam low word the character (code page byte), high word
// MF_POPUP; LParam the TShellMenu*.  The answer is MAKELRESULT(position,
// MNC_*).

// Shows a menu at a screen point for an owner, sends the owner the menu
// messages, and answers with the command id chosen (0 when none).
using TShellMenuTracker = std::function<unsigned(TShellMenu& menu, unsigned flags, TPoint screen, TWinControl* owner)>;
void SetShellMenuTracker(TShellMenuTracker tracker);
unsigned TrackPopupMenu(TShellMenu& menu, unsigned flags, TPoint screen, TWinControl* owner);

// The text of a caption without its "&" marks ("&&" is one "&").
std::string StripAccelerator(const std::string& caption);
