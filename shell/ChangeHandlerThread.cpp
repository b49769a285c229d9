#include "shell/ChangeHandlerThread.h"

#include "platform/shellns/FileNames.h"
#include "platform/ui/Control.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> failedCloses{0};

void closeDescriptor(int fd) {
    if (fd >= 0 && ::close(fd) != 0)
        ++failedCloses;
}

uint32_t inotifyMask(uint32_t filter) {
    uint32_t mask = IN_DELETE_SELF | IN_ONLYDIR | IN_MASK_ADD;
    if ((filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)) != 0)
        mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if ((filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) != 0)
        mask |= IN_ATTRIB;
    if ((filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) != 0)
        mask |= IN_MODIFY | IN_CLOSE_WRITE;
    return mask;
}

// Whether an event is one a watch with this filter reports.
bool reports(uint32_t filter, uint32_t event) {
    if ((event & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0)
        return (filter & ((event & IN_ISDIR) != 0 ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME)) != 0;
    if ((event & IN_ATTRIB) != 0)
        return (filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) != 0;
    if ((event & (IN_MODIFY | IN_CLOSE_WRITE)) != 0)
        return (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) != 0;
    return false;
}

} // namespace

// Receives the worker's notices on the user-interface thread and hands each
// on to the window, so the worker knows when a notice has been delivered.
class TChangeNoticeRelay : public TWinControl {
public:
    explicit TChangeNoticeRelay(TChangeHandlerThread& owner) : owner_(owner) {}
    void WndProc(TMessage& message) override {
        if (message.Msg != owner_.message_) {
            TWinControl::WndProc(message);
            return;
        }
        int slot = static_cast<int>(message.WParam);
        owner_.noticeDelivered(slot);
        if (owner_.window_ != nullptr) {
            TMessage notice{owner_.message_, message.WParam, 0, 0};
            DeliverMessage(*owner_.window_, notice);
        }
    }

private:
    TChangeHandlerThread& owner_;
};

int TChangeHandlerThread::FailedCloses() { return failedCloses.load(); }

TChangeHandlerThread::TChangeHandlerThread(TWinControl* window, unsigned message)
    : window_(window), message_(message), relay_(new TChangeNoticeRelay(*this)) {
    for (auto& pending : pending_)
        pending = false;
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    worker_ = std::thread([this] { run(); });
}

TChangeHandlerThread::~TChangeHandlerThread() {
    quit_ = true;
    uint64_t one = 1;
    if (wake_ >= 0)
        (void)!::write(wake_, &one, sizeof one);
    if (worker_.joinable())
        worker_.join();
    {
        std::lock_guard guard(lock_);
        for (const auto& [watch, ownerSlots] : slotsOfWatch_)
            if (inotify_ >= 0 && ::inotify_rm_watch(inotify_, watch) != 0)
                ++failedCloses;
        slotsOfWatch_.clear();
    }
    closeDescriptor(inotify_);
    closeDescriptor(wake_);
    delete relay_; // notices still queued for it are dropped with it
}

int TChangeHandlerThread::WatchCount() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(std::count_if(std::begin(slots_), std::end(slots_), [](const TSlot& s) { return s.Used; }));
}

int TChangeHandlerThread::addFolder(int slot, const std::string& path, uint32_t mask) {
    int watch = ::inotify_add_watch(inotify_, path.c_str(), mask);
    if (watch < 0)
        return -1;
    std::vector<int>& owners = slotsOfWatch_[watch];
    if (std::find(owners.begin(), owners.end(), slot) == owners.end()) {
        owners.push_back(slot);
        slots_[slot].Watches.push_back(watch);
    }
    pathOfWatch_[watch] = path;
    return watch;
}

