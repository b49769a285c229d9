#include "toolbars/TBToolbar.h"

#include "platform/gfx/Canvas.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ApplicationKeys.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/NonClientMouse.h"
#include "platform/ui/Screen.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBGlyphs.h"
#include "toolbars/TBHooks.h"
#include "toolbars/TBMenuLoop.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"

#include <algorithm>

namespace {

// The width of the chevron button.
constexpr int kChevronSize = 12;

std::vector<TTBCustomToolbar*>& shortCutToolbars() {
    static std::vector<TTBCustomToolbar*> list;
    return list;
}

bool referencesControl(TTBCustomItem* parent, TControl* control) {
    for (int i = 0; i < parent->Count(); ++i) {
        auto* item = dynamic_cast<TTBControlItem*>(parent->ItemAt(i));
        if (item != nullptr && item->Control() == control)
            return true;
    }
    return false;
}

int along(TSize size, bool vertical) { return vertical ? size.cy : size.cx; }

// How thick a docked bar without an item to show is (a standard button's
// height): it stays in sight, so that it can be found and dragged.
constexpr int kEmptyBarThickness = 22;

// A docked bar's client size with nothing in it keeps that thickness
// across the dock; along it, it still asks for nothing.
TSize keptInSight(TSize size, TTBDock* dock) {
    if (dock == nullptr || size.cx != 0 || size.cy != 0)
        return size;
    return dock->IsVertical() ? TSize{kEmptyBarThickness, 0} : TSize{0, kEmptyBarThickness};
}

// The window system offers the program's keys to the toolbars while any
// takes part in shortcut processing.
// Characters typed with Alt in the main form's MDI client area: any one
// for the client window itself, "-" for a window inside it (a document
// window's system menu).  They go to the main form's keyboard menu as if
// typed in it, and no further.
void menuBarGetMsgHook(TTBHookPoint point, TWinControl*, WPARAM removed, LPARAM lParam) {
    if (point != hpGetMessage || removed != kTBMessageRemoved)
        return;
    auto& message = *reinterpret_cast<TQueuedMessage*>(lParam);
    if (message.Msg != WM_SYSCHAR || message.Window == nullptr)
        return;
    TCustomForm* main = Application().MainForm();
    if (main == nullptr || (HasWindowPeerFactory() && !main->HandleAllocated()) || GetCaptureControl() != nullptr)
        return;
    TMDIClient* client = main->MDIClient();
    if (client == nullptr)
        return;
    // A document window is one of the client's children, not a control
    // parented to it.
    TWinControl* top = message.Window;
    while (top->Parent() != nullptr)
        top = top->Parent();
    bool inside = false;
    for (int i = 0; i < client->ChildCount() && !inside; ++i)
        inside = client->Children(i) == top;
    if (message.Window != client && !(inside && message.WParam == U'-'))
        return;
    auto character = static_cast<LPARAM>(message.WParam);
    if (!ToolbarsSysCommand(main, SC_KEYMENU, character))
        main->Perform(WM_SYSCOMMAND, SC_KEYMENU, character);
    message.Msg = WM_NULL;
}

void takeApplicationKeys(bool take) {
    if (!take) {
        SetApplicationKeyHandlers({}, {});
        return;
    }
    SetApplicationKeyHandlers(
        [](TWinControl* form, TShortCut key) {
            TWinControl* active = Screen().ActiveForm();
            TWinControl* main = Application().MainForm();
            if (active == nullptr)
                active = form;
            if (main == nullptr)
                main = form;
            return ToolbarsProcessShortCut(active, main, key);
        },
        [](TWinControl* form, char32_t ch) {
            // The menu bar is the active form's: an MDI frame while one of
            // its document windows has the keyboard.
            TWinControl* active = Screen().ActiveForm();
            if (active == nullptr)
                active = form;
            if (auto* document = dynamic_cast<TCustomForm*>(active);
                document != nullptr && document->FormStyle() == fsMDIChild && Application().MainForm() != nullptr)
                active = Application().MainForm();
            auto character = static_cast<LPARAM>(ch);
            if (ToolbarsSysCommand(active, SC_KEYMENU, character))
                return true;
            // Space, and "-" that no bar took, open a system menu: the
            // window's own (the frame's, or its document window's for "-").
            if (ch != U' ' && ch != U'-')
                return false;
            active->Perform(WM_SYSCOMMAND, SC_KEYMENU, character);
            return true;
        });
}


} // namespace

