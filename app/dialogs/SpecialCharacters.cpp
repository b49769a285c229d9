#include "app/dialogs/SpecialCharacters.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/TextControls.h"

#include <array>

namespace {

// The markup characters, two signs, the Latin-1 letters from U+00C0 to
// U+00FD (without the multiplication and division signs) and the blank,
// in UTF-8 as all the program's text; three pairs stand in reverse code
// order, each with its own entity.
constexpr std::array<TSpecialCharacter, 67> kCharacters = {{
    {"<", "&lt;"},            {">", "&gt;"},            {"&", "&amp;"},           {"\"", "&quot;"},
    {"\xC2\xAE", "&reg;"},    {"\xC2\xA9", "&copy;"},   {"\xC3\x80", "&Agrave;"}, {"\xC3\x81", "&Aacute;"},
    {"\xC3\x82", "&Acirc;"},  {"\xC3\x83", "&Atilde;"}, {"\xC3\x84", "&Auml;"},   {"\xC3\x85", "&Aring;"},
    {"\xC3\x86", "&AElig;"},  {"\xC3\x87", "&Ccedil;"}, {"\xC3\x88", "&Egrave;"}, {"\xC3\x89", "&Eacute;"},
    {"\xC3\x8A", "&Ecirc;"},  {"\xC3\x8B", "&Euml;"},   {"\xC3\x8C", "&Igrave;"}, {"\xC3\x8D", "&Iacute;"},
    {"\xC3\x8E", "&Icirc;"},  {"\xC3\x8F", "&Iuml;"},   {"\xC3\x90", "&ETH;"},    {"\xC3\x91", "&Ntilde;"},
    {"\xC3\x92", "&Ograve;"}, {"\xC3\x93", "&Oacute;"}, {"\xC3\x94", "&Ocirc;"},  {"\xC3\x95", "&Otilde;"},
    {"\xC3\x96", "&Ouml;"},   {"\xC3\x98", "&Oslash;"}, {"\xC3\x9A", "&Uacute;"}, {"\xC3\x99", "&Ugrave;"},
    {"\xC3\x9B", "&Ucirc;"},  {"\xC3\x9C", "&Uuml;"},   {"\xC3\x9D", "&Yacute;"}, {"\xC3\x9E", "&THORN;"},
    {"\xC3\x9F", "&szlig;"},  {"\xC3\xA1", "&aacute;"}, {"\xC3\xA0", "&agrave;"}, {"\xC3\xA2", "&acirc;"},
    {"\xC3\xA3", "&atilde;"}, {"\xC3\xA4", "&auml;"},   {"\xC3\xA5", "&aring;"},  {"\xC3\xA6", "&aelig;"},
    {"\xC3\xA7", "&ccedil;"}, {"\xC3\xA8", "&egrave;"}, {"\xC3\xA9", "&eacute;"}, {"\xC3\xAA", "&ecirc;"},
    {"\xC3\xAB", "&euml;"},   {"\xC3\xAC", "&igrave;"}, {"\xC3\xAD", "&iacute;"}, {"\xC3\xAE", "&icirc;"},
    {"\xC3\xAF", "&iuml;"},   {"\xC3\xB0", "&eth;"},    {"\xC3\xB1", "&ntilde;"}, {"\xC3\xB3", "&oacute;"},
    {"\xC3\xB2", "&ograve;"}, {"\xC3\xB4", "&ocirc;"},  {"\xC3\xB5", "&otilde;"}, {"\xC3\xB6", "&ouml;"},
    {"\xC3\xB8", "&oslash;"}, {"\xC3\xB9", "&ugrave;"}, {"\xC3\xBA", "&uacute;"}, {"\xC3\xBB", "&ucirc;"},
    {"\xC3\xBC", "&uuml;"},   {"\xC3\xBD", "&yacute;"}, {" ", "&nbsp;"},
}};

const TFormDescription& description() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("Special Characters", 262, 146)};
        auto& c = form.Components;
        std::string items;
        for (const TSpecialCharacter& character : kCharacters)
            items += std::string(character.Character) + "\r\n";
        constexpr int field = 72;
        c.push_back(DescribeRowLabel("Character", kDialogMargin, 12));
        c.push_back(WithEvent(WithEvent(WithProperty(DescribeCombo("ComboBox1", Bounds(field, 12, 80, kFieldHeight), "<"),
                                                     "Items", items),
                                        "OnClick", "ComboBox1Click"),
                              "OnChange", "ComboBox1Change"));
        c.push_back(DescribeRowLabel("Preview:", kDialogMargin, 42));
        c.push_back(DescribeEdit("Edit2", Bounds(field, 42, 80, kFieldHeight), "<"));
        c.push_back(DescribeRowLabel("Tag:", kDialogMargin, 72));
        c.push_back(DescribeEdit("Edit1", Bounds(field, 72, 182, kFieldHeight), "&lt;"));
        TComponentDescription insert = WithProperty(
            DescribeButton("BitBtn1", "Insert", Bounds(16, 112, kButtonWidth, kButtonHeight), "BitBtn1Click"),
            "Default", true);
        insert.ClassName = "TBitBtn";
        c.push_back(std::move(insert));
        c.push_back(DescribeButton("Button1", "Close", Bounds(97, 112, kButtonWidth, kButtonHeight), "Button1Click"));
        c.push_back(DescribeButton("helpbtn", "Help", Bounds(178, 112, kButtonWidth, kButtonHeight), "helpbtnClick"));
        return form;
    }();
    return form;
}

} // namespace

std::span<const TSpecialCharacter> SpecialCharacters() { return kCharacters; }

TCaracfrm::TCaracfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("ComboBox1Click", this, &TCaracfrm::ComboBox1Click);
    handlers.Add("ComboBox1Change", this, &TCaracfrm::ComboBox1Change);
    handlers.Add("BitBtn1Click", this, &TCaracfrm::BitBtn1Click);
    handlers.Add("Button1Click", this, &TCaracfrm::Button1Click);
    handlers.Add("helpbtnClick", this, &TCaracfrm::helpbtnClick);
    Build(description(), handlers);
    ComboBox1 = Find<TComboBox>("ComboBox1");
    Edit2 = Find<TEdit>("Edit2");
    Edit1 = Find<TEdit>("Edit1");
    SetFormStyle(fsStayOnTop);
    OnClose = [this](TPersistent* sender, TCloseAction& action) { FormClose(sender, action); };
}

void TCaracfrm::ComboBox1Click(TPersistent*) {
    const std::string& text = ComboBox1->Text();
    Edit2->SetText(text);
    for (const TSpecialCharacter& character : kCharacters)
        if (text == character.Character) {
            Edit1->SetText(character.Entity);
            return;
        }
}

void TCaracfrm::ComboBox1Change(TPersistent* sender) {
    ComboBox1Click(sender);
    Edit2->SetText(ComboBox1->Text());
}

void TCaracfrm::BitBtn1Click(TPersistent*) { InsertMarkup(Edit1->Text()); }

void TCaracfrm::Button1Click(TPersistent*) { Close(); }

void TCaracfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("carac.htm"); }

void TCaracfrm::FormClose(TPersistent*, TCloseAction& action) {
    // A closed window goes, so that windows opened one after another do
    // not pile up hidden.
    action = caFree;
}

void ShowSpecialCharacters() {
    if (ActiveDocumentWindow() == nullptr)
        return;
    auto* window = new TCaracfrm(ElementDialogOwner());
    window->Show();
}
