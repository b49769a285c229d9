#include "platform/base/Properties.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/RichTextView.h"
#include "platform/ui/StandardControls.h"

void RegisterRichTextViewClass() {
    static const bool registered = [] {
        RegisterControlClasses();
        auto view = RegisterPublishedClass<TRichTextView, TCustomControl>("TRichTextView");
        OwnColorEntry(view)
            .Enum("Alignment", &TRichTextView::Alignment, &TRichTextView::SetAlignment, taLeftJustify,
                  AlignmentNames())
            .Object("Lines", [](TRichTextView& view) -> TStrings& { return view.Lines(); });
        return true;
    }();
    (void)registered;
}
