#pragma once
// TCodeMemo: the source editor control.
//
// The memo shows a TCodeDocument (the paragraphs, navigators, edit
// primitive, undo, layout and highlighting) and edits it through a
// TTextSelection.  Its window side is split into collaborators that own
// their state: the view (top line, scrolling, caret, pixels, keeping the
// window up to date), the painter, the keyboard and the mouse.  Until the
// control has a widget a measuring context stands in for its canvas, so
// that formatting and line breaking run without a window.

#include "editor/CodeMemoTypes.h"
#include "editor/MemoMessages.h"
#include "editor/model/CodeDocument.h"
#include "editor/model/CodeStrings.h"
#include "editor/model/TextSelection.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/PenBrush.h"
#include "platform/ui/Control.h"
#include "platform/ui/PopupMenu.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TCodeHighlighter;
class TMemoKeyboard;
class TMemoMouse;
class TMemoPainter;
class TMemoView;
class TStream;
class TTextMeasurer;

class TCodeMemo : public TCustomControl, public TDocumentFields, public TDocumentHolder {
public:
    explicit TCodeMemo(TComponent* owner = nullptr);
    ~TCodeMemo() override;

    std::string ClassName() const override { return "TCodeMemo"; }
    static const char* Version() { return kCodeMemoVersion; }
    TCodeDocument& Document() override { return *document_; }
    const TCodeDocument& Document() const { return *document_; }
    TTextSelection& Selection() { return *selection_; }
    const TTextSelection& Selection() const { return *selection_; }

    // ---- Text ----
    int32_t TextLength() const { return document_->TextLength(); }
    int32_t LineCount() const { return document_->LineCount(); }  // display lines
    int32_t ParagraphCount() const { return document_->ParagraphCount(); }
    TParagraph* Paragraph(int32_t index) const { return document_->Paragraph(index); }
    int32_t ParagraphStart(int32_t index) const { return document_->ParagraphStart(index); }
    int32_t ParagraphFirstLine(int32_t index) const { return document_->ParagraphFirstLine(index); }
    std::string GetTextRange(int32_t from, int32_t to) const { return document_->GetTextRange(from, to); }
    std::string ParagraphText(int32_t index) const { return document_->ParagraphText(index); }
    std::string DisplayLineText(int32_t line) const { return document_->DisplayLineText(line); }
    char CharAt(int32_t offset) const { return document_->CharAt(offset); }
    std::string Text() const { return document_->Text(); }
    int32_t WidestLineWidth() const { return document_->Layout().WidestLineWidth(); }
    TCodeParaStrings& Paragraphs() { return *paragraphsView_; }
    TCodeLinesStrings& Lines() { return *linesView_; }
    void SetLines(const TStrings& lines) { linesView_->Assign(&lines); }
    void SetTextBuf(std::string_view text) { document_->SetTextBuf(text); }
    void Clear() { SetTextBuf({}); }
    void CheckConsistency() const { document_->CheckConsistency(); }
    int32_t MaxTextLength() const { return document_->MaxTextLength(); }
    void SetMaxTextLength(int32_t value) { document_->SetMaxTextLength(value); }

    // ---- Selection and caret ----
    int32_t SelStart() const { return selection_->SelStart(); }
    void SetSelStart(int32_t value) { selection_->SetSelStart(value); }
    int32_t SelLength() const { return selection_->SelLength(); }
    void SetSelLength(int32_t value) { selection_->SetSelLength(value); }
    std::string SelText() const { return selection_->SelText(); }
    void SetSelText(std::string_view text) { selection_->SetSelText(text); }
    void SelectAll() { selection_->SelectAll(); }
    int32_t SelLine() { return selection_->SelLine(); }
    void SetSelLine(int32_t line) { selection_->SetSelLine(line); }
    int32_t SelCol() { return selection_->SelCol(); }
    void SetSelCol(int32_t column) { selection_->SetSelCol(column); }
    int32_t SelCharacterColumn() { return selection_->SelCharacterColumn(); }
    int32_t SelPar() { return selection_->SelPar(); }
    void SetSelPar(int32_t paragraph) { selection_->SetSelPar(paragraph); }
    std::string CurrentWord() { return selection_->CurrentWord(); }
    int32_t GetSelTextBuf(char* buffer, int32_t size) const { return selection_->GetSelTextBuf(buffer, size); }
    void ClearSelection() { SetSelText({}); }
    TCodeNavigator& SelStartNavigator() { return selection_->StartNavigator(); }
    TCodeNavigator& SelEndNavigator() { return selection_->EndNavigator(); }
    TCodeNavigator& CaretNavigator() { return selection_->CaretNavigator(); }
    int32_t VirtualColumns() const { return selection_->VirtualColumns(); }
    void SetVirtualColumns(int32_t columns) { selection_->SetVirtualColumns(columns); }
    bool BlockMode() const { return selection_->BlockMode(); }
    int32_t BlockColumn1() const { return selection_->BlockColumn1(); }
    int32_t BlockColumn2() const { return selection_->BlockColumn2(); }
    void SetBlock(int32_t column1, int32_t column2) { selection_->SetBlock(column1, column2); }
    std::string BlockText() const { return selection_->BlockText(); }

