// The shell tree and list in real offscreen windows kept up to date by
// what other programs do: a list whose window is made again (its tool
// window floated or docked) still sees files another program makes.

#include "platform/ui/Forms.h"
#include "platform/ui/TickSource.h"
#include "shell/ShellUtils.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/shell/ShellControlSupport.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// Runs a small shell command line as a program of its own.
void runElsewhere(const std::string& command) {
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
}

// Quoted for the shell.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Delivers events until done() (the change thread works on its own time;
// nothing here measures it).
template <class Done> bool deliverUntil(Done done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

class ShellLiveWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { SetTickSource(&clock); }
    void TearDown() override { SetTickSource(nullptr); }
    TShellTestHome home;
    TManualTickSource clock;
};

} // namespace

// Floated and docked again, a list's window is made anew each time; files
// another program makes afterwards show after the refresh delay.
TEST_F(ShellLiveWindowsTest, AListWatchesItsFolderAgainWhenItsWindowIsMadeAnew) {
    WriteFile(JoinPath(home.Files, "first.htm"), "1");
    TForm docked, floating;
    docked.SetBounds(0, 0, 400, 300);
    floating.SetBounds(420, 0, 400, 300);
    auto* list = new TPTShellList(&docked);
    list->SetParent(&docked);
    list->SetBounds(0, 0, 380, 260);
    list->Folder().SetPath(home.Files);
    docked.Show();
    floating.Show();
    QApplication::processEvents();
    ASSERT_GE(RowOf(list->Model(), "first.htm"), 0);
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        list->SetParent(round % 2 == 0 ? &floating : &docked);
        QApplication::processEvents();
        ASSERT_TRUE(list->HandleAllocated());
        const std::string name = "made" + std::to_string(round) + ".htm";
        runElsewhere("echo x > " + quoted(JoinPath(home.Files, name)));
        ASSERT_TRUE(deliverUntil([&] { return list->TimerPending(); })) << "no notice of " << name;
        clock.Advance(2000);
        EXPECT_GE(RowOf(list->Model(), name), 0);
    }
}
