#include "app/DocumentPrinting.h"

#include "editor/CodeMemo.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Printers.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

int scaled(int pixelsPerInch, double inches) { return static_cast<int>(std::lround(pixelsPerInch * inches)); }

// Lays the editor out for paper, wrapping lines wider than the page even
// when the screen does not (else their ends would fall off the paper), and
// puts it back as it was: its screen layout, then the caret and the
// selection.
class TPrintingScope {
public:
    explicit TPrintingScope(TCodeMemo& editor)
        : editor_(editor), start_(editor.SelStart()), length_(editor.SelLength()), wordWrap_(editor.WordWrap()) {
        editor_.SetSelLength(0);
    }
    ~TPrintingScope() {
        RestoreScreen();
        editor_.SetSelStart(start_);
        editor_.SetSelLength(length_);
    }
    TPrintingScope(const TPrintingScope&) = delete;
    TPrintingScope& operator=(const TPrintingScope&) = delete;

    void FormatForPaper(TCanvas& canvas, int width) {
        onPaper_ = true;
        editor_.SetWordWrap(true);
        editor_.FormatOnCanvas(&canvas, width);
    }
    void RestoreScreen() {
        if (!onPaper_)
            return;
        onPaper_ = false;
        editor_.SetWordWrap(wordWrap_);
        editor_.FormatOnCanvas(nullptr, 100);
    }

private:
    TCodeMemo& editor_;
    int32_t start_;
    int32_t length_;
    bool wordWrap_;
    bool onPaper_ = false;
};

} // namespace

void PrintDocument(TCodeMemo& editor, const std::string& fileName, TPrinter& printer) {
    TPrintingScope restore(editor);
    printer.SetTitle({});
    try {
        printer.BeginDoc();
    } catch (const EPrinter& error) {
        throw EPrinterUnavailable(error.Message());
    }
    try {
        TCanvas& canvas = printer.Canvas();
        const int width = printer.PageWidth();
        const int height = printer.PageHeight();
        const int dpiX = printer.PixelsPerInchX();
        const int dpiY = printer.PixelsPerInchY();
        // The lines, and the header above them, are this wide.
        const int textWidth = width - 2 * dpiX;
        restore.FormatForPaper(canvas, textWidth);

        const int left = scaled(dpiX, 1.25);
        const int headerTop = scaled(dpiY, 0.5);
        const int firstLine = scaled(dpiY, 1.25);
        const int pageLimit = height - scaled(dpiY, 0.5);
        // Lines are one and a half of the editor's lines apart, measured in
        // the printer's pixels rather than the screen's.
        const int screenDpi = editor.Font().PixelsPerInch() > 0 ? editor.Font().PixelsPerInch() : 96;
        const int advance = std::max(1, static_cast<int>(std::lround(editor.LineHeight() * 1.5 * dpiY / screenDpi)));

        const int32_t lines = editor.LineCount();
        int y = 0;
        // Shortened once: every page has the same font, name and width.
        std::optional<std::string> header;
        for (int32_t line = 0; line < lines; ++line) {
            if (y == 0) {
                canvas.Font().SetName("COURIER NEW");
                canvas.Font().SetSize(12);
                // The header is UTF-8, whatever the lines were drawn in; a
                // name too long for the paper gives up the middle of its
                // folders, so that the file's own name still shows.
                const TTextEncoding lines = canvas.SetTextEncoding(teUtf8);
                if (!header)
                    header = PathEllipsisText(canvas, fileName, textWidth);
                canvas.TextOut(left, headerTop, *header);
                canvas.SetTextEncoding(lines);
                y = firstLine;
            }
            editor.DrawLineOnCanvas(canvas, line, TPoint{left, y});
            y += advance;
            if (y > pageLimit) {
                y = 0;
                if (line + 1 < lines)
                    printer.NewPage();
            }
        }
        // Formatting ends before the job does, so that a failure to finish
        // it finds the screen layout back.
        restore.RestoreScreen();
        printer.EndDoc();
    } catch (...) {
        if (printer.Printing())
            printer.Abort();
        throw;
    }
}

void PrintDocumentOrToFile(TCodeMemo& editor, const std::string& fileName, TPrinter& printer,
                           const std::string& suggestedFile) {
    try {
        PrintDocument(editor, fileName, printer);
        return;
    } catch (const EPrinterUnavailable& error) {
        if (!printer.OutputFileName().empty() || !printer.Setup().OutputFileName.empty())
            throw;
        if (UserInteraction().MessageDlg(error.Message() + ".\nSave the pages as a PDF file instead?", mtConfirmation,
                                         mbYesNo) != mrYes)
            return;
    }
    TFileDialogRequest request;
    request.Title = "Print to File";
    request.Filter = "PDF files|*.pdf";
    request.DefaultExt = "pdf";
    request.FileName = suggestedFile;
    const TFileDialogResult chosen = UserInteraction().SaveFileDialog(request);
    if (!chosen.Accepted || chosen.FileNames.empty())
        return;
    // This job only: the next Print looks for the printer again.
    struct TOutputScope {
        TPrinter& Printer;
        ~TOutputScope() { Printer.SetOutputFileName({}); }
    } scope{printer};
    printer.SetOutputFileName(chosen.FileNames.front());
    PrintDocument(editor, fileName, printer);
}

void SetUpPrinter(TPrinterSetupDialog& dialog, TPrinter& printer) {
    dialog.SetSetup(printer.Setup());
    if (dialog.Execute())
        printer.SetSetup(dialog.Setup());
}
