#pragma once
// "Nouvelle page HTML": a wizard of two pages that asks for a new page's
// title and meta information, then for its body's colours, background
// picture and margins, and opens the finished page in a new, untitled
// document window.  It needs no open document.

#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TColorDialog;
class TEdit;
class TOpenPictureDialog;
class TPanel;
class TRichTextView;
class TSpinEdit;

// The page the wizard writes: its fixed start, an empty line, the head
// lines, an empty line, the body, and a final line break.
std::string NewPageText(const std::string& headLines, const std::string& bodyTag);

class Tpagewizfrm : public TElementDialog {
public:
    explicit Tpagewizfrm(TComponent* owner);
    std::string ClassName() const override { return "Tpagewizfrm"; }

    TPanel* Panel1 = nullptr; // page 1
    TPanel* Panel2 = nullptr; // page 2, over page 1 while shown
    TEdit* Edit5 = nullptr;   // title
    TEdit* Edit1 = nullptr;   // description
    TEdit* Edit2 = nullptr;   // keywords
    TEdit* Edit3 = nullptr;   // author
    TRichTextView* RichEdit1 = nullptr;
    TPanel* Memo2 = nullptr; // text colour
    TPanel* Memo3 = nullptr; // link
    TPanel* Memo6 = nullptr; // active link
    TPanel* Memo4 = nullptr; // visited link
    TPanel* Memo5 = nullptr; // background
    TEdit* Edit4 = nullptr;  // background picture's file name
    TCheckBox* CheckBox1 = nullptr;
    TSpinEdit* SpinEdit1 = nullptr; // top margin
    TSpinEdit* SpinEdit2 = nullptr; // left margin
    TColorDialog* bodycolordialog = nullptr;
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;

    // Colours the preview's words and shows page 1.
    void FormCreate(TPersistent* sender);
    // "Suivant >": takes the head lines from page 1's fields, shows page 2.
    void Button2Click(TPersistent* sender);
    // "< Précédent": back to page 1.
    void Button3Click(TPersistent* sender);
    // The swatches: each chooses its colour and recolours its word of the
    // preview (the background swatch the preview's background).
    void Memo2Click(TPersistent* sender);
    void Memo3Click(TPersistent* sender);
    void Memo4Click(TPersistent* sender);
    void Memo6Click(TPersistent* sender);
    void Memo5Click(TPersistent* sender);
    // Browse for a background picture among the program's backgrounds;
    // its file name alone goes into Edit4.
    void SpeedButton1Click(TPersistent* sender);
    // "Terminer": opens the page in a new document window.
    void BitBtn3Click(TPersistent* sender);

    // The head lines as the last "Suivant >" took them.
    const std::string& HeadLines() const { return headLines_; }

private:
    void chooseWordColor(TPanel& swatch, const char* word);

    std::string headLines_;
};

// The main window's command: the wizard, owned by the main window, for
// one use.
void ShowNewPageWizard();
