#pragma once
// What the dialog tests read and set of a document window's editor.  The
// editor's headers and the standard controls' do not meet in one unit, so
// the tests reach the editor through these.

#include "platform/base/TextCodec.h"

#include <string>

class TEditForm;

// Replaces the text and selects length characters from start.
void SetEditorText(TEditForm& document, const std::string& text, int start = 0, int length = 0);
std::string EditorText(TEditForm& document);
int EditorSelStart(TEditForm& document);
int EditorSelLength(TEditForm& document);
std::string EditorSelText(TEditForm& document);
bool EditorCanUndo(TEditForm& document);
void EditorUndo(TEditForm& document);
// Switches the editor's encoding (no byte changes).
void SetEditorEncoding(TEditForm& document, TTextEncoding encoding);
