// Items, edit items, actions, a toolbar and the component that owns them
// freed from inside any of their handlers (a click, a popup, a selection,
// an accepted text, the start of editing, an action's update and execute),
// while menus run on random input and the viewers of open views are made
// again, against a model of what each free takes with it.  The code that
// called the handler must notice what went before it touches it again: in
// the sanitizer build a stale pointer is a report.

#include "tests/toolbars/DockTestSupport.h"

#include "platform/ui/Actions.h"
#include "toolbars/TBEditAction.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct TWorld;

enum TKind { kItem, kAction, kToolbar, kOwner };

// What the model knows of one object: who frees it along with itself.
struct TEntry {
    TKind Kind = kItem;
    TComponent* Object = nullptr;
    int HeldBy = -1;  // the item or toolbar holding an item
    int OwnedBy = -1; // the owner component, if any
    bool Alive = true;    // its destructor has not run
    bool Expected = true; // the model has not seen it freed
};

// Tells the world when it goes.
template <class Base> struct TTracked : Base {
    TTracked(TComponent* owner, TWorld& world, int id) : Base(owner), World(world), Id(id) {}
    ~TTracked() override;
    TWorld& World;
    int Id;
};

class TField : public TTBEditField {
public:
    explicit TField(TWinControl* parent) { control_.SetParent(parent); }
    TWinControl* Control() override { return &control_; }
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_ + "+"; }
    void SetCharCase(TTBEditCharCase) override {}
    void SetMaxLength(int) override {}
    void SelectAll() override {}

private:
    TWinControl control_;
    std::string text_;
};

struct TWorld {
    std::mt19937 Random;
    TDockForm Form;
    TScriptedLoopDriver Driver;
    TManualTickSource Clock;
    std::map<int, TEntry> Entries;
    int OwnerId = -1, ToolbarId = -1;
    std::map<std::string, int> FreedIn; // the kinds of handler that freed something
    bool TearingDown = false;
    std::string Where;

    explicit TWorld(unsigned seed) : Random(seed) {
        SetTBLoopDriver(&Driver);
        SetTickSource(&Clock);
        SetTBEditFieldFactory([](TWinControl* parent) { return std::make_unique<TField>(parent); });
    }
    ~TWorld() {
        TearingDown = true;
        for (auto& [id, entry] : Entries)
            if (entry.Alive && entry.OwnedBy < 0 && entry.HeldBy < 0)
                delete entry.Object;
        SetTBEditFieldFactory({});
        SetTickSource(nullptr);
        SetTBLoopDriver(nullptr);
    }

    int pick(int n) { return static_cast<int>(Random() % static_cast<unsigned>(n)); }
    bool chance(int n) { return pick(n) == 0; }
    template <class T> T pickFrom(const std::vector<T>& v, T none = T{}) {
        return v.empty() ? none : v[static_cast<size_t>(pick(static_cast<int>(v.size())))];
    }
    bool alive(int id) { return Entries.count(id) != 0 && Entries[id].Alive; }
    template <class T> T* object(int id) { return alive(id) ? dynamic_cast<T*>(Entries[id].Object) : nullptr; }
    std::vector<int> live(TKind kind) {
        std::vector<int> ids;
        for (auto& [id, entry] : Entries)
            if (entry.Kind == kind && entry.Alive && entry.Expected && !entry.Object->BeingFreed())
                ids.push_back(id);
        return ids;
    }

    // --- the model and the handlers ------------------------------------------
    void expectFreed(int id) {
        Entries[id].Expected = false;
        for (auto& [other, o] : Entries)
            if (o.Expected && (o.HeldBy == id || o.OwnedBy == id))
                expectFreed(other);
    }
    // A handler is reached through live objects only (an item may run a
    // copy of the handler of an action that went), and may free anything.
    void handler(const TPersistent* through, const char* what) {
        bool dead = false, living = false;
        for (auto& [id, entry] : Entries)
            if (entry.Object == through)
                (entry.Alive ? living : dead) = true;
        EXPECT_FALSE(dead && !living) << Where << ": a " << what << " handler reached through a freed object";
        if (TearingDown || !chance(4))
            return;
        ++FreedIn[what];
        static const TKind victims[] = {kItem, kItem, kAction, kToolbar, kOwner};
        if (const int kind = pick(6); kind < 5) {
            const int id = pickFrom(live(victims[kind]), -1);
            if (id >= 0 && (victims[kind] != kOwner || chance(2))) {
                expectFreed(id);
                delete Entries[id].Object;
            }
        } else if (TTBView* view = randomView()) {
            view->RebuildViewers(); // the viewers of an open view go
        }
    }

