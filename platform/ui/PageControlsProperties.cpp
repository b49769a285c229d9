#include "platform/base/Properties.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/StandardControls.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ValueListEditor.h"

namespace {
const TIdentMap kTabPositionNames{{tpTop, "tpTop"}, {tpBottom, "tpBottom"}, {tpLeft, "tpLeft"}, {tpRight, "tpRight"}};
const TIdentMap kGridOptionNames{{goFixedVertLine, "goFixedVertLine"}, {goFixedHorzLine, "goFixedHorzLine"},
                                 {goVertLine, "goVertLine"},           {goHorzLine, "goHorzLine"},
                                 {goColSizing, "goColSizing"},         {goEditing, "goEditing"},
                                 {goAlwaysShowEditor, "goAlwaysShowEditor"}, {goThumbTracking, "goThumbTracking"}};
const TIdentMap kDisplayOptionNames{
    {doColumnTitles, "doColumnTitles"}, {doAutoColResize, "doAutoColResize"}, {doKeyColFixed, "doKeyColFixed"}};
} // namespace

void RegisterPageControlClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        auto tabs = RegisterPublishedClass<TCustomTabControl, TWinControl>("TCustomTabControl");
        TabStopEntry(OwnColorEntry(tabs))
            .Boolean("HotTrack", &TCustomTabControl::HotTrack, &TCustomTabControl::SetHotTrack, false)
            .Component<TImageList>("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages)
            .Boolean("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine, false)
            .Enum("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition, tpTop,
                  kTabPositionNames)
            .Event("OnChange", &TCustomTabControl::OnChange)
            .Event("OnChanging", &TCustomTabControl::OnChanging)
            .Event("OnGetImageIndex", &TCustomTabControl::OnGetImageIndex);
        RegisterPublishedClass<TTabControl, TCustomTabControl>("TTabControl")
            .Object("Tabs", [](TTabControl& c) -> TStrings& { return c.Tabs(); })
            .Integer("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex, std::nullopt)
            .StoredWhen([](TTabControl& c) { return c.TabIndex() != (c.Tabs().Count() > 0 ? 0 : -1); });
        // A page is shown by its control (the active page), never by what a
        // stream says.
        RegisterPublishedClass<TTabSheet, TCustomControl>("TTabSheet")
            .Integer("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, -1)
            .Boolean("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, true)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, false)
            .StoredWhen([](TTabSheet& sheet) { return sheet.PageControl() == nullptr; });
        RegisterPublishedClass<TPageControl, TCustomTabControl>("TPageControl")
            .Component<TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
            .StoredWhen([](TPageControl& c) { return c.PageCount() > 0 && c.ActivePage() != c.Pages(0); });
        RegisterPublishedClass<TStatusBar, TCustomControl>("TStatusBar")
            .Enum("Align", &TControl::Align, &TControl::SetAlign, alBottom, AlignNames())
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
            .Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, false)
            .String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
            .Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip, true)
            .Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
        auto grid = RegisterPublishedClass<TValueListEditor, TWinControl>("TValueListEditor");
        TabStopEntry(OwnColorEntry(grid))
            .Integer("DefaultRowHeight", &TValueListEditor::DefaultRowHeight, &TValueListEditor::SetDefaultRowHeight, 18)
            .Set("DisplayOptions", &TValueListEditor::DisplayOptions, &TValueListEditor::SetDisplayOptions,
                 doColumnTitles | doAutoColResize | doKeyColFixed, kDisplayOptionNames)
            .Set("Options", &TValueListEditor::Options, &TValueListEditor::SetOptions,
                 goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing | goEditing |
                     goAlwaysShowEditor | goThumbTracking,
                 kGridOptionNames)
            .Object("Strings", [](TValueListEditor& g) -> TStrings& { return g.Strings(); })
            .Object("TitleCaptions", [](TValueListEditor& g) -> TStrings& { return g.TitleCaptions(); })
            .Event("OnEditButtonClick", &TValueListEditor::OnEditButtonClick)
            .Event("OnGetPickList", &TValueListEditor::OnGetPickList)
            .Event("OnSelectCell", &TValueListEditor::OnSelectCell)
            .Event("OnSetEditText", &TValueListEditor::OnSetEditText)
            .Event("OnStringsChange", &TValueListEditor::OnStringsChange)
            .Event("OnValidate", &TValueListEditor::OnValidate);
        return true;
    }();
    (void)registered;
}
