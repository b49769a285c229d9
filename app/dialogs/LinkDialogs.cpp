#include "app/dialogs/LinkDialogs.h"

#include "app/FileFilters.h"
#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

namespace {

// ---- Anchor ------------------------------------------------------------------------

const TFormDescription& anchorDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Add an anchor", 300, 82)};
        auto& c = form.Components;
        c.push_back(DescribeRowLabel("Name:", kDialogMargin, 12));
        c.push_back(DescribeEdit("edit1", Bounds(60, 12, 232, kFieldHeight)));
        AddDialogButtons(c, 292, 48,
                         {.Ok = "Button1", .OkClick = "Button1Click", .Cancel = "Button2", .CancelClick = "Button2Click",
                          .Help = "Button3", .HelpCaption = "help", .HelpClick = "Button3Click"});
        return form;
    }();
    return description;
}

// ---- Internal link ----------------------------------------------------------------------

const TFormDescription& internalLinkDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Internal link", 320, 110)};
        auto& c = form.Components;
        c.push_back(DescribeRowLabel("Web page:", kDialogMargin, 12));
        c.push_back(DescribeEdit("Edit1", Bounds(80, 12, 232, kFieldHeight)));
        c.push_back(DescribeRowLabel("Anchor", kDialogMargin, 40));
        c.push_back(DescribeEdit("Edit2", Bounds(80, 40, 232, kFieldHeight)));
        AddDialogButtons(c, 312, 77);
        return form;
    }();
    return description;
}

// ---- Link ---------------------------------------------------------------------------------

struct TProtocol {
    const char* Caption;
    const char* Prefix;
};
// The type buttons RadioButton1 .. RadioButton7 in order.
constexpr TProtocol kProtocols[] = {{"None", ""},           {"HTTP", "http://"},     {"E-mail", "mailto:"},
                                    {"FTP", "ftp://"},      {"News", "news:"},       {"Gopher", "gopher://"},
                                    {"Telnet", "telnet://"}};

const TFormDescription& linkDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Link", 380, 250)};
        auto& c = form.Components;
        constexpr int field = 140;
        c.push_back(DescribeRowLabel("Link:", kDialogMargin, 12));
        c.push_back(DescribeEdit("Edit1", Bounds(field, 12, 204, kFieldHeight), "http://"));
        c.push_back(DescribeBrowseButton("SpeedButton1", 349, 12, "SpeedButton1Click"));
        c.push_back(DescribeGroup("GroupBox1", "Type", Bounds(kDialogMargin, 42, 364, 70)));
        for (int i = 0; i < 7; ++i) {
            const std::string name = "RadioButton" + std::to_string(i + 1);
            c.push_back(WithEvent(DescribeRadio(name, kProtocols[i].Caption,
                                                Bounds(10 + (i % 4) * 88, 20 + (i / 4) * 24, 84, 17), i == 1,
                                                "GroupBox1"),
                                  "OnClick", name + "Click"));
        }
        c.push_back(DescribeRowLabel("OnMouseOver message:", kDialogMargin, 122));
        c.push_back(DescribeEdit("Edit2", Bounds(field, 122, 232, kFieldHeight)));
        c.push_back(DescribeRowLabel("Target:", kDialogMargin, 150));
        c.push_back(DescribeEdit("edit3", Bounds(field, 150, 232, kFieldHeight)));
        c.push_back(DescribeRowLabel("Title:", kDialogMargin, 178));
        c.push_back(DescribeEdit("titreTxt", Bounds(field, 178, 232, kFieldHeight)));
        AddDialogButtons(c, 372, 217);
        c.push_back({.Name = "OpenDlg",
                     .ClassName = "TOpenDialog",
                     .Properties = {{"Options", static_cast<int64_t>(ofHideReadOnly | ofAllowMultiSelect |
                                                                     ofPathMustExist | ofFileMustExist |
                                                                     ofEnableSizing)}}});
        return form;
    }();
    return description;
}

// ---- Image map -------------------------------------------------------------------------------

// A zone panel: its title, then rows of labelled spin edits, two to a row.
void addZonePanel(std::vector<TComponentDescription>& c, const std::string& panel, const std::string& title,
                  int top, const std::vector<std::pair<std::string, TComponentDescription>>& spins,
                  const std::string& edit, const std::string& button) {
    c.push_back({.Name = panel, .ClassName = "TPanel", .Bounds = Bounds(kDialogMargin, top, 320, 106),
                 .Properties = {{"Caption", std::string()}, {"BevelOuter", "bvLowered"}}});
    c.push_back(DescribeLabel(title, 8, 6, panel));
    for (size_t i = 0; i < spins.size(); ++i) {
        const int x = i % 2 == 0 ? 8 : 164;
        const int y = 24 + static_cast<int>(i / 2) * 26;
        c.push_back(DescribeRowLabel(spins[i].first, x, y, panel));
        TComponentDescription spin = spins[i].second;
        spin.Parent = panel;
        spin.Bounds = Bounds(x + 86, y, 60, kFieldHeight);
        c.push_back(std::move(spin));
    }
    c.push_back(DescribeRowLabel("Link:", 8, 76, panel));
    c.push_back(DescribeEdit(edit, Bounds(94, 76, 140, kFieldHeight), {}, panel));
    c.push_back(DescribeButton(button, "Add ==>", Bounds(242, 75, 70, 23), button + "Click", 0, panel));
}

