#include "app/dialogs/NewPageWizard.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/dialogs/BodyPreview.h"
#include "app/dialogs/DialogLayout.h"
#include "app/dialogs/DialogPieces.h"

#include "platform/base/ProgramFolder.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/RichTextView.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

namespace {

constexpr const char* kCrLf = "\r\n";

// The page's fixed start, in UTF-8 as new documents are.
constexpr const char* kPageStart = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
                                   "\r\n"
                                   "<HTML>\r\n"
                                   "<!-- Page créée avec Korvane Ondrill 3.2 -->\r\n"
                                   "<HEAD>\r\n";

// The program's background pictures.
constexpr const char* kBackgroundFolder = "images/arrière-plan";

// The preview's words.
constexpr const char* kTextWord = "Texte";
constexpr const char* kLinkWord = "Lien";
constexpr const char* kActiveWord = "Lien actif";
constexpr const char* kVisitedWord = "Lien visité";

TComponentDescription button(const char* className, const char* name, const char* caption, int left, int top,
                             const char* onClick, int modalResult, const char* parent) {
    TComponentDescription description = DescribeButton(name, caption, Bounds(left, top, kButtonWidth, kButtonHeight),
                                                       onClick, modalResult, parent);
    description.ClassName = className;
    if (modalResult == mrCancel)
        description.Properties.push_back({"Cancel", true});
    return description;
}

void addFirstPage(std::vector<TComponentDescription>& c) {
    const std::string page = "Panel1";
    c.push_back(WithProperty(DescribeGroupPanel(page, {}), "Align", "alClient"));
    c.push_back(WithProperty(
        WithProperty(DescribeLabel("Cet assistant vous permet de créer une nouvelle page HTML et de "
                                   "déterminer ses propriétés.",
                                   12, 12, page),
                     "Font.Style", static_cast<int64_t>(fsBold)),
        "WordWrap", true));
    c.back().Bounds = Bounds(12, 12, 443, 30);
    c.push_back(WithProperty(DescribeLabel("Entrez le titre de votre document html ainsi que ses méta-informations. "
                                           "Les métas informations permettent d'entrer une description, des mots "
                                           "clés et autres informations qui pourront être lues par un serveur "
                                           "http ou un engin de recherche.",
                                           12, 48, page),
                             "WordWrap", true));
    c.back().Bounds = Bounds(12, 48, 443, 56);
    const std::pair<const char*, const char*> fields[] = {{"Titre de la page", "Edit5"},
                                                          {"Description de la page web", "Edit1"},
                                                          {"Mots clés de la page web", "Edit2"},
                                                          {"Nom de l'auteur de la page web", "Edit3"}};
    for (int i = 0; i < 4; ++i) {
        const int top = 116 + i * 32;
        c.push_back(DescribeRowLabel(fields[i].first, 12, top, page));
        c.push_back(DescribeEdit(fields[i].second, Bounds(200, top, 255, kFieldHeight), {}, page));
    }
    c.push_back(WithProperty(button("TButton", "Button1", "< Précédent", 218, 269, "", 0, "Panel1"),
                             "Enabled", false));
    c.push_back(button("TButton", "Button2", "Suivant >", 299, 269, "Button2Click", 0, "Panel1"));
    c.push_back(button("TBitBtn", "BitBtn1", "Annuler", 384, 269, "", mrCancel, "Panel1"));
}

void addSecondPage(std::vector<TComponentDescription>& c) {
    const std::string page = "Panel2";
    c.push_back(WithProperty(WithProperty(DescribeGroupPanel(page, {}, "Panel1"), "Align", "alClient"), "Visible",
                             false));
    c.push_back(WithProperty(DescribeLabel("Propriétés du Corps du document:", 12, 10, page), "Font.Style",
                             static_cast<int64_t>(fsBold)));
    c.push_back({.Name = "RichEdit1",
                 .ClassName = "TRichTextView",
                 .Parent = page,
                 .Bounds = Bounds(12, 30, 150, 150),
                 .Properties = {{"Lines", std::string(kCrLf) + kTextWord + kCrLf + kCrLf + kLinkWord + kCrLf + kCrLf +
                                              kActiveWord + kCrLf + kCrLf + kVisitedWord},
                                {"Alignment", "taCenter"},
                                {"Color", static_cast<int64_t>(clWhite)},
                                {"Enabled", false}}});
    // A framed panel rather than a group box: its labels are painted by
    // their parent.
    c.push_back(DescribeLabel("Couleurs:", 172, 30, page));
    c.push_back(WithProperty(DescribeGroupPanel("GroupBox1", Bounds(172, 46, 283, 134), page), "BevelOuter",
                             "bvLowered"));
    const std::tuple<const char*, const char*, TColor, const char*> swatches[] = {
        {"Texte:", "Memo2", clBlack, "Memo2Click"},
        {"Lien:", "Memo3", clBlue, "Memo3Click"},
        {"Lien actif:", "Memo6", clPurple, "Memo6Click"},
        {"Lien visité:", "Memo4", clNavy, "Memo4Click"},
        {"Arrère-Plan:", "Memo5", clWhite, "Memo5Click"}};
    for (int i = 0; i < 5; ++i) {
        const auto& [label, name, color, click] = swatches[i];
        c.push_back(DescribeRowLabel(label, 12, 6 + i * 26, "GroupBox1"));
        c.push_back(DescribeSwatch(name, Bounds(110, 6 + i * 26, 60, kFieldHeight), color, click, "GroupBox1"));
    }
    c.push_back(DescribeRowLabel("Nom de l'image d'arrière-plan:", 12, 188, page));
    c.push_back(DescribeEdit("Edit4", Bounds(200, 188, 226, kFieldHeight), {}, page));
    TComponentDescription browse = DescribeBrowseButton("SpeedButton1", 432, 188, "SpeedButton1Click", page);
    for (TPropertySetting& setting : browse.Properties)
        if (setting.Name == "Hint")
            setting.Value = std::string("Parcourir...");
    c.push_back(std::move(browse));
    c.push_back(DescribeCheck("CheckBox1", "Image fixe (Watermark)", Bounds(200, 214, 200, 17), false, page));
    c.push_back(DescribeRowLabel("Marge du haut:", 12, 238, page));
    c.push_back(DescribeSpin("SpinEdit1", Bounds(110, 238, 60, kFieldHeight), 0, 0, kBodyTopMargin, page));
    c.push_back(DescribeRowLabel("Marge de gauche:", 200, 238, page));
    c.push_back(DescribeSpin("SpinEdit2", Bounds(310, 238, 60, kFieldHeight), 0, 0, kBodyLeftMargin, page));
    c.push_back(button("TButton", "Button3", "< Précédent", 218, 269, "Button3Click", 0, "Panel2"));
    c.push_back(button("TBitBtn", "BitBtn3", "Terminer", 299, 269, "BitBtn3Click", mrOk, "Panel2"));
    c.push_back(button("TBitBtn", "BitBtn2", "Annuler", 384, 269, "", mrCancel, "Panel2"));
}

const TFormDescription& description() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("Nouvelle page HTML", 467, 302)};
        addFirstPage(form.Components);
        addSecondPage(form.Components);
        form.Components.push_back({.Name = "bodycolordialog", .ClassName = "TColorDialog",
                                   .Properties = {{"Options", static_cast<int64_t>(cdFullOpen)}}});
        form.Components.push_back({.Name = "OpenPictureDialog1", .ClassName = "TOpenPictureDialog",
                                   .Properties = {{"Filter", kPictureFileFilter}}});
        return form;
    }();
    return form;
}

} // namespace

