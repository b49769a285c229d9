#pragma once
// A document's text on disk: loading a file into an editor and writing
// the editor's text back byte for byte as it was read, apart from what was
// edited (see TLineBreaks).  Files are written through the platform's safe
// replace: the old file stays whole until the new one is complete, and
// keeps its permissions.

#include "app/LineBreaks.h"

#include "editor/model/DocumentWatcher.h"

#include <string>
#include <string_view>

class TCodeMemo;

// Follows every edit of the editor's document, so that the breaks stay
// with the paragraphs they follow, and spells the breaks for its undo
// history, so that an undone edit gives its breaks back as they were.
// Must not outlive the editor.
class TDocumentText : private TDocumentWatcher, private TBreakSpeller {
public:
    explicit TDocumentText(TCodeMemo& editor);
    ~TDocumentText() override;
    TDocumentText(const TDocumentText&) = delete;
    TDocumentText& operator=(const TDocumentText&) = delete;

    // Reads the file into the editor in the encoding the page asks for
    // (DetectPageEncoding); the editor's text is left as it was when the
    // file can not be read (EFOpenError or EReadError).  Only a regular
    // file is read; a pipe, device or socket is refused at once
    // (EFOpenError) rather than waited on.
    void LoadFromFile(const std::string& fileName);
    // Replaces the editor's whole text, keeping the breaks the text spells.
    void SetText(std::string_view text);
    // Replaces the editor's whole text by one written elsewhere (the design
    // view's): its breaks all take the document's kind for new breaks.
    // One edit, which Undo takes back whatever the text's size; the editor
    // counts as modified.
    void ReplaceAll(std::string_view text);
    // The editor's text with the document's breaks.
    std::string Bytes() const;
    // Writes Bytes() to the file (EFCreateError when it can not be written;
    // the file is then untouched).
    void SaveToFile(const std::string& fileName) const;

    TCodeMemo& Editor() const { return editor_; }
    TLineBreaks& Breaks() { return breaks_; }
    const TLineBreaks& Breaks() const { return breaks_; }

private:
    void TextChanged(TCodeDocument& document, const TTextChange& change) override;
    void TextReplaced(TCodeDocument& document) override;
    std::string KeepBreaks(int32_t firstParagraph, int32_t lastParagraph) const override;

    TCodeMemo& editor_;
    TLineBreaks breaks_;
};