const TFormDescription& mapDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Image Map", 628, 341)};
        auto& c = form.Components;
        const TRect none = Bounds(0, 0, 60, kFieldHeight);
        c.push_back(DescribeRowLabel("Name:", kDialogMargin, 12));
        c.push_back(DescribeEdit("Edit1", Bounds(60, 12, 268, kFieldHeight)));
        c.push_back(DescribeRowLabel("Image:", kDialogMargin, 40));
        c.push_back(DescribeEdit("Edit2", Bounds(60, 40, 240, kFieldHeight)));
        c.push_back(DescribeBrowseButton("SpeedButton1", 305, 40, "SpeedButton1Click"));
        addZonePanel(c, "Panel1", "Circular zone:", 70,
                     {{"X:", DescribeSpin("SpinEdit1", none, 0, 1000000, 0)},
                      {"Y:", DescribeSpin("SpinEdit2", none, 0, 0, 0)},
                      {"Ray:", DescribeSpin("SpinEdit3", none, 0, 100000, 0)}},
                     "Edit3", "Button2");
        addZonePanel(c, "Panel2", "Rectangular zone:", 184,
                     {{"Topleft X:", DescribeSpin("SpinEdit4", none, 0, 1000000, 0)},
                      {"Topleft Y:", DescribeSpin("SpinEdit5", none, 0, 1000000, 0)},
                      {"Bottom right X:", DescribeSpin("SpinEdit7", none, 0, 1000000, 0)},
                      {"Bottom right Y:", DescribeSpin("SpinEdit6", none, 0, 1000000, 0)}},
                     "Edit4", "Button3");
        c.push_back(DescribeLabel("Zones:", 340, 12));
        c.push_back(DescribeListBox("ListBox1", Bounds(340, 30, 280, 238)));
        c.push_back(DescribeButton("Button4", "Delete zone", Bounds(340, 274, 90, kButtonHeight), "Button4Click"));
        AddDialogButtons(c, 620, 308);
        c.push_back({.Name = "OpenPictureDialog1", .ClassName = "TOpenPictureDialog",
                     .Properties = {{"Filter", kPictureFileFilter}}});
        return form;
    }();
    return description;
}

std::string spin(TSpinEdit* edit) { return SpinText(*edit); }

} // namespace

// ---- Anchor ------------------------------------------------------------------------

Tancrefrm::Tancrefrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &Tancrefrm::Button1Click);
    handlers.Add("Button2Click", this, &Tancrefrm::Button2Click);
    handlers.Add("Button3Click", this, &Tancrefrm::Button3Click);
    Build(anchorDescription(), handlers);
    edit1 = Find<TEdit>("edit1");
}

void Tancrefrm::Button1Click(TPersistent*) {
    InsertMarkup("<A NAME=\"" + edit1->Text() + "\">" + SelectedText() + "</A>");
    // The caret goes in front of "</A>", where the anchor's text belongs.
    SelectBeforeCaret(4, 0);
}

void Tancrefrm::Button2Click(TPersistent*) { Close(); }

void Tancrefrm::Button3Click(TPersistent*) { OpenDialogHelpPage("ancre.htm"); }

// ---- Internal link ----------------------------------------------------------------------

Tlienifrm::Tlienifrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tlienifrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tlienifrm::helpbtnClick);
    Build(internalLinkDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
}

void Tlienifrm::okbtnClick(TPersistent*) {
    InsertMarkup("<A HREF=\"" + Edit1->Text() + "#" + Edit2->Text() + "\">" + SelectedText() + "</A>");
}

void Tlienifrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("ilink.htm"); }

// ---- Link ---------------------------------------------------------------------------------

Tlinkfrm::Tlinkfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("RadioButton1Click", this, &Tlinkfrm::RadioButton1Click);
    handlers.Add("RadioButton2Click", this, &Tlinkfrm::RadioButton2Click);
    handlers.Add("RadioButton3Click", this, &Tlinkfrm::RadioButton3Click);
    handlers.Add("RadioButton4Click", this, &Tlinkfrm::RadioButton4Click);
    handlers.Add("RadioButton5Click", this, &Tlinkfrm::RadioButton5Click);
    handlers.Add("RadioButton6Click", this, &Tlinkfrm::RadioButton6Click);
    handlers.Add("RadioButton7Click", this, &Tlinkfrm::RadioButton7Click);
    handlers.Add("okbtnClick", this, &Tlinkfrm::okbtnClick);
    handlers.Add("SpeedButton1Click", this, &Tlinkfrm::SpeedButton1Click);
    handlers.Add("helpbtnClick", this, &Tlinkfrm::helpbtnClick);
    Build(linkDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    edit3 = Find<TEdit>("edit3");
    titreTxt = Find<TEdit>("titreTxt");
    OpenDlg = Find<TOpenDialog>("OpenDlg");
}

