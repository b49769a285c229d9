// Published property tables, their streaming and the component tree:
// randomised round trips against what the test itself set, the
// defaults rule checked against the names in the stream, and damaged
// streams that must fail cleanly.

#include "platform/base/Component.h"
#include "platform/base/ComponentStream.h"
#include "platform/base/EventHandlers.h"
#include "platform/base/Filer.h"
#include "platform/base/Properties.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"

#include "BaseTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

namespace {

enum TShape { shNone, shSquare, shCircle };
const TIdentMap kShapeNames{{shNone, "shNone"}, {shSquare, "shSquare"}, {shCircle, "shCircle"}};
const TIdentMap kFlagNames{{1, "sfRed"}, {2, "sfGreen"}, {8, "sfBlue"}};
const TIdentMap kNamedNumbers{{-1, "nnAuto"}, {0x1F0000, "nnLarge"}};

using TSampleEvent = std::function<void(TPersistent* sender, int value)>;
using TDoneEvent = std::function<void(TPersistent* sender)>;

// A sub-object with properties of its own.
class TPen2 : public TPersistent {
public:
    std::string ClassName() const override { return "TPen2"; }
    int Width = 1;
    std::string Label;
};

class TSampleBase : public TComponent {
public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TSampleBase"; }
    int Count = 3;
    bool Flag = true;
    TShape Shape = shSquare;
    unsigned Flags = 1;
    float Ratio = 0.4f;
    std::string Text;
    int Named = -1;
    TPen2 Pen;
    TStringList Items;
    TComponent* Link = nullptr;
    TSampleEvent OnValue;
    TDoneEvent OnDone;
    int Loads = 0;
    void Loaded() override {
        TComponent::Loaded();
        ++Loads;
    }
    // Defined data after the published properties.
    std::vector<int32_t> Extra;
    void DefineProperties(TFiler& filer) override {
        filer.DefineProperty(
            "Extra",
            [this](TReader& r) {
                Extra.clear();
                r.ReadListBegin();
                while (!r.EndOfList())
                    Extra.push_back(r.ReadInteger());
                r.ReadListEnd();
            },
            [this](TWriter& w) {
                w.WriteListBegin();
                for (int32_t n : Extra)
                    w.WriteInteger(n);
                w.WriteListEnd();
            },
            !Extra.empty());
    }
};

// Publishes Count again with another default; adds a node parent.
class TSampleDerived : public TSampleBase {
public:
    explicit TSampleDerived(TComponent* owner = nullptr) : TSampleBase(owner) { Count = 7; }
    std::string ClassName() const override { return "TSampleDerived"; }
    TComponent* ParentNode = nullptr;
};

// Never registered: its properties are those of TSampleDerived.
class TUnregistered : public TSampleDerived {
public:
    using TSampleDerived::TSampleDerived;
};

void registerSamples() {
    static const bool done = [] {
        RegisterBaseClasses();
        RegisterPublishedClass<TPen2, TPersistent>("TPen2")
            .Integer("Width", &TPen2::Width, 1)
            .String("Label", &TPen2::Label);
        RegisterPublishedClass<TSampleBase, TComponent>("TSampleBase")
            .Integer("Count", &TSampleBase::Count, 3)
            .Boolean("Flag", &TSampleBase::Flag, true)
            .Enum("Shape", &TSampleBase::Shape, shSquare, kShapeNames)
            .Set("Flags", &TSampleBase::Flags, &TSampleBase::Flags, 1, kFlagNames)
            .Float("Ratio", &TSampleBase::Ratio, 0.4)
            .String("Text", &TSampleBase::Text)
            .Integer("Named", &TSampleBase::Named, std::nullopt)
            .Names(kNamedNumbers)
            .Object("Pen", [](TSampleBase& s) -> TPersistent& { return s.Pen; })
            .Object("Items", [](TSampleBase& s) -> TPersistent& { return s.Items; })
            .Component<TSampleBase>("Link", &TSampleBase::Link, &TSampleBase::Link)
            .Event("OnValue", &TSampleBase::OnValue)
            .Event("OnDone", &TSampleBase::OnDone);
        RegisterPublishedClass<TSampleDerived, TSampleBase>("TSampleDerived")
            .Integer("Count", &TSampleDerived::Count, 7)
            .Parenting([](TSampleDerived& s) { return s.ParentNode; },
                       [](TSampleDerived& s, TComponent* parent) { s.ParentNode = parent; });
        return true;
    }();
    (void)done;
}

std::string written(TPersistent& instance) {
    TMemoryStream stream;
    WritePersistentProperties(stream, instance);
    return stream.DataString();
}

void readInto(const std::string& bytes, TPersistent& instance, const THandlerTable* handlers = nullptr) {
    TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    ReadPersistentProperties(stream, instance, handlers);
}

std::map<std::string, std::string> publishedValues(TPersistent& object) {
    std::map<std::string, std::string> values;
    for (const std::string path : {"Count", "Flag", "Shape", "Flags", "Ratio", "Text", "Named", "Pen.Width",
                                   "Pen.Label", "Items", "Link", "OnValue", "OnDone"})
        values[path] = GetPublishedValue(object, path).ToString();
    return values;
}

// A form-like owner of samples, with handlers.
struct THandlerOwner {
    std::vector<int> Values;
    void ValueHandler(TPersistent*, int value) { Values.push_back(value); }
    void DoneHandler(TPersistent*) { Values.push_back(-1); }
};

TEST(Properties, RandomValuesRoundTripAndOnlyChangedOnesAreWritten) {
    registerSamples();
    std::mt19937 random(5);
    THandlerOwner form;
    THandlerTable handlers;
    handlers.Add("ValueHandler", &form, &THandlerOwner::ValueHandler);
    handlers.Add("DoneHandler", &form, &THandlerOwner::DoneHandler);
    for (int round = 0; round < 300; ++round) {
        TComponent owner;
        auto* target = new TSampleDerived(&owner);
        target->SetName("target");
        auto* source = new TSampleDerived(&owner);
        TBindingContext context{&owner, &handlers};
        // Each property at its default or at a random other value; the test
        // remembers which ones it moved off the default.
        std::set<std::string> changed;
        auto maybe = [&](const char* path, TPropertyValue value) {
            if (random() % 2 == 0)
                return;
            SetPublishedValue(*source, path, value, context);
            changed.insert(path);
        };
        maybe("Count", random() % 2 ? 100 + static_cast<int>(random() % 1000) : -8000000);
        maybe("Flag", false);
        maybe("Shape", random() % 2 ? shNone : shCircle);
        maybe("Flags", static_cast<int64_t>(random() % 2 ? 0 : 2 | 8));
        maybe("Ratio", (static_cast<int>(random() % 100) - 50) / 8.0 + 0.125);
        maybe("Text", std::string(1 + random() % 5, static_cast<char>(random())));
        maybe("Pen.Width", static_cast<int>(random() % 100) + 2);
        maybe("Pen.Label", "label");
        maybe("Items", "a\r\n\r\nc");
        maybe("Link", "target");
        maybe("OnValue", "ValueHandler");
        maybe("OnDone", "DoneHandler");
        // Named is always written (it has no default), by name when it has one.
        SetPublishedValue(*source, "Named", random() % 2 ? 5 : 0x1F0000);
        changed.insert("Named");
        if (random() % 2)
            source->Extra = {1, -70000};

        const std::string bytes = written(*source);
        std::vector<std::string> expected;
        // A sub-object's plain values are written whole.
        changed.insert("Pen.Width");
        changed.insert("Pen.Label");
        for (const char* path : {"Count", "Flag", "Shape", "Flags", "Ratio", "Text", "Named", "Pen.Width",
                                 "Pen.Label", "Items", "Link", "OnValue", "OnDone"})
            if (changed.count(path))
                expected.push_back(std::string(path) == "Items" ? "Items.Strings" : path);
        if (!source->Extra.empty())
            expected.push_back("Extra");
        ASSERT_EQ(PropertyNamesIn(bytes), expected) << "round " << round;

        auto* copy = new TSampleDerived(&owner);
        readInto(bytes, *copy, &handlers);
        EXPECT_EQ(publishedValues(*copy), publishedValues(*source)) << "round " << round;
        EXPECT_EQ(copy->Extra, source->Extra);
        EXPECT_EQ(copy->Loads, 1);
        // The bound handlers reach the form.
        form.Values.clear();
        if (copy->OnValue)
            copy->OnValue(copy, 42);
        if (copy->OnDone)
            copy->OnDone(copy);
        std::vector<int> calls;
        if (changed.count("OnValue"))
            calls.push_back(42);
        if (changed.count("OnDone"))
            calls.push_back(-1);
        EXPECT_EQ(form.Values, calls);
    }
}

TEST(Properties, ClassChainAndLookup) {
    registerSamples();
    TUnregistered unregistered;
    const TClassInfo* info = ClassInfoOf(unregistered);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Name(), "TSampleDerived");
    // Ancestors first; the re-published Count keeps its place with the new default.
    std::vector<std::string> names;
    for (const TPropertyInfo* p : info->Properties())
        names.push_back(p->Name());
    EXPECT_EQ(names.front(), "Tag");
    EXPECT_EQ(names[1], "Count");
    EXPECT_EQ(std::count(names.begin(), names.end(), "Count"), 1);
    EXPECT_EQ(PropertyNamesIn(written(unregistered)), (std::vector<std::string>{"Named", "Pen.Width", "Pen.Label"}));
    EXPECT_EQ(FindClassInfo("tsamplebase")->Name(), "TSampleBase");
    std::unique_ptr<TComponent> made(CreateComponent("TSampleDerived", nullptr));
    EXPECT_EQ(made->ClassName(), "TSampleDerived");
    EXPECT_EQ(MessageOf<EClassNotFound>([] { CreateComponent("TNoSuchThing", nullptr); }),
              "Class TNoSuchThing not found");
    EXPECT_EQ(MessageOf<EPropertyError>([&] { SetPublishedValue(unregistered, "Pen.Colour", 1); }),
              "Property Pen.Colour does not exist");
}

