// Window messages: every message passes to the attached components first;
// then painting, scroll bars, the wheel, focus and the caret, the dialog
// code, the clipboard messages and the window's creation and loss.

#include "editor/CodeMemo.h"
#include "editor/FontMeasure.h"
#include "editor/MemoGuards.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Attached components

void TCodeMemo::AttachComponent(TComponent* component) {
    if (component == nullptr || component == this)
        return;
    if (std::find(attached_.begin(), attached_.end(), component) != attached_.end())
        return;
    attached_.push_back(component);
    // A component freed while attached leaves a nil entry behind.
    component->FreeNotification(this);
}

void TCodeMemo::DetachComponent(TComponent* component) {
    // The entry becomes nil and goes after the next message: a component
    // may detach itself while messages are being passed on.
    for (TComponent*& entry : attached_)
        if (entry == component)
            entry = nullptr;
}

int TCodeMemo::AttachedCount() const {
    return static_cast<int>(std::count_if(attached_.begin(), attached_.end(),
                                          [](const TComponent* c) { return c != nullptr; }));
}

void TCodeMemo::notifyAttached() {
    if (attached_.empty())
        return;
    bool nilSeen = false;
    // By index: a component may attach or detach others meanwhile.
    for (size_t i = 0; i < attached_.size(); ++i) {
        TComponent* component = attached_[i];
        if (component == nullptr) {
            nilSeen = true;
            continue;
        }
        SendNotification(component, this, kMemoMessage);
    }
    if (nilSeen)
        attached_.erase(std::remove(attached_.begin(), attached_.end(), nullptr), attached_.end());
}

void TCodeMemo::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove)
        DetachComponent(component);
}

// ---------------------------------------------------------------------------
// The window procedure

void TCodeMemo::WndProc(TMessage& message) {
    currentMessage_ = message;
    notifyAttached();
    if (!handleWindowMessage(message))
        TCustomControl::WndProc(message);
}

bool TCodeMemo::handleWindowMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_PAINT:
        paintWindow(message);
        return true;
    case WM_ERASEBKGND:
        // Painting covers every pixel.
        message.Result = 1;
        return true;
    case WM_SETCURSOR:
        return setCursorMessage(message);
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;
        if (WantTabs && !DisplayOnly)
            message.Result |= DLGC_WANTTAB;
        return true;
    case WM_VSCROLL:
        message.Result = 0;
        vScroll(LOWORD(message.WParam), static_cast<int16_t>(HIWORD(message.WParam)));
        return true;
    case WM_HSCROLL:
        message.Result = 0;
        hScroll(LOWORD(message.WParam), static_cast<int16_t>(HIWORD(message.WParam)));
        return true;
    case WM_MOUSEWHEEL:
        message.Result = 0;
        mouseWheel(GET_WHEEL_DELTA_WPARAM(message.WParam));
        return true;
    case WM_CUT:
        // Changing requests do nothing on a memo that may not be changed.
        if (userMayEdit())
            CutToClipboard();
        return true;
    case WM_COPY:
        CopyToClipboard();
        return true;
    case WM_PASTE:
        if (userMayEdit())
            PasteFromClipboard();
        return true;
    case WM_UNDO:
        if (userMayEdit())
            Undo();
        return true;
    case WM_TIMER:
        if (message.WParam != kAutoScrollTimer)
            return false;
        autoScrollStep();
        return true;
    case WM_CODEMEMO_VIEWSYNC:
        viewSync();
        return true;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        clientSizeChanged();
        return true;
    case WM_SETFOCUS:
        TCustomControl::WndProc(message);
        focusChanged(true);
        return true;
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        focusChanged(false);
        return true;
    case WM_CAPTURECHANGED:
        // Whoever took the mouse ends a selection or a drag in progress.
        if (reinterpret_cast<TControl*>(message.LParam) != this) {
            selecting_ = false;
            wordSelect_ = false;
            setAutoScroll(0, 0);
        }
        return false;
    case WM_CONTEXTMENU:
        // A right click that was a context click or showed the default
        // menu has had its answer.
        if (contextMenuTaken_) {
            contextMenuTaken_ = false;
            message.Result = 1;
            return true;
        }
        return false;
    case CM_FONTCHANGED:
        if (!fontNoticeKeepsFormat_)
            TCustomControl::WndProc(message);
        measureFont();
        return true;
    case CM_CTL3DCHANGED:
        TCustomControl::WndProc(message);
        RecreateWnd();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// The window

