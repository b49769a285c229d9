#pragma once
// The desktop metrics the framework lays out and paints with: the classic
// look's, fixed, so that every bar, frame and menu measures the same on
// every machine.  One table for the framework and its themes.

enum : int {
    SM_CXVSCROLL = 2,     // a vertical scroll bar's width
    SM_CXFIXEDFRAME = 7,  // a fixed frame's border
    SM_CYFIXEDFRAME = 8,
    SM_CXSIZEFRAME = 32,  // a sizing frame's border
    SM_CYSIZEFRAME = 33,
    SM_CYSMCAPTION = 51,  // a small (tool-window) caption's height
    SM_CXMENUCHECK = 71,  // a menu's check-mark (and submenu-arrow) column
};

constexpr int TBSystemMetric(int id) {
    switch (id) {
    case SM_CXVSCROLL:
    case SM_CYSMCAPTION:
        return 16;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
        return 3;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME:
        return 4;
    case SM_CXMENUCHECK:
        return 13;
    default:
        return 0;
    }
}

// The same, by the names the framework's windows use.
constexpr int kTBSizingFrame = TBSystemMetric(SM_CXSIZEFRAME);  // border of a resizable floating frame
constexpr int kTBFixedFrame = TBSystemMetric(SM_CXFIXEDFRAME);  // border of a fixed one
constexpr int kTBSmallCaption = TBSystemMetric(SM_CYSMCAPTION); // height of a floating frame's caption band
constexpr int kMenuCheckSize = TBSystemMetric(SM_CXMENUCHECK);
