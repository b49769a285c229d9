#pragma once
// The window base's Qt side, for platform code only: code above platform/
// never includes a QtBridge.h (nor any Qt header).  Key events to key codes
// and typed characters, cursor shapes, and the Qt object that receives a
// window control's posted messages.

#include "platform/gfx/QtBridge.h"
#include "platform/ui/Control.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Keys.h"

#include <QCursor>
#include <QObject>
#include <QString>
#include <Qt>

class QKeyEvent;

// --- keys -------------------------------------------------------------------------
// The virtual key code and shift state of a Qt key event; false for a key
// that has no code.  Shifted digits and punctuation map to their unshifted
// key as on a US keyboard ("#" with Shift is the key 3).
bool TranslateQtKey(const QKeyEvent& event, uint16_t& virtualKey, TShiftState& shift);
// The shift state of Qt's keyboard modifiers (Shift, Ctrl, Alt).
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers);
// The virtual key code of a Qt key (Qt::Key) and keypad flag; 0 when none.
uint16_t VirtualKeyFromQtKey(int qtKey, bool keypad);
// The characters a key press types, as bytes of the code page: Ctrl with a
// letter gives 1-26 (Ctrl with [ \ ] gives 27-29), Ctrl with a digit or any
// other key nothing; Enter 13, Backspace 8 (Ctrl+Backspace 127), Tab 9,
// Escape 27; everything else the event's text through the code page,
// leaving out characters the code page lacks and control characters.
std::string KeyPressCharacters(uint16_t virtualKey, TShiftState shift, const QString& text);
// The same as characters: what a control that takes WM_UNICHAR is sent.
std::u32string KeyPressText(uint16_t virtualKey, TShiftState shift, const QString& text);
// The text of a window's key presses as whole characters.  A character
// beyond the BMP may come in two presses, one half of its UTF-16 pair in
// each (as an input method may send it): the first half is held back (Join
// answers no text) and goes out with the second.  A half without its
// partner is no character and is dropped.
class TKeyTextJoiner {
public:
    QString Join(const QString& text);

private:
    QString pending_;
};

// --- cursors ----------------------------------------------------------------------
// Registers (or replaces) a named cursor; returns its number.
int RegisterNamedCursor(std::string_view name, const QCursor& cursor);
// The Qt cursor for a number; crDefault and unknown numbers give the arrow.
QCursor CursorToQCursor(int cursor);

// --- window controls --------------------------------------------------------------
// The Qt object that receives a control's posted messages (it lives as long
// as the control).
QObject* MessageReceiverOf(const TWinControl& control);