void TCodeMemo::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (vScrollBar_)
        params.Style |= WS_VSCROLL;
    if (hScrollBar_)
        params.Style |= WS_HSCROLL;
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCodeMemo::CreateWnd() {
    TCustomControl::CreateWnd();
    if (!HandleAllocated())
        return;
    const int32_t width = TWinControl::ClientWidth();
    knownClientWidth_ = width;
    if (fontMeasure_ == nullptr || measure_ != static_cast<const TCodeMeasure*>(fontMeasure_.get()) || clientWidth_ != width) {
        SetMeasuringContext(&WindowCanvas().Measurer(), width);
    }
    virtualColumns_ = 0;
    rememberedColumn_ = INT32_MIN;
    // The measurements and the scroll bars; the line breaks were just made.
    TRestoreOnExit<bool> keepFormat(fontNoticeKeepsFormat_, true);
    Perform(CM_FONTCHANGED);
}

void TCodeMemo::DestroyWnd() {
    knownClientWidth_ = -1;
    TCustomControl::DestroyWnd();
}

// ---------------------------------------------------------------------------
// Scroll bars and the wheel

void TCodeMemo::vScroll(int request, int position) {
    if (updateCount_ > 0 || lineHeight_ < 1)
        return;
    const int32_t top = TopLine();
    switch (request) {
    case SB_LINEUP:
        if (topPixel_ > 0)
            SetTopLine(topPixel_ % lineHeight_ != 0 ? top : top - 1);
        break;
    case SB_LINEDOWN:
        if (top < lineCount_ - 1 && top < lineCount_ - visibleLines_ + 2)
            SetTopLine(top + 1);
        break;
    case SB_PAGEUP: {
        int32_t target = std::max(top - visibleLines_ + 2, 0);
        work3_->SetLineNumber(target);
        FormatRange(work3_->ParNumber(), topLine_->ParNumber() - 1, false);
        SetTopLine(std::max(TopLine() - visibleLines_ + 2, 0));
        break;
    }
    case SB_PAGEDOWN:
        SetTopLine(std::min(top + visibleLines_ - 1, std::max(0, lineCount_ - visibleLines_ + 2)));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // Positions are 16-bit: the unit keeps every range below 32760.
        const int64_t pixels = int64_t{std::max(position, 0)} * vUnit_;
        if (options_.Contains(pmoNoFineScroll))
            SetTopLine(static_cast<int32_t>((pixels + lineHeight_ / 2) / lineHeight_));
        else
            SetTopPixel(static_cast<int32_t>(std::min<int64_t>(pixels, INT32_MAX / 2)));
        break;
    }
    case SB_TOP:
        SetTopLine(0);
        break;
    case SB_BOTTOM:
        SetTopLine(std::max(0, lineCount_ - visibleLines_ + 2));
        break;
    default:
        return;
    }
    Update();
}

void TCodeMemo::hScroll(int request, int position) {
    if (updateCount_ > 0)
        return;
    const int32_t clientWidth = ClientWidth();
    const int32_t step = clientWidth / 20;
    // Not beyond the widest line: there is nothing to see further right.
    const int32_t rangeEnd = std::max(widestWidth_ + leftMargin_ + rightMargin_ - clientWidth, 0);
    int32_t x = leftPixel_;
    switch (request) {
    case SB_LINELEFT:
        x = std::max(x - step - 1, 0);
        break;
    case SB_LINERIGHT:
        x = std::min(x + step + 1, std::max(rangeEnd, x));
        break;
    case SB_PAGELEFT:
        x = std::max(x + step - clientWidth, 0);
        break;
    case SB_PAGERIGHT:
        x = std::min(x + clientWidth - step, std::max(rangeEnd, x));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        x = std::max(position, 0) * hUnit_;
        break;
    case SB_LEFT:
        x = 0;
        break;
    case SB_RIGHT:
        x = rangeEnd;
        break;
    default:
        return;
    }
    SetLeftPixel(x);
    Update();
}

void TCodeMemo::mouseWheel(int delta) {
    wheelAccumulator_ += delta * MouseWheelFactor;
    while (wheelAccumulator_ <= -WHEEL_DELTA) {
        SendMessage(this, WM_VSCROLL, SB_LINEDOWN);
        wheelAccumulator_ += WHEEL_DELTA;
    }
    while (wheelAccumulator_ >= WHEEL_DELTA) {
        SendMessage(this, WM_VSCROLL, SB_LINEUP);
        wheelAccumulator_ -= WHEEL_DELTA;
    }
}

// ---------------------------------------------------------------------------
// Focus

void TCodeMemo::focusChanged(bool gained) {
    if (!DisplayOnly) {
        if (gained)
            CaretUpdate(true);
        else
            DestroyCaret();
    }
    // With HideSelection the selection shows only while focused.
    if (HideSelection)
        SelectionChanged();
}

// ---------------------------------------------------------------------------
// After the form has been read

void TCodeMemo::Loaded() {
    TCustomControl::Loaded();
    ClearUndo();
    if ((ApplyKeyWordsEnabled && Keywords().Count() > 0) ||
        (ApplyStartStopKeysEnabled && StartStopKeys().Count() >= 1))
        ReApplyKeywords();
}
