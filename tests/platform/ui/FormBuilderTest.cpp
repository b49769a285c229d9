// The form builder: random descriptions over every registered control
// class build, bind their handlers and round-trip through the filer; bad
// descriptions fail cleanly.

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/base/Strings.h"
#include "platform/ui/Control.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/FormBuilder.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/PublishedTestSupport.h"
#include "tests/platform/ui/RandomForms.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <random>

namespace {

TEST(FormBuilder, RandomDescriptionsBuildBindAndRoundTrip) {
    RegisterControlClasses();
    CheckRandomFormsRoundTrip(11, 40);
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
        random_forms::TTestForm form;
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
    random_forms::TTestForm form;
    TFormDescription d;
    d.Components.push_back({.Name = "label", .ClassName = "TGraphicControl"});
    d.Components.push_back({.Name = "x", .ClassName = "TGraphicControl", .Parent = "label"});
    EXPECT_THROW(BuildForm(form, d, form.Handlers), EComponentError);
    EXPECT_EQ(form.ComponentCount(), 0);
}

} // namespace
