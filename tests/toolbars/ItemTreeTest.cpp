// The item tree: its child lists against a model under random operations,
// the notices views rebuild their lists from, option inheritance and radio
// groups against their rules, and shortcut dispatch through links.

#include "toolbars/TBItem.h"
#include "toolbars/TBTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

// Rebuilds an item's child list from the notices alone, as a view does.
class TRecorder : public TTBItemSubscriber {
public:
    std::vector<TTBCustomItem*> Children;
    int UpdateDepth = 0;
    std::vector<std::pair<TTBChangeKind, TTBCustomItem*>> Notices;
    std::vector<int> DeletedAt;
    void ItemNotification(TTBCustomItem* ancestor, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                          int index) override {
        Notices.push_back({kind, item});
        if (kind == ckDeleting)
            DeletedAt.push_back(index);
        if (relayed)
            return;
        switch (kind) {
        case ckInserted:
            ASSERT_GE(index, 0);
            ASSERT_LE(index, static_cast<int>(Children.size()));
            Children.insert(Children.begin() + index, item);
            break;
        case ckDeleting:
            ASSERT_LT(index, static_cast<int>(Children.size()));
            ASSERT_EQ(Children[static_cast<size_t>(index)], item);
            Children.erase(Children.begin() + index);
            break;
        case ckBeginUpdate:
            ++UpdateDepth;
            break;
        case ckEndUpdate:
            --UpdateDepth;
            ASSERT_GE(UpdateDepth, 0);
            break;
        default:
            break;
        }
    }
};

std::vector<TTBCustomItem*> childrenOf(const TTBCustomItem* item) {
    std::vector<TTBCustomItem*> list;
    for (int i = 0; i < item->Count(); ++i)
        list.push_back(item->ItemAt(i));
    return list;
}

struct TForest {
    std::vector<std::unique_ptr<TTBCustomItem>> Items;
    std::vector<std::unique_ptr<TRecorder>> Recorders;
    explicit TForest(int count) {
        for (int i = 0; i < count; ++i) {
            Items.push_back(std::make_unique<TTBCustomItem>());
            Recorders.push_back(std::make_unique<TRecorder>());
            Items.back()->Subscribe(Recorders.back().get());
        }
    }
    ~TForest() {
        // Children first would be freed by their parents: take them out.
        for (auto& item : Items)
            while (item->Count() > 0)
                item->Delete(item->Count() - 1);
    }
    TTBCustomItem* operator[](size_t i) const { return Items[i].get(); }
};

// The model: each item's child list.
using TModel = std::map<TTBCustomItem*, std::vector<TTBCustomItem*>>;

TTBCustomItem* modelParent(const TModel& model, TTBCustomItem* item) {
    for (const auto& [parent, children] : model)
        if (std::find(children.begin(), children.end(), item) != children.end())
            return parent;
    return nullptr;
}

bool modelContains(const TModel& model, TTBCustomItem* root, TTBCustomItem* item) {
    for (TTBCustomItem* p = item; p != nullptr; p = modelParent(model, p))
        if (p == root)
            return true;
    return false;
}

TEST(ItemTree, RandomOperationsKeepChildListsAndNoticesInStep) {
    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        TForest forest(9);
        TModel model;
        for (auto& item : forest.Items)
            model[item.get()];
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        for (int step = 0; step < 300; ++step) {
            TTBCustomItem* parent = forest[static_cast<size_t>(pick(9))];
            TTBCustomItem* other = forest[static_cast<size_t>(pick(9))];
            std::vector<TTBCustomItem*>& kids = model[parent];
            int count = static_cast<int>(kids.size());
            int a = pick(count + 3) - 1, b = pick(count + 3) - 1;
            switch (pick(4)) {
            case 0: { // insert, refused for a placed item, a cycle or a bad index
                bool refused = modelParent(model, other) != nullptr || modelContains(model, other, parent) ||
                               a < 0 || a > count;
                if (refused) {
                    EXPECT_THROW(parent->Insert(a, other), ETBItemError);
                } else {
                    parent->Insert(a, other);
                    kids.insert(kids.begin() + a, other);
                }
                break;
            }
            case 1: // delete
                if (a < 0 || a >= count) {
                    EXPECT_THROW(parent->Delete(a), ETBItemError);
                } else {
                    parent->Delete(a);
                    kids.erase(kids.begin() + a);
                }
                break;
            case 2: // move
                if (a == b) {
                    parent->Move(a, b);
                } else if (a < 0 || a >= count || b < 0 || b >= count) {
                    EXPECT_THROW(parent->Move(a, b), ETBItemError);
                } else {
                    parent->Move(a, b);
                    TTBCustomItem* moved = kids[static_cast<size_t>(a)];
                    kids.erase(kids.begin() + a);
                    kids.insert(kids.begin() + b, moved);
                }
                break;
            default: // remove, which ignores an item that is not a child
                parent->Remove(other);
                kids.erase(std::remove(kids.begin(), kids.end(), other), kids.end());
                break;
            }
            for (size_t i = 0; i < forest.Items.size(); ++i) {
                TTBCustomItem* item = forest[i];
                ASSERT_EQ(childrenOf(item), model[item]) << "round " << round << " step " << step;
                ASSERT_EQ(forest.Recorders[i]->Children, model[item]);
                ASSERT_EQ(forest.Recorders[i]->UpdateDepth, 0);
                ASSERT_EQ(item->Parent(), modelParent(model, item));
            }
        }
    }
}

