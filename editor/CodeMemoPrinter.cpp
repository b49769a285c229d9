#include "editor/CodeMemoPrinter.h"

#include <algorithm>
#include <cmath>

TPagination Paginate(float lineSpacing, float marginTop, float marginBottom, const TPrinterMeasures& printer,
                     int32_t lineCount, const std::vector<int32_t>& pageBreaks) {
    TPagination result;
    // Rounded to the nearest pixel, halves to even.
    double height = lineSpacing < 0 ? -std::nearbyint(static_cast<double>(printer.FontLineHeight) * lineSpacing)
                                    : std::nearbyint(static_cast<double>(lineSpacing) * printer.PixelsPerInch);
    result.LineHeight = height < 1 ? 1 : static_cast<int32_t>(std::min(height, 1e9));
    const double usable =
        printer.PageHeight - (static_cast<double>(marginTop) + marginBottom) * printer.PixelsPerInch;
    result.LinesPerPage = std::max(static_cast<int32_t>(std::clamp(usable / result.LineHeight, 0.0, 1e9)), 1);
    for (int32_t line : pageBreaks) {
        int64_t at = (int64_t{line} + result.TotalFillers) % result.LinesPerPage;
        if (at < 0)
            at += result.LinesPerPage;
        const auto filler = static_cast<int32_t>(result.LinesPerPage - at);
        result.Fillers.push_back(filler);
        result.TotalFillers += filler;
    }
    result.PageCount = static_cast<int32_t>((int64_t{lineCount} + result.TotalFillers) / result.LinesPerPage + 1);
    return result;
}

TCodeMemoPrinter::TCodeMemoPrinter(TComponent* owner) : TComponent(owner) {}

TCodeMemoPrinter::~TCodeMemoPrinter() {
    Destroying();
    releasePrintCopy();
    if (memo_ != nullptr)
        memo_->RemoveFreeNotification(this);
}

void TCodeMemoPrinter::releasePrintCopy() {
    // The printer listens while it holds a copy, stale (after a change of
    // width) or not.
    if (copy_ && memo_ != nullptr)
        memo_->DetachComponent(this);
    formatted_ = false;
    copy_.reset();
    pagination_ = TPagination{};
}

void TCodeMemoPrinter::SetMemoToPrint(TCodeMemo* memo) {
    if (memo == memo_)
        return;
    releasePrintCopy();
    if (memo_ != nullptr)
        memo_->RemoveFreeNotification(this);
    memo_ = memo;
    if (memo_ != nullptr)
        memo_->FreeNotification(this);
}

void TCodeMemoPrinter::SetMarginLeft(float value) {
    if (value == marginLeft_)
        return;
    marginLeft_ = value;
    formatted_ = false; // the copy must be formatted again for the new width
}

void TCodeMemoPrinter::SetMarginRight(float value) {
    if (value == marginRight_)
        return;
    marginRight_ = value;
    formatted_ = false;
}

void TCodeMemoPrinter::SetMarginTop(float value) {
    if (value == marginTop_)
        return;
    marginTop_ = value;
    SetLineSpacing(lineSpacing_);
}

void TCodeMemoPrinter::SetMarginBottom(float value) {
    if (value == marginBottom_)
        return;
    marginBottom_ = value;
    SetLineSpacing(lineSpacing_);
}

void TCodeMemoPrinter::SetLineSpacing(float value) {
    lineSpacing_ = value;
    if (formatted_ && copy_)
        paginate();
}

void TCodeMemoPrinter::SetPlainText(bool value) {
    if (value == plainText_)
        return;
    plainText_ = value;
    releasePrintCopy();
}

void TCodeMemoPrinter::SetPrintCopy(std::unique_ptr<TPrintLayout> copy, const TPrinterMeasures& printer,
                                    std::vector<int32_t> pageBreaks) {
    releasePrintCopy();
    if (!copy)
        return;
    copy_ = std::move(copy);
    printer_ = printer;
    pageBreaks_ = std::move(pageBreaks);
    formatted_ = true;
    // A change of the text makes the copy stale.
    if (memo_ != nullptr)
        memo_->AttachComponent(this);
    paginate();
}

void TCodeMemoPrinter::paginate() {
    pagination_ = Paginate(lineSpacing_, marginTop_, marginBottom_, printer_, copy_->LineCount(), pageBreaks_);
}

void TCodeMemoPrinter::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (component != memo_ || memo_ == nullptr)
        return;
    if (operation == opRemove) {
        releasePrintCopy();
        memo_ = nullptr;
    } else if (operation == kMemoMessage && memo_->CurrentMessage().Msg == CM_TEXTCHANGED) {
        releasePrintCopy();
    }
}
