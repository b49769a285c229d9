#pragma once
// The special-characters window: a small window beside the documents from
// which the user picks one of 67 characters and inserts its HTML entity at
// the caret of the active document, as often as he likes.  Unlike the
// other element dialogs it is not modal and stays on top; closing it frees
// it.

#include "app/dialogs/ElementDialog.h"

#include <span>

class TComboBox;
class TEdit;

// A character of the window's list (in UTF-8, or the blank) and
// its entity.
struct TSpecialCharacter {
    const char* Character;
    const char* Entity;
};
// The 67 characters in the order the list offers them.
std::span<const TSpecialCharacter> SpecialCharacters();

class TCaracfrm : public TElementDialog {
public:
    explicit TCaracfrm(TComponent* owner);
    std::string ClassName() const override { return "TCaracfrm"; }

    TComboBox* ComboBox1 = nullptr; // the character
    TEdit* Edit2 = nullptr;         // its preview
    TEdit* Edit1 = nullptr;         // the entity inserted, which the user may edit

    // An item chosen: the preview shows it and the tag field takes its
    // entity (a text that is no item leaves the tag field as it was).
    void ComboBox1Click(TPersistent* sender);
    // The combo's text changed: as choosing.
    void ComboBox1Change(TPersistent* sender);
    // Inserts the tag field into the active document; nothing while no
    // document window is active.  The window stays open.
    void BitBtn1Click(TPersistent* sender);
    void Button1Click(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
    void FormClose(TPersistent* sender, TCloseAction& action);
};

// The main window's two special-character commands: a further window,
// owned by the main window and shown beside the documents.
void ShowSpecialCharacters();
