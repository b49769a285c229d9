// The MDI buttons on a frame's menu bar, without windows: they show while a
// child is maximised (also one restored from minimised to maximised) and
// hide when none is; the system menu is the active child's, made afresh
// each time without leaving items behind; the buttons and the menu's
// commands reach the child; the items follow the toolbar they are given.

#include "tests/toolbars/ToolbarTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/ApplicationKeys.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/PopupMenu.h"
#include "toolbars/TBDock.h"
#include "toolbars/themes/TBKMDIHandler.h"
#include "toolbars/themes/TBKToolbar.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class TChild : public TForm {
public:
    explicit TChild(const std::string& caption) {
        SetCaption(caption);
        SetFormStyle(fsMDIChild);
        OnClose = [](TPersistent*, TCloseAction& action) { action = caFree; };
    }
};

// An MDI frame with a menu bar in its top dock and the handler on it.
struct TFrame {
    TTestSettings Settings;
    TForm Form;
    TTBDock* Dock;
    TTBKToolbar* Menu;
    TTBKMDIHandler* Handler;
    TFrame() {
        SetTBSystemSettings(&Settings);
        Application().SetMainForm(&Form);
        Form.SetFormStyle(fsMDIForm);
        Form.SetBounds(50, 50, 700, 500);
        Dock = new TTBDock(&Form);
        Dock->SetParent(&Form);
        Menu = new TTBKToolbar(&Form);
        Menu->SetName("Menu");
        Menu->SetMenuBar(true);
        AddSubmenu(*Menu->Items(), "&File", {"&Open"});
        AddSubmenu(*Menu->Items(), "&Window", {"&Cascade"});
        Menu->SetParent(Dock);
        Handler = new TTBKMDIHandler(&Form);
        Handler->SetToolbar(Menu);
        Form.Show();
    }
    ~TFrame() {
        while (Form.MDIChildCount() > 0)
            delete Form.MDIChildren(Form.MDIChildCount() - 1);
        Application().SetMainForm(nullptr);
        ClearQuitRequest();
        SetTBSystemSettings(nullptr);
    }
    TTBView* View() { return Menu->View(); }
    bool Shows(TTBCustomItem* item) {
        View()->ValidatePositions();
        TTBItemViewer* viewer = View()->FindViewerOf(item);
        return viewer != nullptr && viewer->Show;
    }
    // Whether the icon and the three buttons show, all alike.
    bool ButtonsShown() {
        bool icon = Shows(Handler->SystemMenuItem());
        for (TTBKMDIButtonKind kind : {mbkMinimize, mbkRestore, mbkClose})
            EXPECT_EQ(Shows(Handler->ButtonsItem()->Button(kind)), icon);
        return icon;
    }
};

