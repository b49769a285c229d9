#pragma once
// The program folder: the folder of the running executable, where the
// program's data lies ("data/", "help/", "templates/" ...).  Tests point it
// at a temporary copy so that nothing writes beside the real program.

#include <string>

// The folder with a trailing "/"; "./" when the executable can not be found.
std::string ProgramFolder();
// Overrides the folder (a trailing "/" is added when missing); an empty
// text goes back to the executable's folder.
void SetProgramFolder(const std::string& folder);
