#pragma once
// Installing a drop-down menu beside a page: the array file written into
// the program's menu folder, the menu's files copied into the page's
// folder, and the script block put into the page's HEAD.

#include <string>
#include <string_view>

// The program folder's "scripts/menu/<name>".
std::string MenuScriptPath(std::string_view name);
// Writes the array file into the program's menu folder (replacing it
// safely, never through a link); EFCreateError when it can not be written.
void SaveMenuArrayFile(std::string_view text);
// Copies the menu's files from the program's menu folder into folder.
// Every source is read and every target checked before anything is
// written, so that a missing source (EFOpenError) or a target that is a
// symbolic link or not a plain file (EFCreateError, which says so) leaves
// the folder untouched; each copy replaces its target safely, never
// through a link (EFCreateError when it can not), and a target that is its
// own source is left alone.
void CopyMenuScriptFiles(const std::string& folder);
// The array file's text (the program's UTF-8) as the active document's
// page reads its scripts: in the page's own encoding, characters the code
// page lacks as numeric character references.
std::string MenuTextForActiveDocument(const std::string& text);
// Puts the script block, with a line break behind it, into the active
// document in front of its first "</HEAD" (at its start without one),
// as one edit.
void InsertMenuScriptBlock();
