// Items, edit items and actions assigned, clicked, run, freed and made
// again in random orders, against a model of which action's handler each
// click and each accepted text runs.  An item never reaches an action that
// is gone: one freed while the item shows it leaves the item with a copy
// of its handlers.  Run in the sanitizer build too, where a stale action
// pointer is a report rather than luck.

#include "toolbars/TBEditAction.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBItemActionLink.h"

#include "platform/ui/Actions.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

// An action that cuts its links before it tells its subscribers: the
// items must still know it for theirs.
struct TLinkCuttingAction : TAction {
    using TAction::TAction;
    void BeforeDestruction() override {
        for (TBasicActionLink* link : std::vector<TBasicActionLink*>(Links()))
            link->SetAction(nullptr);
        TAction::BeforeDestruction();
    }
};

enum class TActionKind { Plain, Edit, LinkCutting };

struct TRun {
    int Action;              // the action whose handler ran (its number)
    TPersistent* Sender;     // the action, or the item that kept a copy
    TComponent* RunBy;       // the action's ActionComponent meanwhile
    bool operator==(const TRun&) const = default;
};

struct TWorld;

struct TActionSlot {
    TBasicAction* Action = nullptr;
    // Made as a plain member rather than by new: freed without delete.
    std::optional<TTBEditAction> Held;
    TActionKind Kind = TActionKind::Plain;
    bool Owned = false;
    int Number = -1;
};

struct TItemSlot {
    TTBCustomItem* Item = nullptr;
    bool Edit = false;
    bool Owned = false;
    // Model: the action slot the item shows, and whose handlers a click
    // and an accepted text run (action numbers; -1 none, -2 its own).
    int Shows = -1;
    int Click = -1;
    int Accept = -1;
};

struct TWorld {
    std::mt19937 Random;
    std::unique_ptr<TComponent> Form = std::make_unique<TComponent>();
    std::vector<TActionSlot> Actions = std::vector<TActionSlot>(4);
    std::vector<TItemSlot> Items = std::vector<TItemSlot>(6);
    std::vector<TRun> Runs;
    int NextNumber = 0;
    // Freed by the next handler that runs.
    int FreeItemInHandler = -1;

    explicit TWorld(unsigned seed) : Random(seed) {}

    void makeAction(int slot) {
        TActionSlot& a = Actions[static_cast<size_t>(slot)];
        a.Kind = static_cast<TActionKind>(Random() % 3);
        a.Number = NextNumber++;
        a.Owned = Random() % 2;
        TComponent* owner = a.Owned ? Form.get() : nullptr;
        if (a.Kind == TActionKind::Edit) {
            TTBEditAction* edit;
            if (!a.Owned && Random() % 2) {
                a.Held.emplace();
                edit = &*a.Held;
            } else {
                edit = new TTBEditAction(owner);
            }
            const int number = a.Number;
            edit->OnAcceptText = [number](TTBEditItemViewer*, std::string& text, bool&) {
                text = "accepted by " + std::to_string(number);
            };
            a.Action = edit;
        } else {
            a.Action = a.Kind == TActionKind::Plain ? new TAction(owner) : new TLinkCuttingAction(owner);
        }
        const int number = a.Number;
        TBasicAction* action = a.Action;
        a.Action->OnExecute = [this, number, action](TPersistent* sender) {
            // Only a run through the action itself may look at it.
            TComponent* runBy = sender == action ? action->ActionComponent() : nullptr;
            Runs.push_back({number, sender, runBy});
            if (FreeItemInHandler >= 0) {
                TItemSlot& victim = Items[static_cast<size_t>(FreeItemInHandler)];
                FreeItemInHandler = -1;
                delete victim.Item;
                victim = TItemSlot{};
            }
        };
    }

    void freeAction(int slot) {
        TActionSlot& a = Actions[static_cast<size_t>(slot)];
        if (a.Held)
            a.Held.reset();
        else
            delete a.Action;
        a.Action = nullptr;
        for (TItemSlot& item : Items)
            if (item.Shows == slot)
                item.Shows = -1; // keeps its copies of the handlers
    }

    void makeItem(int slot) {
        TItemSlot& s = Items[static_cast<size_t>(slot)];
        s = TItemSlot{};
        s.Edit = Random() % 2;
        s.Owned = Random() % 2;
        TComponent* owner = s.Owned ? Form.get() : nullptr;
        s.Item = s.Edit ? new TTBEditItem(owner) : new TTBCustomItem(owner);
    }

    void assign(int itemSlot, int actionSlot) {
        TItemSlot& s = Items[static_cast<size_t>(itemSlot)];
        if (actionSlot < 0) {
            s.Item->SetAction(nullptr);
            s.Shows = -1;
            return;
        }
        const TActionSlot& a = Actions[static_cast<size_t>(actionSlot)];
        s.Item->SetAction(a.Action);
        if (s.Shows == actionSlot)
            return;
        s.Shows = actionSlot;
        s.Click = a.Number;
        if (s.Edit && a.Kind == TActionKind::Edit)
            s.Accept = a.Number;
    }

