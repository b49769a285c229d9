#pragma once
// Which process did something, told well enough to know later whether it
// still runs.  A pid alone does not: the system hands it out again, to any
// program, soon after a process ends and from the start after a reboot,
// and a process killed but not yet waited for keeps its pid as a zombie.
// The kernel's boot id and the process's start time (in clock ticks after
// boot) name one process for good.

#include <cstdint>
#include <string>

struct TProcessIdentity {
    long Pid = 0;
    uint64_t StartTime = 0; // clock ticks after boot; 0 when not known
    std::string BootId;     // the kernel's boot id; empty when not known

    // Whether more than the pid is known (records of earlier versions
    // named the pid only).
    bool Complete() const { return StartTime != 0 && !BootId.empty(); }
};

// What can be seen now of the process that has a given pid.
struct TProcessSighting {
    bool Exists = false;     // the pid is in use
    char State = 0;          // its state letter ('Z' a zombie, 'X' dead); 0 unseen
    uint64_t StartTime = 0;  // 0 when it could not be read
    bool ThisProgram = false; // it runs this program's executable
    int64_t StartedAt = 0;   // when it started, in seconds of the clock; 0 unseen
};

// This process, as a record should name it (read once; a forked child
// names itself).
TProcessIdentity CurrentProcessIdentity();

// Looks at the process with pid now: whether it exists, its state and start
// time; with toTellThisProgram also when it started by the clock and
// whether it runs this program, which only records naming the pid alone
// need (StartedAt 0 and ThisProgram false without).
TProcessSighting SightProcess(long pid, bool toTellThisProgram);

// Whether the process a record names may still be at the work it recorded,
// given this process and what is seen of that pid now.  A zombie, another
// boot or another start time mean it is over.  For a record that names
// the pid only (recordWrittenAt: when it was written, in seconds of the
// clock), the process must be this program and have started before the
// record was written; any other process is not taken for it, so that the
// record is not passed over for a stranger that happens to have the pid.
bool ProcessMayStillRun(const TProcessIdentity& recorded, int64_t recordWrittenAt, const TProcessIdentity& self,
                        const TProcessSighting& seen);
// The same, looking at the process now.
bool ProcessMayStillRun(const TProcessIdentity& recorded, int64_t recordWrittenAt);
