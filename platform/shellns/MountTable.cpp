#include "platform/shellns/MountTable.h"

#include "platform/shellns/FileNames.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <sys/stat.h>

namespace {

// File systems that hold no user files.
constexpr std::array kPseudoFileSystems = {
    "autofs",     "binfmt_misc", "bpf",        "cgroup",   "cgroup2", "configfs", "debugfs",
    "devpts",     "devtmpfs",    "efivarfs",   "fusectl",  "hugetlbfs", "mqueue", "nsfs",
    "proc",       "pstore",      "rpc_pipefs", "securityfs", "selinuxfs", "squashfs", "sysfs",
    "tracefs",    "fuse.gvfsd-fuse", "fuse.portal", "fuse.snapfuse", "overlay", "tmpfs", "ramfs",
    "devfs",      "shm",
};
constexpr std::array kRemoteFileSystems = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "9p",
    "fuse.sshfs", "sshfs", "davfs", "fuse.davfs", "fuse.rclone",
};

template <size_t N> bool isOneOf(std::string_view value, const std::array<const char*, N>& list) {
    return std::any_of(list.begin(), list.end(), [&](const char* item) { return value == item; });
}

bool isUnderMediaFolder(std::string_view mountPoint) {
    return PathIsWithin(mountPoint, "/media") || PathIsWithin(mountPoint, "/run/media") ||
           PathIsWithin(mountPoint, "/mnt");
}

// Undoes the octal escapes (\040 for a blank, \011, \012, \134) of a field.
std::string unescapeField(std::string_view field) {
    std::string result;
    result.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4) {
            auto octal = [](char c) { return c >= '0' && c <= '7'; };
            if (octal(field[i + 1]) && octal(field[i + 2]) && octal(field[i + 3])) {
                int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
                if (value > 0 && value < 256) {
                    result.push_back(static_cast<char>(value));
                    i += 3;
                    continue;
                }
            }
        }
        result.push_back(field[i]);
    }
    return result;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        if (end > start)
            fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::optional<TMountEntry> parseLine(std::string_view line) {
    std::vector<std::string_view> fields = splitFields(line);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    auto separator = std::find(fields.begin(), fields.end(), std::string_view("-"));
    if (fields.size() < 6 || separator == fields.end() || fields.end() - separator < 3 ||
        separator - fields.begin() < 6)
        return std::nullopt;
    TMountEntry entry;
    entry.MountPoint = unescapeField(fields[4]);
    entry.FileSystem = unescapeField(separator[1]);
    entry.Source = unescapeField(separator[2]);
    if (!entry.MountPoint.starts_with('/'))
        return std::nullopt;
    // "/data/" is the folder "/data": one spelling, so that a later mount
    // there hides the earlier and the point is found by its plain name.
    while (entry.MountPoint.size() > 1 && entry.MountPoint.back() == '/')
        entry.MountPoint.pop_back();
    const std::string& type = entry.FileSystem;
    bool ramDisk = type == "tmpfs" || type == "ramfs";
    if (entry.MountPoint != "/" && isOneOf(type, kPseudoFileSystems) && !(ramDisk && isUnderMediaFolder(entry.MountPoint)))
        return std::nullopt;
    if (isOneOf(type, kRemoteFileSystems))
        entry.DriveType = DRIVE_REMOTE;
    else if (type == "iso9660" || type == "udf")
        entry.DriveType = DRIVE_CDROM;
    else if (ramDisk)
        entry.DriveType = DRIVE_RAMDISK;
    else if (entry.MountPoint != "/" && isUnderMediaFolder(entry.MountPoint))
        entry.DriveType = DRIVE_REMOVABLE;
    else
        entry.DriveType = DRIVE_FIXED;
    return entry;
}

struct TMountCache {
    std::mutex lock;
    std::string path;
    bool valid = false;
    std::vector<TMountEntry> mounts;
};

TMountCache& cache() {
    static TMountCache instance;
    return instance;
}

} // namespace

std::vector<TMountEntry> ParseMountInfo(std::string_view text) {
    std::vector<TMountEntry> mounts;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (std::optional<TMountEntry> entry = parseLine(text.substr(start, end - start))) {
            // A later mount on the same point hides the earlier one.
            std::erase_if(mounts, [&](const TMountEntry& m) { return m.MountPoint == entry->MountPoint; });
            mounts.push_back(std::move(*entry));
        }
        start = end + 1;
    }
    if (std::none_of(mounts.begin(), mounts.end(), [](const TMountEntry& m) { return m.MountPoint == "/"; }))
        mounts.insert(mounts.begin(), TMountEntry{"/", {}, {}, DRIVE_FIXED});
    return mounts;
}

const std::vector<TMountEntry>& CurrentMounts() {
    TMountCache& c = cache();
    std::lock_guard guard(c.lock);
    if (!c.valid) {
        std::ifstream in(c.path.empty() ? std::string("/proc/self/mountinfo") : c.path, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        c.mounts = ParseMountInfo(text);
        // Files bound over files (a container's /etc/hosts) are no drives.
        std::erase_if(c.mounts, [](const TMountEntry& m) {
            struct stat info;
            return m.MountPoint != "/" && (::stat(m.MountPoint.c_str(), &info) != 0 || !S_ISDIR(info.st_mode));
        });
        c.valid = true;
    }
    return c.mounts;
}

void RevalidateMounts() {
    TMountCache& c = cache();
    std::lock_guard guard(c.lock);
    c.valid = false;
}

void SetMountInfoPath(std::string path) {
    TMountCache& c = cache();
    std::lock_guard guard(c.lock);
    c.path = std::move(path);
    c.valid = false;
}

std::string MountInfoPath() {
    TMountCache& c = cache();
    std::lock_guard guard(c.lock);
    return c.path.empty() ? std::string("/proc/self/mountinfo") : c.path;
}

const TMountEntry& MountOfPath(std::string_view path) {
    const std::vector<TMountEntry>& mounts = CurrentMounts();
    const TMountEntry* best = nullptr;
    for (const TMountEntry& mount : mounts)
        if (PathIsWithin(path, mount.MountPoint) &&
            (best == nullptr || mount.MountPoint.size() > best->MountPoint.size()))
            best = &mount;
    if (best == nullptr) {
        // ParseMountInfo always keeps a root.
        best = &*std::find_if(mounts.begin(), mounts.end(), [](const TMountEntry& m) { return m.MountPoint == "/"; });
    }
    return *best;
}

unsigned DriveTypeOfMountPoint(std::string_view mountPoint) {
    while (mountPoint.size() > 1 && mountPoint.back() == '/')
        mountPoint.remove_suffix(1);
    for (const TMountEntry& mount : CurrentMounts())
        if (mount.MountPoint == mountPoint)
            return mount.DriveType;
    return DRIVE_NO_ROOT_DIR;
}
