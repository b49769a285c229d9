#include "app/dialogs/PictureDialogs.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/Picture.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>

namespace {

// ---- Image and form image ----------------------------------------------------------------

// The alignment buttons RadioButton1 .. RadioButton9 and what each writes.
struct TAlignmentChoice {
    const char* Caption;
    const char* Attribute;
};
constexpr TAlignmentChoice kAlignments[] = {
    {"Bottom", ""},
    {"Middle", " ALIGN=\"middle\""},
    {"Top", " ALIGN=\"top\""},
    {"Left", " ALIGN=\"left\""},
    {"Right", " ALIGN=\"right\""},
    {"Absmiddle", " ALIGN=\"absmiddle\""},
    {"Absbottom", " ALIGN=\"absbottom\""},
    {"Baseline", " ALIGN=\"baseline\""},
    {"Texttop", " ALIGN=\"texttop\""},
};

TFormDescription pictureDescription(std::string caption, bool formImage) {
    TFormDescription form;
    auto& c = form.Components;
    constexpr int field = 100;
    c.push_back(DescribeRowLabel("Image name:", kDialogMargin, 12));
    c.push_back(DescribeEdit("Edit1", Bounds(field, 12, 300, kFieldHeight)));
    c.push_back(DescribeBrowseButton("SpeedButton1", 405, 12, "SpeedButton1Click"));
    c.push_back(DescribeRowLabel("Alternative:", kDialogMargin, 40));
    c.push_back(DescribeEdit("Edit2", Bounds(field, 40, 328, kFieldHeight)));
    int top = 68;
    if (formImage) {
        c.push_back(DescribeRowLabel("Name:", kDialogMargin, top));
        c.push_back(DescribeEdit("Edit3", Bounds(field, top, 328, kFieldHeight)));
        top += 28;
    }
    top += 6;
    const std::tuple<const char*, const char*, int, int> spins[] = {
        {"Height:", "SpinEdit1", kDialogMargin, top},          {"Horizontal sp.", "SpinEdit5", 200, top},
        {"Width:", "SpinEdit2", kDialogMargin, top + 28},      {"Vertical sp.", "SpinEdit4", 200, top + 28},
        {"Border:", "SpinEdit3", kDialogMargin, top + 56}};
    for (const auto& [label, name, left, y] : spins) {
        c.push_back(DescribeRowLabel(label, left, y));
        c.push_back(DescribeSpin(name, Bounds(left + 92, y, 64, kFieldHeight), 0, 1000, 0));
    }
    top += 90;
    c.push_back(DescribeGroup("GroupBox1", "Image alignment", Bounds(kDialogMargin, top, 420, 70)));
    for (int i = 0; i < 9; ++i)
        c.push_back(DescribeRadio("RadioButton" + std::to_string(i + 1), kAlignments[i].Caption,
                                  Bounds(10 + (i % 5) * 82, 20 + (i / 5) * 24, 80, 17), i == 0, "GroupBox1"));
    top += 82;
    AddDialogButtons(c, 428, top);
    c.push_back({.Name = "Image1", .ClassName = "TImage", .Bounds = Bounds(0, 0, 16, 16),
                 .Properties = {{"Visible", false}}});
    c.push_back({.Name = "OpenPictureDialog1", .ClassName = "TOpenPictureDialog",
                 .Properties = {{"Filter", kPictureFileFilter}}});
    form.Properties = DialogProperties(std::move(caption), 436, top + kButtonHeight + kDialogMargin);
    return form;
}

const TFormDescription& imageDescription() {
    static const TFormDescription description = pictureDescription("Image", false);
    return description;
}

const TFormDescription& formImageDescription() {
    static const TFormDescription description = pictureDescription("Form Image", true);
    return description;
}

// A measured size goes into its field whole: the field's limit is raised
// for a picture larger than it.
void showSize(TSpinEdit& field, int size) {
    if (size > field.MaxValue())
        field.SetMaxValue(size);
    field.SetValue(size);
}

// ---- Embed -----------------------------------------------------------------------------------

const TFormDescription& embedDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Embed", 360, 226)};
        auto& c = form.Components;
        c.push_back(DescribeRowLabel("File:", kDialogMargin, 12));
        c.push_back(DescribeEdit("Edit1", Bounds(60, 12, 264, kFieldHeight)));
        c.push_back(DescribeBrowseButton("SpeedButton1", 329, 12, "SpeedButton1Click"));
        c.push_back(DescribeGroup("GroupBox1", "Play mode", Bounds(kDialogMargin, 44, 120, 68)));
        c.push_back(DescribeRadio("RadioButton1", "Once", Bounds(10, 20, 100, 17), false, "GroupBox1"));
        c.push_back(DescribeRadio("RadioButton2", "Loop", Bounds(10, 43, 100, 17), true, "GroupBox1"));
        c.push_back(DescribeGroup("GroupBox2", "Control panel", Bounds(136, 44, 216, 68)));
        c.push_back(DescribeRadio("RadioButton3", "Small and simple", Bounds(10, 20, 196, 17), false, "GroupBox2"));
        c.push_back(DescribeRadio("RadioButton4", "Big and advanced", Bounds(10, 43, 196, 17), true, "GroupBox2"));
        c.push_back(WithEvent(DescribeCheck("CheckBox1", "Hide control panel", Bounds(kDialogMargin, 122, 160, 17)),
                              "OnClick", "CheckBox1Click"));
        c.push_back(WithEvent(DescribeCheck("CheckBox2", "Autostart", Bounds(192, 122, 120, 17)), "OnClick",
                              "CheckBox1Click"));
        c.push_back(DescribeRowLabel("Border:", kDialogMargin, 152));
        c.push_back(DescribeSpin("borderSpin", Bounds(60, 152, 60, kFieldHeight), 0, 100, 0));
        c.push_back(DescribeRowLabel("Volume:", 192, 152));
        c.push_back(DescribeSpin("VolumeSpin", Bounds(244, 152, 60, kFieldHeight), 0, 100, 60));
        AddDialogButtons(c, 352, 193);
        c.push_back({.Name = "OpenDialog1", .ClassName = "TOpenDialog",
                     .Properties = {{"Filter", "Sound files (*.wav, *.mid)|*.wav;*.mid|Video files (*.avi)|*.avi|"
                                               "All files (*.*)|*.*"}}});
        return form;
    }();
    return description;
}

