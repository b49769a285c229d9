#pragma once
// The page dialogs: the BODY start tag with the page's colours,
// background picture and margins (shown in a preview), the description,
// keywords and author META tags, and an HTML comment.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TColorDialog;
class TEdit;
class TMemo;
class TOpenPictureDialog;
class TPanel;
class TRichTextView;
class TSpinEdit;

// "Body".
class Tbodydialog : public TElementDialog {
public:
    explicit Tbodydialog(TComponent* owner);
    std::string ClassName() const override { return "Tbodydialog"; }

    TRichTextView* RichEdit1 = nullptr; // the colours' preview
    TPanel* Memo1 = nullptr;            // text colour swatch
    TPanel* Memo2 = nullptr;            // link
    TPanel* Memo5 = nullptr;            // active link
    TPanel* Memo3 = nullptr;            // visited link
    TPanel* Memo4 = nullptr;            // background
    TEdit* Edit1 = nullptr;             // background picture
    TCheckBox* CheckBox1 = nullptr;     // watermark
    TSpinEdit* SpinEdit1 = nullptr;     // top margin
    TSpinEdit* SpinEdit2 = nullptr;     // left margin
    TColorDialog* bodycolordialog = nullptr;
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;

    // Colours the preview's words in their swatches' colours.
    void FormCreate(TPersistent* sender);
    // The swatches: each chooses its colour and recolours its word of the
    // preview (the background swatch the preview's background).
    void couleurClick(TPersistent* sender);
    void memo2Click(TPersistent* sender);
    void Memo5Click(TPersistent* sender);
    void Button3Click(TPersistent* sender);
    void Button4Click(TPersistent* sender);
    void SpeedButton1Click(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void cancelbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

private:
    // Gives the first occurrence of word in the preview a colour.
    void colorWord(const char* word, TColor color);
    void chooseWordColor(TPanel& swatch, const char* word);
};

// "Meta-tags".
class Tmetafrm : public TElementDialog {
public:
    explicit Tmetafrm(TComponent* owner);
    std::string ClassName() const override { return "Tmetafrm"; }

    TEdit* Edit1 = nullptr; // description
    TEdit* Edit2 = nullptr; // keywords
    TEdit* Edit3 = nullptr; // author

    void okbtnClick(TPersistent* sender);
    void FormClose(TPersistent* sender, TCloseAction& action);
    void helpbtnClick(TPersistent* sender);
};

// "Comment".
class Tcommentfrm : public TElementDialog {
public:
    explicit Tcommentfrm(TComponent* owner);
    std::string ClassName() const override { return "Tcommentfrm"; }

    TMemo* Memo1 = nullptr;

    void OKBtnClick(TPersistent* sender);
};
