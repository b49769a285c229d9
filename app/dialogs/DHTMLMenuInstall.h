#pragma once
// Installing a drop-down menu beside a page: the array file written into
// the program's menu folder, the menu's files copied into the page's
// folder, and the script block put into the page's HEAD.

#include <string>
#include <string_view>
#include <vector>

// The program folder's "scripts/menu/<name>".
std::string MenuScriptPath(std::string_view name);
// Writes the array file into the program's menu folder (replacing it
// safely, never through a link); EFCreateError when it can not be written.
void SaveMenuArrayFile(std::string_view text);
// Copies the menu's files from the program's menu folder into folder.
// Every source is read and every target looked at before anything is
// written, so that a missing source (EFOpenError) or a target that is a
// symbolic link or not a plain file (EFCreateError, which says so) leaves
// the folder untouched.  A target that holds the menu's file already is
// left alone, and so is a target that is its own source.  A target with
// other bytes is a file of the user's: it is replaced only when the user
// answers Yes (or Yes to all) to a question that names it, asked for each
// such file before any is written; the files kept are told in one message
// and returned.  Each copy replaces its target safely, never through a
// link (EFCreateError when it can not).
std::vector<std::string> CopyMenuScriptFiles(const std::string& folder);
// The array file's text (the program's UTF-8) as the active document's
// page reads its scripts: in the page's own encoding, characters the code
// page lacks as numeric character references.
std::string MenuTextForActiveDocument(const std::string& text);
// Puts the script block, with a line break behind it, into the active
// document in front of its first "</HEAD" (at its start without one),
// as one edit.
void InsertMenuScriptBlock();
