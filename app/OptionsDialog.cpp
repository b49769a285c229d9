#include "app/OptionsDialog.h"

#include "app/DocumentTools.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/SettingsFile.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "platform/gfx/FontNames.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"

#include <charconv>

namespace {

// The largest font size taken (points).
constexpr int kMaxFontSize = 1638;

using TClassOf = THighlightInfo& (THtmlHighlighter::*)();

// The nine pages of syntax colours: caption, key prefix, the shared
// highlighter's class, and the names of the page's six controls.
struct TStylePageInfo {
    const char* Caption;
    const char* Prefix;
    TClassOf Class;
    const char* Names[6]; // foreground, background, bold, italic, underline, strike
};
constexpr TStylePageInfo kStylePageInfo[Toptionfrm::kStylePages] = {
    {"Brackets", "bracket", &THtmlHighlighter::Bracket,
     {"bracketfcolor", "Bracketbcolor", "bracketgcb", "Bracketicb", "Bracketscb", "bracketbcb"}},
    {"Properties", "attributs", &THtmlHighlighter::HtmlAttribute,
     {"attributsfcolor", "attributsbcolor", "attributsgcb", "attributsicb", "attributsscb", "attributsbcb"}},
    {"Values", "valeur", &THtmlHighlighter::HtmlAttributeValue,
     {"Valeurfcolor", "Valeurbcolor", "valeurgcb", "valeuricb", "valeurscb", "valeurbcb"}},
    {"Comments", "comment", &THtmlHighlighter::HtmlComment,
     {"commentfcolor", "commentbcolor", "commentgcb", "commenticb", "commentscb", "commentbcb"}},
    {"Attributes", "balise", &THtmlHighlighter::HtmlKeyword,
     {"balisefcolor", "balisebcolor", "balisegcb", "baliseicb", "balisescb", "balisebcb"}},
    {"Tags", "tag", &THtmlHighlighter::HtmlTag, {"tagfcolor", "tagbcolor", "taggcb", "tagicb", "tagscb", "tagbcb"}},
    {"Script content", "sc", &THtmlHighlighter::ScriptContent,
     {"scfcolor", "scbcolor", "scgcb", "scicb", "scscb", "scbcb"}},
    {"Script tags", "st", &THtmlHighlighter::ScriptTag, {"stfcolor", "stbcolor", "stgcb", "sticb", "stscb", "stbcb"}},
    {"Special characters", "cs", &THtmlHighlighter::SpecialChars,
     {"csfcolor", "csbcolor", "csgcb", "csicb", "csscb", "csbcb"}},
};

TComponentDescription label(const std::string& parent, int left, int top, const std::string& caption) {
    return {.ClassName = "TLabel", .Parent = parent, .Bounds = Bounds(left, top, 150, 13),
            .Properties = {{"Caption", caption}}};
}

// An edit box that shows a colour: its background is the value.
TComponentDescription colorBox(const std::string& name, const std::string& parent, int left, int top,
                               const char* color) {
    return {.Name = name, .ClassName = "TEdit", .Parent = parent, .Bounds = Bounds(left, top, 80, 21),
            .Properties = {{"ReadOnly", true}, {"Color", std::string(color)}},
            .Events = {{"OnClick", name + "Click"}}};
}

TComponentDescription checkBox(const std::string& name, const std::string& parent, int left, int top,
                               const std::string& caption, bool checked = false) {
    return {.Name = name, .ClassName = "TCheckBox", .Parent = parent, .Bounds = Bounds(left, top, 150, 17),
            .Properties = {{"Caption", caption}, {"Checked", checked}}};
}

TComponentDescription radio(const std::string& name, int top, const std::string& caption, bool checked) {
    return {.Name = name, .ClassName = "TRadioButton", .Parent = "GroupBox1", .Bounds = Bounds(16, top, 200, 17),
            .Properties = {{"Caption", caption}, {"Checked", checked}},
            .Events = {{"OnClick", name + "Click"}}};
}

TComponentDescription sheet(const std::string& name, const std::string& parent, const std::string& caption) {
    return {.Name = name, .ClassName = "TTabSheet", .Parent = parent, .Properties = {{"Caption", caption}}};
}

TComponentDescription button(const std::string& name, const std::string& parent, int left, int top,
                             const std::string& caption) {
    return {.Name = name, .ClassName = "TButton", .Parent = parent, .Bounds = Bounds(left, top, 75, 25),
            .Properties = {{"Caption", caption}}};
}

const TFormDescription& description() {
    static const TFormDescription form = [] {
        TFormDescription made;
        made.Properties = {{"Caption", std::string("Preferences")}};
        auto add = [&](TComponentDescription component) { made.Components.push_back(std::move(component)); };
        add({.Name = "PageControl1", .ClassName = "TPageControl", .Bounds = Bounds(8, 8, 400, 252)});
        add(sheet("tabsheet0", "PageControl1", "General"));
        add(sheet("TabSheet1", "PageControl1", "Editor"));
        add(sheet("TabSheet2", "PageControl1", "Colors"));
        add(sheet("TabSheet3", "PageControl1", "Browsers"));

        add(label("tabsheet0", 8, 8, "General properties:"));
        add({.Name = "GroupBox1", .ClassName = "TGroupBox", .Parent = "tabsheet0", .Bounds = Bounds(8, 28, 376, 100),
             .Properties = {{"Caption", std::string("Startup mode")}}});
        add(radio("newRadio", 20, "New document dialog", true));
        add(radio("openRadio", 44, "Open file dialog", false));
        add(radio("noneRadio", 68, "Nothing", false));
        TComponentDescription standard = checkBox("standardcb", "tabsheet0", 8, 140, "Create standard document");
        standard.Bounds = Bounds(8, 140, 250, 17);
        standard.Properties.push_back({"Visible", false});
        add(standard);

        add(label("TabSheet1", 8, 8, "Editor properties"));
        add(label("TabSheet1", 8, 40, "Font size:"));
        add({.Name = "ComboBox2", .ClassName = "TComboBox", .Parent = "TabSheet1", .Bounds = Bounds(130, 36, 80, 21),
             .Properties = {{"Items", std::string("6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n14\r\n16\r\n18\r\n20\r\n24\r\n"
                                                  "28\r\n32\r\n")},
                            {"Text", std::string("9")}}});
        add(label("TabSheet1", 8, 72, "Font style:"));
        add({.Name = "ComboBox1", .ClassName = "TComboBox", .Parent = "TabSheet1", .Bounds = Bounds(130, 68, 200, 21),
             .Properties = {{"Text", std::string("Courier New")}, {"Sorted", true}}});
        add(label("TabSheet1", 8, 104, "Background color:"));
        add(colorBox("Editbgcolor", "TabSheet1", 130, 100, "clWhite"));
        add(label("TabSheet1", 8, 136, "Text color:"));
        add(colorBox("textfcolor", "TabSheet1", 130, 132, "clBlack"));

        TComponentDescription syntax = checkBox("CheckBox1", "TabSheet2", 8, 8, "Syntax highlighting", true);
        syntax.Events = {{"OnClick", "CheckBox1Click"}};
        add(syntax);
        TComponentDescription builtIn = checkBox("CheckBox2", "TabSheet2", 8, 30, "Default highlighting", true);
        builtIn.Events = {{"OnClick", "CheckBox2Click"}};
        add(builtIn);
        add({.Name = "PageControl2", .ClassName = "TPageControl", .Parent = "TabSheet2",
             .Bounds = Bounds(4, 52, 384, 168), .Properties = {{"Visible", false}, {"MultiLine", true}}});
        for (const TStylePageInfo& page : kStylePageInfo) {
            const std::string name = std::string(page.Prefix) + "Sheet";
            add(sheet(name, "PageControl2", page.Caption));
            add(label(name, 8, 12, "Foreground color:"));
            add(colorBox(page.Names[0], name, 130, 8, "clNavy"));
            add(label(name, 8, 40, "Background color:"));
            add(colorBox(page.Names[1], name, 130, 36, "clWhite"));
            add(checkBox(page.Names[2], name, 8, 68, "Bold"));
            add(checkBox(page.Names[3], name, 96, 68, "Italic"));
            add(checkBox(page.Names[4], name, 184, 68, "Underline"));
            add(checkBox(page.Names[5], name, 280, 68, "Strike"));
        }

        add(label("TabSheet3", 8, 8, "Enter the path to the following browsers for external previewing"));
        add(label("TabSheet3", 8, 40, "Netscape Navigator path:"));
        add({.Name = "Edit1", .ClassName = "TEdit", .Parent = "TabSheet3", .Bounds = Bounds(8, 56, 290, 21)});
        TComponentDescription browse1 = button("Button1", "TabSheet3", 304, 54, "Browse ...");
        browse1.Events = {{"OnClick", "Button1Click"}};
        add(browse1);
        add(label("TabSheet3", 8, 92, "Internet Explorer path:"));
        add({.Name = "Edit2", .ClassName = "TEdit", .Parent = "TabSheet3", .Bounds = Bounds(8, 108, 290, 21)});
        TComponentDescription browse2 = button("Button2", "TabSheet3", 304, 106, "Browse ...");
        browse2.Events = {{"OnClick", "Button2Click"}};
        add(browse2);

        TComponentDescription ok = button("okbtn", "", 252, 268, "Ok");
        ok.Properties.push_back({"Default", true});
        ok.Events = {{"OnClick", "okbtnClick"}};
        add(ok);
        TComponentDescription cancel = button("cancelbtn", "", 333, 268, "Cancel");
        cancel.Properties.push_back({"Cancel", true});
        cancel.Properties.push_back({"ModalResult", std::string("mrCancel")});
        add(cancel);
        add({.Name = "ColorDialog1", .ClassName = "TColorDialog"});
        // The browsers are this system's programs, whose names carry no
        // extension: the dialog shows every file.
        add({.Name = "OpenDialog1", .ClassName = "TOpenDialog",
             .Properties = {{"Filter", std::string("All files (*)|*")}}});
        return made;
    }();
    return form;
}

template <class T> T* named(TComponent& owner, const std::string& name) {
    auto* component = dynamic_cast<T*>(owner.FindComponent(name));
    if (component == nullptr)
        throw EComponentError("Component " + name + " not found");
    return component;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

Toptionfrm::Toptionfrm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 416, 301);
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Toptionfrm::okbtnClick);
    handlers.Add("CheckBox1Click", this, &Toptionfrm::CheckBox1Click);
    handlers.Add("CheckBox2Click", this, &Toptionfrm::CheckBox2Click);
    handlers.Add("newRadioClick", this, &Toptionfrm::newRadioClick);
    handlers.Add("openRadioClick", this, &Toptionfrm::openRadioClick);
    handlers.Add("noneRadioClick", this, &Toptionfrm::noneRadioClick);
    handlers.Add("Button1Click", this, &Toptionfrm::Button1Click);
    handlers.Add("Button2Click", this, &Toptionfrm::Button2Click);
    handlers.Add("textfcolorClick", this, &Toptionfrm::textfcolorClick);
    handlers.Add("EditbgcolorClick", this, &Toptionfrm::EditbgcolorClick);
    handlers.Add("bracketfcolorClick", this, &Toptionfrm::bracketfcolorClick);
    handlers.Add("BracketbcolorClick", this, &Toptionfrm::BracketbcolorClick);
    handlers.Add("attributsfcolorClick", this, &Toptionfrm::attributsfcolorClick);
    handlers.Add("attributsbcolorClick", this, &Toptionfrm::attributsbcolorClick);
    handlers.Add("ValeurfcolorClick", this, &Toptionfrm::ValeurfcolorClick);
    handlers.Add("ValeurbcolorClick", this, &Toptionfrm::ValeurbcolorClick);
    handlers.Add("commentfcolorClick", this, &Toptionfrm::commentfcolorClick);
    handlers.Add("commentbcolorClick", this, &Toptionfrm::commentbcolorClick);
    handlers.Add("balisefcolorClick", this, &Toptionfrm::balisefcolorClick);
    handlers.Add("balisebcolorClick", this, &Toptionfrm::balisebcolorClick);
    handlers.Add("tagfcolorClick", this, &Toptionfrm::tagfcolorClick);
    handlers.Add("tagbcolorClick", this, &Toptionfrm::tagbcolorClick);
    handlers.Add("scfcolorClick", this, &Toptionfrm::scfcolorClick);
    handlers.Add("scbcolorClick", this, &Toptionfrm::scbcolorClick);
    handlers.Add("stfcolorClick", this, &Toptionfrm::stfcolorClick);
    handlers.Add("stbcolorClick", this, &Toptionfrm::stbcolorClick);
    handlers.Add("csfcolorClick", this, &Toptionfrm::csfcolorClick);
    handlers.Add("csbcolorClick", this, &Toptionfrm::csbcolorClick);
    BuildForm(*this, description(), handlers);

    PageControl1 = named<TPageControl>(*this, "PageControl1");
    PageControl2 = named<TPageControl>(*this, "PageControl2");
    okbtn = named<TButton>(*this, "okbtn");
    cancelbtn = named<TButton>(*this, "cancelbtn");
    ColorDialog1 = named<TColorDialog>(*this, "ColorDialog1");
    OpenDialog1 = named<TOpenDialog>(*this, "OpenDialog1");
    newRadio = named<TRadioButton>(*this, "newRadio");
    openRadio = named<TRadioButton>(*this, "openRadio");
    noneRadio = named<TRadioButton>(*this, "noneRadio");
    standardcb = named<TCheckBox>(*this, "standardcb");
    ComboBox1 = named<TComboBox>(*this, "ComboBox1");
    ComboBox2 = named<TComboBox>(*this, "ComboBox2");
    Editbgcolor = named<TEdit>(*this, "Editbgcolor");
    textfcolor = named<TEdit>(*this, "textfcolor");
    CheckBox1 = named<TCheckBox>(*this, "CheckBox1");
    CheckBox2 = named<TCheckBox>(*this, "CheckBox2");
    Edit1 = named<TEdit>(*this, "Edit1");
    Edit2 = named<TEdit>(*this, "Edit2");
    Button1 = named<TButton>(*this, "Button1");
    Button2 = named<TButton>(*this, "Button2");
    for (int i = 0; i < kStylePages; ++i) {
        const TStylePageInfo& info = kStylePageInfo[i];
        TStylePage& page = StylePages[static_cast<size_t>(i)];
        page.Prefix = info.Prefix;
        page.Foreground = named<TEdit>(*this, info.Names[0]);
        page.Background = named<TEdit>(*this, info.Names[1]);
        page.Bold = named<TCheckBox>(*this, info.Names[2]);
        page.Italic = named<TCheckBox>(*this, info.Names[3]);
        page.Underline = named<TCheckBox>(*this, info.Names[4]);
        page.Strike = named<TCheckBox>(*this, info.Names[5]);
    }
    PageControl1->SetActivePageIndex(0);
    PageControl2->SetActivePageIndex(0);
    FormCreate(this);
}