TEST(Properties, RefusedValuesAndBindings) {
    registerSamples();
    TComponent owner;
    owner.SetName("form");
    auto* sample = new TSampleBase(&owner);
    auto* other = new TComponent(&owner);
    other->SetName("plain");
    THandlerOwner form;
    THandlerTable handlers;
    handlers.Add("DoneHandler", &form, &THandlerOwner::DoneHandler);
    TBindingContext context{&owner, &handlers};
    auto refused = [&](const char* path, TPropertyValue value) {
        return MessageOf<EPropertyError>([&] { SetPublishedValue(*sample, path, value, context); });
    };
    EXPECT_NE(refused("Shape", 9), "no error");        // no such enumerator
    EXPECT_NE(refused("Flags", 4), "no error");        // no such member
    EXPECT_NE(refused("Flag", "yes"), "no error");
    EXPECT_NE(refused("Text", 3), "no error");
    EXPECT_EQ(refused("Link", "nobody"), "Component \"nobody\" not found for property Link");
    EXPECT_EQ(refused("Link", "plain"), "Component plain (TComponent) does not fit property Link");
    EXPECT_EQ(refused("OnValue", "Missing"), "Handler Missing not found for event OnValue");
    EXPECT_EQ(refused("OnValue", "DoneHandler"), "Handler DoneHandler does not fit event OnValue");
    EXPECT_EQ(refused("Shape", "shCircle"), "no error");
    EXPECT_EQ(sample->Shape, shCircle);

    // Without a handler table a stream's binding is kept by name and
    // written again, though nothing is bound.
    SetPublishedValue(*sample, "OnDone", "DoneHandler", context);
    TSampleBase copy;
    readInto(written(*sample), copy);
    EXPECT_FALSE(copy.OnDone);
    EXPECT_EQ(PropertyNamesIn(written(copy)), PropertyNamesIn(written(*sample)));
}

