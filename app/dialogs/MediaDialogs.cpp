#include "app/dialogs/MediaDialogs.h"

#include "app/dialogs/DialogLayout.h"
#include "app/dialogs/DialogPieces.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

namespace {

constexpr int kField = 96;

// The "Controls:" entries of the Real dialog and the token each writes.
constexpr std::pair<const char*, const char*> kRealControls[] = {
    {"All", "all"},
    {"Status Bar", "statusbar"},
    {"Play Button", "playbutton"},
    {"Stop Button", "stopbutton"},
    {"Position Field", "positionfield"},
    {"Status Field", "statusfield"},
    {"Image Window", "imagewindow"},
    {"Position Slider", "positionslider"},
    {"Volume Slider", "volumeslider"},
    {"Control Panel", "controlpanel"},
    {"Info Panel", "infopanel"},
    {"Volume Info Panel", "infovolumepanel"},
};

const std::vector<std::string> kAlignments = {"AbsBottom", "AbsMiddle", "Baseline", "Bottom", "Left",
                                              "Middle",    "Right",     "TextTop",  "Top"};

struct TMediaForm {
    const char* Caption;
    int Width, Height;
    const char* FileCaption;
};

// A row of a label and a text field across the page.
void addTextRow(std::vector<TComponentDescription>& c, const char* caption, const char* name, int top, int width,
                const std::string& parent) {
    c.push_back(DescribeRowLabel(caption, kDialogMargin, top, parent));
    c.push_back(DescribeEdit(name, Bounds(kField, top, width, kFieldHeight), {}, parent));
}

// File (with its Browse button) and name; returns the next row's top.
int addFileRows(std::vector<TComponentDescription>& c, const char* fileCaption, int width, const std::string& parent) {
    addTextRow(c, fileCaption, "Edit1", 12, width - 28, parent);
    c.push_back(DescribeBrowseButton("Button1", kField + width - 23, 12, "Button1Click", parent));
    addTextRow(c, "Name:", "Edit3", 40, width, parent);
    return 68;
}

// Height, width and (unless left out) the alignment; returns the next
// row's top.
int addSizeRows(std::vector<TComponentDescription>& c, int top, bool alignment, const std::string& parent) {
    c.push_back(DescribeRowLabel("Height:", kDialogMargin, top, parent));
    c.push_back(DescribeSpin("SpinEdit1", Bounds(kField, top, 70, kFieldHeight), 0, 0, 0, parent));
    c.push_back(DescribeRowLabel("Width:", kField + 100, top, parent));
    c.push_back(DescribeSpin("SpinEdit2", Bounds(kField + 150, top, 70, kFieldHeight), 0, 0, 0, parent));
    top += 28;
    if (alignment) {
        c.push_back(DescribeRowLabel("Alignment:", kDialogMargin, top, parent));
        c.push_back(DescribeFixedList("aligneCombo", Bounds(kField, top, 120, kFieldHeight), kAlignments, -1, parent));
        top += 28;
    }
    return top;
}

// Name and value with Add, the list with Delete.
void addParameterRows(std::vector<TComponentDescription>& c, int top, int width, int listHeight,
                      const std::string& parent) {
    addTextRow(c, "Name:", "Edit5", top, width - 84, parent);
    addTextRow(c, "Value:", "Edit6", top + 28, width - 84, parent);
    c.push_back(DescribeButton("Button2", "Add", Bounds(kField + width - 75, top + 14, 75, kButtonHeight),
                               "Button2Click", 0, parent));
    c.push_back(DescribeLabel("Parameters:", kDialogMargin, top + 60, parent));
    c.push_back(DescribeListBox("ListBox1", Bounds(kField, top + 60, width - 84, listHeight), parent));
    c.push_back(DescribeButton("Button3", "Delete", Bounds(kField + width - 75, top + 60, 75, kButtonHeight),
                               "Button3Click", 0, parent));
}

void addFormEnd(TFormDescription& form, const TMediaForm& spec) {
    AddDialogButtons(form.Components, spec.Width - kDialogMargin, spec.Height - kDialogMargin - kButtonHeight);
    form.Components.push_back({.Name = "OpenDialogex1", .ClassName = "TOpenDialog"});
    form.Properties = DialogProperties(spec.Caption, spec.Width, spec.Height);
}

// The EMBED dialogs: the element's fields on a tab named like the dialog,
// the parameters on the tab beside it; own adds the dialog's own fields
// from a row's top.
TFormDescription embedDescription(const TMediaForm& spec,
                                  const std::function<void(std::vector<TComponentDescription>&, int)>& own) {
    TFormDescription form;
    auto& c = form.Components;
    c.push_back({.Name = "PageControl1", .ClassName = "TPageControl",
                 .Bounds = Bounds(kDialogMargin, kDialogMargin, spec.Width - 2 * kDialogMargin,
                                  spec.Height - 3 * kDialogMargin - kButtonHeight)});
    c.push_back(DescribePage("TabSheet1", spec.Caption, "PageControl1"));
    c.push_back(DescribePage("TabSheet2", "Parameters", "PageControl1"));
    constexpr int width = 320;
    int top = addFileRows(c, spec.FileCaption, width, "TabSheet1");
    top = addSizeRows(c, top, true, "TabSheet1");
    own(c, top + 8);
    addParameterRows(c, 12, width, 180, "TabSheet2");
    addFormEnd(form, spec);
    return form;
}

// The object and applet dialogs: every field on the form.
TFormDescription elementDescription(const TMediaForm& spec, bool applet) {
    TFormDescription form;
    auto& c = form.Components;
    constexpr int width = 330;
    int top = addFileRows(c, spec.FileCaption, width, {});
    if (applet) {
        addTextRow(c, "Codebase:", "Edit2", top, width, {});
        addTextRow(c, "Alternative:", "Edit4", top + 28, width, {});
        top += 56;
    } else {
        c.push_back(DescribeRowLabel("Class ID:", kDialogMargin, top));
        c.push_back(DescribeCombo("idCombo", Bounds(kField, top, width, kFieldHeight)));
        top += 28;
    }
    top = addSizeRows(c, top, !applet, {});
    addParameterRows(c, top + 6, width, spec.Height - top - 110, {});
    addFormEnd(form, spec);
    return form;
}

// A player's own fields: two check boxes side by side, then two lists.
struct TPlayerList {
    const char* Label;
    std::vector<std::string> Items;
    // Any text may be typed (else only an item chosen).
    bool Editable;
};
void addPlayerFields(std::vector<TComponentDescription>& c, int top, const char* check3, const char* check5,
                     const TPlayerList& list1, const TPlayerList& list2) {
    const std::string page = "TabSheet1";
    c.push_back(DescribeCheck("CheckBox3", check3, Bounds(kField, top, 100, 17), false, page));
    c.push_back(DescribeCheck("CheckBox5", check5, Bounds(kField + 120, top, 100, 17), false, page));
    int row = top + 28;
    int number = 1;
    for (const TPlayerList* list : {&list1, &list2}) {
        const std::string name = "ComboBox" + std::to_string(number++);
        const TRect bounds = Bounds(kField, row, 160, kFieldHeight);
        c.push_back(DescribeRowLabel(list->Label, kDialogMargin, row, page));
        c.push_back(list->Editable ? DescribeEditableList(name, bounds, list->Items, list->Items.front(), page)
                                   : DescribeFixedList(name, bounds, list->Items, 0, page));
        row += 28;
    }
}

const TFormDescription& flashDescription() {
    static const TFormDescription form = embedDescription({"Flash", 454, 375, "File:"}, [](auto& c, int top) {
        addPlayerFields(c, top, "Autostart", "Loop",
                        {"Quality:", {"Default", "best", "high", "autohigh", "autolow", "low"}, true},
                        {"Scale:", {"Default", "noborder", "exactfit"}, true});
    });
    return form;
}

const TFormDescription& realDescription() {
    static const TFormDescription form = embedDescription({"Real", 454, 375, "File:"}, [](auto& c, int top) {
        std::vector<std::string> controls;
        for (const auto& [caption, token] : kRealControls)
            controls.push_back(caption);
        // Players that name the same console share it: any name may be
        // typed.  The controls are chosen by their place in the list.
        addPlayerFields(c, top, "Autostart", "No sticker", {"Controls:", controls, false},
                        {"Console:", {"Default", "_unique", "_master"}, true});
    });
    return form;
}

const TFormDescription& quicktimeDescription() {
    static const TFormDescription form = embedDescription({"Quicktime", 454, 375, "File:"}, [](auto& c, int top) {
        const std::string page = "TabSheet1";
        const std::tuple<const char*, const char*, int, int> checks[] = {
            {"CheckBox1", "Show control panel", kField, top}, {"CheckBox2", "Cache", kField + 160, top},
            {"CheckBox3", "Autostart", kField, top + 24},     {"CheckBox4", "Loop", kField + 160, top + 24},
            {"CheckBox5", "Color", kField, top + 48}};
        for (const auto& [name, caption, left, y] : checks)
            c.push_back(DescribeCheck(name, caption, Bounds(left, y, 150, 17), false, page));
        c.back().Events.push_back({"OnClick", "CheckBox5Click"});
        c.push_back(WithProperty(DescribeSwatch("Memo2", Bounds(kField + 80, top + 46, 40, kFieldHeight), clWindow,
                                                "Memo2Click", page),
                                 "Visible", false));
        c.push_back(DescribeRowLabel("Volume:", kDialogMargin, top + 76, page));
        c.push_back(DescribeEdit("volEdit", Bounds(kField, top + 76, 70, kFieldHeight), {}, page));
        c.push_back({.Name = "ColorDialog1", .ClassName = "TColorDialog"});
    });
    return form;
}

const TFormDescription& objectDescription() {
    static const TFormDescription form = elementDescription({"Object", 446, 340, "Codebase:"}, false);
    return form;
}

const TFormDescription& appletDescription() {
    static const TFormDescription form = elementDescription({"Java applet", 446, 340, "Code:"}, true);
    return form;
}

std::string flag(const char* attribute, const TCheckBox& box) {
    return std::string(" ") + attribute + "=\"" + (box.Checked() ? "true" : "false") + "\"";
}

} // namespace

