// The published tables of the standard controls: every class's defaults
// agree with its constructor, and random forms of every control class
// build, bind their handlers and round-trip through the filer.

#include "platform/base/ComponentStream.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/StandardControls.h"
#include "tests/platform/ui/PublishedTestSupport.h"
#include "tests/platform/ui/RandomForms.h"

#include <gtest/gtest.h>

namespace {

// The classes the standard controls registered (the window base's are
// checked by its own suite).
std::vector<const TClassInfo*> standardClasses() {
    RegisterStandardControlClasses();
    std::vector<const TClassInfo*> classes;
    for (const TClassInfo* info : RegisteredClasses())
        if (info->Creatable() && info->Name() != "TComponent" && FindClassInfo("TControl") != info)
            classes.push_back(info);
    return classes;
}

TEST(ControlTables, EveryClassWritesNothingWhenFresh) {
    std::vector<std::string> wrong;
    for (const TClassInfo* info : standardClasses()) {
        std::vector<std::string> found = DefaultsThatDisagree(*info);
        wrong.insert(wrong.end(), found.begin(), found.end());
    }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

// One form with a component of every registered kind (the pages inside
// a page control): built from its description, every event bound to the
// form's handlers, then written and read back whole.
TEST(ControlTables, AFormWithEveryKindBuildsBindsAndRoundTrips) {
    using namespace random_forms;
    std::mt19937 random(3);
    TTestForm form;
    form.SetName("form");
    TFormDescription description;
    std::vector<std::string> kinds;
    for (const TClassInfo* info : standardClasses()) {
        std::unique_ptr<TComponent> scratch(info->Create(nullptr));
        TComponentDescription component;
        component.Name = "c";
        component.Name += std::to_string(description.Components.size());
        component.ClassName = info->Name();
        if (auto* control = dynamic_cast<TControl*>(scratch.get())) {
            component.Bounds = Bounds(static_cast<int>(random() % 200), static_cast<int>(random() % 200), 50, 30);
            if (info->Name() == "TTabSheet")
                component.Parent = "pages";
            (void)control;
        }
        if (info->Name() == "TPageControl")
            component.Name = "pages";
        RandomSettings(*scratch, "", random, form.Handlers,
                       {"Click", "MouseDown", "MouseMove", "KeyDown", "KeyPress", "ContextPopup"},
                       {"Left", "Top", "Width", "Height", "Align", "ActivePage"}, component.Properties,
                       component.Events);
        kinds.push_back(info->Name());
        description.Components.push_back(std::move(component));
    }
    // The page control comes before its pages.
    std::stable_partition(description.Components.begin(), description.Components.end(),
                          [](const TComponentDescription& c) { return c.ClassName != "TTabSheet"; });
    BuildForm(form, description, form.Handlers);
    ASSERT_EQ(form.ComponentCount(), static_cast<int>(kinds.size()));
    for (const TComponentDescription& d : description.Components) {
        TComponent* component = form.FindComponent(d.Name);
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(component->ClassName(), d.ClassName);
        for (const TEventBinding& binding : d.Events)
            EXPECT_EQ(GetPublishedValue(*component, binding.Event).ToString(), "\"" + binding.Handler + "\"")
                << d.Name << "." << binding.Event;
    }
    auto* pages = dynamic_cast<TPageControl*>(form.FindComponent("pages"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->PageCount(), 1);
    const auto built = SnapshotOwned<TControl>(form);
    TMemoryStream stream;
    WriteComponent(stream, form);
    stream.SetPosition(0);
    TTestForm copy;
    ReadComponent(stream, copy, &copy.Handlers);
    const auto copied = SnapshotOwned<TControl>(copy);
    EXPECT_TRUE(copied == built) << SnapshotDifferences(built, copied);
}

TEST(ControlTables, RandomFormsOfEveryControlKindRoundTrip) {
    RegisterStandardControlClasses();
    CheckRandomFormsRoundTrip(29, 120);
}

} // namespace
