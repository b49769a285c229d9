// TCodeMemo: construction, the properties whose setters reach beyond the
// document, and the window side's public operations, which its
// collaborators carry out.

#include "editor/CodeMemo.h"

#include "editor/FontMeasure.h"
#include "editor/MemoKeyboard.h"
#include "editor/MemoMouse.h"
#include "editor/MemoPainter.h"
#include "editor/MemoView.h"
#include "editor/model/ScopeGuards.h"

#include "platform/ui/TickSource.h"

#include <algorithm>

TCodeMemo::TCodeMemo(TComponent* owner) : TCustomControl(owner) {
    document_ = std::make_unique<TCodeDocument>(this);
    // The platform's clock paces background slices, so tests drive them
    // with a manual one.
    document_->SetClock(GetTickCount64);
    document_->OnBeforeChange = [this](std::string& text) {
        if (OnBeforeChange)
            OnBeforeChange(this, text);
    };
    document_->OnParse = [this](int32_t from, int32_t to) {
        if (OnParse)
            OnParse(this, from, to);
    };
    view_ = std::make_unique<TMemoView>(*this);
    selection_ = std::make_unique<TTextSelection>(*document_, view_.get());
    paragraphsView_ = std::make_unique<TCodeParaStrings>(*selection_);
    linesView_ = std::make_unique<TCodeLinesStrings>(*selection_);
    painter_ = std::make_unique<TMemoPainter>(*this, *view_);
    keyboard_ = std::make_unique<TMemoKeyboard>(*this, *view_);
    mouse_ = std::make_unique<TMemoMouse>(*this, *view_);
    SetBounds(Left(), Top(), 100, 60);
    SetCursor(crIBeam);
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    document_->Layout().SetFontStyle(static_cast<uint8_t>(Font().Style()));
    altFont_.OnChange = [this](TPersistent*) { ReformatAll(); };
    endOfTextMark_.SetColor(clRed);
    specUnderline_.SetColor(clRed);
    auto repaint = [this](TPersistent*) {
        if (HandleAllocated())
            Invalidate();
    };
    backgroundBmp_.OnChange = [this, repaint](TPersistent* sender) {
        renderBackgroundTile();
        repaint(sender);
    };
    endOfTextMark_.OnChange = repaint;
    specUnderline_.OnChange = repaint;
    view_->MeasureFont();
}

// The picture is drawn once into the tile the painter repeats, so that
// painting a line copies pixels instead of drawing a picture of any kind.
void TCodeMemo::renderBackgroundTile() {
    const TGraphic* graphic = backgroundBmp_.Graphic();
    if (graphic == nullptr || graphic->Empty()) {
        backgroundTile_.SetSize(0, 0);
        return;
    }
    backgroundTile_.SetSize(graphic->Width(), graphic->Height());
    const TRect whole = Rect(0, 0, graphic->Width(), graphic->Height());
    backgroundTile_.Canvas().FillRect(whole, Color());
    const_cast<TGraphic*>(graphic)->Draw(backgroundTile_.Canvas(), whole);
    // Ends the drawing, so that the pixels are whole when they are tiled.
    backgroundTile_.Canvas().Release();
}

TCodeMemo::~TCodeMemo() {
    Destroying();
    mouse_->Release();
    DestroyCaret();
    // The window goes while the memo is still whole, so that nothing the
    // window reports in its last moments reaches half-destroyed members.
    DestroyHandle();
    mouse_.reset();
    keyboard_.reset();
    painter_.reset();
    linesView_.reset();
    paragraphsView_.reset();
    selection_.reset();
    view_.reset();
    document_.reset();
}

// ---------------------------------------------------------------------------
// Properties

void TCodeMemo::SetStaticFormat(bool value) {
    if (value == document_->StaticFormat())
        return;
    // Style codes are read anew; the text itself and the caret stay.
    const int32_t caret = SelStart();
    document_->SetStaticFormat(value);
    SetSelStart(caret);
}

