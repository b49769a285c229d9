#pragma once
// Type names and icons of items, from the desktop's MIME database and icon
// theme.  Types are told by the file name alone, so listing a folder reads
// no file contents.  Icons are kept in two process-wide image lists (16 and
// 32 pixels square), one entry per icon name, shared by every control:
// callers never free them.

#include <string>
#include <string_view>

class TImageList;

// Icons of the namespace's own items.
enum class TStandardIcon { Folder, FolderOpen, Home, Computer, Drive, RemoteDrive, RemovableDrive, Desktop, File };

// "HTML document", "Folder", ...: the type's description; for a name the
// database does not know, the extension in capitals and " File" ("XYZ
// File"), or "File" without an extension.
std::string TypeNameOf(std::string_view fileName, bool isFolder);
// The index of the icon for a file name in the system image lists.
int IconIndexOf(std::string_view fileName, bool isFolder, bool open = false);
int StandardIconIndex(TStandardIcon icon);
// The lists (false: 16 x 16, true: 32 x 32).  Indices are the same in both.
TImageList& SystemImageList(bool large);
// The overlay images: 1 shared item, 2 link.  Their indices in the lists.
int OverlayImageIndex(int overlay);