    // ---- Editing, undo and updates ----
    // The one editing primitive: replaces the selection with text (an empty
    // text deletes it).  NUL bytes are ordinary characters.
    void SetSelTextBuf(std::string_view text) { selection_->SetSelTextBuf(text); }
    void Undo() { selection_->Undo(); }
    void Redo() { selection_->Redo(); }
    bool CanUndo() const { return document_->UndoHistory().CanUndo(); }
    bool CanRedo() const { return document_->UndoHistory().CanRedo(); }
    void ClearUndo() { document_->UndoHistory().Clear(); }
    int32_t UndoMaxLevel() const { return document_->UndoHistory().MaxLevel(); }
    void SetUndoMaxLevel(int32_t value) { document_->UndoHistory().SetMaxLevel(value); }
    int32_t UndoMaxSpace() const { return document_->UndoHistory().MaxSpace(); }
    void SetUndoMaxSpace(int32_t value) { document_->UndoHistory().SetMaxSpace(value); }
    void GroupLastUndo() { document_->UndoHistory().GroupLast(); }
    void BreakUndoGroup() { document_->UndoHistory().BreakGrouping(); }
    void BeginUpdate() { document_->BeginUpdate(); }
    void EndUpdate() { document_->EndUpdate(); }
    int32_t UpdateCount() const { return document_->UpdateCount(); }

    // ---- Loading, saving, searching ----
    void LoadFromStream(TStream& stream) { document_->LoadFromStream(stream); }
    void SaveToStream(TStream& stream) { document_->SaveToStream(stream); }
    void SaveFormatted(TStream& stream) { document_->SaveFormatted(stream); }
    void LoadFormatted(TStream& stream, bool reformat) { document_->LoadFormatted(stream, reformat); }
    bool FindTxt(std::string_view text, bool forward, bool fromBoundary, bool wholeWord, bool matchCase) {
        return selection_->FindTxt(text, forward, fromBoundary, wholeWord, matchCase);
    }

    // ---- Clipboard and style codes ----
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Pastes a column block at the caret's visual column (its pixel column
    // on screen).
    void PasteBlock(std::string_view text);
    // The clipboard format that marks text as a column block.
    static unsigned BlockClipboardFormat();
    void ToggleStyle(char code) { selection_->ToggleStyle(code); }
    void ToggleBold() { ToggleStyle(kCodeBold); }
    void ToggleItalic() { ToggleStyle(kCodeItalic); }
    void ToggleUnderline() { ToggleStyle(kCodeUnderline); }
    void ToggleHighlight() { ToggleStyle(kCodeHighlight); }
    void ToggleAltFont() { ToggleStyle(kCodeAltFont); }

    // ---- Formatting ----
    // Measures through a platform measurer (the memo's fonts) at a client
    // width while the control has no window; nullptr gives every paragraph
    // one display line.
    void SetMeasuringContext(TTextMeasurer* measurer, int32_t clientWidth);
    // Formats every paragraph for another canvas and width (a printer's);
    // nullptr goes back to the screen.
    void FormatOnCanvas(TCanvas* canvas, int32_t width);
    void FormatPending() { document_->Layout().FormatPending(); }
    void ReformatAll() { document_->Layout().ReformatAll(); }
    int32_t AverageCharWidth() const { return document_->Layout().AverageCharWidth(); }
    bool BackgroundPending() const { return document_->Layout().BackgroundPending(); }
    // The width text is measured for: the window's client width, or the
    // measuring context's before the window exists.
    int ClientWidth() const override { return document_->Layout().ClientWidth(); }
    TFont& AltFont() { return altFont_; }
    int32_t Progress() const { return document_->Progress(); }

