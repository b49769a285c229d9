#include "app/dialogs/FormDialogs.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

#include <functional>

namespace {

constexpr int kWidth = 330;
constexpr int kField = 96;
constexpr int kRow = 28;

struct TField {
    std::string Label;
    std::string Name;
    std::string Text = {};
};

// A dialog of labelled one-line fields, one to a row from the top, then
// what more adds below them (given the top it starts at, it returns the
// top of the buttons), then the buttons.
TFormDescription fieldDialog(std::string caption, const std::vector<TField>& fields,
                             const std::function<int(std::vector<TComponentDescription>&, int top)>& more,
                             const TDialogButtons& buttons = {}) {
    TFormDescription form;
    auto& c = form.Components;
    int top = 12;
    for (const TField& field : fields) {
        c.push_back(DescribeRowLabel(field.Label, kDialogMargin, top));
        c.push_back(DescribeEdit(field.Name, Bounds(kField, top, kWidth - kField - kDialogMargin, kFieldHeight),
                                 field.Text));
        top += kRow;
    }
    top = more ? more(c, top) : top + 6;
    AddDialogButtons(c, kWidth - kDialogMargin, top, buttons);
    form.Properties = DialogProperties(std::move(caption), kWidth, top + kButtonHeight + kDialogMargin);
    return form;
}

// A labelled spin edit in a row of fields.
void addSpinRow(std::vector<TComponentDescription>& c, const std::string& label, const std::string& name, int top,
                int min, int max, int value) {
    c.push_back(DescribeRowLabel(label, kDialogMargin, top));
    c.push_back(DescribeSpin(name, Bounds(kField, top, 70, kFieldHeight), min, max, value));
}

// A group of radio buttons side by side; the first one checked.
void addRadioGroup(std::vector<TComponentDescription>& c, const std::string& group, const std::string& caption,
                   TRect bounds, const std::vector<std::pair<std::string, std::string>>& buttons, int buttonWidth) {
    c.push_back(DescribeGroup(group, caption, bounds));
    for (size_t i = 0; i < buttons.size(); ++i)
        c.push_back(DescribeRadio(buttons[i].first, buttons[i].second,
                                  Bounds(10 + static_cast<int>(i) * buttonWidth, 20, buttonWidth - 4, 17), i == 0,
                                  group));
}

const TDialogButtons kClosingCancel{.CancelClick = "cancelbtnClick"};

const TFormDescription& formDescription() {
    static const TFormDescription description = fieldDialog(
        "Form", {{"Action:", "Edit1", "http://www.example.com/cgi-bin/form.cgi"}},
        [](std::vector<TComponentDescription>& c, int top) {
            addRadioGroup(c, "GroupBox2", "Method", Bounds(kDialogMargin, top, 130, 48),
                          {{"RadioButton4", "GET"}, {"RadioButton5", "POST"}}, 60);
            addRadioGroup(c, "GroupBox1", "Enctype", Bounds(146, top, 176, 48),
                          {{"RadioButton1", "None"}, {"RadioButton2", "MIME"}, {"RadioButton3", "Text"}}, 55);
            return top + 60;
        });
    return description;
}

const TFormDescription& hiddenDescription() {
    static const TFormDescription description = fieldDialog("Hidden", {{"Name:", "Edit1"}, {"Value:", "Edit2"}}, {});
    return description;
}

const TFormDescription& textAreaDescription() {
    static const TFormDescription description = fieldDialog(
        "Textarea", {{"Name:", "Edit1"}},
        [](std::vector<TComponentDescription>& c, int top) {
            addSpinRow(c, "Lines:", "SpinEdit1", top, 1, 1000, 5);
            addSpinRow(c, "Width:", "SpinEdit2", top + kRow, 1, 1000, 30);
            top += 2 * kRow;
            c.push_back(DescribeLabel("Default text:", kDialogMargin, top));
            c.push_back(DescribeMemo("Memo1", Bounds(kDialogMargin, top + 18, kWidth - 2 * kDialogMargin, 90)));
            return top + 18 + 90 + 10;
        },
        kClosingCancel);
    return description;
}

const TFormDescription& buttonDescription() {
    static const TFormDescription description = fieldDialog(
        "Button", {},
        [](std::vector<TComponentDescription>& c, int top) {
            addRadioGroup(c, "GroupBox1", "Type", Bounds(kDialogMargin, top, kWidth - 2 * kDialogMargin, 48),
                          {{"RadioButton1", "Send Button"}, {"RadioButton2", "Reset Button"}, {"RadioButton3", "Button"}},
                          100);
            top += 60;
            c.push_back(DescribeRowLabel("Text:", kDialogMargin, top));
            c.push_back(DescribeEdit("Edit1", Bounds(kField, top, kWidth - kField - kDialogMargin, kFieldHeight)));
            return top + kRow + 6;
        },
        kClosingCancel);
    return description;
}

const TFormDescription& textBoxDescription() {
    static const TFormDescription description = fieldDialog(
        "Textbox", {{"Name:", "Edit1"}, {"Text:", "edit2"}}, [](std::vector<TComponentDescription>& c, int top) {
            addRadioGroup(c, "GroupBox1", "Type", Bounds(kDialogMargin, top, kWidth - 2 * kDialogMargin, 48),
                          {{"RadioButton1", "Text"}, {"RadioButton2", "Password"}}, 104);
            top += 60;
            addSpinRow(c, "Max length:", "SpinEdit1", top, 1, 1000, 30);
            addSpinRow(c, "Width:", "SpinEdit2", top + kRow, 1, 1000, 30);
            return top + 2 * kRow + 6;
        });
    return description;
}

// The radio-button and check-box dialogs: name, value and one tick box.
TFormDescription choiceDescription(std::string caption, std::string tick, const TDialogButtons& buttons) {
    return fieldDialog(
        std::move(caption), {{"Name:", "Edit1"}, {"Value:", "Edit2"}},
        [tick](std::vector<TComponentDescription>& c, int top) {
            c.push_back(DescribeCheck("Checkbox1", tick, Bounds(kField, top, 150, 17)));
            return top + 30;
        },
        buttons);
}

const TFormDescription& radioDescription() {
    static const TFormDescription description = choiceDescription("Radio button", "Selected", {});
    return description;
}

const TFormDescription& checkBoxDescription() {
    static const TFormDescription description = choiceDescription("Checkbox", "Checked", kClosingCancel);
    return description;
}

} // namespace

