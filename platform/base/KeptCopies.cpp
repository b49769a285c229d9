#include "platform/base/KeptCopies.h"

#include "platform/base/DecimalNumber.h"
#include "platform/base/Exceptions.h"
#include "platform/base/PosixFileOps.h"
#include "platform/base/SafeFile.h"
#include "platform/base/SimulatedCrash.h"
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
// (the saving process: pid, start time and boot; the copy's size and
// checksum; the finished page's size and checksum; the page's device, inode
// and generation; then the page's name to the end, so that any byte a name
// may hold, a line break too, reads back).  Records of the earlier layouts
// name the process (the second, without checksums and identity) or its pid
// only (the first), and are still read: a page of theirs is whole only when
// it holds the copy's bytes.
constexpr std::string_view kRecordHeader = "korvane-ondrill kept copy 3\n";
constexpr std::string_view kNamedSaverRecordHeader = "korvane-ondrill kept copy 2\n";
constexpr std::string_view kPidOnlyRecordHeader = "korvane-ondrill kept copy 1\n";
// A few lines and a file name: anything longer is not a record of ours.
constexpr size_t kLongestRecord = 16 * 1024;
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

// A checksum's line: empty (not known) or a checksum.
bool takeSum(std::string_view& rest, std::string& sum) {
    std::string_view line;
    if (!takeLine(rest, line) || (!line.empty() && !IsContentsSum(line)))
        return false;
    sum = std::string(line);
    return true;
}

// The lines of the third layout after the saver: the copy, the finished
// page and the page's identity.
bool takeContentsAndIdentity(std::string_view& rest, TKeptCopy& kept) {
    uint64_t finishedSize = 0;
    std::string finishedSum;
    if (!takeNumber(rest, kept.Size) || !takeSum(rest, kept.CopySum) || !takeNumber(rest, finishedSize) ||
        !takeSum(rest, finishedSum) || !takeNumber(rest, kept.PageFile.Device) ||
        !takeNumber(rest, kept.PageFile.Inode) || !takeNumber(rest, kept.PageFile.Generation))
        return false;
    kept.Finished = {finishedSize, finishedSum};
    return true;
}

// Reads a record (or an unfinished one, named by its own ending); false
// when the file is not one of ours, not whole, or no regular file (a FIFO
// there is never waited on).
bool readRecord(const std::string& record, std::string_view ending, TKeptCopy& kept) {
    std::string text;
    if (!ReadWholeFile(record, text, kLongestRecord))
        return false;
    std::string_view rest(text);
    uint64_t pid = 0, startTime = 0;
    std::string_view bootId;
    const bool current = rest.substr(0, kRecordHeader.size()) == kRecordHeader;
    if (current || rest.substr(0, kNamedSaverRecordHeader.size()) == kNamedSaverRecordHeader) {
        rest.remove_prefix(current ? kRecordHeader.size() : kNamedSaverRecordHeader.size());
        if (!takeNumber(rest, pid) || !takeNumber(rest, startTime) || !takeLine(rest, bootId))
            return false;
    } else if (rest.substr(0, kPidOnlyRecordHeader.size()) == kPidOnlyRecordHeader) {
        rest.remove_prefix(kPidOnlyRecordHeader.size());
        if (!takeNumber(rest, pid))
            return false;
    } else {
        return false;
    }
    if (!(current ? takeContentsAndIdentity(rest, kept) : takeNumber(rest, kept.Size)) || rest.empty() ||
        rest[0] != '/' || pid > LONG_MAX)
        return false;
    kept.Saver.Pid = static_cast<long>(pid);
    kept.Saver.StartTime = startTime;
    kept.Saver.BootId = std::string(bootId);
    kept.Page = std::string(rest);
    kept.Record = record;
    kept.Copy = withEnding(record, ending, kCopyEnding);
    return true;
}

