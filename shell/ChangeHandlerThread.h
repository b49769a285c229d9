#pragma once
// A worker thread that watches folders for changes and tells one control,
// by a posted message (WParam = the watch's slot), that a watched folder
// changed.  Up to 63 watches, each in a slot whose index is its identity;
// adding, closing and clearing happen at once on the calling thread under a
// lock, and the worker only reads the kernel's change events (inotify) and
// posts.  It wakes on an event descriptor to quit.
//
// A watch posts at most one notice at a time: a slot whose notice has not
// been delivered yet posts no second one, so a burst of changes costs the
// control one notice, not thousands.  A watched folder that is deleted
// stops its watch without a notice.
//
// A watch of one folder (not its subtree) also collects the names of the
// entries that changed, which its owner may take to look at those entries
// alone instead of listing the whole folder again.
//
// One slot may also serve any number of folders (WatchFolders): a control
// that shows many folders watches all of them in one slot, however many
// there are, and is told which entries changed in which folder.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class TWinControl;
class TChangeNoticeRelay;

// What a watch reports.
enum : uint32_t {
    FILE_NOTIFY_CHANGE_FILE_NAME = 0x001,
    FILE_NOTIFY_CHANGE_DIR_NAME = 0x002,
    FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x004,
    FILE_NOTIFY_CHANGE_SIZE = 0x008,
    FILE_NOTIFY_CHANGE_LAST_WRITE = 0x010,
    FILE_NOTIFY_CHANGE_SECURITY = 0x100,
};

class TChangeHandlerThread {
public:
    static constexpr int SlotCount = 63;
    // A subtree watch follows at most this many folders.
    static constexpr int MaxSubtreeFolders = 4096;

    // Starts the worker.  window receives message (it must outlive this
    // object; the owner frees the thread before the window goes).
    TChangeHandlerThread(TWinControl* window, unsigned message);
    ~TChangeHandlerThread();
    TChangeHandlerThread(const TChangeHandlerThread&) = delete;
    TChangeHandlerThread& operator=(const TChangeHandlerThread&) = delete;

    // Watches a folder (and, with subtree, the folders below it) in the
    // lowest free slot.  False for an empty path, a path that cannot be
    // watched, or when every slot is taken (index is then -1).
    bool AddWatch(std::string_view path, uint32_t filter, int& index, bool subtree);
    // Watches every folder of the set (not their subtrees) in one slot: a
    // change in any of them fires the slot.  With index a slot this call
    // filled before, that slot's set becomes the new one without a moment
    // unwatched: the new folders are added before those no longer in the
    // set are let go.  Folders that cannot be watched are left out.  False
    // (index -1) when none can be watched or every slot is taken.
    bool WatchFolders(const std::vector<std::string>& folders, uint32_t filter, int& index);
    // Adds one folder to such a set (a new one in the lowest free slot
    // when index is not a slot WatchFolders or this call filled), leaving
    // the others watched.  False when the folder cannot be watched; index
    // is then still the slot, or -1 when it watches nothing.
    bool AddToFolders(const std::string& folder, uint32_t filter, int& index);
    // Folders a slot watches now (a deleted one drops out by itself).
    std::vector<std::string> WatchedFolders(int index) const;
    // Stops the watch in a slot; false for a free slot.
    bool CloseWatch(int index);
    // Stops every watch.
    bool ClearWatches();

    // The names of the entries of a one-folder watch that changed since the
    // names were last taken; false (and no names) when they are not known:
    // too many, the kernel's queue overflowed, or a subtree watch.
    bool TakeChangedNames(int index, std::vector<std::string>& names);
    // The same as whole paths: the changed entries of every folder of a
    // one-folder or many-folder watch.
    bool TakeChangedPaths(int index, std::vector<std::string>& paths);
    // More names than this make the owner list the folder instead.
    static constexpr size_t MaxChangedNames = 1024;

    // Slots in use.
    int WatchCount() const;
    // Kernel events the worker has read so far.
    uint64_t EventsSeen() const { return eventsSeen_.load(); }
    // Descriptors and watches whose closing the system refused (one closed
    // twice, or never opened): 0 in a sound process.
    static int FailedCloses();

private:
    friend class TChangeNoticeRelay;
    struct TSlot {
        bool Used = false;
        uint32_t Filter = 0;
        bool Subtree = false;
        bool ManyFolders = false;
        int SubtreeFolders = 0;
        std::vector<int> Watches;
        std::vector<std::string> ChangedPaths;
        bool NamesUnknown = false;
    };

    void run();
    void readEvents(std::vector<bool>& fired);
    int addFolder(int slot, const std::string& path, uint32_t mask);
    bool watchMany(const std::vector<std::string>& folders, uint32_t filter, int& index, bool replace);
    void addSubtree(int slot, const std::string& path, uint32_t mask);
    void releaseWatch(int slot, int watch, bool removedByKernel);
    void closeSlot(int slot);
    void noticeDelivered(int slot);

    TWinControl* window_;
    unsigned message_;
    TChangeNoticeRelay* relay_;
    int inotify_ = -1;
    int wake_ = -1;
    mutable std::mutex lock_;
    TSlot slots_[SlotCount];
    std::map<int, std::vector<int>> slotsOfWatch_; // watch descriptor -> slots
    std::map<int, std::string> pathOfWatch_;
    std::atomic<bool> pending_[SlotCount];
    std::atomic<bool> quit_{false};
    std::atomic<uint64_t> eventsSeen_{0};
    std::thread worker_;
};
