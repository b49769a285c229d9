#pragma once
// Toptionfrm, "Preferences": the settings of the settings file that the
// user edits besides the option check marks of the main window: what the
// program shows at start, the editor's font and colours, the syntax
// highlighting and its colours, and the outside browsers.  It is filled
// from the settings file when it is made; "Ok" checks the font size, then
// writes everything back and colours the open documents by the new choice;
// "Cancel" writes nothing.

#include "platform/ui/Forms.h"

#include <array>
#include <string>

class TButton;
class TCheckBox;
class TColorDialog;
class TComboBox;
class TEdit;
class TOpenDialog;
class TPageControl;
class TRadioButton;
class THighlightInfo;
class THtmlHighlighter;

class Toptionfrm : public TForm {
public:
    explicit Toptionfrm(TComponent* owner);
    std::string ClassName() const override { return "Toptionfrm"; }

    // One page of syntax colours: a key prefix of section "customhtml".
    struct TStylePage {
        std::string Prefix;
        TEdit* Foreground = nullptr;
        TEdit* Background = nullptr;
        TCheckBox* Bold = nullptr;
        TCheckBox* Italic = nullptr;
        TCheckBox* Underline = nullptr;
        TCheckBox* Strike = nullptr;
    };
    static constexpr int kStylePages = 9;

    TPageControl* PageControl1 = nullptr;
    TPageControl* PageControl2 = nullptr;
    TButton* okbtn = nullptr;
    TButton* cancelbtn = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TRadioButton* newRadio = nullptr;
    TRadioButton* openRadio = nullptr;
    TRadioButton* noneRadio = nullptr;
    TCheckBox* standardcb = nullptr;
    TComboBox* ComboBox1 = nullptr; // font name
    TComboBox* ComboBox2 = nullptr; // font size
    TEdit* Editbgcolor = nullptr;
    TEdit* textfcolor = nullptr;
    TCheckBox* CheckBox1 = nullptr; // syntax highlighting
    TCheckBox* CheckBox2 = nullptr; // default highlighting
    TEdit* Edit1 = nullptr;         // the first browser's path
    TEdit* Edit2 = nullptr;         // the second browser's path
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    std::array<TStylePage, kStylePages> StylePages;

    // ---- Handlers ----
    void FormCreate(TPersistent* sender);
    void okbtnClick(TPersistent* sender);
    void CheckBox1Click(TPersistent* sender);
    void CheckBox2Click(TPersistent* sender);
    void newRadioClick(TPersistent* sender);
    void openRadioClick(TPersistent* sender);
    void noneRadioClick(TPersistent* sender);
    void Button1Click(TPersistent* sender);
    void Button2Click(TPersistent* sender);
    void textfcolorClick(TPersistent* sender);
    void EditbgcolorClick(TPersistent* sender);
    void bracketfcolorClick(TPersistent* sender);
    void BracketbcolorClick(TPersistent* sender);
    void attributsfcolorClick(TPersistent* sender);
    void attributsbcolorClick(TPersistent* sender);
    void ValeurfcolorClick(TPersistent* sender);
    void ValeurbcolorClick(TPersistent* sender);
    void commentfcolorClick(TPersistent* sender);
    void commentbcolorClick(TPersistent* sender);
    void balisefcolorClick(TPersistent* sender);
    void balisebcolorClick(TPersistent* sender);
    void tagfcolorClick(TPersistent* sender);
    void tagbcolorClick(TPersistent* sender);
    void scfcolorClick(TPersistent* sender);
    void scbcolorClick(TPersistent* sender);
    void stfcolorClick(TPersistent* sender);
    void stbcolorClick(TPersistent* sender);
    void csfcolorClick(TPersistent* sender);
    void csbcolorClick(TPersistent* sender);

    // ---- Steps the handlers share ----
    void Readcustomhtml();
    void ReadFont();
    void Readpath();
    void Writecustomizedhtml();
    void WriteFont();
    void Readit();

    // The font size typed, when it is a whole number above 0.
    bool FontSizeValid(int& size) const;
    // "default", "custom" or "none", as the two highlighting boxes say.
    std::string ColorerChoice() const;

private:
    void pickColor(TEdit& box);
    void browse(TEdit& path);
    // The shared highlighter's style a page stands for (nullptr without a
    // main window).
    THighlightInfo* styleOf(int page) const;
};

// The main window's "Preferences": the dialog, modal.
void RunOptionsDialog();
