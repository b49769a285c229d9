// The editor's headers and the standard controls' do not meet in one
// unit: this one reaches the document, the dialog its controls.
#include "app/dialogs/DHTMLMenuInstall.h"

#include "app/DocumentTextEncoding.h"
#include "app/dialogs/DHTMLMenuScript.h"
#include "app/dialogs/ElementDialog.h"

#include "editor/CodeMemo.h"
#include "platform/base/ProgramFolder.h"
#include "platform/base/OwnedFile.h"
#include "platform/base/Stream.h"
#include "platform/shellns/FileNames.h"

#include <filesystem>
#include <vector>

std::string MenuScriptPath(std::string_view name) {
    return ProgramFolder() + kMenuScriptFolder + std::string(name);
}

void SaveMenuArrayFile(std::string_view text) { WriteFileNotThroughLink(MenuScriptPath(kMenuArrayFile), text); }

void CopyMenuScriptFiles(const std::string& folder) {
    struct TCopy {
        std::string Target;
        std::string Bytes;
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
    for (const TCopy& copy : copies)
        CheckNotALink(copy.Target);
    for (const TCopy& copy : copies)
        WriteFileNotThroughLink(copy.Target, copy.Bytes);
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