    // What a click on the item must run, or nothing.
    std::optional<TRun> expectedClick(const TItemSlot& s) const {
        if (s.Click == -2)
            return TRun{-2, s.Item, nullptr};
        if (s.Shows >= 0)
            return TRun{s.Click, Actions[static_cast<size_t>(s.Shows)].Action, s.Item};
        if (s.Click >= 0)
            return TRun{s.Click, s.Item, nullptr};
        return std::nullopt;
    }
};

TEST(ActionLifetime, ItemsNeverReachAnActionThatIsGone) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TWorld world(seed);
        for (int slot = 0; slot < 4; ++slot)
            world.makeAction(slot);
        for (int slot = 0; slot < 6; ++slot)
            world.makeItem(slot);
        for (int step = 0; step < 300; ++step) {
            const int i = static_cast<int>(world.Random() % 6), a = static_cast<int>(world.Random() % 4);
            TItemSlot& item = world.Items[static_cast<size_t>(i)];
            TActionSlot& action = world.Actions[static_cast<size_t>(a)];
            const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            world.Runs.clear();
            switch (world.Random() % 8) {
            case 0: // make again what is gone
                if (item.Item == nullptr)
                    world.makeItem(i);
                if (action.Action == nullptr)
                    world.makeAction(a);
                break;
            case 1:
            case 2: // assign (or take away) an action
                if (item.Item != nullptr)
                    world.assign(i, action.Action != nullptr && world.Random() % 5 ? a : -1);
                break;
            case 3:
            case 4: { // click, sometimes with the action's handler freeing the item
                if (item.Item == nullptr)
                    break;
                std::optional<TRun> expected = world.expectedClick(item);
                const int shows = item.Shows;
                if (shows >= 0 && item.Click != -2 && world.Random() % 4 == 0)
                    world.FreeItemInHandler = i;
                item.Item->Click();
                world.FreeItemInHandler = -1;
                ASSERT_EQ(world.Runs.size(), expected ? 1u : 0u) << where;
                if (expected) {
                    EXPECT_EQ(world.Runs[0], *expected) << where;
                }
                if (shows >= 0) {
                    EXPECT_EQ(world.Actions[static_cast<size_t>(shows)].Action->ActionComponent(), nullptr) << where;
                }
                break;
            }
            case 5: // run the action itself
                if (action.Action != nullptr) {
                    action.Action->Execute();
                    ASSERT_EQ(world.Runs, (std::vector<TRun>{{action.Number, action.Action, nullptr}})) << where;
                }
                break;
            case 6: // free the action
                if (action.Action != nullptr)
                    world.freeAction(a);
                break;
            case 7: // accept typed text, or give the item a handler of its own
                if (item.Item == nullptr)
                    break;
                if (auto* edit = dynamic_cast<TTBEditItem*>(item.Item); edit != nullptr && world.Random() % 2) {
                    std::string text = "typed";
                    bool accept = true;
                    if (edit->OnAcceptText)
                        edit->OnAcceptText(nullptr, text, accept);
                    const std::string expected = item.Accept >= 0 ? "accepted by " + std::to_string(item.Accept) : "typed";
                    EXPECT_EQ(text, expected) << where;
                } else if (world.Random() % 4 == 0) {
                    item.Item->OnClick = [&world](TTBCustomItem* sender) { world.Runs.push_back({-2, sender, nullptr}); };
                    item.Click = -2;
                }
                break;
            }
            for (const TItemSlot& s : world.Items) {
                const TBasicAction* shown = s.Shows >= 0 ? world.Actions[static_cast<size_t>(s.Shows)].Action : nullptr;
                if (s.Item != nullptr) {
                    ASSERT_EQ(s.Item->Action(), shown) << where;
                }
            }
        }
        // The form takes what it owns; the rest goes by hand.
        world.Form.reset();
        for (TItemSlot& s : world.Items)
            if (s.Item != nullptr && !s.Owned)
                delete s.Item;
        for (int a = 0; a < 4; ++a)
            if (world.Actions[static_cast<size_t>(a)].Action != nullptr && !world.Actions[static_cast<size_t>(a)].Owned)
                world.freeAction(a);
    }
}

// What an item's click did before it was mended: running the action set
// and cleared its ActionComponent, which took away the item's own watch on
// the action, so the freed action's handler was called through the item.
TEST(ActionLifetime, AClickedItemStillHearsOfItsActionGoing) {
    TComponent form;
    auto* action = new TTBEditAction(&form);
    auto* item = new TTBEditItem(&form);
    int runs = 0;
    action->OnExecute = [&](TPersistent*) { ++runs; };
    action->OnAcceptText = [](TTBEditItemViewer*, std::string& text, bool&) { text = "kept"; };
    item->SetAction(action);
    item->Click();
    delete action;
    EXPECT_EQ(item->Action(), nullptr);
    // No handler of the item calls into the freed action any more.
    EXPECT_EQ(item->OnClick.target<TTBActionExecuteCall>(), nullptr);
    EXPECT_EQ(item->OnAcceptText.target<TTBEditActionAcceptCall>(), nullptr);
    item->Click();
    EXPECT_EQ(runs, 2);
    std::string text;
    bool accept = true;
    item->OnAcceptText(nullptr, text, accept);
    EXPECT_EQ(text, "kept");
}

} // namespace
