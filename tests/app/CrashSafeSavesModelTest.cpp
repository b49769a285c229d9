// Saves, restores and starts of the program killed at random points, against
// a model of what the user must get back.  A page lives in a folder that
// takes no new file (and, in some histories, has a second hard link), so
// every save rewrites it in place; each step runs in a child process that
// has dropped the capabilities that would let it write there anyway, and
// that a simulated crash kills after a random number of bytes written or
// at a random step between them.  The steps: a save of new contents
// through either name; a start of the program, answering the questions it
// asks; an opening of the page through either name by a running copy.
//
// The model: the page's last whole contents are what it held before, or
// what a save finished writing.  A step that finds the page whole asks
// nothing and leaves it as it is; one that finds it cut short asks once,
// saying how many bytes Yes gives back, and Yes (when not killed) gives
// back the last whole contents byte for byte; No leaves the page as it is,
// which is then what the user chose.  While the page is cut short, a copy
// of its last whole contents lies in the cache folder with its record.
// FIFOs planted in the cache folder are never read.

#include "app/InterruptedSaves.h"
#include "tests/app/AppTestSupport.h"

#include "platform/base/KeptCopies.h"
#include "platform/base/SafeFile.h"
#include "platform/base/SimulatedCrash.h"
#include "tests/platform/base/ChildProcess.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The questions a child asks and the errors it shows, sent to the parent as
// they come, so that a child killed later has told them.
class TReportingUser : public TScriptedUserInteraction {
public:
    explicit TReportingUser(int report) : report_(report) {}
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   const std::string& caption) override {
        send('?' + text);
        return TScriptedUserInteraction::MessageDlg(text, type, buttons, caption);
    }
    void ShowException(const std::string& message) override { send('!' + message); }

private:
    void send(const std::string& text) {
        const std::string framed = text + '\0';
        for (size_t done = 0; done < framed.size();) {
            const ssize_t put = ::write(report_, framed.data() + done, framed.size() - done);
            if (put <= 0)
                break;
            done += static_cast<size_t>(put);
        }
    }
    int report_;
};

struct TKill {
    int64_t Bytes = -1;
    int64_t Steps = -1;
};

struct TRun {
    bool Killed = false;
    std::vector<std::string> Questions;
    std::vector<std::string> Errors;
    bool PlantedRead = false; // a planted FIFO was read from
};

std::string randomText(std::mt19937& random, size_t size) {
    std::string text(size, ' ');
    for (char& c : text)
        c = static_cast<char>(random() % 3 == 0 ? '\n' : 'a' + random() % 26);
    return text;
}

// The text without the thousands separators of its numbers.
std::string withoutSeparators(std::string text) {
    std::erase(text, ',');
    return text;
}

// What each planted FIFO holds for a reader.
constexpr std::string_view kBait = "korvane-ondrill kept copy 3\n";

