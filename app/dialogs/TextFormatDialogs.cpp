#include "app/dialogs/TextFormatDialogs.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/gfx/FontNames.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

#include <algorithm>

namespace {

// ---- Font -------------------------------------------------------------------------------

const TFormDescription& fontDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Font", 400, 278)};
        auto& c = form.Components;
        c.push_back(DescribeLabel("Font properties:", kDialogMargin, 8));
        c.push_back({.Name = "Memo1",
                     .ClassName = "TMemo",
                     .Bounds = Bounds(kDialogMargin, 26, 384, 70),
                     .Properties = {{"Lines", "\r\nAaFfKkQqTtWw"},
                                    {"ReadOnly", true},
                                    {"Alignment", "taCenter"},
                                    {"ParentColor", false},
                                    {"Color", static_cast<int64_t>(clWhite)},
                                    {"TabStop", false}}});
        // A tick box says whether each attribute is written.
        constexpr int tick = 100, field = 122;
        c.push_back(DescribeRowLabel("Font size:", kDialogMargin, 108));
        c.push_back(DescribeCheck("cb1", "", Bounds(tick, 110, 17, 17)));
        c.push_back(WithEvent(DescribeSpin("SpinEdit1", Bounds(field, 108, 60, kFieldHeight), 1, 7, 1), "OnChange",
                              "SpinEdit1Change"));
        c.push_back(DescribeRowLabel("Font color:", kDialogMargin, 136));
        c.push_back(DescribeCheck("cb2", "", Bounds(tick, 138, 17, 17)));
        c.push_back(DescribeSwatch("Memo2", Bounds(field, 136, 60, kFieldHeight), clBlack, "Button1Click"));
        c.push_back(DescribeRowLabel("Font style:", kDialogMargin, 164));
        for (int i = 1; i <= 3; ++i) {
            const int top = 164 + (i - 1) * 26;
            const std::string combo = "ComboBox" + std::to_string(i);
            c.push_back(DescribeCheck("CheckBox" + std::to_string(i), "", Bounds(tick, top + 2, 17, 17)));
            TComponentDescription faces = DescribeCombo(combo, Bounds(field, top, 270, kFieldHeight), "Arial");
            if (i == 1)
                faces = WithEvent(WithEvent(faces, "OnChange", "ComboBox1Change"), "OnClick", "ComboBox1Click");
            c.push_back(std::move(faces));
        }
        // The buttons keep a margin's room below the last box.
        AddDialogButtons(c, 392, 245);
        c.push_back({.Name = "fontcolordialog", .ClassName = "TColorDialog",
                     .Properties = {{"Options", static_cast<int64_t>(cdFullOpen)}}});
        return form;
    }();
    return description;
}

// ---- Rule ---------------------------------------------------------------------------------

const TFormDescription& ruleDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Horizontal rule", 280, 154)};
        auto& c = form.Components;
        constexpr int field = 90;
        c.push_back(DescribeRowLabel("Thickness", kDialogMargin, 12));
        c.push_back(DescribeSpin("SpinEdit1", Bounds(field, 12, 60, kFieldHeight), 1, 10, 1));
        c.push_back(DescribeRowLabel("Width (%)", kDialogMargin, 40));
        c.push_back(DescribeSpin("SpinEdit2", Bounds(field, 40, 60, kFieldHeight), 0, 100, 100));
        c.push_back(DescribeRowLabel("Color:", kDialogMargin, 68));
        c.push_back(DescribeSwatch("Memo1", Bounds(field, 68, 60, kFieldHeight), clBlack, "Memo1Click"));
        c.push_back(DescribeCheck("CheckBox1", "3D effect", Bounds(field, 98, 120, 17), true));
        AddDialogButtons(c, 272, 121);
        c.push_back({.Name = "ColorDialog1", .ClassName = "TColorDialog"});
        return form;
    }();
    return description;
}

} // namespace

int FontSamplePoints(int htmlSize) {
    static constexpr int kPoints[] = {8, 10, 12, 14, 18, 24, 36};
    return kPoints[std::clamp(htmlSize, 1, 7) - 1];
}

// ---- Font -------------------------------------------------------------------------------

