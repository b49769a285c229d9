// New document windows: their tab and command state, and documents made
// from templates (the template's text in a new untitled window).

#include "app/NewDocumentDialog.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"

#include "editor/CodeMemo.h"
#include "platform/base/ProgramFolder.h"
#include "platform/ui/Application.h"

std::string TemplatesFolder() { return ProgramFolder() + "templates"; }

TEditForm* OpenTemplate(Tframeform& frame, const std::string& path) {
    auto* document = new TEditForm(&Application());
    try {
        document->Text().LoadFromFile(path);
    } catch (...) {
        // No half-made window stays behind.
        frame.DiscardDocument(document);
        throw;
    }
    // The template is only the starting text: the document stays untitled,
    // so its first Save asks for a name.
    document->Editor->SetSelStart(0);
    document->Editor->Modified = false;
    frame.AddDocument(document);
    return document;
}

void Tframeform::AddDocument(TEditForm* document) {
    MDINav->AddForm(document, nullptr);
    // A window may be active before its tab takes over its activation: the
    // save and selection commands are set for it here.
    document->SetModifiedState(document->Editor->Modified);
    document->UpdateMenuItems();
    // The status bar shows where its caret stands, not the last window's.
    document->EditorSelMove(document);
}
