// Dragging a control onto another: random layouts of windows and
// windowless children, some taking the source and some not, and random
// pointer scripts (moves, Escape, the right button, the release) checked
// against a model of what each control must be told, in order (the source
// that its drag started, before anyone is asked).  A press of
// a control in automatic drag mode starts the drag; one released before
// the pointer moved the threshold stays a click.

#include "platform/base/Properties.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/Control.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ModalLoop.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TScene {
    std::vector<std::unique_ptr<TCustomControl>> Windows;
    std::vector<TControl*> Children;
    std::vector<std::string> Log;

    TControl* At(TPoint screen) const {
        for (const auto& window : Windows)
            if (window->BoundsRect().Contains(screen)) {
                if (TControl* child = window->ControlAtPos(window->ScreenToClient(screen)))
                    return child;
                return window.get();
            }
        return nullptr;
    }
};

std::string nameOf(TPersistent* control) {
    return control == nullptr ? std::string("none") : static_cast<TComponent*>(control)->Name();
}

// Which controls take the source: those with an even index, and only in
// the left half of their client area.
bool takes(int index, int x, int width) { return index % 2 == 0 && x < width / 2; }

void watch(TScene& scene, TControl& control, int index) {
    control.SetName("c" + std::to_string(index));
    if (index % 3 == 2)
        return; // no handler: never takes anything
    control.OnDragOver = [&scene, index, &control](TPersistent* sender, TPersistent* source, int x, int y,
                                                   TDragState state, bool& accept) {
        static const char* const states[] = {"enter", "leave", "move"};
        scene.Log.push_back(std::string(states[state]) + " " + nameOf(sender) + " " + std::to_string(x) + "," +
                            std::to_string(y));
        accept = takes(index, x, control.Width());
    };
    control.OnDragDrop = [&scene](TPersistent* sender, TPersistent* source, int x, int y) {
        scene.Log.push_back("drop " + nameOf(sender) + " " + nameOf(source) + " " + std::to_string(x) + "," +
                            std::to_string(y));
    };
    control.OnStartDrag = [&scene](TPersistent* sender) { scene.Log.push_back("start " + nameOf(sender)); };
    control.OnEndDrag = [&scene](TPersistent* sender, TPersistent* target, int x, int y) {
        scene.Log.push_back("end " + nameOf(sender) + " " + nameOf(target) + " " + std::to_string(x) + "," +
                            std::to_string(y));
    };
}

enum TStepKind { skMove, skEscape, skRight, skRelease };
struct TStep {
    TStepKind Kind;
    TPoint Screen;
};

// What the controls must be told for a script, and what the drag shows.
std::vector<std::string> expected(const TScene& scene, TControl* source, TPoint origin, bool immediate,
                                  const std::vector<TStep>& steps, bool& clickPassedOn) {
    std::vector<std::string> log;
    auto index = [](TControl* c) { return std::stoi(c->Name().substr(1)); };
    auto handled = [&](TControl* c) { return index(c) % 3 != 2; };
    auto point = [](TControl* c, TPoint screen) {
        const TPoint p = c->ScreenToClient(screen);
        return std::to_string(p.X) + "," + std::to_string(p.Y);
    };
    TControl* target = nullptr;
    bool accepted = false;
    TPoint last = origin;
    auto tell = [&](TControl* c, const char* what, TPoint screen) {
        if (handled(c)) {
            log.push_back(std::string(what) + " " + c->Name() + " " + point(c, screen));
            accepted = takes(index(c), c->ScreenToClient(screen).X, c->Width());
        } else {
            accepted = false;
        }
    };
    auto moveTo = [&](TPoint screen) {
        TControl* over = scene.At(screen);
        if (over != target) {
            if (target != nullptr)
                tell(target, "leave", screen);
            accepted = false;
            target = over;
            if (over != nullptr)
                tell(over, "enter", screen);
        } else if (over != nullptr) {
            tell(over, "move", screen);
        }
        last = screen;
    };
    auto end = [&](TControl* to, TPoint at) {
        if (handled(source))
            log.push_back("end " + source->Name() + " " + (to ? to->Name() : "none") + " " +
                          (to ? point(to, at) : std::string("0,0")));
    };
    bool started = immediate;
    clickPassedOn = false;
    // The source hears the start before any target is asked.
    auto start = [&] {
        started = true;
        if (handled(source))
            log.push_back("start " + source->Name());
    };
    if (started) {
        start();
        moveTo(origin);
    }
    for (const TStep& step : steps) {
        switch (step.Kind) {
        case skMove:
            if (!started && std::abs(step.Screen.X - origin.X) < DragThreshold() &&
                std::abs(step.Screen.Y - origin.Y) < DragThreshold())
                continue;
            if (!started)
                start();
            moveTo(step.Screen);
            continue;
        case skEscape:
        case skRight:
            if (started && target != nullptr)
                tell(target, "leave", last);
            if (started)
                end(nullptr, {});
            return log;
        case skRelease:
            if (!started) {
                clickPassedOn = true;
                return log;
            }
            moveTo(step.Screen);
            if (target != nullptr) {
                TControl* over = target;
                const bool taken = accepted;
                tell(over, "leave", last);
                if (taken) {
                    if (handled(over))
                        log.push_back("drop " + over->Name() + " " + source->Name() + " " + point(over, last));
                    end(over, last);
                    return log;
                }
            }
            end(nullptr, {});
            return log;
        }
    }
    return log;
}

