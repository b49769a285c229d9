#pragma once
// What the toolbar suites share: a bar window over a root item (a menu bar
// or a toolbar, optionally with a chevron), system settings the tests
// choose, a menu-loop driver that plays a script of input events, and a
// test environment with a GUI application and the fixed-pitch measurer.

#include <gtest/gtest.h>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/TextMeasurer.h"
#include "platform/ui/Control.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TickSource.h"
#include "tests/platform/gfx/TestApplication.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBMenuLoop.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBView.h"
#include "tests/support/FakeTextMeasurer.h"

#include <QApplication>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Settings without the desktop: the tests choose the delay and the look.
class TTestSettings : public TTBSystemSettings {
public:
    int Delay = 400;
    bool Flat = false;
    bool Animation = false;
    bool MenuAnimation() override { return Animation; }
    bool Fade = false;
    bool Translucent = false;
    bool MenuFade() override { return Fade; }
    bool Shadows = true;
    bool DropShadows() override { return Shadows; }
    bool TranslucentWindows() override { return Translucent; }
    bool Layered = false;
    bool LayeredWindows() override { return Layered; }
    bool Cues = true;
    std::vector<std::string> Played;
    int Beeps = 0;
    int MenuShowDelay() override { return Delay; }
    bool FlatMenus() override { return Flat; }
    bool KeyboardCues() override { return Cues; }
    bool SoundAssigned(std::string_view name) override { return true; }
    void PlaySound(std::string_view name) override { Played.emplace_back(name); }
    void Beep() override { ++Beeps; }
    std::vector<TTBMonitor> Monitors() override {
        TRect screen = Rect(0, 0, 2000, 1500);
        return {TTBMonitor{screen, screen}};
    }
};

// The screen point at the centre of an item's viewer in a view.
inline TPoint CentreIn(TTBView* view, TTBCustomItem* item) {
    view->ValidatePositions();
    TRect r = view->ViewerOf(item)->BoundsRect;
    return view->ViewToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
}

// The chevron of a test bar: its popup lists the bar's hidden items.
class TTestChevronItem : public TTBCustomItem {
public:
    explicit TTestChevronItem(TTBView** barView) : barView_(barView) {
        ItemStyle |= isSubmenu | isNoAutoOpen;
    }
    TTBView* ChevronSourceView() override { return *barView_; }

private:
    TTBView** barView_;
};

class TTestBarView : public TTBView {
public:
    using TTBView::TTBView;
    TTBCustomItem* Chevron = nullptr;
    TTBCustomItem* GetChevronItem() override { return Chevron; }
};

// A bar at a screen position: without a window system it is a windowless
// top-level control whose left and top are screen coordinates.
class TTestBar : public TCustomControl {
public:
    TTestBar(int left, int top, bool withChevron = false, bool priorityList = false) {
        SetBounds(left, top, 400, 22);
        // Its background, as a toolbar's: what erasing paints too.
        SetColor(clBtnFace);
        Items.SetParentComponentValue(this);
        if (withChevron) {
            chevron_ = std::make_unique<TTestChevronItem>(&viewPointer_);
            chevron_->SetLinkSubitems(&Items);
        }
        View = std::make_unique<TTestBarView>(nullptr, nullptr, &Items, this, true, false, priorityList);
        viewPointer_ = View.get();
        View->Chevron = chevron_.get();
        if (chevron_) {
            View->ChevronSize = 12;
            View->RebuildViewers();
        }
        RegisterTBWindow(this, false);
    }
    ~TTestBar() override {
        UnregisterTBWindow(this);
        View.reset();
        chevron_.reset();
        Items.Clear();
    }
    TTBItemViewer* ViewerOf(TTBCustomItem* item) { return View->ViewerOf(item); }
    // The screen point at the centre of an item's viewer.
    TPoint CentreOf(TTBCustomItem* item) { return CentreIn(View.get(), item); }

    TTBRootItem Items;
    std::unique_ptr<TTestBarView> View;

protected:
    void Paint() override {
        Canvas().FillRect(ClientRect(), clBtnFace);
        View->DrawViewers(Canvas());
    }

private:
    std::unique_ptr<TTestChevronItem> chevron_;
    TTBView* viewPointer_ = nullptr;
};

// Plays input events to a menu loop; when the script runs out before the
// loop ends, it asks the loop to quit and says so.
class TScriptedLoopDriver : public TTBLoopDriver {
public:
    using TStep = std::function<void(TTBModalMachine& loop)>;
    std::deque<TStep> Steps;
    std::vector<TTBInputEvent> NotTaken; // presses the loop left for their targets
    std::vector<TTBInputEvent> Passed;   // events that went on to their windows
    // The window under a point (default: the framework's windows).
    std::function<TWinControl*(TPoint)> TargetAt;
    // Delivers a passed event to its window (a scripted field types it).
    std::function<void(const TTBInputEvent& event)> Deliver;
    bool RanOut = false;
    std::function<void(TTBModalMachine& loop)> AfterEachStep;

