// The published table of TCodeMemoPrinter: the page settings a form
// streams for printing a memo.

#include "editor/CodeMemoPrinter.h"
#include "editor/EditorClasses.h"

#include "platform/base/Properties.h"

void RegisterCodeMemoPrinterClasses() {
    static const bool registered = [] {
        RegisterCodeMemoClasses();
        RegisterPublishedClass<TCodeMemoPrinter, TComponent>("TCodeMemoPrinter")
            .Component<TCodeMemo>("MemoToPrint", &TCodeMemoPrinter::MemoToPrint, &TCodeMemoPrinter::SetMemoToPrint)
            .Float("MarginLeft", &TCodeMemoPrinter::MarginLeft, &TCodeMemoPrinter::SetMarginLeft, 0.75)
            .Float("MarginRight", &TCodeMemoPrinter::MarginRight, &TCodeMemoPrinter::SetMarginRight, 0.5)
            .Float("MarginTop", &TCodeMemoPrinter::MarginTop, &TCodeMemoPrinter::SetMarginTop, 0.75)
            .Float("MarginBottom", &TCodeMemoPrinter::MarginBottom, &TCodeMemoPrinter::SetMarginBottom, 0.75)
            .Float("LineSpacing", &TCodeMemoPrinter::LineSpacing, &TCodeMemoPrinter::SetLineSpacing, -1.5)
            .String("Header", &TCodeMemoPrinter::Header)
            .String("Footer", &TCodeMemoPrinter::Footer)
            .Float("HeaderYPos", &TCodeMemoPrinter::HeaderYPos, 0.4)
            .Float("FooterYPos", &TCodeMemoPrinter::FooterYPos, 0.4)
            .Enum("HeaderAlign", &TCodeMemoPrinter::HeaderAlign, taLeftJustify, CodeAlignmentNames())
            .Enum("FooterAlign", &TCodeMemoPrinter::FooterAlign, taLeftJustify, CodeAlignmentNames())
            .Object("HeaderFont", [](TCodeMemoPrinter& p) -> TFont& { return p.HeaderFont(); })
            .Object("FooterFont", [](TCodeMemoPrinter& p) -> TFont& { return p.FooterFont(); })
            .Boolean("PlainText", &TCodeMemoPrinter::PlainText, &TCodeMemoPrinter::SetPlainText, false)
            .String("PreviewTitle", &TCodeMemoPrinter::PreviewTitle)
            .Event("OnFormatPrint", &TCodeMemoPrinter::OnFormatPrint)
            .Event("OnProgress", &TCodeMemoPrinter::OnProgress)
            .Event("OnPreview", &TCodeMemoPrinter::OnPreview);
        return true;
    }();
    (void)registered;
}
