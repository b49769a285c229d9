#pragma once
// TMemoKeyboard: the memo's keys turned into caret moves, selection changes
// and edits of its document.  Every caret move goes through a working
// navigator and ends in the common selection update; every change of text
// goes through the selection's editing primitive.

#include "platform/ui/Keys.h"

#include <cstdint>
#include <memory>
#include <string>

class TCodeDocument;
class TCodeMemo;
class TCodeNavigator;
class TMemoView;
class TTextSelection;

class TMemoKeyboard {
public:
    TMemoKeyboard(TCodeMemo& memo, TMemoView& view);
    ~TMemoKeyboard();

    // The memo's key handlers; each runs the inherited handling (the
    // application's events) first.
    void KeyDown(uint16_t& key, TShiftState shift);
    void KeyPress(char& key);
    void KeyUp(uint16_t& key, TShiftState shift);
    // A typed character as a code point (WM_UNICHAR): put in as the
    // document's encoding writes it, through KeyPress.
    void TypeCharacter(char32_t character);

private:
    // A scrolling key of a DisplayOnly memo moves the view; false for any
    // other key.
    bool keyDownDisplayOnly(uint16_t key, TShiftState shift);
    bool hotKey(uint16_t key, TShiftState shift);
    void moveVertically(TCodeNavigator& navigator, int32_t line, TShiftState shift);
    void stepBack(TCodeNavigator& navigator);
    void stepForward(TCodeNavigator& navigator);
    void wordLeft(TCodeNavigator& navigator);
    void wordRight(TCodeNavigator& navigator);
    void selectionUpdate(TCodeNavigator& navigator, TShiftState shift);
    void deleteKey(TShiftState shift);
    void backspaceKey(TShiftState shift);
    void enterKey();
    // The bytes of the character at the navigator and of the one before it.
    int32_t charAt(TCodeNavigator& navigator) const;
    int32_t charBefore(TCodeNavigator& navigator) const;
    // How many blanks display line `line` starts with.
    int32_t leadingBlanks(int32_t line);

    TCodeMemo& memo_;
    TMemoView& view_;
    TCodeDocument& document_;
    TTextSelection& selection_;
    // Where a key moves the caret to before the selection follows.
    std::unique_ptr<TCodeNavigator> moving_;
    // Cleared by a key press: while a key repeats the window keeps up.
    bool keyReleased_ = true;
    // While TypeCharacter runs: the bytes typed and the key standing for them.
    std::string typed_;
    char typedKey_ = 0;
};
