#pragma once
// Forms described in code, and the one builder that makes them.
//
// A description lists the form's own property values and event bindings,
// then its components: name, registered class, parent (a component listed
// in the description, or "" for the form), bounds, property values
// (dotted paths reach sub-objects: "Font.Size"; a string list takes its
// text; a component reference takes a name) and event bindings to the
// form's handlers by name:
//
//   const TFormDescription kRuleDialog{
//       .Properties = {{"Caption", "Horizontal rule"}},
//       .Components = {
//           {.Name = "okbtn", .ClassName = "TButton", .Bounds = Bounds(8, 96, 75, 25),
//            .Properties = {{"Caption", "OK"}}, .Events = {{"OnClick", "okbtnClick"}}},
//       }};
//   BuildForm(*this, kRuleDialog, handlers);
//
// The builder knows nothing of forms: any window control can be the root,
// and any registered class can be listed (see Properties.h).

#include "platform/base/EventHandlers.h"
#include "platform/base/Properties.h"
#include "platform/gfx/Geometry.h"

#include <optional>
#include <string>
#include <vector>

class TWinControl;

// Every member has an initializer, so that descriptions may name only
// the members they use.
struct TPropertySetting {
    std::string Name = {};
    TPropertyValue Value = {};
};

struct TEventBinding {
    std::string Event = {};
    std::string Handler = {};
};

struct TComponentDescription {
    std::string Name = {};
    std::string ClassName = {};
    std::string Parent = {};
    std::optional<TRect> Bounds = {};
    std::vector<TPropertySetting> Properties = {};
    std::vector<TEventBinding> Events = {};
};

struct TFormDescription {
    std::vector<TPropertySetting> Properties = {};
    std::vector<TEventBinding> Events = {};
    std::vector<TComponentDescription> Components = {};
};

// Makes the components of description, owned by form and named, puts each
// control into its parent, then sets bounds and properties through the
// published tables and binds events through handlers; every component made
// (and the form) is loading meanwhile and told Loaded at the end.  Raises
// EComponentError (a name in use, an unknown parent or one that holds no
// controls), EClassNotFound or EPropertyError, each naming the component;
// what was made is freed again.
void BuildForm(TWinControl& form, const TFormDescription& description, const THandlerTable& handlers);
