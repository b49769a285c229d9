#pragma once
// Copies of a file's old contents kept in the user's cache folder while the
// file is rewritten in place (see SafeFile.h), each with a small record
// beside it that names the file it belongs to (by name and by identity),
// the process that saved, and what the file will hold once the save is
// complete (its length and checksum).
//
// While the rewrite runs, the file itself may be cut short: the copy is the
// only whole version.  A save that completes drops both; a save cut short by
// a crash, a kill or a power loss leaves them, so that the next run can
// offer the copy back.  The record is made durable first, then the copy,
// written under a name that marks it incomplete and renamed only once it is
// on disk, and only then does the rewrite start: a record whose copy is not
// whole stands for a save that never touched its file.  A file found to
// hold either the finished save or the copy's bytes is whole, and its
// record and copy go without a word.
//
// A record's copy holds the page's last whole contents until the page is
// whole again: a later save of a page that is still cut short, and the
// restore of the copy, rewrite the page in place under that same record
// (SafeFile.h), and never keep the cut page as a copy of its own.

#include "platform/base/ContentsDigest.h"
#include "platform/base/ProcessIdentity.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a record stands for now.
enum class TKeptCopyState {
    Interrupted, // the save is over, its copy whole, the page neither the copy nor the finished save
    Saving,      // the saving process may still be at it
    Abandoned,   // the save is over and its copy never became whole
    Whole,       // the save is over and the page holds the finished save or the copy's bytes
};

// Which file a page is, whatever name reaches it (another hard link, a bind
// mount): its device and inode, and the inode's generation (0 where the
// file system tells none).  All 0 when not known.
struct TFileIdentity {
    uint64_t Device = 0;
    uint64_t Inode = 0;
    uint64_t Generation = 0;

    bool Known() const { return Inode != 0; }
    // Both known and the same file (generations compared where both tell one).
    bool Same(const TFileIdentity& other) const {
        return Known() && other.Known() && Device == other.Device && Inode == other.Inode &&
               (Generation == 0 || other.Generation == 0 || Generation == other.Generation);
    }
};

// The identity of the file an open descriptor holds.
TFileIdentity IdentityOfOpenFile(int fd);

struct TKeptCopy {
    std::string Page;   // the file the copy belongs to (absolute, links resolved)
    std::string Copy;   // the kept copy of its old contents
    std::string Record; // the record naming Page
    uint64_t Size = 0;  // the bytes of the copy
    std::string CopySum; // their checksum (ContentsDigest.h); empty in records of earlier versions
    // What the page holds once the rewrite is complete; not known (no Sum)
    // in records of earlier versions.
    TContentsDigest Finished;
    TFileIdentity PageFile; // the page's identity; not known in records of earlier versions
    TProcessIdentity Saver; // the process whose save wrote them
    TKeptCopyState State = TKeptCopyState::Interrupted;

    // Found, not recorded: the name the page is reached by now (Page, or the
    // other name of the same file it was looked up by) and how many bytes
    // it holds (-1 when it is no file that can be read).
    std::string Target;
    int64_t PageSize = -1;
    // Other records of interrupted saves of the same page, whose copies are
    // not its last whole contents (that is this one's): one page, one
    // question.  They go with this record.
    std::vector<TKeptCopy> Alongside;

    TContentsDigest CopyDigest() const { return {Size, CopySum}; }
    const std::string& PageNow() const { return Target.empty() ? Page : Target; }
};

// The file name a page is known by in records: absolute, links resolved.
std::string KeptCopyPageName(const std::string& page);

// Writes the record of a copy (its name follows the copy's, which ends in
// ".orig") and makes it durable.  Returns false, with errno set, when it
// can not; EEXIST when a record, copy or incomplete copy of that name is
// there already.
bool RecordKeptCopy(TKeptCopy& kept);
// Writes kept's record anew (the save that now goes on under it, its
// saver and finished contents) and makes it durable; the record stands as
// it was, or as it is now, whatever stops this.  False (errno set) when it
// can not.
bool UpdateKeptCopyRecord(const TKeptCopy& kept);
// Keeps bytes as kept's copy: the record (RecordKeptCopy), then the bytes
// under the copy's incomplete name, synced, renamed to the copy's name and
// the folder synced.  Returns false, with errno set and nothing left
// behind, when it can not.
bool KeepCopy(TKeptCopy& kept, std::string_view bytes);
// Removes a copy (whole or not) and then its record, so that a copy is
// never left without the record that tells what it is; those Alongside
// too.
void DropKeptCopy(const TKeptCopy& kept);

// Every record in the cache folder (only page's, when one is given:
// those naming it and those naming another name of the same file), with
// what it stands for now.  Oldest first; of several interrupted saves of
// one page only the one whose copy is its last whole contents is listed,
// with the others Alongside.  Only regular files there are read.
std::vector<TKeptCopy> FindKeptCopies(const std::string& page = {});
// The copies of saves that were cut short: those records whose process has
// ended (or is this one, whose save failed without putting the old contents
// back), whose copy is whole and whose page is neither.  With a page, only
// that page's.
std::vector<TKeptCopy> FindInterruptedSaves(const std::string& page = {});
// For a save about to rewrite page in place: drops the records of the page
// found whole, and returns in cut the interrupted save of the page, whose
// copy then stays its last whole contents; false when there is none.
bool SettleKeptCopiesOf(const std::string& page, TKeptCopy& cut);
// Removes what saves that are over left behind and nobody needs: records
// whose copy never became whole with their incomplete copies, records and
// copies of pages found whole, and records never finished.  A copy that
// was whole once is left to the user while its page is not whole.
// Returns the records it leaves, as FindKeptCopies lists them, so that a
// start reads the cache folder once.
std::vector<TKeptCopy> RemoveAbandonedCopies();

// Writes the copy's bytes back over its page (PageNow), in place under the
// copy's own record, which stays until the page is whole and on disk (see
// RewriteUnderKeptCopy in SafeFile.h), and then drops the copy.  Raises
// EFOpenError when the copy can not be read whole (or is not the bytes
// kept), EFCreateError when the page can not be written; the copy then
// stays.
void RestoreKeptCopy(const TKeptCopy& kept);
// Forgets that the copy belongs to an interrupted save: the record goes, the
// copy stays where it is for the user to take (those Alongside too).
void ForgetKeptCopy(const TKeptCopy& kept);