TEST(MDIHandler, TheButtonsShowWhileAChildIsMaximised) {
    TFrame f;
    EXPECT_EQ(f.Handler->Client(), f.Form.MDIClient());
    auto* one = new TChild("One");
    auto* two = new TChild("Two");
    EXPECT_FALSE(f.ButtonsShown());
    two->SetWindowState(wsMaximized);
    EXPECT_TRUE(f.ButtonsShown());
    // The icon first, the buttons at the right end of the bar.
    TTBView* view = f.View();
    EXPECT_EQ(view->Viewers(0)->Item(), f.Handler->SystemMenuItem());
    TRect close = view->ViewerOf(f.Handler->ButtonsItem()->Button(mbkClose))->BoundsRect;
    EXPECT_EQ(close.Right, f.Menu->ClientWidth());
    TRect minimize = view->ViewerOf(f.Handler->ButtonsItem()->Button(mbkMinimize))->BoundsRect;
    EXPECT_LT(minimize.Right, close.Left);
    EXPECT_GT(minimize.Left, view->ViewerOf(f.Menu->Items()->ItemAt(1))->BoundsRect.Right);

    two->SetWindowState(wsNormal);
    EXPECT_FALSE(f.ButtonsShown());
    // Minimised from maximised and restored: maximised again, as the
    // platform restores it.
    two->SetWindowState(wsMaximized);
    two->Perform(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_EQ(f.ButtonsShown(), two->WindowState() == wsMaximized || one->WindowState() == wsMaximized);
    two->Perform(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_EQ(f.ButtonsShown(), two->WindowState() == wsMaximized || one->WindowState() == wsMaximized);

    // Closing the maximised children, the last one hides the buttons.
    one->SetWindowState(wsMaximized);
    EXPECT_TRUE(f.ButtonsShown());
    delete two;
    delete one;
    EXPECT_FALSE(f.ButtonsShown());
}

TEST(MDIHandler, TheButtonsKeepToTheEndOfTheBarWhateverWidthTheFrameTakes) {
    // The menu bar is as long as its dock; the frame grows and shrinks at
    // random, and the close button always ends where the bar's client
    // area ends, with nothing of the bar beyond it.
    TFrame f;
    auto* child = new TChild("Doc");
    child->SetWindowState(wsMaximized);
    std::mt19937 random(20);
    std::uniform_int_distribution<int> widths(240, 1600);
    for (int round = 0; round < 40; ++round) {
        int width = widths(random);
        f.Form.SetBounds(50, 50, width, 500);
        ASSERT_TRUE(f.ButtonsShown()) << width;
        TTBView* view = f.View();
        ASSERT_EQ(f.Menu->Width(), f.Dock->ClientWidth()) << width;
        TRect close = view->ViewerOf(f.Handler->ButtonsItem()->Button(mbkClose))->BoundsRect;
        EXPECT_EQ(close.Right, f.Menu->ClientWidth()) << width;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            if (view->Viewers(i)->Show) {
                EXPECT_LE(view->Viewers(i)->BoundsRect.Right, f.Menu->ClientWidth()) << width << " viewer " << i;
            }
        }
    }
}

TEST(MDIHandler, TheSystemMenuIsTheActiveChildsMadeAfreshEachTime) {
    TFrame f;
    auto* child = new TChild("Doc");
    new TChild("Other");
    f.Form.MDIClient()->Activate(child);
    child->SetWindowState(wsMaximized);
    TTBKMDISystemMenuItem* menu = f.Handler->SystemMenuItem();
    int itemsBefore = TBItemCount();
    menu->Click();
    std::vector<TSystemMenuEntry> entries = child->SystemMenu();
    ASSERT_EQ(menu->Count(), static_cast<int>(entries.size()));
    int itemsOpen = TBItemCount();
    for (int round = 0; round < 3; ++round)
        menu->Click();
    EXPECT_EQ(TBItemCount(), itemsOpen);
    EXPECT_EQ(TBItemCount() - itemsBefore, static_cast<int>(entries.size()));
    for (int i = 0; i < menu->Count(); ++i) {
        TTBCustomItem* item = menu->ItemAt(i);
        const TSystemMenuEntry& entry = entries[static_cast<size_t>(i)];
        if (entry.Caption == "-") {
            EXPECT_TRUE(item->ItemStyle & isSeparator);
            continue;
        }
        EXPECT_EQ(item->Caption(), entry.Caption);
        EXPECT_EQ(item->Enabled(), entry.Enabled);
        bool close = (entry.Command & 0xFFF0) == SC_CLOSE;
        EXPECT_EQ((item->Options() & tboDefault) != 0, close) << entry.Caption;
        if (close) {
            EXPECT_EQ(item->ImageIndex(), kSysMenuClose);
        }
        if ((entry.Command & 0xFFF0) == SC_MAXIMIZE) {
            EXPECT_FALSE(item->Enabled()); // it is maximised already
            EXPECT_EQ(item->ImageIndex(), kSysMenuMaximize);
        }
    }
    // A command of the menu goes to the child.
    for (int i = 0; i < menu->Count(); ++i)
        if ((static_cast<unsigned>(menu->ItemAt(i)->Tag) & 0xFFF0) == SC_RESTORE)
            menu->ItemAt(i)->Click();
    EXPECT_EQ(child->WindowState(), wsNormal);
    EXPECT_FALSE(f.ButtonsShown());
}

TEST(MDIHandler, TheButtonsActOnTheActiveChild) {
    TFrame f;
    auto* child = new TChild("Doc");
    child->SetWindowState(wsMaximized);
    f.Handler->ButtonsItem()->Button(mbkMinimize)->Click();
    EXPECT_EQ(child->WindowState(), wsMinimized);
    child->SetWindowState(wsMaximized);
    f.Handler->ButtonsItem()->Button(mbkRestore)->Click();
    EXPECT_EQ(child->WindowState(), wsNormal);
    child->SetWindowState(wsMaximized);
    int children = f.Form.MDIChildCount();
    f.Handler->ButtonsItem()->Button(mbkClose)->Click();
    ProcessMessages(); // a closed form goes once its message is handled
    EXPECT_EQ(f.Form.MDIChildCount(), children - 1);
    EXPECT_FALSE(f.ButtonsShown());
}

TEST(MDIHandler, TheItemsFollowTheirToolbarAndForgetAFreedOne) {
    TFrame f;
    auto* other = new TTBKToolbar(&f.Form);
    other->SetParent(f.Dock);
    auto* child = new TChild("Doc");
    child->SetWindowState(wsMaximized);
    // Activating another child repaints the icon.
    new TChild("Second"); // opens maximised and active
    f.View()->ValidatePositions();
    TTBItemViewer* icon = f.View()->ViewerOf(f.Handler->SystemMenuItem());
    icon->NeedsOffscreenRepaint = false;
    f.Form.MDIClient()->Activate(child);
    EXPECT_TRUE(icon->NeedsOffscreenRepaint);

    f.Handler->SetToolbar(other);
    EXPECT_EQ(f.View()->FindViewerOf(f.Handler->SystemMenuItem()), nullptr);
    EXPECT_NE(other->View()->FindViewerOf(f.Handler->SystemMenuItem()), nullptr);
    EXPECT_NE(other->View()->FindViewerOf(f.Handler->ButtonsItem()->Button(mbkClose)), nullptr);
    delete other;
    EXPECT_EQ(f.Handler->Toolbar(), nullptr);
}

} // namespace