TEST(ItemTree, IndexErrorsCarryTheirTextsAndChangeNothing) {
    TTBCustomItem root, child, grandchild;
    root.Add(&child);
    child.Add(&grandchild);
    try {
        root.ItemAt(root.Count());
        FAIL();
    } catch (const ETBItemError& e) {
        EXPECT_EQ(e.Message(), TBTexts::ItemIndexOutOfRange);
    }
    try {
        root.Add(&grandchild);
        FAIL();
    } catch (const ETBItemError& e) {
        EXPECT_EQ(e.Message(), TBTexts::ItemAlreadyInserted);
    }
    // Into itself or below itself: refused before anything moves.
    TRecorder recorder;
    grandchild.Subscribe(&recorder);
    child.Remove(&grandchild);
    EXPECT_THROW(grandchild.Add(&grandchild), ETBItemError);
    root.Remove(&child);
    grandchild.Add(&child);
    EXPECT_THROW(child.Add(&grandchild), ETBItemError);
    EXPECT_EQ(grandchild.Parent(), nullptr);
    EXPECT_EQ(childrenOf(&child), std::vector<TTBCustomItem*>{});
    grandchild.Remove(&child);
    grandchild.Unsubscribe(&recorder);
}

TEST(ItemTree, FreeingAnItemTakesItOutAndFreesItsChildrenLastFirst) {
    TTBCustomItem root;
    TRecorder recorder;
    root.Subscribe(&recorder);
    auto* parent = new TTBCustomItem;
    root.Add(parent);
    TRecorder inner;
    parent->Subscribe(&inner);
    for (int i = 0; i < 3; ++i)
        parent->Add(new TTBCustomItem);
    delete parent;
    EXPECT_EQ(root.Count(), 0);
    EXPECT_TRUE(recorder.Children.empty());
    // The children went from the last to the first.
    EXPECT_EQ(inner.DeletedAt, (std::vector<int>{2, 1, 0}));
    EXPECT_TRUE(inner.Children.empty());
}

// A subscriber that does something to the subscriber list while it is told.
class TActingSubscriber : public TTBItemSubscriber {
public:
    std::function<void()> Act;
    int Calls = 0;
    void ItemNotification(TTBCustomItem*, bool, TTBChangeKind, TTBCustomItem*, int) override {
        ++Calls;
        if (Act)
            Act();
    }
};

TEST(ItemTree, NoticesSurviveSubscribersLeavingAndRaising) {
    TTBCustomItem root;
    TActingSubscriber first, second, third;
    root.Subscribe(&first);
    root.Subscribe(&second);
    root.Subscribe(&third);
    root.Subscribe(&third); // counted twice, told once
    // The first leaves during its call: the second (of the same class) is
    // still told.
    first.Act = [&] { root.Unsubscribe(&first); };
    root.Notify(ckRecalcSize, nullptr, 0);
    EXPECT_EQ(first.Calls, 1);
    EXPECT_EQ(second.Calls, 1);
    EXPECT_EQ(third.Calls, 1);
    // The third stays until it has unsubscribed as often as it subscribed;
    // once gone it is not told, even when it goes during the notice.
    second.Act = [&] { root.Unsubscribe(&third); };
    root.Notify(ckRecalcSize, nullptr, 0);
    EXPECT_EQ(third.Calls, 2);
    root.Notify(ckRecalcSize, nullptr, 0);
    EXPECT_EQ(third.Calls, 2);
    second.Act = nullptr;
    EXPECT_EQ(root.SubscriberCount(), 1);

    // A subscriber that raises: the others still hear of the insertion and
    // the update bracket closes; the exception goes on to the caller.
    TRecorder recorder;
    root.Subscribe(&recorder);
    second.Act = [] { throw Exception("subscriber failed"); };
    TTBCustomItem child;
    EXPECT_THROW(root.Add(&child), Exception);
    EXPECT_EQ(recorder.Children, std::vector<TTBCustomItem*>{&child});
    EXPECT_EQ(recorder.UpdateDepth, 0);
    second.Act = nullptr;
    root.Remove(&child);
}

