#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "editor/CodeMemo.h"

void SetEditorText(TEditForm& document, const std::string& text, int start, int length) {
    document.Text().SetText(text);
    document.Editor->ClearUndo();
    document.Editor->SetSelStart(start);
    document.Editor->SetSelLength(length);
}

std::string EditorText(TEditForm& document) { return document.Editor->Text(); }
int EditorSelStart(TEditForm& document) { return document.Editor->SelStart(); }
int EditorSelLength(TEditForm& document) { return document.Editor->SelLength(); }
std::string EditorSelText(TEditForm& document) { return document.Editor->SelText(); }
bool EditorCanUndo(TEditForm& document) { return document.Editor->CanUndo(); }
void EditorUndo(TEditForm& document) { document.Editor->Undo(); }
void SetEditorEncoding(TEditForm& document, TTextEncoding encoding) { document.Editor->SetEncoding(encoding); }