void TCodeMemo::SetOptions(TCodeMemoOptions options) {
    const TCodeMemoOptions before = document_->Options();
    document_->SetOptions(options);
    if (!HandleAllocated())
        return;
    if (before.Contains(pmoAutoScrollBars) != options.Contains(pmoAutoScrollBars)) {
        view_->UpdateVScrollBar();
        view_->UpdateHScrollBar();
    }
    const bool look = before.Contains(pmoWindowsSelColors) != options.Contains(pmoWindowsSelColors) ||
                      before.Contains(pmoFullLineSelect) != options.Contains(pmoFullLineSelect);
    if (look && SelLength() != 0)
        view_->InvalidateSelection();
}

void TCodeMemo::SetWordWrap(bool value) {
    if (value == WordWrap())
        return;
    document_->Layout().SetWordWrap(value);
    view_->UpdateHScrollBar();
    SetLeftPixel(0);
    ScrollInView();
}

void TCodeMemo::SetAlignment(TCodeAlignment value) {
    if (value == Alignment())
        return;
    SetLeftPixel(0);
    document_->Layout().SetAlignment(value);
    view_->Appearance();
}

TScrollStyle TCodeMemo::ScrollBars() const { return view_->ScrollBars(); }

void TCodeMemo::SetScrollBars(TScrollStyle value) {
    if (value == ScrollBars())
        return;
    view_->SetScrollBarFlags(value);
    // Re-making the window measures the font again, but the line breaks
    // stay.  A handler raising meanwhile must not leave later font changes
    // without their re-formatting.
    TRestoreOnExit<bool> keepFormat(view_->KeepFormatOnFontNotice(), true);
    RecreateWnd();
}

void TCodeMemo::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCodeMemo::SetHideSelection(bool value) {
    if (value == HideSelection)
        return;
    HideSelection = value;
    view_->SelectionChanged();
}

void TCodeMemo::SetSelBackColor(TColor value) {
    SelBackColor = value;
    view_->InvalidateSelection();
}

void TCodeMemo::SetSelTextColor(TColor value) {
    SelTextColor = value;
    view_->InvalidateSelection();
}

void TCodeMemo::SetHighlightColor(TColor value) {
    HighlightColor = value;
    if (HandleAllocated())
        Invalidate();
}

void TCodeMemo::SetHighlightBackgnd(TColor value) {
    HighlightBackgnd = value;
    if (HandleAllocated())
        Invalidate();
}

void TCodeMemo::SetCaretWidth(int32_t value) {
    CaretWidth = std::max(value, 0);
    if (Focused() && HandleAllocated() && !DisplayOnly)
        view_->CaretUpdate(true);
}

void TCodeMemo::SetDisplayOnly(bool value) {
    if (value == DisplayOnly)
        return;
    DisplayOnly = value;
    if (!Focused() || !HandleAllocated())
        return;
    if (value)
        DestroyCaret();
    else
        view_->CaretUpdate(true);
}

void TCodeMemo::SetOverwrite(bool value) {
    if (value == Overwrite)
        return;
    Overwrite = value;
    if (Focused() && HandleAllocated() && !DisplayOnly)
        view_->CaretUpdate(true);
}

void TCodeMemo::SetJustified(bool value) {
    SetLeftPixel(0);
    Justified = value;
    view_->Appearance();
}

void TCodeMemo::SetEncoding(TTextEncoding encoding) {
    if (encoding == Encoding())
        return;
    document_->SetEncoding(encoding);
    selection_->KeepOnCharacters();
    view_->Appearance();
    // Every line is measured anew: the caret's line may have grown or
    // shrunk under it, and the view follows the caret as after a move.
    view_->ScrollInView();
}

void TCodeMemo::SetLineHeight(int32_t value) {
    FixedLineHeight = value >= 1 ? value : 0;
    // Only the measurements change: the line breaks stay as they are.
    TRestoreOnExit<bool> keepFormat(view_->KeepFormatOnFontNotice(), true);
    Perform(CM_FONTCHANGED);
}

// ---------------------------------------------------------------------------
// Formatting

void TCodeMemo::SetMeasuringContext(TTextMeasurer* measurer, int32_t clientWidth) {
    view_->MeasureWith(measurer, clientWidth);
}

void TCodeMemo::FormatOnCanvas(TCanvas* canvas, int32_t width) {
    if (canvas == nullptr) {
        painter_->SetOutputLayoutWidth(0);
        document_->Layout().FormatFor(nullptr, 0);
        return;
    }
    canvas->SetFont(Font());
    TFontMeasure measure(canvas->Measurer(), Font(), altFont_);
    document_->Layout().FormatFor(&measure, width);
    painter_->SetOutputLayoutWidth(width);
}

