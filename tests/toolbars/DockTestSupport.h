#pragma once
// What the dock suites share: a form at a screen position with docks on
// its edges and toolbars of captioned items, the drag handle's screen
// point of a docked bar, and a scripted loop driver for drags.

#include "tests/toolbars/ToolbarTestSupport.h"

#include "toolbars/TBDock.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBToolWindow.h"
#include "toolbars/TBToolbar.h"

#include <string>
#include <vector>

// A toolbar of items with the given captions.
inline TTBToolbar* MakeToolbar(TComponent* owner, const std::string& name, const std::vector<std::string>& captions) {
    auto* toolbar = new TTBToolbar(owner);
    toolbar->SetName(name);
    toolbar->SetCaption(name);
    for (const std::string& caption : captions) {
        auto* item = new TTBCustomItem(owner);
        item->SetCaption(caption);
        toolbar->Items()->Add(item);
    }
    return toolbar;
}

// A form at (100, 100), 640 x 480, with docks aligned to its four edges.
struct TDockForm {
    TTestSettings Settings;
    TCustomControl Form;
    TTBDock* Top;
    TTBDock* Bottom;
    TTBDock* Left;
    TTBDock* Right;

    TDockForm() {
        SetTBSystemSettings(&Settings);
        Form.SetName("Form");
        Form.SetBounds(100, 100, 640, 480);
        Top = makeDock("TopDock", dpTop);
        Bottom = makeDock("BottomDock", dpBottom);
        Left = makeDock("LeftDock", dpLeft);
        Right = makeDock("RightDock", dpRight);
    }
    ~TDockForm() { SetTBSystemSettings(nullptr); }

    TTBToolbar* Toolbar(const std::string& name, TTBDock* dock, const std::vector<std::string>& captions) {
        TTBToolbar* toolbar = MakeToolbar(&Form, name, captions);
        toolbar->SetParent(dock);
        return toolbar;
    }

    // The screen point at the middle of a docked bar's drag handle.
    static TPoint HandleOf(TTBCustomDockableWindow* bar) {
        TPoint topLeft = bar->ClientToScreen({-bar->ClientOrigin().X, -bar->ClientOrigin().Y});
        bool vertical = bar->CurrentDock() != nullptr && bar->CurrentDock()->IsVertical();
        return vertical ? TPoint{topLeft.X + bar->Width() / 2, topLeft.Y + 4} : TPoint{topLeft.X + 4, topLeft.Y + bar->Height() / 2};
    }

    // The form's width (its docks follow).
    void SetWidth(int width) { Form.SetBounds(Form.Left(), Form.Top(), width, Form.Height()); }

    // Starts a drag at a screen point of a bar (through TrackDrag, as a
    // press there would).
    static void Drag(TTBCustomDockableWindow* bar, TPoint screen) {
        TPoint client = bar->ScreenToClient(screen);
        bar->TrackDrag(client.X, client.Y);
    }

private:
    TTBDock* makeDock(const std::string& name, TTBDockPosition position) {
        auto* dock = new TTBDock(&Form);
        dock->SetName(name);
        dock->SetPosition(position);
        dock->SetParent(&Form);
        return dock;
    }
};
