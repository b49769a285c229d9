#include "shell/ShellProperties.h"

#include "platform/base/Properties.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/StandardControls.h"
#include "shell/FolderBrowseDlg.h"
#include "shell/PTSplitter.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"

namespace {

const TIdentMap kSplitterStyleNames{{ptstVertical, "ptstVertical"}, {ptstHorizontal, "ptstHorizontal"}};
const TIdentMap kFullDragNames{{ptfdOff, "ptfdOff"}, {ptfdOn, "ptfdOn"}, {ptfdUser, "ptfdUser"}};
const TIdentMap kSortDisplayNames{{ptlvNone, "ptlvNone"},
                                  {ptlvLeftAlign, "ptlvLeftAlign"},
                                  {ptlvRightOfText, "ptlvRightOfText"},
                                  {ptlvRightAlign, "ptlvRightAlign"}};

const TIdentMap kWindowStateNames{{wsNormal, "wsNormal"}, {wsMinimized, "wsMinimized"}, {wsMaximized, "wsMaximized"}};

template <class TOption> int64_t bit(TOption option) { return int64_t{1} << static_cast<int>(option); }

} // namespace

const TIdentMap& FrameStyleNames() {
    static const TIdentMap names{{ptfsNone, "ptfsNone"},         {ptfsGroup, "ptfsGroup"},       {ptfsLowered, "ptfsLowered"},
                                 {ptfsRaised, "ptfsRaised"},     {ptfsDint, "ptfsDint"},         {ptfsBump, "ptfsBump"},
                                 {ptfsSingle, "ptfsSingle"},     {ptfsHorzLine, "ptfsHorzLine"}, {ptfsHorzEdge, "ptfsHorzEdge"},
                                 {ptfsVertLine, "ptfsVertLine"}, {ptfsVertEdge, "ptfsVertEdge"}};
    return names;
}

const TIdentMap& ShellTreeOptionNames() {
    static const TIdentMap names{{bit(ptstoAutoFill), "ptstoAutoFill"},
                                 {bit(ptstoVirtualFolders), "ptstoVirtualFolders"},
                                 {bit(ptstoDesignInteractive), "ptstoDesignInteractive"},
                                 {bit(ptstoDefaultKeyHandling), "ptstoDefaultKeyHandling"},
                                 {bit(ptstoContextMenus), "ptstoContextMenus"},
                                 {bit(ptstoDynamicRefresh), "ptstoDynamicRefresh"},
                                 {bit(ptstoIncludeNonFolders), "ptstoIncludeNonFolders"},
                                 {bit(ptstoOleDrag), "ptstoOleDrag"},
                                 {bit(ptstoOleDrop), "ptstoOleDrop"},
                                 {bit(ptstoShowHidden), "ptstoShowHidden"}};
    return names;
}

const TIdentMap& ShellListOptionNames() {
    static const TIdentMap names{{bit(ptsloAutoFill), "ptsloAutoFill"},
                                 {bit(ptsloNonFilesystemAncestors), "ptsloNonFilesystemAncestors"},
                                 {bit(ptsloDesignInteractive), "ptsloDesignInteractive"},
                                 {bit(ptsloDefaultKeyHandling), "ptsloDefaultKeyHandling"},
                                 {bit(ptsloContextMenus), "ptsloContextMenus"},
                                 {bit(ptsloDontChangeFolder), "ptsloDontChangeFolder"},
                                 {bit(ptsloDontGoBelowBase), "ptsloDontGoBelowBase"},
                                 {bit(ptsloDynamicRefresh), "ptsloDynamicRefresh"},
                                 {bit(ptsloHideFoldersWhenLinkedToTree), "ptsloHideFoldersWhenLinkedToTree"},
                                 {bit(ptsloOleDrag), "ptsloOleDrag"},
                                 {bit(ptsloOleDrop), "ptsloOleDrop"},
                                 {bit(ptsloFolderContextMenu), "ptsloFolderContextMenu"},
                                 {bit(ptsloShowHidden), "ptsloShowHidden"}};
    return names;
}

const TIdentMap& FolderBrowseOptionNames() {
    static const TIdentMap names{{bit(ptfbCreateDeleteButtons), "ptfbCreateDeleteButtons"},
                                 {bit(ptfbContextMenus), "ptfbContextMenus"},
                                 {bit(ptfbReadOnly), "ptfbReadOnly"},
                                 {bit(ptfbIncludeNonFolders), "ptfbIncludeNonFolders"},
                                 {bit(ptfbOleDrag), "ptfbOleDrag"},
                                 {bit(ptfbOleDrop), "ptfbOleDrop"},
                                 {bit(ptfbCreateFolderIcon), "ptfbCreateFolderIcon"},
                                 {bit(ptfbDeleteFolderIcon), "ptfbDeleteFolderIcon"},
                                 {bit(ptfbVirtualFolders), "ptfbVirtualFolders"},
                                 {bit(ptfbShowHidden), "ptfbShowHidden"}};
    return names;
}

