#include "app/DesktopPages.h"

#include "platform/base/ProgramFolder.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/UserInteraction.h"

#include <sys/stat.h>

void OpenHelpPage(const std::string& relative) {
    const std::string path = ProgramFolder() + relative;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        UserInteraction().MessageDlg("The help page " + DisplayTextOfName(path) + " could not be found.", mtError,
                                     mbOKOnly);
        return;
    }
    if (!UserInteraction().OpenDocument(path))
        UserInteraction().MessageDlg("The help page " + DisplayTextOfName(path) +
                                         " could not be opened: the desktop has no program to show it.",
                                     mtError, mbOKOnly);
}