void deliver(unsigned msg, WPARAM wParam, TPoint screen) {
    TLoopInput input;
    input.Msg = msg;
    input.WParam = wParam;
    input.Screen = screen;
    DeliverLoopInput(input);
}

TEST(ControlDrag, RandomDragsTellEachControlWhatTheModelSays) {
    std::mt19937 random(23);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TScene scene;
        int index = 0;
        // Three windows side by side, each with up to two children.
        for (int w = 0; w < 3; ++w) {
            auto window = std::make_unique<TCustomControl>();
            window->SetBounds(10 + w * 200, 10 + int(random() % 40), 150 + int(random() % 40), 120);
            watch(scene, *window, index++);
            const int children = int(random() % 3);
            for (int c = 0; c < children; ++c) {
                auto* child = new TGraphicControl(window.get());
                child->SetParent(window.get());
                child->SetBounds(int(random() % 60), 10 + c * 50, 40 + int(random() % 40), 40);
                watch(scene, *child, index++);
                scene.Children.push_back(child);
            }
            scene.Windows.push_back(std::move(window));
        }
        SetControlLocator([&scene](TPoint screen) -> TWinControl* {
            for (const auto& window : scene.Windows)
                if (window->BoundsRect().Contains(screen))
                    return window.get();
            return nullptr;
        });
        std::vector<TControl*> all;
        for (const auto& window : scene.Windows)
            all.push_back(window.get());
        all.insert(all.end(), scene.Children.begin(), scene.Children.end());
        TControl* source = all[random() % all.size()];
        const bool immediate = random() % 2 == 0;
        const int length = 1 + int(random() % 8);
        const TPoint origin = GetCursorPos();
        std::vector<TStep> steps;
        for (int i = 0; i < length; ++i) {
            const TPoint near{origin.X + int(random() % 9) - 4, origin.Y + int(random() % 9) - 4};
            const TPoint anywhere{int(random() % 700), int(random() % 200)};
            steps.push_back({skMove, random() % 3 == 0 ? near : anywhere});
        }
        const int last = int(random() % 10);
        steps.push_back({last == 0 ? skEscape : last == 1 ? skRight : skRelease,
                         {int(random() % 700), int(random() % 200)}});
        bool clickPassedOn = false;
        const std::vector<std::string> want = expected(scene, source, origin, immediate, steps, clickPassedOn);

        bool ran = false;
        QTimer::singleShot(0, qApp, [&] {
            ran = true;
            EXPECT_TRUE(source->Dragging());
            for (const TStep& step : steps) {
                if (!source->Dragging())
                    break;
                switch (step.Kind) {
                case skMove:
                    deliver(WM_MOUSEMOVE, 0, step.Screen);
                    break;
                case skEscape:
                    deliver(WM_KEYDOWN, VK_ESCAPE, step.Screen);
                    break;
                case skRight:
                    deliver(WM_RBUTTONDOWN, MK_RBUTTON, step.Screen);
                    break;
                case skRelease:
                    deliver(WM_LBUTTONUP, 0, step.Screen);
                    break;
                }
            }
        });
        source->BeginDrag(immediate);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(source->Dragging());
        EXPECT_EQ(ScreenCursor(), crDefault);
        EXPECT_EQ(scene.Log, want);
        if (clickPassedOn) {
            EXPECT_TRUE(scene.Log.empty()) << "a release within the threshold was taken for a drag";
        }
        SetControlLocator(nullptr);
        QCoreApplication::processEvents();
    }
}

