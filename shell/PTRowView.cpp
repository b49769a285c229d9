#include "shell/PTRowView.h"

#include <algorithm>

TPTRowView::TPTRowView(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
}

void TPTRowView::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_VSCROLL | WS_HSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TPTRowView::RowHeight() const {
    TCanvas measuring;
    measuring.SetFont(Font());
    // Room for a 16-pixel icon and a line of text.
    return std::max(18, measuring.TextHeight("Ag") + 2);
}

int TPTRowView::VisibleRowCount() const {
    return std::max(0, (ClientHeight() - HeaderHeight()) / RowHeight());
}

int TPTRowView::RowAt(int y) const {
    if (y < HeaderHeight())
        return -1;
    int row = topRow_ + (y - HeaderHeight()) / RowHeight();
    return row < RowCount() ? row : -1;
}

TRect TPTRowView::RowRect(int row) const {
    int top = HeaderHeight() + (row - topRow_) * RowHeight();
    return Rect(-leftOffset_, top, std::max(ClientWidth(), ContentWidth()) - leftOffset_, top + RowHeight());
}

void TPTRowView::SetTopRow(int row) {
    int highest = std::max(0, RowCount() - VisibleRowCount());
    row = std::clamp(row, 0, highest);
    if (row == topRow_)
        return;
    topRow_ = row;
    RowsChanged();
}

void TPTRowView::MakeRowVisible(int row) {
    if (row < 0)
        return;
    if (row < topRow_)
        SetTopRow(row);
    else if (row >= topRow_ + VisibleRowCount())
        SetTopRow(row - std::max(1, VisibleRowCount()) + 1);
}

void TPTRowView::RowsChanged() {
    int highest = std::max(0, RowCount() - VisibleRowCount());
    topRow_ = std::clamp(topRow_, 0, highest);
    leftOffset_ = std::clamp(leftOffset_, 0, std::max(0, ContentWidth() - ClientWidth()));
    TScrollInfo vertical;
    vertical.Min = 0;
    vertical.Max = std::max(0, RowCount() - 1);
    vertical.Page = static_cast<unsigned>(std::max(1, VisibleRowCount()));
    vertical.Pos = topRow_;
    SetScrollInfo(SB_VERT, vertical, SIF_ALL);
    TScrollInfo horizontal;
    horizontal.Min = 0;
    horizontal.Max = std::max(0, ContentWidth() - 1);
    horizontal.Page = static_cast<unsigned>(std::max(1, ClientWidth()));
    horizontal.Pos = leftOffset_;
    SetScrollInfo(SB_HORZ, horizontal, SIF_ALL);
    Invalidate();
}

void TPTRowView::scroll(int bar, int code, int thumb) {
    bool vertical = bar == SB_VERT;
    int line = vertical ? 1 : 16;
    int page = vertical ? std::max(1, VisibleRowCount() - 1) : std::max(16, ClientWidth() - 16);
    int at = vertical ? topRow_ : leftOffset_;
    switch (code) {
    case SB_LINEUP: at -= line; break;
    case SB_LINEDOWN: at += line; break;
    case SB_PAGEUP: at -= page; break;
    case SB_PAGEDOWN: at += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: at = thumb; break;
    case SB_TOP: at = 0; break;
    case SB_BOTTOM: at = vertical ? RowCount() : ContentWidth(); break;
    default: return;
    }
    if (vertical) {
        SetTopRow(at);
    } else {
        int clamped = std::clamp(at, 0, std::max(0, ContentWidth() - ClientWidth()));
        if (clamped != leftOffset_) {
            leftOffset_ = clamped;
            RowsChanged();
        }
    }
}

void TPTRowView::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL: {
        int bar = message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
        int code = LOWORD(message.WParam);
        int thumb = code == SB_THUMBTRACK ? GetScrollInfo(bar).TrackPos : HIWORD(message.WParam);
        scroll(bar, code, thumb);
        message.Result = 0;
        return;
    }
    case WM_SIZE:
        TCustomControl::Dispatch(message);
        RowsChanged();
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(message);
        Invalidate(); // the selection's colours follow the focus
        return;
    default:
        TCustomControl::Dispatch(message);
    }
}