// ---------------------------------------------------------------------------
// The chevron

TTBChevronItem::TTBChevronItem(TTBCustomToolbar* toolbar) : TTBCustomItem(nullptr), toolbar_(toolbar) {
    ItemStyle |= isSubmenu | isNoAutoOpen;
}

TTBView* TTBChevronItem::ChevronSourceView() { return toolbar_->View(); }

TTBItemViewerClass TTBChevronItem::ViewerClassFor(TTBView*) { return &TTBChevronItemViewer::Make; }

TTBItemViewer* TTBChevronItemViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBChevronItemViewer(view, item);
}

void TTBChevronItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                                 bool) {
    TRect r = clientArea;
    bool enabled = Item()->Enabled();
    if (enabled) {
        TRect edge = r;
        if (isPushed)
            canvas.DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT);
        else if (isSelected)
            canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
    }
    bool vertical = View()->Orientation == tbvoVertical;
    int x = vertical ? r.Right - 9 : r.Left + 2;
    int y = vertical ? r.Top + 2 : r.Top + 4;
    if (isPushed) {
        ++x;
        ++y;
    }
    auto draw = [&](int dx, int dy, TColor color) {
        if (vertical)
            PaintGlyphPattern(canvas, x + dx, y + dy, 8, kChevronVertical, color);
        else
            PaintGlyphPattern(canvas, x + dx, y + dy, 8, kChevronHorizontal, color);
    };
    if (enabled) {
        draw(0, 0, clBtnText);
    } else {
        draw(0, 1, clBtnHighlight);
        draw(0, 0, clBtnShadow);
    }
}

// ---------------------------------------------------------------------------
// The view

TTBToolbarView::TTBToolbarView(TTBCustomToolbar* toolbar, TTBCustomItem* items)
    : TTBView(nullptr, nullptr, items, toolbar, true, false, true), toolbar_(toolbar) {}

TTBCustomItem* TTBToolbarView::GetChevronItem() { return toolbar_->ChevronItem(); }

TFont TTBToolbarView::GetFont() { return toolbar_->SystemFont() ? TBMenuFont() : toolbar_->Font(); }

void TTBToolbarView::ResizeWindow(int width, int height) {
    // The dock is asked for the length without the chevron's hiding, so
    // that a shrunk bar grows back when there is room.
    toolbar_->sizeAsked_ = BaseSize;
    if (toolbar_->arranging_ == 0 && toolbar_->SizesItself() && toolbar_->Parent() != nullptr)
        toolbar_->ResizeToClientSize(width, height);
}

void TTBToolbarView::LayoutAndRepaint(TSize& newSize) {
    if (TTBDock* dock = toolbar_->CurrentDock()) {
        int thickness = dock->GetRowThicknessExcept(toolbar_->PlacedRow, toolbar_);
        if (dock->IsVertical())
            newSize.cx = thickness;
        else
            newSize.cy = thickness;
    }
    if (toolbar_->FullSize()) {
        if (Orientation == tbvoVertical)
            newSize.cy = std::max(newSize.cy, WrapOffset);
        else
            newSize.cx = std::max(newSize.cx, WrapOffset);
    }
    toolbar_->SetShrunkLength(0);
    ++toolbar_->layoutsInProgress_;
    try {
        TTBView::LayoutAndRepaint(newSize);
    } catch (...) {
        --toolbar_->layoutsInProgress_;
        throw;
    }
    --toolbar_->layoutsInProgress_;
}

void TTBToolbarView::InvalidatePositions() {
    toolbar_->SetShrunkLength(0);
    TTBView::InvalidatePositions();
}

// ---------------------------------------------------------------------------
// The toolbar

struct TTBCustomToolbar::TFloatingResize {
    int Edge = 0;
    TRect Frame;
    int LeftBorder = 0;
    int ApplyValue = 0;
    int SnapDistance = 12;
    bool Changed = false;
    bool LastShrinking = false;
    std::vector<TFloatingSize> Sizes; // frame sizes, largest first
};

