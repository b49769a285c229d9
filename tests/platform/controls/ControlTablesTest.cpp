// The published tables of the standard controls: every class's defaults
// agree with its constructor, and random forms of every control class
// build, bind their handlers and round-trip through the filer.

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

TEST(ControlTables, RandomFormsOfEveryControlKindRoundTrip) {
    RegisterStandardControlClasses();
    CheckRandomFormsRoundTrip(29, 120);
}

} // namespace
