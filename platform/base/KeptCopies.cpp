#include "platform/base/KeptCopies.h"

#include "platform/base/DecimalNumber.h"
#include "platform/base/Exceptions.h"
#include "platform/base/PosixFileOps.h"
#include "platform/base/SafeFile.h"
#include "platform/base/UserFolders.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The record's first line: what the file is, and the layout that follows
// (the saving process: pid, start time and boot; the copy's size; then the
// page's name to the end, so that any byte a name may hold, a line break
// too, reads back).  Records of the first layout name the pid only.
constexpr std::string_view kRecordHeader = "korvane-ondrill kept copy 2\n";
constexpr std::string_view kPidOnlyRecordHeader = "korvane-ondrill kept copy 1\n";
constexpr std::string_view kCopyEnding = ".orig";
// The copy is written under this name and renamed once it is on disk.
constexpr std::string_view kIncompleteCopyEnding = ".part";
constexpr std::string_view kRecordEnding = ".page";
// The record is written under this name first and renamed when whole.
constexpr std::string_view kUnfinishedRecordEnding = ".pnew";
// An unfinished record too short to name its process is left this long
// (seconds) to the process that may still be writing it.
constexpr int64_t kUnfinishedRecordGrace = 3600;

bool endsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

// name with its ending (of the same length as the new one) replaced: a
// copy's name fits the file system's limit, and so do its record's.
std::string withEnding(const std::string& name, std::string_view ending, std::string_view replacement) {
    return name.substr(0, name.size() - ending.size()) + std::string(replacement);
}

// Takes the next line off rest; false when there is no line break left.
bool takeLine(std::string_view& rest, std::string_view& line) {
    const size_t end = rest.find('\n');
    if (end == std::string_view::npos)
        return false;
    line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return true;
}

bool takeNumber(std::string_view& rest, uint64_t& number) {
    std::string_view line;
    return takeLine(rest, line) && ParseDecimal(line, number);
}

// Reads a record (or an unfinished one, named by its own ending); false
// when the file is not one of ours, or not whole.
bool readRecord(const std::string& record, std::string_view ending, TKeptCopy& kept) {
    std::string text;
    if (!ReadWholeFile(record, text))
        return false;
    std::string_view rest(text);
    uint64_t pid = 0, startTime = 0;
    std::string_view bootId;
    if (rest.substr(0, kRecordHeader.size()) == kRecordHeader) {
        rest.remove_prefix(kRecordHeader.size());
        if (!takeNumber(rest, pid) || !takeNumber(rest, startTime) || !takeLine(rest, bootId))
            return false;
    } else if (rest.substr(0, kPidOnlyRecordHeader.size()) == kPidOnlyRecordHeader) {
        rest.remove_prefix(kPidOnlyRecordHeader.size());
        if (!takeNumber(rest, pid))
            return false;
    } else {
        return false;
    }
    if (!takeNumber(rest, kept.Size) || rest.empty() || rest[0] != '/' || pid > LONG_MAX)
        return false;
    kept.Saver.Pid = static_cast<long>(pid);
    kept.Saver.StartTime = startTime;
    kept.Saver.BootId = std::string(bootId);
    kept.Page = std::string(rest);
    kept.Record = record;
    kept.Copy = withEnding(record, ending, kCopyEnding);
    return true;
}

int64_t modifiedAt(const std::string& name) {
    struct stat info {};
    return ::lstat(name.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_mtime) : 0;
}

bool wholeCopy(const TKeptCopy& kept) {
    struct stat info {};
    return ::lstat(kept.Copy.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<uint64_t>(info.st_size) == kept.Size;
}

std::string incompleteCopyOf(const TKeptCopy& kept) { return withEnding(kept.Copy, kCopyEnding, kIncompleteCopyEnding); }

bool exists(const std::string& name) {
    struct stat info {};
    return ::lstat(name.c_str(), &info) == 0 || errno != ENOENT;
}

// The names in the cache folder that end so.
std::vector<std::string> cacheFilesEnding(const std::string& folder, std::string_view ending) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return names;
    while (const dirent* entry = ::readdir(listing))
        if (endsWith(entry->d_name, ending))
            names.push_back(folder + "/" + entry->d_name);
    ::closedir(listing);
    return names;
}

// Writes bytes to a new file named unfinished, syncs it, checks its length
// (WriteAllSynced) and only then renames it to name, syncing the folder so
// that the rename survives a power loss.  False, with errno set and
// nothing of its own left, when any step fails.
bool writeDurably(const std::string& unfinished, const std::string& name, std::string_view bytes) {
    const int fd = ::open(unfinished.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAllSynced(fd, bytes);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    bool renamed = ok && ::rename(unfinished.c_str(), name.c_str()) == 0;
    if (ok && !renamed)
        error = errno;
    if (renamed && !SyncFolder(FolderOfPath(name))) {
        error = errno;
        ::unlink(name.c_str());
        renamed = false;
    }
    if (!renamed) {
        ::unlink(unfinished.c_str());
        errno = error;
    }
    return renamed;
}

} // namespace

