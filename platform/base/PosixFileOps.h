#pragma once
// The few POSIX file steps the platform's careful writers share (the safe
// replace, the kept copies of interrupted saves, the files the program
// names itself): each keeps errno for the caller's message.

#include <string>
#include <string_view>

// Writes all of data to fd, going on after interrupted writes; false (errno
// set) when any of it could not be written.
bool WriteAllToFd(int fd, std::string_view data);
// Reads the whole of a file (not through a symbolic link at its last
// name); false (errno set) when it could not be read to its end.
bool ReadWholeFile(const std::string& name, std::string& bytes);
// Flushes a folder's entries to disk, so a name made, renamed or removed in
// it survives a power loss; false (errno set) when that failed.
bool SyncFolder(const std::string& folder);
// The folder part of a path ("." for a bare name, "/" for the root's).
std::string FolderOfPath(const std::string& path);
// The last part of a path (the whole of a bare name).
std::string BaseNameOfPath(const std::string& path);
