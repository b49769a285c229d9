#pragma once
// The user's hands on an X server: key presses and clicks sent through it
// (XTest), and what it says of the keyboard focus and of the stacking of
// its windows.  A connection of its own, for the thread that uses it.

#include "platform/gfx/Geometry.h"

#include <string>
#include <vector>

class TXHands {
public:
    TXHands();
    ~TXHands();
    TXHands(const TXHands&) = delete;
    TXHands& operator=(const TXHands&) = delete;

    // A server reached, with the XTest extension.
    bool Usable() const;
    // "Ctrl+Alt+T", "Return", "Alt+F", "y": pressed together, released in
    // the other order.
    void Chord(const std::string& chord);
    // Letters, digits and full stops, one key each.
    void Type(const std::string& text);
    // The pointer moved there and the left button clicked.
    void Click(TPoint at);
    // The window with the keyboard and its ancestors; empty where the focus
    // is on the root or on none.
    std::vector<unsigned long> FocusChain();
    // The root's child that holds the window (its frame, under a window
    // manager).
    unsigned long TopOf(unsigned long window);
    // The root's children, the lowest first.
    std::vector<unsigned long> Stacking();
    // Whether a window manager has announced itself on the root.
    bool WindowManagerRuns();

private:
    void send(unsigned long keysym, bool down);
    unsigned long parentOf(unsigned long window);
    struct _XDisplay* display_;
};
