#pragma once
// The hyperlink dialogs: an anchor (a named target inside a page), an
// internal link (to an anchor of a page), a link with its protocol, target
// frame, status-bar message and title, and a client-side image map with
// its circular and rectangular zones and the image that uses it.

#include "app/dialogs/ElementDialog.h"

class TButton;
class TEdit;
class TGroupBox;
class TListBox;
class TOpenDialog;
class TOpenPictureDialog;
class TRadioButton;
class TSpinEdit;

// "Add an anchor": <A NAME="..."> around the selection, the caret left
// just before "</A>".
class Tancrefrm : public TElementDialog {
public:
    explicit Tancrefrm(TComponent* owner);
    std::string ClassName() const override { return "Tancrefrm"; }

    TEdit* edit1 = nullptr;

    void Button1Click(TPersistent* sender);
    void Button2Click(TPersistent* sender);
    void Button3Click(TPersistent* sender);
};

// "Internal link": <A HREF="page#anchor"> around the selection.
class Tlienifrm : public TElementDialog {
public:
    explicit Tlienifrm(TComponent* owner);
    std::string ClassName() const override { return "Tlienifrm"; }

    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;

    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// "Link": an address with its protocol prefix, around the selection.
class Tlinkfrm : public TElementDialog {
public:
    explicit Tlinkfrm(TComponent* owner);
    std::string ClassName() const override { return "Tlinkfrm"; }

    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* edit3 = nullptr;
    TEdit* titreTxt = nullptr;
    // The open dialog of the Browse button, set up as the main window's
    // open dialog is.
    TOpenDialog* OpenDlg = nullptr;

    // The type buttons: each puts its protocol's prefix into the address.
    void RadioButton1Click(TPersistent* sender);
    void RadioButton2Click(TPersistent* sender);
    void RadioButton3Click(TPersistent* sender);
    void RadioButton4Click(TPersistent* sender);
    void RadioButton5Click(TPersistent* sender);
    void RadioButton6Click(TPersistent* sender);
    void RadioButton7Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void SpeedButton1Click(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// "Image Map": a MAP of AREA lines, then the IMG that uses it.
class Tmapfrm : public TElementDialog {
public:
    explicit Tmapfrm(TComponent* owner);
    std::string ClassName() const override { return "Tmapfrm"; }

    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TListBox* ListBox1 = nullptr;
    TSpinEdit* SpinEdit1 = nullptr;
    TSpinEdit* SpinEdit2 = nullptr;
    TSpinEdit* SpinEdit3 = nullptr;
    TSpinEdit* SpinEdit4 = nullptr;
    TSpinEdit* SpinEdit5 = nullptr;
    TSpinEdit* SpinEdit6 = nullptr;
    TSpinEdit* SpinEdit7 = nullptr;
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;

    void Button2Click(TPersistent* sender);
    void Button3Click(TPersistent* sender);
    void Button4Click(TPersistent* sender);
    void SpeedButton1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};