// ---- Form ---------------------------------------------------------------------------

Tformfrm::Tformfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tformfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tformfrm::helpbtnClick);
    Build(formDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    RadioButton1 = Find<TRadioButton>("RadioButton1");
    RadioButton2 = Find<TRadioButton>("RadioButton2");
    RadioButton3 = Find<TRadioButton>("RadioButton3");
    RadioButton4 = Find<TRadioButton>("RadioButton4");
    RadioButton5 = Find<TRadioButton>("RadioButton5");
}

void Tformfrm::okbtnClick(TPersistent*) {
    const std::string selection = SelectedText();
    std::string tag = "<FORM ACTION=\"" + Edit1->Text() + "\"";
    if (RadioButton4->Checked())
        tag += " METHOD=GET";
    else if (RadioButton5->Checked())
        tag += " METHOD=POST";
    if (RadioButton2->Checked())
        tag += " ENCTYPE=\"application/x-www-form-urlencoded\"";
    else if (RadioButton3->Checked())
        tag += " ENCTYPE=\"text/plain\"";
    InsertMarkup(tag + ">" + selection + "</FORM>");
}

void Tformfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("form.htm"); }

// ---- Hidden field ------------------------------------------------------------------------

Thiddenfrm::Thiddenfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Thiddenfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Thiddenfrm::helpbtnClick);
    Build(hiddenDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
}

void Thiddenfrm::okbtnClick(TPersistent*) {
    InsertMarkup("<INPUT TYPE=\"hidden\" NAME=\"" + Edit1->Text() + "\" VALUE=\"" + Edit2->Text() + "\">");
}

void Thiddenfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("hidden.htm"); }

// ---- Text area ----------------------------------------------------------------------------

Tbtboxfrm::Tbtboxfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tbtboxfrm::okbtnClick);
    handlers.Add("cancelbtnClick", this, &Tbtboxfrm::cancelbtnClick);
    handlers.Add("helpbtnClick", this, &Tbtboxfrm::helpbtnClick);
    Build(textAreaDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
    Memo1 = Find<TMemo>("Memo1");
}

