#include "toolbars/TBClasses.h"

#include "platform/base/Properties.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Actions.h"
#include "platform/ui/ControlProperties.h"
#include "toolbars/TBDockClasses.h"
#include "toolbars/TBEditAction.h"
#include "toolbars/TBEditItem.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBItemActionLink.h"
#include "toolbars/TBMRUList.h"

namespace {

const TIdentMap& displayModeNames() {
    static const TIdentMap names{{nbdmDefault, "nbdmDefault"},
                                 {nbdmTextOnly, "nbdmTextOnly"},
                                 {nbdmTextOnlyInMenus, "nbdmTextOnlyInMenus"},
                                 {nbdmImageAndText, "nbdmImageAndText"}};
    return names;
}

// A value linked to the item's action is the action's: a form does not
// store it, the action brings it back.
template <bool (TTBCustomItemActionLink::*linked)()> bool notLinked(TTBCustomItem& item) {
    TTBCustomItemActionLink* link = item.ActionLink();
    return link == nullptr || !(link->*linked)();
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

// Likewise for the edit item's own values linked to an edit action.
template <bool (TTBEditItemActionLink::*linked)()> bool notEditLinked(TTBEditItem& item) {
    auto* link = dynamic_cast<TTBEditItemActionLink*>(item.ActionLink());
    return link == nullptr || !(link->*linked)();
}

} // namespace

void RegisterToolbarClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        RegisterActionClasses();
        RegisterPublishedClass<TTBCustomItem, TComponent>("TTBCustomItem")
            .Component<TBasicAction>("Action", &TTBCustomItem::Action, &TTBCustomItem::SetAction)
            .Boolean("AutoCheck", &TTBCustomItem::AutoCheck, false)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsAutoCheckLinked>)
            .String("Caption", &TTBCustomItem::Caption, &TTBCustomItem::SetCaption)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsCaptionLinked>)
            .Boolean("Checked", &TTBCustomItem::Checked, &TTBCustomItem::SetChecked, false)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsCheckedLinked>)
            .Enum("DisplayMode", &TTBCustomItem::DisplayMode, &TTBCustomItem::SetDisplayMode, nbdmDefault,
                  displayModeNames())
            .Boolean("Enabled", &TTBCustomItem::Enabled, &TTBCustomItem::SetEnabled, true)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsEnabledLinked>)
            .Integer("GroupIndex", &TTBCustomItem::GroupIndex, &TTBCustomItem::SetGroupIndex, 0)
            .Integer("HelpContext", &TTBCustomItem::HelpContext, 0)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsHelpContextLinked>)
            .String("Hint", &TTBCustomItem::Hint)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsHintLinked>)
            .Integer("ImageIndex", &TTBCustomItem::ImageIndex, &TTBCustomItem::SetImageIndex, -1)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsImageIndexLinked>)
            .Component<TImageList>("Images", &TTBCustomItem::Images, &TTBCustomItem::SetImages)
            .Boolean("InheritOptions", &TTBCustomItem::InheritOptions, &TTBCustomItem::SetInheritOptions, true)
            .Set("MaskOptions", &TTBCustomItem::MaskOptions, &TTBCustomItem::SetMaskOptions, 0, TBItemOptionNames())
            .Set("Options", &TTBCustomItem::Options, &TTBCustomItem::SetOptions, 0, TBItemOptionNames())
            .Integer("ShortCut", &TTBCustomItem::ShortCut, 0)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsShortCutLinked>)
            .Component<TImageList>("SubMenuImages", &TTBCustomItem::SubMenuImages, &TTBCustomItem::SetSubMenuImages)
            .Component<TTBCustomItem>("LinkSubitems", &TTBCustomItem::LinkSubitems, &TTBCustomItem::SetLinkSubitems)
            // A link into a component's own unnamed items (a recent list's
            // entries) is made again by that component, not stored.
            .StoredWhen([](TTBCustomItem& item) {
                return item.LinkSubitems() == nullptr || !item.LinkSubitems()->Name().empty();
            })
            .Boolean("Visible", &TTBCustomItem::Visible, &TTBCustomItem::SetVisible, true)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsVisibleLinked>)
            .Event("OnClick", &TTBCustomItem::OnClick)
            .StoredWhen(notLinked<&TTBCustomItemActionLink::IsOnExecuteLinked>)
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
            .StoredWhen(notEditLinked<&TTBEditItemActionLink::IsEditCaptionLinked>)
            .Set("EditOptions", &TTBEditItem::EditOptions, &TTBEditItem::SetEditOptions, 0, editOptionNames())
            .StoredWhen(notEditLinked<&TTBEditItemActionLink::IsEditOptionsLinked>)
            .Integer("EditWidth", &TTBEditItem::EditWidth, &TTBEditItem::SetEditWidth, 64)
            .StoredWhen(notEditLinked<&TTBEditItemActionLink::IsEditWidthLinked>)
            .Integer("MaxLength", &TTBEditItem::MaxLength, &TTBEditItem::SetMaxLength, 0)
            .String("Text", &TTBEditItem::Text, &TTBEditItem::SetText)
            .StoredWhen(notEditLinked<&TTBEditItemActionLink::IsTextLinked>)
            .Event("OnAcceptText", &TTBEditItem::OnAcceptText)
            .Event("OnBeginEdit", &TTBEditItem::OnBeginEdit);
        RegisterPublishedClass<TTBEditAction, TAction>("TTBEditAction")
            .String("EditCaption", &TTBEditAction::EditCaption, &TTBEditAction::SetEditCaption)
            .Set("EditOptions", &TTBEditAction::EditOptions, &TTBEditAction::SetEditOptions, 0, editOptionNames())
            .Integer("EditWidth", &TTBEditAction::EditWidth, &TTBEditAction::SetEditWidth, 64)
            .String("Text", &TTBEditAction::Text, &TTBEditAction::SetText)
            .Event("OnAcceptText", &TTBEditAction::OnAcceptText);
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
