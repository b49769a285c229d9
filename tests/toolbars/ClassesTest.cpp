// Menus described by a form: items nest in their parents, events bind to
// the form's handlers, and the whole tree survives a round trip through
// the component stream.

#include "toolbars/TBClasses.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBMRUList.h"
#include "tests/toolbars/ToolbarTestSupport.h"

#include "platform/base/ComponentStream.h"
#include "platform/base/EventHandlers.h"
#include "platform/base/Stream.h"
#include "platform/ui/FormBuilder.h"

#include <gtest/gtest.h>

namespace {

// The tree under an item as text: captions, nesting, a few values.
std::string describe(const TTBCustomItem* item) {
    std::string text = item->Name();
    text += '(';
    text += item->Caption();
    if (item->ShortCut != 0) {
        text += ' ';
        text += ShortCutToText(item->ShortCut);
    }
    if (item->Options() != 0) {
        text += " options=";
        text += std::to_string(item->Options());
    }
    if (auto* edit = dynamic_cast<const TTBEditItem*>(item)) {
        text += " edit=";
        text += edit->EditCaption();
        text += '/';
        text += std::to_string(edit->EditWidth());
    }
    for (int i = 0; i < item->Count(); ++i) {
        text += ' ';
        text += describe(item->ItemAt(i));
    }
    text += ')';
    return text;
}

TEST(Classes, AFormDescribesAMenuThatStreamsAndRunsItsHandlers) {
    RegisterToolbarClasses();
    std::vector<std::string> clicked;
    THandlerTable handlers;
    handlers.Add("ItemClick", std::function<void(TTBCustomItem*)>(
                                  [&](TTBCustomItem* sender) { clicked.push_back(sender->Name()); }));
    TFormDescription description;
    description.Components = {
        {"menu", "TTBRootItem"},
        {"FileMenu", "TTBCustomItem", "menu", {}, {{"Caption", "&File"}, {"Options", static_cast<int>(tboDefault)}}},
        {"OpenItem",
         "TTBCustomItem",
         "FileMenu",
         {},
         {{"Caption", "&Open..."}, {"ShortCut", static_cast<int>(ShortCut('O', ssCtrl))}},
         {{"OnClick", "ItemClick"}}},
        {"Sep1", "TTBSeparatorItem", "FileMenu", {}, {{"Blank", true}}},
        {"FindItem", "TTBEditItem", "FileMenu", {}, {{"EditCaption", "Find:"}, {"EditWidth", 100}}},
        {"EditMenu", "TTBCustomItem", "menu", {}, {{"Caption", "&Edit"}, {"Enabled", false}}},
        {"mrulist", "TTBMRUList", "", {}, {{"Prefix", "mru"}, {"MaxItems", 10}, {"AddFullPath", false}}},
    };
    TWinControl form;
    form.SetName("frameform");
    BuildForm(form, description, handlers);
    auto* menu = dynamic_cast<TTBCustomItem*>(form.FindComponent("menu"));
    ASSERT_NE(menu, nullptr);
    const std::string expected =
        "menu( FileMenu(&File options=1 OpenItem(&Open... Ctrl+O) Sep1() FindItem( edit=Find:/100)) EditMenu(&Edit))";
    EXPECT_EQ(describe(menu), expected);
    EXPECT_TRUE(dynamic_cast<TTBSeparatorItem*>(form.FindComponent("Sep1"))->Blank());
    auto* mru = dynamic_cast<TTBMRUList*>(form.FindComponent("mrulist"));
    ASSERT_NE(mru, nullptr);
    EXPECT_EQ(mru->Prefix, "mru");
    EXPECT_EQ(mru->MaxItems(), 10);

    // The shortcut runs the bound handler.
    EXPECT_TRUE(menu->HandleShortCut(ShortCut('O', ssCtrl)));
    EXPECT_EQ(clicked, std::vector<std::string>{"OpenItem"});

    TMemoryStream stream;
    WriteComponent(stream, form);
    stream.SetPosition(0);
    TWinControl copy;
    ReadComponent(stream, copy, &handlers);
    auto* copied = dynamic_cast<TTBCustomItem*>(copy.FindComponent("menu"));
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(describe(copied), expected);
    EXPECT_FALSE(dynamic_cast<TTBCustomItem*>(copy.FindComponent("EditMenu"))->Enabled());
    EXPECT_FALSE(dynamic_cast<TTBMRUList*>(copy.FindComponent("mrulist"))->AddFullPath);
    EXPECT_TRUE(copied->HandleShortCut(ShortCut('O', ssCtrl)));
    EXPECT_EQ(clicked, (std::vector<std::string>{"OpenItem", "OpenItem"}));
}

} // namespace
