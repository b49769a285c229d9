#include "toolbars/themes/TBKClasses.h"

#include "platform/base/Properties.h"
#include "toolbars/TBClasses.h"
#include "toolbars/themes/TBKEditItem.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKMDIHandler.h"
#include "toolbars/themes/TBKToolbar.h"

namespace {

const TIdentMap& fontSizeNames() {
    static const TIdentMap names{{tbkfNormal, "tbkfNormal"}, {tbkfSmaller, "tbkfSmaller"}, {tbkfLarger, "tbkfLarger"}};
    return names;
}

const TIdentMap& layoutNames() {
    static const TIdentMap names{{tbklAuto, "tbklAuto"}, {tbklGlyphLeft, "tbklGlyphLeft"}, {tbklGlyphTop, "tbklGlyphTop"}};
    return names;
}

} // namespace

void RegisterThemedToolbarClasses() {
    static const bool registered = [] {
        RegisterToolbarClasses();
        using I = TTBKCustomItem;
        RegisterPublishedClass<I, TTBCustomItem>("TTBKCustomItem")
            .Enum("FontSize", &I::FontSize, &I::SetFontSize, tbkfNormal, fontSizeNames())
            .Enum("Layout", &I::Layout, &I::SetLayout, tbklAuto, layoutNames())
            .Integer("MinHeight", &I::MinHeight, &I::SetMinHeight, 0)
            .Integer("MinWidth", &I::MinWidth, &I::SetMinWidth, 0)
            .Boolean("Stretch", &I::Stretch, &I::SetStretch, false);
        RegisterPublishedClass<TTBKItem, I>("TTBKItem");
        RegisterPublishedClass<TTBKSubmenuItem, I>("TTBKSubmenuItem")
            .Boolean("AlwaysSelectFirst", &I::AlwaysSelectFirst, false)
            .Boolean("DropdownCombo", &TTBKSubmenuItem::DropdownCombo, &TTBKSubmenuItem::SetDropdownCombo, false)
            .Boolean("ToolBoxPopup", &I::ToolBoxPopup, false);
        RegisterPublishedClass<TTBKSeparatorItem, TTBSeparatorItem>("TTBKSeparatorItem")
            .Integer("Size", &TTBKSeparatorItem::Size, &TTBKSeparatorItem::SetSize, -1);
        RegisterPublishedClass<TTBKEditItem, TTBEditItem>("TTBKEditItem")
            .Boolean("ReadOnly", &TTBKEditItem::ReadOnly, false)
            .Event("OnChange", &TTBKEditItem::OnChange);
        RegisterPublishedClass<TTBKMRUList, TTBMRUList>("TTBKMRUList");
        RegisterPublishedClass<TTBKMRUListItem, I>("TTBKMRUListItem")
            .Component<TTBMRUList>("MRUList", &TTBKMRUListItem::MRUList, &TTBKMRUListItem::SetMRUList);
        RegisterPublishedClass<TTBKToolbar, TTBCustomToolbar>("TTBKToolbar");
        RegisterPublishedClass<TTBKToolWindow, TTBToolWindow>("TTBKToolWindow");
        RegisterPublishedClass<TTBKMDIHandler, TComponent>("TTBKMDIHandler")
            .Component<TTBCustomToolbar>("Toolbar", &TTBKMDIHandler::Toolbar, &TTBKMDIHandler::SetToolbar);
        return true;
    }();
    (void)registered;
}
