#pragma once
// The text-format dialogs: a FONT element around the selection with its
// colour, size and up to three faces (shown in a live sample), and a
// horizontal rule.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TColorDialog;
class TComboBox;
class TMemo;
class TPanel;
class TSpinEdit;

// "Font".
class TFontForm : public TElementDialog {
public:
    explicit TFontForm(TComponent* owner);
    std::string ClassName() const override { return "TFontForm"; }

    TMemo* Memo1 = nullptr;      // the sample
    TCheckBox* cb1 = nullptr;    // write SIZE
    TSpinEdit* SpinEdit1 = nullptr;
    TCheckBox* cb2 = nullptr;    // write COLOR
    TPanel* Memo2 = nullptr;     // colour swatch
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TColorDialog* fontcolordialog = nullptr;

    // Fills the face lists with the installed fonts; the sample takes the
    // first face.
    void FormCreate(TPersistent* sender);
    // The sample's size follows the HTML size (1 to 7).
    void SpinEdit1Change(TPersistent* sender);
    // The sample's face follows the first face list.
    void ComboBox1Change(TPersistent* sender);
    void ComboBox1Click(TPersistent* sender);
    // The swatch: chooses the colour of the swatch and the sample.
    void Button1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};

// The sample's point size for an HTML font size (1 to 7; others as the
// nearest).
int FontSamplePoints(int htmlSize);

// "Horizontal rule".
class Thrdlg : public TElementDialog {
public:
    explicit Thrdlg(TComponent* owner);
    std::string ClassName() const override { return "Thrdlg"; }

    TSpinEdit* SpinEdit1 = nullptr; // thickness
    TSpinEdit* SpinEdit2 = nullptr; // width in %
    TPanel* Memo1 = nullptr;        // colour swatch
    TCheckBox* CheckBox1 = nullptr; // 3D effect
    TColorDialog* ColorDialog1 = nullptr;

    void Memo1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};
