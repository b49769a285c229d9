#pragma once
// What the tools of this program add to a document window: the completion
// lists with their handlers, the tag inspector's document side, and the
// quick-code command of the editor's context menu.  The window calls these
// from its constructor and its editor events.

#include <cstdint>
#include <string>

class TCustomIniFile;
class TEditForm;

// Makes the window's completion lists and tag-inspector carriers, binds
// the editor's key-press handler and the "Create a Ondrill Quick Code"
// item.  Called once the window's own components exist.
void AttachDocumentTools(TEditForm& document);

// Whether a key released in the editor moves the caret (arrows, Home,
// End, Page Up, Page Down).
bool KeyMovesCaret(uint16_t key);
// Reads the tag at the caret into the main window's tag inspector.
void UpdateTagInfo(TEditForm& document);
// The same after a key was released in the editor, when the key moves the
// caret (arrows, Home, End, Page Up, Page Down).
void UpdateTagInfoAfterKey(TEditForm& document, uint16_t key);
// Empties the tag inspector when it shows this document's tag.
void ClearTagInspector(TEditForm& document);

// The editor's selected text, and replacing it (one undo step, never
// joined to the typing before or after it; the caret ends after the
// text), in the program's text (UTF-8) whatever the document's encoding.
std::string SelectedText(TEditForm& document);
void ReplaceSelection(TEditForm& document, const std::string& text);
// Applies a highlighting choice ("default", "custom", "none") to the
// document's editor, then colours its whole text anew and repaints it.
void RecolorDocument(TEditForm& document, const std::string& colorer, const TCustomIniFile& settings);
