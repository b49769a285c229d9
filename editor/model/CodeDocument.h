#pragma once
// TCodeDocument: the text of the source editor, apart from any window.
//
// The document owns the paragraph store (paragraphs with their display
// lines and context records), the text length, the navigators that follow
// the text, the one edit primitive through which every change goes, the
// undo history, the layout and the highlighting engine.  Views (the memo
// control, a print layout, tests) observe it through TDocumentWatcher;
// the selection that edits it is a TTextSelection.

#include "editor/model/ByteSet.h"
#include "editor/model/CodeMeasure.h"
#include "editor/model/DocumentTypes.h"
#include "editor/model/DocumentWatcher.h"
#include "editor/model/HighlightEngine.h"
#include "editor/model/TextLayout.h"
#include "editor/model/TextStore.h"
#include "editor/model/UndoHistory.h"
#include "editor/model/UpperCase.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TCodeNavigator;
class TStream;

// The label the consistency check's errors name.
inline constexpr const char* kCodeMemoVersion = "CodeMemo 3.2";

// The document's plain public fields.  A memo derives from this struct, so
// that callers set them on the memo as on any control; a document on its
// own keeps them itself.
struct TDocumentFields {
    bool Modified = false;  // set by every edit; cleared only by the application
    TCodeLineBreak LineBreak = pbCRLF;
    char NullReplacement = 0;  // NUL bytes read are replaced by it (0 = kept)
    bool ApplyKeyWordsEnabled = true;
    bool ApplyStartStopKeysEnabled = true;
    bool CodeCleanUp = true;  // removes pairs of equal style codes after edits
    bool UndoRecordingOff = false;
};

// A component that shows a document (a memo): navigators made with the
// component bind to its document.
class TDocumentHolder {
public:
    virtual ~TDocumentHolder() = default;
    virtual class TCodeDocument& Document() = 0;
};

class TCodeDocument {
public:
    // fields: the host's plain fields (a memo's), or nullptr for the
    // document's own.
    explicit TCodeDocument(TDocumentFields* fields = nullptr);
    virtual ~TCodeDocument();
    TCodeDocument(const TCodeDocument&) = delete;
    TCodeDocument& operator=(const TCodeDocument&) = delete;

    TDocumentFields& Fields() { return *fields_; }
    const TDocumentFields& Fields() const { return *fields_; }

    // ---- Store ----
    int32_t TextLength() const { return textLength_; }
    // Number of display lines.
    int32_t LineCount() const { return lineCount_; }
    int32_t ParagraphCount() const { return paragraphs_.Count(); }
    TParagraphsList& ParagraphList() { return paragraphs_; }
    const TParagraphsList& ParagraphList() const { return paragraphs_; }
    // Raises "List index out of bounds" outside the paragraphs.
    TParagraph* Paragraph(int32_t index) const { return paragraphs_.GetItem(index); }
    int32_t ParagraphStart(int32_t index) const;
    int32_t ParagraphFirstLine(int32_t index) const;
    // The last display line of a paragraph (the index clamped to the text).
    int32_t LastLineOfParagraph(int32_t index) const;
    // The characters between two offsets (clamped to the text), CR LF at breaks.
    std::string GetTextRange(int32_t from, int32_t to) const;
    std::string ParagraphText(int32_t index) const { return Paragraph(index)->Text.Str(); }
    // The characters of a display line as it is laid out now, blanks at a
    // wrap included; empty outside the lines.
    std::string DisplayLineText(int32_t line) const;
    // The byte at an absolute offset (CR and LF inside a break).
    char CharAt(int32_t offset) const;
    std::string Text() const { return GetTextRange(0, textLength_); }
    // Refuses texts and paragraphs longer than this ("Text too long");
    // lowered by tests and by embedders that want a smaller cap.
    int32_t MaxTextLength() const { return maxTextLength_; }
    void SetMaxTextLength(int32_t value);
    // Raises "Error n in CodeMemo 3.2" when the store breaks an invariant.
    void CheckConsistency() const;

