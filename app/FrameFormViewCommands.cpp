// The main window's view and option commands: the "Insert" menu follows
// the document commands, the check marks of "View" and "Options" are read
// from the real state each time their menu opens, and the toolbars, the
// tool window, the gutters and the editing options are switched for every
// document window at once.

#include "app/FrameForm.h"

#include "app/EditForm.h"
#include "app/SettingsFile.h"

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "toolbars/TBItem.h"
#include "toolbars/themes/TBKToolbar.h"
#include "toolbars/TBToolbar.h"

#include <functional>

namespace {

// The items of "View" > "Toolbar", by handler, and the bar each switches.
const std::pair<const char*, const char*> kToolbarItems[] = {
    {"Cadres1Click", "framesToolbar"},      {"Formattexte1Click", "formatToolbar"},
    {"Formulaires1Click", "formToolbar"},   {"Multimdia2Click", "imgToolbar"},
    {"Liens1Click", "linkToolbar"},         {"Listes1Click", "listToolbar"},
    {"Polices1Click", "fontToolbar"},       {"ptoolbClick", "mainToolbar"},
    {"Propritsdudocument1Click", "documentToolbar"}, {"Tableaux1Click", "tableToolbar"},
};

// The item names of "View" > "Toolbar", in the order of kToolbarItems.
const char* const kToolbarItemNames[] = {"Cadres1",  "Formattexte1", "Formulaires1", "Multimdia2",
                                         "Liens1",   "Listes1",      "Polices1",     "ptoolb",
                                         "Propritsdudocument1", "Tableaux1"};

// Every document window, from the last made to the first.
void forEachDocument(Tframeform& frame, const std::function<void(TEditForm&)>& work) {
    for (int i = frame.MDIChildCount() - 1; i >= 0; --i)
        if (auto* document = dynamic_cast<TEditForm*>(frame.MDIChildren(i)))
            work(*document);
}

void setOption(TCodeMemo& editor, TCodeMemoOption option, bool on) {
    TCodeMemoOptions options = editor.Options();
    on ? options.Include(option) : options.Exclude(option);
    editor.SetOptions(options);
}

} // namespace

void Tframeform::bindViewCommands() {
    BindCommand("Insertion1Click", [this](TTBCustomItem* s) { Insertion1Click(s); });
    BindCommand("affichageclick", [this](TTBCustomItem* s) { affichageclick(s); });
    BindCommand("Barresdoutils1Click", [this](TTBCustomItem* s) { Barresdoutils1Click(s); });
    for (const auto& [handler, bar] : kToolbarItems)
        BindCommand(handler, [this, bar = std::string(bar)](TTBCustomItem* item) { ToggleToolbar(item, bar); });
    BindCommand("exploreritemClick", [this](TTBCustomItem* s) { exploreritemClick(s); });
    BindCommand("margeItemClick", [this](TTBCustomItem* s) { margeItemClick(s); });
    BindCommand("margeNumItemClick", [this](TTBCustomItem* s) { margeNumItemClick(s); });
    BindCommand("wordwrapitemClick", [this](TTBCustomItem* s) { wordwrapitemClick(s); });
    BindCommand("autoindentitemClick", [this](TTBCustomItem* s) { autoindentitemClick(s); });
    BindCommand("backindentitemClick", [this](TTBCustomItem* s) { backindentitemClick(s); });
    BindCommand("codeitemClick", [this](TTBCustomItem* s) { codeitemClick(s); });
}

void Tframeform::Insertion1Click(TPersistent*) {
    // Every entry directly under "Insert" follows the document commands,
    // whose state the bold button stands for.
    const bool documentCommands = ItemEnabled("boldBtn");
    TTBCustomItem* insert = Item("Insertion1");
    for (int i = 0; i < insert->Count(); ++i)
        insert->ItemAt(i)->SetEnabled(documentCommands);
}

void Tframeform::affichageclick(TPersistent*) {
    Item("exploreritem")->SetChecked(ToolsToolWindow->Visible());
    auto settings = OpenSettings();
    Item("margeItem")->SetChecked(settings->ReadBool(settings::Editor, "gutter", true));
    Item("margeNumItem")->SetChecked(settings->ReadBool(settings::Editor, "gutternumbers", true));
}

void Tframeform::Barresdoutils1Click(TPersistent*) {
    followDocumentKeys();
    for (size_t i = 0; i < std::size(kToolbarItems); ++i)
        if (TTBCustomItem* item = Item(kToolbarItemNames[i]))
            item->SetChecked(Bar(kToolbarItems[i].second)->Visible());
}

void Tframeform::ToggleToolbar(TTBCustomItem* item, const std::string& barName) {
    // The mark is the bar's state as the menu last showed it; the next
    // opening of the menu reads it again.
    Bar(barName)->SetVisible(!item->Checked());
}

void Tframeform::exploreritemClick(TPersistent*) { ToolsToolWindow->SetVisible(!OptionChecked("exploreritem")); }

void Tframeform::margeItemClick(TPersistent*) {
    const bool show = !OptionChecked("margeItem");
    OpenSettings()->WriteBool(settings::Editor, "gutter", show);
    forEachDocument(*this, [show](TEditForm& document) { document.EditorGutter->SetVisible(show); });
}

void Tframeform::margeNumItemClick(TPersistent*) {
    const bool show = !OptionChecked("margeNumItem");
    OpenSettings()->WriteBool(settings::Editor, "gutternumbers", show);
    forEachDocument(*this, [show](TEditForm& document) { document.EditorGutter->SetLineNumbers(show); });
}

void Tframeform::wordwrapitemClick(TPersistent*) {
    // The active document decides; afterwards every document agrees.
    TEditForm* active = ActiveDocument();
    if (active == nullptr)
        return;
    const bool wrap = !active->Editor->WordWrap();
    Item("wordwrapitem")->SetChecked(wrap);
    forEachDocument(*this, [wrap](TEditForm& document) { document.Editor->SetWordWrap(wrap); });
}

void Tframeform::autoindentitemClick(TPersistent*) {
    const bool on = !OptionChecked("autoindentitem");
    Item("autoindentitem")->SetChecked(on);
    forEachDocument(*this, [on](TEditForm& document) { setOption(*document.Editor, pmoAutoIndent, on); });
}

void Tframeform::backindentitemClick(TPersistent*) {
    const bool on = !OptionChecked("backindentitem");
    Item("backindentitem")->SetChecked(on);
    forEachDocument(*this, [on](TEditForm& document) { setOption(*document.Editor, pmoBackIndent, on); });
}

void Tframeform::codeitemClick(TPersistent*) { Item("codeitem")->SetChecked(!OptionChecked("codeitem")); }
