#pragma once
// The Qt side of tracking shell menus (platform/shellns/ShellMenu.h): the
// menu shows as a Qt menu at the point; before a submenu opens its owner
// gets WM_INITMENUPOPUP and the submenu is built from what the owner left
// in it; owner-drawn items are measured and drawn by the owner on a canvas
// in the menu's font; moving the highlight sends WM_MENUSELECT; a typed
// character that no caption's access key takes goes to the owner as
// WM_MENUCHAR, whose answer runs, selects or closes.

// Installs the tracker (InstallWidgetPeers does it).
void InstallShellMenuTracker();
