#include "shell/PTTreeView.h"

#include "platform/gfx/ImageList.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/shellns/FileTypes.h"
#include "shell/ShellUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TPTCustomDraw

TPTCustomDraw::TPTCustomDraw(const TFont& controlFont, TColor textColor, TColor background, TPTCustomDrawStage stage,
                             TRect rect)
    : controlFont_(controlFont), textColor_(textColor), background_(background), stage_(stage), rect_(rect) {}

TFont& TPTCustomDraw::Font() {
    if (!font_) {
        font_ = std::make_unique<TFont>();
        font_->Assign(&controlFont_);
        font_->SetColor(textColor_);
    }
    return *font_;
}

TBrush& TPTCustomDraw::Brush() {
    if (!brush_) {
        brush_ = std::make_unique<TBrush>();
        brush_->SetColor(background_);
        brush_->SetStyle(bsSolid);
    }
    return *brush_;
}

TColor TPTCustomDraw::TextColor() const { return font_ ? font_->Color() : textColor_; }
TColor TPTCustomDraw::BackgroundColor() const { return brush_ ? brush_->Color() : background_; }

// ---------------------------------------------------------------------------
// TPTCustomTreeView

TPTCustomTreeView::TPTCustomTreeView(TComponent* owner) : TPTRowView(owner), model_(this) {
    model_.Observer = this;
}

TPTCustomTreeView::~TPTCustomTreeView() {
    Destroying();
    model_.Observer = nullptr;
}

const std::vector<TPTShellNode*>& TPTCustomTreeView::Rows() {
    if (!rowsValid_) {
        rows_ = model_.Nodes(false);
        rowsValid_ = true;
    }
    return rows_;
}

int TPTCustomTreeView::RowCount() const { return static_cast<int>(const_cast<TPTCustomTreeView*>(this)->Rows().size()); }

int TPTCustomTreeView::RowOf(const TPTShellNode* node) {
    const auto& rows = Rows();
    auto found = std::find(rows.begin(), rows.end(), node);
    return found != rows.end() ? static_cast<int>(found - rows.begin()) : -1;
}

void TPTCustomTreeView::MakeVisible(TPTShellNode* node) {
    for (TPTShellNode* parent = node != nullptr ? node->Parent() : nullptr; parent != nullptr; parent = parent->Parent())
        if (!parent->Expanded)
            ExpandNode(parent);
    MakeRowVisible(RowOf(node));
}

bool TPTCustomTreeView::showsButton(const TPTShellNode* node) const {
    return node->HasChildren && (ShowRoot || node->Parent() != nullptr);
}

int TPTCustomTreeView::iconLeft(const TPTShellNode* node) const {
    return (node->Level() + (ShowRoot ? 1 : 0)) * Indent + 2 - LeftOffset();
}

int TPTCustomTreeView::ContentWidth() const {
    auto* self = const_cast<TPTCustomTreeView*>(this);
    TCanvas measuring;
    measuring.SetFont(Font());
    int widest = 0;
    for (TPTShellNode* node : self->Rows())
        widest = std::max(widest, iconLeft(node) + LeftOffset() + 20 + measuring.TextWidth(node->Text()) + 4);
    return widest;
}

TPTShellNode* TPTCustomTreeView::GetNodeAt(int x, int y) {
    int row = RowAt(y);
    if (row < 0)
        return nullptr;
    TPTShellNode* node = Rows()[static_cast<size_t>(row)];
    // Right of the node's text counts as the node too; left of its level's
    // button column does not.
    return x >= iconLeft(node) - Indent ? node : nullptr;
}

TRect TPTCustomTreeView::NodeTextRect(TPTShellNode* node) {
    int row = RowOf(node);
    if (row < 0)
        return TRect{};
    TRect rect = RowRect(row);
    Canvas().SetFont(Font());
    int left = iconLeft(node) + 19;
    return Rect(left, rect.Top, left + Canvas().TextWidth(node->Text()) + 4, rect.Bottom);
}

bool TPTCustomTreeView::CanExpand(TPTShellNode* node) {
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, node, allow);
    return allow;
}

bool TPTCustomTreeView::ExpandNode(TPTShellNode* node) {
    if (node == nullptr || node->Expanded || !CanExpand(node))
        return false;
    model_.Expand(node);
    if (node->Expanded) {
        NodeExpansionChanged(node);
        if (OnExpanded)
            OnExpanded(this, node);
    }
    return node->Expanded;
}

