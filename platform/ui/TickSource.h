#pragma once
// Milliseconds since an arbitrary start, from a clock that tests can
// replace.  Timers (SetTimer) follow the same clock: with a manual clock
// they fire only when the test advances it.

#include <cstdint>

class TTickSource {
public:
    virtual ~TTickSource() = default;
    virtual uint64_t Milliseconds() = 0;
};

// A clock that moves only when told to.  Advancing it delivers the timers
// that fall due, in the order they fall due.
class TManualTickSource : public TTickSource {
public:
    explicit TManualTickSource(uint64_t start = 1000) : now_(start) {}
    uint64_t Milliseconds() override { return now_; }
    void Advance(uint64_t milliseconds);

private:
    uint64_t now_;
};

// The tick count the program reads (wraps after 49.7 days, as a 32-bit
// count does).
uint32_t GetTickCount();
uint64_t GetTickCount64();

// Installs a clock (not owned; nullptr restores the real one).
void SetTickSource(TTickSource* source);