    // ---- Highlighting ----
    TKeywordList& Keywords() { return document_->Highlighting().Keywords(); }
    TStartStopKeyList& StartStopKeys() { return document_->Highlighting().StartStopKeys(); }
    TCodeHighlighter* Highlighter() const { return document_->Highlighting().Highlighter(); }
    void SetHighlighter(TCodeHighlighter* highlighter) { document_->Highlighting().SetHighlighter(highlighter); }
    void ReApplyKeywords() { document_->ReApplyKeywords(); }
    // Brings start/stop parsing up to paragraph index.
    void ParseUpTo(int32_t index) { document_->ParseUpTo(index); }

    // ---- Properties ----
    bool StaticFormat() const { return document_->StaticFormat(); }
    void SetStaticFormat(bool value);
    TCodeMemoOptions Options() const { return document_->Options(); }
    void SetOptions(TCodeMemoOptions options);
    bool WordWrap() const { return document_->Layout().WordWrap(); }
    void SetWordWrap(bool value);
    TCodeAlignment Alignment() const { return document_->Layout().Alignment(); }
    void SetAlignment(TCodeAlignment value);
    int32_t LeftMargin() const { return document_->Layout().LeftMargin(); }
    void SetLeftMargin(int32_t value) { document_->Layout().SetLeftMargin(value); }
    int32_t RightMargin() const { return document_->Layout().RightMargin(); }
    void SetRightMargin(int32_t value) { document_->Layout().SetRightMargin(value); }
    int32_t TabStops() const { return document_->Layout().TabStops(); }
    void SetTabStops(int32_t value) { document_->Layout().SetTabStops(value); }
    TpmUpperCase UpperCaseType() const { return document_->UpperCaseType(); }
    void SetUpperCaseType(TpmUpperCase value) { document_->SetUpperCaseType(value); }
    std::string Separators() const { return document_->Separators(); }
    void SetSeparators(std::string_view characters) { document_->SetSeparators(characters); }
    bool IsSeparator(unsigned char c) const { return document_->IsSeparator(c); }
    // The document's encoding; switching it changes no byte, keeps the
    // selection on whole characters and shows the text anew.
    TTextEncoding Encoding() const { return document_->Encoding(); }
    void SetEncoding(TTextEncoding encoding);
    TUpdateMode UpdateMode() const { return document_->Layout().UpdateMode(); }
    void SetUpdateMode(TUpdateMode value) { document_->Layout().SetUpdateMode(value); }
    bool ReadOnly = false;
    bool DisplayOnly = false;
    bool WantTabs = true;
    bool PassOverCodes = true;
    bool EnableHotKeys = true;
    bool ShowEndParSelected = true;
    bool Justified = false;
    int32_t MouseWheelFactor = 3;
    TColor HighlightColor = clRed;
    // The background of bytes that are not UTF-8 in a UTF-8 document.
    TColor InvalidByteColor = 0x00B4B4FF;
    TColor HighlightBackgnd = clWindow;
    TColor SelBackColor = clHighlight;
    TColor SelTextColor = clHighlightText;
    bool HideSelection = true;
    bool Overwrite = false;
    int32_t CaretWidth = 1;       // pixels; 0 = line height div 14 + 1
    int32_t FixedLineHeight = 0;  // pixels; 0 or less = from the font
    TPen& EndOfTextMark() { return endOfTextMark_; }
    TPen& SpecUnderline() { return specUnderline_; }
    // A picture tiled behind the text; changing it repaints.
    TPicture& BackgroundBmp() { return backgroundBmp_; }
    // The picture as the painter tiles it: its pixels over the memo's
    // colour where it is transparent (empty without a picture).
    const TBitmap& BackgroundTile() const { return backgroundTile_; }
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

    // ---- Events ----
    TNotifyEvent OnChange;
    TNotifyEvent OnStyleChange;
    TNotifyEvent OnSelMove;
    TNotifyEvent OnProgress;
    TParseEvent OnParse;
    TContextEvent OnContext;
    TpmBeforeChangeEvent OnBeforeChange;
    TNotifyEvent OnHScroll;
    TNotifyEvent OnVScroll;
    TMouseEvent OnAfterMouseDown;