    void Run(TTBModalMachine& loop) override {
        while (!loop.Finished()) {
            if (Steps.empty()) {
                RanOut = true;
                TTBInputEvent quit;
                quit.Kind = tbikQuit;
                loop.HandleEvent(quit);
                break;
            }
            TStep step = std::move(Steps.front());
            Steps.pop_front();
            step(loop);
            if (AfterEachStep && !loop.Finished())
                AfterEachStep(loop);
        }
    }

    // Positions may be worked out only when the step runs (a popup's items
    // are placed once it opens).
    using TWhere = std::function<TPoint()>;

    void Event(TTBInputEvent event, TWhere where = {}) {
        Steps.push_back([this, event, where](TTBModalMachine& loop) mutable {
            if (where)
                event.Screen = where();
            if (event.Target == nullptr)
                event.Target = event.Kind == tbikKeyDown || event.Kind == tbikKeyUp ? GetFocusControl()
                               : TargetAt                                            ? TargetAt(event.Screen)
                                                                                     : TBWindowAtPoint(event.Screen);
            TTBVerdict verdict = loop.HandleEvent(event);
            if (verdict == tbvPassAfterEnd)
                NotTaken.push_back(event);
            if (verdict == tbvPass) {
                Passed.push_back(event);
                if (Deliver)
                    Deliver(event);
            }
        });
    }
    void Mouse(TTBInputKind kind, TWhere where, TMouseButton button = mbLeft) {
        TTBInputEvent e;
        e.Kind = kind;
        e.Button = button;
        Event(e, std::move(where));
    }
    void Move(TWhere where) { Mouse(tbikMouseMove, std::move(where)); }
    void Press(TWhere where, TMouseButton button = mbLeft) { Mouse(tbikButtonDown, std::move(where), button); }
    void Release(TWhere where, TMouseButton button = mbLeft) { Mouse(tbikButtonUp, std::move(where), button); }
    void Click(TWhere where) {
        Move(where);
        Press(where);
        Release(where);
    }
    void Key(uint16_t key, std::string text = {}, TShiftState shift = 0) {
        TTBInputEvent e;
        e.Kind = tbikKeyDown;
        e.Key = key;
        e.Text = std::move(text);
        e.Shift = shift;
        Event(e);
    }
    void Do(std::function<void()> action) {
        Steps.push_back([action](TTBModalMachine&) { action(); });
    }
};

// Installs the settings, the driver and a manual clock for one test.
struct TLoopFixture {
    TTestSettings Settings;
    TScriptedLoopDriver Driver;
    TManualTickSource Clock;
    TLoopFixture() {
        SetTBSystemSettings(&Settings);
        SetTBLoopDriver(&Driver);
        SetTickSource(&Clock);
        SetTBCursorPos({-100, -100});
    }
    ~TLoopFixture() {
        SetTickSource(nullptr);
        SetTBLoopDriver(nullptr);
        SetTBSystemSettings(nullptr);
    }
    void Wait(int milliseconds) {
        Driver.Do([this, milliseconds] { Clock.Advance(static_cast<uint64_t>(milliseconds)); });
    }
};

// A submenu item with children made from captions ("-" is a separator).
inline TTBCustomItem* AddSubmenu(TTBCustomItem& parent, const std::string& caption,
                                 const std::vector<std::string>& children) {
    auto* menu = new TTBCustomItem;
    menu->SetCaption(caption);
    menu->ItemStyle |= isSubmenu;
    for (const std::string& child : children) {
        TTBCustomItem* item = child == "-" ? static_cast<TTBCustomItem*>(new TTBSeparatorItem) : new TTBCustomItem;
        if (child != "-")
            item->SetCaption(child);
        menu->Add(item);
    }
    parent.Add(menu);
    return menu;
}

// The popup view opened from a view's open viewer, or nullptr.
inline TTBView* OpenedView(TTBView* view) { return view->OpenViewerView(); }

// A point given now.
inline std::function<TPoint()> At(TPoint p) {
    return [p] { return p; };
}

// One application for the test program, and fixed-pitch measuring for
// every test (8 x 16 pixels).
class TToolbarTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        MakeTestApplication<QApplication>();
        SetDefaultTextMeasurer(&measurer_);
    }
    void TearDown() override { SetDefaultTextMeasurer(nullptr); }

private:
    TFakeTextMeasurer measurer_;
};

inline ::testing::Environment* const kToolbarTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new TToolbarTestEnvironment);

// A form that records the system commands (SC_*) it is sent.
class TSysCommandForm : public TForm {
public:
    explicit TSysCommandForm(TFormStyle style = fsNormal) { SetFormStyle(style); }
    std::vector<unsigned> Commands;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == WM_SYSCOMMAND)
            Commands.push_back(static_cast<unsigned>(message.WParam & 0xFFF0));
        TForm::Dispatch(message);
    }
};
