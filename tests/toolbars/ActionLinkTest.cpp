// Items linked to actions: the item's values against a model of which are
// the action's under random changes on both sides, what a form stores of
// them, the defaults a loading item keeps, clicks that run the action,
// updates when idle, and the edit action with its own values.

#include "toolbars/TBClasses.h"
#include "toolbars/TBEditAction.h"
#include "toolbars/TBItemActionLink.h"
#include "toolbars/TBToolbar.h"

#include "platform/base/ComponentStream.h"
#include "platform/base/EventHandlers.h"
#include "platform/base/Properties.h"
#include "platform/base/Stream.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Control.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// One linked property: its published name, its default, how to read and
// set it on the item and on the action, and the link's test.
struct TLinkedProperty {
    const char* Name;
    int Default;
    std::function<int(TTBCustomItem&)> ItemValue;
    std::function<void(TTBCustomItem&, int)> SetItem;
    std::function<int(TCustomAction&)> ActionValue;
    std::function<void(TCustomAction&, int)> SetAction;
    std::function<bool(TTBCustomItemActionLink&)> Linked;
};

// Strings are numbered: value n is "s<n>", 0 the empty string.
std::string text(int n) { return n == 0 ? std::string() : "s" + std::to_string(n); }
int number(const std::string& s) { return s.empty() ? 0 : std::stoi(s.substr(1)); }

const std::vector<TLinkedProperty>& linkedProperties() {
    using L = TTBCustomItemActionLink;
    static const std::vector<TLinkedProperty> properties{
        {"AutoCheck", 0, [](TTBCustomItem& i) { return int(i.AutoCheck); },
         [](TTBCustomItem& i, int v) { i.AutoCheck = v != 0; }, [](TCustomAction& a) { return int(a.AutoCheck()); },
         [](TCustomAction& a, int v) { a.SetAutoCheck(v != 0); }, [](L& l) { return l.IsAutoCheckLinked(); }},
        {"Caption", 0, [](TTBCustomItem& i) { return number(i.Caption()); },
         [](TTBCustomItem& i, int v) { i.SetCaption(text(v)); }, [](TCustomAction& a) { return number(a.Caption()); },
         [](TCustomAction& a, int v) { a.SetCaption(text(v)); }, [](L& l) { return l.IsCaptionLinked(); }},
        {"Checked", 0, [](TTBCustomItem& i) { return int(i.Checked()); },
         [](TTBCustomItem& i, int v) { i.SetChecked(v != 0); }, [](TCustomAction& a) { return int(a.Checked()); },
         [](TCustomAction& a, int v) { a.SetChecked(v != 0); }, [](L& l) { return l.IsCheckedLinked(); }},
        {"Enabled", 1, [](TTBCustomItem& i) { return int(i.Enabled()); },
         [](TTBCustomItem& i, int v) { i.SetEnabled(v != 0); }, [](TCustomAction& a) { return int(a.Enabled()); },
         [](TCustomAction& a, int v) { a.SetEnabled(v != 0); }, [](L& l) { return l.IsEnabledLinked(); }},
        {"HelpContext", 0, [](TTBCustomItem& i) { return i.HelpContext; },
         [](TTBCustomItem& i, int v) { i.HelpContext = v; }, [](TCustomAction& a) { return a.HelpContext(); },
         [](TCustomAction& a, int v) { a.SetHelpContext(v); }, [](L& l) { return l.IsHelpContextLinked(); }},
        {"Hint", 0, [](TTBCustomItem& i) { return number(i.Hint); },
         [](TTBCustomItem& i, int v) { i.Hint = text(v); }, [](TCustomAction& a) { return number(a.Hint()); },
         [](TCustomAction& a, int v) { a.SetHint(text(v)); }, [](L& l) { return l.IsHintLinked(); }},
        {"ImageIndex", -1, [](TTBCustomItem& i) { return i.ImageIndex(); },
         [](TTBCustomItem& i, int v) { i.SetImageIndex(v); }, [](TCustomAction& a) { return a.ImageIndex(); },
         [](TCustomAction& a, int v) { a.SetImageIndex(v); }, [](L& l) { return l.IsImageIndexLinked(); }},
        {"ShortCut", 0, [](TTBCustomItem& i) { return int(i.ShortCut); },
         [](TTBCustomItem& i, int v) { i.ShortCut = static_cast<TShortCut>(v); },
         [](TCustomAction& a) { return int(a.ShortCut()); },
         [](TCustomAction& a, int v) { a.SetShortCut(static_cast<TShortCut>(v)); },
         [](L& l) { return l.IsShortCutLinked(); }},
        {"Visible", 1, [](TTBCustomItem& i) { return int(i.Visible()); },
         [](TTBCustomItem& i, int v) { i.SetVisible(v != 0); }, [](TCustomAction& a) { return int(a.Visible()); },
         [](TCustomAction& a, int v) { a.SetVisible(v != 0); }, [](L& l) { return l.IsVisibleLinked(); }},
    };
    return properties;
}

