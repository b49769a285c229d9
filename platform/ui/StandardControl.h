#pragma once
// The base of the standard controls that live in a window of their own kind
// (an edit box, a button, a list, a tree): the control holds the state,
// its window shows it and tells the control what the user did.
//
// The two directions are kept apart:
// - The control tells its window that one aspect of its state changed
//   (TControlPeer::ControlChanged); the window reads the new state from
//   the control.
// - The window reports only through notification messages: CN_COMMAND for
//   the simple notices of edits, buttons and lists, CN_NOTIFY for those of
//   tabs, trees, lists and grids.  WParam is the notice code, LParam a
//   value or the address of the notice's record (valid during the call);
//   a notice that asks may be answered through Result.  Notices go through
//   the control's WndProc, under the exception guard, and only while the
//   control lives: a window never outlives its control.

#include "platform/ui/Control.h"

#include <string>
#include <utility>

// The notices, numbered after the reflected window notifications.
enum : unsigned {
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_NOTIFY = CN_BASE + 0x004E,
};

// Codes of CN_COMMAND.
enum : unsigned {
    BN_CLICKED = 0,      // a button was pressed
    LBN_SELCHANGE = 1,   // the user selected: LParam the index (-1 none)
    LBN_DBLCLK = 2,      // LParam the index
    CBN_SELCHANGE = 1,   // LParam the index chosen
    CBN_EDITCHANGE = 5,  // LParam: const std::string* the text typed
    CBN_DROPDOWN = 7,
    CBN_CLOSEUP = 8,
    EN_CHANGE = 0x0300,  // LParam: const std::string* the new text
    EN_SELCHANGE = 0x0702, // LParam: const TSelRange* the new selection
};

// Codes of CN_NOTIFY (negative, as in the common controls).
enum : int {
    NM_CLICK = -2,
    NM_DBLCLK = -3,
    TCN_SELCHANGE = -551,   // LParam the new tab index
    TCN_SELCHANGING = -552, // LParam the tab index asked for; Result 1 refuses
};

// A selection in a text: start and length in bytes of the control's text.
struct TSelRange {
    int Start = 0;
    int Length = 0;
};

// What changed in a control's state (the window reads the new value).
enum TPeerAspect {
    paText,          // caption or text
    paReadOnly,
    paMaxLength,
    paAlignment,
    paSelection,     // the selected part of a text
    paState,         // checked, pressed, value
    paItemInserted,  // index: the new item
    paItemDeleted,   // index: the item that went
    paItemChanged,   // index: the item whose text changed
    paItemsReset,    // all items, or their order, changed
    paItemIndex,     // the selected item(s)
    paRange,         // limits and steps
    paAppearance,    // font, colour and what draws like them (glyphs, images)
    paOptions,       // any behaviour flag of the control
};

// The side of a window that follows a standard control.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    virtual void ControlChanged(TPeerAspect aspect, int index) = 0;
    // Questions a control of items asks its window, which knows where it
    // shows them: the item at a client point (-1: none), an item's
    // rectangle in client coordinates.  False: the window does not know.
    virtual bool ItemAt(TPoint point, int& index) const { return false; }
    virtual bool ItemRect(int index, TRect& rect) const { return false; }
};

// Runs an event when a handler is bound.
template <class TEvent, class... TArgs>
void FireEvent(const TEvent& event, TArgs&&... args) {
    if (event)
        event(std::forward<TArgs>(args)...);
}
// Asks an event whose last parameter is an "allow" flag: true unless a
// bound handler refuses.
template <class TEvent, class... TArgs>
bool AskEvent(const TEvent& event, TArgs&&... args) {
    bool allow = true;
    if (event)
        event(std::forward<TArgs>(args)..., allow);
    return allow;
}

// Points slot at a component owned elsewhere (an image list), hearing when
// it is freed, and no longer of the one it held unless still is true for
// it (another slot of the control holds it too).  False when nothing
// changed.
template <class T>
bool SetComponentReference(TComponent& self, T*& slot, T* component, bool stillHeld = false) {
    if (component == slot)
        return false;
    if (slot != nullptr && !stillHeld)
        slot->RemoveFreeNotification(&self);
    slot = component;
    if (component != nullptr)
        component->FreeNotification(&self);
    return true;
}

// Sets a variable for the time of a scope.
template <class T>
class TScopedValue {
public:
    TScopedValue(T& slot, T value) : slot_(slot), old_(slot) { slot_ = value; }
    ~TScopedValue() { slot_ = old_; }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& slot_;
    T old_;
};

class TStandardControl : public TWinControl {
public:
    // Clicks are the mouse's (a click on an edit box, a group box) unless a
    // family's window reports them itself (buttons, lists): those take
    // csClickEvents out.
    explicit TStandardControl(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TStandardControl"; }

protected:
    // Tells the window, when there is one.
    void PeerChanged(TPeerAspect aspect, int index = -1);
    void Dispatch(TMessage& message) override;
    // Key and character messages that no handler took answer 1, so that
    // the window goes on with them (typing into the box); 0 otherwise.
    void DefaultHandler(TMessage& message) override;
};
