#pragma once
// The records a menu loop shares with the views and viewers whose mouse
// and key handlers it calls: the loop's root view, the flags the handlers
// set, and the action to carry out once the loop has ended.

#include "platform/ui/ComponentWatch.h"

#include <cstdint>
#include <memory>

class TTBCustomItem;
class TTBView;
class TWinControl;

enum TTBDoneActionKind : uint8_t {
    tbdaNone = 0,
    tbdaClickItem = 1,    // run the item's Click (after the loop)
    tbdaOpenSystemMenu = 2, // open a window's system menu with a character
    tbdaHelp = 3,         // show help for a context number
};

struct TTBDoneAction {
    // A click on item: the item is watched from the moment it is chosen, as
    // handlers run before the click may free it.
    static TTBDoneAction Click(TTBCustomItem* item, bool sound);

    TTBDoneActionKind Kind = tbdaNone;
    std::shared_ptr<TComponentWatch<TTBCustomItem>> ClickItem;
    bool Sound = false;            // play the menu-command sound with the click
    TWinControl* Window = nullptr; // system menu of this window
    char32_t Character = 0;        // typed with the system-menu request
    int HelpContext = 0;
};

struct TTBLoopState {
    TTBView* RootView = nullptr;
    // Set by a press on a menu-bar item whose menu was already open, so that
    // the release over it ends the loop; cleared at each press.
    bool IgnoreRelease = false;
    // Any handler sets it to end the loop.
    bool Finish = false;
    TTBDoneAction DoneAction;
};
