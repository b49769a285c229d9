#pragma once
// The main window's quickest HTML commands, which need no dialog: a
// tag-wrap command puts an opening and a closing tag around the selection
// of the active document's editor and selects the wrapped text again; an
// insertion command replaces the selection with a fixed piece of HTML or
// puts a tag in front of it.  Each is one undo step.

#include <string>
#include <string_view>

class TCodeMemo;
class TColorDialog;

enum class TTagCommandKind {
    // Opening + selection + closing, the selection selected again.
    Wrap,
    // The selection replaced by Opening.
    Replace,
    // Opening + selection + Closing, the caret after it.
    Surround,
};

struct TTagCommand {
    const char* Handler;
    TTagCommandKind Kind;
    const char* Opening;
    const char* Closing;
};

// The command a main-window click handler runs, by the handler's name;
// nullptr for a handler that is not one of these.
const TTagCommand* FindTagCommand(std::string_view handler);

// Wraps the selection: the selected text comes back selected (forwards)
// between the tags; with nothing selected the caret ends between them.
void WrapSelection(TCodeMemo& editor, std::string_view opening, std::string_view closing);
// Runs a command on an editor; nothing without one (no active document).
void RunTagCommand(const TTagCommand& command, TCodeMemo* editor);
// The font-colour command: asks for a colour, then wraps the selection in
// a FONT tag of that colour; nothing when the dialog is cancelled.
void WrapInFontColor(TCodeMemo* editor, TColorDialog& dialog);
