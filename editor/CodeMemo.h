#pragma once
// TCodeMemo: the source editor control.
//
// The memo owns the text store (paragraphs with their display lines and
// context records), the navigators that follow the text, the undo list, the
// selection and the caret.  Every change of the text goes through one
// editing primitive, SetSelTextBuf.  This file holds the memo's text engine:
// everything that works without a window.  Until the control has a widget,
// a measuring context (a text measurer and a client width) stands in for its
// canvas, so that formatting and line breaking run in tests.

#include "editor/ByteSet.h"
#include "editor/CodeMemoStrings.h"
#include "editor/CodeMemoTypes.h"
#include "editor/CodeNavigator.h"
#include "editor/KeywordList.h"
#include "editor/StartStopKeyList.h"
#include "editor/TextStore.h"
#include "editor/UpperCase.h"

#include "platform/base/Component.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PenBrush.h"
#include "platform/ui/Control.h"
#include "platform/ui/PopupMenu.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TStream;
class TTextMeasurer;
class TFontMeasure;
class TCodeHighlighter;
struct TMemoLinePainter;

// One recorded change: undoing it puts Text back in place of Start..Stop.
struct TUndoEntry {
    int32_t Start = 0;
    int32_t Stop = 0;
    bool Grouped = false;  // undoing this entry also undoes the one before it
    std::string Text;
    int64_t Size() const { return static_cast<int64_t>(Text.size()) + 13; }
};

// Measures text for line breaking: the advance of every byte in one style.
// The memo's measuring context and a printer's canvas both provide one.
class TCodeMeasure {
public:
    virtual ~TCodeMeasure() = default;
    // The 256 advances in pixels of the font that a style set selects
    // (bold, italic, underline, strike-out and the alternative font bits).
    virtual const int32_t* AdvanceTable(uint8_t style) const = 0;
    int32_t CharWidth(uint8_t style, unsigned char byte) const { return AdvanceTable(style)[byte]; }
};

// The private message that drives formatting in the background: each one
// formats a slice of about 25 ms and posts the next while work remains.
constexpr unsigned WM_CODEMEMO_BACKGROUND = 0x401;

// Notices the memo sends itself so that attached components see them: the
// view scrolled vertically, a click (0x403: left, 0x405: right) into a
// clickable context (WParam the context number, LParam the address of a
// std::string with the context's text), the caret moved.
constexpr unsigned WM_CODEMEMO_SCROLLED = 0x402;
constexpr unsigned WM_CODEMEMO_CONTEXTCLICK = 0x403;
constexpr unsigned WM_CODEMEMO_CARETMOVED = 0x404;
constexpr unsigned WM_CODEMEMO_CONTEXTRIGHTCLICK = 0x405;
// Posted by painting when it had to format paragraphs in view: the scroll
// bars and the top line follow once the paint is over.
constexpr unsigned WM_CODEMEMO_VIEWSYNC = 0x406;
// The operation code under which attached components get every message:
// Notification(memo, kMemoMessage) while CurrentMessage() holds it.
constexpr TOperation kMemoMessage = static_cast<TOperation>(64);

// The display lines that DrawLinesOnCanvas puts on another canvas (a
// printer's): lines First..Last, the first one's top-left corner at (X, Y),
// Spacing pixels from one line's top to the next.
struct TPaintRange {
    int32_t First = 0;
    int32_t Last = 0;
    int32_t X = 0;
    int32_t Y = 0;
    float Spacing = 0;
};

class TCodeMemo : public TCustomControl {
public:
    explicit TCodeMemo(TComponent* owner = nullptr);
    ~TCodeMemo() override;

    std::string ClassName() const override { return "TCodeMemo"; }
    static const char* Version() { return "CodeMemo 3.2"; }

    // ---- Text store ----
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
    // The characters between two offsets (clamped to the text), CR LF at breaks.
    std::string GetTextRange(int32_t from, int32_t to) const;
    std::string ParagraphText(int32_t index) const { return Paragraph(index)->Text; }
    // The characters of a display line as it is laid out now, blanks at a
    // wrap included; empty outside the lines.
    std::string DisplayLineText(int32_t line) const;
    // The byte at an absolute offset (CR and LF inside a break).
    char CharAt(int32_t offset) const;
    std::string Text() const { return GetTextRange(0, textLength_); }
    int32_t WidestLineWidth() const { return widestWidth_; }
    int32_t WidestLineParagraph() const { return widestParagraph_; }