// ---- Filling ----------------------------------------------------------------------------

void Toptionfrm::FormCreate(TPersistent*) {
    const std::string name = ComboBox1->Text();
    ComboBox1->Items().BeginUpdate();
    ComboBox1->Items().Add("Default");
    for (const std::string& family : InstalledFontNames())
        ComboBox1->Items().Add(family);
    ComboBox1->Items().EndUpdate();
    ComboBox1->SetText(name);
    Readcustomhtml();
    ReadFont();
    Readpath();
}

THighlightInfo* Toptionfrm::styleOf(int page) const {
    if (frameform == nullptr || frameform->htmlcoder == nullptr)
        return nullptr;
    return &(frameform->htmlcoder->*kStylePageInfo[page].Class)();
}

void Toptionfrm::Readcustomhtml() {
    auto settings = OpenSettings();
    for (int i = 0; i < kStylePages; ++i) {
        TStylePage& page = StylePages[static_cast<size_t>(i)];
        const THighlightInfo* style = styleOf(i);
        const TColor foreground = style != nullptr ? style->Foreground() : page.Foreground->Color();
        const TColor background = style != nullptr ? style->Background() : page.Background->Color();
        page.Foreground->SetColor(settings->ReadInteger(settings::CustomHtml, page.Prefix + " color", foreground));
        page.Background->SetColor(settings->ReadInteger(settings::CustomHtml, page.Prefix + " bg color", background));
        page.Bold->SetChecked(settings->ReadBool(settings::CustomHtml, page.Prefix + " bold", true));
        page.Italic->SetChecked(settings->ReadBool(settings::CustomHtml, page.Prefix + " italic", false));
        page.Underline->SetChecked(settings->ReadBool(settings::CustomHtml, page.Prefix + " underline", false));
        page.Strike->SetChecked(settings->ReadBool(settings::CustomHtml, page.Prefix + " strike", false));
    }
}

