#pragma once
// The program's start: the splash window, the application's title, the
// main window, then what the user sees first, decided from the command
// line or, without an argument, from section "startup" of the settings
// file: a project, a document, the new-document dialog, the open dialog, a
// blank document or the main window alone.

#include <string>
#include <vector>

class Tframeform;

// The application's title: task bar, message boxes, the main window.
inline constexpr const char* kApplicationTitle = "Korvane Ondrill 3.2";

enum class TStartAction {
    OpenProject,       // Path, a file whose extension is ".ond"
    OpenDocument,      // Path
    NewDocumentDialog, // "mode" 1 (the default)
    OpenDialog,        // "mode" 2
    BlankDocument,     // another "mode", "newstandard" true
    Nothing,           // another "mode", "newstandard" false
};

struct TStartPlan {
    TStartAction Action = TStartAction::Nothing;
    // The argument made absolute (for a project or a document).
    std::string Path;
};

// The decision.  Only the first argument counts; a relative one is taken
// from currentFolder.  Without one the settings file decides.
TStartPlan PlanStartup(const std::vector<std::string>& arguments, const std::string& currentFolder);
// Whether a file name's extension is ".ond", ignoring case.
bool IsProjectFileName(const std::string& path);

// Everything up to the message loop: splash, title, main window, the
// plan carried out, the splash closed and released.  An error on the way
// (a document that can not be read) is reported and start-up goes on.
// Needs the application initialised; returns the main window.
Tframeform* StartUp(const std::vector<std::string>& arguments, const std::string& currentFolder);

// The whole program: start-up, then the message loop until the main
// window closes.
int RunOndrill(int argc, char** argv);