void RegisterShellClasses() {
    static const bool registered = [] {
        RegisterStandardControlClasses();

        // Groups and frames take their parent's colour unless told otherwise.
        RegisterPublishedClass<TPTCustomGroup, TCustomControl>("TPTCustomGroup")
            .Enum("Alignment", &TPTCustomGroup::Alignment, &TPTCustomGroup::SetAlignment, taCenter, AlignmentNames())
            .Boolean("DefaultDrawing", &TPTCustomGroup::DefaultDrawing, true)
            .Integer("FrameSpace", &TPTCustomGroup::FrameSpace, &TPTCustomGroup::SetFrameSpace, 2)
            .Enum("FrameStyle", &TPTCustomGroup::FrameStyle, &TPTCustomGroup::SetFrameStyle, ptfsGroup,
                  FrameStyleNames())
            .Event("OnPaint", &TPTCustomGroup::OnPaint);
        RegisterPublishedClass<TPTGroup, TPTCustomGroup>("TPTGroup");
        RegisterPublishedClass<TPTCustomFrame, TGraphicControl>("TPTCustomFrame")
            .Enum("Alignment", &TPTCustomFrame::Alignment, &TPTCustomFrame::SetAlignment, taCenter, AlignmentNames())
            .Boolean("DefaultDrawing", &TPTCustomFrame::DefaultDrawing, true)
            .Integer("FrameSpace", &TPTCustomFrame::FrameSpace, &TPTCustomFrame::SetFrameSpace, 2)
            .Enum("FrameStyle", &TPTCustomFrame::FrameStyle, &TPTCustomFrame::SetFrameStyle, ptfsLowered,
                  FrameStyleNames())
            .Event("OnPaint", &TPTCustomFrame::OnPaint);
        RegisterPublishedClass<TPTFrame, TPTCustomFrame>("TPTFrame");

        // A pane class registered by someone else first is left alone.
        if (FindClassInfo("TPTPane") == nullptr)
            RegisterPublishedClass<TPTPane, TPTGroup>("TPTPane")
                .Enum("FrameStyle", &TPTPane::FrameStyle, &TPTPane::SetFrameStyle, ptfsLowered, FrameStyleNames())
                .Integer("Index", &TPTPane::Index, 0)
                .Integer("MinSize", &TPTPane::MinSize, 20);
        auto never = [](TPTSplitter&) { return false; };
        RegisterPublishedClass<TPTSplitter, TCustomControl>("TPTSplitter")
            .Enum("Style", &TPTSplitter::Style, &TPTSplitter::SetStyle, ptstVertical, kSplitterStyleNames)
            .Integer("Position", &TPTSplitter::Position, &TPTSplitter::SetPosition, 65)
            .Integer("SplitterWidth", &TPTSplitter::SplitterWidth, &TPTSplitter::SetSplitterWidth, 3)
            .Enum("FullDragMode", &TPTSplitter::FullDragMode, ptfdUser, kFullDragNames)
            .Boolean("Proportional", &TPTSplitter::Proportional, true)
            // The panes are streamed as the splitter's children, with these.
            .Integer("Pane1MinSize", [](TPTSplitter& s) { return s.PaneMinSize(0); },
                     [](TPTSplitter& s, int64_t v) { s.SetPaneMinSize(0, static_cast<int>(v)); }, std::nullopt)
            .StoredWhen(never)
            .Integer("Pane2MinSize", [](TPTSplitter& s) { return s.PaneMinSize(1); },
                     [](TPTSplitter& s, int64_t v) { s.SetPaneMinSize(1, static_cast<int>(v)); }, std::nullopt)
            .StoredWhen(never)
            .Event("OnChange", &TPTSplitter::OnChange)
            .Event("OnResize", &TPTSplitter::OnResize)
            .Event("OnSplitterDrag", &TPTSplitter::OnSplitterDrag)
            .Event("OnSplitterDrop", &TPTSplitter::OnSplitterDrop);

        RegisterPublishedClass<TPTCustomTreeView, TCustomTreeView>("TPTCustomTreeView")
            .Event("OnNodeContextMenu", &TPTCustomTreeView::OnNodeContextMenu);
        // The shell controls show the system's image lists, which belong to
        // the process and are never streamed.
        auto systemList = [](TComponent&) { return false; };
        RegisterPublishedClass<TPTCustomShellTree, TPTCustomTreeView>("TPTCustomShellTree")
            .Component<TImageList>("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages)
            .StoredWhen(systemList)
            .Boolean("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot, false)
            .Set("Options", &TPTCustomShellTree::Options, &TPTCustomShellTree::SetOptions, DefaultShellTreeOptions,
                 ShellTreeOptionNames())
            .Object("BaseFolder", [](TPTCustomShellTree& t) -> TPTShellLocator& { return t.BaseFolder(); })
            .Component<TPTCustomShellList>("ShellList", &TPTCustomShellTree::ShellList, &TPTCustomShellTree::SetShellList)
            .Event("OnAddItem", &TPTCustomShellTree::OnAddItem)
            .Event("OnDeleteItem", &TPTCustomShellTree::OnDeleteItem)
            .Event("OnInsertItem", &TPTCustomShellTree::OnInsertItem)
            .Event("OnPopupHint", &TPTCustomShellTree::OnPopupHint)
            .Event("OnCustomDrawSh", &TPTCustomShellTree::OnCustomDrawSh)
            .Event("OnCustomDrawShEx", &TPTCustomShellTree::OnCustomDrawShEx)
            .Event("OnFillStart", &TPTCustomShellTree::OnFillStart)
            .Event("OnFillComplete", &TPTCustomShellTree::OnFillComplete);
        RegisterPublishedClass<TPTShellTree, TPTCustomShellTree>("TPTShellTree");

        RegisterPublishedClass<TPTCustomListView, TCustomListView>("TPTCustomListView")
            .Enum("HeaderSortDisplayMode", &TPTCustomListView::HeaderSortDisplayMode,
                  &TPTCustomListView::SetHeaderSortDisplayMode, ptlvRightOfText, kSortDisplayNames)
            .Event("OnItemContextMenu", &TPTCustomListView::OnItemContextMenu);
        RegisterPublishedClass<TPTCustomShellList, TPTCustomListView>("TPTCustomShellList")
            .Component<TImageList>("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages)
            .StoredWhen(systemList)
            .Component<TImageList>("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages)
            .StoredWhen(systemList)
            .Object("Folder", [](TPTCustomShellList& l) -> TPTShellLocator& { return l.Folder(); })
            .StoredWhen([](TPTCustomShellList& l) { return l.LinkedTree() == nullptr; })
            .String("FileFilter", &TPTCustomShellList::FileFilter, &TPTCustomShellList::SetFileFilter)
            .Set("Options", &TPTCustomShellList::Options, &TPTCustomShellList::SetOptions, DefaultShellListOptions,
                 ShellListOptionNames())
            .Event("OnAddItem", &TPTCustomShellList::OnAddItem)
            .Event("OnDeleteItem", &TPTCustomShellList::OnDeleteItem)
            .Event("OnPopupHint", &TPTCustomShellList::OnPopupHint)
            .Event("OnDblClickOpen", &TPTCustomShellList::OnDblClickOpen)
            .Event("OnCustomDrawSh", &TPTCustomShellList::OnCustomDrawSh)
            .Event("OnCustomDrawShEx", &TPTCustomShellList::OnCustomDrawShEx)
            .Event("OnFillStart", &TPTCustomShellList::OnFillStart)
            .Event("OnFillComplete", &TPTCustomShellList::OnFillComplete)
            .Event("OnFolderChanged", &TPTCustomShellList::OnFolderChanged);
        RegisterPublishedClass<TPTShellList, TPTCustomShellList>("TPTShellList");

        RegisterPublishedClass<TPTDialog, TComponent>("TPTDialog")
            .String("Title", &TPTDialog::Title)
            .Integer("FormWidth", &TPTDialog::FormWidth, -1)
            .Integer("FormHeight", &TPTDialog::FormHeight, -1)
            .Enum("FormWindowState", &TPTDialog::FormWindowState, wsNormal, kWindowStateNames)
            .Event("OnInitialized", &TPTDialog::OnInitialized)
            .Event("OnFormShow", &TPTDialog::OnFormShow)
            .Event("OnFormClose", &TPTDialog::OnFormClose);
        RegisterPublishedClass<TPTCustomFolderBrowseDlg, TPTDialog>("TPTCustomFolderBrowseDlg");
        RegisterPublishedClass<TPTFolderBrowseDlg, TPTCustomFolderBrowseDlg>("TPTFolderBrowseDlg")
            .Object("BaseFolder", [](TPTFolderBrowseDlg& d) -> TPTShellLocator& { return d.BaseFolder(); })
            .Set("Options", [](TPTFolderBrowseDlg& d) { return d.Options; },
                 [](TPTFolderBrowseDlg& d, int64_t options) { d.Options = static_cast<TPTFolderBrowseDlgOptions>(options); },
                 DefaultFolderBrowseOptions, FolderBrowseOptionNames())
            .Event("OnAddItem", &TPTFolderBrowseDlg::OnAddItem)
            .Event("OnSelChange", &TPTFolderBrowseDlg::OnSelChange)
            .Event("OnTvCustomDrawSh", &TPTFolderBrowseDlg::OnTvCustomDrawSh)
            .Event("OnTvCustomDrawShEx", &TPTFolderBrowseDlg::OnTvCustomDrawShEx);
        return true;
    }();
    (void)registered;
}