// A random value of a property: its default half of the time.
int randomValue(std::mt19937& random, const TLinkedProperty& property) {
    if (random() % 2 == 0)
        return property.Default;
    if (std::string(property.Name) == "AutoCheck" || std::string(property.Name) == "Checked" ||
        std::string(property.Name) == "Enabled" || std::string(property.Name) == "Visible")
        return property.Default == 0 ? 1 : 0;
    return static_cast<int>(random() % 3) + 1;
}

bool writes(TTBCustomItem& item, const char* name) {
    TPersistent* target = nullptr;
    const TPropertyInfo* info = FindPublishedProperty(item, name, target);
    EXPECT_NE(info, nullptr) << name;
    return info != nullptr && info->ShouldWrite(*target);
}

TEST(ActionLink, ItemValuesFollowTheActionWhileLinkedAndAreStoredOnlyWhenTheirOwn) {
    RegisterToolbarClasses();
    std::mt19937 random(33);
    for (int round = 0; round < 40; ++round) {
        TComponent form;
        auto* action = new TAction(&form);
        auto* item = new TTBCustomItem(&form);
        auto* parent = new TTBCustomItem(&form);
        parent->Add(item);
        for (const TLinkedProperty& p : linkedProperties()) {
            p.SetItem(*item, randomValue(random, p));
            p.SetAction(*action, randomValue(random, p));
        }
        // Assigned outside loading, the action's state is copied whole.
        item->SetAction(action);
        ASSERT_EQ(item->Action(), action);
        for (const TLinkedProperty& p : linkedProperties())
            EXPECT_EQ(p.ItemValue(*item), p.ActionValue(*action)) << p.Name;
        EXPECT_FALSE(writes(*item, "OnClick"));

        for (int step = 0; step < 60; ++step) {
            const TLinkedProperty& p = linkedProperties()[random() % linkedProperties().size()];
            int value = randomValue(random, p);
            std::vector<int> itemBefore;
            for (const TLinkedProperty& q : linkedProperties())
                itemBefore.push_back(q.ItemValue(*item));
            if (random() % 2 == 0) {
                // A change of the action reaches the item: its state is the
                // action's again afterwards.  Setting the same value is no
                // change.
                bool changes = p.ActionValue(*action) != value;
                p.SetAction(*action, value);
                for (size_t k = 0; k < linkedProperties().size(); ++k) {
                    const TLinkedProperty& q = linkedProperties()[k];
                    ASSERT_EQ(q.ItemValue(*item), changes ? q.ActionValue(*action) : itemBefore[k])
                        << q.Name << " round " << round;
                }
            } else {
                p.SetItem(*item, value);
                for (size_t k = 0; k < linkedProperties().size(); ++k) {
                    const TLinkedProperty& q = linkedProperties()[k];
                    ASSERT_EQ(q.ItemValue(*item), &q == &p ? value : itemBefore[k]) << q.Name;
                }
            }
            // Linked exactly while equal; stored exactly when the item's own
            // value is neither the default nor the action's.
            for (const TLinkedProperty& q : linkedProperties()) {
                bool same = q.ItemValue(*item) == q.ActionValue(*action);
                ASSERT_EQ(q.Linked(*item->ActionLink()), same) << q.Name;
                ASSERT_EQ(writes(*item, q.Name), !same && q.ItemValue(*item) != q.Default) << q.Name;
            }
        }
        item->SetAction(nullptr);
        EXPECT_EQ(item->ActionLink(), nullptr);
        for (const TLinkedProperty& q : linkedProperties())
            EXPECT_EQ(writes(*item, q.Name), q.ItemValue(*item) != q.Default) << q.Name;
    }
}