    // ---- Selection and caret ----
    int32_t SelStart() const;
    void SetSelStart(int32_t value);
    int32_t SelLength() const { return selLength_; }
    void SetSelLength(int32_t value);
    std::string SelText() const;
    void SetSelText(std::string_view text);
    void SelectAll();
    int32_t SelLine();
    void SetSelLine(int32_t line);
    int32_t SelCol();
    void SetSelCol(int32_t column);
    int32_t SelPar();
    void SetSelPar(int32_t paragraph);
    std::string CurrentWord();
    // Copies at most size - 1 characters of the selection and a NUL; returns the count.
    int32_t GetSelTextBuf(char* buffer, int32_t size) const;
    void SetTextBuf(std::string_view text);
    // Appends paragraphs behind the text exactly as given (no closing style
    // codes, no clean-up): how the streamed "Strings" property is read.
    void AppendParagraphs(const std::vector<std::string>& paragraphs);
    // The text by paragraph and by display line.
    TCodeParaStrings& Paragraphs() { return *paragraphsView_; }
    TCodeLinesStrings& Lines() { return *linesView_; }
    void SetLines(const TStrings& lines) { linesView_->Assign(&lines); }
    void Clear() { SetTextBuf({}); }
    void ClearSelection() { SetSelText({}); }
    bool Modified = false;
    TCodeNavigator& SelStartNavigator() { return *selStart_; }
    TCodeNavigator& SelEndNavigator() { return *selEnd_; }
    TCodeNavigator& CaretNavigator() { return caretAtEnd_ ? *selEnd_ : *selStart_; }
    TCodeNavigator& TopLineNavigator() { return *topLine_; }
    int32_t VirtualColumns() const { return virtualColumns_; }
    void SetVirtualColumns(int32_t columns) { virtualColumns_ = columns < 0 ? 0 : columns; }

    // Column block: a rectangular selection by visual columns.
    bool BlockMode() const { return blockMode_; }
    int32_t BlockColumn1() const { return blockColumn1_; }
    int32_t BlockColumn2() const { return blockColumn2_; }
    // Selects the block between two visual columns over the paragraphs of
    // the current selection (keyboard and mouse code use this).
    void SetBlock(int32_t column1, int32_t column2);
    std::string BlockText() const;

    // ---- Editing ----
    // The one editing primitive: replaces the selection with text (an empty
    // text deletes it).  NUL bytes are ordinary characters.
    virtual void SetSelTextBuf(std::string_view text);
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    void ClearUndo();
    int32_t UndoMaxLevel() const { return undoMaxLevel_; }
    void SetUndoMaxLevel(int32_t value);
    int32_t UndoMaxSpace() const { return undoMaxSpace_; }
    void SetUndoMaxSpace(int32_t value);
    const std::vector<TUndoEntry>& UndoList() const { return undoList_; }
    int32_t UndoPosition() const { return undoPosition_; }
    int64_t UndoTotal() const { return undoTotal_; }
    // Marks the last recorded entry as undone together with the one before it.
    void GroupLastUndo();
    // Starts a new undo entry with the next edit (a click or a paste does this).
    void BreakUndoGroup() { breakGrouping_ = true; }
    bool UndoRecordingOff = false;
    // Refuses texts and paragraphs longer than this ("Text too long");
    // lowered by tests and by embedders that want a smaller cap.
    int32_t MaxTextLength() const { return maxTextLength_; }
    void SetMaxTextLength(int32_t value);

    // ---- Update batching ----
    void BeginUpdate();
    void EndUpdate();
    int32_t UpdateCount() const { return updateCount_; }

