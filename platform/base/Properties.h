#pragma once
// Published properties: the part of a class's state that forms describe
// and the filer streams.
//
// Each class registers one small table of its own published properties
// (name, kind, getter, setter, default) with the base class it derives
// from; the properties of an object are those of its class and of every
// registered ancestor, ancestors first.  A class looks up an object's table
// by its dynamic type, so a subclass nobody registered still shows the
// properties of its nearest registered base.
//
//   RegisterPublishedClass<TCodeGutter, TGraphicControl>("TCodeGutter")
//       .Boolean("LineNumbers", &TCodeGutter::LineNumbers, &TCodeGutter::SetLineNumbers, true)
//       .Component<TCodeMemo>("CodeMemo", &TCodeGutter::CodeMemo, &TCodeGutter::SetCodeMemo)
//       .Event("OnClick", &TControl::OnClick);
//
// Getters and setters are member functions, fields or callables taking the
// object.  A default of std::nullopt means "always stored".  Kinds:
//   Integer, Boolean, Float, String  plain values (an integer may have
//                                    names for some values, as colours do)
//   Enum                             one of the names of a TIdentMap
//   Set                              a bit mask; each name of the map is a bit
//   Object                           an owned sub-object (a font, a string
//                                    list) streamed as "Name.SubProperty"
//   Component                        a reference to another component, by name
//   Event                            a handler bound by its name from a
//                                    THandlerTable (see EventHandlers.h)
//
// Registration is explicit (each library has a Register...Classes function
// that is safe to call again) and happens on the user-interface thread.

#include "platform/base/Exceptions.h"

#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <variant>
#include <vector>

class TComponent;
class TPersistent;
class TReader;
class TWriter;
class THandlerTable;

// Raised for a property that does not exist or a value it does not take.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// Raised when a class name is not registered.
class EClassNotFound : public Exception {
public:
    explicit EClassNotFound(std::string_view className)
        : Exception("Class " + std::string(className) + " not found") {}
};

// Names of the values of an enumeration, of the bits of a set, or of some
// values of an integer (colours).  Names compare ignoring ASCII case.
class TIdentMap {
public:
    struct TEntry {
        int64_t Value;
        std::string Name;
    };
    TIdentMap(std::initializer_list<TEntry> entries) : entries_(entries) {}

    std::optional<int64_t> ValueOf(std::string_view name) const;
    // The first name of a value, or nullptr.
    const std::string* NameOf(int64_t value) const;
    const std::vector<TEntry>& Entries() const { return entries_; }

private:
    std::vector<TEntry> entries_;
};

enum class TPropertyKind { Integer, Boolean, Float, String, Enum, Set, Object, Component, Event };

// A property's value as builders give it and tests read it back: integers,
// enumerations and sets are numbers (or, given, a name); a component is a
// pointer or, given, a name; an event is its handler's name; a string list
// object is its text.
class TPropertyValue {
public:
    using TVariant = std::variant<std::monostate, int64_t, bool, double, std::string, TComponent*>;

    TPropertyValue() = default;
    TPropertyValue(bool value) : value_(value) {}
    template <class I>
        requires(std::integral<I> && !std::same_as<I, bool>)
    TPropertyValue(I value) : value_(static_cast<int64_t>(value)) {}
    template <class E>
        requires std::is_enum_v<E>
    TPropertyValue(E value) : value_(static_cast<int64_t>(value)) {}
    TPropertyValue(double value) : value_(value) {}
    TPropertyValue(const char* value) : value_(std::string(value)) {}
    TPropertyValue(std::string value) : value_(std::move(value)) {}
    TPropertyValue(TComponent* value) : value_(value) {}
    TPropertyValue(std::nullptr_t) : value_(static_cast<TComponent*>(nullptr)) {}

    const TVariant& Variant() const { return value_; }
    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool operator==(const TPropertyValue&) const = default;
    // For test messages.
    std::string ToString() const;

private:
    TVariant value_;
};

// What names in property values refer to: components owned by Root (or
// Root itself), and event handlers of the form being built or read.
struct TBindingContext {
    TComponent* Root = nullptr;
    const THandlerTable* Handlers = nullptr;
};

