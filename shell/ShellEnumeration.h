#pragma once
// Listing a folder and comparing what a control shows with what the folder
// holds now: the core of the tree's and the list's refresh, which change
// only the nodes and rows that differ.

#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellFolder.h"

#include <memory>
#include <vector>

// The folder's items (relative lists) with the enumeration flags.  The
// answer is S_OK when the enumeration ended normally, the enumeration's
// failure otherwise (items holds what came before it).
HRESULT EnumerateFolder(TShellFolder& folder, unsigned flags, std::vector<TIdListPtr>& items);

struct TPTEnumerationDiff {
    // Indexes into the items shown that the folder no longer holds, in
    // ascending order.
    std::vector<int> Gone;
    // The folder's items that are not shown, in the folder's order.
    std::vector<TIdListPtr> Added;
};
// shown: the relative lists the control shows; present: the folder's items
// now (taken over).  Two items are the same when the folder's comparison
// (by name, compareFolder not null) answers 0, or, without a folder, when
// their bytes are the same.  Costs one pass over each side (and a sort of
// the shown items when a folder compares).
TPTEnumerationDiff DiffEnumeration(const std::shared_ptr<TShellFolder>& compareFolder,
                                   const std::vector<PCItemIDList>& shown, std::vector<TIdListPtr> present);
