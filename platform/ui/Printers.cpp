#include "platform/ui/Printers.h"

#include "platform/gfx/Canvas.h"

TPrinter::TPrinter() : canvas_(std::make_unique<TCanvas>()) {}

TPrinter::~TPrinter() = default;

void TPrinter::checkPrinting() const {
    if (!printing_)
        throw EPrinter("Printer is not currently printing");
}

TCanvas& TPrinter::Canvas() { return *canvas_; }

void TPrinter::BeginDoc() {
    if (printing_)
        throw EPrinter("Printing in progress");
    // Each job starts from a fresh canvas: nothing of the last job's font,
    // pen or clip carries over.
    canvas_ = std::make_unique<TCanvas>();
    startJob(*canvas_);
    printing_ = true;
    pageNumber_ = 1;
}

void TPrinter::NewPage() {
    checkPrinting();
    nextPage(*canvas_);
    ++pageNumber_;
}

void TPrinter::EndDoc() {
    checkPrinting();
    printing_ = false;
    pageNumber_ = 0;
    finishJob(*canvas_);
}

void TPrinter::Abort() {
    checkPrinting();
    printing_ = false;
    pageNumber_ = 0;
    abortJob(*canvas_);
}

namespace {

std::function<std::unique_ptr<TPrinter>()>& factory() {
    static std::function<std::unique_ptr<TPrinter>()> made;
    return made;
}

std::unique_ptr<TPrinter>& current() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

} // namespace

TPrinter& Printer() {
    if (!current()) {
        if (!factory())
            throw EPrinter("There is no printer");
        current() = factory()();
    }
    return *current();
}

void SetPrinterFactory(std::function<std::unique_ptr<TPrinter>()> made) {
    current().reset();
    factory() = std::move(made);
}
