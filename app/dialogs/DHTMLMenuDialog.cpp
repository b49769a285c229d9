#include "app/dialogs/DHTMLMenuDialog.h"

#include "app/EditForm.h"
#include "app/dialogs/DHTMLMenuInstall.h"
#include "app/dialogs/DHTMLMenuTreeView.h"
#include "app/dialogs/DialogLayout.h"
#include "app/dialogs/DialogPieces.h"

#include "platform/shellns/FileNames.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"
#include "platform/webview/WebBrowser.h"

namespace {

constexpr int kPreviewPage = 2;

const std::vector<std::string> kTextWeights = {"normal", "bold", "bolder", "lighter", "100", "200", "300",
                                               "400",    "500",  "600",    "700",     "800", "900"};

void addSetupPage(std::vector<TComponentDescription>& c) {
    const std::string page = "SetupPage";
    c.push_back(DescribePage(page, "Setup", "PageControl1"));
    c.push_back(DescribeLabel("This wizard allows you to setup your menu, to build its structure and to preview it.",
                              kDialogMargin, 10, page));
    // The left column: type and places; the right one: colours and timing.
    constexpr int label = kDialogMargin, field = 120, right = 262, swatch = 420;
    auto row = [](int i) { return 40 + i * 28; };
    auto spin = [&](const char* caption, const char* name, int i, int min, int max, int value) {
        c.push_back(DescribeRowLabel(caption, label, row(i), page));
        c.push_back(DescribeSpin(name, Bounds(field, row(i), 70, kFieldHeight), min, max, value, page));
    };
    auto list = [&](const char* caption, const char* name, int i, std::vector<std::string> items) {
        c.push_back(DescribeRowLabel(caption, label, row(i), page));
        c.push_back(DescribeFixedList(name, Bounds(field, row(i), 110, kFieldHeight), items, 0, page));
    };
    spin("Font size:", "FontSizeSP", 0, 0, 100, 9);
    list("Text style:", "txtstylecb", 1, {"normal", "italic", "oblique"});
    list("Text weight:", "txtpoidscb", 2, kTextWeights);
    list("Text alignment:", "ComboBox2", 3, {"left", "center", "right"});
    list("Menu position:", "MenuCenteredCombo", 4, {"left", "middle", "right"});
    spin("Top position:", "StartTopSP", 5, 0, 0, 0);
    spin("Left position:", "StartLeftSP", 6, 0, 0, 0);
    spin("Border width:", "BorderWSP", 7, 0, 100, 1);
    spin("Disappear delay:", "DissapearDelaySP", 8, 0, 100000, 500);

    const std::tuple<const char*, const char*, TColor> swatches[] = {
        {"Low background color:", "lowbgcolorEdit", clGray},  {"High background color:", "highbgcolorEdit", clSilver},
        {"Low font color:", "fontlowcolorEdit", clWhite},     {"High font color:", "fonthighcolorEdit", clBlack},
        {"Border color:", "bordercolorEdit", clBlack}};
    for (int i = 0; i < 5; ++i) {
        const auto& [caption, name, color] = swatches[i];
        c.push_back(DescribeRowLabel(caption, right, row(i), page));
        c.push_back(DescribeSwatch(name, Bounds(swatch, row(i), 60, kFieldHeight), color,
                                   std::string(name) + "Click", page));
    }
    c.push_back(DescribeRowLabel("Fading duration (secondes):", right, row(5), page));
    c.push_back(DescribeLabel("(Internet Explorer only)", right, row(5) + 18, page));
    c.push_back(DescribeSpin("durationSP", Bounds(swatch, row(5), 60, kFieldHeight), 0, 100, 1, page));
    c.push_back(DescribeCheck("horizontalCB", "Horizontal menu", Bounds(right, row(7), 200, 17), true, page));
    c.push_back(DescribeCheck("BorderBtwnElmntsCB", "Border between items", Bounds(right, row(8), 200, 17), true, page));

    c.push_back(DescribeRowLabel("FontFamily:", label, row(10), page));
    c.push_back(DescribeEditableList("ComboBox1", Bounds(field, row(10), 360, kFieldHeight),
                                     {"verdana,tahoma,helvetica", "century gothic, verdana, arial, helvetica"},
                                     "verdana,tahoma,helvetica", page));
}

void addStructurePage(std::vector<TComponentDescription>& c) {
    const std::string page = "StructurePage";
    c.push_back(DescribePage(page, "Structure", "PageControl1"));
    c.push_back({.Name = "menutv", .ClassName = "TDHTMLMenuTreeView", .Parent = page,
                 .Bounds = Bounds(kDialogMargin, kDialogMargin, 220, 370),
                 .Properties = {{"ReadOnly", true}, {"HideSelection", false}},
                 .Events = {{"OnChange", "menutvChange"}, {"OnAddition", "menutvAddition"}}});
    constexpr int left = 240;
    c.push_back(DescribeButton("inEBtn", "Insert item", Bounds(left, 8, 110, kButtonHeight), "inEBtnClick", 0, page));
    c.push_back(
        DescribeButton("inSEBtn", "Insert subitem", Bounds(left, 38, 110, kButtonHeight), "inSEBtnClick", 0, page));
    c.push_back(DescribeButton("delEBtn", "Delete", Bounds(left, 68, 110, kButtonHeight), "delEBtnClick", 0, page));

    // The selected item; hidden while none is.
    c.push_back(WithProperty(DescribeGroupPanel("Panel1", Bounds(left, 108, 260, 124), page), "Visible", false));
    constexpr int field = 76;
    c.push_back(DescribeRowLabel("Text:", 0, 0, "Panel1"));
    c.push_back(WithEvent(DescribeEdit("itemTextEdit", Bounds(field, 0, 184, kFieldHeight), {}, "Panel1"), "OnChange",
                          "itemTextEditChange"));
    c.push_back(DescribeRowLabel("Link:", 0, 28, "Panel1"));
    c.push_back(WithEvent(DescribeEdit("itemLienEdit", Bounds(field, 28, 184, kFieldHeight), {}, "Panel1"), "OnChange",
                          "itemLienEditChange"));
    c.push_back(DescribeRowLabel("Subitems:", 0, 56, "Panel1"));
    c.push_back(WithProperty(DescribeEdit("SubItemEdit", Bounds(field, 56, 60, kFieldHeight), "0", "Panel1"),
                             "ReadOnly", true));
    // Only the first item of a menu gives the menu its width.
    TComponentDescription widthLabel = DescribeRowLabel("Item width:", 0, 96, "Panel1");
    widthLabel.Name = "ItemWidthLabel";
    c.push_back(std::move(widthLabel));
    c.push_back(WithEvent(DescribeSpin("ItemWidthSP", Bounds(field, 96, 70, kFieldHeight), 0, 1000, 80, "Panel1"),
                          "OnChange", "ItemWidthSPChange"));
    // The item height is kept with the item but not written: never shown.
    c.push_back(WithProperty(DescribeGroupPanel("Panel2", Bounds(left, 240, 260, 28), page), "Visible", false));
    c.push_back(DescribeRowLabel("Item height:", 0, 0, "Panel2"));
    c.push_back(WithEvent(DescribeSpin("ItemHeightSP", Bounds(field, 0, 70, kFieldHeight), 0, 1000, 20, "Panel2"),
                          "OnChange", "ItemHeightSPChange"));
}

const TFormDescription& description() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("DHTML Menu", 553, 447)};
        auto& c = form.Components;
        c.push_back({.Name = "PageControl1", .ClassName = "TPageControl",
                     .Bounds = Bounds(kDialogMargin, kDialogMargin, 537, 398),
                     .Properties = {{"TabPosition", "tpRight"}},
                     .Events = {{"OnChange", "PageControl1Change"}}});
        addSetupPage(c);
        addStructurePage(c);
        c.push_back(DescribePage("PreviewPage", "Preview", "PageControl1"));
        c.push_back({.Name = "WebBrowser1", .ClassName = "TWebBrowser", .Parent = "PreviewPage",
                     .Properties = {{"Align", "alClient"}}});
        c.push_back({.Name = "ColorDialog1", .ClassName = "TColorDialog"});
        AddDialogButtons(c, 545, 414);
        // OK closes the dialog itself once the menu is installed: a
        // document left unsaved, or a file that fails, keeps it open.
        for (TComponentDescription& component : c)
            if (component.Name == "okbtn")
                component.Properties.push_back({"ModalResult", 0});
        return form;
    }();
    return form;
}

} // namespace