std::string NewPageText(const std::string& headLines, const std::string& bodyTag) {
    std::string page = std::string(kPageStart) + kCrLf + headLines + kCrLf + bodyTag + kCrLf;
    for (int i = 0; i < 4; ++i)
        page += std::string(" ") + kCrLf;
    return page + "</BODY>" + kCrLf + "</HTML>" + kCrLf;
}

Tpagewizfrm::Tpagewizfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("Button2Click", this, &Tpagewizfrm::Button2Click);
    handlers.Add("Button3Click", this, &Tpagewizfrm::Button3Click);
    handlers.Add("Memo2Click", this, &Tpagewizfrm::Memo2Click);
    handlers.Add("Memo3Click", this, &Tpagewizfrm::Memo3Click);
    handlers.Add("Memo4Click", this, &Tpagewizfrm::Memo4Click);
    handlers.Add("Memo6Click", this, &Tpagewizfrm::Memo6Click);
    handlers.Add("Memo5Click", this, &Tpagewizfrm::Memo5Click);
    handlers.Add("SpeedButton1Click", this, &Tpagewizfrm::SpeedButton1Click);
    handlers.Add("BitBtn3Click", this, &Tpagewizfrm::BitBtn3Click);
    Build(description(), handlers);
    // The dialog's frame takes its room from the client area only once the
    // window is made: the pages fill what is left then.
    OnShow = [this](TPersistent*) { Realign(); };
    Panel1 = Find<TPanel>("Panel1");
    Panel2 = Find<TPanel>("Panel2");
    Edit5 = Find<TEdit>("Edit5");
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    Edit3 = Find<TEdit>("Edit3");
    RichEdit1 = Find<TRichTextView>("RichEdit1");
    Memo2 = Find<TPanel>("Memo2");
    Memo3 = Find<TPanel>("Memo3");
    Memo6 = Find<TPanel>("Memo6");
    Memo4 = Find<TPanel>("Memo4");
    Memo5 = Find<TPanel>("Memo5");
    Edit4 = Find<TEdit>("Edit4");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    bodycolordialog = Find<TColorDialog>("bodycolordialog");
    OpenPictureDialog1 = Find<TOpenPictureDialog>("OpenPictureDialog1");
    FormCreate(this);
}

