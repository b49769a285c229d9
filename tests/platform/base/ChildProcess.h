#pragma once
// Runs a piece of a test in a forked child process under limits that the
// test program itself must not live with: a file-size limit (writes past it
// fail with EFBIG, the signal it would raise being ignored) and, for a
// superuser, the loss of the capabilities that let it write where the
// permission bits say no.  With those dropped, a folder of mode 0555 refuses
// new files to every user, root included, without a mount or a full disk.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <linux/capability.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

struct TChildLimits {
    long FileSizeLimit = -1;        // bytes a file may grow to; -1 for none
    bool HonourPermissions = false; // drop every capability first
    std::string CacheHome;          // XDG_CACHE_HOME of the child, when set
    // A write past the size limit kills the child there and then (the
    // signal's own action), as a crash mid-write would.
    bool DieAtFileSizeLimit = false;
};

struct TChildOutcome {
    int ExitCode = -1; // the action's result; -1 when the child died otherwise
    int Signal = 0;    // the signal that ended the child, if one did
    std::string Output; // what the action wrote to its report
};

// In the child: puts the limits in force (exits when one can not be).
inline void ApplyChildLimits(const TChildLimits& limits) {
    std::signal(SIGXFSZ, limits.DieAtFileSizeLimit ? SIG_DFL : SIG_IGN);
    if (limits.FileSizeLimit >= 0) {
        rlimit limit{static_cast<rlim_t>(limits.FileSizeLimit), static_cast<rlim_t>(limits.FileSizeLimit)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(120);
    }
    if (limits.HonourPermissions) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct none[2] = {};
        if (::syscall(SYS_capset, &header, none) != 0)
            ::_exit(121);
    }
    if (!limits.CacheHome.empty())
        ::setenv("XDG_CACHE_HOME", limits.CacheHome.c_str(), 1);
}

// Runs action in a child under limits.  The action returns its exit code
// and may append to report what the parent should see.
inline TChildOutcome RunInChild(const TChildLimits& limits, const std::function<int(std::string& report)>& action) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ApplyChildLimits(limits);
        std::string report;
        int code = 122;
        try {
            code = action(report);
        } catch (...) {
            report += "unexpected exception";
        }
        for (size_t done = 0; done < report.size();) {
            ssize_t put = ::write(pipeEnds[1], report.data() + done, report.size() - done);
            if (put <= 0)
                break;
            done += static_cast<size_t>(put);
        }
        ::_exit(code);
    }
    ::close(pipeEnds[1]);
    TChildOutcome outcome;
    char block[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], block, sizeof block)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        outcome.Output.append(block, static_cast<size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (child > 0 && WIFEXITED(status))
        outcome.ExitCode = WEXITSTATUS(status);
    if (child > 0 && WIFSIGNALED(status))
        outcome.Signal = WTERMSIG(status);
    return outcome;
}
