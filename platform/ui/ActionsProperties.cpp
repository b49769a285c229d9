#include "platform/base/Properties.h"
#include "platform/ui/Actions.h"

void RegisterActionClasses() {
    static const bool registered = [] {
        RegisterBaseClasses();
        RegisterPublishedClass<TBasicAction, TComponent>("TBasicAction");
        RegisterPublishedClass<TCustomAction, TBasicAction>("TCustomAction");
        RegisterPublishedClass<TAction, TCustomAction>("TAction")
            .Boolean("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck, false)
            .String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption)
            .Boolean("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked, false)
            .Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled, true)
            .Integer("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext, 0)
            .String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint)
            .Integer("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex, -1)
            .Integer("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut, 0)
            .Boolean("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible, true)
            .Event("OnExecute", &TBasicAction::OnExecute)
            .Event("OnHint", &TCustomAction::OnHint)
            .Event("OnUpdate", &TBasicAction::OnUpdate);
        return true;
    }();
    (void)registered;
}