    // --- making things ----------------------------------------------------------
    template <class T> T* make(TKind kind, bool owned, int heldBy) {
        const int id = static_cast<int>(Entries.size());
        owned = owned && alive(OwnerId);
        auto* object = new TTracked<T>(owned ? Entries[OwnerId].Object : nullptr, *this, id);
        Entries[id] = TEntry{kind, object, heldBy, owned ? OwnerId : -1};
        return object;
    }
    void makeItem() {
        std::vector<int> submenus{ToolbarId, ToolbarId};
        for (int id : live(kItem))
            if (object<TTBCustomItem>(id)->ItemStyle & isSubmenu)
                submenus.push_back(id);
        const int holder = pickFrom(submenus, ToolbarId);
        TTBCustomItem* into = holder == ToolbarId ? object<TTBToolbar>(holder)->Items() : object<TTBCustomItem>(holder);
        TTBCustomItem* item = chance(4) ? static_cast<TTBCustomItem*>(make<TTBEditItem>(kItem, chance(2), holder))
                                        : make<TTBCustomItem>(kItem, chance(2), holder);
        item->SetCaption(std::string("&") + static_cast<char>('a' + pick(6)) + std::to_string(Entries.size()));
        item->ShortCut = ShortCut(static_cast<uint16_t>('A' + pick(6)), ssCtrl);
        item->OnClick = [this](TTBCustomItem* sender) { handler(sender, "click"); };
        item->OnPopup = [this](TTBCustomItem* sender, bool) { handler(sender, "popup"); };
        item->OnSelect = [this](TTBCustomItem* sender, TTBItemViewer*, bool) { handler(sender, "select"); };
        if (auto* edit = dynamic_cast<TTBEditItem*>(item)) {
            edit->OnAcceptText = [this](TTBEditItemViewer* viewer, std::string&, bool& accept) {
                accept = chance(2);
                handler(viewer->Item(), "accept");
            };
            edit->OnBeginEdit = [this](TTBCustomItem* sender, TTBEditItemViewer*, TTBEditField*) {
                handler(sender, "begin edit");
            };
        } else if (chance(2)) {
            item->ItemStyle |= isSubmenu;
        }
        into->Add(item);
    }
    void makeAction() {
        TAction* action = chance(2) ? static_cast<TAction*>(make<TTBEditAction>(kAction, chance(2), -1))
                                    : make<TAction>(kAction, chance(2), -1);
        action->SetAutoCheck(chance(2));
        action->OnExecute = [this](TPersistent* sender) { handler(sender, "execute"); };
        action->OnUpdate = [this](TPersistent* sender) { handler(sender, "update"); };
        if (auto* edit = dynamic_cast<TTBEditAction*>(action))
            edit->OnAcceptText = [this](TTBEditItemViewer* viewer, std::string&, bool&) {
                handler(viewer->Item(), "action's accept");
            };
    }
    // What has gone is made again, and actions are handed round.
    void replenish() {
        if (!alive(OwnerId)) {
            OwnerId = static_cast<int>(Entries.size());
            make<TComponent>(kOwner, false, -1);
        }
        if (!alive(ToolbarId)) {
            ToolbarId = static_cast<int>(Entries.size());
            TTBToolbar* bar = make<TTBToolbar>(kToolbar, chance(2), -1);
            bar->SetMenuBar(chance(2));
            bar->SetProcessShortCuts(true);
            bar->SetParent(Form.Top);
        }
        while (live(kItem).size() < 9)
            makeItem();
        while (live(kAction).size() < 3)
            makeAction();
        for (int i = 0; i < 2; ++i)
            object<TTBCustomItem>(pickFrom(live(kItem), -1))
                ->SetAction(chance(4) ? nullptr : object<TAction>(pickFrom(live(kAction), -1)));
    }