class TPropertyInfo {
public:
    TPropertyInfo(std::string name, TPropertyKind kind) : name_(std::move(name)), kind_(kind) {}
    virtual ~TPropertyInfo() = default;
    TPropertyInfo(const TPropertyInfo&) = delete;
    TPropertyInfo& operator=(const TPropertyInfo&) = delete;

    const std::string& Name() const { return name_; }
    TPropertyKind Kind() const { return kind_; }

    // Whether a writer streams the property: stored, and not at its
    // default.  Object properties are always visited (their own properties
    // decide).  Within a sub-object plain values are written whatever
    // their defaults (whole), since the owner may start its sub-object from
    // values of its own (a red pen); references and events still only when
    // set.
    bool ShouldWrite(TPersistent& instance, bool whole = false) const;
    // The value alone (the writer has written the name).
    virtual void WriteValue(TWriter& writer, TPersistent& instance) const = 0;
    // Reads a value written by WriteValue.  Component references are left
    // to the reader's fixups; event handlers are bound through the reader's
    // handler table.
    virtual void ReadValue(TReader& reader, TPersistent& instance) const = 0;
    virtual TPropertyValue GetValue(TPersistent& instance) const = 0;
    // Raises EPropertyError for a value the property does not take.
    virtual void SetValue(TPersistent& instance, const TPropertyValue& value,
                          const TBindingContext& context) const = 0;
    // The owned sub-object of an object property; nullptr otherwise.
    virtual TPersistent* SubObject(TPersistent& instance) const { return nullptr; }
    // Whether a value exists that is not written (a reference's and an
    // event's is "none"); false for "always stored" and for sub-objects.
    virtual bool HasDefault() const = 0;

    // Names of some or all values (required for enumerations and sets).
    const TIdentMap* Names = nullptr;
    // When set and false, the property is not written at all (a font that
    // follows the parent's, say).
    std::function<bool(TPersistent& instance)> Stored;

protected:
    virtual bool IsDefault(TPersistent& instance) const = 0;
    [[noreturn]] void invalidValue(const TPropertyValue& value) const;

private:
    std::string name_;
    TPropertyKind kind_;
};

// The accessors a property kind works through, on the object as its
// registered class (the table builder casts).
template <class TValue>
struct TPropertyAccess {
    std::function<TValue(TPersistent&)> Get;
    std::function<void(TPersistent&, TValue)> Set;
    std::optional<TValue> Default;
};
std::unique_ptr<TPropertyInfo> MakeOrdinalProperty(std::string name, TPropertyKind kind,
                                                   TPropertyAccess<int64_t> access, const TIdentMap* names);
// A single-precision property compares with its default as a float.
std::unique_ptr<TPropertyInfo> MakeFloatProperty(std::string name, TPropertyAccess<double> access,
                                                 bool singlePrecision);
std::unique_ptr<TPropertyInfo> MakeStringProperty(std::string name, TPropertyAccess<std::string> access);
std::unique_ptr<TPropertyInfo> MakeObjectProperty(std::string name, std::function<TPersistent*(TPersistent&)> get);
// isA tells whether a component may be assigned (is of the property's class).
std::unique_ptr<TPropertyInfo> MakeComponentProperty(std::string name, TPropertyAccess<TComponent*> access,
                                                     std::function<bool(TComponent&)> isA);
// bind assigns a handler (a std::any holding the event's std::function
// type) and answers false when the handler's type does not fit; clear
// empties the event.
struct TEventAccess {
    std::function<bool(TPersistent&, const std::any& handler)> Bind;
    std::function<void(TPersistent&)> Clear;
};
std::unique_ptr<TPropertyInfo> MakeEventProperty(std::string name, TEventAccess access);

// One registered class.
class TClassInfo {
public:
    TClassInfo(std::string name, std::type_index type, std::optional<std::type_index> parent,
               std::function<bool(const TPersistent&)> isInstance, std::function<TComponent*(TComponent*)> factory)
        : name_(std::move(name)), type_(type), parent_(parent), factory_(std::move(factory)),
          isInstance_(std::move(isInstance)) {}

