#include "platform/base/DetachedProcess.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// The spawn settings, released however the start ends.
struct TSpawnSettings {
    posix_spawn_file_actions_t Actions;
    posix_spawnattr_t Attributes;
    TSpawnSettings() {
        posix_spawn_file_actions_init(&Actions);
        posix_spawnattr_init(&Attributes);
    }
    ~TSpawnSettings() {
        posix_spawnattr_destroy(&Attributes);
        posix_spawn_file_actions_destroy(&Actions);
    }
    TSpawnSettings(const TSpawnSettings&) = delete;
    TSpawnSettings& operator=(const TSpawnSettings&) = delete;
};

} // namespace

bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingFolder) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    TSpawnSettings settings;
    int error = workingFolder.empty()
                    ? 0
                    : posix_spawn_file_actions_addchdir_np(&settings.Actions, workingFolder.c_str());
    // The program starts with no signal blocked and SIGPIPE at its default,
    // whatever this process does with them.
    sigset_t none, pipe;
    sigemptyset(&none);
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    posix_spawnattr_setsigmask(&settings.Attributes, &none);
    posix_spawnattr_setsigdefault(&settings.Attributes, &pipe);
    posix_spawnattr_setflags(&settings.Attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    if (error == 0)
        error = posix_spawnp(&child, program.c_str(), &settings.Actions, &settings.Attributes, argv.data(), environ);
    if (error != 0) {
        errno = error;
        return false;
    }
    // Waited for when it ends, so that it does not linger as a zombie while
    // this program runs on.
    std::thread([child] {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}