    // ---- Navigators ----
    const std::vector<TCodeNavigator*>& Navigators() const { return navigators_; }
    // Drops the cached line and context indexes of navigators after offset
    // that lie in paragraphs up to lastParagraph.
    void InvalidateNavigators(int32_t offset, int32_t lastParagraph);

    // ---- Rules of the text ----
    bool StaticFormat() const { return staticFormat_; }
    // Style codes are read anew: the text is saved and loaded again.
    void SetStaticFormat(bool value);
    TCodeMemoOptions Options() const { return options_; }
    // Discarding trailing blanks newly asked for reloads the text.
    void SetOptions(TCodeMemoOptions options);
    TpmUpperCase UpperCaseType() const { return upperCaseType_; }
    void SetUpperCaseType(TpmUpperCase value);
    // The rule case-insensitive searching and key matching fold by: the
    // code page's rule folds ASCII letters only in UTF-8, where its
    // accented letters are not bytes.
    TpmUpperCase FoldingRule() const { return utf8_ && upperCaseType_ == pmuAnsi ? pmuAscii : upperCaseType_; }
    std::string Separators() const { return separators_.Members(); }
    void SetSeparators(std::string_view characters);
    // In UTF-8 no byte of a multi-byte character separates words, so word
    // moves never stop inside one.
    bool IsSeparator(unsigned char c) const { return separators_.Contains(c) && (c < 0x80 || !utf8_); }
    const TByteSet& SeparatorSet() const { return separators_; }

    // ---- Encoding ----
    // What a character is: a valid UTF-8 sequence or a byte (Characters.h).
    // Changing it changes no byte; the text is laid out again.
    TTextEncoding Encoding() const { return utf8_ ? teUtf8 : teAnsi; }
    void SetEncoding(TTextEncoding encoding);
    bool IsUtf8() const { return utf8_; }
    // An absolute offset moved back to the start of its character.
    int32_t CharStartAt(int32_t offset) const;

    // ---- Update batching ----
    // Display updates wait while the count is above 0; when it returns to
    // 0 the changed paragraphs are formatted and the watchers hear of it.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int32_t UpdateCount() const { return updateCount_; }

    // ---- Editing ----
    // The edit primitive with the editing rules: replaces from..to by text
    // (trailing blanks dropped, closing style codes added, the change
    // recorded for undo, style-code pairs cleaned up, as the rules and the
    // flags say).  The caller holds an update level and an undo action.
    // Returns the caret after the edit (the end of the inserted text), or
    // nothing when there was nothing to change.  groupWithPrevious joins
    // the recorded entry to the one before it.
    std::optional<int32_t> ReplaceRange(int32_t from, int32_t to, std::string_view text, bool groupWithPrevious);
    // The same with its own update level and undo action: what a caller
    // without a selection edits with.  The before-change hook runs first.
    void Replace(int32_t from, int32_t to, std::string_view text);
    // Calls the before-change hook (never while an undo step is replayed).
    void BeforeChange(std::string& text);
    // Raised while an edit puts style codes in on purpose (style toggles,
    // the clean-up): no closing codes and no clean-up for it.
    class TInternalEdit {
    public:
        explicit TInternalEdit(TCodeDocument& document) : document_(document), old_(document.internalEdit_) {
            document_.internalEdit_ = true;
        }
        ~TInternalEdit() { document_.internalEdit_ = old_; }
        TInternalEdit(const TInternalEdit&) = delete;
        TInternalEdit& operator=(const TInternalEdit&) = delete;

    private:
        TCodeDocument& document_;
        bool old_;
    };
    bool InternalEdit() const { return internalEdit_; }
    TUndoHistory& UndoHistory() { return undo_; }
    const TUndoHistory& UndoHistory() const { return undo_; }

