#include "platform/base/Properties.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/ListView.h"
#include "platform/ui/StandardControls.h"
#include "platform/ui/TreeView.h"

namespace {
const TIdentMap kSortTypeNames{{stNone, "stNone"}, {stData, "stData"}, {stText, "stText"}, {stBoth, "stBoth"}};
const TIdentMap kViewStyleNames{{vsIcon, "vsIcon"}, {vsSmallIcon, "vsSmallIcon"}, {vsList, "vsList"}, {vsReport, "vsReport"}};
} // namespace

void RegisterItemViewClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        auto tree = RegisterPublishedClass<TCustomTreeView, TWinControl>("TCustomTreeView");
        TabStopEntry(OwnColorEntry(tree))
            .Boolean("AutoExpand", &TCustomTreeView::AutoExpand, &TCustomTreeView::SetAutoExpand, false)
            .Enum("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle, bsSingle,
                  BorderStyleNames())
            .Boolean("HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection, true)
            .Boolean("HotTrack", &TCustomTreeView::HotTrack, &TCustomTreeView::SetHotTrack, false)
            .Component<TImageList>("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages)
            .Integer("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent, 19)
            .Boolean("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly, false)
            .Boolean("RightClickSelect", &TCustomTreeView::RightClickSelect, &TCustomTreeView::SetRightClickSelect, false)
            .Boolean("RowSelect", &TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect, false)
            .Boolean("ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons, true)
            .Boolean("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines, true)
            .Boolean("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot, true)
            .Enum("SortType", &TCustomTreeView::SortType, &TCustomTreeView::SetSortType, stNone, kSortTypeNames)
            .Boolean("ToolTips", &TCustomTreeView::ToolTips, &TCustomTreeView::SetToolTips, true)
            .Event("OnChange", &TCustomTreeView::OnChange)
            .Event("OnChanging", &TCustomTreeView::OnChanging)
            .Event("OnCollapsed", &TCustomTreeView::OnCollapsed)
            .Event("OnCollapsing", &TCustomTreeView::OnCollapsing)
            .Event("OnCompare", &TCustomTreeView::OnCompare)
            .Event("OnCustomDraw", &TCustomTreeView::OnCustomDraw)
            .Event("OnCustomDrawItem", &TCustomTreeView::OnCustomDrawItem)
            .Event("OnDeletion", &TCustomTreeView::OnDeletion)
            .Event("OnEdited", &TCustomTreeView::OnEdited)
            .Event("OnEditing", &TCustomTreeView::OnEditing)
            .Event("OnExpanded", &TCustomTreeView::OnExpanded)
            .Event("OnExpanding", &TCustomTreeView::OnExpanding)
            .Event("OnGetImageIndex", &TCustomTreeView::OnGetImageIndex)
            .Event("OnGetSelectedIndex", &TCustomTreeView::OnGetSelectedIndex);
        RegisterPublishedClass<TTreeView, TCustomTreeView>("TTreeView");

        auto list = RegisterPublishedClass<TCustomListView, TWinControl>("TCustomListView");
        TabStopEntry(OwnColorEntry(list))
            .Boolean("AutoArrange", &TCustomListView::AutoArrange, &TCustomListView::SetAutoArrange, true)
            .Enum("BorderStyle", &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle, bsSingle,
                  BorderStyleNames())
            .Boolean("ColumnClick", &TCustomListView::ColumnClick, &TCustomListView::SetColumnClick, true)
            .Boolean("HideSelection", &TCustomListView::HideSelection, &TCustomListView::SetHideSelection, true)
            .Component<TImageList>("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages)
            .Boolean("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect, false)
            .Boolean("OwnerData", &TCustomListView::OwnerData, &TCustomListView::SetOwnerData, false)
            .Boolean("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly, false)
            .Boolean("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect, false)
            .Boolean("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders,
                     true)
            .Component<TImageList>("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages)
            .Enum("SortType", &TCustomListView::SortType, &TCustomListView::SetSortType, stNone, kSortTypeNames)
            .Component<TImageList>("StateImages", &TCustomListView::StateImages, &TCustomListView::SetStateImages)
            .Enum("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, vsIcon, kViewStyleNames)
            .Event("OnColumnClick", &TCustomListView::OnColumnClick)
            .Event("OnCompare", &TCustomListView::OnCompare)
            .Event("OnCustomDraw", &TCustomListView::OnCustomDraw)
            .Event("OnCustomDrawItem", &TCustomListView::OnCustomDrawItem)
            .Event("OnCustomDrawSubItem", &TCustomListView::OnCustomDrawSubItem)
            .Event("OnData", &TCustomListView::OnData)
            .Event("OnDeletion", &TCustomListView::OnDeletion)
            .Event("OnEdited", &TCustomListView::OnEdited)
            .Event("OnEditing", &TCustomListView::OnEditing)
            .Event("OnGetImageIndex", &TCustomListView::OnGetImageIndex)
            .Event("OnInsert", &TCustomListView::OnInsert)
            .Event("OnSelectItem", &TCustomListView::OnSelectItem);
        RegisterPublishedClass<TListView, TCustomListView>("TListView");
        return true;
    }();
    (void)registered;
}