std::string recordText(const TKeptCopy& kept) {
    std::string text(kRecordHeader);
    for (const std::string& line :
         {std::to_string(kept.Saver.Pid), std::to_string(kept.Saver.StartTime), kept.Saver.BootId,
          std::to_string(kept.Size), kept.CopySum, std::to_string(kept.Finished.Size), kept.Finished.Sum,
          std::to_string(kept.PageFile.Device), std::to_string(kept.PageFile.Inode),
          std::to_string(kept.PageFile.Generation)})
        text += line + "\n";
    return text + kept.Page;
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
std::string unfinishedRecordOf(const TKeptCopy& kept) {
    return withEnding(kept.Copy, kCopyEnding, kUnfinishedRecordEnding);
}

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
// (WriteAllSynced) and only then renames it to name (over what had that
// name), syncing the folder so that the rename survives a power loss.
// False, with errno set and nothing of its own left, when any step fails.
// A file it replaced stays replaced when only the folder's sync fails:
// either version under that name is whole, and removing it would leave
// the copy it describes without a record.
bool writeDurably(const std::string& unfinished, const std::string& name, std::string_view bytes,
                  bool replacing = false) {
    const int fd = ::open(unfinished.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAllSynced(fd, bytes);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    SimulatedCrashStep();
    bool renamed = ok && ::rename(unfinished.c_str(), name.c_str()) == 0;
    if (ok && !renamed)
        error = errno;
    SimulatedCrashStep();
    if (renamed && !SyncFolder(FolderOfPath(name))) {
        error = errno;
        if (!replacing)
            ::unlink(name.c_str());
        renamed = false;
    }
    if (!renamed) {
        ::unlink(unfinished.c_str());
        errno = error;
    }
    return renamed;
}

// Whether an unfinished record's writer is done with it: it names a process
// that has ended, or is too short to name one and old.
bool unfinishedRecordIsOver(const std::string& unfinished) {
    TKeptCopy kept;
    const int64_t written = modifiedAt(unfinished);
    return readRecord(unfinished, kUnfinishedRecordEnding, kept)
               ? !ProcessMayStillRun(kept.Saver, written)
               : written + kUnfinishedRecordGrace < static_cast<int64_t>(std::time(nullptr));
}

// Whether two open regular files hold the same bytes.
bool sameBytes(int a, int b) {
    char blockA[1 << 16], blockB[1 << 16];
    for (off_t offset = 0;;) {
        const ssize_t gotA = ::pread(a, blockA, sizeof blockA, offset);
        const ssize_t gotB = ::pread(b, blockB, sizeof blockB, offset);
        if (gotA < 0 || gotB < 0 || gotA != gotB)
            return false;
        if (gotA == 0)
            return true;
        if (std::memcmp(blockA, blockB, static_cast<size_t>(gotA)) != 0)
            return false;
        offset += gotA;
    }
}

// What the page (PageNow) holds decides a record of a save that is over and
// whose copy is whole: the finished save or the copy's bytes make it whole,
// anything else (cut short, gone, no regular file) interrupted.
TKeptCopyState classify(TKeptCopy& kept) {
    struct stat info {};
    const int page = OpenRegularFile(kept.PageNow(), O_RDONLY, &info);
    if (page < 0)
        return TKeptCopyState::Interrupted;
    kept.PageSize = static_cast<int64_t>(info.st_size);
    bool whole = false;
    TContentsDigest now;
    if (kept.Finished.Known() && kept.Finished.Size == static_cast<uint64_t>(info.st_size))
        whole = DigestOfFile(page, now) && kept.Finished.Matches(now);
    if (!whole && kept.Size == static_cast<uint64_t>(info.st_size)) {
        const int copy = OpenRegularFile(kept.Copy, O_RDONLY | O_NOFOLLOW);
        if (copy >= 0) {
            whole = sameBytes(page, copy);
            ::close(copy);
        }
    }
    ::close(page);
    return whole ? TKeptCopyState::Whole : TKeptCopyState::Interrupted;
}

bool samePage(const TKeptCopy& a, const TKeptCopy& b) {
    return a.Page == b.Page || a.PageNow() == b.PageNow() || a.PageFile.Same(b.PageFile);
}

// Of interrupted saves of one page (oldest first), the one whose copy is
// the page's last whole contents.  The oldest copy is whole; a later one
// is whole only when it holds what a whole one's save finished with, or a
// whole copy's bytes: a later save may have kept a page already cut.
size_t lastWholeCopy(const std::vector<TKeptCopy>& saves) {
    std::vector<bool> whole(saves.size(), false);
    size_t last = 0;
    for (size_t i = 0; i < saves.size(); ++i) {
        whole[i] = i == 0;
        for (size_t j = 0; j < i && !whole[i]; ++j)
            whole[i] = whole[j] && (saves[j].Finished.Matches(saves[i].CopyDigest()) ||
                                    saves[j].CopyDigest().Matches(saves[i].CopyDigest()));
        if (whole[i])
            last = i;
    }
    return last;
}

// One entry per page for interrupted saves: the one to offer, the others
// Alongside it.  The order stays.
std::vector<TKeptCopy> oneSavePerPage(std::vector<TKeptCopy> copies) {
    std::vector<TKeptCopy> listed;
    std::vector<bool> taken(copies.size(), false);
    for (size_t i = 0; i < copies.size(); ++i) {
        if (taken[i])
            continue;
        if (copies[i].State != TKeptCopyState::Interrupted) {
            listed.push_back(std::move(copies[i]));
            continue;
        }
        std::vector<TKeptCopy> saves;
        saves.push_back(std::move(copies[i]));
        for (size_t j = i + 1; j < copies.size(); ++j) {
            if (taken[j] || copies[j].State != TKeptCopyState::Interrupted ||
                std::none_of(saves.begin(), saves.end(), [&](const TKeptCopy& s) { return samePage(s, copies[j]); }))
                continue;
            taken[j] = true;
            saves.push_back(std::move(copies[j]));
        }
        const size_t offered = lastWholeCopy(saves);
        TKeptCopy chosen = std::move(saves[offered]);
        for (size_t j = 0; j < saves.size(); ++j)
            if (j != offered)
                chosen.Alongside.push_back(std::move(saves[j]));
        listed.push_back(std::move(chosen));
    }
    return listed;
}

// The identity of the file name reaches (links followed), not known when
// it is no regular file.
TFileIdentity identityOfName(const std::string& name) {
    const int fd = OpenRegularFile(name, O_RDONLY);
    if (fd < 0) {
        // A page the user may not read is still told by its inode.
        struct stat info {};
        if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return {};
        return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), 0};
    }
    const TFileIdentity identity = IdentityOfOpenFile(fd);
    ::close(fd);
    return identity;
}

} // namespace

