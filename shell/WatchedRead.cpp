#include "shell/WatchedRead.h"

#include "shell/ShellEnumeration.h"

HRESULT EnumerateWatched(TShellFolder& folder, unsigned flags, std::vector<TIdListPtr>& items,
                         const TBeforeFolderRead& beforeRead) {
    if (beforeRead)
        beforeRead(folder.FileSystemPath());
    return EnumerateFolder(folder, flags, items);
}
