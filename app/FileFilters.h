#pragma once
// Filters of the program's file dialogs, by kind of file.

#include <string>
#include <string_view>

// The dialog filter for a kind: "editable", "applet", "sound",
// "javascript", "object"; "shList" gives the file explorer's mask list.
// Kinds compare case-sensitively; any other kind gets the editable filter
// whose last entry reads "All files".
std::string GetFileFilter(std::string_view kind);