// ---- Shared ------------------------------------------------------------------------------

TMediaDialog::TMediaDialog(TComponent* owner, TKind kind) : TElementDialog(owner), kind_(kind) {}

void TMediaDialog::buildMedia(THandlerTable& handlers) {
    handlers.Add("Button1Click", this, &TMediaDialog::Button1Click);
    handlers.Add("Button2Click", this, &TMediaDialog::Button2Click);
    handlers.Add("Button3Click", this, &TMediaDialog::Button3Click);
    handlers.Add("okbtnClick", this, &TMediaDialog::okbtnClick);
    handlers.Add("helpbtnClick", this, &TMediaDialog::helpbtnClick);
    switch (kind_) {
    case TKind::Flash: Build(flashDescription(), handlers); break;
    case TKind::Real: Build(realDescription(), handlers); break;
    case TKind::Quicktime: Build(quicktimeDescription(), handlers); break;
    case TKind::Object: Build(objectDescription(), handlers); break;
    case TKind::Applet: Build(appletDescription(), handlers); break;
    }
    Edit1 = Find<TEdit>("Edit1");
    Edit3 = Find<TEdit>("Edit3");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    ListBox1 = Find<TListBox>("ListBox1");
    Edit5 = Find<TEdit>("Edit5");
    Edit6 = Find<TEdit>("Edit6");
    if (kind_ != TKind::Applet)
        aligneCombo = Find<TComboBox>("aligneCombo");
    OpenDialogex1 = Find<TOpenDialog>("OpenDialogex1");
}