Tdhtmlmenufrm::Tdhtmlmenufrm(TComponent* owner) : TElementDialog(owner) {
    RegisterDHTMLMenuTreeView();
    THandlerTable handlers;
    handlers.Add("lowbgcolorEditClick", this, &Tdhtmlmenufrm::lowbgcolorEditClick);
    handlers.Add("highbgcolorEditClick", this, &Tdhtmlmenufrm::highbgcolorEditClick);
    handlers.Add("fontlowcolorEditClick", this, &Tdhtmlmenufrm::fontlowcolorEditClick);
    handlers.Add("fonthighcolorEditClick", this, &Tdhtmlmenufrm::fonthighcolorEditClick);
    handlers.Add("bordercolorEditClick", this, &Tdhtmlmenufrm::bordercolorEditClick);
    handlers.Add("menutvChange", this, &Tdhtmlmenufrm::menutvChange);
    handlers.Add("menutvAddition", this, &Tdhtmlmenufrm::menutvAddition);
    handlers.Add("itemTextEditChange", this, &Tdhtmlmenufrm::itemTextEditChange);
    handlers.Add("itemLienEditChange", this, &Tdhtmlmenufrm::itemLienEditChange);
    handlers.Add("ItemWidthSPChange", this, &Tdhtmlmenufrm::ItemWidthSPChange);
    handlers.Add("ItemHeightSPChange", this, &Tdhtmlmenufrm::ItemHeightSPChange);
    handlers.Add("inEBtnClick", this, &Tdhtmlmenufrm::inEBtnClick);
    handlers.Add("inSEBtnClick", this, &Tdhtmlmenufrm::inSEBtnClick);
    handlers.Add("delEBtnClick", this, &Tdhtmlmenufrm::delEBtnClick);
    handlers.Add("PageControl1Change", this, &Tdhtmlmenufrm::PageControl1Change);
    handlers.Add("okbtnClick", this, &Tdhtmlmenufrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tdhtmlmenufrm::helpbtnClick);
    Build(description(), handlers);
    PageControl1 = Find<TPageControl>("PageControl1");
    FontSizeSP = Find<TSpinEdit>("FontSizeSP");
    txtstylecb = Find<TComboBox>("txtstylecb");
    txtpoidscb = Find<TComboBox>("txtpoidscb");
    lowbgcolorEdit = Find<TPanel>("lowbgcolorEdit");
    highbgcolorEdit = Find<TPanel>("highbgcolorEdit");
    fontlowcolorEdit = Find<TPanel>("fontlowcolorEdit");
    fonthighcolorEdit = Find<TPanel>("fonthighcolorEdit");
    bordercolorEdit = Find<TPanel>("bordercolorEdit");
    BorderWSP = Find<TSpinEdit>("BorderWSP");
    DissapearDelaySP = Find<TSpinEdit>("DissapearDelaySP");
    StartTopSP = Find<TSpinEdit>("StartTopSP");
    StartLeftSP = Find<TSpinEdit>("StartLeftSP");
    MenuCenteredCombo = Find<TComboBox>("MenuCenteredCombo");
    ComboBox2 = Find<TComboBox>("ComboBox2");
    ComboBox1 = Find<TComboBox>("ComboBox1");
    durationSP = Find<TSpinEdit>("durationSP");
    horizontalCB = Find<TCheckBox>("horizontalCB");
    BorderBtwnElmntsCB = Find<TCheckBox>("BorderBtwnElmntsCB");
    menutv = Find<TDHTMLMenuTreeView>("menutv");
    Panel1 = Find<TPanel>("Panel1");
    itemTextEdit = Find<TEdit>("itemTextEdit");
    itemLienEdit = Find<TEdit>("itemLienEdit");
    SubItemEdit = Find<TEdit>("SubItemEdit");
    ItemWidthLabel = Find<TLabel>("ItemWidthLabel");
    ItemWidthSP = Find<TSpinEdit>("ItemWidthSP");
    Panel2 = Find<TPanel>("Panel2");
    ItemHeightSP = Find<TSpinEdit>("ItemHeightSP");
    WebBrowser1 = Find<TWebBrowser>("WebBrowser1");
    ColorDialog1 = Find<TColorDialog>("ColorDialog1");
    PageControl1->SetActivePageIndex(0);
    // The menu starts with one item.
    menutv->Items().AddChild(nullptr, "Title");
}

