#pragma once
// Tag and attribute completion in a document's source editor: typing "<"
// (while "Code Completion" is checked) shows the list of tag names at the
// caret; choosing one writes it with its ">" and shows the attributes
// listed for it in the tag attribute file; choosing one of those writes it
// with an empty quoted value and leaves the caret between the quotes.
// "/" in a list types "/" instead (for closing tags); Escape or leaving a
// list hides it.
//
// The two lists, `taglistbox` and `paramListbox`, are hidden list boxes of
// the document window's source page; this component, owned by the window,
// holds their handlers.

#include "platform/base/Component.h"

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
    // Writes text over the editor's selection and puts the caret before
    // its last character.
    void writeBeforeLast(const std::string& text);

    TEditForm& document_;
};

// The completion of a document window (nullptr before it is made).
TTagCompletion* TagCompletionOf(TEditForm& document);