void TPTCustomTreeView::CollapseNode(TPTShellNode* node) {
    if (node == nullptr || !node->Expanded)
        return;
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, node, allow);
    if (!allow)
        return;
    model_.Collapse(node);
    NodeExpansionChanged(node);
    if (OnCollapsed)
        OnCollapsed(this, node);
}

bool TPTCustomTreeView::CanEdit(TPTShellNode* node) {
    bool allow = !ReadOnly;
    if (OnEditing)
        OnEditing(this, node, allow);
    return allow;
}

bool TPTCustomTreeView::EditLabel(TPTShellNode* node) {
    if (node == nullptr || editing_ != nullptr || !CanEdit(node))
        return false;
    editing_ = node;
    MakeVisible(node);
    TRect label = NodeTextRect(node);
    label.Right = std::max(label.Right + 40, label.Left + 120);
    editor_ = std::make_unique<TPTInPlaceEditor>(this, label, node->Text(),
                                                 [this](const std::string& text, bool accept) { EndEditLabel(text, accept); });
    return true;
}

void TPTCustomTreeView::EndEditLabel(const std::string& text, bool accept) {
    TPTShellNode* node = editing_;
    if (node == nullptr)
        return;
    editing_ = nullptr;
    if (editor_) {
        // The editor may be inside its own key handler: freed later.
        retiredEditor_ = std::move(editor_);
        retiredEditor_->Finish(false);
        retiredEditor_->Hide();
        if (!PostMessage(this, CM_FREEINPLACEEDITOR))
            retiredEditor_.reset();
        if (Focused() || CanFocus())
            SetFocus();
    }
    if (accept)
        Edit(node, text);
}

void TPTCustomTreeView::Edit(TPTShellNode* node, std::string text) {
    if (OnEdited)
        OnEdited(this, node, text);
    node->SetText(text);
    NodeChanged(node);
}

void TPTCustomTreeView::SetDropTarget(TPTShellNode* node) {
    if (node == dropTarget_)
        return;
    dropTarget_ = node;
    Invalidate();
}

void TPTCustomTreeView::Change(TPTShellNode* node) {
    if (OnChange)
        OnChange(this);
}

// --- the model's notices ----------------------------------------------------------------

void TPTCustomTreeView::NodeAdded(TPTShellNode*) {
    rowsValid_ = false;
    RowsChanged();
}

void TPTCustomTreeView::NodeRemoving(TPTShellNode* node) {
    if (editing_ != nullptr && editing_->IsWithin(node))
        EndEditLabel({}, false);
    if (pressNode_ != nullptr && pressNode_->IsWithin(node))
        pressNode_ = nullptr;
    if (dropTarget_ != nullptr && dropTarget_->IsWithin(node))
        dropTarget_ = nullptr;
    rowsValid_ = false;
    RowsChanged();
}

void TPTCustomTreeView::NodeChanged(TPTShellNode*) {
    rowsValid_ = false;
    RowsChanged();
}

void TPTCustomTreeView::ChildrenReordered(TPTShellNode*) {
    rowsValid_ = false;
    RowsChanged();
}

void TPTCustomTreeView::SelectionChanged(TPTShellNode* node) {
    Invalidate();
    Change(node);
}

// --- context menus -------------------------------------------------------------------------

void TPTCustomTreeView::showMenu(TPTShellNode* node, TPoint point) {
    NodeContextMenu(node, point);
    menuShown_ = true;
}

void TPTCustomTreeView::NodeContextMenu(TPTShellNode* node, TPoint point) {
    TPopupMenu* menu = dynamic_cast<TPopupMenu*>(PopupMenu());
    if (OnNodeContextMenu)
        OnNodeContextMenu(this, node, point, menu);
    if (menu != nullptr) {
        menu->PopupComponent = this;
        menu->Popup(ClientToScreen(point));
    }
}

void TPTCustomTreeView::KeyboardContextMenu() {
    TPTShellNode* node = Selected();
    if (node == nullptr) {
        if (auto* menu = dynamic_cast<TPopupMenu*>(PopupMenu())) {
            menu->PopupComponent = this;
            menu->Popup(ClientToScreen({0, 0}));
        }
        return;
    }
    MakeVisible(node);
    TRect text = NodeTextRect(node);
    NodeContextMenu(node, {(text.Left + text.Right) / 2, (text.Top + text.Bottom) / 2});
}