    const std::string& Name() const { return name_; }
    std::type_index Type() const { return type_; }
    // The registered base class, or nullptr.
    const TClassInfo* Parent() const;
    // Number of registered ancestors.
    int Depth() const;

    // Every published property, ancestors' first; a class that publishes a
    // name again (with another default, say) replaces the ancestor's entry
    // in its place.
    std::vector<const TPropertyInfo*> Properties() const;
    // By name, ignoring ASCII case; nullptr when none.
    const TPropertyInfo* FindProperty(std::string_view name) const;
    const std::vector<std::unique_ptr<TPropertyInfo>>& OwnProperties() const { return own_; }

    // Components of a creatable class are made by name (owner may be null).
    bool Creatable() const { return static_cast<bool>(factory_); }
    TComponent* Create(TComponent* owner) const;
    bool IsInstance(const TPersistent& object) const { return isInstance_(object); }

    // How the class's components nest in a stream: the component a child
    // is written inside (nullptr = the root), and how it is put there when
    // read.  Inherited from the nearest ancestor that has them.
    TComponent* ParentOf(TComponent& component) const;
    void SetParentOf(TComponent& component, TComponent* parent) const;

private:
    template <class T>
    friend class TPropertyTable;

    std::string name_;
    std::type_index type_;
    std::optional<std::type_index> parent_;
    std::vector<std::unique_ptr<TPropertyInfo>> own_;
    std::function<TComponent*(TComponent*)> factory_;
    std::function<bool(const TPersistent&)> isInstance_;
    std::function<TComponent*(TComponent&)> parentOf_;
    std::function<void(TComponent&, TComponent*)> setParentOf_;
};

// Adds info to the registry, replacing an earlier registration of its type.
TClassInfo& RegisterClassInfo(std::unique_ptr<TClassInfo> info);
// By registered name, ignoring ASCII case; nullptr when none.
const TClassInfo* FindClassInfo(std::string_view className);
// The most derived registered class of object; nullptr when none.
const TClassInfo* ClassInfoOf(const TPersistent& object);
// Makes a component of a registered class; EClassNotFound when unknown or
// not creatable.
TComponent* CreateComponent(std::string_view className, TComponent* owner);
// Every registered class, in registration order.
std::vector<const TClassInfo*> RegisteredClasses();

// A published property of object by name or dotted path ("Font.Size");
// nullptr when there is none.  target receives the object that holds it.
const TPropertyInfo* FindPublishedProperty(TPersistent& object, std::string_view path, TPersistent*& target);
// Sets or reads a published property by name or path; EPropertyError
// ("Property X does not exist", or the value's complaint) otherwise.
void SetPublishedValue(TPersistent& object, std::string_view path, const TPropertyValue& value,
                       const TBindingContext& context = {});
TPropertyValue GetPublishedValue(TPersistent& object, std::string_view path);

// ---- the table builder -------------------------------------------------------

namespace property_detail {

// The type a setter takes: a member function's parameter, a field's type,
// or fallback for any other callable.
template <class S, class Fallback>
struct SetterArg {
    using Type = Fallback;
};
template <class R, class C, class A, class Fallback>
struct SetterArg<R (C::*)(A), Fallback> {
    using Type = std::decay_t<A>;
};
template <class F, class C, class Fallback>
struct SetterArg<F C::*, Fallback> {
    using Type = F;
};

template <class T, class G>
decltype(auto) get(const G& getter, TPersistent& object) {
    return std::invoke(getter, static_cast<T&>(object));
}

template <class T, class Fallback, class S, class V>
void set(const S& setter, TPersistent& object, V value) {
    using Arg = typename SetterArg<S, Fallback>::Type;
    if constexpr (std::is_member_object_pointer_v<S>)
        static_cast<T&>(object).*setter = static_cast<Arg>(value);
    else
        std::invoke(setter, static_cast<T&>(object), static_cast<Arg>(value));
}

} // namespace property_detail

// Builds the table of class T; returned by RegisterPublishedClass.
template <class T>
class TPropertyTable {
public:
    explicit TPropertyTable(TClassInfo& info) : info_(info) {}

