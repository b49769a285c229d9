#pragma once
// ToqcFrm, "Ondrill Quick Code": makes a quick code of the selection of a
// document's editor, under the name and with the description typed.  A
// refused name or a pair that can not be written is told and keeps the
// dialog open; nothing is written then.

#include "platform/ui/Forms.h"

class TButton;
class TEdit;
class TEditForm;
class TMemo;

class ToqcFrm : public TForm {
public:
    // The code is the selection of document's editor when "Create" is
    // pressed.
    ToqcFrm(TComponent* owner, TEditForm& document);
    std::string ClassName() const override { return "ToqcFrm"; }

    TEdit* codeNameEdit = nullptr;
    TMemo* codeDescriptionMemo = nullptr;
    TButton* okbtn = nullptr;
    TButton* cancelbtn = nullptr;

    void okbtnClick(TPersistent* sender);

private:
    TEditForm& document_;
};

// The editor menu's "Create a Ondrill Quick Code": the dialog, modal.
void RunQuickCodeDialog(TEditForm& document);