void TMediaDialog::Button1Click(TPersistent*) { BrowseForFile(*OpenDialogex1, *Edit1); }

std::string TMediaDialog::parameterEntry(const std::string& name, const std::string& value) const {
    if (kind_ == TKind::Object || kind_ == TKind::Applet)
        return "<PARAM NAME=\"" + name + "\" VALUE=\"" + value + "\">";
    return name + "=\"" + value + "\"";
}

void TMediaDialog::Button2Click(TPersistent*) {
    ListBox1->Items().Add(parameterEntry(Edit5->Text(), Edit6->Text()));
    Edit5->Clear();
    Edit6->Clear();
}

void TMediaDialog::Button3Click(TPersistent*) {
    const int selected = ListBox1->ItemIndex();
    if (selected >= 0 && selected < ListBox1->Items().Count())
        ListBox1->Items().Delete(selected);
}

std::string TMediaDialog::alignment() const {
    if (aligneCombo == nullptr || aligneCombo->Text().empty())
        return {};
    return " ALIGN=\"" + aligneCombo->Text() + "\"";
}

std::string TMediaDialog::size() const {
    std::string text;
    if (SpinEdit1->Value() != 0)
        text += " HEIGHT=\"" + SpinText(*SpinEdit1) + "\"";
    if (SpinEdit2->Value() != 0)
        text += " WIDTH=\"" + SpinText(*SpinEdit2) + "\"";
    return text;
}

std::string TMediaDialog::entries(const std::string& separator, const std::string& terminator) const {
    std::string text;
    for (int i = 0; i < ListBox1->Items().Count(); ++i)
        text += separator + ListBox1->Items().Strings(i) + terminator;
    return text;
}

void TMediaDialog::okbtnClick(TPersistent*) { InsertMarkup(Markup()); }

void TMediaDialog::helpbtnClick(TPersistent*) {
    static constexpr const char* pages[] = {"flash.htm", "real.htm", "qt.htm", "object.htm", "java.htm"};
    OpenDialogHelpPage(pages[static_cast<int>(kind_)]);
}

// ---- Flash, Real, Quicktime ----------------------------------------------------------------

TPlayerDialog::TPlayerDialog(TComponent* owner, TKind kind) : TMediaDialog(owner, kind) {
    THandlerTable handlers;
    buildMedia(handlers);
    CheckBox3 = Find<TCheckBox>("CheckBox3");
    CheckBox5 = Find<TCheckBox>("CheckBox5");
    ComboBox1 = Find<TComboBox>("ComboBox1");
    ComboBox2 = Find<TComboBox>("ComboBox2");
}

