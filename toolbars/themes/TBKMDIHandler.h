#pragma once
// The buttons of a maximised MDI child on the menu bar.  When a document
// window of the application's MDI frame is maximised its caption is gone,
// so its system menu (under its icon, at the left end of the menu bar) and
// its minimise, restore and close buttons (at the right end) move onto the
// menu bar.  TTBKMDIHandler does this for one toolbar: it owns the icon
// item and a group of three buttons with two blank separators, shows them
// only while some child of the frame is maximised (it follows the frame's
// MDI client), and repaints the icon when another child becomes active.

#include "toolbars/TBItemViewer.h"
#include "toolbars/TBToolbar.h"
#include "toolbars/themes/TBKItems.h"

#include <memory>

class TCustomForm;
class TMDIClient;
class TTBKMDIHandler;
class TMDISubscription;

// The item under the child's icon: its submenu is the child's system menu,
// made afresh each time it opens.  Alt+"-" opens it.
class TTBKMDISystemMenuItem : public TTBKCustomItem {
public:
    explicit TTBKMDISystemMenuItem(TTBKMDIHandler* handler);
    ~TTBKMDISystemMenuItem() override;
    std::string ClassName() const override { return "TTBKMDISystemMenuItem"; }
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
    void Click() override;
    TTBKMDIHandler* Handler() const { return handler_; }

private:
    TTBKMDIHandler* handler_;
    std::unique_ptr<TImageList> images_;
};

// Images of the system menu: close, maximise, minimise, restore.
enum : int { kSysMenuClose = 0, kSysMenuMaximize = 1, kSysMenuMinimize = 2, kSysMenuRestore = 3 };

// One of the three window buttons.
enum TTBKMDIButtonKind : uint8_t { mbkMinimize = 0, mbkRestore = 1, mbkClose = 2 };

class TTBKMDIButtonItem : public TTBCustomItem {
public:
    TTBKMDIButtonItem(TTBKMDIButtonKind kind);
    std::string ClassName() const override { return "TTBKMDIButtonItem"; }
    TTBKMDIButtonKind ButtonKind() const { return kind_; }
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;

private:
    TTBKMDIButtonKind kind_;
};

// A blank separator between the buttons.
class TTBKMDISepItem : public TTBSeparatorItem {
public:
    TTBKMDISepItem();
    std::string ClassName() const override { return "TTBKMDISepItem"; }
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
};

// The group of the buttons and separators, shown inline at the end of the
// toolbar.
class TTBKMDIButtonsItem : public TTBCustomItem {
public:
    explicit TTBKMDIButtonsItem(TTBKMDIHandler* handler);
    ~TTBKMDIButtonsItem() override;
    std::string ClassName() const override { return "TTBKMDIButtonsItem"; }
    TTBKMDIButtonItem* Button(TTBKMDIButtonKind kind) const { return buttons_[kind]; }

private:
    TTBKMDIHandler* handler_;
    TTBKMDIButtonItem* buttons_[3];
};

class TTBKMDIHandler : public TComponent {
public:
    explicit TTBKMDIHandler(TComponent* owner = nullptr);
    ~TTBKMDIHandler() override;
    std::string ClassName() const override { return "TTBKMDIHandler"; }

    TTBCustomToolbar* Toolbar() const { return toolbar_; }
    void SetToolbar(TTBCustomToolbar* value);

    TTBKMDISystemMenuItem* SystemMenuItem() const { return systemMenu_.get(); }
    TTBKMDIButtonsItem* ButtonsItem() const { return buttons_.get(); }

    // The MDI client followed: that of the toolbar's form when it is an
    // MDI frame, else the application's main form's; nullptr for none.
    TMDIClient* Client() const { return client_; }
    // The child the buttons and the system menu act on.
    TCustomForm* ActiveChild() const;
    // Shows the items when some child is maximised: window, when given, is
    // counted as maximised when maximizing is set and as not maximised
    // otherwise (it is being restored or freed).
    void UpdateMDIItems(TCustomForm* window, bool maximizing);
    // Sends a system command (SC_*) to the active child.
    void SendCommand(unsigned command);

    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void follow();
    void noticed(int notice, TCustomForm* child);

    TTBCustomToolbar* toolbar_ = nullptr;
    std::unique_ptr<TTBKMDISystemMenuItem> systemMenu_;
    std::unique_ptr<TTBKMDIButtonsItem> buttons_;
    TMDIClient* client_ = nullptr;
    std::unique_ptr<TMDISubscription> subscription_;
};

// The size of the icon item's viewer and the width and height of the
// buttons before the theme takes its amounts off.
constexpr int kTBKMDIIconSize = 18;
constexpr int kTBKMDIButtonSize = 18;
