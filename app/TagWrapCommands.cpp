#include "app/TagWrapCommands.h"

#include "app/HtmlColor.h"

#include "editor/CodeMemo.h"
#include "platform/ui/CommonDialogs.h"

#include <array>

namespace {

using enum TTagCommandKind;

const std::array<TTagCommand, 39> kCommands = {{
    {"grasbuttonClick", Wrap, "<B>", "</B>"},
    {"italiquebuttonClick", Wrap, "<I>", "</I>"},
    {"soulignebuttonClick", Wrap, "<U>", "</U>"},
    {"strikebuttonClick", Wrap, "<STRIKE>", "</STRIKE>"},
    {"blinkbuttonClick", Wrap, "<BLINK>", "</BLINK>"},
    {"Grandeur5Click", Wrap, "<FONT SIZE=\"+5\">", "</FONT>"},
    {"Grandeur4Click", Wrap, "<FONT SIZE=\"+4\">", "</FONT>"},
    {"Grandeur3Click", Wrap, "<FONT SIZE=\"+3\">", "</FONT>"},
    {"Grandeur2Click", Wrap, "<FONT SIZE=\"+2\">", "</FONT>"},
    {"Grandeur1Click", Wrap, "<FONT SIZE=\"+1\">", "</FONT>"},
    {"Grandeur11Click", Wrap, "<FONT SIZE=\"-1\">", "</FONT>"},
    {"Grandeur22Click", Wrap, "<FONT SIZE=\"-2\">", "</FONT>"},
    {"Grandeur33Click", Wrap, "<FONT SIZE=\"-3\">", "</FONT>"},
    {"Grandeur44Click", Wrap, "<FONT SIZE=\"-4\">", "</FONT>"},
    {"Grandeur55Click", Wrap, "<FONT SIZE=\"-5\">", "</FONT>"},
    {"alignleftbuttonClick", Wrap, "<DIV ALIGN=\"LEFT\">", "</DIV>"},
    {"centerbuttonClick", Wrap, "<CENTER>", "</CENTER>"},
    {"alignrightbuttonClick", Wrap, "<DIV ALIGN=\"RIGHT\">", "</DIV>"},
    {"prebuttonClick", Wrap, "<PRE>", "</PRE>"},
    {"blocbuttonClick", Wrap, "<BLOCKQUOTE>", "</BLOCKQUOTE>"},
    {"supbuttonClick", Wrap, "<SUP>", "</SUP>"},
    {"subbuttonClick", Wrap, "<SUB>", "</SUB>"},
    {"StyledetitreClick", Wrap, "<H1>", "</H1>"},
    {"Styledetitre11Click", Wrap, "<H2>", "</H2>"},
    {"Styledetitre12Click", Wrap, "<H3>", "</H3>"},
    {"Styledetitre13Click", Wrap, "<H4>", "</H4>"},
    {"Styledetitre51Click", Wrap, "<H5>", "</H5>"},
    {"Styledetitre61Click", Wrap, "<H6>", "</H6>"},
    {"headbuttonClick", Wrap, "<HEAD>", "</HEAD>"},
    {"titrebuttonClick", Wrap, "<TITLE>", "</TITLE>"},
    {"trbuttonClick", Wrap, "<TR>", "</TR>"},
    {"TDbuttonClick", Wrap, "<TD>", "</TD>"},
    {"thbuttonClick", Wrap, "<TH>", "</TH>"},
    {"prbuttonClick", Replace, "<P>", ""},
    {"brbuttonClick", Replace, "<BR>", ""},
    {"brBtnClick", Replace, "<BR>", ""},
    {"nbspbuttonClick", Replace, "&nbsp;", ""},
    {"libuttonClick", Surround, "<LI>", ""},
    {"dtbuttonClick", Surround, "<DT>", "<DD>"},
}};

} // namespace

const TTagCommand* FindTagCommand(std::string_view handler) {
    if (handler.empty())
        return nullptr;
    for (const TTagCommand& command : kCommands)
        if (handler == command.Handler)
            return &command;
    return nullptr;
}

namespace {

// Puts opening + selection + closing in place of the selection as one undo
// step of its own (never joined to the typing before it); returns the
// length of the selection.
int32_t surround(TCodeMemo& editor, std::string_view opening, std::string_view closing) {
    const std::string selected = editor.SelText();
    std::string text;
    text.reserve(opening.size() + selected.size() + closing.size());
    text.append(opening).append(selected).append(closing);
    editor.BreakUndoGroup();
    editor.SetSelText(text);
    editor.BreakUndoGroup();
    return static_cast<int32_t>(selected.size());
}

} // namespace

void WrapSelection(TCodeMemo& editor, std::string_view opening, std::string_view closing) {
    const int32_t length = surround(editor, opening, closing);
    // The caret stands after the closing tag.
    editor.SetSelStart(editor.SelStart() - static_cast<int32_t>(closing.size()) - length);
    editor.SetSelLength(length);
}

void RunTagCommand(const TTagCommand& command, TCodeMemo* editor) {
    if (editor == nullptr)
        return;
    switch (command.Kind) {
    case TTagCommandKind::Wrap:
        WrapSelection(*editor, command.Opening, command.Closing);
        break;
    case TTagCommandKind::Replace:
        editor->BreakUndoGroup();
        editor->SetSelText(command.Opening);
        editor->BreakUndoGroup();
        break;
    case TTagCommandKind::Surround:
        surround(*editor, command.Opening, command.Closing);
        break;
    }
}

void WrapInFontColor(TCodeMemo* editor, TColorDialog& dialog) {
    if (editor == nullptr || !dialog.Execute())
        return;
    WrapSelection(*editor, "<FONT COLOR=\"" + ColorToHtml(dialog.Color()) + "\">", "</FONT>");
}
