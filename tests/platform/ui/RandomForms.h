#pragma once
// Random forms over every registered control class: descriptions built,
// their handlers bound, and a round trip through the filer.  The
// description is the oracle for what it sets (an auto-sized label's size
// aside, which follows its text); the built form's own published values
// are the oracle for the stream.  A suite that
// registers more control classes (the standard controls) runs the same
// check over them with CheckRandomFormsRoundTrip.

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/ui/Control.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/ui/PublishedTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace random_forms {

// A form with one handler of each common event shape; each records the
// sender's name.
class TTestForm : public TWinControl {
public:
    explicit TTestForm(TComponent* owner = nullptr) : TWinControl(owner) {
        Handlers.Add("Click", this, &TTestForm::HandleClick);
        Handlers.Add("MouseDown", this, &TTestForm::HandleMouseDown);
        Handlers.Add("MouseMove", this, &TTestForm::HandleMouseMove);
        Handlers.Add("KeyDown", this, &TTestForm::HandleKeyDown);
        Handlers.Add("KeyPress", this, &TTestForm::HandleKeyPress);
        Handlers.Add("ContextPopup", this, &TTestForm::HandleContextPopup);
    }
    std::string ClassName() const override { return "TTestForm"; }

    THandlerTable Handlers;
    std::vector<std::string> Calls;

    void HandleClick(TPersistent* sender) { record("Click", sender); }
    void HandleMouseDown(TPersistent* sender, TMouseButton, TShiftState, int, int) { record("MouseDown", sender); }
    void HandleMouseMove(TPersistent* sender, TShiftState, int, int) { record("MouseMove", sender); }
    void HandleKeyDown(TPersistent* sender, uint16_t&, TShiftState) { record("KeyDown", sender); }
    void HandleKeyPress(TPersistent* sender, char&) { record("KeyPress", sender); }
    void HandleContextPopup(TPersistent* sender, TPoint, bool&) { record("ContextPopup", sender); }

private:
    void record(const char* what, TPersistent* sender) {
        Calls.push_back(std::string(what) + ":" + dynamic_cast<TComponent*>(sender)->Name());
    }
};

inline std::map<std::string, std::map<std::string, std::string>> snapshotForm(TWinControl& form) {
    return SnapshotOwned<TControl>(form);
}

// The creatable control classes, and which of them hold controls.
struct TControlClass {
    std::string Name;
    bool Windowed;
};
inline std::vector<TControlClass> controlClasses() {
    std::vector<TControlClass> classes;
    for (const TClassInfo* info : RegisteredClasses()) {
        if (!info->Creatable())
            continue;
        std::unique_ptr<TComponent> sample(info->Create(nullptr));
        if (dynamic_cast<TControl*>(sample.get()) != nullptr)
            classes.push_back({info->Name(), dynamic_cast<TWinControl*>(sample.get()) != nullptr});
    }
    return classes;
}

// Whether a control of one class keeps the name a description gives it
// inside a parent of another (a parent may name the children it arranges
// itself); by default every parent does.
using TNamesKept = std::function<bool(const std::string& childClass, const std::string& parentClass)>;

inline TFormDescription randomDescription(std::mt19937& random, const THandlerTable& handlers,
                                          const TNamesKept& namesKept = {}) {
    const std::vector<TControlClass> classes = controlClasses();
    TFormDescription description;
    description.Properties = {{"Caption", "Random form"}, {"Tag", static_cast<int>(random() % 100)}};
    std::vector<std::string> containers;
    std::map<std::string, std::string> containerClasses; // by name
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
        const TControlClass& kind = classes[random() % classes.size()];
        TComponentDescription component;
        component.Name = "c";
        component.Name += std::to_string(i);
        component.ClassName = kind.Name;
        if (!containers.empty() && random() % 2) {
            component.Parent = containers[random() % containers.size()];
            if (namesKept && !namesKept(kind.Name, containerClasses[component.Parent]))
                component.Parent.clear();
        }
        component.Bounds = Bounds(static_cast<int>(random() % 300), static_cast<int>(random() % 200),
                                  1 + static_cast<int>(random() % 120), 1 + static_cast<int>(random() % 60));
        std::unique_ptr<TComponent> scratch(CreateComponent(kind.Name, nullptr));
        // Anchors and size limits move and size the controls, which the
        // bounds checked below leave out (ControlLayoutTest checks them).
        RandomSettings(*scratch, "", random, handlers,
                       {"Click", "MouseDown", "MouseMove", "KeyDown", "KeyPress", "ContextPopup"},
                       {"Left", "Top", "Width", "Height", "Align", "Anchors", "Constraints.MaxHeight",
                        "Constraints.MaxWidth", "Constraints.MinHeight", "Constraints.MinWidth"},
                       component.Properties, component.Events);
        // Set last, so that nothing else changes it: checked as described.
        component.Properties.push_back({"Tag", 1000 + i});
        if (kind.Windowed) {
            containers.push_back(component.Name);
            containerClasses[component.Name] = kind.Name;
        }
        description.Components.push_back(std::move(component));
    }
    return description;
}

