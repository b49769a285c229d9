#pragma once
// "Filebox": a file-upload field of a form (INPUT of type FILE) with its
// name and width.

#include "app/dialogs/ElementDialog.h"

class TEdit;
class TSpinEdit;

class Tfileboxfrm : public TElementDialog {
public:
    explicit Tfileboxfrm(TComponent* owner);
    std::string ClassName() const override { return "Tfileboxfrm"; }

    TEdit* Edit1 = nullptr;         // name
    TSpinEdit* SpinEdit2 = nullptr; // width

    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};
