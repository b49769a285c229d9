#pragma once
// The media dialogs: an image (IMG), an image button of a form (INPUT of
// type image) and an embedded sound or video (EMBED).  The two picture
// dialogs are twins: browsing for a picture also reads its height and
// width.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TEdit;
class TGroupBox;
class TImage;
class TOpenDialog;
class TOpenPictureDialog;
class TRadioButton;
class TSpinEdit;

// What the image and form-image dialogs share.
class TPictureDialog : public TElementDialog {
public:
    TEdit* Edit1 = nullptr;         // the picture's path
    TEdit* Edit2 = nullptr;         // alternative text
    TSpinEdit* SpinEdit1 = nullptr; // height
    TSpinEdit* SpinEdit2 = nullptr; // width
    TSpinEdit* SpinEdit3 = nullptr; // border
    TSpinEdit* SpinEdit4 = nullptr; // vertical space
    TSpinEdit* SpinEdit5 = nullptr; // horizontal space
    TImage* Image1 = nullptr;       // reads the picture's size
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;

    // Browse: the relative path into Edit1, then the picture's height and
    // width into the spin edits.  A picture that can not be read leaves
    // them as they were and says why; the dialog stays open.
    void SpeedButton1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

    // Reads a picture file's size into the height and width fields; false
    // (and the fields unchanged) when it can not be read.
    bool ReadPictureSize(const std::string& fileName);

protected:
    TPictureDialog(TComponent* owner, bool formImage);
    // The tag up to SRC (exclusive).
    virtual std::string tagStart() const = 0;

private:
    // ` ALIGN="..."` of the checked alignment button ("" for Bottom).
    std::string alignment() const;

    std::string helpPage_;
};

// "Image".
class Timagefrm : public TPictureDialog {
public:
    explicit Timagefrm(TComponent* owner);
    std::string ClassName() const override { return "Timagefrm"; }

protected:
    std::string tagStart() const override;
};

// "Form Image".
class Tformpicfrm : public TPictureDialog {
public:
    explicit Tformpicfrm(TComponent* owner);
    std::string ClassName() const override { return "Tformpicfrm"; }

    TEdit* Edit3 = nullptr; // the button's name

protected:
    std::string tagStart() const override;
};

// "Embed".
class Tembedfrm : public TElementDialog {
public:
    explicit Tembedfrm(TComponent* owner);
    std::string ClassName() const override { return "Tembedfrm"; }

    TEdit* Edit1 = nullptr;
    TRadioButton* RadioButton2 = nullptr; // loop
    TRadioButton* RadioButton4 = nullptr; // big control panel
    TGroupBox* GroupBox2 = nullptr;       // control panel
    TCheckBox* CheckBox1 = nullptr;       // hide control panel
    TCheckBox* CheckBox2 = nullptr;       // autostart
    TSpinEdit* borderSpin = nullptr;
    TSpinEdit* VolumeSpin = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    // Either check box: the control panel's box shows while the panel is
    // not hidden.
    void CheckBox1Click(TPersistent* sender);
    void SpeedButton1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);
};