// Random dock drags of a windowless control: dropped over a dock site (the
// inner one wins over the window holding it) it moves into that site where
// the pointer left it; dropped elsewhere it floats in a tool window of its
// own, which goes once it docks again or with the control; Escape leaves
// it where it was.  No drag events are sent.
TEST(ControlDrag, DockDragsDockOrFloatTheSourceAsTheModelSays) {
    TCustomControl plain, site;
    plain.SetBounds(10, 10, 200, 150);
    site.SetBounds(260, 10, 200, 150);
    auto* inner = new TCustomControl(&plain);
    inner->SetParent(&plain);
    inner->SetBounds(100, 20, 80, 80);
    auto* source = new TGraphicControl(&plain);
    source->SetParent(&plain);
    source->SetBounds(10, 10, 40, 30);
    source->SetDragKind(dkDock);
    site.SetDockSite(true);
    inner->SetDockSite(true);
    source->OnStartDrag = [](TPersistent*) { ADD_FAILURE() << "a dock drag is no drag"; };
    source->OnEndDrag = [](TPersistent*, TPersistent*, int, int) { ADD_FAILURE() << "a dock drag is no drag"; };
    auto under = [&](TPoint screen) -> TWinControl* {
        for (TWinControl* w : std::vector<TWinControl*>{inner, &plain, &site})
            if (Bounds(w->ClientToScreen({0, 0}).X, w->ClientToScreen({0, 0}).Y, w->Width(), w->Height()).Contains(screen))
                return w;
        return nullptr;
    };
    SetControlLocator(under);
    std::mt19937 random(29);
    int docked = 0, floated = 0;
    for (int round = 0; round < 40; ++round) {
        const TPoint origin = GetCursorPos(), corner = source->ClientToScreen({0, 0});
        const TPoint drop{int(random() % 500), int(random() % 200)};
        const bool escape = random() % 5 == 0;
        const TRect before = source->BoundsRect();
        TWinControl* const parent = source->Parent();
        TComponentWatch<TWinControl> host(source->FloatHost());
        const bool hadHost = host.Alive();
        QTimer::singleShot(0, qApp, [&] {
            deliver(WM_MOUSEMOVE, MK_LBUTTON, drop);
            deliver(escape ? WM_KEYDOWN : WM_LBUTTONUP, escape ? VK_ESCAPE : 0, drop);
        });
        source->BeginDrag(true);
        const TPoint at{drop.X - (origin.X - corner.X), drop.Y - (origin.Y - corner.Y)};
        TWinControl* into = under(drop) == &plain ? nullptr : under(drop);
        TWinControl* holder = escape ? parent : into != nullptr ? into : source->FloatHost();
        ASSERT_EQ(source->Parent(), holder) << "round " << round;
        const TPoint local = escape ? before.TopLeft() : into != nullptr ? into->ScreenToClient(at) : TPoint{0, 0};
        EXPECT_EQ(source->BoundsRect(), Bounds(local.X, local.Y, 40, 30)) << "round " << round;
        if (!escape && into == nullptr) {
            // The tool window's frame goes around the control.
            EXPECT_EQ(holder->BoundsRect().TopLeft(), at) << "round " << round;
            EXPECT_EQ(holder->ClientWidth(), 40) << "round " << round;
            EXPECT_EQ(holder->ClientHeight(), 30) << "round " << round;
        }
        // Floating again reuses the window; docking frees it.
        EXPECT_EQ(host.Alive(), hadHost && (escape || into == nullptr)) << "round " << round;
        docked += !escape && into != nullptr;
        floated += !escape && into == nullptr;
    }
    EXPECT_GT(docked, 5);
    EXPECT_GT(floated, 5);
    source->ManualFloat({5, 5});
    TComponentWatch<TWinControl> host(source->FloatHost());
    delete source;
    EXPECT_FALSE(host.Alive());
    SetControlLocator(nullptr);
    QCoreApplication::processEvents();
}

// A press in automatic mode drags; one released where it was stays a
// click, and a manual control never drags by itself.
TEST(ControlDrag, AutomaticModeDragsFromAPressAndPublishesItsSettings) {
    TCustomControl window;
    window.SetBounds(0, 0, 200, 100);
    SetControlLocator([&window](TPoint) -> TWinControl* { return &window; });
    int drags = 0;
    window.OnEndDrag = [&drags](TPersistent*, TPersistent*, int, int) { ++drags; };
    const TPoint origin = GetCursorPos();
    auto press = [&](TPoint to) {
        QTimer::singleShot(0, qApp, [&, to] {
            deliver(WM_MOUSEMOVE, MK_LBUTTON, to);
            deliver(WM_LBUTTONUP, 0, to);
        });
        const TPoint at = window.ScreenToClient(origin);
        window.Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(at));
        QCoreApplication::processEvents();
    };
    press({origin.X + 20, origin.Y}); // manual: the loop never runs
    EXPECT_EQ(drags, 0);
    window.SetDragMode(dmAutomatic);
    press({origin.X + 1, origin.Y}); // within the threshold: a click
    EXPECT_EQ(drags, 0);
    press({origin.X + 20, origin.Y});
    EXPECT_EQ(drags, 1);
    EXPECT_FALSE(window.Dragging());
    SetControlLocator(nullptr);

    // Both settings are published, and stream only when they differ from
    // the defaults.
    RegisterControlClasses();
    TPersistent* holder = nullptr;
    const TPropertyInfo* mode = FindPublishedProperty(window, "DragMode", holder);
    const TPropertyInfo* cursor = FindPublishedProperty(window, "DragCursor", holder);
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(cursor, nullptr);
    EXPECT_TRUE(mode->ShouldWrite(window));
    EXPECT_FALSE(cursor->ShouldWrite(window));
    SetPublishedValue(window, "DragCursor", TPropertyValue(int(crHandPoint)));
    SetPublishedValue(window, "DragMode", TPropertyValue(dmManual));
    EXPECT_EQ(window.DragCursor(), crHandPoint);
    EXPECT_EQ(window.DragMode(), dmManual);
    EXPECT_TRUE(cursor->ShouldWrite(window));
    EXPECT_FALSE(mode->ShouldWrite(window));
}

} // namespace
