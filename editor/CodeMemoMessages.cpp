// The memo's messages: every message passes to the attached components
// first; then one switch hands painting, scroll bars, the wheel, focus,
// the background pass, the clipboard messages and the window's creation
// to the collaborator that owns them.  Keys and the mouse go to the
// keyboard and the mouse.

#include "editor/CodeMemo.h"

#include "editor/MemoKeyboard.h"
#include "editor/MemoMouse.h"
#include "editor/MemoPainter.h"
#include "editor/MemoView.h"

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
    return static_cast<int>(
        std::count_if(attached_.begin(), attached_.end(), [](const TComponent* c) { return c != nullptr; }));
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
    if (!handleMessage(message))
        TCustomControl::WndProc(message);
}

bool TCodeMemo::handleMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_PAINT:
        painter_->Paint(message);
        return true;
    case WM_ERASEBKGND:
        // Painting covers every pixel.
        message.Result = 1;
        return true;
    case WM_SETCURSOR:
        return mouse_->SetCursorMessage(message);
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;
        if (WantTabs && !DisplayOnly)
            message.Result |= DLGC_WANTTAB;
        return true;
    case WM_VSCROLL:
        message.Result = 0;
        view_->VScroll(LOWORD(message.WParam), static_cast<int16_t>(HIWORD(message.WParam)));
        return true;
    case WM_HSCROLL:
        message.Result = 0;
        view_->HScroll(LOWORD(message.WParam), static_cast<int16_t>(HIWORD(message.WParam)));
        return true;
    case WM_MOUSEWHEEL:
        message.Result = 0;
        view_->MouseWheel(GET_WHEEL_DELTA_WPARAM(message.WParam));
        return true;
    case WM_UNICHAR:
        // Typed characters come as code points, written in the document's
        // encoding.
        if (message.WParam != UNICODE_NOCHAR && message.WParam <= 0x10FFFF)
            keyboard_->TypeCharacter(static_cast<char32_t>(message.WParam));
        message.Result = 1;
        return true;
    case WM_CUT:
        // Changing requests do nothing on a memo that may not be changed.
        if (UserMayEdit())
            CutToClipboard();
        return true;
    case WM_COPY:
        CopyToClipboard();
        return true;
    case WM_PASTE:
        if (UserMayEdit())
            PasteFromClipboard();
        return true;
    case WM_UNDO:
        if (UserMayEdit())
            Undo();
        return true;
    case WM_TIMER:
        if (message.WParam != kAutoScrollTimer)
            return false;
        mouse_->AutoScrollStep();
        return true;
    case WM_CODEMEMO_BACKGROUND:
        BackgroundFormat(message);
        return true;
    case WM_CODEMEMO_VIEWSYNC:
        view_->ViewSync();
        return true;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        view_->ClientSizeChanged();
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        view_->FocusChanged(message.Msg == WM_SETFOCUS);
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<TControl*>(message.LParam) != this)
            mouse_->CaptureLost();
        return false;
    case WM_CONTEXTMENU:
        if (!mouse_->TakeContextMenu())
            return false;
        message.Result = 1;
        return true;
    case CM_FONTCHANGED:
        // A new font lays everything out again, unless only the
        // measurements are asked for (a new line height, a re-made window).
        if (!view_->KeepFormatOnFontNotice()) {
            document_->Layout().SetFontStyle(static_cast<uint8_t>(Font().Style()));
            ReformatAll();
            TCustomControl::WndProc(message);
        }
        view_->MeasureFont();
        return true;
    case CM_CTL3DCHANGED:
        TCustomControl::WndProc(message);
        RecreateWnd();
        return true;
    case CM_COLORCHANGED:
        // The background picture's transparent pixels show the colour.
        if (!backgroundTile_.Empty())
            renderBackgroundTile();
        TCustomControl::WndProc(message);
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// The window

void TCodeMemo::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (view_->HasVScrollBar())
        params.Style |= WS_VSCROLL;
    if (view_->HasHScrollBar())
        params.Style |= WS_HSCROLL;
    // A single border is the sunken client edge in the 3-D look, a plain
    // line without it.
    if (borderStyle_ == bsSingle) {
        if (Ctl3D())
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
}

void TCodeMemo::CreateWnd() {
    TCustomControl::CreateWnd();
    if (HandleAllocated())
        view_->WindowCreated();
}

void TCodeMemo::DestroyWnd() {
    view_->WindowDestroyed();
    TCustomControl::DestroyWnd();
}

// ---------------------------------------------------------------------------
// Keys and the mouse

void TCodeMemo::KeyDown(uint16_t& key, TShiftState shift) { keyboard_->KeyDown(key, shift); }

void TCodeMemo::KeyUp(uint16_t& key, TShiftState shift) { keyboard_->KeyUp(key, shift); }

void TCodeMemo::KeyPress(char& key) { keyboard_->KeyPress(key); }

void TCodeMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    mouse_->MouseDown(button, shift, x, y);
}

void TCodeMemo::MouseMove(TShiftState shift, int x, int y) { mouse_->MouseMove(shift, x, y); }

void TCodeMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) { mouse_->MouseUp(button, shift, x, y); }

void TCodeMemo::DblClick() { mouse_->DblClick(); }

// ---------------------------------------------------------------------------
// After the form has been read

void TCodeMemo::Loaded() {
    TCustomControl::Loaded();
    ClearUndo();
    if ((ApplyKeyWordsEnabled && Keywords().Count() > 0) || (ApplyStartStopKeysEnabled && StartStopKeys().Count() >= 1))
        ReApplyKeywords();
}
