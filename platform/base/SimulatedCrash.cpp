#include "platform/base/SimulatedCrash.h"

#include <algorithm>
#include <atomic>
#include <csignal>

namespace {

// Bytes and steps left before the crash; negative: none set.
std::atomic<int64_t> bytesLeft{-1};
std::atomic<int64_t> stepsLeft{-1};

[[noreturn]] void crash() {
    for (;;)
        ::raise(SIGKILL);
}

} // namespace

void SimulateCrashAfter(int64_t bytes, int64_t steps) {
    bytesLeft = bytes;
    stepsLeft = steps;
}

size_t BytesBeforeSimulatedCrash(size_t wanted) {
    const int64_t left = bytesLeft.load(std::memory_order_relaxed);
    if (left < 0)
        return wanted;
    if (left == 0 && wanted > 0)
        crash();
    return static_cast<size_t>(std::min<uint64_t>(wanted, static_cast<uint64_t>(left)));
}

void CountBytesWritten(size_t written) {
    if (bytesLeft.load(std::memory_order_relaxed) > 0)
        bytesLeft -= static_cast<int64_t>(written);
}

void SimulatedCrashStep() {
    const int64_t left = stepsLeft.load(std::memory_order_relaxed);
    if (left < 0)
        return;
    if (left <= 1)
        crash();
    stepsLeft = left - 1;
}