    // ---- Loading, saving, searching ----
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream);
    virtual void SaveFormatted(TStream& stream);
    virtual void LoadFormatted(TStream& stream, bool reformat);
    bool FindTxt(std::string_view text, bool forward, bool fromBoundary, bool wholeWord, bool matchCase);

    // ---- Upper-case paragraph cache ----
    // Upper-cased characters of the paragraph from start on, valid for count
    // characters (never beyond the paragraph) until the next call or edit.
    const char* UpperCaseParagraph(TParagraph* paragraph, int32_t index, int32_t start, int32_t count);
    int32_t UpperCacheParagraph() const { return upperIndex_; }
    int32_t UpperCacheStart() const { return upperStart_; }
    int32_t UpperCacheLength() const { return static_cast<int32_t>(upperBuffer_.size()); }

    // ---- Consistency ----
    // Raises "Error n in <version>" when the store breaks an invariant.
    void CheckConsistency() const;

    // ---- Clipboard ----
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Pastes a column block: line i goes into the caret's paragraph + i at
    // the caret's visual column, padded with blanks where the paragraph is
    // shorter; paragraphs are appended as needed.
    virtual void PasteBlock(std::string_view text);
    // The clipboard format that marks text as a column block (registered by
    // name on first use).
    static unsigned BlockClipboardFormat();

    // ---- Style codes ----
    void ToggleStyle(char code);
    void ToggleBold() { ToggleStyle(kCodeBold); }
    void ToggleItalic() { ToggleStyle(kCodeItalic); }
    void ToggleUnderline() { ToggleStyle(kCodeUnderline); }
    void ToggleHighlight() { ToggleStyle(kCodeHighlight); }
    void ToggleAltFont() { ToggleStyle(kCodeAltFont); }

    // ---- Formatting ----
    // The measuring context used while the control has no widget: a measure
    // and the client width in pixels.  A null measure gives every paragraph
    // one display line.
    void SetMeasuringContext(const TCodeMeasure* measure, int32_t clientWidth);
    // The same with the memo's own fonts measured by a platform measurer.
    void SetMeasuringContext(TTextMeasurer* measurer, int32_t clientWidth);
    TFont& AltFont() { return altFont_; }
    const TCodeMeasure* Measure() const { return measure_; }
    int32_t ClientWidth() const override { return clientWidth_; }
    // Formats every paragraph for another measure and width (a printer);
    // nullptr goes back to the measuring context.
    void FormatOnCanvas(const TCodeMeasure* measure, int32_t width);
    // The same for a canvas: the memo's fonts measured by the canvas's
    // measurer (a printer's, say).  nullptr goes back to the screen.
    void FormatOnCanvas(TCanvas* canvas, int32_t width);
    // Breaks paragraph index into display lines from line firstLine on.
    // lastLine returns the last old line the new lines replaced, moved by the
    // change of the line count; firstLine is lowered when the first word
    // moved up into the previous line.
    virtual void FormatParagraph(const TCodeMeasure* measure, int32_t width, int32_t index, int32_t& firstLine,
                                 int32_t& lastLine, bool formatToEnd);
    void FormatRange(int32_t first, int32_t last, bool force);
    // Formats every paragraph still waiting for it.
    void FormatPending();
    // Marks every paragraph for formatting and formats them (margins, tab
    // stops, wrapping and fonts changed).
    void ReformatAll();
    int32_t AverageCharWidth() const;
    // The style set text is drawn in: the static style combined with the
    // font's own when the context record in force is plain, else the
    // record's, where strike-out plus highlight means the zigzag instead.
    uint8_t DrawingStyle(uint8_t staticStyle, const TContextRecord& context) const;
    // The style set whose font measures text: the drawing style without
    // what changes no font (highlighting and the zigzag).
    uint8_t StyleForMeasure(uint8_t staticStyle, const TContextRecord& context) const {
        return DrawingStyle(staticStyle, context) & static_cast<uint8_t>(~(kStyleHighlight | kStyleZigzag));
    }

    // One slice of background formatting (the handler of message 0x401);
    // a non-zero WParam posts the next slice while work remains.
    virtual void BackgroundFormat(TMessage& message);
    bool BackgroundPending() const { return formatLast_ >= formatNext_; }

    // ---- Highlighting seams ----
    // Filled by the highlighting engine; the defaults leave contexts alone.
    virtual void ApplyStartStopKeys(TCodeNavigator& from, TCodeNavigator& to);
    virtual void ApplyKeywords(TCodeNavigator& from, TCodeNavigator& to);
    // Brings start/stop parsing up to paragraph index before it is
    // formatted (every paragraph's base context must be known first).
    virtual void ParseUpTo(int32_t index);
    // Puts a context record in force between two navigators.
    virtual void ApplyContext(TCodeNavigator& first, TCodeNavigator& second, bool recordChange, bool opening,
                              const TContextRecord& context);
    void ReApplyKeywords();
    // Drops the cached line and context indexes of navigators after offset
    // that lie in paragraphs up to lastParagraph.
    void InvalidateNavigators(int32_t offset, int32_t lastParagraph);
    const std::vector<TCodeNavigator*>& Navigators() const { return navigators_; }
    // Range of paragraphs whose highlighting is pending ("none" when first > last).
    int32_t HighlightFirst() const { return highlightFirst_; }
    int32_t HighlightLast() const { return highlightLast_; }
    int32_t ValidHighlightParagraph() const { return validHighlight_; }
    void SetHighlightRange(int32_t first, int32_t last);

    // ---- Highlighting (HighlightEngine.cpp) ----
    // Words coloured wherever they occur, and pairs of keys that open and
    // close contexts; both owned by the memo.
    TKeywordList& Keywords() { return *keywords_; }
    TStartStopKeyList& StartStopKeys() { return *startStopKeys_; }
    // The highlighter (not owned; one may serve many memos).  Changing it
    // clears and redoes the highlighting.
    TCodeHighlighter* Highlighter() const { return highlighter_; }
    void SetHighlighter(TCodeHighlighter* highlighter);
    // Tries to open a context at or after position and before limit (the
    // memo's start keys first, then the highlighter's start hook); on
    // success limit stands after the key.
    bool FindStartKey(TCodeNavigator& position, TCodeNavigator& limit);
    // Tries to end the context in force at position before limit; on
    // success limit stands after the stop key.
    bool FindStopKey(TCodeNavigator& position, TCodeNavigator& limit);
    // Parses the paragraphs from the one holding from through the one
    // holding to, each whole, and hands a changed context at the end on to
    // the next paragraph; to ends at the last paragraph's end.
    void ParseStartStopKeys(TCodeNavigator& from, TCodeNavigator& to);
    // The highlighter's keyword hook, then the memo's own keywords.
    void ApplyKeywordsBetween(TCodeNavigator& from, TCodeNavigator& to);
    // ApplyContext (opening, not recorded) between two absolute offsets.
    void ApplyContextBetween(int32_t from, int32_t to, const TContextRecord& context);

    // ---- Properties ----
    bool StaticFormat() const { return staticFormat_; }
    void SetStaticFormat(bool value);
    TCodeMemoOptions Options() const { return options_; }
    void SetOptions(TCodeMemoOptions options);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TCodeAlignment Alignment() const { return alignment_; }
    void SetAlignment(TCodeAlignment value);
    int32_t LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int32_t value);
    int32_t RightMargin() const { return rightMargin_; }
    void SetRightMargin(int32_t value);
    int32_t TabStops() const { return tabStops_; }
    void SetTabStops(int32_t value);
    TpmUpperCase UpperCaseType() const { return upperCaseType_; }
    void SetUpperCaseType(TpmUpperCase value);
    std::string Separators() const;
    void SetSeparators(std::string_view characters);
    bool IsSeparator(unsigned char c) const { return separators_.Contains(c); }
    TUpdateMode UpdateMode() const { return updateMode_; }
    void SetUpdateMode(TUpdateMode value);
    TCodeLineBreak LineBreak = pbCRLF;
    char NullReplacement = 0;
    bool ApplyKeyWordsEnabled = true;
    bool ApplyStartStopKeysEnabled = true;
    bool ReadOnly = false;
    bool DisplayOnly = false;
    bool WantTabs = true;
    bool PassOverCodes = true;
    bool EnableHotKeys = true;
    bool ShowEndParSelected = true;
    bool Justified = false;
    bool CodeCleanUp = true;  // removes pairs of equal style codes after edits
    int32_t MouseWheelFactor = 3;
    // Appearance the painting code reads; the window side repaints on change.
    TColor HighlightColor = clRed;
    TColor HighlightBackgnd = clWindow;
    TColor SelBackColor = clHighlight;
    TColor SelTextColor = clHighlightText;
    bool HideSelection = true;
    bool Overwrite = false;
    // Caret width in pixels; 0 = line height div 14 + 1.
    int32_t CaretWidth = 1;
    // Line height in pixels; 0 or less = from the font.
    int32_t FixedLineHeight = 0;
    TPen& EndOfTextMark() { return endOfTextMark_; }
    TPen& SpecUnderline() { return specUnderline_; }
    // Progress of formatting long texts, 0-100; -1 before the first report.
    int32_t Progress() const { return progress_; }

    // ---- Events ----
    TNotifyEvent OnChange;
    TNotifyEvent OnStyleChange;
    TNotifyEvent OnSelMove;
    TNotifyEvent OnProgress;
    TParseEvent OnParse;
    TContextEvent OnContext;
    TpmBeforeChangeEvent OnBeforeChange;

    // ================================================================
    // The window side: geometry, painting, caret, scrolling, keyboard,
    // mouse, attached components.  Everything here works without a window
    // as far as it can (a measuring context stands in for the canvas);
    // what needs one (caret, scroll bars, repainting) waits for it.

    // ---- Geometry ----
    // Pixels per display line, fixed through SetLineHeight or worked out
    // from the font.
    int32_t LineHeight() const { return lineHeight_; }
    // A value of 1 or more fixes the line height, 0 or less makes it
    // automatic; either way the font is measured again.
    void SetLineHeight(int32_t value);
    int32_t Baseline() const { return baseline_; }
    int32_t VisibleLineCount() const { return visibleLines_; }
    int32_t OutputChunk() const { return outputChunk_; }
    // Pixel x (client coordinates) of a position of a display line; the
    // paragraph record is looked up by index when not given.
    virtual int32_t OffsetToX(TParagraph* paragraph, int32_t index, int32_t lineInPar, int32_t offsetInLine);
    // The offset within the display line nearest to pixel x.
    virtual int32_t XToOffset(TParagraph* paragraph, int32_t index, bool exactColumn, int32_t x,
                              int32_t lineInPar);
    // Pixel y of a display line counted from the top line, and back.
    virtual int32_t LineToY(int32_t line) const;
    virtual int32_t YToLine(int32_t y) const;
    // OffsetToX for a navigator's position.
    int32_t NavigatorX(TCodeNavigator& navigator);

    // ---- Scrolling ----
    int32_t TopLine();
    void SetTopLine(int32_t line);
    int32_t TopPixel() const { return topPixel_; }
    int32_t LeftPixel() const { return leftPixel_; }
    void SetTopPixel(int32_t y) { ScrollTo(leftPixel_, y); }
    void SetLeftPixel(int32_t x) { ScrollTo(x, topPixel_); }
    void ScrollTo(int32_t x, int32_t y);
    // Scrolls so that the caret is in view (after edits and keyboard moves).
    void ScrollInView();
    int32_t VScrollUnit() const { return vUnit_; }
    void UpdateVScrollBar();
    void UpdateHScrollBar();
    int32_t WheelAccumulator() const { return wheelAccumulator_; }

    // ---- Caret ----
    // Places the caret at the caret navigator (re-making it when asked) and
    // reports caret moves and style changes.
    void CaretUpdate(bool recreate = false);
    int32_t CaretX() const { return caretX_; }
    int32_t CaretY() const { return caretY_; }
    // The caret's width now: CaretWidth, automatic, or a character wide in
    // overwrite mode.
    int32_t CurrentCaretWidth();

    // ---- Appearance with visual effects ----
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    TScrollStyle ScrollBars() const;
    void SetScrollBars(TScrollStyle value);
    void SetHideSelection(bool value);
    void SetSelBackColor(TColor value);
    void SetSelTextColor(TColor value);
    void SetHighlightColor(TColor value);
    void SetHighlightBackgnd(TColor value);
    void SetCaretWidth(int32_t value);
    void SetDisplayOnly(bool value);
    void SetOverwrite(bool value);
    void SetJustified(bool value);
    // A picture tiled behind the text; changing it repaints.
    TBitmap& BackgroundBmp() { return backgroundBmp_; }

    // ---- Painting ----
    // Paints display line `line` with its top-left corner at point.
    void DrawLineOnCanvas(TCanvas& canvas, int32_t line, TPoint point);
    void DrawLinesOnCanvas(TCanvas& canvas, const TPaintRange& range);
    // Repaints the display lines first..last that are in view.
    void InvalidateLines(int32_t first, int32_t last);
    // Repaints the lines whose selection look changed since it was shown.
    void SelectionChanged();

    // ---- Attached components ----
    // Attached components get every message the memo receives, as
    // Notification(memo, kMemoMessage) with the message in CurrentMessage().
    void AttachComponent(TComponent* component);
    void DetachComponent(TComponent* component);
    int AttachedCount() const;
    const TMessage& CurrentMessage() const { return currentMessage_; }

    // ---- Popup menu ----
    // The built-in menu (Undo, Redo, Cut, Copy, Paste, Select all), made on
    // first need.
    TPopupMenu* DefaultPopup() const { return defaultPopup_.get(); }
    void CreateDefaultPopup();

    // After the form has been read: a fresh undo list, and the streamed key
    // lists put to work.
    void Loaded() override;

    // ---- Mouse state ----
    bool Dragging() const { return dragging_; }
    int32_t MarginLine() const { return marginLine_; }
    int AutoScrollDirection() const { return autoScrollDirection_; }
    // The timer that paces auto-scrolling.
    static constexpr uintptr_t kAutoScrollTimer = 0x4D53;

    TNotifyEvent OnHScroll;
    TNotifyEvent OnVScroll;
    TMouseEvent OnAfterMouseDown;

