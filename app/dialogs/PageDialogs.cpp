#include "app/dialogs/PageDialogs.h"

#include "app/dialogs/BodyPreview.h"
#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/RichTextView.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"


namespace {

// ---- Body --------------------------------------------------------------------------------

const TFormDescription& bodyDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Body", 432, 301)};
        auto& c = form.Components;
        c.push_back(DescribeLabel("Body properties:", kDialogMargin, 8));
        c.push_back({.Name = "RichEdit1",
                     .ClassName = "TRichTextView",
                     .Bounds = Bounds(kDialogMargin, 28, 150, 142),
                     .Properties = {{"Lines", "\r\nText\r\n\r\nLink\r\n\r\nActive Link\r\n\r\nVisited Link"},
                                    {"Alignment", "taCenter"},
                                    {"Color", static_cast<int64_t>(clWhite)},
                                    {"Enabled", false}}});
        // The box's caption stands level with the label over the sample;
        // its frame runs beside the sample.
        c.push_back(DescribeGroup("GroupBox1", "Colors:", Bounds(166, 8, 258, 162)));
        const std::tuple<const char*, const char*, TColor, const char*> swatches[] = {
            {"Text:", "Memo1", clBlack, "couleurClick"},     {"Link:", "Memo2", clBlue, "memo2Click"},
            {"Active link:", "Memo5", clPurple, "Memo5Click"}, {"Visited link:", "Memo3", clNavy, "Button3Click"},
            {"Background:", "Memo4", clWhite, "Button4Click"}};
        for (int i = 0; i < 5; ++i) {
            const auto& [label, name, color, click] = swatches[i];
            c.push_back(DescribeRowLabel(label, 12, 28 + i * 26, "GroupBox1"));
            c.push_back(DescribeSwatch(name, Bounds(100, 28 + i * 26, 60, kFieldHeight), color, click, "GroupBox1"));
        }
        constexpr int field = 120;
        c.push_back(DescribeRowLabel("Background image:", kDialogMargin, 182));
        c.push_back(DescribeEdit("Edit1", Bounds(field, 182, 276, kFieldHeight)));
        c.push_back(DescribeBrowseButton("SpeedButton1", 401, 182, "SpeedButton1Click"));
        c.push_back(DescribeCheck("CheckBox1", "Watermark", Bounds(field, 210, 120, 17)));
        c.push_back(DescribeRowLabel("Top margin:", kDialogMargin, 236));
        c.push_back(DescribeSpin("SpinEdit1", Bounds(field, 236, 60, kFieldHeight), 0, 0, kBodyTopMargin));
        c.push_back(DescribeRowLabel("Left margin:", 216, 236));
        c.push_back(DescribeSpin("SpinEdit2", Bounds(300, 236, 60, kFieldHeight), 0, 0, kBodyLeftMargin));
        AddDialogButtons(c, 424, 268, {.CancelClick = "cancelbtnClick"});
        c.push_back({.Name = "bodycolordialog", .ClassName = "TColorDialog",
                     .Properties = {{"Options", static_cast<int64_t>(cdFullOpen)}}});
        c.push_back({.Name = "OpenPictureDialog1", .ClassName = "TOpenPictureDialog",
                     .Properties = {{"Filter", kPictureFileFilter}}});
        return form;
    }();
    return description;
}

// ---- Meta and comment -------------------------------------------------------------------

const TFormDescription& metaDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Meta-tags", 380, 132)};
        auto& c = form.Components;
        const std::pair<const char*, const char*> fields[] = {
            {"Description:", "Edit1"}, {"Keywords:", "Edit2"}, {"Author:", "Edit3"}};
        for (int i = 0; i < 3; ++i) {
            c.push_back(DescribeRowLabel(fields[i].first, kDialogMargin, 12 + i * 28));
            c.push_back(DescribeEdit(fields[i].second, Bounds(90, 12 + i * 28, 282, kFieldHeight)));
        }
        AddDialogButtons(c, 372, 99);
        return form;
    }();
    return description;
}

const TFormDescription& commentDescription() {
    static const TFormDescription description = [] {
        TFormDescription form{.Properties = DialogProperties("Comment", 340, 170)};
        auto& c = form.Components;
        c.push_back(DescribeMemo("Memo1", Bounds(kDialogMargin, kDialogMargin, 324, 114)));
        AddDialogButtons(c, 332, 137, {.Ok = "OKBtn", .OkClick = "OKBtnClick", .Help = {}});
        return form;
    }();
    return description;
}

} // namespace

// ---- Body --------------------------------------------------------------------------------