    template <class G, class S>
    TPropertyTable& Integer(std::string name, G get, S set, std::optional<int64_t> def) {
        return ordinal<int64_t>(std::move(name), TPropertyKind::Integer, get, set, def, nullptr);
    }
    template <class F, class C>
    TPropertyTable& Integer(std::string name, F C::*field, std::optional<int64_t> def) {
        return Integer(std::move(name), field, field, def);
    }
    template <class G, class S>
    TPropertyTable& Boolean(std::string name, G get, S set, std::optional<bool> def) {
        std::optional<int64_t> asNumber;
        if (def)
            asNumber = *def ? 1 : 0;
        return ordinal<bool>(std::move(name), TPropertyKind::Boolean, get, set, asNumber, nullptr);
    }
    template <class C>
    TPropertyTable& Boolean(std::string name, bool C::*field, std::optional<bool> def) {
        return Boolean(std::move(name), field, field, def);
    }
    template <class G, class S>
    TPropertyTable& Enum(std::string name, G get, S set, std::optional<int64_t> def, const TIdentMap& names) {
        return ordinal<int64_t>(std::move(name), TPropertyKind::Enum, get, set, def, &names);
    }
    template <class F, class C>
    TPropertyTable& Enum(std::string name, F C::*field, std::optional<int64_t> def, const TIdentMap& names) {
        return Enum(std::move(name), field, field, def, names);
    }
    // A set as a bit mask; each name of names is one bit's mask.
    template <class G, class S>
    TPropertyTable& Set(std::string name, G get, S set, std::optional<int64_t> def, const TIdentMap& names) {
        return ordinal<int64_t>(std::move(name), TPropertyKind::Set, get, set, def, &names);
    }
    template <class G, class S>
    TPropertyTable& Float(std::string name, G get, S set, std::optional<double> def) {
        TPropertyAccess<double> access;
        access.Get = [get](TPersistent& o) { return static_cast<double>(property_detail::get<T>(get, o)); };
        access.Set = [set](TPersistent& o, double v) { property_detail::set<T, double>(set, o, v); };
        access.Default = def;
        using TResult = std::decay_t<decltype(property_detail::get<T>(get, std::declval<TPersistent&>()))>;
        return add(MakeFloatProperty(std::move(name), std::move(access), std::is_same_v<TResult, float>));
    }
    template <class F, class C>
    TPropertyTable& Float(std::string name, F C::*field, std::optional<double> def) {
        return Float(std::move(name), field, field, def);
    }
    // A string's default is "" unless another (or std::nullopt) is given.
    template <class G, class S>
    TPropertyTable& String(std::string name, G get, S set, std::optional<std::string> def = std::string()) {
        TPropertyAccess<std::string> access;
        access.Get = [get](TPersistent& o) { return std::string(property_detail::get<T>(get, o)); };
        access.Set = [set](TPersistent& o, std::string v) {
            if constexpr (std::is_member_object_pointer_v<S>)
                static_cast<T&>(o).*set = std::move(v);
            else
                std::invoke(set, static_cast<T&>(o), std::move(v));
        };
        access.Default = std::move(def);
        return add(MakeStringProperty(std::move(name), std::move(access)));
    }
    template <class C>
    TPropertyTable& String(std::string name, std::string C::*field, std::optional<std::string> def = std::string()) {
        return String(std::move(name), field, field, std::move(def));
    }
    // get returns the sub-object (a reference or a pointer).
    template <class G>
    TPropertyTable& Object(std::string name, G get) {
        return add(MakeObjectProperty(std::move(name), [get](TPersistent& o) -> TPersistent* {
            decltype(auto) sub = property_detail::get<T>(get, o);
            if constexpr (std::is_pointer_v<std::decay_t<decltype(sub)>>)
                return sub;
            else
                return &sub;
        }));
    }
    // A reference to a component of class C (or derived from it).
    template <class C, class G, class S>
    TPropertyTable& Component(std::string name, G get, S set) {
        TPropertyAccess<TComponent*> access;
        access.Get = [get](TPersistent& o) -> TComponent* { return property_detail::get<T>(get, o); };
        access.Set = [set](TPersistent& o, TComponent* c) {
            C* typed = c == nullptr ? nullptr : dynamic_cast<C*>(c);
            if constexpr (std::is_member_object_pointer_v<S>)
                static_cast<T&>(o).*set = typed;
            else
                std::invoke(set, static_cast<T&>(o), typed);
        };
        return add(MakeComponentProperty(std::move(name), std::move(access),
                                         [](TComponent& c) {
                                             if constexpr (std::is_same_v<C, TComponent>)
                                                 return true;
                                             else
                                                 return dynamic_cast<C*>(&c) != nullptr;
                                         }));
    }
    // An event: a std::function field.
    template <class E, class C>
    TPropertyTable& Event(std::string name, E C::*field) {
        static_assert(std::is_base_of_v<TComponent, T>, "events are published by components");
        TEventAccess access;
        access.Bind = [field](TPersistent& o, const std::any& handler) {
            const E* typed = std::any_cast<E>(&handler);
            if (typed == nullptr)
                return false;
            static_cast<T&>(o).*field = *typed;
            return true;
        };
        access.Clear = [field](TPersistent& o) { static_cast<T&>(o).*field = nullptr; };
        return add(MakeEventProperty(std::move(name), std::move(access)));
    }

