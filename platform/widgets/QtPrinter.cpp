// The printer on Qt's print support: a QPrinter per job, at the resolution
// fonts are measured at on the screen, so that a canvas font's pixels and
// points mean on paper what they mean in a window.  A job with an output
// file name is written as PDF.  Registered at start-up as the program's
// printer.

#include "platform/gfx/QtBridge.h"
#include "platform/ui/Printers.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>

#include <algorithm>
#include <memory>

namespace {

// Screen pixels per inch, which the fonts' sizes in points are read at.
constexpr int kPageResolution = 96;

QString fileNameToQt(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }

class TQtPrinter : public TPrinter {
protected:
    void startJob(TCanvas& canvas) override {
        auto printer = makePrinter();
        printer->setDocName(ProgramTextToQString(Title()));
        canvas.QtSide().SetDevice(printer.get());
        QPainter* painter = canvas.QtSide().Painter();
        if (painter == nullptr || !painter->isActive()) {
            canvas.QtSide().SetDevice(nullptr);
            throw EPrinter("Unable to print on " + where());
        }
        job_ = std::move(printer);
    }

    void nextPage(TCanvas& canvas) override {
        // The painter stays on the job; the canvas draws on the new page.
        canvas.QtSide().Painter();
        if (!job_->newPage())
            throw EPrinter("Unable to start a new page on " + where());
    }

    void finishJob(TCanvas& canvas) override {
        canvas.QtSide().SetDevice(nullptr);
        auto job = std::move(job_);
        if (job->printerState() == QPrinter::Error)
            throw EPrinter("Unable to print on " + where());
    }

    void abortJob(TCanvas& canvas) override {
        job_->abort();
        canvas.QtSide().SetDevice(nullptr);
        job_.reset();
    }

    TPrinterPage page() const override {
        std::unique_ptr<QPrinter> probe;
        QPrinter* printer = job_.get();
        if (printer == nullptr) {
            probe = makePrinter();
            printer = probe.get();
        }
        const QRect area = printer->pageLayout().paintRectPixels(printer->resolution());
        return {area.width(), area.height(), printer->logicalDpiX(), printer->logicalDpiY()};
    }

private:
    std::unique_ptr<QPrinter> makePrinter() const {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!outputFile().empty()) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(fileNameToQt(outputFile()));
        } else if (!Setup().PrinterName.empty()) {
            printer->setPrinterName(QString::fromStdString(Setup().PrinterName));
        }
        printer->setResolution(kPageResolution);
        printer->setPageOrientation(Setup().Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        printer->setCopyCount(std::max(1, Setup().Copies));
        return printer;
    }

    // The job's file, or the one the printer setup chose.
    const std::string& outputFile() const {
        return !OutputFileName().empty() ? OutputFileName() : Setup().OutputFileName;
    }

    std::string where() const {
        if (!outputFile().empty())
            return outputFile();
        return Setup().PrinterName.empty() ? std::string("the default printer") : Setup().PrinterName;
    }

    std::unique_ptr<QPrinter> job_;
};

[[maybe_unused]] const bool registered = [] {
    SetPrinterFactory([] { return std::make_unique<TQtPrinter>(); });
    return true;
}();

} // namespace
