#pragma once
// The printer: a print job of pages drawn on a canvas, sent to the printer
// the user chose (TPrinterSetup, as the printer-setup dialog leaves it) or
// written to a PDF file.
//
// One job is BeginDoc, then drawing on Canvas, NewPage between pages, and
// EndDoc (or Abort).  The page's capabilities are those of the device:
// PageWidth and PageHeight are the printable area in pixels (the canvas's
// (0, 0) is its top-left corner), PixelsPerInchX/Y the resolution.  The
// canvas's resolution is the one fonts are measured at on the screen, so
// that text laid out for the screen keeps its proportions on paper; a
// font's size in points prints at that size.
//
// The window system brings the device (platform_widgets installs it);
// without one, Printer() raises EPrinter.

#include "platform/base/Exceptions.h"
#include "platform/ui/UserInteraction.h" // TPrinterSetup

#include <functional>
#include <memory>
#include <string>

class TCanvas;

// Raised when a job can not start or goes wrong, and for calls out of turn.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// The device's measures of a page, in its pixels.
struct TPrinterPage {
    int Width = 0;  // HORZRES
    int Height = 0; // VERTRES
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
};

class TPrinter {
public:
    TPrinter();
    virtual ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The printer and page set up (an empty name: the system's default).
    const TPrinterSetup& Setup() const { return setup_; }
    void SetSetup(const TPrinterSetup& setup) { setup_ = setup; }
    // Pages go to this PDF file instead of the printer (empty: the printer).
    const std::string& OutputFileName() const { return outputFileName_; }
    void SetOutputFileName(std::string fileName) { outputFileName_ = std::move(fileName); }
    // The job's name in the printer's queue.
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // Starts a job on its first page; EPrinter ("Printing in progress")
    // while one runs, or when the device can not be opened.
    void BeginDoc();
    // The next page of the job.
    void NewPage();
    // Ends the job: the pages go to the printer or the file.
    void EndDoc();
    // Drops the job.
    void Abort();
    bool Printing() const { return printing_; }
    // From 1 while printing.
    int PageNumber() const { return pageNumber_; }
    // The page being drawn (while printing).
    TCanvas& Canvas();

    // The page of the current job, or the one the setup would give.
    int PageWidth() const { return page().Width; }
    int PageHeight() const { return page().Height; }
    int PixelsPerInchX() const { return page().PixelsPerInchX; }
    int PixelsPerInchY() const { return page().PixelsPerInchY; }

protected:
    // The device's side.  startJob points the canvas at the first page (or
    // raises EPrinter); finishJob and abortJob leave it without a device.
    virtual void startJob(TCanvas& canvas) = 0;
    virtual void nextPage(TCanvas& canvas) = 0;
    virtual void finishJob(TCanvas& canvas) = 0;
    virtual void abortJob(TCanvas& canvas) = 0;
    virtual TPrinterPage page() const = 0;

private:
    void checkPrinting() const;

    TPrinterSetup setup_;
    std::string outputFileName_;
    std::string title_;
    std::unique_ptr<TCanvas> canvas_;
    bool printing_ = false;
    int pageNumber_ = 0;
};

// The program's printer, made on first use.
TPrinter& Printer();
// What makes it (the window system installs one at start-up); replacing it
// drops the printer made so far.
void SetPrinterFactory(std::function<std::unique_ptr<TPrinter>()> factory);
