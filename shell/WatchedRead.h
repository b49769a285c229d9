#pragma once
// The one order in which the shell controls read a folder they keep
// current: watched first, listed afterwards.  A change another program
// makes while the items are listed and made into rows or nodes then comes
// to the control as a change notice once the read is done, and the
// control looks again; a folder watched only after its read would hide
// those changes until something else changed there.
//
// The models call back through TBeforeFolderRead at that point (the
// folder bound, nothing of it read yet); the control arms its watch in
// the callback.

#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellFolder.h"

#include <functional>
#include <string>
#include <vector>

// Called with the file-system path of a folder about to be read (empty
// for one outside the file system).
using TBeforeFolderRead = std::function<void(const std::string& path)>;

// The folder's items, as EnumerateFolder gives them, listed once
// beforeRead (when set) has been told of the folder.
HRESULT EnumerateWatched(TShellFolder& folder, unsigned flags, std::vector<TIdListPtr>& items,
                         const TBeforeFolderRead& beforeRead);