void Toptionfrm::ReadFont() {
    auto settings = OpenSettings();
    textfcolor->SetColor(settings->ReadInteger(settings::Editor, "fcolor", textfcolor->Color()));
    Editbgcolor->SetColor(settings->ReadInteger(settings::Editor, "color", clWhite));
    ComboBox1->SetText(settings->ReadString(settings::Editor, "name", "Courier New"));
    ComboBox2->SetText(std::to_string(settings->ReadInteger(settings::Editor, "size", 9)));
    switch (settings->ReadInteger(settings::Startup, "mode", 1)) {
    case 1:
        newRadio->SetChecked(true);
        break;
    case 2:
        openRadio->SetChecked(true);
        break;
    default:
        noneRadio->SetChecked(true);
        standardcb->SetVisible(true);
        break;
    }
    standardcb->SetChecked(settings->ReadBool(settings::Startup, "newstandard", false));
    const std::string colorer = settings->ReadString(settings::Editor, "colorer", "default");
    // The boxes' handlers run as for clicks; the pages end as the choice
    // says, whatever order the handlers ran in.
    if (colorer == "default") {
        CheckBox1->SetChecked(true);
        CheckBox2->SetChecked(true);
        PageControl2->SetVisible(false);
    } else if (colorer == "custom") {
        CheckBox1->SetChecked(true);
        CheckBox2->SetChecked(false);
        PageControl2->SetVisible(true);
    } else if (colorer == "none") {
        CheckBox1->SetChecked(false);
        CheckBox2->SetChecked(false);
        CheckBox2->SetEnabled(false);
        PageControl2->SetVisible(false);
    }
}

