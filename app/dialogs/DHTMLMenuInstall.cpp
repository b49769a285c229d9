// The editor's headers and the standard controls' do not meet in one
// unit: this one reaches the document, the dialog its controls.
#include "app/dialogs/DHTMLMenuInstall.h"

#include "app/DocumentTextEncoding.h"
#include "app/dialogs/DHTMLMenuScript.h"
#include "app/dialogs/ElementDialog.h"

#include "editor/CodeMemo.h"
#include "platform/base/FileNameText.h"
#include "platform/base/ProgramFolder.h"
#include "platform/base/OwnedFile.h"
#include "platform/base/PosixFileOps.h"
#include "platform/base/Stream.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/UserInteraction.h"

#include <filesystem>
#include <vector>

std::string MenuScriptPath(std::string_view name) {
    return ProgramFolder() + kMenuScriptFolder + std::string(name);
}

void SaveMenuArrayFile(std::string_view text) { WriteFileNotThroughLink(MenuScriptPath(kMenuArrayFile), text); }

namespace {

// Whether the user lets the menu's file replace a file of theirs; Yes to
// all answers the questions still to come as well.
bool mayReplace(const std::string& target, bool& yesToAll) {
    if (yesToAll)
        return true;
    const int answer = UserInteraction().MessageDlg(
        "The page's folder has a file of its own named \"" + BaseNameOfPath(target) + "\":\r\n" +
            DisplayTextOfName(target) + "\r\n\r\nReplace it with the menu's file?",
        mtConfirmation, mbYesYesToAllNo);
    yesToAll = answer == mrYesToAll;
    return answer == mrYes || answer == mrYesToAll;
}

} // namespace

std::vector<std::string> CopyMenuScriptFiles(const std::string& folder) {
    struct TCopy {
        std::string Target;
        std::string Bytes;
        TPlannedFile There = pfFree;
    };
    std::vector<TCopy> copies;
    for (const std::string& name : MenuScriptFiles()) {
        const std::string source = MenuScriptPath(name);
        std::string target = JoinPath(folder, name);
        // Copying a file onto itself would only risk it: a page kept in
        // the program's menu folder has its files already.
        std::error_code error;
        if (std::filesystem::equivalent(source, target, error))
            continue;
        TMemoryStream bytes;
        bytes.LoadFromFile(source);
        copies.push_back({std::move(target), bytes.DataString()});
    }
    // The page's folder may be one others write to: a link planted under
    // one of these names is refused before anything is written.
    for (TCopy& copy : copies)
        copy.There = ExaminePlannedFile(copy.Target, copy.Bytes);
    bool yesToAll = false;
    std::vector<std::string> kept;
    for (TCopy& copy : copies)
        if (copy.There == pfDifferent && !mayReplace(copy.Target, yesToAll)) {
            kept.push_back(copy.Target);
            copy.There = pfSame;
        }
    for (const TCopy& copy : copies)
        if (copy.There != pfSame)
            WriteFileNotThroughLink(copy.Target, copy.Bytes);
    if (!kept.empty()) {
        std::string names;
        for (const std::string& target : kept)
            names += "\r\n" + DisplayTextOfName(target);
        UserInteraction().MessageDlg("These files were not written; the page's folder keeps its own:" + names,
                                     mtInformation, mbOKOnly);
    }
    return kept;
}

std::string MenuTextForActiveDocument(const std::string& text) {
    TCodeMemo* editor = ActiveEditor();
    return editor != nullptr ? DocumentTextOf(*editor, text) : text;
}

void InsertMenuScriptBlock() {
    TCodeMemo* editor = ActiveEditor();
    if (editor == nullptr)
        return;
    editor->SetSelStart(static_cast<int32_t>(MenuScriptBlockOffset(editor->Text())));
    editor->SetSelLength(0);
    InsertMarkup(std::string(kMenuScriptBlock) + "\r\n");
}
