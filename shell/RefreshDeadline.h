#pragma once
// When a refresh after change notices runs.  Notices fold into one
// refresh: each moves it to its usual delay after that notice, so that a
// burst is read once it rests; but a folder that never rests (a busy
// temporary folder) must not hold back a change shown beside it, so a
// notice never moves the refresh past a second after the first notice
// still waiting, or past the time the first notice gave it.

#include <cstdint>

class TRefreshDeadline {
public:
    static constexpr unsigned kLongestHold = 1000; // milliseconds

    // A notice arrived at `now`, whose usual delay is `usual`: the timer
    // interval from now to the refresh.
    unsigned Notice(uint64_t now, unsigned usual);
    // The refresh ran, or its timer was taken for other work.
    void Clear() { waiting_ = false; }
    bool Waiting() const { return waiting_; }

private:
    bool waiting_ = false;
    uint64_t first_ = 0;
    uint64_t firstDue_ = 0;
    uint64_t due_ = 0;
};