TEST(ActionLink, ALoadingItemKeepsWhatIsNotItsDefault) {
    RegisterToolbarClasses();
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        TComponent form;
        auto* action = new TAction(&form);
        auto* item = new TTBCustomItem(&form);
        std::vector<int> own;
        for (const TLinkedProperty& p : linkedProperties()) {
            own.push_back(randomValue(random, p));
            p.SetItem(*item, own.back());
            int actionValue = randomValue(random, p);
            p.SetAction(*action, actionValue);
        }
        action->BeginLoading();
        item->SetAction(action);
        for (size_t k = 0; k < own.size(); ++k) {
            const TLinkedProperty& p = linkedProperties()[k];
            EXPECT_EQ(p.ItemValue(*item), own[k] == p.Default ? p.ActionValue(*action) : own[k]) << p.Name;
        }
        // Loaded takes the action's values for what was read at its default.
        for (const TLinkedProperty& p : linkedProperties())
            p.SetItem(*item, p.Default);
        item->BeginLoading();
        item->Loaded();
        for (const TLinkedProperty& p : linkedProperties())
            EXPECT_EQ(p.ItemValue(*item), p.ActionValue(*action)) << p.Name;
    }
}

// A link that records what the action hands it, and what the action held
// meanwhile.
class TRecordingLink : public TActionLink {
public:
    using TActionLink::TActionLink;
    std::vector<std::string> Seen;
    void SetCaption(const std::string& value) override {
        Seen.push_back(CustomAction()->Caption() + "->" + value);
    }
    void SetEnabled(bool value) override {
        Seen.push_back(std::string(CustomAction()->Enabled() ? "on" : "off") + "->" + (value ? "on" : "off"));
    }
};

TEST(ActionLink, AnActionHandsANewValueToItsLinksBeforeStoringItAndTellsThemOnce) {
    TAction action;
    TRecordingLink link(nullptr);
    int changes = 0;
    link.OnChange = [&](TBasicAction* sender) {
        EXPECT_EQ(sender, &action);
        ++changes;
    };
    link.SetAction(&action);
    action.SetCaption("Open");
    action.SetCaption("Open");
    action.SetEnabled(false);
    EXPECT_EQ(link.Seen, (std::vector<std::string>{"->Open", "on->off"}));
    EXPECT_EQ(changes, 2);
    link.SetAction(nullptr);
    action.SetCaption("Close");
    EXPECT_EQ(changes, 2);
}

TEST(ActionLink, ClickingRunsTheActionUnlessTheItemHasAHandlerOfItsOwn) {
    RegisterToolbarClasses();
    TComponent form;
    auto* action = new TAction(&form);
    auto* item = new TTBCustomItem(&form);
    std::vector<std::string> ran;
    TComponent* runBy = nullptr;
    action->OnExecute = [&](TPersistent* sender) {
        ran.push_back("action");
        runBy = action->ActionComponent();
    };
    int updates = 0;
    action->OnUpdate = [&](TPersistent*) { ++updates; };
    item->SetAction(action);
    ASSERT_TRUE(item->OnClick);
    EXPECT_TRUE(item->ActionLink()->IsOnExecuteLinked());
    item->Click();
    EXPECT_EQ(ran, std::vector<std::string>{"action"});
    EXPECT_EQ(runBy, item);
    EXPECT_EQ(action->ActionComponent(), nullptr);
    EXPECT_EQ(updates, 1);

    // A disabled action does not run; an auto-checking one checks the item
    // through the link, once.
    action->SetEnabled(false);
    item->Click();
    EXPECT_EQ(ran.size(), 1u);
    action->SetEnabled(true);
    action->SetAutoCheck(true);
    EXPECT_TRUE(item->AutoCheck);
    item->Click();
    EXPECT_TRUE(action->Checked());
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(ran.size(), 2u);

    // The item's own handler runs instead of the action and is stored.
    item->OnClick = [&](TTBCustomItem*) { ran.push_back("item"); };
    EXPECT_FALSE(item->ActionLink()->IsOnExecuteLinked());
    item->Click();
    EXPECT_EQ(ran.back(), "item");
    EXPECT_EQ(ran.size(), 3u);

    // A freed action leaves the item, whose handler still runs its code.
    auto* other = new TAction(&form);
    other->OnExecute = [&](TPersistent* sender) { ran.push_back("other"); };
    item->OnClick = nullptr;
    item->SetAction(other);
    delete other;
    EXPECT_EQ(item->Action(), nullptr);
    item->Click();
    EXPECT_EQ(ran.back(), "other");
}

