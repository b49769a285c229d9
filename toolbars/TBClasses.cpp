#include "toolbars/TBClasses.h"

#include "platform/base/Properties.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ControlProperties.h"
#include "toolbars/TBDockClasses.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

namespace {

const TIdentMap& displayModeNames() {
    static const TIdentMap names{{nbdmDefault, "nbdmDefault"},
                                 {nbdmTextOnly, "nbdmTextOnly"},
                                 {nbdmTextOnlyInMenus, "nbdmTextOnlyInMenus"},
                                 {nbdmImageAndText, "nbdmImageAndText"}};
    return names;
}

} // namespace

const TIdentMap& TBItemOptionNames() {
    static const TIdentMap names{{tboDefault, "tboDefault"},
                                 {tboDropdownArrow, "tboDropdownArrow"},
                                 {tboImageAboveCaption, "tboImageAboveCaption"},
                                 {tboLongHintInMenuOnly, "tboLongHintInMenuOnly"},
                                 {tboShowHint, "tboShowHint"},
                                 {tboToolbarStyle, "tboToolbarStyle"},
                                 {tboToolbarSize, "tboToolbarSize"}};
    return names;
}

namespace {

const TIdentMap& charCaseNames() {
    static const TIdentMap names{{ecNormal, "ecNormal"}, {ecUpperCase, "ecUpperCase"}, {ecLowerCase, "ecLowerCase"}};
    return names;
}

const TIdentMap& editOptionNames() {
    static const TIdentMap names{{tboUseEditWhenVertical, "tboUseEditWhenVertical"}};
    return names;
}

} // namespace

void RegisterToolbarClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        RegisterPublishedClass<TTBCustomItem, TComponent>("TTBCustomItem")
            .Boolean("AutoCheck", &TTBCustomItem::AutoCheck, false)
            .String("Caption", &TTBCustomItem::Caption, &TTBCustomItem::SetCaption)
            .Boolean("Checked", &TTBCustomItem::Checked, &TTBCustomItem::SetChecked, false)
            .Enum("DisplayMode", &TTBCustomItem::DisplayMode, &TTBCustomItem::SetDisplayMode, nbdmDefault,
                  displayModeNames())
            .Boolean("Enabled", &TTBCustomItem::Enabled, &TTBCustomItem::SetEnabled, true)
            .Integer("GroupIndex", &TTBCustomItem::GroupIndex, &TTBCustomItem::SetGroupIndex, 0)
            .Integer("HelpContext", &TTBCustomItem::HelpContext, 0)
            .String("Hint", &TTBCustomItem::Hint)
            .Integer("ImageIndex", &TTBCustomItem::ImageIndex, &TTBCustomItem::SetImageIndex, -1)
            .Component<TImageList>("Images", &TTBCustomItem::Images, &TTBCustomItem::SetImages)
            .Boolean("InheritOptions", &TTBCustomItem::InheritOptions, &TTBCustomItem::SetInheritOptions, true)
            .Set("MaskOptions", &TTBCustomItem::MaskOptions, &TTBCustomItem::SetMaskOptions, 0, TBItemOptionNames())
            .Set("Options", &TTBCustomItem::Options, &TTBCustomItem::SetOptions, 0, TBItemOptionNames())
            .Integer("ShortCut", &TTBCustomItem::ShortCut, 0)
            .Component<TImageList>("SubMenuImages", &TTBCustomItem::SubMenuImages, &TTBCustomItem::SetSubMenuImages)
            .Component<TTBCustomItem>("LinkSubitems", &TTBCustomItem::LinkSubitems, &TTBCustomItem::SetLinkSubitems)
            // A link into a component's own unnamed items (a recent list's
            // entries) is made again by that component, not stored.
            .StoredWhen([](TTBCustomItem& item) {
                return item.LinkSubitems() == nullptr || !item.LinkSubitems()->Name().empty();
            })
            .Boolean("Visible", &TTBCustomItem::Visible, &TTBCustomItem::SetVisible, true)
            .Event("OnClick", &TTBCustomItem::OnClick)
            .Event("OnPopup", &TTBCustomItem::OnPopup)
            .Event("OnSelect", &TTBCustomItem::OnSelect)
            .Parenting(&TTBCustomItem::GetParentComponent, &TTBCustomItem::SetParentComponent);
        RegisterPublishedClass<TTBRootItem, TTBCustomItem>("TTBRootItem");
        RegisterPublishedClass<TTBSeparatorItem, TTBCustomItem>("TTBSeparatorItem")
            .Boolean("Blank", &TTBSeparatorItem::Blank, &TTBSeparatorItem::SetBlank, false);
        RegisterPublishedClass<TTBControlItem, TTBCustomItem>("TTBControlItem")
            .Component<TControl>("Control", &TTBControlItem::Control, &TTBControlItem::SetControl);
        RegisterPublishedClass<TTBEditItem, TTBCustomItem>("TTBEditItem")
            .Enum("CharCase", &TTBEditItem::CharCase, &TTBEditItem::SetCharCase, ecNormal, charCaseNames())
            .String("EditCaption", &TTBEditItem::EditCaption, &TTBEditItem::SetEditCaption)
            .Set("EditOptions", &TTBEditItem::EditOptions, &TTBEditItem::SetEditOptions, 0, editOptionNames())
            .Integer("EditWidth", &TTBEditItem::EditWidth, &TTBEditItem::SetEditWidth, 64)
            .Integer("MaxLength", &TTBEditItem::MaxLength, &TTBEditItem::SetMaxLength, 0)
            .String("Text", &TTBEditItem::Text, &TTBEditItem::SetText)
            .Event("OnAcceptText", &TTBEditItem::OnAcceptText)
            .Event("OnBeginEdit", &TTBEditItem::OnBeginEdit);
        RegisterPublishedClass<TTBMRUList, TComponent>("TTBMRUList")
            .Boolean("AddFullPath", &TTBMRUList::AddFullPath, true)
            .Boolean("HidePathExtension", &TTBMRUList::HidePathExtension, &TTBMRUList::SetHidePathExtension, true)
            .Integer("MaxItems", &TTBMRUList::MaxItems, &TTBMRUList::SetMaxItems, 4)
            .String("Prefix", &TTBMRUList::Prefix, &TTBMRUList::Prefix, std::string("MRU"))
            .Event("OnChange", &TTBMRUList::OnChange)
            .Event("OnClick", &TTBMRUList::OnClick);
        RegisterDockClasses();
        return true;
    }();
    (void)registered;
}
