#include "app/BrowserPreview.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/PreviewFile.h"
#include "app/SettingsFile.h"

#include "platform/shellns/FileNames.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBItem.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string FindBrowserProgram(const std::string& setting) {
    if (setting.empty())
        return {};
    if (setting.find('/') != std::string::npos)
        return isExecutableFile(setting) ? setting : std::string();
    const char* searchPath = std::getenv("PATH");
    std::string folders = searchPath != nullptr ? searchPath : "";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        // An empty entry of the PATH is the current folder.
        std::string candidate = JoinPath(folder.empty() ? "." : folder, setting);
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

void PreviewInBrowser(TEditForm& document, const std::string& key, const std::string& missingPathMessage) {
    if (document.FileName == kUntitled) {
        if (UserInteraction().MessageDlg(
                "You need to first save this document before you can see it. Would you like to save it now?",
                mtConfirmation, mbYesNo) != mrYes)
            return;
        document.FileSaveItemClick(&document);
        if (document.FileName == kUntitled)
            return;
    }
    // The text as it stands, changes not yet saved included, in the
    // window's own copy: the next arrival on the source page removes it.
    document.PreviewCopy().Write(document.FileName, document.Text().Bytes());
    const std::string preview = document.PreviewCopy().Written();

    const std::string setting = OpenSettings()->ReadString(settings::Browsers, key, "");
    if (setting.empty()) {
        UserInteraction().MessageDlg(missingPathMessage, mtInformation, mbOKOnly);
        return;
    }
    const std::string program = FindBrowserProgram(setting);
    if (program.empty()) {
        UserInteraction().MessageDlg("The browser " + DisplayTextOfName(setting) +
                                         " was not found. Set its path in the options.",
                                     mtError, mbOKOnly);
        return;
    }
    if (!UserInteraction().StartProgram(program, {FileUriOfPath(preview)}))
        UserInteraction().MessageDlg("The browser " + DisplayTextOfName(program) + " could not be started.", mtError,
                                     mbOKOnly);
}

// ---- The main window's two preview buttons ----------------------------------------

void Tframeform::ieBtnClick(TPersistent*) {
    if (TEditForm* document = ActiveDocument())
        PreviewInBrowser(*document, "PathIE", "You need to set the Internet Explorer's path in the options");
}

void Tframeform::NetscapeBtnClick(TPersistent*) {
    if (TEditForm* document = ActiveDocument())
        PreviewInBrowser(*document, "PathNetscape", "You need to set the Netscape's path in the options");
}
