#include "app/dialogs/ListTableDialogs.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

namespace {

// ---- List ------------------------------------------------------------------------------

const TFormDescription& listDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("List", 344, 196)};
        auto& c = form.Components;
        c.push_back(DescribeGroup("GroupBox1", "List style", Bounds(kDialogMargin, 8, 130, 92)));
        c.push_back(WithEvent(DescribeRadio("RadioButton1", "Menu", Bounds(10, 20, 110, 17), true, "GroupBox1"),
                              "OnClick", "RadioButton1Click"));
        c.push_back(WithEvent(DescribeRadio("RadioButton2", "Ordered list", Bounds(10, 43, 110, 17), false, "GroupBox1"),
                              "OnClick", "RadioButton2Click"));
        c.push_back(WithEvent(DescribeRadio("RadioButton5", "Tree", Bounds(10, 66, 110, 17), false, "GroupBox1"),
                              "OnClick", "RadioButton5Click"));
        // The three type boxes share one place; the style shows one.
        const TRect typeBox = Bounds(146, 8, 190, 144);
        c.push_back(DescribeGroup("menubox", "Type", typeBox));
        c.push_back(DescribeRadio("RadioButton4", "Disc", Bounds(10, 20, 170, 17), true, "menubox"));
        c.push_back(WithProperty(DescribeGroup("ordbox", "Type", typeBox), "Visible", false));
        const std::pair<const char*, const char*> numberings[] = {{"RadioButton6", "Numbers (1-2-3 ...)"},
                                                                   {"RadioButton7", "Letters (A-B-C ...)"},
                                                                   {"RadioButton3", "Letters (a-b-c ...)"},
                                                                   {"RadioButton11", "I Letter (I-II-III ...)"},
                                                                   {"RadioButton8", "i Letter (i-ii-iii ...)"}};
        for (int i = 0; i < 5; ++i)
            c.push_back(DescribeRadio(numberings[i].first, numberings[i].second, Bounds(10, 20 + i * 23, 170, 17),
                                      i == 0, "ordbox"));
        c.push_back(WithProperty(DescribeGroup("arbbox", "Type", typeBox), "Visible", false));
        c.push_back(DescribeRadio("RadioButton9", "Definition", Bounds(10, 20, 170, 17), true, "arbbox"));
        c.push_back(DescribeRowLabel("Items:", kDialogMargin, 112));
        c.push_back(DescribeSpin("SpinEdit1", Bounds(60, 112, 78, kFieldHeight), 1, 1000, 1));
        AddDialogButtons(c, 336, 163);
        return form;
    }();
    return description;
}

// The list's first line, entry line and last line.
struct TListShape {
    const char* First;
    const char* Entry;
    const char* Last;
};

// ---- Table -----------------------------------------------------------------------------

const TFormDescription& tableDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Table", 400, 277)};
        auto& c = form.Components;
        const std::tuple<const char*, const char*, int, int, int> left[] = {
            {"Rows:", "SpinEdit1", 1, 1000, 2},        {"Columms:", "SpinEdit2", 1, 1000, 2},
            {"Cellspacing:", "SpinEdit3", 0, 1000, 2}, {"Cellpadding:", "SpinEdit4", 0, 1000, 1},
            {"Border:", "SpinEdit5", 0, 1000, 1}};
        for (int i = 0; i < 5; ++i) {
            const auto& [label, name, min, max, value] = left[i];
            c.push_back(DescribeRowLabel(label, kDialogMargin, 12 + i * 28));
            c.push_back(DescribeSpin(name, Bounds(112, 12 + i * 28, 64, kFieldHeight), min, max, value));
        }
        constexpr int label = 196, field = 290;
        c.push_back(DescribeRowLabel("Width:", label, 12));
        c.push_back(DescribeSpin("SpinEdit6", Bounds(field, 12, 60, kFieldHeight), 1, 5000, 100));
        c.push_back(WithEvent(DescribeCheck("CheckBox1", "%", Bounds(356, 14, 36, 17), true), "OnClick",
                              "CheckBox1Click"));
        c.push_back(DescribeRowLabel("Table Height:", label, 40));
        c.push_back(DescribeSpin("SpinEdit7", Bounds(field, 40, 60, kFieldHeight), 0, 5000, 0));
        c.push_back(WithEvent(DescribeCheck("CheckBox2", "%", Bounds(356, 42, 36, 17)), "OnClick", "CheckBox1Click"));
        c.push_back(DescribeRowLabel("Background:", label, 68));
        c.push_back(DescribeSwatch("Memo2", Bounds(field, 68, 60, kFieldHeight), clWhite, "Memo2Click"));
        c.push_back(DescribeRowLabel("Border:", label, 96));
        c.push_back(DescribeSwatch("Memo3", Bounds(field, 96, 60, kFieldHeight), clSilver, "Memo3Click"));
        c.push_back(DescribeRowLabel("Table Title:", kDialogMargin, 152));
        c.push_back(DescribeEdit("Edit1", Bounds(112, 152, 280, kFieldHeight)));
        c.push_back(DescribeRowLabel("Background Image:", kDialogMargin, 180));
        c.push_back(DescribeEdit("Edit2", Bounds(112, 180, 252, kFieldHeight)));
        c.push_back(DescribeButton("Button1", "...", Bounds(369, 180, 23, kFieldHeight), "Button1Click"));
        c.push_back(DescribeCheck("CheckBox3", "Heading row", Bounds(112, 212, 150, 17)));
        AddDialogButtons(c, 392, 244);
        c.push_back({.Name = "ColorDialog1", .ClassName = "TColorDialog"});
        c.push_back({.Name = "OpenPictureDialog1", .ClassName = "TOpenPictureDialog"});
        return form;
    }();
    return description;
}

} // namespace

