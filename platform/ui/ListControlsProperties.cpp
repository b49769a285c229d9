#include "platform/base/Properties.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/StandardControls.h"

namespace {
const TIdentMap kComboStyleNames{{csDropDown, "csDropDown"}, {csSimple, "csSimple"}, {csDropDownList, "csDropDownList"}};
} // namespace

void RegisterListControlClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        // The items before the index that selects one of them.
        auto lists = RegisterPublishedClass<TCustomListControl, TWinControl>("TCustomListControl");
        TabStopEntry(OwnColorEntry(lists))
            .Boolean("Sorted", &TCustomListControl::Sorted, &TCustomListControl::SetSorted, false)
            .Object("Items", [](TCustomListControl& c) -> TStrings& { return c.Items(); })
            .Integer("ItemIndex", &TCustomListControl::ItemIndex, &TCustomListControl::SetItemIndex, -1);
        RegisterPublishedClass<TCustomComboBox, TCustomListControl>("TCustomComboBox")
            .Integer("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 8)
            .Integer("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength, 0)
            .Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, csDropDown, kComboStyleNames)
            .String("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText)
            .StoredWhen([](TCustomComboBox&) { return false; })
            .Event("OnChange", &TCustomComboBox::OnChange)
            .Event("OnCloseUp", &TCustomComboBox::OnCloseUp)
            .Event("OnDropDown", &TCustomComboBox::OnDropDown)
            .Event("OnSelect", &TCustomComboBox::OnSelect);
        RegisterPublishedClass<TComboBox, TCustomComboBox>("TComboBox");
        RegisterPublishedClass<TCustomListBox, TCustomListControl>("TCustomListBox")
            .Enum("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle, bsSingle,
                  BorderStyleNames())
            .Boolean("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect, true)
            .Integer("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight, 16)
            .Boolean("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect, false);
        RegisterPublishedClass<TListBox, TCustomListBox>("TListBox");
        return true;
    }();
    (void)registered;
}
