#include "toolbars/themes/TBKMDIHandler.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Application.h"
#include "platform/ui/MDI.h"
#include "toolbars/TBGlyphs.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKTheme.h"

#include <algorithm>

namespace {

// The images of the system menu, drawn in black on the grey that is their
// mask: close, maximise, minimise, restore.
void drawSystemMenuImages(TImageList& images) {
    constexpr TColor kMask = RGB(0xC0, 0xC0, 0xC0);
    TBitmap strip(64, 16);
    TCanvas& canvas = strip.Canvas();
    canvas.FillRect(Rect(0, 0, 64, 16), kMask);
    auto box = [&](int x, int y, int w, int h) {
        canvas.FillRect(Rect(x, y, x + w, y + 2), clBlack); // thick top
        canvas.FillRect(Rect(x, y, x + 1, y + h), clBlack);
        canvas.FillRect(Rect(x + w - 1, y, x + w, y + h), clBlack);
        canvas.FillRect(Rect(x, y + h - 1, x + w, y + h), clBlack);
    };
    for (int i = 0; i < 7; ++i) { // close: a cross
        canvas.FillRect(Bounds(4 + i, 4 + i, 2, 1), clBlack);
        canvas.FillRect(Bounds(10 - i, 4 + i, 2, 1), clBlack);
    }
    box(16 + 3, 3, 9, 9);                                  // maximise
    canvas.FillRect(Rect(32 + 4, 10, 32 + 10, 12), clBlack); // minimise
    box(48 + 5, 2, 8, 7);                                  // restore: two windows
    canvas.FillRect(Rect(48 + 3, 6, 48 + 10, 13), kMask);
    box(48 + 3, 6, 8, 7);
    canvas.Release();
    images.SetSize(16, 16);
    images.AddMasked(strip, kMask);
}

int imageOfCommand(unsigned command) {
    switch (command & 0xFFF0) {
    case SC_MINIMIZE:
        return kSysMenuMinimize;
    case SC_MAXIMIZE:
        return kSysMenuMaximize;
    case SC_CLOSE:
        return kSysMenuClose;
    case SC_RESTORE:
        return kSysMenuRestore;
    default:
        return -1;
    }
}

TTBKItemInfo buttonInfo(TTBItemViewer& viewer, bool isSelected, bool isPushed) {
    TTBKItemInfo info;
    info.ViewType = TVT_TOOLBAR;
    info.Options = IO_TOOLBARSTYLE;
    if (viewer.Item()->ComponentState() & csDesigning)
        info.Options |= IO_DESIGNING;
    info.Enabled = viewer.Item()->Enabled();
    info.Pushed = isPushed;
    if (isSelected)
        info.Hover = info.Enabled ? 2 : viewer.View()->MouseOverSelected() ? 0 : 1;
    info.Vertical = viewer.View()->Orientation == tbvoVertical;
    return info;
}

// The icon of the active child (a small window, the forms having no
// icons of their own).
class TTBKMDISystemMenuItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item) {
        return new TTBKMDISystemMenuItemViewer(view, item);
    }
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void MeasureSize(TCanvas&, int& width, int& height) override {
        width = kTBKMDIIconSize;
        height = kTBKMDIIconSize;
    }
    void Paint(TCanvas& canvas, const TRect& clientArea, bool, bool, bool) override {
        TRect icon = clientArea;
        InflateRect(icon, -2, -3);
        if (icon.IsEmpty())
            return;
        canvas.FillRect(icon, clWindow);
        canvas.FillRect(Rect(icon.Left, icon.Top, icon.Right, icon.Top + 3), clActiveCaption);
        FrameInColor(canvas, icon, clWindowFrame);
    }
};

class TTBKMDIButtonItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item) { return new TTBKMDIButtonItemViewer(view, item); }
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void MeasureSize(TCanvas&, int& width, int& height) override {
        TTBKTheme& theme = CurrentTheme();
        width = std::max(0, kTBKMDIButtonSize - theme.GetIntegerMetric(TMI_MDIBUTTON_WIDTHLESS));
        height = std::max(0, kTBKMDIButtonSize - theme.GetIntegerMetric(TMI_MDIBUTTON_HEIGHTLESS));
    }
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed, bool) override {
        static constexpr int themeKind[] = {1, 3, 0}; // minimise, restore, close
        auto kind = static_cast<const TTBKMDIButtonItem*>(Item())->ButtonKind();
        CurrentTheme().PaintMDIButton(canvas, clientArea, buttonInfo(*this, isSelected, isPushed), themeKind[kind]);
    }
};

