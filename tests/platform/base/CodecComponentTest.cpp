#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "platform/base/TextCodec.h"
#include "platform/base/QtBridge.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include <QString>

namespace {

TEST(TextCodec, EveryByteSurvivesARoundTripThroughUnicode) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    QString text = AnsiToQString(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(QStringToAnsi(text), all);
    // The printable high half decodes to the characters a reader expects.
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    EXPECT_EQ(QStringToAnsi(QString::fromUtf8("\xE2\x82\xAC caf\xC3\xA9 \xE4\xB8\xAD")), "\x80 caf\xE9 ?");
}

TEST(TextCodec, CaseRulesAgreeWithUnicodeForEveryLetterOfTheCodePage) {
    for (int b = 0; b < 256; ++b) {
        auto byte = static_cast<unsigned char>(b);
        QChar ch(AnsiCharToUnicode(byte));
        // Oracle: Qt's Unicode case mapping, wherever the result is in the
        // code page and is a single character.
        int expectedUpper = UnicodeToAnsiChar(ch.toUpper().unicode());
        if (expectedUpper >= 0 && ch.toUpper() != ch && b != 0xB5)
            EXPECT_EQ(AnsiUpperChar(byte), expectedUpper) << "byte " << b;
        else
            EXPECT_EQ(AnsiUpperChar(byte), byte) << "byte " << b;
        int expectedLower = UnicodeToAnsiChar(ch.toLower().unicode());
        if (expectedLower >= 0 && ch.toLower() != ch)
            EXPECT_EQ(AnsiLowerChar(byte), expectedLower) << "byte " << b;
        else
            EXPECT_EQ(AnsiLowerChar(byte), byte) << "byte " << b;
    }
    EXPECT_EQ(AnsiCompareText("\xE9t\xE9", "\xC9T\xC9"), 0);
    EXPECT_TRUE(SameText("Arial", "ARIAL"));
    EXPECT_FALSE(SameText("\xE9", "\xC9")); // ASCII rule leaves accents alone
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
}

struct Recorder : TComponent {
    using TComponent::TComponent;
    std::vector<std::pair<TComponent*, TOperation>>* log = nullptr;
    void Notification(TComponent* component, TOperation operation) override {
        if (log)
            log->push_back({component, operation});
    }
};

TEST(Component, OwnerFreesChildrenAndSubscribersHearOfIt) {
    std::vector<std::pair<TComponent*, TOperation>> log;
    Recorder watcher;
    watcher.log = &log;
    auto* owner = new TComponent();
    auto* child = new TComponent(owner);
    child->SetName("Gutter");
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->FindComponent("gutter"), child);
    EXPECT_THROW(owner->Components(1), EListError);
    child->FreeNotification(&watcher);
    delete owner; // frees the child, which tells the watcher
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].first, child);
    EXPECT_EQ(log[0].second, opRemove);
}

TEST(Component, SubscriberFreedFirstIsForgotten) {
    std::vector<std::pair<TComponent*, TOperation>> log;
    Recorder target;
    target.log = &log;
    {
        Recorder subscriber;
        target.FreeNotification(&subscriber);
    }
    // The target heard that its subscriber went; it must not call it later.
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].second, opRemove);
}

// Components of two classes of their own; in the second the component part
// does not start the object.  A subscriber told of a free reads the class
// name, a virtual call that only the whole object answers right.
struct TAnyPart {
    virtual ~TAnyPart() = default;
    int Padding[3] = {};
};
struct TForest;
struct TTree : TComponent {
    TTree(TComponent* owner, TForest& forest, int id) : TComponent(owner), Forest(forest), Id(id) {}
    ~TTree() override;
    std::string ClassName() const override { return "TTree"; }
    void Notification(TComponent* component, TOperation operation) override;
    TForest& Forest;
    int Id;
};
// GCC takes the block freed through the component part for one that does
// not start at the object; the delete finds the object's start itself.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
struct TMixedTree : TAnyPart, TTree {
    using TTree::TTree;
    std::string ClassName() const override { return "TMixedTree"; }
};
#pragma GCC diagnostic pop
struct TForest {
    std::vector<TTree*> Trees;          // by id; nullptr once freed
    std::vector<std::string> Kinds;     // the class each was made as
    std::map<std::pair<int, int>, std::string> Told; // (subscriber, freed): the class it saw first
    std::vector<std::string> Faults;
};