// ---- List ------------------------------------------------------------------------------

Tlistfrm::Tlistfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("RadioButton1Click", this, &Tlistfrm::RadioButton1Click);
    handlers.Add("RadioButton2Click", this, &Tlistfrm::RadioButton2Click);
    handlers.Add("RadioButton5Click", this, &Tlistfrm::RadioButton5Click);
    handlers.Add("okbtnClick", this, &Tlistfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tlistfrm::helpbtnClick);
    Build(listDescription(), handlers);
    RadioButton1 = Find<TRadioButton>("RadioButton1");
    RadioButton2 = Find<TRadioButton>("RadioButton2");
    RadioButton5 = Find<TRadioButton>("RadioButton5");
    menubox = Find<TGroupBox>("menubox");
    ordbox = Find<TGroupBox>("ordbox");
    arbbox = Find<TGroupBox>("arbbox");
    RadioButton6 = Find<TRadioButton>("RadioButton6");
    RadioButton7 = Find<TRadioButton>("RadioButton7");
    RadioButton3 = Find<TRadioButton>("RadioButton3");
    RadioButton11 = Find<TRadioButton>("RadioButton11");
    RadioButton8 = Find<TRadioButton>("RadioButton8");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
}

void Tlistfrm::showTypeBox(TGroupBox* box) {
    for (TGroupBox* each : {menubox, ordbox, arbbox})
        each->SetVisible(each == box);
}

void Tlistfrm::RadioButton1Click(TPersistent*) { showTypeBox(menubox); }
void Tlistfrm::RadioButton2Click(TPersistent*) { showTypeBox(ordbox); }
void Tlistfrm::RadioButton5Click(TPersistent*) { showTypeBox(arbbox); }

void Tlistfrm::okbtnClick(TPersistent*) {
    TListShape shape{"<DL>", "  <DT>Item<DD>Definition", "</DL>"};
    if (RadioButton1->Checked()) {
        shape = {"<UL>", "  <LI>", "</UL>"};
    } else if (RadioButton2->Checked()) {
        // The first numbering ticked wins, in this order.
        const std::pair<TRadioButton*, const char*> numberings[] = {
            {RadioButton6, "<OL>"}, {RadioButton7, "<OL TYPE=A>"}, {RadioButton3, "<OL TYPE=a>"},
            {RadioButton8, "<OL TYPE=i>"}, {RadioButton11, "<OL TYPE=I>"}};
        shape = {"<OL>", "  <LI>", "</OL>"};
        for (const auto& [button, first] : numberings)
            if (button->Checked()) {
                shape.First = first;
                break;
            }
    }
    std::string markup = std::string(shape.First) + "\r\n";
    for (int i = 0; i < SpinEdit1->Value(); ++i)
        markup += std::string(shape.Entry) + "\r\n";
    InsertMarkup(markup + shape.Last + "\r\n");
}

void Tlistfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("list.htm"); }

// ---- Table -----------------------------------------------------------------------------

