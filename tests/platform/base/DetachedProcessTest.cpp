// A program started on its own gets its arguments and working folder as
// their bytes, runs in a session of its own and is waited for when it
// ends; one that can not start says why.

#include "platform/base/DetachedProcess.h"
#include "tests/platform/base/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>

TEST(DetachedProcess, HandsOverBytesAndLeavesNoZombie) {
    TTempFolder folder;
    const std::string inside = folder.File("caf\xE9"), argument = "new\xE9 \xFF\"'$x.html";
    std::filesystem::create_directory(inside);
    // The shell writes its folder, its argument, and "own" when it leads
    // its session (field 6 of its stat is the session's id).
    ASSERT_TRUE(StartDetachedProcess(
        "sh", {"-c", "s=$(cut -d' ' -f6 /proc/$$/stat); printf '%s|%s|%s' \"$(pwd)\" \"$1\" ${s%$$}own > out", "sh",
               argument},
        inside));
    std::string out;
    bool childLeft = true;
    siginfo_t info{};
    for (int i = 0; i < 300 && childLeft; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // Looked at without reaping it here.
        childLeft = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 || errno != ECHILD;
    }
    EXPECT_FALSE(childLeft);
    std::stringstream text;
    text << std::ifstream(inside + "/out").rdbuf();
    EXPECT_EQ(text.str(), inside + "|" + argument + "|own");

    EXPECT_FALSE(StartDetachedProcess("no-such-program-anywhere", {}));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(StartDetachedProcess("sh", {"-c", "true"}, folder.File("missing")));
    EXPECT_EQ(errno, ENOENT);
}