TEST(ActionLink, TheActionsHandlerReachesItemsThatUseIt) {
    TAction action;
    TTBCustomItem item;
    int runs = 0;
    item.SetAction(&action);
    EXPECT_FALSE(item.OnClick);
    action.SetOnExecute([&](TPersistent*) { ++runs; });
    EXPECT_TRUE(item.ActionLink()->IsOnExecuteLinked());
    item.Click();
    EXPECT_EQ(runs, 1);
    item.SetAction(nullptr);
}

TEST(ActionLink, AnItemsTipNamesItsActionsShortcut) {
    TAction action;
    TTBCustomItem item;
    item.SetAction(&action);
    item.Hint = "Save|Saves the page";
    EXPECT_EQ(item.HintCaption(), "Save");
    action.SetShortCut(ShortCut('S', ssCtrl));
    item.Hint = "Save|Saves the page";
    EXPECT_EQ(item.HintCaption(), "Save (Ctrl+S)");
    Application().HintShortCuts = false;
    EXPECT_EQ(item.HintCaption(), "Save");
    Application().HintShortCuts = true;
    bool refuse = true;
    action.OnHint = [&](std::string&, bool& canShow) { canShow = !refuse; };
    EXPECT_EQ(item.HintCaption(), "Save");
    refuse = false;
    EXPECT_EQ(item.HintCaption(), "Save (Ctrl+S)");
    item.Hint.clear();
    EXPECT_EQ(item.HintCaption(), "");
    item.SetAction(nullptr);
}

TEST(ActionLink, ARenamedItemTellsItsParentsViews) {
    struct TNames : TTBItemSubscriber {
        std::vector<std::pair<TTBChangeKind, TTBCustomItem*>> Notices;
        void ItemNotification(TTBCustomItem*, bool, TTBChangeKind kind, TTBCustomItem* item, int) override {
            Notices.push_back({kind, item});
        }
    } names;
    TTBCustomItem parent;
    auto* child = new TTBCustomItem(&parent);
    parent.Add(child);
    parent.Subscribe(&names);
    child->SetName("Open");
    child->SetName("Open");
    EXPECT_EQ(names.Notices, (std::vector<std::pair<TTBChangeKind, TTBCustomItem*>>{{ckNameChanged, child}}));
    parent.Unsubscribe(&names);
}