// What the description says, read back from a form.
inline void expectDescribed(TTestForm& form, const TFormDescription& description) {
    for (const TComponentDescription& d : description.Components) {
        TComponent* component = form.FindComponent(d.Name);
        ASSERT_NE(component, nullptr) << d.Name;
        EXPECT_EQ(component->ClassName(), d.ClassName);
        auto& control = dynamic_cast<TControl&>(*component);
        EXPECT_EQ(control.Parent()->Name(), d.Parent.empty() ? form.Name() : d.Parent) << d.Name;
        // An aligned control (a splitter starts so) is placed by its parent.
        // An auto-sized label keeps its place, but its size is its text's,
        // whatever the description said: sizing it again changes nothing.
        auto* label = dynamic_cast<TCustomLabel*>(&control);
        if (control.Align() == alNone && label != nullptr && label->AutoSize()) {
            const TRect sized = label->BoundsRect();
            label->SetAutoSize(false);
            label->SetAutoSize(true);
            EXPECT_EQ(label->BoundsRect(), sized) << d.Name;
            EXPECT_EQ(sized.Top, d.Bounds->Top) << d.Name;
            if (label->Alignment() == taRightJustify)
                EXPECT_EQ(sized.Right, d.Bounds->Right) << d.Name;
            else
                EXPECT_EQ(sized.Left, d.Bounds->Left) << d.Name;
        } else if (control.Align() == alNone) {
            EXPECT_EQ(control.BoundsRect().Left, d.Bounds->Left);
            EXPECT_EQ(control.Width(), d.Bounds->Width());
        }
        EXPECT_EQ(GetPublishedValue(*component, "Tag"), d.Properties.back().Value);
        for (const TEventBinding& binding : d.Events)
            EXPECT_EQ(GetPublishedValue(*component, binding.Event).ToString(), "\"" + binding.Handler + "\"");
        // The click event reaches the bound handler of this form.
        form.Calls.clear();
        if (control.OnClick)
            control.OnClick(&control);
        const bool clickBound = std::any_of(d.Events.begin(), d.Events.end(),
                                            [](const TEventBinding& b) { return b.Event == "OnClick"; });
        EXPECT_EQ(std::count(form.Calls.begin(), form.Calls.end(), "Click:" + d.Name), clickBound ? 1 : 0)
            << d.Name;
    }
}

} // namespace random_forms

// rounds random forms of up to twelve controls of the registered classes.
inline void CheckRandomFormsRoundTrip(unsigned seed, int rounds, const random_forms::TNamesKept& namesKept = {}) {
    using namespace random_forms;
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round) {
        TTestForm form;
        form.SetName("form");
        const TFormDescription description = randomDescription(random, form.Handlers, namesKept);
        BuildForm(form, description, form.Handlers);
        ASSERT_EQ(form.ComponentCount(), static_cast<int>(description.Components.size()));
        EXPECT_EQ(form.Caption(), "Random form");
        const auto built = snapshotForm(form);
        expectDescribed(form, description);

        TMemoryStream stream;
        WriteComponent(stream, form);
        stream.SetPosition(0);
        TTestForm copy;
        ReadComponent(stream, copy, &copy.Handlers);
        EXPECT_EQ(copy.Name(), "form");
        const auto copied = snapshotForm(copy);
        EXPECT_TRUE(copied == built) << "round " << round << "\n" << SnapshotDifferences(built, copied);
        expectDescribed(copy, description);
    }
}