std::unique_ptr<TPTCustomDraw> TPTCustomTreeView::CustomDrawItem(TPTCustomDrawStage stage, TPTShellNode* node,
                                                                  const TRect& rect) {
    auto draw = std::make_unique<TPTCustomDraw>(Font(), Font().Color(), Color(), stage, rect);
    if (OnCustomDraw)
        OnCustomDraw(this, *draw, node);
    if ((stage == cdsItemPrePaint || stage == cdsItemPostPaint) && OnCustomDrawItem)
        OnCustomDrawItem(this, *draw, node);
    return draw;
}

// --- input -----------------------------------------------------------------------------------

void TPTCustomTreeView::moveSelection(TPTShellNode* node) {
    if (node == nullptr)
        return;
    SetSelected(node);
    MakeVisible(node);
}

void TPTCustomTreeView::KeyDown(uint16_t& key, TShiftState shift) {
    TPTRowView::KeyDown(key, shift);
    if ((key == VK_APPS && (shift & (ssShift | ssCtrl | ssAlt)) == 0) || (key == VK_F10 && shift == ssShift)) {
        key = 0;
        KeyboardContextMenu();
        menuShown_ = true; // the window system's own menu request that may follow
        return;
    }
    if (IsEditing() || (shift & (ssCtrl | ssAlt)) != 0)
        return;
    const auto& rows = Rows();
    TPTShellNode* node = Selected();
    int row = RowOf(node);
    switch (key) {
    case VK_UP: moveSelection(row > 0 ? rows[static_cast<size_t>(row - 1)] : nullptr); break;
    case VK_DOWN:
        moveSelection(row + 1 < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(row + 1)] : nullptr);
        break;
    case VK_HOME: moveSelection(rows.empty() ? nullptr : rows.front()); break;
    case VK_END: moveSelection(rows.empty() ? nullptr : rows.back()); break;
    case VK_PRIOR:
    case VK_NEXT: {
        int step = std::max(1, VisibleRowCount() - 1) * (key == VK_PRIOR ? -1 : 1);
        int target = std::clamp(row + step, 0, static_cast<int>(rows.size()) - 1);
        moveSelection(rows.empty() ? nullptr : rows[static_cast<size_t>(target)]);
        break;
    }
    case VK_LEFT:
        if (node != nullptr && node->Expanded)
            CollapseNode(node);
        else if (node != nullptr)
            moveSelection(node->Parent());
        break;
    case VK_RIGHT:
        if (node != nullptr && !node->Expanded && node->HasChildren)
            ExpandNode(node);
        else if (node != nullptr && node->Count() > 0)
            moveSelection(node->Item(0));
        break;
    case VK_ADD: ExpandNode(node); break;
    case VK_SUBTRACT: CollapseNode(node); break;
    default: return;
    }
    key = 0;
}

void TPTCustomTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused())
        SetFocus();
    TPTRowView::MouseDown(button, shift, x, y);
    pressNode_ = button == mbMiddle ? nullptr : GetNodeAt(x, y);
    pressPoint_ = {x, y};
    pressRight_ = button == mbRight;
    if (button != mbLeft)
        return;
    int row = RowAt(y);
    if (row < 0)
        return;
    TPTShellNode* node = Rows()[static_cast<size_t>(row)];
    bool onButton = showsButton(node) && x >= iconLeft(node) - Indent && x < iconLeft(node) - 2;
    if (onButton || (shift & ssDouble) != 0) {
        if (node->Expanded)
            CollapseNode(node);
        else
            ExpandNode(node);
        return;
    }
    if (x < iconLeft(node) - Indent)
        return;
    NodeClicked(node);
    SetSelected(node);
}

void TPTCustomTreeView::MouseMove(TShiftState shift, int x, int y) {
    TPTRowView::MouseMove(shift, x, y);
    if (pressNode_ == nullptr || (shift & (pressRight_ ? ssRight : ssLeft)) == 0)
        return;
    if (std::abs(x - pressPoint_.X) <= 4 && std::abs(y - pressPoint_.Y) <= 4)
        return;
    TPTShellNode* node = pressNode_;
    pressNode_ = nullptr; // one drag per press
    NodeDragStart(node, pressRight_);
}

