#pragma once
// Project files and the texts of the project list, without windows.
//
// A project file is an INI file whose section "Fichiers" holds the full
// path of each file of the project under the keys 1, 2, 3 ... in list
// order.  Reading stops at the first missing key; writing erases the
// section and writes it anew, leaving other sections as they were.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

inline constexpr const char* kProjectSection = "Fichiers";
// The filter and the extension of the project dialogs.
inline constexpr const char* kProjectFilter = "Ondrill Projects (*.ond)|*.ond";
inline constexpr const char* kProjectExtension = "ond";

// The path with one "/" at its end ("/" for an empty path).
std::string AddTrailingBackslash(const std::string& path);
// What follows the path's last "/" (the whole path without one).
std::string FileNamePart(const std::string& path);
// The path up to and with its last "/" (empty without one).
std::string FolderPart(const std::string& path);

// The size text of a byte count: "1023 bytes", and from 1024 bytes on the
// count of kilobytes rounded to the nearest, halves to even ("2 kilobytes"
// for 1536 and for 2560).
std::string ProjectSizeText(uint64_t bytes);
// A date and time as the user's locale writes them (short date, a blank,
// the time); the time is left out at exactly midnight.
std::string ProjectDateText(std::time_t time);
// The size and modification texts of a path; "?" when nothing is there.
std::string FileSizeText(const std::string& path);
std::string FileDateText(const std::string& path);
// Whether path names a regular file (or a link to one).
bool RegularFileExists(const std::string& path);

// The paths the project file lists (none for a missing file or section).
std::vector<std::string> ReadProjectFile(const std::string& fileName);
// Rewrites the file's section of paths; a refused write raises
// EIniFileException ("Unable to write to <file>").
void WriteProjectFile(const std::string& fileName, const std::vector<std::string>& paths);

// Whether a file name's extension marks a web file: its extension (from
// the last "." on), upper-cased, contains ASP, XML, HTM, JS, CSS or PHP.
bool IsProjectWebFile(const std::string& name);
// The web files directly in a folder (given with its trailing "/"), sorted
// by name: regular files only, nothing from subfolders.
std::vector<std::string> ProjectFilesInFolder(const std::string& folder);
