#pragma once
// The message record and the message numbers.
//
// Window behaviour is expressed as messages: the window peer turns Qt
// events into TMessage records and hands them to the control's WndProc;
// controls send themselves notices the same way, so that attached
// components see them.  The numbers of the system messages are the
// documented ones.  The class library's notices (CM_*) are numbered from
// CM_BASE = 0xB000 in the order below; the numbers are fixed, since stored
// behaviour and attached components compare against them (CM_FONTCHANGED is
// 0xB00E, CM_CTL3DCHANGED 0xB010, CM_TEXTCHANGED 0xB012).
//
// WParam and LParam are as wide as a pointer, since a few messages carry an
// address (a string, a canvas).

#include "platform/gfx/Geometry.h"

#include <cstdint>

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// --- system messages --------------------------------------------------------
enum : unsigned {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015,
    WM_SHOWWINDOW = 0x0018,
    WM_SETTINGCHANGE = 0x001A,
    WM_CANCELMODE = 0x001F,
    WM_SETCURSOR = 0x0020,
    WM_GETMINMAXINFO = 0x0024,
    WM_CONTEXTMENU = 0x007B,
    WM_NCHITTEST = 0x0084,
    WM_GETDLGCODE = 0x0087,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    // A character typed with Alt, as a code point (the access keys).
    WM_SYSCHAR = 0x0106,
    // A typed character as a code point; WParam UNICODE_NOCHAR asks whether
    // the window takes them (Result 1), otherwise it gets WM_CHAR bytes of
    // the code page.
    WM_UNICHAR = 0x0109,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSEHWHEEL = 0x020E,
    WM_CAPTURECHANGED = 0x0215,
    WM_MDIACTIVATE = 0x0222,
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,
    WM_USER = 0x0400,
    WM_WININICHANGE = WM_SETTINGCHANGE,
    WM_MOUSEFIRST = WM_MOUSEMOVE,
    WM_MOUSELAST = WM_MBUTTONDBLCLK,
};

// --- the class library's notices -------------------------------------------
enum : unsigned {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0x00,
    CM_DEACTIVATE = CM_BASE + 0x01,
    CM_GOTFOCUS = CM_BASE + 0x02,
    CM_LOSTFOCUS = CM_BASE + 0x03,
    CM_CANCELMODE = CM_BASE + 0x04,
    CM_DIALOGKEY = CM_BASE + 0x05,
    CM_DIALOGCHAR = CM_BASE + 0x06,
    CM_FOCUSCHANGED = CM_BASE + 0x07,
    CM_PARENTFONTCHANGED = CM_BASE + 0x08,
    CM_PARENTCOLORCHANGED = CM_BASE + 0x09,
    CM_HITTEST = CM_BASE + 0x0A,
    CM_VISIBLECHANGED = CM_BASE + 0x0B,
    CM_ENABLEDCHANGED = CM_BASE + 0x0C,
    CM_COLORCHANGED = CM_BASE + 0x0D,
    CM_FONTCHANGED = CM_BASE + 0x0E,
    CM_CURSORCHANGED = CM_BASE + 0x0F,
    CM_CTL3DCHANGED = CM_BASE + 0x10,
    CM_PARENTCTL3DCHANGED = CM_BASE + 0x11,
    CM_TEXTCHANGED = CM_BASE + 0x12,
    CM_MOUSEENTER = CM_BASE + 0x13,
    CM_MOUSELEAVE = CM_BASE + 0x14,
    CM_MENUCHANGED = CM_BASE + 0x15,
    CM_APPKEYDOWN = CM_BASE + 0x16,
    CM_APPSYSCOMMAND = CM_BASE + 0x17,
    CM_BUTTONPRESSED = CM_BASE + 0x18,
    CM_SHOWINGCHANGED = CM_BASE + 0x19,
    CM_ENTER = CM_BASE + 0x1A,
    CM_EXIT = CM_BASE + 0x1B,
    CM_DESIGNHITTEST = CM_BASE + 0x1C,
    CM_ICONCHANGED = CM_BASE + 0x1D,
    // WParam: a shortcut (TShortCut).  A control answers nonzero for one it
    // handles itself while it has the keyboard; the menus then leave it alone.
    CM_WANTSPECIALKEY = CM_BASE + 0x1E,
    CM_INVOKEHELP = CM_BASE + 0x1F,
    CM_WINDOWHOOK = CM_BASE + 0x20,
    CM_RELEASE = CM_BASE + 0x21,
    CM_SHOWHINTCHANGED = CM_BASE + 0x22,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23,
    CM_SYSCOLORCHANGE = CM_BASE + 0x24,
    CM_WININICHANGE = CM_BASE + 0x25,
    CM_FONTCHANGE = CM_BASE + 0x26,
    CM_TIMECHANGE = CM_BASE + 0x27,
    CM_TABSTOPCHANGED = CM_BASE + 0x28,
    CM_UIACTIVATE = CM_BASE + 0x29,
    CM_UIDEACTIVATE = CM_BASE + 0x2A,
    CM_DOCWINDOWACTIVATE = CM_BASE + 0x2B,
    CM_CONTROLLISTCHANGE = CM_BASE + 0x2C,
    CM_GETDATALINK = CM_BASE + 0x2D,
    CM_CHILDKEY = CM_BASE + 0x2E,
    CM_DRAG = CM_BASE + 0x2F,
    CM_HINTSHOW = CM_BASE + 0x30,
    CM_DIALOGHANDLE = CM_BASE + 0x31,
    CM_ISTOOLCONTROL = CM_BASE + 0x32,
    CM_RECREATEWND = CM_BASE + 0x33,
    CM_INVALIDATE = CM_BASE + 0x34,
    // A control's BiDiMode changed; its parent's, for a control that
    // follows it.
    CM_BIDIMODECHANGED = CM_BASE + 0x3C,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D,
};

