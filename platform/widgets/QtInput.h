#pragma once
// Qt input events as the window base's messages: the mouse key flags and
// message numbers, and the key messages with their key data.  Shared by the
// window peers and the modal loops' input filter, so both read an event
// the same way.

#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"

#include <QKeyEvent>
#include <QMouseEvent>

// The MK_* flags of a mouse (or wheel) event.  With record set, the event's
// modifier keys are first recorded as the keyboard state, so that a
// handler reading it sees them.
unsigned MouseKeysOf(const QSinglePointEvent& event, bool record = true);

// The message of a button press, release or double click; 0 for buttons
// the program does not know.
unsigned MouseButtonMessage(Qt::MouseButton button, bool down, bool doubleClick);

// A key event as WM_KEYDOWN / WM_SYSKEYDOWN (press) or WM_KEYUP /
// WM_SYSKEYUP (release), with the virtual key and the key data.
struct TKeyMessage {
    bool Known = false; // the key has a virtual key code
    unsigned Msg = 0;
    uint16_t Key = 0;
    uint32_t Data = 0;
    TShiftState Shift = 0; // the modifiers held after the event
};
TKeyMessage KeyMessageOf(const QKeyEvent& event);
