#include "app/Startup.h"

#include "app/ApplicationClasses.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/InterruptedSaves.h"
#include "app/PreviewFile.h"
#include "app/SettingsFile.h"
#include "app/SplashForm.h"

#include "platform/base/KeptCopies.h"
#include "platform/base/ProgramFolder.h"
#include "platform/gfx/Picture.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/UserInteraction.h"

#include <filesystem>
#include <memory>
#include <unistd.h>

bool IsProjectFileName(const std::string& path) {
    const std::string_view name = FileNameOf(path);
    if (name.size() < 4)
        return false;
    const std::string_view extension = name.substr(name.size() - 4);
    static constexpr char kExtension[] = ".ond";
    for (size_t i = 0; i < 4; ++i) {
        char c = extension[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kExtension[i])
            return false;
    }
    return true;
}

namespace {

std::string absolutePath(const std::string& argument, const std::string& currentFolder) {
    std::filesystem::path path(argument);
    if (path.is_relative())
        path = std::filesystem::path(currentFolder) / path;
    return path.lexically_normal().string();
}

} // namespace

TStartPlan PlanStartup(const std::vector<std::string>& arguments, const std::string& currentFolder) {
    if (!arguments.empty() && !arguments.front().empty()) {
        std::string path = absolutePath(arguments.front(), currentFolder);
        return {IsProjectFileName(path) ? TStartAction::OpenProject : TStartAction::OpenDocument, std::move(path)};
    }
    auto settings = OpenSettings();
    switch (settings->ReadInteger(settings::Startup, "mode", 1)) {
    case 1:
        return {TStartAction::NewDocumentDialog, {}};
    case 2:
        return {TStartAction::OpenDialog, {}};
    default:
        return {settings->ReadBool(settings::Startup, "newstandard", false) ? TStartAction::BlankDocument
                                                                             : TStartAction::Nothing,
                {}};
    }
}

namespace {

void carryOut(Tframeform& frame, const TStartPlan& plan) {
    switch (plan.Action) {
    case TStartAction::OpenProject:
        frame.CloseProject();
        if (!frame.ProjectOpen)
            frame.LoadProject(plan.Path);
        break;
    case TStartAction::OpenDocument:
        frame.OpenDocumentFile(plan.Path);
        break;
    case TStartAction::NewDocumentDialog:
        frame.FileNewItemClick(&Application());
        break;
    case TStartAction::OpenDialog:
        frame.FileOpenItemClick(&Application());
        break;
    case TStartAction::BlankDocument:
        frame.AddDocument(new TEditForm(&Application()));
        break;
    case TStartAction::Nothing:
        break;
    }
}

} // namespace

Tframeform* StartUp(const std::vector<std::string>& arguments, const std::string& currentFolder) {
    RegisterApplicationClasses();
    auto* splash = new TSplashform(&Application());
    splash->Show();
    splash->Update();
    Application().ProcessMessages();
    Tframeform* frame = nullptr;
    try {
        Application().SetTitle(kApplicationTitle);
        try {
            Application().Icon().LoadFromFile(ProgramFolder() + "images/ondrill.png");
        } catch (...) {
            // The windows go without the program's picture.
        }
        frame = Application().CreateForm<Tframeform>();
        frame->Show();
        const TStartPlan plan = PlanStartup(arguments, currentFolder);
        // A dialog is asked over the main window, not under the splash.
        if (plan.Action == TStartAction::NewDocumentDialog || plan.Action == TStartAction::OpenDialog)
            splash->Hide();
        try {
            // A save an earlier run did not finish is offered back before
            // any page is read, over the main window; what saves that never
            // touched their page left in the cache goes.
            const std::vector<TKeptCopy> found = RemoveAbandonedCopies();
            if (HasInterruptedSave(found)) {
                splash->Hide();
                OfferFoundInterruptedSaves(found);
            }
            carryOut(*frame, plan);
        } catch (...) {
            splash->Hide();
            ShowCurrentException();
        }
    } catch (...) {
        splash->Hide();
        splash->Release();
        throw;
    }
    splash->Hide();
    // Freed once the message loop runs.
    splash->Release();
    return frame;
}

int RunOndrill(int argc, char** argv) {
    Application().Initialize(argc, argv);
    RemovePreviewFilesBeforeEndingSignals();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::error_code error;
    std::string currentFolder = std::filesystem::current_path(error).string();
    // Start-up never ends the program: what went wrong was shown, and the
    // main window (if it stands) runs.
    RunGuarded([&] { StartUp(arguments, currentFolder); });
    Application().Run();
    return 0;
}
