// The change-watching thread on real folders: its slots, its notices
// (one at a time per watch, however many changes), watches ending with
// their folders, one slot serving many folders, and no descriptor left
// open afterwards.

#include "platform/ui/Control.h"
#include "shell/ChangeHandlerThread.h"
#include "tests/shell/ShellTestSupport.h"

#include <chrono>
#include <thread>

namespace {

constexpr unsigned kNotice = 0x465;

// Counts the notices it gets, per slot.
class TNoticeCounter : public TWinControl {
public:
    void WndProc(TMessage& message) override {
        if (message.Msg == kNotice)
            Notices.push_back(static_cast<int>(message.WParam));
        else
            TWinControl::WndProc(message);
    }
    std::vector<int> Notices;
};

int openDescriptors() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

// Waits (without asserting anything about time) until the worker has read
// at least count events, delivering what is posted meanwhile only when told.
bool waitForEvents(TChangeHandlerThread& thread, uint64_t count) {
    for (int i = 0; i < 3000 && thread.EventsSeen() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return thread.EventsSeen() >= count;
}

// Delivers posted notices until the window has at least count of them or
// ten seconds pass (a loaded machine may be slow to run the worker).
bool deliverNotices(const std::vector<int>& notices, size_t count) {
    for (int i = 0; i < 2000 && notices.size() < count; ++i) {
        ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ProcessMessages();
    return notices.size() >= count;
}

class ChangeThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShellTestApplication();
        failedBefore = TChangeHandlerThread::FailedCloses();
    }
    void TearDown() override { EXPECT_EQ(TChangeHandlerThread::FailedCloses(), failedBefore); }

    std::string folder(const std::string& name) {
        std::string path = JoinPath(home.Files, name);
        std::filesystem::create_directories(path);
        return path;
    }

    TShellTestHome home;
    TNoticeCounter window;
    int failedBefore = 0;
};

} // namespace

TEST_F(ChangeThreadTest, SlotsFillUpEmptyAndAreReusedFromTheStart) {
    int descriptors = openDescriptors();
    {
        TChangeHandlerThread thread(&window, kNotice);
        std::string path = folder("watched");
        int index = -1;
        for (int i = 0; i < TChangeHandlerThread::SlotCount; ++i) {
            ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
            EXPECT_EQ(index, i);
        }
        EXPECT_FALSE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
        EXPECT_EQ(index, -1);
        EXPECT_FALSE(thread.AddWatch("", FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
        EXPECT_TRUE(thread.ClearWatches());
        EXPECT_EQ(thread.WatchCount(), 0);
        ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
        EXPECT_EQ(index, 0);
        ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
        EXPECT_EQ(index, 1);
        EXPECT_FALSE(thread.AddWatch(JoinPath(home.Files, "missing"), FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
        WriteFile(JoinPath(home.Files, "plain"), "");
        EXPECT_FALSE(thread.AddWatch(JoinPath(home.Files, "plain"), FILE_NOTIFY_CHANGE_FILE_NAME, index, false));
    }
    EXPECT_EQ(openDescriptors(), descriptors);
}

TEST_F(ChangeThreadTest, TwoSlotsOnOneFolderSurviveClosingOne) {
    TChangeHandlerThread thread(&window, kNotice);
    std::string path = folder("shared");
    int first = -1, second = -1;
    ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME, first, false));
    ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME, second, false));
    EXPECT_TRUE(thread.CloseWatch(first));
    EXPECT_FALSE(thread.CloseWatch(first));
    WriteFile(JoinPath(path, "new.txt"), "x");
    ASSERT_TRUE(waitForEvents(thread, 1));
    deliverNotices(window.Notices, 1);
    EXPECT_EQ(window.Notices, std::vector<int>{second});
}

TEST_F(ChangeThreadTest, ABurstOfChangesGivesOneNoticeUntilItIsDelivered) {
    TChangeHandlerThread thread(&window, kNotice);
    std::string path = folder("burst");
    std::string other = folder("quiet");
    int index = -1, quiet = -1;
    ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, index, false));
    ASSERT_TRUE(thread.AddWatch(other, FILE_NOTIFY_CHANGE_FILE_NAME, quiet, false));
    for (int i = 0; i < 1000; ++i)
        WriteFile(JoinPath(path, std::to_string(i) + ".txt"), "");
    ASSERT_TRUE(waitForEvents(thread, 1000));
    deliverNotices(window.Notices, 1);
    EXPECT_EQ(window.Notices, std::vector<int>{index});
    // Delivered, the watch may tell again.
    std::filesystem::create_directory(JoinPath(path, "sub"));
    ASSERT_TRUE(waitForEvents(thread, 1001));
    deliverNotices(window.Notices, 2);
    EXPECT_EQ(window.Notices, (std::vector<int>{index, index}));
    // Changes a watch's filter leaves out tell nothing.
    std::filesystem::create_directory(JoinPath(other, "dir"));
    ASSERT_TRUE(waitForEvents(thread, 1002));
    ProcessMessages();
    EXPECT_EQ(window.Notices.size(), 2u);
}

