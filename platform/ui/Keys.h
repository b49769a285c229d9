#pragma once
// Virtual key codes, shift states and shortcut words.  The rules that turn
// Qt key events into key codes and typed characters are in
// platform/ui/QtBridge.h.

#include <cstdint>
#include <string>
#include <string_view>

// --- virtual key codes ------------------------------------------------------
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' =
// 0x30).
enum : uint16_t {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12, // Alt
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21, // Page Up
    VK_NEXT = 0x22,  // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_EXECUTE = 0x2B,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1 = 0x61,
    VK_NUMPAD2 = 0x62,
    VK_NUMPAD3 = 0x63,
    VK_NUMPAD4 = 0x64,
    VK_NUMPAD5 = 0x65,
    VK_NUMPAD6 = 0x66,
    VK_NUMPAD7 = 0x67,
    VK_NUMPAD8 = 0x68,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_F13 = 0x7C,
    VK_F14 = 0x7D,
    VK_F15 = 0x7E,
    VK_F16 = 0x7F,
    VK_F17 = 0x80,
    VK_F18 = 0x81,
    VK_F19 = 0x82,
    VK_F20 = 0x83,
    VK_F21 = 0x84,
    VK_F22 = 0x85,
    VK_F23 = 0x86,
    VK_F24 = 0x87,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,      // ; :
    VK_OEM_PLUS = 0xBB,   // = +
    VK_OEM_COMMA = 0xBC,  // , <
    VK_OEM_MINUS = 0xBD,  // - _
    VK_OEM_PERIOD = 0xBE, // . >
    VK_OEM_2 = 0xBF,      // / ?
    VK_OEM_3 = 0xC0,      // ` ~
    VK_OEM_4 = 0xDB,      // [ {
    VK_OEM_5 = 0xDC,      // \ |
    VK_OEM_6 = 0xDD,      // ] }
    VK_OEM_7 = 0xDE,      // ' "
    VK_OEM_102 = 0xE2,
};

// --- shift state --------------------------------------------------------------
using TShiftState = unsigned;
enum : unsigned {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};

// --- shortcut words -----------------------------------------------------------
// A shortcut is the key code in the low byte plus modifier bits.
using TShortCut = uint16_t;
enum : uint16_t { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

TShortCut ShortCut(uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift);
// "Shift+", "Ctrl+", "Alt+" in that order, then the key's name: "BkSp",
// "Tab", "Enter", "Esc", "Space", "PgUp", "PgDn", "End", "Home", "Left",
// "Up", "Right", "Down", "Ins", "Del", letters and digits as themselves, the
// keypad digits as digits, "F1".."F24", any other key "#" and its number.
// Empty for key 0.
std::string ShortCutToText(TShortCut shortCut);
// The inverse: leading "Shift+", "Ctrl+" (or "^") and "Alt+" in any order
// and letter case, then a key name compared ignoring case; 0 when no key has
// that name.
TShortCut TextToShortCut(std::string_view text);

// --- keyboard state -----------------------------------------------------------
// Negative (high bit set) while the key is down, as far as the input events
// seen so far tell.  The window peer records every key and modifier change.
int16_t GetKeyState(int virtualKey);
void SetKeyDown(int virtualKey, bool down);
// Records the modifier keys of an input event.
void SetModifierKeys(TShiftState shift);
// The shift state of the modifier keys now.
TShiftState CurrentShiftState();

// The whole character whose key byte (WM_CHAR) is being handled, where the
// window that took the key tells it; 0 otherwise.  A key handler that
// hands a typed character on to another control hands on the character,
// not the code page's byte for it (which a character outside the code page
// lacks: its byte is "?").
char32_t CharacterBeingTyped();
// Tells the character for the time of a scope.
class TCharacterBeingTyped {
public:
    explicit TCharacterBeingTyped(char32_t character);
    ~TCharacterBeingTyped();
    TCharacterBeingTyped(const TCharacterBeingTyped&) = delete;
    TCharacterBeingTyped& operator=(const TCharacterBeingTyped&) = delete;

private:
    char32_t saved_;
};