void Tpagewizfrm::FormCreate(TPersistent*) {
    PaintBodyPreview(*RichEdit1, {kTextWord, kLinkWord, kActiveWord, kVisitedWord},
                     {.Background = Memo5->Color(),
                      .Text = Memo2->Color(),
                      .Link = Memo3->Color(),
                      .ActiveLink = Memo6->Color(),
                      .VisitedLink = Memo4->Color()});
    Panel1->SetVisible(true);
    Panel2->SetVisible(false);
}

void Tpagewizfrm::Button2Click(TPersistent*) {
    headLines_ = "<TITLE>" + Edit5->Text() + "</TITLE>" + kCrLf + "<META NAME=\"Description\" CONTENT=\"" +
                 Edit1->Text() + "\">" + kCrLf + "<META NAME=\"Keywords\" CONTENT=\"" + Edit2->Text() + "\">" + kCrLf +
                 "<META NAME=\"Author\" CONTENT=\"" + Edit3->Text() + "\">" + kCrLf + "</HEAD>" + kCrLf;
    Panel2->SetVisible(true);
}

void Tpagewizfrm::Button3Click(TPersistent*) {
    Panel2->SetVisible(false);
    Panel1->SetVisible(true);
}

void Tpagewizfrm::chooseWordColor(TPanel& swatch, const char* word) {
    ChoosePreviewColor(*bodycolordialog, swatch, *RichEdit1, word);
}

void Tpagewizfrm::Memo2Click(TPersistent*) { chooseWordColor(*Memo2, kTextWord); }
void Tpagewizfrm::Memo3Click(TPersistent*) { chooseWordColor(*Memo3, kLinkWord); }
void Tpagewizfrm::Memo4Click(TPersistent*) { chooseWordColor(*Memo4, kVisitedWord); }
void Tpagewizfrm::Memo6Click(TPersistent*) { chooseWordColor(*Memo6, kActiveWord); }
void Tpagewizfrm::Memo5Click(TPersistent*) { chooseWordColor(*Memo5, nullptr); }

void Tpagewizfrm::SpeedButton1Click(TPersistent*) {
    OpenPictureDialog1->SetInitialDir(ProgramFolder() + kBackgroundFolder);
    if (OpenPictureDialog1->Execute())
        Edit4->SetText(std::string(FileNameOf(OpenPictureDialog1->FileName())));
}

void Tpagewizfrm::BitBtn3Click(TPersistent*) {
    const std::string body = BodyTagMarkup({.Background = Memo5->Color(),
                                            .Picture = Edit4->Text(),
                                            .Text = Memo2->Color(),
                                            .Link = Memo3->Color(),
                                            .ActiveLink = Memo6->Color(),
                                            .VisitedLink = Memo4->Color(),
                                            .Watermark = CheckBox1->Checked(),
                                            .TopMargin = SpinEdit1->Value(),
                                            .LeftMargin = SpinEdit2->Value()});
    auto* document = new TEditForm(&Application());
    // A page that exists nowhere else yet: closing it asks to save it.
    document->Text().ReplaceAll(NewPageText(headLines_, body));
    if (frameform != nullptr)
        frameform->MDINav->AddForm(document, nullptr);
}

void ShowNewPageWizard() { RunElementDialog(std::make_unique<Tpagewizfrm>(ElementDialogOwner())); }