    // Names for some values of the last property added (colours).
    TPropertyTable& Names(const TIdentMap& names) {
        info_.own_.back()->Names = &names;
        return *this;
    }
    // The last property added is written only while stored(object) holds.
    template <class P>
    TPropertyTable& StoredWhen(P stored) {
        info_.own_.back()->Stored = [stored](TPersistent& o) { return std::invoke(stored, static_cast<T&>(o)); };
        return *this;
    }
    // How components of this class nest in a stream (see TClassInfo).
    template <class P, class S>
    TPropertyTable& Parenting(P parentOf, S setParentOf) {
        info_.parentOf_ = [parentOf](TComponent& c) -> TComponent* {
            return std::invoke(parentOf, static_cast<T&>(c));
        };
        info_.setParentOf_ = [setParentOf](TComponent& c, TComponent* parent) {
            std::invoke(setParentOf, static_cast<T&>(c), parent);
        };
        return *this;
    }

private:
    template <class TFallback, class G, class S>
    TPropertyTable& ordinal(std::string name, TPropertyKind kind, G get, S set, std::optional<int64_t> def,
                            const TIdentMap* names) {
        TPropertyAccess<int64_t> access;
        access.Get = [get](TPersistent& o) { return static_cast<int64_t>(property_detail::get<T>(get, o)); };
        access.Set = [set](TPersistent& o, int64_t v) {
            if constexpr (std::is_same_v<TFallback, bool>)
                property_detail::set<T, bool>(set, o, v != 0);
            else
                property_detail::set<T, int64_t>(set, o, v);
        };
        access.Default = def;
        return add(MakeOrdinalProperty(std::move(name), kind, std::move(access), names));
    }
    TPropertyTable& add(std::unique_ptr<TPropertyInfo> property) {
        info_.own_.push_back(std::move(property));
        return *this;
    }

    TClassInfo& info_;
};

// Registers class T, derived from the registered class TParent (void for
// a root such as TPersistent), under name.  Components with a constructor
// taking the owner become creatable by name.
template <class T, class TParent = void>
TPropertyTable<T> RegisterPublishedClass(std::string name) {
    static_assert(std::is_base_of_v<TPersistent, T>);
    std::optional<std::type_index> parent;
    if constexpr (!std::is_void_v<TParent>) {
        static_assert(std::is_base_of_v<TParent, T>);
        parent = std::type_index(typeid(TParent));
    }
    std::function<TComponent*(TComponent*)> factory;
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>)
        factory = [](TComponent* owner) -> TComponent* { return new T(owner); };
    return TPropertyTable<T>(RegisterClassInfo(std::make_unique<TClassInfo>(
        std::move(name), std::type_index(typeid(T)), parent,
        [](const TPersistent& object) {
            if constexpr (std::is_same_v<T, TPersistent>)
                return true;
            else
                return dynamic_cast<const T*>(&object) != nullptr;
        },
        std::move(factory))));
}

// Registers the base classes' tables (TComponent's Tag); safe to call again.
void RegisterBaseClasses();
