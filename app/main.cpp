// Entry point of the editor program.
#include "platform/ui/Application.h"
#include "platform/ui/Control.h"

int main(int argc, char** argv) {
    Application().Initialize(argc, argv);
    Application().SetTitle("Korvane Ondrill 3.2");

    // The main window: an empty frame until the application's own exists.
    TCustomControl frame;
    frame.SetColor(clAppWorkSpace);
    frame.SetCaption(Application().Title());
    frame.SetBounds(0, 0, 1024, 720);
    frame.Show();
    Application().Run();
    return 0;
}
