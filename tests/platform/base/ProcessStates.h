#pragma once
// Real processes in the states a process named by a record may be found in
// later: ended and waited for (its pid free), ended but not yet waited for
// (a zombie), still running this program, and running another program.
// Their start times are read here from /proc on their own, not through the
// code under test.

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace process_states {

// Field 22 of /proc/<pid>/stat, counted after the parenthesised name.
inline uint64_t StartTimeOf(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    std::string skipped;
    for (int number = 3; number < 22; ++number)
        fields >> skipped;
    uint64_t start = 0;
    fields >> start;
    return start;
}

inline std::string BootIdNow() {
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(in, id);
    return id;
}

// A child of this process, killed and waited for by the destructor.
class TTestProcess {
public:
    // Runs this program (it only waits).
    static TTestProcess Sleeping() {
        const pid_t pid = ::fork();
        while (pid == 0)
            ::pause();
        return TTestProcess(pid);
    }
    // Runs another program.
    static TTestProcess Stranger() {
        int ready[2];
        if (::pipe2(ready, O_CLOEXEC) != 0)
            return TTestProcess(-1);
        const pid_t pid = ::fork();
        if (pid == 0) {
            char name[] = "sleep", seconds[] = "600";
            char* arguments[] = {name, seconds, nullptr};
            ::execv("/bin/sleep", arguments);
            ::_exit(127);
        }
        // The pipe closes on the exec: the child runs the other program.
        ::close(ready[1]);
        char byte;
        while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(ready[0]);
        return TTestProcess(pid);
    }
    // Has ended but is not waited for: a zombie until the destructor.
    static TTestProcess Zombie() {
        const pid_t pid = ::fork();
        if (pid == 0)
            ::_exit(0);
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
        return TTestProcess(pid);
    }

    explicit TTestProcess(pid_t pid) : pid_(pid), start_(StartTimeOf(pid)) {}
    TTestProcess(TTestProcess&& other) noexcept : pid_(other.pid_), start_(other.start_) { other.pid_ = -1; }
    TTestProcess& operator=(TTestProcess&&) = delete;
    ~TTestProcess() { End(); }

    long Pid() const { return pid_; }
    uint64_t StartTime() const { return start_; }
    // Kills and waits for it: its pid is free again.
    void End() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_;
    uint64_t start_;
};

} // namespace process_states
