#include "app/ToolCommands.h"

#include "app/FrameForm.h"
#include "app/OptionsDialog.h"
#include "app/QuickCodePane.h"
#include "app/TagInspector.h"

void BindToolCommands(Tframeform& frame) {
    new TTagInspectorPane(frame);
    new TQuickCodePane(frame);
    frame.BindCommand("Prfrences1Click", [](TTBCustomItem*) { RunOptionsDialog(); });
}
