#pragma once
// The menu tracking loop: while a menu is open, every mouse and key event
// of the application goes through one modal loop that runs on the root view
// of a toolbar or menu bar.  It routes them to the views and viewers of the
// open menu chain, opens and closes submenus after the show delay, and ends
// with at most one done action (click an item, open a window's system menu,
// show help), carried out once the loop has ended and every popup is closed.
//
// The loop is a state machine (TBModal.h): TTBMenuLoop takes one input
// event at a time (with its screen position) and says whether it used it.  A press outside the
// menus ends the loop and is left for its target, to which the driver
// delivers it once the loop has unwound.  A quit request ends the loop
// without its action.  An exception from a handler ends the loop too; it is
// raised again by TrackMenu after every popup is closed and the capture
// released.

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"
#include "platform/ui/Keys.h"
#include "toolbars/TBLoopState.h"
#include "toolbars/TBView.h"
#include "toolbars/TBModal.h"

#include <exception>
#include <optional>
#include <string>

class TTBView;
class TTBItemViewer;

// How long the pointer rests on an item before its hint shows in a menu.
constexpr unsigned kTBHintPause = 500;

// Options of TrackMenu.
enum : unsigned {
    tbtmStartedByMouse = 1, // a press on the selected viewer started it
    tbtmMenuMode = 2,       // submenus open on selection
    tbtmSelectFirst = 4,    // the submenu opened at the start selects its first item
};

class TTBMenuLoop : public TTBModalMachine {
public:
    TTBMenuLoop(TTBView* rootView, bool startedByMouse, bool menuMode, bool selectFirst);
    ~TTBMenuLoop() override;
    TTBMenuLoop(const TTBMenuLoop&) = delete;
    TTBMenuLoop& operator=(const TTBMenuLoop&) = delete;

    // The innermost loop running, or nullptr.
    static TTBMenuLoop* Active();

    // Takes the capture, handles the starting press and opens the first
    // submenu in menu mode.
    void Start();
    // Handles one event: every event is the loop's, except a press that
    // ends it, which is left for its target.
    TTBVerdict HandleEvent(const TTBInputEvent& event) override;
    // A view timer fired.
    void ViewTimer(uintptr_t id);
    bool Finished() const override { return finished_; }
    TWinControl* CaptureWindow() const override;
    // Ended by a quit request.
    bool Quit() const { return quit_; }
    // Ends the loop: releases the capture and the hint (once).
    void Leave();
    TTBLoopState& State() { return state_; }
    TTBView* RootView() const { return state_.RootView; }
    // The exception a handler raised, if any.
    std::exception_ptr Failure() const { return failure_; }

private:
    template <class Step> bool guarded(Step&& step);
    bool pressCheck(const TTBInputEvent& event);
    void buttonDown(const TTBInputEvent& event, bool doubleClick);
    void buttonUp(const TTBInputEvent& event);
    void mouseMove(const TTBInputEvent& event);
    void keyDown(const TTBInputEvent& event);
    void typed(char32_t ch);
    // The key to the selected viewer, then (unless it took the key) to the
    // deepest view; key is 0 once taken.
    void runKey(uint16_t& key, TShiftState shift);
    // Whether the root view went (a handler freed it): the loop then ends.
    bool rootGone();
    void updateSelection(TPoint screen, bool force);
    void updateCursorAndHint();
    void afterEvent();
    TTBItemViewer* mouseTarget();
    TTBView* chainViewOfWindow(TWinControl* window);
    bool insidePopupOfChain(TPoint screen);
    int showDelay();
    void hintFor(TTBView* view, TTBItemViewer* selected);
    void hintTimerFired();

    TTBLoopState state_;
    // The handlers the loop runs may free the root view (with its toolbar).
    TComponentWatch<TTBView> root_;
    bool startedByMouse_;
    bool menuMode_;
    bool selectFirst_;
    bool finished_ = false;
    bool left_ = false;
    bool started_ = false;
    bool quit_ = false;
    bool leftButtonDown_ = false;
    std::optional<TPoint> lastCursor_;
    std::optional<int> showDelay_;
    // The item whose hint waits for the pointer to rest (a view timer, in
    // the selection's view), and whether its hint shows.
    uintptr_t hintTimer_ = 0;
    TTBItemViewer* hintViewer_ = nullptr;
    bool hintShown_ = false;
    std::exception_ptr failure_;
    TTBMenuLoop* outer_ = nullptr;
};

// Tracks a menu on a toolbar's view: runs the loop, closes every popup, then
// carries out the done action.  Nothing happens for a popup's view or a view
// already tracking.
void TrackMenu(TTBView* view, unsigned options);
void ExecuteDoneAction(const TTBDoneAction& action);

// The menus' hold on the mouse: nested requests count; the first captures
// the mouse for the window, the last releases it when the window still has
// it.
void HoldMenuCapture(TWinControl* window);
void ReleaseMenuCapture();
TWinControl* MenuCaptureWindow();
