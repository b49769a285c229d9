#pragma once
// The quick-code page of the main window's tool window: the list of the
// quick codes (`oqcList`, the description files of the folder "oqc"), the
// description of the one selected (`oqcMemo`) and the list's menu
// (`oqcPopup`: "Insert", "Delete").  A double click inserts too.

#include "platform/base/Component.h"

class TListItem;
class TMenuItem;
class TPopupMenu;
class Tframeform;

class TQuickCodePane : public TComponent {
public:
    // Owned by the main window: sets up its list (creating the folder when
    // it is missing) and takes the list's events.
    explicit TQuickCodePane(Tframeform& frame);
    std::string ClassName() const override { return "TQuickCodePane"; }

    TPopupMenu* oqcPopup = nullptr;
    TMenuItem* oqcInsertItem = nullptr;
    TMenuItem* oqcDeleteItem = nullptr;

    void oqcListSelectItem(TPersistent* sender, TListItem* item, bool selected);
    void oqcListDblClickOpen(TPersistent* sender, bool& handled);
    void oqcInsertItemClick(TPersistent* sender);
    void oqcDeleteItemClick(TPersistent* sender);

private:
    // The selected item's file name ("" when none is selected).
    std::string selectedFileName() const;

    Tframeform& frame_;
};
