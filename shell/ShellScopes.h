#pragma once
// Small scopes the shell controls use around their work.

#include "platform/ui/Cursors.h"

// Shows the hourglass for as long as it lives.
struct THourglassScope {
    int Saved = ScreenCursor();
    THourglassScope() { SetScreenCursor(crHourGlass); }
    ~THourglassScope() { SetScreenCursor(Saved); }
    THourglassScope(const THourglassScope&) = delete;
    THourglassScope& operator=(const THourglassScope&) = delete;
};

// Raises a counter (a nesting level) for as long as it lives.
struct TRaisedScope {
    int& Counter;
    explicit TRaisedScope(int& counter) : Counter(counter) { ++Counter; }
    ~TRaisedScope() { --Counter; }
    TRaisedScope(const TRaisedScope&) = delete;
    TRaisedScope& operator=(const TRaisedScope&) = delete;
};
