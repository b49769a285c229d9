#include "platform/ui/Keys.h"

#include "platform/base/TextCodec.h"
#include "platform/ui/QtBridge.h"

#include <QKeyEvent>

#include <array>

namespace {

std::array<bool, 256>& keysDown() {
    static std::array<bool, 256> down{};
    return down;
}

std::string keyName(uint16_t key) {
    switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return std::string(1, static_cast<char>('0' + key - VK_NUMPAD0));
    // Appended rather than written as literal + string: GCC 12 warns
    // falsely (-Wrestrict) about the inlined concatenation.
    std::string name(1, key >= VK_F1 && key <= VK_F24 ? 'F' : '#');
    name += std::to_string(key >= VK_F1 && key <= VK_F24 ? key - VK_F1 + 1 : key);
    return name;
}

bool stripPrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() < prefix.size() || !SameText(text.substr(0, prefix.size()), prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

} // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    if ((key & 0xFF00) != 0)
        return scNone;
    TShortCut result = key;
    if (shift & ssShift)
        result |= scShift;
    if (shift & ssCtrl)
        result |= scCtrl;
    if (shift & ssAlt)
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = 0;
    if (shortCut & scShift)
        shift |= ssShift;
    if (shortCut & scCtrl)
        shift |= ssCtrl;
    if (shortCut & scAlt)
        shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
    uint16_t key = shortCut & 0xFF;
    if (key == 0)
        return {};
    std::string text;
    if (shortCut & scShift)
        text += "Shift+";
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + keyName(key);
}

TShortCut TextToShortCut(std::string_view text) {
    unsigned modifiers = 0;
    for (bool stripped = true; stripped;) {
        stripped = false;
        if (stripPrefix(text, "Shift+")) {
            modifiers |= scShift;
            stripped = true;
        } else if (stripPrefix(text, "^") || stripPrefix(text, "Ctrl+")) {
            modifiers |= scCtrl;
            stripped = true;
        } else if (stripPrefix(text, "Alt+")) {
            modifiers |= scAlt;
            stripped = true;
        }
    }
    if (text.empty())
        return scNone;
    for (unsigned key = 8; key <= 255; ++key)
        if (SameText(keyName(static_cast<uint16_t>(key)), text))
            return static_cast<TShortCut>(modifiers | key);
    return scNone;
}

namespace {
char32_t characterBeingTyped = 0;
} // namespace

char32_t CharacterBeingTyped() { return characterBeingTyped; }

TCharacterBeingTyped::TCharacterBeingTyped(char32_t character) : saved_(characterBeingTyped) {
    characterBeingTyped = character;
}

TCharacterBeingTyped::~TCharacterBeingTyped() { characterBeingTyped = saved_; }

int16_t GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    return keysDown()[static_cast<size_t>(virtualKey)] ? static_cast<int16_t>(0x8000u) : 0;
}

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey <= 255)
        keysDown()[static_cast<size_t>(virtualKey)] = down;
}

void SetModifierKeys(TShiftState shift) {
    SetKeyDown(VK_SHIFT, (shift & ssShift) != 0);
    SetKeyDown(VK_CONTROL, (shift & ssCtrl) != 0);
    SetKeyDown(VK_MENU, (shift & ssAlt) != 0);
}

TShiftState CurrentShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

uint16_t VirtualKeyFromQtKey(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<uint16_t>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? static_cast<uint16_t>(VK_NUMPAD0 + (qtKey - Qt::Key_0))
                      : static_cast<uint16_t>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<uint16_t>(VK_F1 + (qtKey - Qt::Key_F1));
    // Letters with accents on national keyboards have no code of their own.
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Select: return VK_SELECT;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Execute: return VK_EXECUTE;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Asterisk: return keypad ? uint16_t{VK_MULTIPLY} : uint16_t{'8'};
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    // Shifted digits of a US keyboard.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
    }
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    return shift;
}

bool TranslateQtKey(const QKeyEvent& event, uint16_t& virtualKey, TShiftState& shift) {
    Qt::KeyboardModifiers modifiers = event.modifiers();
    shift = ShiftStateFromQt(modifiers);
    virtualKey = VirtualKeyFromQtKey(event.key(), (modifiers & Qt::KeypadModifier) != 0);
    return virtualKey != 0;
}

QString TKeyTextJoiner::Join(const QString& text) {
    QString all = pending_ + text;
    pending_.clear();
    if (!all.isEmpty() && all.back().isHighSurrogate()) {
        pending_ = all.back();
        all.chop(1);
    }
    return WholeCharacters(all);
}

std::u32string KeyPressText(uint16_t virtualKey, TShiftState shift, const QString& text) {
    bool ctrl = (shift & ssCtrl) != 0;
    bool alt = (shift & ssAlt) != 0;
    switch (virtualKey) {
    case VK_RETURN:
        return U"\r";
    case VK_BACK:
        return ctrl ? U"\x7F" : U"\b";
    case VK_TAB:
        return ctrl ? U"" : U"\t";
    case VK_ESCAPE:
        return U"\x1B";
    default:
        break;
    }
    if (ctrl && !alt) {
        if (virtualKey >= 'A' && virtualKey <= 'Z')
            return std::u32string(1, static_cast<char32_t>(virtualKey - 'A' + 1));
        if (virtualKey == VK_OEM_4)
            return U"\x1B";
        if (virtualKey == VK_OEM_5)
            return U"\x1C";
        if (virtualKey == VK_OEM_6)
            return U"\x1D";
        return {};
    }
    std::u32string characters;
    for (char32_t character : text.toUcs4())
        if (character >= 0x20 && character != 0x7F)
            characters.push_back(character);
    return characters;
}

std::string KeyPressCharacters(uint16_t virtualKey, TShiftState shift, const QString& text) {
    std::string bytes;
    for (char32_t character : KeyPressText(virtualKey, shift, text)) {
        int byte = character < 0x80 ? static_cast<int>(character) : UnicodeToAnsiChar(character);
        if (byte >= 0)
            bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}
