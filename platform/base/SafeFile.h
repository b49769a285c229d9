#pragma once
// Replacing a file's contents without ever leaving it half written.
//
// The new contents go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target, so that a full disk, a
// refused write or a crash leaves either the old file or the new one.  The
// target keeps its permission bits (and, where allowed, its owner); a
// symbolic link is followed, so the link stays a link.

#include <string>
#include <string_view>

// Raises EFCreateError (with the system's reason) when the file can not be
// written: its folder is missing or is not a folder, the file is read-only
// (no owner write bit, honoured even for the superuser), or writing fails.
// A folder that refuses new files falls back to rewriting a writable target
// in place, with a copy of its old contents kept in the user's cache folder
// meanwhile: a rewrite that fails (a full disk, a file-size limit) puts the
// old contents back, and only when even that fails does the error name the
// copy.  With createFolders, missing folders of the path are created.
void WriteFileReplacing(const std::string& fileName, std::string_view data, bool createFolders = false);