TTree::~TTree() { Forest.Trees[static_cast<size_t>(Id)] = nullptr; }

void TTree::Notification(TComponent* component, TOperation operation) {
    if (operation != opRemove)
        return;
    auto* tree = dynamic_cast<TTree*>(component);
    if (Forest.Trees[static_cast<size_t>(Id)] != this)
        Forest.Faults.push_back("a freed component was told");
    if (tree != nullptr)
        Forest.Told.emplace(std::make_pair(Id, tree->Id), component->ClassName());
}

// Random forests of components with random free subscriptions, freed in a
// random order: every subscriber still alive hears of each component it
// watched exactly when that goes, and sees it whole (its own class, found
// by a virtual call and a dynamic cast), never after it was freed itself.
TEST(Component, FreeNoticesSeeTheWholeComponent) {
    std::mt19937 random(77);
    for (int round = 0; round < 20; ++round) {
        TForest forest;
        const int count = 30;
        std::set<std::pair<int, int>> watches; // (subscriber, watched)
        for (int id = 0; id < count; ++id) {
            TComponent* owner = id > 0 && random() % 2 ? forest.Trees[random() % static_cast<unsigned>(id)] : nullptr;
            const bool mixed = random() % 2;
            TTree* tree = mixed ? new TMixedTree(owner, forest, id) : new TTree(owner, forest, id);
            forest.Trees.push_back(tree);
            forest.Kinds.push_back(mixed ? "TMixedTree" : "TTree");
        }
        for (int i = 0; i < count * 2; ++i) {
            int subscriber = static_cast<int>(random() % count), watched = static_cast<int>(random() % count);
            if (subscriber == watched)
                continue;
            forest.Trees[static_cast<size_t>(watched)]->FreeNotification(forest.Trees[static_cast<size_t>(subscriber)]);
            watches.insert({subscriber, watched});
        }
        // Who goes when: a component takes what it owns with it.
        std::vector<int> freedAt(count, -1);
        for (int step = 0;; ++step) {
            std::vector<int> alive;
            for (int id = 0; id < count; ++id)
                if (forest.Trees[static_cast<size_t>(id)] != nullptr)
                    alive.push_back(id);
            if (alive.empty())
                break;
            const int victim = alive[random() % alive.size()];
            delete forest.Trees[static_cast<size_t>(victim)];
            for (int id = 0; id < count; ++id)
                if (freedAt[static_cast<size_t>(id)] < 0 && forest.Trees[static_cast<size_t>(id)] == nullptr)
                    freedAt[static_cast<size_t>(id)] = step;
        }
        EXPECT_EQ(forest.Faults, std::vector<std::string>{});
        for (const auto& [subscriber, watched] : watches) {
            const int goes = freedAt[static_cast<size_t>(watched)];
            const int subscriberGoes = freedAt[static_cast<size_t>(subscriber)];
            auto told = forest.Told.find({subscriber, watched});
            // Freed in an earlier step than the component it watched, or
            // owned by it (it goes in the same step, after its owner's
            // notices): told of nothing that happened after it went.
            if (subscriberGoes < goes) {
                EXPECT_EQ(told, forest.Told.end()) << subscriber << " was told after it went";
                continue;
            }
            if (told == forest.Told.end()) {
                // Both went in one step: only an owner's subscribers that
                // it owns itself may miss the notice, having gone first.
                EXPECT_EQ(subscriberGoes, goes) << subscriber << " never heard of " << watched;
                continue;
            }
            EXPECT_EQ(told->second, forest.Kinds[static_cast<size_t>(watched)])
                << subscriber << " saw " << watched << " half destroyed";
        }
    }
}

} // namespace