void Toptionfrm::Readpath() {
    auto settings = OpenSettings();
    Edit1->SetText(settings->ReadString(settings::Browsers, "PathNetscape", ""));
    Edit2->SetText(settings->ReadString(settings::Browsers, "PathIE", ""));
}

// ---- Choices -----------------------------------------------------------------------------

void Toptionfrm::CheckBox1Click(TPersistent*) {
    if (CheckBox1->Checked()) {
        CheckBox2->SetEnabled(true);
        if (!CheckBox2->Checked())
            PageControl2->SetVisible(true);
    } else {
        CheckBox2->SetEnabled(false);
        PageControl2->SetVisible(false);
    }
}

void Toptionfrm::CheckBox2Click(TPersistent*) { PageControl2->SetVisible(!CheckBox2->Checked()); }

void Toptionfrm::newRadioClick(TPersistent*) { standardcb->SetVisible(false); }
void Toptionfrm::openRadioClick(TPersistent*) { standardcb->SetVisible(false); }
void Toptionfrm::noneRadioClick(TPersistent*) { standardcb->SetVisible(noneRadio->Checked()); }

void Toptionfrm::browse(TEdit& path) {
    OpenDialog1->SetFilterIndex(1);
    if (OpenDialog1->Execute())
        path.SetText(OpenDialog1->FileName());
}