class TPageHistory {
public:
    TPageHistory(std::mt19937& random, bool linked) : random_(random), linked_(linked) {
        fs::create_directories(program_.File("site"));
        fs::create_directories(cacheFolder());
        whole_ = randomText(random_, randomSize());
        TTestProgramFolder::WriteFileBytes(name(0), whole_);
        if (linked_)
            fs::create_hard_link(name(0), name(1));
        fs::permissions(program_.File("site"),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        // Things in the cache folder that are no files to read: reading
        // one would wait for good.
        for (const char* planted : {"planted.page", "planted.pnew"}) {
            const std::string fifo = cacheFolder() + "/" + planted;
            EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
            fifos_.push_back(fifo);
        }
    }
    ~TPageHistory() {
        for (int fd : fifoFds_)
            ::close(fd);
    }

    // One random step, checked against the model.
    void Step(int number) {
        const std::string before = page();
        const bool cut = before != whole_;
        // Mostly saves while the page is whole, starts and openings while
        // it is cut short.
        const int kind = random_() % 4 < (cut ? 1u : 3u) ? 0 : static_cast<int>(1 + random_() % 2);
        SCOPED_TRACE("step " + std::to_string(number) + (kind == 0 ? ": save" : kind == 1 ? ": start" : ": open") +
                     ", page " + std::to_string(before.size()) + " bytes, last whole " +
                     std::to_string(whole_.size()) + (cut ? ", cut" : ""));
        if (kind == 0) {
            const std::string after = randomText(random_, randomSize());
            const TKill kill = randomKill(before.size() + after.size() + 2000, 10);
            const std::string through = name(static_cast<int>(random_() % 2));
            const TRun run = inChild(kill, {}, [&] { WriteFileReplacing(through, after); });
            EXPECT_TRUE(run.Questions.empty());
            EXPECT_TRUE(run.Errors.empty()) << run.Errors.front();
            const std::string now = page();
            EXPECT_TRUE(run.Killed || now == after) << "a save that ran to its end left " << now.size() << " bytes";
            if (now == after)
                whole_ = after;
        } else {
            const bool yes = random_() % 4 != 0;
            const TKill kill = randomKill(whole_.size() + 1000, 8);
            const std::string opened = name(static_cast<int>(random_() % 2));
            const TRun run = inChild(kill, {yes ? mrYes : mrNo}, [&] {
                if (kind == 1)
                    OfferFoundInterruptedSaves(RemoveAbandonedCopies());
                else
                    OfferInterruptedSaves(opened);
            });
            const std::string now = page();
            EXPECT_TRUE(run.Errors.empty()) << run.Errors.front();
            if (run.Killed) {
                EXPECT_LE(run.Questions.size(), cut ? 1u : 0u);
            } else {
                ASSERT_EQ(run.Questions.size(), cut ? 1u : 0u)
                    << (cut ? "the cut page was passed over" : run.Questions.front());
            }
            if (!run.Questions.empty()) {
                EXPECT_NE(withoutSeparators(run.Questions[0])
                              .find(withoutSeparators("Yes puts back the page's last whole contents, as it was "
                                                      "before the interrupted save: ") +
                                    std::to_string(whole_.size()) + " byte"),
                          std::string::npos)
                    << run.Questions[0];
            }
            if (!cut || (!run.Killed && !yes)) {
                EXPECT_TRUE(now == before) << "the page changed to " << now.size() << " bytes";
            }
            if (!run.Killed && yes) {
                EXPECT_TRUE(now == whole_) << "Yes gave back " << now.size() << " bytes";
            }
            if (!run.Killed && !yes && cut) {
                // The user chose the page as it is, and takes the copy out
                // of the cache folder.
                whole_ = now;
                removeCopiesWithoutRecords();
            }
        }
        EXPECT_FALSE(lastRun_.PlantedRead) << "a FIFO in the cache folder was read";
        // No copy lost while the page is cut short.
        if (page() != whole_) {
            EXPECT_TRUE(copyOnRecordHolds(whole_)) << "no copy of the last whole contents is on record";
        }
    }

private:
    std::string cacheFolder() const { return program_.File("cache/korvane-ondrill"); }
    std::string name(int which) const { return program_.File(which == 0 || !linked_ ? "site/a.html" : "site/b.html"); }
    std::string page() const { return TTestProgramFolder::ReadFileBytes(name(0)); }

    size_t randomSize() { return random_() % 8 == 0 ? random_() % 600000 : random_() % 60000; }

    TKill randomKill(uint64_t bytes, int steps) {
        switch (random_() % 8) {
        case 0:
        case 1:
            return {};
        case 2:
        case 3:
        case 4:
            return {static_cast<int64_t>(random_() % bytes), -1};
        default:
            return {-1, static_cast<int64_t>(1 + random_() % steps)};
        }
    }

    // Fills each planted FIFO with a few bytes, holding it open for reading
    // and writing while the child runs, so that an open of it does not wait:
    // bytes gone from it later were read by the child.
    void fillFifos() {
        for (int fd : fifoFds_)
            ::close(fd);
        fifoFds_.clear();
        for (const std::string& fifo : fifos_) {
            const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            EXPECT_GE(fd, 0);
            if (fd < 0)
                continue;
            EXPECT_EQ(::write(fd, kBait.data(), kBait.size()), static_cast<ssize_t>(kBait.size()));
            fifoFds_.push_back(fd);
        }
    }
    bool fifoWasRead() const {
        for (int fd : fifoFds_) {
            int waiting = 0;
            if (::ioctl(fd, FIONREAD, &waiting) == 0 && static_cast<size_t>(waiting) < kBait.size())
                return true;
        }
        return false;
    }

    // Runs action in a child that honours the folder's permission bits and
    // crashes as kill says, answering the questions it asks with answers.
    template <class Action> TRun inChild(TKill kill, std::vector<int> answers, Action action) {
        fillFifos();
        int pipeEnds[2];
        EXPECT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            // Only the parent writes to the FIFOs.
            for (int fd : fifoFds_)
                ::close(fd);
            ApplyChildLimits({-1, true, program_.File("cache")});
            TReportingUser user(pipeEnds[1]);
            for (int answer : answers)
                user.AnswerMessage(answer);
            SimulateCrashAfter(kill.Bytes, kill.Steps);
            try {
                action();
            } catch (const std::exception& error) {
                const std::string text = std::string("!") + error.what() + '\0';
                (void)!::write(pipeEnds[1], text.data(), text.size());
            }
            ::_exit(0);
        }
        ::close(pipeEnds[1]);
        ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
        TRun run;
        std::string report;
        int status = 0;
        for (;;) {
            char block[4096];
            for (ssize_t got; (got = ::read(pipeEnds[0], block, sizeof block)) > 0;)
                report.append(block, static_cast<size_t>(got));
            if (::waitpid(child, &status, WNOHANG) == child)
                break;
            // A child that read a planted FIFO would wait there for good.
            if (!run.PlantedRead && fifoWasRead()) {
                run.PlantedRead = true;
                ::kill(child, SIGKILL);
            }
            ::usleep(200);
        }
        run.PlantedRead |= fifoWasRead();
        char block[4096];
        for (ssize_t got; (got = ::read(pipeEnds[0], block, sizeof block)) > 0;)
            report.append(block, static_cast<size_t>(got));
        ::close(pipeEnds[0]);
        run.Killed = WIFSIGNALED(status);
        EXPECT_TRUE(run.Killed ? WTERMSIG(status) == SIGKILL : WEXITSTATUS(status) == 0) << status;
        for (size_t start = 0; start < report.size();) {
            const size_t end = report.find('\0', start);
            const std::string text = report.substr(start, end - start);
            (text[0] == '?' ? run.Questions : run.Errors).push_back(text.substr(1));
            start = end == std::string::npos ? report.size() : end + 1;
        }
        lastRun_ = run;
        return run;
    }