TEST(Properties, DamagedStreamsFailCleanly) {
    registerSamples();
    TComponent owner;
    auto* source = new TSampleBase(&owner);
    auto* target = new TSampleBase(&owner);
    target->SetName("t");
    source->Count = 1000;
    source->Shape = shCircle;
    source->Flags = 10;
    source->Ratio = 2.5f;
    source->Text = "text";
    source->Pen.Label = "p";
    source->Link = target;
    source->Items.Add("x");
    const std::string bytes = written(*source);
    // Every truncation is a read error, never a crash or a silent success.
    for (size_t length = 0; length + 1 < bytes.size(); ++length) {
        TSampleBase copy;
        EXPECT_NE(MessageOf<EReadError>([&] { readInto(bytes.substr(0, length), copy); }), "no error")
            << "length " << length;
    }
    // Random damage: either a read error or a clean read.
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = bytes;
        damaged[4 + random() % (damaged.size() - 4)] = static_cast<char>(random());
        auto* copy = new TSampleBase(&owner);
        try {
            readInto(damaged, *copy);
        } catch (const EReadError&) {
        }
        delete copy;
    }
    // A reference to a component that is not there names the property.
    TSampleBase orphan;
    EXPECT_EQ(MessageOf<EReadError>([&] { readInto(bytes, orphan); }),
              "Error reading property \"Link\": Component \"t\" not found for property Link");
}

