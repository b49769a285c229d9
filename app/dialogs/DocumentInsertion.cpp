// The part of the element dialogs' kernel that reaches the document: the
// active document's editor and what the dialogs write into it.  A unit of
// its own, as the editor's headers and the standard controls' do not meet.
#include "app/dialogs/ElementDialog.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"

#include "editor/CodeMemo.h"

TEditForm* ActiveDocumentWindow() { return frameform != nullptr ? frameform->ActiveDocument() : nullptr; }

TCodeMemo* ActiveEditor() {
    TEditForm* document = ActiveDocumentWindow();
    return document != nullptr ? document->Editor : nullptr;
}

std::string SelectedText() {
    TCodeMemo* editor = ActiveEditor();
    return editor != nullptr ? editor->SelText() : std::string();
}

void InsertMarkup(std::string_view markup) {
    TCodeMemo* editor = ActiveEditor();
    if (editor == nullptr)
        return;
    // An undo step of its own, never joined to the typing around it.
    editor->BreakUndoGroup();
    editor->SetSelText(markup);
    editor->BreakUndoGroup();
}

void SelectBeforeCaret(int back, int length) {
    TCodeMemo* editor = ActiveEditor();
    if (editor == nullptr)
        return;
    editor->SetSelStart(editor->SelStart() - back);
    editor->SetSelLength(length);
}