    // --- input ------------------------------------------------------------------------
    TTBView* randomView() {
        std::vector<TTBView*> chain;
        if (TTBToolbar* bar = object<TTBToolbar>(ToolbarId))
            for (TTBView* view = bar->View(); view != nullptr; view = view->OpenViewerView())
                chain.push_back(view);
        return pickFrom(chain);
    }
    TTBItemViewer* randomViewer(TTBView* view) {
        std::vector<TTBItemViewer*> shown;
        view->ValidatePositions();
        for (int i = 0; i < view->ViewerCount(); ++i)
            if (view->Viewers(i)->Show && !view->Viewers(i)->BoundsRect.IsEmpty())
                shown.push_back(view->Viewers(i));
        return pickFrom(shown);
    }
    // The centre of a viewer of the open menus, now and then a point outside.
    TPoint randomPoint() {
        TTBView* view = chance(12) ? nullptr : randomView();
        if (TTBItemViewer* viewer = view != nullptr ? randomViewer(view) : nullptr) {
            const TRect& r = viewer->BoundsRect;
            return view->ViewToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        }
        return {1500, 1000};
    }
    // Random input for the loops that run next (menus and fields).
    void script() {
        static const uint16_t keys[] = {VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT, VK_RETURN, VK_RETURN, VK_ESCAPE, VK_TAB};
        for (int step = pick(25); step >= 0; --step) {
            auto at = std::make_shared<TPoint>();
            switch (pick(5)) {
            case 0:
                Driver.Key(keys[pick(8)]);
                break;
            case 1:
                Driver.Key(0, std::string(1, static_cast<char>('a' + pick(6))));
                break;
            case 2:
                Driver.Move([this] { return randomPoint(); });
                Driver.Do([this] { Clock.Advance(600); });
                break;
            default:
                Driver.Move([this, at] { return *at = randomPoint(); });
                Driver.Press([at] { return *at; });
                Driver.Release([at] { return *at; });
            }
        }
    }

    // --- what the user and the program do ---------------------------------------------
    void step() {
        TTBToolbar* bar = object<TTBToolbar>(ToolbarId);
        script();
        switch (pick(8)) {
        case 0:
        case 1: // a press on the toolbar
            if (TTBItemViewer* viewer = randomViewer(bar->View())) {
                const TRect& r = viewer->BoundsRect;
                TPoint screen = bar->View()->ViewToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
                bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(bar->ScreenToClient(screen)));
            }
            break;
        case 2: // an access key
            bar->KeyboardOpen(static_cast<char32_t>('a' + pick(6)), chance(2));
            break;
        case 3: // the menu from the keyboard
            bar->View()->Select(randomViewer(bar->View()));
            if (TTBToolbar* still = object<TTBToolbar>(ToolbarId))
                TrackMenu(still->View(), tbtmMenuMode | tbtmSelectFirst);
            break;
        case 4: // the program is idle
            chance(2) ? DoActionIdle() : bar->InitiateAction();
            break;
        case 5: // a shortcut
            ToolbarsProcessFormShortCut(&Form.Form, ShortCut(static_cast<uint16_t>('A' + pick(6)), ssCtrl));
            break;
        case 6: // an item clicked by the program
            object<TTBCustomItem>(pickFrom(live(kItem), -1))->Click();
            break;
        default: // an action run by the program
            object<TAction>(pickFrom(live(kAction), -1))->Execute();
        }
        Driver.Steps.clear();
        ProcessMessages(); // the clicks chosen in menus run now
    }
};

template <class Base> TTracked<Base>::~TTracked() { World.Entries[Id].Alive = false; }

TEST(HandlerLifetime, WhatAHandlerFreesIsNeverTouchedAgain) {
    std::map<std::string, int> freedIn;
    for (unsigned seed = 1; seed <= 80; ++seed) {
        TWorld world(seed);
        for (int step = 0; step < 60; ++step) {
            world.Where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            world.replenish();
            world.step();
            for (auto& [id, entry] : world.Entries)
                ASSERT_EQ(entry.Alive, entry.Expected) << world.Where << ": object " << id;
            // Nothing of a menu stays behind it, whatever went meanwhile.
            ASSERT_EQ(TBPopupWindowCount(), 0) << world.Where;
            ASSERT_EQ(TTBMenuLoop::Active(), nullptr) << world.Where;
            ASSERT_EQ(MenuCaptureWindow(), nullptr) << world.Where;
            ASSERT_EQ(GetCaptureControl(), nullptr) << world.Where;
        }
        for (const auto& [what, count] : world.FreedIn)
            freedIn[what] += count;
    }
    // Every kind of handler ran, and freed things as it went.
    for (const char* what : {"click", "popup", "select", "accept", "begin edit", "execute", "update", "action's accept"})
        EXPECT_GT(freedIn[what], 0) << what;
}

} // namespace
