// The form builder: random descriptions over every registered control
// class build, bind their handlers and round-trip through the filer.
// The description is the oracle for what it sets; the built form's own
// published values are the oracle for the stream.

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"
#include "platform/ui/Control.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/FormBuilder.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/PublishedTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <random>

namespace {

// A form with one handler of each common event shape; each records the
// sender's name.
class TTestForm : public TWinControl {
public:
    explicit TTestForm(TComponent* owner = nullptr) : TWinControl(owner) {
        Handlers.Add("Click", this, &TTestForm::Click);
        Handlers.Add("MouseDown", this, &TTestForm::MouseDown);
        Handlers.Add("MouseMove", this, &TTestForm::MouseMove);
        Handlers.Add("KeyDown", this, &TTestForm::KeyDown);
        Handlers.Add("KeyPress", this, &TTestForm::KeyPress);
        Handlers.Add("ContextPopup", this, &TTestForm::ContextPopup);
    }
    std::string ClassName() const override { return "TTestForm"; }

    THandlerTable Handlers;
    std::vector<std::string> Calls;

    void Click(TPersistent* sender) { record("Click", sender); }
    void MouseDown(TPersistent* sender, TMouseButton, TShiftState, int, int) { record("MouseDown", sender); }
    void MouseMove(TPersistent* sender, TShiftState, int, int) { record("MouseMove", sender); }
    void KeyDown(TPersistent* sender, uint16_t&, TShiftState) { record("KeyDown", sender); }
    void KeyPress(TPersistent* sender, char&) { record("KeyPress", sender); }
    void ContextPopup(TPersistent* sender, TPoint, bool&) { record("ContextPopup", sender); }

private:
    void record(const char* what, TPersistent* sender) {
        Calls.push_back(std::string(what) + ":" + dynamic_cast<TComponent*>(sender)->Name());
    }
};

std::map<std::string, std::map<std::string, std::string>> snapshotForm(TWinControl& form) {
    return SnapshotOwned<TControl>(form);
}

// The creatable control classes, and which of them hold controls.
struct TControlClass {
    std::string Name;
    bool Windowed;
};
std::vector<TControlClass> controlClasses() {
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

TFormDescription randomDescription(std::mt19937& random, const THandlerTable& handlers) {
    const std::vector<TControlClass> classes = controlClasses();
    TFormDescription description;
    description.Properties = {{"Caption", "Random form"}, {"Tag", static_cast<int>(random() % 100)}};
    std::vector<std::string> containers;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
        const TControlClass& kind = classes[random() % classes.size()];
        TComponentDescription component;
        component.Name = "c" + std::to_string(i);
        component.ClassName = kind.Name;
        if (!containers.empty() && random() % 2)
            component.Parent = containers[random() % containers.size()];
        component.Bounds = Bounds(static_cast<int>(random() % 300), static_cast<int>(random() % 200),
                                  1 + static_cast<int>(random() % 120), 1 + static_cast<int>(random() % 60));
        std::unique_ptr<TComponent> scratch(CreateComponent(kind.Name, nullptr));
        RandomSettings(*scratch, "", random, handlers,
                       {"Click", "MouseDown", "MouseMove", "KeyDown", "KeyPress", "ContextPopup"},
                       {"Left", "Top", "Width", "Height"}, component.Properties, component.Events);
        // Set last, so that nothing else changes it: checked as described.
        component.Properties.push_back({"Tag", 1000 + i});
        if (kind.Windowed)
            containers.push_back(component.Name);
        description.Components.push_back(std::move(component));
    }
    return description;
}

// What the description says, read back from a form.
void expectDescribed(TTestForm& form, const TFormDescription& description) {
    for (const TComponentDescription& d : description.Components) {
        TComponent* component = form.FindComponent(d.Name);
        ASSERT_NE(component, nullptr) << d.Name;
        EXPECT_EQ(component->ClassName(), d.ClassName);
        auto& control = dynamic_cast<TControl&>(*component);
        EXPECT_EQ(control.Parent()->Name(), d.Parent.empty() ? form.Name() : d.Parent) << d.Name;
        EXPECT_EQ(control.BoundsRect().Left, d.Bounds->Left);
        EXPECT_EQ(control.Width(), d.Bounds->Width());
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

TEST(FormBuilder, RandomDescriptionsBuildBindAndRoundTrip) {
    RegisterControlClasses();
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        TTestForm form;
        form.SetName("form");
        const TFormDescription description = randomDescription(random, form.Handlers);
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
        EXPECT_EQ(snapshotForm(copy), built) << "round " << round;
        expectDescribed(copy, description);
    }
}

TEST(FormBuilder, FreshControlsWriteNoPropertyThatHasADefault) {
    RegisterControlClasses();
    for (const TClassInfo* info : RegisteredClasses()) {
        if (info->Creatable()) {
            EXPECT_EQ(DefaultsThatDisagree(*info), std::vector<std::string>{});
        }
    }
}

TEST(FormBuilder, BadDescriptionsNameTheProblemAndLeaveNothingBehind) {
    RegisterControlClasses();
    struct TCase {
        TFormDescription Description;
        std::string Message;
    };
    auto two = [](TComponentDescription second) {
        TFormDescription d;
        d.Components.push_back({.Name = "panel", .ClassName = "TCustomControl"});
        d.Components.push_back(std::move(second));
        return d;
    };
    const std::vector<TCase> cases{
        {two({.Name = "panel", .ClassName = "TCustomControl"}), "A component named panel already exists"},
        {two({.Name = "x", .ClassName = "TNoControl"}), "Class TNoControl (component x) not found"},
        {two({.Name = "x", .ClassName = "TGraphicControl", .Parent = "nobody"}), "Parent nobody of x not found"},
        {two({.Name = "x", .ClassName = "TCustomControl", .Properties = {{"Colour", 1}}}),
         "x: Property Colour does not exist"},
        {two({.Name = "x", .ClassName = "TCustomControl", .Events = {{"OnClick", "Missing"}}}),
         "x: Handler Missing not found for event OnClick"},
        {two({.Name = "x", .ClassName = "TCustomControl", .Events = {{"OnClick", "KeyPress"}}}),
         "x: Handler KeyPress does not fit event OnClick"},
        {two({.Name = "x", .ClassName = "TCustomControl", .Events = {{"Caption", "Click"}}}),
         "x: Event Caption does not exist"},
    };
    for (const TCase& c : cases) {
        TTestForm form;
        std::string message = "no error";
        try {
            BuildForm(form, c.Description, form.Handlers);
        } catch (const Exception& error) {
            message = error.Message();
        }
        EXPECT_EQ(message, c.Message);
        EXPECT_EQ(form.ComponentCount(), 0);
        EXPECT_EQ(form.ControlCount(), 0);
        EXPECT_FALSE(form.IsLoading());
    }
    // A windowless control holds no controls.
    TTestForm form;
    TFormDescription d;
    d.Components.push_back({.Name = "label", .ClassName = "TGraphicControl"});
    d.Components.push_back({.Name = "x", .ClassName = "TGraphicControl", .Parent = "label"});
    EXPECT_THROW(BuildForm(form, d, form.Handlers), EComponentError);
    EXPECT_EQ(form.ComponentCount(), 0);
}

} // namespace
