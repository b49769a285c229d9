#include "app/ApplicationClasses.h"

#include "editor/EditorClasses.h"
#include "editor/highlight/HighlightClasses.h"
#include "gif/render/GIFRegistration.h"
#include "platform/ui/StandardControls.h"
#include "platform/webview/WebViewProperties.h"
#include "shell/ShellProperties.h"
#include "toolbars/TBClasses.h"

void RegisterApplicationClasses() {
    static const bool registered = [] {
        RegisterStandardControlClasses();
        RegisterEditorClasses();
        RegisterHighlighterClasses();
        RegisterWebViewClasses();
        RegisterToolbarClasses();
        RegisterShellClasses();
        RegisterGIFImage();
        return true;
    }();
    (void)registered;
}