    // ---- Loading and saving ----
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream);
    virtual void SaveFormatted(TStream& stream);
    virtual void LoadFormatted(TStream& stream, bool reformat);
    // Loads text as the whole text, unless both are empty; sets Modified.
    void SetTextBuf(std::string_view text);
    // Saves the text and loads it again, so that loading's rules (style
    // codes, trailing blanks) apply anew; Modified stays as it was.
    void Reload();

    // ---- Upper-case paragraph cache ----
    // Upper-cased characters of the paragraph from start on, valid for count
    // characters (never beyond the paragraph) until the next call or edit.
    const char* UpperCaseParagraph(TParagraph* paragraph, int32_t index, int32_t start, int32_t count);
    int32_t UpperCacheParagraph() const { return upperIndex_; }
    int32_t UpperCacheStart() const { return upperStart_; }
    int32_t UpperCacheLength() const { return static_cast<int32_t>(upperBuffer_.size()); }

    // ---- Layout and highlighting ----
    TTextLayout& Layout() { return *layout_; }
    const TTextLayout& Layout() const { return *layout_; }
    THighlightEngine& Highlighting() { return *highlighting_; }
    const THighlightEngine& Highlighting() const { return *highlighting_; }
    // The seams of formatting and highlighting: a document that overrides
    // one sees every call of it.
    // Breaks paragraph index into display lines from line firstLine on.
    // lastLine returns the last old line the new lines replaced, moved by the
    // change of the line count; firstLine is lowered when the first word
    // moved up into the previous line.
    virtual void FormatParagraph(const TCodeMeasure* measure, int32_t width, int32_t index, int32_t& firstLine,
                                 int32_t& lastLine, bool formatToEnd);
    virtual void ApplyStartStopKeys(TCodeNavigator& from, TCodeNavigator& to);
    virtual void ApplyKeywords(TCodeNavigator& from, TCodeNavigator& to);
    // Puts a context record in force between two navigators.
    virtual void ApplyContext(TCodeNavigator& first, TCodeNavigator& second, bool recordChange, bool opening,
                              const TContextState& context);
    // Brings start/stop parsing up to paragraph index before it is
    // formatted.
    virtual void ParseUpTo(int32_t index);
    // Clears every context and highlights everything again.
    void ReApplyKeywords() { highlighting_->ReApplyKeywords(); }

    // ---- Watchers and hooks ----
    void AddWatcher(TDocumentWatcher* watcher);
    void RemoveWatcher(TDocumentWatcher* watcher);
    // The one who spells the breaks (nullptr: nobody).
    void SetBreakSpeller(TBreakSpeller* speller) { breakSpeller_ = speller; }
    TBreakSpeller* BreakSpeller() const { return breakSpeller_; }
    // May replace the text about to be put in place of a range.
    std::function<void(std::string& text)> OnBeforeChange;
    // Told the range an edit or a load hands to highlighting.
    std::function<void(int32_t startOffset, int32_t stopOffset)> OnParse;
    // Progress of loading, saving and formatting long texts, 0-100; -1
    // before the first report.
    int32_t Progress() const { return progress_; }

    // The clock (milliseconds) that paces background slices and progress
    // reports; nullptr restores the steady clock.  A memo gives the
    // platform's, which tests drive by hand.
    using TClock = uint64_t (*)();
    void SetClock(TClock clock);
    uint64_t Now() const { return clock_(); }