void Tbtboxfrm::okbtnClick(TPersistent*) {
    // The default text goes in as typed, with no break added around it.
    InsertMarkup("<TEXTAREA NAME=\"" + Edit1->Text() + "\" COLS=" + SpinText(*SpinEdit2) +
                 " ROWS=" + SpinText(*SpinEdit1) + ">" + Memo1->Text() + "</TEXTAREA>");
}

void Tbtboxfrm::cancelbtnClick(TPersistent*) { Close(); }

void Tbtboxfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("mtextbox.htm"); }

// ---- Button --------------------------------------------------------------------------------

Tbuttonfrm::Tbuttonfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tbuttonfrm::okbtnClick);
    handlers.Add("cancelbtnClick", this, &Tbuttonfrm::cancelbtnClick);
    handlers.Add("helpbtnClick", this, &Tbuttonfrm::helpbtnClick);
    Build(buttonDescription(), handlers);
    RadioButton1 = Find<TRadioButton>("RadioButton1");
    RadioButton2 = Find<TRadioButton>("RadioButton2");
    Edit1 = Find<TEdit>("Edit1");
}

void Tbuttonfrm::okbtnClick(TPersistent*) {
    const char* type = RadioButton1->Checked() ? "SUBMIT" : RadioButton2->Checked() ? "RESET" : "BUTTON";
    InsertMarkup(std::string("<INPUT TYPE=\"") + type + "\" VALUE=\"" + Edit1->Text() + "\">");
}

void Tbuttonfrm::cancelbtnClick(TPersistent*) { Close(); }

void Tbuttonfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("button.htm"); }

// ---- Text box ----------------------------------------------------------------------------------

Ttextboxfrm::Ttextboxfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Ttextboxfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Ttextboxfrm::helpbtnClick);
    Build(textBoxDescription(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    edit2 = Find<TEdit>("edit2");
    RadioButton1 = Find<TRadioButton>("RadioButton1");
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
}

void Ttextboxfrm::okbtnClick(TPersistent*) {
    const char* type = RadioButton1->Checked() ? "TEXT" : "PASSWORD";
    InsertMarkup(std::string("<INPUT TYPE=\"") + type + "\" NAME=\"" + Edit1->Text() + "\" SIZE=" +
                 SpinText(*SpinEdit2) + " MAXLENGTH=" + SpinText(*SpinEdit1) + " VALUE=\"" + edit2->Text() + "\">");
}

void Ttextboxfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("textbox.htm"); }

// ---- Radio button and check box -------------------------------------------------------------

TChoiceFieldDialog::TChoiceFieldDialog(TComponent* owner, const TFormDescription& description, std::string type,
                                       std::string helpPage)
    : TElementDialog(owner), type_(std::move(type)), helpPage_(std::move(helpPage)) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &TChoiceFieldDialog::okbtnClick);
    handlers.Add("cancelbtnClick", this, &TChoiceFieldDialog::cancelbtnClick);
    handlers.Add("helpbtnClick", this, &TChoiceFieldDialog::helpbtnClick);
    Build(description, handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    Checkbox1 = Find<TCheckBox>("Checkbox1");
}

void TChoiceFieldDialog::okbtnClick(TPersistent*) {
    InsertMarkup("<INPUT TYPE=\"" + type_ + "\" NAME=\"" + Edit1->Text() + "\" VALUE=\"" + Edit2->Text() + "\"" +
                 (Checkbox1->Checked() ? " CHECKED" : "") + ">");
}

void TChoiceFieldDialog::cancelbtnClick(TPersistent*) { Close(); }

void TChoiceFieldDialog::helpbtnClick(TPersistent*) { OpenDialogHelpPage(helpPage_); }

Tradiofrm::Tradiofrm(TComponent* owner) : TChoiceFieldDialog(owner, radioDescription(), "radio", "radio.htm") {}

Tcheckboxfrm::Tcheckboxfrm(TComponent* owner)
    : TChoiceFieldDialog(owner, checkBoxDescription(), "checkbox", "checkbox.htm") {}
