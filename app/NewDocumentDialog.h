#pragma once
// Tnewfrm: the "New document" dialog, which lists the program's
// "templates" folder and opens the chosen file as a new, untitled document
// window.  OK (or a double click on a file) opens it; a double click on a
// folder enters it, and OK with a folder (or nothing) chosen opens nothing.
// A template that can not be read is reported and leaves no window behind.

#include "platform/ui/Forms.h"

#include <string>

class TButton;
class TEditForm;
class TPTShellList;
class Tframeform;

class Tnewfrm : public TForm {
public:
    explicit Tnewfrm(TComponent* owner);
    std::string ClassName() const override { return "Tnewfrm"; }

    TPTShellList* shList = nullptr;
    TButton* okbtn = nullptr;
    TButton* cancelbtn = nullptr;

    void FormCreate(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void shListDblClickOpen(TPersistent* sender, bool& handled);

private:
    // Opens the selected file; false when no file is selected.
    bool openSelected();
};

// The templates folder beside the program.
std::string TemplatesFolder();
// A new untitled document window with the text of a file, added to the
// main window's tab strip; the error is raised (and no window is left)
// when the file can not be read.
TEditForm* OpenTemplate(Tframeform& frame, const std::string& path);
// The New command: the dialog, modal, freed when it closes.
void ShowNewDocumentDialog(Tframeform& frame);
