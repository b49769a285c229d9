// The part of the element dialogs' kernel that reaches the document: the
// active document's editor and what the dialogs write into it.  A unit of
// its own, as the editor's headers and the standard controls' do not meet.
// The dialogs work in the program's text (UTF-8); what crosses into the
// document and back takes the document's encoding here.
#include "app/dialogs/ElementDialog.h"

#include "app/DocumentTextEncoding.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"

#include "editor/CodeMemo.h"

#include <algorithm>

TEditForm* ActiveDocumentWindow() { return frameform != nullptr ? frameform->ActiveDocument() : nullptr; }

TCodeMemo* ActiveEditor() {
    TEditForm* document = ActiveDocumentWindow();
    return document != nullptr ? document->Editor : nullptr;
}

std::string SelectedText() {
    TCodeMemo* editor = ActiveEditor();
    return editor != nullptr ? ProgramTextOf(*editor, editor->SelText()) : std::string();
}

void InsertMarkup(std::string_view markup) {
    if (TEditForm* document = ActiveDocumentWindow())
        document->InsertIntoShownPage(std::string(markup));
}

namespace {

// How many bytes of the document before `end` hold the last `count` bytes
// of their text as the program's.
int32_t documentBytesBefore(const TCodeMemo& editor, int32_t end, int count) {
    // A character is never fewer bytes in the program's text than in the
    // document, so the last `count` bytes hold them all.
    const std::string before = editor.GetTextRange(std::max(0, end - count), end);
    size_t at = before.size();
    for (int seen = 0; seen < count && at > 0; --at)
        seen += static_cast<int>(ProgramTextOf(editor, std::string_view(before).substr(at - 1, 1)).size());
    return static_cast<int32_t>(before.size() - at);
}

} // namespace

void SelectBeforeCaret(int back, int length) {
    TCodeMemo* editor = ActiveEditor();
    if (editor == nullptr)
        return;
    // The counts are of the program's text; the document may hold the same
    // characters in fewer bytes.
    const int32_t caret = editor->SelStart();
    const int32_t start = caret - documentBytesBefore(*editor, caret, back);
    const int32_t end = caret - documentBytesBefore(*editor, caret, back - length);
    editor->SetSelStart(start);
    editor->SetSelLength(end - start);
}