void Toptionfrm::Button1Click(TPersistent*) { browse(*Edit1); }
void Toptionfrm::Button2Click(TPersistent*) { browse(*Edit2); }

void Toptionfrm::pickColor(TEdit& box) {
    // The dialog starts on the colour chosen last in it.
    if (ColorDialog1->Execute())
        box.SetColor(ColorDialog1->Color());
}

void Toptionfrm::textfcolorClick(TPersistent*) { pickColor(*textfcolor); }
void Toptionfrm::EditbgcolorClick(TPersistent*) { pickColor(*Editbgcolor); }
void Toptionfrm::bracketfcolorClick(TPersistent*) { pickColor(*StylePages[0].Foreground); }
void Toptionfrm::BracketbcolorClick(TPersistent*) { pickColor(*StylePages[0].Background); }
void Toptionfrm::attributsfcolorClick(TPersistent*) { pickColor(*StylePages[1].Foreground); }
void Toptionfrm::attributsbcolorClick(TPersistent*) { pickColor(*StylePages[1].Background); }
void Toptionfrm::ValeurfcolorClick(TPersistent*) { pickColor(*StylePages[2].Foreground); }
void Toptionfrm::ValeurbcolorClick(TPersistent*) { pickColor(*StylePages[2].Background); }
void Toptionfrm::commentfcolorClick(TPersistent*) { pickColor(*StylePages[3].Foreground); }
void Toptionfrm::commentbcolorClick(TPersistent*) { pickColor(*StylePages[3].Background); }
void Toptionfrm::balisefcolorClick(TPersistent*) { pickColor(*StylePages[4].Foreground); }
void Toptionfrm::balisebcolorClick(TPersistent*) { pickColor(*StylePages[4].Background); }
void Toptionfrm::tagfcolorClick(TPersistent*) { pickColor(*StylePages[5].Foreground); }
void Toptionfrm::tagbcolorClick(TPersistent*) { pickColor(*StylePages[5].Background); }
void Toptionfrm::scfcolorClick(TPersistent*) { pickColor(*StylePages[6].Foreground); }
void Toptionfrm::scbcolorClick(TPersistent*) { pickColor(*StylePages[6].Background); }
void Toptionfrm::stfcolorClick(TPersistent*) { pickColor(*StylePages[7].Foreground); }
void Toptionfrm::stbcolorClick(TPersistent*) { pickColor(*StylePages[7].Background); }
void Toptionfrm::csfcolorClick(TPersistent*) { pickColor(*StylePages[8].Foreground); }
void Toptionfrm::csbcolorClick(TPersistent*) { pickColor(*StylePages[8].Background); }

