#pragma once
// TTextSelection: the selection and the caret in a document, and the
// editing that goes through them.
//
// Two navigators hold the lower and the upper end of the selection; the
// caret is one of them, and SelLength is signed (positive when the caret is
// the lower end).  A column block is a further mode: a flag and two visual
// columns over the paragraphs from the lower to the upper end.  The caret
// may stand in virtual space beyond its line's end (virtual columns).
// Replacing the selection (SetSelTextBuf) is the editing primitive the
// memo, its string views, the clipboard and the keyboard use; undo and
// redo replay through it.  The view that shows the selection is its host.

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The view that shows a selection: it hears of moves and of finished edits.
class TSelectionHost {
public:
    virtual ~TSelectionHost() = default;
    // The selection or the caret moved: repaint what changed, place the caret.
    virtual void SelectionMoved() {}
    // An edit through the selection has ended with every update, or the
    // caret was put somewhere on purpose: bring it into view.
    virtual void ScrollCaretIntoView() {}
};

class TTextSelection : private TDocumentWatcher {
public:
    // The remembered column's "unknown".
    static constexpr int32_t kNoColumn = INT32_MIN;

    explicit TTextSelection(TCodeDocument& document, TSelectionHost* host = nullptr);
    ~TTextSelection() override;
    TTextSelection(const TTextSelection&) = delete;
    TTextSelection& operator=(const TTextSelection&) = delete;

    TCodeDocument& Document() const { return document_; }

    // ---- The selection ----
    // The caret's offset.
    int32_t SelStart() const { return caretAtEnd_ ? end_->Pos() : start_->Pos(); }
    // An empty selection at value (clamped to the text); block mode ends.
    void SetSelStart(int32_t value);
    int32_t SelLength() const { return length_; }
    // Keeps the caret and puts the other end value characters away (clamped
    // to the text); block mode ends.
    void SetSelLength(int32_t value);
    std::string SelText() const;
    // Replaces the selection, padding with blanks up to the caret's virtual
    // column when pmoPutExtraSpaces asks for it.
    void SetSelText(std::string_view text);
    // The editing primitive: replaces the selection (or the column block)
    // with text (an empty text deletes it) and leaves the caret after it.
    void SetSelTextBuf(std::string_view text);
    // Replaces the selection as one more step of an edit under way: with
    // withPrevious, the step undoes together with the one before it.
    void ReplaceGrouped(std::string_view text, bool withPrevious);
    void SelectAll();
    // The caret's display line; setting it formats up to the line first.
    int32_t SelLine();
    void SetSelLine(int32_t line);
    // The caret's column in its display line plus its virtual columns.
    int32_t SelCol();
    void SetSelCol(int32_t column);
    // The caret's column counted in characters (in UTF-8 a character of
    // several bytes counts once), as the user reads it.
    int32_t SelCharacterColumn();
    int32_t SelPar();
    void SetSelPar(int32_t paragraph);
    // The run of non-separators around the caret.
    std::string CurrentWord();
    // Copies at most size - 1 characters of the selection and a NUL; returns the count.
    int32_t GetSelTextBuf(char* buffer, int32_t size) const;
    // Appends paragraphs behind the text exactly as given (no closing style
    // codes, no clean-up): how the streamed "Strings" property is read.
    void AppendParagraphs(const std::vector<std::string>& paragraphs);
    // Searches for text from the caret (or from the text's start or end)
    // and selects what it finds, the caret at the end the search came from.
    bool FindTxt(std::string_view text, bool forward, bool fromBoundary, bool wholeWord, bool matchCase);
    void ToggleStyle(char code);
    void Undo();
    void Redo();

    TCodeNavigator& StartNavigator() { return *start_; }
    TCodeNavigator& EndNavigator() { return *end_; }
    TCodeNavigator& CaretNavigator() { return caretAtEnd_ ? *end_ : *start_; }
    const TCodeNavigator& StartNavigator() const { return *start_; }
    const TCodeNavigator& EndNavigator() const { return *end_; }
    bool CaretAtEnd() const { return caretAtEnd_; }

    // ---- Virtual space and the remembered column ----
    int32_t VirtualColumns() const { return virtualColumns_; }
    void SetVirtualColumns(int32_t columns) { virtualColumns_ = columns < 0 ? 0 : columns; }
    // The pixel x vertical moves keep (kNoColumn when unknown).
    int32_t RememberedColumn() const { return rememberedColumn_; }
    void SetRememberedColumn(int32_t x) { rememberedColumn_ = x; }

    // ---- Column block ----
    bool BlockMode() const { return blockMode_; }
    int32_t BlockColumn1() const { return blockColumn1_; }
    int32_t BlockColumn2() const { return blockColumn2_; }
    // Selects the block between two visual columns over the paragraphs of
    // the current selection.
    void SetBlock(int32_t column1, int32_t column2);
    // Starts (or ends) block mode without telling the host: the caller
    // updates the display once the move is complete.
    void SetBlockMode(bool on) { blockMode_ = on; }
    void SetBlockColumns(int32_t column1, int32_t column2);
    std::string BlockText() const;
    // Pastes a column block: line i goes into the caret's paragraph + i at
    // visual column `column`, padded with blanks where the paragraph is
    // shorter; paragraphs are appended as needed.
    void PasteBlock(std::string_view text, int32_t column);
    // The caret's visual column counted in the text (tabs to their stops,
    // style codes as the static format counts them) plus its virtual
    // columns.
    int32_t CaretTextColumn();

    // ---- Moving the ends without an edit (keyboard and mouse) ----
    // The caret moves to offset, the other end stays.
    void ExtendTo(int32_t offset);
    // An empty selection at the navigator's position (and display line).
    void CollapseTo(const TCodeNavigator& navigator);
    // The selection from..to with the caret at `to`'s end when caretAtEnd.
    void SetEnds(int32_t start, int32_t end, bool caretAtEnd);
    // Forgets the selection's length before the ends are moved (a move
    // without Shift).
    void ForgetLength() { length_ = 0; }
    // Tells the host that the selection moved.
    void Moved();
    // In UTF-8, moves an end that stands inside a character (an edit joined
    // bytes into one) back to the character's start.
    void KeepOnCharacters();
    void ScrollCaretIntoView();

private:
    void TextReplaced(TCodeDocument& document) override;
    void selectRange(int32_t from, int32_t to);
    // The caret at caret, the selection's other end length characters away
    // (clamped to the text); the caret is the lower end for a positive length.
    void selectFromCaret(int32_t caret, int32_t length);
    // Deletes the column block's characters, line by line, as one undo
    // step; true when that step was recorded (a block with no characters
    // in it records nothing).
    bool deleteBlock();
    // Puts text in place of from..to as an undo step is replayed.
    void replay(int32_t from, int32_t to, const std::string& text);

    TCodeDocument& document_;
    TSelectionHost* host_;
    std::unique_ptr<TCodeNavigator> start_;
    std::unique_ptr<TCodeNavigator> end_;
    // Where SetSelLine and SetSelCol look before they move the caret.
    std::unique_ptr<TCodeNavigator> probe_;
    bool caretAtEnd_ = false;
    int32_t length_ = 0;
    int32_t virtualColumns_ = 0;
    int32_t rememberedColumn_ = kNoColumn;
    bool blockMode_ = false;
    int32_t blockColumn1_ = 0;
    int32_t blockColumn2_ = 0;
};
