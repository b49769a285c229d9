#pragma once
// The block dialogs: a list skeleton (bullets, numbers or definitions) of
// some entries, and a table skeleton of rows by columns with its caption,
// heading row, size, spacing, border, colours and background picture.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TColorDialog;
class TEdit;
class TGroupBox;
class TOpenPictureDialog;
class TPanel;
class TRadioButton;
class TSpinEdit;

// "List": <UL>, <OL> in five numberings, or <DL>, with N entry lines.
class Tlistfrm : public TElementDialog {
public:
    explicit Tlistfrm(TComponent* owner);
    std::string ClassName() const override { return "Tlistfrm"; }

    TRadioButton* RadioButton1 = nullptr;  // style: menu
    TRadioButton* RadioButton2 = nullptr;  // style: ordered list
    TRadioButton* RadioButton5 = nullptr;  // style: tree
    TGroupBox* menubox = nullptr;
    TGroupBox* ordbox = nullptr;
    TGroupBox* arbbox = nullptr;
    TRadioButton* RadioButton6 = nullptr;  // 1-2-3
    TRadioButton* RadioButton7 = nullptr;  // A-B-C
    TRadioButton* RadioButton3 = nullptr;  // a-b-c
    TRadioButton* RadioButton11 = nullptr; // I-II-III
    TRadioButton* RadioButton8 = nullptr;  // i-ii-iii
    TSpinEdit* SpinEdit1 = nullptr;

    // Each style shows its own "Type" box and hides the two others.
    void RadioButton1Click(TPersistent* sender);
    void RadioButton2Click(TPersistent* sender);
    void RadioButton5Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

private:
    void showTypeBox(TGroupBox* box);
};

// "Table": a TABLE of rows by columns, one CR LF-separated line per tag.
class Ttablefrm : public TElementDialog {
public:
    explicit Ttablefrm(TComponent* owner);
    std::string ClassName() const override { return "Ttablefrm"; }

    TSpinEdit* SpinEdit1 = nullptr; // rows
    TSpinEdit* SpinEdit2 = nullptr; // columns
    TSpinEdit* SpinEdit3 = nullptr; // cell spacing
    TSpinEdit* SpinEdit4 = nullptr; // cell padding
    TSpinEdit* SpinEdit5 = nullptr; // border
    TSpinEdit* SpinEdit6 = nullptr; // width
    TSpinEdit* SpinEdit7 = nullptr; // height
    TCheckBox* CheckBox1 = nullptr; // width in %
    TCheckBox* CheckBox2 = nullptr; // height in %
    TCheckBox* CheckBox3 = nullptr; // heading row
    TEdit* Edit1 = nullptr;         // caption
    TEdit* Edit2 = nullptr;         // background picture
    TPanel* Memo2 = nullptr;        // background colour swatch
    TPanel* Memo3 = nullptr;        // border colour swatch
    TColorDialog* ColorDialog1 = nullptr;
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;

    // The width in %: at most 100; in pixels: at most 1000.
    void CheckBox1Click(TPersistent* sender);
    void Memo2Click(TPersistent* sender);
    void Memo3Click(TPersistent* sender);
    void Button1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void FormClose(TPersistent* sender, TCloseAction& action);
    void helpbtnClick(TPersistent* sender);
};