// ---- Writing -------------------------------------------------------------------------------

bool Toptionfrm::FontSizeValid(int& size) const {
    const std::string text = trimmed(ComboBox2->Text());
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, size);
    return error == std::errc() && stop == end && !text.empty() && text[0] != '-' && size >= 1 &&
           size <= kMaxFontSize;
}

std::string Toptionfrm::ColorerChoice() const {
    if (!CheckBox1->Checked())
        return "none";
    return CheckBox2->Checked() ? "default" : "custom";
}

void Toptionfrm::okbtnClick(TPersistent*) {
    int size = 0;
    // Nothing is written while the size is wrong: the dialog stays open
    // on it.
    if (!FontSizeValid(size)) {
        UserInteraction().MessageDlg("'" + ComboBox2->Text() + "' is not a valid font size: type a whole number of "
                                     "points from 1 to " + std::to_string(kMaxFontSize) + ".",
                                     mtError, mbOKOnly);
        PageControl1->SetActivePageIndex(1);
        if (ComboBox2->CanFocus())
            ComboBox2->SetFocus();
        return;
    }
    Writecustomizedhtml();
    WriteFont();
    Readit();
    Readpath();
    SetModalResult(mrOk);
}

void Toptionfrm::Writecustomizedhtml() {
    auto settings = OpenSettings();
    for (const TStylePage& page : StylePages) {
        settings->WriteInteger(settings::CustomHtml, page.Prefix + " color", page.Foreground->Color());
        settings->WriteInteger(settings::CustomHtml, page.Prefix + " bg color", page.Background->Color());
        settings->WriteBool(settings::CustomHtml, page.Prefix + " bold", page.Bold->Checked());
        settings->WriteBool(settings::CustomHtml, page.Prefix + " italic", page.Italic->Checked());
        settings->WriteBool(settings::CustomHtml, page.Prefix + " underline", page.Underline->Checked());
        settings->WriteBool(settings::CustomHtml, page.Prefix + " strike", page.Strike->Checked());
    }
}

void Toptionfrm::WriteFont() {
    int size = 0;
    if (!FontSizeValid(size))
        throw EConvertError("'" + ComboBox2->Text() + "' is not a valid integer value");
    auto settings = OpenSettings();
    settings->WriteString(settings::Editor, "name", ComboBox1->Text());
    settings->WriteInteger(settings::Editor, "size", size);
    settings->WriteInteger(settings::Editor, "fcolor", textfcolor->Color());
    settings->WriteInteger(settings::Editor, "color", Editbgcolor->Color());
    settings->WriteString(settings::Browsers, "PathNetscape", Edit1->Text());
    settings->WriteString(settings::Browsers, "PathIE", Edit2->Text());
    settings->WriteString(settings::Editor, "colorer", ColorerChoice());
    settings->WriteInteger(settings::Startup, "mode", newRadio->Checked() ? 1 : openRadio->Checked() ? 2 : 0);
    settings->WriteBool(settings::Startup, "newstandard", standardcb->Checked());
}

void Toptionfrm::Readit() {
    if (frameform == nullptr)
        return;
    auto settings = OpenSettings();
    const std::string colorer = settings->ReadString(settings::Editor, "colorer", "default");
    for (int i = frameform->MDIChildCount() - 1; i >= 0; --i) {
        auto* document = dynamic_cast<TEditForm*>(frameform->MDIChildren(i));
        if (document == nullptr)
            continue;
        RecolorDocument(*document, colorer, *settings);
    }
}

void RunOptionsDialog() {
    Toptionfrm dialog(frameform);
    dialog.ShowModal();
}