// ---- Setup ---------------------------------------------------------------------------

void Tdhtmlmenufrm::chooseColor(TPanel& swatch) { ChooseSwatchColor(*ColorDialog1, swatch); }

void Tdhtmlmenufrm::lowbgcolorEditClick(TPersistent*) { chooseColor(*lowbgcolorEdit); }
void Tdhtmlmenufrm::highbgcolorEditClick(TPersistent*) { chooseColor(*highbgcolorEdit); }
void Tdhtmlmenufrm::fontlowcolorEditClick(TPersistent*) { chooseColor(*fontlowcolorEdit); }
void Tdhtmlmenufrm::fonthighcolorEditClick(TPersistent*) { chooseColor(*fonthighcolorEdit); }
void Tdhtmlmenufrm::bordercolorEditClick(TPersistent*) { chooseColor(*bordercolorEdit); }

std::string Tdhtmlmenufrm::StateToInt(const TCheckBox& box) { return box.Checked() ? "1" : "0"; }

std::string Tdhtmlmenufrm::ColorToHtml(TColor color) { return HexColor(color); }

TMenuLook Tdhtmlmenufrm::Look() const {
    return {.FontSize = FontSizeSP->Value(),
            .TextStyle = txtstylecb->Text(),
            .TextWeight = txtpoidscb->Text(),
            .LowBackground = ColorToHtml(lowbgcolorEdit->Color()),
            .HighBackground = ColorToHtml(highbgcolorEdit->Color()),
            .LowFont = ColorToHtml(fontlowcolorEdit->Color()),
            .HighFont = ColorToHtml(fonthighcolorEdit->Color()),
            .Border = ColorToHtml(bordercolorEdit->Color()),
            .BorderWidth = BorderWSP->Value(),
            .DisappearDelay = DissapearDelaySP->Value(),
            .Top = StartTopSP->Value(),
            .Left = StartLeftSP->Value(),
            .Position = MenuCenteredCombo->Text(),
            .Alignment = ComboBox2->Text(),
            .FontFamily = ComboBox1->Text(),
            .FadeDuration = durationSP->Value(),
            .Horizontal = StateToInt(*horizontalCB) == "1",
            .BorderBetweenItems = StateToInt(*BorderBtwnElmntsCB) == "1"};
}