TTBCustomToolbar::TTBCustomToolbar(TComponent* owner) : TTBCustomDockableWindow(owner) {
    RegisterAddItemHook(&ComponentIsA<TTBCustomToolbar>, [](TComponent* parent, TTBCustomItem* item) {
        static_cast<TTBCustomToolbar*>(parent)->Items()->Add(item);
    });
    ControlStyle = (ControlStyle | csAcceptsControls) & ~csCaptureMouse;
    ResizeOptions = 0;
    items_ = std::make_unique<TTBRootItem>();
    items_->SetParentComponentValue(this);
    MakeParts();
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), 23, 22);
    actionIdleHandler_ = AddActionIdleHandler([this] {
        if (Showing())
            InitiateAction();
    });
}

void TTBCustomToolbar::InitiateAction() {
    if (!UpdateActions || (ComponentState() & csDesigning))
        return;
    // An update may free items, or this toolbar.
    TComponentWatch self(this);
    ForEachAlive(items_->ChildSource()->Children(), [&](TTBCustomItem* item) {
        item->InitiateAction();
        return self.Alive();
    });
}

TTBCustomToolbar::~TTBCustomToolbar() {
    Destroying();
    RemoveActionIdleHandler(actionIdleHandler_);
    if (menuBar_ && !(ComponentState() & csDesigning))
        UnsubscribeHooks(&menuBarGetMsgHook);
    auto& list = shortCutToolbars();
    if (std::find(list.begin(), list.end(), this) != list.end()) {
        std::erase(list, this);
        if (list.empty())
            takeApplicationKeys(false);
    }
    view_.reset();
    chevron_.reset();
    items_.reset();
    UnregisterAddItemHook(&ComponentIsA<TTBCustomToolbar>);
}

TTBToolbarView* TTBCustomToolbar::CreateView() { return new TTBToolbarView(this, items_.get()); }

TTBChevronItem* TTBCustomToolbar::CreateChevronItem() { return new TTBChevronItem(this); }

void TTBCustomToolbar::MakeParts() {
    view_.reset();
    chevron_.reset(CreateChevronItem());
    chevron_->SetLinkSubitems(items_.get());
    view_.reset(CreateView());
    view_->Color = Color();
    view_->ChevronSize = kChevronSize;
    if (menuBar_)
        view_->Style |= vsMenuBar;
    view_->RebuildViewers();
}

void TTBCustomToolbar::BeginUpdate() { view_->BeginUpdate(); }

void TTBCustomToolbar::EndUpdate() { view_->EndUpdate(); }

void TTBCustomToolbar::SetMenuBar(bool value) {
    if (value == menuBar_)
        return;
    menuBar_ = value;
    if (value)
        view_->Style |= vsMenuBar;
    else
        view_->Style &= static_cast<TTBViewStyle>(~vsMenuBar);
    if (!IsLoading()) {
        SetFullSize(value);
        SetShrinkMode(value ? tbsmWrap : tbsmChevron);
        SetCloseButton(!value);
        SetProcessShortCuts(value);
    }
    updateRegistration();
    if (!(ComponentState() & csDesigning)) {
        if (value)
            SubscribeHooks(&menuBarGetMsgHook, 1u << hpGetMessage);
        else
            UnsubscribeHooks(&menuBarGetMsgHook);
    }
}

void TTBCustomToolbar::SetProcessShortCuts(bool value) {
    if (value == processShortCuts_)
        return;
    processShortCuts_ = value;
    updateRegistration();
}


void TTBCustomToolbar::updateRegistration() {
    auto& list = shortCutToolbars();
    bool wasEmpty = list.empty();
    bool wanted = (processShortCuts_ || menuBar_) && !(ComponentState() & csDesigning);
    bool listed = std::find(list.begin(), list.end(), this) != list.end();
    if (wanted && !listed)
        list.push_back(this);
    else if (!wanted && listed)
        std::erase(list, this);
    if (list.empty() != wasEmpty)
        takeApplicationKeys(!list.empty());
}

const std::vector<TTBCustomToolbar*>& TTBCustomToolbar::ShortCutToolbars() { return shortCutToolbars(); }

