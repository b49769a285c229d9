// The published tables of the shell controls and their dialog: every class
// writes nothing when fresh (its defaults agree with its constructor),
// random forms of every control class, the shell's among them, build and
// round-trip through the filer, and a splitter described in a form binds
// its panes by their Index and names them after itself.

#include "platform/ui/FormBuilder.h"
#include "shell/PTSplitter.h"
#include "shell/ShellProperties.h"
#include "tests/platform/ui/PublishedTestSupport.h"
#include "tests/platform/ui/RandomForms.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

TEST(ShellTablesTest, FreshControlsWriteNothingAndRandomFormsRoundTrip) {
    TShellTestHome home;
    MakeShellTestApplication();
    RegisterShellClasses();
    std::vector<std::string> wrong;
    for (const char* name : {"TPTGroup", "TPTFrame", "TPTPane", "TPTSplitter", "TPTShellTree", "TPTShellList",
                             "TPTFolderBrowseDlg"}) {
        const TClassInfo* info = FindClassInfo(name);
        ASSERT_NE(info, nullptr) << name;
        std::vector<std::string> found = DefaultsThatDisagree(*info);
        wrong.insert(wrong.end(), found.begin(), found.end());
    }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
    // A splitter names the panes it holds after itself.
    CheckRandomFormsRoundTrip(41, 60, [](const std::string& child, const std::string& parent) {
        return !(child == "TPTPane" && parent == "TPTSplitter");
    });
}

TEST(ShellTablesTest, ASplitterDescribedInAFormBindsAndNamesItsPanes) {
    MakeShellTestApplication();
    RegisterShellClasses();
    TWinControl form;
    const TFormDescription description{
        .Components = {
            {.Name = "shSplitter",
             .ClassName = "TPTSplitter",
             .Bounds = Bounds(0, 0, 300, 400),
             .Properties = {{"Style", "ptstHorizontal"}, {"Position", 124}, {"SplitterWidth", 2}}},
            {.Name = "bottom", .ClassName = "TPTPane", .Parent = "shSplitter", .Properties = {{"Index", 1}}},
            {.Name = "top", .ClassName = "TPTPane", .Parent = "shSplitter", .Properties = {{"Index", 0}, {"MinSize", 50}}},
        }};
    BuildForm(form, description, THandlerTable{});
    auto* splitter = dynamic_cast<TPTSplitter*>(form.FindComponent("shSplitter"));
    ASSERT_NE(splitter, nullptr);
    ASSERT_NE(splitter->Pane(0), nullptr);
    EXPECT_EQ(splitter->Pane(0)->Name(), "shSplitter_pane1");
    EXPECT_EQ(splitter->Pane(1)->Name(), "shSplitter_pane2");
    EXPECT_EQ(splitter->Pane(0)->MinSize, 50);
    EXPECT_EQ(splitter->Position(), 124);
    EXPECT_EQ(splitter->Pane(0)->Height(), 124);
    EXPECT_EQ(splitter->Pane(1)->Top(), 126);
    splitter->SetBounds(0, 0, 300, 800);
    EXPECT_EQ(splitter->Position(), 248);
}