namespace {

bool offerTyped(TWinControl* window, char32_t ch) {
    TQueuedMessage typed;
    typed.Window = window;
    typed.Msg = WM_SYSCHAR;
    typed.WParam = ch;
    return OfferQueuedMessage(typed);
}

TEST(MDIHandler, AltCharactersTakenFromTheQueueInTheDocumentAreaGoToTheFramesKeyboardMenu) {
    TFrame f;
    auto* doc = new TChild("Doc");
    auto* inner = new TCustomControl(doc);
    inner->SetParent(doc);
    std::vector<TComponent*> systemMenus;
    SetPopupMenuPresenter([&](TPopupMenu& menu, TPoint) -> TMenuItem* {
        systemMenus.push_back(menu.PopupComponent);
        return nullptr;
    });
    // "-" typed in a document window (or in a control inside it) opens that
    // document's system menu and goes no further.
    EXPECT_TRUE(offerTyped(inner, U'-'));
    EXPECT_TRUE(offerTyped(doc, U'-'));
    EXPECT_EQ(systemMenus, (std::vector<TComponent*>{doc, doc}));
    // Other characters typed in a document are left to the other keys.
    const int beeps = f.Settings.Beeps;
    EXPECT_FALSE(offerTyped(inner, U'z'));
    EXPECT_EQ(f.Settings.Beeps, beeps);
    // In the client area itself any character is the menu bar's (no item
    // has "z": it beeps).
    EXPECT_TRUE(offerTyped(f.Form.MDIClient(), U'z'));
    EXPECT_EQ(f.Settings.Beeps, beeps + 1);
    // Outside the client area, with the mouse held, or without a menu bar,
    // nothing is taken.
    EXPECT_FALSE(offerTyped(&f.Form, U'-'));
    SetCaptureControl(f.Menu);
    EXPECT_FALSE(offerTyped(inner, U'-'));
    SetCaptureControl(nullptr);
    f.Menu->SetMenuBar(false);
    EXPECT_FALSE(offerTyped(inner, U'-'));
    EXPECT_EQ(systemMenus.size(), 2u);
    SetPopupMenuPresenter(nullptr);
}

} // namespace
