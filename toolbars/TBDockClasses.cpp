// The published tables of docks, dockable windows, toolbars and tool
// windows, so that forms describe them by name.
#include "toolbars/TBDockClasses.h"

#include "platform/base/Properties.h"
#include "platform/gfx/ImageList.h"
#include "toolbars/TBClasses.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBToolWindow.h"
#include "toolbars/TBToolbar.h"

namespace {

const TIdentMap& dockPositionNames() {
    static const TIdentMap names{{dpTop, "dpTop"}, {dpBottom, "dpBottom"}, {dpLeft, "dpLeft"}, {dpRight, "dpRight"}};
    return names;
}

const TIdentMap& dockableToNames() {
    static const TIdentMap names{{DockableToBit(dpTop), "dpTop"},
                                 {DockableToBit(dpBottom), "dpBottom"},
                                 {DockableToBit(dpLeft), "dpLeft"},
                                 {DockableToBit(dpRight), "dpRight"}};
    return names;
}

const TIdentMap& boundLineNames() {
    static const TIdentMap names{{blTop, "blTop"}, {blBottom, "blBottom"}, {blLeft, "blLeft"}, {blRight, "blRight"}};
    return names;
}

const TIdentMap& dockModeNames() {
    static const TIdentMap names{{dmCanFloat, "dmCanFloat"},
                                 {dmCannotFloat, "dmCannotFloat"},
                                 {dmCannotFloatOrChangeDocks, "dmCannotFloatOrChangeDocks"}};
    return names;
}

const TIdentMap& dragHandleNames() {
    static const TIdentMap names{{dhDouble, "dhDouble"}, {dhNone, "dhNone"}, {dhSingle, "dhSingle"}};
    return names;
}

const TIdentMap& floatingModeNames() {
    static const TIdentMap names{{fmOnTopOfParentForm, "fmOnTopOfParentForm"}, {fmOnTopOfAllForms, "fmOnTopOfAllForms"}};
    return names;
}

const TIdentMap& borderStyleNames() {
    static const TIdentMap names{{bsNone, "bsNone"}, {bsSingle, "bsSingle"}};
    return names;
}

const TIdentMap& shrinkModeNames() {
    static const TIdentMap names{{tbsmNone, "tbsmNone"}, {tbsmWrap, "tbsmWrap"}, {tbsmChevron, "tbsmChevron"}};
    return names;
}

using W = TTBCustomDockableWindow;

} // namespace

