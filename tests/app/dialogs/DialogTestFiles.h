#pragma once
// Files the dialog suites put into their program folder: the menu
// builder's scripts as the program ships them.

#include "tests/app/AppTestSupport.h"

#include <string>

// The shipped "scripts/menu/" files, copied into program's folder.
void CopyMenuScripts(const TTestProgramFolder& program);
// The bytes of a shipped file of resources/ ("scripts/menu/mmenu.js").
std::string ShippedFile(const std::string& name);
