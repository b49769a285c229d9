#pragma once
// The one crossing between the program's own text (UTF-8: every dialog,
// list and grid) and a document's text in the document's encoding.  Every
// command that puts the program's text into a document, or shows a
// document's text in a control, goes through this pair: a typed "é" is
// C3 A9 in a UTF-8 page and E9 in a code-page one, "中" &#20013; there.

#include <string>
#include <string_view>

class TCodeMemo;

// The program's text in the editor's document encoding.
std::string DocumentTextOf(const TCodeMemo& editor, std::string_view text);
// The editor's document text as the program's text.
std::string ProgramTextOf(const TCodeMemo& editor, std::string_view text);
