#pragma once
// The tree view the shell tree is: it shows a TPTShellTreeModel, follows
// the model's changes, and adds what the shell tree shares with the shell
// list: context-menu events naming the node under the mouse (or the
// selected node for the keyboard menu), custom-draw objects that let a
// handler change one node's font and colours by setting properties, the
// expand and label-editing hooks, and the drop highlight.

#include "platform/ui/PopupMenu.h"
#include "shell/PTInPlaceEditor.h"
#include "shell/PTRowView.h"
#include "shell/ShellTreeModel.h"

#include <functional>
#include <memory>

// Stages of a drawing notice.
enum TPTCustomDrawStage { cdsOther = 0, cdsPrePaint = 1, cdsPostPaint = 2, cdsItemPrePaint = 4, cdsItemPostPaint = 5 };

// One drawing notice: the handler sets Font and Brush (made on first use
// from the control's font and the current background) or draws the item
// itself (SkipDefault).
class TPTCustomDraw {
public:
    TPTCustomDraw(const TFont& controlFont, TColor textColor, TColor background, TPTCustomDrawStage stage, TRect rect);
    TPTCustomDrawStage Stage() const { return stage_; }
    const TRect& ItemRect() const { return rect_; }
    TFont& Font();
    TBrush& Brush();
    bool FontChanged() const { return font_ != nullptr; }
    bool BrushChanged() const { return brush_ != nullptr; }
    bool SkipDefault = false;
    bool NotifyItems = true;
    // The text and background colours to draw the item with.
    TColor TextColor() const;
    TColor BackgroundColor() const;

private:
    const TFont& controlFont_;
    TColor textColor_, background_;
    TPTCustomDrawStage stage_;
    TRect rect_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TBrush> brush_;
};

using TPTTvOnNodeContextMenuEvent =
    std::function<void(TPersistent* sender, TPTShellNode* node, TPoint pos, TPopupMenu*& menu)>;
using TPTTvCustomDrawEvent = std::function<void(TPersistent* sender, TPTCustomDraw& draw, TPTShellNode* node)>;
using TPTTvNodeEvent = std::function<void(TPersistent* sender, TPTShellNode* node)>;
using TPTTvNodeAllowEvent = std::function<void(TPersistent* sender, TPTShellNode* node, bool& allow)>;
using TPTTvEditedEvent = std::function<void(TPersistent* sender, TPTShellNode* node, std::string& text)>;

class TPTCustomTreeView : public TPTRowView, protected TPTShellTreeObserver {
public:
    explicit TPTCustomTreeView(TComponent* owner = nullptr);
    ~TPTCustomTreeView() override;
    std::string ClassName() const override { return "TPTCustomTreeView"; }

    TPTShellTreeModel& Model() { return model_; }
    const TPTShellTreeModel& Model() const { return model_; }
    TPTShellNode* Selected() const { return model_.Selected(); }
    void SetSelected(TPTShellNode* node) { model_.SetSelected(node); }

    // Opens a node when the hooks allow it.
    bool ExpandNode(TPTShellNode* node);
    void CollapseNode(TPTShellNode* node);
    // Starts editing a node's label in place when the hooks allow it.
    bool EditLabel(TPTShellNode* node);
    bool IsEditing() const { return editing_ != nullptr; }
    TPTShellNode* EditingNode() const { return editing_; }
    // Ends label editing: with accept, the text is the node's new label.
    void EndEditLabel(const std::string& text, bool accept);
    // The node highlighted as the target of a drop.
    TPTShellNode* DropTarget() const { return dropTarget_; }
    void SetDropTarget(TPTShellNode* node);

    // The node under a client point (nullptr for empty space), and a node's
    // text rectangle in client coordinates, as the view lays them out.
    TPTShellNode* GetNodeAt(int x, int y);
    TRect NodeTextRect(TPTShellNode* node);
    // The nodes shown, one per row (the children of collapsed nodes left
    // out).
    const std::vector<TPTShellNode*>& Rows();
    int RowOf(const TPTShellNode* node);
    void MakeVisible(TPTShellNode* node);
    // Pixels each level of nodes is indented by.
    int Indent = 19;
    // The selection shows while another control has the focus.
    bool HideSelection = true;
    // Runs the keyboard's context menu (VK_APPS, Shift+F10).
    void KeyboardContextMenu();

    bool ReadOnly = false;
    bool ShowRoot = true;
    TNotifyEvent OnChange;
    TPTTvNodeAllowEvent OnExpanding;
    TPTTvNodeEvent OnExpanded;
    TPTTvNodeAllowEvent OnCollapsing;
    TPTTvNodeEvent OnCollapsed;
    TPTTvNodeAllowEvent OnEditing;
    TPTTvEditedEvent OnEdited;
    TPTTvOnNodeContextMenuEvent OnNodeContextMenu;
    TPTTvCustomDrawEvent OnCustomDraw;     // every stage
    TPTTvCustomDrawEvent OnCustomDrawItem; // item stages

protected:
    void Dispatch(TMessage& message) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Paint() override;
    // A node was dragged with the left or right button held.
    virtual void NodeDragStart(TPTShellNode* node, bool rightButton) {}
    // A node was opened or closed.
    virtual void NodeExpansionChanged(TPTShellNode* node) {}
    int RowCount() const override;
    int ContentWidth() const override;
    // A left click on a node, before the selection moves there.
    virtual void NodeClicked(TPTShellNode* node) {}

    // The selection changed (by the user or by code).
    virtual void Change(TPTShellNode* node);
    virtual bool CanExpand(TPTShellNode* node);
    virtual bool CanEdit(TPTShellNode* node);
    // Label editing ended with a new text.
    virtual void Edit(TPTShellNode* node, std::string text);
    // A node's context menu at a client point: the handler first, then the
    // menu it leaves (the control's popup menu unless it changed it).
    virtual void NodeContextMenu(TPTShellNode* node, TPoint point);
    // Makes the drawing object of a stage, runs the hooks with it, and
    // answers with it for the painter to apply.
    virtual std::unique_ptr<TPTCustomDraw> CustomDrawItem(TPTCustomDrawStage stage, TPTShellNode* node,
                                                          const TRect& rect);

    // The model's notices (the view follows them).
    void NodeAdded(TPTShellNode* node) override;
    void NodeRemoving(TPTShellNode* node) override;
    void NodeChanged(TPTShellNode* node) override;
    void ChildrenReordered(TPTShellNode* parent) override;
    void SelectionChanged(TPTShellNode* node) override;

    // A right click was answered with a menu: the button-up that follows
    // shows no second one.
    bool menuShown_ = false;

private:
    void showMenu(TPTShellNode* node, TPoint point);
    // The left edge of a node's icon, and whether its button shows.
    int iconLeft(const TPTShellNode* node) const;
    bool showsButton(const TPTShellNode* node) const;
    void paintNode(TCanvas& canvas, TPTShellNode* node, const TRect& row);
    void moveSelection(TPTShellNode* node);
    TPTShellTreeModel model_;
    std::unique_ptr<TPTInPlaceEditor> editor_, retiredEditor_;
    TPTShellNode* pressNode_ = nullptr; // a drag may start from it
    TPoint pressPoint_;
    bool pressRight_ = false;
    std::vector<TPTShellNode*> rows_;
    bool rowsValid_ = false;
    TPTShellNode* editing_ = nullptr;
    TPTShellNode* dropTarget_ = nullptr;
};
