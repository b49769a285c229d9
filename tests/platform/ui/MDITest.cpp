// The MDI frame and its children without windows: random sequences of
// making, activating, maximising, restoring, minimising, cycling and closing
// children (some closes refused) against a model of the activation order
// and the maximised state, with the notifications the frame sends; and the
// frame's own close asking every child first.

#include "platform/base/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Screen.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A frame as the application's main form, for the length of a test.
struct TFrame {
    TForm form;
    TFrame() {
        Application().SetMainForm(&form);
        form.SetFormStyle(fsMDIForm);
        form.Show();
    }
    ~TFrame() {
        while (form.MDIChildCount() > 0)
            delete form.MDIChildren(form.MDIChildCount() - 1);
        Application().SetMainForm(nullptr);
        ClearQuitRequest();
    }
};

// A child that answers the close question as told and frees itself.
class TChild : public TForm {
public:
    explicit TChild(int id) : Id(id) {
        SetFormStyle(fsMDIChild);
        OnCloseQuery = [this](TPersistent*, bool& canClose) { canClose = !Refuse; };
        OnClose = [](TPersistent*, TCloseAction& action) { action = caFree; };
    }
    int Id;
    bool Refuse = false;
};

struct TModelChild {
    int Id;
    TWindowState State = wsNormal;
    bool RestoreMaximized = false;
};

// The model: children by activation, most recent first.
class TModel {
public:
    std::vector<TModelChild> Order;
    bool Maximized = false;

    TModelChild* find(int id) {
        for (TModelChild& child : Order)
            if (child.Id == id)
                return &child;
        return nullptr;
    }
    void activate(int id) {
        auto it = std::find_if(Order.begin(), Order.end(), [&](const TModelChild& c) { return c.Id == id; });
        TModelChild moved = *it;
        Order.erase(it);
        if (!Order.empty() && Order.front().Id != id && Maximized && Order.front().State == wsMaximized) {
            Order.front().State = wsNormal;
            moved.State = wsMaximized;
        }
        Order.insert(Order.begin(), moved);
    }
    void add(int id) {
        Order.push_back({id, Maximized ? wsMaximized : wsNormal});
        if (Maximized && Order.size() > 1 && Order.front().State == wsMaximized)
            Order.front().State = wsNormal;
        TModelChild added = Order.back();
        Order.pop_back();
        Order.insert(Order.begin(), added);
    }
    void setState(int id, TWindowState state) {
        TModelChild* child = find(id);
        if (child->State == state)
            return;
        if (state == wsMinimized)
            child->RestoreMaximized = child->State == wsMaximized;
        child->State = state;
        if (state == wsMaximized) {
            Maximized = true;
            for (TModelChild& other : Order)
                if (other.Id != id && other.State == wsMaximized)
                    other.State = wsNormal;
            activate(id);
        } else {
            Maximized = std::any_of(Order.begin(), Order.end(), [](const TModelChild& c) { return c.State == wsMaximized; });
        }
        // Minimising the active child activates the next one not minimised.
        if (state == wsMinimized && Order.front().Id == id)
            for (const TModelChild& other : Order)
                if (other.State != wsMinimized) {
                    activate(other.Id);
                    break;
                }
    }
    // The restore command: a child minimised while maximised comes back so.
    void restore(int id) {
        TModelChild* child = find(id);
        setState(id, child->State == wsMinimized && child->RestoreMaximized ? wsMaximized : wsNormal);
    }
    void remove(int id) {
        auto it = std::find_if(Order.begin(), Order.end(), [&](const TModelChild& c) { return c.Id == id; });
        bool wasActive = it == Order.begin();
        bool wasMaximized = it->State == wsMaximized;
        Order.erase(it);
        if (Order.empty())
            Maximized = false;
        if (wasActive && !Order.empty() && Maximized && wasMaximized)
            Order.front().State = wsMaximized;
    }
    void next() {
        if (Order.size() < 2)
            return;
        int active = Order.front().Id;
        activate(Order[1].Id);
        auto it = std::find_if(Order.begin(), Order.end(), [&](const TModelChild& c) { return c.Id == active; });
        TModelChild moved = *it;
        Order.erase(it);
        Order.push_back(moved);
    }
    void previous() {
        if (Order.size() >= 2)
            activate(Order.back().Id);
    }
};

class MDI : public ::testing::Test {};

