#pragma once
// The file work behind the namespace's verbs and drops, on raw path bytes.
// Nothing here ever replaces an existing file: a name that is taken gets a
// free one, a rename onto a taken name is refused, and a folder is never
// copied or moved into itself.  Each call answers with a result code whose
// errno (ShellResult.h) tells the system's reason for a failure.

#include "platform/shellns/ShellResult.h"

#include <string>
#include <string_view>

// name itself when folder holds nothing by that name, else "stem (2).ext",
// "stem (3).ext", ... (a folder's name keeps its dots: "a.b (2)").  The
// stem is shortened when the name would pass the folder's limit on names.
std::string FreeNameIn(std::string_view folder, std::string_view name, bool isFolder);

// Renames within one folder; fails with EEXIST when the new name is taken.
HRESULT RenameNoReplace(std::string_view folder, std::string_view oldName, std::string_view newName);

// Copies a file, link or folder tree into a folder under a free name
// (resultPath gets the new path).  EINVAL when the folder is the source or
// lies inside it.
HRESULT CopyIntoFolder(std::string_view source, std::string_view folder, std::string* resultPath = nullptr);
// Moves into a folder under a free name: a rename on one volume, else a
// copy followed by the removal of the source once the copy is whole.
// Moving an item into the folder it is in does nothing.
HRESULT MoveIntoFolder(std::string_view source, std::string_view folder, std::string* resultPath = nullptr);
// A symbolic link to source in the folder, named after it (or "Link to
// name" in source's own folder), under a free name.
HRESULT LinkIntoFolder(std::string_view source, std::string_view folder, std::string* resultPath = nullptr);
// Removes a file, link or folder tree for good (links are not followed).
HRESULT DeletePermanently(std::string_view path);
// Makes a folder; EEXIST when the name is taken.
HRESULT MakeFolder(std::string_view path);

// True when something (a link counts, even a broken one) is at path.
bool PathExists(std::string_view path);
bool IsFolderPath(std::string_view path); // follows links