TTBItemOptions expectedOptions(const TTBCustomItem* item) {
    TTBItemOptions inherited = 0;
    if (item->InheritOptions() && item->Parent() != nullptr)
        inherited = expectedOptions(item->Parent()) & ~tboDefault;
    TTBItemOptions options = (inherited & ~item->MaskOptions()) | item->Options();
    if (!(options & tboToolbarStyle))
        options &= ~tboToolbarSize;
    return options;
}

TEST(ItemTree, EffectiveOptionsFollowInheritanceAndSizeChangesAreTold) {
    std::mt19937 random(99);
    TForest forest(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 2000; ++step) {
        std::map<TTBCustomItem*, TTBItemOptions> before;
        std::map<TTBCustomItem*, TTBCustomItem*> parentBefore;
        for (auto& item : forest.Items) {
            before[item.get()] = item->EffectiveOptions();
            parentBefore[item.get()] = item->Parent();
        }
        for (auto& recorder : forest.Recorders)
            recorder->Notices.clear();
        TTBCustomItem* item = forest[static_cast<size_t>(pick(7))];
        auto options = static_cast<TTBItemOptions>(random() & 0x7F);
        switch (pick(5)) {
        case 0:
            item->SetOptions(options);
            break;
        case 1:
            item->SetMaskOptions(options);
            break;
        case 2:
            item->SetInheritOptions(pick(3) != 0);
            break;
        case 3: { // move it somewhere else in the forest when that is allowed
            TTBCustomItem* parent = forest[static_cast<size_t>(pick(7))];
            if (item->Parent() != nullptr)
                item->Parent()->Remove(item);
            if (!item->ContainsItem(parent))
                parent->Add(item);
            break;
        }
        default:
            if (item->Parent() != nullptr)
                item->Parent()->Remove(item);
            break;
        }
        for (auto& each : forest.Items) {
            ASSERT_EQ(each->EffectiveOptions(), expectedOptions(each.get())) << "step " << step;
            TTBCustomItem* parent = each->Parent();
            bool sizeChanged = ((before[each.get()] ^ each->EffectiveOptions()) & kTBSizeOptions) != 0;
            // A newly inserted item is measured afresh anyway.
            if (!sizeChanged || parent == nullptr || parent != parentBefore[each.get()])
                continue;
            auto& notices = forest.Recorders[static_cast<size_t>(
                                                 std::find_if(forest.Items.begin(), forest.Items.end(),
                                                              [&](auto& p) { return p.get() == parent; }) -
                                                 forest.Items.begin())]
                                ->Notices;
            bool told = std::find(notices.begin(), notices.end(), std::make_pair(ckRecalcSize, each.get())) !=
                        notices.end();
            ASSERT_TRUE(told) << "step " << step;
        }
    }
}

TEST(ItemTree, RadioGroupsKeepOneCheckedItemPerGroup) {
    std::mt19937 random(7);
    TTBCustomItem root;
    std::vector<std::unique_ptr<TTBCustomItem>> items;
    for (int i = 0; i < 8; ++i) {
        items.push_back(std::make_unique<TTBCustomItem>());
        root.Add(items.back().get());
    }
    std::vector<bool> checked(8, false);
    std::vector<int> group(8, 0);
    for (int step = 0; step < 3000; ++step) {
        size_t i = random() % 8;
        if (random() % 2 == 0) {
            bool value = random() % 3 != 0;
            items[i]->SetChecked(value);
            if (value && !checked[i] && group[i] != 0)
                for (size_t j = 0; j < 8; ++j)
                    if (j != i && group[j] == group[i])
                        checked[j] = false;
            checked[i] = value;
        } else {
            int value = static_cast<int>(random() % 3);
            items[i]->SetGroupIndex(value);
            if (value != group[i] && checked[i] && value != 0)
                for (size_t j = 0; j < 8; ++j)
                    if (j != i && group[j] == value)
                        checked[j] = false;
            group[i] = value;
        }
        for (size_t j = 0; j < 8; ++j)
            ASSERT_EQ(items[j]->Checked(), checked[j]) << "step " << step;
    }
    while (root.Count() > 0)
        root.Delete(0);
}

