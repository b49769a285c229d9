#pragma once
// "DHTML Menu": a drop-down menu for a web page, laid out as a tree of
// items with its colours, font and timing, previewed in a browser, and
// installed beside the active document: the menu's files are copied into
// the document's folder and a script block that includes them goes into
// the page's HEAD.

#include "app/dialogs/DHTMLMenuScript.h"
#include "app/dialogs/ElementDialog.h"

class TCheckBox;
class TColorDialog;
class TComboBox;
class TDHTMLMenuTreeView;
class TEdit;
class TLabel;
class TPageControl;
class TPanel;
class TSpinEdit;
class TTreeNode;
class TWebBrowser;

class Tdhtmlmenufrm : public TElementDialog {
public:
    explicit Tdhtmlmenufrm(TComponent* owner);
    std::string ClassName() const override { return "Tdhtmlmenufrm"; }

    TPageControl* PageControl1 = nullptr;
    // Setup
    TSpinEdit* FontSizeSP = nullptr;
    TComboBox* txtstylecb = nullptr;
    TComboBox* txtpoidscb = nullptr;
    TPanel* lowbgcolorEdit = nullptr;
    TPanel* highbgcolorEdit = nullptr;
    TPanel* fontlowcolorEdit = nullptr;
    TPanel* fonthighcolorEdit = nullptr;
    TPanel* bordercolorEdit = nullptr;
    TSpinEdit* BorderWSP = nullptr;
    TSpinEdit* DissapearDelaySP = nullptr;
    TSpinEdit* StartTopSP = nullptr;
    TSpinEdit* StartLeftSP = nullptr;
    TComboBox* MenuCenteredCombo = nullptr; // menu position
    TComboBox* ComboBox2 = nullptr;         // text alignment
    TComboBox* ComboBox1 = nullptr;         // font family
    TSpinEdit* durationSP = nullptr;
    TCheckBox* horizontalCB = nullptr;
    TCheckBox* BorderBtwnElmntsCB = nullptr;
    // Structure
    TDHTMLMenuTreeView* menutv = nullptr;
    TPanel* Panel1 = nullptr;
    TEdit* itemTextEdit = nullptr;
    TEdit* itemLienEdit = nullptr;
    TEdit* SubItemEdit = nullptr;
    TLabel* ItemWidthLabel = nullptr;
    TSpinEdit* ItemWidthSP = nullptr;
    TPanel* Panel2 = nullptr;
    TSpinEdit* ItemHeightSP = nullptr;
    // Preview
    TWebBrowser* WebBrowser1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;

    // The swatches choose their colours.
    void lowbgcolorEditClick(TPersistent* sender);
    void highbgcolorEditClick(TPersistent* sender);
    void fontlowcolorEditClick(TPersistent* sender);
    void fonthighcolorEditClick(TPersistent* sender);
    void bordercolorEditClick(TPersistent* sender);
    // The item panel shows the selected node (hidden without one).
    void menutvChange(TPersistent* sender, TTreeNode* node);
    void menutvAddition(TPersistent* sender, TTreeNode* node);
    void itemTextEditChange(TPersistent* sender);
    void itemLienEditChange(TPersistent* sender);
    void ItemWidthSPChange(TPersistent* sender);
    void ItemHeightSPChange(TPersistent* sender);
    // A sibling, a child, and deleting (never the first top-level item).
    void inEBtnClick(TPersistent* sender);
    void inSEBtnClick(TPersistent* sender);
    void delEBtnClick(TPersistent* sender);
    // The preview tab writes the array file and shows the preview page.
    void PageControl1Change(TPersistent* sender);
    // Installs the menu beside the active document and closes; a document
    // never saved is asked to be saved first.  A file that can not be
    // read or written is reported and the dialog stays open.
    void okbtnClick(TPersistent* sender);
    void helpbtnClick(TPersistent* sender);

    // "1" for a ticked check box, else "0".
    static std::string StateToInt(const TCheckBox& box);
    // Six hexadecimal digits, red, green, blue (system colours resolved).
    static std::string ColorToHtml(TColor color);
    // The Setup tab's choices.
    TMenuLook Look() const;
    // The array file's two parts, as the tabs stand.
    std::string WriteMenuConfig() const;
    std::string WriteMenuArrays() const;
    void CopyScriptFiles(const std::string& documentFileName);
    void InsertScriptBlock();

private:
    void chooseColor(TPanel& swatch);
    void addItem(TTreeNode* parent);
};
