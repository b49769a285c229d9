#include "shell/ShellConsts.h"

#include "platform/base/TextCodec.h"

#include <map>

namespace {

std::map<int, std::string>& strings() {
    static std::map<int, std::string> table = {
        {SDeleteHint, "Deletes the selected items."},
        {SBrowseForFolder, "Browse for Folder"},
        {SKeySelectAll, "Ctrl+A"},
        {SKeyDelete, "Del"},
        {SKeyCopy, "Ctrl+C"},
        {SKeyCut, "Ctrl+X"},
        {SKeyPaste, "Ctrl+V"},
        {SKeyRefresh, "F5"},
        {SKeyRename, "F2"},
        {SDialogFontName, "MS Sans Serif"},
        {SCancelCaption, "Cancel"},
        {SOKCaption, "OK"},
        {SCreateFolderHint, "Create Folder"},
        {SCreateFolderLongHint, "Creates a new, empty folder."},
        {SSizeKB, "%sKB"},
        {SNewFolder, "New Folder"},
        {SUnableToCreateFolder, "Unable to create the folder '%2'\n\n%1"},
        {SColumnName, "Name"},
        {SColumnSize, "Size"},
        {SColumnType, "Type"},
        {SColumnModified, "Modified"},
        {SSystemFolder, "System Folder"},
        {SDeleteButtonHint, "Delete"},
    };
    return table;
}

constexpr int kKeyTextIds[DefaultKeyCount] = {SKeySelectAll, SKeyDelete, SKeyCopy, SKeyCut,
                                              SKeyPaste,     SKeyRefresh, SKeyRename};

struct TDefaultKeys {
    std::array<TPTShellControlDefKeyRec, DefaultKeyCount> table;
    bool initialised = false;
};

TDefaultKeys& defaultKeys() {
    static TDefaultKeys keys;
    return keys;
}

} // namespace

std::string LoadResString(int id) {
    auto it = strings().find(id);
    return it != strings().end() ? it->second : std::string();
}

void SetResourceString(int id, std::string_view text) {
    strings()[id] = std::string(text);
    defaultKeys().initialised = false;
}

const std::array<TPTShellControlDefKeyRec, DefaultKeyCount>& DefaultKeys() { return defaultKeys().table; }

void InitDefaultKeys() {
    TDefaultKeys& keys = defaultKeys();
    if (keys.initialised)
        return;
    for (int i = 0; i < DefaultKeyCount; ++i) {
        keys.table[static_cast<size_t>(i)].Text = LoadResString(kKeyTextIds[i]);
        keys.table[static_cast<size_t>(i)].ShortCut = TextToShortCut(keys.table[static_cast<size_t>(i)].Text);
    }
    keys.initialised = true;
}

int DefaultKeyCommand(TShortCut shortCut) {
    InitDefaultKeys();
    if (shortCut == 0)
        return -1;
    for (int i = 0; i < DefaultKeyCount; ++i)
        if (DefaultKeys()[static_cast<size_t>(i)].ShortCut == shortCut)
            return i;
    return -1;
}

int DefaultKeyCommandOf(TShortCut shortCut) {
    int command = DefaultKeyCommand(shortCut);
    if (command < 0 && (shortCut & scShift) != 0 &&
        DefaultKeyCommand(static_cast<TShortCut>(shortCut & ~scShift)) == dkDelete)
        command = dkDelete;
    return command;
}

bool StripPrefix(std::string& s, std::string_view prefix) {
    if (s.size() < prefix.size() || !SameText(std::string_view(s).substr(0, prefix.size()), prefix))
        return false;
    s.erase(0, prefix.size());
    return true;
}