    bool copyOnRecordHolds(const std::string& bytes) const {
        for (const auto& entry : fs::directory_iterator(cacheFolder())) {
            const fs::path copy = entry.path();
            if (copy.extension() != ".orig" || !entry.is_regular_file())
                continue;
            fs::path record = copy;
            record.replace_extension(".page");
            if (fs::is_regular_file(record) && TTestProgramFolder::ReadFileBytes(copy.string()) == bytes)
                return true;
        }
        return false;
    }

    void removeCopiesWithoutRecords() const {
        for (const auto& entry : fs::directory_iterator(cacheFolder())) {
            fs::path record = entry.path();
            record.replace_extension(".page");
            if (entry.path().extension() == ".orig" && !fs::exists(record))
                fs::remove(entry.path());
        }
    }

    std::mt19937& random_;
    bool linked_;
    TTestProgramFolder program_;
    std::string whole_;
    std::vector<std::string> fifos_;
    std::vector<int> fifoFds_;
    TRun lastRun_;
};

} // namespace

TEST(CrashSafeSaves, KilledSavesRestoresAndStartsAlwaysGiveBackTheLastWholePage) {
    std::mt19937 random(4242);
    for (int history = 0; history < 6; ++history) {
        SCOPED_TRACE("history " + std::to_string(history));
        TPageHistory page(random, history % 2 == 0);
        for (int step = 0; step < 60; ++step) {
            page.Step(step);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}
