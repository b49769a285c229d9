#pragma once
// Printing a document's source text: its lines as the editor lays them out
// for the printer's page width, with the document's name at the top of
// each page, in one print job.

#include <string>

class TCodeMemo;
class TPrinter;
class TPrinterSetupDialog;

// Prints the editor's text under the header fileName (UTF-8 text).  The editor's
// layout, selection and caret are as before afterwards, also when printing
// fails (the error goes on to the caller, and the job is dropped).
void PrintDocument(TCodeMemo& editor, const std::string& fileName, TPrinter& printer);
// The Printer Setup command: the dialog, and the printer takes the choice.
void SetUpPrinter(TPrinterSetupDialog& dialog, TPrinter& printer);
