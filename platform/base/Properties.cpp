#include "platform/base/Properties.h"

#include "platform/base/Component.h"
#include "platform/base/EventHandlers.h"
#include "platform/base/Filer.h"
#include "platform/base/Strings.h"
#include "platform/base/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

// ---- TIdentMap ----

std::optional<int64_t> TIdentMap::ValueOf(std::string_view name) const {
    for (const TEntry& entry : entries_)
        if (SameText(entry.Name, name))
            return entry.Value;
    return std::nullopt;
}

const std::string* TIdentMap::NameOf(int64_t value) const {
    for (const TEntry& entry : entries_)
        if (entry.Value == value)
            return &entry.Name;
    return nullptr;
}

// ---- TPropertyValue ----

std::string TPropertyValue::ToString() const {
    struct {
        std::string operator()(std::monostate) const { return "(none)"; }
        std::string operator()(int64_t v) const { return std::to_string(v); }
        std::string operator()(bool v) const { return v ? "true" : "false"; }
        std::string operator()(double v) const { return std::to_string(v); }
        std::string operator()(const std::string& v) const { return "\"" + v + "\""; }
        std::string operator()(TComponent* v) const { return v == nullptr ? "nil" : "component " + v->Name(); }
    } visitor;
    return std::visit(visitor, value_);
}

// ---- TPropertyInfo ----

bool TPropertyInfo::ShouldWrite(TPersistent& instance, bool whole) const {
    if (Stored && !Stored(instance))
        return false;
    switch (kind_) {
    case TPropertyKind::Object: return true;
    case TPropertyKind::Component:
    case TPropertyKind::Event: return !IsDefault(instance);
    default: return whole || !IsDefault(instance);
    }
}

void TPropertyInfo::invalidValue(const TPropertyValue& value) const {
    throw EPropertyError("Invalid value " + value.ToString() + " for property " + name_);
}

namespace {

// ---- the property kinds ----

class TOrdinalProperty : public TPropertyInfo {
public:
    TOrdinalProperty(std::string name, TPropertyKind kind, TPropertyAccess<int64_t> access, const TIdentMap* names)
        : TPropertyInfo(std::move(name), kind), access_(std::move(access)) {
        Names = names;
    }

    void WriteValue(TWriter& writer, TPersistent& instance) const override {
        const int64_t value = access_.Get(instance);
        switch (Kind()) {
        case TPropertyKind::Boolean: writer.WriteBoolean(value != 0); return;
        case TPropertyKind::Set: writer.WriteSet(memberNames(value)); return;
        case TPropertyKind::Enum:
        case TPropertyKind::Integer:
            if (const std::string* name = Names != nullptr ? Names->NameOf(value) : nullptr) {
                writer.WriteIdent(*name);
                return;
            }
            if (Kind() == TPropertyKind::Enum)
                throw EWriteError("Property " + Name() + " holds the unnamed value " + std::to_string(value));
            if (value < INT32_MIN || value > INT32_MAX)
                throw EWriteError("Property " + Name() + " holds a value too large to stream");
            writer.WriteInteger(static_cast<int32_t>(value));
            return;
        default: return;
        }
    }

    void ReadValue(TReader& reader, TPersistent& instance) const override {
        switch (Kind()) {
        case TPropertyKind::Boolean: access_.Set(instance, reader.ReadBoolean() ? 1 : 0); return;
        case TPropertyKind::Set: {
            int64_t mask = 0;
            for (const std::string& member : reader.ReadSet())
                mask |= valueOfName(member);
            access_.Set(instance, mask);
            return;
        }
        default:
            if (reader.NextValue() == TValueType::vaIdent || Kind() == TPropertyKind::Enum)
                access_.Set(instance, valueOfName(reader.ReadIdent()));
            else
                access_.Set(instance, reader.ReadInteger());
            return;
        }
    }

    bool HasDefault() const override { return access_.Default.has_value(); }
    TPropertyValue GetValue(TPersistent& instance) const override {
        const int64_t value = access_.Get(instance);
        if (Kind() == TPropertyKind::Boolean)
            return TPropertyValue(value != 0);
        return TPropertyValue(value);
    }

