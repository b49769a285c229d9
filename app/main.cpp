// Entry point of the editor program: the main window, and the document
// named by the first argument.
#include "app/ApplicationClasses.h"
#include "app/FrameForm.h"

#include "platform/ui/Application.h"
#include "platform/ui/UserInteraction.h"

#include <filesystem>

int main(int argc, char** argv) {
    Application().Initialize(argc, argv);
    Application().SetTitle("Korvane Ondrill 3.2");
    RegisterApplicationClasses();
    Application().CreateForm<Tframeform>()->Show();
    if (argc > 1) {
        // A document that can not be read is reported; the program goes on.
        RunGuarded([&] {
            std::error_code ignored;
            std::filesystem::path path = std::filesystem::absolute(argv[1], ignored);
            frameform->OpenDocumentFile(path.lexically_normal().string());
        });
    }
    Application().Run();
    return 0;
}
