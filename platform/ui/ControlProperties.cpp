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

const TIdentMap& DragKindNames() {
    static const TIdentMap names{{dkDrag, "dkDrag"}, {dkDock, "dkDock"}};
    return names;
}

const TIdentMap& AnchorNames() {
    static const TIdentMap names{{akLeft, "akLeft"}, {akTop, "akTop"}, {akRight, "akRight"}, {akBottom, "akBottom"}};
    return names;
}

const TIdentMap& BiDiModeNames() {
    static const TIdentMap names{{bdLeftToRight, "bdLeftToRight"},
                                 {bdRightToLeft, "bdRightToLeft"},
                                 {bdRightToLeftNoAlign, "bdRightToLeftNoAlign"},
                                 {bdRightToLeftReadingOnly, "bdRightToLeftReadingOnly"}};
    return names;
}

void RegisterControlClasses() {
    static const bool registered = [] {
        RegisterGraphicsClasses();
        RegisterPublishedClass<TSizeConstraints, TPersistent>("TSizeConstraints")
            .Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0)
            .Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
            .Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
            .Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0);
        // Bounds are always stored.  A colour, font or reading order (and
        // a 3-D look, below) that follows the parent's is not stored; one
        // that does not is stored whole, since it is read into a control
        // that may follow another parent.
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
            .Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, akLeftTop, AnchorNames())
            .Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, std::nullopt, BiDiModeNames())
            .StoredWhen([](TControl& c) { return !c.ParentBiDiMode(); })
            .Object("Constraints", [](TControl& c) -> TSizeConstraints& { return c.Constraints(); })
            .StoredWhen([](TControl& c) { return !c.Constraints().Empty(); })
            .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
            .Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag)
            .Enum("DragKind", &TControl::DragKind, &TControl::SetDragKind, dkDrag, DragKindNames())
            .Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, dmManual, DragModeNames())
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Object("Font", [](TControl& c) -> TFont& { return c.Font(); })
            .StoredWhen([](TControl& c) { return !c.ParentFont(); })
            .String("Hint", &TControl::Hint, &TControl::SetHint)
            .Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true)
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
            .Event("OnStartDrag", &TControl::OnStartDrag)
            .Parenting([](TControl& c) -> TComponent* { return c.Parent(); },
                       [](TControl& c, TComponent* parent) { c.SetParent(dynamic_cast<TWinControl*>(parent)); });
        // A window control with a parent always stores its place in the
        // Tab walk, as it may differ from the order the stream makes the
        // controls in.
        RegisterPublishedClass<TWinControl, TControl>("TWinControl")
            .Boolean("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D, std::nullopt)
            .StoredWhen([](TWinControl& c) { return !c.ParentCtl3D(); })
            .Boolean("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite, false)
            .Boolean("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D, true)
            .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
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