private:
    friend class TCodeNavigator;
    friend class TTextLayout;
    friend class THighlightEngine;
    friend class TDocumentUpdate;

    struct TEditPlan;
    struct TSurgery;

    // Store
    void newEmptyText();
    void registerNavigator(TCodeNavigator* navigator);
    void unregisterNavigator(TCodeNavigator* navigator);
    void swapInText(TParagraphsList&& paragraphs, int32_t textLength);
    // The changed range of the current update grows to paragraphs
    // first..last and display line firstLine.
    void recordChangedRange(int32_t first, int32_t last, int32_t firstLine);
    // Runs when the update count returns to 0.
    void updateAfterEdit();
    void lineCountChanged(int32_t index, int32_t delta);
    void dropUpperCache();

    // Editing (DocumentEdit.cpp)
    bool planEdit(TEditPlan& plan, std::string_view text) const;
    TSurgery replaceParagraphs(const TEditPlan& plan);
    void moveNavigators(const TEditPlan& plan, const TSurgery& surgery);
    void fixContextsAtEditPoint(const TEditPlan& plan, const TSurgery& surgery, int32_t& parseFrom,
                                int32_t& parseTo, bool& skipParse);
    // keptRecords: the edit took no context record away from its paragraph.
    void highlightEdit(const TEditPlan& plan, int32_t parseFrom, int32_t parseTo, bool keptRecords);
    // Removes the pairs of equal style codes of paragraph index within span
    // (widened to the runs of codes it touches), as a scan of the whole
    // paragraph would when the rest of it holds none; the paragraph is
    // clean of pairs afterwards.
    struct TCodeSpan {
        int32_t From;
        int32_t To;
    };
    void cleanUpStyleCodes(int32_t index, TCodeSpan span, int32_t& caret);

    // Watchers
    template <typename TNotice>
    void notify(TNotice notice) {
        // By index: a watcher may come or go meanwhile.
        for (size_t i = 0; i < watchers_.size(); ++i)
            if (watchers_[i] != nullptr)
                notice(*watchers_[i]);
    }
    bool progressWanted() const;
    void reportProgress(int32_t index, bool force);

    TDocumentFields ownFields_;
    TDocumentFields* fields_;

    TParagraphsList paragraphs_;
    int32_t textLength_ = 0;
    int32_t lineCount_ = 1;
    int32_t maxTextLength_ = kMaxTextLength;
    std::vector<TCodeNavigator*> navigators_;
    std::vector<TDocumentWatcher*> watchers_;
    TBreakSpeller* breakSpeller_ = nullptr;

    // Rules
    bool staticFormat_ = true;
    TCodeMemoOptions options_{pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret, pmoAutoScrollBars};
    TpmUpperCase upperCaseType_ = pmuAscii;
    TByteSet separators_;
    bool utf8_ = false;

    // Edit bookkeeping.  With no change pending the first changed paragraph
    // and line lie beyond any there is (a count taken when the text came
    // would fall inside it once its lines are laid out).
    static constexpr int32_t kNoChange = INT32_MAX;
    int32_t updateCount_ = 0;
    int32_t firstChangedPar_ = kNoChange;
    int32_t lastChangedPar_ = -1;
    int32_t firstChangedLine_ = kNoChange;
    // Paragraphs were formatted while an update was open.
    bool formattedInUpdate_ = false;
    bool internalEdit_ = false;
    TUndoHistory undo_;
    // The range an edit hands to start/stop parsing and keywords.
    std::unique_ptr<TCodeNavigator> parseFrom_;
    std::unique_ptr<TCodeNavigator> parseTo_;

    // Upper-case cache
    std::string upperBuffer_;
    int32_t upperIndex_ = -1;
    int32_t upperStart_ = 0;
    TpmUpperCase upperRule_ = pmuAscii;
    uint64_t upperGeneration_ = 0;

    int32_t progress_ = -1;
    uint64_t lastProgressTick_ = 0;
    TClock clock_;

    std::unique_ptr<TTextLayout> layout_;
    std::unique_ptr<THighlightEngine> highlighting_;
};

// Raises a document's update count for its lifetime.  Finish lowers it
// and, at 0, runs the update that was waiting (it returns whether it did);
// Release lowers it and only tells whether it reached 0; leaving the scope
// otherwise (an exception) lowers it without an update.
class TDocumentUpdate {
public:
    explicit TDocumentUpdate(TCodeDocument& document) : document_(document) { document_.BeginUpdate(); }
    ~TDocumentUpdate() {
        if (!finished_)
            --document_.updateCount_;
    }
    bool Finish();
    bool Release() {
        finished_ = true;
        return --document_.updateCount_ == 0;
    }
    TDocumentUpdate(const TDocumentUpdate&) = delete;
    TDocumentUpdate& operator=(const TDocumentUpdate&) = delete;

private:
    TCodeDocument& document_;
    bool finished_ = false;
};
