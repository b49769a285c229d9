// The published table of TCodeGutter.

#include "editor/CodeGutter.h"
#include "editor/EditorClasses.h"

#include "platform/base/Properties.h"

void RegisterCodeGutterClasses() {
    static const bool registered = [] {
        RegisterCodeMemoClasses();
        RegisterPublishedClass<TCodeGutter, TGraphicControl>("TCodeGutter")
            .Component<TCodeMemo>("CodeMemo", &TCodeGutter::CodeMemo, &TCodeGutter::SetCodeMemo)
            .Enum("Alignment", &TCodeGutter::Alignment, &TCodeGutter::SetAlignment, taCenter, CodeAlignmentNames())
            .Boolean("LineNumbers", &TCodeGutter::LineNumbers, &TCodeGutter::SetLineNumbers, true)
            .Boolean("Bookmarks", &TCodeGutter::Bookmarks, true)
            .Boolean("ParagraphNumbers", &TCodeGutter::ParagraphNumbers, &TCodeGutter::SetParagraphNumbers, false);
        return true;
    }();
    (void)registered;
}