void TChangeHandlerThread::addSubtree(int slot, const std::string& path, uint32_t mask) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr)
        return;
    std::vector<std::string> children;
    while (const dirent* entry = ::readdir(folder)) {
        std::string_view name(entry->d_name);
        if (name == "." || name == ".." || entry->d_type == DT_LNK)
            continue;
        std::string child = JoinPath(path, name);
        struct stat info;
        if (entry->d_type == DT_DIR || (entry->d_type == DT_UNKNOWN && ::lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
            children.push_back(std::move(child));
    }
    ::closedir(folder);
    for (const std::string& child : children) {
        if (slots_[slot].SubtreeFolders >= MaxSubtreeFolders)
            return;
        if (addFolder(slot, child, mask) >= 0) {
            ++slots_[slot].SubtreeFolders;
            addSubtree(slot, child, mask);
        }
    }
}

bool TChangeHandlerThread::AddWatch(std::string_view path, uint32_t filter, int& index, bool subtree) {
    index = -1;
    if (path.empty() || inotify_ < 0)
        return false;
    std::lock_guard guard(lock_);
    int slot = -1;
    for (int i = 0; i < SlotCount; ++i)
        if (!slots_[i].Used) {
            slot = i;
            break;
        }
    if (slot < 0)
        return false;
    uint32_t mask = inotifyMask(filter);
    std::string folder(path);
    slots_[slot] = TSlot{};
    if (addFolder(slot, folder, mask) < 0)
        return false;
    slots_[slot].Used = true;
    slots_[slot].Filter = filter;
    slots_[slot].Subtree = subtree;
    if (subtree) {
        slots_[slot].SubtreeFolders = 1;
        addSubtree(slot, folder, mask);
    }
    pending_[slot] = false;
    index = slot;
    return true;
}

void TChangeHandlerThread::releaseWatch(int slot, int watch, bool removedByKernel) {
    auto owners = slotsOfWatch_.find(watch);
    if (owners == slotsOfWatch_.end())
        return;
    std::erase(owners->second, slot);
    if (owners->second.empty()) {
        // The last slot using the descriptor closes it, once.
        if (!removedByKernel && ::inotify_rm_watch(inotify_, watch) != 0)
            ++failedCloses;
        slotsOfWatch_.erase(owners);
        pathOfWatch_.erase(watch);
    }
}

void TChangeHandlerThread::closeSlot(int slot) {
    for (int watch : slots_[slot].Watches)
        releaseWatch(slot, watch, false);
    slots_[slot] = TSlot{};
}

bool TChangeHandlerThread::CloseWatch(int index) {
    if (index < 0 || index >= SlotCount)
        return false;
    std::lock_guard guard(lock_);
    if (!slots_[index].Used)
        return false;
    closeSlot(index);
    return true;
}

bool TChangeHandlerThread::ClearWatches() {
    std::lock_guard guard(lock_);
    for (int i = 0; i < SlotCount; ++i)
        if (slots_[i].Used)
            closeSlot(i);
    return true;
}

bool TChangeHandlerThread::WatchFolders(const std::vector<std::string>& folders, uint32_t filter, int& index) {
    return watchMany(folders, filter, index, true);
}

bool TChangeHandlerThread::AddToFolders(const std::string& folder, uint32_t filter, int& index) {
    return watchMany({folder}, filter, index, false);
}

bool TChangeHandlerThread::watchMany(const std::vector<std::string>& folders, uint32_t filter, int& index,
                                     bool replace) {
    if (inotify_ < 0) {
        index = -1;
        return false;
    }
    std::lock_guard guard(lock_);
    int slot = index >= 0 && index < SlotCount && slots_[index].Used && slots_[index].ManyFolders ? index : -1;
    for (int i = 0; slot < 0 && i < SlotCount; ++i)
        if (!slots_[i].Used)
            slot = i;
    index = -1;
    if (slot < 0)
        return false;
    const bool fresh = !slots_[slot].Used;
    if (fresh)
        slots_[slot] = TSlot{};
    const uint32_t mask = inotifyMask(filter);
    std::vector<int> kept;
    for (const std::string& folder : folders)
        if (int watch = folder.empty() ? -1 : addFolder(slot, folder, mask); watch >= 0)
            kept.push_back(watch);
    if (replace) {
        std::sort(kept.begin(), kept.end());
        const std::vector<int> before = slots_[slot].Watches;
        for (int watch : before)
            if (!std::binary_search(kept.begin(), kept.end(), watch)) {
                releaseWatch(slot, watch, false);
                std::erase(slots_[slot].Watches, watch);
            }
    }
    if (slots_[slot].Watches.empty()) {
        slots_[slot] = TSlot{};
        return false;
    }
    slots_[slot].Used = true;
    slots_[slot].ManyFolders = true;
    slots_[slot].Filter = filter;
    if (fresh)
        pending_[slot] = false;
    index = slot;
    return !kept.empty();
}

std::vector<std::string> TChangeHandlerThread::WatchedFolders(int index) const {
    std::vector<std::string> folders;
    if (index < 0 || index >= SlotCount)
        return folders;
    std::lock_guard guard(lock_);
    for (int watch : slots_[index].Watches)
        if (auto path = pathOfWatch_.find(watch); path != pathOfWatch_.end())
            folders.push_back(path->second);
    return folders;
}

bool TChangeHandlerThread::TakeChangedPaths(int index, std::vector<std::string>& paths) {
    paths.clear();
    if (index < 0 || index >= SlotCount)
        return false;
    std::lock_guard guard(lock_);
    TSlot& slot = slots_[index];
    bool known = slot.Used && !slot.NamesUnknown;
    if (known)
        paths.swap(slot.ChangedPaths);
    slot.ChangedPaths.clear();
    slot.NamesUnknown = false;
    return known;
}

bool TChangeHandlerThread::TakeChangedNames(int index, std::vector<std::string>& names) {
    bool known = TakeChangedPaths(index, names);
    for (std::string& name : names)
        name = std::string(FileNameOf(name));
    return known;
}

void TChangeHandlerThread::noticeDelivered(int slot) {
    if (slot >= 0 && slot < SlotCount)
        pending_[slot] = false;
}

void TChangeHandlerThread::readEvents(std::vector<bool>& fired) {
    alignas(inotify_event) char buffer[16384];
    while (true) {
        ssize_t length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0)
            return;
        std::lock_guard guard(lock_);
        for (char* at = buffer; at < buffer + length;) {
            auto* event = reinterpret_cast<inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            ++eventsSeen_;
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                for (int i = 0; i < SlotCount; ++i) {
                    fired[static_cast<size_t>(i)] = fired[static_cast<size_t>(i)] || slots_[i].Used;
                    slots_[i].NamesUnknown = true;
                }
                continue;
            }
            auto owners = slotsOfWatch_.find(event->wd);
            if (owners == slotsOfWatch_.end())
                continue; // a watch closed meanwhile
            std::vector<int> ownerSlots = owners->second;
            if ((event->mask & IN_IGNORED) != 0) {
                // The folder is gone (deleted, unmounted): its watch ended
                // by itself, and a slot with nothing left to watch is free.
                for (int slot : ownerSlots) {
                    releaseWatch(slot, event->wd, true);
                    std::erase(slots_[slot].Watches, event->wd);
                    if (slots_[slot].Watches.empty())
                        slots_[slot] = TSlot{};
                }
                continue;
            }
            for (int slot : ownerSlots) {
                TSlot& s = slots_[slot];
                if (reports(s.Filter, event->mask)) {
                    fired[static_cast<size_t>(slot)] = true;
                    if (s.Subtree || event->len == 0 || s.ChangedPaths.size() >= MaxChangedNames)
                        s.NamesUnknown = true;
                    else // the name is NUL-padded by the kernel
                        s.ChangedPaths.push_back(JoinPath(pathOfWatch_[event->wd], std::string_view(event->name)));
                }
                if (s.Subtree && (event->mask & IN_ISDIR) != 0 && (event->mask & (IN_CREATE | IN_MOVED_TO)) != 0 &&
                    s.SubtreeFolders < MaxSubtreeFolders && event->len > 0) {
                    std::string child = JoinPath(pathOfWatch_[event->wd], event->name);
                    if (addFolder(slot, child, inotifyMask(s.Filter)) >= 0)
                        ++s.SubtreeFolders;
                }
            }
        }
    }
}

void TChangeHandlerThread::run() {
    std::vector<bool> fired(SlotCount);
    while (!quit_) {
        pollfd fds[2] = {{wake_, POLLIN, 0}, {inotify_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            uint64_t count;
            (void)!::read(wake_, &count, sizeof count);
        }
        if (quit_)
            return;
        if ((fds[1].revents & POLLIN) == 0)
            continue;
        std::fill(fired.begin(), fired.end(), false);
        readEvents(fired);
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (!fired[static_cast<size_t>(slot)])
                continue;
            bool used;
            {
                std::lock_guard guard(lock_);
                used = slots_[slot].Used;
            }
            if (used && !pending_[slot].exchange(true))
                PostMessage(relay_, message_, static_cast<WPARAM>(slot), 0);
        }
    }
}