TEST(ItemTree, SettersTellRepaintOrResizeAsTheChangeNeeds) {
    TTBCustomItem root, item;
    TRecorder recorder;
    root.Subscribe(&recorder);
    root.Add(&item);
    auto last = [&] { return recorder.Notices.empty() ? ckNameChanged : recorder.Notices.back().first; };
    item.SetImageIndex(3);
    EXPECT_EQ(last(), ckRecalcSize);
    item.SetImageIndex(5);
    EXPECT_EQ(last(), ckInvalidate);
    item.SetImageIndex(-1);
    EXPECT_EQ(last(), ckRecalcSize);
    item.SetCaption("Open");
    EXPECT_EQ(last(), ckRecalcSize);
    item.SetEnabled(false);
    EXPECT_EQ(last(), ckInvalidate);
    size_t count = recorder.Notices.size();
    item.SetEnabled(false); // unchanged: nothing
    item.SetCaption("Open");
    EXPECT_EQ(recorder.Notices.size(), count);
    item.SetLinkSubitems(&item);
    EXPECT_EQ(item.LinkSubitems(), nullptr);
    root.Remove(&item);
}

TEST(ItemTree, ShortcutSearchFollowsLinksTwentyFiveLevelsDeep) {
    for (int depth : {25, 26}) {
        // holder[i] has one child that links to holder[i + 1]; the last
        // holder holds the item with the shortcut.
        std::vector<std::unique_ptr<TTBCustomItem>> holders, linkers;
        for (int i = 0; i <= depth; ++i)
            holders.push_back(std::make_unique<TTBCustomItem>());
        for (int i = 0; i < depth; ++i) {
            linkers.push_back(std::make_unique<TTBCustomItem>());
            holders[static_cast<size_t>(i)]->Add(linkers.back().get());
            linkers.back()->SetLinkSubitems(holders[static_cast<size_t>(i) + 1].get());
        }
        TTBCustomItem target;
        target.ShortCut = ShortCut('S', ssCtrl);
        holders.back()->Add(&target);
        TTBCustomItem* top = nullptr;
        TTBCustomItem* found = holders.front()->FindShortCutItem(target.ShortCut, top);
        if (depth == 25) {
            EXPECT_EQ(found, &target);
            EXPECT_EQ(top, linkers.front().get());
        } else {
            EXPECT_EQ(found, nullptr);
        }
        holders.back()->Remove(&target);
        for (size_t i = 0; i < linkers.size(); ++i)
            holders[i]->Remove(linkers[i].get());
    }
}

TEST(ItemTree, ShortcutDispatchStopsAtDisabledItemsAndRestartsOnlyOnce) {
    TTBCustomItem root, menu, other, target;
    root.Add(&menu);
    root.Add(&other);
    menu.Add(&target);
    menu.ItemStyle |= isSubmenu;
    other.ItemStyle |= isSubmenu;
    target.ShortCut = ShortCut('O', ssCtrl);
    int clicks = 0, menuPopups = 0, menuClicks = 0;
    target.OnClick = [&](TTBCustomItem*) { ++clicks; };
    menu.OnClick = [&](TTBCustomItem*) { ++menuClicks; };
    menu.OnPopup = [&](TTBCustomItem*, bool) { ++menuPopups; };

    EXPECT_TRUE(root.HandleShortCut(target.ShortCut));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(menuPopups, 1); // the submenu is prepared as opening it would
    EXPECT_EQ(menuClicks, 1);
    EXPECT_FALSE(root.HandleShortCut(ShortCut('P', ssCtrl)));

    menu.SetEnabled(false);
    EXPECT_FALSE(root.HandleShortCut(target.ShortCut));
    menu.SetEnabled(true);
    target.SetEnabled(false);
    EXPECT_FALSE(root.HandleShortCut(target.ShortCut));
    target.SetEnabled(true);
    EXPECT_EQ(clicks, 1);

    // Handlers that move the item away each time it is looked for: one new
    // search from the root, then it gives up.
    int moves = 0;
    auto moveTo = [&](TTBCustomItem& from, TTBCustomItem& to) {
        return [&](TTBCustomItem*, bool) {
            ++moves;
            if (target.Parent() == &from) {
                from.Remove(&target);
                to.Add(&target);
            }
        };
    };
    menu.OnPopup = moveTo(menu, other);
    other.OnPopup = moveTo(other, menu);
    EXPECT_FALSE(root.HandleShortCut(target.ShortCut));
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(clicks, 1);
    if (target.Parent() != nullptr)
        target.Parent()->Remove(&target);
    root.Remove(&menu);
    root.Remove(&other);
}

} // namespace
