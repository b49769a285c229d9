// Entry point of the editor program.
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"

int main(int argc, char** argv) {
    Application().Initialize(argc, argv);
    Application().SetTitle("Korvane Ondrill 3.2");

    // The main window: an empty MDI frame until the application's own
    // exists.  It starts maximised; closing it ends the program.
    TForm* frame = Application().CreateForm<TForm>();
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption(Application().Title());
    frame->SetBounds(0, 0, 1024, 720);
    frame->SetWindowState(wsMaximized);
    Application().Run();
    return 0;
}
