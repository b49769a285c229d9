#pragma once
// The user-interaction seam for tests: every question takes the next
// answer scripted for its kind, every call is recorded, and a question
// without a scripted answer is reported (by default the program stops with
// the question on standard error) instead of waiting for a user who is not
// there.  Actions that ask nothing (error boxes, opening documents,
// starting programs) need no script; they are recorded and succeed unless
// DesktopSucceeds says otherwise.

#include "platform/ui/UserInteraction.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class TScriptedUserInteraction : public TUserInteraction {
public:
    enum TKind {
        kMessage,
        kException,
        kOpenFile,
        kSaveFile,
        kColor,
        kFont,
        kFolder,
        kPrinterSetup,
        kFind,
        kReplace,
        kOpenDocument,
        kOpenURL,
        kStartProgram,
    };

    struct TCall {
        explicit TCall(TKind kind) : Kind(kind) {}
        TKind Kind;
        std::string Text; // message text, exception message, title, document, URL or program
        std::string Caption;
        TMsgDlgType Type = mtCustom;
        TMsgDlgButtons Buttons = 0;
        TFileDialogRequest FileRequest;
        TFindRequest Find;
        std::vector<std::string> Arguments;
        std::string WorkingFolder;
    };

    // Installs itself as the seam while it lives, then puts back the one
    // it replaced.
    TScriptedUserInteraction();
    ~TScriptedUserInteraction() override;

    // --- the script -------------------------------------------------------
    void AnswerMessage(int modalResult);
    void AnswerFiles(std::vector<std::string> fileNames, int filterIndex = 1); // an open dialog
    void AnswerSaveFile(std::string fileName, int filterIndex = 1);
    void AnswerColor(TColor color);
    void AnswerFont(const TFont& font);
    void AnswerFolder(std::string folder);
    void AnswerPrinterSetup(const TPrinterSetup& setup);
    // The next question of this kind is cancelled.
    void Cancel(TKind kind);
    size_t PendingAnswers() const;

    // Called for a question without an answer; the question is answered
    // as cancelled when it returns.
    std::function<void(const std::string& question)> OnUnscripted;
    bool DesktopSucceeds = true;

    // --- what happened ------------------------------------------------------
    std::vector<TCall> Calls;
    std::vector<std::string> Exceptions() const;
    // Calls a find or replace dialog's handler as the user would.
    bool TriggerFind(const TFindRequest& request);

    // --- TUserInteraction -----------------------------------------------------
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   const std::string& caption = {}) override;
    void ShowException(const std::string& message) override;
    TFileDialogResult OpenFileDialog(const TFileDialogRequest& request) override;
    TFileDialogResult SaveFileDialog(const TFileDialogRequest& request) override;
    bool ChooseColor(TColor& color) override;
    bool ChooseFont(TFont& font) override;
    bool ChooseFolder(const std::string& title, std::string& folder) override;
    bool PrinterSetupDialog(TPrinterSetup& setup) override;
    void ShowFindDialog(const TFindRequest& initial, TFindHandler handler) override;
    void ShowReplaceDialog(const TFindRequest& initial, TFindHandler handler) override;
    void CloseFindDialogs() override;
    bool OpenDocument(const std::string& fileName) override;
    bool OpenURL(const std::string& url) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingFolder = {}) override;

private:
    struct TAnswer {
        bool Accepted = true;
        int Result = mrNone;
        std::vector<std::string> Files;
        int FilterIndex = 1;
        TColor Color = clBlack;
        TFont Font;
        std::string Folder;
        TPrinterSetup Printer;
    };
    bool take(TKind kind, const std::string& question, TAnswer& answer);
    TFileDialogResult fileDialog(TKind kind, const TFileDialogRequest& request);

    std::map<TKind, std::deque<TAnswer>> script_;
    TFindHandler findHandler_;
    TUserInteraction* previous_;
};
