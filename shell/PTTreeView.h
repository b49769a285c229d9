#pragma once
// What the shell tree and the shell list add to the platform's tree and
// list views (this file: the tree's): context-menu events that name the
// node under the mouse (or the selected node for the keyboard menu), and
// custom-draw objects that let a handler change one node's font and
// colours by setting properties.

#include "platform/ui/PopupMenu.h"
#include "platform/ui/TreeView.h"

#include <functional>
#include <memory>

// Stages of a drawing notice, as the handlers number them.
enum TPTCustomDrawStage { cdsOther = 0, cdsPrePaint = 1, cdsPostPaint = 2, cdsItemPrePaint = 4, cdsItemPostPaint = 5 };

// One drawing notice: a handler sets Font and Brush (the item is painted
// with them), or paints the item on Canvas itself (SkipDefault).
class TPTCustomDraw {
public:
    explicit TPTCustomDraw(TCustomDrawInfo& info) : info_(info) {}
    TPTCustomDrawStage Stage() const;
    const TRect& ItemRect() const { return info_.Rect; }
    TCustomDrawState State() const { return info_.State; }
    TCanvas& Canvas() { return *info_.Canvas; }
    TFont& Font() { return info_.Canvas->Font(); }
    TBrush& Brush() { return info_.Canvas->Brush(); }
    bool SkipDefault = false;
    // Ask for item notices at the control's stage.
    bool NotifyItems = true;
    // The answer to the notice.
    LRESULT Apply() const;

private:
    TCustomDrawInfo& info_;
};

// Shows a menu (when there is one) for a control at a client point.
void PopupControlMenu(TControl& control, TCustomPopupMenu* menu, TPoint client);

// The messages of one right click, which come in another order here than
// the views' menus were made for: the window system asks for the menu as
// the button goes down, before the release (and before a drag could
// start).  The views show a click's menu at the release, as they would
// after the other order; a request that comes while the button is down
// waits for it, and a drag started meanwhile takes the click.
class TPTRightClick {
public:
    // WM_RBUTTONDOWN.
    void Pressed() {
        down_ = true;
        requested_ = false;
        dragged_ = false;
    }
    // A menu request from the mouse: true when it waits for the release.
    bool Defer() {
        if (!down_)
            return false;
        requested_ = true;
        return true;
    }
    // A drag with the button started: its release shows no menu.
    void Dragged() { dragged_ = down_; }
    // WM_RBUTTONUP: false when a drag took the click.  requested: whether a
    // menu request waited for the release.
    bool Released(bool& requested) {
        requested = down_ && requested_;
        bool click = !dragged_;
        down_ = requested_ = dragged_ = false;
        return click;
    }

private:
    bool down_ = false;
    bool requested_ = false;
    bool dragged_ = false;
};

using TPTTvOnNodeContextMenuEvent =
    std::function<void(TPersistent* sender, TTreeNode* node, TPoint pos, TCustomPopupMenu*& menu)>;

class TPTCustomTreeView : public TCustomTreeView {
public:
    explicit TPTCustomTreeView(TComponent* owner = nullptr) : TCustomTreeView(owner) {}
    std::string ClassName() const override { return "TPTCustomTreeView"; }

    // Runs the keyboard's context menu (VK_APPS, Shift+F10).
    void KeyboardContextMenu();
    TPTTvOnNodeContextMenuEvent OnNodeContextMenu;

protected:
    void Dispatch(TMessage& message) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    // A node's context menu at a client point: the handler first, then the
    // menu it leaves (the control's popup menu unless it changed it).
    virtual void NodeContextMenu(TTreeNode* node, TPoint point);
    // Makes the drawing object of a notice and runs the hooks with it.
    virtual void CustomDrawItem(TPTCustomDraw& draw, TTreeNode* node) {}
    // A node is dragged with the left or right button.
    virtual void NodeDragStart(TTreeNode* node, bool rightButton) {}

    // A right click was answered with a menu: the button-up and the
    // context-menu request that follow show no second one.
    bool menuShown_ = false;
    TPTRightClick rightClick_;
};