std::string KeptCopyPageName(const std::string& page) {
    char resolved[PATH_MAX];
    if (::realpath(page.c_str(), resolved) != nullptr)
        return resolved;
    if (!page.empty() && page[0] == '/')
        return page;
    char current[PATH_MAX];
    if (::getcwd(current, sizeof current) == nullptr)
        return page;
    return std::string(current) + "/" + page;
}

bool RecordKeptCopy(TKeptCopy& kept) {
    if (!endsWith(kept.Copy, kCopyEnding) || kept.Saver.BootId.find('\n') != std::string::npos) {
        errno = EINVAL;
        return false;
    }
    kept.Record = withEnding(kept.Copy, kCopyEnding, kRecordEnding);
    const std::string unfinished = withEnding(kept.Copy, kCopyEnding, kUnfinishedRecordEnding);
    // A name in use by an earlier save, ended or not, is never taken over.
    if (exists(kept.Record) || exists(kept.Copy) || exists(incompleteCopyOf(kept))) {
        errno = EEXIST;
        return false;
    }
    std::string text(kRecordHeader);
    text += std::to_string(kept.Saver.Pid) + "\n" + std::to_string(kept.Saver.StartTime) + "\n" +
            kept.Saver.BootId + "\n" + std::to_string(kept.Size) + "\n" + kept.Page;
    return writeDurably(unfinished, kept.Record, text);
}

bool KeepCopy(TKeptCopy& kept, std::string_view bytes) {
    kept.Size = bytes.size();
    if (!RecordKeptCopy(kept))
        return false;
    if (writeDurably(incompleteCopyOf(kept), kept.Copy, bytes))
        return true;
    const int error = errno;
    ::unlink(kept.Record.c_str());
    errno = error;
    return false;
}

void DropKeptCopy(const TKeptCopy& kept) {
    ::unlink(incompleteCopyOf(kept).c_str());
    ::unlink(kept.Copy.c_str());
    if (!kept.Record.empty())
        ::unlink(kept.Record.c_str());
}

std::vector<TKeptCopy> FindKeptCopies(const std::string& page) {
    const std::string pageName = page.empty() ? std::string() : KeptCopyPageName(page);
    std::vector<std::pair<int64_t, TKeptCopy>> found;
    for (const std::string& record : cacheFilesEnding(UserCacheFolder(), kRecordEnding)) {
        TKeptCopy kept;
        if (!readRecord(record, kRecordEnding, kept) || (!pageName.empty() && kept.Page != pageName))
            continue;
        const int64_t written = modifiedAt(record);
        if (ProcessMayStillRun(kept.Saver, written))
            kept.State = TKeptCopyState::Saving;
        else
            kept.State = wholeCopy(kept) ? TKeptCopyState::Interrupted : TKeptCopyState::Abandoned;
        found.emplace_back(written, std::move(kept));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.Record < b.second.Record;
    });
    std::vector<TKeptCopy> copies;
    for (auto& [when, kept] : found)
        copies.push_back(std::move(kept));
    return copies;
}

std::vector<TKeptCopy> FindInterruptedSaves(const std::string& page) {
    std::vector<TKeptCopy> copies = FindKeptCopies(page);
    std::erase_if(copies, [](const TKeptCopy& kept) { return kept.State != TKeptCopyState::Interrupted; });
    return copies;
}

std::vector<TKeptCopy> RemoveAbandonedCopies() {
    std::vector<TKeptCopy> copies = FindKeptCopies();
    bool removed = false;
    std::erase_if(copies, [&](const TKeptCopy& kept) {
        if (kept.State != TKeptCopyState::Abandoned)
            return false;
        // A copy of another size under the copy's name was never ours to
        // complete (the user's, or changed by the user): only what the save
        // itself left goes.
        removed |= ::unlink(incompleteCopyOf(kept).c_str()) == 0;
        removed |= ::unlink(kept.Record.c_str()) == 0;
        return true;
    });
    const std::string folder = UserCacheFolder();
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    for (const std::string& unfinished : cacheFilesEnding(folder, kUnfinishedRecordEnding)) {
        TKeptCopy kept;
        const int64_t written = modifiedAt(unfinished);
        const bool over = readRecord(unfinished, kUnfinishedRecordEnding, kept)
                              ? !ProcessMayStillRun(kept.Saver, written)
                              : written + kUnfinishedRecordGrace < now;
        if (over)
            removed |= ::unlink(unfinished.c_str()) == 0;
    }
    // Most starts find nothing to remove and leave the disk alone.
    if (removed)
        SyncFolder(folder);
    return copies;
}

void RestoreKeptCopy(const TKeptCopy& kept) {
    std::string bytes;
    if (!ReadWholeFile(kept.Copy, bytes))
        throw EFOpenError(kept.Copy, std::strerror(errno));
    if (bytes.size() != kept.Size)
        throw EFOpenError(kept.Copy, "The kept copy is not whole");
    WriteFileReplacing(kept.Page, bytes);
    DropKeptCopy(kept);
}

void ForgetKeptCopy(const TKeptCopy& kept) {
    ::unlink(kept.Record.c_str());
    SyncFolder(FolderOfPath(kept.Record));
}