    void SetValue(TPersistent& instance, const TPropertyValue& value, const TBindingContext&) const override {
        const auto& v = value.Variant();
        if (const auto* number = std::get_if<int64_t>(&v)) {
            if (Kind() == TPropertyKind::Boolean)
                invalidValue(value);
            if (Kind() == TPropertyKind::Enum && Names->NameOf(*number) == nullptr)
                invalidValue(value);
            if (Kind() == TPropertyKind::Set && (*number & ~allMembers()) != 0)
                invalidValue(value);
            access_.Set(instance, *number);
        } else if (const auto* flag = std::get_if<bool>(&v)) {
            if (Kind() != TPropertyKind::Boolean)
                invalidValue(value);
            access_.Set(instance, *flag ? 1 : 0);
        } else if (const auto* name = std::get_if<std::string>(&v)) {
            std::optional<int64_t> named = Names != nullptr && Kind() != TPropertyKind::Set
                                               ? Names->ValueOf(*name)
                                               : std::nullopt;
            if (!named)
                invalidValue(value);
            access_.Set(instance, *named);
        } else {
            invalidValue(value);
        }
    }

protected:
    bool IsDefault(TPersistent& instance) const override {
        return access_.Default.has_value() && access_.Get(instance) == *access_.Default;
    }

private:
    int64_t valueOfName(const std::string& name) const {
        std::optional<int64_t> value = Names != nullptr ? Names->ValueOf(name) : std::nullopt;
        if (!value)
            throw EReadError("Invalid property value \"" + name + "\"");
        return *value;
    }
    int64_t allMembers() const {
        int64_t mask = 0;
        for (const TIdentMap::TEntry& entry : Names->Entries())
            mask |= entry.Value;
        return mask;
    }
    std::vector<std::string> memberNames(int64_t mask) const {
        std::vector<std::string> names;
        for (const TIdentMap::TEntry& entry : Names->Entries())
            if (entry.Value != 0 && (mask & entry.Value) == entry.Value) {
                names.push_back(entry.Name);
                mask &= ~entry.Value;
            }
        if (mask != 0)
            throw EWriteError("Property " + Name() + " holds members without a name");
        return names;
    }

    TPropertyAccess<int64_t> access_;
};

class TFloatProperty : public TPropertyInfo {
public:
    TFloatProperty(std::string name, TPropertyAccess<double> access, bool single)
        : TPropertyInfo(std::move(name), TPropertyKind::Float), access_(std::move(access)), single_(single) {}

    void WriteValue(TWriter& writer, TPersistent& instance) const override { writer.WriteFloat(access_.Get(instance)); }
    void ReadValue(TReader& reader, TPersistent& instance) const override {
        const double value = reader.ReadFloat();
        if (!std::isfinite(value))
            throw EReadError("Invalid property value");
        access_.Set(instance, value);
    }
    bool HasDefault() const override { return access_.Default.has_value(); }
    TPropertyValue GetValue(TPersistent& instance) const override { return TPropertyValue(access_.Get(instance)); }
    void SetValue(TPersistent& instance, const TPropertyValue& value, const TBindingContext&) const override {
        const auto& v = value.Variant();
        if (const auto* number = std::get_if<double>(&v))
            access_.Set(instance, *number);
        else if (const auto* whole = std::get_if<int64_t>(&v))
            access_.Set(instance, static_cast<double>(*whole));
        else
            invalidValue(value);
    }

protected:
    bool IsDefault(TPersistent& instance) const override {
        if (!access_.Default)
            return false;
        // A single-precision property holds the default only as a float.
        const double value = access_.Get(instance);
        return single_ ? static_cast<float>(value) == static_cast<float>(*access_.Default) : value == *access_.Default;
    }

private:
    TPropertyAccess<double> access_;
    bool single_;
};

class TStringProperty : public TPropertyInfo {
public:
    TStringProperty(std::string name, TPropertyAccess<std::string> access)
        : TPropertyInfo(std::move(name), TPropertyKind::String), access_(std::move(access)) {}

