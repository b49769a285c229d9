#pragma once
// The mounts a user browses: read from /proc/self/mountinfo, keeping the
// mounts of real file systems (disks, network shares, removable media, the
// root) and leaving out the kernel's pseudo file systems.  A mount point
// mounted twice shows the later mount only.

#include <string>
#include <string_view>
#include <vector>

// Kinds of drive, by the documented numbers.
enum : unsigned {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

struct TMountEntry {
    std::string MountPoint; // absolute path bytes
    std::string FileSystem; // type, "ext4", "nfs4", ...
    std::string Source;     // device or share
    unsigned DriveType = DRIVE_FIXED;

    bool operator==(const TMountEntry&) const = default;
};

// The browsable mounts described by the text of a mountinfo file, in the
// file's order.  The root "/" is always there (as a fixed drive) even when
// the text lacks it.
std::vector<TMountEntry> ParseMountInfo(std::string_view text);

// The browsable mounts now (only mount points that are folders).  The table is read afresh at most once per
// revalidation (see RevalidateMounts) so that walking many paths costs one
// read.
const std::vector<TMountEntry>& CurrentMounts();
// Drops the cached table; the next CurrentMounts reads it again.
void RevalidateMounts();
// Reads mountinfo from another file (tests); empty restores
// /proc/self/mountinfo.  Revalidates.
void SetMountInfoPath(std::string path);
// The file read.
std::string MountInfoPath();

// The mount whose mount point holds path (the deepest one); the root's
// when none does.
const TMountEntry& MountOfPath(std::string_view path);
// The kind of drive a mount point (or "?" root path) is; DRIVE_NO_ROOT_DIR
// when it is no mount point.
unsigned DriveTypeOfMountPoint(std::string_view mountPoint);
