#pragma once
// Tag and attribute completion in a document's source editor: typing "<"
// (while "Code Completion" is checked) shows the list of tag names at the
// caret; choosing one writes it with its ">" and shows the attributes
// listed for it in the tag attribute file; choosing one of those writes it
// with an empty quoted value and leaves the caret between the quotes.
// "/" in a list types "/" instead (for closing tags); Escape or leaving a
// list hides it.
//
// Typing goes on through an open list: a letter or digit goes into the
// editor and selects the first name that begins with what was typed since
// the list opened (an attribute's list also takes one blank before it);
// any other character closes the list and is typed as usual.  A choice
// takes the place of what was typed, so a user who types a whole tag
// never loses a key to the list.
//
// The two lists, `taglistbox` and `paramListbox`, are hidden list boxes of
// the document window's source page; this component, owned by the window,
// holds their handlers.

#include "platform/base/Component.h"
#include "platform/ui/Keys.h"

#include <cstdint>

#include <string>
#include <vector>

class TEditForm;
class TListBox;

class TTagCompletion : public TComponent {
public:
    explicit TTagCompletion(TEditForm& document);
    std::string ClassName() const override { return "TTagCompletion"; }

    // The tag names of the list, as the form holds them.
    static const std::vector<std::string>& TagNames();

    // Found once the window's lists are made.
    TListBox* taglistbox = nullptr;
    TListBox* paramListbox = nullptr;
    void FindLists();

    // The editor's key-press handler.
    void EditorKeyPress(TPersistent* sender, char& key);
    // Fills and shows the attribute list of a tag; false when the tag
    // lists no attributes (nothing is shown).
    bool ShowParamList(const std::string& tag);

    void taglistboxDblClick(TPersistent* sender);
    void taglistboxExit(TPersistent* sender);
    void taglistboxKeyPress(TPersistent* sender, char& key);
    void paramListboxDblClick(TPersistent* sender);
    void paramListboxExit(TPersistent* sender);
    void paramListboxKeyPress(TPersistent* sender, char& key);

private:
    // Puts a list just below the caret, inside the source page.
    void placeAtCaret(TListBox& list);
    void showList(TListBox& list);
    void backToEditor(TListBox& list);
    // Enter chooses, "/" types itself in the editor, Escape goes back to
    // the editor; other keys are the list's own.
    void listKeyPress(TListBox& list, char& key, void (TTagCompletion::*choose)(TPersistent*));
    // Backspace and Tab, which the editor takes as keys rather than as
    // characters, close the list and reach the editor as keys.
    void listKeyDown(TListBox& list, uint16_t& key, TShiftState shift);
    // A letter or digit (or an attribute's leading blank) typed on: into
    // the editor, and the list's selection follows.
    void typeOn(TListBox& list, char key);
    // Any other character: the list closes and the editor types it.
    void closeAndType(TListBox& list, char key);
    // Selects, in the editor, what was typed since the list opened, for a
    // choice to take its place.
    void selectTyped();
    // Writes text over the editor's selection and puts the caret before
    // its last character.
    void writeBeforeLast(const std::string& text);

    TEditForm& document_;
    // The characters typed into the editor while the open list was up, and
    // the editor's caret after the last of them.
    std::string typed_;
    int32_t typedEnd_ = -1;
};

// The completion of a document window (nullptr before it is made).
TTagCompletion* TagCompletionOf(TEditForm& document);
