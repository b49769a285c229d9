#pragma once
// Names made by the program (a free name for a paste, a name in the trash)
// must fit the file system's limit on one name, however long the name they
// start from: the stem is shortened, the added part and the extension kept.

#include <string>
#include <string_view>

// The longest name, in bytes, that folder may hold (255 where it cannot be
// asked).
size_t NameLengthLimit(std::string_view folder);

// stem + suffix + extension when that fits limit bytes; else the stem is
// cut so that it does, at a character boundary when the stem is UTF-8.
// An extension that leaves no room for a stem is cut along with it.  The
// result is never empty while limit > suffix.size().
std::string FitName(std::string_view stem, std::string_view suffix, std::string_view extension, size_t limit);

// Splits a name into its stem and extension (".htm"); a folder's name, a
// name without a dot and a name whose only dot leads it have no extension.
void SplitExtension(std::string_view name, bool isFolder, std::string_view& stem, std::string_view& extension);