void TCodeMemo::BackgroundFormat(TMessage& message) { view_->BackgroundMessage(message.WParam != 0); }

void TCodeMemo::Change() {
    // Attached components (the gutter) hear of every change of the text.
    if (AttachedCount() > 0)
        Perform(CM_TEXTCHANGED);
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// The window side's public operations

int32_t TCodeMemo::LineHeight() const { return view_->LineHeight(); }
int32_t TCodeMemo::Baseline() const { return view_->Baseline(); }
int32_t TCodeMemo::VisibleLineCount() const { return view_->VisibleLineCount(); }
int32_t TCodeMemo::OutputChunk() const { return view_->OutputChunk(); }
int32_t TCodeMemo::OffsetToX(TParagraph* paragraph, int32_t index, int32_t lineInPar, int32_t offsetInLine) {
    return view_->OffsetToX(paragraph, index, lineInPar, offsetInLine);
}
int32_t TCodeMemo::XToOffset(TParagraph* paragraph, int32_t index, bool exactColumn, int32_t x, int32_t lineInPar) {
    return view_->XToOffset(paragraph, index, exactColumn, x, lineInPar);
}
int32_t TCodeMemo::LineToY(int32_t line) const { return view_->LineToY(line); }
int32_t TCodeMemo::YToLine(int32_t y) const { return view_->YToLine(y); }
int32_t TCodeMemo::NavigatorX(TCodeNavigator& navigator) { return view_->NavigatorX(navigator); }
int32_t TCodeMemo::TopLine() { return view_->TopLine(); }
void TCodeMemo::SetTopLine(int32_t line) { view_->SetTopLine(line); }
int32_t TCodeMemo::TopPixel() const { return view_->TopPixel(); }
int32_t TCodeMemo::LeftPixel() const { return view_->LeftPixel(); }
void TCodeMemo::ScrollTo(int32_t x, int32_t y) { view_->ScrollTo(x, y); }
void TCodeMemo::ScrollInView() { view_->ScrollInView(); }
int32_t TCodeMemo::VScrollUnit() const { return view_->VScrollUnit(); }
void TCodeMemo::UpdateVScrollBar() { view_->UpdateVScrollBar(); }
void TCodeMemo::UpdateHScrollBar() { view_->UpdateHScrollBar(); }
int32_t TCodeMemo::WheelAccumulator() const { return view_->WheelAccumulator(); }
void TCodeMemo::CaretUpdate(bool recreate) { view_->CaretUpdate(recreate); }
int32_t TCodeMemo::CaretX() const { return view_->CaretX(); }
int32_t TCodeMemo::CaretY() const { return view_->CaretY(); }
int32_t TCodeMemo::CurrentCaretWidth() { return view_->CurrentCaretWidth(); }
void TCodeMemo::InvalidateLines(int32_t first, int32_t last) { view_->InvalidateLines(first, last); }
void TCodeMemo::SelectionChanged() { view_->SelectionChanged(); }
bool TCodeMemo::Dragging() const { return mouse_->Dragging(); }
int32_t TCodeMemo::MarginLine() const { return mouse_->MarginLine(); }
int TCodeMemo::AutoScrollDirection() const { return mouse_->AutoScrollDirection(); }
TCodeNavigator& TCodeMemo::MouseNavigator() { return mouse_->PointerNavigator(); }
TPopupMenu* TCodeMemo::DefaultPopup() const { return mouse_->DefaultPopup(); }
void TCodeMemo::CreateDefaultPopup() { mouse_->CreateDefaultPopup(); }

void TCodeMemo::DrawLineOnCanvas(TCanvas& canvas, int32_t line, TPoint point) {
    TPaintRange range;
    range.First = line;
    range.Last = line;
    range.X = point.X;
    range.Y = point.Y;
    range.Spacing = static_cast<float>(LineHeight());
    DrawLinesOnCanvas(canvas, range);
}

void TCodeMemo::DrawLinesOnCanvas(TCanvas& canvas, const TPaintRange& range) {
    painter_->DrawLinesOnCanvas(canvas, range);
}