    // ---- Geometry, scrolling and the caret ----
    int32_t LineHeight() const;
    // A value of 1 or more fixes the line height, 0 or less makes it
    // automatic; either way the font is measured again.
    void SetLineHeight(int32_t value);
    int32_t Baseline() const;
    int32_t VisibleLineCount() const;
    int32_t OutputChunk() const;
    int32_t OffsetToX(TParagraph* paragraph, int32_t index, int32_t lineInPar, int32_t offsetInLine);
    int32_t XToOffset(TParagraph* paragraph, int32_t index, bool exactColumn, int32_t x, int32_t lineInPar);
    int32_t LineToY(int32_t line) const;
    int32_t YToLine(int32_t y) const;
    int32_t NavigatorX(TCodeNavigator& navigator);
    int32_t TopLine();
    void SetTopLine(int32_t line);
    int32_t TopPixel() const;
    int32_t LeftPixel() const;
    void SetTopPixel(int32_t y) { ScrollTo(LeftPixel(), y); }
    void SetLeftPixel(int32_t x) { ScrollTo(x, TopPixel()); }
    void ScrollTo(int32_t x, int32_t y);
    void ScrollInView();
    int32_t VScrollUnit() const;
    void UpdateVScrollBar();
    void UpdateHScrollBar();
    int32_t WheelAccumulator() const;
    void CaretUpdate(bool recreate = false);
    int32_t CaretX() const;
    int32_t CaretY() const;
    int32_t CurrentCaretWidth();

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

    // ---- Mouse state and the popup menu ----
    bool Dragging() const;
    int32_t MarginLine() const;
    int AutoScrollDirection() const;
    TCodeNavigator& MouseNavigator();
    static constexpr uintptr_t kAutoScrollTimer = 0x4D53;
    TPopupMenu* DefaultPopup() const;
    void CreateDefaultPopup();

    // After the form has been read: a fresh undo list, and the streamed key
    // lists put to work.
    void Loaded() override;
    // One slice of background formatting (the handler of message 0x401);
    // a non-zero WParam posts the next slice while work remains.
    virtual void BackgroundFormat(TMessage& message);

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
    // Runs once per outermost edit after the display has been updated:
    // attached components hear of it, then OnChange.
    virtual void Change();

private:
    friend class TMemoView;
    friend class TMemoKeyboard;
    friend class TMemoMouse;

    // The inherited handlers, which the keyboard and the mouse run where
    // the memo's order wants them.
    void inheritedKeyDown(uint16_t& key, TShiftState shift) { TCustomControl::KeyDown(key, shift); }
    void inheritedKeyUp(uint16_t& key, TShiftState shift) { TCustomControl::KeyUp(key, shift); }
    void inheritedKeyPress(char& key) { TCustomControl::KeyPress(key); }
    void inheritedMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
        TCustomControl::MouseDown(button, shift, x, y);
    }
    void inheritedMouseMove(TShiftState shift, int x, int y) { TCustomControl::MouseMove(shift, x, y); }
    void inheritedMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
        TCustomControl::MouseUp(button, shift, x, y);
    }
    void inheritedDblClick() { TCustomControl::DblClick(); }
    TMemoMouse& Mouse() { return *mouse_; }
    void SetCurrentMessage(const TMessage& message) { currentMessage_ = message; }
    // Whether the user may change the text: neither ReadOnly nor DisplayOnly.
    bool UserMayEdit() const { return !ReadOnly && !DisplayOnly; }
    // The memo's own messages; false hands a message to the inherited handling.
    bool handleMessage(TMessage& message);
    void notifyAttached();

    std::unique_ptr<TCodeDocument> document_;
    std::unique_ptr<TTextSelection> selection_;
    std::unique_ptr<TCodeParaStrings> paragraphsView_;
    std::unique_ptr<TCodeLinesStrings> linesView_;
    std::unique_ptr<TMemoView> view_;
    std::unique_ptr<TMemoPainter> painter_;
    std::unique_ptr<TMemoKeyboard> keyboard_;
    std::unique_ptr<TMemoMouse> mouse_;
    TFont altFont_;
    TPen endOfTextMark_;
    TPen specUnderline_;
    TPicture backgroundBmp_;
    TBitmap backgroundTile_;
    void renderBackgroundTile();
    TBorderStyle borderStyle_ = bsSingle;
    std::vector<TComponent*> attached_;
    TMessage currentMessage_;
};
