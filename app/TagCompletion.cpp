#include "app/TagCompletion.h"

#include "app/DocumentTextEncoding.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/TagAttributes.h"

#include "editor/CodeMemo.h"
#include "platform/base/TextCodec.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Message.h"
#include "platform/ui/PageControls.h"

#include <algorithm>

namespace {

constexpr char kEnter = '\r';
constexpr char kEscape = 27;

bool isLetterOrDigit(char key) {
    return (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

// The first item that begins with the prefix, letters in any case; -1 for
// none, and for an empty prefix (nothing chosen yet).
int firstStartingWith(TListBox& list, const std::string& prefix) {
    if (prefix.empty())
        return -1;
    const std::string wanted = UpperCase(prefix);
    for (int i = 0; i < list.Items().Count(); ++i) {
        const std::string& item = list.Items().Strings(i);
        if (item.size() >= wanted.size() && UpperCase(item.substr(0, wanted.size())) == wanted)
            return i;
    }
    return -1;
}

} // namespace

TTagCompletion::TTagCompletion(TEditForm& document) : TComponent(&document), document_(document) {
    SetName("tagCompletion");
}

TTagCompletion* TagCompletionOf(TEditForm& document) {
    return dynamic_cast<TTagCompletion*>(document.FindComponent("tagCompletion"));
}

const std::vector<std::string>& TTagCompletion::TagNames() {
    static const std::vector<std::string> names = {
        "A",        "ABBR",   "ACRONYM", "ADDRESS", "APPLET",   "AREA",     "B",      "BASE",       "BASEFONT",
        "BDO",      "BIG",    "BLOCKQUOTE", "BODY", "BR",       "BUTTON",   "CAPTION", "CENTER",    "CITE",
        "CODE",     "COL",    "COLGROUP", "DD",     "DEL",      "DFN",      "DIR",    "DIV",        "DL",
        "DT",       "EM",     "FIELDSET", "FONT",   "FORM",     "FRAME",    "FRAMESET", "H1",       "H2",
        "H3",       "H4",     "H5",      "H6",      "HEAD",     "HR",       "HTML",   "I",          "IFRAME",
        "IMG",      "INPUT",  "INS",     "ISINDEX", "KBD",      "LABEL",    "LEGEND", "LI",         "LINK",
        "MAP",      "MENU",   "META",    "NOFRAMES", "NOSCRIPT", "OBJECT",  "OL",     "OPTGROUP",   "OPTION",
        "P",        "PARAM",  "PRE",     "Q",       "S",        "SAMP",     "SCRIPT", "SELECT",     "SMALL",
        "SPAN",     "STRIKE", "STRONG",  "STYLE",   "SUB",      "SUP",      "TABLE",  "TBODY",      "TD",
        "TEXTAREA", "TFOOT",  "TH",      "THEAD",   "TITLE",    "TR",       "TT",     "U",          "UL",
        "VAR",
    };
    return names;
}

void TTagCompletion::FindLists() {
    taglistbox = dynamic_cast<TListBox*>(document_.FindComponent("taglistbox"));
    paramListbox = dynamic_cast<TListBox*>(document_.FindComponent("paramListbox"));
    for (TListBox* list : {taglistbox, paramListbox})
        if (list != nullptr)
            list->OnKeyDown = [this, list](TPersistent*, uint16_t& key, TShiftState shift) {
                listKeyDown(*list, key, shift);
            };
}

void TTagCompletion::placeAtCaret(TListBox& list) {
    TCodeMemo& editor = *document_.Editor;
    int left = editor.Left() + editor.CaretX() + 3;
    int top = editor.Top() + editor.CaretY() + 18;
    // Near the page's right or bottom edge the list stays inside it (above
    // the caret's line when there is no room below).
    const TWinControl* page = list.Parent();
    if (page != nullptr) {
        left = std::max(0, std::min(left, page->ClientWidth() - list.Width()));
        if (top + list.Height() > page->ClientHeight())
            top = std::max(0, editor.Top() + editor.CaretY() - list.Height() - 2);
    }
    list.SetBounds(left, top, list.Width(), list.Height());
}

void TTagCompletion::showList(TListBox& list) {
    typed_.clear();
    typedEnd_ = -1;
    placeAtCaret(list);
    list.SetVisible(true);
    list.BringToFront();
    if (list.CanFocus())
        list.SetFocus();
}

void TTagCompletion::backToEditor(TListBox& list) {
    list.SetVisible(false);
    if (document_.Editor->CanFocus())
        document_.Editor->SetFocus();
}

void TTagCompletion::EditorKeyPress(TPersistent*, char& key) {
    if (key != '<' || taglistbox == nullptr || frameform == nullptr || !frameform->OptionChecked("codeitem"))
        return;
    taglistbox->SetItemIndex(-1);
    showList(*taglistbox);
}

void TTagCompletion::listKeyPress(TListBox& list, char& key, void (TTagCompletion::*choose)(TPersistent*)) {
    switch (key) {
    case kEnter:
        key = 0;
        (this->*choose)(&list);
        return;
    case '/':
        // A closing tag is typed on in the editor.
        key = 0;
        document_.Editor->SetSelText("/");
        backToEditor(list);
        return;
    case kEscape:
        key = 0;
        backToEditor(list);
        return;
    default:
        break;
    }
    const char typed = key;
    key = 0;
    // An attribute's list takes one blank before the name, as the choice
    // writes it.
    if (isLetterOrDigit(typed) || (typed == ' ' && &list == paramListbox && typed_.empty()))
        typeOn(list, typed);
    else
        closeAndType(list, typed);
}

void TTagCompletion::listKeyDown(TListBox& list, uint16_t& key, TShiftState shift) {
    if ((key != VK_BACK && key != VK_TAB) || (shift & (ssAlt | ssCtrl)) != 0)
        return;
    const uint16_t typed = key;
    key = 0;
    backToEditor(list);
    document_.Editor->Perform(WM_KEYDOWN, typed, 1);
}

void TTagCompletion::typeOn(TListBox& list, char key) {
    TCodeMemo& editor = *document_.Editor;
    const int32_t before = editor.SelStart();
    editor.Perform(WM_CHAR, static_cast<unsigned char>(key), 1);
    // Only what the editor took counts (a read-only one takes nothing).
    if (editor.SelStart() != before + 1 || editor.SelLength() != 0 || (!typed_.empty() && before != typedEnd_)) {
        typed_.clear();
        typedEnd_ = -1;
    } else {
        typed_ += key;
        typedEnd_ = editor.SelStart();
    }
    const std::string prefix = !typed_.empty() && typed_[0] == ' ' ? typed_.substr(1) : typed_;
    list.SetItemIndex(firstStartingWith(list, prefix));
}

void TTagCompletion::closeAndType(TListBox& list, char key) {
    // The list goes first: a "<" typed now opens a list of its own.
    const char32_t character = CharacterBeingTyped();
    backToEditor(list);
    // A character beyond ASCII goes on whole (the key byte of one outside
    // the code page is "?").
    if (character >= 0x80 && KeyCharOf(character) == key)
        document_.Editor->Perform(WM_UNICHAR, character, 0);
    else
        document_.Editor->Perform(WM_CHAR, static_cast<unsigned char>(key), 1);
}

void TTagCompletion::selectTyped() {
    TCodeMemo& editor = *document_.Editor;
    const auto length = static_cast<int32_t>(typed_.size());
    if (length > 0 && editor.SelLength() == 0 && editor.SelStart() == typedEnd_) {
        editor.SetSelStart(typedEnd_ - length);
        editor.SetSelLength(length);
    }
    typed_.clear();
    typedEnd_ = -1;
}

void TTagCompletion::writeBeforeLast(const std::string& text) {
    TCodeMemo& editor = *document_.Editor;
    editor.SetSelText(DocumentTextOf(editor, text));
    editor.SetSelStart(editor.SelStart() - 1);
}

void TTagCompletion::taglistboxDblClick(TPersistent*) {
    const int index = taglistbox->ItemIndex();
    std::string tag;
    if (index >= 0) {
        tag = taglistbox->Items().Strings(index);
        selectTyped();
        writeBeforeLast(tag + ">");
    }
    taglistbox->SetVisible(false);
    // Without attributes to offer, typing goes on in the editor.
    if (tag.empty() || !ShowParamList(tag))
        backToEditor(*taglistbox);
}

void TTagCompletion::taglistboxExit(TPersistent*) { taglistbox->SetVisible(false); }

void TTagCompletion::taglistboxKeyPress(TPersistent*, char& key) {
    listKeyPress(*taglistbox, key, &TTagCompletion::taglistboxDblClick);
}

bool TTagCompletion::ShowParamList(const std::string& tag) {
    paramListbox->Clear();
    const std::vector<std::string> attributes = ListedAttributes(tag);
    if (attributes.empty())
        return false;
    paramListbox->Items().BeginUpdate();
    for (const std::string& attribute : attributes)
        paramListbox->Items().Add(attribute);
    paramListbox->Items().EndUpdate();
    paramListbox->SetItemIndex(-1);
    showList(*paramListbox);
    return true;
}

void TTagCompletion::paramListboxDblClick(TPersistent*) {
    const int index = paramListbox->ItemIndex();
    if (index >= 0) {
        std::string attribute = " ";
        attribute += paramListbox->Items().Strings(index);
        attribute += "=\"\"";
        selectTyped();
        writeBeforeLast(attribute);
    }
    backToEditor(*paramListbox);
}

void TTagCompletion::paramListboxExit(TPersistent*) { paramListbox->SetVisible(false); }

void TTagCompletion::paramListboxKeyPress(TPersistent*, char& key) {
    listKeyPress(*paramListbox, key, &TTagCompletion::paramListboxDblClick);
}