    void WriteValue(TWriter& writer, TPersistent& instance) const override { writer.WriteString(access_.Get(instance)); }
    void ReadValue(TReader& reader, TPersistent& instance) const override { access_.Set(instance, reader.ReadString()); }
    bool HasDefault() const override { return access_.Default.has_value(); }
    TPropertyValue GetValue(TPersistent& instance) const override { return TPropertyValue(access_.Get(instance)); }
    void SetValue(TPersistent& instance, const TPropertyValue& value, const TBindingContext&) const override {
        const auto* text = std::get_if<std::string>(&value.Variant());
        if (text == nullptr)
            invalidValue(value);
        access_.Set(instance, *text);
    }

protected:
    bool IsDefault(TPersistent& instance) const override {
        return access_.Default.has_value() && access_.Get(instance) == *access_.Default;
    }

private:
    TPropertyAccess<std::string> access_;
};

// An owned sub-object: the writer and reader go into its own properties.
// A string list also takes and gives its whole text as a value.
class TObjectProperty : public TPropertyInfo {
public:
    TObjectProperty(std::string name, std::function<TPersistent*(TPersistent&)> get)
        : TPropertyInfo(std::move(name), TPropertyKind::Object), get_(std::move(get)) {}

    void WriteValue(TWriter&, TPersistent&) const override {}
    void ReadValue(TReader&, TPersistent&) const override { throw EReadError("property does not exist"); }
    TPersistent* SubObject(TPersistent& instance) const override { return get_(instance); }
    bool HasDefault() const override { return false; }
    TPropertyValue GetValue(TPersistent& instance) const override {
        if (auto* strings = dynamic_cast<TStrings*>(get_(instance)))
            return TPropertyValue(strings->Text());
        return {};
    }
    void SetValue(TPersistent& instance, const TPropertyValue& value, const TBindingContext&) const override {
        auto* strings = dynamic_cast<TStrings*>(get_(instance));
        const auto* text = std::get_if<std::string>(&value.Variant());
        if (strings == nullptr || text == nullptr)
            invalidValue(value);
        strings->SetText(*text);
    }

protected:
    bool IsDefault(TPersistent&) const override { return false; }

private:
    std::function<TPersistent*(TPersistent&)> get_;
};

// The component a name stands for: the root itself or one it owns.
TComponent* findComponent(const TBindingContext& context, std::string_view name) {
    if (context.Root == nullptr)
        return nullptr;
    if (!context.Root->Name().empty() && SameText(context.Root->Name(), name))
        return context.Root;
    return context.Root->FindComponent(name);
}

class TComponentProperty : public TPropertyInfo {
public:
    TComponentProperty(std::string name, TPropertyAccess<TComponent*> access, std::function<bool(TComponent&)> isA)
        : TPropertyInfo(std::move(name), TPropertyKind::Component), access_(std::move(access)), isA_(std::move(isA)) {}

    void WriteValue(TWriter& writer, TPersistent& instance) const override {
        TComponent* component = access_.Get(instance);
        if (component->Name().empty())
            throw EWriteError("Property " + Name() + " refers to a component without a name");
        writer.WriteIdent(component->Name());
    }
    void ReadValue(TReader& reader, TPersistent& instance) const override {
        reader.AddFixup(instance, *this, reader.ReadIdent());
    }
    bool HasDefault() const override { return true; }
    TPropertyValue GetValue(TPersistent& instance) const override { return TPropertyValue(access_.Get(instance)); }
    void SetValue(TPersistent& instance, const TPropertyValue& value, const TBindingContext& context) const override {
        const auto& v = value.Variant();
        TComponent* component = nullptr;
        if (const auto* given = std::get_if<TComponent*>(&v)) {
            component = *given;
        } else if (const auto* name = std::get_if<std::string>(&v)) {
            if (!name->empty()) {
                component = findComponent(context, *name);
                if (component == nullptr)
                    throw EPropertyError("Component \"" + *name + "\" not found for property " + Name());
            }
        } else {
            invalidValue(value);
        }
        if (component != nullptr && !isA_(*component))
            throw EPropertyError("Component " + component->Name() + " (" + component->ClassName() +
                                 ") does not fit property " + Name());
        access_.Set(instance, component);
    }

protected:
    bool IsDefault(TPersistent& instance) const override { return access_.Get(instance) == nullptr; }

private:
    TPropertyAccess<TComponent*> access_;
    std::function<bool(TComponent&)> isA_;
};

// An event, bound by its handler's name.  The component remembers the
// name so that writing streams the binding again.  Without a handler
// table (a stream read outside a form) only the name is kept.
class TEventProperty : public TPropertyInfo {
public:
    TEventProperty(std::string name, TEventAccess access)
        : TPropertyInfo(std::move(name), TPropertyKind::Event), access_(std::move(access)) {}

