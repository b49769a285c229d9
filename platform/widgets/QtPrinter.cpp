// The printer on Qt's print support: a QPrinter per job, at the resolution
// fonts are measured at on the screen, so that a canvas font's pixels and
// points mean on paper what they mean in a window.  A job with an output
// file name is written as PDF, on the page a PDF printer would give, into
// a file opened by the name's own bytes: Qt would open the name decoded,
// and a name that is not UTF-8 would become another file.  Registered at
// start-up as the program's printer.

#include "platform/base/FileNameText.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/Printers.h"

#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

// Screen pixels per inch, which the fonts' sizes in points are read at.
constexpr int kPageResolution = 96;

class TQtPrinter : public TPrinter {
protected:
    void startJob(TCanvas& canvas) override {
        std::unique_ptr<QFile> file;
        std::unique_ptr<QPagedPaintDevice> device;
        if (!outputFile().empty()) {
            file = openOutput();
            auto writer = std::make_unique<QPdfWriter>(file.get());
            writer->setTitle(ProgramTextToQString(Title()));
            writer->setResolution(kPageResolution);
            writer->setPageLayout(makePrinter()->pageLayout());
            resolution_ = writer->resolution();
            device = std::move(writer);
        } else {
            auto printer = makePrinter();
            printer->setDocName(ProgramTextToQString(Title()));
            resolution_ = printer->resolution();
            device = std::move(printer);
        }
        canvas.QtSide().SetDevice(device.get());
        QPainter* painter = canvas.QtSide().Painter();
        if (painter == nullptr || !painter->isActive()) {
            canvas.QtSide().SetDevice(nullptr);
            throw EPrinter("Unable to print on " + where());
        }
        file_ = std::move(file);
        job_ = std::move(device);
    }

    void nextPage(TCanvas& canvas) override {
        // The painter stays on the job; the canvas draws on the new page.
        canvas.QtSide().Painter();
        if (!job_->newPage())
            throw EPrinter("Unable to start a new page on " + where());
    }

    void finishJob(TCanvas& canvas) override {
        // Ending the painter writes the pages out.
        canvas.QtSide().SetDevice(nullptr);
        auto job = std::move(job_);
        auto file = std::move(file_);
        auto* printer = dynamic_cast<QPrinter*>(job.get());
        if (printer != nullptr && printer->printerState() == QPrinter::Error)
            throw EPrinter("Unable to print on " + where());
        job.reset();
        if (file != nullptr && (!file->flush() || file->error() != QFileDevice::NoError))
            throw EPrinter("Unable to print on " + where());
    }

    void abortJob(TCanvas& canvas) override {
        if (auto* printer = dynamic_cast<QPrinter*>(job_.get()))
            printer->abort();
        canvas.QtSide().SetDevice(nullptr);
        job_.reset();
        // Pages cut short are no document: the file goes.
        if (file_ != nullptr) {
            file_.reset();
            ::unlink(outputFile().c_str());
        }
    }

    TPrinterPage page() const override {
        std::unique_ptr<QPrinter> probe;
        const QPagedPaintDevice* device = job_.get();
        int resolution = resolution_;
        if (device == nullptr) {
            probe = makePrinter();
            device = probe.get();
            resolution = probe->resolution();
        }
        const QRect area = device->pageLayout().paintRectPixels(resolution);
        return {area.width(), area.height(), device->logicalDpiX(), device->logicalDpiY()};
    }

private:
    std::unique_ptr<QPrinter> makePrinter() const {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!outputFile().empty())
            printer->setOutputFormat(QPrinter::PdfFormat);
        else if (!Setup().PrinterName.empty())
            printer->setPrinterName(QString::fromStdString(Setup().PrinterName));
        printer->setResolution(kPageResolution);
        printer->setPageOrientation(Setup().Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        printer->setCopyCount(std::max(1, Setup().Copies));
        return printer;
    }

    // The PDF file, created or emptied, opened by its bytes.
    std::unique_ptr<QFile> openOutput() const {
        const int fd = ::open(outputFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        auto file = std::make_unique<QFile>();
        if (fd < 0 || !file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            if (fd >= 0)
                ::close(fd);
            throw EPrinter("Unable to print on " + where());
        }
        return file;
    }

    // The job's file, or the one the printer setup chose.
    const std::string& outputFile() const {
        return !OutputFileName().empty() ? OutputFileName() : Setup().OutputFileName;
    }

    std::string where() const {
        if (!outputFile().empty())
            return DisplayTextOfName(outputFile());
        return Setup().PrinterName.empty() ? std::string("the default printer") : Setup().PrinterName;
    }

    // The PDF's file while a job writes one; the job's device is freed first.
    std::unique_ptr<QFile> file_;
    std::unique_ptr<QPagedPaintDevice> job_;
    int resolution_ = kPageResolution;
};

[[maybe_unused]] const bool registered = [] {
    SetPrinterFactory([] { return std::make_unique<TQtPrinter>(); });
    return true;
}();

} // namespace