// ---- the component tree ----

// Builds a random tree: nodes parented to the root or to earlier nodes,
// some linking to later ones.
void buildTree(TComponent& root, std::mt19937& random, int count) {
    std::vector<TSampleDerived*> nodes;
    for (int i = 0; i < count; ++i) {
        auto* node = new TSampleDerived(&root);
        node->SetName("node" + std::to_string(i));
        node->Count = static_cast<int>(random() % 50);
        node->Text = std::to_string(random());
        if (!nodes.empty() && random() % 3)
            node->ParentNode = nodes[random() % nodes.size()];
        nodes.push_back(node);
    }
    for (TSampleDerived* node : nodes)
        if (random() % 2)
            node->Link = nodes[random() % nodes.size()];
}

std::string describe(TComponent& root) {
    std::string text = root.Name() + "\n";
    for (int i = 0; i < root.ComponentCount(); ++i) {
        auto& node = dynamic_cast<TSampleDerived&>(*root.Components(i));
        text += node.Name() + " parent=" + (node.ParentNode ? node.ParentNode->Name() : "-") +
                " link=" + (node.Link ? node.Link->Name() : "-") + " count=" + std::to_string(node.Count) +
                " text=" + node.Text + " loads=" + std::to_string(node.Loads) + "\n";
    }
    return text;
}

TEST(ComponentStream, RandomTreesRoundTrip) {
    registerSamples();
    std::mt19937 random(23);
    for (int round = 0; round < 50; ++round) {
        TComponent root;
        root.SetName("root" + std::to_string(round));
        buildTree(root, random, 1 + static_cast<int>(random() % 12));
        TMemoryStream stream;
        WriteComponent(stream, root);
        stream.SetPosition(0);
        TComponent copy;
        ReadComponent(stream, copy);
        // Parents come before their children, so the owned order may
        // differ from the original; compare by name.
        for (int i = 0; i < root.ComponentCount(); ++i)
            dynamic_cast<TSampleDerived&>(*root.Components(i)).Loads = 1;
        std::string original = describe(root), read = describe(copy);
        std::multiset<std::string> a, b;
        for (size_t p = 0, q; (q = original.find('\n', p)) != std::string::npos; p = q + 1)
            a.insert(original.substr(p, q - p));
        for (size_t p = 0, q; (q = read.find('\n', p)) != std::string::npos; p = q + 1)
            b.insert(read.substr(p, q - p));
        EXPECT_EQ(a, b) << original << "---\n" << read;
        // Writing the copy again gives the same bytes.
        TMemoryStream again;
        WriteComponent(again, copy);
        TMemoryStream twice;
        TComponent third;
        again.SetPosition(0);
        ReadComponent(again, third);
        WriteComponent(twice, third);
        EXPECT_EQ(again.DataString(), twice.DataString());
    }
}

