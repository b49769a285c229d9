// Free notices between pairs of components under random requests and
// removals from either side, against a model of the requests each side
// still holds: a pair stays linked while either holds one, and a component
// that goes tells exactly the components it is linked with.

#include "platform/base/Component.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TPairModel;

struct TNoticed : TComponent {
    TNoticed(TPairModel& model, int slot) : Model(model), Slot(slot) {}
    void Notification(TComponent* component, TOperation operation) override;
    TPairModel& Model;
    int Slot;
};

struct TPairModel {
    std::mt19937 Random{2024};
    std::vector<TNoticed*> Slots;
    // (target, subscriber): requests the subscriber made to hear of the
    // target's free and has not taken back.
    std::map<std::pair<int, int>, int> Requests;
    int Going = -1;                          // the slot being freed
    std::vector<std::pair<int, int>> Told;   // (told, freed)
    std::vector<std::string> Faults;

    int requests(int target, int subscriber) const {
        auto it = Requests.find({target, subscriber});
        return it == Requests.end() ? 0 : it->second;
    }
    bool linked(int a, int b) const { return requests(a, b) + requests(b, a) > 0; }
    void request(int target, int subscriber) {
        Slots[static_cast<size_t>(target)]->FreeNotification(Slots[static_cast<size_t>(subscriber)]);
        ++Requests[{target, subscriber}];
    }
    void takeBack(int target, int subscriber) {
        Slots[static_cast<size_t>(target)]->RemoveFreeNotification(Slots[static_cast<size_t>(subscriber)]);
        if (requests(target, subscriber) > 0)
            --Requests[{target, subscriber}];
    }
    // Another live slot than the ones given, or -1.
    int liveOtherThan(int a, int b) {
        std::vector<int> live;
        for (int slot = 0; slot < static_cast<int>(Slots.size()); ++slot)
            if (Slots[static_cast<size_t>(slot)] != nullptr && slot != a && slot != b)
                live.push_back(slot);
        return live.empty() ? -1 : live[Random() % live.size()];
    }
};

void TNoticed::Notification(TComponent* component, TOperation operation) {
    if (operation != opRemove)
        return;
    auto* freed = dynamic_cast<TNoticed*>(component);
    if (freed == nullptr || freed->Slot != Model.Going)
        Model.Faults.push_back("told of a component that is not going");
    if (Model.Slots[static_cast<size_t>(Slot)] != this)
        Model.Faults.push_back("a freed component was told");
    Model.Told.push_back({Slot, freed != nullptr ? freed->Slot : -1});
    // A subscriber may change its other links while it is told.
    if (Model.Random() % 3 == 0) {
        int other = Model.liveOtherThan(Slot, Model.Going);
        if (other >= 0) {
            if (Model.Random() % 2)
                Model.takeBack(other, Slot);
            else
                Model.request(other, Slot);
        }
    }
}

TEST(FreeNotice, APairStaysLinkedWhileEitherSideStillAsks) {
    TPairModel model;
    const int count = 7;
    for (int slot = 0; slot < count; ++slot)
        model.Slots.push_back(new TNoticed(model, slot));
    for (int step = 0; step < 4000; ++step) {
        const int a = static_cast<int>(model.Random() % count), b = static_cast<int>(model.Random() % count);
        TNoticed* first = model.Slots[static_cast<size_t>(a)];
        const unsigned choice = model.Random() % 10;
        if (first == nullptr) {
            model.Slots[static_cast<size_t>(a)] = new TNoticed(model, a);
        } else if (choice < 8 && a != b && model.Slots[static_cast<size_t>(b)] != nullptr) {
            if (choice < 4)
                model.request(a, b);
            else
                model.takeBack(a, b);
        } else if (choice >= 8) {
            std::multiset<int> expected;
            for (int other = 0; other < count; ++other)
                if (other != a && model.Slots[static_cast<size_t>(other)] != nullptr && model.linked(a, other))
                    expected.insert(other);
            model.Told.clear();
            model.Going = a;
            delete first;
            model.Going = -1;
            model.Slots[static_cast<size_t>(a)] = nullptr;
            std::multiset<int> told;
            for (const auto& [who, freed] : model.Told)
                told.insert(who);
            ASSERT_EQ(told, expected) << "step " << step << ": who heard that " << a << " went";
            std::erase_if(model.Requests, [&](const auto& entry) { return entry.first.first == a || entry.first.second == a; });
        }
        ASSERT_EQ(model.Faults, std::vector<std::string>{}) << "step " << step;
        for (int x = 0; x < count; ++x)
            for (int y = 0; y < count; ++y) {
                TNoticed* one = model.Slots[static_cast<size_t>(x)];
                TNoticed* two = model.Slots[static_cast<size_t>(y)];
                if (x != y && one != nullptr && two != nullptr) {
                    ASSERT_EQ(one->HasFreeNotification(two), model.linked(x, y)) << "step " << step << ": " << x << ", " << y;
                }
            }
    }
    for (TNoticed*& slot : model.Slots) {
        model.Going = slot != nullptr ? slot->Slot : -1;
        delete slot;
        slot = nullptr;
    }
    EXPECT_EQ(model.Faults, std::vector<std::string>{});
}

// A component that has sent its free notices takes no new link, which it
// could never tell: the subscriber would keep a link to freed memory.
TEST(FreeNotice, AComponentThatHasToldItsSubscribersTakesNoNewOnes) {
    struct TLate : TComponent {
        TComponent* Other = nullptr;
        void Notification(TComponent* component, TOperation operation) override {}
        void BeforeDestruction() override {
            TComponent::BeforeDestruction();
            Other->FreeNotification(this);
            FreeNotification(Other);
        }
    };
    TComponent survivor;
    auto* late = new TLate;
    late->Other = &survivor;
    delete late;
    EXPECT_FALSE(survivor.HasFreeNotification(late));
}

} // namespace
