#pragma once
// The data object the shell tree and the shell list hand to other programs
// (and to themselves) when items are dragged or sent: the items as an
// item-list array ("Shell IDList Array") and as a dropped-file list, built
// once when the object is made; GetData hands out copies.  The tree's
// object carries one node (TDataObject_shtv), the list's the selected rows
// (TDataObject_shlv, ShellList.h).

#include "shell/ShellDataTransfer.h"

#include <memory>
#include <string>
#include <vector>

class TPTShTreeData;

class TPTShellItemsDataObject : public TDataObject {
public:
    TPTShellItemsDataObject();
    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override;
    HRESULT QueryGetData(const FORMATETC& format) override;
    HRESULT EnumFormatEtc(uint32_t direction, std::shared_ptr<TEnumFormatEtc>& result) override;

    // False when the object carries no items.
    bool HasItems() const { return !idListBlock_.empty(); }

protected:
    // Builds both blocks: the items of folder (parent, absolute; null for
    // the desktop) and their parsing names.
    void SetItems(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parent,
                  const std::vector<PCItemIDList>& items);

private:
    std::shared_ptr<const TPTFormatEtcList> formats_;
    std::string idListBlock_;
    std::string dropBlock_;
};

// One dragged or sent tree node, by its record.
class TDataObject_shtv : public TPTShellItemsDataObject {
public:
    // A node without a record (nullptr) gives an object without blocks.
    explicit TDataObject_shtv(TPTShTreeData* data);
};