TFileIdentity IdentityOfOpenFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return {};
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), FileGeneration(fd)};
}

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
    // A name in use by an earlier save, ended or not, is never taken over.
    if (exists(kept.Record) || exists(kept.Copy) || exists(incompleteCopyOf(kept))) {
        errno = EEXIST;
        return false;
    }
    return writeDurably(unfinishedRecordOf(kept), kept.Record, recordText(kept));
}

bool UpdateKeptCopyRecord(const TKeptCopy& kept) {
    if (kept.Saver.BootId.find('\n') != std::string::npos || kept.Record.empty()) {
        errno = EINVAL;
        return false;
    }
    // An unfinished record beside a whole one is what an update of it
    // killed half way left, cut short too, unless it names a process that
    // may still be at that update.
    const std::string unfinished = unfinishedRecordOf(kept);
    TKeptCopy other;
    if (exists(unfinished) && !(readRecord(unfinished, kUnfinishedRecordEnding, other) &&
                                ProcessMayStillRun(other.Saver, modifiedAt(unfinished))))
        ::unlink(unfinished.c_str());
    return writeDurably(unfinished, kept.Record, recordText(kept), true);
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
    SimulatedCrashStep();
    if (!kept.Record.empty())
        ::unlink(kept.Record.c_str());
    for (const TKeptCopy& other : kept.Alongside)
        DropKeptCopy(other);
}

