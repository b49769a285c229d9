#pragma once
// Where the namespace's items are: resolving an absolute item list to a
// place (the desktop, Computer, or a path of the file system) and a path
// back to the list that names it.  Shared by the folders, the verbs and the
// drop targets.

#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellResult.h"

#include <string>
#include <string_view>

struct TItemPlace {
    enum TKind { Desktop, Computer, FileSystem } Kind = Desktop;
    std::string Path; // for a file-system place: the absolute path bytes
};

// The place of an absolute list; false for a list that names nothing of
// ours (an unknown item, a name that is no file name).
bool PlaceOfIdList(PCItemIDList absolute, TItemPlace& place);
// The place of an item of a folder at a place.
bool PlaceOfChild(const TItemPlace& folder, const TItemPayload& item, TItemPlace& child);

// A path made absolute and clean: no empty, "." or ".." parts (".." taken
// away lexically), no trailing "/".  False for a relative path.
bool NormalisePath(std::string_view path, std::string& result);
// The absolute list of an existing path: Computer, its mount, then one
// item per name below the mount point.
HRESULT IdListOfPath(std::string_view path, PItemIDList* absolute);
// One item per name of a relative path below an existing folder (the
// items carry the folder bit as the file system tells it).
HRESULT ItemsBelowFolder(std::string_view folder, std::string_view relative, std::string& items);
// The item bytes for an entry of a folder, told whether it is a folder.
std::string FileItem(std::string_view name, bool isFolder);
