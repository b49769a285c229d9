#pragma once
// Replacing a file's contents without ever leaving it half written.
//
// The new contents go to a temporary file in the same folder, which takes
// the target's permission bits, owner and group before any data is written,
// is flushed to disk and then renamed over the target, so that a full disk,
// a refused write or a crash leaves either the old file or the new one.
// Temporary files that ended processes of this user left beside the target
// are removed.  A symbolic link is followed, so the link stays a link.

#include <string>
#include <string_view>

// Raises EFCreateError (with the system's reason) when the file can not be
// written: its folder is missing or is not a folder, the file is read-only
// (no owner write bit, honoured even for the superuser), or writing fails.
// A folder that refuses new files, a target with more than one hard link,
// or one whose owner or group a new file could not be given, leads to
// rewriting the target in place (so its links, owner and group stay), with
// a copy of its old contents kept in the user's cache folder meanwhile and
// recorded (KeptCopies.h): a rewrite that fails (a full disk, a file-size
// limit) puts the old contents back, and only when even that fails does the
// error name the copy; a rewrite cut short by a crash leaves the copy on
// record for the next run.  With createFolders, missing folders of the path
// are created.
void WriteFileReplacing(const std::string& fileName, std::string_view data, bool createFolders = false);
