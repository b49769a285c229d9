#pragma once
// The byte layouts of the shell's transfer formats, built and read with
// every offset checked: data from other programs is validated against its
// size before anything in it is used.
//
// Item-list array ("Shell IDList Array"): 4-byte item count n, the 4-byte
// offset of the parent folder's absolute list, n 4-byte offsets of the
// items' relative lists, then the lists themselves (all little-endian;
// offsets from the start of the block; a null parent is written as an
// empty list).
//
// Dropped-file list (CF_HDROP): a 20-byte header (the offset of the list,
// 20; a drop point x and y; a non-client flag; a wide-character flag, 0),
// then each name with one NUL after it, then one more NUL.  Names are
// exact: any length, any bytes but NUL.

#include "platform/shellns/ItemIdList.h"

#include <string>
#include <string_view>
#include <vector>

// Builds an item-list array.
std::string BuildIdListArray(PCItemIDList parent, const std::vector<PCItemIDList>& items);

// A checked view of an item-list array: the lists point into the block.
struct TIdListArrayView {
    PCItemIDList Parent = nullptr;
    std::vector<PCItemIDList> Items;
};
// False (and an empty view) when the block is not a well-formed array: an
// offset or a list outside the block, or a count the block cannot hold.
bool ParseIdListArray(std::string_view block, TIdListArrayView& view);

std::string BuildDropFiles(const std::vector<std::string>& names);
// False for a malformed block (short header, an offset outside it, a list
// that does not end inside it).  Wide-character blocks are read as UTF-16
// and turned into UTF-8.
bool ParseDropFiles(std::string_view block, std::vector<std::string>& names);

// Plain text: the bytes and one NUL.
std::string BuildTextBlock(std::string_view text);
// The text of a block, up to its first NUL.
std::string TextOfBlock(std::string_view block);

// text/uri-list: one address per line, CR LF after each; lines starting
// with "#" are comments.
std::string UriListOfPaths(const std::vector<std::string>& paths);
// The paths of the file addresses of a uri-list (others are skipped).
std::vector<std::string> PathsOfUriList(std::string_view uriList);

// The desktop's copied-files format: "copy" or "cut", then one file
// address per line.
std::string CopiedFilesOfPaths(const std::vector<std::string>& paths, bool cut);
bool PathsOfCopiedFiles(std::string_view text, std::vector<std::string>& paths, bool& cut);

// A 4-byte little-endian drop effect ("Preferred DropEffect").
std::string BuildDropEffectBlock(uint32_t effect);
bool ParseDropEffectBlock(std::string_view block, uint32_t& effect);
