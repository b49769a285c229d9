#pragma once
// The user-interaction seam a test program with real windows starts with:
// nobody is there to answer, so nothing may wait for an answer.  An error
// box, a question, a dialog or a desktop action that a test did not script
// is a failure of the running test, reported at once, and is answered as
// cancelled (or refused), so the test goes on to its end instead of hanging
// on a modal box that nobody closes.  Tests that expect any of these
// install a TScriptedUserInteraction of their own, which gives this one
// back after.  Header-only: a test program needs no more than the window
// base to use it.

#include "platform/ui/UserInteraction.h"

#include <gtest/gtest.h>

class TUnattendedUserInteraction : public TUserInteraction {
public:
    int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons, const std::string&) override {
        return refuse("message box \"" + text + "\""), mrCancel;
    }
    void ShowException(const std::string& message) override { refuse("error box \"" + message + "\""); }
    TFileDialogResult OpenFileDialog(const TFileDialogRequest& request) override {
        return refuse("open dialog \"" + request.Title + "\""), TFileDialogResult{};
    }
    TFileDialogResult SaveFileDialog(const TFileDialogRequest& request) override {
        return refuse("save dialog \"" + request.Title + "\""), TFileDialogResult{};
    }
    bool ChooseColor(TColor&) override { return refuse("colour dialog"); }
    bool ChooseFont(TFont&) override { return refuse("font dialog"); }
    bool ChooseFolder(const std::string& title, std::string&) override { return refuse("folder dialog \"" + title + "\""); }
    bool PrinterSetupDialog(TPrinterSetup&) override { return refuse("printer setup"); }
    void ShowFindDialog(const TFindRequest&, TFindHandler) override { refuse("find dialog"); }
    void ShowReplaceDialog(const TFindRequest&, TFindHandler) override { refuse("replace dialog"); }
    void CloseFindDialogs() override {}
    bool OpenDocument(const std::string& fileName) override { return refuse("opening \"" + fileName + "\""); }
    bool OpenURL(const std::string& url) override { return refuse("opening \"" + url + "\""); }
    bool StartProgram(const std::string& program, const std::vector<std::string>&, const std::string&) override {
        return refuse("starting \"" + program + "\"");
    }

private:
    static bool refuse(const std::string& what) {
        ADD_FAILURE() << "unscripted " << what << " in a test: nobody is there to answer";
        return false;
    }
};

// The one instance a test program installs.
inline TUnattendedUserInteraction& UnattendedUserInteraction() {
    static TUnattendedUserInteraction unattended;
    return unattended;
}
