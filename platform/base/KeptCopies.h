#pragma once
// Copies of a file's old contents kept in the user's cache folder while the
// file is rewritten in place (see SafeFile.h), each with a small record
// beside it that names the file it belongs to and the process that saved.
//
// While the rewrite runs, the file itself may be cut short: the copy is the
// only whole version.  A save that completes drops both; a save cut short by
// a crash, a kill or a power loss leaves them, so that the next run can
// offer the copy back.  The record is made durable first, then the copy,
// written under a name that marks it incomplete and renamed only once it is
// on disk, and only then does the rewrite start: a record whose copy is not
// whole stands for a save that never touched its file.

#include "platform/base/ProcessIdentity.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a record stands for now.
enum class TKeptCopyState {
    Interrupted, // the save is over and its copy whole: the file may be cut
    Saving,      // the saving process may still be at it
    Abandoned,   // the save is over and its copy never became whole
};

struct TKeptCopy {
    std::string Page;   // the file the copy belongs to (absolute, links resolved)
    std::string Copy;   // the kept copy of its old contents
    std::string Record; // the record naming Page
    uint64_t Size = 0;  // the bytes of the copy
    TProcessIdentity Saver; // the process whose save wrote them
    TKeptCopyState State = TKeptCopyState::Interrupted;
};

// The file name a page is known by in records: absolute, links resolved.
std::string KeptCopyPageName(const std::string& page);

// Writes the record of a copy (its name follows the copy's, which ends in
// ".orig") and makes it durable.  Returns false, with errno set, when it
// can not; EEXIST when a record, copy or incomplete copy of that name is
// there already.
bool RecordKeptCopy(TKeptCopy& kept);
// Keeps bytes as kept's copy: the record (RecordKeptCopy), then the bytes
// under the copy's incomplete name, synced, renamed to the copy's name and
// the folder synced.  Returns false, with errno set and nothing left
// behind, when it can not.
bool KeepCopy(TKeptCopy& kept, std::string_view bytes);
// Removes a copy (whole or not) and then its record, so that a copy is
// never left without the record that tells what it is.
void DropKeptCopy(const TKeptCopy& kept);

// Every record in the cache folder (only page's, when one is given), with
// what it stands for now.  Oldest first.
std::vector<TKeptCopy> FindKeptCopies(const std::string& page = {});
// The copies of saves that were cut short: those records whose process has
// ended (or is this one, whose save failed without putting the old contents
// back) and whose copy is whole.  With a page, only that page's.
std::vector<TKeptCopy> FindInterruptedSaves(const std::string& page = {});
// Removes what saves that are over left behind and nobody needs: records
// whose copy never became whole with their incomplete copies, and records
// never finished.  A copy that was whole once is left to the user.
// Returns the records it leaves, as FindKeptCopies lists them, so that a
// start reads the cache folder once.
std::vector<TKeptCopy> RemoveAbandonedCopies();

// Writes the copy's bytes back over its page (safely, see SafeFile.h) and
// then drops the copy.  Raises EFOpenError when the copy can not be read
// whole, EFCreateError when the page can not be written; the copy then stays.
void RestoreKeptCopy(const TKeptCopy& kept);
// Forgets that the copy belongs to an interrupted save: the record goes, the
// copy stays where it is for the user to take.
void ForgetKeptCopy(const TKeptCopy& kept);
