// What the tools' suites do to a document's editor, apart from the
// standard controls' header.

#include "tests/app/ToolsFixture.h"

#include "editor/CodeMemo.h"
#include "platform/ui/Control.h"
#include "platform/ui/Message.h"

std::string EditorText(TEditForm& document) { return document.Editor->Text(); }

void SelectRange(TEditForm& document, int32_t start, int32_t length) {
    document.Editor->SetSelStart(start);
    document.Editor->SetSelLength(length);
}

int32_t CaretOf(TEditForm& document) { return document.Editor->SelStart(); }

TCodeHighlighter* HighlighterOf(TEditForm& document) { return document.Editor->Highlighter(); }

int FontSizeOf(TEditForm& document) { return document.Editor->Font().Size(); }

void StartClean(TEditForm& document) {
    document.Editor->Modified = false;
    document.Editor->ClearUndo();
}

void SetEncodingOf(TEditForm& document, TTextEncoding encoding) { document.Editor->SetEncoding(encoding); }

void TypeInto(TEditForm& document, const std::string& text) {
    for (char c : text)
        SendMessage(document.Editor, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void UndoOnce(TEditForm& document) { document.Editor->Undo(); }