class TTBKMDISepItemViewer : public TTBSeparatorItemViewer {
public:
    using TTBSeparatorItemViewer::TTBSeparatorItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item) { return new TTBKMDISepItemViewer(view, item); }
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void MeasureSize(TCanvas&, int& width, int& height) override {
        bool vertical = View()->Orientation == tbvoVertical;
        width = vertical ? 6 : 2;
        height = vertical ? 2 : 6;
    }
    void Paint(TCanvas&, const TRect&, bool, bool, bool) override {}
};

} // namespace

// ---------------------------------------------------------------------------
// The items

TTBKMDISystemMenuItem::TTBKMDISystemMenuItem(TTBKMDIHandler* handler)
    : TTBKCustomItem(nullptr), handler_(handler), images_(std::make_unique<TImageList>()) {
    ItemStyle |= isSubmenu | isNoSelectFirst;
    SetCaption("&-");
    drawSystemMenuImages(*images_);
    SetSubMenuImages(images_.get());
}

TTBKMDISystemMenuItem::~TTBKMDISystemMenuItem() {
    Clear();
    SetSubMenuImages(nullptr);
}

TTBItemViewerClass TTBKMDISystemMenuItem::ViewerClassFor(TTBView*) { return &TTBKMDISystemMenuItemViewer::Make; }

void TTBKMDISystemMenuItem::Click() {
    TTBKCustomItem::Click();
    // The system menu is made again each time: the child and its state
    // may have changed.
    Clear();
    TCustomForm* child = handler_->ActiveChild();
    if (child == nullptr)
        return;
    for (const TSystemMenuEntry& entry : child->SystemMenu()) {
        if (entry.Caption == "-") {
            Add(new TTBKSeparatorItem());
            continue;
        }
        auto* item = new TTBKCustomItem();
        item->SetCaption(entry.Caption);
        item->SetEnabled(entry.Enabled);
        item->Tag = static_cast<int>(entry.Command);
        item->SetImageIndex(imageOfCommand(entry.Command));
        if ((entry.Command & 0xFFF0) == SC_CLOSE)
            item->SetOptions(item->Options() | tboDefault);
        TTBKMDIHandler* handler = handler_;
        item->OnClick = [handler](TTBCustomItem* sender) {
            handler->SendCommand(static_cast<unsigned>(sender->Tag));
        };
        Add(item);
    }
}

TTBKMDIButtonItem::TTBKMDIButtonItem(TTBKMDIButtonKind kind) : TTBCustomItem(nullptr), kind_(kind) {
    // Clickable with the mouse (its views select it), never chosen first
    // from the keyboard.
    ItemStyle |= isRightAlign | isNoSelectFirst;
}

TTBItemViewerClass TTBKMDIButtonItem::ViewerClassFor(TTBView*) { return &TTBKMDIButtonItemViewer::Make; }

TTBKMDISepItem::TTBKMDISepItem() : TTBSeparatorItem(nullptr) {
    SetBlank(true);
    ItemStyle |= isNoLineBreak | isRightAlign;
}

TTBItemViewerClass TTBKMDISepItem::ViewerClassFor(TTBView*) { return &TTBKMDISepItemViewer::Make; }

TTBKMDIButtonsItem::TTBKMDIButtonsItem(TTBKMDIHandler* handler) : TTBCustomItem(nullptr), handler_(handler) {
    ItemStyle |= isRelayedGroup;
    static constexpr unsigned commands[] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
    Add(new TTBKMDISepItem());
    for (TTBKMDIButtonKind kind : {mbkMinimize, mbkRestore, mbkClose}) {
        if (kind == mbkClose)
            Add(new TTBKMDISepItem());
        auto* button = new TTBKMDIButtonItem(kind);
        button->OnClick = [this, kind](TTBCustomItem*) { handler_->SendCommand(commands[kind]); };
        buttons_[kind] = button;
        Add(button);
    }
}

TTBKMDIButtonsItem::~TTBKMDIButtonsItem() { Clear(); }

// ---------------------------------------------------------------------------
// The handler

TTBKMDIHandler::TTBKMDIHandler(TComponent* owner)
    : TComponent(owner), systemMenu_(std::make_unique<TTBKMDISystemMenuItem>(this)),
      buttons_(std::make_unique<TTBKMDIButtonsItem>(this)) {
    UpdateMDIItems(nullptr, false);
}

