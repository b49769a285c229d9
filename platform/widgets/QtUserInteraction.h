#pragma once
// The user-interaction seam shown with Qt: message boxes, the standard
// file, colour, font, folder and print dialogs, small find and replace
// dialogs that stay open, the desktop's handlers for documents and
// addresses, and programs started directly (no shell).

#include "platform/ui/UserInteraction.h"

class TQtUserInteraction : public TUserInteraction {
public:
    ~TQtUserInteraction() override;

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
    void showFind(bool replace, const TFindRequest& initial, TFindHandler handler);
    class QDialog* findDialog_ = nullptr;
};

TQtUserInteraction& QtUserInteraction();

// Turns "Text|*.txt;*.htm|All files|*.*" into Qt's "Text (*.txt *.htm);;All
// files (*.*)".
std::string QtFileFilter(const std::string& filter);
