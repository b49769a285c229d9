#pragma once
// Everything that asks the user or hands work to the desktop goes through
// one injectable interface: message boxes, the error box for exceptions,
// the file, colour, font, folder, printer-setup, find and replace dialogs,
// opening a file or an address with the desktop and starting a program.
// Production uses the Qt implementation of platform_widgets; tests install
// TScriptedUserInteraction, which answers from a script and never blocks.

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"

#include <functional>
#include <string>
#include <vector>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message box (bits of TMsgDlgButtons).
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNo = (1u << mbYes) | (1u << mbNo);
constexpr TMsgDlgButtons mbYesNoCancel = (1u << mbYes) | (1u << mbNo) | (1u << mbCancel);
constexpr TMsgDlgButtons mbOKCancel = (1u << mbOK) | (1u << mbCancel);
constexpr TMsgDlgButtons mbOKOnly = 1u << mbOK;
// A question asked about each of several things in turn.
constexpr TMsgDlgButtons mbYesYesToAllNo = (1u << mbYes) | (1u << mbYesToAll) | (1u << mbNo);

// What a message box answers: the button pressed.
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};
// The answer of a button.
int ModalResultOf(TMsgDlgBtn button);

// The open and save dialogs.  Filter is "Text|*.txt;*.htm|All files|*.*";
// FilterIndex counts from 1.  Names are the file system's bytes.
struct TFileDialogRequest {
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
    bool MultiSelect = false;
    bool FileMustExist = true;    // open
    bool OverwritePrompt = true; // save
    bool PicturePreview = false;  // open: the chosen file's picture shows beside the list
};
struct TFileDialogResult {
    bool Accepted = false;
    std::vector<std::string> FileNames;
    int FilterIndex = 1;
};

// Options of find and replace requests.
enum : unsigned {
    frDown = 0x0001,
    frWholeWord = 0x0002,
    frMatchCase = 0x0004,
    frFindNext = 0x0008,
    frReplace = 0x0010,
    frReplaceAll = 0x0020,
};
struct TFindRequest {
    std::string FindText;
    std::string ReplaceText;
    unsigned Options = frDown;
};
// Called for each action of a find or replace dialog (Options tell which).
using TFindHandler = std::function<void(const TFindRequest& request)>;

struct TPrinterSetup {
    std::string PrinterName;
    bool Landscape = false;
    int Copies = 1;
    // Pages go to this PDF file instead of a printer (empty: the printer).
    std::string OutputFileName;
};

class TUserInteraction {
public:
    virtual ~TUserInteraction() = default;

    // A message box; returns the modal result of the button pressed
    // (mrCancel when the box is closed otherwise).  An empty caption means
    // the application's title.
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                           const std::string& caption = {}) = 0;
    // The error box for an exception's message.
    virtual void ShowException(const std::string& message) = 0;

    virtual TFileDialogResult OpenFileDialog(const TFileDialogRequest& request) = 0;
    virtual TFileDialogResult SaveFileDialog(const TFileDialogRequest& request) = 0;
    // In: the current value; out (when true is returned): the choice.
    virtual bool ChooseColor(TColor& color) = 0;
    virtual bool ChooseFont(TFont& font) = 0;
    virtual bool ChooseFolder(const std::string& title, std::string& folder) = 0;
    virtual bool PrinterSetupDialog(TPrinterSetup& setup) = 0;

    // Non-modal: the dialog stays open and calls the handler for each
    // request until it is closed.
    virtual void ShowFindDialog(const TFindRequest& initial, TFindHandler handler) = 0;
    virtual void ShowReplaceDialog(const TFindRequest& initial, TFindHandler handler) = 0;
    virtual void CloseFindDialogs() = 0;

    // The desktop: true when the request was handed on.
    virtual bool OpenDocument(const std::string& fileName) = 0;
    virtual bool OpenURL(const std::string& url) = 0;
    // Starts a program with its arguments, never through a shell.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& workingFolder = {}) = 0;
};

// The implementation in use.  Until one is installed, a fallback answers
// every question with Cancel (No, when there is no Cancel) and writes what
// it was asked to standard error.
TUserInteraction& UserInteraction();
// Installs an implementation (not owned; nullptr restores the fallback).
void SetUserInteraction(TUserInteraction* interaction);
// Hands a web address to the desktop's browser; when the desktop has none
// to show it, the user is told rather than left waiting.
void OpenWebAddress(const std::string& address);

// Runs a handler; an exception it raises is shown through the seam as an
// error box and goes no further.  Returns false when the handler raised.
// Every place where Qt calls into the program runs through it.
template <class Handler> bool RunGuarded(Handler&& handler);
// Shows the exception being handled (call inside a catch block).
void ShowCurrentException();

template <class Handler> bool RunGuarded(Handler&& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}
