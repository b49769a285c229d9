#pragma once
// The framework's modal loops (the menu loop, in-place editing) are state
// machines fed one input event at a time; a driver runs them.  Production
// runs them in the platform's nested event loop (TBPlatformLoop.h), tests
// feed them scripted events.  Positions are screen positions.

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"
#include "platform/ui/Keys.h"

#include <string>

enum TTBInputKind {
    tbikMouseMove,
    tbikButtonDown,
    tbikButtonUp,
    tbikDoubleClick,
    tbikWheel,
    tbikKeyDown, // with the characters the key types, if any
    tbikKeyUp,
    tbikContextMenu,
    tbikCaptureLost, // another window took the mouse capture
    tbikQuit,        // the application is asked to quit
};

struct TTBInputEvent {
    TTBInputKind Kind = tbikMouseMove;
    TPoint Screen;
    TMouseButton Button = mbLeft;
    TShiftState Shift = 0;
    uint16_t Key = 0;
    // What the key types (UTF-8; Key 0 for a key that only types).
    std::string Text;
    // Signed; one notch is 120.
    int WheelDelta = 0;
    // The program window the event is for (under the pointer, capturing,
    // or focused for keys), when the driver knows it.
    TWinControl* Target = nullptr;
};

// What a machine does with an event.
enum TTBVerdict {
    tbvSwallow,       // taken: nobody else sees it
    tbvPass,          // goes on to its window (typing into a field)
    tbvPassAfterEnd,  // the machine has ended; the event reaches its window afterwards
};

class TTBModalMachine {
public:
    virtual ~TTBModalMachine() = default;
    virtual TTBVerdict HandleEvent(const TTBInputEvent& event) = 0;
    virtual bool Finished() const = 0;
    // The window that holds the mouse while the machine runs, if any.
    virtual TWinControl* CaptureWindow() const { return nullptr; }
};

// Runs a machine until it has finished, feeding it the application's
// events (the others go on to their windows).
class TTBLoopDriver {
public:
    virtual ~TTBLoopDriver() = default;
    virtual void Run(TTBModalMachine& machine) = 0;
};
// The driver in use: the one installed (not owned), else the platform's
// modal loops (TBPlatformLoop.cpp).
void SetTBLoopDriver(TTBLoopDriver* driver);
TTBLoopDriver& TBLoopDriver();