Tbodydialog::Tbodydialog(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("couleurClick", this, &Tbodydialog::couleurClick);
    handlers.Add("memo2Click", this, &Tbodydialog::memo2Click);
    handlers.Add("Memo5Click", this, &Tbodydialog::Memo5Click);
    handlers.Add("Button3Click", this, &Tbodydialog::Button3Click);
    handlers.Add("Button4Click", this, &Tbodydialog::Button4Click);
    handlers.Add("SpeedButton1Click", this, &Tbodydialog::SpeedButton1Click);
    handlers.Add("okbtnClick", this, &Tbodydialog::okbtnClick);
    handlers.Add("cancelbtnClick", this, &Tbodydialog::cancelbtnClick);
    handlers.Add("helpbtnClick", this, &Tbodydialog::helpbtnClick);
    Build(bodyDescription(), handlers);
    RichEdit1 = Find<TRichTextView>("RichEdit1");
    Memo1 = Find<TPanel>("Memo1");
    Memo2 = Find<TPanel>("Memo2");
    Memo5 = Find<TPanel>("Memo5");
    Memo3 = Find<TPanel>("Memo3");
    Memo4 = Find<TPanel>("Memo4");
    Edit1 = Find<TEdit>("Edit1");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    bodycolordialog = Find<TColorDialog>("bodycolordialog");
    OpenPictureDialog1 = Find<TOpenPictureDialog>("OpenPictureDialog1");
    FormCreate(this);
}

void Tbodydialog::colorWord(const char* word, TColor color) { ColorPreviewWord(*RichEdit1, word, color); }

void Tbodydialog::FormCreate(TPersistent*) {
    PaintBodyPreview(*RichEdit1, {"Text", "Link", "Active Link", "Visited Link"},
                     {.Background = Memo4->Color(),
                      .Text = Memo1->Color(),
                      .Link = Memo2->Color(),
                      .ActiveLink = Memo5->Color(),
                      .VisitedLink = Memo3->Color()});
}

void Tbodydialog::chooseWordColor(TPanel& swatch, const char* word) {
    ChoosePreviewColor(*bodycolordialog, swatch, *RichEdit1, word);
}

void Tbodydialog::couleurClick(TPersistent*) { chooseWordColor(*Memo1, "Text"); }
void Tbodydialog::memo2Click(TPersistent*) { chooseWordColor(*Memo2, "Link"); }
void Tbodydialog::Memo5Click(TPersistent*) { chooseWordColor(*Memo5, "Active Link"); }
void Tbodydialog::Button3Click(TPersistent*) { chooseWordColor(*Memo3, "Visited Link"); }
void Tbodydialog::Button4Click(TPersistent*) { chooseWordColor(*Memo4, nullptr); }

void Tbodydialog::SpeedButton1Click(TPersistent*) { BrowseForFile(*OpenPictureDialog1, *Edit1); }

void Tbodydialog::okbtnClick(TPersistent*) {
    InsertMarkup(BodyTagMarkup({.Background = Memo4->Color(),
                                .Picture = Edit1->Text(),
                                .Text = Memo1->Color(),
                                .Link = Memo2->Color(),
                                .ActiveLink = Memo5->Color(),
                                .VisitedLink = Memo3->Color(),
                                .Watermark = CheckBox1->Checked(),
                                .TopMargin = SpinEdit1->Value(),
                                .LeftMargin = SpinEdit2->Value()}));
}

void Tbodydialog::cancelbtnClick(TPersistent*) { Close(); }

void Tbodydialog::helpbtnClick(TPersistent*) { OpenDialogHelpPage("body.htm"); }

// ---- Meta ----------------------------------------------------------------------------------

Tmetafrm::Tmetafrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tmetafrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tmetafrm::helpbtnClick);
    Build(metaDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    Edit3 = Find<TEdit>("Edit3");
    OnClose = [this](TPersistent* sender, TCloseAction& action) { FormClose(sender, action); };
}

void Tmetafrm::okbtnClick(TPersistent*) {
    InsertMarkup("<META NAME=\"Description\" CONTENT=\"" + Edit1->Text() + "\">\r\n<META NAME=\"Keywords\" CONTENT=\"" +
                 Edit2->Text() + "\">\r\n<META NAME=\"Author\" CONTENT=\"" + Edit3->Text() + "\">\r\n");
}

void Tmetafrm::FormClose(TPersistent*, TCloseAction&) { EnableMainWindow(); }

void Tmetafrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("metas.htm"); }

// ---- Comment -------------------------------------------------------------------------------

Tcommentfrm::Tcommentfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("OKBtnClick", this, &Tcommentfrm::OKBtnClick);
    Build(commentDescription(), handlers);
    Memo1 = Find<TMemo>("Memo1");
}

void Tcommentfrm::OKBtnClick(TPersistent*) { InsertMarkup("<!-- " + Memo1->Text() + " -->"); }
