// The themed classes described by a form: their tables agree with their
// constructors, and a themed menu with its recent-file placeholder is
// built, streamed and read back with its themed values.

#include "tests/platform/ui/PublishedTestSupport.h"
#include "tests/toolbars/themes/ThemeTestSupport.h"
#include "toolbars/themes/TBKClasses.h"
#include "toolbars/themes/TBKEditItem.h"

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/ui/FormBuilder.h"

namespace {

TEST(ThemedClasses, TablesAgreeWithConstructorsAndMenusRoundTrip) {
    RegisterThemedToolbarClasses();
    for (const char* name : {"TTBKItem", "TTBKSubmenuItem", "TTBKSeparatorItem", "TTBKEditItem", "TTBKMRUList",
                             "TTBKMRUListItem", "TTBKToolbar", "TTBKToolWindow"}) {
        const TClassInfo* info = FindClassInfo(name);
        ASSERT_NE(info, nullptr) << name;
        std::vector<std::string> wrong = DefaultsThatDisagree(*info);
        // The placeholder names itself in menus the designer shows; the
        // toolbars take the button face as their own colour.
        std::erase(wrong, "TTBKMRUListItem.Caption");
        std::erase(wrong, "TTBKToolbar.ParentColor");
        EXPECT_EQ(wrong, std::vector<std::string>{}) << name;
    }
    TFormDescription description;
    description.Components = {
        {"menu", "TTBRootItem"},
        {"FileMenu", "TTBKSubmenuItem", "menu", {}, {{"Caption", "&File"}, {"DropdownCombo", true}}},
        {"Gap", "TTBKSeparatorItem", "FileMenu", {}, {{"Size", 5}}},
        {"Recent", "TTBKMRUListItem", "FileMenu", {}, {{"MRUList", "mrulist"}}},
        {"Big", "TTBKItem", "FileMenu", {}, {{"FontSize", "tbkfLarger"}, {"MinWidth", 90}}},
        {"mrulist", "TTBKMRUList", "", {}, {{"Prefix", "mru"}, {"MaxItems", 10}}},
    };
    THandlerTable handlers;
    TWinControl form;
    form.SetName("frameform");
    BuildForm(form, description, handlers);
    auto check = [](TWinControl& f) {
        auto* file = dynamic_cast<TTBKSubmenuItem*>(f.FindComponent("FileMenu"));
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(file->DropdownCombo());
        EXPECT_EQ(dynamic_cast<TTBKSeparatorItem*>(f.FindComponent("Gap"))->Size(), 5);
        auto* big = dynamic_cast<TTBKItem*>(f.FindComponent("Big"));
        EXPECT_EQ(big->FontSize(), tbkfLarger);
        EXPECT_EQ(big->MinWidth(), 90);
        auto* recent = dynamic_cast<TTBKMRUListItem*>(f.FindComponent("Recent"));
        EXPECT_EQ(recent->MRUList(), f.FindComponent("mrulist"));
        EXPECT_EQ(recent->LinkSubitems(), recent->MRUList()->Container());
    };
    check(form);
    TMemoryStream stream;
    WriteComponent(stream, form);
    stream.SetPosition(0);
    TWinControl copy;
    ReadComponent(stream, copy, &handlers);
    check(copy);
}

} // namespace