    void WriteValue(TWriter& writer, TPersistent& instance) const override {
        writer.WriteIdent(component(instance).EventHandlerName(Name()));
    }
    void ReadValue(TReader& reader, TPersistent& instance) const override {
        std::string handler = reader.ReadIdent();
        try {
            bind(instance, handler, reader.Binding.Handlers);
        } catch (const EPropertyError& error) {
            throw EReadError(error.Message());
        }
    }
    TPropertyValue GetValue(TPersistent& instance) const override {
        return TPropertyValue(component(instance).EventHandlerName(Name()));
    }
    bool HasDefault() const override { return true; }
    void SetValue(TPersistent& instance, const TPropertyValue& value, const TBindingContext& context) const override {
        const auto* handler = std::get_if<std::string>(&value.Variant());
        if (handler == nullptr)
            invalidValue(value);
        bind(instance, *handler, context.Handlers);
    }

protected:
    bool IsDefault(TPersistent& instance) const override { return component(instance).EventHandlerName(Name()).empty(); }

private:
    static TComponent& component(TPersistent& instance) { return static_cast<TComponent&>(instance); }

    void bind(TPersistent& instance, const std::string& handlerName, const THandlerTable* handlers) const {
        if (handlerName.empty()) {
            access_.Clear(instance);
        } else if (handlers != nullptr) {
            const std::any* handler = handlers->Find(handlerName);
            if (handler == nullptr)
                throw EPropertyError("Handler " + handlerName + " not found for event " + Name());
            if (!access_.Bind(instance, *handler))
                throw EPropertyError("Handler " + handlerName + " does not fit event " + Name());
        }
        component(instance).SetEventHandlerName(Name(), handlerName);
    }

    TEventAccess access_;
};

// ---- the registry ----

struct TRegistry {
    std::vector<std::unique_ptr<TClassInfo>> Classes;
    std::unordered_map<std::type_index, TClassInfo*> ByType;
    // Dynamic types seen by ClassInfoOf, with the class found for them.
    std::unordered_map<std::type_index, const TClassInfo*> Resolved;
};

TRegistry& registry() {
    static TRegistry instance;
    return instance;
}

} // namespace

std::unique_ptr<TPropertyInfo> MakeOrdinalProperty(std::string name, TPropertyKind kind,
                                                   TPropertyAccess<int64_t> access, const TIdentMap* names) {
    return std::make_unique<TOrdinalProperty>(std::move(name), kind, std::move(access), names);
}

std::unique_ptr<TPropertyInfo> MakeFloatProperty(std::string name, TPropertyAccess<double> access, bool single) {
    return std::make_unique<TFloatProperty>(std::move(name), std::move(access), single);
}

std::unique_ptr<TPropertyInfo> MakeStringProperty(std::string name, TPropertyAccess<std::string> access) {
    return std::make_unique<TStringProperty>(std::move(name), std::move(access));
}

std::unique_ptr<TPropertyInfo> MakeObjectProperty(std::string name, std::function<TPersistent*(TPersistent&)> get) {
    return std::make_unique<TObjectProperty>(std::move(name), std::move(get));
}

std::unique_ptr<TPropertyInfo> MakeComponentProperty(std::string name, TPropertyAccess<TComponent*> access,
                                                     std::function<bool(TComponent&)> isA) {
    return std::make_unique<TComponentProperty>(std::move(name), std::move(access), std::move(isA));
}

std::unique_ptr<TPropertyInfo> MakeEventProperty(std::string name, TEventAccess access) {
    return std::make_unique<TEventProperty>(std::move(name), std::move(access));
}

// ---- TClassInfo ----

const TClassInfo* TClassInfo::Parent() const {
    if (!parent_)
        return nullptr;
    auto it = registry().ByType.find(*parent_);
    return it == registry().ByType.end() ? nullptr : it->second;
}

int TClassInfo::Depth() const {
    int depth = 0;
    for (const TClassInfo* c = Parent(); c != nullptr; c = c->Parent())
        ++depth;
    return depth;
}

std::vector<const TPropertyInfo*> TClassInfo::Properties() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
        chain.push_back(c);
    std::vector<const TPropertyInfo*> properties;
    for (auto c = chain.rbegin(); c != chain.rend(); ++c)
        for (const auto& property : (*c)->own_) {
            auto same = std::find_if(properties.begin(), properties.end(), [&](const TPropertyInfo* p) {
                return SameText(p->Name(), property->Name());
            });
            if (same != properties.end())
                *same = property.get();
            else
                properties.push_back(property.get());
        }
    return properties;
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
        for (const auto& property : c->own_)
            if (SameText(property->Name(), name))
                return property.get();
    return nullptr;
}

