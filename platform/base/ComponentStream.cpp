#include "platform/base/ComponentStream.h"

#include "platform/base/Component.h"
#include "platform/base/Filer.h"
#include "platform/base/Properties.h"
#include "platform/base/Stream.h"
#include "platform/base/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kSignature[4] = {'O', 'D', 'C', '1'};
// Deeper nesting than any form has means corrupt input; stopping there
// keeps the call stack safe.
constexpr int kMaxDepth = 256;

void writeShortString(TStream& stream, const std::string& text) {
    if (text.size() > 255)
        throw EWriteError("Name too long to stream: " + text.substr(0, 32) + "...");
    stream.WriteByte(static_cast<uint8_t>(text.size()));
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// The component a component is written inside: its parent when the root
// owns that parent, else the root.
TComponent* treeParent(TComponent& component, TComponent& root) {
    const TClassInfo* info = ClassInfoOf(component);
    TComponent* parent = info != nullptr ? info->ParentOf(component) : nullptr;
    if (parent != nullptr && (parent == &root || parent->Owner() == &root))
        return parent;
    return &root;
}

bool hasParent(TComponent& component) {
    const TClassInfo* info = ClassInfoOf(component);
    return info != nullptr && info->ParentOf(component) != nullptr;
}

void writeTree(TWriter& writer, TComponent& component, TComponent& root) {
    TStream& stream = writer.Stream();
    writeShortString(stream, component.ClassName());
    writeShortString(stream, component.Name());
    if (&component != &root)
        stream.WriteByte(hasParent(component) ? 1 : 0);
    writer.WriteProperties(component);
    stream.WriteByte(0);
    for (int i = 0; i < root.ComponentCount(); ++i) {
        TComponent& child = *root.Components(i);
        if (&child != &component && treeParent(child, root) == &component)
            writeTree(writer, child, root);
    }
    stream.WriteByte(0);
}

class TTreeReader {
public:
    TTreeReader(TStream& stream, TComponent& root, const THandlerTable* handlers) : reader_(stream), root_(root) {
        reader_.Binding.Root = &root;
        reader_.Binding.Handlers = handlers;
    }

    void Read() {
        try {
            readRoot();
            reader_.ResolveFixups();
        } catch (...) {
            // Nothing half-read stays behind: what was made goes again,
            // and what was there already is told its loading ended.
            for (auto it = made_.rbegin(); it != made_.rend(); ++it)
                delete *it;
            finishLoading(/*quietly=*/true);
            throw;
        }
        finishLoading(false);
    }

private:
    void readRoot() {
        const std::string className = reader_.ReadPropName();
        if (!SameText(className, root_.ClassName()))
            throw EReadError("The stream holds a " + className + ", not a " + root_.ClassName());
        const std::string name = reader_.ReadPropName();
        if (!name.empty())
            root_.SetName(name);
        startLoading(root_);
        reader_.ReadProperties(root_);
        readChildren(root_, 1);
    }

    void readChildren(TComponent& parent, int depth) {
        if (depth > kMaxDepth)
            throw EReadError("Components nested too deeply");
        for (;;) {
            const std::string className = reader_.ReadPropName();
            if (className.empty())
                return;
            const std::string name = reader_.ReadPropName();
            const bool parented = readFlag();
            TComponent& child = component(className, name);
            if (const TClassInfo* info = ClassInfoOf(child); info != nullptr && parented)
                info->SetParentOf(child, &parent);
            try {
                reader_.ReadProperties(child);
            } catch (const EReadError& error) {
                throw EReadError(name + ": " + error.Message());
            }
            readChildren(child, depth + 1);
        }
    }

    bool readFlag() {
        uint8_t flag = 0;
        if (reader_.Stream().ReadAvailable(&flag, 1) != 1 || flag > 1)
            throw EReadError("Invalid component stream");
        return flag == 1;
    }

    // The component root already owns under name, or a new one.
    TComponent& component(const std::string& className, const std::string& name) {
        if (TComponent* existing = root_.FindComponent(name)) {
            if (!SameText(existing->ClassName(), className))
                throw EReadError("A component named " + name + " already exists");
            startLoading(*existing);
            return *existing;
        }
        TComponent* made = CreateComponent(className, &root_);
        made_.push_back(made);
        made->SetName(name);
        startLoading(*made);
        return *made;
    }

    void startLoading(TComponent& component) {
        component.BeginLoading();
        loading_.push_back(&component);
    }

    void finishLoading(bool quietly) {
        for (TComponent* component : loading_) {
            if (!quietly) {
                component->Loaded();
                continue;
            }
            if (std::find(made_.begin(), made_.end(), component) != made_.end())
                continue; // freed
            try {
                component->Loaded();
            } catch (...) {
                // The read's own error is the one reported.
            }
        }
    }

    TReader reader_;
    TComponent& root_;
    std::vector<TComponent*> made_;
    std::vector<TComponent*> loading_;
};

} // namespace

void WriteComponent(TStream& stream, TComponent& root) {
    TWriter writer(stream);
    stream.WriteBuffer(kSignature, sizeof kSignature);
    writeTree(writer, root, root);
}

void ReadComponent(TStream& stream, TComponent& root, const THandlerTable* handlers) {
    char signature[sizeof kSignature] = {};
    if (stream.ReadAvailable(signature, sizeof signature) != static_cast<int64_t>(sizeof signature) ||
        std::memcmp(signature, kSignature, sizeof signature) != 0)
        throw EReadError("Invalid component stream: signature missing");
    TTreeReader(stream, root, handlers).Read();
}