void TPTCustomTreeView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TPTRowView::MouseUp(button, shift, x, y);
    pressNode_ = nullptr;
    if (button != mbRight || (ComponentState() & csDesigning))
        return;
    // A right click on a node shows the node's menu; on empty space the
    // context-menu message that follows decides.
    if (TPTShellNode* node = GetNodeAt(x, y))
        showMenu(node, {x, y});
}

void TPTCustomTreeView::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_FREEINPLACEEDITOR:
        retiredEditor_.reset();
        message.Result = 0;
        return;
    case WM_RBUTTONDOWN:
        menuShown_ = false;
        TPTRowView::Dispatch(message);
        return;
    case WM_CONTEXTMENU: {
        TPoint screen = PointFromLParam(message.LParam);
        bool fromKeyboard = screen.X == -1 && screen.Y == -1;
        if (menuShown_) {
            // This click (or key) has had its menu already.
            menuShown_ = false;
            message.Result = 1;
        } else if (fromKeyboard) {
            KeyboardContextMenu();
            message.Result = 1;
        } else if (Selected() == nullptr) {
            NodeContextMenu(nullptr, ScreenToClient(screen));
            message.Result = 1;
        } else {
            TPTRowView::Dispatch(message);
        }
        return;
    }
    default:
        TPTRowView::Dispatch(message);
    }
}

// --- painting ----------------------------------------------------------------------------------

void TPTCustomTreeView::Paint() {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    const auto& rows = Rows();
    int last = std::min(static_cast<int>(rows.size()), TopRow() + VisibleRowCount() + 1);
    for (int row = TopRow(); row < last; ++row)
        paintNode(canvas, rows[static_cast<size_t>(row)], RowRect(row));
}

void TPTCustomTreeView::paintNode(TCanvas& canvas, TPTShellNode* node, const TRect& row) {
    bool highlighted = node == dropTarget_ || (node == Selected() && dropTarget_ == nullptr && (Focused() || !HideSelection));
    TColor text = highlighted ? clHighlightText : Font().Color();
    TColor back = highlighted ? clHighlight : Color();
    std::unique_ptr<TPTCustomDraw> draw = CustomDrawItem(cdsItemPrePaint, node, row);
    if (draw->SkipDefault)
        return;
    int left = iconLeft(node);
    int middle = (row.Top + row.Bottom) / 2;
    if (showsButton(node)) {
        TRect box = Bounds(left - Indent + (Indent - 9) / 2 - 1, middle - 4, 9, 9);
        canvas.FillRect(box, clWindow);
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FrameRect(box);
        canvas.FillRect(Rect(box.Left + 2, middle, box.Right - 2, middle + 1), clWindowText);
        if (!node->Expanded)
            canvas.FillRect(Rect(box.Left + 4, box.Top + 2, box.Left + 5, box.Bottom - 2), clWindowText);
    }
    TImageList* images = GetSystemImageList(0);
    int image = node == Selected() ? model_.SelectedIndexOf(node) : model_.ImageIndexOf(node);
    int iconTop = middle - 8;
    images->Draw(canvas, left, iconTop, image, !node->Cut);
    if (node->OverlayIndex >= 0)
        images->Draw(canvas, left, iconTop, OverlayImageIndex(node->OverlayIndex + 1));
    if (draw->FontChanged())
        canvas.SetFont(draw->Font());
    TRect label = Rect(left + 19, row.Top, left + 19 + canvas.TextWidth(node->Text()) + 4, row.Bottom);
    TColor background = draw->BrushChanged() ? draw->BackgroundColor() : back;
    canvas.FillRect(label, background);
    canvas.Font().SetColor(draw->FontChanged() ? draw->TextColor() : text);
    canvas.SetBkMode(TRANSPARENT);
    TTextLineFormat format;
    format.VCenter = true;
    format.NoPrefix = true;
    DrawTextLine(canvas, node->Text(), Rect(label.Left + 2, label.Top, label.Right, label.Bottom), format);
    if (node == Selected() && Focused() && dropTarget_ == nullptr)
        canvas.DrawFocusRect(label);
    canvas.SetFont(Font());
}