void TTBCustomToolbar::SetShrinkMode(TTBShrinkMode value) {
    if (value == shrinkMode_)
        return;
    shrinkMode_ = value;
    if (Docked())
        CurrentDock()->LayoutBars();
    else if (!Floating())
        rearrange();
}

void TTBCustomToolbar::SetSystemFont(bool value) {
    if (value == systemFont_)
        return;
    systemFont_ = value;
    rearrange();
}

void TTBCustomToolbar::SetFloatingRightX(int value) {
    value = std::clamp(value, 0, 32767);
    if (value == floatingRightX_)
        return;
    floatingRightX_ = value;
    if (Floating())
        rearrange();
}

void TTBCustomToolbar::rearrange() {
    view_->InvalidatePositions();
    FitToContents();
}

void TTBCustomToolbar::AlignControls(TRect&) {
    // A size set by the bar's own layout changes nothing more.  In a dock
    // the dock decides the chevron's room (the shrunk length) and lays
    // such a bar out again when that changes; the wrap width follows the
    // dock's length, and on a form both follow the bar's own, which
    // nobody else watches: without this a full-size bar keeps its
    // right-aligned items where an earlier length put them, and wraps at
    // it.
    if (layoutsInProgress_ > 0 || arranging_ > 0 || Parent() == nullptr)
        return;
    int orientation, wrapOffset, chevronOffset;
    limitsFor(CurrentDock(), Floating(), orientation, wrapOffset, chevronOffset);
    const bool chevronMoved = !Docked() && chevronOffset != view_->ChevronOffset;
    if (wrapOffset == view_->WrapOffset && orientation == view_->Orientation && !chevronMoved)
        return;
    // The dock's placement of the bar restores its shrunk length after.
    const int shrunk = ShrunkLength();
    rearrange();
    SetShrunkLength(shrunk);
}

// ---------------------------------------------------------------------------
// Arranging

void TTBCustomToolbar::limitsFor(TTBDock* dock, bool floating, int& orientation, int& wrapOffset,
                                 int& chevronOffset) {
    orientation = floating ? tbvoFloating : dock != nullptr && dock->IsVertical() ? tbvoVertical : tbvoHorizontal;
    wrapOffset = 0;
    chevronOffset = 0;
    if (dock == nullptr && !floating) {
        if (!AutoResize()) {
            int length = Width() - (Width() - ClientWidth());
            if (shrinkMode_ == tbsmChevron)
                chevronOffset = length;
            else if (shrinkMode_ == tbsmWrap)
                wrapOffset = length;
        }
        return;
    }
    bool vertical = dock != nullptr && dock->IsVertical();
    TSize frame = DockedFrameSizeFor(dock);
    if (shrinkMode_ == tbsmChevron && dock != nullptr && dock == CurrentDock())
        chevronOffset = std::max(0, ShrunkLength() - along(frame, vertical));
    if (floating)
        wrapOffset = floatingRightX_;
    else if (shrinkMode_ == tbsmWrap)
        wrapOffset = vertical ? dock->Height() - dock->NonClientHeight() - frame.cy
                              : dock->Width() - dock->NonClientWidth() - frame.cx;
}

void TTBCustomToolbar::UpdateViewLimits() {
    int orientation, wrapOffset, chevronOffset;
    limitsFor(CurrentDock(), Floating(), orientation, wrapOffset, chevronOffset);
    view_->Orientation = orientation;
    view_->WrapOffset = wrapOffset;
    view_->ChevronOffset = chevronOffset;
    view_->ChevronSize = kChevronSize;
}

TSize TTBCustomToolbar::ArrangeContents(bool canMove, TTBDockType, TTBDock* dockingTo, bool toFloating) {
    if (canMove) {
        ++arranging_;
        try {
            adoptChildControls();
            UpdateViewLimits();
            TSize size = view_->Relayout();
            --arranging_;
            return keptInSight(size, Floating() ? nullptr : CurrentDock());
        } catch (...) {
            --arranging_;
            throw;
        }
    }
    int orientation, wrapOffset, chevronOffset;
    limitsFor(dockingTo, toFloating, orientation, wrapOffset, chevronOffset);
    TSize base, size;
    int lines = 1;
    view_->CalculatePositions(false, orientation, wrapOffset, chevronOffset, kChevronSize, base, size, lines);
    lastLines_ = lines;
    return keptInSight(size, toFloating ? nullptr : dockingTo);
}

