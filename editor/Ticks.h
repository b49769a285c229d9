#pragma once
// Millisecond ticks for progress reports of long loads and saves.

#include <chrono>
#include <cstdint>

inline uint64_t MemoTickCount() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