TEST_F(MDI, ChildrenFollowTheActivationAndMaximisedModelOnRandomSequences) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        TFrame frame;
        TMDIClient& client = *frame.form.MDIClient();
        std::map<int, int> notices; // notice -> count
        TCustomForm* lastActivated = nullptr;
        TMDISubscription subscription = client.Subscribe([&](TMDINotice notice, TCustomForm* child) {
            ++notices[notice];
            if (notice == mdiActivated)
                lastActivated = child;
        });
        TModel model;
        std::map<int, TChild*> children;
        int nextId = 1;
        for (int step = 0; step < 60; ++step) {
            int action = static_cast<int>(random() % 9);
            std::vector<int> ids;
            for (const auto& [id, child] : children)
                ids.push_back(id);
            int pick = ids.empty() ? 0 : ids[random() % ids.size()];
            if (action == 0 || ids.empty()) {
                auto* child = new TChild(nextId);
                children[nextId] = child;
                model.add(nextId);
                ++nextId;
            } else if (action == 1) {
                children[pick]->SetFocus();
                model.activate(pick);
            } else if (action == 2) {
                children[pick]->SetWindowState(wsMaximized);
                model.setState(pick, wsMaximized);
            } else if (action == 3) {
                children[pick]->Perform(WM_SYSCOMMAND, SC_RESTORE);
                model.restore(pick);
            } else if (action == 4) {
                children[pick]->SetWindowState(wsMinimized);
                model.setState(pick, wsMinimized);
            } else if (action == 5) {
                frame.form.Next();
                model.next();
            } else if (action == 6) {
                frame.form.Previous();
                model.previous();
            } else {
                // Closed from its system menu; refused now and then.
                TChild* child = children[pick];
                child->Refuse = random() % 3 == 0;
                child->Perform(WM_SYSCOMMAND, SC_CLOSE);
                if (!child->Refuse) {
                    EXPECT_EQ(client.ChildCount(), static_cast<int>(children.size())) << "freed only later";
                    QCoreApplication::processEvents();
                    children.erase(pick);
                    model.remove(pick);
                }
            }
            // The frame agrees with the model.
            ASSERT_EQ(client.ActivationOrder().size(), model.Order.size()) << "seed " << seed << " step " << step;
            for (size_t i = 0; i < model.Order.size(); ++i) {
                auto* child = static_cast<TChild*>(client.ActivationOrder()[i]);
                EXPECT_EQ(child->Id, model.Order[i].Id) << "seed " << seed << " step " << step << " place " << i;
                EXPECT_EQ(child->WindowState(), model.Order[i].State)
                    << "seed " << seed << " step " << step << " child " << child->Id;
                EXPECT_EQ(child->Active(), i == 0);
            }
            EXPECT_EQ(client.Maximized(), model.Maximized) << "seed " << seed << " step " << step;
            TCustomForm* active = frame.form.ActiveMDIChild();
            EXPECT_EQ(active, model.Order.empty() ? nullptr : children[model.Order.front().Id]);
            EXPECT_EQ(lastActivated, active) << "the last notice names the active child";
            if (active != nullptr) {
                // The system menu offers what the state allows.
                std::vector<TSystemMenuEntry> menu = active->SystemMenu();
                auto entry = [&](unsigned command) {
                    return *std::find_if(menu.begin(), menu.end(), [&](const auto& e) { return e.Command == command; });
                };
                EXPECT_EQ(entry(SC_MAXIMIZE).Enabled, active->WindowState() != wsMaximized);
                EXPECT_EQ(entry(SC_RESTORE).Enabled, active->WindowState() != wsNormal);
                EXPECT_EQ(entry(SC_NEXTWINDOW).Enabled, client.ChildCount() > 1);
                EXPECT_TRUE(entry(SC_CLOSE).Default);
            }
        }
        EXPECT_EQ(notices[mdiChildAdded], nextId - 1) << "seed " << seed;
        EXPECT_EQ(notices[mdiChildAdded] - notices[mdiChildRemoved], client.ChildCount()) << "seed " << seed;
    }
}

TEST_F(MDI, ClosingTheFrameAsksEveryChildAndOneRefusalKeepsAllOpen) {
    TFrame frame;
    std::vector<int> asked;
    auto* first = new TChild(1);
    auto* second = new TChild(2);
    auto* third = new TChild(3);
    for (TChild* child : {first, second, third})
        child->OnCloseQuery = [&asked, child](TPersistent*, bool& canClose) {
            asked.push_back(child->Id);
            canClose = !child->Refuse;
        };
    second->Refuse = true;
    bool frameAsked = false;
    frame.form.OnCloseQuery = [&](TPersistent*, bool&) { frameAsked = true; };
    frame.form.Close();
    EXPECT_EQ(asked, (std::vector<int>{1, 2})) << "in the order they were made, up to the refusal";
    EXPECT_FALSE(frameAsked);
    EXPECT_FALSE(Application().Terminated());
    EXPECT_EQ(frame.form.MDIChildCount(), 3);
    // Without a refusal every child is asked, then the frame, and closing
    // the main form ends the application.
    asked.clear();
    second->Refuse = false;
    frame.form.Close();
    EXPECT_EQ(asked, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(frameAsked);
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MDI, AnMDIChildNeedsAFrameAndCanNotBeHidden) {
    Application().SetMainForm(nullptr);
    TForm lone;
    EXPECT_THROW(lone.SetFormStyle(fsMDIChild), EInvalidOperation);
    TFrame frame;
    TChild child(1);
    EXPECT_TRUE(child.Visible()) << "a child shows at once";
    EXPECT_THROW(child.Hide(), EInvalidOperation);
    EXPECT_TRUE(child.Visible());
    EXPECT_EQ(Screen().ActiveForm(), &frame.form) << "the frame stays the active form";
}

TEST_F(MDI, AChildsCaptionChangeIsTold) {
    TFrame frame;
    TChild child(1);
    std::vector<std::string> captions;
    TMDISubscription subscription = frame.form.MDIClient()->Subscribe([&](TMDINotice notice, TCustomForm* form) {
        if (notice == mdiCaptionChanged)
            captions.push_back(form->Caption());
    });
    child.SetCaption("page.html");
    {
        TMDISubscription ended = std::move(subscription);
    }
    child.SetCaption("other.html");
    EXPECT_EQ(captions, (std::vector<std::string>{"page.html"})) << "nothing after the subscription ended";
}

} // namespace