TSize TTBCustomToolbar::ContentClientSize() {
    view_->ValidatePositions();
    return keptInSight(sizeAsked_, Floating() ? nullptr : CurrentDock());
}

void TTBCustomToolbar::ShrinkLimit(int& length) {
    view_->ValidatePositions();
    int shrunk = view_->MinimumShrunkLength();
    // A bar without an item to show can shrink away entirely.
    if (shrunk == 0) {
        length = 0;
        return;
    }
    bool vertical = CurrentDock() != nullptr && CurrentDock()->IsVertical();
    length = shrunk + along(DockedFrameSize(), vertical);
}

void TTBCustomToolbar::adoptChildControls() {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!referencesControl(items_.get(), control))
            CreateControlItem(control, items_->Count());
    }
}

TTBControlItem* TTBCustomToolbar::CreateControlItem(TControl* control, int index) {
    auto* item = new TTBControlItem(Owner(), control);
    items_->Insert(index, item);
    return item;
}

void TTBCustomToolbar::Loaded() {
    adoptChildControls();
    TTBCustomDockableWindow::Loaded();
}

// ---------------------------------------------------------------------------
// Mouse and keys

void TTBCustomToolbar::PointOnChildControl(TPoint point, bool& result) {
    TTBCustomDockableWindow::PointOnChildControl(point, result);
    if (result)
        return;
    TPoint screen = ClientToScreen(point);
    SetTBCursorPos(screen);
    // The selection's handlers may free this toolbar: nothing is dragged then.
    TComponentWatch self(this);
    view_->MouseMoved(screen, true);
    if (!self.Alive()) {
        result = true;
        return;
    }
    TTBItemViewer* selected = view_->Selected();
    result = selected != nullptr && !(selected->Item()->ItemStyle & isNotClickable);
}

void TTBCustomToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // The selection's and the menu's handlers may free this toolbar.
    TComponentWatch self(this);
    TWinControl* parentBefore = Parent();
    TTBCustomDockableWindow::MouseDown(button, shift, x, y);
    if (!self.Alive() || Parent() != parentBefore || button != mbLeft || (shift & ssDouble))
        return;
    TPoint screen = ClientToScreen({x, y});
    SetTBCursorPos(screen);
    view_->MouseMoved(screen, true);
    if (!self.Alive())
        return;
    TTBItemViewer* selected = view_->Selected();
    if (selected == nullptr || (selected->Item()->ItemStyle & isNotClickable))
        return;
    trackingFromMouse_ = true;
    try {
        TrackMenu(view_.get(), tbtmStartedByMouse);
    } catch (...) {
        if (self.Alive())
            trackingFromMouse_ = false;
        throw;
    }
    if (self.Alive())
        trackingFromMouse_ = false;
}

void TTBCustomToolbar::MouseMove(TShiftState shift, int x, int y) {
    TPoint screen = ClientToScreen({x, y});
    SetTBCursorPos(screen);
    TComponentWatch self(this);
    view_->MouseMoved(screen, true);
    if (!self.Alive())
        return;
    // The toolbar's hint is the item's under the mouse.
    TTBItemViewer* selected = view_->Selected();
    bool menuOnly = selected != nullptr && (selected->Item()->EffectiveOptions() & tboLongHintInMenuOnly);
    std::string hint = selected != nullptr && !menuOnly ? selected->Item()->Hint : std::string();
    if (hint != Hint()) {
        SetHint(hint);
        // The status bar follows the item under the pointer, not only the
        // toolbar the pointer entered.
        if (GetCaptureControl() == nullptr || GetCaptureControl() == this)
            Application().SetHint(GetLongHint(hint));
    }
    TTBCustomDockableWindow::MouseMove(shift, x, y);
}

void TTBCustomToolbar::Paint() { view_->DrawViewers(Canvas()); }