void Tlinkfrm::RadioButton1Click(TPersistent*) { Edit1->SetText(kProtocols[0].Prefix); }
void Tlinkfrm::RadioButton2Click(TPersistent*) { Edit1->SetText(kProtocols[1].Prefix); }
void Tlinkfrm::RadioButton3Click(TPersistent*) { Edit1->SetText(kProtocols[2].Prefix); }
void Tlinkfrm::RadioButton4Click(TPersistent*) { Edit1->SetText(kProtocols[3].Prefix); }
void Tlinkfrm::RadioButton5Click(TPersistent*) { Edit1->SetText(kProtocols[4].Prefix); }
void Tlinkfrm::RadioButton6Click(TPersistent*) { Edit1->SetText(kProtocols[5].Prefix); }
void Tlinkfrm::RadioButton7Click(TPersistent*) { Edit1->SetText(kProtocols[6].Prefix); }

void Tlinkfrm::okbtnClick(TPersistent*) {
    // The optional attributes, each with its leading blank, in this order.
    std::string attributes;
    if (!edit3->Text().empty())
        attributes += " target=\"" + edit3->Text() + "\"";
    if (!Edit2->Text().empty())
        attributes += " OnMouseOver=\"window.status='" + Edit2->Text() +
                      "'; return true;\" OnMouseOut=\"window.status=''\"";
    if (!titreTxt->Text().empty())
        attributes += " title=\"" + titreTxt->Text() + "\"";
    InsertMarkup("<A HREF=\"" + Edit1->Text() + "\"" + attributes + ">" + SelectedText() + "</A>");
}

void Tlinkfrm::SpeedButton1Click(TPersistent*) {
    BrowseForFile(*OpenDlg, *Edit1, nullptr, [this] { OpenDlg->SetFilter(GetFileFilter("")); });
}

void Tlinkfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("link.htm"); }

// ---- Image map -------------------------------------------------------------------------------

Tmapfrm::Tmapfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("Button2Click", this, &Tmapfrm::Button2Click);
    handlers.Add("Button3Click", this, &Tmapfrm::Button3Click);
    handlers.Add("Button4Click", this, &Tmapfrm::Button4Click);
    handlers.Add("SpeedButton1Click", this, &Tmapfrm::SpeedButton1Click);
    handlers.Add("okbtnClick", this, &Tmapfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tmapfrm::helpbtnClick);
    Build(mapDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    Edit3 = Find<TEdit>("Edit3");
    Edit4 = Find<TEdit>("Edit4");
    ListBox1 = Find<TListBox>("ListBox1");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    SpinEdit3 = Find<TSpinEdit>("SpinEdit3");
    SpinEdit4 = Find<TSpinEdit>("SpinEdit4");
    SpinEdit5 = Find<TSpinEdit>("SpinEdit5");
    SpinEdit6 = Find<TSpinEdit>("SpinEdit6");
    SpinEdit7 = Find<TSpinEdit>("SpinEdit7");
    OpenPictureDialog1 = Find<TOpenPictureDialog>("OpenPictureDialog1");
}

void Tmapfrm::Button2Click(TPersistent*) {
    ListBox1->Items().Add("<AREA SHAPE=\"CIRCLE\" COORDS=\"" + spin(SpinEdit1) + "," + spin(SpinEdit2) + "," +
                          spin(SpinEdit3) + "\" HREF=\"" + Edit3->Text() + "\">");
    Edit3->Clear();
    for (TSpinEdit* value : {SpinEdit1, SpinEdit3, SpinEdit2})
        value->SetValue(0);
}

void Tmapfrm::Button3Click(TPersistent*) {
    // Corners are written as entered, in whatever order they lie.
    ListBox1->Items().Add("<AREA SHAPE=\"RECT\" COORDS=\"" + spin(SpinEdit4) + "," + spin(SpinEdit5) + "," +
                          spin(SpinEdit7) + "," + spin(SpinEdit6) + "\" HREF=\"" + Edit4->Text() + "\">");
    Edit4->Clear();
    for (TSpinEdit* value : {SpinEdit4, SpinEdit5, SpinEdit7, SpinEdit6})
        value->SetValue(0);
}

void Tmapfrm::Button4Click(TPersistent*) {
    const int selected = ListBox1->ItemIndex();
    if (selected >= 0 && selected < ListBox1->Items().Count())
        ListBox1->Items().Delete(selected);
}

void Tmapfrm::SpeedButton1Click(TPersistent*) { BrowseForFile(*OpenPictureDialog1, *Edit2); }

void Tmapfrm::okbtnClick(TPersistent*) {
    std::string zones;
    for (int i = 0; i < ListBox1->Items().Count(); ++i)
        zones += ListBox1->Items().Strings(i) + "\r\n";
    InsertMarkup("<MAP NAME=\"" + Edit1->Text() + "\">" + zones + "</MAP><IMG SRC=\"" + Edit2->Text() +
                 "\" USEMAP=\"#" + Edit1->Text() + "\">");
}

void Tmapfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("imagemap.htm"); }