// --- parameters -------------------------------------------------------------
// Mouse key flags in WParam of mouse messages.
enum : unsigned {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
};

// One notch of the mouse wheel.
constexpr int WHEEL_DELTA = 120;

// Scroll requests (low word of WParam of WM_HSCROLL/WM_VSCROLL) and bars.
enum : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_BOTH = 3 };
// WM_UNICHAR's question: does the window take code points?
constexpr unsigned UNICODE_NOCHAR = 0xFFFF;

// Answers to WM_GETDLGCODE.
enum : unsigned {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_WANTCHARS = 0x0080,
};

// Hit-test codes (low word of LParam of WM_SETCURSOR).
enum : int { HTNOWHERE = 0, HTCLIENT = 1 };

// WParam of WM_ACTIVATE.
enum : int { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// Commands of WM_SYSCOMMAND (WParam; the low four bits are the system's).
enum : unsigned {
    SC_SIZE = 0xF000,
    SC_MOVE = 0xF010,
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_NEXTWINDOW = 0xF040,
    SC_PREVWINDOW = 0xF050,
    SC_CLOSE = 0xF060,
    SC_KEYMENU = 0xF100,
    SC_RESTORE = 0xF120,
};

// WParam of WM_SIZE.
enum : int { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// LParam of WM_GETMINMAXINFO (a pointer): the smallest and largest size a
// sizeable top-level window may be given by the user (0 in the largest:
// no limit); the window's own answer changes them.
struct TMinMaxInfo {
    TSize MinTrackSize;
    TSize MaxTrackSize;
};

// Bits of LParam of key messages.
enum : uint32_t {
    KF_REPEAT_COUNT_MASK = 0x0000FFFF,
    KF_ALTDOWN_BIT = 1u << 29,  // Alt was held
    KF_PREVIOUS_BIT = 1u << 30, // the key was already down (auto-repeat)
    KF_UP_BIT = 1u << 31,       // the key is being released
};

// --- packing helpers --------------------------------------------------------
constexpr uint16_t LOWORD(uintptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }
constexpr uint32_t MAKELONG(unsigned low, unsigned high) {
    return (low & 0xFFFFu) | ((high & 0xFFFFu) << 16);
}
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) { return MAKELONG(low, high); }
constexpr LPARAM MAKELPARAM(unsigned low, unsigned high) {
    return static_cast<LPARAM>(static_cast<int32_t>(MAKELONG(low, high)));
}
// Signed 16-bit coordinates of mouse messages.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(value))); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(value))); }
// The signed wheel delta in WParam of WM_MOUSEWHEEL.
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM value) { return static_cast<int16_t>(HIWORD(value)); }
constexpr unsigned GET_KEYSTATE_WPARAM(WPARAM value) { return LOWORD(value); }

inline TPoint PointFromLParam(LPARAM value) { return {GET_X_LPARAM(value), GET_Y_LPARAM(value)}; }
// Coordinates outside -32768..32767 are clamped, so a far point stays on
// the side it was on.
inline LPARAM PointToLParam(TPoint point) {
    auto clamp16 = [](int v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; };
    return MAKELPARAM(static_cast<unsigned>(clamp16(point.X)) & 0xFFFF,
                      static_cast<unsigned>(clamp16(point.Y)) & 0xFFFF);
}
