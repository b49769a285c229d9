#pragma once
// The colours of the HTML highlighter that every document shares, from the
// settings file: the built-in set, the user's set of section "customhtml",
// or no highlighting, chosen by the key "colorer" of section "editeur".

#include <string>

class TCodeMemo;
class TCustomIniFile;
class THtmlHighlighter;

// The styles the shared highlighter starts with, before any set is loaded.
void SetInitialHtmlStyles(THtmlHighlighter& highlighter);

// The built-in set: eight classes get fixed colours and styles on the
// editor's background colour ("color" of "editeur", white by default).
// Returns whether any style changed.
bool ReadDefaultHtml(THtmlHighlighter& highlighter, const TCustomIniFile& settings);
// The user's set: ten classes from "customhtml"; a missing colour key
// keeps the class's colour, a missing "bold" key means bold.  Returns
// whether any style changed.
bool ReadCustomizedHtml(THtmlHighlighter& highlighter, const TCustomIniFile& settings);

// Applies a "colorer" choice to an editor: "default" and "custom" load
// their set into the shared highlighter and give it to the editor, "none"
// takes the editor's highlighter away; any other text (compared exactly)
// changes nothing.  When a set changed the styles, every editor already
// using the highlighter is coloured anew, so open documents agree.
void ApplyHighlighting(TCodeMemo& editor, THtmlHighlighter& highlighter, const std::string& colorer,
                       const TCustomIniFile& settings);