void RegisterDockClasses() {
    static const bool registered = [] {
        RegisterPublishedClass<TTBBasicBackground, TComponent>("TTBBasicBackground");
        RegisterPublishedClass<TTBDock, TCustomControl>("TTBDock")
            .Boolean("AllowDrag", &TTBDock::AllowDrag, &TTBDock::SetAllowDrag, true)
            .Component<TTBBasicBackground>("Background", &TTBDock::Background, &TTBDock::SetBackground)
            .Boolean("BackgroundOnToolbars", &TTBDock::BackgroundOnToolbars, &TTBDock::SetBackgroundOnToolbars, true)
            .Set("BoundLines", &TTBDock::BoundLines, &TTBDock::SetBoundLines, 0, boundLineNames())
            .Boolean("FixAlign", &TTBDock::FixAlign, &TTBDock::SetFixAlign, false)
            .Boolean("LimitToOneRow", &TTBDock::LimitToOneRow, &TTBDock::SetLimitToOneRow, false)
            .Enum("Position", &TTBDock::Position, &TTBDock::SetPosition, dpTop, dockPositionNames())
            .Event("OnInsertRemoveBar", &TTBDock::OnInsertRemoveBar)
            .Event("OnRequestDock", &TTBDock::OnRequestDock)
            .Event("OnResize", &TTBDock::OnResize);
        RegisterPublishedClass<W, TCustomControl>("TTBCustomDockableWindow")
            .Boolean("ActivateParent", &W::ActivateParent, true)
            .Boolean("AutoResize", &W::AutoResize, &W::SetAutoResize, true)
            .Enum("BorderStyle", &W::BorderStyle, &W::SetBorderStyle, bsSingle, borderStyleNames())
            .Boolean("CloseButton", &W::CloseButton, &W::SetCloseButton, true)
            .Boolean("CloseButtonWhenDocked", &W::CloseButtonWhenDocked, &W::SetCloseButtonWhenDocked, false)
            .Component<TTBDock>("DefaultDock", &W::DefaultDock, &W::SetDefaultDock)
            .Set("DockableTo", &W::DockableTo, &W::DockableTo, kTBDockableToAll, dockableToNames())
            .Enum("DockMode", &W::DockMode, dmCanFloat, dockModeNames())
            .Integer("DockPos", &W::DockPos, &W::SetDockPos, -1)
            .Integer("DockRow", &W::DockRow, &W::SetDockRow, 0)
            .Enum("DragHandleStyle", &W::DragHandleStyle, &W::SetDragHandleStyle, dhSingle, dragHandleNames())
            .Enum("FloatingMode", &W::FloatingMode, &W::SetFloatingMode, fmOnTopOfParentForm, floatingModeNames())
            .Boolean("FullSize", &W::FullSize, &W::SetFullSize, false)
            .Boolean("HideWhenInactive", &W::HideWhenInactive, &W::SetHideWhenInactive, true)
            .Component<TTBDock>("LastDock", &W::LastDock, &W::SetLastDock)
            .StoredWhen([](W& w) { return !w.Docked(); })
            .Boolean("Resizable", &W::Resizable, &W::SetResizable, true)
            .Boolean("ShowCaption", &W::ShowCaption, &W::SetShowCaption, true)
            .Boolean("SmoothDrag", &W::SmoothDrag, true)
            .Boolean("UseLastDock", &W::UseLastDock, &W::SetUseLastDock, true)
            .Event("OnClose", &W::OnClose)
            .Event("OnCloseQuery", &W::OnCloseQuery)
            .Event("OnDockChanged", &W::OnDockChanged)
            .Event("OnDockChanging", &W::OnDockChanging)
            .Event("OnDockChangingHidden", &W::OnDockChangingHidden)
            .Event("OnMove", &W::OnMove)
            .Event("OnRecreated", &W::OnRecreated)
            .Event("OnRecreating", &W::OnRecreating)
            .Event("OnResize", &W::OnResize)
            .Event("OnVisibleChanged", &W::OnVisibleChanged);
        RegisterPublishedClass<TTBCustomToolbar, W>("TTBCustomToolbar")
            .Component<TImageList>("Images", &TTBCustomToolbar::Images, &TTBCustomToolbar::SetImages)
            .Component<TTBCustomItem>("LinkSubitems", &TTBCustomToolbar::LinkSubitems, &TTBCustomToolbar::SetLinkSubitems)
            .Boolean("MenuBar", &TTBCustomToolbar::MenuBar, &TTBCustomToolbar::SetMenuBar, false)
            .Set("Options", &TTBCustomToolbar::Options, &TTBCustomToolbar::SetOptions, 0, TBItemOptionNames())
            .Boolean("ProcessShortCuts", &TTBCustomToolbar::ProcessShortCuts, &TTBCustomToolbar::SetProcessShortCuts,
                     false)
            .Enum("ShrinkMode", &TTBCustomToolbar::ShrinkMode, &TTBCustomToolbar::SetShrinkMode, tbsmChevron,
                  shrinkModeNames())
            .Boolean("SystemFont", &TTBCustomToolbar::SystemFont, &TTBCustomToolbar::SetSystemFont, true)
            .Boolean("UpdateActions", &TTBCustomToolbar::UpdateActions, true)
            .Event("OnShortCut", &TTBCustomToolbar::OnShortCut);
        RegisterPublishedClass<TTBToolbar, TTBCustomToolbar>("TTBToolbar");
        RegisterPublishedClass<TTBToolWindow, W>("TTBToolWindow")
            .Integer("ClientAreaHeight", &TTBToolWindow::ClientAreaHeight, &TTBToolWindow::SetClientAreaHeight,
                     std::nullopt)
            .Integer("ClientAreaWidth", &TTBToolWindow::ClientAreaWidth, &TTBToolWindow::SetClientAreaWidth,
                     std::nullopt)
            .Integer("MaxClientHeight", &TTBToolWindow::MaxClientHeight, 0)
            .Integer("MaxClientWidth", &TTBToolWindow::MaxClientWidth, 0)
            .Integer("MinClientHeight", &TTBToolWindow::MinClientHeight, 32)
            .Integer("MinClientWidth", &TTBToolWindow::MinClientWidth, 32);
        return true;
    }();
    (void)registered;
}
