#include "platform/base/ProcessIdentity.h"

#include "platform/base/DecimalNumber.h"
#include "platform/base/PosixFileOps.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <string_view>
#include <unistd.h>

namespace {

std::string procFile(long pid, const char* name) { return "/proc/" + std::to_string(pid) + "/" + name; }

// The kernel's id of this boot, without its line break.
std::string bootId() {
    std::string text;
    if (!ReadWholeFile("/proc/sys/kernel/random/boot_id", text))
        return {};
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    // It goes on a line of its own in records.
    return text.find('\n') == std::string::npos ? text : std::string();
}

// Takes the next field (separated by spaces or line breaks) off rest;
// false when none is left.
bool takeField(std::string_view& rest, std::string_view& field) {
    const size_t start = rest.find_first_not_of(" \n");
    if (start == std::string_view::npos)
        return false;
    rest.remove_prefix(start);
    const size_t end = std::min(rest.find_first_of(" \n"), rest.size());
    field = rest.substr(0, end);
    rest.remove_prefix(end);
    return true;
}

// The state letter and start time from /proc/<pid>/stat.  The command name
// (second field) is in parentheses and may hold spaces and parentheses
// itself, so the fields are counted after its last ')'.
bool readStat(long pid, char& state, uint64_t& startTime) {
    std::string text;
    if (!ReadWholeFile(procFile(pid, "stat"), text))
        return false;
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    // Fields 3 (state) and 22 (starttime) of proc(5), counted from 1; the
    // rest of the line is not looked at.
    constexpr int kState = 3, kStartTime = 22;
    std::string_view rest = std::string_view(text).substr(close + 1);
    std::string_view field, letter;
    for (int number = kState; number <= kStartTime; ++number) {
        if (!takeField(rest, field))
            return false;
        if (number == kState)
            letter = field;
    }
    if (letter.size() != 1)
        return false;
    state = letter[0];
    return ParseDecimal(field, startTime);
}

// The clock's seconds at boot ("btime" in /proc/stat); 0 when unknown.
int64_t bootTime() {
    std::string text;
    if (!ReadWholeFile("/proc/stat", text))
        return 0;
    const size_t at = text.find("\nbtime ");
    if (at == std::string::npos)
        return 0;
    const size_t start = at + 7;
    const size_t end = text.find('\n', start);
    uint64_t seconds = 0;
    return ParseDecimal(std::string_view(text).substr(start, end - start), seconds) ? static_cast<int64_t>(seconds)
                                                                                  : 0;
}

std::string executableOf(const std::string& link) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

} // namespace

namespace {

TProcessIdentity readProcessIdentity() {
    TProcessIdentity self;
    self.Pid = static_cast<long>(::getpid());
    char state = 0;
    if (!readStat(self.Pid, state, self.StartTime))
        self.StartTime = 0;
    self.BootId = bootId();
    return self;
}

} // namespace

TProcessIdentity CurrentProcessIdentity() {
    // A process's pid, start time and boot never change: they are read
    // once.  A forked child has a pid of its own and reads its own.
    static const TProcessIdentity first = readProcessIdentity();
    return first.Pid == static_cast<long>(::getpid()) ? first : readProcessIdentity();
}

TProcessSighting SightProcess(long pid, bool toTellThisProgram) {
    TProcessSighting seen;
    if (pid <= 0 || pid > INT_MAX)
        return seen;
    if (readStat(pid, seen.State, seen.StartTime)) {
        seen.Exists = true;
    } else {
        // /proc may hide other users' processes; the signal check still
        // tells whether the pid is in use.
        seen.State = 0;
        seen.StartTime = 0;
        seen.Exists = ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    }
    if (!toTellThisProgram)
        return seen;
    const int64_t booted = bootTime();
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (seen.StartTime != 0 && booted != 0 && ticks > 0)
        seen.StartedAt = booted + static_cast<int64_t>(seen.StartTime / static_cast<uint64_t>(ticks));
    const std::string program = executableOf("/proc/self/exe");
    seen.ThisProgram = seen.Exists && !program.empty() && executableOf(procFile(pid, "exe")) == program;
    return seen;
}

bool ProcessMayStillRun(const TProcessIdentity& recorded, int64_t recordWrittenAt, const TProcessIdentity& self,
                        const TProcessSighting& seen) {
    // This process is not at work it recorded while it asks; a record of
    // another with this pid is of a process that has ended.
    if (recorded.Pid <= 0 || recorded.Pid == self.Pid)
        return false;
    if (!seen.Exists || seen.State == 'Z' || seen.State == 'X' || seen.State == 'x')
        return false;
    if (recorded.Complete())
        return recorded.BootId == self.BootId && seen.StartTime == recorded.StartTime;
    // The boot time behind StartedAt is whole seconds, and the clock may
    // have been set since: a little slack keeps a real saver from being
    // taken for one that started later.
    constexpr int64_t kClockSlack = 2;
    return seen.ThisProgram && seen.StartedAt != 0 && seen.StartedAt <= recordWrittenAt + kClockSlack;
}

bool ProcessMayStillRun(const TProcessIdentity& recorded, int64_t recordWrittenAt) {
    const TProcessIdentity self = CurrentProcessIdentity();
    // Where the record alone gives the answer, the process is not looked at.
    if (recorded.Pid <= 0 || recorded.Pid == self.Pid || (recorded.Complete() && recorded.BootId != self.BootId))
        return false;
    return ProcessMayStillRun(recorded, recordWrittenAt, self, SightProcess(recorded.Pid, !recorded.Complete()));
}