TComponent* TClassInfo::Create(TComponent* owner) const {
    if (!factory_)
        throw EClassNotFound(name_);
    return factory_(owner);
}

TComponent* TClassInfo::ParentOf(TComponent& component) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
        if (c->parentOf_)
            return c->parentOf_(component);
    return nullptr;
}

void TClassInfo::SetParentOf(TComponent& component, TComponent* parent) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
        if (c->setParentOf_) {
            c->setParentOf_(component, parent);
            return;
        }
}

// ---- registry functions ----

TClassInfo& RegisterClassInfo(std::unique_ptr<TClassInfo> info) {
    TRegistry& r = registry();
    r.Resolved.clear();
    auto it = r.ByType.find(info->Type());
    if (it != r.ByType.end()) {
        *it->second = std::move(*info);
        return *it->second;
    }
    TClassInfo& added = *r.Classes.emplace_back(std::move(info));
    r.ByType.emplace(added.Type(), &added);
    return added;
}

const TClassInfo* FindClassInfo(std::string_view className) {
    for (const auto& info : registry().Classes)
        if (SameText(info->Name(), className))
            return info.get();
    return nullptr;
}

const TClassInfo* ClassInfoOf(const TPersistent& object) {
    TRegistry& r = registry();
    const std::type_index type(typeid(object));
    if (auto it = r.Resolved.find(type); it != r.Resolved.end())
        return it->second;
    const TClassInfo* best = nullptr;
    int bestDepth = -1;
    for (const auto& info : r.Classes)
        if (info->IsInstance(object)) {
            const int depth = info->Depth();
            if (depth > bestDepth) {
                best = info.get();
                bestDepth = depth;
            }
        }
    r.Resolved.emplace(type, best);
    return best;
}

TComponent* CreateComponent(std::string_view className, TComponent* owner) {
    const TClassInfo* info = FindClassInfo(className);
    if (info == nullptr || !info->Creatable())
        throw EClassNotFound(className);
    return info->Create(owner);
}

std::vector<const TClassInfo*> RegisteredClasses() {
    std::vector<const TClassInfo*> classes;
    for (const auto& info : registry().Classes)
        classes.push_back(info.get());
    return classes;
}

const TPropertyInfo* FindPublishedProperty(TPersistent& object, std::string_view path, TPersistent*& target) {
    TPersistent* holder = &object;
    for (;;) {
        const TClassInfo* info = ClassInfoOf(*holder);
        if (info == nullptr)
            return nullptr;
        const size_t dot = path.find('.');
        const TPropertyInfo* property = info->FindProperty(path.substr(0, dot));
        if (property == nullptr)
            return nullptr;
        if (dot == std::string_view::npos) {
            target = holder;
            return property;
        }
        holder = property->SubObject(*holder);
        if (holder == nullptr)
            return nullptr;
        path.remove_prefix(dot + 1);
    }
}

namespace {

const TPropertyInfo& publishedProperty(TPersistent& object, std::string_view path, TPersistent*& target) {
    const TPropertyInfo* property = FindPublishedProperty(object, path, target);
    if (property == nullptr)
        throw EPropertyError("Property " + std::string(path) + " does not exist");
    return *property;
}

} // namespace

void SetPublishedValue(TPersistent& object, std::string_view path, const TPropertyValue& value,
                       const TBindingContext& context) {
    TPersistent* target = nullptr;
    publishedProperty(object, path, target).SetValue(*target, value, context);
}

TPropertyValue GetPublishedValue(TPersistent& object, std::string_view path) {
    TPersistent* target = nullptr;
    return publishedProperty(object, path, target).GetValue(*target);
}

void RegisterBaseClasses() {
    static const bool registered = [] {
        RegisterPublishedClass<TPersistent>("TPersistent");
        RegisterPublishedClass<TComponent, TPersistent>("TComponent").Integer("Tag", &TComponent::Tag, 0);
        RegisterPublishedClass<TStrings, TPersistent>("TStrings");
        RegisterPublishedClass<TStringList, TStrings>("TStringList");
        return true;
    }();
    (void)registered;
}
