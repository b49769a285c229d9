#pragma once
// Item identifier lists: how the shell namespace names an item.  A list is
// a chain of items, each led by its 16-bit little-endian byte count (the
// count includes its own two bytes), ended by a 16-bit zero.  A null list
// and an empty list (the terminator alone) both name the desktop.  Absolute
// lists start at the desktop; relative ones at some folder.
//
// The layout is byte exact and may sit at any address, so counts are read
// byte by byte, never through a 16-bit pointer.  Lists made here come from
// an allocator (the process's shell allocator unless one is given) and are
// freed through the same one.
//
// The items this namespace makes carry, after the count: one kind byte, one
// flags byte and the item's name as raw bytes (a file name exactly as the
// file system has it, NUL never included).

#include "platform/base/Stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct ITEMIDLIST; // never defined: a list is only ever walked as bytes
using PItemIDList = ITEMIDLIST*;
using PCItemIDList = const ITEMIDLIST*;

// The allocator lists are made with.  Alloc answers nullptr when it cannot.
class TMalloc {
public:
    virtual ~TMalloc() = default;
    virtual void* Alloc(size_t size) = 0;
    virtual void Free(void* block) = 0;
};
// The process's shell allocator (malloc and free).
TMalloc& ShellMalloc();
void* ShellAlloc(size_t size);
void ShellFree(void* block);

struct TIdListFree {
    void operator()(ITEMIDLIST* list) const { ShellFree(list); }
};
// An owned list freed with the shell allocator.
using TIdListPtr = std::unique_ptr<ITEMIDLIST, TIdListFree>;

// --- walking ---------------------------------------------------------------
inline const uint8_t* IdListBytes(PCItemIDList list) { return reinterpret_cast<const uint8_t*>(list); }
inline uint16_t ReadItemCount(const uint8_t* at) { return LoadLittleEndian<uint16_t>(at); }
inline void WriteItemCount(uint8_t* at, uint16_t count) { StoreLittleEndian(at, count); }
// The byte count of the first item (0 at the terminator).
inline uint16_t FirstItemSize(PCItemIDList list) { return ReadItemCount(IdListBytes(list)); }
// The list after its first item (the first item must not be the terminator).
inline PCItemIDList NextItem(PCItemIDList list) {
    return reinterpret_cast<PCItemIDList>(IdListBytes(list) + FirstItemSize(list));
}
// True for a null list and for the terminator alone.
inline bool IdListIsEmpty(PCItemIDList list) { return list == nullptr || FirstItemSize(list) == 0; }
// Bytes of the list with its terminator; 0 for a null list.
size_t IdListSize(PCItemIDList list);
// Number of items (0 for a null or empty list).
int IdListItemCount(PCItemIDList list);
// The list's bytes, terminator included (empty for a null list).
std::string_view IdListView(PCItemIDList list);
// The last item (the terminator itself for an empty list; null for null).
PCItemIDList IdListLastItem(PCItemIDList list);

// The size of a list that starts at data and lies wholly within the
// available bytes, terminator included; 0 when the bytes do not hold a
// well-formed list (an item count of 1, or a chain running past the end).
size_t ValidIdListSize(const void* data, size_t available);

// --- making lists ------------------------------------------------------------
// A new list holding the given item bytes (a chain of whole items, no
// terminator) followed by a terminator; nullptr when allocation fails.
// Without an allocator the shell allocator is used.
PItemIDList IdListFromItems(std::string_view items, TMalloc* malloc = nullptr);
// A copy of a list; a null list gives an empty one.
PItemIDList IdListClone(PCItemIDList list, TMalloc* malloc = nullptr);
// The items of first followed by those of second.
PItemIDList IdListCombine(PCItemIDList first, PCItemIDList second, TMalloc* malloc = nullptr);
// A copy of the first count items.
PItemIDList IdListCloneFirst(PCItemIDList list, int count, TMalloc* malloc = nullptr);
// A one-item list holding item index (an empty list when index is past
// the end).
PItemIDList IdListCloneItem(PCItemIDList list, int index, TMalloc* malloc = nullptr);

// --- our items -----------------------------------------------------------------
enum class TItemKind : uint8_t {
    FileSystem = 'F', // an entry of a folder of the file system, by name
    Home = 'H',       // the user's home folder
    Computer = 'C',   // the folder of mounts
    Mount = 'M',      // one mount, named by its mount point's absolute path
};
// Bits of the flags byte.
enum : uint8_t { itemIsFolder = 0x01 };

struct TItemPayload {
    TItemKind Kind = TItemKind::FileSystem;
    uint8_t Flags = 0;
    std::string_view Name; // raw bytes, pointing into the list
};
// The bytes of one item of ours (count included).  Raises std::length_error
// for a name that does not fit a 16-bit count.
std::string MakeItem(TItemKind kind, uint8_t flags, std::string_view name);
// Reads the first item of a list as one of ours; false for the terminator,
// an item too short, or an unknown kind.
bool DecodeItem(PCItemIDList item, TItemPayload& payload);
