#pragma once
// Modal loops: showing a form modally, tracking a menu, dragging or sizing
// a window, editing in place.  Each is a state machine (a class derived from
// TModalLoop) run by one driver: Run enters a nested event loop that lasts
// until the state machine calls Finish, and while it runs every input event
// of the program (mouse, wheel and keys, each with the pointer's screen
// position and the program window it is for) is offered to the running
// loops, the innermost first, before it reaches its window.
//
// The driver's rules, the same for every loop:
// - A quit request (RequestQuit, TApplication::Terminate, or the window
//   system ending the application) ends every running loop, the innermost
//   first, each returning to its caller before the next one ends.  A loop
//   started while a quit is pending ends at once.
// - An exception raised by a loop's own handlers (Enter, Input,
//   CaptureLost) ends that loop; the capture is released, Leave runs, and
//   the exception is raised again from Run, so that it travels up to the
//   first guard (the event dispatch's) and is shown there once.
//   Exceptions of ordinary message handlers inside the loop are the
//   event dispatch's business, as outside a loop: they are shown and the
//   loop goes on.
// - A loop may hold the mouse capture; losing it (to another control or
//   to ReleaseCapture) calls CaptureLost, which ends the loop unless the
//   state machine decides otherwise.

#include "platform/gfx/Geometry.h"
#include "platform/ui/Message.h"

#include <exception>
#include <string>

class TControl;
class TWinControl;

// An input event as the loops see it.
struct TLoopInput {
    // WM_MOUSEMOVE, WM_xBUTTONDOWN/UP/DBLCLK, WM_MOUSEWHEEL, WM_MOUSEHWHEEL,
    // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP.
    unsigned Msg = 0;
    // As in the message: MK_* flags (and the wheel delta) for the mouse,
    // the virtual key for keys.
    WPARAM WParam = 0;
    // Mouse: the point in Target's client coordinates; keys: the key data.
    LPARAM LParam = 0;
    // The pointer in screen coordinates (for keys too).
    TPoint Screen;
    // The program window the event is for (the one under the pointer, or
    // the capturing one, or the focused one for keys); nullptr when it is
    // for none of the program's windows.
    TWinControl* Target = nullptr;
    // A key press: the characters it types (UTF-8).  A key without a key
    // code (a letter of a national keyboard) comes with WParam 0.
    std::string Characters;

    bool IsMouse() const { return (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || Msg == WM_MOUSEWHEEL || Msg == WM_MOUSEHWHEEL; }
    bool IsKey() const { return Msg >= WM_KEYDOWN && Msg <= WM_SYSKEYUP; }
    bool IsButtonDown() const;
};

// What a loop does with an input event.
enum TLoopVerdict {
    lvPass,           // goes on to the next outer loop, then to its window
    lvSwallow,        // taken: nobody else sees it
    lvPassAfterLoop,  // the loop ends (call Finish) and the event reaches its
                      // window afterwards, as if it came after the loop
};

// How a loop ended.
enum TLoopEnd { leRunning, leFinished, leQuit, leException };

class TModalLoop {
public:
    TModalLoop();
    virtual ~TModalLoop();
    TModalLoop(const TModalLoop&) = delete;
    TModalLoop& operator=(const TModalLoop&) = delete;

    // Runs the loop until Finish; returns the result given to Finish (0
    // when a quit request ended it).  Raises EInvalidOperation when the loop
    // is already running, and a handler's exception (see above).
    int Run();
    // Ends the loop (when it runs) with a result; the first call counts.
    void Finish(int result = 0);

    bool Running() const { return running_; }
    bool Finishing() const { return finishRequested_; }
    TLoopEnd Ended() const { return ended_; }
    int Result() const { return result_; }
    // How many loops run inside this one.
    int Depth() const;
    // The program's own message loop (TApplication::Run), which every
    // window's input passes as if no loop ran: the menus' keys, for one.
    virtual bool IsMessageLoop() const { return false; }

    // The control that holds the mouse capture while the loop runs (set
    // before Run), or nullptr.
    TControl* Capture = nullptr;

protected:
    // The loop has started (capture taken); input starts arriving after.
    virtual void Enter() {}
    // An input event (see TLoopInput).  The default passes everything.
    virtual TLoopVerdict Input(TLoopInput& input) { return lvPass; }
    // The capture went elsewhere.  The default ends the loop with result 0.
    virtual void CaptureLost() { Finish(0); }
    // The loop is over (any way), the capture released.
    virtual void Leave() {}

private:
    friend struct TLoopDriver;
    bool running_ = false;
    bool finishRequested_ = false;
    bool passingOn_ = false; // ended by an event it passed on for after it
    TLoopEnd ended_ = leRunning;
    int result_ = 0;
    std::exception_ptr error_;
    void* eventLoop_ = nullptr; // the nested QEventLoop while running
    TModalLoop* outer_ = nullptr;
};

// Offers an input event to the running loops, innermost first, until one
// swallows it (lvSwallow) or asks to end before it (lvPassAfterLoop).
// Returns that verdict, or lvPass.  The widget layer calls it for every
// input event; tests may call it to feed a loop.
TLoopVerdict DeliverLoopInput(TLoopInput& input);
// The innermost running loop, or nullptr.
TModalLoop* InnermostLoop();
int RunningLoopCount();

// Ends every running loop (innermost first) and the application's message
// loop.  The request stays until cleared: loops started later end at once.
void RequestQuit();
bool QuitRequested();
// Forgets a quit request (a new application run, or the next test).
void ClearQuitRequest();

// Called by the window base when the capture changes hands and when a
// control is freed.
void NoteCaptureChanged(TControl* previous, TControl* now);
void NoteControlFreed(TControl* control);
