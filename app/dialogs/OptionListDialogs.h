#pragma once
// The option-list dialogs: a drop-down list ("Scrollbox") and a list box
// ("Listbox") of a form, each a SELECT with the OPTION lines the user adds.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TEdit;
class TListBox;
class TSpinEdit;

// What the two share: the name, the option being added and the options.
class TOptionListDialog : public TElementDialog {
public:
    TEdit* Edit1 = nullptr;   // the SELECT's name
    TEdit* Edit2 = nullptr;   // the option's value
    TEdit* Edit3 = nullptr;   // the option's text
    TListBox* ListBox1 = nullptr;

    // Add: appends an OPTION line and empties the two fields.
    void Button1Click(TPersistent* sender);
    // Delete: removes the selected option (nothing when none is).
    void Button2Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

protected:
    TOptionListDialog(TComponent* owner, const TFormDescription& description, std::string helpPage);
    // The SELECT start tag.
    virtual std::string startTag() const = 0;

private:
    std::string helpPage_;
};

// "Scrollbox": a drop-down list.
class Tscrlistboxfrm : public TOptionListDialog {
public:
    explicit Tscrlistboxfrm(TComponent* owner);
    std::string ClassName() const override { return "Tscrlistboxfrm"; }

protected:
    std::string startTag() const override;
};

// "Listbox": a list box of some lines, with one or several choices.
class Tlistboxfrm : public TOptionListDialog {
public:
    explicit Tlistboxfrm(TComponent* owner);
    std::string ClassName() const override { return "Tlistboxfrm"; }

    TSpinEdit* SpinEdit1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;

protected:
    std::string startTag() const override;
};
