#include "platform/ui/StandardControls.h"

void RegisterStandardControlClasses() {
    RegisterTextControlClasses();
    RegisterButtonControlClasses();
    RegisterListControlClasses();
    RegisterExtControlClasses();
    RegisterItemViewClasses();
    RegisterPageControlClasses();
    RegisterCommonDialogClasses();
    RegisterRichTextViewClass();
}