TEST_F(ChangeThreadTest, ADeletedFolderEndsItsWatchSilently) {
    int descriptors = openDescriptors();
    {
        TChangeHandlerThread thread(&window, kNotice);
        std::string path = folder("doomed");
        int index = -1;
        ASSERT_TRUE(thread.AddWatch(path, FILE_NOTIFY_CHANGE_DIR_NAME, index, false));
        std::filesystem::remove(path);
        ASSERT_TRUE(waitForEvents(thread, 2)); // deleted, then ignored
        for (int i = 0; i < 20; ++i)
            ProcessMessages();
        EXPECT_TRUE(window.Notices.empty());
        EXPECT_EQ(thread.WatchCount(), 0);
        // Its slot is free again; a subtree watch follows new folders.
        std::string tree = folder("tree/a");
        ASSERT_TRUE(thread.AddWatch(JoinPath(home.Files, "tree"), FILE_NOTIFY_CHANGE_FILE_NAME, index, true));
        EXPECT_EQ(index, 0);
        WriteFile(JoinPath(tree, "deep.txt"), "");
        ASSERT_TRUE(waitForEvents(thread, 3));
        deliverNotices(window.Notices, 1);
        EXPECT_EQ(window.Notices, std::vector<int>{0});
        std::filesystem::remove_all(JoinPath(home.Files, "tree"));
        // Both folders' watches end by themselves; wait until the worker has
        // read that, or closing the thread would close a watch the kernel
        // already dropped.
        for (int i = 0; i < 2000 && thread.WatchCount() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(thread.WatchCount(), 0);
    }
    EXPECT_EQ(openDescriptors(), descriptors);
}

// One slot serving hundreds of folders (far more than there are slots): a
// change in any of them fires it and names the entry by its whole path;
// the set replaced in place keeps the folders still in it, lets go of the
// others (whose changes tell nothing after), and closes each descriptor
// once.
TEST_F(ChangeThreadTest, OneSlotServesManyFoldersAndTheirSetIsReplacedInPlace) {
    std::mt19937 random(31);
    int descriptors = openDescriptors();
    {
        TChangeHandlerThread thread(&window, kNotice);
        std::vector<std::string> folders;
        for (int i = 0; i < 300; ++i)
            folders.push_back(folder("many/f" + std::to_string(i)));
        int index = -1;
        std::vector<std::string> firstHalf(folders.begin(), folders.begin() + 200);
        ASSERT_TRUE(thread.WatchFolders(firstHalf, FILE_NOTIFY_CHANGE_DIR_NAME, index));
        EXPECT_EQ(thread.WatchedFolders(index).size(), 200u);
        EXPECT_EQ(thread.WatchCount(), 1);
        uint64_t events = 0;
        size_t notices = 0;
        auto change = [&](const std::string& in, bool told) {
            std::string made = JoinPath(in, "made" + std::to_string(random() % 100000));
            std::filesystem::create_directory(made);
            ASSERT_TRUE(waitForEvents(thread, ++events));
            if (!told) {
                ProcessMessages();
                EXPECT_EQ(window.Notices.size(), notices) << in;
                return;
            }
            ASSERT_TRUE(deliverNotices(window.Notices, ++notices)) << in;
            EXPECT_EQ(window.Notices.back(), index);
            std::vector<std::string> paths;
            ASSERT_TRUE(thread.TakeChangedPaths(index, paths));
            EXPECT_EQ(paths, std::vector<std::string>{made});
        };
        for (int round = 0; round < 12; ++round)
            change(folders[random() % 200], true);

        // Now the last 150: 100..199 stay, 0..99 go, 200..299 come.
        std::vector<std::string> secondHalf(folders.begin() + 150, folders.end());
        int again = index;
        ASSERT_TRUE(thread.WatchFolders(secondHalf, FILE_NOTIFY_CHANGE_DIR_NAME, again));
        EXPECT_EQ(again, index) << "the slot is kept";
        EXPECT_EQ(thread.WatchedFolders(index).size(), 150u);
        for (int round = 0; round < 12; ++round) {
            size_t at = random() % folders.size();
            change(folders[at], at >= 150);
        }
        // A watched folder deleted drops out of the set alone.
        std::filesystem::remove_all(folders[299]);
        ASSERT_TRUE(waitForEvents(thread, events + 2));
        events = thread.EventsSeen();
        for (int i = 0; i < 20 && thread.WatchedFolders(index).size() != 149; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(thread.WatchedFolders(index).size(), 149u);
        ProcessMessages();
        notices = window.Notices.size();
        std::vector<std::string> ignored;
        thread.TakeChangedPaths(index, ignored);
        change(folders[298], true);
        // Nothing that can be watched: the slot is let go.
        EXPECT_FALSE(thread.WatchFolders({JoinPath(home.Files, "missing")}, FILE_NOTIFY_CHANGE_DIR_NAME, again));
        EXPECT_EQ(again, -1);
        EXPECT_EQ(thread.WatchCount(), 0);
    }
    EXPECT_EQ(openDescriptors(), descriptors);
}
