#pragma once
// Scope guards that put the memo's counters and flags back on every exit
// path, so that an exception from an event handler or a stream never leaves
// the memo frozen inside an update or with an internal flag stuck.

#include <cstdint>
#include <utility>

template <typename T>
class TRestoreOnExit {
public:
    TRestoreOnExit(T& variable, T value) : variable_(variable), old_(variable) { variable_ = value; }
    ~TRestoreOnExit() { variable_ = old_; }
    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
    T& variable_;
    T old_;
};

// Raises a counter for the guard's lifetime.  The counter falls again on
// every path; a normal exit may then run the update that was waiting.
class TCountGuard {
public:
    explicit TCountGuard(int32_t& counter) : counter_(counter) { ++counter_; }
    ~TCountGuard() {
        if (!released_)
            --counter_;
    }
    // Lowers the counter now and reports whether it reached 0.
    bool Release() {
        released_ = true;
        return --counter_ == 0;
    }
    TCountGuard(const TCountGuard&) = delete;
    TCountGuard& operator=(const TCountGuard&) = delete;

private:
    int32_t& counter_;
    bool released_ = false;
};