std::string Tdhtmlmenufrm::WriteMenuConfig() const { return MenuConfigText(Look()); }

std::string Tdhtmlmenufrm::WriteMenuArrays() const { return MenuArraysText(Look(), menutv->MenuEntries()); }

// ---- Structure -----------------------------------------------------------------------

void Tdhtmlmenufrm::menutvChange(TPersistent*, TTreeNode* node) {
    if (node == nullptr) {
        Panel1->SetVisible(false);
        Panel2->SetVisible(false);
        return;
    }
    TDHTMLMenuTreeNode& data = menutv->NodeData(node);
    itemTextEdit->SetText(node->Text());
    itemLienEdit->SetText(data.LinkToLinkTo);
    data.NoOfSubElements = node->Count();
    SubItemEdit->SetText(std::to_string(data.NoOfSubElements));
    ItemHeightSP->SetValue(data.ElementHeight);
    ItemWidthSP->SetValue(data.ElementWidth);
    Panel1->SetVisible(true);
    const bool first = node->GetPrevSibling() == nullptr;
    ItemWidthLabel->SetVisible(first);
    ItemWidthSP->SetVisible(first);
}

void Tdhtmlmenufrm::menutvAddition(TPersistent*, TTreeNode*) {
    if (TTreeNode* selected = menutv->Selected()) {
        TDHTMLMenuTreeNode& data = menutv->NodeData(selected);
        data.NoOfSubElements = selected->Count();
        SubItemEdit->SetText(std::to_string(data.NoOfSubElements));
    }
}

