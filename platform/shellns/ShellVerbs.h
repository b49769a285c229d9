#pragma once
// The namespace's context menu for items of the file system (open with the
// desktop's program, send to, cut, copy, paste, create link, delete,
// rename, new folder) and the drop targets of its folders and of programs.
// Every verb reports its failures to the user and never lets an exception
// out.

#include "platform/shellns/NamespaceItems.h"
#include "platform/shellns/ShellFolder.h"

#include <memory>
#include <vector>

// Command offsets of the menu (the rename command is offset 18, which the
// controls turn into editing the name in place).
enum : unsigned {
    verbOpen = 0,
    verbCut = 1,
    verbCopy = 2,
    verbPaste = 3,
    verbLink = 4,
    verbDelete = 5,
    verbNewFolder = 6,
    verbRename = 18,
};

// A menu for items at the given places (with their absolute lists).
std::shared_ptr<TContextMenu> MakeItemContextMenu(std::vector<TItemPlace> places, std::vector<TIdListPtr> absolutes);
// The drop target of an item: a folder takes copies, moves and links, a
// program is started with the dropped files; nullptr for anything else.
std::shared_ptr<TDropTarget> MakeItemDropTarget(const TItemPlace& place);

// The effect a drop of these paths into a folder would have with these keys
// (MK_* bits; MK_RBUTTON means "ask at the drop"), limited to allowed.
uint32_t FolderDropEffect(const std::vector<std::string>& paths, const std::string& folder, uint32_t keyState,
                          uint32_t allowed);
// Copies, moves or links paths into a folder; each failure is shown.
// Answers the effect done (DROPEFFECT_NONE when nothing was).
uint32_t TransferIntoFolder(const std::vector<std::string>& paths, const std::string& folder, uint32_t effect);