bool TTBCustomToolbar::KeyboardOpen(char32_t ch, bool accelOnly) {
    // The click or the menu runs handlers, which may free this toolbar.
    TComponentWatch self(this);
    view_->SetAccelsVisible(true);
    bool acted = false;
    TTBItemViewer* viewer = nullptr;
    if (ch != 0) {
        bool unique = false;
        viewer = view_->FindAccelViewer(nullptr, ch, unique, accelOnly);
        if (viewer != nullptr && viewer->Item()->Enabled()) {
            TTBCustomItem* item = viewer->Item();
            if (unique && !(item->ItemStyle & isSubmenu)) {
                item->Click();
                acted = true;
            } else if (unique || menuBar_) {
                view_->Select(viewer);
                if (self.Alive())
                    TrackMenu(view_.get(), unique ? tbtmMenuMode | tbtmSelectFirst : 0);
                acted = true;
            }
        }
    } else if (TTBItemViewer* first = view_->FirstSelectable()) {
        view_->Select(first);
        if (self.Alive())
            TrackMenu(view_.get(), 0);
        acted = true;
    }
    if (viewer != nullptr && self.Alive())
        view_->SetAccelsVisible(false);
    return acted;
}

bool TTBCustomToolbar::handleSysCommand(TMessage& message) {
    if ((message.WParam & 0xFFF0) != SC_KEYMENU || !menuBar_ || !Enabled() || !Showing())
        return false;
    auto ch = static_cast<char32_t>(message.LParam);
    if (ch == U' ' || GetCaptureControl() != nullptr)
        return false;
    if (KeyboardOpen(ch, false)) {
        message.Result = 1;
        return true;
    }
    if (ch == U'-')
        return false; // the system menu of the document window
    TBSystemSettings().Beep();
    message.Result = 1;
    return true;
}

bool TTBCustomToolbar::TabOrderIncludes(const TWinControl& child) const {
    std::vector<TWinControl*> hidden;
    if (view_)
        view_->CollectOffEdgeControls(hidden);
    return std::find(hidden.begin(), hidden.end(), &child) == hidden.end();
}

void TTBCustomToolbar::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_COLORCHANGED:
        view_->Color = Color();
        break;
    case CM_FONTCHANGED:
        TTBCustomDockableWindow::Dispatch(message);
        if (!systemFont_)
            rearrange();
        return;
    case CM_MOUSELEAVE:
        if (GetCaptureControl() != this && !trackingFromMouse_)
            view_->MouseMoved({}, false, false);
        break;
    case WM_NCMOUSEMOVE:
        if (GetCaptureControl() != this)
            view_->MouseMoved({}, false, false);
        SetHint({});
        break;
    case WM_CONTEXTMENU:
        view_->MouseMoved({}, false, false);
        break;
    case WM_SETCURSOR:
        if (LOWORD(static_cast<uintptr_t>(message.LParam)) == HTCLIENT) {
            TPoint screen = TBCursorPos();
            view_->MouseMoved(screen, true);
            if (TTBItemViewer* selected = view_->Selected()) {
                int cursor = crDefault;
                selected->CursorAt(selected->ScreenToViewer(screen), cursor);
                if (cursor != crDefault) {
                    ShowCursorShape(cursor);
                    message.Result = 1;
                    return;
                }
            }
        }
        break;
    case CM_DIALOGKEY:
        if (message.WParam == VK_MENU && menuBar_)
            view_->SetAccelsVisible(true);
        break;
    case CM_DIALOGCHAR: {
        auto ch = static_cast<char32_t>(message.WParam);
        if (!menuBar_ && Enabled() && Showing() && ch != 0 && KeyboardOpen(ch, true)) {
            message.Result = 1;
            return;
        }
        break;
    }
    case WM_SYSCOMMAND:
        if (handleSysCommand(message))
            return;
        break;
    case CM_HINTSHOW: {
        // No tip while a menu of the bar is being tracked or one of its
        // popups is open: it would cover the menu just opened.
        if ((view_->State & vsModal) || view_->OpenViewerWindow() != nullptr) {
            message.Result = 1;
            return;
        }
        // The hint of the item under the pointer; none over empty space.
        auto& info = *reinterpret_cast<THintInfo*>(message.LParam);
        TPoint at{info.CursorPos.X - view_->WindowOrigin.X, info.CursorPos.Y - view_->WindowOrigin.Y};
        view_->HintFor(view_->ViewerAtPoint(at), info);
        message.Result = 0;
        return;
    }
    case WM_SETTINGCHANGE:
        rearrange();
        break;
    default:
        break;
    }
    TTBCustomDockableWindow::Dispatch(message);
}

