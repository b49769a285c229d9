#pragma once
// Preview of a document in one of the outside browsers the settings name
// (section "Navigateurs"): the editor's text, saved or not, is written to
// the document window's preview file beside the document ("HTMLtmp.htm",
// or a free name beside it when that is taken), and the browser is started
// with the file address of that copy as its one argument, never through a
// shell.  The copy goes when the window shows its source page again.

#include <string>

class TEditForm;

// The program a browser setting names: the file itself when the setting is
// a path, else the program of that name on the PATH; empty when there is
// no such program.
std::string FindBrowserProgram(const std::string& setting);

// The preview of a document in the browser of a settings key.  An untitled
// document is saved first (the user is asked); an empty key shows
// missingPathMessage; a browser that is not there or does not start is
// reported.
void PreviewInBrowser(TEditForm& document, const std::string& key, const std::string& missingPathMessage);