std::vector<TKeptCopy> FindKeptCopies(const std::string& page) {
    const std::string pageName = page.empty() ? std::string() : KeptCopyPageName(page);
    const TFileIdentity pageFile = page.empty() ? TFileIdentity() : identityOfName(pageName);
    std::vector<std::pair<int64_t, TKeptCopy>> found;
    for (const std::string& record : cacheFilesEnding(UserCacheFolder(), kRecordEnding)) {
        TKeptCopy kept;
        if (!readRecord(record, kRecordEnding, kept))
            continue;
        if (!pageName.empty()) {
            if (kept.Page != pageName && !kept.PageFile.Same(pageFile))
                continue;
            kept.Target = pageName;
        }
        const int64_t written = modifiedAt(record);
        if (ProcessMayStillRun(kept.Saver, written))
            kept.State = TKeptCopyState::Saving;
        else
            kept.State = wholeCopy(kept) ? classify(kept) : TKeptCopyState::Abandoned;
        found.emplace_back(written, std::move(kept));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.Record < b.second.Record;
    });
    std::vector<TKeptCopy> copies;
    for (auto& [when, kept] : found)
        copies.push_back(std::move(kept));
    return oneSavePerPage(std::move(copies));
}

std::vector<TKeptCopy> FindInterruptedSaves(const std::string& page) {
    std::vector<TKeptCopy> copies = FindKeptCopies(page);
    std::erase_if(copies, [](const TKeptCopy& kept) { return kept.State != TKeptCopyState::Interrupted; });
    return copies;
}

bool SettleKeptCopiesOf(const std::string& page, TKeptCopy& cut) {
    bool found = false;
    bool dropped = false;
    for (TKeptCopy& kept : FindKeptCopies(page)) {
        if (kept.State == TKeptCopyState::Whole) {
            DropKeptCopy(kept);
            dropped = true;
        } else if (kept.State == TKeptCopyState::Interrupted && !found) {
            cut = std::move(kept);
            found = true;
        }
    }
    if (dropped)
        SyncFolder(UserCacheFolder());
    return found;
}

std::vector<TKeptCopy> RemoveAbandonedCopies() {
    std::vector<TKeptCopy> copies = FindKeptCopies();
    bool removed = false;
    std::erase_if(copies, [&](const TKeptCopy& kept) {
        if (kept.State == TKeptCopyState::Whole) {
            // The page holds the save's end or its beginning: nothing to give back.
            DropKeptCopy(kept);
            removed = true;
            return true;
        }
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
    for (const std::string& unfinished : cacheFilesEnding(folder, kUnfinishedRecordEnding))
        if (unfinishedRecordIsOver(unfinished))
            removed |= ::unlink(unfinished.c_str()) == 0;
    // Most starts find nothing to remove and leave the disk alone.
    if (removed)
        SyncFolder(folder);
    return copies;
}

void RestoreKeptCopy(const TKeptCopy& kept) {
    std::string bytes;
    if (!ReadWholeFile(kept.Copy, bytes))
        throw EFOpenError(kept.Copy, std::strerror(errno));
    TContentsDigest digest = DigestOf(bytes);
    if (bytes.size() != kept.Size || (!kept.CopySum.empty() && !digest.Matches(kept.CopyDigest())))
        throw EFOpenError(kept.Copy, "The kept copy is not whole");
    TKeptCopy restoring = kept;
    RewriteUnderKeptCopy(kept.PageNow(), restoring, bytes, digest);
}

void ForgetKeptCopy(const TKeptCopy& kept) {
    ::unlink(kept.Record.c_str());
    for (const TKeptCopy& other : kept.Alongside)
        ::unlink(other.Record.c_str());
    SyncFolder(FolderOfPath(kept.Record));
}