// ---------------------------------------------------------------------------
// Floating resize: the frame snaps to the widths at which the number of
// lines changes.

std::vector<TTBCustomToolbar::TFloatingSize> TTBCustomToolbar::GetFloatingSizes() {
    TTBFloatingWindowParent* frame = FloatingFrame();
    TPoint extra = frame != nullptr ? frame->FrameSize() : TPoint{};
    TRect margins;
    view_->GetMargins(tbvoFloating, margins);
    // The width a layout takes up to its items' right edge, which is what
    // its wrap width is compared with.
    auto measure = [&](int wrapWidth, int& lines) {
        TSize base, size;
        view_->CalculatePositions(false, tbvoFloating, wrapWidth, 0, kChevronSize, base, size, lines);
        return size;
    };
    std::vector<TFloatingSize> sizes;
    int lines = 1;
    TSize unwrapped = measure(0, lines);
    sizes.push_back({unwrapped, 0});
    int lastLines = lines;
    int narrowest = margins.Left + margins.Right;
    for (int width = unwrapped.cx - margins.Right - 1; width >= narrowest && width > 0;) {
        TSize wrapped = measure(width, lines);
        int used = wrapped.cx - margins.Right;
        if (used > width)
            break;
        if (used == width) {
            if (lines == lastLines && sizes.size() > 1)
                sizes.back() = {wrapped, width};
            else
                sizes.push_back({wrapped, width});
            lastLines = lines;
            --width;
        } else {
            width = used;
        }
    }
    for (TFloatingSize& s : sizes) {
        s.Size.cx += extra.X;
        s.Size.cy += extra.Y;
    }
    return sizes;
}

void TTBCustomToolbar::SizingStarted(int edge) {
    TTBFloatingWindowParent* frame = FloatingFrame();
    if (frame == nullptr)
        return;
    auto resize = std::make_unique<TFloatingResize>();
    resize->Edge = edge;
    resize->Frame = frame->BoundsRect();
    resize->LeftBorder = frame->BorderSize();
    resize->ApplyValue = floatingRightX_;
    resize->Sizes = GetFloatingSizes();
    bool byWidth = edge == 0 || edge == 1;
    std::stable_sort(resize->Sizes.begin(), resize->Sizes.end(), [byWidth](const auto& a, const auto& b) {
        return byWidth ? a.Size.cx > b.Size.cx : a.Size.cy > b.Size.cy;
    });
    auto key = [byWidth](const TFloatingSize& s) { return byWidth ? s.Size.cx : s.Size.cy; };
    TSize current{resize->Frame.Width(), resize->Frame.Height()};
    const auto& sizes = resize->Sizes;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i].Size.cx != current.cx || sizes[i].Size.cy != current.cy)
            continue;
        if (i > 0)
            resize->SnapDistance = std::min(resize->SnapDistance, std::abs(key(sizes[i - 1]) - key(sizes[i])) - 1);
        if (i + 1 < sizes.size())
            resize->SnapDistance = std::min(resize->SnapDistance, std::abs(key(sizes[i]) - key(sizes[i + 1])) - 1);
        resize->SnapDistance = std::max(resize->SnapDistance, 0);
        break;
    }
    floatingResize_ = std::move(resize);
}

