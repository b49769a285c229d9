#pragma once
// How views observe a document: every change of its text, of its
// highlighting and of its display lines is reported to each watcher, so
// that a view repaints what changed without polling the document.

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

class TCodeDocument;

// One change of the text: Removed characters from From on (offsets before
// the change, breaks counting 2) were replaced by Inserted characters.
// Paragraphs FirstParagraph..LastParagraph of the old text became
// FirstParagraph..FirstParagraph + LastParagraph - FirstParagraph +
// ParagraphDelta of the new one.
struct TTextChange {
    int32_t From = 0;
    int32_t Removed = 0;
    int32_t Inserted = 0;
    int32_t FirstParagraph = 0;
    int32_t LastParagraph = 0;
    int32_t ParagraphDelta = 0;
    int32_t LineDelta = 0;
    // When the change gives back a text that an earlier one removed (undo
    // and redo): what the break speller kept of that text's breaks then.
    // Empty otherwise.
    std::string_view KeptBreaks;
};

// The document counts every break as CR LF; whoever writes it out spells
// each break as its file did.  Such a speller lends the undo history a note
// of the breaks an edit is about to remove, so that undoing the edit (and
// redoing it) brings them back as they were spelt, not as new ones.
class TBreakSpeller {
public:
    virtual ~TBreakSpeller() = default;
    // What to keep of the breaks in and around paragraphs first..last,
    // which an edit is about to replace; the note comes back in
    // TTextChange::KeptBreaks when a replay puts them back.
    virtual std::string KeepBreaks(int32_t firstParagraph, int32_t lastParagraph) const = 0;
};

// Contexts changed in paragraphs FirstParagraph..LastParagraph, from offset
// From of the first to offset To of the last (INT32_MAX: to its end).
// LaidOutAgain: the lines that hold the change are laid out anew, and the
// layout notice that follows covers them.
struct TStyleChange {
    int32_t FirstParagraph = 0;
    int32_t LastParagraph = 0;
    int32_t From = 0;
    int32_t To = INT32_MAX;
    bool LaidOutAgain = false;
};

// Paragraphs FirstParagraph..LastParagraph were formatted; display lines
// FirstLine..LastLine (numbered as they are now) are the ones laid out
// anew.  Lines behind them moved when the line count changed.
struct TLayoutChange {
    int32_t FirstParagraph = 0;
    int32_t LastParagraph = 0;
    int32_t FirstLine = 0;
    int32_t LastLine = -1;
};

// What the end of an outermost update reports: the first and the last
// display line that may look different (numbered after the formatting the
// update ended with; LastLine -1 when nothing changed) and the last
// paragraph the updates changed (-1 when none).
struct TUpdateSummary {
    enum TKind {
        kEdit,      // edits: the view catches up and the change is announced
        kLoad,      // a new text was loaded: the view starts at the top
        kSnapshot,  // a formatted snapshot was loaded: as a load, but unannounced
    };
    TKind Kind = kEdit;
    int32_t FirstLine = 0;
    int32_t LastParagraph = -1;
    int32_t LastLine = -1;
};

class TDocumentWatcher {
public:
    virtual ~TDocumentWatcher() = default;

    // The text changed (navigators have already moved).  Nested edits
    // report one change each, in the order they happen.
    virtual void TextChanged(TCodeDocument& document, const TTextChange& change) {}
    // The whole text was replaced (a load): every navigator stands at 0.
    virtual void TextReplaced(TCodeDocument& document) {}
    // Contexts changed: the text there may look different.
    virtual void StylesChanged(TCodeDocument& document, const TStyleChange& change) {}
    // Paragraphs were formatted (line numbers after them may have moved).
    virtual void LayoutChanged(TCodeDocument& document, const TLayoutChange& change) {}
    // Every paragraph waits to be laid out again (width, fonts or rules
    // changed).
    virtual void LayoutReset(TCodeDocument& document) {}
    // The outermost update ended: what changed since it began.
    virtual void UpdateEnded(TCodeDocument& document, const TUpdateSummary& summary) {}
    // Layout waits for the background pass: a view with an event loop
    // schedules TTextLayout::BackgroundSlice.
    virtual void BackgroundWorkPending(TCodeDocument& document) {}
    // Progress of loading, saving and formatting long texts
    // (TCodeDocument::Progress), reported only while a watcher wants it.
    virtual bool WantsProgress() const { return false; }
    virtual void ProgressMade(TCodeDocument& document) {}
};
