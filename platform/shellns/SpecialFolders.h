#pragma once
// Where the user's special folders are.  Read from the environment each
// time, so tests that point HOME, XDG_CONFIG_HOME and XDG_DATA_HOME at
// temporary folders see their own.

#include <string>

// $HOME (or the password database's home folder).
std::string HomeFolderPath();
// The desktop folder: XDG_DESKTOP_DIR of the user-dirs file in
// $XDG_CONFIG_HOME (default ~/.config), else ~/Desktop.  It need not exist.
std::string DesktopFolderPath();
// $XDG_DATA_HOME, default ~/.local/share.
std::string DataHomePath();
// The folder whose files make the Send To submenu:
// $XDG_DATA_HOME/korvane-ondrill/sendto.
std::string SendToFolderPath();
