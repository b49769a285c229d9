#pragma once
// Replacing a file's contents without ever leaving it half written.
//
// The new contents go to a temporary file in the same folder, which takes
// the target's permission bits, owner and group before any data is written,
// is flushed to disk and then renamed over the target, so that a full disk,
// a refused write or a crash leaves either the old file or the new one.
// Temporary files that ended processes of this user left beside the target
// are removed.  A symbolic link is followed, so the link stays a link.

#include "platform/base/ContentsDigest.h"

#include <string>
#include <string_view>

struct TKeptCopy;

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
// record for the next run; a file still cut short by such a save keeps no
// copy of itself, the earlier copy standing for it until this save is
// complete.  With createFolders, missing folders of the path
// are created.
void WriteFileReplacing(const std::string& fileName, std::string_view data, bool createFolders = false);

// Writes data (whose digest is given) over fileName in place, with kept,
// the record of an interrupted save of that file whose copy is whole,
// standing for the file's last whole contents meanwhile instead of a new
// copy: the record is first written anew, on disk, to name this process and
// what the file will hold, then the file is rewritten, its length checked
// and synced, and only then are the copy and the record dropped.  A file
// that is gone is made anew (there is nothing of it to keep).  Raises
// EFCreateError when the file can not be written; the record and the copy
// then stay.
void RewriteUnderKeptCopy(const std::string& fileName, TKeptCopy& kept, std::string_view data,
                          const TContentsDigest& digest);