void Tdhtmlmenufrm::itemTextEditChange(TPersistent*) {
    if (TTreeNode* selected = menutv->Selected())
        selected->SetText(itemTextEdit->Text());
}

void Tdhtmlmenufrm::itemLienEditChange(TPersistent*) {
    if (TTreeNode* selected = menutv->Selected())
        menutv->NodeData(selected).LinkToLinkTo = itemLienEdit->Text();
}

void Tdhtmlmenufrm::ItemWidthSPChange(TPersistent*) {
    if (TTreeNode* selected = menutv->Selected())
        menutv->NodeData(selected).ElementWidth = ItemWidthSP->Value();
}

void Tdhtmlmenufrm::ItemHeightSPChange(TPersistent*) {
    if (TTreeNode* selected = menutv->Selected())
        menutv->NodeData(selected).ElementHeight = ItemHeightSP->Value();
}

void Tdhtmlmenufrm::addItem(TTreeNode* parent) { menutv->AddItem(parent, "title"); }

void Tdhtmlmenufrm::inEBtnClick(TPersistent*) {
    TTreeNode* selected = menutv->Selected();
    addItem(selected != nullptr ? selected->Parent() : nullptr);
}

void Tdhtmlmenufrm::inSEBtnClick(TPersistent*) { addItem(menutv->Selected()); }

void Tdhtmlmenufrm::delEBtnClick(TPersistent*) {
    TTreeNode* selected = menutv->Selected();
    if (selected == nullptr)
        return;
    if (selected == menutv->Items().GetFirstNode()) {
        UserInteraction().MessageDlg("The script need at least one item to work.", mtInformation, mbOKOnly);
        return;
    }
    selected->Delete();
}

// ---- Preview and install ---------------------------------------------------------------

void Tdhtmlmenufrm::PageControl1Change(TPersistent*) {
    if (PageControl1->ActivePageIndex() != kPreviewPage)
        return;
    SaveMenuArrayFile(WriteMenuConfig() + WriteMenuArrays());
    try {
        WebBrowser1->Navigate(FileUriOfPath(MenuScriptPath(kMenuPreviewPage)));
    } catch (const Exception&) {
        // The preview is a courtesy: a page that can not be shown is no
        // reason to stop the builder.
    }
}

void Tdhtmlmenufrm::CopyScriptFiles(const std::string& documentFileName) {
    CopyMenuScriptFiles(ParentPathOf(documentFileName));
}

void Tdhtmlmenufrm::InsertScriptBlock() { InsertMenuScriptBlock(); }

void Tdhtmlmenufrm::okbtnClick(TPersistent*) {
    TEditForm* document = ActiveDocumentWindow();
    if (document == nullptr || !SaveDocumentFirst(*document))
        return;
    SaveMenuArrayFile(MenuTextForActiveDocument(WriteMenuConfig() + WriteMenuArrays()));
    CopyScriptFiles(document->FileName);
    InsertScriptBlock();
    SetModalResult(mrOk);
}

void Tdhtmlmenufrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("menudhtml.htm"); }
