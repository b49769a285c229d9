#include "app/QuickCodePane.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/QuickCodes.h"

#include "platform/ui/PageControls.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"
#include "shell/ShellList.h"

#include <filesystem>

namespace {

constexpr TPTShellListOptions kListOptions =
    ListOption(ptsloAutoFill) | ListOption(ptsloNonFilesystemAncestors) | ListOption(ptsloDefaultKeyHandling) |
    ListOption(ptsloDontChangeFolder) | ListOption(ptsloDontGoBelowBase) | ListOption(ptsloDynamicRefresh);

// HTML goes into the active document only while it shows its source.
TEditForm* documentForHtml(Tframeform& frame) {
    TEditForm* document = frame.ActiveDocument();
    if (document == nullptr || document->PageControl1->ActivePageIndex() != 0)
        return nullptr;
    return document;
}

} // namespace

TQuickCodePane::TQuickCodePane(Tframeform& frame) : TComponent(&frame), frame_(frame) {
    SetName("quickCodePane");
    oqcPopup = new TPopupMenu(this);
    oqcPopup->SetName("oqcPopup");
    oqcInsertItem = oqcPopup->Add("Insert", [this](TPersistent* s) { oqcInsertItemClick(s); });
    oqcInsertItem->SetName("oqcInsertItem");
    oqcDeleteItem = oqcPopup->Add("Delete", [this](TPersistent* s) { oqcDeleteItemClick(s); });
    oqcDeleteItem->SetName("oqcDeleteItem");

    TPTShellList& list = *frame.oqcList;
    list.SetOptions(kListOptions);
    list.SetReadOnly(true);
    list.SetFileFilter("*.oqc");
    list.SetPopupMenu(oqcPopup);
    list.OnSelectItem = [this](TPersistent* s, TListItem* item, bool selected) { oqcListSelectItem(s, item, selected); };
    list.OnDblClickOpen = [this](TPersistent* s, bool& handled) { oqcListDblClickOpen(s, handled); };
    frame.oqcMemo->SetReadOnly(true);
    // A fresh or damaged installation may lack the folder: the list would
    // show the desktop instead.
    EnsureQuickCodeFolder();
    list.Folder().SetPath(QuickCodeFolder().substr(0, QuickCodeFolder().size() - 1));
}

std::string TQuickCodePane::selectedFileName() const {
    TPTShellList& list = *frame_.oqcList;
    if (list.SelCount() < 1)
        return {};
    TPTShListData* data = list.GetSelectedData();
    return data != nullptr ? data->GetFileName() : std::string();
}

void TQuickCodePane::oqcListSelectItem(TPersistent*, TListItem*, bool) {
    const std::string name = selectedFileName();
    if (name.empty())
        return;
    frame_.oqcMemo->SetText(DescriptionForDisplay(ReadQuickCodeFile(QuickCodeFolder() + name)));
}

void TQuickCodePane::oqcListDblClickOpen(TPersistent* sender, bool& handled) {
    handled = true;
    oqcInsertItemClick(sender);
}

void TQuickCodePane::oqcInsertItemClick(TPersistent*) {
    TEditForm* document = documentForHtml(frame_);
    const std::string name = selectedFileName();
    if (document == nullptr || name.empty())
        return;
    document->InsertIntoShownPage(ReadQuickCodeFile(QuickCodeFolder() + CodeFileNameOf(name)));
}

void TQuickCodePane::oqcDeleteItemClick(TPersistent*) {
    TPTShellList& list = *frame_.oqcList;
    const std::string name = selectedFileName();
    TListItem* item = list.Selected();
    if (name.empty() || item == nullptr)
        return;
    if (UserInteraction().MessageDlg("Do you really want to delete this Ondrill Quick Code ? \r\nCode: " +
                                         item->Caption(),
                                     mtConfirmation, mbYesNo) != mrYes)
        return;
    std::error_code ignored;
    std::filesystem::remove(QuickCodeFolder() + CodeFileNameOf(name), ignored);
    list.Items().Delete(item->Index());
    std::filesystem::remove(QuickCodeFolder() + DescriptionFileNameOf(name), ignored);
}
