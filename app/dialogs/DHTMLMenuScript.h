#pragma once
// The text of a drop-down menu's array file ("newmenu_array.js"), which
// the menu script "mmenu.js" reads in the browser, and the script block
// that includes both files in a page.  Model code: no windows.
//
// The array file holds the menu script's globals (timegap, followspeed,
// followrate, suboffset_top, suboffset_left, effect, the function openwin
// and the style array config), then one array per menu: menu1 is the top
// level, and every item with children announces the menu its children
// form as "show-menuN".  Menus are numbered in the order a depth-first,
// parent-before-children walk meets their first item.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One item of the menu tree.
struct TMenuEntry {
    std::string Caption = {};
    std::string Link = {};
    // The width of the menu whose first item this is (the other items'
    // widths are not used).
    int Width = 80;
    std::vector<TMenuEntry> Children = {};
};

// The menu's looks and timing.  Colours are six hexadecimal digits, red,
// green, blue, without "#".
struct TMenuLook {
    int FontSize = 9;
    std::string TextStyle = "normal";
    std::string TextWeight = "normal";
    std::string LowBackground = "808080";
    std::string HighBackground = "C0C0C0";
    std::string LowFont = "FFFFFF";
    std::string HighFont = "000000";
    std::string Border = "000000";
    int BorderWidth = 1;
    int DisappearDelay = 500;
    int Top = 0;
    int Left = 0;
    std::string Position = "left";
    std::string Alignment = "left";
    std::string FontFamily = "verdana,tahoma,helvetica";
    int FadeDuration = 1;
    bool Horizontal = true;
    bool BorderBetweenItems = true;
};

// The settings part: the globals and the config array, then an empty line.
std::string MenuConfigText(const TMenuLook& look);
// The arrays part: menu1 .. menuN, each followed by an empty line.  An
// empty tree gives no array.
std::string MenuArraysText(const TMenuLook& look, const std::vector<TMenuEntry>& topLevel);
// The whole array file.
inline std::string MenuArrayFileText(const TMenuLook& look, const std::vector<TMenuEntry>& topLevel) {
    return MenuConfigText(look) + MenuArraysText(look, topLevel);
}

// Text as it stands between the double quotes of a JavaScript string:
// backslash, double quote, CR and LF escaped, everything else as it is.
std::string JavaScriptStringText(std::string_view text);

// The block that goes into the page's HEAD: a comment element with the
// script's notice, then the two script-inclusion tags (CR LF breaks, no
// break at the end).
extern const std::string_view kMenuScriptBlock;
// Where the block goes into a page: directly in front of the first
// "</HEAD" (in any case), or at the start of a page without one.
size_t MenuScriptBlockOffset(std::string_view page);

// The files the menu needs beside the page, as the program folder's
// "scripts/menu/" holds them.
inline constexpr const char* kMenuScriptFolder = "scripts/menu/";
inline constexpr const char* kMenuArrayFile = "newmenu_array.js";
inline constexpr const char* kMenuPreviewPage = "menu.htm";
inline const std::vector<std::string>& MenuScriptFiles() {
    static const std::vector<std::string> files = {"mmenu.js", kMenuArrayFile, "arrow.gif"};
    return files;
}
