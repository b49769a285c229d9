#pragma once
// The editor's published classes.  Each table lives in a file beside its
// class (CodeMemoProperties.cpp, CodeGutterProperties.cpp,
// CodeMemoPrinterProperties.cpp); the HTML highlighter's are in
// highlight/HighlightClasses.h.

class TIdentMap;

// TCodeHighlighter and TCodeMemo.
void RegisterCodeMemoClasses();
void RegisterCodeGutterClasses();
void RegisterCodeMemoPrinterClasses();
// All of the above, and the window base under them; safe to call again.
void RegisterEditorClasses();

// The names of TCodeAlignment's values, shared by the tables.
const TIdentMap& CodeAlignmentNames();