Tflashfrm::Tflashfrm(TComponent* owner) : TPlayerDialog(owner, TKind::Flash) {}

std::string Tflashfrm::Markup() const {
    return "<EMBED SRC=\"" + Edit1->Text() + "\" NAME=\"" + Edit3->Text() +
           "\" type=\"application/x-shockwave-flash\"" + alignment() + size() + flag("LOOP", *CheckBox5) +
           flag("PLAY", *CheckBox3) + AttributeUnlessDefault("QUALITY", ComboBox1->Text()) +
           AttributeUnlessDefault("SCALE", ComboBox2->Text()) + entries(" ", "") + ">";
}

Trealfrm::Trealfrm(TComponent* owner) : TPlayerDialog(owner, TKind::Real) {}

std::string Trealfrm::Markup() const {
    const int control = ComboBox1->ItemIndex();
    const char* token = control >= 0 && control < static_cast<int>(std::size(kRealControls))
                            ? kRealControls[control].second
                            : kRealControls[0].second;
    return "<EMBED SRC=\"" + Edit1->Text() + "\" NAME=\"" + Edit3->Text() + "\" type=\"audio/x-pn-realaudio-plugin\"" +
           alignment() + size() + " CONTROLS=\"" + token + "\"" + AttributeUnlessDefault("CONSOLE", ComboBox2->Text()) +
           flag("NOLABELS", *CheckBox5) + flag("AUTOSTART", *CheckBox3) + entries(" ", "") + ">";
}

Tqtfrm::Tqtfrm(TComponent* owner) : TMediaDialog(owner, TKind::Quicktime) {
    THandlerTable handlers;
    handlers.Add("Memo2Click", this, &Tqtfrm::Memo2Click);
    handlers.Add("CheckBox5Click", this, &Tqtfrm::CheckBox5Click);
    buildMedia(handlers);
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    CheckBox2 = Find<TCheckBox>("CheckBox2");
    CheckBox3 = Find<TCheckBox>("CheckBox3");
    CheckBox4 = Find<TCheckBox>("CheckBox4");
    CheckBox5 = Find<TCheckBox>("CheckBox5");
    Memo2 = Find<TPanel>("Memo2");
    volEdit = Find<TEdit>("volEdit");
    ColorDialog1 = Find<TColorDialog>("ColorDialog1");
}

void Tqtfrm::Memo2Click(TPersistent*) { ChooseSwatchColor(*ColorDialog1, *Memo2); }

void Tqtfrm::CheckBox5Click(TPersistent*) { Memo2->SetVisible(CheckBox5->Checked()); }

std::string Tqtfrm::Markup() const {
    std::string markup =
        "<EMBED SRC=\"" + Edit1->Text() + "\" NAME=\"" + Edit3->Text() + "\" type=\"video/quicktime\"" + alignment() +
        size();
    if (!volEdit->Text().empty())
        markup += " VOLUME=\"" + volEdit->Text() + "\"";
    markup += flag("CONTROLLER", *CheckBox1) + flag("CACHE", *CheckBox2) + flag("AUTOPLAY", *CheckBox3) +
              flag("LOOP", *CheckBox4);
    if (CheckBox5->Checked())
        markup += " BGCOLOR=\"" + HtmlColor(Memo2->Color()) + "\"";
    return markup + entries(" ", "") + ">";
}

// ---- Object and applet ------------------------------------------------------------------------

Tobjectfrm::Tobjectfrm(TComponent* owner) : TMediaDialog(owner, TKind::Object) {
    THandlerTable handlers;
    buildMedia(handlers);
    idCombo = Find<TComboBox>("idCombo");
}

std::string Tobjectfrm::Markup() const {
    std::string markup = "<OBJECT CODEBASE=\"" + Edit1->Text() + "\" NAME=\"" + Edit3->Text() + "\"";
    if (!idCombo->Text().empty())
        markup += " CLASSID=\"" + idCombo->Text() + "\"";
    return markup + alignment() + size() + ">\r\n" + entries("", "\r\n") + "</OBJECT>";
}

Tjava2frm::Tjava2frm(TComponent* owner) : TMediaDialog(owner, TKind::Applet) {
    THandlerTable handlers;
    buildMedia(handlers);
    Edit2 = Find<TEdit>("Edit2");
    Edit4 = Find<TEdit>("Edit4");
}

std::string Tjava2frm::Markup() const {
    return "<APPLET CODEBASE=\"" + Edit2->Text() + "\" CODE=\"" + Edit1->Text() + "\" ALT=\"" + Edit4->Text() +
           "\" NAME=\"" + Edit3->Text() + "\"" + size() + ">\r\n" + entries("", "\r\n") + "</APPLET>";
}
