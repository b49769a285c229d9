#pragma once
// The media and object dialogs: a movie or clip for a player plug-in as an
// EMBED element (Flash, Real, Quicktime), a program object as an OBJECT
// element and a Java applet as an APPLET element, the last two with PARAM
// lines.  They share their file, name, size and parameter fields.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TColorDialog;
class TComboBox;
class TEdit;
class TListBox;
class TOpenDialog;
class TPanel;
class TSpinEdit;

// What the five dialogs share.
class TMediaDialog : public TElementDialog {
public:
    TEdit* Edit1 = nullptr;         // the file, code base or code
    TEdit* Edit3 = nullptr;         // name
    TSpinEdit* SpinEdit1 = nullptr; // height
    TSpinEdit* SpinEdit2 = nullptr; // width
    TListBox* ListBox1 = nullptr;   // parameters
    TEdit* Edit5 = nullptr;         // parameter name
    TEdit* Edit6 = nullptr;         // parameter value
    TComboBox* aligneCombo = nullptr; // none in the applet dialog
    TOpenDialog* OpenDialogex1 = nullptr;

    // Browse: the chosen file, relative to the document, into Edit1.
    void Button1Click(TPersistent* sender);
    // Add: a parameter entry from Edit5 and Edit6, which are emptied.
    void Button2Click(TPersistent* sender);
    // Delete: the selected entry (nothing without one).
    void Button3Click(TPersistent* sender);
    // Writes the element into the active document as one edit.
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

    // The element as OK writes it.
    virtual std::string Markup() const = 0;

protected:
    // The kinds of form: the three EMBED dialogs hold their fields on two
    // tabs, the object and applet dialogs on the form itself.
    enum class TKind { Flash, Real, Quicktime, Object, Applet };
    TMediaDialog(TComponent* owner, TKind kind);
    // Builds the form of the dialog's kind with the shared handlers and
    // the dialog's own, and finds the shared components.
    void buildMedia(THandlerTable& handlers);

    // ` ALIGN="..."` unless no alignment was chosen; ` HEIGHT="..."` and
    // ` WIDTH="..."` unless 0.
    std::string alignment() const;
    std::string size() const;
    // Every parameter entry in list order, each after separator.
    std::string entries(const std::string& separator, const std::string& terminator) const;
    // A parameter entry: an attribute inside an EMBED tag, else a PARAM
    // tag.
    std::string parameterEntry(const std::string& name, const std::string& value) const;

private:
    TKind kind_;
};

// The Flash and Real dialogs: two check boxes and two lists of their own.
class TPlayerDialog : public TMediaDialog {
public:
    TCheckBox* CheckBox3 = nullptr; // autostart
    TCheckBox* CheckBox5 = nullptr; // Flash: loop; Real: no sticker
    TComboBox* ComboBox1 = nullptr; // Flash: quality; Real: controls
    TComboBox* ComboBox2 = nullptr; // Flash: scale; Real: console

protected:
    TPlayerDialog(TComponent* owner, TKind kind);
};

// "Flash": EMBED of type application/x-shockwave-flash.
class Tflashfrm : public TPlayerDialog {
public:
    explicit Tflashfrm(TComponent* owner);
    std::string ClassName() const override { return "Tflashfrm"; }

    std::string Markup() const override;
};

// "Real": EMBED of type audio/x-pn-realaudio-plugin.
class Trealfrm : public TPlayerDialog {
public:
    explicit Trealfrm(TComponent* owner);
    std::string ClassName() const override { return "Trealfrm"; }

    std::string Markup() const override;
};

// "Quicktime": EMBED of type video/quicktime.
class Tqtfrm : public TMediaDialog {
public:
    explicit Tqtfrm(TComponent* owner);
    std::string ClassName() const override { return "Tqtfrm"; }

    TCheckBox* CheckBox1 = nullptr; // show control panel
    TCheckBox* CheckBox2 = nullptr; // cache
    TCheckBox* CheckBox3 = nullptr; // autostart
    TCheckBox* CheckBox4 = nullptr; // loop
    TCheckBox* CheckBox5 = nullptr; // background colour
    TPanel* Memo2 = nullptr;        // its swatch, shown while CheckBox5 is ticked
    TEdit* volEdit = nullptr;
    TColorDialog* ColorDialog1 = nullptr;

    void Memo2Click(TPersistent* sender);
    void CheckBox5Click(TPersistent* sender);
    std::string Markup() const override;
};

// "Object": OBJECT with its PARAM lines.
class Tobjectfrm : public TMediaDialog {
public:
    explicit Tobjectfrm(TComponent* owner);
    std::string ClassName() const override { return "Tobjectfrm"; }

    TComboBox* idCombo = nullptr; // class ID, as typed

    std::string Markup() const override;
};

// "Java applet": APPLET with its PARAM lines.
class Tjava2frm : public TMediaDialog {
public:
    explicit Tjava2frm(TComponent* owner);
    std::string ClassName() const override { return "Tjava2frm"; }

    TEdit* Edit2 = nullptr; // code base
    TEdit* Edit4 = nullptr; // alternative

    std::string Markup() const override;
};
