#include "app/dialogs/SpecialCharacters.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/TextControls.h"

#include <array>

namespace {

// The markup characters, two signs, the Latin-1 letters from 0xC0 to 0xFD
// (without the multiplication and division signs) and the blank; three
// pairs stand in reverse code order, each with its own entity.
constexpr std::array<TSpecialCharacter, 67> kCharacters = {{
    {"<", "&lt;"},          {">", "&gt;"},          {"&", "&amp;"},         {"\"", "&quot;"},
    {"\xAE", "&reg;"},      {"\xA9", "&copy;"},     {"\xC0", "&Agrave;"},   {"\xC1", "&Aacute;"},
    {"\xC2", "&Acirc;"},    {"\xC3", "&Atilde;"},   {"\xC4", "&Auml;"},     {"\xC5", "&Aring;"},
    {"\xC6", "&AElig;"},    {"\xC7", "&Ccedil;"},   {"\xC8", "&Egrave;"},   {"\xC9", "&Eacute;"},
    {"\xCA", "&Ecirc;"},    {"\xCB", "&Euml;"},     {"\xCC", "&Igrave;"},   {"\xCD", "&Iacute;"},
    {"\xCE", "&Icirc;"},    {"\xCF", "&Iuml;"},     {"\xD0", "&ETH;"},      {"\xD1", "&Ntilde;"},
    {"\xD2", "&Ograve;"},   {"\xD3", "&Oacute;"},   {"\xD4", "&Ocirc;"},    {"\xD5", "&Otilde;"},
    {"\xD6", "&Ouml;"},     {"\xD8", "&Oslash;"},   {"\xDA", "&Uacute;"},   {"\xD9", "&Ugrave;"},
    {"\xDB", "&Ucirc;"},    {"\xDC", "&Uuml;"},     {"\xDD", "&Yacute;"},   {"\xDE", "&THORN;"},
    {"\xDF", "&szlig;"},    {"\xE1", "&aacute;"},   {"\xE0", "&agrave;"},   {"\xE2", "&acirc;"},
    {"\xE3", "&atilde;"},   {"\xE4", "&auml;"},     {"\xE5", "&aring;"},    {"\xE6", "&aelig;"},
    {"\xE7", "&ccedil;"},   {"\xE8", "&egrave;"},   {"\xE9", "&eacute;"},   {"\xEA", "&ecirc;"},
    {"\xEB", "&euml;"},     {"\xEC", "&igrave;"},   {"\xED", "&iacute;"},   {"\xEE", "&icirc;"},
    {"\xEF", "&iuml;"},     {"\xF0", "&eth;"},      {"\xF1", "&ntilde;"},   {"\xF3", "&oacute;"},
    {"\xF2", "&ograve;"},   {"\xF4", "&ocirc;"},    {"\xF5", "&otilde;"},   {"\xF6", "&ouml;"},
    {"\xF8", "&oslash;"},   {"\xF9", "&ugrave;"},   {"\xFA", "&uacute;"},   {"\xFB", "&ucirc;"},
    {"\xFC", "&uuml;"},     {"\xFD", "&yacute;"},   {" ", "&nbsp;"},
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

void TCaracfrm::helpbtnClick(TPersistent*) { OpenHelpPage("carac.htm"); }

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
