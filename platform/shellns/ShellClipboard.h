#pragma once
// Shell data on the system clipboard and in drags between programs.  A data
// object's formats are offered to other programs as MIME types: the
// item-list array under our private type, the dropped-file list as
// text/uri-list, as the desktop's copied-files list (with "cut" when the
// preferred drop effect is a move) and as plain text, plain text as
// text/plain.  Read back, the same types become the same formats, so data
// from other file managers arrives as a dropped-file list.

#include "platform/shellns/DataObject.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The registered numbers of the shell's formats.
unsigned ShellIdListFormat();
unsigned PreferredDropEffectFormat();

using TMimeBlocks = std::vector<std::pair<std::string, std::string>>; // MIME type, bytes
TMimeBlocks MimeBlocksOfDataObject(TDataObject& data);
std::shared_ptr<TMemoryDataObject> DataObjectOfMimeBlocks(const TMimeBlocks& blocks);

// Puts a data object's formats on the clipboard (a null object empties
// it).  S_OK, or E_FAIL without a GUI application.
HRESULT OleSetClipboard(const std::shared_ptr<TDataObject>& data);
// The clipboard's content as a data object (never null; empty when the
// clipboard holds nothing we read).
std::shared_ptr<TDataObject> OleGetClipboard();

// The file-system paths a data object carries: from its item-list array
// when it has a valid one (items without a path are left out), else from
// its dropped-file list.  False when it carries none.
bool FilePathsOfDataObject(TDataObject& data, std::vector<std::string>& paths);
// The drop effect the data asks for (DROPEFFECT_MOVE after a cut), or
// DROPEFFECT_COPY when it does not say.
uint32_t PreferredDropEffectOf(TDataObject& data);