constexpr int kDefaultVolume = 60;

} // namespace

// ---- Image and form image ----------------------------------------------------------------

TPictureDialog::TPictureDialog(TComponent* owner, bool formImage)
    : TElementDialog(owner), helpPage_(formImage ? "imgform.htm" : "image.htm") {
    THandlerTable handlers;
    handlers.Add("SpeedButton1Click", this, &TPictureDialog::SpeedButton1Click);
    handlers.Add("okbtnClick", this, &TPictureDialog::okbtnClick);
    handlers.Add("helpbtnClick", this, &TPictureDialog::helpbtnClick);
    Build(formImage ? formImageDescription() : imageDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    SpinEdit3 = Find<TSpinEdit>("SpinEdit3");
    SpinEdit4 = Find<TSpinEdit>("SpinEdit4");
    SpinEdit5 = Find<TSpinEdit>("SpinEdit5");
    Image1 = Find<TImage>("Image1");
    OpenPictureDialog1 = Find<TOpenPictureDialog>("OpenPictureDialog1");
}

bool TPictureDialog::ReadPictureSize(const std::string& fileName) {
    try {
        Image1->Picture().LoadFromFile(fileName);
    } catch (const Exception& error) {
        UserInteraction().MessageDlg("The picture " + DisplayTextOfName(FileNameOf(fileName)) +
                                         " could not be read: " + error.Message(),
                                     mtError, mbOKOnly);
        return false;
    }
    showSize(*SpinEdit1, Image1->Picture().Height());
    showSize(*SpinEdit2, Image1->Picture().Width());
    return true;
}

void TPictureDialog::SpeedButton1Click(TPersistent*) {
    std::string chosen;
    if (BrowseForFile(*OpenPictureDialog1, *Edit1, &chosen))
        ReadPictureSize(chosen);
}

std::string TPictureDialog::alignment() const {
    for (int i = 1; i < 9; ++i)
        if (Find<TRadioButton>("RadioButton" + std::to_string(i + 1))->Checked())
            return kAlignments[i].Attribute;
    return {};
}

void TPictureDialog::okbtnClick(TPersistent*) {
    // Every attribute is written, also when 0 or empty.
    InsertMarkup(tagStart() + "SRC=\"" + Edit1->Text() + "\" BORDER=\"" + SpinText(*SpinEdit3) + "\" HEIGHT=\"" +
                 SpinText(*SpinEdit1) + "\" WIDTH=\"" + SpinText(*SpinEdit2) + "\" ALT=\"" + Edit2->Text() +
                 "\" HSPACE=\"" + SpinText(*SpinEdit5) + "\" VSPACE=\"" + SpinText(*SpinEdit4) + "\"" + alignment() +
                 ">");
}

void TPictureDialog::helpbtnClick(TPersistent*) { OpenDialogHelpPage(helpPage_); }

Timagefrm::Timagefrm(TComponent* owner) : TPictureDialog(owner, false) {}

std::string Timagefrm::tagStart() const { return "<IMG "; }

Tformpicfrm::Tformpicfrm(TComponent* owner) : TPictureDialog(owner, true) { Edit3 = Find<TEdit>("Edit3"); }

std::string Tformpicfrm::tagStart() const { return "<INPUT TYPE=\"image\" NAME=\"" + Edit3->Text() + "\" "; }

// ---- Embed -----------------------------------------------------------------------------------

Tembedfrm::Tembedfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("CheckBox1Click", this, &Tembedfrm::CheckBox1Click);
    handlers.Add("SpeedButton1Click", this, &Tembedfrm::SpeedButton1Click);
    handlers.Add("okbtnClick", this, &Tembedfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tembedfrm::helpbtnClick);
    Build(embedDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    RadioButton2 = Find<TRadioButton>("RadioButton2");
    RadioButton4 = Find<TRadioButton>("RadioButton4");
    GroupBox2 = Find<TGroupBox>("GroupBox2");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    CheckBox2 = Find<TCheckBox>("CheckBox2");
    borderSpin = Find<TSpinEdit>("borderSpin");
    VolumeSpin = Find<TSpinEdit>("VolumeSpin");
    OpenDialog1 = Find<TOpenDialog>("OpenDialog1");
}

void Tembedfrm::CheckBox1Click(TPersistent*) { GroupBox2->SetVisible(!CheckBox1->Checked()); }

void Tembedfrm::SpeedButton1Click(TPersistent*) { BrowseForFile(*OpenDialog1, *Edit1); }

void Tembedfrm::okbtnClick(TPersistent*) {
    std::string markup = "<EMBED SRC=\"" + Edit1->Text() + "\"";
    if (RadioButton2->Checked())
        markup += " LOOP=true";
    if (CheckBox2->Checked())
        markup += " AUTOSTART=true";
    if (CheckBox1->Checked())
        markup += " HIDDEN=true";
    else if (RadioButton4->Checked())
        markup += " WIDTH=145 HEIGHT=60 CONTROLS=largeconsole";
    else
        markup += " WIDTH=145 HEIGHT=16 CONTROLS=smallconsole";
    if (borderSpin->Value() != 0)
        markup += " BORDER=\"" + SpinText(*borderSpin) + "\"";
    if (VolumeSpin->Value() != kDefaultVolume)
        markup += " VOLUME=\"" + SpinText(*VolumeSpin) + "\"";
    InsertMarkup(markup + ">");
}

void Tembedfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("embed.htm"); }