Ttablefrm::Ttablefrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("CheckBox1Click", this, &Ttablefrm::CheckBox1Click);
    handlers.Add("Memo2Click", this, &Ttablefrm::Memo2Click);
    handlers.Add("Memo3Click", this, &Ttablefrm::Memo3Click);
    handlers.Add("Button1Click", this, &Ttablefrm::Button1Click);
    handlers.Add("okbtnClick", this, &Ttablefrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Ttablefrm::helpbtnClick);
    Build(tableDescription(), handlers);
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    SpinEdit3 = Find<TSpinEdit>("SpinEdit3");
    SpinEdit4 = Find<TSpinEdit>("SpinEdit4");
    SpinEdit5 = Find<TSpinEdit>("SpinEdit5");
    SpinEdit6 = Find<TSpinEdit>("SpinEdit6");
    SpinEdit7 = Find<TSpinEdit>("SpinEdit7");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    CheckBox2 = Find<TCheckBox>("CheckBox2");
    CheckBox3 = Find<TCheckBox>("CheckBox3");
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    Memo2 = Find<TPanel>("Memo2");
    Memo3 = Find<TPanel>("Memo3");
    ColorDialog1 = Find<TColorDialog>("ColorDialog1");
    OpenPictureDialog1 = Find<TOpenPictureDialog>("OpenPictureDialog1");
    OnClose = [this](TPersistent* sender, TCloseAction& action) { FormClose(sender, action); };
    // The width opens in %: its limit holds from the start.
    CheckBox1Click(this);
}

void Ttablefrm::CheckBox1Click(TPersistent*) {
    if (CheckBox1->Checked()) {
        SpinEdit6->SetMaxValue(100);
        if (SpinEdit6->Value() > 100)
            SpinEdit6->SetValue(100);
    } else {
        SpinEdit6->SetMaxValue(1000);
    }
}

void Ttablefrm::Memo2Click(TPersistent*) { ChooseSwatchColor(*ColorDialog1, *Memo2); }

void Ttablefrm::Memo3Click(TPersistent*) { ChooseSwatchColor(*ColorDialog1, *Memo3); }

void Ttablefrm::Button1Click(TPersistent*) { BrowseForFile(*OpenPictureDialog1, *Edit2); }

void Ttablefrm::okbtnClick(TPersistent*) {
    std::string markup = "<TABLE WIDTH=\"" + SpinText(*SpinEdit6) + (CheckBox1->Checked() ? "%" : "");
    if (SpinEdit7->Value() != 0)
        markup += "\" HEIGHT=\"" + SpinText(*SpinEdit7) + (CheckBox2->Checked() ? "%" : "");
    markup += "\" BORDER=\"" + SpinText(*SpinEdit5);
    if (SpinEdit4->Value() != 1)
        markup += "\" CELLPADDING=\"" + SpinText(*SpinEdit4);
    if (SpinEdit3->Value() != 2)
        markup += "\" CELLSPACING=\"" + SpinText(*SpinEdit3);
    markup += "\" BGCOLOR=\"" + HtmlColor(Memo2->Color()) + "\" BORDERCOLOR=\"" + HtmlColor(Memo3->Color());
    if (!Edit2->Text().empty())
        markup += "\" BACKGROUND=\"" + Edit2->Text();
    markup += "\">";
    if (!Edit1->Text().empty())
        markup += "\r\n  <CAPTION>" + Edit1->Text() + "</CAPTION>";
    const int columns = SpinEdit2->Value();
    if (CheckBox3->Checked()) {
        markup += "\r\n    <TR>";
        for (int column = 1; column <= columns; ++column)
            markup += "\r\n        <TH><!-- En-t\xC3\xAAte --></TH>";
        markup += "\r\n    </TR>";
    }
    for (int row = 1; row <= SpinEdit1->Value(); ++row) {
        markup += "\r\n    <TR>";
        for (int column = 1; column <= columns; ++column)
            markup += "\r\n        <TD>&nbsp;<!-- Ran:" + std::to_string(row) + ", Col:" + std::to_string(column) +
                      " --></TD>";
        markup += "\r\n    </TR>";
    }
    InsertMarkup(markup + "\r\n</TABLE>");
}

void Ttablefrm::FormClose(TPersistent*, TCloseAction&) { EnableMainWindow(); }

void Ttablefrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("tables.htm"); }