TEST(ComponentStream, AFailedReadLeavesNoComponentsBehind) {
    registerSamples();
    std::mt19937 random(31);
    TComponent root;
    buildTree(root, random, 8);
    TMemoryStream stream;
    WriteComponent(stream, root);
    const std::string bytes = stream.DataString();
    for (size_t length = 0; length < bytes.size(); length += 3) {
        TComponent copy;
        std::string cut = bytes.substr(0, length);
        TReadOnlyMemoryStream in(cut.data(), static_cast<int64_t>(cut.size()));
        EXPECT_NE(MessageOf<EReadError>([&] { ReadComponent(in, copy); }), "no error");
        EXPECT_EQ(copy.ComponentCount(), 0) << "length " << length;
    }
    // Random damage: a clean read, or an error that leaves nothing behind.
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = bytes;
        for (int hits = 1 + static_cast<int>(random() % 3); hits > 0; --hits)
            damaged[4 + random() % (damaged.size() - 4)] = static_cast<char>(random());
        TComponent copy;
        TReadOnlyMemoryStream in(damaged.data(), static_cast<int64_t>(damaged.size()));
        try {
            ReadComponent(in, copy);
        } catch (const Exception&) {
            ASSERT_EQ(copy.ComponentCount(), 0) << "round " << round;
        }
    }
    // A class nobody registered.
    std::string unknown = bytes;
    const size_t at = unknown.find("TSampleDerived");
    unknown.replace(at, 14, "TSampleUnknown");
    TReadOnlyMemoryStream in(unknown.data(), static_cast<int64_t>(unknown.size()));
    TComponent copy;
    EXPECT_EQ(MessageOf<EClassNotFound>([&] { ReadComponent(in, copy); }), "Class TSampleUnknown not found");
    EXPECT_EQ(copy.ComponentCount(), 0);
}

TEST(ComponentStream, AReferenceThatDoesNotResolveUndoesTheOthers) {
    registerSamples();
    TComponent root;
    auto named = [&](const char* name) {
        auto* node = new TSampleDerived(&root);
        node->SetName(name);
        return node;
    };
    TSampleDerived* keeper = named("keeper");
    TSampleDerived* a = named("nodeA");
    TSampleDerived* b = named("nodeB");
    TSampleDerived* z = named("nodeZ");
    keeper->Link = a;
    b->Link = z;
    TMemoryStream stream;
    WriteComponent(stream, root);
    // The stream names nodeZ as nodeY, so nodeB's reference finds nothing.
    std::string bytes = stream.DataString();
    bytes.replace(bytes.rfind("nodeZ"), 5, "nodeY");

    // The copy already owns keeper, which the read sets to the new nodeA
    // before nodeB's reference fails; nodeA is freed again, and keeper
    // must not keep pointing at it.
    TComponent copy;
    auto* kept = new TSampleDerived(&copy);
    kept->SetName("keeper");
    TReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(MessageOf<EReadError>([&] { ReadComponent(in, copy); }),
              "Error reading property \"Link\": Component \"nodeZ\" not found for property Link");
    EXPECT_EQ(copy.ComponentCount(), 1);
    EXPECT_EQ(kept->Link, nullptr);
}

} // namespace
