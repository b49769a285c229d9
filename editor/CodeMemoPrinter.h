#pragma once
// TCodeMemoPrinter: the page settings for printing a memo's text (margins,
// line spacing, header and footer with their fonts and positions, plain
// text, a preview title) and the pagination of a print copy of the memo
// formatted for the printer.  The component keeps its settings consistent:
// a change of the memo, of the text (heard as an attached component), of
// the width or of plain-text printing drops the print copy; a change of the
// top or bottom margin or of the spacing paginates the copy again.

#include "editor/CodeMemo.h"
#include "editor/CodeMemoTypes.h"
#include "editor/model/PrintLayout.h"

#include "platform/base/Component.h"
#include "platform/gfx/Font.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What pagination needs of the printer: the line height of the print font
// and the printable page, in printer pixels.
struct TPrinterMeasures {
    int32_t FontLineHeight = 0;
    int32_t PageHeight = 0;
    int32_t PixelsPerInch = 0;
};

// The result of paginating: lines of LineHeight pixels, LinesPerPage of
// them a page; before each forced page break (a display line) the filler
// lines that push it to the top of a page.
struct TPagination {
    int32_t LineHeight = 1;
    int32_t LinesPerPage = 1;
    std::vector<int32_t> Fillers;
    int32_t TotalFillers = 0;
    int32_t PageCount = 1;
};

// The pagination rule: spacing below 0 is a multiple of the font's line
// height, above 0 inches; margins in inches.
TPagination Paginate(float lineSpacing, float marginTop, float marginBottom, const TPrinterMeasures& printer,
                     int32_t lineCount, const std::vector<int32_t>& pageBreaks);

class TCodeMemoPrinter : public TComponent {
public:
    explicit TCodeMemoPrinter(TComponent* owner = nullptr);
    ~TCodeMemoPrinter() override;

    std::string ClassName() const override { return "TCodeMemoPrinter"; }

    TCodeMemo* MemoToPrint() const { return memo_; }
    void SetMemoToPrint(TCodeMemo* memo);
    float MarginLeft() const { return marginLeft_; }
    void SetMarginLeft(float value);
    float MarginRight() const { return marginRight_; }
    void SetMarginRight(float value);
    float MarginTop() const { return marginTop_; }
    void SetMarginTop(float value);
    float MarginBottom() const { return marginBottom_; }
    void SetMarginBottom(float value);
    float LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(float value);
    std::string Header;
    std::string Footer;
    float HeaderYPos = 0.4f;
    float FooterYPos = 0.4f;
    TCodeAlignment HeaderAlign = taLeftJustify;
    TCodeAlignment FooterAlign = taLeftJustify;
    TFont& HeaderFont() { return headerFont_; }
    void SetHeaderFont(const TFont& font) { headerFont_.Assign(&font); }
    TFont& FooterFont() { return footerFont_; }
    void SetFooterFont(const TFont& font) { footerFont_.Assign(&font); }
    bool PlainText() const { return plainText_; }
    void SetPlainText(bool value);
    std::string PreviewTitle;
    TNotifyEvent OnFormatPrint;
    TNotifyEvent OnProgress;
    TNotifyEvent OnPreview;

    // The print copy: the memo's text laid out for the printer (its own
    // lines apart from the memo's), owned here, with the printer's measures
    // and the display lines of forced page breaks.  Whoever lays one out
    // for printing hands it over; it is paginated at once.
    void SetPrintCopy(std::unique_ptr<TPrintLayout> copy, const TPrinterMeasures& printer,
                      std::vector<int32_t> pageBreaks);
    TPrintLayout* PrintCopy() const { return copy_.get(); }
    bool Formatted() const { return formatted_; }
    const TPagination& Pagination() const { return pagination_; }
    int32_t LinesPerPage() const { return pagination_.LinesPerPage; }
    int32_t PageCount() const { return pagination_.PageCount; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void releasePrintCopy();
    void paginate();

    TCodeMemo* memo_ = nullptr;
    float marginLeft_ = 0.75f;
    float marginRight_ = 0.5f;
    float marginTop_ = 0.75f;
    float marginBottom_ = 0.75f;
    float lineSpacing_ = -1.5f;
    TFont headerFont_;
    TFont footerFont_;
    bool plainText_ = false;

    std::unique_ptr<TPrintLayout> copy_;
    bool formatted_ = false;
    TPrinterMeasures printer_;
    std::vector<int32_t> pageBreaks_;
    TPagination pagination_;
};
