#include "shell/PTTreeView.h"

TPTCustomDrawStage TPTCustomDraw::Stage() const {
    switch (info_.Stage) {
    case cdPrePaint: return cdsPrePaint;
    case cdPostPaint: return cdsPostPaint;
    case cdItemPrePaint: return cdsItemPrePaint;
    case cdItemPostPaint: return cdsItemPostPaint;
    default: return cdsOther;
    }
}

LRESULT TPTCustomDraw::Apply() const {
    switch (Stage()) {
    case cdsPrePaint: return NotifyItems ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case cdsItemPrePaint: return SkipDefault ? CDRF_SKIPDEFAULT : CDRF_NEWFONT;
    default: return CDRF_DODEFAULT;
    }
}

void PopupControlMenu(TControl& control, TCustomPopupMenu* menu, TPoint client) {
    if (menu == nullptr)
        return;
    menu->PopupComponent = &control;
    menu->Popup(control.ClientToScreen(client));
}

void TPTCustomTreeView::NodeContextMenu(TTreeNode* node, TPoint point) {
    TCustomPopupMenu* menu = PopupMenu();
    if (OnNodeContextMenu)
        OnNodeContextMenu(this, node, point, menu);
    PopupControlMenu(*this, menu, point);
}

void TPTCustomTreeView::KeyboardContextMenu() {
    TTreeNode* node = Selected();
    if (node == nullptr) {
        PopupControlMenu(*this, PopupMenu(), {0, 0});
        return;
    }
    node->MakeVisible();
    TRect text = node->DisplayRect(true);
    NodeContextMenu(node, {(text.Left + text.Right) / 2, (text.Top + text.Bottom) / 2});
}

void TPTCustomTreeView::KeyDown(uint16_t& key, TShiftState shift) {
    if ((key == VK_APPS && (shift & (ssShift | ssCtrl | ssAlt)) == 0) || (key == VK_F10 && shift == ssShift)) {
        key = 0;
        KeyboardContextMenu();
        menuShown_ = true; // the window system's own menu request that may follow
        return;
    }
    TCustomTreeView::KeyDown(key, shift);
}

void TPTCustomTreeView::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_RBUTTONDOWN:
        menuShown_ = false;
        rightClick_.Pressed();
        break;
    case WM_RBUTTONUP: {
        TCustomTreeView::Dispatch(message);
        bool requested = false;
        if (!rightClick_.Released(requested) || (ComponentState() & csDesigning))
            return;
        // A right click on a node shows the node's menu; on empty space
        // the context-menu request decides (the one that follows, or the
        // one that came with the press).
        TPoint at = PointFromLParam(message.LParam);
        if (TTreeNode* node = GetNodeAt(at.X, at.Y)) {
            NodeContextMenu(node, at);
            menuShown_ = true;
        } else if (requested) {
            Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(this), PointToLParam(ClientToScreen(at)));
        }
        return;
    }
    case WM_CONTEXTMENU: {
        TPoint screen = PointFromLParam(message.LParam);
        bool fromKeyboard = screen.X == -1 && screen.Y == -1;
        if (!fromKeyboard && rightClick_.Defer()) {
            message.Result = 1;
        } else if (menuShown_) {
            menuShown_ = false;
            message.Result = 1;
        } else if (fromKeyboard) {
            KeyboardContextMenu();
            message.Result = 1;
        } else if (Selected() == nullptr) {
            NodeContextMenu(nullptr, ScreenToClient(screen));
            message.Result = 1;
        } else {
            TCustomTreeView::Dispatch(message);
        }
        return;
    }
    case CN_NOTIFY:
        switch (static_cast<int>(message.WParam)) {
        case NM_CUSTOMDRAW: {
            auto& info = *reinterpret_cast<TCustomDrawInfo*>(message.LParam);
            TPTCustomDraw draw(info);
            CustomDrawItem(draw, static_cast<TTreeNode*>(info.Node));
            message.Result = draw.Apply();
            return;
        }
        case TVN_BEGINDRAG:
        case TVN_BEGINRDRAG:
            message.Result = 0;
            rightClick_.Dragged();
            NodeDragStart(reinterpret_cast<TTreeNode*>(message.LParam), static_cast<int>(message.WParam) == TVN_BEGINRDRAG);
            return;
        default:
            break;
        }
        break;
    default:
        break;
    }
    TCustomTreeView::Dispatch(message);
}
