#pragma once
// Copies of a file's old contents kept in the user's cache folder while the
// file is rewritten in place (see SafeFile.h), each with a small record
// beside it that names the file it belongs to and the process that saved.
//
// While the rewrite runs, the file itself may be cut short: the copy is the
// only whole version.  A save that completes drops both; a save cut short by
// a crash, a kill or a power loss leaves them, so that the next run can
// offer the copy back.  The copy is made durable before its record, and the
// record before the rewrite starts, so a record always stands for a whole
// copy.

#include <cstdint>
#include <string>
#include <vector>

struct TKeptCopy {
    std::string Page;   // the file the copy belongs to (absolute, links resolved)
    std::string Copy;   // the kept copy of its old contents
    std::string Record; // the record naming Page
    uint64_t Size = 0;  // the bytes of the copy
    long Pid = 0;       // the process whose save wrote them
};

// The file name a page is known by in records: absolute, links resolved.
std::string KeptCopyPageName(const std::string& page);

// Writes the record of a copy just kept (its name follows the copy's) and
// makes it durable.  Returns false, with errno set, when it can not.
bool RecordKeptCopy(TKeptCopy& kept);
// Removes a copy and its record: the record first, so that no record is
// ever left naming a copy that is gone.
void DropKeptCopy(const TKeptCopy& kept);

// The copies of saves that were cut short: a record in the cache folder
// whose copy is whole and whose process no longer runs (or is this one, whose
// save failed without putting the old contents back).  With a page, only
// that page's.  Oldest first.
std::vector<TKeptCopy> FindInterruptedSaves(const std::string& page = {});

// Writes the copy's bytes back over its page (safely, see SafeFile.h) and
// then drops the copy.  Raises EFOpenError when the copy can not be read
// whole, EFCreateError when the page can not be written; the copy then stays.
void RestoreKeptCopy(const TKeptCopy& kept);
// Forgets that the copy belongs to an interrupted save: the record goes, the
// copy stays where it is for the user to take.
void ForgetKeptCopy(const TKeptCopy& kept);
