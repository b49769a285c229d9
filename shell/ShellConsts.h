#pragma once
// The shell controls' user-visible texts, kept in one table by number so
// that they can be translated, and the controls' default keys, whose key
// texts come from that table and are turned into shortcuts once.

#include "platform/ui/Keys.h"

#include <array>
#include <string>
#include <string_view>

enum : int {
    SDeleteHint = 65200,
    SBrowseForFolder = 65201,
    SKeySelectAll = 65202,
    SKeyDelete = 65203,
    SKeyCopy = 65204,
    SKeyCut = 65205,
    SKeyPaste = 65206,
    SKeyRefresh = 65207,
    SKeyRename = 65208,
    SDialogFontName = 65209,
    SCancelCaption = 65219,
    SOKCaption = 65220,
    SCreateFolderHint = 65221,
    SCreateFolderLongHint = 65222,
    SSizeKB = 65223,
    SNewFolder = 65224,
    SUnableToCreateFolder = 65225,
    SColumnName = 65226,
    SColumnSize = 65227,
    SColumnType = 65228,
    SColumnModified = 65229,
    SSystemFolder = 65230,
    SDeleteButtonHint = 65231,
};

// The text of a string (empty for an unknown number).
std::string LoadResString(int id);
// Replaces a string's text (a translation).  The default keys are read
// again from the table before the next key is handled.
void SetResourceString(int id, std::string_view text);

struct TPTShellControlDefKeyRec {
    std::string Text;
    TShortCut ShortCut = 0;
};
// The default commands, in table order.
enum TPTDefaultKeyCommand {
    dkSelectAll = 0,
    dkDelete = 1,
    dkCopy = 2,
    dkCut = 3,
    dkPaste = 4,
    dkRefresh = 5,
    dkRename = 6,
};
constexpr int DefaultKeyCount = 7;
// The table; its shortcuts are valid after InitDefaultKeys.
const std::array<TPTShellControlDefKeyRec, DefaultKeyCount>& DefaultKeys();
// On its first call (and the first after a translation) turns each
// entry's text into its shortcut.
void InitDefaultKeys();
// The command a shortcut means, or -1.  An entry whose text names no key
// matches nothing.
int DefaultKeyCommand(TShortCut shortCut);
// The command a key pressed in a shell view means, Shift+Del deleting as
// Del does; -1 for none.
int DefaultKeyCommandOf(TShortCut shortCut);

// True (and the prefix removed) when s starts with prefix, ignoring ASCII
// case.
bool StripPrefix(std::string& s, std::string_view prefix);
