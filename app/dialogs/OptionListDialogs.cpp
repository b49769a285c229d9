#include "app/dialogs/OptionListDialogs.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

namespace {

constexpr int kWidth = 340;
constexpr int kField = 80;

// Name, item name and value with Add, the options with Delete; the list
// box's lines and multiple choice below them when listBox.
TFormDescription optionListDescription(std::string caption, bool listBox) {
    TFormDescription form;
    auto& c = form.Components;
    const int fieldWidth = kWidth - kField - kDialogMargin;
    c.push_back(DescribeRowLabel("Name:", kDialogMargin, 12));
    c.push_back(DescribeEdit("Edit1", Bounds(kField, 12, fieldWidth, kFieldHeight)));
    c.push_back(DescribeRowLabel("Item name:", kDialogMargin, 48));
    c.push_back(DescribeEdit("Edit2", Bounds(kField, 48, fieldWidth - 70, kFieldHeight)));
    c.push_back(DescribeRowLabel("Item value:", kDialogMargin, 76));
    c.push_back(DescribeEdit("Edit3", Bounds(kField, 76, fieldWidth - 70, kFieldHeight)));
    c.push_back(DescribeButton("Button1", "Add", Bounds(kWidth - kDialogMargin - 64, 62, 64, kButtonHeight),
                               "Button1Click"));
    c.push_back(DescribeLabel("Options:", kDialogMargin, 108));
    c.push_back(DescribeListBox("ListBox1", Bounds(kDialogMargin, 126, kWidth - 2 * kDialogMargin - 72, 110)));
    c.push_back(DescribeButton("Button2", "Delete", Bounds(kWidth - kDialogMargin - 64, 126, 64, kButtonHeight),
                               "Button2Click"));
    int top = 246;
    if (listBox) {
        c.push_back(DescribeRowLabel("Lines:", kDialogMargin, top));
        c.push_back(DescribeSpin("SpinEdit1", Bounds(kField, top, 60, kFieldHeight), 1, 1000, 5));
        c.push_back(DescribeCheck("CheckBox1", "Allow multiple selection", Bounds(156, top + 2, 176, 17)));
        top += 32;
    }
    AddDialogButtons(c, kWidth - kDialogMargin, top);
    form.Properties = DialogProperties(std::move(caption), kWidth, top + kButtonHeight + kDialogMargin);
    return form;
}

const TFormDescription& dropDownDescription() {
    static const TFormDescription description = optionListDescription("Scrollbox", false);
    return description;
}

const TFormDescription& listBoxDescription() {
    static const TFormDescription description = optionListDescription("Listbox", true);
    return description;
}

} // namespace

TOptionListDialog::TOptionListDialog(TComponent* owner, const TFormDescription& description, std::string helpPage)
    : TElementDialog(owner), helpPage_(std::move(helpPage)) {
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &TOptionListDialog::Button1Click);
    handlers.Add("Button2Click", this, &TOptionListDialog::Button2Click);
    handlers.Add("okbtnClick", this, &TOptionListDialog::okbtnClick);
    handlers.Add("helpbtnClick", this, &TOptionListDialog::helpbtnClick);
    Build(description, handlers);
    Edit1 = Find<TEdit>("Edit1");
    Edit2 = Find<TEdit>("Edit2");
    Edit3 = Find<TEdit>("Edit3");
    ListBox1 = Find<TListBox>("ListBox1");
}

void TOptionListDialog::Button1Click(TPersistent*) {
    // The item name is the option's value, the item value its text.
    ListBox1->Items().Add("<OPTION VALUE=\"" + Edit2->Text() + "\">" + Edit3->Text());
    Edit2->Clear();
    Edit3->Clear();
}

void TOptionListDialog::Button2Click(TPersistent*) {
    const int selected = ListBox1->ItemIndex();
    if (selected >= 0 && selected < ListBox1->Items().Count())
        ListBox1->Items().Delete(selected);
}

void TOptionListDialog::okbtnClick(TPersistent*) {
    std::string markup = startTag() + "\r\n";
    for (int i = 0; i < ListBox1->Items().Count(); ++i)
        markup += ListBox1->Items().Strings(i) + "\r\n";
    InsertMarkup(markup + "</SELECT>");
}

void TOptionListDialog::helpbtnClick(TPersistent*) { OpenDialogHelpPage(helpPage_); }

Tscrlistboxfrm::Tscrlistboxfrm(TComponent* owner) : TOptionListDialog(owner, dropDownDescription(), "slistbox.htm") {}

std::string Tscrlistboxfrm::startTag() const { return "<SELECT NAME=\"" + Edit1->Text() + "\">"; }

Tlistboxfrm::Tlistboxfrm(TComponent* owner) : TOptionListDialog(owner, listBoxDescription(), "listbox.htm") {
    SpinEdit1 = Find<TSpinEdit>("SpinEdit1");
    CheckBox1 = Find<TCheckBox>("CheckBox1");
}

std::string Tlistboxfrm::startTag() const {
    return "<SELECT NAME=\"" + Edit1->Text() + "\" SIZE=" + SpinText(*SpinEdit1) +
           (CheckBox1->Checked() ? " MULTIPLE>" : ">");
}