protected:
    void WndProc(TMessage& message) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyUp(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void Dispatch(TMessage& message) override;
    // Schedules pending formatting: at once with umImmediate, else through
    // the posted background message.
    void scheduleFormatting();
    // Runs once per outermost edit after the display has been updated.
    virtual void Change();
    // Brings formatting up to date after edits; runs when the update count
    // returns to 0.
    virtual void UpdateAfterEdit();

private:
    friend class TCodeNavigator;
    friend class TCodeMemoTestAccess;

    struct TEditPlan;
    struct TSurgeryResult;

    // Store
    void newEmptyText();
    void registerNavigator(TCodeNavigator* navigator);
    void unregisterNavigator(TCodeNavigator* navigator);
    void resetAllNavigators();
    void swapInText(TParagraphsList&& paragraphs, int32_t textLength);
    // Saves the text and loads it again, so that loading's rules (style
    // codes, trailing blanks) apply anew; Modified stays as it was.
    void reloadText();

    // Editing
    // Deletes the column block's characters, line by line, as one undo
    // step; true when that step was recorded (a block with no characters
    // in it records nothing).
    bool deleteBlock();
    void recordUndo(const TEditPlan& plan);
    TSurgeryResult replaceRange(const TEditPlan& plan);
    void moveNavigators(const TEditPlan& plan, const TSurgeryResult& result);
    void fixContextsAtEditPoint(const TEditPlan& plan, const TSurgeryResult& result, int32_t& parseFrom,
                                int32_t& parseTo, bool& skipParse);
    void cleanUpStyleCodes(int32_t firstParagraph, int32_t lastParagraph, int32_t& caret);
    // The undo limits drop whole steps (an entry with the entries grouped
    // behind it), never part of one, so that undoing never reaches a text
    // that did not exist.  They are applied when an action is whole.
    void trimUndo();
    void eraseUndoEntries(size_t from, size_t to);
    void dropRedoStepsBeyond(size_t index);
    void dropOldestUndoSteps(int32_t steps);
    // Held while an action records its undo entries (an edit with its
    // clean-up, a column block, a drag-move): the limits wait until the
    // outermost one ends, when the action's grouping is complete.
    class TUndoAction {
    public:
        explicit TUndoAction(TCodeMemo& memo) : memo_(memo) { ++memo_.undoActionDepth_; }
        ~TUndoAction() {
            if (--memo_.undoActionDepth_ == 0 && !memo_.replaying_)
                memo_.trimUndo();
        }
        TUndoAction(const TUndoAction&) = delete;
        TUndoAction& operator=(const TUndoAction&) = delete;

    private:
        TCodeMemo& memo_;
    };
    void selectRange(int32_t from, int32_t to);
    // Replaces the selection as one more step of an edit under way: with
    // withPrevious, the step undoes together with the one before it.
    void replaceSelectionGrouped(std::string_view text, bool withPrevious);
    // Marks undo entry `entry`, when this edit added it, to undo together
    // with the one before it.
    void groupWithPrevious(int32_t entry);
    // The caret at caret, the selection's other end length characters away
    // (clamped to the text); the caret is the lower end for a positive length.
    void selectFromCaret(int32_t caret, int32_t length);

    // Formatting
    int32_t formatOne(int32_t index, bool force);
    uint8_t endStyle(int32_t index) const;
    // Style bits of the memo's own font (bold, italic, underline, strike-out).
    uint8_t fontStyleBits() const { return static_cast<uint8_t>(Font().Style() & 0x0F); }
    // Paragraphs first..last have just been formatted: a static style that
    // now ends one differently carries into the paragraphs behind it (into
    // unformatted ones too only when asked), navigators in all of them
    // forget their display line, and the display hears of them.
    void formattingDone(int32_t first, int32_t last, bool carryIntoUnformatted);
    void updateWidest(int32_t paragraph, int32_t width);
    void reportProgress(int32_t index, bool force);

    TParagraphsList paragraphs_;
    int32_t textLength_ = 0;
    int32_t lineCount_ = 1;
    int32_t maxTextLength_ = kMaxTextLength;
    int32_t widestWidth_ = 0;
    int32_t widestParagraph_ = -1;

    std::vector<TCodeNavigator*> navigators_;
    std::unique_ptr<TCodeNavigator> topLine_;
    std::unique_ptr<TCodeNavigator> selStart_;
    std::unique_ptr<TCodeNavigator> selEnd_;
    std::unique_ptr<TCodeNavigator> work1_;
    std::unique_ptr<TCodeNavigator> work2_;
    std::unique_ptr<TCodeParaStrings> paragraphsView_;
    std::unique_ptr<TCodeLinesStrings> linesView_;
    bool caretAtEnd_ = false;
    int32_t selLength_ = 0;
    int32_t virtualColumns_ = 0;
    int32_t rememberedColumn_ = INT32_MIN;
    bool blockMode_ = false;
    int32_t blockColumn1_ = 0;
    int32_t blockColumn2_ = 0;

    // Edit bookkeeping
    int32_t updateCount_ = 0;
    int32_t firstChangedPar_ = 0;
    int32_t lastChangedPar_ = -1;
    int32_t firstChangedLine_ = 0;
    bool internalEdit_ = false;
    bool replaying_ = false;
    bool undoing_ = false;
    bool breakGrouping_ = true;

    // Undo
    std::vector<TUndoEntry> undoList_;
    int32_t undoPosition_ = 0;
    int64_t undoTotal_ = 0;
    int32_t undoMaxLevel_ = 256;
    int32_t undoActionDepth_ = 0;
    int32_t undoMaxSpace_ = 65536;

    // Highlighting bookkeeping
    int32_t highlightFirst_ = 0;
    int32_t highlightLast_ = -1;
    int32_t validHighlight_ = -1;

    // Upper-case cache
    std::string upperBuffer_;
    int32_t upperIndex_ = -1;
    int32_t upperStart_ = 0;
    TpmUpperCase upperRule_ = pmuAscii;
    uint64_t upperGeneration_ = 0;

    // Formatting
    // The measure and width lines are laid out for: the output canvas's
    // while drawing on one, the window's otherwise.
    const TCodeMeasure* activeMeasure() const { return outputMeasure_ != nullptr ? outputMeasure_ : measure_; }
    int32_t activeWidth() const { return outputMeasure_ != nullptr ? outputWidth_ : clientWidth_; }
    const TCodeMeasure* measure_ = nullptr;
    int32_t clientWidth_ = 0;
    const TCodeMeasure* outputMeasure_ = nullptr;
    int32_t outputWidth_ = 0;
    TFont altFont_;
    TPen endOfTextMark_;
    TPen specUnderline_;
    std::unique_ptr<TFontMeasure> fontMeasure_;
    std::vector<TLineRecord> scratchLines_;
    int32_t formatNext_ = 0;   // pending formatting: next paragraph to format
    int32_t formatLast_ = -1;  // ... and the last one that needs it (-1 = none)
    int32_t progress_ = -1;
    bool backgroundPosted_ = false;
    uint64_t lastProgressTick_ = 0;

    // Properties
    bool staticFormat_ = true;
    TCodeMemoOptions options_{pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret, pmoAutoScrollBars};
    bool wordWrap_ = true;
    TCodeAlignment alignment_ = taLeftJustify;
    int32_t leftMargin_ = 8;
    int32_t rightMargin_ = 8;
    int32_t tabStops_ = 8;
    TpmUpperCase upperCaseType_ = pmuAscii;
    TByteSet separators_;
    TUpdateMode updateMode_ = umBackground;

    // ---- Highlighting (HighlightEngine.cpp) ----
    void parseParagraph(int32_t index);
    bool findStop(int32_t index, int32_t position, int32_t& limit);
    bool findStart(int32_t index, int32_t position, int32_t& limit);
    // FindStartKey and FindStopKey: the search between two navigators in
    // the first one's paragraph.
    bool findKeyBetween(bool stopKey, TCodeNavigator& position, TCodeNavigator& limit);
    // Asks the highlighter's start or stop hook about position .. hookLimit;
    // on success limit stands after what it found.
    bool callHook(bool startHook, int32_t index, int32_t position, int32_t hookLimit, int32_t& limit);
    void handOn(int32_t index);
    void scheduleParagraph(int32_t index);
    void detachHighlighter();
    std::unique_ptr<TKeywordList> keywords_ = std::make_unique<TKeywordList>();
    std::unique_ptr<TStartStopKeyList> startStopKeys_ = std::make_unique<TStartStopKeyList>();
    TCodeHighlighter* highlighter_ = nullptr;
    // Positions handed to the highlighter's hooks while parsing, and the two
    // ends of a keyword being put in force.
    std::unique_ptr<TCodeNavigator> parse1_ = std::make_unique<TCodeNavigator>(this);
    std::unique_ptr<TCodeNavigator> parse2_ = std::make_unique<TCodeNavigator>(this);
    std::unique_ptr<TCodeNavigator> context1_ = std::make_unique<TCodeNavigator>(this);
    std::unique_ptr<TCodeNavigator> context2_ = std::make_unique<TCodeNavigator>(this);

    // ---- Window side ----
    friend struct TMemoLinePainter;
    struct TShownSelection {
        int32_t Start = 0;
        int32_t End = 0;
        bool Block = false;
        int32_t Column1 = 0;
        int32_t Column2 = 0;
        bool Visible = false;
        bool operator==(const TShownSelection&) const = default;
    };
    // Set-up and tear-down of the window side (CodeMemoView.cpp)
    void initWindowSide();
    void finishWindowSide();
    // Geometry and painting (CodeMemoPixels.cpp, CodeMemoPaint.cpp)
    struct TPixelLine;
    TPixelLine pixelLine(TParagraph* paragraph, int32_t index, int32_t lineInPar) const;
    void measureFont();
    // VisibleLineCount anew: the display lines the client area holds, a
    // partly shown one included.
    void countVisibleLines();
    void paintWindow(TMessage& message);
    void paintLines(TCanvas& canvas, int32_t first, int32_t last, const TRect& paintRect, bool onOutput,
                    int32_t outputX, int32_t outputY, float spacing);
    bool selectionShowing() const;
    TShownSelection currentSelection() const;
    void invalidateSelection(const TShownSelection& selection);
    void invalidateOffsets(int32_t from, int32_t to);
    void formatUpTo(int32_t paragraph);
    int32_t lineOfOffset(int32_t offset);
    // The visual column (in blanks from the left margin) at the caret's
    // pixel, and how many blanks fill the pixels from fromX to toX (none
    // when toX is not right of fromX).
    int32_t caretColumn() const;
    int32_t blankColumns(int32_t fromX, int32_t toX) const;
    // The caret's visual column counted in the text (tabs to their stops,
    // style codes as the static format counts them) plus its virtual
    // columns: the column a block starts at without a window to measure in.
    int32_t caretTextColumn();
    // View bookkeeping after edits, formatting and loading (CodeMemoView.cpp)
    void displayAfterEdit(int32_t firstLine, int32_t lastParagraph);
    void displayAfterFormat(int32_t firstParagraph, int32_t lastParagraph);
    void displayAfterLoad();
    void displayAfterReformat();
    void displayAfterAppearance();
    void displayAfterOptions(TCodeMemoOptions before);
    // After the text or its line breaks changed from display line firstLine
    // on: every line from there down is repainted and the vertical bar
    // follows when the line count changed (or toEnd asks for it); else the
    // lines through lastLine.
    void repaintChangedLines(int32_t firstLine, int32_t lastLine, bool toEnd);
    // The last display line of a paragraph (the index clamped to the text).
    int32_t lastLineOfParagraph(int32_t index) const;
    void keepTopLineInRange();
    // Recomputes both scroll bars and puts their thumbs at the start (the
    // view has just gone back to the text's top left).
    void scrollBarsToStart();
    void formatView();
    void recomputeWidest();
    void viewSync();
    void syncTopLineFromPixels();
    void syncPixelsFromTopLine();
    // The scroll bars' thumb positions for the view's offsets.
    int32_t vScrollPos() const;
    int32_t hScrollPos() const;
    // Puts the window's caret at the caret's pixels.
    void placeCaret();
    void clientSizeChanged();
    // Whether the user may change the text: the memo is neither ReadOnly
    // nor DisplayOnly.
    bool userMayEdit() const { return !ReadOnly && !DisplayOnly; }
    // Messages (CodeMemoMessages.cpp)
    bool handleWindowMessage(TMessage& message);
    void vScroll(int request, int position);
    void hScroll(int request, int position);
    void mouseWheel(int delta);
    void focusChanged(bool gained);
    void notifyAttached();
    // Keyboard (CodeMemoKeys.cpp)
    // A scrolling key of a DisplayOnly memo moves the view; false for any
    // other key.
    bool keyDownDisplayOnly(uint16_t key, TShiftState shift);
    bool hotKey(uint16_t key, TShiftState shift);
    void moveVertically(TCodeNavigator& navigator, int32_t line, TShiftState shift);
    void stepBack(TCodeNavigator& navigator);
    void stepForward(TCodeNavigator& navigator);
    // Words end at separators and line breaks: back to the start of the
    // word before the position, on to the word's end, and on over the
    // separators up to the line's end.
    bool isWordBoundary(char c) const;
    void toWordStart(TCodeNavigator& navigator);
    void toWordEnd(TCodeNavigator& navigator);
    void overSeparatorsInLine(TCodeNavigator& navigator);
    void wordLeft(TCodeNavigator& navigator);
    void wordRight(TCodeNavigator& navigator);
    void selectionUpdate(TCodeNavigator& navigator, TShiftState shift);
    void deleteKey(TShiftState shift);
    void backspaceKey(TShiftState shift);
    void enterKey();
    int32_t leadingBlanks(int32_t line);
    void extendSelectionTo(int32_t offset);
    // An empty selection at the navigator's position (and display line).
    void collapseSelectionTo(const TCodeNavigator& navigator);
    // Shows the selection after the caret moved, a column block's far
    // column following the caret.
    void selectionMoved();
    // Mouse (CodeMemoMouse.cpp)
    bool trackPointerAt(int x, int y);
    void hover(int x, int y);
    void selectWord(bool extendForward);
    // Where the display line of a navigator ends, its paragraph's break
    // included: what a click in the left margin selects.
    int32_t displayLineEnd(TCodeNavigator& navigator);
    void autoScrollStep();
    void setAutoScroll(int direction, int speed);
    void finishDrag(TShiftState shift);
    bool contextClick(TMouseButton button);
    void saveCursor();
    void restoreCursor();
    // While text is dragged: the cursor of a move or a copy, and whether
    // the pointer is over the window, where a drop would land.
    void showDragCursor(bool copy);
    bool pointerOverDrop() const;
    bool setCursorMessage(TMessage& message);
    // Shows the cursor shape for the pointer now, as a pointer move would
    // (the margin's arrow, or the control's cursor).
    void updateCursorShape();
    void showDefaultPopup(int x, int y);
    void popupAboutToShow();
    void placeInLine(TCodeNavigator& navigator, int32_t column);

    // measurements
    int32_t lineHeight_ = 12;
    int32_t baseline_ = 10;
    int32_t underlineRow_ = 11;
    int32_t outputChunk_ = 1024;
    int32_t visibleLines_ = 1;
    int32_t caretCharWidth_ = 0; // the character OffsetToX measured last, for the wide overwrite caret
    bool fontNoticeKeepsFormat_ = false;
    int32_t knownClientWidth_ = -1;
    // scrolling
    int32_t topPixel_ = 0;
    int32_t leftPixel_ = 0;
    int32_t vUnit_ = 1;
    int32_t hUnit_ = 1;
    int32_t wheelAccumulator_ = 0;
    bool vScrollBar_ = true;
    bool hScrollBar_ = false;
    bool scrollBarUpdating_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    // caret
    int32_t caretX_ = 0;
    int32_t caretY_ = 0;
    int32_t lastCaretOffset_ = -1;
    uint8_t lastCaretStyle_ = 0;
    bool caretStyleKnown_ = false;
    // painting
    bool paintSuppressed_ = false;
    bool paintPending_ = false;
    bool inPaint_ = false;
    bool viewSyncPosted_ = false;
    int32_t displayedLineCount_ = 1;
    TShownSelection shownSelection_;
    TBitmap backgroundBmp_;
    TCanvas* outputCanvas_ = nullptr;
    // keyboard
    bool keyReleased_ = true;
    // mouse
    std::unique_ptr<TCodeNavigator> mouseNav_;
    std::unique_ptr<TCodeNavigator> work3_;
    std::unique_ptr<TCodeNavigator> keyNav_;
    std::unique_ptr<TCodeNavigator> work4_;
    int32_t pressOffset_ = 0;
    bool selecting_ = false;
    bool wordSelect_ = false;
    int32_t marginLine_ = -1;
    bool overSelection_ = false;
    bool contextCursor_ = false;
    bool cursorSaved_ = false;
    int savedCursor_ = 0;
    bool dragging_ = false;
    bool pointerOutside_ = false;
    int autoScrollDirection_ = 0;
    int autoScrollSpeed_ = 0;
    bool contextMenuTaken_ = false;
    static TPoint lastPointer_;
    // attached components
    std::vector<TComponent*> attached_;
    TMessage currentMessage_;
    std::unique_ptr<TPopupMenu> defaultPopup_;
};
