#pragma once
// The main window's menu bar and command toolbars as data: every item in
// order with its component name, caption, hint, shortcut, click handler
// and whether it waits for a document.  The main window builds its bars
// from these tables and switches the document commands by these names.

#include <string>
#include <vector>

enum : unsigned {
    // The item has a submenu (its Items).
    miSubmenu = 1u << 0,
    // Disabled until a document window enables it.
    miNeedsDocument = 1u << 1,
    // Carries a check mark (an option, or a bar's visibility).
    miCheckable = 1u << 2,
    // The place of a recent-files or recent-projects list.
    miRecentList = 1u << 3,
    // A separator line; nothing else of the entry counts.
    miSeparator = 1u << 4,
};

struct TMainItem {
    std::string Name = {};
    std::string Caption = {};
    std::string Hint = {};
    std::string ShortCut = {};
    // The click handler of the main window ("" for none).
    std::string Handler = {};
    unsigned Flags = 0;
    std::vector<TMainItem> Items = {};
};

struct TMainBar {
    std::string Name;
    std::string Caption;
    std::vector<TMainItem> Items;
};

// The menu bar ("menubar", caption "Menu") and the eleven command
// toolbars, in the order they stand in the top dock.
const std::vector<TMainBar>& MainWindowBars();

// The document command set that a document window switches on in its
// source view and off otherwise (main-window component names).
const std::vector<std::string>& DocumentCommandItems();
// What is switched off with it besides: the commands that follow the
// selection, the undo list and the modified state.
const std::vector<std::string>& SelectionAndUndoItems();
