#pragma once
// The few POSIX file steps the platform's careful writers share (the safe
// replace, the kept copies of interrupted saves, the files the program
// names itself): each keeps errno for the caller's message.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

struct stat;

// Writes all of data to fd, going on after interrupted writes; false (errno
// set) when any of it could not be written.
bool WriteAllToFd(int fd, std::string_view data);
// Writes all of data to fd, syncs it and checks that the file is then as
// long as what was written through fd (a write cut short without an error,
// as on a full disk of some systems, is caught so: errno EIO).  For a file
// fd holds from its start, emptied or new.  False (errno set) on any fault.
bool WriteAllSynced(int fd, std::string_view data);
// Reads from fd to its end, appending to bytes, going on after interrupted
// reads; false (errno set) when a read failed.
bool ReadWholeFd(int fd, std::string& bytes);
// Opens a file with flags (O_CLOEXEC is added) only when it is a regular
// file, checked on the open descriptor, and fills info when given: a FIFO,
// a device or a folder is closed again (errno EINVAL) without ever waiting
// for a writer.  -1 (errno set) when it can not.
int OpenRegularFile(const std::string& name, int flags, struct stat* info = nullptr);
// Reads the whole of a regular file (not through a symbolic link at its
// last name, see OpenRegularFile); false (errno set) when it could not be
// read to its end, or holds more than longest bytes (EFBIG).
bool ReadWholeFile(const std::string& name, std::string& bytes,
                   size_t longest = std::numeric_limits<size_t>::max());
// The generation the file system gave the open file's inode when it was
// made, which tells a file apart from a later one given the same inode
// number; 0 where the file system tells none.
uint64_t FileGeneration(int fd);
// Flushes a folder's entries to disk, so a name made, renamed or removed in
// it survives a power loss; false (errno set) when that failed.
bool SyncFolder(const std::string& folder);
// The folder part of a path ("." for a bare name, "/" for the root's).
std::string FolderOfPath(const std::string& path);
// The last part of a path (the whole of a bare name).
std::string BaseNameOfPath(const std::string& path);
