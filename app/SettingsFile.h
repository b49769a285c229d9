#pragma once
// The settings file "data/zozed.dat" beside the program.  There is no
// settings object for the run: each reader or writer opens the file by
// name, uses the few keys it needs and drops it, so a value written by one
// window is seen by the next reader at once.  Every write goes to the file
// immediately; a refused write raises EIniFileException ("Unable to write
// to <path>").

#include "platform/base/IniFile.h"

#include <memory>
#include <string>

// The full path of the settings file.
std::string SettingsFileName();
// The settings file, opened afresh.
std::unique_ptr<TIniFile> OpenSettings();

// Sections of the settings file.
namespace settings {
inline constexpr const char* Startup = "startup";
inline constexpr const char* Editor = "editeur";
inline constexpr const char* Display = "Affichage";
inline constexpr const char* Explorer = "explorateur";
inline constexpr const char* RecentFiles = "MRU";
inline constexpr const char* RecentProjects = "LastProjects";
inline constexpr const char* CustomHtml = "customhtml";
inline constexpr const char* Browsers = "Navigateurs";
} // namespace settings