TFontForm::TFontForm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("SpinEdit1Change", this, &TFontForm::SpinEdit1Change);
    handlers.Add("ComboBox1Change", this, &TFontForm::ComboBox1Change);
    handlers.Add("ComboBox1Click", this, &TFontForm::ComboBox1Click);
    handlers.Add("Button1Click", this, &TFontForm::Button1Click);
    handlers.Add("okbtnClick", this, &TFontForm::okbtnClick);
    handlers.Add("helpbtnClick", this, &TFontForm::helpbtnClick);
    Build(fontDescription(), handlers);
    Memo1 = Find<TMemo>("Memo1");
    cb1 = Find<TCheckBox>("cb1");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    cb2 = Find<TCheckBox>("cb2");
    Memo2 = Find<TPanel>("Memo2");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    CheckBox2 = Find<TCheckBox>("CheckBox2");
    CheckBox3 = Find<TCheckBox>("CheckBox3");
    ComboBox1 = Find<TComboBox>("ComboBox1");
    ComboBox2 = Find<TComboBox>("ComboBox2");
    ComboBox3 = Find<TComboBox>("ComboBox3");
    fontcolordialog = Find<TColorDialog>("fontcolordialog");
    FormCreate(this);
}

void TFontForm::FormCreate(TPersistent* sender) {
    const std::vector<std::string> names = InstalledFontNames();
    for (TComboBox* faces : {ComboBox1, ComboBox2, ComboBox3}) {
        const std::string chosen = faces->Text();
        faces->Items().BeginUpdate();
        for (const std::string& name : names)
            faces->Items().Add(name);
        faces->Items().EndUpdate();
        faces->SetText(chosen);
    }
    ComboBox1Change(sender);
    SpinEdit1Change(sender);
}

void TFontForm::SpinEdit1Change(TPersistent*) { Memo1->Font().SetSize(FontSamplePoints(SpinEdit1->Value())); }

void TFontForm::ComboBox1Change(TPersistent*) { Memo1->Font().SetName(ComboBox1->Text()); }

void TFontForm::ComboBox1Click(TPersistent* sender) { ComboBox1Change(sender); }

void TFontForm::Button1Click(TPersistent*) {
    if (ChooseSwatchColor(*fontcolordialog, *Memo2))
        Memo1->Font().SetColor(Memo2->Color());
}

void TFontForm::okbtnClick(TPersistent*) {
    const std::string selection = SelectedText();
    std::string markup = "<FONT";
    if (cb2->Checked())
        markup += " COLOR=\"" + HtmlColor(Memo2->Color()) + "\"";
    if (cb1->Checked())
        markup += " SIZE=" + SpinText(*SpinEdit1);
    // The second and third faces only follow a first one.
    if (CheckBox1->Checked()) {
        markup += " FACE=\"" + ComboBox1->Text();
        if (CheckBox2->Checked())
            markup += ", " + ComboBox2->Text();
        if (CheckBox3->Checked())
            markup += ", " + ComboBox3->Text();
        markup += "\"";
    }
    InsertMarkup(markup + ">" + selection + "</FONT>");
    // The wrapped text is selected again, inside the tags.
    const int length = static_cast<int>(selection.size());
    SelectBeforeCaret(7 + length, length);
}

void TFontForm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("police.htm"); }

// ---- Rule ---------------------------------------------------------------------------------

Thrdlg::Thrdlg(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("Memo1Click", this, &Thrdlg::Memo1Click);
    handlers.Add("okbtnClick", this, &Thrdlg::okbtnClick);
    handlers.Add("helpbtnClick", this, &Thrdlg::helpbtnClick);
    Build(ruleDescription(), handlers);
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    Memo1 = Find<TPanel>("Memo1");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    ColorDialog1 = Find<TColorDialog>("ColorDialog1");
}

void Thrdlg::Memo1Click(TPersistent*) { ChooseSwatchColor(*ColorDialog1, *Memo1); }

void Thrdlg::okbtnClick(TPersistent*) {
    InsertMarkup("<HR WIDTH=" + SpinText(*SpinEdit2) + "% size=" + SpinText(*SpinEdit1) + " COLOR=\"#" +
                 HexColor(Memo1->Color()) + "\"" + (CheckBox1->Checked() ? "" : " NOSHADE") + ">");
}

void Thrdlg::helpbtnClick(TPersistent*) { OpenDialogHelpPage("rule.htm"); }