TEST(ActionLink, AFormStoresOnlyTheItemsOwnValuesAndReadsTheRestFromTheAction) {
    RegisterToolbarClasses();
    int runs = 0;
    THandlerTable handlers;
    handlers.Add("SaveExecute", TActionEvent([&](TPersistent*) { ++runs; }));
    TWinControl form;
    form.SetName("form");
    auto* action = new TAction(&form);
    action->SetName("SaveAction");
    action->SetCaption("&Save");
    action->SetHint("Save|Saves the page");
    action->SetShortCut(ShortCut('S', ssCtrl));
    action->SetImageIndex(3);
    action->OnExecute = [&](TPersistent*) { ++runs; };
    action->SetEventHandlerName("OnExecute", "SaveExecute");
    auto* item = new TTBCustomItem(&form);
    item->SetName("SaveItem");
    item->SetAction(action);
    item->SetImageIndex(5); // its own
    TMemoryStream stream;
    WriteComponent(stream, form);
    const std::string bytes = stream.DataString();
    EXPECT_EQ(bytes.find("Saves the page"), bytes.rfind("Saves the page")) << "the hint is stored once";
    EXPECT_EQ(bytes.find("&Save"), bytes.rfind("&Save")) << "the caption is stored once";

    stream.SetPosition(0);
    TWinControl copy;
    ReadComponent(stream, copy, &handlers);
    auto* read = dynamic_cast<TTBCustomItem*>(copy.FindComponent("SaveItem"));
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->Action(), nullptr);
    EXPECT_EQ(read->Action()->Name(), "SaveAction");
    EXPECT_EQ(read->Caption(), "&Save");
    EXPECT_EQ(read->Hint, "Save|Saves the page");
    EXPECT_EQ(read->ShortCut, ShortCut('S', ssCtrl));
    EXPECT_EQ(read->ImageIndex(), 5);
    read->Click();
    EXPECT_EQ(runs, 1);
}

TEST(ActionLink, AShowingToolbarUpdatesItsItemsActionsWhenTheProgramIsIdle) {
    RegisterToolbarClasses();
    TAction action;
    int updates = 0;
    action.OnUpdate = [&](TPersistent*) {
        ++updates;
        action.SetEnabled(false);
    };
    auto* toolbar = new TTBToolbar(nullptr);
    auto* item = new TTBCustomItem(toolbar);
    toolbar->Items()->Add(item);
    item->SetAction(&action);
    Application().Idle();
    EXPECT_EQ(updates, 1);
    EXPECT_FALSE(item->Enabled());
    toolbar->UpdateActions = false;
    Application().Idle();
    EXPECT_EQ(updates, 1);
    toolbar->UpdateActions = true;
    toolbar->SetVisible(false);
    Application().Idle();
    EXPECT_EQ(updates, 1);
    delete toolbar;
    Application().Idle();
    EXPECT_EQ(updates, 1);
}

// --- the edit action ---------------------------------------------------------

