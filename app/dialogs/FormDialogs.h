#pragma once
// The form dialogs: a FORM around the selection, and the fields that go
// into one: hidden field, text area, push button, text or password box,
// radio button and check box.  The two option lists (drop-down and list
// box) are in OptionListDialogs.h, the image button in PictureDialogs.h.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TEdit;
class TMemo;
class TRadioButton;
class TSpinEdit;

// "Form": <FORM ACTION=... METHOD=... ENCTYPE=...> around the selection.
class Tformfrm : public TElementDialog {
public:
    explicit Tformfrm(TComponent* owner);
    std::string ClassName() const override { return "Tformfrm"; }

    TEdit* Edit1 = nullptr;
    TRadioButton* RadioButton1 = nullptr; // no encoding
    TRadioButton* RadioButton2 = nullptr; // MIME
    TRadioButton* RadioButton3 = nullptr; // text
    TRadioButton* RadioButton4 = nullptr; // GET
    TRadioButton* RadioButton5 = nullptr; // POST

    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// "Hidden": a hidden INPUT with its name and value.
class Thiddenfrm : public TElementDialog {
public:
    explicit Thiddenfrm(TComponent* owner);
    std::string ClassName() const override { return "Thiddenfrm"; }

    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;

    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// "Textarea": a TEXTAREA of some lines and columns with its default text.
class Tbtboxfrm : public TElementDialog {
public:
    explicit Tbtboxfrm(TComponent* owner);
    std::string ClassName() const override { return "Tbtboxfrm"; }

    TEdit* Edit1 = nullptr;
    TSpinEdit* SpinEdit1 = nullptr; // lines
    TSpinEdit* SpinEdit2 = nullptr; // width
    TMemo* Memo1 = nullptr;

    void okbtnClick(TPersistent* sender);
    void cancelbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// "Button": a submit, reset or plain push button with its caption.
class Tbuttonfrm : public TElementDialog {
public:
    explicit Tbuttonfrm(TComponent* owner);
    std::string ClassName() const override { return "Tbuttonfrm"; }

    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TEdit* Edit1 = nullptr;

    void okbtnClick(TPersistent* sender);
    void cancelbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// "Textbox": a one-line text or password box.
class Ttextboxfrm : public TElementDialog {
public:
    explicit Ttextboxfrm(TComponent* owner);
    std::string ClassName() const override { return "Ttextboxfrm"; }

    TEdit* Edit1 = nullptr;
    TEdit* edit2 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TSpinEdit* SpinEdit1 = nullptr; // max length
    TSpinEdit* SpinEdit2 = nullptr; // width

    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// The radio-button and check-box dialogs: an INPUT of their type with a
// name and a value, ticked or not.
class TChoiceFieldDialog : public TElementDialog {
public:
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TCheckBox* Checkbox1 = nullptr;

    void okbtnClick(TPersistent* sender);
    void cancelbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

protected:
    // type: "radio" or "checkbox".
    TChoiceFieldDialog(TComponent* owner, const TFormDescription& description, std::string type,
                       std::string helpPage);

private:
    std::string type_;
    std::string helpPage_;
};

// "Radio button": a radio INPUT, selected or not.
class Tradiofrm : public TChoiceFieldDialog {
public:
    explicit Tradiofrm(TComponent* owner);
    std::string ClassName() const override { return "Tradiofrm"; }
};

// "Checkbox": a check-box INPUT, checked or not; Cancel also closes it.
class Tcheckboxfrm : public TChoiceFieldDialog {
public:
    explicit Tcheckboxfrm(TComponent* owner);
    std::string ClassName() const override { return "Tcheckboxfrm"; }
};
