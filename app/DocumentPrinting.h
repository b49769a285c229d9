#pragma once
// Printing a document's source text: its lines as the editor lays them out
// for the printer's page width, with the document's name at the top of
// each page, in one print job.

#include "platform/ui/Printers.h"

#include <string>

class TCodeMemo;
class TPrinterSetupDialog;

// Raised when no job can be started on the printer: nothing was printed.
class EPrinterUnavailable : public EPrinter {
public:
    using EPrinter::EPrinter;
};

// Prints the editor's text under the header fileName (UTF-8 text).  The editor's
// layout, selection and caret are as before afterwards, also when printing
// fails (the error goes on to the caller, and the job is dropped).
void PrintDocument(TCodeMemo& editor, const std::string& fileName, TPrinter& printer);
// The Print command: PrintDocument, and where no printer can be opened
// (and the pages were not going to a file already), the offer to write
// them to a PDF file of the user's choice instead; suggestedFile names it
// first.  Declining either question prints nothing and tells nothing.
void PrintDocumentOrToFile(TCodeMemo& editor, const std::string& fileName, TPrinter& printer,
                           const std::string& suggestedFile);
// The Printer Setup command: the dialog, and the printer takes the choice.
void SetUpPrinter(TPrinterSetupDialog& dialog, TPrinter& printer);
