#include "platform/base/KeptCopies.h"

#include "platform/base/Exceptions.h"
#include "platform/base/PosixFileOps.h"
#include "platform/base/SafeFile.h"
#include "platform/base/UserFolders.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The record's first line: what the file is, and the layout that follows
// (the saving process, the copy's size, then the page's name to the end, so
// that any byte a name may hold, a line break too, reads back).
constexpr std::string_view kRecordHeader = "korvane-ondrill kept copy 1\n";
constexpr std::string_view kCopyEnding = ".orig";
constexpr std::string_view kRecordEnding = ".page";
// The record is written under this name first and renamed when whole.
constexpr std::string_view kUnfinishedRecordEnding = ".pnew";

bool endsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

// name with its ending (of the same length as the new one) replaced: a
// copy's name fits the file system's limit, and so do its record's.
std::string withEnding(const std::string& name, std::string_view ending, std::string_view replacement) {
    return name.substr(0, name.size() - ending.size()) + std::string(replacement);
}

bool readWhole(const std::string& name, std::string& bytes) {
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bytes.clear();
    char block[65536];
    for (;;) {
        ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return got == 0;
        }
        bytes.append(block, static_cast<size_t>(got));
    }
}

bool parseNumber(std::string_view text, uint64_t& number) {
    if (text.empty() || text.size() > 19)
        return false;
    number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

// Reads a record; false when the file is not one of ours.
bool readRecord(const std::string& record, TKeptCopy& kept) {
    std::string text;
    if (!readWhole(record, text) || text.compare(0, kRecordHeader.size(), kRecordHeader) != 0)
        return false;
    std::string_view rest = std::string_view(text).substr(kRecordHeader.size());
    uint64_t fields[2] = {};
    for (uint64_t& field : fields) {
        const size_t end = rest.find('\n');
        if (end == std::string_view::npos || !parseNumber(rest.substr(0, end), field))
            return false;
        rest.remove_prefix(end + 1);
    }
    if (rest.empty() || rest[0] != '/')
        return false;
    kept.Pid = static_cast<long>(fields[0]);
    kept.Size = fields[1];
    kept.Page = std::string(rest);
    kept.Record = record;
    kept.Copy = withEnding(record, kRecordEnding, kCopyEnding);
    return true;
}

// Whether the process that wrote a record may still be saving.  This
// process is not: its own record outlives only a save that failed.
bool stillSaving(long pid) {
    if (pid <= 0 || pid == static_cast<long>(::getpid()))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool wholeCopy(const TKeptCopy& kept) {
    struct stat info {};
    return ::lstat(kept.Copy.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<uint64_t>(info.st_size) == kept.Size;
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
    if (!endsWith(kept.Copy, kCopyEnding)) {
        errno = EINVAL;
        return false;
    }
    kept.Record = withEnding(kept.Copy, kCopyEnding, kRecordEnding);
    const std::string unfinished = withEnding(kept.Copy, kCopyEnding, kUnfinishedRecordEnding);
    std::string text(kRecordHeader);
    text += std::to_string(kept.Pid) + "\n" + std::to_string(kept.Size) + "\n" + kept.Page;

    int fd = ::open(unfinished.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAllToFd(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(unfinished.c_str(), kept.Record.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    // The rename is durable only once the folder is.
    if (ok && !SyncFolder(FolderOfPath(kept.Record))) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(unfinished.c_str());
        ::unlink(kept.Record.c_str());
        errno = error;
    }
    return ok;
}

void DropKeptCopy(const TKeptCopy& kept) {
    if (!kept.Record.empty())
        ::unlink(kept.Record.c_str());
    ::unlink(kept.Copy.c_str());
}

std::vector<TKeptCopy> FindInterruptedSaves(const std::string& page) {
    const std::string folder = UserCacheFolder();
    const std::string pageName = page.empty() ? std::string() : KeptCopyPageName(page);
    std::vector<std::pair<int64_t, TKeptCopy>> found;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return {};
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!endsWith(name, kRecordEnding))
            continue;
        TKeptCopy kept;
        if (!readRecord(folder + "/" + name, kept) || (!pageName.empty() && kept.Page != pageName) ||
            stillSaving(kept.Pid) || !wholeCopy(kept))
            continue;
        struct stat info {};
        const int64_t when = ::stat(kept.Record.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_mtime) : 0;
        found.emplace_back(when, std::move(kept));
    }
    ::closedir(listing);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.Record < b.second.Record;
    });
    std::vector<TKeptCopy> copies;
    for (auto& [when, kept] : found)
        copies.push_back(std::move(kept));
    return copies;
}

void RestoreKeptCopy(const TKeptCopy& kept) {
    std::string bytes;
    if (!readWhole(kept.Copy, bytes))
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