void TTBCustomToolbar::ProposeSizingRect(TRect& rect, const TRect& startRect) {
    TFloatingResize* resize = floatingResize_.get();
    if (resize == nullptr || resize->Sizes.empty())
        return;
    const int edge = resize->Edge;
    const bool byWidth = edge == 0 || edge == 1;
    auto key = [byWidth](const TFloatingSize& s) { return byWidth ? s.Size.cx : s.Size.cy; };
    int start = byWidth ? resize->Frame.Width() : resize->Frame.Height();
    int wanted = byWidth ? rect.Width() : rect.Height();
    bool shrinking = wanted < start;
    if (!resize->Changed || shrinking != resize->LastShrinking)
        if (wanted >= start - resize->SnapDistance && wanted < start + resize->SnapDistance)
            wanted = start;
    resize->LastShrinking = shrinking;
    rect = startRect;
    // Sizes are ordered largest first.
    size_t chosen = 0;
    const size_t count = resize->Sizes.size();
    if (shrinking) {
        chosen = count - 1;
        for (size_t i = 0; i < count; ++i)
            if (key(resize->Sizes[i]) <= wanted) {
                chosen = i;
                break;
            }
    } else {
        chosen = 0;
        for (size_t i = count; i-- > 0;)
            if (key(resize->Sizes[i]) > wanted) {
                chosen = i;
                break;
            }
    }
    TSize size = resize->Sizes[chosen].Size;
    switch (edge) {
    case 1:
        rect.Right = rect.Left + size.cx;
        rect.Bottom = rect.Top + size.cy;
        break;
    case 0:
        rect.Left = rect.Right - size.cx;
        rect.Bottom = rect.Top + size.cy;
        break;
    case 5:
        rect.Bottom = rect.Top + size.cy;
        rect.Right = rect.Left + size.cx;
        break;
    case 2:
        rect.Top = rect.Bottom - size.cy;
        rect.Right = rect.Left + size.cx;
        break;
    default:
        break;
    }
    resize->ApplyValue = resize->Sizes[chosen].RightX;
    resize->Changed = !(rect == startRect);
}

void TTBCustomToolbar::BeforeSizeApplied() {
    if (floatingResize_ != nullptr)
        SetFloatingRightX(floatingResize_->ApplyValue);
}

void TTBCustomToolbar::SizingFinished() { floatingResize_.reset(); }

void TTBCustomToolbar::ReadExtraPositionValues(const TTBPositionReader& reader) {
    SetFloatingRightX(reader.ReadInt(Name(), "FloatRightX", 0));
}

void TTBCustomToolbar::WriteExtraPositionValues(const TTBPositionWriter& writer) {
    writer.WriteInt(Name(), "FloatRightX", floatingRightX_);
}

// ---------------------------------------------------------------------------
// The application's keys

bool ToolbarsProcessFormShortCut(TWinControl* form, TShortCut key) {
    if (form == nullptr || !form->Enabled())
        return false;
    // A toolbar's handlers may free it, or the others.
    bool handled = false;
    ForEachAlive(shortCutToolbars(), [&](TTBCustomToolbar* toolbar) {
        if (!toolbar->ProcessShortCuts())
            return true;
        TWinControl* host = nullptr;
        try {
            host = TTBCustomDockableWindow::HostFormOf(toolbar);
        } catch (const EInvalidOperation&) {
            return true;
        }
        if (host != form)
            return true;
        TComponentWatch self(toolbar);
        if (TTBShortCutEvent handler = toolbar->OnShortCut)
            handler(toolbar, key, handled);
        if (!handled && self.Alive())
            handled = toolbar->Items()->HandleShortCut(key);
        return !handled;
    });
    return handled;
}

bool ToolbarsProcessShortCut(TWinControl* activeForm, TWinControl* mainForm, TShortCut key) {
    if (shortCutToolbars().empty())
        return false;
    if (ToolbarsProcessFormShortCut(activeForm, key))
        return true;
    return mainForm != activeForm && ToolbarsProcessFormShortCut(mainForm, key);
}

namespace {

bool sysCommandIn(TWinControl* container, WPARAM wParam, LPARAM lParam) {
    for (int i = 0; i < container->ControlCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(container->Controls(i));
        if (control == nullptr || !control->Visible() || !control->Enabled())
            continue;
        auto* toolbar = dynamic_cast<TTBCustomToolbar*>(control);
        if (dynamic_cast<TTBDock*>(control) != nullptr || (toolbar != nullptr && toolbar->WantsMenuEvents()))
            if (SendMessage(control, WM_SYSCOMMAND, wParam, lParam) != 0)
                return true;
        if (sysCommandIn(control, wParam, lParam))
            return true;
    }
    return false;
}

} // namespace

bool ToolbarsSysCommand(TWinControl* form, WPARAM wParam, LPARAM lParam) {
    if (form == nullptr || !form->Showing())
        return false;
    return sysCommandIn(form, wParam, lParam);
}