TEST(EditAction, EditValuesFollowTheActionWhileLinkedAndAreStoredOnlyWhenTheirOwn) {
    RegisterToolbarClasses();
    std::mt19937 random(105);
    struct TEditProperty {
        const char* Name;
        int Default;
        std::function<int(TTBEditItem&)> ItemValue;
        std::function<void(TTBEditItem&, int)> SetItem;
        std::function<int(TTBEditAction&)> ActionValue;
        std::function<void(TTBEditAction&, int)> SetAction;
        std::function<bool(TTBEditItemActionLink&)> Linked;
    };
    using L = TTBEditItemActionLink;
    const std::vector<TEditProperty> properties{
        {"EditCaption", 0, [](TTBEditItem& i) { return number(i.EditCaption()); },
         [](TTBEditItem& i, int v) { i.SetEditCaption(text(v)); },
         [](TTBEditAction& a) { return number(a.EditCaption()); },
         [](TTBEditAction& a, int v) { a.SetEditCaption(text(v)); }, [](L& l) { return l.IsEditCaptionLinked(); }},
        {"EditOptions", 0, [](TTBEditItem& i) { return int(i.EditOptions()); },
         [](TTBEditItem& i, int v) { i.SetEditOptions(static_cast<TTBEditItemOptions>(v != 0)); },
         [](TTBEditAction& a) { return int(a.EditOptions()); },
         [](TTBEditAction& a, int v) { a.SetEditOptions(static_cast<TTBEditItemOptions>(v != 0)); },
         [](L& l) { return l.IsEditOptionsLinked(); }},
        {"EditWidth", 64, [](TTBEditItem& i) { return i.EditWidth(); },
         [](TTBEditItem& i, int v) { i.SetEditWidth(v); }, [](TTBEditAction& a) { return a.EditWidth(); },
         [](TTBEditAction& a, int v) { a.SetEditWidth(v); }, [](L& l) { return l.IsEditWidthLinked(); }},
        {"Text", 0, [](TTBEditItem& i) { return number(i.Text()); },
         [](TTBEditItem& i, int v) { i.SetText(text(v)); }, [](TTBEditAction& a) { return number(a.Text()); },
         [](TTBEditAction& a, int v) { a.SetText(text(v)); }, [](L& l) { return l.IsTextLinked(); }},
    };
    auto value = [&](const TEditProperty& p) {
        if (random() % 2 == 0)
            return p.Default;
        if (std::string(p.Name) == "EditOptions")
            return 1;
        return std::string(p.Name) == "EditWidth" ? 40 + static_cast<int>(random() % 3) * 10
                                                  : static_cast<int>(random() % 3) + 1;
    };
    for (int round = 0; round < 30; ++round) {
        TTBEditAction action;
        TTBEditItem item;
        std::vector<int> own;
        for (const TEditProperty& p : properties) {
            own.push_back(value(p));
            p.SetItem(item, own.back());
            p.SetAction(action, value(p));
        }
        // While loading, only empty values come from the action (the
        // width is the item's own).
        action.BeginLoading();
        item.SetAction(&action);
        action.Loaded();
        auto* link = dynamic_cast<TTBEditItemActionLink*>(item.ActionLink());
        ASSERT_NE(link, nullptr);
        for (size_t k = 0; k < properties.size(); ++k) {
            const TEditProperty& p = properties[k];
            int expected = std::string(p.Name) == "EditWidth" || own[k] != p.Default ? own[k] : p.ActionValue(action);
            EXPECT_EQ(p.ItemValue(item), expected) << p.Name;
        }
        for (int step = 0; step < 40; ++step) {
            const TEditProperty& p = properties[random() % properties.size()];
            int v = value(p);
            if (random() % 2 == 0) {
                bool wasLinked = p.Linked(*link);
                bool changes = p.ActionValue(action) != v;
                std::vector<int> before;
                for (const TEditProperty& q : properties)
                    before.push_back(q.ItemValue(item));
                p.SetAction(action, v);
                // A change is passed on while linked; then the action's
                // caption, options and text are copied whole, its width not.
                for (size_t k = 0; k < properties.size(); ++k) {
                    const TEditProperty& q = properties[k];
                    int expected = before[k];
                    if (&q == &p && wasLinked)
                        expected = v;
                    if (changes && std::string(q.Name) != "EditWidth")
                        expected = q.ActionValue(action);
                    ASSERT_EQ(q.ItemValue(item), expected) << q.Name;
                }
            } else {
                p.SetItem(item, v);
            }
            for (const TEditProperty& q : properties) {
                bool same = q.ItemValue(item) == q.ActionValue(action);
                ASSERT_EQ(q.Linked(*link), same) << q.Name;
                ASSERT_EQ(writes(item, q.Name), !same && q.ItemValue(item) != q.Default) << q.Name;
            }
        }
        item.SetAction(nullptr);
    }
}

TEST(EditAction, TheActionsAcceptHandlerDecidesForItsItems) {
    RegisterToolbarClasses();
    TTBEditAction action;
    action.OnAcceptText = [](TTBEditItemViewer*, std::string& text, bool& accept) { accept = text != "no"; };
    TTBEditItem item;
    item.SetAction(&action);
    ASSERT_TRUE(item.OnAcceptText);
    EXPECT_TRUE(dynamic_cast<TTBEditItemActionLink*>(item.ActionLink())->IsOnAcceptTextLinked());
    std::string typed = "no";
    bool accept = true;
    item.OnAcceptText(nullptr, typed, accept);
    EXPECT_FALSE(accept);
    // A new handler of the action reaches the item while linked.
    action.SetOnAcceptText([](TTBEditItemViewer*, std::string& text, bool& accept) { text = "changed"; });
    typed = "no";
    accept = true;
    item.OnAcceptText(nullptr, typed, accept);
    EXPECT_TRUE(accept);
    EXPECT_EQ(typed, "changed");
    item.SetAction(nullptr);
}

} // namespace
