#include "platform/ui/UserInteraction.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/Application.h"

#include <cstdio>
#include <exception>

namespace {

// Answers without asking anybody: the safe choice of every question, and a
// line on standard error so that nothing goes unnoticed.
class TFallbackUserInteraction : public TUserInteraction {
public:
    int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons,
                   const std::string&) override {
        std::fprintf(stderr, "ondrill: unanswered question: %s\n", text.c_str());
        if (buttons & (1u << mbCancel))
            return mrCancel;
        if (buttons & (1u << mbNo))
            return mrNo;
        return buttons & (1u << mbOK) ? mrOk : mrCancel;
    }
    void ShowException(const std::string& message) override {
        std::fprintf(stderr, "ondrill: error: %s\n", message.c_str());
    }
    TFileDialogResult OpenFileDialog(const TFileDialogRequest&) override { return {}; }
    TFileDialogResult SaveFileDialog(const TFileDialogRequest&) override { return {}; }
    bool ChooseColor(TColor&) override { return false; }
    bool ChooseFont(TFont&) override { return false; }
    bool ChooseFolder(const std::string&, std::string&) override { return false; }
    bool PrinterSetupDialog(TPrinterSetup&) override { return false; }
    void ShowFindDialog(const TFindRequest&, TFindHandler) override {}
    void ShowReplaceDialog(const TFindRequest&, TFindHandler) override {}
    void CloseFindDialogs() override {}
    bool OpenDocument(const std::string&) override { return false; }
    bool OpenURL(const std::string&) override { return false; }
    bool StartProgram(const std::string&, const std::vector<std::string>&, const std::string&) override {
        return false;
    }
};

TUserInteraction* installed = nullptr;

} // namespace

int ModalResultOf(TMsgDlgBtn button) {
    switch (button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    default: return mrNone;
    }
}

TUserInteraction& UserInteraction() {
    static TFallbackUserInteraction fallback;
    return installed != nullptr ? *installed : fallback;
}

void SetUserInteraction(TUserInteraction* interaction) { installed = interaction; }

void OpenWebAddress(const std::string& address) {
    if (!UserInteraction().OpenURL(address))
        UserInteraction().MessageDlg("The page " + address +
                                         " could not be opened: the desktop has no web browser to show it.",
                                     mtError, mbOKOnly);
}

void ShowCurrentException() {
    std::string message;
    try {
        throw;
    } catch (const Exception& error) {
        message = error.Message();
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "Unknown error";
    }
    try {
        Application().ShowException(message);
    } catch (...) {
        // Showing failed as well: at least the message is not lost.
        std::fprintf(stderr, "ondrill: error: %s\n", message.c_str());
    }
}
