#pragma once
// Helpers for tests of published tables: every published value of an
// object as text (the oracle of round trips), and random settings of a
// class's plain properties, each tried on a scratch object first so that
// only values the class takes are kept.

#include "platform/base/Component.h"
#include "platform/base/EventHandlers.h"
#include "platform/base/Filer.h"
#include "platform/base/Properties.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"
#include "platform/ui/FormBuilder.h"
#include "tests/platform/base/BaseTestSupport.h"

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

// Every published value of an object, sub-objects by path ("Font.Size");
// a string list sub-object by its text.
inline void SnapshotPublished(TPersistent& object, const std::string& prefix,
                              std::map<std::string, std::string>& values) {
    const TClassInfo* info = ClassInfoOf(object);
    if (info == nullptr)
        return;
    for (const TPropertyInfo* property : info->Properties()) {
        const std::string path = prefix + property->Name();
        if (TPersistent* sub = property->SubObject(object)) {
            SnapshotPublished(*sub, path + ".", values);
            if (dynamic_cast<TStrings*>(sub) == nullptr)
                continue;
        }
        values[path] = property->GetValue(object).ToString();
    }
}

// The snapshots of everything a form owns, by component name, with each
// component's class and (for controls) parent.
template <class TControlBase>
std::map<std::string, std::map<std::string, std::string>> SnapshotOwned(TComponent& form) {
    std::map<std::string, std::map<std::string, std::string>> all;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        TComponent& component = *form.Components(i);
        auto& values = all[component.Name()];
        SnapshotPublished(component, "", values);
        values["(class)"] = component.ClassName();
        if (auto* control = dynamic_cast<TControlBase*>(&component))
            values["(parent)"] = control->Parent() == nullptr ? "-" : control->Parent()->Name();
    }
    return all;
}

// A random value a plain property may take; empty for the other kinds.
inline TPropertyValue RandomPropertyValue(const TPropertyInfo& property, std::mt19937& random) {
    const TIdentMap* names = property.Names;
    auto anyName = [&] { return names->Entries()[random() % names->Entries().size()].Name; };
    switch (property.Kind()) {
    case TPropertyKind::Integer:
        if (names != nullptr && random() % 2)
            return anyName();
        return static_cast<int>(random() % 2000) - 1000;
    case TPropertyKind::Boolean: return random() % 2 == 0;
    case TPropertyKind::Float: return static_cast<int>(random() % 400) / 8.0 - 10;
    case TPropertyKind::String: return "text " + std::to_string(random() % 1000);
    case TPropertyKind::Enum: return anyName();
    case TPropertyKind::Set: {
        int64_t mask = 0;
        for (const auto& entry : names->Entries())
            if (random() % 2)
                mask |= entry.Value;
        return mask;
    }
    default: return {};
    }
}

// Random settings for about two thirds of the plain properties of
// scratch's class and its sub-objects (string lists get a text), and
// event bindings to the first of handlerNames that fits each event.
// Paths in skip are left out.
inline void RandomSettings(TPersistent& scratch, const std::string& prefix, std::mt19937& random,
                           const THandlerTable& handlers, const std::vector<std::string>& handlerNames,
                           const std::vector<std::string>& skip, std::vector<TPropertySetting>& settings,
                           std::vector<TEventBinding>& events) {
    const TClassInfo* info = ClassInfoOf(scratch);
    for (const TPropertyInfo* property : info->Properties()) {
        const std::string path = prefix + property->Name();
        if (std::find(skip.begin(), skip.end(), path) != skip.end() || random() % 3 == 0)
            continue;
        if (TPersistent* sub = property->SubObject(scratch)) {
            if (dynamic_cast<TStrings*>(sub) != nullptr)
                settings.push_back({path, "one\r\ntwo " + std::to_string(random() % 9)});
            else
                RandomSettings(*sub, path + ".", random, handlers, handlerNames, skip, settings, events);
            continue;
        }
        if (property->Kind() == TPropertyKind::Event) {
            for (const std::string& handler : handlerNames)
                try {
                    property->SetValue(scratch, TPropertyValue(handler), {nullptr, &handlers});
                    events.push_back({path, handler});
                    break;
                } catch (const EPropertyError&) {
                }
            continue;
        }
        TPropertyValue value = RandomPropertyValue(*property, random);
        if (value.IsEmpty())
            continue;
        try {
            property->SetValue(scratch, value, {});
            settings.push_back({path, value});
        } catch (const Exception&) {
        }
    }
}

// The published properties a fresh component of a creatable class writes
// although they have a default: each one a table default that disagrees
// with the constructor.  Empty for a sound table.  (A sub-object's values
// are left out: its owner may start it from values of its own, such as a
// red pen.)
inline std::vector<std::string> DefaultsThatDisagree(const TClassInfo& info) {
    std::unique_ptr<TComponent> fresh(info.Create(nullptr));
    TMemoryStream stream;
    WritePersistentProperties(stream, *fresh);
    std::vector<std::string> wrong;
    for (const std::string& name : PropertyNamesIn(stream.DataString())) {
        TPersistent* target = nullptr;
        const TPropertyInfo* property = FindPublishedProperty(*fresh, name, target);
        if (property != nullptr && property->HasDefault() && name.find('.') == std::string::npos)
            wrong.push_back(info.Name() + "." + name);
    }
    return wrong;
}

// The entries in which two snapshots differ, for failure messages.
template <class TMap>
std::string SnapshotDifferences(const TMap& a, const TMap& b) {
    std::string text;
    for (const auto& [name, values] : a) {
        auto other = b.find(name);
        if (other == b.end()) {
            text += name + " missing\n";
            continue;
        }
        for (const auto& [path, value] : values) {
            auto it = other->second.find(path);
            std::string found = it == other->second.end() ? "(none)" : it->second;
            if (found != value)
                text += name + "." + path + ": " + value + " -> " + found + "\n";
        }
    }
    return text;
}
