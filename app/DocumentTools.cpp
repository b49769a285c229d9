#include "app/DocumentTools.h"

#include "app/DocumentTextEncoding.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/QuickCodeDialog.h"
#include "app/SyntaxColors.h"
#include "app/TagCompletion.h"
#include "app/TagInspector.h"

#include "editor/CodeMemo.h"
#include "platform/gfx/Font.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Keys.h"
#include "platform/ui/PopupMenu.h"

namespace {

std::string tagListText() {
    std::string text;
    for (const std::string& name : TTagCompletion::TagNames())
        text += name + "\r\n";
    return text;
}

TComponentDescription completionList(const char* name, const std::string& prefix, bool bold) {
    TComponentDescription list{
        .Name = name, .ClassName = "TListBox", .Parent = "edittab", .Bounds = Bounds(0, 0, 201, 97),
        .Properties = {{"Visible", false}, {"Font.Name", std::string("Courier New")}, {"Font.Height", -11},
                       {"Font.Color", std::string("clNavy")}, {"ItemHeight", 14}, {"Sorted", true}},
        .Events = {{"OnDblClick", prefix + "DblClick"}, {"OnExit", prefix + "Exit"},
                   {"OnKeyPress", prefix + "KeyPress"}}};
    if (bold)
        list.Properties.push_back({"Font.Style", static_cast<int64_t>(fsBold)});
    return list;
}

const TFormDescription& toolsDescription() {
    static const TFormDescription form = [] {
        TFormDescription made;
        made.Components.push_back({.Name = "lbltaginfo", .ClassName = "TLabel", .Properties = {{"Visible", false}}});
        made.Components.push_back(
            {.Name = "stxttagobject", .ClassName = "TLabel", .Properties = {{"Visible", false}}});
        TComponentDescription tags = completionList("taglistbox", "taglistbox", true);
        tags.Properties.push_back({"Items", tagListText()});
        made.Components.push_back(std::move(tags));
        made.Components.push_back(completionList("paramListbox", "paramListbox", false));
        return made;
    }();
    return form;
}

} // namespace

void AttachDocumentTools(TEditForm& document) {
    auto* completion = new TTagCompletion(document);
    THandlerTable handlers;
    handlers.Add("taglistboxDblClick", completion, &TTagCompletion::taglistboxDblClick);
    handlers.Add("taglistboxExit", completion, &TTagCompletion::taglistboxExit);
    handlers.Add("taglistboxKeyPress", completion, &TTagCompletion::taglistboxKeyPress);
    handlers.Add("paramListboxDblClick", completion, &TTagCompletion::paramListboxDblClick);
    handlers.Add("paramListboxExit", completion, &TTagCompletion::paramListboxExit);
    handlers.Add("paramListboxKeyPress", completion, &TTagCompletion::paramListboxKeyPress);
    BuildForm(document, toolsDescription(), handlers);
    completion->FindLists();
    new TTagInspectorDocument(document);
    document.Editor->OnKeyPress = [completion](TPersistent* sender, char& key) {
        completion->EditorKeyPress(sender, key);
    };
    document.createOqcItem->OnClick = [&document](TPersistent*) { RunQuickCodeDialog(document); };
}

bool KeyMovesCaret(uint16_t key) {
    switch (key) {
    case VK_DOWN:
    case VK_UP:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_END:
    case VK_HOME:
    case VK_NEXT:
    case VK_PRIOR:
        return true;
    default:
        return false;
    }
}

void UpdateTagInfo(TEditForm& document) {
    if (TTagInspectorDocument* inspector = TagInspectorOf(document))
        inspector->UpdateTagInfo();
}

void UpdateTagInfoAfterKey(TEditForm& document, uint16_t key) {
    if (KeyMovesCaret(key))
        UpdateTagInfo(document);
}

void ClearTagInspector(TEditForm& document) {
    if (TTagInspectorDocument* inspector = TagInspectorOf(document))
        inspector->ClearTagInspector();
}

std::string SelectedText(TEditForm& document) { return ProgramTextOf(*document.Editor, document.Editor->SelText()); }

void ReplaceSelection(TEditForm& document, const std::string& text) {
    TCodeMemo& editor = *document.Editor;
    // An undo step of its own: the editor would join an insertion at the
    // caret to the typing just before it, and Undo would take both.
    editor.BreakUndoGroup();
    editor.SetSelText(DocumentTextOf(editor, text));
    editor.BreakUndoGroup();
}

void RecolorDocument(TEditForm& document, const std::string& colorer, const TCustomIniFile& settings) {
    ApplyHighlighting(*document.Editor, *frameform->htmlcoder, colorer, settings);
    document.Editor->ReApplyKeywords();
    document.Editor->Invalidate();
}
