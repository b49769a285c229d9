#pragma once
// A stand-in for a crash, for the tests of the careful writers (SafeFile.h,
// KeptCopies.h): once set, the process kills itself with SIGKILL after a
// given number of bytes written through WriteAllToFd, or at a given step
// between the writers' other changes (a truncation, a rename, a removal),
// exactly as a kill or a power cut would stop it there.  Nothing is set in
// the program, where each check is one load of a number.

#include <cstddef>
#include <cstdint>

// Kills this process once bytes more bytes have been written, or at the
// steps-th step from now (counted from 1), whichever comes first; a
// negative count never.  Only a forked child of a test calls it.
void SimulateCrashAfter(int64_t bytes, int64_t steps);

// For the writers.  How many of wanted bytes may be written before the
// crash set (all when none is set); the process is killed when none may.
size_t BytesBeforeSimulatedCrash(size_t wanted);
// Counts bytes written against the crash set.
void CountBytesWritten(size_t written);
// A step of a careful write other than its bytes: the process is killed
// here when it is the step the crash is set at.
void SimulatedCrashStep();
