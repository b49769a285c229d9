#include "shell/PTInPlaceEditor.h"

TPTInPlaceEditor::TPTInPlaceEditor(TWinControl* parent, const TRect& bounds, const std::string& text, TDone done)
    : done_(std::move(done)) {
    SetText(text);
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    SetParent(parent);
    SelectAll();
    if (CanFocus())
        SetFocus();
}

void TPTInPlaceEditor::Finish(bool accept) {
    if (finished_)
        return;
    finished_ = true;
    if (done_)
        done_(Text(), accept);
}

void TPTInPlaceEditor::KeyDown(uint16_t& key, TShiftState shift) {
    TEdit::KeyDown(key, shift);
    if (key == VK_RETURN || key == VK_ESCAPE) {
        bool accept = key == VK_RETURN;
        key = 0;
        Finish(accept);
    }
}

void TPTInPlaceEditor::Dispatch(TMessage& message) {
    if (message.Msg == WM_GETDLGCODE) {
        message.Result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
        return;
    }
    TEdit::Dispatch(message);
    if (message.Msg == WM_KILLFOCUS)
        Finish(true);
}
