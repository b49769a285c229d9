#pragma once
// Making and freeing the main window outside start-up, for tests and
// benchmarks that need one on offscreen windows.

#include "app/EditForm.h"
#include "app/FrameForm.h"

#include "platform/ui/Application.h"
#include "platform/ui/PageControls.h"

// Makes and shows the main window as start-up does (without the splash).
inline Tframeform* StartMainWindow() {
    auto* frame = new Tframeform(&Application());
    Application().SetMainForm(frame);
    frame->Show();
    Application().ProcessMessages();
    return frame;
}

// Frees the document windows without questions, the last made first.
inline void FreeDocuments() {
    while (frameform != nullptr && frameform->MDIChildCount() > 0) {
        TCustomForm* child = frameform->MDIChildren(frameform->MDIChildCount() - 1);
        child->BeforeDestruction();
        delete child;
    }
}

// Frees the document windows, then the main window (which writes the
// settings), as the application's end does.
inline void FreeMainWindow() {
    if (frameform == nullptr)
        return;
    FreeDocuments();
    Tframeform* frame = frameform;
    frame->BeforeDestruction();
    delete frame;
    Application().SetMainForm(nullptr);
}

// The user picks one of a document window's pages by its tab: the page is
// left when the document window agrees, and the new page is arrived on.
inline void PickDocumentPage(TEditForm* document, int page) {
    bool allow = true;
    document->PageControl1Changing(document->PageControl1, allow);
    if (!allow)
        return;
    document->PageControl1->SetActivePageIndex(page);
    document->PageControl1Change(document->PageControl1);
}
