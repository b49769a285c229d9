#pragma once
// Deleting to the trash, after the freedesktop trash layout: the item is
// moved into "files" of the trash of its own volume and a record in "info"
// says where it came from, so that any trash viewer can put it back.  The
// home trash ($XDG_DATA_HOME/Trash, its missing folders made for the owner
// alone) serves items on its volume; an item on another volume goes to
// "$topdir/.Trash/$uid" when an administrator made that folder, else to
// "$topdir/.Trash-$uid".

#include "platform/shellns/ShellResult.h"

#include <string>
#include <string_view>

// Moves a file, link or folder (links are not followed) to the trash of
// its volume.  Succeeds only when the item has left its place and lies in
// the trash's "files" folder beside its record; trashedPath gets where it
// went.  Names of any length and of any bytes are taken: the name in the
// trash is shortened so that its record's name fits too, and the record's
// Path escapes every byte outside the unreserved set, a line break among
// them.
HRESULT MoveToTrash(std::string_view path, std::string* trashedPath = nullptr);

// The record of an item moved to the trash ("[Trash Info]", Path and
// DeletionDate lines) for an absolute path.
std::string TrashInfoRecord(std::string_view path, std::string_view deletionDate);
