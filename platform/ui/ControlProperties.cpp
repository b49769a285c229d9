#include "platform/ui/ControlProperties.h"

#include "platform/base/Properties.h"
#include "platform/gfx/GraphicsProperties.h"
#include "platform/ui/Control.h"
#include "platform/ui/PopupMenu.h"

const TIdentMap& AlignNames() {
    static const TIdentMap names{{alNone, "alNone"}, {alTop, "alTop"},     {alBottom, "alBottom"},
                                 {alLeft, "alLeft"}, {alRight, "alRight"}, {alClient, "alClient"}};
    return names;
}

const TIdentMap& DragModeNames() {
    static const TIdentMap names{{dmManual, "dmManual"}, {dmAutomatic, "dmAutomatic"}};
    return names;
}

void RegisterControlClasses() {
    static const bool registered = [] {
        RegisterGraphicsClasses();
        // Bounds are always stored.  A colour or font that follows the
        // parent's is not stored; one that does not is stored whole, since
        // it is read into a control that may follow another parent.
        RegisterPublishedClass<TControl, TComponent>("TControl")
            .Integer("Left", &TControl::Left, &TControl::SetLeft, std::nullopt)
            .Integer("Top", &TControl::Top, &TControl::SetTop, std::nullopt)
            .Integer("Width", &TControl::Width, &TControl::SetWidth, std::nullopt)
            .Integer("Height", &TControl::Height, &TControl::SetHeight, std::nullopt)
            .String("Caption", &TControl::Caption, &TControl::SetCaption)
            .Integer("Color", &TControl::Color, &TControl::SetColor, std::nullopt)
            .Names(ColorNames())
            .StoredWhen([](TControl& c) { return !c.ParentColor(); })
            .Enum("Align", &TControl::Align, &TControl::SetAlign, alNone, AlignNames())
            .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
            .Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag)
            .Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, dmManual, DragModeNames())
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Object("Font", [](TControl& c) -> TFont& { return c.Font(); })
            .StoredWhen([](TControl& c) { return !c.ParentFont(); })
            .String("Hint", &TControl::Hint, &TControl::SetHint)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
            .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
            .Component<TCustomPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
            .StoredWhen([](TControl& c) { return !c.ParentShowHint(); })
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Event("OnClick", &TControl::OnClick)
            .Event("OnContextPopup", &TControl::OnContextPopup)
            .Event("OnDblClick", &TControl::OnDblClick)
            .Event("OnDragDrop", &TControl::OnDragDrop)
            .Event("OnDragOver", &TControl::OnDragOver)
            .Event("OnEndDrag", &TControl::OnEndDrag)
            .Event("OnMouseDown", &TControl::OnMouseDown)
            .Event("OnMouseEnter", &TControl::OnMouseEnter)
            .Event("OnMouseLeave", &TControl::OnMouseLeave)
            .Event("OnMouseMove", &TControl::OnMouseMove)
            .Event("OnMouseUp", &TControl::OnMouseUp)
            .Parenting([](TControl& c) -> TComponent* { return c.Parent(); },
                       [](TControl& c, TComponent* parent) { c.SetParent(dynamic_cast<TWinControl*>(parent)); });
        RegisterPublishedClass<TWinControl, TControl>("TWinControl")
            .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
            .Event("OnEnter", &TWinControl::OnEnter)
            .Event("OnExit", &TWinControl::OnExit)
            .Event("OnKeyDown", &TWinControl::OnKeyDown)
            .Event("OnKeyPress", &TWinControl::OnKeyPress)
            .Event("OnKeyUp", &TWinControl::OnKeyUp);
        RegisterPublishedClass<TCustomControl, TWinControl>("TCustomControl");
        RegisterPublishedClass<TGraphicControl, TControl>("TGraphicControl");
        return true;
    }();
    (void)registered;
}
