#pragma once
// The lowest layer of the shell controls: item identifier lists (PIDLs)
// measured, copied, joined and compared; bound to their folders; turned
// into paths, display names and special-folder numbers; walked as an
// indexed chain (TPTIdListArray); kept in sorted sets for refresh
// differences (TPTPidlList); and a few helpers the controls share.

#include "platform/base/Exceptions.h"
#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellFolder.h"

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

class TImageList;

// --- memory and arithmetic -----------------------------------------------------------
// Size including the terminator; 0 for null.
size_t PidlSize(PCItemIDList pidl);
// A copy (an empty list for null) from malloc, the shell allocator when
// null; null when allocation fails.
PItemIDList CopyPidl(TMalloc* malloc, PCItemIDList pidl);
PItemIDList ConcatPidls(TMalloc* malloc, PCItemIDList first, PCItemIDList second);
// The order of two absolute lists through the desktop: 0 equal (a null and
// an empty list both name the desktop and are equal), else negative or
// positive; ComparePidlsFailed when the desktop cannot compare them.
constexpr int ComparePidlsFailed = 0x7FFFFFFF;
int ComparePidls(PCItemIDList first, PCItemIDList second);
// Byte by byte over the shorter size, then by size.
int ComparePidlBytes(PCItemIDList first, PCItemIDList second);

// --- binding and names -------------------------------------------------------------
// The folder of an absolute list (the desktop for null or empty).
HRESULT BindToFolder(PCItemIDList pidl, std::shared_ptr<TShellFolder>& folder);
HRESULT PathToPidl(std::string_view path, PItemIDList& pidl);
// Empty when the item has no file-system path.
std::string PidlToPath(PCItemIDList pidl);
HRESULT SpecialFolderLocation(int csidl, PItemIDList& pidl);
std::string SpecialFolderPath(int csidl);
// The first special-folder number 0..28 whose location equals pidl; 28
// when none does.
int PidlToCsidl(PCItemIDList pidl);
// Kind 0 normal, 1 in folder, 2 for parsing; a null folder is the desktop.
// Empty on failure.
enum TPTDisplayNameKind { dnNormal = 0, dnInFolder = 1, dnForParsing = 2 };
void GetDisplayName(const std::shared_ptr<TShellFolder>& folder, PCItemIDList pidl, int kind, std::string& name);
// The system image list index of an absolute list's icon (SHGFI_* flags
// such as SHGFI_SMALLICON | SHGFI_OPENICON).
int GetShellIconIndex(PCItemIDList pidl, unsigned flags);
// Size 0 small (16), 1 large (32); the overlay images (1 shared, 2 link)
// are in them.  The lists belong to the process: never freed by callers.
TImageList* GetSystemImageList(int size);

// --- other helpers ---------------------------------------------------------------------
// S unchanged when empty or already ending in ch, else S + ch.
std::string AppendCharIfMissing(const std::string& s, char ch);

// What resolving a link gives.
struct TLinkData {
    std::string TargetPath;
    uint8_t FieldsRead = 0; // 0x3F after a complete read
    std::string Description;
    std::string Arguments;
    std::string IconLocation;
    int IconIndex = 0;
    std::string WorkingDirectory;
    int ShowCommand = 1;
    uint16_t HotKey = 0;
    uint8_t ResolveMode = 0; // set by the caller
    TIdListPtr TargetPidl;   // only when asked for
    bool TargetFound = false;
    struct stat TargetInfo {};
};
// Resolves a symbolic link (relative targets from the link's folder).
// E_INVALIDARG for anything that is no link; the errno of a failing call
// otherwise, the fields read before it kept.
HRESULT ResolveShellLink(std::string_view fileName, TLinkData& link, bool wantPidl);

// Drops the cached mount table, unless suppressed.
void RevalidateDrives();
void SuppressDriveRevalidation();
void AllowDriveRevalidation();

// Replaces %1..%99 by the strings by position ("%%" is one "%"); empty for
// an empty format.  More than 50 strings raise Exception
// "FormatStrPos: Too many substitution strings".
std::string FormatStrPos(std::string_view format, const std::vector<std::string>& args);

// Appends the character at s[index] (all bytes of a UTF-8 sequence, one
// byte of anything else) to out and moves index past it.
void NextMbcsChar(size_t& index, std::string_view s, std::string& out);

// An absolute list walked as a chain of items.  The list is not owned; the
// lists handed out live in a scratch slot until the next query.
class TPTIdListArray {
public:
    explicit TPTIdListArray(PCItemIDList pidl) : pidl_(pidl) {}
    int Count() const;
    // A one-item list of item index.  Raises Exception "TPTIdListArray -
    // index %d out of range" for a null list, a negative index, or an index
    // past the end of a non-empty list; index 0 of an empty list gives an
    // empty list.
    PCItemIDList Item(int index);
    // The first Count - levels items; null when there are fewer.
    PCItemIDList Ancestor(int levels);

private:
    PCItemIDList pidl_;
    TIdListPtr scratch_;
};

// A list of item lists with an object each, sorted or not.  Sorted lists
// keep their order by the folder's comparison (by the bytes without a
// folder) and find by binary search.
class TPTPidlList {
public:
    enum TDuplicates { dupIgnore = 0, dupAccept = 1, dupError = 2 };
    TPTPidlList() = default;
    virtual ~TPTPidlList();
    TPTPidlList(const TPTPidlList&) = delete;
    TPTPidlList& operator=(const TPTPidlList&) = delete;

    int Count() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return static_cast<int>(entries_.capacity()); }
    void SetCapacity(int capacity);
    PItemIDList Pidls(int index) const;
    void* Objects(int index) const;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    std::shared_ptr<TShellFolder> Folder;
    // The allocator that owns the lists (they are freed through it); null:
    // the lists are not freed by this list.
    TMalloc* Malloc = nullptr;
    TDuplicates Duplicates = dupError;

    virtual int Add(PItemIDList pidl) { return AddObject(pidl, nullptr); }
    // Raises Exception "TPTPidlList: Duplicate PIDL" for a duplicate with
    // dupError.
    virtual int AddObject(PItemIDList pidl, void* object);
    // Binary search; index is where the list is or would go.
    bool Find(PCItemIDList pidl, int& index) const;
    int IndexOf(PCItemIDList pidl) const;
    void Delete(int index);
    void Clear();
    // Gives up ownership of the lists (they stay valid).
    void Release() { Malloc = nullptr; }

private:
    int compare(PCItemIDList a, PCItemIDList b) const;
    struct TEntry {
        PItemIDList Pidl;
        void* Object;
    };
    std::vector<TEntry> entries_;
    bool sorted_ = false;
};