TTBKMDIHandler::~TTBKMDIHandler() {
    Destroying();
    SetToolbar(nullptr);
    subscription_.reset();
}

void TTBKMDIHandler::SetToolbar(TTBCustomToolbar* value) {
    if (value == toolbar_)
        return;
    if (toolbar_ != nullptr) {
        TTBToolbarView* view = toolbar_->View();
        bool changed = false;
        if (view->TrailingGroupItem == buttons_.get()) {
            view->TrailingGroupItem = nullptr;
            changed = true;
        }
        if (view->LeadingItem == systemMenu_.get()) {
            view->LeadingItem = nullptr;
            changed = true;
        }
        if (changed)
            view->RebuildViewers();
        toolbar_->RemoveFreeNotification(this);
    }
    toolbar_ = value;
    if (toolbar_ != nullptr) {
        toolbar_->FreeNotification(this);
        TTBToolbarView* view = toolbar_->View();
        view->TrailingGroupItem = buttons_.get();
        view->LeadingItem = systemMenu_.get();
        view->RebuildViewers();
        view->ValidatePositionsIfIdle();
        follow();
    }
}

void TTBKMDIHandler::Loaded() {
    TComponent::Loaded();
    follow();
}

void TTBKMDIHandler::follow() {
    TMDIClient* client = nullptr;
    if (toolbar_ != nullptr) {
        try {
            auto* host = dynamic_cast<TCustomForm*>(TTBCustomDockableWindow::HostFormOf(toolbar_));
            if (host != nullptr)
                client = host->MDIClient();
        } catch (const EInvalidOperation&) {
        }
    }
    if (client == nullptr && Application().MainForm() != nullptr)
        client = Application().MainForm()->MDIClient();
    if (client == client_)
        return;
    if (client_ != nullptr)
        client_->Frame().RemoveFreeNotification(this);
    subscription_.reset();
    client_ = client;
    if (client_ != nullptr) {
        client_->Frame().FreeNotification(this);
        subscription_ = std::make_unique<TMDISubscription>(
            client_->Subscribe([this](TMDINotice notice, TCustomForm* child) { noticed(notice, child); }));
    }
    UpdateMDIItems(nullptr, false);
}

void TTBKMDIHandler::noticed(int notice, TCustomForm* child) {
    switch (notice) {
    case mdiChildAdded:
    case mdiStateChanged:
        UpdateMDIItems(child, child != nullptr && child->WindowState() == wsMaximized);
        break;
    case mdiChildRemoved:
        UpdateMDIItems(child, false);
        break;
    case mdiActivated:
        // The icon follows the active child.
        if (toolbar_ != nullptr)
            if (TTBItemViewer* viewer = toolbar_->View()->FindViewerOf(systemMenu_.get()))
                toolbar_->View()->InvalidateViewer(viewer);
        break;
    default:
        break;
    }
}

void TTBKMDIHandler::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == toolbar_) {
        toolbar_ = nullptr;
        UpdateMDIItems(nullptr, false);
    }
    if (client_ != nullptr && component == &client_->Frame()) {
        subscription_.reset();
        client_ = nullptr;
        UpdateMDIItems(nullptr, false);
    }
}

TCustomForm* TTBKMDIHandler::ActiveChild() const { return client_ != nullptr ? client_->ActiveChild() : nullptr; }

void TTBKMDIHandler::SendCommand(unsigned command) {
    if (TCustomForm* child = ActiveChild())
        SendMessage(child, WM_SYSCOMMAND, command, PointToLParam(GetCursorPos()));
}

void TTBKMDIHandler::UpdateMDIItems(TCustomForm* window, bool maximizing) {
    bool maximised = false;
    if (client_ != nullptr)
        for (int i = 0; i < client_->ChildCount() && !maximised; ++i) {
            TCustomForm* child = client_->Children(i);
            maximised = child == window ? maximizing : child->WindowState() == wsMaximized;
        }
    bool changed = false;
    auto show = [&](TTBCustomItem* item) {
        if (item->Visible() != maximised) {
            item->SetVisible(maximised);
            changed = true;
        }
    };
    show(systemMenu_.get());
    for (int i = 0; i < buttons_->Count(); ++i)
        show(buttons_->ItemAt(i));
    if (changed && toolbar_ != nullptr) {
        toolbar_->View()->InvalidatePositions();
        toolbar_->View()->ValidatePositionsIfIdle();
    }
}
